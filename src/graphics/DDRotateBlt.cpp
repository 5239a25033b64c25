// The rotation blit: a source rectangle turned about a pivot that lands on a
// destination point. Under Direct3D the device draws a turned textured quad
// when it can (computed here as the device would: pixel centres mapped back
// into the quad, point sampling, texture stage combine, alpha blending);
// every other case turns the picture on locked pixels with 10-bit fixed-point
// sine and cosine and nearest-neighbour inverse mapping.
#include "graphics/DDEffect.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graphics/DDBlt.h"
#include "graphics/DDEffectPixels.h"

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
