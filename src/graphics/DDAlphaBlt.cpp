// The translucent blit. The weight (0 opaque .. 255 invisible) reaches only
// the device blend; every locked-pixel path mixes source and destination half
// and half.
#include "graphics/DDEffect.h"

#include <array>

#include "graphics/DDBlt.h"
#include "graphics/DDEffectPixels.h"

namespace {

inline long long SpanIndex(long long s, long long sw, long long i) { return sw >= 0 ? s + i : s - 1 - i; }

// (s + d) >> 1 for red, green and blue at once.
inline uint32_t Half(uint32_t s, uint32_t d)
{
    return (((s & 0x00FEFEFEu) >> 1) + ((d & 0x00FEFEFEu) >> 1) + (s & d & 0x00010101u)) & 0x00FFFFFFu;
}

// A 32-bit row mixed half and half: a keyed source pixel (nKeyMask all ones
// and the pixel the key) leaves the destination alone; a destination pixel
// that is the key takes the source's colour; the destination keeps its top
// byte.
__attribute__((target_clones("avx2", "default"), optimize("O3"))) void HalfRow32(uint32_t* lpDst, const uint32_t* lpSrc, int n,
                                                                uint32_t dwKey, uint32_t dwKeyMask)
{
    for (int i = 0; i < n; i++) {
        const uint32_t s = lpSrc[i], d = lpDst[i];
        const uint32_t mix = d == dwKey ? (s & 0x00FFFFFFu) : Half(s, d);
        const uint32_t out = (d & 0xFF000000u) | mix;
        lpDst[i] = (s == dwKey && dwKeyMask != 0) ? d : out;
    }
}

// The device: a quad of the source with diffuse 0x00FFFFFF and alpha
// 255 - weight, colour and alpha both modulated, blended over the target.
int DeviceAlpha(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                int nWeight)
{
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return 1;  // the device draws nothing
    // Modulating by the white diffuse keeps the colour; the alpha becomes
    // texel alpha x (255 - weight) / 255.
    const uint32_t A = static_cast<uint32_t>(255 - nWeight);
    std::array<uint32_t, 256> aAlpha;  // texel alpha to the modulated alpha, in place
    for (uint32_t a = 0; a < 256; a++) aAlpha[a] = ((a * A + 127) / 255) << 24;
    FxDeviceQuad(lk, x, y, w, h, sx, sy, sw, sh,
                 [&aAlpha](uint32_t t) { return (t & 0x00FFFFFFu) | aAlpha[t >> 24]; });
    return 1;
}

int LockedAlphaD3D(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw,
                   int sh, int nKey)
{
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return 0;
    const eFxProfile ep = DDFxProfile();
    if (ep != FXP_D3D16 && ep != FXP_D3D32) return 1;
    const DDPIXELFORMAT& spf = lk.S.pf;
    const DDPIXELFORMAT& dpf = lk.D.pf;
    const FXSPAN wr = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, 0, 0, INT32_MAX, INT32_MAX);
    for (int j = wr.j0; j < wr.j1; j++) {
        long long v = SpanIndex(sy, sh, j);
        if (v < 0 || v >= lk.S.nHeight) continue;
        for (int i = wr.i0; i < wr.i1; i++) {
            long long u = SpanIndex(sx, sw, i);
            if (u < 0 || u >= lk.S.nWidth) continue;
            uint32_t s = lk.S.Get(static_cast<int>(u), static_cast<int>(v));
            if (nKey == 1 && FxIsTransparent(ep, s)) continue;
            uint32_t d = lk.D.Get(x + i, y + j);
            uint32_t out;
            if (ep == FXP_D3D32) {
                out = 0xFF000000u | Half(s, d);
            } else {
                // The source's fields taken to the destination's widths (the
                // five-bit green doubled into the six-bit back buffer).
                FXFIELDS fs = FxUnpack(spf, s), fd = FxUnpack(dpf, d);
                uint32_t r = (FxField(fs.r, spf.nMaxR, dpf.nMaxR) + fd.r) >> 1;
                uint32_t g = (FxField(fs.g, spf.nMaxG, dpf.nMaxG) + fd.g) >> 1;
                uint32_t b = (FxField(fs.b, spf.nMaxB, dpf.nMaxB) + fd.b) >> 1;
                out = FxPack(dpf, r, g, b, dpf.nMaxA);
            }
            lk.D.Put(x + i, y + j, out);
        }
    }
    return 1;
}

int LockedAlphaDD(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nKey,
                  const uint8_t* lpBlendTable)
{
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return 0;
    const eFxProfile ep = DDFxProfile();
    if (ep != FXP_DD8 && ep != FXP_DD16 && ep != FXP_DD32) return 1;
    if (lk.S.lpPix->nBytes != lk.D.lpPix->nBytes) return 1;
    if (ep == FXP_DD8 && !lpBlendTable) return 1;
    const DDPIXELFORMAT& pf = lk.D.pf;
    const FXSPAN sp = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, sx, sy, lk.S.nWidth, lk.S.nHeight);
    if (ep == FXP_DD32 && lk.D.lpPix->nBytes == 4) {
        // 32 bits: whole rows, without a branch per pixel.
        const uint32_t dwKey = dwTransColor, dwKeyMask = nKey == 1 ? 0xFFFFFFFFu : 0u;
        for (int j = sp.j0; j < sp.j1; j++) {
            const uint32_t* srow = reinterpret_cast<const uint32_t*>(lk.S.lpPix->Row(sy + j)) + sx;
            uint32_t* drow = reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(y + j)) + x;
            HalfRow32(drow + sp.i0, srow + sp.i0, sp.i1 - sp.i0, dwKey, dwKeyMask);
        }
        return 1;
    }
    for (int j = sp.j0; j < sp.j1; j++) {
        for (int i = sp.i0; i < sp.i1; i++) {
            uint32_t s = lk.S.Get(sx + i, sy + j);
            if (nKey == 1 && s == dwTransColor) continue;
            uint32_t d = lk.D.Get(x + i, y + j);
            uint32_t out;
            if (ep == FXP_DD8) {
                out = d == 0 ? s : lpBlendTable[d * 256 + s];
            } else if (ep == FXP_DD16) {
                if (d == dwTransColor) out = s;
                else {
                    FXFIELDS fs = FxUnpack(pf, s), fd = FxUnpack(pf, d);
                    auto mix = [](uint32_t a, uint32_t b, uint32_t max) {
                        return ((DDExpandChannel(a, max) + DDExpandChannel(b, max)) >> 1) * max / 255;
                    };
                    out = (mix(fs.r, fd.r, pf.nMaxR) << pf.nShiftR) | (mix(fs.g, fd.g, pf.nMaxG) << pf.nShiftG) |
                          (mix(fs.b, fd.b, pf.nMaxB) << pf.nShiftB);
                }
            } else {
                if (d == dwTransColor) out = (d & 0xFF000000u) | (s & 0x00FFFFFFu);
                else out = (d & 0xFF000000u) | Half(s, d);
            }
            lk.D.Put(x + i, y + j, out);
        }
    }
    return 1;
}

}  // namespace

int DDAlphaBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nKey,
               const uint8_t* lpBlendTable, int nWeight)
{
    nWeight = std::clamp(nWeight, 0, 255);
    if (!lpDTCon) return LockedAlphaDD(dst, x, y, w, h, src, sx, sy, nKey, lpBlendTable);
    if (!dst || !src) return 1;
    int sw = w, sh = h;
    DDMirrorFixup(src, &sx, &sy, &sw, &sh);
    DDResolveShared(&dst);
    DDResolveShared(&src);
    DDRedirectBackBuffer(&dst);
    DDRedirectBackBuffer(&src);
    if (FxDeviceDraws(dst, src)) return DeviceAlpha(dst, x, y, w, h, src, sx, sy, sw, sh, nWeight);
    return LockedAlphaD3D(dst, x, y, w, h, src, sx, sy, sw, sh, nKey);
}

int DDSemiTransBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nKey,
                   const uint8_t* lpBlendTable)
{
    return DDAlphaBlt(dst, x, y, w, h, src, sx, sy, nKey, lpBlendTable, 128);
}
