// The stage's dedicated character bitmaps: the surfaces the loader fills for
// a list entry are the ones the draw source picks for that graphic number,
// with that entry's own cell size.
#include <gtest/gtest.h>

#include "play/CharaBase.h"
#include "play/PlayContext.h"
#include "play/StageImages.h"
#include "project/Database.h"
#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

std::vector<uint8_t> PlainBmp(int w, int h) {
    return DDBuildBmp(w, h, 8, {0x000000, 0xffffff}, std::vector<uint32_t>(static_cast<size_t>(w) * h, 1));
}

TEST(StageImages, GraphicNumberIsTheListEntryOnBothSides) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 64, 64));
    cTempDir dir;
    ASSERT_TRUE(dir.WriteFile("one.bmp", PlainBmp(32, 32)));
    ASSERT_TRUE(dir.WriteFile("two.bmp", PlainBmp(128, 64)));
    cDatabase db;
    db.m_vBmpCharaExc.assign(3, cBmpCharaExc());
    db.m_vBmpCharaExc[0].m_strBitmap = "missing.bmp";   // entry 0 is never loaded
    db.m_vBmpCharaExc[1].m_strBitmap = "one.bmp";
    db.m_vBmpCharaExc[2].m_strBitmap = "two.bmp";
    db.m_vBmpCharaExc[2].m_bLargeCells = 1;
    db.m_vBmpCharaExc[2].m_nCellSize = 2;   // 64-dot cells, 8 to a row
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    ctx.lpDatabase = &db;

    LoadCharaExcImages();
    ASSERT_EQ(vecSdCharaExc.size(), 8u);   // two sets of four

    // Graphic 2, cell 9: entry 2's surfaces (4..7) and entry 2's 64-dot cells.
    DRAWSOURCE s;
    cCharaBase::SetDrawSource(&s, 0, 4, 2, 9, nullptr, 0);
    ASSERT_TRUE(s.bValid);
    EXPECT_EQ(s.nSurface, 4);
    EXPECT_EQ(vecSdCharaExc[s.nSurface].nWidth, 128);   // two.bmp
    EXPECT_EQ(s.bNative, 1);
    EXPECT_EQ(s.nScale, 2);
    EXPECT_EQ(s.nSrcX, 64);   // 9 mod 8 = 1 cell of 64
    EXPECT_EQ(s.nSrcY, 64);   // 9 div 8 = 1 row of 64

    // Graphic 1: entry 1's surfaces (0..3), plain 32-dot cells.
    cCharaBase::SetDrawSource(&s, 0, 4, 1, 17, nullptr, 0);
    ASSERT_TRUE(s.bValid);
    EXPECT_EQ(s.nSurface, 0);
    EXPECT_EQ(vecSdCharaExc[s.nSurface].nWidth, 32);   // one.bmp
    EXPECT_EQ(s.bNative, 0);
    EXPECT_EQ(s.nSrcX, 32);
    EXPECT_EQ(s.nSrcY, 32);

    // Graphic 3 has no entry and no surfaces: nothing is drawn.
    cCharaBase::SetDrawSource(&s, 0, 4, 3, 0, nullptr, 0);
    EXPECT_FALSE(s.bValid);

    for (auto& sd : vecSdCharaExc) DDReleaseSurface(&sd);
    vecSdCharaExc.clear();
    DDEnd();
}

}  // namespace
