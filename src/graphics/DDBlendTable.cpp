#include "graphics/DDBlendTable.h"

namespace {

int NearestEntry(const PALETTEENTRY* pal, int r, int g, int b)
{
    int nBest = BLEND_FIRST_RESULT;
    long long nBestDist = -1;
    for (int i = BLEND_FIRST_RESULT; i < 256; i++) {
        long long dr = pal[i].peRed - r, dg = pal[i].peGreen - g, db = pal[i].peBlue - b;
        long long d = dr * dr + dg * dg + db * db;
        if (nBestDist < 0 || d < nBestDist) {
            nBest = i;
            nBestDist = d;
        }
    }
    return nBest;
}

}  // namespace

void DDBuildBlendTable(const PALETTEENTRY* pal, uint8_t* lpTable)
{
    for (int a = 0; a < 256; a++) {
        lpTable[a * 256 + a] = static_cast<uint8_t>(a);
        lpTable[a * 256] = static_cast<uint8_t>(a);
        lpTable[a] = static_cast<uint8_t>(a);
    }
    // The halfway colour is the same both ways, so each pair is searched once.
    for (int a = 1; a < 256; a++) {
        for (int b = a + 1; b < 256; b++) {
            int r = (pal[a].peRed + pal[b].peRed) / 2;
            int g = (pal[a].peGreen + pal[b].peGreen) / 2;
            int bl = (pal[a].peBlue + pal[b].peBlue) / 2;
            uint8_t v = static_cast<uint8_t>(NearestEntry(pal, r, g, bl));
            lpTable[a * 256 + b] = v;
            lpTable[b * 256 + a] = v;
        }
    }
}
