// Display set-up and release.
#include "graphics/DDInit.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "foundation/Log.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDFade.h"
#include "graphics/DDPixel.h"
#include "graphics/DDPresent.h"
#include "platform/MainThread.h"
#include "platform/Presenter.h"

static DTCONDATA* lpDTConOwner = nullptr;
static DDCONDATA* lpDDConOwner = nullptr;

DDHOSTDISPLAY& DDGetHostDisplay() {
    static DDHOSTDISPLAY d = [] {
        DDHOSTDISPLAY h;
        h.nDDIVersion = GetDDIVersion();
        return h;
    }();
    return d;
}

// Reads the desktop of the window's display: its depth (bytes per pixel x 8;
// the bit count of a 32-bit desktop says 24) and its refresh rate.
static void ReadHostDesktop(void* hWnd) {
    if (!hWnd || !SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Window* lpWindow = static_cast<SDL_Window*>(hWnd);
    RunOnMainThread([lpWindow]() {
        int nDisplay = SDL_GetWindowDisplayIndex(lpWindow);
        SDL_DisplayMode mode;
        if (nDisplay < 0 || SDL_GetDesktopDisplayMode(nDisplay, &mode) != 0) return;
        DDHOSTDISPLAY& host = DDGetHostDisplay();
        if (SDL_BYTESPERPIXEL(mode.format) >= 2) host.nDesktopBpp = SDL_BYTESPERPIXEL(mode.format) * 8;
        if (mode.refresh_rate > 0) host.nRefreshRate = mode.refresh_rate;
    });
}

bool DDCheckInitErr(int nCode) {
    static const char* const aszNames[] = {nullptr,       "CREATEEX_ERR",    "SETCOOPLEVEL_ERR", "SETDISPLAYMODE_ERR",
                                           "CREATESURFACE_ERR", "GETATTACHEDSURFACE_ERR", "CREATEPALETTE_ERR",
                                           "SETPALETTE_ERR", "LOADIMAGE_ERR", "SETCOLORKEY_ERR", "CLIPPER_ERR",
                                           "SETHWND_ERR", "SETCLIPPER_ERR"};
    // Codes 8 and 9 belong to image loading; like any code not in the
    // set-up's table they count as success here.
    if (nCode <= 0 || nCode > 12 || nCode == 8 || nCode == 9) return true;
    WriteEC("%s", aszNames[nCode]);
    return false;
}

void DDSetDeviceStates() {
    // Culling and Z off, alpha blending SRCALPHA/INVSRCALPHA, point
    // filtering and wrap addressing: the CPU device always works this way.
}

// Makes a screen surface with its own storage (not listed for restores).
static bool MakeScreenSurfaceD3D(DDSURFACEDATA* sd, int nWidth, int nHeight, int nFormat, const char* pszType) {
    if (!sd->lpDT) sd->lpDT = DDNewDTData(sd);
    DDFreeStorage(sd->lpDT->lpSurface);
    DDPIXELS* p = DDAllocStorage(nWidth, nHeight, nFormat, false);
    if (!p) return false;
    sd->lpDT->lpSurface = sd->lpDT->lpTexture = p;
    sd->lpDT->Desc = {nFormat, nWidth, nHeight};
    sd->lpDT->nMemoryType = DTMEMORYTYPE_VIDEO_RT;
    sd->lpDT->bRenderTarget = 1;
    sd->lpDT->dwID = 0;
    sd->lpDT->bVB = true;
    sd->nWidth = sd->nTexWidth = nWidth;
    sd->nHeight = sd->nTexHeight = nHeight;
    sd->nMemory = 0;
    std::strcpy(sd->szType, pszType);
    return true;
}

static void HideCursor(bool bHide) {
    if (!hDDWnd) return;
    PresenterShowCursor(!bHide);
}

int DDInitD3D(void* /*hWnd*/, int nWidth, int nHeight, int nBpp) {
    DDHOSTDISPLAY& host = DDGetHostDisplay();
    if (host.nDDIVersion < 9) {
        WriteReport("ビデオカードのドライバがDirectX9をサポートしていません！ %d", host.nDDIVersion);
        return 0;
    }
    lpDTConOwner = new DTCONDATA();
    lpDTCon = lpDTConOwner;
    lpDTCon->bWindowed = bDDWindowed;
    if (nVSyncMode && host.nRefreshRate != 60) {
        // The desktop stays at its rate: vsync is off for the rest of the run.
        WriteReport("RefreshRate : %d", host.nRefreshRate);
        WriteReport("リフレッシュレートの変更に失敗しました！垂直同期が無効になります！");
        nVSyncMode = 0;
    } else if (nVSyncMode) {
        WriteReport("RefreshRate : %d", host.nRefreshRate);
    }
    lpDTCon->nMaxTextureWidth = host.nMaxTextureWidth;
    lpDTCon->nMaxTextureHeight = host.nMaxTextureHeight;
    lpDTCon->bPow2 = host.bPow2;
    lpDTCon->bSquareOnly = host.bSquareOnly;
    lpDTCon->bDynamicTextures = 1;
    if (nBpp == 32) {
        lpDTCon->fmtBackBuffer = DDFMT_X8R8G8B8;
        lpDTCon->fmtTexture = DDFMT_A8R8G8B8;
        pfDraw = DDFormatChannels(DDFMT_A8R8G8B8);
    } else if (nBpp == 16) {
        lpDTCon->fmtTexture = DDFMT_A1R5G5B5;
        lpDTCon->fmtBackBuffer = bDDWindowed ? DDFMT_A1R5G5B5 : DDFMT_R5G6B5;
        pfDraw = DDFormatChannels(DDFMT_A1R5G5B5);
        pfBack = DDFormatChannels(lpDTCon->fmtBackBuffer);
    } else {
        return 0;
    }
    if (host.bFailD3D) {
        WriteEC("CreateDevice Err");
        return 0;
    }
    WriteReport("Device HAL-HARD");
    WriteReport("%s", lpDTCon->fmtBackBuffer == DDFMT_X8R8G8B8 ? "X8R8G8B8"
                      : lpDTCon->fmtBackBuffer == DDFMT_R5G6B5 ? "R5G6B5"
                                                                : "A1R5G5B5");
    lpDTCon->fmtDisplay = lpDTCon->fmtBackBuffer;
    DDSetDeviceStates();
    lpDTCon->dwBltColor = 0xFFFFFFFFu;
    lpDTCon->nBltColorOp = D3DTOP_MODULATE;
    lpDTCon->nBltAlphaOp = D3DTOP_SELECTARG1;

    if (!MakeScreenSurfaceD3D(&BackBuffer, nWidth, nHeight, lpDTCon->fmtBackBuffer, "BackBuffer")) {
        WriteReport("Back CreateVertexBuffer Err %x", 0x8007000Eu);
        return 0;
    }
    lpDTCon->dwNextID = 1;
    lpDTCon->dwNextFontID = 0;

    DDAllocBackEndData(&VirBackBuffer);
    DDSetVirBackBuffer(0);
    lpDTCon->bVirCopy = 0;
    // The virtual back buffer and the work surface are needed by the
    // effects: a set-up without them fails.
    if (!DDCreateSurface(&VirBackBuffer, nWidth, nHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0)) {
        WriteReport("VirBackBuffer CreateSurface Err");
        return 0;
    }
    std::strcpy(VirBackBuffer.szType, "VirBackBuffer");
    if (!DDCreateSurface(&WorkSD, nWidth, nHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0)) {
        WriteReport("WorkSD CreateSurface Err");
        return 0;
    }
    std::strcpy(WorkSD.szType, "WorkSD");
    if (!bDDWindowed) HideCursor(true);
    return 1;
}

static void SetDisplayPaletteDefaults(bool bWindow) {
    for (int i = 0; i < 256; i++) {
        PALETTEENTRY e;
        if (!bWindow) {
            e = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i == 0 ? 255 : 0), PC_RESERVED};
        } else if (i >= 10 && i <= 245) {
            e = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0, PC_RESERVED};
        } else {
            e = {static_cast<uint8_t>(i), 0, 0, PC_EXPLICIT};
        }
        aDisplayPalette[i] = e;
    }
}

static void CountScreenMasks(int nBpp) {
    if (nBpp == 16) DDCountMaskShifts(0xF800, 0x07E0, 0x001F, 16);
    else DDCountMaskShifts(0xFF0000, 0x00FF00, 0x0000FF, 32);
}

static bool MakeScreenSurfaceDD(DDSURFACEDATA* sd, int nWidth, int nHeight) {
    if (!sd->lpDDS) sd->lpDDS = new DDDATA();
    DDFreeStorage(sd->lpDDS->lpSurface);
    int nFormat = nScreenBpp == 8 ? DDFMT_P8 : nScreenBpp == 16 ? DDFMT_R5G6B5 : DDFMT_X8R8G8B8;
    sd->lpDDS->lpSurface = DDAllocStorage(nWidth, nHeight, nFormat, true);
    if (!sd->lpDDS->lpSurface) return false;
    sd->nWidth = sd->nTexWidth = nWidth;
    sd->nHeight = sd->nTexHeight = nHeight;
    sd->nMemory = 0;
    return true;
}

int DDInitFullScreen(void* /*hWnd*/, int nWidth, int nHeight, int nBpp, int nBackBufferCount) {
    (void)nBackBufferCount;
    if (nBpp != 8 && nBpp != 16 && nBpp != 32) {
        WriteReport("SetDisplayMode Err");
        return SETDISPLAYMODE_ERR;
    }
    if (!MakeScreenSurfaceDD(&sdPrimary, nWidth, nHeight)) {
        WriteReport("Primary CreateSurface Err");
        return CREATESURFACE_ERR;
    }
    if (!MakeScreenSurfaceDD(&BackBuffer, nWidth, nHeight)) {
        WriteReport("GetAttachedSurface Err");
        return GETATTACHEDSURFACE_ERR;
    }
    if (nBpp > 8) CountScreenMasks(nBpp);
    if (!DDCreateSurface(&sdScreenCopy, nWidth, nHeight, 0, 1, 0, nullptr, 0)) return CREATESURFACE_ERR;
    SetDisplayPaletteDefaults(false);
    HideCursor(true);
    return DDINIT_OK;
}

int DDInitWindow(void* /*hWnd*/) {
    // The client area is the logical 640x480 frame.
    if (!MakeScreenSurfaceDD(&sdPrimary, nScreenWidth, nScreenHeight)) {
        WriteReport("Primary CreateSurface Err");
        return CREATESURFACE_ERR;
    }
    if (nScreenBpp > 8) CountScreenMasks(nScreenBpp);
    if (!DDCreateSurface(&BackBuffer, nScreenWidth, nScreenHeight, 0, 0, 0, nullptr, 0)) return CREATESURFACE_ERR;
    if (!DDCreateSurface(&sdScreenCopy, nScreenWidth, nScreenHeight, 0, 1, 0, nullptr, 0)) return CREATESURFACE_ERR;
    SetDisplayPaletteDefaults(true);
    HideCursor(false);
    return DDINIT_OK;
}

uint8_t DDInit(int nBackEnd, void* hWnd, int nWidth, int nHeight, int nBpp, int nVSync, int bWindowed,
               int nBackBufferCount, int nRefresh, int bSetRefreshRate, DDSURFACEDATA* lpImages,
               IMAGEDATA* lpImageTable, int nCount, int /*nUnused*/) {
    // A second set-up releases the first, whichever profile it used.
    if (lpDTCon || lpDDCon || bDDInitOnce) DDRelease();
    bUseD3D = nBackEnd ? 1 : 0;
    hDDWnd = hWnd;
    nScreenWidth = nWidth;
    nScreenHeight = nHeight;
    nScreenBpp = nBpp;
    nScreenBytes = nBpp / 8;
    nVSyncMode = nVSync;
    bDDWindowed = bWindowed;
    nBackBuffers = nBackBufferCount;
    nRefreshRate = nRefresh;
    bSetRefresh = bSetRefreshRate;
    lpImageSD = lpImages;
    lpImageData = lpImageTable;
    nImageCount = nCount;
    WriteReport("VSync : %d", nVSync);
    ReadHostDesktop(hWnd);
    DDResetFades();
    pfDraw = DDPIXELFORMAT();
    pfBack = DDPIXELFORMAT();
    if (bUseD3D) {
        if (!DDInitD3D(hWnd, nWidth, nHeight, nBpp)) return 0;
    } else {
        if (bWindowed) {
            // A window shows the desktop's depth: a Linux desktop is 32 bits.
            int nDesk = DDGetHostDisplay().nDesktopBpp;
            if (nDesk != nBpp) {
                WriteReport("Bpp %d -> %d (desktop)", nBpp, nDesk);
                nScreenBpp = nDesk;
                nScreenBytes = nDesk / 8;
            }
        }
        lpDDConOwner = new DDCONDATA();
        lpDDCon = lpDDConOwner;
        lpDDCon->dwNextFontID = 0;
        int nCode = bWindowed ? DDInitWindow(hWnd) : DDInitFullScreen(hWnd, nWidth, nHeight, nBpp, nBackBufferCount);
        if (!DDCheckInitErr(nCode)) return 0;
    }
    bDDInitDone = 1;
    bDDInitOnce = 1;
    DDInstallProviders();
    if (hWnd) {
        // Frames go to the given window: full screen is the desktop-sized window.
        SDL_Window* lpWindow = static_cast<SDL_Window*>(hWnd);
        RunOnMainThread([lpWindow]() {
            PresenterSetVSync(nVSyncMode != 0);
            if (PresenterGetWindow() != lpWindow) PresenterAttachWindow(lpWindow);
            PresenterSetFullScreen(!bDDWindowed);
        });
    }
    return 1;
}

void DDRelease() {
    if (lpDDConOwner) {
        for (int i = 0; lpImageSD && i < nImageCount; i++) DDReleaseSurfaceData(&lpImageSD[i]);
        DDReleaseSurfaceData(&BackBuffer);
        DDReleaseSurfaceData(&sdPrimary);
        DDReleaseSurfaceData(&sdScreenCopy);
        delete lpDDConOwner;
        lpDDConOwner = nullptr;
        lpDDCon = nullptr;
    }
    if (lpDTConOwner) {
        for (int i = 0; lpImageSD && i < nImageCount; i++) DDReleaseSurfaceData(&lpImageSD[i]);
        DDReleaseSurfaceData(&WorkSD);
        DDReleaseSurfaceData(&VirBackBuffer);
        DDReleaseSurfaceData(&BackBuffer);
        delete lpDTConOwner;
        lpDTConOwner = nullptr;
        lpDTCon = nullptr;
    }
    lpDTCon = nullptr;
    lpDDCon = nullptr;
    if (bDDInitDone) {
        bDDInitDone = 0;
        DDInstallProviders();
    }
}

void DDSetVirBackBuffer(int bOn) {
    if (!lpDTCon) return;
    if (lpDTCon->bVirBackBuffer && !bOn && DDGetPixels(&VirBackBuffer)) DDCopyVirBackBuffer(&BackBuffer, &VirBackBuffer);
    lpDTCon->bVirBackBuffer = bOn;
    lpDTCon->lpTarget = bOn ? &BackBuffer : &VirBackBuffer;
}
