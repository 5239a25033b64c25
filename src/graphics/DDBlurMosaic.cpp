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
// the rows of the box, added and taken away as the box moves down, and a
// running window of column sums along the row. Each lane's true value stays
// within 0..65535 whenever the widest field times the box (one column more
// while the window moves) fits, which BlurLanesFit checks, so the lanes add
// and subtract as one word. The division is a multiply by a per-count
// reciprocal, exact for these sums. Results equal the general blur's.
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

// A source pixel's fields and count in lanes; 0 for a pixel left out.
template <class PIX>
inline uint64_t BlurLanes(uint32_t v, const BLURPACK& bp)
{
    if constexpr (sizeof(PIX) == 4) {
        return (v & 0xFFu) | static_cast<uint64_t>(v & 0xFF00u) << 8 | static_cast<uint64_t>(v & 0xFF0000u) << 16 |
               uint64_t{1} << LANE_N;
    } else {
        return static_cast<uint64_t>((v >> bp.nShiftB) & bp.nMaxB) << LANE_B |
               static_cast<uint64_t>((v >> bp.nShiftG) & bp.nMaxG) << LANE_G |
               static_cast<uint64_t>((v >> bp.nShiftR) & bp.nMaxR) << LANE_R | uint64_t{1} << LANE_N;
    }
}

template <class PIX, bool bKey>
inline uint64_t BlurLanesOf(uint32_t v, eFxProfile ep, const BLURPACK& bp)
{
    if constexpr (bKey) {
        if (FxIsTransparent(ep, v)) return 0;
    }
    return BlurLanes<PIX>(v, bp);
}

template <class PIX, bool bKey>
[[gnu::optimize("tree-vectorize")]] void BlurPacked(const cFxLockPair& lk, eFxProfile ep, const BLURPACK& bp, int x, int y, int sx, int sy, long long RX,
                long long RY, const FXSPAN& rd, const FXSPAN& wr)
{
    const int W = rd.i1 - rd.i0;
    std::vector<uint64_t> vCol(static_cast<size_t>(W), 0);
    const BLURPACK pk = bp;  // a local copy the loops keep in registers
    auto srcRow = [&](long long jArea) {
        return reinterpret_cast<const PIX*>(lk.S.lpPix->Row(static_cast<int>(sy + jArea))) + (sx + rd.i0);
    };
    // Each row's lanes are made once, as it enters the box, and kept in a
    // ring until it leaves (a row found missing from the ring is made again).
    const long long nRing = std::min<long long>(2 * RY, rd.j1 - rd.j0) + 1;
    const bool bRing = nRing * W <= (1 << 16);
    std::vector<uint64_t> vRing(bRing ? static_cast<size_t>(nRing * W) : 0);
    std::vector<long long> vRingRow(bRing ? static_cast<size_t>(nRing) : 0, -1);
    auto lanesIn = [&](long long jArea) -> const uint64_t* {
        if (!bRing) return nullptr;
        const size_t nSlot = static_cast<size_t>(jArea % nRing);
        if (vRingRow[nSlot] != jArea) return nullptr;
        return vRing.data() + nSlot * static_cast<size_t>(W);
    };
    auto slotFor = [&](long long jArea) -> uint64_t* {
        if (!bRing) return nullptr;
        const size_t nSlot = static_cast<size_t>(jArea % nRing);
        vRingRow[nSlot] = jArea;
        return vRing.data() + nSlot * static_cast<size_t>(W);
    };
    auto addRow = [&](long long jArea) {
        const PIX* row = srcRow(jArea);
        uint64_t* c = vCol.data();
        if (uint64_t* q = slotFor(jArea)) {
            for (int k = 0; k < W; k++) c[k] += q[k] = BlurLanesOf<PIX, bKey>(row[k], ep, pk);
        } else {
            for (int k = 0; k < W; k++) c[k] += BlurLanesOf<PIX, bKey>(row[k], ep, pk);
        }
    };
    auto subRow = [&](long long jArea) {
        uint64_t* c = vCol.data();
        if (const uint64_t* q = lanesIn(jArea)) {
            for (int k = 0; k < W; k++) c[k] -= q[k];
        } else {
            const PIX* row = srcRow(jArea);
            for (int k = 0; k < W; k++) c[k] -= BlurLanesOf<PIX, bKey>(row[k], ep, pk);
        }
    };
    // The box one row further down: one row out, one in, in one pass.
    auto moveRow = [&](long long jOut, long long jIn) {
        const uint64_t* qOut = lanesIn(jOut);
        if (!qOut) {
            subRow(jOut);
            addRow(jIn);
            return;
        }
        const PIX* in = srcRow(jIn);
        uint64_t* qIn = slotFor(jIn);
        uint64_t* c = vCol.data();
        for (int k = 0; k < W; k++) {
            const uint64_t v = BlurLanesOf<PIX, bKey>(in[k], ep, pk);
            c[k] += v - qOut[k];
            qIn[k] = v;
        }
    };
    // Box columns of each written column, in read-rectangle coordinates.
    const int nOut = wr.i1 - wr.i0;
    std::vector<int> vA(static_cast<size_t>(nOut)), vB(vA.size());
    for (int i = wr.i0; i < wr.i1; i++) {
        vA[i - wr.i0] = static_cast<int>(std::clamp<long long>(i - RX, rd.i0, rd.i1) - rd.i0);
        vB[i - wr.i0] = static_cast<int>(std::clamp<long long>(i + RX, rd.i0, rd.i1) - rd.i0);
    }
    // floor(s / n) = (s * M) >> 40 with M = floor(2^40 / n) + 1 for s, n below 2^16.
    const size_t nMaxCount = static_cast<size_t>((2 * RX + 1) * (2 * RY + 1));
    std::vector<uint64_t> vRcp(nMaxCount + 1, 0);
    for (size_t n = 1; n <= nMaxCount; n++) vRcp[n] = (uint64_t{1} << 40) / n + 1;

    long long jLo = rd.j0, jHi = rd.j0;  // rows [jLo, jHi) are in the column sums
    for (int j = wr.j0; j < wr.j1; j++) {
        const long long b0 = std::clamp<long long>(j - RY, rd.j0, rd.j1), b1 = std::clamp<long long>(j + RY, rd.j0, rd.j1);
        if (b0 >= jHi || b1 <= jLo) {
            std::fill(vCol.begin(), vCol.end(), uint64_t{0});
            jLo = jHi = b0;
        }
        if (jLo + 1 == b0 && jHi + 1 == b1 && jLo < jHi) {
            moveRow(jLo++, jHi++);
        } else {
            while (jLo < b0) subRow(jLo++);
            while (jHi < b1) addRow(jHi++);
            while (jHi > b1) subRow(--jHi);
            while (jLo > b0) addRow(--jLo);
        }

        // In mode 1 a transparent centre, or one the source does not have,
        // keeps the destination.
        const long long cys = static_cast<long long>(sy) + j;
        const PIX* centre = nullptr;
        if constexpr (bKey) {
            if (cys < 0 || cys >= lk.S.nHeight) continue;
            centre = reinterpret_cast<const PIX*>(lk.S.lpPix->Row(static_cast<int>(cys)));
        }
        PIX* out = reinterpret_cast<PIX*>(lk.D.lpPix->Row(y + j)) + x;
        const uint64_t* c = vCol.data();
        uint64_t sum = 0;
        int a = vA[0], b = vA[0];
        for (int i = wr.i0; i < wr.i1; i++) {
            const int k = i - wr.i0;
            while (b < vB[k]) sum += c[b++];
            while (a < vA[k]) sum -= c[a++];
            if constexpr (bKey) {
                const long long cxs = static_cast<long long>(sx) + i;
                if (cxs < 0 || cxs >= lk.S.nWidth || FxIsTransparent(ep, centre[cxs])) continue;
            }
            const uint64_t n = sum >> LANE_N;
            if (n == 0 || n > nMaxCount) continue;
            const uint64_t M = vRcp[n];
            const uint32_t r = static_cast<uint32_t>((((sum >> LANE_R) & LANE_MASK) * M) >> 40);
            const uint32_t g = static_cast<uint32_t>((((sum >> LANE_G) & LANE_MASK) * M) >> 40);
            const uint32_t bl = static_cast<uint32_t>((((sum >> LANE_B) & LANE_MASK) * M) >> 40);
            PIX& px = out[i];
            if constexpr (sizeof(PIX) == 4) px = pk.dwSet | r << 16 | g << 8 | bl | (px & pk.dwKeep);
            else px = static_cast<PIX>(pk.vOutR[r] | pk.vOutG[g] | pk.vOutB[bl] | pk.dwSet | (px & pk.dwKeep));
        }
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
            if (nBytes == 4) {
                if (nMode == 1) BlurPacked<uint32_t, true>(lk, ep, bp, x, y, sx, sy, RX, RY, rd, wr);
                else BlurPacked<uint32_t, false>(lk, ep, bp, x, y, sx, sy, RX, RY, rd, wr);
            } else {
                if (nMode == 1) BlurPacked<uint16_t, true>(lk, ep, bp, x, y, sx, sy, RX, RY, rd, wr);
                else BlurPacked<uint16_t, false>(lk, ep, bp, x, y, sx, sy, RX, RY, rd, wr);
            }
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
                const uint32_t dwOutKey = dwKey & 0x00FFFFFFu;
                rows([bKey, dwKey, dwOutKey](uint32_t v, auto& d) {
                    if (bKey && v == dwKey) return;
                    const uint32_t out = v & 0x00FFFFFFu;
                    if (bKey && out == dwOutKey) return;
                    d = static_cast<std::remove_reference_t<decltype(d)>>(out | (d & 0xFF000000u));
                });
            } else {
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
            std::fill(vSum.begin(), vSum.end(), 0u);
            const long long cy0 = std::max<long long>(sy + by, 0), cy1 = std::min<long long>(sy + ey, lk.S.nHeight);
            for (long long cy = cy0; cy < cy1; cy++) {
                const uint8_t* row = lk.S.lpPix->Row(static_cast<int>(cy));
                for (long long b = 0; b < nBlocks; b++) {
                    const long long bx = bx0 + b * N;
                    const long long cx0 = std::max<long long>(sx + bx, 0);
                    const long long cx1 = std::min<long long>(sx + std::min<long long>(bx + N, w), lk.S.nWidth);
                    uint32_t* acc = &vSum[static_cast<size_t>(b) * 4];
                    for (long long cx = cx0; cx < cx1; cx++) {
                        if (b32) {
                            const uint32_t v = reinterpret_cast<const uint32_t*>(row)[cx];
                            if (nMode == 1 && v == dwTransColor) continue;
                            acc[0] += (v >> 16) & 255;
                            acc[1] += (v >> 8) & 255;
                            acc[2] += v & 255;
                        } else {
                            const uint32_t v = reinterpret_cast<const uint16_t*>(row)[cx];
                            if (nMode == 1 && v == dwTransColor) continue;
                            FXFIELDS f = FxUnpack(spf, v);
                            acc[0] += aExpR[f.r];
                            acc[1] += aExpG[f.g];
                            acc[2] += aExpB[f.b];
                        }
                        acc[3]++;
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
