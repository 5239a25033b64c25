// The drawing effects as they were before their loops were reworked for
// speed, kept word for word as the oracle the reworked ones must match pixel
// for pixel (blur, mosaic, lens, rotation and the wave).
#include "graphics/EffectOracle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "foundation/Log.h"
#include "foundation/Saturate.h"
#include "graphics/DDBatch.h"
#include "graphics/DDBlt.h"
#include "graphics/DDEffectPixels.h"

namespace fxoracle_blur {

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

}  // namespace

bool BlurBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src, int sx, int sy,
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

bool MosaicBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx, int sy,
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
        for (int j = sp.j0; j < sp.j1; j++) {
            for (int i = sp.i0; i < sp.i1; i++) {
                uint32_t v = lk.S.Get(sx + i, sy + j);
                if (nMode == 1 && FxIsTransparent(ep, v)) continue;
                const int px = x + i, py = y + j;
                switch (ep) {
                case FXP_D3D32: lk.D.Put(px, py, v | 0xFF000000u); break;
                case FXP_D3D16:
                    if (lk.D.bFullScreenBack) {
                        FXFIELDS f = FxUnpack(spf, v);
                        v = FxPack(dpf1, FxField(f.r, spf.nMaxR, dpf1.nMaxR), FxField(f.g, spf.nMaxG, dpf1.nMaxG),
                                   FxField(f.b, spf.nMaxB, dpf1.nMaxB), 0);
                    }
                    lk.D.Put(px, py, v);
                    break;
                case FXP_DD8: lk.D.Put(px, py, v); break;
                default: {
                    uint32_t out;
                    if (b32) out = v & 0x00FFFFFFu;
                    else {
                        FXFIELDS f = FxUnpack(spf, v);
                        out = aRtR[f.r] << dpf1.nShiftR | aRtG[f.g] << dpf1.nShiftG | aRtB[f.b] << dpf1.nShiftB;
                    }
                    if (nMode == 1 && out == (dwTransColor & (b32 ? 0x00FFFFFFu : 0xFFFFFFFFu))) break;
                    if (b32) out |= lk.D.Get(px, py) & 0xFF000000u;
                    lk.D.Put(px, py, out);
                }
                }
            }
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

}  // namespace fxoracle_blur

namespace fxoracle_lens {

namespace {

// Largest radius whose offset table is kept; larger lenses compute each
// pixel's offset as they go (only the part inside the destination).
constexpr int nMaxCachedRadius = 1024;

// Source offset along one axis for a destination offset a (signed) whose
// other offset has magnitude b: trunc(a * d / z + 0.5), z = sqrt(F^2 - a^2 - b^2);
// a itself where z is 0.
inline int LensOffset(long long a, long long b, long long d, long long F2)
{
    double z = std::sqrt(static_cast<double>(F2 - (a * a + b * b)));
    if (z == 0) return static_cast<int>(a);
    return static_cast<int>(static_cast<double>(a) * static_cast<double>(d) / z + 0.5);
}

// The offsets of one quadrant, for both signs of the offset, cached for the
// last radius and depth drawn (the lens is drawn frame after frame with the
// same pair).
struct LENSTABLE {
    int R = -1;
    int d = -1;
    std::vector<int> vPos, vNeg;    // [b * (R + 1) + a]: offset of +a and of -a
    std::vector<int> vPosT, vNegT;  // the same transposed: [a * (R + 1) + b]
};

std::mutex mtxLens;
LENSTABLE lensTable;

void BuildTable(LENSTABLE& t, int R, int d, long long F2)
{
    t.R = R;
    t.d = d;
    const size_t n = static_cast<size_t>(R + 1) * (R + 1);
    t.vPos.assign(n, 0);
    t.vNeg.assign(n, 0);
    t.vPosT.assign(n, 0);
    t.vNegT.assign(n, 0);
    const long long R2 = static_cast<long long>(R) * R;
    for (long long b = 0; b <= R; b++)
        for (long long a = 0; a <= R; a++) {
            if (a * a + b * b > R2) continue;
            size_t k = static_cast<size_t>(b * (R + 1) + a);
            size_t kt = static_cast<size_t>(a * (R + 1) + b);
            t.vPos[k] = t.vPosT[kt] = LensOffset(a, b, d, F2);
            t.vNeg[k] = t.vNegT[kt] = LensOffset(-a, b, d, F2);
        }
}

// How each profile copies a lens pixel: the source's transparency and the
// format of the write.
//   Direct3D 16  with key 1 skip a transparent pixel; into the full-screen
//                back buffer the fields move to its layout (green doubled)
//   Direct3D 32  copy a pixel with non-zero alpha; alpha 0 is not copied
//                (with bClearOutside the destination becomes 0)
//   DirectDraw   copy unless the pixel equals dwTransColor, whatever the key
struct LENSRULE {
    bool bHonourKey;    // the key argument decides whether transparency is tested
    bool bClearOnSkip;  // bClearOutside clears skipped and outside pixels
};
const LENSRULE aLensRule[FXP_COUNT] = {
    /* FXP_D3D16 */ {true, false},
    /* FXP_D3D32 */ {false, true},
    /* FXP_DD8   */ {false, false},
    /* FXP_DD16  */ {false, false},
    /* FXP_DD32  */ {false, false},
    /* FXP_NONE  */ {false, false},
};

}  // namespace

int LensBlt(DDSURFACEDATA* dst, int cx, int cy, int R, int nDepth, DDSURFACEDATA* src, int scx, int scy, int nKey,
              int bClearOutside)
{
    if (nDepth < 0 || R < 0) return 0;
    const long long d = nDepth;
    long long F = static_cast<long long>(std::sqrt(static_cast<double>(static_cast<long long>(R) * R + d * d)));
    if (F <= d) return 0;
    const long long R2 = static_cast<long long>(R) * R, F2 = F * F;

    if (lpDTCon) {
        DDResolveShared(&dst);
        DDResolveShared(&src);
        DDRedirectBackBuffer(&dst);
        DDRedirectBackBuffer(&src);
    }
    cFxLockPair lk(dst, src);
    if (!lk.OK()) return 0;
    const eFxProfile ep = DDFxProfile();
    if (ep == FXP_NONE || lk.S.lpPix->nBytes != lk.D.lpPix->nBytes) return 1;
    const LENSRULE& rule = aLensRule[ep];
    const bool bClear = rule.bClearOnSkip && bClearOutside;
    const bool bTestKey = rule.bHonourKey ? nKey == 1 : true;
    const bool bConvert = ep == FXP_D3D16 && lk.D.bFullScreenBack;

    // The square cut to the destination.
    const long long j0 = std::max<long long>(-R, -static_cast<long long>(cy));
    const long long j1 = std::min<long long>(R, static_cast<long long>(lk.D.nHeight) - 1 - cy);
    const long long i0 = std::max<long long>(-R, -static_cast<long long>(cx));
    const long long i1 = std::min<long long>(R, static_cast<long long>(lk.D.nWidth) - 1 - cx);
    if (j0 > j1 || i0 > i1) return 1;

    std::unique_lock<std::mutex> lock(mtxLens, std::defer_lock);
    const LENSTABLE* lpTable = nullptr;
    if (R <= nMaxCachedRadius) {
        lock.lock();
        if (lensTable.R != R || lensTable.d != nDepth) BuildTable(lensTable, R, nDepth, F2);
        lpTable = &lensTable;
    }

    const size_t W = static_cast<size_t>(R) + 1;
    for (long long j = j0; j <= j1; j++) {
        const int py = static_cast<int>(cy + j);
        const long long aj = j < 0 ? -j : j;
        // Columns inside the circle on this row: |i| <= floor(sqrt(R^2 - j^2)).
        long long m = static_cast<long long>(std::sqrt(static_cast<double>(R2 - aj * aj)));
        while (m * m > R2 - aj * aj) m--;
        while ((m + 1) * (m + 1) <= R2 - aj * aj) m++;
        const long long lo = std::max(i0, -m), hi = std::min(i1, m);
        if (bClear) {
            for (long long i = i0; i <= i1; i++)
                if (i < lo || i > hi) lk.D.Put(static_cast<int>(cx + i), py, 0);
        }
        // Offsets of this row: u by the sign of i at [|j|][|i|], v by the sign of j.
        const int* uPos = lpTable ? &lpTable->vPos[static_cast<size_t>(aj) * W] : nullptr;
        const int* uNeg = lpTable ? &lpTable->vNeg[static_cast<size_t>(aj) * W] : nullptr;
        const int* vRow = lpTable ? &(j < 0 ? lpTable->vNegT : lpTable->vPosT)[static_cast<size_t>(aj) * W] : nullptr;
        for (long long i = lo; i <= hi; i++) {
            const int px = static_cast<int>(cx + i);
            const long long ai = i < 0 ? -i : i;
            int u, v;
            if (lpTable) {
                u = (i < 0 ? uNeg : uPos)[ai];
                v = vRow[ai];
            } else {
                u = LensOffset(i, aj, d, F2);
                v = LensOffset(j, ai, d, F2);
            }
            const long long qx = static_cast<long long>(scx) + u, qy = static_cast<long long>(scy) + v;
            if (qx < 0 || qy < 0 || qx >= lk.S.nWidth || qy >= lk.S.nHeight) {
                if (bClear) lk.D.Put(px, py, 0);
                continue;
            }
            uint32_t s = lk.S.Get(static_cast<int>(qx), static_cast<int>(qy));
            if (bTestKey && FxIsTransparent(ep, s)) {
                if (bClear) lk.D.Put(px, py, 0);
                continue;
            }
            if (bConvert) {
                const DDPIXELFORMAT& spf = lk.S.pf;
                const DDPIXELFORMAT& dpf = lk.D.pf;
                FXFIELDS f = FxUnpack(spf, s);
                s = FxPack(dpf, FxField(f.r, spf.nMaxR, dpf.nMaxR), FxField(f.g, spf.nMaxG, dpf.nMaxG),
                           FxField(f.b, spf.nMaxB, dpf.nMaxB), 0);
            }
            lk.D.Put(px, py, s);
        }
    }
    return 1;
}

}  // namespace fxoracle_lens

namespace fxoracle_rot {

namespace {

constexpr double dDegToRad = 0.017453292519943278;

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
    for (long long Y = Y0; Y <= Y1; Y++) {
        const double ry = Y + 0.5 - dy;
        // lx = c * X + bx, ly = -s * X + by for this row.
        const double bx = c * (0.5 - dx) + s * ry + px, by = -s * (0.5 - dx) + c * ry + py;
        long long lo = X0, hi = X1;
        span(c, bx, w, lo, hi);
        span(-s, by, h, lo, hi);
        const int oy = static_cast<int>(Y);
        uint32_t* drow = b32 ? reinterpret_cast<uint32_t*>(lk.D.lpPix->Row(oy)) : nullptr;
        for (long long X = lo; X <= hi; X++) {
            const double lx = c * X + bx, ly = -s * X + by;
            if (!(lx >= 0 && lx < w && ly >= 0 && ly < h)) continue;
            const long long ix = static_cast<long long>(lx), iy = static_cast<long long>(ly);
            const long long u = sw >= 0 ? sx + ix : sx - 1 - ix;
            const long long v = sh >= 0 ? sy + iy : sy - 1 - iy;
            if (u < 0 || v < 0 || u >= nSW || v >= nSH) continue;
            const int ox = static_cast<int>(X);
            if (b32) {
                const uint32_t t = reinterpret_cast<const uint32_t*>(lk.S.lpPix->Row(static_cast<int>(v)))[u] | dwSrcOr;
                const uint32_t out = bPlain ? t : FxStageCombine(t, dwColor, nColorOp, nAlphaOp);
                const uint32_t a = out >> 24;
                if (a == 0) continue;
                uint32_t& d = drow[ox];
                d = (a == 255 ? out : FxBlend(out, d | dwDstOr)) & dwDstMask;
                continue;
            }
            uint32_t t = FxReadARGB(lk.S, static_cast<int>(u), static_cast<int>(v));
            uint32_t out = bPlain ? t : FxStageCombine(t, dwColor, nColorOp, nAlphaOp);
            const uint32_t a = out >> 24;
            if (a == 0) continue;
            FxWriteARGB(lk.D, ox, oy, a == 255 ? out : FxBlend(out, FxReadARGB(lk.D, ox, oy)));
        }
    }
    return 1;
}

// Source pixels left out with key 1, by profile: Direct3D by its alpha rule
// (16 bits: none of the bits 0xA0 of the high byte; 32 bits: alpha 0),
// DirectDraw when the pixel equals dwTransColor.
bool RotateKeyed(eFxProfile ep, uint32_t v) { return FxIsTransparent(ep, v); }

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
    const DDPIXELFORMAT& spf = lk.S.pf;
    const DDPIXELFORMAT& dpf = lk.D.pf;
    for (long long yy = ymin; yy < yend; yy++) {
        const long long yr = yy - py;
        const int oy = static_cast<int>(dy + yy - py);
        // The products advance by c2 and s2 per column.
        long long xr = xmin - px;
        long long uacc = c2 * xr - s2 * yr, vacc = s2 * xr + c2 * yr;
        for (long long xx = xmin; xx < xend; xx++, uacc += c2, vacc += s2) {
            const long long u = px + (uacc >> 10), v = py + (vacc >> 10);
            if (u < 0 || u >= w || v < 0 || v >= h) continue;
            // A mirrored source (a negative span) is read backwards.
            const long long qx = sw >= 0 ? sx + u : sx - 1 - u, qy = sh >= 0 ? sy + v : sy - 1 - v;
            if (qx < 0 || qy < 0 || qx >= lk.S.nWidth || qy >= lk.S.nHeight) continue;
            uint32_t pix = lk.S.Get(static_cast<int>(qx), static_cast<int>(qy));
            if (nKey == 1 && RotateKeyed(ep, pix)) continue;
            if (bConvert) {
                FXFIELDS f = FxUnpack(spf, pix);
                pix = FxPack(dpf, FxField(f.r, spf.nMaxR, dpf.nMaxR), FxField(f.g, spf.nMaxG, dpf.nMaxG),
                             FxField(f.b, spf.nMaxB, dpf.nMaxB), 0);
            }
            lk.D.Put(static_cast<int>(dx + xx - px), oy, pix);
        }
    }
    return 1;
}

}  // namespace

int RotateBlt(DDSURFACEDATA* dst, int dx, int dy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* src,
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

}  // namespace fxoracle_rot

namespace fxoracle_wave {

// The wave as one blit per band.
class cEffectBatch {
public:
    cEffectBatch() { DDBeginBltBatch(0); }
    ~cEffectBatch() { DDEndBltBatch(); }
    cEffectBatch(const cEffectBatch&) = delete;
    cEffectBatch& operator=(const cEffectBatch&) = delete;
};

long long FirstVisibleBand(long long p, long long b)
{
    if (p >= 0) return 0;
    return (-p) / b;
}

void WaveBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int nFrequency, double dAmplitude, int nPhase, int nBand,
             DDSURFACEDATA* src, int sx, int sy, int nFlags, int nAxis)
{
    if (nBand <= 0 || !dst || !src) return;
    const bool bRows = nAxis == 0;
    const long long nLen = bRows ? h : w;  // the axis the bands walk along
    if (nLen <= 0) return;
    const double k = nFrequency * 0.017453292519943295;
    const double dStep = (360.0 / static_cast<double>(nLen)) * nBand;
    const long long nPos = bRows ? y : x;
    const long long nLimit = bRows ? dst->nHeight : dst->nWidth;

    cEffectBatch batch;
    double acc = 0;
    long long j = 0;
    const long long nFirst = std::min(FirstVisibleBand(nPos, nBand), (nLen + nBand - 1) / nBand);
    constexpr long long nMaxSteps = 1 << 16;
    if (nFirst > nMaxSteps) {
        acc = dStep * static_cast<double>(nFirst);
        j = nFirst;
    }
    for (; j < nFirst; j++) acc += dStep;
    for (; j * nBand < nLen && nPos + j * nBand < nLimit; j++) {
        acc += dStep;
        double dd = dAmplitude * std::sin(k * (nPhase + acc));
        int d = SaturateInt32(static_cast<long long>(std::clamp(dd, -1e15, 1e15)));
        long long nStart = j * nBand;
        int nSize = static_cast<int>(std::min<long long>(nBand, nLen - nStart));
        if (bRows)
            DDBlt(dst, SaturateInt32(static_cast<long long>(x) + d), SaturateInt32(y + nStart), w, nSize, src, sx,
                  SaturateInt32(sy + nStart), nFlags);
        else
            DDBlt(dst, SaturateInt32(x + nStart), SaturateInt32(static_cast<long long>(y) + d), nSize, h, src,
                  SaturateInt32(sx + nStart), sy, nFlags);
    }
}

}  // namespace fxoracle_wave

namespace fxoracle {

void WaveBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int nFrequency, double dAmplitude, int nPhase, int nBand,
             DDSURFACEDATA* src, int sx, int sy, int nFlags, int nAxis)
{
    fxoracle_wave::WaveBlt(dst, x, y, w, h, nFrequency, dAmplitude, nPhase, nBand, src, sx, sy, nFlags, nAxis);
}
bool BlurBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src, int sx, int sy,
             int nMode)
{
    return fxoracle_blur::BlurBlt(dst, x, y, w, h, rx, ry, src, sx, sy, nMode);
}
bool MosaicBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx, int sy, int nMode)
{
    return fxoracle_blur::MosaicBlt(dst, x, y, w, h, n, src, sx, sy, nMode);
}
int LensBlt(DDSURFACEDATA* dst, int cx, int cy, int R, int nDepth, DDSURFACEDATA* src, int scx, int scy, int nKey,
            int bClearOutside)
{
    return fxoracle_lens::LensBlt(dst, cx, cy, R, nDepth, src, scx, scy, nKey, bClearOutside);
}
int RotateBlt(DDSURFACEDATA* dst, int dx, int dy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* src, int sx,
              int sy, int nKey)
{
    return fxoracle_rot::RotateBlt(dst, dx, dy, w, h, px, py, nAngle, src, sx, sy, nKey);
}

}  // namespace fxoracle
