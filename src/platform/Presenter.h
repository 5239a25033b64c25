#pragma once
// Shows finished 640x480 frames in the window.
//
// Any thread submits a frame; the frame is converted to ARGB8888 (8-bit
// frames through the palette given with them) and kept as the last frame.
// When a window is attached, the main thread uploads it to one streaming
// texture and presents it with a logical size of the frame's size. Without a
// display of its own, or on a software OpenGL driver, the renderer is SDL's
// software one, which copies an unscaled frame into the window directly. Without a
// window (headless) the last frame is only kept; tests read it.
#include <cstdint>
#include <vector>

struct SDL_Window;

enum ePresentFormat : int {
    PRESENT_P8 = 0,        // palette indices, palette given as 0x00RRGGBB
    PRESENT_RGB565 = 1,
    PRESENT_ARGB1555 = 2,
    PRESENT_XRGB8888 = 3,
};

// Main thread: presents into this window (creates the renderer and the
// streaming texture). Null detaches. False when the renderer cannot be made.
bool PresenterAttachWindow(SDL_Window* lpWindow);
// Main thread: creates a window of its own (640x480, title UTF-8) and
// attaches it. False on failure.
bool PresenterCreateWindow(const char* pszTitleUtf8, int nWidth, int nHeight, bool bFullScreen);
// Main thread: destroys what the presenter created.
void PresenterShutdown();
SDL_Window* PresenterGetWindow();
// Main thread: full screen (SDL_WINDOW_FULLSCREEN_DESKTOP) or windowed.
bool PresenterSetFullScreen(bool bFullScreen);
void PresenterSetVSync(bool bOn);
// Any thread: shows or hides the mouse cursor over the window.
void PresenterShowCursor(bool bShow);

// Any thread: converts and keeps the frame, then has the main thread show it
// (through RunOnMainThread; headless the conversion is all). A frame equal
// to the one the window shows is kept without being shown again.
// lpPalette: 256 colours 0x00RRGGBB for PRESENT_P8, else ignored.
void PresenterSubmit(const void* lpPixels, int nWidth, int nHeight, int nPitch, int nFormat,
                     const uint32_t* lpPalette);
// Main thread: shows the last frame again (after an expose or a resize).
void PresenterRedraw();

// The last submitted frame as 0xAARRGGBB (alpha 255). False before any.
bool PresenterGetLastFrame(std::vector<uint32_t>* lpOut, int* lpWidth, int* lpHeight);
uint64_t PresenterGetFrameCount();
// How many times a frame was presented in the window.
uint64_t PresenterGetShownCount();
// Main thread: reads the window's rendered pixels back (SDL_RenderReadPixels),
// at the renderer's output size, as 0xAARRGGBB.
bool PresenterReadBack(std::vector<uint32_t>* lpOut, int* lpWidth, int* lpHeight);
