// Fades, palette blends and rotations, the 16/32-bit software fade, the
// palette read from a true-colour image, the tint and the blend table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

class DDFade : public testing::Test {
protected:
    void TearDown() override { DDRelease(); }
};

TEST_F(DDFade, Direct3DOverlayAlphasOfAStepTenFadeOut) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 4, 4));
    const uint32_t aAlpha[10] = {0, 4, 16, 35, 60, 92, 128, 168, 211, 255};
    for (int i = 0; i < 10; i++) {
        DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0xFFFFFFFFu);
        bool bDone = DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);
        EXPECT_EQ(bDone, i == 9) << i;
        // White under a black overlay of alpha a shows 255 - a.
        EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 2, 2) & 0xFF, 255 - aAlpha[i]) << i;
    }
    EXPECT_EQ(DDGetFadeOutAngle(), 90);
    // The fade-in draws the same overlays backwards and ends on the picture.
    for (int i = 0; i < 10; i++) {
        DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0xFFFFFFFFu);
        bool bDone = DDFadeIn(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);
        EXPECT_EQ(bDone, i == 9);
        EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0) & 0xFF, 255 - aAlpha[9 - i]) << i;
    }
}

TEST_F(DDFade, DirectDrawEightBitWeightsOfAStepTenFadeOut) {
    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}, 4, 4));
    aPalette[5] = {255, 255, 255, 0};
    const int aWeight[10] = {256, 252, 240, 221, 196, 164, 127, 87, 44, 0};
    for (int i = 0; i < 10; i++) {
        bool bDone = DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);
        EXPECT_EQ(bDone, i == 9);
        EXPECT_EQ(aPalEntry[5].peRed, (255 * aWeight[i]) >> 8) << i;
        EXPECT_EQ(aPalEntry[5].peFlags, PC_RESERVED);
        EXPECT_EQ(aDisplayPalette[5].peRed, aPalEntry[5].peRed);
    }
    EXPECT_EQ(aPalEntry[5].peGreen, 0);
}

TEST_F(DDFade, StepSevenClampsAndFinishJumpsToTheEnd) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 4, 4));
    int nCalls = 0;
    while (!DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 7, aPalette, false) && nCalls < 100) nCalls++;
    EXPECT_EQ(nCalls + 1, 14);  // 90, 83, ..., 6, then 0
    nCalls = 0;
    while (!DDFadeIn(aPalEntry, 0, 255, 0, 0, 0, 7, aPalette, false) && nCalls < 100) nCalls++;
    EXPECT_EQ(nCalls + 1, 14);  // 0, 7, ..., 84, then 90
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0xFFFFFFFFu);
    EXPECT_TRUE(DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, true));
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(DDGetFadeOutAngle(), 90);
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0xFFFFFFFFu);
    EXPECT_TRUE(DDFadeIn(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, true));
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0) & 0xFFFFFF, 0xFFFFFFu);
    // A half-done fade is forgotten by a reset (a scene switch).
    DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);
    EXPECT_EQ(DDGetFadeOutAngle(), 80);
    DDResetFades();
    EXPECT_EQ(DDGetFadeOutAngle(), 90);
}

TEST_F(DDFade, TrueColourFadeBlendsFromTheFrozenFirstFrame) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 4, 4));
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0x00C86400u);
    DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);  // weight 256: the picture
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0), 0x00C86400u);
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0x00FFFFFFu);            // drawn meanwhile: not seen
    DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);  // weight 252
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0), ((200u * 252) >> 8) << 16 | ((100u * 252) >> 8) << 8);
}

TEST_F(DDFade, AFadeTakenUpAgainAfterAGapBlendsTheCurrentPicture) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 4, 4));
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0x00C80000u);
    for (int i = 0; i < 3; i++) {
        DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);
        DDFlipToScreen();
    }
    EXPECT_EQ(DDGetFadeOutAngle(), 60);
    // Two frames without the fade, a new picture, then the fade goes on at 60 degrees.
    DDFlipToScreen();
    DDFlipToScreen();
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0x000000C8u);
    DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 10, aPalette, false);
    int w = static_cast<int>(std::sin(60 * 0.017453292519943295) * 256);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0), static_cast<uint32_t>((200 * w) >> 8));
    DDResetFades();
}

TEST_F(DDFade, PaletteBlendAndRotate) {
    PALETTEENTRY src[256] = {}, out[256] = {};
    src[3] = {200, 100, 0, 0};
    PalBlendColor(out, 0, 255, 128, 0, 0, 0, src);
    EXPECT_EQ(out[3].peRed, 100);
    EXPECT_EQ(out[3].peGreen, 50);
    EXPECT_EQ(out[3].peFlags, PC_RESERVED);
    PalBlendColor(out, 0, 255, 256, 9, 9, 9, src);
    EXPECT_EQ(out[3].peRed, 200);
    PalBlendColor(out, 0, 255, 0, 9, 8, 7, src);
    EXPECT_EQ(out[3].peRed, 9);
    EXPECT_EQ(out[3].peBlue, 7);
    PalBlendColor(out, 200, 300, 0, 1, 1, 1, src);  // the range is cut to the table
    EXPECT_EQ(out[255].peRed, 1);
    for (int i = 0; i < 4; i++) src[208 + i] = {uint8_t('a' + i), 0, 0, 0};
    PalRotate(out, 208, 211, 1, 1, src);
    EXPECT_EQ(std::string({char(out[208].peRed), char(out[209].peRed), char(out[210].peRed), char(out[211].peRed)}), "bcda");
    PalRotate(out, 208, 211, 1, 0, src);
    EXPECT_EQ(std::string({char(out[208].peRed), char(out[209].peRed), char(out[210].peRed), char(out[211].peRed)}), "dabc");
    PalRotate(src, 208, 211, 1, 0, src);  // in place
    EXPECT_EQ(src[208].peRed, 'd');
    PalRotate(out, -5, 400, 1, 0, src);     // a bad range leaves the plain copy
    EXPECT_EQ(out[208].peRed, 'd');
}

TEST_F(DDFade, SixteenBitFadeRoundsEachFieldThroughEightBits) {
    ASSERT_TRUE(DDStartProfile({0, 16, 0, "DD16"}, 32, 2));
    DDSURFACEDATA src;
    ASSERT_TRUE(DDCreateSurface(&src, 32, 2, 0, 1, 0, nullptr, 0));
    for (int c = 0; c < 32; c++) DDPutRaw(*DDGetPixels(&src), c, 0, static_cast<uint32_t>(c << 11 | c));
    ASSERT_EQ(DDFade_UnPal(&BackBuffer, 256, 0, 0, 0, &src), 1);
    for (uint32_t c = 0; c < 32; c++) {
        uint32_t v = DDGetRaw(*DDGetPixels(&BackBuffer), static_cast<int>(c), 0);
        uint32_t expect = (c == 0 || c == 31) ? c : c - 1;
        EXPECT_EQ(v >> 11, expect) << c;
        EXPECT_EQ(v & 31, expect) << c;
    }
    ASSERT_EQ(DDFade_UnPal(&BackBuffer, 0, 255, 128, 0, &src), 1);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 5, 1), (31u << 11) | (31u << 5));
    DDSURFACEDATA none;
    EXPECT_EQ(DDFade_UnPal(&BackBuffer, 0, 0, 0, 0, &none), 0);
}

TEST_F(DDFade, PaletteFromATrueColourImageAndItsAlphaPerProfile) {
    for (int nBackEnd : {1, 0}) {
        ASSERT_TRUE(DDStartProfile({nBackEnd, 32, 0, nBackEnd ? "D3D32" : "DD32"}, 16, 16));
        DDSURFACEDATA img;
        ASSERT_TRUE(DDCreateSurface(&img, 16, 24, 0, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
        for (int y = 0; y < 24; y++)
            for (int x = 0; x < 16; x++) DDPutRaw(*DDGetPixels(&img), x, y, 0xFF000000u | uint32_t(x) << 16 | uint32_t(y));
        DDPutRaw(*DDGetPixels(&img), 5, 8, 0x00ABCDEFu);  // entry 5, alpha 0
        PALETTEENTRY table[256];
        for (auto& e : table) e = {1, 1, 1, 1};
        ASSERT_EQ(DDSetPalette_UnPal(table, &img), 1);
        EXPECT_EQ(table[16 * 3 + 2].peRed, 2);
        EXPECT_EQ(table[16 * 3 + 2].peBlue, 11);
        if (nBackEnd) EXPECT_EQ(table[5].peRed, 1) << "Direct3D keeps an alpha-0 entry";
        else EXPECT_EQ(table[5].peRed, 0xAB) << "DirectDraw takes every cell";
        // An image smaller than the 16 x 24 cells is refused.
        DDSURFACEDATA small;
        ASSERT_TRUE(DDCreateSurface(&small, 16, 20, 0, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
        for (auto& e : table) e = {1, 1, 1, 1};
        DDSetPalette_UnPal(table, &small);
        EXPECT_EQ(table[0].peRed, 1);
        DDRelease();
    }
}

TEST_F(DDFade, ChangeColorTintsTheBackBuffer) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 4, 4));
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0xFF80C0FFu);
    DDChangeColor(&BackBuffer, 0, 0, 640, 480, 255, 0, 0, 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 1, 1) & 0xFFFFFF, 0x80C0FFu);
    DDChangeColor(&BackBuffer, 0, 0, 640, 480, 0, 255, 0, 128);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 1, 1) & 0xFFFFFF, 0x800080u);
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 4, 4));
    DDFillRectRGB(&BackBuffer, 0, 0, 4, 4, 0x123456u);
    EXPECT_EQ(DDChangeColor(&BackBuffer, 0, 0, 4, 4, 0, 0, 0, 0), 1);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 1, 1), 0x123456u);
}

TEST_F(DDFade, BlendTableNeedsExactlyTheTableSize) {
    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}, 4, 4));
    cTempDir dir;
    std::vector<uint8_t> full(65536);
    for (size_t i = 0; i < full.size(); i++) full[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(dir.WriteFile("full.dat", full));
    ASSERT_TRUE(dir.WriteFile("short.dat", std::vector<uint8_t>(100, 9)));
    ASSERT_TRUE(dir.WriteFile("long.dat", std::vector<uint8_t>(65537, 9)));
    std::vector<uint8_t> table(65536, 0);
    EXPECT_TRUE(DDLoadBlendTable(table.data(), "full.dat"));
    EXPECT_EQ(table, full);
    EXPECT_FALSE(DDLoadBlendTable(table.data(), "short.dat"));
    EXPECT_FALSE(DDLoadBlendTable(table.data(), "long.dat"));
    EXPECT_FALSE(DDLoadBlendTable(table.data(), "missing.dat"));
    EXPECT_EQ(table, full);
}

}  // namespace
