#include "graphics/GlyphRasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

TEST(FreeTypeRasterizerTest, FaceNamesMapToIpaFonts)
{
    EXPECT_NE(std::strstr(DDGetFontFileForFace("ＭＳ ゴシック"), "ipag.ttf"), nullptr);
    EXPECT_NE(std::strstr(DDGetFontFileForFace("ＭＳ Ｐゴシック"), "ipagp.ttf"), nullptr);
    EXPECT_NE(std::strstr(DDGetFontFileForFace("ＭＳ 明朝"), "ipam.ttf"), nullptr);
    EXPECT_NE(std::strstr(DDGetFontFileForFace("ＭＳ Ｐ明朝"), "ipamp.ttf"), nullptr);
    EXPECT_NE(std::strstr(DDGetFontFileForFace("HGPｺﾞｼｯｸE"), "ipagp.ttf"), nullptr);
    EXPECT_NE(std::strstr(DDGetFontFileForFace("courier new"), "ipag.ttf"), nullptr);
    EXPECT_NE(std::strstr(DDGetFontFileForFace("no such face"), "ipagp.ttf"), nullptr);
    EXPECT_NE(std::strstr(DDGetFontFileForFace(nullptr), "ipagp.ttf"), nullptr);
}

// One real run through FreeType and IPA Gothic: a positive height is the
// cell height, half-width glyphs are half as wide as full-width ones, and
// rendering gives ink inside the measured box.
TEST(FreeTypeRasterizerTest, IpaGothicSmoke)
{
    auto r = DDCreateFreeTypeRasterizer("ＭＳ ゴシック", 16, 0);
    ASSERT_NE(r, nullptr);
    int w = 0, h = 0;
    r->MeasureText("A", 1, &w, &h);
    EXPECT_EQ(h, 16);
    EXPECT_GE(w, 6);
    EXPECT_LE(w, 9);
    const char* kana = "あ";  // two Shift-JIS bytes
    ASSERT_EQ(std::strlen(kana), 2u);
    int wf = 0, hf = 0;
    r->MeasureText(kana, 2, &wf, &hf);
    EXPECT_NEAR(wf, 2 * w, 1);
    EXPECT_EQ(hf, 16);

    for (bool bMono : {false, true}) {
        DDGLYPHIMAGE img;
        r->RenderText(kana, 2, bMono, &img);
        ASSERT_EQ(img.nWidth, wf);
        ASSERT_EQ(img.nHeight, 16);
        ASSERT_EQ(img.vCoverage.size(), static_cast<size_t>(wf * 16));
        int nInk = static_cast<int>(std::count_if(img.vCoverage.begin(), img.vCoverage.end(), [](uint8_t a) { return a > 0; }));
        EXPECT_GT(nInk, 20);
        if (bMono) {
            for (uint8_t a : img.vCoverage) EXPECT_TRUE(a == 0 || a == 255);
        }
    }

    DDGLYPHIMAGE space;
    r->RenderText(" ", 1, false, &space);
    EXPECT_TRUE(std::all_of(space.vCoverage.begin(), space.vCoverage.end(), [](uint8_t a) { return a == 0; }));
}

TEST(FreeTypeRasterizerTest, FactoryCanBeReplaced)
{
    struct cFixed : cGlyphRasterizer {
        void MeasureText(const char*, int n, int* w, int* h) override { *w = n * 3; *h = 5; }
        void RenderText(const char*, int n, bool, DDGLYPHIMAGE* img) override
        {
            img->nWidth = n * 3;
            img->nHeight = 5;
            img->vCoverage.assign(static_cast<size_t>(n) * 15, 255);
        }
    };
    DDSetRasterizerFactory([](const char*, int, int) { return std::make_unique<cFixed>(); });
    auto r = DDCreateRasterizer("x", 16, 0);
    int w = 0, h = 0;
    r->MeasureText("ab", 2, &w, &h);
    EXPECT_EQ(w, 6);
    DDSetRasterizerFactory(nullptr);
    r = DDCreateRasterizer("ＭＳ ゴシック", 16, 0);
    r->MeasureText("ab", 2, &w, &h);
    EXPECT_EQ(h, 16);
}

}  // namespace
