// The rotation blit: a source rectangle turned about a pivot that lands on a
// destination point. Under Direct3D the device draws a turned textured quad
// when it can (computed here as the device would: pixel centres mapped back
// into the quad, point sampling, texture stage combine, alpha blending);
// every other case turns the picture on locked pixels with 10-bit fixed-point
// sine and cosine and nearest-neighbour inverse mapping.
#include "graphics/DDEffect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "graphics/DDBlt.h"
#include "graphics/DDEffectPixels.h"

namespace {

constexpr double dDegToRad = 0.017453292519943278;

// A turned picture reads its source along slanted lines: the destination is
// drawn in tiles of this many pixels square, so that the source rows a tile
// reads stay in the cache.
constexpr long long nRotateTile = 64;

// The texels of n pixel centres of a row of the turned quad, from column X0:
// lx = c * X + bx, ly = -s * X + by, and the texel (trunc lx, trunc ly) when
// both lie inside the w x h quad, -1 in aIx otherwise. (Plain double
// arithmetic: the same roundings a lane at a time.)
__attribute__((target_clones("avx2", "default"), optimize("O3"))) void TurnedTexels(double c, double s, double bx,
                                                                                   double by, int w, int h, int X0,
                                                                                   int n, int* aIx, int* aIy)
{
    const double dW = w, dH = h;
    for (int k = 0; k < n; k++) {
        const double X = X0 + k;
        const double lx = c * X + bx, ly = -s * X + by;
        const bool bIn = (lx >= 0) & (lx < dW) & (ly >= 0) & (ly < dH);
        const double lxIn = bIn ? lx : 0.0, lyIn = bIn ? ly : 0.0;
        aIx[k] = bIn ? static_cast<int>(lxIn) : -1;
        aIy[k] = static_cast<int>(lyIn);
    }
}

// A run of n pixels of a 32-bit target drawn from 32-bit texels found by
// TurnedTexels: the stage (left out when it passes texels unchanged), then
// alpha 0 keeps the pixel, 255 writes the texel, others blend.
struct DEVICEROW32 {
    const uint8_t* lpSrc0;
    size_t nSrcPitch;
    long long nSW, nSH, u0, dU, v0, dV;
    uint32_t dwSrcOr, dwDstOr, dwDstMask, dwColor;
    int nColorOp, nAlphaOp;
};

template <bool bPlain>
void DeviceRow32(const DEVICEROW32& r, const int* aIx, const int* aIy, int n, uint32_t* lpDst)
{
    const uint8_t* lpSrc0 = r.lpSrc0;
    const size_t nPitch = r.nSrcPitch;
    const unsigned long long nSW = static_cast<unsigned long long>(r.nSW), nSH = static_cast<unsigned long long>(r.nSH);
    const long long u0 = r.u0, dU = r.dU, v0 = r.v0, dV = r.dV;
    const uint32_t dwSrcOr = r.dwSrcOr;
    for (int q = 0; q < n; q++) {
        if (aIx[q] < 0) continue;
        const long long u = u0 + dU * aIx[q], v = v0 + dV * aIy[q];
        if (static_cast<unsigned long long>(u) >= nSW || static_cast<unsigned long long>(v) >= nSH) continue;
        const uint32_t t = reinterpret_cast<const uint32_t*>(lpSrc0 + static_cast<size_t>(v) * nPitch)[u] | dwSrcOr;
        const uint32_t out = bPlain ? t : FxStageCombine(t, r.dwColor, r.nColorOp, r.nAlphaOp);
        const uint32_t a = out >> 24;
        if (a == 0) continue;
        uint32_t& d = lpDst[q];
        d = (a == 255 ? out : FxBlend(out, d | r.dwDstOr)) & r.dwDstMask;
    }
}

// Source texel indices of a run (row times the pitch in pixels, plus the
// column), -1 where the pixel shows no texel: the quad position read
// backwards for a mirrored source (nFlip -1: -i is (i ^ -1) + 1) and tested
// against the texture. 32-bit arithmetic: the caller checks that every
// value fits.
__attribute__((target_clones("avx2", "default"), optimize("O3"))) void TexelIndices(const int* aIx, const int* aIy,
                                                                                   int n, int u0, int nFlipU, int v0,
                                                                                   int nFlipV, int nSW, int nSH,
                                                                                   int nPitchPx, int* aIdx)
{
    for (int k = 0; k < n; k++) {
        const int ix = aIx[k];
        const int u = u0 + ((ix ^ nFlipU) - nFlipU), v = v0 + ((aIy[k] ^ nFlipV) - nFlipV);
        const bool bIn = (ix >= 0) & (static_cast<unsigned>(u) < static_cast<unsigned>(nSW)) &
                         (static_cast<unsigned>(v) < static_cast<unsigned>(nSH));
        aIdx[k] = bIn ? v * nPitchPx + u : -1;
    }
}

// The same run drawn through the indices: every texel staged (0, alpha 0,
// where there is none, which keeps the pixel), then blended as one row.
template <bool bPlain>
void DeviceRow32Indexed(const DEVICEROW32& r, const int* aIdx, int n, uint32_t* lpStaged, uint32_t* lpDst)
{
    const uint32_t* lpSrc = reinterpret_cast<const uint32_t*>(r.lpSrc0);
    const uint32_t dwSrcOr = r.dwSrcOr;
    for (int q = 0; q < n; q++) {
        const int k = aIdx[q];
        const uint32_t t = lpSrc[k < 0 ? 0 : k] | dwSrcOr;
        const uint32_t out = bPlain ? t : FxStageCombine(t, r.dwColor, r.nColorOp, r.nAlphaOp);
        lpStaged[q] = k < 0 ? 0u : out;
    }
    FxBlendRow(lpDst, lpStaged, n, r.dwDstOr, r.dwDstMask);
}

// The turned quad of the device. Vertex positions are the source corners
// turned about the pivot, less half a pixel; the pixel centre (X, Y) lies at
// (X + 0.5 - dx, Y + 0.5 - dy) from the pivot once that half pixel is undone.
int DeviceRotate(DDSURFACEDATA* dst, int dx, int dy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* src,
                 int sx, int sy, int sw, int sh)
{
    cFxLockPair lk(dst, src);
    if (!lk.OK() || w <= 0 || h <= 0) return 1;
    const double s = std::sin(nAngle * dDegToRad), c = std::cos(nAngle * dDegToRad);
    // The quad's bounding box on the destination.
    double xs[4], ys[4];
    const double cxs[4] = {-static_cast<double>(px), -static_cast<double>(px), static_cast<double>(w - px),
                           static_cast<double>(w - px)};
    const double cys[4] = {-static_cast<double>(py), static_cast<double>(h - py), -static_cast<double>(py),
                           static_cast<double>(h - py)};
    for (int k = 0; k < 4; k++) {
        xs[k] = dx + c * cxs[k] - s * cys[k] - 0.5;
        ys[k] = dy + s * cxs[k] + c * cys[k] - 0.5;
    }
    double xmin = std::min({xs[0], xs[1], xs[2], xs[3]}), xmax = std::max({xs[0], xs[1], xs[2], xs[3]});
    double ymin = std::min({ys[0], ys[1], ys[2], ys[3]}), ymax = std::max({ys[0], ys[1], ys[2], ys[3]});
    long long X0 = std::max<long long>(0, static_cast<long long>(std::floor(std::max(xmin, -1e9))));
    long long X1 = std::min<long long>(lk.D.nWidth - 1, static_cast<long long>(std::ceil(std::min(xmax, 1e9))));
    long long Y0 = std::max<long long>(0, static_cast<long long>(std::floor(std::max(ymin, -1e9))));
    long long Y1 = std::min<long long>(lk.D.nHeight - 1, static_cast<long long>(std::ceil(std::min(ymax, 1e9))));
    const uint32_t dwColor = lpDTCon->dwBltColor;
    const int nColorOp = lpDTCon->nBltColorOp, nAlphaOp = lpDTCon->nBltAlphaOp;
    // White diffuse with modulate or select-texture stages leaves the texel as it is.
    const bool bPlain = dwColor == 0xFFFFFFFFu && (nColorOp == D3DTOP_MODULATE || nColorOp == D3DTOP_SELECTARG1) &&
                        (nAlphaOp == D3DTOP_MODULATE || nAlphaOp == D3DTOP_SELECTARG1);
    const int nSW = lk.S.lpPix->nWidth, nSH = lk.S.lpPix->nHeight;
    const bool b32 = lk.S.lpPix->nBytes == 4 && lk.D.lpPix->nBytes == 4;
    const uint32_t dwSrcOr = lk.S.nFormat == DDFMT_X8R8G8B8 ? 0xFF000000u : 0u;
    const uint32_t dwDstOr = lk.D.nFormat == DDFMT_X8R8G8B8 ? 0xFF000000u : 0u;
    const uint32_t dwDstMask = lk.D.nFormat == DDFMT_X8R8G8B8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    // Columns X of a row where a * X + b lies in [0, L): a slack of one pixel
    // each side, the exact test is made per pixel.
    auto span = [](double a, double b, double L, long long& lo, long long& hi) {
        if (std::fabs(a) < 1e-9) {
            if (!(b >= -1 && b < L + 1)) hi = lo - 1;
            return;
        }
        double x0 = (0 - b) / a, x1 = (L - b) / a;
        if (x0 > x1) std::swap(x0, x1);
        lo = std::max(lo, static_cast<long long>(std::floor(std::max(x0, -1e9))) - 1);
        hi = std::min(hi, static_cast<long long>(std::ceil(std::min(x1, 1e9))) + 1);
    };
    // Each row's span and offsets, then the rows drawn a tile of columns at
    // a time so that the source rows a tile reads stay in the cache. (A
    // picture turned onto its own pixels keeps whole rows in order: it reads
    // what it has already written.)
    if (Y0 > Y1 || X0 > X1) return 1;
    const size_t nRows = static_cast<size_t>(Y1 - Y0 + 1);
    std::vector<double> vBx(nRows), vBy(nRows);
    std::vector<long long> vLo(nRows), vHi(nRows);
    for (long long Y = Y0; Y <= Y1; Y++) {
        const double ry = Y + 0.5 - dy;
        // lx = c * X + bx, ly = -s * X + by for this row.
        const double bx = c * (0.5 - dx) + s * ry + px, by = -s * (0.5 - dx) + c * ry + py;
        long long lo = X0, hi = X1;
        span(c, bx, w, lo, hi);
        span(-s, by, h, lo, hi);
        const size_t k = static_cast<size_t>(Y - Y0);
        vBx[k] = bx, vBy[k] = by, vLo[k] = lo, vHi[k] = hi;
    }
    const bool bSelf = lk.S.lpPix == lk.D.lpPix;
    const long long nTileW = bSelf ? X1 - X0 + 1 : nRotateTile, nTileH = bSelf ? Y1 - Y0 + 1 : nRotateTile;
    std::vector<int> vIx(static_cast<size_t>(std::min(nTileW, X1 - X0 + 1))), vIy(vIx.size());
    int* aIx = vIx.data();
    int* aIy = vIy.data();
    std::vector<int> vIdx(vIx.size());
    std::vector<uint32_t> vStaged(vIx.size());
    const uint8_t* lpSrc0 = lk.S.lpPix->Row(0);
    const size_t nSrcPitch = static_cast<size_t>(lk.S.lpPix->nPitch);
    const long long dU = sw >= 0 ? 1 : -1, u0 = sw >= 0 ? sx : static_cast<long long>(sx) - 1;
    const long long dV = sh >= 0 ? 1 : -1, v0 = sh >= 0 ? sy : static_cast<long long>(sy) - 1;
    // Texel positions as 32-bit indices when every value they pass through
    // fits; each run is staged before it is blended, so not onto its own pixels.
    const long long nPitchPx = static_cast<long long>(nSrcPitch) / 4;
    const bool bIndexed = b32 && !bSelf && nSW > 0 && nSH > 0 && nSrcPitch % 4 == 0 && nPitchPx * nSH < (1LL << 31) &&
                          std::llabs(u0) + w + 2 < (1LL << 30) && std::llabs(v0) + h + 2 < (1LL << 30);
    for (long long TY = Y0; TY <= Y1; TY += nTileH)
        for (long long TX = X0; TX <= X1; TX += nTileW)
            for (long long Y = TY; Y <= std::min(Y1, TY + nTileH - 1); Y++) {
                const size_t k = static_cast<size_t>(Y - Y0);
                const double bx = vBx[k], by = vBy[k];
                const long long lo = std::max(vLo[k], TX), hi = std::min(vHi[k], TX + nTileW - 1);
                const int oy = static_cast<int>(Y);
                uint32_t* drow = b32 ? reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(oy)) : nullptr;
                if (lo > hi) continue;
                const int n = static_cast<int>(hi - lo + 1);
                TurnedTexels(c, s, bx, by, w, h, static_cast<int>(lo), n, aIx, aIy);
                if (bIndexed) {
                    TexelIndices(aIx, aIy, n, static_cast<int>(u0), dU < 0 ? -1 : 0, static_cast<int>(v0),
                                 dV < 0 ? -1 : 0, nSW, nSH, static_cast<int>(nPitchPx), vIdx.data());
                    DEVICEROW32 r{lpSrc0, nSrcPitch, nSW, nSH, u0, dU, v0, dV, dwSrcOr, dwDstOr, dwDstMask, dwColor, nColorOp, nAlphaOp};
                    if (bPlain) DeviceRow32Indexed<true>(r, vIdx.data(), n, vStaged.data(), drow + lo);
                    else DeviceRow32Indexed<false>(r, vIdx.data(), n, vStaged.data(), drow + lo);
                    continue;
                }
                if (b32) {
                    DEVICEROW32 r{lpSrc0, nSrcPitch, nSW, nSH, u0, dU, v0, dV, dwSrcOr, dwDstOr, dwDstMask, dwColor, nColorOp, nAlphaOp};
                    if (bPlain) DeviceRow32<true>(r, aIx, aIy, n, drow + lo);
                    else DeviceRow32<false>(r, aIx, aIy, n, drow + lo);
                    continue;
                }
                for (int q = 0; q < n; q++) {
                    if (aIx[q] < 0) continue;
                    const long long X = lo + q;
                    const long long u = u0 + dU * aIx[q], v = v0 + dV * aIy[q];
                    if (static_cast<unsigned long long>(u) >= static_cast<unsigned long long>(nSW) ||
                        static_cast<unsigned long long>(v) >= static_cast<unsigned long long>(nSH))
                        continue;
                    const int ox = static_cast<int>(X);
                    uint32_t t = FxReadARGB(lk.S, static_cast<int>(u), static_cast<int>(v));
                    uint32_t out = bPlain ? t : FxStageCombine(t, dwColor, nColorOp, nAlphaOp);
                    const uint32_t a = out >> 24;
                    if (a == 0) continue;
                    FxWriteARGB(lk.D, ox, oy, a == 255 ? out : FxBlend(out, FxReadARGB(lk.D, ox, oy)));
                }
            }
    return 1;
}

// The locked turn of one call: destination columns [xmin, xend) and rows
// [ymin, yend) in pivot-relative coordinates, the ten-bit factors of the
// reverse turn.
struct ROTATEJOB {
    const cFxLockPair* lpLock;
    int dx, dy, w, h, px, py, sx, sy, sw, sh;
    long long xmin, xend, ymin, yend;
    long long s2, c2;
    bool bConvert;  // into the 16-bit full-screen back buffer: fields moved to its layout
};

// Nearest-neighbour reverse mapping on PIX pixels. With key 1 the source
// pixels fnKeyed names are left out (Direct3D by its alpha rule, 16 bits:
// none of the bits 0xA0 of the high byte, 32 bits: alpha 0; DirectDraw when
// the pixel equals dwTransColor). A turn onto its own pixels keeps the rows
// whole and in order, as it reads what it has already written.
template <class PIX, class FKEY>
void RotateRows(const ROTATEJOB& jb, FKEY fnKeyed)
{
    const cFxLockPair& lk = *jb.lpLock;
    const DDPIXELFORMAT& spf = lk.S.pf;
    const DDPIXELFORMAT& dpf = lk.D.pf;
    const uint8_t* lpSrc0 = lk.S.lpPix->Row(0);
    const size_t nSrcPitch = static_cast<size_t>(lk.S.lpPix->nPitch);
    const long long nSW = lk.S.nWidth, nSH = lk.S.nHeight, w = jb.w, h = jb.h;
    // A mirrored source (a negative span) is read backwards.
    const long long dU = jb.sw >= 0 ? 1 : -1, u0 = jb.sw >= 0 ? jb.sx : static_cast<long long>(jb.sx) - 1;
    const long long dV = jb.sh >= 0 ? 1 : -1, v0 = jb.sh >= 0 ? jb.sy : static_cast<long long>(jb.sy) - 1;
    const bool bSelf = lk.S.lpPix == lk.D.lpPix;
    const long long nTileW = bSelf ? jb.xend - jb.xmin : nRotateTile, nTileH = bSelf ? jb.yend - jb.ymin : nRotateTile;
    for (long long ty = jb.ymin; ty < jb.yend; ty += nTileH)
        for (long long tx = jb.xmin; tx < jb.xend; tx += nTileW) {
            const long long x1 = std::min(jb.xend, tx + nTileW);
            for (long long yy = ty; yy < std::min(jb.yend, ty + nTileH); yy++) {
                const long long yr = yy - jb.py;
                PIX* drow = reinterpret_cast<PIX*>(lk.D.lpPix->Row(static_cast<int>(jb.dy + yy - jb.py)));
                const long long nOutX = static_cast<long long>(jb.dx) - jb.px;  // destination column of xx = 0
                // The products advance by c2 and s2 per column.
                const long long xr = tx - jb.px;
                long long uacc = jb.c2 * xr - jb.s2 * yr, vacc = jb.s2 * xr + jb.c2 * yr;
                for (long long xx = tx; xx < x1; xx++, uacc += jb.c2, vacc += jb.s2) {
                    const long long u = jb.px + (uacc >> 10), v = jb.py + (vacc >> 10);
                    if (static_cast<unsigned long long>(u) >= static_cast<unsigned long long>(w) ||
                        static_cast<unsigned long long>(v) >= static_cast<unsigned long long>(h))
                        continue;
                    const long long qx = u0 + dU * u, qy = v0 + dV * v;
                    if (static_cast<unsigned long long>(qx) >= static_cast<unsigned long long>(nSW) ||
                        static_cast<unsigned long long>(qy) >= static_cast<unsigned long long>(nSH))
                        continue;
                    uint32_t pix = reinterpret_cast<const PIX*>(lpSrc0 + static_cast<size_t>(qy) * nSrcPitch)[qx];
                    if (fnKeyed(pix)) continue;
                    if (jb.bConvert) {
                        FXFIELDS f = FxUnpack(spf, pix);
                        pix = FxPack(dpf, FxField(f.r, spf.nMaxR, dpf.nMaxR), FxField(f.g, spf.nMaxG, dpf.nMaxG),
                                     FxField(f.b, spf.nMaxB, dpf.nMaxB), 0);
                    }
                    drow[nOutX + xx] = static_cast<PIX>(pix);
                }
            }
        }
}

// The same turn a run at a time: the source index of every pixel of a run
// (row times the pitch in pixels, plus the column; -1 for none) worked in
// 32-bit lanes, then the run copied through the indices. Neither for a turn
// onto its own pixels (a run would read pixels it writes) nor into the 16-bit
// back buffer; RotateIndexedFits checks that every value fits 32 bits.
bool RotateIndexedFits(const ROTATEJOB& jb, int nBytes)
{
    const cFxLockPair& lk = *jb.lpLock;
    if (jb.bConvert || lk.S.lpPix == lk.D.lpPix) return false;
    const long long nSW = lk.S.nWidth, nSH = lk.S.nHeight, nPitch = lk.S.lpPix->nPitch;
    if (nSW <= 0 || nSH <= 0 || nPitch % nBytes != 0 || nPitch / nBytes * nSH >= (1LL << 31)) return false;
    // Accumulators c2 * xr - s2 * yr within 2^30, positions and source
    // coordinates within 2^30.
    constexpr long long nLimit = 1LL << 19;
    auto small = [](long long v, long long lim) { return v > -lim && v < lim; };
    const long long u0 = jb.sw >= 0 ? jb.sx : static_cast<long long>(jb.sx) - 1;
    const long long v0 = jb.sh >= 0 ? jb.sy : static_cast<long long>(jb.sy) - 1;
    return small(jb.xmin - jb.px, nLimit) && small(jb.xend - jb.px, nLimit) && small(jb.ymin - jb.py, nLimit) &&
           small(jb.yend - jb.py, nLimit) && small(jb.px, 1LL << 29) && small(jb.py, 1LL << 29) &&
           jb.w < (1 << 29) && jb.h < (1 << 29) && small(u0, (1LL << 30) - jb.w - 2) &&
           small(v0, (1LL << 30) - jb.h - 2);
}

__attribute__((target_clones("avx2", "default"), optimize("O3"))) void RotateIndices(
    int uacc, int vacc, int c2, int s2, int n, int px, int py, int w, int h, int u0, int nFlipU, int v0, int nFlipV,
    int nSW, int nSH, int nPitchPx, int* aIdx)
{
    for (int k = 0; k < n; k++) {
        const int ua = uacc + k * c2, va = vacc + k * s2;
        const int u = px + (ua >> 10), v = py + (va >> 10);
        // A mirrored source (nFlip -1) is read backwards: -u is (u ^ -1) + 1.
        const int qx = u0 + ((u ^ nFlipU) - nFlipU), qy = v0 + ((v ^ nFlipV) - nFlipV);
        const bool bIn = (static_cast<unsigned>(u) < static_cast<unsigned>(w)) &
                         (static_cast<unsigned>(v) < static_cast<unsigned>(h)) &
                         (static_cast<unsigned>(qx) < static_cast<unsigned>(nSW)) &
                         (static_cast<unsigned>(qy) < static_cast<unsigned>(nSH));
        aIdx[k] = bIn ? qy * nPitchPx + qx : -1;
    }
}

// A run copied through source indices; (v & dwMask) == dwMatch leaves v out.
template <class PIX>
[[gnu::always_inline]] inline void RotateCopyBody(PIX* __restrict lpDst, const PIX* __restrict lpSrc, const int* aIdx,
                                                  int n, uint32_t dwMask, uint32_t dwMatch)
{
    for (int q = 0; q < n; q++) {
        const int k = aIdx[q];
        const uint32_t v = lpSrc[k < 0 ? 0 : k];
        const bool bSkip = (k < 0) | ((v & dwMask) == dwMatch);
        lpDst[q] = bSkip ? lpDst[q] : static_cast<PIX>(v);
    }
}
__attribute__((target_clones("avx2", "default"), optimize("O3"))) void RotateCopy32(
    uint32_t* lpDst, const uint32_t* lpSrc, const int* aIdx, int n, uint32_t dwMask, uint32_t dwMatch)
{
    RotateCopyBody<uint32_t>(lpDst, lpSrc, aIdx, n, dwMask, dwMatch);
}
inline void RotateCopy(uint32_t* lpDst, const uint32_t* lpSrc, const int* aIdx, int n, uint32_t dwMask, uint32_t dwMatch)
{
    RotateCopy32(lpDst, lpSrc, aIdx, n, dwMask, dwMatch);
}
template <class PIX>
void RotateCopy(PIX* lpDst, const PIX* lpSrc, const int* aIdx, int n, uint32_t dwMask, uint32_t dwMatch)
{
    RotateCopyBody<PIX>(lpDst, lpSrc, aIdx, n, dwMask, dwMatch);
}

template <class PIX>
void RotateIndexed(const ROTATEJOB& jb, uint32_t dwMask, uint32_t dwMatch)
{
    const cFxLockPair& lk = *jb.lpLock;
    const PIX* lpSrc = reinterpret_cast<const PIX*>(lk.S.lpPix->Row(0));
    const int nPitchPx = lk.S.lpPix->nPitch / static_cast<int>(sizeof(PIX));
    const int u0 = jb.sw >= 0 ? jb.sx : jb.sx - 1, v0 = jb.sh >= 0 ? jb.sy : jb.sy - 1;
    const int nFlipU = jb.sw >= 0 ? 0 : -1, nFlipV = jb.sh >= 0 ? 0 : -1;
    const int c2 = static_cast<int>(jb.c2), s2 = static_cast<int>(jb.s2);
    int aIdx[nRotateTile];
    for (long long ty = jb.ymin; ty < jb.yend; ty += nRotateTile)
        for (long long tx = jb.xmin; tx < jb.xend; tx += nRotateTile) {
            const int n = static_cast<int>(std::min(jb.xend, tx + nRotateTile) - tx);
            for (long long yy = ty; yy < std::min(jb.yend, ty + nRotateTile); yy++) {
                const int xr = static_cast<int>(tx - jb.px), yr = static_cast<int>(yy - jb.py);
                RotateIndices(c2 * xr - s2 * yr, s2 * xr + c2 * yr, c2, s2, n, jb.px, jb.py, jb.w, jb.h, u0, nFlipU,
                              v0, nFlipV, lk.S.nWidth, lk.S.nHeight, nPitchPx, aIdx);
                PIX* drow = reinterpret_cast<PIX*>(lk.D.lpPix->Row(static_cast<int>(jb.dy + yy - jb.py))) +
                            (static_cast<long long>(jb.dx) - jb.px + tx);
                RotateCopy(drow, lpSrc, aIdx, n, dwMask, dwMatch);
            }
        }
}

int LockedRotate(DDSURFACEDATA* dst, int dx, int dy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* src,
                 int sx, int sy, int nKey, int sw, int sh)
{
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return 0;
    const eFxProfile ep = DDFxProfile();
    if (ep == FXP_NONE || lk.S.lpPix->nBytes != lk.D.lpPix->nBytes) return 1;
    if (w <= 0 || h <= 0) return 1;

    const long long s1 = static_cast<long long>(std::sin(nAngle * dDegToRad) * 1024);
    const long long c1 = static_cast<long long>(std::cos(nAngle * dDegToRad) * 1024);
    const long long cx[4] = {-static_cast<long long>(px), static_cast<long long>(w) - 1 - px,
                             -static_cast<long long>(px), static_cast<long long>(w) - 1 - px};
    const long long cy[4] = {-static_cast<long long>(py), -static_cast<long long>(py),
                             static_cast<long long>(h) - 1 - py, static_cast<long long>(h) - 1 - py};
    long long xrMin = 0, xrMax = 0, yrMin = 0, yrMax = 0;
    for (int k = 0; k < 4; k++) {
        long long xr = (c1 * cx[k] - s1 * cy[k]) >> 10;
        long long yr = (s1 * cx[k] + c1 * cy[k]) >> 10;
        if (k == 0 || xr < xrMin) xrMin = xr;
        if (k == 0 || xr > xrMax) xrMax = xr;
        if (k == 0 || yr < yrMin) yrMin = yr;
        if (k == 0 || yr > yrMax) yrMax = yr;
    }
    long long xmin = px + xrMin - 2, xend = px + xrMax + 2;
    long long ymin = py + yrMin - 2, yend = py + yrMax + 2;
    // Cut to the destination: destination column dx + xx - px, row dy + yy - py.
    xmin = std::max<long long>(xmin, static_cast<long long>(px) - dx);
    xend = std::min<long long>(xend, static_cast<long long>(px) - dx + lk.D.nWidth);
    ymin = std::max<long long>(ymin, static_cast<long long>(py) - dy);
    yend = std::min<long long>(yend, static_cast<long long>(py) - dy + lk.D.nHeight);

    const long long s2 = static_cast<long long>(std::sin(-nAngle * dDegToRad) * 1024);
    const long long c2 = static_cast<long long>(std::cos(-nAngle * dDegToRad) * 1024);
    const bool bConvert = lpDTCon && ep == FXP_D3D16 && lk.D.bFullScreenBack;
    if (xmin >= xend || ymin >= yend) return 1;
    ROTATEJOB job{&lk, dx, dy, w, h, px, py, sx, sy, sw, sh, xmin, xend, ymin, yend, s2, c2, bConvert};
    const int nBytes = lk.D.lpPix->nBytes;
    if (RotateIndexedFits(job, nBytes)) {
        // The key as a mask test: (v & dwMask) == dwMatch leaves v out (a
        // mask of 0 never matches 1).
        uint32_t dwMask = 0, dwMatch = 1;
        if (nKey == 1) {
            if (ep == FXP_D3D16) dwMask = 0xA000u, dwMatch = 0;
            else if (ep == FXP_D3D32) dwMask = 0xFF000000u, dwMatch = 0;
            else dwMask = 0xFFFFFFFFu, dwMatch = dwTransColor;
        }
        if (nBytes == 4) RotateIndexed<uint32_t>(job, dwMask, dwMatch);
        else if (nBytes == 2) RotateIndexed<uint16_t>(job, dwMask, dwMatch);
        else RotateIndexed<uint8_t>(job, dwMask, dwMatch);
        return 1;
    }
    auto run = [&](auto fnKeyed) {
        if (nBytes == 4) RotateRows<uint32_t>(job, fnKeyed);
        else if (nBytes == 2) RotateRows<uint16_t>(job, fnKeyed);
        else RotateRows<uint8_t>(job, fnKeyed);
    };
    FxWithKeyTest(nKey == 1, ep, run);
    return 1;
}

}  // namespace

int DDRotateBlt(DDSURFACEDATA* dst, int dx, int dy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* src,
                int sx, int sy, int nKey)
{
    if (!lpDTCon) return LockedRotate(dst, dx, dy, w, h, px, py, nAngle, src, sx, sy, nKey, w, h);
    if (!dst || !src) return 1;
    int sw = w, sh = h;
    DDMirrorFixup(src, &sx, &sy, &sw, &sh);
    DDResolveShared(&dst);
    DDResolveShared(&src);
    DDRedirectBackBuffer(&dst);
    DDRedirectBackBuffer(&src);
    if (FxDeviceDraws(dst, src)) return DeviceRotate(dst, dx, dy, w, h, px, py, nAngle, src, sx, sy, sw, sh);
    return LockedRotate(dst, dx, dy, w, h, px, py, nAngle, src, sx, sy, nKey, sw, sh);
}
