#pragma once
// Shared pieces of the per-pixel effects: the profile of the running display,
// channel fields, the transparency tests, a locked pair of surfaces and the
// device's texture-stage combine and blend as the pixel core computes them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "graphics/DDPixel.h"
#include "graphics/DDSurface.h"

// The five drawing profiles the effects distinguish (Direct3D exists at 16
// and 32 bits, DirectDraw at 8, 16 and 32).
enum eFxProfile : int { FXP_D3D16, FXP_D3D32, FXP_DD8, FXP_DD16, FXP_DD32, FXP_NONE, FXP_COUNT };

inline eFxProfile DDFxProfile()
{
    if (lpDTCon) {
        if (nScreenBpp == 16) return FXP_D3D16;
        if (nScreenBpp == 32) return FXP_D3D32;
        return FXP_NONE;
    }
    switch (nScreenBpp) {
    case 8: return FXP_DD8;
    case 16: return FXP_DD16;
    case 32: return FXP_DD32;
    default: return FXP_NONE;
    }
}

// Transparency of a source pixel by profile: Direct3D 16 bits, none of the
// bits 0xA0 of the high byte set; Direct3D 32 bits, alpha byte 0; DirectDraw,
// the pixel equals dwTransColor.
inline bool FxIsTransparent(eFxProfile p, uint32_t v)
{
    switch (p) {
    case FXP_D3D16: return ((v >> 8) & 0xA0u) == 0;
    case FXP_D3D32: return (v >> 24) == 0;
    default: return v == dwTransColor;
    }
}

// Calls run(test) with the profile's transparency test as a lambda of its
// own type (or, unkeyed, one that never holds), so that a row loop built on
// it has the test inlined and chosen once per call.
template <class RUN>
void FxWithKeyTest(bool bKeyed, eFxProfile p, RUN&& run)
{
    if (!bKeyed) {
        run([](uint32_t) { return false; });
    } else if (p == FXP_D3D16) {
        run([](uint32_t v) { return ((v >> 8) & 0xA0u) == 0; });
    } else if (p == FXP_D3D32) {
        run([](uint32_t v) { return (v >> 24) == 0; });
    } else {
        const uint32_t dwKey = dwTransColor;
        run([dwKey](uint32_t v) { return v == dwKey; });
    }
}

// Columns of a circle of squared radius R2 on the row aj away from its
// centre: the largest m with m * m <= R2 - aj * aj.
inline long long FxCircleHalfWidth(long long R2, long long aj)
{
    const long long r = R2 - aj * aj;
    long long m = static_cast<long long>(std::sqrt(static_cast<double>(r)));
    while (m * m > r) m--;
    while ((m + 1) * (m + 1) <= r) m++;
    return m;
}

// Red, green, blue and alpha fields of a pixel.
struct FXFIELDS {
    uint32_t r = 0, g = 0, b = 0, a = 0;
};

inline FXFIELDS FxUnpack(const DDPIXELFORMAT& pf, uint32_t v)
{
    FXFIELDS f;
    f.r = (v >> pf.nShiftR) & pf.nMaxR;
    f.g = (v >> pf.nShiftG) & pf.nMaxG;
    f.b = (v >> pf.nShiftB) & pf.nMaxB;
    f.a = pf.nMaxA ? ((v >> pf.nShiftA) & pf.nMaxA) : 0;
    return f;
}

inline uint32_t FxPack(const DDPIXELFORMAT& pf, uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    uint32_t v = (std::min(r, pf.nMaxR) << pf.nShiftR) | (std::min(g, pf.nMaxG) << pf.nShiftG) |
                 (std::min(b, pf.nMaxB) << pf.nShiftB);
    if (pf.nMaxA) v |= std::min(a, pf.nMaxA) << pf.nShiftA;
    return v;
}

// A field moved between channel widths: a five-bit field is doubled into six
// bits, a six-bit one halved into five; other widths scale.
inline uint32_t FxField(uint32_t v, uint32_t nFromMax, uint32_t nToMax)
{
    if (nFromMax == nToMax || nFromMax == 0) return v;
    if (nFromMax == 31 && nToMax == 63) return v * 2;
    if (nFromMax == 63 && nToMax == 31) return v >> 1;
    return v * nToMax / nFromMax;
}

// A locked surface with the limits that the effects test against: the
// record's size cut to its storage.
struct FXSURF {
    DDSURFACEDATA* lpSD = nullptr;  // after shared-texture and back-buffer redirection
    DDPIXELS* lpPix = nullptr;
    int nWidth = 0, nHeight = 0;
    int nFormat = DDFMT_UNKNOWN;
    DDPIXELFORMAT pf;
    bool bFullScreenBack = false;

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < nWidth && y < nHeight; }
    uint32_t Get(int x, int y) const { return DDGetRaw(*lpPix, x, y); }
    void Put(int x, int y, uint32_t v) const { DDPutRaw(*lpPix, x, y, v); }
};

// Locks the destination, then the source; OK() is false when either failed
// (what was locked is unlocked when the pair ends).
class cFxLockPair {
public:
    cFxLockPair(DDSURFACEDATA* dst, DDSURFACEDATA* src) : m_dst(dst), m_src(src)
    {
        m_bOK = m_dst.IsLocked() && m_src.IsLocked();
        if (!m_bOK) return;
        Fill(m_dst, D);
        Fill(m_src, S);
    }
    cFxLockPair(const cFxLockPair&) = delete;
    cFxLockPair& operator=(const cFxLockPair&) = delete;
    bool OK() const { return m_bOK; }

    FXSURF D, S;

private:
    static void Fill(cSurfaceLock& l, FXSURF& s)
    {
        s.lpSD = l.m_lpSD;
        s.lpPix = l.m_lpPixels;
        s.nWidth = std::min<int>(l.m_lpSD->nWidth, l.m_nWidth);
        s.nHeight = std::min<int>(l.m_lpSD->nHeight, l.m_nHeight);
        s.nFormat = l.m_nFormat;
        s.pf = DDFormatChannels(l.m_nFormat);
        s.bFullScreenBack = DDIsFullScreenBack(l.m_lpSD) != 0;
    }
    cSurfaceLock m_dst;
    cSurfaceLock m_src;
    bool m_bOK = false;
};

// A w x h rectangle placed at (x, y) on the destination and (sx, sy) on the
// source, cut so that every pair left lies inside both. Empty when x0 >= x1.
struct FXSPAN {
    int i0 = 0, i1 = 0, j0 = 0, j1 = 0;  // area columns [i0, i1), rows [j0, j1)
    bool Empty() const { return i0 >= i1 || j0 >= j1; }
};

inline FXSPAN FxClipPair(int x, int y, int w, int h, int dw, int dh, int sx, int sy, int sw, int sh)
{
    auto lo = [](long long a, long long b, long long c) { return std::max({a, b, c}); };
    auto hi = [](long long a, long long b, long long c) { return std::min({a, b, c}); };
    FXSPAN s;
    s.i0 = static_cast<int>(lo(0, -static_cast<long long>(x), -static_cast<long long>(sx)));
    s.i1 = static_cast<int>(std::max(0LL, hi(w, static_cast<long long>(dw) - x, static_cast<long long>(sw) - sx)));
    s.j0 = static_cast<int>(lo(0, -static_cast<long long>(y), -static_cast<long long>(sy)));
    s.j1 = static_cast<int>(std::max(0LL, hi(h, static_cast<long long>(dh) - y, static_cast<long long>(sh) - sy)));
    return s;
}

// ---- the device as the pixel core computes it ----

// Direct3D: the device draws when the destination is a render target (the
// back buffer included) and the source is not a system-memory texture.
inline bool FxDeviceDraws(DDSURFACEDATA* dst, DDSURFACEDATA* src)
{
    if (!lpDTCon || !dst || !src || !dst->lpDT || !src->lpDT) return false;
    bool bTarget = dst == &BackBuffer || dst->lpDT->bRenderTarget != 0;
    return bTarget && src->lpDT->nMemoryType != DTMEMORYTYPE_SYSTEM;
}

// One channel of a texture stage operation (arg1 = texture, arg2 = diffuse
// or texture factor); 8-bit values.
inline uint32_t FxStageOp(int nOp, uint32_t a1, uint32_t a2)
{
    switch (nOp) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return (a1 * a2 + 127) / 255;
    case D3DTOP_MODULATE2X: return std::min(255u, 2 * ((a1 * a2 + 127) / 255));
    case D3DTOP_MODULATE4X: return std::min(255u, 4 * ((a1 * a2 + 127) / 255));
    case D3DTOP_ADD: return std::min(255u, a1 + a2);
    case D3DTOP_ADDSIGNED: return static_cast<uint32_t>(std::clamp<int>(static_cast<int>(a1 + a2) - 128, 0, 255));
    case D3DTOP_SUBTRACT: return a1 > a2 ? a1 - a2 : 0;
    default: return a1;
    }
}

// Texture stage 0 of a blit: colour op and alpha op over texel and diffuse
// (A8R8G8B8). A disabled colour stage gives the diffuse colour; a disabled
// alpha stage draws opaque.
inline uint32_t FxStageCombine(uint32_t dwTexel, uint32_t dwDiffuse, int nColorOp, int nAlphaOp)
{
    uint32_t out = 0;
    for (int sh = 0; sh <= 16; sh += 8) {
        uint32_t t = (dwTexel >> sh) & 255, d = (dwDiffuse >> sh) & 255;
        uint32_t c = nColorOp == D3DTOP_DISABLE ? d : FxStageOp(nColorOp, t, d);
        out |= c << sh;
    }
    uint32_t ta = dwTexel >> 24, da = dwDiffuse >> 24;
    uint32_t a = nAlphaOp == D3DTOP_DISABLE ? 255u : FxStageOp(nAlphaOp, ta, da);
    return out | (a << 24);
}

// Source-alpha blending onto the destination (both A8R8G8B8):
// out = (src * a + dst * (255 - a) + 127) / 255 for every channel, alpha too.
inline uint32_t FxBlendChannel(uint32_t s, uint32_t d, uint32_t a) { return (s * a + d * (255u - a) + 127u) / 255u; }
// Two channels at a time, 16 bits apart: every lane stays below 65153, and
// floor(x / 255) = (x + 1 + (x >> 8)) >> 8 holds for x below 65535.
inline uint32_t FxBlend(uint32_t dwSrc, uint32_t dwDst)
{
    const uint32_t a = dwSrc >> 24;
    if (a == 255) return dwSrc;
    if (a == 0) return dwDst;
    const uint32_t na = 255u - a;
    uint32_t rb = (dwSrc & 0x00FF00FFu) * a + (dwDst & 0x00FF00FFu) * na + 0x007F007Fu;
    uint32_t ag = ((dwSrc >> 8) & 0x00FF00FFu) * a + ((dwDst >> 8) & 0x00FF00FFu) * na + 0x007F007Fu;
    rb = ((rb + 0x00010001u + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    ag = ((ag + 0x00010001u + ((ag >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    return rb | ag << 8;
}

// A storage pixel as A8R8G8B8 and back (formats without alpha read opaque).
inline uint32_t FxToARGB(int nFormat, uint32_t v)
{
    if (nFormat == DDFMT_A8R8G8B8) return v;
    if (nFormat == DDFMT_X8R8G8B8) return v | 0xFF000000u;
    return DDUnpackARGB(nFormat, v);
}
inline uint32_t FxFromARGB(int nFormat, uint32_t argb)
{
    if (nFormat == DDFMT_A8R8G8B8) return argb;
    if (nFormat == DDFMT_X8R8G8B8) return argb & 0x00FFFFFFu;
    return DDPackARGB(nFormat, argb);
}

// Reads a pixel of a surface as A8R8G8B8 and writes one back, by the
// surface's storage format (the device's view of textures and back buffers).
inline uint32_t FxReadARGB(const FXSURF& s, int x, int y) { return FxToARGB(s.nFormat, s.Get(x, y)); }
inline void FxWriteARGB(const FXSURF& s, int x, int y, uint32_t argb) { s.Put(x, y, FxFromARGB(s.nFormat, argb)); }

// Division of a sum by a count, exact, through a multiplier kept while the
// count stays the same: q = (s * M) >> 40 with M = floor(2^40 / n) + 1 is
// floor(s / n) whenever s * n < 2^40 (the error s / 2^40 stays below 1 / n)
// and the product fits in 64 bits; other cases divide.
class cFxDivider {
public:
    uint32_t Div(uint32_t s, uint32_t n)
    {
        if (n != m_n) {
            m_n = n;
            m_nMul = (uint64_t{1} << 40) / n + 1;
            // s < 2^40 / n keeps the error small, s < n * 2^24 the product in 64 bits.
            m_nSafe = static_cast<uint32_t>(
                std::min<uint64_t>({(uint64_t{1} << 40) / n, (uint64_t{n} << 24) - 1, 0xFFFFFFFFu}));
        }
        if (s < m_nSafe) return static_cast<uint32_t>((s * m_nMul) >> 40);
        return s / n;
    }

private:
    uint32_t m_n = 0;
    uint64_t m_nMul = 0;
    uint32_t m_nSafe = 0;  // sums below this divide by the multiplier
};

// floor(s / n) for a field sum s <= m * n (m the widest field, 1..255) with
// m * n <= 65535, in single precision, so that a vector of columns divides
// at once: t' = fl(fl(s + 0.5) * fl(1 / n)). s + 0.5 is exact (s < 2^16);
// the two roundings put t' within t * (2 * 2^-24 + 2^-48) of
// t = (s + 0.5) / n <= m + 0.5. The fraction of t lies in
// [0.5 / n, 1 - 0.5 / n], at least 0.5 * m / 65535 from a whole number, and
// (m + 0.5) * 2^-23 stays below that for every m >= 1 (the ratio of the two
// is under 2 / 64). So truncating t' gives floor(s / n).
inline float FxFieldReciprocal(uint32_t n) { return 1.0f / static_cast<float>(static_cast<int32_t>(n)); }
inline uint32_t FxFieldDivide(uint32_t s, float fRcp)
{
    return static_cast<uint32_t>(static_cast<int32_t>((static_cast<float>(static_cast<int32_t>(s)) + 0.5f) * fRcp));
}

// A row of staged texels (A8R8G8B8) blended over the target row, as the
// device does it: alpha 0 leaves the pixel as it is, any other alpha writes
// the blend of the texel over (pixel | nDstOr), cut by nDstMask. The blend
// formula is exact at both ends (alpha 255 gives the texel, 0 the pixel), so
// the row needs no branch and is worked a vector at a time.
void FxBlendRow(uint32_t* lpDst, const uint32_t* lpStaged, int n, uint32_t nDstOr, uint32_t nDstMask);

// The device drawing a 1:1 textured quad (x, y, w, h) from (sx, sy) of the
// source (a negative span sw or sh reads backwards): each texel (A8R8G8B8)
// passes through fnStage, the result is blended over the target. Pixels
// whose texel lies outside the texture are left alone.
template <class F>
void FxDeviceQuad(cFxLockPair& lk, int x, int y, int w, int h, int sx, int sy, int sw, int sh, F fnStage)
{
    const FXSPAN wr = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, 0, 0, INT32_MAX, INT32_MAX);
    const long long nSW = lk.S.lpPix->nWidth, nSH = lk.S.lpPix->nHeight;
    // Columns whose texel lies inside the texture.
    long long i0 = wr.i0, i1 = wr.i1;
    if (sw >= 0) {
        i0 = std::max<long long>(i0, -static_cast<long long>(sx));
        i1 = std::min<long long>(i1, nSW - sx);
    } else {
        i0 = std::max<long long>(i0, static_cast<long long>(sx) - nSW);
        i1 = std::min<long long>(i1, static_cast<long long>(sx));
    }
    if (i0 >= i1) return;
    const int sFmt = lk.S.nFormat, dFmt = lk.D.nFormat;
    const bool b32 = lk.S.lpPix->nBytes == 4 && lk.D.lpPix->nBytes == 4;
    const uint32_t dwSrcOr = sFmt == DDFMT_X8R8G8B8 ? 0xFF000000u : 0u;
    const uint32_t dwDstOr = dFmt == DDFMT_X8R8G8B8 ? 0xFF000000u : 0u;
    const uint32_t dwDstMask = dFmt == DDFMT_X8R8G8B8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    const long long du = sw >= 0 ? 1 : -1;
    // The staged texels of one row, blended in one pass.
    static thread_local std::vector<uint32_t> vStaged;
    if (b32 && vStaged.size() < static_cast<size_t>(i1 - i0)) vStaged.resize(static_cast<size_t>(i1 - i0));
    for (int j = wr.j0; j < wr.j1; j++) {
        const long long v = sh >= 0 ? static_cast<long long>(sy) + j : static_cast<long long>(sy) - 1 - j;
        if (v < 0 || v >= nSH) continue;
        long long u = sw >= 0 ? sx + i0 : sx - 1 - i0;
        if (b32) {
            const uint32_t* srow = reinterpret_cast<const uint32_t*>(lk.S.lpPix->Row(static_cast<int>(v))) + u;
            uint32_t* drow = reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(y + j)) + x + i0;
            uint32_t* st = vStaged.data();
            const int n = static_cast<int>(i1 - i0);
            if (du > 0) {
                for (int k = 0; k < n; k++) st[k] = fnStage(srow[k] | dwSrcOr);
            } else {
                for (int k = 0; k < n; k++) st[k] = fnStage(srow[-k] | dwSrcOr);
            }
            FxBlendRow(drow, st, n, dwDstOr, dwDstMask);
            continue;
        }
        for (long long i = i0; i < i1; i++, u += du) {
            const uint32_t c = fnStage(FxReadARGB(lk.S, static_cast<int>(u), static_cast<int>(v)));
            const uint32_t a = c >> 24;
            if (a == 0) continue;
            const int px = static_cast<int>(x + i), py = y + j;
            FxWriteARGB(lk.D, px, py, a == 255 ? c : FxBlend(c, FxReadARGB(lk.D, px, py)));
        }
    }
}
