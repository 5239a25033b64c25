// A real window: an image, glyph-sheet text and a fade step are presented and
// read back from the renderer. Runs when an X display is there (the test
// script starts a virtual one); skipped otherwise.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>

#include "platform/Presenter.h"
#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

TEST(DDWindow, PresentsImageTextAndFadeIntoARealWindow) {
    const char* pszDisplay = std::getenv("DISPLAY");
    if (!pszDisplay || !*pszDisplay) GTEST_SKIP() << "no X display";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        GTEST_SKIP() << SDL_GetError();
    }
    SDL_Window* lpWindow = SDL_CreateWindow("mossgrove test", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_SHOWN);
    ASSERT_NE(lpWindow, nullptr);

    cTempDir dir;
    // A 64 x 32 picture: left half red, right half blue.
    std::vector<uint32_t> px;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++) px.push_back(x < 32 ? 0xFF0000u : 0x0000FFu);
    ASSERT_TRUE(dir.WriteFile("pic.bmp", DDBuildBmp(64, 32, 24, {}, px)));
    // A glyph sheet of 8 x 16 cells, every cell a white bar on the key colour (magenta).
    std::vector<uint32_t> sheet(128 * 256, 0xFF00FFu);
    for (int g = 0; g < 256; g++)
        for (int y = 2; y < 14; y++)
            for (int x = 2; x < 6; x++) sheet[static_cast<size_t>((g / 16) * 16 + y) * 128 + (g % 16) * 8 + x] = 0xFFFFFFu;
    ASSERT_TRUE(dir.WriteFile("sheet.bmp", DDBuildBmp(128, 256, 24, {}, sheet)));

    for (const DDPROFILE& p : {DDPROFILE{1, 32, 1, "D3D32"}, DDPROFILE{0, 32, 1, "DDWin32"}}) {
        SCOPED_TRACE(p.pszName);
        ASSERT_TRUE(DDInit(p.nBackEnd, lpWindow, 640, 480, 32, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
        EXPECT_EQ(PresenterGetWindow(), lpWindow);
        DDSetTransmit(255, 0, 255);
        DDSURFACEDATA pic, glyphs;
        ASSERT_EQ(DDCreateSurfaceFromFile(&pic, "pic.bmp", 0, 32, 0, 0, nullptr, 0, 0, 0, 0), 0);
        ASSERT_EQ(DDCreateSurfaceFromFile(&glyphs, "sheet.bmp", 1, 32, 0, 0, nullptr, 0, 0, 0, 0), 0);
        DDFillRectRGB(&BackBuffer, 0, 0, 640, 480, lpDTCon ? 0xFF204080u : 0x204080u);
        DDStretchBlt(&BackBuffer, 0, 0, 320, 160, &pic, 0, 0, 64, 32, 0);
        DDSheetText(&BackBuffer, 100, 300, 8, 16, &glyphs, "AB");
        // One fade-out step with step 30: the picture at sin(60 degrees) on the second call.
        DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 30, aPalette, false);
        if (lpDTCon) {
            EXPECT_EQ(DDPresent(0, 0, nullptr), 1);
        } else {
            EXPECT_EQ(DDFlipToScreen(), 1);
        }
        std::vector<uint32_t> v;
        int w = 0, h = 0;
        ASSERT_TRUE(PresenterReadBack(&v, &w, &h));
        ASSERT_EQ(w, 640);
        ASSERT_EQ(h, 480);
        EXPECT_EQ(v[10 * 640 + 10] & 0xFFFFFF, 0xFF0000u);
        EXPECT_EQ(v[10 * 640 + 200] & 0xFFFFFF, 0x0000FFu);
        EXPECT_EQ(v[400 * 640 + 600] & 0xFFFFFF, 0x204080u);
        EXPECT_EQ(v[305 * 640 + 103] & 0xFFFFFF, 0xFFFFFFu) << "glyph bar";
        EXPECT_EQ(v[305 * 640 + 101] & 0xFFFFFF, 0x204080u) << "keyed glyph background";
        // The second fade step darkens the picture.
        if (lpDTCon) {
            DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 30, aPalette, false);
            DDPresent(0, 0, nullptr);
        } else {
            DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, 30, aPalette, false);
            DDFlipToScreen();
        }
        ASSERT_TRUE(PresenterReadBack(&v, &w, &h));
        uint32_t red = (v[10 * 640 + 10] >> 16) & 255;
        EXPECT_GT(red, 200u);
        EXPECT_LT(red, 230u);
        DDResetFades();
        DDReleaseSurface(&pic);
        DDReleaseSurface(&glyphs);
        DDRelease();
    }
    PresenterAttachWindow(nullptr);
    SDL_DestroyWindow(lpWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

}  // namespace
