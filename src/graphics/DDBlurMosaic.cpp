// Blur (a box average) and mosaic (blocks of one colour) on locked pixels.
#include "graphics/DDEffect.h"

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
