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

    // The same pixels in rows padded with other bytes: the padding is not
    // part of the frame.
    std::vector<uint32_t> padded(72 * 32, 0x123456u);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++) padded[static_cast<size_t>(y) * 72 + x] = px[static_cast<size_t>(y) * 64 + x];
    PresenterSubmit(padded.data(), 64, 32, 72 * 4, PRESENT_XRGB8888, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 3);
    // After the window's renderer was made anew, the unchanged frame is
    // presented once more.
    ASSERT_TRUE(PresenterAttachWindow(lpWindow));
    PresenterSubmit(px.data(), 64, 32, 64 * 4, PRESENT_XRGB8888, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 4);
    PresenterSubmit(px.data(), 64, 32, 64 * 4, PRESENT_XRGB8888, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 4);

    // An 8-bit frame: the same indices under another palette are a new
    // frame, and so are the same bytes read as another format.
    std::vector<uint8_t> idx(64 * 32, 1);
    std::vector<uint32_t> pal(256, 0);
    pal[1] = 0x102030u;
    PresenterSubmit(idx.data(), 64, 32, 64, PRESENT_P8, pal.data());
    EXPECT_EQ(PresenterGetShownCount(), n0 + 5);
    PresenterSubmit(idx.data(), 64, 32, 64, PRESENT_P8, pal.data());
    EXPECT_EQ(PresenterGetShownCount(), n0 + 5);
    pal[1] = 0x405060u;
    PresenterSubmit(idx.data(), 64, 32, 64, PRESENT_P8, pal.data());
    EXPECT_EQ(PresenterGetShownCount(), n0 + 6);
    ASSERT_TRUE(PresenterReadBack(&v, &w, &h));
    EXPECT_EQ(v[7 * 64 + 7], 0xFF405060u);
    // The last byte of the frame alone changed.
    idx.back() = 2;
    PresenterSubmit(idx.data(), 64, 32, 64, PRESENT_P8, pal.data());
    EXPECT_EQ(PresenterGetShownCount(), n0 + 7);
    // The bytes 00 80 are a dark red in R5G6B5 and black with its alpha bit
    // in A1R5G5B5: the same bytes in another format are another frame.
    std::vector<uint16_t> words(64 * 32, 0x8000u);
    PresenterSubmit(words.data(), 64, 32, 128, PRESENT_RGB565, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 8);
    PresenterSubmit(words.data(), 64, 32, 128, PRESENT_ARGB1555, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 9);
    PresenterSubmit(words.data(), 64, 32, 128, PRESENT_ARGB1555, nullptr);
    EXPECT_EQ(PresenterGetShownCount(), n0 + 9);
    ASSERT_TRUE(PresenterReadBack(&v, &w, &h));
    EXPECT_EQ(v[3 * 64 + 9], 0xFF000000u);

    PresenterAttachWindow(nullptr);
    SDL_DestroyWindow(lpWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

}  // namespace
