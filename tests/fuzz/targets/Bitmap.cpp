// Bitmap files. A refused file leaves the bitmap as it was and gives a
// reason; an accepted one holds one pixel per declared pixel, within the
// size a surface may have, and nothing is allocated past that.
#include "FuzzTarget.h"
#include "SeedBitmaps.h"

#include "graphics/DDImage.h"
#include "support/ByteBuilder.h"
#include "support/DDTestSupport.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    std::vector<FUZZBYTES> v;
    v.push_back(DDBuildBmp(3, 2, 8, {0x112233, 0x445566}, {0, 1, 0, 1, 1, 0}));
    v.push_back(DDBuildBmp(5, 3, 24, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    v.push_back(DDBuildBmp(2, 2, 32, {}, {1, 2, 3, 4}, true));
    // Run-length 8: 3 x 2 with a run, an end of line, a delta and the end.
    cByteBuilder b;
    const uint8_t codes[] = {2, 1, 1, 0, 0, 0, 2, 0, 0, 2, 1, 0, 0, 1};
    b.U8('B').U8('M').U32(62 + sizeof codes).U16(0).U16(0).U32(62);
    b.U32(40).I32(3).I32(2).U16(1).U16(8).U32(1).U32(sizeof codes).I32(2835).I32(2835).U32(2).U32(0);
    b.U32(0x000000).U32(0xFF8040).Raw(codes, sizeof codes);
    v.push_back(b.Bytes());
    for (FUZZBYTES& m : MakeSeedBitmaps()) v.push_back(std::move(m));
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    // 8192 x 4096 pixels as indices and colours, and a little more.
    FuzzSetAllocLimit(size_t(8192) * 4096 * 5 + (size_t(16) << 20));
    DDBITMAP bmp;
    bmp.nWidth = 77;
    std::string strReason;
    if (!DDReadBitmapMemory(pData, nSize, &bmp, &strReason)) {
        FuzzCheck(bmp.nWidth == 77 && bmp.vRGB.empty() && !strReason.empty());
        return 0;
    }
    FuzzAccepted();
    // What the file was: its header size, depth and compression.
    auto le = [&](size_t i, int n) {
        uint32_t w = 0;
        for (int k = 0; k < n && i + static_cast<size_t>(k) < nSize; ++k) w |= uint32_t(pData[i + static_cast<size_t>(k)]) << (8 * k);
        return w;
    };
    uint32_t nInfo = le(14, 4);
    FuzzFeature(1, nInfo);
    FuzzFeature(2, static_cast<uint64_t>(bmp.nFileBpp));
    if (nInfo != 12) FuzzFeature(3, le(30, 4));
    FuzzCheck(bmp.nWidth > 0 && bmp.nHeight > 0 && bmp.nWidth <= 16384 && bmp.nHeight <= 16384);
    size_t nPixels = static_cast<size_t>(bmp.nWidth) * static_cast<size_t>(bmp.nHeight);
    FuzzCheck(nPixels <= size_t(8192) * 4096);
    FuzzCheck(bmp.vRGB.size() == nPixels);
    FuzzCheck(bmp.vIndex.empty() || bmp.vIndex.size() == nPixels);
    if (!bmp.vIndex.empty()) FuzzCheck(bmp.vColors.size() == 256 && bmp.nFileBpp == 8);
    for (uint32_t c : bmp.vRGB) FuzzCheck((c >> 24) == 0);
    return 0;
}
