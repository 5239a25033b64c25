// Blits, fills, clipping, circles and colour conversions under every profile.
#include <gtest/gtest.h>

#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

class DDBltProfile : public testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile(GetParam())); }
    void TearDown() override { DDRelease(); }
};

// A 4x4 source: index 1 + x + 4y, with index 0 (transparent) at (1,1) and (2,2).
std::vector<int> SourceIndices() {
    std::vector<int> v;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) v.push_back((x == y && (x == 1 || x == 2)) ? 0 : 1 + x + 4 * y);
    return v;
}

struct BLTCASE {
    const char* pszName;
    int x, y, w, h, sx, sy, sw, sh, nFlags;
    std::vector<int> vExpect;  // 4x4 destination indices, background 200
};

constexpr int B = 200;

TEST_P(DDBltProfile, CopiesKeyedUnkeyedClippedAndStretched) {
    const std::vector<BLTCASE> cases = {
        {"copy 2x2 at (1,1)", 1, 1, 2, 2, 0, 0, 2, 2, 0,
         {B, B, B, B, B, 1, 2, B, B, 5, 0, B, B, B, B, B}},
        {"keyed copy leaves the transparent pixel", 1, 1, 2, 2, 0, 0, 2, 2, 1,
         {B, B, B, B, B, 1, 2, B, B, 5, B, B, B, B, B, B}},
        {"negative x reads from the source column it skipped", -1, 0, 3, 1, 0, 0, 3, 1, 0,
         {2, 3, B, B, B, B, B, B, B, B, B, B, B, B, B, B}},
        {"negative source x moves the destination by the same amount", 0, 0, 3, 1, -1, 0, 3, 1, 0,
         {B, 1, 2, B, B, B, B, B, B, B, B, B, B, B, B, B}},
        {"zero width draws nothing", 0, 0, 0, 4, 0, 0, 0, 4, 0,
         {B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B}},
        {"zero source height draws nothing", 0, 0, 4, 4, 0, 0, 4, 0, 0,
         {B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, B}},
        {"past the right edge is cut", 3, 3, 4, 4, 0, 0, 4, 4, 0,
         {B, B, B, B, B, B, B, B, B, B, B, B, B, B, B, 1}},
        {"stretch 2x2 to 4x4", 0, 0, 4, 4, 2, 0, 2, 2, 0,
         {3, 3, 4, 4, 3, 3, 4, 4, 7, 7, 8, 8, 7, 7, 8, 8}},
        {"shrink 4x4 to 2x2 samples pixel centres", 0, 0, 2, 2, 0, 0, 4, 4, 0,
         {0, 8, B, B, 14, 16, B, B, B, B, B, B, B, B, B, B}},
    };
    for (const BLTCASE& c : cases) {
        SCOPED_TRACE(c.pszName);
        DDSURFACEDATA src, dst;
        ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
        ASSERT_TRUE(DDMakeTarget(&dst, 4, 4));
        DDPutIndices(&src, 4, 4, SourceIndices());
        DDFillRect(&dst, 0, 0, 4, 4, B);
        if (c.sw == c.w && c.sh == c.h) DDBlt(&dst, c.x, c.y, c.w, c.h, &src, c.sx, c.sy, c.nFlags);
        else DDStretchBlt(&dst, c.x, c.y, c.w, c.h, &src, c.sx, c.sy, c.sw, c.sh, c.nFlags);
        EXPECT_EQ(DDGetIndices(&dst, 4, 4), c.vExpect);
    }
}

TEST_P(DDBltProfile, LockedPathCopiesIntoSystemSurfaces) {
    // Under Direct3D a system-memory texture is written through locked pixels:
    // no blending, keyed pixels left out by their alpha.
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    ASSERT_TRUE(DDCreateSurface(&dst, 4, 4, 0, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    DDPutIndices(&src, 4, 4, SourceIndices());
    DDPutIndices(&dst, 4, 4, std::vector<int>(16, B));
    DDBlt(&dst, 0, 0, 3, 3, &src, 0, 0, 1);
    EXPECT_EQ(DDGetIndices(&dst, 4, 4), (std::vector<int>{1, 2, 3, B, 5, B, 7, B, 9, 10, B, B, B, B, B, B}));
    DDBlt(&dst, 0, 0, 3, 3, &src, 0, 0, 0);
    EXPECT_EQ(DDIndexAt(&dst, 1, 1), 0);
}

TEST_P(DDBltProfile, FillsCutToTheSurface) {
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 8, 8));
    DDFillRect(&dst, 0, 0, 8, 8, B);
    DDFillRect(&dst, -5, 0, 10, 4, 7);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) EXPECT_EQ(DDIndexAt(&dst, x, y), (x <= 4 && y <= 3) ? 7 : B) << x << "," << y;
    DDFillRect(&dst, -3, 6, 100, 1, 9);
    for (int x = 0; x < 8; x++) EXPECT_EQ(DDIndexAt(&dst, x, 6), 9);
    DDFillRect(&dst, 0, 0, 0, 8, 11);
    DDFillRect(&dst, 8, 0, 4, 8, 11);
    EXPECT_EQ(DDIndexAt(&dst, 7, 7), B);
    DDClear(&dst, 12);
    EXPECT_EQ(DDGetIndices(&dst, 8, 8), std::vector<int>(64, 12));
}

// Filling with the transparent colour of a keyed surface: a keyed blit of it
// then leaves the destination alone there. Under DirectDraw the key is
// index 7 here, not palette colour 0, and the fill writes the key itself.
TEST_P(DDBltProfile, TransparentFillIsLeftOutByKeyedBlits) {
    if (!lpDTCon) dwTransColor = PalNumToRGB(7);
    DDSURFACEDATA keyed, dst;
    ASSERT_TRUE(DDCreateSurface(&keyed, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 4));
    DDPutIndices(&keyed, 4, 4, std::vector<int>(16, B));
    DDFillTransparent(&keyed, 1, 1, 2, 2);
    if (!lpDTCon) {
        EXPECT_EQ(DDIndexAt(&keyed, 1, 1), 7);
    }
    DDFillRect(&dst, 0, 0, 4, 4, 9);
    DDBlt(&dst, 0, 0, 4, 4, &keyed, 0, 0, 1);
    EXPECT_EQ(DDGetIndices(&dst, 4, 4), (std::vector<int>{B, B, B, B, B, 9, 9, B, B, 9, 9, B, B, B, B, B}));
}

TEST_P(DDBltProfile, CirclesPlotOnlyInsideTheSurface) {
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 8, 8));
    DDClear(&dst, B);
    DDCircle(&dst, 3, 3, 0, 7);
    EXPECT_EQ(DDGetIndices(&dst, 8, 8), std::vector<int>(64, B));
    DDCircle(&dst, 3, 3, 1, 7);
    std::vector<int> expect(64, B);
    for (auto [x, y] : {std::pair{3, 2}, {2, 3}, {4, 3}, {3, 4}}) expect[static_cast<size_t>(y) * 8 + x] = 7;
    EXPECT_EQ(DDGetIndices(&dst, 8, 8), expect);
    // A circle around a corner draws its inside quarter only.
    DDClear(&dst, B);
    DDCircle(&dst, 0, 0, 3, 9);
    EXPECT_EQ(DDIndexAt(&dst, 3, 0), 9);
    EXPECT_EQ(DDIndexAt(&dst, 0, 3), 9);
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), B);
}

TEST_P(DDBltProfile, ReleaseTwiceAndCopiesNeverShareStorage) {
    DDSURFACEDATA a;
    ASSERT_TRUE(DDMakeTarget(&a, 4, 4));
    DDSURFACEDATA b(a);
    EXPECT_EQ(b.lpDT, nullptr);
    EXPECT_EQ(b.lpDDS, nullptr);
    EXPECT_EQ(b.nWidth, 4);
    DDReleaseSurface(&a);
    DDReleaseSurface(&a);
    EXPECT_EQ(DDGetPixels(&a), nullptr);
    DDSURFACEDATA never;
    DDReleaseSurface(&never);
}

TEST_P(DDBltProfile, AbsurdCoordinatesDrawNothing) {
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 4));
    DDFillRect(&dst, 0, 0, 4, 4, B);
    DDFillRect(&src, 0, 0, 4, 4, 3);
    const int kMin = -2147483647 - 1, kMax = 2147483647;
    DDStretchBlt(&dst, kMin, 0, kMax, 4, &src, 0, 0, kMax, 4, 0);
    DDStretchBlt(&dst, 0, 0, 4, 4, &src, kMin, 0, kMax, 4, 0);
    DDBlt(&dst, kMin, kMin, kMax, kMax, &src, kMax, kMax, 1);
    DDCircle(&dst, 2, 2, kMax, 3);
    DDCircle(&dst, kMin, 2, 5, 3);
    EXPECT_EQ(DDGetIndices(&dst, 4, 4), std::vector<int>(16, B));
    DDFillRect(&dst, kMin, kMin, kMax, kMax, 5);
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), B) << "the rectangle ends before the surface";
    DDFillRect(&dst, -10, -10, kMax, kMax, 5);
    EXPECT_EQ(DDGetIndices(&dst, 4, 4), std::vector<int>(16, 5));
}

INSTANTIATE_TEST_SUITE_P(All, DDBltProfile, testing::ValuesIn(DDAllProfiles()), DDProfileName);

TEST(DDBltD3D16, TexelsReachThe565BackBufferWithGreenRoundedAndTheirAlphaBitAsKey) {
    ASSERT_TRUE(DDStartProfile({1, 16, 0, "D3D16"}, 64, 8));
    // Green five-bit field g to six bits: g * 255 / 31 to eight bits, then
    // (g8 * 63 + 127) / 255, worked out for every g.
    const uint32_t aGreen6[32] = {0,  2,  4,  6,  8,  10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30,
                                  32, 34, 37, 39, 41, 42, 44, 47, 49, 51, 53, 55, 57, 59, 61, 63};
    DDPIXELS* back = DDGetPixels(&BackBuffer);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->nFormat, DDFMT_R5G6B5);
    DDSURFACEDATA src;
    ASSERT_TRUE(DDCreateSurface(&src, 64, 1, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    DDPIXELS* s = DDGetPixels(&src);
    ASSERT_EQ(s->nFormat, DDFMT_A1R5G5B5);
    // Rows of 43 texels (sixteen, eight and one at a time), 35 and 7; the
    // last three of each without alpha.
    for (int n : {43, 35, 7}) {
        SCOPED_TRACE(n);
        for (int k = 0; k < n; k++) {
            uint32_t r = (k * 7) % 32, g = (k + 16) % 32, b = 31 - k % 32;
            DDPutRaw(*s, k, 0, (k < n - 3 ? 0x8000u : 0u) | r << 10 | g << 5 | b);
        }
        back = DDGetPixels(&BackBuffer);
        for (int k = 0; k < 64; k++) DDPutRaw(*back, k, 0, 0x1234u);
        DDBlt(&BackBuffer, 0, 0, n, 1, &src, 0, 0, 1);
        back = DDGetPixels(&BackBuffer);
        for (int k = 0; k < 64; k++) {
            SCOPED_TRACE(k);
            uint32_t want = 0x1234u;
            if (k < n - 3) want = ((k * 7) % 32) << 11 | aGreen6[(k + 16) % 32] << 5 | (31 - k % 32);
            EXPECT_EQ(DDGetRaw(*back, k, 0), want);
        }
    }
    DDReleaseSurface(&src);
    DDRelease();
}

class DDBltD3D : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"})); }
    void TearDown() override { DDRelease(); }
};

TEST_F(DDBltD3D, UnkeyedCopyOfKeyedImageCopiesTransparencyIntoTexturesAndShowsTheKeyOnTheBackBuffer) {
    DDSetTransmit(10, 20, 30);
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 4));
    DDPutIndices(&src, 4, 4, SourceIndices());
    DDFillRect(&dst, 0, 0, 4, 4, B);
    DDBlt(&dst, 0, 0, 4, 4, &src, 0, 0, 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&dst), 1, 1), 0u);
    DDFillRect(&BackBuffer, 0, 0, 4, 4, B);
    DDBlt(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 1, 1) & 0xFFFFFFu, 0x0A141Eu);
    DDFillRect(&BackBuffer, 0, 0, 4, 4, B);
    DDBlt(&BackBuffer, 0, 0, 4, 4, &src, 0, 0, 1);
    EXPECT_EQ(DDIndexAt(&BackBuffer, 1, 1), B);
}

TEST_F(DDBltD3D, FillWithColourZeroClearsAKeyedTextureToTransparent) {
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 4, 1));
    DDFillRect(&dst, 0, 0, 4, 4, B);
    DDFillRect(&dst, 1, 1, 2, 2, 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&dst), 1, 1), 0u);
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), B);
}

TEST_F(DDBltD3D, MirroredStretchReadsTheSpanBackwardsExactly) {
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 4));
    DDPutIndices(&src, 4, 4, SourceIndices());
    DDFillRect(&dst, 0, 0, 4, 4, B);
    DDStretchBlt(&dst, 0, 0, 4, 1, &src, 4, 0, -4, 1, 0);
    EXPECT_EQ(DDGetIndices(&dst, 4, 1), (std::vector<int>{4, 3, 2, 1}));
    // Twice as wide: each source column twice, backwards.
    DDStretchBlt(&dst, 0, 1, 4, 1, &src, 2, 0, -2, 1, 0);
    EXPECT_EQ(DDIndexAt(&dst, 0, 1), 2);
    EXPECT_EQ(DDIndexAt(&dst, 1, 1), 2);
    EXPECT_EQ(DDIndexAt(&dst, 2, 1), 1);
    EXPECT_EQ(DDIndexAt(&dst, 3, 1), 1);
}

TEST_F(DDBltD3D, SharedMirrorCopyDrawsEachCellMirroredFromTheOwnersTexture) {
    DDSURFACEDATA owner, mirror, dst;
    ASSERT_TRUE(DDCreateSurface(&owner, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDCreateSurface(&mirror, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, &owner, 0));
    mirror.lpMirrorSD = &owner;
    mirror.nMirrorWidth = 2;
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 4));
    DDPutIndices(&owner, 4, 4, SourceIndices());
    DDFillRect(&dst, 0, 0, 4, 4, B);
    DDBlt(&dst, 0, 0, 2, 1, &mirror, 2, 0, 1);   // the second cell, mirrored
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), 4);
    EXPECT_EQ(DDIndexAt(&dst, 1, 0), 3);
    DDBlt(&dst, 0, 1, 1, 1, &mirror, 0, 0, 1);   // a part of a cell
    EXPECT_EQ(DDIndexAt(&dst, 0, 1), 2);
    // Releasing the sharer leaves the owner's texture.
    DDReleaseSurface(&mirror);
    EXPECT_NE(DDGetPixels(&owner), nullptr);
}

TEST_F(DDBltD3D, SharersFollowTheirTextureOwnerWhenItMoves) {
    std::vector<DDSURFACEDATA> owners(1);
    ASSERT_TRUE(DDCreateSurface(&owners[0], 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    DDFillRect(&owners[0], 0, 0, 4, 4, 7);
    DDSURFACEDATA sharer, dst;
    ASSERT_TRUE(DDCreateSurface(&sharer, 4, 4, 1, 0, DTMEMORYTYPE_VIDEO_RT, &owners[0], 0));
    sharer.lpMirrorSD = &owners[0];
    for (int i = 0; i < 20; i++) owners.emplace_back();  // reallocates
    EXPECT_EQ(sharer.lpMirrorSD, &owners[0]);
    ASSERT_TRUE(DDMakeTarget(&dst, 4, 4));
    DDBlt(&dst, 0, 0, 4, 4, &sharer, 0, 0, 1);
    EXPECT_EQ(DDIndexAt(&dst, 2, 2), 7);
    owners.clear();
    EXPECT_EQ(sharer.lpMirrorSD, nullptr);
    DDBlt(&dst, 0, 0, 4, 4, &sharer, 0, 0, 1);  // draws nothing, touches nothing freed
}

TEST_F(DDBltD3D, BlitColourOperationsAndAlphaBlend) {
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 1, 1, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 1, 1));
    DDPutRaw(*DDGetPixels(&src), 0, 0, 0xFF804020u);
    struct OPCASE { uint32_t dwColor; int nOp; uint32_t dwDst; uint32_t dwExpect; };
    const OPCASE cases[] = {
        {0xFFFFFFFFu, D3DTOP_MODULATE, 0, 0x804020u},
        {0xFF808080u, D3DTOP_MODULATE, 0, 0x402010u},
        {0xFF202020u, D3DTOP_ADD, 0, 0xA06040u},
        {0xFF202020u, D3DTOP_SUBTRACT, 0, 0x602000u},
        {0xFF112233u, D3DTOP_SELECTARG2, 0, 0x112233u},
        // Half alpha from the diffuse colour: (src * 128 + dst * 127 + 127) / 255.
        {0x80FFFFFFu, D3DTOP_MODULATE, 0xFF0000FFu, 0x40208Fu},
    };
    for (const OPCASE& c : cases) {
        DDPutRaw(*DDGetPixels(&dst), 0, 0, c.dwDst);
        DDSetBltAlphaOp(D3DTOP_MODULATE);
        const int pair[2] = {static_cast<int>(c.dwColor), c.nOp};
        DDBltColor(&dst, 0, 0, 1, 1, &src, 0, 0, 1, pair);
        DDResetBltAlphaOp();
        EXPECT_EQ(DDGetRaw(*DDGetPixels(&dst), 0, 0) & 0xFFFFFFu, c.dwExpect) << std::hex << c.dwColor << " op " << c.nOp;
    }
    EXPECT_EQ(lpDTCon->dwBltColor, 0xFFFFFFFFu);
    EXPECT_EQ(lpDTCon->nBltColorOp, D3DTOP_MODULATE);
}

TEST(DDClip, RectanglesOfOneToOneAndScaledBlits) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}));
    DDSURFACEDATA src, dst;
    ASSERT_TRUE(DDCreateSurface(&src, 8, 8, 0, 1, 0, nullptr, 0));
    ASSERT_TRUE(DDCreateSurface(&dst, 16, 16, 0, 1, 0, nullptr, 0));
    struct CLIPCASE { int in[8]; int bLeft; int out[8]; };
    const CLIPCASE cases[] = {
        {{-10, 0, 20, 4, 0, 0, 20, 4}, 0, {}},                              // the source is only 8 wide
        {{-2, 0, 4, 4, 0, 0, 4, 4}, 1, {0, 0, 2, 4, 2, 0, 2, 4}},
        {{3, 0, 4, 4, -1, 0, 4, 4}, 1, {4, 0, 3, 4, 0, 0, 3, 4}},
        {{14, 14, 8, 8, 0, 0, 8, 8}, 1, {14, 14, 2, 2, 0, 0, 2, 2}},
        {{0, 0, 0, 4, 0, 0, 0, 4}, 0, {}},
        {{0, 0, 16, 16, -4, 0, 8, 8}, 1, {8, 0, 8, 16, 0, 0, 4, 8}},       // scaled: source cut, destination in proportion
        {{-8, 0, 16, 16, 0, 0, 8, 8}, 1, {0, 0, 8, 16, 4, 0, 4, 8}},       // scaled: destination cut, source in proportion
    };
    for (const CLIPCASE& c : cases) {
        int x = c.in[0], y = c.in[1], w = c.in[2], h = c.in[3], sx = c.in[4], sy = c.in[5], sw = c.in[6], sh = c.in[7];
        int r = DDClipRect(&dst, &x, &y, &w, &h, &src, &sx, &sy, &sw, &sh);
        EXPECT_EQ(r, c.bLeft) << c.in[0] << " " << c.in[4];
        if (r && c.bLeft) {
            EXPECT_EQ((std::vector<int>{x, y, w, h, sx, sy, sw, sh}), std::vector<int>(c.out, c.out + 8));
        }
    }
    DDRelease();
}

TEST(DDColour, RoundingRules) {
    EXPECT_EQ(DDExpandChannel(31, 31), 255u);
    EXPECT_EQ(DDExpandChannel(16, 31), 131u);
    EXPECT_EQ(DDExpandChannel(63, 63), 255u);
    EXPECT_EQ(DDReduceChannelRound(131, 31), 16u);
    EXPECT_EQ(DDReduceChannelTrunc(128, 31), 15u);
    EXPECT_EQ(DDReduceChannelTrunc(128, 63), 31u);
    EXPECT_EQ(DDReduceChannelRound(128, 31), 16u);
    for (uint32_t c = 0; c <= 31; c++) EXPECT_EQ(DDReduceChannelRound(DDExpandChannel(c, 31), 31), c);
    for (uint32_t c = 0; c <= 63; c++) EXPECT_EQ(DDReduceChannelRound(DDExpandChannel(c, 63), 63), c);
    EXPECT_EQ(DDPackARGB(DDFMT_A1R5G5B5, 0xFFFFFFFFu), 0xFFFFu);
    EXPECT_EQ(DDPackARGB(DDFMT_A1R5G5B5, 0x7FFFFFFFu), 0x7FFFu);
    EXPECT_EQ(DDPackARGB(DDFMT_R5G6B5, 0xFF808080u), (16u << 11) | (32u << 5) | 16u);
    EXPECT_EQ(DDUnpackARGB(DDFMT_R5G6B5, 0xFFFFu), 0xFFFFFFFFu);
}

TEST(DDColour, PaletteColoursAndTransparentColourPerDepth) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    EXPECT_EQ(PalNumToRGB(0), 0u);
    aPalette[3] = {1, 2, 3, 0};
    EXPECT_EQ(PalNumToRGB(3), 0xFF010203u);
    EXPECT_EQ(PalNumToRGB(256), 0u);
    EXPECT_EQ(DDPalToRGB16(aPalette[3]), 0u);
    DDSetTransmit(10, 20, 30);
    EXPECT_EQ(lpDTCon->dwTransmitBack, 0xFF0A141Eu);
    EXPECT_EQ(lpDTCon->dwTransmit, 0u);

    ASSERT_TRUE(DDStartProfile({0, 16, 0, "DD16"}));
    EXPECT_EQ(pfDraw.nShiftR, 11);
    EXPECT_EQ(pfDraw.nShiftG, 5);
    EXPECT_EQ(pfDraw.nMaxG, 63u);
    DDCountMaskShifts(0xF800, 0x07E0, 0x001F, 16);
    EXPECT_EQ(pfDraw.nShiftR, 11);
    EXPECT_EQ(pfDraw.nMaxR, 31u);
    aPalette[0] = {3, 4, 5, 0};
    EXPECT_EQ(PalNumToRGB(0), (3u << 11) | (4u << 5) | 5u);
    EXPECT_EQ(DDPalToRGB16({15, 31, 15, 0}), (15u << 11) | (31u << 5) | 15u);
    DDSetTransmit(128, 128, 128);
    EXPECT_EQ(dwTransColor, (15u << 11) | (31u << 5) | 15u);

    ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}));
    dwTransColor = 7;
    DDSetTransmit(255, 0, 0);
    EXPECT_EQ(dwTransColor, 7u);
    EXPECT_EQ(PalNumToRGB(42), 42u);

    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}));
    DDSetTransmit(255, 0, 0);
    EXPECT_EQ(dwTransColor, 0x00FF0000u);
    EXPECT_EQ(lpDDCon->rgbTransmit.rgbtRed, 255);
    DDRelease();
}

TEST(DDColour, LockedCopyOntoTheSixteenBitFullScreenBackBufferDoublesGreen) {
    ASSERT_TRUE(DDStartProfile({1, 16, 0, "D3D16"}));
    EXPECT_EQ(DDSurfaceFormat(&BackBuffer), DDFMT_R5G6B5);
    DDSURFACEDATA src;
    ASSERT_TRUE(DDCreateSurface(&src, 1, 1, 0, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    DDPutRaw(*DDGetPixels(&src), 0, 0, 0x8000u | (7u << 10) | (9u << 5) | 3u);
    DDBlt(&BackBuffer, 0, 0, 1, 1, &src, 0, 0, 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0), (7u << 11) | (18u << 5) | 3u);
    DDRelease();
}

TEST(DDColour, DeviceDrawOntoTheSixteenBitBackBufferGoesThroughEightBits) {
    ASSERT_TRUE(DDStartProfile({1, 16, 0, "D3D16"}));
    DDSURFACEDATA src;
    ASSERT_TRUE(DDCreateSurface(&src, 2, 1, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    DDPutRaw(*DDGetPixels(&src), 0, 0, 0x8000u | (31u << 5));
    DDPutRaw(*DDGetPixels(&src), 1, 0, 0x8000u | (16u << 10) | (17u << 5) | 1u);
    DDBlt(&BackBuffer, 0, 0, 2, 1, &src, 0, 0, 1);
    // Green 31 -> 255 -> 63 (the locked path's doubling would give 62); 16 -> 131 -> 16; 17 -> 139 -> 34.
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 0, 0), 63u << 5);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&BackBuffer), 1, 0), (16u << 11) | (34u << 5) | 1u);
    DDRelease();
}

TEST(DDColour, EightBitFileOnASixteenBitScreenTakesTheTopBits) {
    cTempDir dir;
    // Colour (255, 132, 7): the top bits give 31, 33, 0 (scaling by 63 / 255 would give green 32).
    ASSERT_TRUE(dir.WriteFile("e.bmp", DDBuildBmp(1, 1, 8, {0xFF8407}, {0})));
    ASSERT_TRUE(DDStartProfile({0, 16, 0, "DD16"}));
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "e.bmp", 0, 16, 0, 0, nullptr, 0, 0, 0, 0), 0);
    EXPECT_EQ(DDGetRaw(*DDGetPixels(&sd), 0, 0), (31u << 11) | (33u << 5) | 0u);
    DDRelease();
}

TEST(DDTexture, SizesRoundToPowersOfTwoAndSquares) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}));
    lpDTCon->bPow2 = 1;
    DDSURFACEDATA sd;
    ASSERT_TRUE(DDCreateSurface(&sd, 300, 200, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    EXPECT_EQ(sd.nTexWidth, 512);
    EXPECT_EQ(sd.nTexHeight, 256);
    EXPECT_EQ(sd.nWidth, 300);
    EXPECT_EQ(sd.nHeight, 200);
    lpDTCon->bSquareOnly = 1;
    int w = 300, h = 200;
    DDRoundTextureSize(&w, &h);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 512);
    w = 0, h = 64;
    lpDTCon->bSquareOnly = 0;
    DDRoundTextureSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 64);
    DDRelease();
}

}  // namespace
