// Blit batching order and runs, fill batches, and glyph-sheet text.
#include <gtest/gtest.h>

#include "support/DDTestSupport.h"

namespace {

class DDBatch : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 64, 64)); }
    void TearDown() override { DDRelease(); }
};

TEST_F(DDBatch, SortedBatchDrawsUnregisteredFirstThenSheetsInRegistrationOrder) {
    DDSURFACEDATA a, b, x, dst;
    for (DDSURFACEDATA* s : {&a, &b, &x}) ASSERT_TRUE(DDCreateSurface(s, 4, 4, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 8, 8));
    DDFillRect(&a, 0, 0, 4, 4, 1);
    DDFillRect(&b, 0, 0, 4, 4, 2);
    DDFillRect(&x, 0, 0, 4, 4, 3);
    DDBeginBltBatch(1);
    DDBatchAddSurface(&a);
    DDBatchAddSurface(&b);
    DDBatchAddSurface(&a);  // once only
    DDBlt(&dst, 0, 0, 4, 4, &b, 0, 0, 0);  // B1
    DDBlt(&dst, 0, 0, 4, 4, &a, 0, 0, 0);  // A1
    DDBlt(&dst, 0, 0, 4, 4, &x, 0, 0, 0);  // X1
    DDBlt(&dst, 2, 2, 4, 4, &b, 0, 0, 0);  // B2
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), -1) << "nothing drawn before the end";
    DDEndBltBatch();
    const auto& v = DDGetLastBltFlush();
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].lpSrc, &x);
    EXPECT_EQ(v[1].lpSrc, &a);
    EXPECT_EQ(v[2].lpSrc, &b);
    EXPECT_EQ(v[3].lpSrc, &b);
    EXPECT_EQ(v[3].x, 2);
    EXPECT_EQ(v[1].nKey, 100001);
    EXPECT_EQ(v[0].nKey, 2);
    const auto& runs = DDGetLastBltRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[2].nCount, 2);
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), 2) << "B drawn last";
    EXPECT_FALSE(DDIsBltBatchOpen());
}

TEST_F(DDBatch, RunsSplitOnBlitStateAndNestedBeginFlushes) {
    DDSURFACEDATA s, dst;
    ASSERT_TRUE(DDCreateSurface(&s, 4, 4, 0, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 8, 8));
    DDFillRect(&s, 0, 0, 4, 4, 4);
    DDBeginBltBatch(0);
    DDBlt(&dst, 0, 0, 1, 1, &s, 0, 0, 0);
    DDSetBltColor(0xFF808080u);
    DDBlt(&dst, 1, 0, 1, 1, &s, 0, 0, 0);
    DDResetBltColor();
    DDEndBltBatch();
    EXPECT_EQ(DDGetLastBltRuns().size(), 2u);
    // An end without entries closes the batch and draws nothing.
    DDBeginBltBatch(0);
    DDEndBltBatch();
    EXPECT_FALSE(DDIsBltBatchOpen());
    // A second begin draws what the first collected.
    DDClear(&dst, 9);
    DDBeginBltBatch(0);
    DDBlt(&dst, 5, 5, 1, 1, &s, 0, 0, 0);
    DDBeginBltBatch(0);
    EXPECT_EQ(DDIndexAt(&dst, 5, 5), 4);
    DDEndBltBatch();
}

TEST_F(DDBatch, FillBatchDrawsAtTheEnd) {
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 8, 8));
    DDClear(&dst, 9);
    DDBeginFillBatch();
    DDFillRect(&dst, 0, 0, 2, 2, 5);
    DDFillRect(&dst, -1, 6, 4, 4, 6);
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), 9);
    DDEndFillBatch();
    EXPECT_EQ(DDIndexAt(&dst, 0, 0), 5);
    EXPECT_EQ(DDIndexAt(&dst, 2, 7), 6);
    EXPECT_EQ(DDIndexAt(&dst, 3, 7), 9);
}

class DDSheet : public testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile(GetParam(), 640, 64)); }
    void TearDown() override { DDRelease(); }
};

TEST_P(DDSheet, GlyphPositionsAndRows) {
    // A 128 x 128 sheet of 8 x 8 cells: cell (col, row) filled with index 16 * row + col,
    // its top-left pixel with the transparent colour 0.
    DDSURFACEDATA sheet, dst;
    ASSERT_TRUE(DDCreateSurface(&sheet, 128, 128, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 640, 64));
    for (int r = 0; r < 16; r++)
        for (int c = 0; c < 16; c++) {
            DDFillRect(&sheet, c * 8, r * 8, 8, 8, static_cast<uint32_t>(16 * r + c));
        }
    std::vector<int> key(1, 0);
    for (int r = 0; r < 16; r++)
        for (int c = 0; c < 16; c++) DDPutRaw(*DDGetPixels(&sheet), c * 8, r * 8, DDRawOfIndex(&sheet, 0));
    DDClear(&dst, 255);
    DDSheetText(&dst, 10, 20, 8, 8, &sheet, "PQ\nR");
    EXPECT_EQ(DDIndexAt(&dst, 11, 21), 'P');
    EXPECT_EQ(DDIndexAt(&dst, 10, 20), 255) << "keyed";
    EXPECT_EQ(DDIndexAt(&dst, 19, 21), 'Q');
    EXPECT_EQ(DDIndexAt(&dst, 11, 29), 'R');
    EXPECT_EQ(DDIndexAt(&dst, 27, 21), 255);
    // Half-width kana move up: 0xA6 to row 0, 0xC0 to row 8.
    DDSheetText(&dst, 0, 40, 8, 8, &sheet, "\xA6\xC0");
    EXPECT_EQ(DDIndexAt(&dst, 1, 41), 0x06);
    EXPECT_EQ(DDIndexAt(&dst, 9, 41), 0x80);
    // Wrapping at the screen width.
    std::string s(81, 'A');
    DDClear(&dst, 255);
    DDSheetText(&dst, 0, 0, 8, 8, &sheet, s.c_str());
    EXPECT_EQ(DDIndexAt(&dst, 1, 9), 'A');
    EXPECT_EQ(DDIndexAt(&dst, 9, 9), 255);
    DDSheetPrintf(&dst, 0, 16, 8, 8, &sheet, "%d", 42);
    EXPECT_EQ(DDIndexAt(&dst, 1, 17), '4');
    EXPECT_EQ(DDIndexAt(&dst, 9, 17), '2');
}

INSTANTIATE_TEST_SUITE_P(All, DDSheet, testing::ValuesIn(DDAllProfiles()), DDProfileName);

}  // namespace
