// Translucent and colour change blits over whole 32-bit rows, wide enough
// that every row is worked a vector at a time and then to its end: each
// pixel is checked against a value worked by hand, with pixels that decide
// the rounding, transparent texels, keyed pixels and destination top bytes.
#include <gtest/gtest.h>

#include "graphics/DDEffect.h"
#include "support/DDTestSupport.h"

namespace {

constexpr int W = 21;  // columns: pixel kinds repeat every 3

uint32_t Raw(DDSURFACEDATA* sd, int x, int y) { return DDGetRaw(*DDGetPixels(sd), x, y); }
void PutRaw(DDSURFACEDATA* sd, int x, int y, uint32_t v) { DDPutRaw(*DDGetPixels(sd), x, y, v); }

struct ROWCASE {
    uint32_t dwSrc, dwDst, dwWant;
};

// Fills a 21 x 2 source and destination with the three kinds by column and
// checks every pixel after fnDraw.
template <class F>
void CheckRows(const ROWCASE (&aKind)[3], F fnDraw)
{
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDMakeTarget(&src, W, 2, 1));
    ASSERT_TRUE(DDMakeTarget(&dst, W, 2, 1));
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < W; x++) {
            PutRaw(&src, x, y, aKind[x % 3].dwSrc);
            PutRaw(&dst, x, y, aKind[x % 3].dwDst);
        }
    fnDraw(&dst, &src);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < W; x++) EXPECT_EQ(Raw(&dst, x, y), aKind[x % 3].dwWant) << "column " << x << " row " << y;
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
}

TEST(EffectRows, DeviceTranslucentRoundsEveryChannelAndSkipsClearTexels)
{
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    // Weight 128: alpha 255 becomes (255 * 127 + 127) / 255 = 127.
    // Kind 0, source 101 over 100 in every channel: (101 * 127 + 100 * 128 + 127) / 255
    //   = 25754 / 255 = 100.996, so 100 (the sum stops one short of 101).
    // Kind 1, (200, 100, 50) over (30, 60, 90): (25400 + 3840 + 127) / 255 = 115,
    //   (12700 + 7680 + 127) / 255 = 80, (6350 + 11520 + 127) / 255 = 70.
    // The target keeps alpha, blended too: (127 * 127 + 255 * 128 + 127) / 255
    //   = 48896 / 255 = 191 (0xBF).
    // Kind 2, a texel of alpha 0: the pixel stays as it is.
    const ROWCASE aKind[3] = {{0xFF656565u, 0xFF646464u, 0xBF646464u},
                              {0xFFC86432u, 0xFF1E3C5Au, 0xBF735046u},
                              {0x00C86432u, 0xFF1E3C5Au, 0xFF1E3C5Au}};
    CheckRows(aKind, [](DDSURFACEDATA* d, DDSURFACEDATA* s) {
        EXPECT_EQ(DDAlphaBlt(d, 0, 0, W, 2, s, 0, 0, 0, aBlendTable, 128), 1);
    });
    DDRelease();
}

TEST(EffectRows, DeviceColourChangeIsTheFactorBlendOfEveryChannel)
{
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    PALETTEENTRY pal[256] = {};
    pal[7] = {10, 20, 30, 0};
    // Level 2: factor alpha 80. (200, 100, 50) with (10, 20, 30):
    //   (200 * 80 + 10 * 175 + 127) / 255 = 17877 / 255 = 70,
    //   (100 * 80 + 20 * 175 + 127) / 255 = 11627 / 255 = 45,
    //   (50 * 80 + 30 * 175 + 127) / 255 = 9377 / 255 = 36.
    // (0, 255, 128): 1877 / 255 = 7, (20400 + 3500 + 127) / 255 = 94,
    //   (10240 + 5250 + 127) / 255 = 61. An opaque result replaces the pixel.
    const ROWCASE aCase[3] = {{0xFFC86432u, 0xFF010203u, 0xFF462D24u},
                              {0xFF00FF80u, 0xFFFFFFFFu, 0xFF075E3Du},
                              {0x00C86432u, 0xFF1E3C5Au, 0xFF1E3C5Au}};
    CheckRows(aCase, [&pal](DDSURFACEDATA* d, DDSURFACEDATA* s) {
        EXPECT_TRUE(DDColorChangeBlt(d, 0, 0, W, 2, s, 0, 0, 1, pal, aBlendTable, 7, 2));
    });
    DDRelease();
}

TEST(EffectRows, DirectDrawTranslucentHalvesKeepsTopBytesAndKeys)
{
    ASSERT_TRUE(DDStartProfile({0, 32, 1, "DDWin32"}));
    const uint32_t K = dwTransColor;
    // Kind 0: (101 + 100) >> 1 = 100 in every channel; the destination's top byte stays.
    // Kind 1: a keyed source pixel leaves the destination.
    // Kind 2: a destination that is the key takes the source's colour.
    const ROWCASE aCase[3] = {{0x00656565u, 0x7F646464u, 0x7F646464u},
                              {K, 0x00123456u, 0x00123456u},
                              {0x00C86432u, K, (K & 0xFF000000u) | 0x00C86432u}};
    CheckRows(aCase, [](DDSURFACEDATA* d, DDSURFACEDATA* s) {
        EXPECT_EQ(DDAlphaBlt(d, 0, 0, W, 2, s, 0, 0, 1, aBlendTable, 128), 1);
    });
    // Without the key the keyed pixel is mixed like any other:
    // (K + 0x123456) halved per channel.
    const uint32_t dwHalf = ((((K >> 16) & 255) + 0x12) >> 1) << 16 | ((((K >> 8) & 255) + 0x34) >> 1) << 8 |
                            (((K & 255) + 0x56) >> 1);
    const ROWCASE aNoKey[3] = {{0x00656565u, 0x7F646464u, 0x7F646464u},
                               {K, 0x00123456u, dwHalf},
                               {0x00C86432u, K, (K & 0xFF000000u) | 0x00C86432u}};
    CheckRows(aNoKey, [](DDSURFACEDATA* d, DDSURFACEDATA* s) {
        EXPECT_EQ(DDAlphaBlt(d, 0, 0, W, 2, s, 0, 0, 0, aBlendTable, 128), 1);
    });
    DDRelease();
}

TEST(EffectRows, DirectDrawColourChangeHalvesTowardsTheColourPerLevel)
{
    ASSERT_TRUE(DDStartProfile({0, 32, 1, "DDWin32"}));
    const uint32_t K = dwTransColor;
    PALETTEENTRY pal[256] = {};
    pal[7] = {10, 20, 30, 0};
    // Level 2 halves twice: (200, 100, 50) -> (105, 60, 40) -> (57, 40, 35);
    // (255, 0, 1) -> (132, 10, 15) -> (71, 15, 22). The destination's top
    // byte stays; a keyed source pixel (mode 1) leaves the destination.
    const ROWCASE aCase[3] = {{0x00C86432u, 0x5A000000u, 0x5A392823u},
                              {0x00FF0001u, 0x00FFFFFFu, 0x00470F16u},
                              {K, 0x00123456u, 0x00123456u}};
    CheckRows(aCase, [&pal](DDSURFACEDATA* d, DDSURFACEDATA* s) {
        EXPECT_TRUE(DDColorChangeBlt(d, 0, 0, W, 2, s, 0, 0, 1, pal, aBlendTable, 7, 2));
    });
    DDRelease();
}

}  // namespace
