// Pixel formats, colour conversions, palette colours and locked pixels.
#include "graphics/DDPixel.h"

#include "foundation/Log.h"

int DDFormatBytes(int nFormat) {
    switch (nFormat) {
    case DDFMT_P8: return 1;
    case DDFMT_R5G6B5:
    case DDFMT_A1R5G5B5: return 2;
    case DDFMT_X8R8G8B8:
    case DDFMT_A8R8G8B8: return 4;
    default: return 0;
    }
}

DDPIXELFORMAT DDFormatChannels(int nFormat) {
    DDPIXELFORMAT pf;
    switch (nFormat) {
    case DDFMT_R5G6B5:
        pf.nShiftR = 11; pf.nShiftG = 5; pf.nShiftB = 0; pf.nShiftA = 16;
        pf.nMaxR = 31; pf.nMaxG = 63; pf.nMaxB = 31; pf.nMaxA = 0;
        break;
    case DDFMT_A1R5G5B5:
        pf.nShiftR = 10; pf.nShiftG = 5; pf.nShiftB = 0; pf.nShiftA = 15;
        pf.nMaxR = 31; pf.nMaxG = 31; pf.nMaxB = 31; pf.nMaxA = 1;
        break;
    case DDFMT_X8R8G8B8:
        pf.nShiftR = 16; pf.nShiftG = 8; pf.nShiftB = 0; pf.nShiftA = 24;
        pf.nMaxR = 255; pf.nMaxG = 255; pf.nMaxB = 255; pf.nMaxA = 0;
        break;
    case DDFMT_A8R8G8B8:
        pf.nShiftR = 16; pf.nShiftG = 8; pf.nShiftB = 0; pf.nShiftA = 24;
        pf.nMaxR = 255; pf.nMaxG = 255; pf.nMaxB = 255; pf.nMaxA = 255;
        break;
    default: break;
    }
    return pf;
}

static void MaskToShift(uint32_t dwMask, int nBitCount, int* lpShift, uint32_t* lpMax) {
    int nShift = 0;
    if (dwMask == 0) {
        *lpShift = 0;
        *lpMax = 0;
        return;
    }
    while (nShift < nBitCount && nShift < 32 && !(dwMask & (1u << nShift))) nShift++;
    *lpShift = nShift;
    *lpMax = nShift < 32 ? dwMask >> nShift : 0;
}

DDPIXELFORMAT DDMasksToFormat(uint32_t dwR, uint32_t dwG, uint32_t dwB, uint32_t dwA, int nBitCount) {
    DDPIXELFORMAT pf;
    MaskToShift(dwR, nBitCount, &pf.nShiftR, &pf.nMaxR);
    MaskToShift(dwG, nBitCount, &pf.nShiftG, &pf.nMaxG);
    MaskToShift(dwB, nBitCount, &pf.nShiftB, &pf.nMaxB);
    MaskToShift(dwA, nBitCount, &pf.nShiftA, &pf.nMaxA);
    return pf;
}

uint32_t DDPackByFormat(const DDPIXELFORMAT& pf, uint32_t argb, bool bRound) {
    auto red = [&](uint32_t v, uint32_t m) { return bRound ? DDReduceChannelRound(v, m) : DDReduceChannelTrunc(v, m); };
    uint32_t a = argb >> 24, r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    uint32_t v = (red(r, pf.nMaxR) << pf.nShiftR) | (red(g, pf.nMaxG) << pf.nShiftG) | (red(b, pf.nMaxB) << pf.nShiftB);
    if (pf.nMaxA) v |= red(a, pf.nMaxA) << pf.nShiftA;
    return v;
}

uint32_t DDUnpackByFormat(const DDPIXELFORMAT& pf, uint32_t px) {
    uint32_t r = DDExpandChannel((px >> pf.nShiftR) & pf.nMaxR, pf.nMaxR);
    uint32_t g = DDExpandChannel((px >> pf.nShiftG) & pf.nMaxG, pf.nMaxG);
    uint32_t b = DDExpandChannel((px >> pf.nShiftB) & pf.nMaxB, pf.nMaxB);
    uint32_t a = pf.nMaxA ? DDExpandChannel((px >> pf.nShiftA) & pf.nMaxA, pf.nMaxA) : 255u;
    return a << 24 | r << 16 | g << 8 | b;
}

uint32_t DDPackARGB(int nFormat, uint32_t argb) {
    switch (nFormat) {
    case DDFMT_A8R8G8B8: return argb;
    case DDFMT_X8R8G8B8: return argb & 0x00FFFFFFu;
    case DDFMT_R5G6B5:
    case DDFMT_A1R5G5B5: return DDPackByFormat(DDFormatChannels(nFormat), argb, true);
    default: return 0;
    }
}

uint32_t DDUnpackARGB(int nFormat, uint32_t px) {
    switch (nFormat) {
    case DDFMT_A8R8G8B8: return px;
    case DDFMT_X8R8G8B8: return px | 0xFF000000u;
    case DDFMT_R5G6B5:
    case DDFMT_A1R5G5B5: return DDUnpackByFormat(DDFormatChannels(nFormat), px);
    default: return 0;
    }
}

bool DDAllocPixels(DDPIXELS& p, int nWidth, int nHeight, int nFormat) {
    int nBytes = DDFormatBytes(nFormat);
    if (nWidth <= 0 || nHeight <= 0 || nBytes == 0 || nWidth > 16384 || nHeight > 16384) return false;
    p.nWidth = nWidth;
    p.nHeight = nHeight;
    p.nFormat = nFormat;
    p.nBytes = nBytes;
    p.nPitch = (nWidth * nBytes + 3) & ~3;
    return p.vData.AllocZeroed(static_cast<size_t>(p.nPitch) * nHeight);
}

uint32_t PalNumToRGB(uint32_t dwPalNum) {
    if (dwPalNum > 255) {
        WriteEC("PalNumToRGB(DWORD dwPalNum) Err dwPalNum = %d", static_cast<int>(dwPalNum));
        return 0;
    }
    const PALETTEENTRY& e = aPalette[dwPalNum];
    if (lpDTCon) {
        if (dwPalNum == 0) return lpDTCon->dwTransmit;
        return 0xFF000000u | uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
    }
    switch (nScreenBpp) {
    case 8: return dwPalNum;
    case 16: return DDPalToRGB16(e);
    default: return uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
    }
}

uint16_t DDPalToRGB16(const PALETTEENTRY& e) {
    if (lpDTCon) {
        WriteEC("DDPalToRGB16はDirect3Dでは未対応");
        return 0;
    }
    uint32_t v = ((e.peRed & pfDraw.nMaxR) << pfDraw.nShiftR) | ((e.peGreen & pfDraw.nMaxG) << pfDraw.nShiftG) |
                 ((e.peBlue & pfDraw.nMaxB) << pfDraw.nShiftB);
    return static_cast<uint16_t>(v);
}

void DDCountMaskShifts(uint32_t dwRMask, uint32_t dwGMask, uint32_t dwBMask, int nBitCount) {
    if (lpDTCon) return;
    DDPIXELFORMAT pf = DDMasksToFormat(dwRMask, dwGMask, dwBMask, 0, nBitCount);
    pfDraw.nShiftR = pf.nShiftR; pfDraw.nMaxR = pf.nMaxR;
    pfDraw.nShiftG = pf.nShiftG; pfDraw.nMaxG = pf.nMaxG;
    pfDraw.nShiftB = pf.nShiftB; pfDraw.nMaxB = pf.nMaxB;
}

int DDSurfaceFormat(DDSURFACEDATA* sd) {
    DDPIXELS* p = DDGetPixels(sd);
    return p ? p->nFormat : DDFMT_UNKNOWN;
}

cSurfaceLock::cSurfaceLock(DDSURFACEDATA* lpSD) {
    if (!lpSD) return;
    if (lpDTCon) {
        DDResolveShared(&lpSD);
        if (lpDTCon->bVirBackBuffer && lpSD == &BackBuffer) lpSD = &VirBackBuffer;
    }
    m_lpSD = lpSD;
    DDPIXELS* p = DDGetPixels(lpSD);
    if (!p || p->vData.empty()) {
        if (lpDTCon) WriteEC("FAILED( lpSD->lpDT->lpSurface->LockRect(&(lock), NULL, 0) )");
        return;
    }
    if (p->bLost) return;
    m_lpPixels = p;
    m_lpBits = p->vData.data();
    m_nPitch = p->nPitch;
    m_nBytes = p->nBytes;
    m_nBpp = p->nBytes * 8;
    m_nFormat = p->nFormat;
    m_nWidth = p->nWidth;
    m_nHeight = p->nHeight;
}

cSurfaceLock::~cSurfaceLock() = default;

bool DDLock(DDSURFACEDATA* sd, int* lpPitch, uint8_t** lplpBits, int nBpp) {
    if (lpDTCon) {
        WriteEC("D3DではDDLockは未対応");
        return true;
    }
    DDPIXELS* p = DDGetPixels(sd);
    if (!p || p->vData.empty() || p->bLost) return false;
    if (nBpp == 8 || nBpp == 16 || nBpp == 24 || nBpp == 32) {
        if (lplpBits) *lplpBits = p->vData.data();
    }
    if (lpPitch) *lpPitch = p->nPitch;
    return true;
}

void DDUnlock(DDSURFACEDATA*) {}
