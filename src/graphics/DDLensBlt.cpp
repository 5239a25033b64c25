// The lens: a circle of radius R around (cx, cy) shows the source around
// (scx, scy), enlarged towards the middle (by F / d at the centre, with
// F = floor(sqrt(R^2 + d^2))) and unchanged at the rim.
#include "graphics/DDEffect.h"

#include <cmath>
#include <mutex>
#include <vector>

#include "graphics/DDBlt.h"
#include "graphics/DDEffectPixels.h"

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

// Rows j0..j1 (offsets from the centre) of a lens drawn from the offset
// table on PIX pixels: the source rows are found by pointer, the key test
// and the back-buffer field conversion chosen once for the whole lens.
template <class PIX, class FKEY>
void LensRows(const cFxLockPair& lk, const LENSTABLE& t, int cx, int cy, int scx, int scy, long long R2, long long j0,
              long long j1, long long i0, long long i1, bool bClear, bool bConvert, FKEY fnKeyed)
{
    const size_t W = static_cast<size_t>(t.R) + 1;
    const long long nSW = lk.S.nWidth, nSH = lk.S.nHeight;
    const DDPIXELFORMAT& spf = lk.S.pf;
    const DDPIXELFORMAT& dpf = lk.D.pf;
    const uint8_t* lpSrc0 = lk.S.lpPix->Row(0);
    const size_t nSrcPitch = static_cast<size_t>(lk.S.lpPix->nPitch);
    for (long long j = j0; j <= j1; j++) {
        PIX* drow = reinterpret_cast<PIX*>(lk.D.lpPix->Row(static_cast<int>(cy + j))) + cx;
        const long long aj = j < 0 ? -j : j;
        // Columns inside the circle on this row: |i| <= floor(sqrt(R^2 - j^2)).
        const long long m = FxCircleHalfWidth(R2, aj);
        const long long lo = std::max(i0, -m), hi = std::min(i1, m);
        if (bClear) {
            for (long long i = i0; i <= i1; i++)
                if (i < lo || i > hi) drow[i] = 0;
        }
        // Offsets of this row: u by the sign of i at [|j|][|i|], v by the sign of j.
        const int* uPos = &t.vPos[static_cast<size_t>(aj) * W];
        const int* uNeg = &t.vNeg[static_cast<size_t>(aj) * W];
        const int* vRow = &(j < 0 ? t.vNegT : t.vPosT)[static_cast<size_t>(aj) * W];
        auto put = [&](long long i, const int* uRow, long long ai) __attribute__((always_inline)) {
            const long long qx = static_cast<long long>(scx) + uRow[ai], qy = static_cast<long long>(scy) + vRow[ai];
            if (static_cast<unsigned long long>(qx) >= static_cast<unsigned long long>(nSW) ||
                static_cast<unsigned long long>(qy) >= static_cast<unsigned long long>(nSH)) {
                if (bClear) drow[i] = 0;
                return;
            }
            uint32_t s = reinterpret_cast<const PIX*>(lpSrc0 + static_cast<size_t>(qy) * nSrcPitch)[qx];
            if (fnKeyed(s)) {
                if (bClear) drow[i] = 0;
                return;
            }
            if (bConvert) {
                FXFIELDS f = FxUnpack(spf, s);
                s = FxPack(dpf, FxField(f.r, spf.nMaxR, dpf.nMaxR), FxField(f.g, spf.nMaxG, dpf.nMaxG),
                           FxField(f.b, spf.nMaxB, dpf.nMaxB), 0);
            }
            drow[i] = static_cast<PIX>(s);
        };
        // Left of the centre the offsets run backwards through the table.
        for (long long i = lo; i <= std::min(hi, -1LL); i++) put(i, uNeg, -i);
        for (long long i = std::max(lo, 0LL); i <= hi; i++) put(i, uPos, i);
    }
}

}  // namespace

int DDLensBlt(DDSURFACEDATA* dst, int cx, int cy, int R, int nDepth, DDSURFACEDATA* src, int scx, int scy, int nKey,
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
    if (lpTable) {
        const int nBytes = lk.D.lpPix->nBytes;
        auto run = [&](auto fnKeyed) {
            if (nBytes == 4) LensRows<uint32_t>(lk, *lpTable, cx, cy, scx, scy, R2, j0, j1, i0, i1, bClear, bConvert, fnKeyed);
            else if (nBytes == 2) LensRows<uint16_t>(lk, *lpTable, cx, cy, scx, scy, R2, j0, j1, i0, i1, bClear, bConvert, fnKeyed);
            else LensRows<uint8_t>(lk, *lpTable, cx, cy, scx, scy, R2, j0, j1, i0, i1, bClear, bConvert, fnKeyed);
        };
        FxWithKeyTest(bTestKey, ep, run);
        return 1;
    }
    for (long long j = j0; j <= j1; j++) {
        const int py = static_cast<int>(cy + j);
        const long long aj = j < 0 ? -j : j;
        // Columns inside the circle on this row: |i| <= floor(sqrt(R^2 - j^2)).
        const long long m = FxCircleHalfWidth(R2, aj);
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
