// The presenter in a real window: a frame like the one shown is not
// presented again, a changed one is, and what the window shows is the frame.
// Runs when an X display is there (the test script starts a virtual one).
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <vector>

#include "platform/Presenter.h"

namespace {

TEST(Presenter, AnUnchangedFrameIsNotPresentedAgain) {
    const char* pszDisplay = std::getenv("DISPLAY");
    if (!pszDisplay || !*pszDisplay) GTEST_SKIP() << "no X display";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        GTEST_SKIP() << SDL_GetError();
    }
    SDL_Window* lpWindow = SDL_CreateWindow("presenter test", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 64,
                                            32, SDL_WINDOW_SHOWN);
    ASSERT_NE(lpWindow, nullptr);
    ASSERT_TRUE(PresenterAttachWindow(lpWindow));

    // A 64 x 32 XRGB frame: left half red, right half blue, one green dot.
    std::vector<uint32_t> px(64 * 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++) px[static_cast<size_t>(y) * 64 + x] = x < 32 ? 0xFF0000u : 0x0000FFu;
    px[5 * 64 + 40] = 0x00FF00u;
    const uint64_t n0 = PresenterGetShownCount();
    PresenterSubmit(px.data(), 64, 32, 64 * 4, PRESENT_XRGB8888, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 1);
    // The same frame again: kept, counted, not presented.
    PresenterSubmit(px.data(), 64, 32, 64 * 4, PRESENT_XRGB8888, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 1);
    // One pixel changed (the last of the frame): presented.
    px.back() = 0x010101u;
    PresenterSubmit(px.data(), 64, 32, 64 * 4, PRESENT_XRGB8888, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 2);
    // A redraw (after an expose) always presents.
    PresenterRedraw();
    EXPECT_EQ(PresenterGetShownCount(), n0 + 3);

    // The window shows the frame as it is, alpha made opaque.
    std::vector<uint32_t> v;
    int w = 0, h = 0;
    ASSERT_TRUE(PresenterReadBack(&v, &w, &h));
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 32);
    EXPECT_EQ(v[0], 0xFFFF0000u);
    EXPECT_EQ(v[5 * 64 + 40], 0xFF00FF00u);
    EXPECT_EQ(v[31 * 64 + 63], 0xFF010101u);
    EXPECT_EQ(v[10 * 64 + 33], 0xFF0000FFu);

    PresenterAttachWindow(nullptr);
    SDL_DestroyWindow(lpWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

}  // namespace
