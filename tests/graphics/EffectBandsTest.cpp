// Wave, split, turn in depth, burst and circle blits, pixel by pixel, under
// every profile.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "graphics/DDEffect.h"
#include "support/DDTestSupport.h"

namespace {

class EffectBandsTest : public testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile(GetParam())); }
    void TearDown() override
    {
        DDReleaseSurface(&m_src);
        DDReleaseSurface(&m_dst);
        DDRelease();
    }
    // A source of w x h whose pixel (x, y) holds index 1 + (x + y * w) % 250,
    // and a cleared destination of the same size.
    void Make(int w, int h, int dw = -1, int dh = -1)
    {
        ASSERT_TRUE(DDMakeTarget(&m_src, w, h, 1));
        ASSERT_TRUE(DDMakeTarget(&m_dst, dw < 0 ? w : dw, dh < 0 ? h : dh, 1));
        std::vector<int> v;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) v.push_back(Src(x, y, w));
        DDPutIndices(&m_src, w, h, v);
        DDPutIndices(&m_dst, m_dst.nWidth, m_dst.nHeight, std::vector<int>(static_cast<size_t>(m_dst.nWidth) * m_dst.nHeight, 0));
    }
    static int Src(int x, int y, int w) { return 1 + (x + y * w) % 250; }
    int At(int x, int y) { return DDIndexAt(&m_dst, x, y); }

    DDSURFACEDATA m_src, m_dst;
};

TEST_P(EffectBandsTest, WaveWithoutAmplitudeIsTheSource)
{
    Make(8, 6);
    for (int nAxis : {0, 1})
        for (int nBand : {1, 2, 4}) {
            DDFillRect(&m_dst, 0, 0, 8, 6, 0);
            DDWaveBlt(&m_dst, 0, 0, 8, 6, 3, 0.0, 10, nBand, &m_src, 0, 0, 0, nAxis);
            EXPECT_EQ(DDGetIndices(&m_dst, 8, 6), DDGetIndices(&m_src, 8, 6)) << nAxis << " " << nBand;
        }
    DDFillRect(&m_dst, 0, 0, 8, 6, 0);
    DDWaveBlt(&m_dst, 0, 0, 8, 6, 3, 5.0, 10, 0, &m_src, 0, 0, 0, 0);
    EXPECT_EQ(DDGetIndices(&m_dst, 8, 6), std::vector<int>(48, 0));
}

TEST_P(EffectBandsTest, WaveBandsOfSevenOver480Rows)
{
    Make(4, 480, 8, 480);
    DDWaveBlt(&m_dst, 2, 0, 4, 480, 2, 2.0, 31, 7, &m_src, 0, 0, 0, 0);
    // 69 bands, the last one 4 rows high. The phase advances 360 / 480 x 7
    // = 5.25 degrees a band before the band is drawn, so band j sits at
    // 2 x (31 + 5.25 (j + 1)) = 72.5 + 10.5 j degrees, and its offset
    // trunc(2 sin) is +1 between 30 and 150 degrees, -1 between 210 and 330,
    // else 0 (no band falls within a degree of those edges). Worked out:
    const char* pszOffset =
        "++++++++"        // bands 0-7: 72.5 .. 146
        "000000"          // 8-13: 156.5 .. 209
        "-----------"     // 14-24: 219.5 .. 324.5
        "000000"          // 25-30: 335 .. 387.5 (27.5)
        "+++++++++++"     // 31-41: 398 .. 503 (38 .. 143)
        "000000"          // 42-47: 513.5 .. 566 (153.5 .. 206)
        "-----------"     // 48-58: 576.5 .. 681.5 (216.5 .. 321.5)
        "000000"          // 59-64: 692 .. 744.5 (332 .. 24.5)
        "++++";           // 65-68: 755 .. 786.5 (35 .. 66.5)
    ASSERT_EQ(std::strlen(pszOffset), 69u);
    for (int j = 0; j < 69; j++) {
        int d = pszOffset[j] == '+' ? 1 : pszOffset[j] == '-' ? -1 : 0;
        for (int y = j * 7; y < std::min(480, j * 7 + 7); y++)
            for (int x = 0; x < 8; x++) {
                int sx = x - 2 - d;
                ASSERT_EQ(At(x, y), (sx >= 0 && sx < 4) ? Src(sx, y, 4) : 0) << x << "," << y << " band " << j;
            }
    }
    // Neighbouring bands of one offset go as one blit: the nine runs above,
    // the last one bands 65-68, 3 x 7 + 4 = 25 rows high.
    if (lpDTCon) {
        ASSERT_EQ(DDGetLastBltFlush().size(), 9u);
        EXPECT_EQ(DDGetLastBltFlush().back().h, 25);
        EXPECT_EQ(DDGetLastBltFlush().front().h, 56);
    }
}

TEST_P(EffectBandsTest, SplitBands)
{
    Make(6, 10, 10, 10);
    DDSplitBlt(&m_dst, 2, 0, 6, 10, 3, 0, &m_src, 0, 0, 0, 0);
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 6; x++) ASSERT_EQ(At(x + 2, y), Src(x, y, 6));

    // Band 3 over 10 rows: bands 0-2 of 3 rows, band 3 of one row shifted like an odd band.
    DDFillRect(&m_dst, 0, 0, 10, 10, 0);
    DDSplitBlt(&m_dst, 2, 0, 6, 10, 3, 2, &m_src, 0, 0, 0, 0);
    for (int y = 0; y < 10; y++) {
        int s = (y / 3) % 2 == 0 ? 2 : -2;
        for (int x = 0; x < 10; x++) {
            int sx = x - 2 - s;
            ASSERT_EQ(At(x, y), (sx >= 0 && sx < 6) ? Src(sx, y, 6) : 0) << x << "," << y;
        }
    }
    // Columns: even bands move down, odd bands up.
    DDFillRect(&m_dst, 0, 0, 10, 10, 0);
    DDSplitBlt(&m_dst, 0, 2, 6, 6, 4, 1, &m_src, 0, 0, 0, 1);
    EXPECT_EQ(At(0, 3), Src(0, 0, 6));  // band 0 down
    EXPECT_EQ(At(4, 1), Src(4, 0, 6));  // band 1 (2 columns) up
    EXPECT_EQ(At(5, 1), Src(5, 0, 6));

    // A negative band draws nothing.
    DDFillRect(&m_dst, 0, 0, 10, 10, 0);
    DDSplitBlt(&m_dst, 0, 0, 6, 10, -3, 2, &m_src, 0, 0, 0, 0);
    EXPECT_EQ(DDGetIndices(&m_dst, 10, 10), std::vector<int>(100, 0));
}

TEST_P(EffectBandsTest, SplitSevenBandsOf480Rows)
{
    Make(2, 480, 4, 480);
    DDSplitBlt(&m_dst, 1, 0, 2, 480, 69, 1, &m_src, 0, 0, 0, 0);
    // Band 6 (rows 414..479, 66 rows) is even: shifted right.
    EXPECT_EQ(At(2, 414), Src(0, 414, 2));
    EXPECT_EQ(At(2, 479), Src(0, 479, 2));
    EXPECT_EQ(At(0, 69), Src(0, 69, 2));  // band 1 shifted left
}

TEST_P(EffectBandsTest, TurnInDepthWidthsByStep)
{
    DDSURFACEDATA back;
    Make(64, 2);
    ASSERT_TRUE(DDMakeTarget(&back, 64, 2, 1));
    DDPutIndices(&m_src, 64, 2, std::vector<int>(128, 1));
    DDPutIndices(&back, 64, 2, std::vector<int>(128, 2));
    struct { int nStep, nWidth, nFace; } aCase[] = {{0, 64, 1},  {31, 2, 1}, {32, 2, 2},  {63, 64, 2},
                                                   {64, 64, 2}, {95, 2, 2}, {96, 2, 1},  {127, 64, 1}};
    for (auto& c : aCase) {
        DDFillRect(&m_dst, 0, 0, 64, 2, 0);
        DDRotateDepthBlt(&m_dst, 0, 0, 64, 2, &m_src, 0, 0, &back, 0, 0, 64, 2, 0, c.nStep, 0);
        int nCount = 0, nFace = 0, nFirst = -1;
        for (int x = 0; x < 64; x++)
            if (int v = At(x, 1)) {
                nCount++;
                nFace = v;
                if (nFirst < 0) nFirst = x;
            }
        EXPECT_EQ(nCount, c.nWidth) << c.nStep;
        EXPECT_EQ(nFace, c.nFace) << c.nStep;
        EXPECT_EQ(nFirst, (64 - c.nWidth) / 2) << c.nStep;
    }
    // Too narrow to turn, or a negative step: nothing.
    DDFillRect(&m_dst, 0, 0, 64, 2, 0);
    DDRotateDepthBlt(&m_dst, 0, 0, 1, 2, &m_src, 0, 0, &back, 0, 0, 64, 2, 0, 5, 0);
    DDRotateDepthBlt(&m_dst, 0, 0, 64, 1, &m_src, 0, 0, &back, 0, 0, 64, 2, 0, 5, 1);
    DDRotateDepthBlt(&m_dst, 0, 0, 64, 2, &m_src, 0, 0, &back, 0, 0, 64, 2, 0, -1, 0);
    EXPECT_EQ(DDGetIndices(&m_dst, 64, 2), std::vector<int>(128, 0));
    DDReleaseSurface(&back);
}

TEST_P(EffectBandsTest, BurstQuarters)
{
    Make(5, 5, 9, 9);
    DDBurstBlt(&m_dst, 0, 0, 5, 5, &m_src, 0, 0, 0, 0);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 5; x++) ASSERT_EQ(At(x, y), (x < 4 && y < 4) ? Src(x, y, 5) : 0) << x << "," << y;
    DDFillRect(&m_dst, 0, 0, 9, 9, 0);
    DDBurstBlt(&m_dst, 2, 2, 5, 5, &m_src, 0, 0, 1, 0);
    EXPECT_EQ(At(1, 1), Src(0, 0, 5));  // top-left quarter up and left
    EXPECT_EQ(At(5, 1), Src(2, 0, 5));  // top-right quarter up and right
    EXPECT_EQ(At(1, 5), Src(0, 2, 5));
    EXPECT_EQ(At(6, 6), Src(3, 3, 5));
    EXPECT_EQ(At(3, 3), 0);
}

// Drawn columns of each destination row: {first, count}.
std::vector<std::pair<int, int>> RowSpans(DDSURFACEDATA* sd, int w, int h)
{
    std::vector<std::pair<int, int>> v;
    for (int y = 0; y < h; y++) {
        int nFirst = -1, n = 0;
        for (int x = 0; x < w; x++)
            if (DDIndexAt(sd, x, y) != 0) {
                if (nFirst < 0) nFirst = x;
                n++;
            }
        v.emplace_back(nFirst, n);
    }
    return v;
}

TEST_P(EffectBandsTest, CircleStrips)
{
    Make(24, 24);
    DDPutIndices(&m_src, 24, 24, std::vector<int>(576, 7));
    // Radius 1: nothing visible; 2: three rows of 2; 3: five rows of 4.
    for (int r : {1, 2, 3}) {
        DDFillRect(&m_dst, 0, 0, 24, 24, 0);
        DDCircleBlt(&m_dst, 10, 10, 100, 100, r, 1, &m_src, 10, 10, 0);
        auto spans = RowSpans(&m_dst, 24, 24);
        for (int y = 0; y < 24; y++) {
            int d = y - 10;
            std::pair<int, int> want(-1, 0);
            if (r == 2 && d >= -1 && d <= 1) want = {9, 2};
            if (r == 3 && d >= -2 && d <= 2) want = {8, 4};
            EXPECT_EQ(spans[y], want) << "r " << r << " row " << y;
        }
    }
    // Radius 10, bands of 3: starts 7, 4, 1, -2, -5, -8; rows -9 and -10 stay.
    DDFillRect(&m_dst, 0, 0, 24, 24, 0);
    DDCircleBlt(&m_dst, 12, 11, 100, 100, 10, 3, &m_src, 12, 11, 0);
    auto spans = RowSpans(&m_dst, 24, 24);
    const int aHalf[] = {6, 8, 9, 9, 9, 7};  // at the middle offsets 8, 5, 2, -1, -4, -7
    for (int b = 0; b < 6; b++) {
        int t = 7 - 3 * b;
        for (int k = 0; k < 3; k++) EXPECT_EQ(spans[11 + t + k], std::make_pair(12 - aHalf[b], 2 * aHalf[b])) << t;
    }
    EXPECT_EQ(spans[11 - 9].second, 0);
    EXPECT_EQ(spans[11 - 10].second, 0);
    EXPECT_EQ(spans[11 + 10].second, 0);

    // A span past the source's left edge starts further right.
    DDFillRect(&m_dst, 0, 0, 24, 24, 0);
    DDCircleBlt(&m_dst, 12, 12, 100, 100, 3, 1, &m_src, 1, 12, 0);
    spans = RowSpans(&m_dst, 24, 24);
    EXPECT_EQ(spans[12], std::make_pair(11, 3));  // source columns 0..2 of -1..2

    // A huge radius is cut to the destination and still exact.
    DDFillRect(&m_dst, 0, 0, 24, 24, 0);
    DDCircleBlt(&m_dst, 12, 12, 12, 2000000000, 2000000000, 1, &m_src, 12, 12, 0);
    EXPECT_EQ(RowSpans(&m_dst, 24, 24)[0], std::make_pair(0, 24));
}

// Absurd sizes and positions finish at once: every loop is cut to the
// destination, and what lands there is exact.
TEST_P(EffectBandsTest, HugeSizesAreCutToTheDestination)
{
    Make(8, 8);
    const int nBig = 2000000000;
    const std::vector<int> none(64, 0);
    std::vector<int> source;
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) source.push_back(Src(x, y, 8));
    auto clear = [&] { DDFillRect(&m_dst, 0, 0, 8, 8, 0); };
    // Areas wholly above or left of the destination draw nothing.
    clear();
    DDWaveBlt(&m_dst, 0, -nBig, 8, nBig, 3, 2.0, 0, 1, &m_src, 0, 0, 0, 0);
    DDWaveBlt(&m_dst, -nBig, 0, nBig, 8, 3, 2.0, 0, 1, &m_src, 0, 0, 0, 1);
    DDSplitBlt(&m_dst, 0, -nBig, 8, nBig, 1, 1, &m_src, 0, 0, 0, 0);
    DDBlurBlt(&m_dst, -nBig, -nBig, nBig, nBig, nBig, nBig, &m_src, 0, 0, 0);
    DDAlphaBlt(&m_dst, -nBig, -nBig, nBig, nBig, &m_src, 0, 0, 0, aBlendTable, 128);
    EXPECT_EQ(DDGetIndices(&m_dst, 8, 8), none);
    // A circle of a huge radius around (4, 4) covers the destination: each
    // pixel shows the source pixel at the same place.
    clear();
    DDCircleBlt(&m_dst, 4, 4, nBig, nBig, nBig, 3, &m_src, 4, 4, 0);
    EXPECT_EQ(DDGetIndices(&m_dst, 8, 8), source);
    // One mosaic block covers the destination: every pixel the same, drawn.
    clear();
    DDMosaicBlt(&m_dst, 0, 0, nBig, nBig, nBig, &m_src, 0, 0, 0);
    uint32_t dwFirst = DDGetRaw(*DDGetPixels(&m_dst), 0, 0);
    EXPECT_NE(DDIndexAt(&m_dst, 0, 0), 0);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) ASSERT_EQ(DDGetRaw(*DDGetPixels(&m_dst), x, y), dwFirst) << x << "," << y;
    // A lens of a huge radius magnifies without end: every pixel shows the
    // centre, source (4, 4), index 1 + 4 + 32.
    clear();
    DDLensBlt(&m_dst, 4, 4, nBig, 1, &m_src, 4, 4, 0, 0);
    EXPECT_EQ(DDGetIndices(&m_dst, 8, 8), std::vector<int>(64, 37));
    // Turned about a pivot far outside the source: nothing of the source
    // lands on the destination.
    clear();
    DDRotateBlt(&m_dst, 4, 4, nBig, nBig, nBig / 2, nBig / 2, 30, &m_src, 0, 0, 0);
    EXPECT_EQ(DDGetIndices(&m_dst, 8, 8), none);
}

INSTANTIATE_TEST_SUITE_P(Profiles, EffectBandsTest, testing::ValuesIn(DDAllProfiles()), DDProfileName);

}  // namespace
