// Blits, fills, pixels and circles, the device scene and the render target.
//
// The "device" path (Direct3D profile, destination a render target, source
// not a system-memory texture) draws a textured quad: every destination
// pixel gets the texture stage result of its point-sampled texel and the
// diffuse colour, alpha blended over the destination:
//   out = (src * a + dst * (255 - a) + 127) / 255 per channel (alpha too),
// with a the stage's alpha. Texture stage operations on 8-bit channels:
//   SELECTARG1 t, SELECTARG2 d, MODULATE (t * d + 127) / 255,
//   MODULATE2X / 4X that times 2 / 4 saturated, ADD t + d saturated,
//   SUBTRACT t - d clamped at 0, ADDSIGNED t + d - 128 clamped;
//   a disabled colour stage gives d, a disabled alpha stage gives 255.
// The "locked" path (everything else) copies point-sampled pixels without
// blending, leaving out transparent source pixels when keyed.
#include "graphics/DDBlt.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif
#include <cstring>
#include <vector>

#include "foundation/Log.h"
#include "graphics/DDBatch.h"
#include "graphics/DDPixel.h"

namespace {

// Point sampling of one axis: destination offset i (0..n-1) of a span of n
// destination pixels reading a source span of s pixels starting at s0.
inline int SampleAxis(int s0, int s, int n, int i) {
    if (s == n) return s0 + i;
    if (s > 0) return s0 + static_cast<int>((static_cast<int64_t>(2 * i + 1) * s) / (2LL * n));
    if (s == -n) return s0 - 1 - i;
    return s0 - 1 - static_cast<int>((static_cast<int64_t>(2 * i + 1) * -s) / (2LL * n));
}

// The visible part of a mapped blit: destination columns/rows inside the
// destination whose samples fall inside the source.
struct AxisMap {
    int d0 = 0, d1 = 0;             // destination range [d0, d1)
    std::vector<int> vSrc;          // source index per destination index (d - d0), -1 outside
    bool bOneToOne = false;
    int nOffset = 0;                // 1:1: source = d + nOffset
};

// Positions and spans beyond this are refused (nothing is drawn), so the
// sampling products stay inside 64 bits.
constexpr int64_t kMaxCoord = 1 << 24;

inline bool InRange(int64_t v) { return v >= -kMaxCoord && v <= kMaxCoord; }

bool BuildAxis(AxisMap& m, int d, int n, int s0, int s, int nDstSize, int nSrcSize) {
    if (!InRange(d) || !InRange(n) || !InRange(s0) || !InRange(s)) return false;
    int64_t lo = std::max<int64_t>(d, 0), hi = std::min<int64_t>(static_cast<int64_t>(d) + n, nDstSize);
    if (lo >= hi || n <= 0 || s == 0) return false;
    m.d0 = static_cast<int>(lo);
    m.d1 = static_cast<int>(hi);
    if (s == n) {
        // Cut to the source: source index d - d_orig + s0 in [0, nSrcSize).
        int64_t a = std::max<int64_t>(lo, static_cast<int64_t>(d) - s0);
        int64_t b = std::min<int64_t>(hi, static_cast<int64_t>(d) - s0 + nSrcSize);
        if (a >= b) return false;
        m.d0 = static_cast<int>(a);
        m.d1 = static_cast<int>(b);
        m.bOneToOne = true;
        m.nOffset = s0 - d;
        return true;
    }
    m.vSrc.resize(m.d1 - m.d0);
    bool bAny = false;
    for (int k = m.d0; k < m.d1; k++) {
        int v = SampleAxis(s0, s, n, k - d);
        if (v < 0 || v >= nSrcSize) v = -1;
        else bAny = true;
        m.vSrc[k - m.d0] = v;
    }
    return bAny;
}

inline int MapAt(const AxisMap& m, int k) { return m.bOneToOne ? k + m.nOffset : m.vSrc[k - m.d0]; }

inline uint32_t Sat(int v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

inline uint32_t StageChannel(int nOp, uint32_t t, uint32_t d, bool bAlpha) {
    switch (nOp) {
    case D3DTOP_DISABLE: return bAlpha ? 255u : d;
    case D3DTOP_SELECTARG1: return t;
    case D3DTOP_SELECTARG2: return d;
    case D3DTOP_MODULATE: return (t * d + 127u) / 255u;
    case D3DTOP_MODULATE2X: return Sat(static_cast<int>(2 * ((t * d + 127u) / 255u)));
    case D3DTOP_MODULATE4X: return Sat(static_cast<int>(4 * ((t * d + 127u) / 255u)));
    case D3DTOP_ADD: return Sat(static_cast<int>(t + d));
    case D3DTOP_ADDSIGNED: return Sat(static_cast<int>(t + d) - 128);
    case D3DTOP_SUBTRACT: return Sat(static_cast<int>(t) - static_cast<int>(d));
    default: return t;
    }
}

inline uint32_t Stage(uint32_t t, uint32_t d, int nColorOp, int nAlphaOp) {
    uint32_t r = StageChannel(nColorOp, (t >> 16) & 255, (d >> 16) & 255, false);
    uint32_t g = StageChannel(nColorOp, (t >> 8) & 255, (d >> 8) & 255, false);
    uint32_t b = StageChannel(nColorOp, t & 255, d & 255, false);
    uint32_t a = StageChannel(nAlphaOp, t >> 24, d >> 24, true);
    return a << 24 | r << 16 | g << 8 | b;
}

inline uint32_t BlendChannel(uint32_t s, uint32_t d, uint32_t a) { return (s * a + d * (255u - a) + 127u) / 255u; }

inline uint32_t Blend(uint32_t src, uint32_t dst) {
    uint32_t a = src >> 24;
    if (a == 255) return src;
    if (a == 0) return dst;
    uint32_t r = BlendChannel((src >> 16) & 255, (dst >> 16) & 255, a);
    uint32_t g = BlendChannel((src >> 8) & 255, (dst >> 8) & 255, a);
    uint32_t b = BlendChannel(src & 255, dst & 255, a);
    uint32_t aa = BlendChannel(a, dst >> 24, a);
    return aa << 24 | r << 16 | g << 8 | b;
}

inline bool HasAlpha(int nFormat) { return nFormat == DDFMT_A8R8G8B8 || nFormat == DDFMT_A1R5G5B5; }

// A texel as 8-bit ARGB (formats without alpha read as opaque).
inline uint32_t FetchARGB(const DDPIXELS& p, int x, int y) { return DDUnpackARGB(p.nFormat, DDGetRaw(p, x, y)); }

bool IsRenderTarget(DDSURFACEDATA* sd) { return sd && sd->lpDT && sd->lpDT->bRenderTarget; }

bool IsSystemTexture(DDSURFACEDATA* sd) {
    return sd && sd->lpDT && sd->lpDT->nMemoryType == DTMEMORYTYPE_SYSTEM && !sd->lpDT->bRenderTarget;
}

// Destination size used for clipping: the surface's size (the storage may be
// larger after texture rounding).
inline int ClipW(DDSURFACEDATA* sd, DDPIXELS* p) { return std::min(sd->nWidth > 0 ? sd->nWidth : p->nWidth, p->nWidth); }
inline int ClipH(DDSURFACEDATA* sd, DDPIXELS* p) { return std::min(sd->nHeight > 0 ? sd->nHeight : p->nHeight, p->nHeight); }

// Writes v to every pixel of the rectangle (already inside the storage).
void FillRaw(DDPIXELS& p, int x0, int y0, int x1, int y1, uint32_t v) {
    for (int y = y0; y < y1; y++) {
        uint8_t* row = p.Row(y);
        switch (p.nBytes) {
        case 1: std::memset(row + x0, static_cast<int>(v & 255), x1 - x0); break;
        case 2: std::fill(reinterpret_cast<uint16_t*>(row) + x0, reinterpret_cast<uint16_t*>(row) + x1, static_cast<uint16_t>(v)); break;
        default: std::fill(reinterpret_cast<uint32_t*>(row) + x0, reinterpret_cast<uint32_t*>(row) + x1, v); break;
        }
    }
}

bool CutRect(int& x, int& y, int& w, int& h, int nW, int nH) {
    int64_t x0 = std::max(x, 0), y0 = std::max(y, 0);
    int64_t x1 = std::min<int64_t>(static_cast<int64_t>(x) + w, nW), y1 = std::min<int64_t>(static_cast<int64_t>(y) + h, nH);
    if (w <= 0 || h <= 0 || x0 >= x1 || y0 >= y1) return false;
    x = static_cast<int>(x0);
    y = static_cast<int>(y0);
    w = static_cast<int>(x1 - x0);
    h = static_cast<int>(y1 - y0);
    return true;
}

template <class T>
inline void KeyedRow(T* d, const T* s, int n, T key) {
    int i = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: the destination keeps the lanes equal to the key.
    const __m128i k = sizeof(T) == 1 ? _mm_set1_epi8(static_cast<char>(key))
                      : sizeof(T) == 2 ? _mm_set1_epi16(static_cast<short>(key))
                                       : _mm_set1_epi32(static_cast<int>(key));
    constexpr int nLanes = 16 / sizeof(T);
    for (; i + nLanes <= n; i += nLanes) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i m = sizeof(T) == 1 ? _mm_cmpeq_epi8(v, k) : sizeof(T) == 2 ? _mm_cmpeq_epi16(v, k) : _mm_cmpeq_epi32(v, k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(m, o), _mm_andnot_si128(m, v)));
    }
#endif
    for (; i < n; i++) {
        T v = s[i];
        T m = static_cast<T>(0) - static_cast<T>(v != key);
        d[i] = static_cast<T>((v & m) | (d[i] & static_cast<T>(~m)));
    }
}

// The device rule from an A1R5G5B5 texel to a destination pixel: the
// fields expanded to 8 bits and reduced to the destination's, rounded.
const uint16_t* Texel1555To565() {
    static uint16_t* lpLut = [] {
        auto* p = new uint16_t[32768];
        for (uint32_t v = 0; v < 32768; v++)
            p[v] = static_cast<uint16_t>(DDPackARGB(DDFMT_R5G6B5, DDUnpackARGB(DDFMT_A1R5G5B5, v | 0x8000u)));
        return p;
    }();
    return lpLut;
}

// One row of A1R5G5B5 texels drawn 1:1: a texel with its alpha bit set is
// written (through lpLut into an R5G6B5 target), one without leaves the
// target. Eight texels at a time, the R5G6B5 form computed in the lanes: red
// and blue kept, green expanded to 8 bits (g * 255 / 31) and reduced to six
// (rounded, (g8 * 63 + 127) / 255), each division an exact multiply-high for
// every five-bit value; the rest through the table.
#if defined(__x86_64__) && defined(__GNUC__)
#define DD_TEXEL_AVX2 1
// The same, sixteen texels at a time, on processors with AVX2. Returns the
// texels done (a multiple of 16).
__attribute__((target("avx2"))) int TexelRow1555Avx2(uint16_t* d, const uint16_t* s, int n, bool b565) {
    const __m256i kRed = _mm256_set1_epi16(0x7C00), kFive = _mm256_set1_epi16(0x001F);
    const __m256i k255 = _mm256_set1_epi16(255), kDiv31 = _mm256_set1_epi16(8457), k63 = _mm256_set1_epi16(63),
                  k127 = _mm256_set1_epi16(127), kDiv255 = _mm256_set1_epi16(257);
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        __m256i m = _mm256_srai_epi16(t, 15);
        __m256i v = t;
        if (b565) {
            __m256i g5 = _mm256_and_si256(_mm256_srli_epi16(t, 5), kFive);
            __m256i g8 = _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(g5, k255), kDiv31), 2);
            __m256i g6 = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(g8, k63), k127), kDiv255);
            v = _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(t, kRed), 1), _mm256_slli_epi16(g6, 5)),
                                _mm256_and_si256(t, kFive));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_blendv_epi8(o, v, m));
    }
    return i;
}

bool HasAvx2() {
    static const bool bAvx2 = __builtin_cpu_supports("avx2");
    return bAvx2;
}
#endif

void TexelRow1555(uint16_t* d, const uint16_t* s, int n, const uint16_t* lpLut) {
    int i = 0;
#ifdef DD_TEXEL_AVX2
    if (n >= 16 && HasAvx2()) i = TexelRow1555Avx2(d, s, n, lpLut != nullptr);
    d += i;
    s += i;
    n -= i;
    i = 0;
#endif
#ifdef __SSE2__
    const __m128i kRed = _mm_set1_epi16(0x7C00), kBlue = _mm_set1_epi16(0x001F), kGreen = _mm_set1_epi16(0x001F);
    const __m128i k255 = _mm_set1_epi16(255), kDiv31 = _mm_set1_epi16(8457), k63 = _mm_set1_epi16(63),
                  k127 = _mm_set1_epi16(127), kDiv255 = _mm_set1_epi16(257);
    for (; i + 8 <= n; i += 8) {
        __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i m = _mm_srai_epi16(t, 15);  // all ones where the alpha bit is set
        __m128i v = t;
        if (lpLut) {
            __m128i g5 = _mm_and_si128(_mm_srli_epi16(t, 5), kGreen);
            __m128i g8 = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(g5, k255), kDiv31), 2);
            __m128i g6 = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(g8, k63), k127), kDiv255);
            v = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_and_si128(t, kRed), 1), _mm_slli_epi16(g6, 5)),
                             _mm_and_si128(t, kBlue));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(_mm_and_si128(m, v), _mm_andnot_si128(m, o)));
    }
#endif
    for (; i < n; i++) {
        uint32_t t = s[i];
        uint32_t v = lpLut ? lpLut[t & 0x7FFFu] : t;
        uint32_t m = 0u - (t >> 15);
        d[i] = static_cast<uint16_t>((v & m) | (d[i] & ~m));
    }
}

// Locked-pixel copy of a mapped blit without blending.
// Key tests: DirectDraw: the source's colour key value; Direct3D 32 bits:
// alpha byte 0; Direct3D 16 bits: the alpha bit (bit 15) clear. The colour
// bits beside the alpha bit are not looked at.
void CopyLocked(DDPIXELS& d, const AxisMap& mx, const AxisMap& my, const DDPIXELS& s, bool bKey, bool bD3DKey,
                uint32_t dwKey, bool bToBack565) {
    const bool bSame = d.nFormat == s.nFormat;
    for (int y = my.d0; y < my.d1; y++) {
        int sy = MapAt(my, y);
        if (sy < 0) continue;
        uint8_t* drow = d.Row(y);
        const uint8_t* srow = s.Row(sy);
        if (bSame && !bKey && mx.bOneToOne) {
            std::memcpy(drow + static_cast<size_t>(mx.d0) * d.nBytes, srow + static_cast<size_t>(mx.d0 + mx.nOffset) * s.nBytes,
                        static_cast<size_t>(mx.d1 - mx.d0) * d.nBytes);
            continue;
        }
        if (bSame && bKey && mx.bOneToOne && !bD3DKey) {
            // Keyed 1:1 copy in one format: a select per pixel, no branch.
            const int n = mx.d1 - mx.d0;
            switch (d.nBytes) {
            case 1: KeyedRow(drow + mx.d0, srow + mx.d0 + mx.nOffset, n, static_cast<uint8_t>(dwKey)); break;
            case 2: KeyedRow(reinterpret_cast<uint16_t*>(drow) + mx.d0, reinterpret_cast<const uint16_t*>(srow) + mx.d0 + mx.nOffset, n, static_cast<uint16_t>(dwKey)); break;
            default: KeyedRow(reinterpret_cast<uint32_t*>(drow) + mx.d0, reinterpret_cast<const uint32_t*>(srow) + mx.d0 + mx.nOffset, n, dwKey); break;
            }
            continue;
        }
        for (int x = mx.d0; x < mx.d1; x++) {
            int sx = MapAt(mx, x);
            if (sx < 0) continue;
            uint32_t v;
            switch (s.nBytes) {
            case 1: v = srow[sx]; break;
            case 2: v = reinterpret_cast<const uint16_t*>(srow)[sx]; break;
            default: v = reinterpret_cast<const uint32_t*>(srow)[sx]; break;
            }
            if (bKey) {
                if (bD3DKey) {
                    if (s.nFormat == DDFMT_A8R8G8B8 && (v >> 24) == 0) continue;
                    if (s.nFormat == DDFMT_A1R5G5B5 && (v & 0x8000u) == 0) continue;
                } else if (v == dwKey) {
                    continue;
                }
            }
            if (!bSame) {
                if (bToBack565 && s.nFormat == DDFMT_A1R5G5B5)
                    v = ((v >> 10) & 31u) << 11 | (((v >> 5) & 31u) * 2u) << 5 | (v & 31u);
                else
                    v = DDPackARGB(d.nFormat, DDUnpackARGB(s.nFormat, v));
            }
            switch (d.nBytes) {
            case 1: drow[x] = static_cast<uint8_t>(v); break;
            case 2: reinterpret_cast<uint16_t*>(drow)[x] = static_cast<uint16_t>(v); break;
            default: reinterpret_cast<uint32_t*>(drow)[x] = v; break;
            }
        }
    }
}

// Device draw of a mapped textured quad.
void DrawDevice(DDPIXELS& d, const AxisMap& mx, const AxisMap& my, const DDPIXELS& s, uint32_t dwColor, int nColorOp,
                int nAlphaOp) {
    const bool bPlain = dwColor == 0xFFFFFFFFu && (nColorOp == D3DTOP_MODULATE || nColorOp == D3DTOP_SELECTARG1) &&
                        (nAlphaOp == D3DTOP_MODULATE || nAlphaOp == D3DTOP_SELECTARG1);
    const bool bFast32 = bPlain && s.nFormat == DDFMT_A8R8G8B8 &&
                         (d.nFormat == DDFMT_X8R8G8B8 || d.nFormat == DDFMT_A8R8G8B8);
    const bool bFast16 = bPlain && s.nFormat == DDFMT_A1R5G5B5 &&
                         (d.nFormat == DDFMT_R5G6B5 || d.nFormat == DDFMT_A1R5G5B5);
    const uint16_t* lpLut = bFast16 && d.nFormat == DDFMT_R5G6B5 ? Texel1555To565() : nullptr;
    for (int y = my.d0; y < my.d1; y++) {
        int sy = MapAt(my, y);
        if (sy < 0) continue;
        if (bFast32 && mx.bOneToOne) {
            // Texels of alpha 255 replace, 0 leave, others blend.
            uint32_t* drow = reinterpret_cast<uint32_t*>(d.Row(y)) + mx.d0;
            const uint32_t* srow = reinterpret_cast<const uint32_t*>(s.Row(sy)) + mx.d0 + mx.nOffset;
            const int n = mx.d1 - mx.d0;
            bool bPartial = false;
            int i = 0;
#ifdef __SSE2__
            const __m128i k255 = _mm_set1_epi32(255), kZero = _mm_setzero_si128();
            for (; i + 4 <= n; i += 4) {
                __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srow + i));
                __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(drow + i));
                __m128i a = _mm_srli_epi32(t, 24);
                __m128i mFull = _mm_cmpeq_epi32(a, k255);
                __m128i mNone = _mm_cmpeq_epi32(a, kZero);
                bPartial |= _mm_movemask_epi8(_mm_or_si128(mFull, mNone)) != 0xFFFF;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(drow + i), _mm_or_si128(_mm_and_si128(mFull, t), _mm_andnot_si128(mFull, o)));
            }
#endif
            for (; i < n; i++) {
                uint32_t t = srow[i];
                uint32_t a = t >> 24;
                uint32_t m = 0u - static_cast<uint32_t>(a == 255);
                drow[i] = (t & m) | (drow[i] & ~m);
                bPartial |= (a - 1u) < 254u;
            }
            if (bPartial) {
                for (int i = 0; i < n; i++) {
                    uint32_t t = srow[i];
                    uint32_t a = t >> 24;
                    if (a != 0 && a != 255)
                        drow[i] = Blend(t, drow[i] | (d.nFormat == DDFMT_X8R8G8B8 ? 0xFF000000u : 0u));
                }
            }
            continue;
        }
        if (bFast16 && mx.bOneToOne) {
            // One-bit alpha: a texel is copied or left (a select, no branch).
            uint16_t* drow = reinterpret_cast<uint16_t*>(d.Row(y)) + mx.d0;
            const uint16_t* srow = reinterpret_cast<const uint16_t*>(s.Row(sy)) + mx.d0 + mx.nOffset;
            TexelRow1555(drow, srow, mx.d1 - mx.d0, lpLut);
            continue;
        }
        if (bFast16) {
            uint16_t* drow = reinterpret_cast<uint16_t*>(d.Row(y));
            const uint16_t* srow = reinterpret_cast<const uint16_t*>(s.Row(sy));
            for (int x = mx.d0; x < mx.d1; x++) {
                int sx = MapAt(mx, x);
                if (sx < 0) continue;
                uint16_t t = srow[sx];
                if (!(t & 0x8000u)) continue;
                drow[x] = lpLut ? lpLut[t & 0x7FFFu] : t;
            }
            continue;
        }
        if (bFast32) {
            uint32_t* drow = reinterpret_cast<uint32_t*>(d.Row(y));
            const uint32_t* srow = reinterpret_cast<const uint32_t*>(s.Row(sy));
            for (int x = mx.d0; x < mx.d1; x++) {
                int sx = MapAt(mx, x);
                if (sx < 0) continue;
                uint32_t t = srow[sx];
                uint32_t a = t >> 24;
                if (a == 255) drow[x] = t;
                else if (a != 0) drow[x] = Blend(t, drow[x] | (d.nFormat == DDFMT_X8R8G8B8 ? 0xFF000000u : 0u));
            }
            continue;
        }
        for (int x = mx.d0; x < mx.d1; x++) {
            int sx = MapAt(mx, x);
            if (sx < 0) continue;
            uint32_t t = FetchARGB(s, sx, sy);
            uint32_t c = bPlain ? t : Stage(t, dwColor, nColorOp, nAlphaOp);
            uint32_t a = c >> 24;
            if (a == 0) continue;
            uint32_t out = a == 255 ? c : Blend(c, FetchARGB(d, x, y));
            DDPutRaw(d, x, y, DDPackARGB(d.nFormat, out));
        }
    }
}

}  // namespace

void DDMirrorFixup(DDSURFACEDATA* src, int* sx, int* sy, int* sw, int* sh) {
    if (!lpDTCon || !src || !src->lpMirrorSD) return;
    auto fix = [](int c, int* s, int* n) {
        if (c <= 0) return;
        if (*n == c) {
            *s += *n;
            *n = -*n;
        } else if (*n < c && *n > 0) {
            int m = ((*s % c) + c) % c;
            *s = *s + c - 2 * m;
            *n = -*n;
        }
    };
    fix(src->nMirrorWidth, sx, sw);
    fix(src->nMirrorHeight, sy, sh);
}

int DDRedirectBackBuffer(DDSURFACEDATA** sd) {
    if (lpDTCon && lpDTCon->bVirBackBuffer && sd && *sd == &BackBuffer) {
        *sd = &VirBackBuffer;
        return 1;
    }
    return 0;
}

int DDBeginScene() {
    if (!lpDTCon) return 0;
    lpDTCon->bInScene = 1;
    return 1;
}

void DDEndScene() {
    if (lpDTCon) lpDTCon->bInScene = 0;
}

int DDSetRenderTarget(DDSURFACEDATA* sd) {
    if (!lpDTCon || !IsRenderTarget(sd)) return 0;
    if (!sd->lpDT->lpSurface) {
        WriteReport("SetRenderTarget Err %x (%s)", 0x8876086Cu, sd->szFileName);
        return 0;
    }
    return 1;
}

// Cuts one axis of a scaled blit to a surface of size nSize: the span
// [s0, s0 + s) (or [s0 + s, s0) when s < 0) is cut, and the matching part of
// the destination span [d, d + n) is removed in proportion (truncated), from
// the same side for a forward span and from the other side for a reversed one.
static void CutScaledSource(int* d, int* n, int* s0, int* s, int nSize) {
    int64_t lo = *s >= 0 ? *s0 : static_cast<int64_t>(*s0) + *s;
    int64_t hi = *s >= 0 ? static_cast<int64_t>(*s0) + *s : *s0;
    int64_t span = hi - lo;
    if (span <= 0) return;
    int64_t cutLo = lo < 0 ? -lo : 0;
    int64_t cutHi = hi > nSize ? hi - nSize : 0;
    if (cutLo + cutHi >= span) {
        *n = 0;
        return;
    }
    int64_t dLo = cutLo * *n / span, dHi = cutHi * *n / span;
    if (*s >= 0) {
        *d += static_cast<int>(dLo);
        *n -= static_cast<int>(dLo + dHi);
        *s0 = static_cast<int>(lo + cutLo);
        *s = static_cast<int>(span - cutLo - cutHi);
    } else {
        *d += static_cast<int>(dHi);
        *n -= static_cast<int>(dLo + dHi);
        *s0 = static_cast<int>(hi - cutHi);
        *s = -static_cast<int>(span - cutLo - cutHi);
    }
}

// Cuts the destination span [d, d + n) to [0, nSize), moving and shrinking
// the source span in proportion (truncated).
static void CutScaledDest(int* d, int* n, int* s0, int* s, int nSize) {
    if (*n <= 0) return;
    int64_t cutLo = *d < 0 ? -static_cast<int64_t>(*d) : 0;
    int64_t cutHi = static_cast<int64_t>(*d) + *n > nSize ? static_cast<int64_t>(*d) + *n - nSize : 0;
    if (cutLo + cutHi >= *n) {
        *n = 0;
        return;
    }
    int64_t a = std::llabs(static_cast<long long>(*s));
    int64_t sLo = cutLo * a / *n, sHi = cutHi * a / *n;
    if (*s >= 0) {
        *s0 += static_cast<int>(sLo);
        *s -= static_cast<int>(sLo + sHi);
    } else {
        *s0 -= static_cast<int>(sLo);
        *s += static_cast<int>(sLo + sHi);
    }
    *d += static_cast<int>(cutLo);
    *n -= static_cast<int>(cutLo + cutHi);
}

int DDClipRect(DDSURFACEDATA* dst, int* x, int* y, int* w, int* h, DDSURFACEDATA* src, int* sx, int* sy, int* sw,
               int* sh) {
    if (*w <= 0 || *h <= 0 || *sw == 0 || *sh == 0 || !dst || !src) return 0;
    for (int v : {*x, *y, *w, *h, *sx, *sy, *sw, *sh})
        if (!InRange(v)) return 0;
    const int nSignW = *sw > 0 ? 1 : -1, nSignH = *sh > 0 ? 1 : -1;
    const int nSrcW = src->nWidth, nSrcH = src->nHeight, nDstW = dst->nWidth, nDstH = dst->nHeight;
    if (*sw == *w && *sh == *h) {
        // 1:1: a cut of the source moves the destination by the same amount.
        if (*sx < 0) { *x -= *sx; *w += *sx; *sx = 0; }
        if (static_cast<int64_t>(*sx) + *w > nSrcW) *w = nSrcW - *sx;
        if (*x < 0) { *sx -= *x; *w += *x; *x = 0; }
        if (static_cast<int64_t>(*x) + *w > nDstW) *w = nDstW - *x;
        if (*sy < 0) { *y -= *sy; *h += *sy; *sy = 0; }
        if (static_cast<int64_t>(*sy) + *h > nSrcH) *h = nSrcH - *sy;
        if (*y < 0) { *sy -= *y; *h += *y; *y = 0; }
        if (static_cast<int64_t>(*y) + *h > nDstH) *h = nDstH - *y;
        *sw = *w;
        *sh = *h;
        return (*w > 0 && *h > 0) ? 1 : 0;
    }
    CutScaledSource(x, w, sx, sw, nSrcW);
    CutScaledSource(y, h, sy, sh, nSrcH);
    bool bMirror = *sw < 0 || *sh < 0;
    if (!(lpDTCon && bMirror)) {
        CutScaledDest(x, w, sx, sw, nDstW);
        CutScaledDest(y, h, sy, sh, nDstH);
    }
    if (*w <= 0 || *h <= 0) return 0;
    if (*sw == 0 || *sh == 0) return 0;
    return ((*sw > 0 ? 1 : -1) == nSignW && (*sh > 0 ? 1 : -1) == nSignH) ? 1 : 0;
}

void DDDrawQuad(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                int nFlags, uint32_t dwColor, int nColorOp, int nAlphaOp, int nPart) {
    DDPIXELS* d = DDGetPixels(dst);
    DDPIXELS* s = DDGetPixels(src);
    if (!d || !s || d->vData.empty() || s->vData.empty()) return;
    AxisMap mx, my;
    if (!BuildAxis(mx, x, w, sx, sw, ClipW(dst, d), std::min(src->nWidth, s->nWidth))) return;
    if (!BuildAxis(my, y, h, sy, sh, ClipH(dst, d), std::min(src->nHeight, s->nHeight))) return;
    if (nPart != DDQUAD_DRAW && nFlags == 0 && src->lpDT && src->lpDT->bColorKey) {
        // An unkeyed copy of a keyed image copies its transparency too.
        uint32_t v = DDPackARGB(d->nFormat, dst == &BackBuffer ? lpDTCon->dwTransmitBack : lpDTCon->dwTransmit);
        FillRaw(*d, mx.d0, my.d0, mx.d1, my.d1, v);
    }
    if (nPart != DDQUAD_CLEAR) DrawDevice(*d, mx, my, *s, dwColor, nColorOp, nAlphaOp);
}

void DDDrawFill(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t dwColor) {
    DDPIXELS* d = DDGetPixels(dst);
    if (!d || d->vData.empty()) return;
    if (!CutRect(x, y, w, h, ClipW(dst, d), ClipH(dst, d))) return;
    FillRaw(*d, x, y, x + w, y + h, DDPackARGB(d->nFormat, dwColor | 0xFF000000u));
}

int DDStretchBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                 int nFlags) {
    DDMirrorFixup(src, &sx, &sy, &sw, &sh);
    if (!dst || !src) return 0;
    if (!lpDTCon) {
        int cx = x, cy = y, cw = w, ch = h, csx = sx, csy = sy, csw = sw, csh = sh;
        if (!DDClipRect(dst, &cx, &cy, &cw, &ch, src, &csx, &csy, &csw, &csh)) return 0;
        DDPIXELS* d = DDGetPixels(dst);
        DDPIXELS* s = DDGetPixels(src);
        if (!d || !s) return static_cast<int>(0x88760096u);  // no surface
        if (d->bLost || s->bLost) return static_cast<int>(0x887601C2u);
        AxisMap mx, my;
        if (!BuildAxis(mx, cx, cw, csx, csw, ClipW(dst, d), std::min(src->nWidth, s->nWidth))) return 0;
        if (!BuildAxis(my, cy, ch, csy, csh, ClipH(dst, d), std::min(src->nHeight, s->nHeight))) return 0;
        bool bKey = nFlags == 1 && src->lpDDS && src->lpDDS->bColorKey;
        CopyLocked(*d, mx, my, *s, bKey, false, bKey ? src->lpDDS->dwColorKey : 0, false);
        return 0;
    }
    DDResolveShared(&dst);
    DDResolveShared(&src);
    if (lpDTCon->bVirCopy) {
        dst = &BackBuffer;
        src = &VirBackBuffer;
    } else {
        DDRedirectBackBuffer(&dst);
        DDRedirectBackBuffer(&src);
    }
    if (IsRenderTarget(dst) && !IsSystemTexture(src)) {
        int cx = x, cy = y, cw = w, ch = h, csx = sx, csy = sy, csw = sw, csh = sh;
        if (!DDClipRect(dst, &cx, &cy, &cw, &ch, src, &csx, &csy, &csw, &csh)) return 0;
        BLTENTRY e;
        e.lpDst = dst;
        e.lpSrc = src;
        e.x = x; e.y = y; e.w = w; e.h = h;
        e.sx = sx; e.sy = sy; e.sw = sw; e.sh = sh;
        e.nFlags = nFlags;
        e.dwBltColor = lpDTCon->dwBltColor;
        e.nBltColorOp = lpDTCon->nBltColorOp;
        e.nBltAlphaOp = lpDTCon->nBltAlphaOp;
        if (DDBatchCollectBlt(e)) return 0;
        DDBeginScene();
        if (!DDSetRenderTarget(dst)) return static_cast<int>(0x8876086Cu);
        DDDrawQuad(dst, x, y, w, h, src, sx, sy, sw, sh, nFlags, lpDTCon->dwBltColor, lpDTCon->nBltColorOp,
                   lpDTCon->nBltAlphaOp);
        return 0;
    }
    // Locked pixels.
    cSurfaceLock lockSrc(src);
    cSurfaceLock lockDst(dst);
    if (!lockSrc.IsLocked() || !lockDst.IsLocked()) return static_cast<int>(0x8876086Cu);
    DDPIXELS& d = *lockDst.m_lpPixels;
    DDPIXELS& s = *lockSrc.m_lpPixels;
    AxisMap mx, my;
    if (!BuildAxis(mx, x, w, sx, sw, ClipW(lockDst.m_lpSD, &d), std::min(lockSrc.m_lpSD->nWidth, s.nWidth))) return 0;
    if (!BuildAxis(my, y, h, sy, sh, ClipH(lockDst.m_lpSD, &d), std::min(lockSrc.m_lpSD->nHeight, s.nHeight))) return 0;
    bool bToBack = DDIsFullScreenBack(lockDst.m_lpSD) && d.nFormat == DDFMT_R5G6B5;
    CopyLocked(d, mx, my, s, nFlags == 1, true, 0, bToBack);
    return 0;
}

int DDBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nFlags) {
    if (lpDTCon) return DDStretchBlt(dst, x, y, w, h, src, sx, sy, w, h, nFlags);
    if (!dst || !src) return 0;
    int cx = x, cy = y, cw = w, ch = h, csx = sx, csy = sy, csw = w, csh = h;
    if (!DDClipRect(dst, &cx, &cy, &cw, &ch, src, &csx, &csy, &csw, &csh)) return 0;
    DDPIXELS* d = DDGetPixels(dst);
    DDPIXELS* s = DDGetPixels(src);
    if (!d || !s) return static_cast<int>(0x88760096u);
    if (d->bLost || s->bLost) return static_cast<int>(0x887601C2u);
    AxisMap mx, my;
    if (!BuildAxis(mx, cx, cw, csx, cw, ClipW(dst, d), std::min(src->nWidth, s->nWidth))) return 0;
    if (!BuildAxis(my, cy, ch, csy, ch, ClipH(dst, d), std::min(src->nHeight, s->nHeight))) return 0;
    bool bKey = nFlags == 1 && src->lpDDS && src->lpDDS->bColorKey;
    CopyLocked(*d, mx, my, *s, bKey, false, bKey ? src->lpDDS->dwColorKey : 0, false);
    return 0;
}

void DDBltColor(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nFlags,
                const int* lpColorPair) {
    DDStretchBltColor(dst, x, y, w, h, src, sx, sy, w, h, nFlags, lpColorPair);
}

void DDStretchBltColor(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw,
                       int sh, int nFlags, const int* lpColorPair) {
    if (!lpDTCon || !lpColorPair) {
        if (sw == w && sh == h) DDBlt(dst, x, y, w, h, src, sx, sy, nFlags);
        else DDStretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, nFlags);
        return;
    }
    lpDTCon->dwBltColor = static_cast<uint32_t>(lpColorPair[0]);
    lpDTCon->nBltColorOp = lpColorPair[1];
    DDStretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, nFlags);
    DDResetBltColor();
    DDResetBltColorOp();
}

void DDSetBltColor(uint32_t dwColor) { if (lpDTCon) lpDTCon->dwBltColor = dwColor; }
void DDResetBltColor() { if (lpDTCon) lpDTCon->dwBltColor = 0xFFFFFFFFu; }
void DDSetBltColorOp(int nOp) { if (lpDTCon) lpDTCon->nBltColorOp = nOp; }
void DDResetBltColorOp() { if (lpDTCon) lpDTCon->nBltColorOp = D3DTOP_MODULATE; }
void DDSetBltAlphaOp(int nOp) { if (lpDTCon) lpDTCon->nBltAlphaOp = nOp; }
void DDResetBltAlphaOp() { if (lpDTCon) lpDTCon->nBltAlphaOp = D3DTOP_SELECTARG1; }

int DDFillRect(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t dwPalNum) {
    if (lpDTCon) return DDFillRectRGB(dst, x, y, w, h, PalNumToRGB(dwPalNum));
    DDPIXELS* d = DDGetPixels(dst);
    if (!d) return static_cast<int>(0x88760096u);
    if (d->bLost) return static_cast<int>(0x887601C2u);
    if (!CutRect(x, y, w, h, ClipW(dst, d), ClipH(dst, d))) return 0;
    FillRaw(*d, x, y, x + w, y + h, PalNumToRGB(dwPalNum));
    return 0;
}

int DDFillRectRGB(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t dwValue) {
    if (!lpDTCon) {
        DDPIXELS* d = DDGetPixels(dst);
        if (!d) return static_cast<int>(0x88760096u);
        if (!CutRect(x, y, w, h, ClipW(dst, d), ClipH(dst, d))) return 0;
        FillRaw(*d, x, y, x + w, y + h, dwValue);
        return 0;
    }
    if (!dst) return 0;
    DDResolveShared(&dst);
    DDRedirectBackBuffer(&dst);
    DDPIXELS* d = DDGetPixels(dst);
    if (!d || d->vData.empty()) return static_cast<int>(0x8876086Cu);
    if (!CutRect(x, y, w, h, ClipW(dst, d), ClipH(dst, d))) return 0;
    if (IsRenderTarget(dst)) {
        uint32_t dwClear = dst == &BackBuffer ? lpDTCon->dwTransmitBack : lpDTCon->dwTransmit;
        if (dst->lpDT->bColorKey && dwValue == dwClear) {
            // Filling a keyed surface with the transparent colour makes it transparent.
            DDBeginScene();
            FillRaw(*d, x, y, x + w, y + h, DDPackARGB(d->nFormat, dwValue));
            return 0;
        }
        FILLENTRY e;
        e.lpDst = dst;
        e.x = x; e.y = y; e.w = w; e.h = h;
        e.dwColor = dwValue;
        if (DDBatchCollectFill(e)) return 0;
        DDBeginScene();
        uint32_t a = dwValue >> 24;
        if (a == 255) {
            FillRaw(*d, x, y, x + w, y + h, DDPackARGB(d->nFormat, dwValue));
        } else if (a != 0) {
            for (int yy = y; yy < y + h; yy++)
                for (int xx = x; xx < x + w; xx++)
                    DDPutRaw(*d, xx, yy, DDPackARGB(d->nFormat, Blend(dwValue, FetchARGB(*d, xx, yy))));
        }
        return 0;
    }
    // Locked pixels: at 16 bits each channel is value * max / 255, truncated.
    uint32_t v = dwValue;
    if (d->nBytes == 2) {
        DDPIXELFORMAT pf = DDIsFullScreenBack(dst) ? pfBack : DDFormatChannels(d->nFormat);
        v = DDPackByFormat(pf, dwValue, false);
    } else if (d->nFormat == DDFMT_X8R8G8B8) {
        v = dwValue & 0x00FFFFFFu;
    }
    FillRaw(*d, x, y, x + w, y + h, v);
    return 0;
}

int DDClear(DDSURFACEDATA* dst, uint32_t dwPalNum) {
    if (!dst) return 0;
    return DDFillRect(dst, 0, 0, dst->nWidth, dst->nHeight, dwPalNum);
}

int DDFillTransparent(DDSURFACEDATA* dst, int x, int y, int w, int h) {
    if (!dst) return 0;
    if (!lpDTCon && dst->lpDDS && dst->lpDDS->bColorKey) return DDFillRectRGB(dst, x, y, w, h, dst->lpDDS->dwColorKey);
    return DDFillRect(dst, x, y, w, h, 0);
}

int DDClearRGB(DDSURFACEDATA* dst, uint32_t dwValue) {
    if (!dst) return 0;
    return DDFillRectRGB(dst, 0, 0, dst->nWidth, dst->nHeight, dwValue);
}

void DDPlotPixel(DDSURFACEDATA* dst, int x, int y, uint32_t dwPalNum) {
    if (lpDTCon) {
        DDFillRect(dst, x, y, 1, 1, dwPalNum);
        return;
    }
    DDPIXELS* d = DDGetPixels(dst);
    if (!d || x < 0 || y < 0 || x >= ClipW(dst, d) || y >= ClipH(dst, d)) return;
    DDPutRaw(*d, x, y, PalNumToRGB(dwPalNum));
}

void DDCircle(DDSURFACEDATA* dst, int cx, int cy, int r, uint32_t dwPalNum) {
    // Radii and centres beyond the coordinate range draw nothing (the walk
    // is as long as the radius).
    if (r < 1 || !dst || r > kMaxCoord || !InRange(cx) || !InRange(cy)) return;
    int64_t x = 0, yy = r, d = 3 - 2 * static_cast<int64_t>(r);
    auto plot = [&](int64_t px, int64_t py) {
        if (px < 0 || py < 0 || px >= dst->nWidth || py >= dst->nHeight) return;
        DDPlotPixel(dst, static_cast<int>(px), static_cast<int>(py), dwPalNum);
    };
    while (x <= yy) {
        plot(cx + x, cy + yy); plot(cx - x, cy + yy); plot(cx + x, cy - yy); plot(cx - x, cy - yy);
        plot(cx + yy, cy + x); plot(cx - yy, cy + x); plot(cx + yy, cy - x); plot(cx - yy, cy - x);
        if (d < 0) {
            d += 4 * x + 6;
        } else {
            d += 4 * (x - yy) + 10;
            yy--;
        }
        x++;
    }
}
