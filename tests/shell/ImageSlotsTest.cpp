#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/ImageSlots.h"

TEST(ImageSlots, SharedSlotsAreExactlyThoseLinkedToASource) {
    for (int i = 0; i < IMAGE_SLOT_COUNT; i++) {
        int nSrc = GetMirrorSourceSlot(i);
        EXPECT_EQ(Img_Data[i].lpSrcSD != nullptr, nSrc >= 0) << i;
        if (nSrc < 0) continue;
        EXPECT_EQ(Img_Data[nSrc].lpSrcSD, nullptr) << i;   // a source owns its texture
        EXPECT_STREQ(Img_Data[nSrc].szFile, Img_Data[i].szFile) << i;
    }
    EXPECT_EQ(GetMirrorSourceSlot(23), 4);
    EXPECT_EQ(GetMirrorSourceSlot(37), 18);
    EXPECT_EQ(GetMirrorSourceSlot(-1), -1);
    EXPECT_EQ(GetMirrorSourceSlot(71), -1);
}

TEST(ImageSlots, TableRows) {
    EXPECT_STREQ(Img_Data[0].szFile, "bmp\\plt\\Palette.bmp");
    EXPECT_EQ(Img_Data[0].nMemory, 1);
    EXPECT_STREQ(Img_Data[18].szFile, "bmp\\Character8.bmp");
    for (int s : {18, 19, 36, 37}) EXPECT_EQ(Img_Data[s].bOptional, 1) << s;
    for (int s : {4, 5, 22, 23}) EXPECT_EQ(Img_Data[s].bOptional, 0) << s;
    EXPECT_EQ(Img_Data[21].nMirrorWidth, 16);
    EXPECT_EQ(Img_Data[5].nMirrorWidth, 32);
    EXPECT_STREQ(Img_Data[55].szFile, "背景その1.bmp");
    EXPECT_EQ(Img_Data[69].nMemoryType, 2);
    EXPECT_EQ(Img_Data[70].nWidth, 1024);
    EXPECT_EQ(Img_Data[63].nHeight, 960);
}

TEST(ImageSlots, FileNameCopyIsBounded) {
    IMAGEDATA d;
    std::string strLong(400, 'x');
    d.SetFile(strLong.c_str());
    EXPECT_EQ(strlen(d.szFile), 259u);
    // A double-byte character that would straddle the end is left out whole.
    std::string strSjis(258, 'y');
    strSjis += "\x83\x41";
    d.SetFile(strSjis.c_str());
    EXPECT_EQ(strlen(d.szFile), 258u);
}

#include "foundation/Record.h"
#include "frontend/Option.h"
#include "shell/BootData.h"
#include "shell/GameMain.h"
#include "foundation/GameThreads.h"
#include "shell/InputDevice.h"
#include "shell/ShellState.h"

TEST(GlobalSingletons, InitialStates) {
    // Records register their fields at the current data version from the
    // start, before any file is read.
    EXPECT_EQ(DATA_VERSION, 854u);
    EXPECT_EQ(recOption.m_nVolume, 7);
    EXPECT_EQ(recOption.m_strName, "aaa");
    EXPECT_EQ(Boot_Data.m_nDrawMode, 1);
    EXPECT_EQ(Input_List.size(), 1u);
    EXPECT_FALSE(thGame.IsRunning());
    EXPECT_FALSE(thPause.IsRunning());
    EXPECT_EQ(Input_List[0].m_vDirRun.size(), 10u);
    EXPECT_EQ(Input_List[0].m_vButtonRun[8].size(), 32u);
    uint64_t a, b;
    memcpy(&a, &dSqrt2, 8);
    memcpy(&b, &dInvSqrt2, 8);
    EXPECT_EQ(a, 0x3FF6A09E667F3BCDull);
    EXPECT_EQ(b, 0x3FE6A09E667F3BCDull);
}
