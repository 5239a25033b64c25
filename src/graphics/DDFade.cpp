// Fades and palette effects.
//
// The weight of the picture is sin(angle): under Direct3D the overlay alpha
// is 255 - floor(sin(angle) * 255), under DirectDraw the palette or pixel
// weight is floor(sin(angle) * 256). Blends are
//   (source * w + target * (256 - w)) >> 8.
#include "graphics/DDFade.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/Log.h"
#include "graphics/DDBlt.h"
#include "graphics/DDPixel.h"
#include "platform/FileSystem.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;

struct FADESTATE {
    double dOutD3D = 90, dOutDD = 90;
    double dInD3D = 0, dInDD = 0;
    uint64_t nOutFrame = 0, nInFrame = 0;  // frame of the last DirectDraw call, 0 = none
};
FADESTATE g_fade;
uint64_t g_nFrame = 1;  // frames shown so far (counted from 1)

// A DirectDraw fade that resumes after at least one frame without a call
// (a fade abandoned half-way and taken up again) copies the screen afresh:
// its angle goes on, but the picture it blends is never a stale one.
bool NeedsFreshCopy(uint64_t nLast) { return nLast != 0 && g_nFrame - nLast >= 2; }

// The black overlay of the Direct3D fades over BackBuffer (or VirBackBuffer).
// Returns false when the scene or the render target cannot be had.
bool DrawOverlay(uint32_t dwAlpha, int nRed, int nGreen, int nBlue) {
    DDSURFACEDATA* sd = &BackBuffer;
    DDRedirectBackBuffer(&sd);
    if (!DDBeginScene() || !DDSetRenderTarget(sd)) return false;
    DDPIXELS* p = DDGetPixels(sd);
    if (!p || p->vData.empty()) return true;
    (void)nRed; (void)nGreen; (void)nBlue;  // the overlay is black whatever colour is asked
    const uint32_t a = dwAlpha;
    if (a == 0) return true;
    const int W = std::min(sd->nWidth, p->nWidth), H = std::min(sd->nHeight, p->nHeight);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            uint32_t d = DDUnpackARGB(p->nFormat, DDGetRaw(*p, x, y));
            auto ch = [&](uint32_t c) { return (0u * a + c * (255u - a) + 127u) / 255u; };
            uint32_t out = (((d >> 24) * (255u - a) + a * a + 127u) / 255u) << 24 | ch((d >> 16) & 255) << 16 |
                           ch((d >> 8) & 255) << 8 | ch(d & 255);
            DDPutRaw(*p, x, y, DDPackARGB(p->nFormat, out));
        }
    }
    return true;
}

// Copies BackBuffer into sdScreenCopy (the frame a DirectDraw fade starts from).
void CopyScreen() {
    DDBlt(&sdScreenCopy, 0, 0, sdScreenCopy.nWidth, sdScreenCopy.nHeight, &BackBuffer, 0, 0, 0);
}

void StepDD(PALETTEENTRY* lpOut, int nFirst, int nLast, int nWeight, int r, int g, int b, const PALETTEENTRY* lpSource) {
    if (nScreenBpp == 8) {
        PalBlendColor(lpOut, nFirst, nLast, nWeight, r, g, b, lpSource);
        if (lpOut && nFirst >= 0 && nLast <= 255 && nFirst <= nLast)
            DDSetDisplayPalette(nFirst, nLast - nFirst + 1, lpOut + nFirst);
    } else if (nScreenBpp == 16 || nScreenBpp == 24 || nScreenBpp == 32) {
        DDFade_UnPal(&BackBuffer, nWeight, r, g, b, &sdScreenCopy);
    }
}

}  // namespace

void DDResetFades() { g_fade = FADESTATE(); }
void DDCountShownFrame() { g_nFrame++; }
double DDGetFadeOutAngle() { return lpDTCon ? g_fade.dOutD3D : g_fade.dOutDD; }
double DDGetFadeInAngle() { return lpDTCon ? g_fade.dInD3D : g_fade.dInDD; }

void DDSetDisplayPalette(int nFirst, int nCount, const PALETTEENTRY* lpEntries) {
    if (!lpEntries || nFirst < 0 || nCount <= 0 || nFirst > 255) return;
    if (nFirst + nCount > 256) nCount = 256 - nFirst;
    std::memcpy(&aDisplayPalette[nFirst], lpEntries, sizeof(PALETTEENTRY) * nCount);
}

bool DDFadeOut(PALETTEENTRY* lpOut, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
               const PALETTEENTRY* lpSource, bool bFinish) {
    double& dAngle = lpDTCon ? g_fade.dOutD3D : g_fade.dOutDD;
    if (lpDTCon) {
        if (bFinish) dAngle = 0;
        int v = static_cast<int>(std::sin(dAngle * kDegToRad) * 255);
        if (!DrawOverlay(static_cast<uint32_t>(255 - v), nRed, nGreen, nBlue)) return false;
    } else {
        if ((dAngle == 90 || NeedsFreshCopy(g_fade.nOutFrame)) && nScreenBpp != 8) CopyScreen();
        g_fade.nOutFrame = g_nFrame;
        if (bFinish) dAngle = 0;
        int w = static_cast<int>(std::sin(dAngle * kDegToRad) * 256);
        StepDD(lpOut, nFirst, nLast, w, nRed, nGreen, nBlue, lpSource);
    }
    if (dAngle > 0) {
        dAngle -= dStep;
        if (dAngle < 0) dAngle = 0;
        return false;
    }
    dAngle = 90;
    return true;
}

bool DDFadeIn(PALETTEENTRY* lpOut, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
              const PALETTEENTRY* lpSource, bool bFinish) {
    double& dAngle = lpDTCon ? g_fade.dInD3D : g_fade.dInDD;
    if (lpDTCon) {
        if (bFinish) dAngle = 90;
        int v = static_cast<int>(std::sin(dAngle * kDegToRad) * 255);
        if (!DrawOverlay(static_cast<uint32_t>(255 - v), nRed, nGreen, nBlue)) return false;
    } else {
        if ((dAngle == 0 || NeedsFreshCopy(g_fade.nInFrame)) && nScreenBpp != 8) CopyScreen();
        g_fade.nInFrame = g_nFrame;
        if (bFinish) dAngle = 90;
        int w = static_cast<int>(std::sin(dAngle * kDegToRad) * 256);
        StepDD(lpOut, nFirst, nLast, w, nRed, nGreen, nBlue, lpSource);
    }
    if (dAngle < 90) {
        dAngle += dStep;
        if (dAngle > 90) dAngle = 90;
        return false;
    }
    dAngle = 0;
    return true;
}

void PalBlendColor(PALETTEENTRY* lpOut, int nFirst, int nLast, int nWeight, int nRed, int nGreen, int nBlue,
                   const PALETTEENTRY* lpSource) {
    if (!lpOut || !lpSource) return;
    if (nFirst < 0) nFirst = 0;
    if (nLast > 255) nLast = 255;
    if (nFirst > nLast) return;
    if (nWeight < 0) nWeight = 0;
    if (nWeight > 256) nWeight = 256;
    auto blend = [&](int s, int t) { return static_cast<uint8_t>((s * nWeight + (t & 255) * (256 - nWeight)) >> 8); };
    for (int i = nFirst; i <= nLast; i++) {
        PALETTEENTRY src = lpSource[i];
        lpOut[i].peRed = blend(src.peRed, nRed);
        lpOut[i].peGreen = blend(src.peGreen, nGreen);
        lpOut[i].peBlue = blend(src.peBlue, nBlue);
        lpOut[i].peFlags = PC_RESERVED;
    }
}

void PalRotate(PALETTEENTRY* lpOut, int nFirst, int nLast, int nPlaces, int nDirection, const PALETTEENTRY* lpSource) {
    if (!lpOut || !lpSource) return;
    PALETTEENTRY tmp[256];
    std::memcpy(tmp, lpSource, sizeof(tmp));
    std::memcpy(lpOut, tmp, sizeof(tmp));
    if (nFirst < 0 || nLast > 255 || nFirst > nLast) return;
    int n = nLast - nFirst + 1;
    int k = ((nPlaces % n) + n) % n;
    if (k == 0 || (nDirection != 0 && nDirection != 1)) return;
    for (int i = 0; i < n; i++) {
        // Direction 0: the last k entries move to the front; 1: the first k to the end.
        int src = nDirection == 0 ? (i - k + n) % n : (i + k) % n;
        lpOut[nFirst + i] = tmp[nFirst + src];
    }
}

int DDFade_UnPal(DDSURFACEDATA* dst, int nWeight, int nRed, int nGreen, int nBlue, DDSURFACEDATA* src) {
    if (lpDTCon) {
        WriteEC("D3DではDDFade_UnPalは未対応");
        return 1;
    }
    cSurfaceLock ld(dst);
    cSurfaceLock ls(src);
    if (!ld.IsLocked() || !ls.IsLocked()) return 0;
    if (ld.m_nBytes != ls.m_nBytes) return 0;
    if (nWeight < 0) nWeight = 0;
    if (nWeight > 256) nWeight = 256;
    const uint32_t w = static_cast<uint32_t>(nWeight);
    // Only the part both surfaces cover is blended.
    const int W = std::min({dst->nWidth, ld.m_nWidth, ls.m_nWidth, src->nWidth});
    const int H = std::min({dst->nHeight, ld.m_nHeight, ls.m_nHeight, src->nHeight});
    DDPIXELS& d = *ld.m_lpPixels;
    const DDPIXELS& s = *ls.m_lpPixels;
    const uint32_t tr = static_cast<uint32_t>(nRed) & 255, tg = static_cast<uint32_t>(nGreen) & 255,
                   tb = static_cast<uint32_t>(nBlue) & 255;
    if (ld.m_nBytes == 4) {
        for (int y = 0; y < H; y++) {
            const uint32_t* sr = reinterpret_cast<const uint32_t*>(s.Row(y));
            uint32_t* dr = reinterpret_cast<uint32_t*>(d.Row(y));
            for (int x = 0; x < W; x++) {
                uint32_t v = sr[x];
                auto ch = [&](uint32_t c, uint32_t t) { return (t * (256 - w) + w * c) >> 8; };
                uint32_t b = ch(v & 255, tb), g = ch((v >> 8) & 255, tg), r = ch((v >> 16) & 255, tr);
                dr[x] = (dr[x] & 0xFF000000u) | r << 16 | g << 8 | b;
            }
        }
    } else if (ld.m_nBytes == 2) {
        const DDPIXELFORMAT& pf = pfDraw;
        auto ch = [&](uint32_t v, int sh, uint32_t m, uint32_t t) {
            if (m == 0) return 0u;
            uint32_t c = (v >> sh) & m;
            uint32_t c8 = c * 255 / m;
            uint32_t bl = (c8 * w + t * (256 - w)) >> 8;
            return (bl * m / 255) << sh;
        };
        for (int y = 0; y < H; y++) {
            const uint16_t* sr = reinterpret_cast<const uint16_t*>(s.Row(y));
            uint16_t* dr = reinterpret_cast<uint16_t*>(d.Row(y));
            for (int x = 0; x < W; x++) {
                uint32_t v = sr[x];
                dr[x] = static_cast<uint16_t>(ch(v, pf.nShiftR, pf.nMaxR, tr) | ch(v, pf.nShiftG, pf.nMaxG, tg) |
                                              ch(v, pf.nShiftB, pf.nMaxB, tb));
            }
        }
    }
    return 1;
}

int DDSetPalette_UnPal(PALETTEENTRY* lpOut, DDSURFACEDATA* sd) {
    if (!lpOut || !sd) return 1;
    if (lpDTCon) {
        DDResolveShared(&sd);
        DDRedirectBackBuffer(&sd);
    }
    cSurfaceLock lock(sd);
    if (!lock.IsLocked()) {
        WriteEC("DDSetPalette_UnPal Lock Err");
        return 1;
    }
    // The colour cells are 16 x 16 pixels at x 0..15, y 8..23: a smaller
    // image is refused rather than read outside.
    if (std::min(sd->nWidth, lock.m_nWidth) < 16 || std::min(sd->nHeight, lock.m_nHeight) < 24) {
        WriteEC("DDSetPalette_UnPal Size Err %d %d", sd->nWidth, sd->nHeight);
        return 1;
    }
    const DDPIXELS& p = *lock.m_lpPixels;
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            uint32_t v = DDGetRaw(p, x, 8 + y);
            PALETTEENTRY& e = lpOut[16 * y + x];
            if (lpDTCon) {
                if (p.nBytes == 2) {
                    if (((v >> pfDraw.nShiftA) & pfDraw.nMaxA) == 0) continue;
                    e.peRed = static_cast<uint8_t>(DDExpandChannel((v >> pfDraw.nShiftR) & pfDraw.nMaxR, pfDraw.nMaxR));
                    e.peGreen = static_cast<uint8_t>(DDExpandChannel((v >> pfDraw.nShiftG) & pfDraw.nMaxG, pfDraw.nMaxG));
                    e.peBlue = static_cast<uint8_t>(DDExpandChannel((v >> pfDraw.nShiftB) & pfDraw.nMaxB, pfDraw.nMaxB));
                } else if (p.nBytes == 4) {
                    if ((v >> 24) == 0) continue;
                    e = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v),
                         static_cast<uint8_t>(v >> 24)};
                }
            } else if (p.nBytes == 2) {
                e.peRed = static_cast<uint8_t>((v >> pfDraw.nShiftR) & pfDraw.nMaxR);
                e.peGreen = static_cast<uint8_t>((v >> pfDraw.nShiftG) & pfDraw.nMaxG);
                e.peBlue = static_cast<uint8_t>((v >> pfDraw.nShiftB) & pfDraw.nMaxB);
            } else if (p.nBytes == 4) {
                e = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v),
                     static_cast<uint8_t>(v >> 24)};
            }
        }
    }
    return 1;
}

int DDChangeColor(DDSURFACEDATA* lpDstSD, int /*x*/, int /*y*/, int /*nWidth*/, int /*nHeight*/, int nAlpha,
                  uint8_t bRed, uint8_t bGreen, uint8_t bBlue) {
    if (!lpDTCon) {
        WriteEC("DDrawでは DDChangeColor(DDSURFACEDATA *lpDstSD,int x,int y,int nWidth,int nHeight,int nAlpha,BYTE bRed,BYTE bGreen,BYTE bBlue) は未対応");
        return 1;
    }
    if (!lpDstSD) return 1;
    DDResolveShared(&lpDstSD);
    DDRedirectBackBuffer(&lpDstSD);
    if (!DDBeginScene() || !DDSetRenderTarget(lpDstSD)) return 1;
    DDPIXELS* p = DDGetPixels(lpDstSD);
    if (!p || p->vData.empty()) return 1;
    // Texture modulated by the colour, blended over the same pixels:
    // p' = p * (1 - a) + (p * colour / 255) * a, a = p.alpha * (255 - nAlpha) / 255.
    const uint32_t ca = static_cast<uint32_t>(255 - std::clamp(nAlpha, 0, 255));
    const uint32_t cr = bRed, cg = bGreen, cb = bBlue;
    const int W = std::min(lpDstSD->nWidth, p->nWidth), H = std::min(lpDstSD->nHeight, p->nHeight);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            uint32_t d = DDUnpackARGB(p->nFormat, DDGetRaw(*p, x, y));
            uint32_t a = ((d >> 24) * ca + 127) / 255;
            auto ch = [&](uint32_t c, uint32_t k) {
                uint32_t m = (c * k + 127) / 255;
                return (m * a + c * (255 - a) + 127) / 255;
            };
            uint32_t outA = (a * a + (d >> 24) * (255 - a) + 127) / 255;
            uint32_t out = outA << 24 | ch((d >> 16) & 255, cr) << 16 | ch((d >> 8) & 255, cg) << 8 | ch(d & 255, cb);
            DDPutRaw(*p, x, y, DDPackARGB(p->nFormat, out));
        }
    }
    return 1;
}

bool DDLoadBlendTable(uint8_t* lpTable, const char* pszFile) {
    if (lpDTCon) return true;
    if (!lpTable) return false;
    FILE* fp = FsOpen(pszFile, "rb");
    if (!fp) return false;
    // The table must be exactly 65536 bytes: a shorter or longer file is
    // refused and the table is left as it was.
    std::vector<uint8_t> buf(65537);
    size_t n = std::fread(buf.data(), 1, buf.size(), fp);
    std::fclose(fp);
    if (n != 65536) {
        WriteEC("DDLoadBlendTable size %d", static_cast<int>(n));
        return false;
    }
    std::memcpy(lpTable, buf.data(), 65536);
    return true;
}
