// Blur (a box average) and mosaic (blocks of one colour) on locked pixels.
#include "graphics/DDEffect.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "foundation/Log.h"
#include "graphics/DDEffectPixels.h"

namespace {

// How each profile treats a source pixel and writes a result. The
// transparency test is FxIsTransparent; a result is written from fields in
// the source's channel widths:
//   Direct3D 16 bits  into the destination's layout (the full-screen back
//                     buffer R5G6B5 takes the five-bit green doubled, no
//                     alpha; a texture A1R5G5B5 gets its alpha bit set)
//   Direct3D 32 bits  blue, green, red and alpha 255
//   DirectDraw 16     the destination's layout, no alpha
//   DirectDraw 32     blue, green, red; the destination's alpha byte stays
struct FXWRITERULE {
    bool bSetAlpha;   // write the alpha channel at its maximum
    bool bKeepAlpha;  // keep the destination's alpha bits
};
const FXWRITERULE aWriteRule[FXP_COUNT] = {
    /* FXP_D3D16 */ {true, false},
    /* FXP_D3D32 */ {true, false},
    /* FXP_DD8   */ {false, false},
    /* FXP_DD16  */ {false, false},
    /* FXP_DD32  */ {false, true},
    /* FXP_NONE  */ {false, false},
};

// Writes fields (in the source's channel widths) to a destination pixel.
void WriteFields(eFxProfile ep, const FXSURF& D, const DDPIXELFORMAT& spf, int x, int y, uint32_t r, uint32_t g,
                 uint32_t b)
{
    const DDPIXELFORMAT& dpf = D.pf;
    uint32_t v = ((FxField(r, spf.nMaxR, dpf.nMaxR) & dpf.nMaxR) << dpf.nShiftR) |
                 ((FxField(g, spf.nMaxG, dpf.nMaxG) & dpf.nMaxG) << dpf.nShiftG) |
                 ((FxField(b, spf.nMaxB, dpf.nMaxB) & dpf.nMaxB) << dpf.nShiftB);
    const FXWRITERULE& rule = aWriteRule[ep];
    uint32_t dwAlphaMask = dpf.nMaxA << dpf.nShiftA;
    if (rule.bSetAlpha) v |= D.lpPix->nBytes == 4 ? 0xFF000000u : dwAlphaMask;
    else if (rule.bKeepAlpha) v |= D.Get(x, y) & (dpf.nMaxA ? dwAlphaMask : 0xFF000000u);
    D.Put(x, y, v);
}

// Blur with the three fields and the count packed in 16-bit lanes of one
// 64-bit word (blue, green, red, count from the low end): column sums over
// the rows of the box, added and taken away as the box moves down, then a
// prefix of the column sums along the row whose differences are the box
// sums. The lanes add and subtract as one word modulo 2^64: a result whose
// every lane's true value lies in 0..65535 comes out exact whatever the
// words in between held, and every box sum does whenever the widest field
// times the box fits, which BlurLanesFit checks (the prefixes themselves
// overflow their lanes, their differences do not). Results equal the
// general blur's.
constexpr int LANE_B = 0, LANE_G = 16, LANE_R = 32, LANE_N = 48;
constexpr uint64_t LANE_MASK = 0xFFFF;

bool BlurLanesFit(uint32_t nMaxField, long long RX, long long RY)
{
    const long long nBox = (2 * RX + 1) * (2 * RY + 1);
    return nBox <= 65535 && static_cast<long long>(nMaxField) * nBox <= 65535;
}

struct BLURPACK {
    // Source fields: 32 bits fixed bytes, 16 bits the source format's fields.
    int nShiftR, nShiftG, nShiftB;
    uint32_t nMaxR, nMaxG, nMaxB;
    // Destination bits of each field value, and the alpha rule.
    std::vector<uint32_t> vOutR, vOutG, vOutB;
    uint32_t dwSet = 0, dwKeep = 0;
};

// The pixels left out: those with (v & dwMask) == dwMatch. Direct3D 16 bits
// tests the bits 0xA000, 32 bits the alpha byte, DirectDraw the whole pixel
// against dwTransColor; without the key the mask 0 never matches 1.
struct BLURKEY {
    uint32_t dwMask = 0, dwMatch = 1;
};

BLURKEY BlurKeyOf(eFxProfile ep, bool bKey)
{
    if (!bKey) return {};
    switch (ep) {
    case FXP_D3D16: return {0xA000u, 0};
    case FXP_D3D32: return {0xFF000000u, 0};
    default: return {0xFFFFFFFFu, dwTransColor};
    }
}

// A source pixel's fields and count in lanes; 0 for a pixel left out.
template <class PIX>
[[gnu::always_inline]] inline uint64_t BlurLanes(uint32_t v, const BLURPACK& bp, BLURKEY k)
{
    uint64_t q;
    if constexpr (sizeof(PIX) == 4) {
        q = (v & 0xFFu) | static_cast<uint64_t>(v & 0xFF00u) << 8 | static_cast<uint64_t>(v & 0xFF0000u) << 16 |
            uint64_t{1} << LANE_N;
    } else {
        q = static_cast<uint64_t>((v >> bp.nShiftB) & bp.nMaxB) << LANE_B |
            static_cast<uint64_t>((v >> bp.nShiftG) & bp.nMaxG) << LANE_G |
            static_cast<uint64_t>((v >> bp.nShiftR) & bp.nMaxR) << LANE_R | uint64_t{1} << LANE_N;
    }
    const uint64_t nKeep = (v & k.dwMask) == k.dwMatch ? 0 : ~uint64_t{0};
    return q & nKeep;
}

// Column sums: row lpIn added, row lpOut taken away (either may be null).
template <class PIX>
[[gnu::always_inline]] inline void BlurColumnsBody(uint64_t* c, const PIX* lpIn, const PIX* lpOut, int W,
                                                   const BLURPACK& bp, BLURKEY k)
{
    if (lpIn && lpOut) {
        for (int i = 0; i < W; i++) c[i] += BlurLanes<PIX>(lpIn[i], bp, k) - BlurLanes<PIX>(lpOut[i], bp, k);
    } else if (lpIn) {
        for (int i = 0; i < W; i++) c[i] += BlurLanes<PIX>(lpIn[i], bp, k);
    } else if (lpOut) {
        for (int i = 0; i < W; i++) c[i] -= BlurLanes<PIX>(lpOut[i], bp, k);
    }
}

// One row of results from the prefix Q of column sums: the box of output
// column k sums Q[k + nSpan] - Q[k]. Without a centre row every column is
// written; with one (the key) a transparent centre keeps the destination.
// A column whose box holds no pixel keeps it too.
struct BLUROUT {
    const uint64_t* lpQ;
    int nSpan;
    int n;
    uint32_t nMaxCount;
    BLURKEY key;
    const BLURPACK* lpPack;
};

template <class PIX, bool bCentre>
[[gnu::always_inline]] inline void BlurWriteBody(const BLUROUT& o, PIX* __restrict lpOut, const PIX* __restrict lpCentre)
{
    // Every column is worked out and the choice made by masks, so the loop
    // has no branch and runs a vector at a time.
    const uint64_t* __restrict Q = o.lpQ;
    const int d = o.nSpan, nCols = o.n;
    const uint32_t nMax = o.nMaxCount;
    const uint32_t dwMask = o.key.dwMask, dwMatch = o.key.dwMatch;
    const uint32_t dwSet = o.lpPack->dwSet, dwKeep = o.lpPack->dwKeep;
    const uint32_t* __restrict lpR = o.lpPack->vOutR.data();
    const uint32_t* __restrict lpG = o.lpPack->vOutG.data();
    const uint32_t* __restrict lpB = o.lpPack->vOutB.data();
    for (int i = 0; i < nCols; i++) {
        const uint64_t sum = Q[i + d] - Q[i];
        const uint32_t n = static_cast<uint32_t>(sum >> LANE_N);
        uint32_t bWrite = (n != 0) & (n <= nMax);
        if constexpr (bCentre) bWrite &= (static_cast<uint32_t>(lpCentre[i]) & dwMask) != dwMatch;
        const uint32_t nWrite = 0u - bWrite;  // all ones where the column is written
        // (a column left alone divides by 1)
        const float fRcp = FxFieldReciprocal((n & nWrite) | (1u & ~nWrite));
        const uint32_t r = FxFieldDivide(static_cast<uint32_t>(sum >> LANE_R) & LANE_MASK, fRcp);
        const uint32_t g = FxFieldDivide(static_cast<uint32_t>(sum >> LANE_G) & LANE_MASK, fRcp);
        const uint32_t b = FxFieldDivide(static_cast<uint32_t>(sum >> LANE_B) & LANE_MASK, fRcp);
        const uint32_t px = lpOut[i];
        uint32_t v;
        if constexpr (sizeof(PIX) == 4) v = dwSet | r << 16 | g << 8 | b | (px & dwKeep);
        else v = lpR[r & nWrite] | lpG[g & nWrite] | lpB[b & nWrite] | dwSet | (px & dwKeep);
        lpOut[i] = static_cast<PIX>((v & nWrite) | (px & ~nWrite));
    }
}

// The loops above, built for the running processor's vector width.
#define BLUR_CLONES __attribute__((target_clones("avx2", "default"), optimize("O3")))
BLUR_CLONES void BlurColumns32(uint64_t* c, const uint32_t* lpIn, const uint32_t* lpOut, int W, const BLURPACK& bp, BLURKEY k)
{
    BlurColumnsBody<uint32_t>(c, lpIn, lpOut, W, bp, k);
}
BLUR_CLONES void BlurColumns16(uint64_t* c, const uint16_t* lpIn, const uint16_t* lpOut, int W, const BLURPACK& bp, BLURKEY k)
{
    BlurColumnsBody<uint16_t>(c, lpIn, lpOut, W, bp, k);
}
BLUR_CLONES void BlurWrite32(const BLUROUT& o, uint32_t* lpOut, const uint32_t* lpCentre)
{
    if (lpCentre) BlurWriteBody<uint32_t, true>(o, lpOut, lpCentre);
    else BlurWriteBody<uint32_t, false>(o, lpOut, lpCentre);
}
BLUR_CLONES void BlurWrite16(const BLUROUT& o, uint16_t* lpOut, const uint16_t* lpCentre)
{
    if (lpCentre) BlurWriteBody<uint16_t, true>(o, lpOut, lpCentre);
    else BlurWriteBody<uint16_t, false>(o, lpOut, lpCentre);
}
#undef BLUR_CLONES

inline void BlurColumns(uint64_t* c, const uint32_t* lpIn, const uint32_t* lpOut, int W, const BLURPACK& bp, BLURKEY k)
{
    BlurColumns32(c, lpIn, lpOut, W, bp, k);
}
inline void BlurColumns(uint64_t* c, const uint16_t* lpIn, const uint16_t* lpOut, int W, const BLURPACK& bp, BLURKEY k)
{
    BlurColumns16(c, lpIn, lpOut, W, bp, k);
}
inline void BlurWrite(const BLUROUT& o, uint32_t* lpOut, const uint32_t* lpCentre) { BlurWrite32(o, lpOut, lpCentre); }
inline void BlurWrite(const BLUROUT& o, uint16_t* lpOut, const uint16_t* lpCentre) { BlurWrite16(o, lpOut, lpCentre); }

template <class PIX>
void BlurPacked(const cFxLockPair& lk, BLURKEY key, const BLURPACK& bp, int x, int y, int sx, int sy, long long RX,
                long long RY, const FXSPAN& rd, const FXSPAN& wr)
{
    const bool bKey = key.dwMask != 0;
    const int W = rd.i1 - rd.i0;
    std::vector<uint64_t> vCol(static_cast<size_t>(W), 0);
    auto srcRow = [&](long long jArea) {
        return reinterpret_cast<const PIX*>(lk.S.lpPix->Row(static_cast<int>(sy + jArea))) + (sx + rd.i0);
    };
    // The prefix of the column sums over the box columns of every written
    // column: Q[t - tMin] is the sum of columns [0, clamp(t, 0, W)) for
    // t = i - RX - rd.i0 (the box's first column) up to the last box end.
    const int nOut = wr.i1 - wr.i0;
    const long long tMin = wr.i0 - RX - rd.i0;
    const int nSpan = static_cast<int>(2 * RX);
    std::vector<uint64_t> vQ(static_cast<size_t>(nOut + nSpan));
    const long long nQ = static_cast<long long>(vQ.size());
    // Q indices whose t lies in [1, W]: the prefix proper.
    const long long qLo = std::clamp<long long>(1 - tMin, 0, nQ), qHi = std::clamp<long long>(W - tMin + 1, 0, nQ);
    const size_t nMaxCount = static_cast<size_t>((2 * RX + 1) * (2 * RY + 1));
    BLUROUT o{vQ.data(), nSpan, nOut, static_cast<uint32_t>(nMaxCount), key, &bp};

    long long jLo = rd.j0, jHi = rd.j0;  // rows [jLo, jHi) are in the column sums
    for (int j = wr.j0; j < wr.j1; j++) {
        const long long b0 = std::clamp<long long>(j - RY, rd.j0, rd.j1), b1 = std::clamp<long long>(j + RY, rd.j0, rd.j1);
        if (b0 >= jHi || b1 <= jLo) {
            std::fill(vCol.begin(), vCol.end(), uint64_t{0});
            jLo = jHi = b0;
        }
        if (jLo + 1 == b0 && jHi + 1 == b1 && jLo < jHi) {
            BlurColumns(vCol.data(), srcRow(jHi++), srcRow(jLo++), W, bp, key);
        } else {
            while (jLo < b0) BlurColumns(vCol.data(), nullptr, srcRow(jLo++), W, bp, key);
            while (jHi < b1) BlurColumns(vCol.data(), srcRow(jHi++), nullptr, W, bp, key);
            while (jHi > b1) BlurColumns(vCol.data(), nullptr, srcRow(--jHi), W, bp, key);
            while (jLo > b0) BlurColumns(vCol.data(), srcRow(--jLo), nullptr, W, bp, key);
        }

        // In mode 1 a transparent centre, or one the source does not have,
        // keeps the destination.
        long long i0 = wr.i0, i1 = wr.i1;
        const PIX* centre = nullptr;
        if (bKey) {
            const long long cys = static_cast<long long>(sy) + j;
            if (cys < 0 || cys >= lk.S.nHeight) continue;
            i0 = std::max<long long>(i0, -static_cast<long long>(sx));
            i1 = std::min<long long>(i1, static_cast<long long>(lk.S.nWidth) - sx);
            if (i0 >= i1) continue;
            centre = reinterpret_cast<const PIX*>(lk.S.lpPix->Row(static_cast<int>(cys))) + sx + i0;
        }
        {
            uint64_t* Q = vQ.data();
            const uint64_t* c = vCol.data() - 1;  // t = qLo + tMin >= 1 adds column t - 1
            std::fill(Q, Q + qLo, uint64_t{0});
            // (Only differences of Q are used: a first t past 1 may start
            // from 0 instead of the columns before it.)
            uint64_t sum = 0;
            for (long long q = qLo; q < qHi; q++) Q[q] = sum += c[q + tMin];
            std::fill(Q + qHi, Q + nQ, sum);
        }
        o.lpQ = vQ.data() + (i0 - wr.i0);
        o.n = static_cast<int>(i1 - i0);
        PIX* out = reinterpret_cast<PIX*>(lk.D.lpPix->Row(y + j)) + x + i0;
        BlurWrite(o, out, centre);
    }
}

// Blocks of one pixel: rows of the span sp (area coordinates, inside both
// surfaces) with each source pixel put by fnPut(v, destination pixel).
template <class PIX, class FPUT>
void MosaicOneRows(const cFxLockPair& lk, const FXSPAN& sp, int x, int y, int sx, int sy, FPUT fnPut)
{
    for (int j = sp.j0; j < sp.j1; j++) {
        const PIX* srow = reinterpret_cast<const PIX*>(lk.S.lpPix->Row(sy + j)) + sx;
        PIX* drow = reinterpret_cast<PIX*>(lk.D.lpPix->Row(y + j)) + x;
        for (int i = sp.i0; i < sp.i1; i++) fnPut(srow[i], drow[i]);
    }
}

// Blocks of one pixel on 32-bit rows, every rule as masks: a source pixel v
// with (v & dwSkipMask) == dwSkip is left out; otherwise the colour
// out = (v & dwTake) | dwSet, left out too when (out & dwOutMask) ==
// dwOutSkip, else written with the destination's bits dwKeep kept. (A mask
// of 0 against 1 never matches.)
__attribute__((target_clones("avx2", "default"), optimize("O3"))) void MosaicOneRow32(
    uint32_t* __restrict lpDst, const uint32_t* __restrict lpSrc, int n, uint32_t dwSkipMask, uint32_t dwSkip,
    uint32_t dwTake, uint32_t dwSet, uint32_t dwKeep, uint32_t dwOutMask, uint32_t dwOutSkip)
{
    for (int i = 0; i < n; i++) {
        const uint32_t v = lpSrc[i], d = lpDst[i];
        const uint32_t out = (v & dwTake) | dwSet;
        const bool bSkip = ((v & dwSkipMask) == dwSkip) | ((out & dwOutMask) == dwOutSkip);
        lpDst[i] = bSkip ? d : out | (d & dwKeep);
    }
}

void MosaicOneRows32(const cFxLockPair& lk, const FXSPAN& sp, int x, int y, int sx, int sy, uint32_t dwSkipMask,
                     uint32_t dwSkip, uint32_t dwTake, uint32_t dwSet, uint32_t dwKeep, uint32_t dwOutMask,
                     uint32_t dwOutSkip)
{
    for (int j = sp.j0; j < sp.j1; j++) {
        const uint32_t* srow = reinterpret_cast<const uint32_t*>(lk.S.lpPix->Row(sy + j)) + sx + sp.i0;
        uint32_t* drow = reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(y + j)) + x + sp.i0;
        MosaicOneRow32(drow, srow, sp.i1 - sp.i0, dwSkipMask, dwSkip, dwTake, dwSet, dwKeep, dwOutMask, dwOutSkip);
    }
}

// A 32-bit source row added into per-column sums of red, green, blue and
// the count; pixels with (v & dwSkipMask) == dwSkip are left out.
__attribute__((target_clones("avx2", "default"), optimize("O3"))) void MosaicColumns32(
    const uint32_t* __restrict lpRow, int n, uint32_t dwSkipMask, uint32_t dwSkip, uint32_t* __restrict lpR,
    uint32_t* __restrict lpG, uint32_t* __restrict lpB, uint32_t* __restrict lpN)
{
    for (int i = 0; i < n; i++) {
        const uint32_t v = lpRow[i];
        const uint32_t nKeep = (v & dwSkipMask) == dwSkip ? 0u : 0xFFFFFFFFu;
        lpR[i] += (v >> 16) & 255 & nKeep;
        lpG[i] += (v >> 8) & 255 & nKeep;
        lpB[i] += v & 255 & nKeep;
        lpN[i] += nKeep & 1;
    }
}

}  // namespace

bool DDBlurBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src, int sx, int sy,
               int nMode)
{
    if (rx <= 0 || ry <= 0) return true;
    if (lpDTCon) {
        DDResolveShared(&dst);
        DDResolveShared(&src);
    }
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return false;
    const eFxProfile ep = DDFxProfile();
    if (nScreenBpp == 8) {
        WriteEC("8ビットぼかしは不可能！");
        return true;
    }
    if (ep == FXP_NONE || lk.D.lpPix->nBytes < 2 || lk.S.lpPix->nBytes != lk.D.lpPix->nBytes) return true;
    if (w <= 0 || h <= 0) return true;
    // A box reaching past the area adds nothing, so the radii stop at its size.
    const long long RX = std::min(rx, w), RY = std::min(ry, h);

    // The pixels that are read: the area cut to the source surface.
    const FXSPAN rd = FxClipPair(sx, sy, w, h, lk.S.nWidth, lk.S.nHeight, 0, 0, INT32_MAX, INT32_MAX);
    // The pixels that are written: the area cut to the destination.
    const FXSPAN wr = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, 0, 0, INT32_MAX, INT32_MAX);
    if (wr.Empty() || rd.Empty()) return true;

    const DDPIXELFORMAT& spf0 = lk.S.pf;
    const int nBytes = lk.S.lpPix->nBytes;
    // (A blur onto its own pixels reads rows it has already written: the
    // general blur below keeps that case as it always was.)
    if ((nBytes == 4 || nBytes == 2) && lk.S.lpPix != lk.D.lpPix) {
        BLURPACK bp;
        if (nBytes == 4) {
            bp.nShiftR = 16, bp.nShiftG = 8, bp.nShiftB = 0;
            bp.nMaxR = bp.nMaxG = bp.nMaxB = 255;
        } else {
            bp.nShiftR = spf0.nShiftR, bp.nShiftG = spf0.nShiftG, bp.nShiftB = spf0.nShiftB;
            bp.nMaxR = spf0.nMaxR, bp.nMaxG = spf0.nMaxG, bp.nMaxB = spf0.nMaxB;
        }
        const uint32_t nMaxField = std::max({bp.nMaxR, bp.nMaxG, bp.nMaxB});
        if (nMaxField > 0 && nMaxField <= 255 && BlurLanesFit(nMaxField, RX, RY)) {
            const DDPIXELFORMAT& dpf = lk.D.pf;
            bp.vOutR.resize(bp.nMaxR + 1);
            bp.vOutG.resize(bp.nMaxG + 1);
            bp.vOutB.resize(bp.nMaxB + 1);
            if (nBytes == 4) {
                // 32 bits: Direct3D writes alpha 255, DirectDraw keeps the alpha byte.
                for (uint32_t v = 0; v <= 255; v++) bp.vOutR[v] = v << 16, bp.vOutG[v] = v << 8, bp.vOutB[v] = v;
                bp.dwSet = ep == FXP_D3D32 ? 0xFF000000u : 0;
                bp.dwKeep = ep == FXP_D3D32 ? 0 : 0xFF000000u;
            } else {
                for (uint32_t v = 0; v <= bp.nMaxR; v++) bp.vOutR[v] = (FxField(v, bp.nMaxR, dpf.nMaxR) & dpf.nMaxR) << dpf.nShiftR;
                for (uint32_t v = 0; v <= bp.nMaxG; v++) bp.vOutG[v] = (FxField(v, bp.nMaxG, dpf.nMaxG) & dpf.nMaxG) << dpf.nShiftG;
                for (uint32_t v = 0; v <= bp.nMaxB; v++) bp.vOutB[v] = (FxField(v, bp.nMaxB, dpf.nMaxB) & dpf.nMaxB) << dpf.nShiftB;
                const FXWRITERULE& rule = aWriteRule[ep];
                const uint32_t dwAlphaMask = dpf.nMaxA << dpf.nShiftA;
                if (rule.bSetAlpha) bp.dwSet = dwAlphaMask;
                else if (rule.bKeepAlpha) bp.dwKeep = dpf.nMaxA ? dwAlphaMask : 0;
            }
            const BLURKEY key = BlurKeyOf(ep, nMode == 1);
            if (nBytes == 4) BlurPacked<uint32_t>(lk, key, bp, x, y, sx, sy, RX, RY, rd, wr);
            else BlurPacked<uint16_t>(lk, key, bp, x, y, sx, sy, RX, RY, rd, wr);
            return true;
        }
    }

    // Box sums kept as column sums over the rows of the current box
    // (added and taken away as the box moves down), then a running prefix
    // along the row: exact integer sums of the three fields and the count.
    const int W = rd.i1 - rd.i0;
    const DDPIXELFORMAT& spf = lk.S.pf;
    std::vector<uint32_t> vCol(static_cast<size_t>(W) * 4, 0), vPre(static_cast<size_t>(W + 1) * 4, 0);
    const bool b32 = lk.S.lpPix->nBytes == 4 && lk.D.lpPix->nBytes == 4;
    auto addRow = [&](int jArea, int nSign) {
        const int sy0 = sy + jArea, sx0 = sx + rd.i0;
        uint32_t* c = vCol.data();
        const uint32_t sgn = nSign > 0 ? 1u : ~0u;  // adds or takes away (two's complement)
        if (b32) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(lk.S.lpPix->Row(sy0)) + sx0;
            for (int k = 0; k < W; k++, c += 4) {
                const uint32_t v = row[k];
                if (nMode == 1 && FxIsTransparent(ep, v)) continue;
                c[0] += sgn * ((v >> 16) & 255);
                c[1] += sgn * ((v >> 8) & 255);
                c[2] += sgn * (v & 255);
                c[3] += sgn;
            }
            return;
        }
        for (int k = 0; k < W; k++, c += 4) {
            const uint32_t v = lk.S.Get(sx0 + k, sy0);
            if (nMode == 1 && FxIsTransparent(ep, v)) continue;
            const FXFIELDS f = FxUnpack(spf, v);
            c[0] += sgn * f.r;
            c[1] += sgn * f.g;
            c[2] += sgn * f.b;
            c[3] += sgn;
        }
    };
    // Box columns of each written column, in read-rectangle coordinates.
    std::vector<int> vA(static_cast<size_t>(wr.i1 - wr.i0)), vB(vA.size());
    for (int i = wr.i0; i < wr.i1; i++) {
        vA[i - wr.i0] = static_cast<int>(std::clamp<long long>(i - RX, rd.i0, rd.i1) - rd.i0);
        vB[i - wr.i0] = static_cast<int>(std::clamp<long long>(i + RX, rd.i0, rd.i1) - rd.i0);
    }
    cFxDivider div;
    long long jLo = rd.j0, jHi = rd.j0;  // rows [jLo, jHi) are in the column sums
    for (int j = wr.j0; j < wr.j1; j++) {
        const long long b0 = std::clamp<long long>(j - RY, rd.j0, rd.j1), b1 = std::clamp<long long>(j + RY, rd.j0, rd.j1);
        if (b0 >= jHi || b1 <= jLo) {
            std::fill(vCol.begin(), vCol.end(), 0u);
            jLo = jHi = b0;
        }
        while (jLo < b0) addRow(static_cast<int>(jLo++), -1);
        while (jHi < b1) addRow(static_cast<int>(jHi++), +1);
        while (jHi > b1) addRow(static_cast<int>(--jHi), -1);
        while (jLo > b0) addRow(static_cast<int>(--jLo), +1);
        {
            uint32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
            const uint32_t* c = vCol.data();
            uint32_t* p = vPre.data() + 4;
            for (int k = 0; k < W; k++, c += 4, p += 4) {
                p[0] = s0 += c[0];
                p[1] = s1 += c[1];
                p[2] = s2 += c[2];
                p[3] = s3 += c[3];
            }
        }
        for (int i = wr.i0; i < wr.i1; i++) {
            const long long cxs = static_cast<long long>(sx) + i, cys = static_cast<long long>(sy) + j;
            if (nMode == 1) {
                // A transparent centre, or one the source does not have, keeps the destination.
                if (cxs < 0 || cys < 0 || cxs >= lk.S.nWidth || cys >= lk.S.nHeight) continue;
                if (FxIsTransparent(ep, lk.S.Get(static_cast<int>(cxs), static_cast<int>(cys)))) continue;
            }
            const uint32_t* pa = &vPre[static_cast<size_t>(vA[i - wr.i0]) * 4];
            const uint32_t* pb = &vPre[static_cast<size_t>(vB[i - wr.i0]) * 4];
            const uint32_t n = pb[3] - pa[3];
            if (n == 0) continue;
            uint32_t r = div.Div(pb[0] - pa[0], n), g = div.Div(pb[1] - pa[1], n), b = div.Div(pb[2] - pa[2], n);
            if (b32) {
                // 32 bits: Direct3D writes alpha 255, DirectDraw keeps the alpha byte.
                uint32_t* px = reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(y + j)) + (x + i);
                const uint32_t dwHigh = ep == FXP_D3D32 ? 0xFF000000u : (*px & 0xFF000000u);
                *px = dwHigh | r << 16 | g << 8 | b;
            } else {
                WriteFields(ep, lk.D, spf, x + i, y + j, r, g, b);
            }
        }
    }
    return true;
}

bool DDMosaicBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx, int sy,
                 int nMode)
{
    if (n <= 0) return true;  // a negative size counts as 0
    if (lpDTCon) {
        DDResolveShared(&dst);
        DDResolveShared(&src);
    }
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return false;
    const eFxProfile ep = DDFxProfile();
    if (ep == FXP_NONE || lk.S.lpPix->nBytes != lk.D.lpPix->nBytes) return true;
    if (w <= 0 || h <= 0) return true;
    const long long N = std::min<long long>(n, std::max(w, h));

    // Blocks whose destination pixels touch the destination surface.
    const FXSPAN wr = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, 0, 0, INT32_MAX, INT32_MAX);
    if (wr.Empty()) return true;
    const long long bx0 = wr.i0 / N * N, by0 = wr.j0 / N * N;
    const DDPIXELFORMAT& spf = lk.S.pf;
    const bool bAverage = ep == FXP_DD16 || ep == FXP_DD32;
    // Fields widened to 0..255 (field x 255 / maximum), by table.
    uint32_t aExpR[256] = {}, aExpG[256] = {}, aExpB[256] = {};
    for (uint32_t k = 0; k < 256; k++) {
        aExpR[k] = k <= spf.nMaxR ? DDExpandChannel(k, spf.nMaxR) : 0;
        aExpG[k] = k <= spf.nMaxG ? DDExpandChannel(k, spf.nMaxG) : 0;
        aExpB[k] = k <= spf.nMaxB ? DDExpandChannel(k, spf.nMaxB) : 0;
    }
    cFxDivider div;

    if (N == 1) {
        // Blocks of one pixel: each pixel through the block rule by itself.
        const FXSPAN sp = FxClipPair(x, y, w, h, lk.D.nWidth, lk.D.nHeight, sx, sy, lk.S.nWidth, lk.S.nHeight);
        const DDPIXELFORMAT& dpf1 = lk.D.pf;
        // 16 bits: a field widened and reduced again, by table.
        uint32_t aRtR[256] = {}, aRtG[256] = {}, aRtB[256] = {};
        for (uint32_t k = 0; k < 256; k++) {
            aRtR[k] = aExpR[k] * dpf1.nMaxR / 255;
            aRtG[k] = aExpG[k] * dpf1.nMaxG / 255;
            aRtB[k] = aExpB[k] * dpf1.nMaxB / 255;
        }
        const bool b32 = lk.S.lpPix->nBytes == 4 && lk.D.lpPix->nBytes == 4;
        const bool bKey = nMode == 1;
        const int nBytes = lk.D.lpPix->nBytes;
        // Each pixel's rule, chosen once: fnPut(v, d) writes source pixel v
        // over destination pixel d, or leaves d.
        auto rows = [&](auto fnPut) {
            if (nBytes == 4) MosaicOneRows<uint32_t>(lk, sp, x, y, sx, sy, fnPut);
            else if (nBytes == 2) MosaicOneRows<uint16_t>(lk, sp, x, y, sx, sy, fnPut);
            else MosaicOneRows<uint8_t>(lk, sp, x, y, sx, sy, fnPut);
        };
        const uint32_t dwKey = dwTransColor;
        switch (ep) {
        case FXP_D3D32:
            if (b32) {
                MosaicOneRows32(lk, sp, x, y, sx, sy, bKey ? 0xFF000000u : 0u, bKey ? 0u : 1u, 0xFFFFFFFFu, 0xFF000000u,
                                0u, 0u, 1u);
                break;
            }
            rows([bKey](uint32_t v, auto& d) {
                if (bKey && (v >> 24) == 0) return;
                d = static_cast<std::remove_reference_t<decltype(d)>>(v | 0xFF000000u);
            });
            break;
        case FXP_D3D16:
            if (lk.D.bFullScreenBack) {
                const DDPIXELFORMAT dpf1c = dpf1;
                rows([bKey, spf, dpf1c](uint32_t v, auto& d) {
                    if (bKey && ((v >> 8) & 0xA0u) == 0) return;
                    FXFIELDS f = FxUnpack(spf, v);
                    v = FxPack(dpf1c, FxField(f.r, spf.nMaxR, dpf1c.nMaxR), FxField(f.g, spf.nMaxG, dpf1c.nMaxG),
                               FxField(f.b, spf.nMaxB, dpf1c.nMaxB), 0);
                    d = static_cast<std::remove_reference_t<decltype(d)>>(v);
                });
            } else {
                rows([bKey](uint32_t v, auto& d) {
                    if (bKey && ((v >> 8) & 0xA0u) == 0) return;
                    d = static_cast<std::remove_reference_t<decltype(d)>>(v);
                });
            }
            break;
        case FXP_DD8:
            rows([bKey, dwKey](uint32_t v, auto& d) {
                if (bKey && v == dwKey) return;
                d = static_cast<std::remove_reference_t<decltype(d)>>(v);
            });
            break;
        default:
            if (b32) {
                // The colour without the alpha byte; the destination's alpha byte stays.
                MosaicOneRows32(lk, sp, x, y, sx, sy, bKey ? 0xFFFFFFFFu : 0u, bKey ? dwKey : 1u, 0x00FFFFFFu, 0u,
                                0xFF000000u, bKey ? 0x00FFFFFFu : 0u, bKey ? dwKey & 0x00FFFFFFu : 1u);
                break;
            }
            {
                // A field widened and reduced again, by table.
                const int nSR = spf.nShiftR, nSG = spf.nShiftG, nSB = spf.nShiftB;
                const uint32_t nMR = spf.nMaxR, nMG = spf.nMaxG, nMB = spf.nMaxB;
                const int nDR = dpf1.nShiftR, nDG = dpf1.nShiftG, nDB = dpf1.nShiftB;
                const uint32_t* lpR = aRtR;
                const uint32_t* lpG = aRtG;
                const uint32_t* lpB = aRtB;
                rows([=](uint32_t v, auto& d) {
                    if (bKey && v == dwKey) return;
                    const uint32_t out = lpR[(v >> nSR) & nMR] << nDR | lpG[(v >> nSG) & nMG] << nDG | lpB[(v >> nSB) & nMB] << nDB;
                    if (bKey && out == dwKey) return;
                    d = static_cast<std::remove_reference_t<decltype(d)>>(out);
                });
            }
            break;
        }
        return true;
    }

    // One block row at a time: the colour of each block (or none), then the
    // rows filled block by block.
    const long long nBlocks = (wr.i1 - bx0 + N - 1) / N;
    std::vector<uint32_t> vColor(static_cast<size_t>(nBlocks));
    std::vector<uint8_t> vDraw(static_cast<size_t>(nBlocks));
    std::vector<uint32_t> vSum(static_cast<size_t>(nBlocks) * 4);
    const bool b32 = lk.S.lpPix->nBytes == 4;
    const DDPIXELFORMAT& dpf = lk.D.pf;
    std::vector<uint32_t> vColSum;
    // With the key, source pixels equal to the key are left out of the
    // averages (a mask of 0 never matches 1).
    const uint32_t dwSkipMask = nMode == 1 ? 0xFFFFFFFFu : 0u, dwSkip = nMode == 1 ? dwTransColor : 1u;
    for (long long by = by0; by < wr.j1; by += N) {
        const long long ey = std::min<long long>(by + N, h);
        if (!bAverage) {
            for (long long b = 0; b < nBlocks; b++) {
                // The block's top-left source pixel.
                const long long cx = sx + bx0 + b * N, cy = sy + by;
                vDraw[b] = 0;
                if (cx < 0 || cy < 0 || cx >= lk.S.nWidth || cy >= lk.S.nHeight) continue;
                uint32_t v = lk.S.Get(static_cast<int>(cx), static_cast<int>(cy));
                if (nMode == 1 && FxIsTransparent(ep, v)) continue;
                if (ep == FXP_D3D32) v |= 0xFF000000u;
                else if (ep == FXP_D3D16 && lk.D.bFullScreenBack) {
                    // Into the R5G6B5 back buffer: the five-bit green doubled, no alpha.
                    FXFIELDS f = FxUnpack(spf, v);
                    v = FxPack(dpf, FxField(f.r, spf.nMaxR, dpf.nMaxR), FxField(f.g, spf.nMaxG, dpf.nMaxG),
                               FxField(f.b, spf.nMaxB, dpf.nMaxB), 0);
                }  // otherwise unchanged (8 bits: the palette index)
                vColor[b] = v;
                vDraw[b] = 1;
            }
        } else {
            // The average of each block's source pixels, each field taken at
            // 8 bits (16 bits: widened) and reduced back.
            // Column sums over the block row's source rows first (the
            // columns of all the blocks are one run), then each block's
            // columns added: the same whole sums.
            std::fill(vSum.begin(), vSum.end(), 0u);
            const long long cy0 = std::max<long long>(sy + by, 0), cy1 = std::min<long long>(sy + ey, lk.S.nHeight);
            const long long cxAll0 = std::max<long long>(sx + bx0, 0);
            const long long cxAll1 = std::min<long long>(sx + std::min<long long>(bx0 + nBlocks * N, w), lk.S.nWidth);
            if (cxAll0 < cxAll1 && cy0 < cy1) {
                const int nCols = static_cast<int>(cxAll1 - cxAll0);
                vColSum.assign(static_cast<size_t>(nCols) * 4, 0u);
                uint32_t* lpR = vColSum.data();
                uint32_t* lpG = lpR + nCols;
                uint32_t* lpB = lpG + nCols;
                uint32_t* lpN = lpB + nCols;
                for (long long cy = cy0; cy < cy1; cy++) {
                    const uint8_t* row = lk.S.lpPix->Row(static_cast<int>(cy));
                    if (b32) {
                        MosaicColumns32(reinterpret_cast<const uint32_t*>(row) + cxAll0, nCols, dwSkipMask, dwSkip, lpR,
                                        lpG, lpB, lpN);
                        continue;
                    }
                    const uint16_t* row16 = reinterpret_cast<const uint16_t*>(row) + cxAll0;
                    for (int k = 0; k < nCols; k++) {
                        const uint32_t v = row16[k];
                        if ((v & dwSkipMask) == dwSkip) continue;
                        FXFIELDS f = FxUnpack(spf, v);
                        lpR[k] += aExpR[f.r];
                        lpG[k] += aExpG[f.g];
                        lpB[k] += aExpB[f.b];
                        lpN[k]++;
                    }
                }
                for (long long b = 0; b < nBlocks; b++) {
                    const long long bx = bx0 + b * N;
                    const long long cx0 = std::max<long long>(sx + bx, 0);
                    const long long cx1 = std::min<long long>(sx + std::min<long long>(bx + N, w), lk.S.nWidth);
                    uint32_t* acc = &vSum[static_cast<size_t>(b) * 4];
                    for (long long k = cx0 - cxAll0; k < cx1 - cxAll0; k++) {
                        acc[0] += lpR[k];
                        acc[1] += lpG[k];
                        acc[2] += lpB[k];
                        acc[3] += lpN[k];
                    }
                }
            }
            for (long long b = 0; b < nBlocks; b++) {
                const uint32_t* acc = &vSum[static_cast<size_t>(b) * 4];
                vDraw[b] = 0;
                if (acc[3] == 0) continue;
                uint32_t r = div.Div(acc[0], acc[3]), g = div.Div(acc[1], acc[3]), bl = div.Div(acc[2], acc[3]);
                uint32_t v;
                if (b32) v = r << 16 | g << 8 | bl;
                else
                    v = ((r * dpf.nMaxR / 255) << dpf.nShiftR) | ((g * dpf.nMaxG / 255) << dpf.nShiftG) |
                        ((bl * dpf.nMaxB / 255) << dpf.nShiftB);
                if (nMode == 1 && v == (dwTransColor & (b32 ? 0x00FFFFFFu : 0xFFFFFFFFu))) continue;
                vColor[b] = v;
                vDraw[b] = 1;
            }
        }
        // Fill the blocks' destination pixels inside the destination.
        const long long j0 = std::max<long long>(by, wr.j0), j1 = std::min<long long>(ey, wr.j1);
        for (long long j = j0; j < j1; j++) {
            const int py = static_cast<int>(y + j);
            for (long long b = 0; b < nBlocks; b++) {
                if (!vDraw[b]) continue;
                const long long bx = bx0 + b * N;
                const long long i0 = std::max<long long>(bx, wr.i0), i1 = std::min<long long>(std::min<long long>(bx + N, w), wr.i1);
                const uint32_t v = vColor[b];
                if (lk.D.lpPix->nBytes == 4) {
                    uint32_t* drow = reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(py)) + x;
                    if (ep == FXP_DD32)
                        for (long long i = i0; i < i1; i++) drow[i] = v | (drow[i] & 0xFF000000u);
                    else
                        for (long long i = i0; i < i1; i++) drow[i] = v;
                } else {
                    for (long long i = i0; i < i1; i++) lk.D.Put(static_cast<int>(x + i), py, v);
                }
            }
        }
    }
    return true;
}
