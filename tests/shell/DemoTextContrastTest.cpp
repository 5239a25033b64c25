// The demo's system texts stay readable: the fonts' text colour (palette
// colour 241) against every colour of the message window picture and of the
// head-up display's bar, at every step of the 8-bit colour cycling (each
// group of four entries from 208 to 239 turns by one entry a step, so four
// steps bring every group round). Everything is read from the files the
// demo writer made.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "graphics/DDImage.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

struct RGB {
    int r, g, b;
};

// Relative luminance of an sRGB colour, 0 (black) .. 1 (white).
double Luminance(const RGB& c) {
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

// Contrast ratio 1 .. 21 between two colours.
double Contrast(const RGB& a, const RGB& b) {
    double la = Luminance(a), lb = Luminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

// The palette after n steps of the cycling: each group of four turns by one.
std::array<RGB, 256> Cycled(const std::vector<PALETTEENTRY>& v, int nSteps) {
    std::array<RGB, 256> a;
    for (int i = 0; i < 256; i++) a[i] = {v[i].peRed, v[i].peGreen, v[i].peBlue};
    for (int s = 0; s < nSteps; s++)
        for (int g = 208; g < 240; g += 4) {
            const RGB first = a[g];
            for (int i = g; i < g + 3; i++) a[i] = a[i + 1];
            a[g + 3] = first;
        }
    return a;
}

// The palette indexes used inside the rows [y0, y1) of an 8-bit picture.
std::set<int> IndexesUsed(const DDBITMAP& bmp, int y0, int y1) {
    std::set<int> s;
    for (int y = y0; y < y1 && y < bmp.nHeight; y++)
        for (int x = 0; x < bmp.nWidth; x++) s.insert(bmp.vIndex[static_cast<size_t>(y) * bmp.nWidth + x]);
    return s;
}

// Hand-worked anchors of the measure itself, so that a wrong formula cannot
// pass the demo test below by accident: white on black is (1 + 0.05) / 0.05
// = 21; the grey 98 of the old text colour (linear 0.1221) on the navy
// 0, 0, 102 of the window's bottom (linear blue 0.1329, times 0.0722 =
// 0.0096) gives (0.1221 + 0.05) / (0.0096 + 0.05) = 2.89, below the 4.5
// that small text needs.
TEST(DemoTextContrast, TheMeasureOnHandWorkedColours) {
    EXPECT_NEAR(Contrast({255, 255, 255}, {0, 0, 0}), 21.0, 0.01);
    EXPECT_NEAR(Contrast({98, 98, 98}, {0, 0, 102}), 2.89, 0.02);
    EXPECT_NEAR(Contrast({0, 0, 102}, {98, 98, 98}), 2.89, 0.02);
}

TEST(DemoTextContrast, TextStandsOutFromItsWindowsAtEveryCyclingStep) {
    cTempDir dir;   // entered: the demo's data paths resolve inside it
    std::string strExe;
    if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the demo project is not built";
    DDBITMAP pal, win, bar;
    ASSERT_TRUE(DDReadBitmap("bmp\\plt\\Palette.bmp", &pal));
    ASSERT_TRUE(DDReadBitmap("bmp\\Window.bmp", &win));
    ASSERT_TRUE(DDReadBitmap("bmp\\StatusWindow.bmp", &bar));
    ASSERT_EQ(pal.vColors.size(), 256u);
    ASSERT_EQ(win.nFileBpp, 8);
    ASSERT_EQ(bar.nFileBpp, 8);
    // The bar's 20 rows lie under the head-up display's texts; the whole
    // window picture can lie under a message.
    std::set<int> sBack = IndexesUsed(win, 0, win.nHeight);
    for (int i : IndexesUsed(bar, 0, 20)) sBack.insert(i);
    sBack.erase(0);   // the transparent colour shows the screen behind
    ASSERT_FALSE(sBack.empty());
    for (int nStep = 0; nStep < 4; nStep++) {
        const std::array<RGB, 256> a = Cycled(pal.vColors, nStep);
        for (int i : sBack) {
            EXPECT_GE(Contrast(a[241], a[i]), 4.5) << "step " << nStep << ", window colour " << i;
            // The frame is drawn round the text: it must not vanish either.
            EXPECT_GE(Contrast(a[240], a[i]), 3.0) << "step " << nStep << ", frame on colour " << i;
        }
    }
}

// The windows' picture is a gradient from its top to its bottom, not two
// flat bands: the brightness of each 32-row band is above the one over it.
TEST(DemoTextContrast, TheWindowPictureRisesFromTopToBottom) {
    cTempDir dir;
    std::string strExe;
    if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the demo project is not built";
    DDBITMAP pal, win;
    ASSERT_TRUE(DDReadBitmap("bmp\\plt\\Palette.bmp", &pal));
    ASSERT_TRUE(DDReadBitmap("bmp\\Window.bmp", &win));
    ASSERT_EQ(pal.vColors.size(), 256u);
    ASSERT_EQ(win.nHeight, 480);
    double dPrev = -1;
    for (int y0 = 0; y0 < 480; y0 += 32) {
        double dSum = 0;
        for (int y = y0; y < y0 + 32; y++)
            for (int x = 0; x < win.nWidth; x++) {
                const PALETTEENTRY& c = pal.vColors[win.vIndex[static_cast<size_t>(y) * win.nWidth + x]];
                dSum += Luminance({c.peRed, c.peGreen, c.peBlue});
            }
        const double dBand = dSum / (32.0 * win.nWidth);
        EXPECT_GT(dBand, dPrev) << "rows " << y0 << " to " << y0 + 31;
        dPrev = dBand;
    }
}

}  // namespace
