// Frame presentation and restoring lost surfaces.
#include "graphics/DDPresent.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Timing.h"
#include "graphics/DDBatch.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDFade.h"
#include "graphics/DDImage.h"
#include "graphics/DDInit.h"
#include "graphics/DDPixel.h"
#include "platform/Clock.h"
#include "platform/MainThread.h"
#include "platform/MessageBox.h"
#include "platform/Presenter.h"

static void (*g_pfnRestoreFonts)() = nullptr;
static void (*g_pfnFontsLost)() = nullptr;
static bool g_bResettable = true;

void DDSetFontRestoreHook(void (*pfn)()) { g_pfnRestoreFonts = pfn; }
void DDSetFontLostHook(void (*pfn)()) { g_pfnFontsLost = pfn; }
void DDSetDeviceResettable(bool b) { g_bResettable = b; }

// Hands a screen surface to the presenter (8 bits through the display palette).
static void SubmitSurface(DDSURFACEDATA* sd) {
    DDPIXELS* p = DDGetPixels(sd);
    if (!p || p->vData.empty()) return;
    int nFormat;
    switch (p->nFormat) {
    case DDFMT_P8: nFormat = PRESENT_P8; break;
    case DDFMT_R5G6B5: nFormat = PRESENT_RGB565; break;
    case DDFMT_A1R5G5B5: nFormat = PRESENT_ARGB1555; break;
    default: nFormat = PRESENT_XRGB8888; break;
    }
    uint32_t aPal[256];
    for (int i = 0; i < 256; i++)
        aPal[i] = uint32_t(aDisplayPalette[i].peRed) << 16 | uint32_t(aDisplayPalette[i].peGreen) << 8 |
                  aDisplayPalette[i].peBlue;
    int nW = std::min(sd->nWidth, p->nWidth), nH = std::min(sd->nHeight, p->nHeight);
    PresenterSubmit(p->vData.data(), nW, nH, p->nPitch, nFormat, nFormat == PRESENT_P8 ? aPal : nullptr);
}

int DDPresent(unsigned nFps, int bShow, DDSURFACEDATA* lpSheet) {
    if (!lpDTCon) return 1;
    if (lpDTCon->bVirBackBuffer) DDCopyVirBackBuffer(&BackBuffer, &VirBackBuffer);
    if (nVSyncMode == 0) {
        while (!WaitFrame(nFps, bShow, lpSheet)) SleepMs(1);
    }
    DDEndScene();
    if (lpDTCon->bDeviceLost) {
        // Full screen gives the desktop back while the device is lost.
        if (!bDDWindowed && hDDWnd && SDL_WasInit(SDL_INIT_VIDEO)) {
            SDL_Window* w = static_cast<SDL_Window*>(hDDWnd);
            RunOnMainThread([w]() { SDL_MinimizeWindow(w); });
        }
        return 0;
    }
    SubmitSurface(&BackBuffer);
    DDCountShownFrame();
    return 1;
}

int DDFlipToScreen() {
    if (lpDTCon || !lpDDCon) return 0;
    if (lpDDCon->bPrimaryLost) return 0;
    DDPIXELS* pb = DDGetPixels(&BackBuffer);
    DDPIXELS* pp = DDGetPixels(&sdPrimary);
    if (pb && pp && pb->vData.size() == pp->vData.size()) pp->vData = pb->vData;
    SubmitSurface(&BackBuffer);
    DDCountShownFrame();
    return 1;
}

void DDCopyVirBackBuffer(DDSURFACEDATA* lpBack, DDSURFACEDATA* lpVir) {
    if (!lpDTCon || !lpBack || !lpVir) return;
    lpDTCon->bVirCopy = 1;
    DDSetBltAlphaOp(D3DTOP_DISABLE);
    DDBlt(lpBack, 0, 0, lpVir->nWidth, lpVir->nHeight, lpVir, 0, 0, 0);
    DDResetBltAlphaOp();
    lpDTCon->bVirCopy = 0;
}

void DDSimulateDeviceLoss() {
    if (lpDTCon) {
        lpDTCon->bDeviceLost = 1;
        // Render-target textures lose their pixels with the device.
        for (DTDATA* dt : lstDTSurface)
            if (dt->lpSurface && dt->nMemoryType != DTMEMORYTYPE_SYSTEM)
                std::memset(dt->lpSurface->vData.data(), 0xCD, dt->lpSurface->vData.size());
    } else if (lpDDCon) {
        lpDDCon->bPrimaryLost = 1;
        DDMarkVideoStoragesLost();
    }
}

int DDRestoreSurface() {
    WriteEC("Restore In");
    if (!lpDTCon) {
        WriteEC("DDではDDRestoreSurfaceは未対応");
        return 1;
    }
    if (g_pfnFontsLost) g_pfnFontsLost();
    if (!g_bResettable) {
        WriteEC("復旧失敗…リセット可能な状態ではありません…");
        return 0;
    }
    lpDTCon->bDeviceLost = 0;
    DDSetDeviceStates();
    // Copy the list: re-creation never adds, but keep the walk independent.
    std::list<DTDATA*> l = lstDTSurface;
    for (DTDATA* dt : l) {
        DDSURFACEDATA* sd = dt->lpOwner;
        if (!sd) continue;
        bool bFile = sd->szFileName[0] != 0 && std::strcmp(sd->szFileName, "E") != 0;
        if (bFile) {
            char szFile[260];
            std::memcpy(szFile, sd->szFileName, sizeof(szFile));
            int nCode = DDCreateSurfaceFromFile(sd, szFile, dt->bColorKey, nScreenBpp, sd->nMemory, dt->nMemoryType,
                                                sd->lpMirrorSD, dt->lpPalIndex != nullptr, sd->nMirrorWidth,
                                                sd->nMirrorHeight, 1);
            if (nCode != 0) WriteEC("Err");
        } else {
            if (!DDCreateSurface(sd, sd->nWidth, sd->nHeight, dt->bColorKey, sd->nMemory, dt->nMemoryType,
                                 sd->lpMirrorSD, 1))
                WriteEC("Err");
            sd->bLost = 1;
        }
    }
    if (g_pfnRestoreFonts) g_pfnRestoreFonts();
    if (!bDDWindowed && hDDWnd && SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Window* w = static_cast<SDL_Window*>(hDDWnd);
        RunOnMainThread([w]() { SDL_RestoreWindow(w); });
    }
    WriteEC("Restore Out");
    return 1;
}

bool DDIsPrimaryLost() { return lpDDCon && lpDDCon->bPrimaryLost; }

bool DDIsSurfaceLost(DDSURFACEDATA* sd) {
    if (lpDTCon || !sd || !sd->lpDDS || !sd->lpDDS->lpSurface) return false;
    return sd->lpDDS->lpSurface->bLost;
}

bool DDRestoreSurfaceData(DDSURFACEDATA* sd) {
    if (!sd || !sd->lpDDS || !sd->lpDDS->lpSurface) return false;
    sd->lpDDS->lpSurface->bLost = false;
    return true;
}

bool DDRestore() {
    if (lpDTCon) {
        WriteEC("D3DではDDRestoreは未対応");
        return true;
    }
    if (!lpDDCon || !lpDDCon->bPrimaryLost) return true;
    lpDDCon->bPrimaryLost = 0;
    DDRestoreSurfaceData(&sdPrimary);
    if (DDIsSurfaceLost(&BackBuffer)) DDRestoreSurfaceData(&BackBuffer);
    for (int i = 0; lpImageSD && i < nImageCount; i++) {
        DDSURFACEDATA* sd = &lpImageSD[i];
        if (!DDIsSurfaceLost(sd)) continue;
        DDRestoreSurfaceData(sd);
        if (sd->nMemory != 0) continue;
        if (sd->szFileName[0] == 0 || std::strcmp(sd->szFileName, "E") == 0) sd->bLost = 1;
        else DDReloadBitmap(sd, nScreenBpp);
    }
    if (nScreenBpp == 8) std::memcpy(aDisplayPalette, aPalEntry, sizeof(aDisplayPalette));
    if (g_pfnRestoreFonts) g_pfnRestoreFonts();
    return true;
}

static bool IsDirect3DHook() { return lpDTCon != nullptr; }

static void DrawStatsHook(DDSURFACEDATA* lpSheet, const char* text) { DDSheetText(&BackBuffer, 0, 16, 8, 16, lpSheet, text); }

void DDInstallProviders() {
    SetWaitFrameHooks(&IsDirect3DHook, &DrawStatsHook);
    SetVramProvider([](int* lpFree, int* lpTotal) {
        int nTotal = DDGetHostDisplay().nVramTotalMB;
        int nUsed = static_cast<int>(DDGetVideoBytesUsed() / (1024 * 1024));
        if (lpTotal) *lpTotal = nTotal;
        if (lpFree) *lpFree = nTotal - nUsed < 0 ? 0 : nTotal - nUsed;
    });
    SetVideoReportProvider([]() {
        VIDEOREPORTINFO info;
        info.bWindowed = bDDWindowed != 0;
        info.nBpp = nScreenBpp;
        info.bDirectDraw = lpDDCon != nullptr;
        info.bDirect3D = lpDTCon != nullptr;
        double dTotal = DDGetHostDisplay().nVramTotalMB;
        info.dVramTotalMB = dTotal;
        info.dVramFreeMB = dTotal - static_cast<double>(DDGetVideoBytesUsed()) / (1024.0 * 1024.0);
        info.nRefreshRate = static_cast<unsigned>(DDGetHostDisplay().nRefreshRate);
        return info;
    });
    if (bDDInitDone && !bDDWindowed) {
        SetFullScreenBoxHandler([](const char* text, const char* caption, unsigned nType) {
            if (!DDSetDialogMode(1)) {
                WriteEC("DDMesBox 失敗! %s, %s", text ? text : "", caption ? caption : "");
                return 0;
            }
            int nAnswer = GetMessageBoxService().Show(text ? text : "", caption ? caption : "", nType);
            DDSetDialogMode(0);
            return nAnswer;
        });
    } else {
        SetFullScreenBoxHandler(nullptr);
    }
}
