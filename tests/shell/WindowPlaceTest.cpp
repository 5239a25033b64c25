// The window's place over starts of the real program on the test's own
// virtual X server, with a window manager (openbox, whose frame puts the
// client area below a title bar and right of a border) and without one:
// the close keeps the outer window's corner, the next start puts the outer
// corner there again, so three starts find the window at the same place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "shell/WindowData.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"
#include "support/XServer.h"

namespace {

struct PLACE {
    int nSavedX = 0, nSavedY = 0;       // Window.dat after the close
    int nClientX = 0, nClientY = 0;     // the client area on the screen
    int nFrameLeft = 0, nFrameTop = 0;  // the window manager's frame
};

void ThreeStartsAtTheSamePlace(bool bWindowManager) {
    cXServer x(bWindowManager);
    if (!x.Missing().empty()) GTEST_SKIP() << x.Missing();
    cTempDir dir;
    std::string strExe;
    if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
    std::vector<PLACE> vPlace;
    for (int nStart = 0; nStart < 3; nStart++) {
        SCOPED_TRACE("start " + std::to_string(nStart + 1));
        PLACE p;
        cGameProcess run(strExe, {"--close-after-frames", "90"}, {"SDL_VIDEODRIVER=x11", x.DisplayEnv()}, "run");
        const unsigned long w = x.FindWindow(run.Pid(), 640, 480, 30000);
        ASSERT_NE(w, 0u) << run.Err();
        // The window manager frames the window once it is shown.
        SleepMs(500);
        ASSERT_TRUE(x.WindowPlace(w, &p.nClientX, &p.nClientY, &p.nFrameLeft, &p.nFrameTop));
        ASSERT_EQ(run.Wait(60), 0) << run.Err();
        cWindowData wd;
        ASSERT_EQ(wd.Load("user_data\\Window.dat"), 1);
        p.nSavedX = wd.m_nX;
        p.nSavedY = wd.m_nY;
        // What is kept is the outer corner: the client area less the frame.
        EXPECT_EQ(p.nSavedX, p.nClientX - p.nFrameLeft);
        EXPECT_EQ(p.nSavedY, p.nClientY - p.nFrameTop);
        vPlace.push_back(p);
    }
    if (bWindowManager) {
        EXPECT_GT(vPlace[0].nFrameTop, 0) << "the window manager drew no title bar";
    }
    for (size_t i = 1; i < vPlace.size(); i++) {
        EXPECT_EQ(vPlace[i].nSavedX, vPlace[0].nSavedX) << "start " << i + 1;
        EXPECT_EQ(vPlace[i].nSavedY, vPlace[0].nSavedY) << "start " << i + 1;
        EXPECT_EQ(vPlace[i].nClientX, vPlace[0].nClientX) << "start " << i + 1;
        EXPECT_EQ(vPlace[i].nClientY, vPlace[0].nClientY) << "start " << i + 1;
    }
}

TEST(WindowPlace, ThreeStartsUnderAWindowManager) { ThreeStartsAtTheSamePlace(true); }

TEST(WindowPlace, ThreeStartsWithoutAWindowManager) { ThreeStartsAtTheSamePlace(false); }

}  // namespace
