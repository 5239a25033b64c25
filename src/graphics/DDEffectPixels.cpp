#include "graphics/DDEffectPixels.h"

__attribute__((target_clones("avx2", "default"), optimize("O3"))) void FxBlendRow(uint32_t* lpDst, const uint32_t* lpStaged, int n,
                                                                 uint32_t nDstOr, uint32_t nDstMask)
{
    for (int i = 0; i < n; i++) {
        const uint32_t c = lpStaged[i], d0 = lpDst[i], d = d0 | nDstOr;
        const uint32_t a = c >> 24, na = 255u - a;
        // Two channels at a time, 16 bits apart (see FxBlend).
        uint32_t rb = (c & 0x00FF00FFu) * a + (d & 0x00FF00FFu) * na + 0x007F007Fu;
        uint32_t ag = ((c >> 8) & 0x00FF00FFu) * a + ((d >> 8) & 0x00FF00FFu) * na + 0x007F007Fu;
        rb = ((rb + 0x00010001u + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
        ag = ((ag + 0x00010001u + ((ag >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
        const uint32_t out = (rb | ag << 8) & nDstMask;
        lpDst[i] = a == 0 ? d0 : out;
    }
}
