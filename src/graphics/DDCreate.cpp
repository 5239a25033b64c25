// Blank surfaces, texture sizes, surface lists and release.
#include "graphics/DDCreate.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "graphics/DDBlt.h"
#include "graphics/DDInit.h"
#include "graphics/DDPixel.h"
#include "platform/CloseRequest.h"

static long long g_nVideoBytes = 0;
// Every storage in video memory (a simulated loss marks them).
static std::vector<DDPIXELS*>& VideoStorages() {
    static auto* p = new std::vector<DDPIXELS*>();
    return *p;
}

long long DDGetVideoBytesUsed() { return g_nVideoBytes; }

static DDPIXELS* AllocStorage(int nWidth, int nHeight, int nFormat, bool bVideo);
static void FreeStorage(DDPIXELS*& p);
DDPIXELS* DDAllocStorage(int nWidth, int nHeight, int nFormat, bool bVideo) { return AllocStorage(nWidth, nHeight, nFormat, bVideo); }
void DDFreeStorage(DDPIXELS*& p) { FreeStorage(p); }

void DDMarkVideoStoragesLost() {
    for (DDPIXELS* p : VideoStorages()) {
        p->bLost = true;
        std::fill(p->vData.begin(), p->vData.end(), 0xCD);
    }
}

// Allocates storage; bVideo asks for video memory, which fails when the
// emulated card is full. Returns null on failure.
static DDPIXELS* AllocStorage(int nWidth, int nHeight, int nFormat, bool bVideo) {
    long long nBytes = static_cast<long long>(nWidth) * nHeight * DDFormatBytes(nFormat);
    if (bVideo && g_nVideoBytes + nBytes > static_cast<long long>(DDGetHostDisplay().nVramTotalMB) * 1024 * 1024)
        return nullptr;
    DDPIXELS* p = new DDPIXELS();
    if (!DDAllocPixels(*p, nWidth, nHeight, nFormat)) {
        delete p;
        return nullptr;
    }
    p->bVideo = bVideo;
    if (bVideo) {
        g_nVideoBytes += nBytes;
        VideoStorages().push_back(p);
    }
    return p;
}

static void FreeStorage(DDPIXELS*& p) {
    if (!p) return;
    if (p->bVideo) {
        g_nVideoBytes -= static_cast<long long>(p->nWidth) * p->nHeight * p->nBytes;
        auto& v = VideoStorages();
        v.erase(std::remove(v.begin(), v.end(), p), v.end());
    }
    delete p;
    p = nullptr;
}

static int DDScreenFormat() {
    switch (nScreenBpp) {
    case 8: return DDFMT_P8;
    case 16: return DDFMT_R5G6B5;
    case 32: return DDFMT_X8R8G8B8;
    default: return DDFMT_UNKNOWN;
    }
}

void DDRoundTextureSize(int* lpWidth, int* lpHeight) {
    if (!lpDTCon) return;
    auto roundUp = [](int n) {
        if (n <= 0 || (n & (n - 1)) == 0) return n;
        int nHigh = 1;
        while ((nHigh << 1) <= n && nHigh < (1 << 29)) nHigh <<= 1;
        return nHigh << 1;
    };
    if (lpDTCon->bPow2) {
        *lpWidth = roundUp(*lpWidth);
        *lpHeight = roundUp(*lpHeight);
    }
    if (lpDTCon->bSquareOnly) {
        if (*lpWidth < *lpHeight) *lpWidth = *lpHeight;
        else *lpHeight = *lpWidth;
    }
}

int DDCheckTextureSize(int nWidth, int nHeight) {
    if (!lpDTCon) return 1;
    int bOk = 1;
    if (static_cast<unsigned>(nWidth) > static_cast<unsigned>(lpDTCon->nMaxTextureWidth)) {
        WriteReport("このビデオカードでは横幅%dを超える画像はサポートされていません！", lpDTCon->nMaxTextureWidth);
        bOk = 0;
    }
    if (static_cast<unsigned>(nHeight) > static_cast<unsigned>(lpDTCon->nMaxTextureHeight)) {
        WriteReport("このビデオカードでは縦幅%dを超える画像はサポートされていません！", lpDTCon->nMaxTextureHeight);
        bOk = 0;
    }
    return bOk;
}

static void FatalTextureError() {
    if (lpDTCon && !lpDTCon->strTexErrMsg.empty()) ErrorBoxText(lpDTCon->strTexErrMsg.c_str());
    PostCloseRequest(CLOSE_FATAL);
}

static bool CreateD3D(DDSURFACEDATA* sd, int nWidth, int nHeight, int bColorKey, int nMemory, int nMemoryType,
                      DDSURFACEDATA* lpSrcSD, int bRecreate) {
    if (!sd->lpDT) sd->lpDT = DDNewDTData(sd);
    DTDATA* dt = sd->lpDT;
    dt->lpOwner = sd;
    if (!bRecreate) {
        std::strcpy(sd->szType, "OffScreen");
        std::strcpy(sd->szFileName, "E");
        dt->nMemoryType = nMemoryType;
        dt->lpSurface = dt->lpTexture = nullptr;
        dt->bColorKey = (bColorKey == 1);
        if (!lpSrcSD) {
            dt->dwID = lpDTCon->dwNextID++;
            dt->bVB = true;
        }
    }
    if (lpSrcSD) {
        sd->nWidth = sd->nTexWidth = nWidth;
        sd->nHeight = sd->nTexHeight = nHeight;
        sd->nMemory = nMemory;
        return true;
    }
    if (nWidth <= 0 || nHeight <= 0) {
        WriteReport("D3DXCreateTexture Err hr = %x", 0x8876086Cu);
        return false;
    }
    int nTexW = nWidth, nTexH = nHeight;
    DDRoundTextureSize(&nTexW, &nTexH);
    if (!DDCheckTextureSize(nTexW, nTexH)) WriteReport("上記の理由でテクスチャの描画が失敗する可能性があります。(空)");

    int nType = nMemoryType == DTMEMORYTYPE_VIDEO_NORT ? DTMEMORYTYPE_VIDEO_RT : nMemoryType;
    if (bRecreate) nType = dt->nMemoryType == DTMEMORYTYPE_VIDEO_NORT ? DTMEMORYTYPE_VIDEO_RT : dt->nMemoryType;
    if (bRecreate && nType == DTMEMORYTYPE_SYSTEM) {
        // A system-memory texture survives a reset with its pixels.
        return dt->lpSurface != nullptr;
    }
    DDPIXELS* p = nullptr;
    if (nType == DTMEMORYTYPE_VIDEO_RT) {
        dt->bRenderTarget = 1;
        p = AllocStorage(nTexW, nTexH, lpDTCon->fmtTexture, true);
        if (!p) {
            WriteReport("VRAM不足のためシステムメモリにテクスチャを作成します。(空)");
            nType = DTMEMORYTYPE_SYSTEM;
        }
    }
    if (nType == DTMEMORYTYPE_SYSTEM && !p) {
        dt->bRenderTarget = 0;
        p = AllocStorage(nTexW, nTexH, lpDTCon->fmtTexture, false);
        if (!p) {
            WriteReport("D3DXCreateTexture Err hr = %x", 0x8007000Eu);
            FatalTextureError();
            return false;
        }
    }
    if (!p) return false;
    FreeStorage(dt->lpSurface);
    dt->lpSurface = dt->lpTexture = p;
    dt->nMemoryType = nType;
    dt->Desc.Format = p->nFormat;
    dt->Desc.Width = p->nWidth;
    dt->Desc.Height = p->nHeight;
    sd->nWidth = nWidth;
    sd->nHeight = nHeight;
    sd->nTexWidth = p->nWidth;
    sd->nTexHeight = p->nHeight;
    sd->nMemory = nMemory;
    if (dt->bRenderTarget) {
        // A new render target starts as the opaque transparent colour.
        uint32_t v = DDPackARGB(p->nFormat, lpDTCon->dwTransmitBack);
        for (int y = 0; y < p->nHeight; y++)
            for (int x = 0; x < p->nWidth; x++) DDPutRaw(*p, x, y, v);
    }
    if (!bRecreate) {
        bool bListed = false;
        for (DTDATA* q : lstDTSurface)
            if (q == dt) bListed = true;
        if (!bListed) lstDTSurface.push_back(dt);
    }
    return true;
}

static bool CreateDD(DDSURFACEDATA* sd, int nWidth, int nHeight, int bColorKey, int nMemory) {
    if (!sd->lpDDS) sd->lpDDS = new DDDATA();
    DDDATA* dd = sd->lpDDS;
    int nFormat = DDScreenFormat();
    if (nFormat == DDFMT_UNKNOWN || nWidth <= 0 || nHeight <= 0) {
        WriteReport(nMemory == 1 ? "CreateSurface System Err" : "CreateSurface Video -> System Err");
        return false;
    }
    DDPIXELS* p = nullptr;
    int nGot = nMemory == 1 ? 1 : 0;
    if (nMemory == 1) {
        p = AllocStorage(nWidth, nHeight, nFormat, false);
        if (!p) {
            WriteReport("CreateSurface System Err");
            return false;
        }
    } else {
        p = AllocStorage(nWidth, nHeight, nFormat, true);
        if (!p) {
            p = AllocStorage(nWidth, nHeight, nFormat, false);
            if (!p) {
                WriteReport("CreateSurface Video -> System Err");
                return false;
            }
            nGot = 1;
        }
    }
    FreeStorage(dd->lpSurface);
    dd->lpSurface = p;
    dd->bColorKey = bColorKey == 1;
    dd->dwColorKey = dwTransColor;
    sd->nWidth = sd->nTexWidth = nWidth;
    sd->nHeight = sd->nTexHeight = nHeight;
    sd->nMemory = nGot;
    DDFillRect(sd, 0, 0, nWidth, nHeight, 0);
    return true;
}

bool DDCreateSurface(DDSURFACEDATA* sd, int nWidth, int nHeight, int bColorKey, int nMemory, int nMemoryType,
                     DDSURFACEDATA* lpSrcSD, int bRecreate) {
    if (!sd) return false;
    if (lpDTCon) return CreateD3D(sd, nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD, bRecreate);
    if (!lpDDCon) return false;
    return CreateDD(sd, nWidth, nHeight, bColorKey, nMemory);
}

void DDReleaseSurfaceData(DDSURFACEDATA* sd) {
    if (!sd) return;
    if (DTDATA* dt = sd->lpDT) {
        // A record that shares another's texture holds no storage of its
        // own, so this never frees the shared texture.
        FreeStorage(dt->lpSurface);
        dt->lpTexture = nullptr;
        delete[] dt->lpPalIndex;
        DDDeleteDTData(dt);
        sd->lpDT = nullptr;
    }
    if (DDDATA* dd = sd->lpDDS) {
        FreeStorage(dd->lpSurface);
        delete[] dd->lpPalIndex;
        delete dd;
        sd->lpDDS = nullptr;
    }
}

void DDReleaseSurfaceVector(cChkVector<DDSURFACEDATA>& v) {
    for (auto& sd : v) DDReleaseSurfaceData(&sd);
}

void DDReleaseSurfaceList(cChkList<DDSURFACEDATA>& l) {
    for (auto& sd : l) DDReleaseSurfaceData(&sd);
}

static IMAGEDATA MakeImage(int nWidth, int nHeight, int bColorKey, int nMemory, int nMemoryType,
                           DDSURFACEDATA* lpSrcSD) {
    IMAGEDATA img;
    img.nWidth = nWidth;
    img.nHeight = nHeight;
    img.nColorKey = bColorKey;
    img.nMemory = nMemory;
    img.nMemoryType = nMemoryType;
    img.lpSrcSD = lpSrcSD;
    return img;
}

bool DDAddSurfaceToVector(cChkVector<DDSURFACEDATA>& vSurfaces, cChkVector<IMAGEDATA>& vImages, int nWidth,
                          int nHeight, int bColorKey, int nMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD) {
    vSurfaces.emplace_back();
    vImages.push_back(MakeImage(nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD));
    return DDCreateSurface(&vSurfaces.back(), nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD, 0);
}

bool DDAddSurfaceToList(cChkList<DDSURFACEDATA>& lSurfaces, cChkList<IMAGEDATA>& lImages, int nWidth, int nHeight,
                        int bColorKey, int nMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD) {
    lSurfaces.emplace_back();
    lImages.push_back(MakeImage(nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD));
    return DDCreateSurface(&lSurfaces.back(), nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD, 0);
}

bool DDInsertSurfaceToList(cChkList<DDSURFACEDATA>& lSurfaces, cChkList<IMAGEDATA>& lImages, int nIndex,
                           int nWidth, int nHeight, int bColorKey, int nMemory, int nMemoryType,
                           DDSURFACEDATA* lpSrcSD) {
    if (nIndex < 0) nIndex = 0;
    if (static_cast<size_t>(nIndex) >= lSurfaces.size())
        return DDAddSurfaceToList(lSurfaces, lImages, nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD);
    auto itS = lSurfaces.begin();
    std::advance(itS, nIndex);
    auto itNew = lSurfaces.emplace(itS);
    IMAGEDATA img = MakeImage(nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD);
    if (static_cast<size_t>(nIndex) < lImages.size()) {
        auto itI = lImages.begin();
        std::advance(itI, nIndex);
        lImages.insert(itI, img);
    } else {
        lImages.push_back(img);
    }
    return DDCreateSurface(&*itNew, nWidth, nHeight, bColorKey, nMemory, nMemoryType, lpSrcSD, 0);
}

int DDDeleteSurfaceFromList(cChkList<DDSURFACEDATA>& lSurfaces, cChkList<IMAGEDATA>& lImages, DDSURFACEDATA* sd) {
    int i = 0;
    for (auto it = lSurfaces.begin(); it != lSurfaces.end(); ++it, ++i) {
        if (&*it != sd) continue;
        DDReleaseSurfaceData(&*it);
        lSurfaces.erase(it);
        lImages.EraseAt(i);
        return 1;
    }
    return 0;
}
