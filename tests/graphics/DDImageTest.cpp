// Bitmap decoding, image loading per profile, colour keys of loaded images,
// mirrored sheets, palettes and the transparent colour read from files.
#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "support/ByteBuilder.h"
#include "support/DDTestSupport.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

std::vector<uint32_t> Gradient(int w, int h) {
    std::vector<uint32_t> v;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) v.push_back(uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x40);
    return v;
}

TEST(DDBitmap, DecodesGeneratedFiles) {
    DDBITMAP bmp;
    auto b8 = DDBuildBmp(3, 2, 8, {0x112233, 0x445566}, {0, 1, 0, 1, 1, 0});
    ASSERT_TRUE(DDReadBitmapMemory(b8.data(), b8.size(), &bmp));
    EXPECT_EQ(bmp.nWidth, 3);
    EXPECT_EQ(bmp.nHeight, 2);
    EXPECT_EQ(bmp.nFileBpp, 8);
    ASSERT_EQ(bmp.vColors.size(), 256u);
    EXPECT_EQ(bmp.vColors[1].peRed, 0x44);
    EXPECT_EQ(bmp.vColors[2].peRed, 0) << "a short colour table is padded with black";
    EXPECT_EQ(bmp.vIndex, (std::vector<uint8_t>{0, 1, 0, 1, 1, 0}));
    EXPECT_EQ(bmp.vRGB[1], 0x445566u);
    for (int bpp : {24, 32}) {
        auto b = DDBuildBmp(5, 3, bpp, {}, Gradient(5, 3));
        ASSERT_TRUE(DDReadBitmapMemory(b.data(), b.size(), &bmp)) << bpp;
        EXPECT_EQ(bmp.vRGB, Gradient(5, 3));
        EXPECT_EQ(bmp.nFileBpp, bpp);
    }
    auto bt = DDBuildBmp(2, 2, 24, {}, {1, 2, 3, 4}, true);
    ASSERT_TRUE(DDReadBitmapMemory(bt.data(), bt.size(), &bmp));
    EXPECT_EQ(bmp.vRGB, (std::vector<uint32_t>{1, 2, 3, 4}));
}

TEST(DDBitmap, RefusesMalformedFiles) {
    auto good = DDBuildBmp(4, 4, 24, {}, Gradient(4, 4));
    auto put32 = [](std::vector<uint8_t> v, size_t at, uint32_t x) {
        for (int i = 0; i < 4; i++) v[at + i] = uint8_t(x >> (8 * i));
        return v;
    };
    auto put16 = [](std::vector<uint8_t> v, size_t at, uint16_t x) {
        v[at] = uint8_t(x);
        v[at + 1] = uint8_t(x >> 8);
        return v;
    };
    std::vector<std::pair<const char*, std::vector<uint8_t>>> bad = {
        {"truncated pixels", std::vector<uint8_t>(good.begin(), good.end() - 5)},
        {"truncated header", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
        {"empty", {}},
        {"bad magic", put16(good, 0, 0x4D41)},
        {"zero width", put32(good, 18, 0)},
        {"absurd width", put32(good, 18, 100000)},
        {"absurd height", put32(good, 22, 0x80000001u)},
        {"bit count 7", put16(good, 28, 7)},
        {"offset past the end", put32(good, 10, 100000)},
        {"unknown compression", put32(good, 30, 9)},
        {"info size past the end", put32(good, 14, 100000)},
    };
    auto b8 = DDBuildBmp(2, 2, 8, {0, 0}, {0, 1, 1, 0});
    bad.push_back({"colour table longer than 256", put32(b8, 46, 300)});
    DDBITMAP bmp;
    for (auto& [name, bytes] : bad) EXPECT_FALSE(DDReadBitmapMemory(bytes.data(), bytes.size(), &bmp)) << name;
    EXPECT_FALSE(DDReadBitmap("no such file.bmp", &bmp));
}

// An 8-bit run-length compressed file: header, a two-colour table, then the
// codes (bottom row first).
std::vector<uint8_t> Rle8Bmp(int32_t w, int32_t h, uint16_t bpp, uint32_t nCompression, const std::vector<uint8_t>& codes) {
    uint32_t nOff = 14 + 40 + 2 * 4;
    cByteBuilder b;
    b.U8('B').U8('M').U32(nOff + static_cast<uint32_t>(codes.size())).U16(0).U16(0).U32(nOff);
    b.U32(40).I32(w).I32(h).U16(1).U16(bpp).U32(nCompression).U32(static_cast<uint32_t>(codes.size()))
        .I32(2835).I32(2835).U32(2).U32(0);
    b.U32(0x000000).U32(0xFF8040);
    b.Raw(codes.data(), codes.size());
    return b.Bytes();
}

TEST(DDBitmap, DecodesRunLengthCompressedFiles) {
    // 3 x 2: bottom row "1 1 0" (a run of two 1s, a run of one 0), end of
    // line; top row "0 0 1" (a run of two 0s, one 1), end of bitmap.
    auto v = Rle8Bmp(3, 2, 8, 1, {2, 1, 1, 0, 0, 0, 2, 0, 1, 1, 0, 1});
    DDBITMAP bmp;
    std::string strReason;
    ASSERT_TRUE(DDReadBitmapMemory(v.data(), v.size(), &bmp, &strReason)) << strReason;
    EXPECT_EQ(bmp.nWidth, 3);
    EXPECT_EQ(bmp.nHeight, 2);
    EXPECT_EQ(bmp.vIndex, (std::vector<uint8_t>{0, 0, 1, 1, 1, 0}));
}

// Files whose header promises more than a surface or the file can hold are
// refused before anything is allocated for their pixels, with the reason.
TEST(DDBitmap, RefusesDeclaredSizesBeforeAllocating) {
    struct CASE {
        const char* pszName;
        std::vector<uint8_t> bytes;
        const char* pszReason;
    };
    const std::vector<uint8_t> endOfBitmap = {0, 1};
    std::vector<CASE> cases = {
        // 64 bytes declaring 16384 x 16384 pixels.
        {"tiny RLE8 file of 16384 x 16384", Rle8Bmp(16384, 16384, 8, 1, endOfBitmap), "surface"},
        {"RLE8 flag on a 32-bit file", Rle8Bmp(64, 64, 32, 1, endOfBitmap), "8-bit run-length"},
        {"RLE8 flag on a 4-bit file", Rle8Bmp(4, 4, 4, 1, endOfBitmap), "8-bit run-length"},
        {"RLE4 flag on an 8-bit file", Rle8Bmp(4, 4, 8, 2, endOfBitmap), "4-bit run-length"},
        {"bit fields on a 24-bit file", Rle8Bmp(1, 1, 24, 3, {0, 0, 0, 0}), "bit-field"},
        // 2 bytes of codes hold at most 255 pixels; 64 x 64 is far more.
        {"RLE8 data far too short", Rle8Bmp(64, 64, 8, 1, endOfBitmap), "compressed data"},
        {"RLE8 of a top-down image", Rle8Bmp(2, -2, 8, 1, {2, 1, 0, 0, 2, 1, 0, 1}), "top-down"},
        {"uncompressed 8192 x 8192 header", Rle8Bmp(8192, 8192, 8, 0, endOfBitmap), "surface"},
    };
    for (const CASE& c : cases) {
        DDBITMAP bmp;
        bmp.nWidth = 77;
        std::string strReason;
        EXPECT_FALSE(DDReadBitmapMemory(c.bytes.data(), c.bytes.size(), &bmp, &strReason)) << c.pszName;
        EXPECT_NE(strReason.find(c.pszReason), std::string::npos) << c.pszName << ": " << strReason;
        EXPECT_EQ(bmp.nWidth, 77) << c.pszName << ": a refusal leaves the bitmap as it was";
    }
}

// Every refusal writes the file and the reason to the report log, the
// refusal of a full-colour file on an 8-bit screen included.
TEST(DDBitmap, RefusalsAreReportedWithFileAndReason) {
    cTempDir dir;
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    ASSERT_TRUE(dir.WriteFile("big.bmp", Rle8Bmp(16384, 16384, 8, 1, {0, 1})));
    DDBITMAP bmp;
    EXPECT_FALSE(DDReadBitmap("big.bmp", &bmp));
    EXPECT_FALSE(DDReadBitmap("gone.bmp", &bmp));
    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}));
    ASSERT_TRUE(dir.WriteFile("t.bmp", DDBuildBmp(2, 2, 24, {}, {1, 2, 3, 4})));
    DDSURFACEDATA sd;
    EXPECT_EQ(DDCreateSurfaceFromFile(&sd, "t.bmp", 0, 8, 0, 0, nullptr, 0, 0, 0, 0), 8);
    DDReleaseSurfaceData(&sd);
    DDRelease();
    std::vector<uint8_t> vLog = ReadHostFile(dir.File("Report_Game.txt"));
    std::string strLog(vLog.begin(), vLog.end());
    EXPECT_NE(strLog.find("big.bmp refused: more pixels than a surface may hold"), std::string::npos) << strLog;
    EXPECT_NE(strLog.find("gone.bmp refused: no such file"), std::string::npos) << strLog;
    EXPECT_NE(strLog.find("t.bmp refused: a 24-bit image cannot be shown on an 8-bit screen"), std::string::npos) << strLog;
}

class DDLoad : public testing::Test {
protected:
    void TearDown() override { DDRelease(); }
    cTempDir m_dir;
};

TEST_F(DDLoad, KeyedImagesPerProfile) {
    // Key colour (255, 0, 255) at (0, 0); everything else a gradient.
    auto px = Gradient(4, 2);
    px[0] = 0xFF00FF;
    ASSERT_TRUE(m_dir.WriteFile("k.bmp", DDBuildBmp(4, 2, 24, {}, px)));

    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    DDSetTransmit(255, 0, 255);
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "k.bmp", 1, 32, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0, 0, 0, 0), 0);
    EXPECT_STREQ(sd.szType, "OffScreenFromFile");
    EXPECT_STREQ(sd.szFileName, "k.bmp");
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 0, 0), 0u);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 1, 1), 0xFF000000u | px[5]);
    EXPECT_EQ(sd.lpDT->bRenderTarget, 0);
    DDReleaseSurface(&sd);

    ASSERT_TRUE(DDStartProfile({1, 16, 0, "D3D16"}));
    lpDTCon->rgbTransmit16 = {255, 0, 255};
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "k.bmp", 1, 16, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0, 0, 0, 0), 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 0, 0), 0u);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 1, 1), DDPackARGB(DDFMT_A1R5G5B5, 0xFF000000u | px[5]));
    DDReleaseSurface(&sd);

    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}));
    DDSetTransmit(255, 0, 255);
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "k.bmp", 1, 32, 0, 0, nullptr, 0, 0, 0, 0), 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 0, 0), 0xFF00FFu);
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 2));
    DDFillRectRGB(&dst, 0, 0, 4, 2, 0x123456);
    DDBlt(&dst, 0, 0, 4, 2, &sd, 0, 0, 1);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&dst), 0, 0), 0x123456u);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&dst), 1, 0), px[1]);
}

TEST_F(DDLoad, SixteenBitDirectDrawKeepsOnlyTheKeyTransparent) {
    ASSERT_TRUE(DDStartProfile({0, 16, 0, "DD16"}));
    DDSetTransmit(0, 0, 255);               // key fields (0, 0, 31)
    lpDDCon->rgbTransmit16 = {255, 0, 0};   // the file's key colour: blue 255
    ASSERT_EQ(dwTransColor, 31u);
    // (0, 0, 255) is the key; (1, 0, 255) converts to the key's value and moves one blue step down.
    ASSERT_TRUE(m_dir.WriteFile("k16.bmp", DDBuildBmp(3, 1, 24, {}, {0x0000FF, 0x0100FF, 0x0000F0})));
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "k16.bmp", 0, 16, 0, 0, nullptr, 0, 0, 0, 0), 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 0, 0), 31u);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 1, 0), 30u);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 2, 0), 29u);
}

TEST_F(DDLoad, MirroredSheetsPerProfile) {
    // A 100-pixel wide 8-bit image: column i holds index i + 1; cells of 48.
    std::vector<uint32_t> px;
    for (int i = 0; i < 100; i++) px.push_back(static_cast<uint32_t>(i + 1));
    std::vector<uint32_t> colors;
    for (int i = 0; i < 256; i++) colors.push_back(uint32_t(i & 31) * 255 / 31 << 16 | (uint32_t(i >> 5) * 255 / 31) << 8 | 5 * 255 / 31);
    ASSERT_TRUE(m_dir.WriteFile("m.bmp", DDBuildBmp(100, 1, 8, colors, px)));
    for (const DDPROFILE& p : {DDPROFILE{0, 8, 0, "DD8"}, DDPROFILE{1, 32, 1, "D3D32"}}) {
        SCOPED_TRACE(p.pszName);
        ASSERT_TRUE(DDStartProfile(p, 128, 8));
        DDSURFACEDATA sd;
        ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "m.bmp", 0, p.nBpp, 0, 0, nullptr, 0, 48, 0, 0), 0);
        EXPECT_EQ(DDIndexAt(&sd, 0, 0), 48);
        EXPECT_EQ(DDIndexAt(&sd, 47, 0), 1);
        EXPECT_EQ(DDIndexAt(&sd, 48, 0), 96);
        EXPECT_EQ(DDIndexAt(&sd, 95, 0), 49);
        // The last 4 columns: not copied under DirectDraw (colour 0), as loaded under Direct3D.
        EXPECT_EQ(DDIndexAt(&sd, 97, 0), p.nBackEnd ? 98 : 0);
        DDRelease();
    }
}

TEST_F(DDLoad, ReloadOfAResizedFileLeavesTheSurface) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}));
    ASSERT_TRUE(m_dir.WriteFile("r.bmp", DDBuildBmp(2, 2, 24, {}, {1, 2, 3, 4})));
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "r.bmp", 0, 32, 0, 0, nullptr, 0, 0, 0, 0), 0);
    ASSERT_TRUE(m_dir.WriteFile("r.bmp", DDBuildBmp(3, 2, 24, {}, {9, 9, 9, 9, 9, 9})));
    EXPECT_TRUE(DDReloadBitmap(&sd, 32));
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 1, 0), 2u);
    EXPECT_EQ(sd.nWidth, 2);
}

TEST_F(DDLoad, EightBitScreensTakeEightBitFilesOnly) {
    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}));
    ASSERT_TRUE(m_dir.WriteFile("t.bmp", DDBuildBmp(2, 2, 24, {}, {1, 2, 3, 4})));
    DDSURFACEDATA sd;
    EXPECT_EQ(DDCreateSurfaceFromFile(&sd, "t.bmp", 0, 8, 0, 0, nullptr, 0, 0, 0, 0), 8);
    EXPECT_FALSE(DDCheckLoadErr(8));
    EXPECT_FALSE(DDCheckLoadErr(4));
    EXPECT_TRUE(DDCheckLoadErr(1));
}

TEST_F(DDLoad, ImageSlotsReportMissingFilesUnlessOptional) {
    cFakeMessageBox boxes;
    DDSURFACEDATA aSurf[4];
    IMAGEDATA aImg[4];
    ASSERT_TRUE(m_dir.WriteFile("a.bmp", DDBuildBmp(2, 2, 24, {}, {1, 2, 3, 4})));
    aImg[0].Set("a.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    aImg[1].Set("missing.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    aImg[2].Set("E", 1, 1, 0, 0, 0, 0, 0, 0, 16, 8);
    aImg[3].Set("gone.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int nBackEnd : {0, 1}) {
        ASSERT_TRUE(DDInit(nBackEnd, nullptr, 32, 32, 32, 0, 1, 1, 60, 0, aSurf, aImg, 4));
        const int ok[] = {0, 1, 2};
        EXPECT_TRUE(DDLoadImages(aSurf, ok, 3));
        EXPECT_EQ(aSurf[0].nWidth, 2);
        EXPECT_EQ(aSurf[2].nWidth, 16);
        EXPECT_STREQ(aSurf[2].szFileName, nBackEnd ? "E" : "");
        const int bad[] = {3};
        size_t nBefore = boxes.Count();
        EXPECT_FALSE(DDLoadImages(aSurf, bad, 1));
        ASSERT_EQ(boxes.Count(), nBefore + 1);
        EXPECT_NE(boxes.Boxes().back().strText.find("gone.bmp"), std::string::npos);
        const int outside[] = {9};
        EXPECT_FALSE(DDLoadImages(aSurf, outside, 1));
        DDRelease();
        EXPECT_EQ(DDGetPixels(&aSurf[0]), nullptr) << "the release frees the slot surfaces";
    }
}

TEST_F(DDLoad, PaletteAndTransparentColourFromThePaletteImage) {
    std::vector<uint32_t> colors;
    for (int i = 0; i < 256; i++) colors.push_back(uint32_t(i) << 16 | 0x0102);
    std::vector<uint32_t> px(16 * 24, 7);
    ASSERT_TRUE(m_dir.WriteFile("p.bmp", DDBuildBmp(16, 24, 8, colors, px)));
    PALETTEENTRY table[256] = {};

    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}));
    ASSERT_TRUE(DDLoadPaletteFromFile(table, "p.bmp", 0));
    EXPECT_EQ(table[200].peRed, 200);
    EXPECT_EQ(table[5].peFlags, PC_EXPLICIT);
    EXPECT_EQ(table[100].peFlags, PC_RESERVED);
    EXPECT_EQ(aDisplayPalette[200].peRed, 200);
    EXPECT_EQ(DDSetTransmitFromFile("p.bmp"), 1);
    EXPECT_EQ(dwTransColor, 7u);

    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    ASSERT_TRUE(DDLoadPaletteFromFile(table, "p.bmp", 0));
    // Every colour cell is colour 7: the cells overwrite the colour table.
    EXPECT_EQ(table[200].peRed, 7);
    EXPECT_EQ(table[200].peFlags, 255);
    EXPECT_EQ(DDSetTransmitFromFile("p.bmp"), 1);
    EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFF070102u);

    ASSERT_TRUE(DDStartProfile({1, 16, 0, "D3D16"}));
    EXPECT_EQ(DDSetTransmitFromFile("p.bmp"), 1);
    EXPECT_EQ(lpDTCon->rgbTransmit16.rgbtRed, 0) << "colour-table entry 0";
    EXPECT_EQ(lpDTCon->rgbTransmit16.rgbtBlue, 2);
    EXPECT_EQ(DDSetTransmitFromFile("none.bmp"), 0);

    int bLarger = 7;
    EXPECT_EQ(DDCheckBitmapSize(&bLarger, "p.bmp", 8, 100), 1);
    EXPECT_EQ(bLarger, 1);
    EXPECT_EQ(DDCheckBitmapSize(&bLarger, "none.bmp", 8, 100), 1);
    EXPECT_EQ(bLarger, 0);
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}));
    EXPECT_EQ(DDCheckBitmapSize(&bLarger, "p.bmp", 16, 24), 1);
    EXPECT_EQ(bLarger, 0);
    EXPECT_EQ(DDCheckBitmapSize(&bLarger, "none.bmp", 16, 24), 0);
}

TEST_F(DDLoad, PaletteIndexMapOfKeptPixels) {
    ASSERT_TRUE(m_dir.WriteFile("i.bmp", DDBuildBmp(2, 1, 24, {}, {0, 0})));
    for (const DDPROFILE& p : {DDPROFILE{0, 32, 0, "DD32"}, DDPROFILE{1, 32, 1, "D3D32"}, DDPROFILE{0, 16, 0, "DD16"}}) {
        SCOPED_TRACE(p.pszName);
        ASSERT_TRUE(DDStartProfile(p));
        // Two pixels: palette colours 9 and 77.
        std::vector<uint32_t> rgb;
        for (int i : {9, 77}) {
            uint32_t v = PalNumToRGB(static_cast<uint32_t>(i));
            uint32_t argb = lpDTCon ? v : (nScreenBpp == 16 ? DDUnpackByFormat(pfDraw, v) : v);
            rgb.push_back(argb & 0xFFFFFF);
        }
        if (!lpDTCon && nScreenBpp == 16) {
            // Pick file colours that convert to the entries' fields by truncation.
            for (auto& c : rgb) c = (((c >> 16) & 255) + 7) << 16 | (((c >> 8) & 255) + 3) << 8 | ((c & 255) + 7);
        }
        ASSERT_TRUE(m_dir.WriteFile("i.bmp", DDBuildBmp(2, 1, 24, {}, rgb)));
        DDSURFACEDATA sd;
        ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "i.bmp", 0, p.nBpp, 1, DTMEMORYTYPE_SYSTEM, nullptr, 1, 0, 0, 0), 0);
        uint8_t* map = sd.lpDT ? sd.lpDT->lpPalIndex : sd.lpDDS->lpPalIndex;
        ASSERT_NE(map, nullptr);
        EXPECT_EQ(map[0], 9);
        EXPECT_EQ(map[1], 77);
        DDRelease();
    }
}

}  // namespace
