// The colour change: a source drawn tinted towards one palette colour by a
// level. Level 1 is half source, half colour everywhere; higher levels go
// further towards the colour: the device by texture-factor alphas 80, 48, 16
// and 0 of 255, the Direct3D pixel path by weights 64, 32, 16 and 0 of 255,
// DirectDraw by halving the distance once per level.
#include "graphics/DDEffect.h"

#include <array>

#include "graphics/DDBlt.h"
#include "graphics/DDEffectPixels.h"

namespace {

// Halving more than this many times changes no 8-bit value any further.
constexpr int nMaxHalvings = 16;

// Device texture-factor alpha by level (1..4; higher levels 0).
uint32_t DeviceFactorAlpha(int nLevel)
{
    static const uint32_t aAlpha[5] = {0, 128, 80, 48, 16};
    return nLevel >= 1 && nLevel <= 4 ? aAlpha[nLevel] : 0;
}

// Direct3D pixel path: weight of the source by level 2..4 (higher levels 0).
double PixelWeight(int nLevel)
{
    static const double aWeight[5] = {0, 0, 64.0 / 255.0, 32.0 / 255.0, 16.0 / 255.0};
    return nLevel >= 2 && nLevel <= 4 ? aWeight[nLevel] : 0.0;
}

// Source column of destination offset i for a 1:1 span that may run
// backwards (a mirrored source).
inline long long SpanIndex(long long s, long long sw, long long i) { return sw >= 0 ? s + i : s - 1 - i; }

bool DeviceColorChange(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                       const PALETTEENTRY& T, int nLevel)
{
    int sw = w, sh = h;
    DDMirrorFixup(src, &sx, &sy, &sw, &sh);
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return true;  // the device draws nothing
    const uint32_t A = DeviceFactorAlpha(nLevel);
    const uint32_t dwFactor = 0xFF000000u | static_cast<uint32_t>(T.peRed) << 16 | static_cast<uint32_t>(T.peGreen) << 8 | T.peBlue;
    // Colour: texture x A + factor x (1 - A), the blend formula with alpha A;
    // alpha: the texture's.
    // Per channel: (texel x A + factor x (255 - A) + 127) / 255, looked up.
    std::array<uint32_t, 256> aR, aG, aB;
    for (uint32_t v = 0; v < 256; v++) {
        aR[v] = FxBlendChannel(v, (dwFactor >> 16) & 255, A) << 16;
        aG[v] = FxBlendChannel(v, (dwFactor >> 8) & 255, A) << 8;
        aB[v] = FxBlendChannel(v, dwFactor & 255, A);
    }
    FxDeviceQuad(lk, x, y, w, h, sx, sy, sw, sh, [&](uint32_t t) {
        return (t & 0xFF000000u) | aR[(t >> 16) & 255] | aG[(t >> 8) & 255] | aB[t & 255];
    });
    return true;
}

bool PixelColorChangeD3D(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                         int nMode, const PALETTEENTRY& T, int nLevel)
{
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return false;
    const eFxProfile ep = DDFxProfile();
    if (ep != FXP_D3D16 && ep != FXP_D3D32) return true;
    const DDPIXELFORMAT& spf = lk.S.pf;
    const DDPIXELFORMAT& dpf = lk.D.pf;
    // The colour reduced to the source's field ranges.
    const uint32_t tr = T.peRed * spf.nMaxR / 255, tg = T.peGreen * spf.nMaxG / 255, tb = T.peBlue * spf.nMaxB / 255;
    const double a = PixelWeight(nLevel);
    const FXSPAN sp = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, sx, sy, lk.S.nWidth, lk.S.nHeight);
    for (int j = sp.j0; j < sp.j1; j++) {
        for (int i = sp.i0; i < sp.i1; i++) {
            uint32_t sv = lk.S.Get(sx + i, sy + j);
            if (nMode == 1 && FxIsTransparent(ep, sv)) continue;
            FXFIELDS f = FxUnpack(spf, sv);
            uint32_t r, g, b;
            bool bGreenSum = false;
            if (nLevel == 1) {
                r = (f.r + tr) / 2;
                b = (f.b + tb) / 2;
                if (spf.nMaxG < dpf.nMaxG) {
                    g = f.g + tg;  // the sum is the average doubled into the wider field
                    bGreenSum = true;
                } else g = (f.g + tg) / 2;
            } else {
                r = static_cast<uint32_t>(f.r * a + tr * (1.0 - a));
                g = static_cast<uint32_t>(f.g * a + tg * (1.0 - a));
                b = static_cast<uint32_t>(f.b * a + tb * (1.0 - a));
            }
            uint32_t out;
            if (lk.D.lpPix->nBytes == 4) {
                out = 0xFF000000u | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
            } else {
                uint32_t dg = bGreenSum ? g : FxField(g, spf.nMaxG, dpf.nMaxG);
                out = FxPack(dpf, FxField(r, spf.nMaxR, dpf.nMaxR), dg, FxField(b, spf.nMaxB, dpf.nMaxB), dpf.nMaxA);
            }
            lk.D.Put(x + i, y + j, out);
        }
    }
    return true;
}

// The 8-bit table applied n times, with the walk stopped once the values
// cycle (the result then follows from the cycle's length).
class cBlendWalk {
public:
    cBlendWalk(const uint8_t* lpTable, int nIndex, int nTimes) : m_lpTable(lpTable), m_nIndex(nIndex), m_nTimes(nTimes)
    {
        m_aMemo.fill(-1);
    }
    uint8_t Apply(uint8_t p)
    {
        if (m_aMemo[p] >= 0) return static_cast<uint8_t>(m_aMemo[p]);
        std::array<int, 256> aSeen;
        aSeen.fill(-1);
        std::array<uint8_t, 257> aSeq{};
        uint8_t v = p;
        int nResult = -1;
        for (int nStep = 0; nStep < m_nTimes; nStep++) {
            if (aSeen[v] >= 0) {
                int nStart = aSeen[v], nLen = nStep - nStart;
                nResult = aSeq[nStart + (m_nTimes - nStep) % nLen];
                break;
            }
            aSeen[v] = nStep;
            aSeq[nStep] = v;
            v = m_lpTable[v * 256 + m_nIndex];
        }
        if (nResult < 0) nResult = v;
        m_aMemo[p] = static_cast<int16_t>(nResult);
        return static_cast<uint8_t>(nResult);
    }

private:
    const uint8_t* m_lpTable;
    int m_nIndex;
    int m_nTimes;
    std::array<int16_t, 256> m_aMemo;
};

bool ColorChangeDD(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nMode,
                   const PALETTEENTRY& T, const uint8_t* lpBlendTable, int nIndex, int nLevel)
{
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return false;
    const eFxProfile ep = DDFxProfile();
    if (ep != FXP_DD8 && ep != FXP_DD16 && ep != FXP_DD32) return true;
    if (lk.S.lpPix->nBytes != lk.D.lpPix->nBytes) return true;
    if (ep == FXP_DD8 && nLevel > 0 && !lpBlendTable) return true;
    const int n = std::min(nLevel, nMaxHalvings);
    const DDPIXELFORMAT& pf = lk.S.pf;
    const DDPIXELFORMAT& dpf = lk.D.pf;
    // The colour at 8 bits per channel (16 bits: the table holds fields).
    uint32_t ter = T.peRed, teg = T.peGreen, teb = T.peBlue;
    if (ep == FXP_DD16) {
        ter = DDExpandChannel(T.peRed & pf.nMaxR, pf.nMaxR);
        teg = DDExpandChannel(T.peGreen & pf.nMaxG, pf.nMaxG);
        teb = DDExpandChannel(T.peBlue & pf.nMaxB, pf.nMaxB);
    }
    auto halve = [n](uint32_t v, uint32_t t) {
        for (int k = 0; k < n; k++) v = (v + t) >> 1;
        return v;
    };
    cBlendWalk walk(lpBlendTable, nIndex, std::max(nLevel, 0));
    const FXSPAN sp = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, sx, sy, lk.S.nWidth, lk.S.nHeight);
    if (ep == FXP_DD32 && nLevel > 0 && lk.D.lpPix->nBytes == 4) {
        // 32 bits: each channel's halvings looked up in a table made once.
        std::array<uint32_t, 256> aR, aG, aB;
        for (uint32_t v = 0; v < 256; v++) {
            aR[v] = halve(v, ter) << 16;
            aG[v] = halve(v, teg) << 8;
            aB[v] = halve(v, teb);
        }
        for (int j = sp.j0; j < sp.j1; j++) {
            const uint32_t* srow = reinterpret_cast<const uint32_t*>(lk.S.lpPix->Row(sy + j)) + sx;
            uint32_t* drow = reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(y + j)) + x;
            for (int i = sp.i0; i < sp.i1; i++) {
                const uint32_t sv = srow[i];
                if (nMode == 1 && sv == dwTransColor) continue;
                drow[i] = (drow[i] & 0xFF000000u) | aR[(sv >> 16) & 255] | aG[(sv >> 8) & 255] | aB[sv & 255];
            }
        }
        return true;
    }
    for (int j = sp.j0; j < sp.j1; j++) {
        for (int i = sp.i0; i < sp.i1; i++) {
            uint32_t sv = lk.S.Get(sx + i, sy + j);
            if (nMode == 1 && FxIsTransparent(ep, sv)) continue;
            if (nLevel < 0) {
                lk.D.Put(x + i, y + j, sv);  // a negative level copies the source
                continue;
            }
            uint32_t out;
            if (ep == FXP_DD8) {
                out = walk.Apply(static_cast<uint8_t>(sv));
            } else if (ep == FXP_DD16) {
                FXFIELDS f = FxUnpack(pf, sv);
                uint32_t r = halve(DDExpandChannel(f.r, pf.nMaxR), ter);
                uint32_t g = halve(DDExpandChannel(f.g, pf.nMaxG), teg);
                uint32_t b = halve(DDExpandChannel(f.b, pf.nMaxB), teb);
                out = ((r * dpf.nMaxR / 255) << dpf.nShiftR) | ((g * dpf.nMaxG / 255) << dpf.nShiftG) |
                      ((b * dpf.nMaxB / 255) << dpf.nShiftB);
            } else {
                uint32_t r = halve((sv >> 16) & 255, ter), g = halve((sv >> 8) & 255, teg), b = halve(sv & 255, teb);
                out = (lk.D.Get(x + i, y + j) & 0xFF000000u) | (r << 16) | (g << 8) | b;
            }
            lk.D.Put(x + i, y + j, out);
        }
    }
    return true;
}

}  // namespace

bool DDColorChangeBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nMode,
                      const PALETTEENTRY* lpPalette, const uint8_t* lpBlendTable, int nIndex, int nLevel)
{
    if (!lpPalette || nIndex < 0 || nIndex > 255) return true;
    const PALETTEENTRY T = lpPalette[nIndex];
    if (lpDTCon) {
        if (nLevel <= 0) return true;
        DDResolveShared(&dst);
        DDResolveShared(&src);
        DDRedirectBackBuffer(&dst);
        DDRedirectBackBuffer(&src);
        if (FxDeviceDraws(dst, src)) return DeviceColorChange(dst, x, y, w, h, src, sx, sy, T, nLevel);
        return PixelColorChangeD3D(dst, x, y, w, h, src, sx, sy, nMode, T, nLevel);
    }
    if (nLevel == 0) return true;
    return ColorChangeDD(dst, x, y, w, h, src, sx, sy, nMode, T, lpBlendTable, nIndex, nLevel);
}
