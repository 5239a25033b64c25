// Blur, mosaic, colour change, translucent, lens and rotation blits on tiny
// fixtures under every profile.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>

#include "graphics/DDEffect.h"
#include "support/DDTestSupport.h"

namespace {

using FIELDS = std::array<uint32_t, 3>;  // red, green, blue fields

uint32_t PackFields(int nFormat, FIELDS f)
{
    DDPIXELFORMAT pf = DDFormatChannels(nFormat);
    uint32_t v = f[0] << pf.nShiftR | f[1] << pf.nShiftG | f[2] << pf.nShiftB;
    if (pf.nMaxA) v |= pf.nMaxA << pf.nShiftA;
    if (nFormat == DDFMT_X8R8G8B8) v |= 0xFF000000u;
    return v;
}

void PutFields(DDSURFACEDATA* sd, int x, int y, FIELDS f)
{
    DDPIXELS* p = DDGetPixels(sd);
    DDPutRaw(*p, x, y, PackFields(p->nFormat, f));
}

FIELDS GetFields(DDSURFACEDATA* sd, int x, int y)
{
    DDPIXELS* p = DDGetPixels(sd);
    DDPIXELFORMAT pf = DDFormatChannels(p->nFormat);
    uint32_t v = DDGetRaw(*p, x, y);
    return {(v >> pf.nShiftR) & pf.nMaxR, (v >> pf.nShiftG) & pf.nMaxG, (v >> pf.nShiftB) & pf.nMaxB};
}

uint32_t Raw(DDSURFACEDATA* sd, int x, int y) { return DDGetRaw(*DDGetPixels(sd), x, y); }
void PutRaw(DDSURFACEDATA* sd, int x, int y, uint32_t v) { DDPutRaw(*DDGetPixels(sd), x, y, v); }

// The transparent pixel of the running profile.
uint32_t TransparentRaw() { return lpDTCon ? 0u : dwTransColor; }

class EffectPixelsTest : public testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile(GetParam())); }
    void TearDown() override
    {
        DDReleaseSurface(&m_src);
        DDReleaseSurface(&m_dst);
        DDRelease();
    }
    void Make(int w, int h, int dw, int dh, int nSrcMemory = DTMEMORYTYPE_VIDEO_RT)
    {
        ASSERT_TRUE(DDCreateSurface(&m_src, w, h, 1, 0, nSrcMemory, nullptr, 0));
        ASSERT_TRUE(DDMakeTarget(&m_dst, dw, dh, 1));
        DDPutIndices(&m_dst, dw, dh, std::vector<int>(static_cast<size_t>(dw) * dh, 0));
    }
    DDSURFACEDATA m_src, m_dst;
};

TEST_P(EffectPixelsTest, BlurAveragesTheBoxInsideTheArea)
{
    Make(3, 3, 3, 3);
    const uint32_t aRed[9] = {0, 4, 8, 12, 16, 20, 24, 2, 6};
    for (int k = 0; k < 9; k++) PutFields(&m_src, k % 3, k / 3, {aRed[k], 3, 1});
    const uint32_t dwMark = Raw(&m_dst, 0, 0);
    ASSERT_TRUE(DDBlurBlt(&m_dst, 0, 0, 3, 3, 1, 1, &m_src, 0, 0, 0));
    if (nScreenBpp == 8) {
        EXPECT_EQ(Raw(&m_dst, 1, 1), dwMark);  // refused at 8 bits
        return;
    }
    const uint32_t aMode0[9] = {0, 2, 6, 6, 8, 12, 18, 13, 11};
    for (int k = 0; k < 9; k++) EXPECT_EQ(GetFields(&m_dst, k % 3, k / 3), (FIELDS{aMode0[k], 3, 1})) << k;

    // Mode 1: the transparent centre keeps the destination, the others leave it out.
    PutRaw(&m_src, 1, 1, TransparentRaw());
    DDPutIndices(&m_dst, 3, 3, std::vector<int>(9, 0));
    ASSERT_TRUE(DDBlurBlt(&m_dst, 0, 0, 3, 3, 1, 1, &m_src, 0, 0, 1));
    const uint32_t aMode1[9] = {0, 2, 6, 6, 0, 10, 18, 12, 9};
    for (int k = 0; k < 9; k++)
        if (k != 4) { EXPECT_EQ(GetFields(&m_dst, k % 3, k / 3), (FIELDS{aMode1[k], 3, 1})) << k; }
    EXPECT_EQ(Raw(&m_dst, 1, 1), dwMark);
    // Alpha of the written pixels: Direct3D opaque, DirectDraw 32 bits keeps the byte.
    DDPIXELS* p = DDGetPixels(&m_dst);
    if (p->nFormat == DDFMT_A8R8G8B8) { EXPECT_EQ(Raw(&m_dst, 2, 2) >> 24, 255u); }
    if (p->nFormat == DDFMT_A1R5G5B5) { EXPECT_NE(Raw(&m_dst, 2, 2) & 0x8000u, 0u); }
    if (!lpDTCon && nScreenBpp == 32) { EXPECT_EQ(Raw(&m_dst, 2, 2) >> 24, dwMark >> 24); }

    // Zero radius draws nothing; a radius beyond the area equals the area.
    PutFields(&m_src, 1, 1, {16, 3, 1});
    DDPutIndices(&m_dst, 3, 3, std::vector<int>(9, 0));
    EXPECT_TRUE(DDBlurBlt(&m_dst, 0, 0, 3, 3, 0, 1, &m_src, 0, 0, 0));
    EXPECT_EQ(Raw(&m_dst, 2, 2), dwMark);
    EXPECT_TRUE(DDBlurBlt(&m_dst, -1, 0, 3, 3, 1000000, 1000000, &m_src, 0, 0, 0));
    // (the area shifted left by one: its column 1 lands on column 0)
    EXPECT_EQ(GetFields(&m_dst, 0, 0)[1], 3u);
}

TEST_P(EffectPixelsTest, BlurOfACheckerboardIsTheMeanOfItsTwoColours)
{
    // A box of 2r x 2r pixels wholly inside a checkerboard holds as many of
    // one colour as of the other: the mean is (a + b) / 2, rounded down. Keyed,
    // with the second colour transparent, it is the first colour itself and a
    // transparent centre keeps the destination. The small radius is the usual
    // one; the large one makes sums too wide to pack (every field width).
    const FIELDS a = {20, 10, 4}, b = {9, 3, 30};
    const FIELDS mean = {14, 6, 17};
    for (int r : {2, 24}) {
        SCOPED_TRACE(testing::Message() << "radius " << r);
        const int n = 4 * r + 4;
        DDReleaseSurface(&m_src);
        DDReleaseSurface(&m_dst);
        Make(n, n, n, n);
        for (int mode : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode);
            for (int j = 0; j < n; j++)
                for (int i = 0; i < n; i++) {
                    if ((i + j) % 2 == 0) PutFields(&m_src, i, j, a);
                    else if (mode == 0) PutFields(&m_src, i, j, b);
                    else PutRaw(&m_src, i, j, TransparentRaw());
                }
            DDPutIndices(&m_dst, n, n, std::vector<int>(static_cast<size_t>(n) * n, 0));
            const uint32_t dwMark = Raw(&m_dst, 0, 0);
            ASSERT_TRUE(DDBlurBlt(&m_dst, 0, 0, n, n, r, r, &m_src, 0, 0, mode));
            if (nScreenBpp == 8) {
                EXPECT_EQ(Raw(&m_dst, n / 2, n / 2), dwMark);
                return;
            }
            int nWrong = 0;
            for (int j = r; j <= n - r; j++)
                for (int i = r; i <= n - r; i++) {
                    if (mode == 0) nWrong += GetFields(&m_dst, i, j) != mean;
                    else if ((i + j) % 2 == 0) nWrong += GetFields(&m_dst, i, j) != a;
                    else nWrong += Raw(&m_dst, i, j) != dwMark;
                }
            EXPECT_EQ(nWrong, 0);
        }
    }
}

TEST_P(EffectPixelsTest, BlurOfAPictureShiftedOnBothSurfaces)
{
    // An area placed off both surfaces' corners: only pixels that lie on both
    // are read and written. A uniform picture blurs to itself wherever a
    // source pixel is in the box.
    Make(8, 6, 8, 6);
    const FIELDS c = {7, 9, 11};
    for (int j = 0; j < 6; j++)
        for (int i = 0; i < 8; i++) PutFields(&m_src, i, j, c);
    const uint32_t dwMark = Raw(&m_dst, 0, 0);
    ASSERT_TRUE(DDBlurBlt(&m_dst, 3, -2, 8, 6, 2, 1, &m_src, -1, 1, 0));
    if (nScreenBpp == 8) return;
    for (int j = 0; j < 6; j++)
        for (int i = 0; i < 8; i++) {
            SCOPED_TRACE(testing::Message() << i << "," << j);
            // Destination (i, j) is area (i - 3, j + 2); its centre would be
            // source (i - 4, j + 3). Written: area columns 0..4, rows 2..3.
            const bool bWritten = i >= 3 && j <= 3;
            if (bWritten) EXPECT_EQ(GetFields(&m_dst, i, j), c);
            else EXPECT_EQ(Raw(&m_dst, i, j), dwMark);
        }
}

TEST_P(EffectPixelsTest, MosaicBlocksOf442)
{
    Make(10, 1, 10, 1);
    if (nScreenBpp == 8) {
        // 8 bits: the palette index of each block's first pixel.
        for (int x = 0; x < 10; x++) PutRaw(&m_src, x, 0, static_cast<uint32_t>(2 * x + 1));
        ASSERT_TRUE(DDMosaicBlt(&m_dst, 0, 0, 10, 1, 4, &m_src, 0, 0, 0));
        for (int x = 0; x < 10; x++) { EXPECT_EQ(Raw(&m_dst, x, 0), static_cast<uint32_t>(2 * (x / 4 * 4) + 1)) << x; }
        return;
    }
    for (int x = 0; x < 10; x++) PutFields(&m_src, x, 0, {static_cast<uint32_t>(2 * x + 1), 0, 0});
    ASSERT_TRUE(DDMosaicBlt(&m_dst, 0, 0, 10, 1, 4, &m_src, 0, 0, 0));
    // The red fields 1, 3, .. 19 in blocks of 4, 4 and 2 pixels. Direct3D
    // takes each block's first pixel: 1, 9, 17. DirectDraw averages the
    // fields widened to 8 bits and narrows the mean back. At 32 bits:
    // (1+3+5+7)/4 = 4, (9+11+13+15)/4 = 12, (17+19)/2 = 18. At 16 bits
    // (five-bit red, x 255 / 31 truncated): 8+24+41+57 = 130, /4 = 32,
    // x 31 / 255 = 3; 74+90+106+123 = 393, /4 = 98 -> 11; 139+156 = 295,
    // /2 = 147 -> 17.
    const uint32_t aFirst[3] = {1, 9, 17}, aMean32[3] = {4, 12, 18}, aMean16[3] = {3, 11, 17};
    const uint32_t* pWant = lpDTCon ? aFirst : nScreenBpp == 16 ? aMean16 : aMean32;
    for (int x = 0; x < 10; x++) EXPECT_EQ(GetFields(&m_dst, x, 0)[0], pWant[x / 4]) << x;
    // Blocks of one pixel: a copy through the block rule (16-bit DirectDraw
    // widens and narrows each field: 1 -> 8 -> 0).
    ASSERT_TRUE(DDMosaicBlt(&m_dst, 0, 0, 10, 1, 1, &m_src, 0, 0, 0));
    for (int x = 0; x < 10; x++) {
        uint32_t want = 2 * x + 1;
        if (!lpDTCon && nScreenBpp == 16) want = want * 255 / 31 * 31 / 255;
        EXPECT_EQ(GetFields(&m_dst, x, 0)[0], want) << x;
    }
    // A negative size counts as 0.
    DDPutIndices(&m_dst, 10, 1, std::vector<int>(10, 0));
    uint32_t dwMark = Raw(&m_dst, 0, 0);
    EXPECT_TRUE(DDMosaicBlt(&m_dst, 0, 0, 10, 1, -4, &m_src, 0, 0, 0));
    EXPECT_EQ(Raw(&m_dst, 0, 0), dwMark);
}

TEST_P(EffectPixelsTest, ColorChangeLevels)
{
    Make(2, 1, 2, 1, DTMEMORYTYPE_SYSTEM);  // under Direct3D the locked-pixel path
    PALETTEENTRY pal[256] = {};
    PutFields(&m_src, 0, 0, {30, 20, 10});
    PutFields(&m_src, 1, 0, {0, 0, 0});
    // Level 0 draws nothing; level 1 towards black halves every field.
    uint32_t dwMark = Raw(&m_dst, 0, 0);
    EXPECT_TRUE(DDColorChangeBlt(&m_dst, 0, 0, 2, 1, &m_src, 0, 0, 0, pal, aBlendTable, 0, 0));
    EXPECT_EQ(Raw(&m_dst, 0, 0), dwMark);
    if (nScreenBpp == 8) return;
    EXPECT_TRUE(DDColorChangeBlt(&m_dst, 0, 0, 2, 1, &m_src, 0, 0, 0, pal, aBlendTable, 0, 1));
    FIELDS f = GetFields(&m_dst, 0, 0);
    if (!lpDTCon && nScreenBpp == 16) {
        // DirectDraw 16 bits works on expanded fields: red 30 -> 246 -> 123 -> 14,
        // green 20 (six bits) -> 80 -> 40 -> 9, blue 10 -> 82 -> 41 -> 4.
        EXPECT_EQ(f, (FIELDS{14, 9, 4}));
    } else {
        EXPECT_EQ(f[0], 15u);
        EXPECT_EQ(f[2], 5u);
    }
    if (nScreenBpp == 32) {
        // Level 3 towards white: 0 -> 127 -> 191 -> 223 (DirectDraw); the
        // Direct3D pixel path weighs the source by 32 / 255.
        pal[9] = {255, 255, 255, 0};
        EXPECT_TRUE(DDColorChangeBlt(&m_dst, 0, 0, 2, 1, &m_src, 0, 0, 0, pal, aBlendTable, 9, 3));
        EXPECT_EQ(GetFields(&m_dst, 1, 0)[0], lpDTCon ? 223u : 223u);
        // An enormous level ends at the colour's fixed point without stalling.
        EXPECT_TRUE(DDColorChangeBlt(&m_dst, 0, 0, 2, 1, &m_src, 0, 0, 0, pal, aBlendTable, 9, INT_MAX));
        EXPECT_EQ(GetFields(&m_dst, 1, 0)[0], lpDTCon ? 255u : 254u);
    }
}

TEST(EffectColorChange, BlendTableWalksAtEightBits)
{
    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}));
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDMakeTarget(&src, 1, 1, 1));
    ASSERT_TRUE(DDMakeTarget(&dst, 1, 1, 1));
    // A table whose column 9 steps p -> p + 1 (mod 256): a cycle of 256.
    static uint8_t table[65536];
    for (int a = 0; a < 256; a++)
        for (int b = 0; b < 256; b++) table[a * 256 + b] = static_cast<uint8_t>(b == 9 ? a + 1 : a);
    PALETTEENTRY pal[256] = {};
    PutRaw(&src, 0, 0, 3);
    DDColorChangeBlt(&dst, 0, 0, 1, 1, &src, 0, 0, 0, pal, table, 9, 2);
    EXPECT_EQ(Raw(&dst, 0, 0), 5u);  // table[table[3 * 256 + 9] * 256 + 9]
    DDColorChangeBlt(&dst, 0, 0, 1, 1, &src, 0, 0, 0, pal, table, 9, 256 * 1000 + 7);
    EXPECT_EQ(Raw(&dst, 0, 0), 10u);  // the walk cycles every 256 steps
    DDColorChangeBlt(&dst, 0, 0, 1, 1, &src, 0, 0, 0, pal, table, 9, -1);
    EXPECT_EQ(Raw(&dst, 0, 0), 3u);  // a negative level copies the source
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
    DDRelease();
}

TEST(EffectColorChange, DeviceFactorAlphaByLevel)
{
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDMakeTarget(&src, 1, 1, 1));
    ASSERT_TRUE(DDMakeTarget(&dst, 1, 1, 1));
    PALETTEENTRY pal[256] = {};
    pal[4] = {0, 0, 255, 0};
    const uint32_t aAlpha[] = {128, 80, 48, 16, 0};
    for (int nLevel = 1; nLevel <= 5; nLevel++) {
        PutRaw(&src, 0, 0, 0xFFC80000u);  // red 200
        PutRaw(&dst, 0, 0, 0xFF000000u);
        DDColorChangeBlt(&dst, 0, 0, 1, 1, &src, 0, 0, 0, pal, aBlendTable, 4, nLevel);
        uint32_t A = aAlpha[nLevel - 1];
        uint32_t want = 0xFF000000u | ((200 * A + 127) / 255) << 16 | ((255 * (255 - A) + 127) / 255);
        EXPECT_EQ(Raw(&dst, 0, 0), want) << nLevel;
    }
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
    DDRelease();
}

TEST(EffectTranslucent, DeviceWeights)
{
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDMakeTarget(&src, 1, 1, 1));
    ASSERT_TRUE(DDMakeTarget(&dst, 1, 1, 1));
    struct { int nWeight; uint32_t dwWant; } aCase[] = {
        {0, 0xFFC86432u}, {128, 0xFF643219u}, {255, 0xFF000000u}, {-7, 0xFFC86432u}, {300, 0xFF000000u}};
    for (auto& c : aCase) {
        PutRaw(&src, 0, 0, 0xFFC86432u);  // (200, 100, 50)
        PutRaw(&dst, 0, 0, 0xFF000000u);
        EXPECT_EQ(DDAlphaBlt(&dst, 0, 0, 1, 1, &src, 0, 0, 1, aBlendTable, c.nWeight), 1);
        uint32_t v = Raw(&dst, 0, 0);
        // Weight 128: alpha 127 over black gives (200*127+127)/255 = 100 and so on.
        EXPECT_EQ(v & 0x00FFFFFFu, c.dwWant & 0x00FFFFFFu) << c.nWeight;
    }
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
    DDRelease();
}

TEST_P(EffectPixelsTest, TranslucentLockedPathsMixHalfAndHalf)
{
    Make(3, 1, 3, 1, DTMEMORYTYPE_SYSTEM);
    if (nScreenBpp == 8) {
        static uint8_t table[65536];
        for (int k = 0; k < 65536; k++) table[k] = static_cast<uint8_t>((k >> 8) ^ (k & 255));
        PutRaw(&m_src, 0, 0, 5);
        PutRaw(&m_src, 1, 0, 6);
        PutRaw(&m_src, 2, 0, dwTransColor);
        PutRaw(&m_dst, 0, 0, 0);
        PutRaw(&m_dst, 1, 0, 3);
        PutRaw(&m_dst, 2, 0, 9);
        EXPECT_EQ(DDSemiTransBlt(&m_dst, 0, 0, 3, 1, &m_src, 0, 0, 1, table), 1);
        EXPECT_EQ(Raw(&m_dst, 0, 0), 5u);        // destination index 0 takes the source
        EXPECT_EQ(Raw(&m_dst, 1, 0), 3u ^ 6u);   // table[d * 256 + s]
        EXPECT_EQ(Raw(&m_dst, 2, 0), 9u);        // the transparent colour is left out
        return;
    }
    PutFields(&m_src, 0, 0, {20, 10, 6});
    PutFields(&m_dst, 0, 0, {0, 0, 0});
    PutRaw(&m_src, 1, 0, TransparentRaw());
    PutFields(&m_dst, 1, 0, {1, 1, 1});
    EXPECT_EQ(DDAlphaBlt(&m_dst, 0, 0, 3, 1, &m_src, 0, 0, 1, aBlendTable, 0), 1);
    FIELDS f = GetFields(&m_dst, 0, 0);
    if (!lpDTCon && nScreenBpp == 16) {
        // Widened, averaged, narrowed: 20 -> 164 -> 82 -> 9 (five bits).
        EXPECT_EQ(f[0], 82u * 31 / 255);
    } else {
        EXPECT_EQ(f[0], 10u);
        EXPECT_EQ(f[2], 3u);
    }
    EXPECT_EQ(GetFields(&m_dst, 1, 0), (FIELDS{1, 1, 1}));
    if (lpDTCon && nScreenBpp == 32) { EXPECT_EQ(Raw(&m_dst, 0, 0) >> 24, 255u); }
    // Half outside: only the inside pairs are drawn.
    EXPECT_EQ(DDAlphaBlt(&m_dst, 2, 0, 3, 1, &m_src, 0, 0, 0, aBlendTable, 0), 1);
}

// Lens pixels encode their source position in their palette index, which
// keeps its identity at every depth: on row 20 the index is 1 + x, on
// column 20 it is 64 + y, elsewhere 200.
class LensTest : public EffectPixelsTest {};

TEST_P(LensTest, MagnifiesTowardsTheMiddle)
{
    Make(41, 41, 41, 41);
    std::vector<int> v(41 * 41, 200);
    for (int x = 0; x < 41; x++) v[static_cast<size_t>(20 * 41 + x)] = 1 + x;
    for (int y = 0; y < 41; y++)
        if (y != 20) v[static_cast<size_t>(y * 41 + 20)] = 64 + y;
    DDPutIndices(&m_src, 41, 41, v);
    DDPutIndices(&m_dst, 41, 41, std::vector<int>(41 * 41, 150));
    EXPECT_EQ(DDLensBlt(&m_dst, 20, 20, 10, 1, &m_src, 20, 20, 0, 0), 1);
    // The source offset from the centre that a destination offset shows.
    auto src = [&](int i, int j) {
        int n = DDIndexAt(&m_dst, 20 + i, 20 + j);
        if (n >= 1 && n <= 41) return std::make_pair(n - 21, 0);
        if (n >= 64 && n <= 104) return std::make_pair(0, n - 84);
        return std::make_pair(1000, n);
    };
    EXPECT_EQ(src(0, 0), std::make_pair(0, 0));
    EXPECT_EQ(src(1, 0), std::make_pair(0, 0));    // trunc(1 / sqrt(99) + 0.5)
    EXPECT_EQ(src(10, 0), std::make_pair(10, 0));  // the rim: z = 0
    EXPECT_EQ(src(9, 0), std::make_pair(2, 0));    // 9 / sqrt(19) = 2.06 -> trunc(2.56)
    EXPECT_EQ(src(-9, 0), std::make_pair(-1, 0));  // -2.06 + 0.5 truncates toward zero
    EXPECT_EQ(src(0, -9), std::make_pair(0, -1));
    EXPECT_EQ(src(0, 9), std::make_pair(0, 2));
    EXPECT_EQ(DDIndexAt(&m_dst, 20 + 8, 20 + 8), 150);  // outside the circle
    // Degenerate lenses draw nothing and return 0.
    EXPECT_EQ(DDLensBlt(&m_dst, 20, 20, 1, 10, &m_src, 20, 20, 0, 0), 0);
    EXPECT_EQ(DDLensBlt(&m_dst, 20, 20, 0, 5, &m_src, 20, 20, 0, 0), 0);
    EXPECT_EQ(DDLensBlt(&m_dst, 20, 20, 10, -1, &m_src, 20, 20, 0, 0), 0);
    EXPECT_EQ(DDLensBlt(&m_dst, 20, 20, -1, 1, &m_src, 20, 20, 0, 0), 0);
    // Far outside the destination: nothing to visit, still drawn.
    EXPECT_EQ(DDLensBlt(&m_dst, 5000, 5000, 100, 1, &m_src, 20, 20, 0, 0), 1);
}

TEST_P(LensTest, TransparencyAndClearing)
{
    Make(5, 5, 5, 5);
    DDPutIndices(&m_src, 5, 5, std::vector<int>(25, 3));
    PutRaw(&m_src, 2, 2, TransparentRaw());
    DDPutIndices(&m_dst, 5, 5, std::vector<int>(25, 9));
    EXPECT_EQ(DDLensBlt(&m_dst, 2, 2, 2, 1, &m_src, 2, 2, 0, 0), 1);
    // The centre's source is transparent: DirectDraw and Direct3D 32 never
    // copy it; Direct3D 16 copies it with key 0.
    bool bCopied = lpDTCon && nScreenBpp == 16;
    EXPECT_EQ(Raw(&m_dst, 2, 2), bCopied ? TransparentRaw() : DDRawOfIndex(&m_dst, 9));
    EXPECT_EQ(DDIndexAt(&m_dst, 3, 2), 3);
    EXPECT_EQ(DDIndexAt(&m_dst, 0, 0), 9);  // outside the circle
    if (lpDTCon && nScreenBpp == 32) {
        EXPECT_EQ(DDLensBlt(&m_dst, 2, 2, 2, 1, &m_src, 2, 2, 0, 1), 1);
        EXPECT_EQ(Raw(&m_dst, 0, 0), 0u);  // cleared outside
        EXPECT_EQ(Raw(&m_dst, 2, 2), 0u);  // transparent source cleared
    }
}

// Rotation on locked pixels (DirectDraw; under Direct3D with a
// system-memory source).
class RotateTest : public EffectPixelsTest {};

TEST_P(RotateTest, QuarterAndHalfTurns)
{
    Make(8, 8, 20, 20, DTMEMORYTYPE_SYSTEM);
    std::vector<int> v;
    for (int k = 0; k < 64; k++) v.push_back(1 + k);
    DDPutIndices(&m_src, 8, 8, v);
    auto S = [&](int x, int y) { return 1 + x + y * 8; };
    auto D = [&](int x, int y) { return DDIndexAt(&m_dst, x, y); };

    // 0 degrees: a 1:1 copy with the pivot (4, 4) on (10, 10); the margin stays.
    DDRotateBlt(&m_dst, 10, 10, 8, 8, 4, 4, 0, &m_src, 0, 0, 0);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) { ASSERT_EQ(D(6 + x, 6 + y), S(x, y)); }
    EXPECT_EQ(D(5, 6), 0);
    EXPECT_EQ(D(14, 14), 0);

    // 90 degrees: offset (a, b) from the pivot shows source (4 + b, 4 - a).
    DDFillRect(&m_dst, 0, 0, 20, 20, 0);
    DDRotateBlt(&m_dst, 10, 10, 8, 8, 4, 4, 90, &m_src, 0, 0, 0);
    for (int b = -4; b < 4; b++)
        for (int a = -3; a <= 4; a++) { ASSERT_EQ(D(10 + a, 10 + b), S(4 + b, 4 - a)) << a << "," << b; }

    // 180 degrees: offset (a, b) shows source (4 - a, 4 - b).
    DDFillRect(&m_dst, 0, 0, 20, 20, 0);
    DDRotateBlt(&m_dst, 10, 10, 8, 8, 4, 4, 180, &m_src, 0, 0, 0);
    for (int b = -3; b <= 4; b++)
        for (int a = -3; a <= 4; a++) { ASSERT_EQ(D(10 + a, 10 + b), S(4 - a, 4 - b)); }

    // With the key a transparent source pixel keeps the destination.
    DDPutIndices(&m_dst, 20, 20, std::vector<int>(400, 9));
    PutRaw(&m_src, 4, 4, DDRawOfIndex(&m_src, 0));
    DDRotateBlt(&m_dst, 10, 10, 8, 8, 4, 4, 0, &m_src, 0, 0, 1);
    EXPECT_EQ(D(10, 10), 9);
    EXPECT_EQ(D(11, 10), S(5, 4));
    DDRotateBlt(&m_dst, 10, 10, 8, 8, 4, 4, 0, &m_src, 0, 0, 0);
    EXPECT_EQ(D(10, 10), 0);

    // A source corner left of the surface is not read.
    DDFillRect(&m_dst, 0, 0, 20, 20, 0);
    DDRotateBlt(&m_dst, 10, 10, 8, 8, 4, 4, 0, &m_src, -2, 0, 0);
    EXPECT_EQ(D(6, 6), 0);
    EXPECT_EQ(D(8, 6), S(0, 0));
}

TEST_P(RotateTest, ThirtyDegreesUsesTenBitFactors)
{
    Make(40, 40, 60, 60, DTMEMORYTYPE_SYSTEM);
    std::vector<int> v;
    for (int k = 0; k < 1600; k++) v.push_back(1 + k % 250);
    DDPutIndices(&m_src, 40, 40, v);
    DDRotateBlt(&m_dst, 30, 30, 40, 40, 20, 20, 30, &m_src, 0, 0, 0);
    // Destination offset (a, b) from the pivot shows source
    // u = 20 + floor((886 a + 511 b) / 1024), w = 20 + floor((-511 a + 886 b) / 1024),
    // the factors of 30 degrees in ten bits; source pixel (u, w) holds
    // index 1 + (u + 40 w) mod 250. Worked out by hand:
    struct CASE {
        int a, b;
        int nIndex;
    };
    const CASE cases[] = {
        {0, 0, 71},      // (20, 20): 1 + 820 mod 250
        {10, 0, 129},    // u = 20 + floor(8.65) = 28, w = 20 + floor(-4.99) = 15: 1 + 628 mod 250
        {0, 10, 145},    // u = 20 + floor(4.99) = 24, w = 20 + floor(8.65) = 28: 1 + 1144 mod 250
        {-10, -10, 147}, // u = 20 + floor(-13.64) = 6, w = 20 + floor(-3.66) = 16: 1 + 646 mod 250
        {15, -12, 107},  // u = 20 + floor(6.99) = 26, w = 20 + floor(-17.87) = 2: 1 + 106
        {0, 27, 0},      // w = 20 + floor(23.36) = 43: past the source
        {-26, 5, 0},     // u = 20 + floor(-20.00) = -1: left of the source
        {-30, -30, 0},   // outside the turned picture's box
    };
    for (const CASE& c : cases) EXPECT_EQ(DDIndexAt(&m_dst, 30 + c.a, 30 + c.b), c.nIndex) << c.a << "," << c.b;
}

TEST(EffectRotate, DeviceQuadUnderDirect3D)
{
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDMakeTarget(&src, 4, 4, 1));
    ASSERT_TRUE(DDMakeTarget(&dst, 12, 12, 1));
    std::vector<int> v;
    for (int k = 0; k < 16; k++) v.push_back(1 + k);
    DDPutIndices(&src, 4, 4, v);
    DDPutIndices(&dst, 12, 12, std::vector<int>(144, 0));
    EXPECT_EQ(DDRotateBlt(&dst, 6, 6, 4, 4, 2, 2, 0, &src, 0, 0, 0), 1);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) { EXPECT_EQ(DDIndexAt(&dst, 4 + x, 4 + y), 1 + x + 4 * y); }
    // 180 degrees about the corner point (6, 6): pixel (6 + a, 6 + b) samples
    // source (1 - a, 1 - b).
    DDPutIndices(&dst, 12, 12, std::vector<int>(144, 0));
    DDRotateBlt(&dst, 6, 6, 4, 4, 2, 2, 180, &src, 0, 0, 0);
    for (int b = -2; b < 2; b++)
        for (int a = -2; a < 2; a++) { EXPECT_EQ(DDIndexAt(&dst, 6 + a, 6 + b), 1 + (1 - a) + 4 * (1 - b)); }
    EXPECT_EQ(DDRotateBlt(&dst, 6, 6, 4, 4, 2, 2, 45, nullptr, 0, 0, 0), 1);
    DDReleaseSurface(&src);
    DDReleaseSurface(&dst);
    DDRelease();
}

INSTANTIATE_TEST_SUITE_P(Profiles, EffectPixelsTest, testing::ValuesIn(DDAllProfiles()), DDProfileName);
INSTANTIATE_TEST_SUITE_P(Profiles, LensTest, testing::ValuesIn(DDAllProfiles()), DDProfileName);
INSTANTIATE_TEST_SUITE_P(Profiles, RotateTest, testing::ValuesIn(DDAllProfiles()), DDProfileName);

}  // namespace

#include "graphics/DDEffectPixels.h"

namespace {

// The fast blend and division equal their plain formulas.
TEST(EffectArithmetic, BlendAndDivisionAreExact)
{
    uint32_t seed = 1;
    auto next = [&seed]() { return seed = seed * 1664525u + 1013904223u; };
    for (int k = 0; k < 200000; k++) {
        uint32_t s = next(), d = next();
        uint32_t a = s >> 24, want = 0;
        if (a == 255) want = s;
        else if (a == 0) want = d;
        else
            for (int sh = 0; sh < 32; sh += 8)
                want |= ((((s >> sh) & 255) * a + ((d >> sh) & 255) * (255 - a) + 127) / 255) << sh;
        ASSERT_EQ(FxBlend(s, d), want);
    }
    cFxDivider div;
    for (uint32_t n : {1u, 2u, 3u, 7u, 16u, 255u, 1000u, 65535u, 307200u, 4000000u}) {
        for (uint32_t s : {0u, 1u, n - 1, n, n + 1, 255 * n, 255 * n - 1, 0x7FFFFFFFu, 0xFFFFFFFFu, n * 3 + 2})
            ASSERT_EQ(div.Div(s, n), s / n) << s << "/" << n;
        for (int k = 0; k < 2000; k++) {
            uint32_t s = next() % (256 * n);
            ASSERT_EQ(div.Div(s, n), s / n) << s << "/" << n;
        }
    }
}

// The single-precision division of field sums: by hand, exact multiples
// (21 / 7 = 3, 255 * 49 / 49 = 255), one below (20 / 7 = 2, 254 / 255 = 0)
// and the largest sums; then every sum a box of n pixels of fields up to m
// can hold, for the field widths there are (8, 6 and 5 bits) and every n
// with m * n <= 65535.
TEST(EffectArithmetic, FieldDivisionInSinglePrecisionIsExact)
{
    struct CASE {
        uint32_t s, n, q;
    };
    const CASE cases[] = {{21, 7, 3},   {20, 7, 2},         {12495, 49, 255}, {12494, 49, 254}, {254, 255, 0},
                          {255, 255, 1}, {65535, 257, 255}, {65534, 257, 254}, {0, 1, 0},        {255, 1, 255},
                          {62, 2, 31},   {63, 2, 31}};
    for (const CASE& c : cases) EXPECT_EQ(FxFieldDivide(c.s, FxFieldReciprocal(c.n)), c.q) << c.s << "/" << c.n;
    for (uint32_t m : {255u, 63u, 31u}) {
        for (uint32_t n = 1; m * n <= 65535; n++) {
            const float fRcp = FxFieldReciprocal(n);
            uint32_t nWrong = 0;
            for (uint32_t s = 0; s <= m * n; s++) nWrong += FxFieldDivide(s, fRcp) != s / n;
            ASSERT_EQ(nWrong, 0u) << "m " << m << " n " << n;
        }
    }
}

}  // namespace

namespace {

// Locked paths into the 16-bit full-screen back buffer (R5G6B5) take the
// texture's five-bit green doubled.
TEST(EffectBackBuffer, FiveBitGreenDoubledInto565)
{
    ASSERT_TRUE(DDStartProfile({1, 16, 0, "D3D16"}));
    ASSERT_EQ(DDGetPixels(&BackBuffer)->nFormat, DDFMT_R5G6B5);
    DDSURFACEDATA src;
    ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 1, 0, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) PutFields(&src, x, y, {10, 20, 5});
    auto back = [](int x, int y) { return GetFields(&BackBuffer, x, y); };
    DDPutIndices(&BackBuffer, 32, 32, std::vector<int>(32 * 32, 0));

    ASSERT_TRUE(DDMosaicBlt(&BackBuffer, 0, 0, 4, 4, 1, &src, 0, 0, 0));
    EXPECT_EQ(back(1, 1), (FIELDS{10, 40, 5}));
    ASSERT_TRUE(DDMosaicBlt(&BackBuffer, 4, 0, 4, 4, 2, &src, 0, 0, 0));
    EXPECT_EQ(back(5, 1), (FIELDS{10, 40, 5}));
    ASSERT_TRUE(DDBlurBlt(&BackBuffer, 8, 0, 4, 4, 1, 1, &src, 0, 0, 0));
    EXPECT_EQ(back(9, 1), (FIELDS{10, 40, 5}));
    EXPECT_EQ(DDLensBlt(&BackBuffer, 14, 2, 2, 1, &src, 1, 1, 0, 0), 1);
    EXPECT_EQ(back(14, 2), (FIELDS{10, 40, 5}));
    EXPECT_EQ(DDRotateBlt(&BackBuffer, 18, 2, 4, 4, 2, 2, 0, &src, 0, 0, 0), 1);
    EXPECT_EQ(back(17, 1), (FIELDS{10, 40, 5}));

    // Translucent over (0, 2, 0): red (10 + 0) >> 1, green (2 * 20 + 2) >> 1.
    DDFillRectRGB(&BackBuffer, 0, 8, 4, 4, 0xFF000800u);  // green 8 of 255 -> field 2
    ASSERT_EQ(back(0, 8), (FIELDS{0, 2, 0}));
    EXPECT_EQ(DDAlphaBlt(&BackBuffer, 0, 8, 4, 4, &src, 0, 0, 0, aBlendTable, 0), 1);
    EXPECT_EQ(back(0, 8), (FIELDS{5, 21, 2}));

    // Colour change level 1 towards black: the green field written as the sum.
    PALETTEENTRY pal[256] = {};
    ASSERT_TRUE(DDColorChangeBlt(&BackBuffer, 4, 8, 4, 4, &src, 0, 0, 0, pal, aBlendTable, 0, 1));
    EXPECT_EQ(back(4, 8), (FIELDS{5, 20, 2}));
    DDReleaseSurface(&src);
    DDRelease();
}

}  // namespace
