// Full screen on the test's own virtual X server (1024 x 768), with a
// window manager and without one: the game window covers the whole screen
// and the screen shows the whole title picture, scaled, as the checked-in
// title reference has it (tests/shell/golden/demo_title_80x60.ppm), not a
// zoomed corner of it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/Clock.h"
#include "support/GameProcess.h"
#include "support/SmallPicture.h"
#include "support/TempDir.h"
#include "support/XServer.h"

namespace {

void TheWholePictureFillsTheScreen(bool bWindowManager) {
    cXServer x(bWindowManager);
    if (!x.Missing().empty()) GTEST_SKIP() << x.Missing();
    cTempDir dir;
    std::string strExe;
    if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
    // The demo's settings with full screen instead of a window.
    ASSERT_TRUE(dir.WriteFile("System.ini", std::string("Direct3D=1\nWindowMode=0\nBpp=0\nVSync=2\nExit\n")));
    cGameProcess run(strExe, {"--close-after-frames", "600"}, {"SDL_VIDEODRIVER=x11", x.DisplayEnv()}, "run");
    int nX = -1, nY = -1;
    const unsigned long w = x.FindWindow(run.Pid(), 1024, 768, 30000, &nX, &nY);
    ASSERT_NE(w, 0u) << "no game window covering the screen\n" << run.Err();
    EXPECT_EQ(nX, 0);
    EXPECT_EQ(nY, 0);
    // The title after its fade-in.
    SleepMs(2500);
    XPICTURE screen;
    ASSERT_TRUE(x.Grab(0, 0, 1024, 768, screen));
    EXPECT_TRUE(run.Running()) << run.Err();
    run.Terminate();
    EXPECT_EQ(run.Wait(30), 0) << run.Err();
    RGBIMAGE big;
    big.w = screen.w;
    big.h = screen.h;
    big.rgb = screen.rgb;
    const RGBIMAGE small = Shrink(big, 80, 60);
    RGBIMAGE ref;
    const std::string strRef = std::string(MOSSGROVE_SOURCE_DIR) + "/tests/shell/golden/demo_title_80x60.ppm";
    ASSERT_TRUE(ReadPpm(strRef, ref)) << strRef;
    const PICTUREDIFF d = ComparePictures(ref, small);
    EXPECT_LT(d.dMean, 12.0);
    EXPECT_LT(d.nFar, 80 * 60 / 10);
}

TEST(FullScreen, TheWholePictureFillsTheScreenUnderAWindowManager) { TheWholePictureFillsTheScreen(true); }

TEST(FullScreen, TheWholePictureFillsTheScreenWithoutAWindowManager) { TheWholePictureFillsTheScreen(false); }

}  // namespace
