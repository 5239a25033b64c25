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

    // Summed-area tables over the read rectangle (area coordinates i0..i1,
    // j0..j1): the sums of the three fields and the count of pixels taken.
    const int W = rd.i1 - rd.i0, H = rd.j1 - rd.j0;
    const size_t nStride = static_cast<size_t>(W) + 1;
    std::vector<uint64_t> vSum(nStride * (H + 1) * 4, 0);
    auto at = [&](int i, int j, int c) -> uint64_t& { return vSum[(static_cast<size_t>(j) * nStride + i) * 4 + c]; };
    const DDPIXELFORMAT& spf = lk.S.pf;
    for (int j = 0; j < H; j++) {
        uint64_t row[4] = {0, 0, 0, 0};
        for (int i = 0; i < W; i++) {
            uint32_t v = lk.S.Get(sx + rd.i0 + i, sy + rd.j0 + j);
            if (!(nMode == 1 && FxIsTransparent(ep, v))) {
                FXFIELDS f = FxUnpack(spf, v);
                row[0] += f.r;
                row[1] += f.g;
                row[2] += f.b;
                row[3] += 1;
            }
            for (int c = 0; c < 4; c++) at(i + 1, j + 1, c) = at(i + 1, j, c) + row[c];
        }
    }
    auto boxSum = [&](long long i0, long long j0, long long i1, long long j1, int c) -> uint64_t {
        // Area coordinates, half-open, cut to the read rectangle.
        i0 = std::max<long long>(i0, rd.i0) - rd.i0;
        j0 = std::max<long long>(j0, rd.j0) - rd.j0;
        i1 = std::min<long long>(i1, rd.i1) - rd.i0;
        j1 = std::min<long long>(j1, rd.j1) - rd.j0;
        if (i0 >= i1 || j0 >= j1) return 0;
        return at(static_cast<int>(i1), static_cast<int>(j1), c) - at(static_cast<int>(i0), static_cast<int>(j1), c) -
               at(static_cast<int>(i1), static_cast<int>(j0), c) + at(static_cast<int>(i0), static_cast<int>(j0), c);
    };

    for (int j = wr.j0; j < wr.j1; j++) {
        for (int i = wr.i0; i < wr.i1; i++) {
            long long cxs = static_cast<long long>(sx) + i, cys = static_cast<long long>(sy) + j;
            bool bCentreInside = cxs >= 0 && cys >= 0 && cxs < lk.S.nWidth && cys < lk.S.nHeight;
            if (nMode == 1) {
                // A transparent centre, or one the source does not have, keeps the destination.
                if (!bCentreInside) continue;
                if (FxIsTransparent(ep, lk.S.Get(static_cast<int>(cxs), static_cast<int>(cys)))) continue;
            }
            long long i0 = i - RX, i1 = i + RX, j0 = j - RY, j1 = j + RY;
            uint64_t n = boxSum(i0, j0, i1, j1, 3);
            if (n == 0) continue;
            uint32_t r = static_cast<uint32_t>(boxSum(i0, j0, i1, j1, 0) / n);
            uint32_t g = static_cast<uint32_t>(boxSum(i0, j0, i1, j1, 1) / n);
            uint32_t b = static_cast<uint32_t>(boxSum(i0, j0, i1, j1, 2) / n);
            WriteFields(ep, lk.D, spf, x + i, y + j, r, g, b);
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

    for (long long by = by0; by < wr.j1; by += N) {
        for (long long bx = bx0; bx < wr.i1; bx += N) {
            long long ex = std::min<long long>(bx + N, w), ey = std::min<long long>(by + N, h);
            uint32_t dwColor = 0;
            if (!bAverage) {
                // The block's top-left source pixel.
                long long cx = sx + bx, cy = sy + by;
                if (cx < 0 || cy < 0 || cx >= lk.S.nWidth || cy >= lk.S.nHeight) continue;
                uint32_t v = lk.S.Get(static_cast<int>(cx), static_cast<int>(cy));
                if (nMode == 1 && FxIsTransparent(ep, v)) continue;
                if (ep == FXP_D3D32) dwColor = v | 0xFF000000u;
                else if (ep == FXP_D3D16 && lk.D.bFullScreenBack) {
                    // Into the R5G6B5 back buffer: the five-bit green doubled, no alpha.
                    FXFIELDS f = FxUnpack(spf, v);
                    const DDPIXELFORMAT& dpf = lk.D.pf;
                    dwColor = FxPack(dpf, FxField(f.r, spf.nMaxR, dpf.nMaxR), FxField(f.g, spf.nMaxG, dpf.nMaxG),
                                     FxField(f.b, spf.nMaxB, dpf.nMaxB), 0);
                } else dwColor = v;  // unchanged (8 bits: the palette index)
            } else {
                // The average of the block's source pixels, each field taken
                // at 8 bits (16 bits: expanded) and reduced back.
                long long cx0 = std::max<long long>(sx + bx, 0), cy0 = std::max<long long>(sy + by, 0);
                long long cx1 = std::min<long long>(sx + ex, lk.S.nWidth), cy1 = std::min<long long>(sy + ey, lk.S.nHeight);
                uint64_t sr = 0, sg = 0, sb = 0, cnt = 0;
                for (long long cy = cy0; cy < cy1; cy++)
                    for (long long cx = cx0; cx < cx1; cx++) {
                        uint32_t v = lk.S.Get(static_cast<int>(cx), static_cast<int>(cy));
                        if (nMode == 1 && FxIsTransparent(ep, v)) continue;
                        FXFIELDS f = FxUnpack(spf, v);
                        sr += DDExpandChannel(f.r, spf.nMaxR);
                        sg += DDExpandChannel(f.g, spf.nMaxG);
                        sb += DDExpandChannel(f.b, spf.nMaxB);
                        cnt++;
                    }
                if (cnt == 0) continue;
                uint32_t r = static_cast<uint32_t>(sr / cnt), g = static_cast<uint32_t>(sg / cnt),
                         b = static_cast<uint32_t>(sb / cnt);
                const DDPIXELFORMAT& dpf = lk.D.pf;
                dwColor = ((r * dpf.nMaxR / 255) << dpf.nShiftR) | ((g * dpf.nMaxG / 255) << dpf.nShiftG) |
                          ((b * dpf.nMaxB / 255) << dpf.nShiftB);
                if (nMode == 1 && dwColor == (dwTransColor & (ep == FXP_DD32 ? 0x00FFFFFFu : 0xFFFFFFFFu))) continue;
            }
            // Fill the block's destination pixels inside the destination.
            long long i0 = std::max<long long>(bx, wr.i0), i1 = std::min<long long>(ex, wr.i1);
            long long j0 = std::max<long long>(by, wr.j0), j1 = std::min<long long>(ey, wr.j1);
            for (long long j = j0; j < j1; j++)
                for (long long i = i0; i < i1; i++) {
                    int px = static_cast<int>(x + i), py = static_cast<int>(y + j);
                    if (ep == FXP_DD32) lk.D.Put(px, py, dwColor | (lk.D.Get(px, py) & 0xFF000000u));
                    else lk.D.Put(px, py, dwColor);
                }
        }
    }
    return true;
}
