#pragma once
// Test helpers of the drawing layer: profiles without a window, a palette
// whose colours survive every depth, surfaces filled with palette indices,
// and a byte builder of bitmap files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/DD.h"
#include "support/ByteBuilder.h"

struct DDPROFILE {
    int nBackEnd;   // 0 DirectDraw, 1 Direct3D
    int nBpp;
    int bWindowed;
    const char* pszName;
};

inline std::string DDProfileName(const testing::TestParamInfo<DDPROFILE>& info) { return info.param.pszName; }

// Every supported configuration.
inline std::vector<DDPROFILE> DDAllProfiles() {
    return {{1, 32, 1, "D3D32"}, {1, 16, 0, "D3D16"}, {0, 8, 0, "DD8"}, {0, 16, 0, "DD16"}, {0, 32, 0, "DD32"},
            {0, 32, 1, "DDWin32"}};
}

// Sets the palette table so that entry i keeps its identity at every depth:
// red field i & 31, green field i >> 5 (five-bit scale), blue field 5. Under
// DirectDraw at 16 bits the table holds raw fields, elsewhere 8-bit values.
inline void DDSetTestPalette() {
    for (int i = 0; i < 256; i++) {
        uint32_t r = i & 31, g = (i >> 5) & 7, b = 5;
        if (!lpDTCon && nScreenBpp == 16) {
            aPalette[i] = {uint8_t(r), uint8_t(g), uint8_t(b), 0};
        } else {
            aPalette[i] = {uint8_t(r * 255 / 31), uint8_t(g * 255 / 31), uint8_t(b * 255 / 31), 0};
        }
        aPalEntry[i] = aPalette[i];
    }
}

// Starts a profile on a small screen; the transparent colour is palette
// entry 0 (DirectDraw) or alpha 0 (Direct3D).
inline bool DDStartProfile(const DDPROFILE& p, int nWidth = 32, int nHeight = 32) {
    DDGetHostDisplay() = DDHOSTDISPLAY();
    if (!DDInit(p.nBackEnd, nullptr, nWidth, nHeight, p.nBpp, 0, p.bWindowed, 1, 60, 0, nullptr, nullptr, 0)) return false;
    DDSetTestPalette();
    if (!lpDTCon) dwTransColor = PalNumToRGB(0);
    return true;
}

// The raw value of palette index i in a surface's storage format.
inline uint32_t DDRawOfIndex(DDSURFACEDATA* sd, int i) {
    uint32_t v = PalNumToRGB(static_cast<uint32_t>(i));
    if (!lpDTCon) return v;
    return DDPackARGB(DDSurfaceFormat(sd), v);
}

// The palette index a pixel holds, or -1 when it matches none.
inline int DDIndexAt(DDSURFACEDATA* sd, int x, int y) {
    DDPIXELS* p = DDGetPixels(sd);
    if (!p) return -2;
    uint32_t v = DDGetRaw(*p, x, y);
    for (int i = 0; i < 256; i++)
        if (DDRawOfIndex(sd, i) == v) return i;
    return -1;
}

// Writes palette indices (row-major, w * h) into a surface.
inline void DDPutIndices(DDSURFACEDATA* sd, int w, int h, const std::vector<int>& v) {
    DDPIXELS* p = DDGetPixels(sd);
    ASSERT_NE(p, nullptr);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) DDPutRaw(*p, x, y, DDRawOfIndex(sd, v[static_cast<size_t>(y) * w + x]));
}

// Makes *sd anew as a w x h sheet whose pixel (x, y) is the palette index fn(x, y).
template <class FN>
void DDMakeIndexSheet(DDSURFACEDATA* sd, int w, int h, FN fn) {
    DDReleaseSurface(sd);
    ASSERT_TRUE(DDCreateSurface(sd, w, h, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    std::vector<int> v(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) v[static_cast<size_t>(y) * w + x] = fn(x, y);
    DDPutIndices(sd, w, h, v);
}

// The indices of a w x h area at (0, 0).
inline std::vector<int> DDGetIndices(DDSURFACEDATA* sd, int w, int h) {
    std::vector<int> v;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) v.push_back(DDIndexAt(sd, x, y));
    return v;
}

// A surface that blits draw into: a render-target texture under Direct3D,
// a plain surface under DirectDraw.
inline bool DDMakeTarget(DDSURFACEDATA* sd, int w, int h, int bColorKey = 0) {
    return DDCreateSurface(sd, w, h, bColorKey, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0);
}

// ---- bitmap files, assembled byte by byte ----
inline std::vector<uint8_t> DDBuildBmp(int w, int h, int bpp, const std::vector<uint32_t>& colors,
                                       const std::vector<uint32_t>& pixelsTopDown, bool bTopDown = false) {
    int nColors = static_cast<int>(colors.size());
    int nRow = ((w * bpp + 31) / 32) * 4;
    int nOff = 14 + 40 + nColors * 4;
    cByteBuilder b;
    b.U8('B').U8('M').U32(static_cast<uint32_t>(nOff + nRow * h)).U16(0).U16(0).U32(static_cast<uint32_t>(nOff));
    b.U32(40).I32(w).I32(bTopDown ? -h : h).U16(1).U16(static_cast<uint16_t>(bpp)).U32(0)
        .U32(static_cast<uint32_t>(nRow * h)).I32(2835).I32(2835).U32(static_cast<uint32_t>(nColors)).U32(0);
    for (uint32_t c : colors) b.U8(uint8_t(c)).U8(uint8_t(c >> 8)).U8(uint8_t(c >> 16)).U8(0);
    for (int r = 0; r < h; r++) {
        int y = bTopDown ? r : h - 1 - r;
        std::vector<uint8_t> row(static_cast<size_t>(nRow), 0);
        for (int x = 0; x < w; x++) {
            uint32_t v = pixelsTopDown[static_cast<size_t>(y) * w + x];
            if (bpp == 8) row[x] = uint8_t(v);
            else if (bpp == 24) { row[3 * x] = uint8_t(v); row[3 * x + 1] = uint8_t(v >> 8); row[3 * x + 2] = uint8_t(v >> 16); }
            else if (bpp == 32) { row[4 * x] = uint8_t(v); row[4 * x + 1] = uint8_t(v >> 8); row[4 * x + 2] = uint8_t(v >> 16); row[4 * x + 3] = 0; }
        }
        b.Raw(row.data(), row.size());
    }
    return b.Bytes();
}
