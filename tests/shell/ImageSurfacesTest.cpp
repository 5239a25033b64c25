#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/HbtPalette.h"
#include "graphics/ImageSurfaces.h"
#include "shell/SoundTable.h"

TEST(ImageSurfaces, LinksFollowTheSlotTable) {
    std::vector<DDSURFACEDATA> v(IMAGE_SLOT_COUNT);
    LinkMirroredImages(v.data());
    for (int i = 0; i < IMAGE_SLOT_COUNT; i++) {
        if (Img_Data[i].lpSrcSD) {
            ASSERT_NE(v[i].lpMirrorSD, nullptr) << i;
            int nSrc = static_cast<int>(v[i].lpMirrorSD - v.data());
            EXPECT_STREQ(Img_Data[nSrc].szFile, Img_Data[i].szFile) << i;
        } else {
            EXPECT_EQ(v[i].lpMirrorSD, nullptr) << i;
        }
    }
    EXPECT_EQ(v[36].lpMirrorSD, &v[18]);
    EXPECT_EQ(v[68].lpMirrorSD, &v[67]);
}

TEST(HbtPalette, Variants) {
    PALETTEENTRY base[256];
    for (int i = 0; i < 256; i++) base[i] = PALETTEENTRY{static_cast<uint8_t>(i), 0, 0, 0};
    PALETTEENTRY p[256];
    memcpy(p, base, sizeof p);
    ArrangeHbtPalette(p, 0);
    EXPECT_EQ(memcmp(p, base, sizeof p), 0);
    ArrangeHbtPalette(p, 1);
    EXPECT_EQ(p[16].peRed, 32);
    EXPECT_EQ(p[207].peRed, 31);
    EXPECT_EQ(p[15].peRed, 15);
    EXPECT_EQ(p[208].peRed, 208);
    memcpy(p, base, sizeof p);
    ArrangeHbtPalette(p, 12);
    for (int i = 16; i < 208; i++) EXPECT_EQ(p[i].peRed, 16 + (i % 16)) << i;
    memcpy(p, base, sizeof p);
    ArrangeHbtPalette(p, 23);
    EXPECT_EQ(p[16].peRed, 192);
    ArrangeHbtPalette(p, 24);   // out of range: unchanged
    EXPECT_EQ(p[16].peRed, 192);
}

TEST(SoundTable, SystemSoundsAlwaysHaveTheirEntries) {
    std::vector<SOUNDFILE> t;
    std::vector<std::string> sys(17);
    for (int i = 0; i < 17; i++) sys[i] = "wave\\sys" + std::to_string(i) + ".wav";
    BuildSoundFileTable(t, sys, {});
    ASSERT_EQ(t.size(), 17u);
    EXPECT_STREQ(t[16].szFileName, "wave\\sys16.wav");
    BuildSoundFileTable(t, sys, {"", "a.wav", "b.wav"});
    ASSERT_EQ(t.size(), 19u);
    EXPECT_STREQ(t[17].szFileName, "a.wav");   // database sound k at k + 16
    EXPECT_STREQ(t[18].szFileName, "b.wav");
    EXPECT_EQ(t[18].bUse, 1);
    EXPECT_EQ(t[18].nBufferCount, 1);
    std::string strLong(300, 'w');
    BuildSoundFileTable(t, {strLong}, {});
    EXPECT_EQ(strlen(t[0].szFileName), 259u);
}
