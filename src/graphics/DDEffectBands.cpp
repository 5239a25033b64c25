// Effects drawn as bands of ordinary blits: wave, split, turn in depth, burst
// and the circle. Under Direct3D the blits of one effect are collected in an
// unsorted blit batch and drawn when the effect ends.
#include "graphics/DDEffect.h"

#include <algorithm>
#include <cmath>

#include "foundation/Saturate.h"
#include "graphics/DDBatch.h"
#include "graphics/DDBlt.h"

namespace {

// Opens the effect's blit batch and closes it when the effect ends.
class cEffectBatch {
public:
    cEffectBatch() { DDBeginBltBatch(0); }
    ~cEffectBatch() { DDEndBltBatch(); }
    cEffectBatch(const cEffectBatch&) = delete;
    cEffectBatch& operator=(const cEffectBatch&) = delete;
};

// First band (of size b along an axis starting at p) that reaches past 0.
long long FirstVisibleBand(long long p, long long b)
{
    if (p >= 0) return 0;
    return (-p) / b;
}

// One band of a wave, or neighbouring bands drawn together: its place
// along the bands' axis in the destination and the source, its size there,
// and its shifted place across.
struct WAVEBAND {
    int nAt, nSrcAt, nSize, nShift;
};

// Whether two surfaces draw to and read from the same pixels (after the
// redirections a blit makes).
bool SamePixels(DDSURFACEDATA* dst, DDSURFACEDATA* src)
{
    if (lpDTCon) {
        DDResolveShared(&dst);
        DDResolveShared(&src);
        if (lpDTCon->bVirCopy) return true;
        DDRedirectBackBuffer(&dst);
        DDRedirectBackBuffer(&src);
    }
    return dst == src || DDGetPixels(dst) == DDGetPixels(src);
}

}  // namespace

void DDWaveBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int nFrequency, double dAmplitude, int nPhase,
               int nBand, DDSURFACEDATA* src, int sx, int sy, int nFlags, int nAxis)
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
    // Bands above or left of the destination draw nothing, but the phase
    // still advances through them, one addition per band as drawn ones do;
    // past a screen's worth of hidden bands the rest is one multiplication
    // (only absurd positions get there).
    const long long nFirst = std::min(FirstVisibleBand(nPos, nBand), (nLen + nBand - 1) / nBand);
    constexpr long long nMaxSteps = 1 << 16;
    if (nFirst > nMaxSteps) {
        acc = dStep * static_cast<double>(nFirst);
        j = nFirst;
    }
    for (; j < nFirst; j++) acc += dStep;
    // Neighbouring bands shifted alike are drawn as one blit: they lie side
    // by side in the destination and in the source, so the wider blit covers
    // the same pixels from the same pixels. A mirrored source is read band by
    // band (its mapping turns at the mirror's edge), and so is a wave onto
    // its own pixels (a band may read what the band before it wrote).
    const bool bMerge = !src->lpMirrorSD && !SamePixels(dst, src);
    WAVEBAND run{};
    bool bRun = false;
    auto flush = [&]() {
        if (!bRun) return;
        if (bRows) DDBlt(dst, run.nShift, run.nAt, w, run.nSize, src, sx, run.nSrcAt, nFlags);
        else DDBlt(dst, run.nAt, run.nShift, run.nSize, h, src, run.nSrcAt, sy, nFlags);
        bRun = false;
    };
    for (; j * nBand < nLen && nPos + j * nBand < nLimit; j++) {
        acc += dStep;
        double dd = dAmplitude * std::sin(k * (nPhase + acc));
        int d = SaturateInt32(static_cast<long long>(std::clamp(dd, -1e15, 1e15)));
        long long nStart = j * nBand;
        WAVEBAND b;
        b.nSize = static_cast<int>(std::min<long long>(nBand, nLen - nStart));
        b.nShift = SaturateInt32(static_cast<long long>(bRows ? x : y) + d);
        b.nAt = SaturateInt32(nPos + nStart);
        b.nSrcAt = SaturateInt32((bRows ? sy : sx) + nStart);
        if (bRun && bMerge && b.nShift == run.nShift &&
            static_cast<long long>(b.nAt) == static_cast<long long>(run.nAt) + run.nSize &&
            static_cast<long long>(b.nSrcAt) == static_cast<long long>(run.nSrcAt) + run.nSize &&
            static_cast<long long>(run.nSize) + b.nSize <= INT32_MAX) {
            run.nSize += b.nSize;
            continue;
        }
        flush();
        run = b;
        bRun = true;
    }
    flush();
}

void DDSplitBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int nBand, int nShift, DDSURFACEDATA* src, int sx,
                int sy, int nFlags, int nAxis)
{
    if (!dst || !src) return;
    if (nBand == 0) {
        DDBlt(dst, x, y, w, h, src, sx, sy, nFlags);
        return;
    }
    if (nBand < 0) return;  // no band size: nothing to cut
    const bool bRows = nAxis == 0;
    const long long nLen = bRows ? h : w;
    if (nLen <= 0) return;
    const long long nBands = (nLen + nBand - 1) / nBand;
    const long long nPos = bRows ? y : x;
    const long long nLimit = bRows ? dst->nHeight : dst->nWidth;
    long long nFirst = FirstVisibleBand(nPos, nBand);
    long long nEnd = nBands;
    if (nLimit - nPos <= 0) nEnd = 0;
    else nEnd = std::min(nBands, (nLimit - nPos + nBand - 1) / nBand);

    cEffectBatch batch;
    // Odd bands first, then even ones.
    for (int nParity = 1; nParity >= 0; nParity--) {
        long long j = nFirst + (((nFirst & 1) != nParity) ? 1 : 0);
        for (; j < nEnd; j += 2) {
            long long nStart = j * nBand;
            int nSize = static_cast<int>(std::min<long long>(nBand, nLen - nStart));
            long long s = (j & 1) ? -static_cast<long long>(nShift) : nShift;
            if (bRows)
                DDBlt(dst, SaturateInt32(x + s), SaturateInt32(y + nStart), w, nSize, src, sx,
                      SaturateInt32(sy + nStart), nFlags);
            else
                DDBlt(dst, SaturateInt32(x + nStart), SaturateInt32(y + s), nSize, h, src, SaturateInt32(sx + nStart),
                      sy, nFlags);
        }
    }
}

void DDRotateDepthBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* lpFront, int nFrontX,
                      int nFrontY, DDSURFACEDATA* lpBack, int nBackX, int nBackY, int nSrcWidth, int nSrcHeight,
                      int nFlags, int nStep, int nAxis)
{
    if (!dst || (nAxis != 0 && nAxis != 1) || nStep < 0) return;
    const long long nLen = nAxis == 0 ? w : h;
    if (nLen < 2) return;  // no half to narrow into
    const long long u = nLen / 2;
    const long long q = nStep / u, r = nStep % u;
    const long long v = (q % 2 == 0) ? r : u - 1 - r;
    const bool bBack = ((nStep + u) / nLen) % 2 == 1;
    DDSURFACEDATA* lpFace = bBack ? lpBack : lpFront;
    int fx = bBack ? nBackX : nFrontX, fy = bBack ? nBackY : nFrontY;
    if (!lpFace) return;

    cEffectBatch batch;
    if (nAxis == 0)
        DDStretchBlt(dst, SaturateInt32(x + v), y, SaturateInt32(w - 2 * v), h, lpFace, fx, fy, nSrcWidth, nSrcHeight,
                     nFlags);
    else
        DDStretchBlt(dst, x, SaturateInt32(y + v), w, SaturateInt32(h - 2 * v), lpFace, fx, fy, nSrcWidth, nSrcHeight,
                     nFlags);
}

void DDBurstBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nDistance,
                int nFlags)
{
    if (!dst || !src) return;
    const int hw = w >> 1, hh = h >> 1;
    const long long d = nDistance;
    cEffectBatch batch;
    DDBlt(dst, SaturateInt32(x - d), SaturateInt32(y - d), hw, hh, src, sx, sy, nFlags);
    DDBlt(dst, SaturateInt32(x + hw + d), SaturateInt32(y - d), hw, hh, src,
          SaturateInt32(static_cast<long long>(sx) + hw), sy, nFlags);
    DDBlt(dst, SaturateInt32(x - d), SaturateInt32(y + hh + d), hw, hh, src, sx,
          SaturateInt32(static_cast<long long>(sy) + hh), nFlags);
    DDBlt(dst, SaturateInt32(x + hw + d), SaturateInt32(y + hh + d), hw, hh, src,
          SaturateInt32(static_cast<long long>(sx) + hw), SaturateInt32(static_cast<long long>(sy) + hh), nFlags);
}

namespace {

// Half width of the disc's row at offset d: floor(sqrt(r^2 - d^2)), one less
// than r where it would reach r.
long long CircleHalfWidth(long long r, long long d)
{
    long long t = r * r - d * d;
    if (t <= 0) return 0;
    long long s = static_cast<long long>(std::sqrt(static_cast<double>(t)));
    while (s * s > t) s--;
    while ((s + 1) * (s + 1) <= t) s++;
    return s >= r ? r - 1 : s;
}

struct CIRCLEPARAMS {
    DDSURFACEDATA* dst;
    DDSURFACEDATA* src;
    long long cx, cy, scx, scy, nLeft, nRight;
    int nFlags;
};

// One strip of rows [d, d + nRows) at the half width of offset dMid.
void CircleStrip(const CIRCLEPARAMS& p, long long d, long long nRows, long long dMid, long long r)
{
    long long s = CircleHalfWidth(r, dMid);
    long long s0 = p.scx - s, s1 = p.scx + s;
    long long dx = p.cx - s;
    if (s0 < p.nLeft) {
        dx += p.nLeft - s0;
        s0 = p.nLeft;
    }
    if (s1 > p.nRight) s1 = p.nRight;
    if (s1 - s0 <= 0) return;
    int w = SaturateInt32(s1 - s0);
    if (lpDTCon)
        DDStretchBlt(p.dst, SaturateInt32(dx), SaturateInt32(p.cy + d), w, SaturateInt32(nRows), p.src,
                     SaturateInt32(s0), SaturateInt32(p.scy + d), w, SaturateInt32(nRows), p.nFlags);
    else
        DDBlt(p.dst, SaturateInt32(dx), SaturateInt32(p.cy + d), w, SaturateInt32(nRows), p.src, SaturateInt32(s0),
              SaturateInt32(p.scy + d), p.nFlags);
}

}  // namespace

void DDCircleBlt(DDSURFACEDATA* dst, int cx, int cy, int wx, int hy, int r, int bh, DDSURFACEDATA* src, int scx,
                 int scy, int nFlags)
{
    if (r <= 0 || bh <= 0 || !dst || !src) return;
    DDResolveShared(&dst);
    DDResolveShared(&src);
    CIRCLEPARAMS p{dst, src, cx, cy, scx, scy, std::max<long long>(static_cast<long long>(scx) - wx, 0),
                   std::min<long long>(static_cast<long long>(scx) + wx, src->nWidth), nFlags};
    const long long R = r, HY = hy, B = bh;
    const long long nDstH = dst->nHeight;

    cEffectBatch batch;
    if (bh == 1) {
        // Offsets r - 1 down to -r; those at or beyond hy are skipped and the
        // walk ends below -hy. Rows outside the destination draw nothing.
        long long dHi = std::min({R - 1, HY - 1, nDstH - 1 - cy});
        long long dLo = std::max({-R, -HY, -static_cast<long long>(cy)});
        for (long long d = dHi; d >= dLo; d--) CircleStrip(p, d, 1, d, R);
        return;
    }

    // Bands start at t = r - k*bh (k = 1, 2, ...) while t >= -r. A start at
    // or beyond hy is skipped; the first band that reaches past hy is moved
    // back to hy - bh; one below -hy is moved up to -hy and ends the walk.
    long long k = 1;
    if (R - B >= HY) k = (R - HY) / B + 1;  // first start below hy
    bool bFirst = true;
    for (;; k++) {
        long long t = R - k * B;
        if (t < -R) break;
        if (t + B <= -HY) break;
        if (t + B > HY) t = HY - B;
        else if (t < -HY) t = -HY;
        if (cy + t + B <= 0) break;  // this and every later band lies above the destination
        if (cy + t < nDstH) CircleStrip(p, t, B, t + (B >> 1), R);
        if (bFirst && cy + t >= nDstH) {
            // Jump over the bands that lie below the destination.
            long long kNext = (R - (nDstH - cy)) / B + 1;  // first k with t < nDstH - cy
            if (kNext > k + 1) k = kNext - 1;
        }
        bFirst = false;
    }
}
