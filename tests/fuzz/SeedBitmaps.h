#pragma once
// Seed bitmaps of the bitmap target, written here byte by byte: every depth
// a file may have (1, 4, 8, 16, 24, 32 bits), the OS/2 core header (12
// bytes, three-byte colour entries) at the depths it allows, bit-field masks,
// a top-down image and both run-length compressions with every kind of code
// (runs, literal runs, line ends, a jump, the end).
#include <cstdint>
#include <vector>

#include "FuzzTarget.h"
#include "support/ByteBuilder.h"

struct SEEDBMP {
    int nWidth = 0;
    int nHeight = 0;          // negative: rows stored top down
    int nBpp = 8;
    bool bCore = false;       // the 12-byte OS/2 header
    uint32_t nCompression = 0;
    std::vector<uint32_t> vColors;   // 0x00RRGGBB
    std::vector<uint32_t> vMasks;    // red, green, blue masks (bit fields)
    std::vector<uint8_t> vPixels;    // the pixel data as stored
};

// The file of b: file header, info header, colour table (or masks), pixels.
inline FUZZBYTES WriteSeedBmp(const SEEDBMP& b) {
    const uint32_t nInfo = b.bCore ? 12 : 40;
    const uint32_t nEntry = b.bCore ? 3 : 4;
    const uint32_t nTable = static_cast<uint32_t>(b.vColors.size()) * nEntry + static_cast<uint32_t>(b.vMasks.size()) * 4;
    const uint32_t nOff = 14 + nInfo + nTable;
    cByteBuilder f;
    f.U8('B').U8('M').U32(nOff + static_cast<uint32_t>(b.vPixels.size())).U16(0).U16(0).U32(nOff);
    if (b.bCore) {
        f.U32(12).U16(static_cast<uint16_t>(b.nWidth)).U16(static_cast<uint16_t>(b.nHeight)).U16(1).U16(static_cast<uint16_t>(b.nBpp));
    } else {
        f.U32(40).I32(b.nWidth).I32(b.nHeight).U16(1).U16(static_cast<uint16_t>(b.nBpp)).U32(b.nCompression);
        f.U32(static_cast<uint32_t>(b.vPixels.size())).I32(2835).I32(2835).U32(static_cast<uint32_t>(b.vColors.size())).U32(0);
    }
    for (uint32_t m : b.vMasks) f.U32(m);
    for (uint32_t c : b.vColors) {
        f.U8(static_cast<uint8_t>(c)).U8(static_cast<uint8_t>(c >> 8)).U8(static_cast<uint8_t>(c >> 16));
        if (!b.bCore) f.U8(0);
    }
    f.Raw(b.vPixels.data(), b.vPixels.size());
    return f.Bytes();
}

// Uncompressed rows of a w x h image whose pixel (x, y) is fn(x, y) (an
// index below 8 bits, else the stored value), each row padded to 4 bytes.
template <class F>
std::vector<uint8_t> SeedRows(int w, int h, int bpp, F fn) {
    const size_t nRow = static_cast<size_t>((w * bpp + 31) / 32) * 4;
    std::vector<uint8_t> v;
    for (int y = 0; y < h; ++y) {
        std::vector<uint8_t> row(nRow, 0);
        for (int x = 0; x < w; ++x) {
            uint32_t p = fn(x, y);
            if (bpp < 8) {
                int nBit = x * bpp;
                row[static_cast<size_t>(nBit / 8)] |= static_cast<uint8_t>(p << (8 - bpp - nBit % 8));
            } else {
                for (int k = 0; k < bpp / 8; ++k) row[static_cast<size_t>(x * (bpp / 8) + k)] = static_cast<uint8_t>(p >> (8 * k));
            }
        }
        v.insert(v.end(), row.begin(), row.end());
    }
    return v;
}

inline std::vector<FUZZBYTES> MakeSeedBitmaps() {
    std::vector<FUZZBYTES> v;
    std::vector<uint32_t> v16Colors, v256Colors;
    for (uint32_t i = 0; i < 16; ++i) v16Colors.push_back(i * 0x110F0D);
    for (uint32_t i = 0; i < 256; ++i) v256Colors.push_back(i << 16 | (255 - i) << 8 | (i * 7 & 0xFF));
    auto index = [](int nColors) { return [nColors](int x, int y) { return static_cast<uint32_t>((x + 2 * y) % nColors); }; };

    // Every depth with the 40-byte header; odd widths leave row padding.
    for (int bpp : {1, 4, 8}) {
        SEEDBMP b;
        b.nWidth = 9;
        b.nHeight = 3;
        b.nBpp = bpp;
        b.vColors = bpp == 1 ? std::vector<uint32_t>{0x102030, 0xF0E0D0} : bpp == 4 ? v16Colors : v256Colors;
        b.vPixels = SeedRows(b.nWidth, b.nHeight, bpp, index(1 << bpp));
        v.push_back(WriteSeedBmp(b));
        // The same image under the OS/2 header.
        b.bCore = true;
        v.push_back(WriteSeedBmp(b));
    }
    {
        SEEDBMP b;   // 16 bits, 5-5-5 without masks
        b.nWidth = 3;
        b.nHeight = 2;
        b.nBpp = 16;
        b.vPixels = SeedRows(3, 2, 16, [](int x, int y) { return static_cast<uint32_t>(0x7C00 >> (5 * x) | y); });
        v.push_back(WriteSeedBmp(b));
        b.nCompression = 3;   // 5-6-5 masks
        b.vMasks = {0xF800, 0x07E0, 0x001F};
        v.push_back(WriteSeedBmp(b));
    }
    for (bool bCore : {false, true}) {
        SEEDBMP b;   // 24 bits
        b.nWidth = 5;
        b.nHeight = 2;
        b.nBpp = 24;
        b.bCore = bCore;
        b.vPixels = SeedRows(5, 2, 24, [](int x, int y) { return static_cast<uint32_t>(0x203040 * (x + 1) + y); });
        v.push_back(WriteSeedBmp(b));
    }
    {
        SEEDBMP b;   // 32 bits, top down, then with masks
        b.nWidth = 2;
        b.nHeight = -3;
        b.nBpp = 32;
        b.vPixels = SeedRows(2, 3, 32, [](int x, int y) { return static_cast<uint32_t>(0x00FF0000 >> (8 * x) | y); });
        v.push_back(WriteSeedBmp(b));
        b.nHeight = 3;
        b.nCompression = 3;
        b.vMasks = {0x00FF0000, 0x0000FF00, 0x000000FF};
        v.push_back(WriteSeedBmp(b));
    }
    {
        // Run-length 8, 6 x 3: a run of 3 and a literal run of 3 (padded to
        // a word), a line end; a run of 6, a line end; a jump of (2, 0),
        // a run of 2, the end.
        SEEDBMP b;
        b.nWidth = 6;
        b.nHeight = 3;
        b.nBpp = 8;
        b.nCompression = 1;
        b.vColors = v256Colors;
        b.vPixels = {3, 7, 0, 3, 9, 10, 11, 0, 0, 0, 6, 1, 0, 0, 0, 2, 2, 0, 2, 5, 0, 1};
        v.push_back(WriteSeedBmp(b));
    }
    {
        // Run-length 4, 7 x 2: a run of 3 alternating two colours, a
        // literal run of 4 nibbles, a line end; a run of 7, the end.
        SEEDBMP b;
        b.nWidth = 7;
        b.nHeight = 2;
        b.nBpp = 4;
        b.nCompression = 2;
        b.vColors = v16Colors;
        b.vPixels = {3, 0x12, 0, 4, 0x34, 0x56, 0, 0, 7, 0xAF, 0, 1};
        v.push_back(WriteSeedBmp(b));
    }
    return v;
}
