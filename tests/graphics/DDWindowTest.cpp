// A real window: a presented frame is read back from the renderer. Runs
// when an X display is there (the test script starts a virtual one).
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>

#include "platform/Presenter.h"
#include "support/DDTestSupport.h"

namespace {

TEST(DDWindow, PresentsAKnownFrameIntoARealWindow) {
    const char* pszDisplay = std::getenv("DISPLAY");
    if (!pszDisplay || !*pszDisplay) GTEST_SKIP() << "no X display";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    ASSERT_TRUE(PresenterCreateWindow("mossgrove test", 640, 480, false));
    ASSERT_TRUE(DDInit(1, PresenterGetWindow(), 640, 480, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, 0xFF204080u);
    DDFillRectRGB(&BackBuffer, 0, 0, 320, 240, 0xFFFF0000u);
    EXPECT_EQ(DDPresent(0, 0, nullptr), 1);
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    ASSERT_TRUE(PresenterReadBack(&px, &w, &h));
    ASSERT_EQ(w, 640);
    ASSERT_EQ(h, 480);
    EXPECT_EQ(px[10 * 640 + 10] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(px[400 * 640 + 600] & 0xFFFFFF, 0x204080u);
    DDRelease();
    PresenterShutdown();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

}  // namespace
