// The demo's clear screen: the goal flag's picture, the stage clear's
// "CLEAR!" word, the goal message and the result window each keep their
// own rows.
#include <gtest/gtest.h>

#include <string>

#include "graphics/DDImage.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

// The goal flag shows the clear picture centred on the 640 x 480 screen, so
// a sheet h rows high starts at row (480 - h) / 2. The "CLEAR!" word is
// drawn at (256, 192), 32 rows high: rows 192 to 223. The goal message is
// one 16-dot line with 2 dots of margin, 18 rows, centred 170 rows above
// the middle: 240 - 170 - 9 = 61 to 78. The result window of a ranked
// stage stands at (336, 224), five 16-dot rows: 224 to 303, its frame a few
// dots around (216 to 311 is ample). The picture spans columns 160 to 479
// of the screen, so it meets the window's columns (from 336) and must miss
// its rows. The opaque rows of the picture (any colour but the transparent
// 0) must miss all three bands.
TEST(DemoClearScreen, ThePictureKeepsClearOfTheWordAndTheGoalMessage) {
    cTempDir dir;
    std::string strExe;
    if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the demo project is not built";
    DDBITMAP pic;
    ASSERT_TRUE(DDReadBitmap("bmp\\picture\\Clear.bmp", &pic));
    ASSERT_EQ(pic.nFileBpp, 8);
    ASSERT_LE(pic.nHeight, 480);
    const int nTop = (480 - pic.nHeight) / 2;
    int nFirst = -1, nLast = -1;
    for (int y = 0; y < pic.nHeight; y++)
        for (int x = 0; x < pic.nWidth; x++)
            if (pic.vIndex[static_cast<size_t>(y) * pic.nWidth + x] != 0) {
                if (nFirst < 0) nFirst = nTop + y;
                nLast = nTop + y;
            }
    ASSERT_GE(nFirst, 0) << "the picture shows nothing";
    auto Misses = [&](int a, int b) { return nLast < a || nFirst > b; };
    EXPECT_TRUE(Misses(192, 223)) << "picture rows " << nFirst << ".." << nLast << " cover the CLEAR! word";
    EXPECT_TRUE(Misses(61, 78)) << "picture rows " << nFirst << ".." << nLast << " cover the goal message";
    EXPECT_TRUE(Misses(216, 311)) << "picture rows " << nFirst << ".." << nLast << " cover the result window";
}

// The banner tells the player how to go on: under its title (the top 40
// rows) a second line of text, in a colour of its own (neither the
// transparent 0, nor the banner's ground, nor its frame).
TEST(DemoClearScreen, TheBannerSaysWhichKeyGoesOn) {
    cTempDir dir;
    std::string strExe;
    if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the demo project is not built";
    DDBITMAP pic;
    ASSERT_TRUE(DDReadBitmap("bmp\\picture\\Clear.bmp", &pic));
    ASSERT_GT(pic.nHeight, 40);
    auto At = [&](int x, int y) { return pic.vIndex[static_cast<size_t>(y) * pic.nWidth + x]; };
    const int nGround = At(2, 2), nFrame = At(0, 0);
    int nText = 0;
    for (int y = 40; y < pic.nHeight; y++)
        for (int x = 2; x < pic.nWidth - 2; x++) {
            const int c = At(x, y);
            if (c != 0 && c != nGround && c != nFrame) nText++;
        }
    EXPECT_GT(nText, 50) << "no hint under the banner's title";
}

}  // namespace
