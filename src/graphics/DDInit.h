#pragma once
// Display set-up and release.
#include "graphics/DDSurface.h"

// Init codes of the DirectDraw set-ups.
enum : int {
    DDINIT_OK = 0,
    CREATEEX_ERR = 1,
    SETCOOPLEVEL_ERR = 2,
    SETDISPLAYMODE_ERR = 3,
    CREATESURFACE_ERR = 4,
    GETATTACHEDSURFACE_ERR = 5,
    CREATEPALETTE_ERR = 6,
    SETPALETTE_ERR = 7,
    LOADIMAGE_ERR = 8,
    SETCOLORKEY_ERR = 9,
    CLIPPER_ERR = 10,
    SETHWND_ERR = 11,
    SETCLIPPER_ERR = 12,
};

// Sets the display up. nBackEnd 0: DirectDraw, other: Direct3D. hWnd is the
// SDL_Window* (or null headless). Returns 1 on success.
uint8_t DDInit(int nBackEnd, void* hWnd, int nWidth, int nHeight, int nBpp, int nVSync, int bWindowed,
               int nBackBufferCount, int nRefresh, int bSetRefreshRate, DDSURFACEDATA* lpImages,
               struct IMAGEDATA* lpImageTable, int nCount, int nUnused = 0);
int DDInitD3D(void* hWnd, int nWidth, int nHeight, int nBpp);
int DDInitFullScreen(void* hWnd, int nWidth, int nHeight, int nBpp, int nBackBufferCount);
int DDInitWindow(void* hWnd);
// True for success codes; writes the name of a failure code to the EC log.
bool DDCheckInitErr(int nCode);
void DDRelease();
inline void DDEnd() { DDRelease(); }
// Direct3D: draws aimed at BackBuffer go to VirBackBuffer while on.
void DDSetVirBackBuffer(int bOn);
void DDSetDeviceStates();

// What the host display offers, as the set-up sees it. Tests replace it.
struct DDHOSTDISPLAY {
    int nDesktopBpp = 32;         // SDL_BYTESPERPIXEL x 8 of the desktop
    int nRefreshRate = 60;        // the desktop's refresh rate
    int nDDIVersion = 9;          // driver interface version (from the system report)
    int bFailD3D = 0;             // test hook: the device cannot be created
    int nMaxTextureWidth = 4096, nMaxTextureHeight = 4096;
    int bPow2 = 0, bSquareOnly = 0;
    int nVramTotalMB = 256;
};
DDHOSTDISPLAY& DDGetHostDisplay();
