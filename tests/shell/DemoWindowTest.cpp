// The README's play command under an X server (scripts/test.sh runs the
// tests under a virtual one when there is no display): the player started
// in the demo folder opens its window and reaches the title screen, whose
// last frame, shrunk to 80 x 60, is close to the checked-in picture
// tests/shell/golden/demo_title_80x60.ppm. With MOSSGROVE_UPDATE_GOLDEN set
// the picture is written instead.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ByteBuilder.h"
#include "support/SmallPicture.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int SMALL_W = 80, SMALL_H = 60;

std::string ReferencePath() { return std::string(MOSSGROVE_SOURCE_DIR) + "/tests/shell/golden/demo_title_80x60.ppm"; }

TEST(DemoWindow, ThePlayCommandReachesTheTitleInAnXWindow) {
    // On an X server of its own (xvfb-run): on a shared one another test's
    // window may take the input focus, and an inactive game counts no frames.
    if (!fs::exists("/usr/bin/xvfb-run")) GTEST_SKIP() << "no xvfb-run for an X server of its own";
    const std::string strExe = GameBinaryDir() + "/mossgrove";
    const std::string strDemo = GameBinaryDir() + "/demo";
    if (GameBinaryDir().empty() || !fs::exists(strExe) || !fs::exists(strDemo + "/data"))
        GTEST_SKIP() << "the program or the demo project is not built";
    cTempDir dir;
    fs::copy(strDemo, dir.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // As the play script does: the player in the demo folder, SDL choosing the
    // X video driver itself.
    const std::string strShot = dir.File("title.ppm");
    const int r = RunGameProcess("/usr/bin/xvfb-run",
                                 {"-a", "-s", "-screen 0 1024x768x24", strExe, "--close-after-frames", "150"},
                                 {"SDL_VIDEODRIVER=x11", "MOSSGROVE_SNAPSHOT=" + strShot}, 120);
    EXPECT_EQ(r, 0);
    const auto vReport = ReadHostFile(dir.File("Report_Game.txt"));
    const std::string strReport(vReport.begin(), vReport.end());
    EXPECT_NE(strReport.find("Scene : 0"), std::string::npos) << strReport;

    RGBIMAGE shot;
    ASSERT_TRUE(ReadPpm(strShot, shot)) << "no snapshot of the last frame";
    EXPECT_EQ(shot.w, 640);
    EXPECT_EQ(shot.h, 480);
    const RGBIMAGE small = Shrink(shot, SMALL_W, SMALL_H);
    if (std::getenv("MOSSGROVE_UPDATE_GOLDEN")) {
        ASSERT_TRUE(WritePpm(ReferencePath(), small));
        return;
    }
    RGBIMAGE ref;
    ASSERT_TRUE(ReadPpm(ReferencePath(), ref)) << "cannot read " << ReferencePath();
    ASSERT_EQ(ref.w, SMALL_W);
    ASSERT_EQ(ref.h, SMALL_H);
    // Loose: the average channel difference stays small and at most a tenth
    // of the cells differ clearly (fonts and fades may shift a little).
    const PICTUREDIFF diff = ComparePictures(ref, small);
    const double dMean = diff.dMean;
    const int nFar = diff.nFar;
    EXPECT_LT(dMean, 12.0);
    EXPECT_LT(nFar, SMALL_W * SMALL_H / 10);
    // And it is not an empty screen: the title's colours are there.
    long nBright = 0;
    for (uint8_t v : small.rgb) nBright += v;
    EXPECT_GT(nBright / static_cast<long>(small.rgb.size()), 40);
}

}  // namespace
