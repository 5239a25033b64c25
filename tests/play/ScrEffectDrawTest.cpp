// What each screen effect draws, frame by frame, on a small 64 x 48 screen:
// where the moved and shaken frame lands, which frames a blink hides, what a
// reversed run starts from, the rotation angle, the circle, the enlarging
// zoom, the lens and the mosaic block size; and the screen colour's tint
// reaching the picture under Direct3D.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "graphics/DD.h"
#include "graphics/DDEffect.h"
#include "play/EffectRuns.h"
#include "play/PlayContext.h"
#include "play/PlayDraw.h"
#include "play/PlayScene.h"
#include "play/ScrEffect.h"
#include "project/Database.h"
#include "support/DDTestSupport.h"

namespace {

constexpr int W = 64, H = 48;
constexpr int MARK = 50, GROUND = 1, UNCOVERED = 16;

class ScrEffectDraw : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, W, H));
        ASSERT_TRUE(DDMakeTarget(&back, W, H));
        ASSERT_TRUE(DDMakeTarget(&work, W, H));
        ASSERT_TRUE(DDMakeTarget(&frame, W, H));
        db.m_vScrEffect.resize(16);
        ctx.lpDatabase = &db;
    }
    void TearDown() override {
        DDReleaseSurface(&back);
        DDReleaseSurface(&work);
        DDReleaseSurface(&frame);
        DDEnd();
    }
    // Screen effect entry i: its kind and p1..p5.
    void Def(int i, int nKind, std::vector<int> p) {
        db.m_vScrEffect[i].m_nKind = nKind;
        for (int k = 0; k < 5; k++) db.m_vScrEffect[i].m_anParam[k] = p[k];
        db.CopyEffectLists();
        RebuildEffectRuns();
    }
    SCRFXFRAME Fx() {
        SCRFXFRAME fx;
        fx.lpBack = &back;
        fx.lpWork = &work;
        fx.nWidth = W;
        fx.nHeight = H;
        fx.dHeroX = dHeroX;
        fx.dHeroY = dHeroY;
        return fx;
    }
    // The finished frame: ground colour with a 1-dot mark at (x, y).
    void PaintMark(int x, int y) {
        DDClear(&back, GROUND);
        DDFillRect(&back, x, y, 1, 1, MARK);
    }
    // Where the mark is on the screen; (-1, -1) when it is not shown.
    std::pair<int, int> FindMark() {
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                if (DDIndexAt(&back, x, y) == MARK) return {x, y};
        return {-1, -1};
    }
    // One drawn frame of the run.
    int Run(cScrEffectRun& r, int bFrozen = 0) {
        const SCRFXFRAME fx = Fx();
        return pfnScrEffect[r.m_nKind](r, fx, bFrozen);
    }

    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cDatabase db;
    DDSURFACEDATA back, work, frame;
    double dHeroX = 32, dHeroY = 24;
};

// A move from (0, 0) to (12, 6) in 1/10 s: the value runs 1/6 a frame from 0;
// each frame is drawn where the frame before placed it, and a frame places
// the next at the whole parts of (12 x value, 6 x value) before its own
// step: (0, 0), (0, 0), (2, 1), (4, 2), ..., each one less where the sum of
// sixths falls just short of a whole number. The run ends when the value's
// whole part passes 1, on the 12th frame.
TEST_F(ScrEffectDraw, MoveDrawsTheFrameAlongItsWay) {
    Def(1, 1, {1, 0, 0, 12, 6});
    cScrEffectRun r;
    r.Start(1, 0, 0);
    for (int k = 1; k <= 12; k++) {
        PaintMark(0, 0);
        const int bEnd = Run(r);
        const int nWant = k < 2 ? 0 : k - 2;
        const std::pair<int, int> at = FindMark();
        EXPECT_LE(at.first, 2 * nWant) << "frame " << k;
        EXPECT_GE(at.first, 2 * nWant - 1) << "frame " << k;
        EXPECT_LE(at.second, nWant) << "frame " << k;
        EXPECT_GE(at.second, nWant - 1) << "frame " << k;
        EXPECT_EQ(bEnd, k == 12 ? 1 : 0) << "frame " << k;
        EXPECT_EQ(DDIndexAt(&back, W - 1, 0), k <= 2 ? GROUND : UNCOVERED) << "frame " << k;
    }
}

// Started reversed, the move runs from the definition's end to its start:
// both coordinates are swapped. A frozen frame draws and stays.
TEST_F(ScrEffectDraw, ReversedMoveRunsFromTheEndBack) {
    Def(1, 1, {1, 4, 2, 16, 8});
    cScrEffectRun r;
    r.Start(1, 1, 0);
    EXPECT_EQ(r.m_bReversed, 1);
    const std::pair<int, int> want[] = {{16, 8}, {16, 8}, {14, 7}, {12, 6}};
    for (const auto& w : want) {
        PaintMark(0, 0);
        Run(r);
        EXPECT_EQ(FindMark(), w);
    }
    PaintMark(0, 0);
    Run(r, 1);
    EXPECT_EQ(FindMark(), std::make_pair(10, 5));
    PaintMark(0, 0);
    Run(r, 1);
    EXPECT_EQ(FindMark(), std::make_pair(10, 5));
}

// Every kind with a start and an end value runs from the end value down when
// reversed, and type 2 comes back: its second pass starts at the end value.
TEST_F(ScrEffectDraw, EveryValueKindStartsAtItsEndWhenReversed) {
    for (int nKind : {4, 5, 6, 7, 9, 10, 11, 12, 13}) {
        Def(2, nKind, {1, 6, 30, 2, 3});
        cScrEffectRun fwd, rev;
        fwd.Start(2, 0, 0);
        rev.Start(2, 1, 0);
        EXPECT_EQ(fwd.m_dValue, 6) << "kind " << nKind;
        EXPECT_EQ(rev.m_dValue, 30) << "kind " << nKind;
        // 24 over 6 frames: 4 a frame, down when reversed.
        EXPECT_EQ(rev.m_dStep, 4) << "kind " << nKind;
        Run(rev);
        EXPECT_EQ(rev.m_dValue, 26) << "kind " << nKind;
        // Forward then back: the first pass ends at the 7th frame (value 34),
        // the second starts again from 30.
        cScrEffectRun both;
        both.Start(2, 2, 0);
        for (int k = 0; k < 7; k++) EXPECT_EQ(Run(both), 0) << "kind " << nKind;
        EXPECT_EQ(both.m_bReversed, 1) << "kind " << nKind;
        EXPECT_EQ(both.m_dValue, 30) << "kind " << nKind;
    }
}

// A horizontal shake of 3 dots at 1 swing a second over 1/10 s moves
// 4 x 3 x 1 / 6 = 2 dots a frame, turning at the bounds: drawn at 0, 2, 3
// (held at the bound), 1, -1, -3, -1. The vertical shake moves the same way
// down the screen.
TEST_F(ScrEffectDraw, ShakeMovesByItsSpeedBetweenItsBounds) {
    const int anWant[] = {0, 2, 3, 1, -1, -3, -1, 1};
    for (int nKind : {2, 3}) {
        Def(3, nKind, {1, 3, 1, 0, 0});
        cScrEffectRun r;
        r.Start(3, 0, 0);
        for (size_t k = 0; k < std::size(anWant); k++) {
            PaintMark(10, 10);
            Run(r);
            const std::pair<int, int> at = nKind == 2 ? std::make_pair(10 + anWant[k], 10)
                                                      : std::make_pair(10, 10 + anWant[k]);
            EXPECT_EQ(FindMark(), at) << "kind " << nKind << " frame " << k + 1;
        }
    }
}

// A blink of 3-frame halves: the first three frames show only the
// backgrounds, the next three the stage, and so on.
TEST_F(ScrEffectDraw, BlinkHidesTheStageForItsFirstHalves) {
    Def(4, 8, {10, 3, 0, 0, 0});
    cScrEffectRun r;
    r.Start(4, 0, 0);
    std::vector<int> vecHidden;
    int nCalls = 0;
    SCRFXFRAME fx = Fx();
    fx.pfnDrawBackOnly = [](void* p) { (*static_cast<int*>(p))++; };
    fx.lpUser = &nCalls;
    for (int k = 0; k < 9; k++) {
        const int nBefore = nCalls;
        pfnScrEffect[8](r, fx, 0);
        vecHidden.push_back(nCalls - nBefore);
    }
    EXPECT_EQ(vecHidden, (std::vector<int>{1, 1, 1, 0, 0, 0, 1, 1, 1}));
}

// A rotation of 90 degrees (equal start and end: timed) turns the frame
// clockwise about the screen's centre (32, 24): a mark 10 dots right of it
// lands 10 dots below it.
TEST_F(ScrEffectDraw, RotationTurnsTheFrameByTheValue) {
    Def(5, 9, {1, 90, 90, 0, 0});
    cScrEffectRun r;
    r.Start(5, 0, 0);
    DDClear(&back, GROUND);
    DDFillRect(&back, 41, 23, 3, 3, MARK);   // centred on (42, 24)
    Run(r);
    EXPECT_EQ(DDIndexAt(&back, 32, 34), MARK);
    EXPECT_NE(DDIndexAt(&back, 42, 24), MARK);
}

// A circle of radius 10 around the hero's centre: inside the frame shows,
// outside colour 16.
TEST_F(ScrEffectDraw, CircleOpensAroundTheHero) {
    Def(6, 10, {1, 10, 10, 1, 0});
    dHeroX = 20;
    dHeroY = 24;
    cScrEffectRun r;
    r.Start(6, 0, 0);
    struct CASE {
        int x, y, nWant;
    } const acase[] = {{20, 24, GROUND}, {27, 24, GROUND}, {20, 17, GROUND}, {34, 24, UNCOVERED},
                       {32, 24, UNCOVERED}, {20, 38, UNCOVERED}, {5, 24, UNCOVERED}};
    DDClear(&back, GROUND);
    Run(r);
    for (const CASE& c : acase) EXPECT_EQ(DDIndexAt(&back, c.x, c.y), c.nWant) << c.x << "," << c.y;
}

// Enlarging to a value of 1280 is a zoom of 2: a 32 x 24 part centred on the
// hero, kept inside the screen, fills the screen, each dot drawn 2 x 2.
TEST_F(ScrEffectDraw, EnlargeOfTwoShowsTheHerosQuarterKeptOnTheScreen) {
    Def(7, 11, {1, 1280, 1280, 0, 0});
    struct CASE {
        double dHeroX, dHeroY;
        int nSrcX, nSrcY;   // the part's top-left corner
    } const acase[] = {{32, 24, 16, 12}, {40, 20, 24, 8}, {2, 2, 0, 0}, {62, 46, 32, 24}};
    for (const CASE& c : acase) {
        dHeroX = c.dHeroX;
        dHeroY = c.dHeroY;
        cScrEffectRun r;
        r.Start(7, 0, 0);
        PaintMark(c.nSrcX + 5, c.nSrcY + 3);
        Run(r);
        EXPECT_EQ(FindMark(), std::make_pair(10, 6)) << c.dHeroX << "," << c.dHeroY;
        EXPECT_EQ(DDIndexAt(&back, 11, 7), MARK);
        EXPECT_EQ(DDIndexAt(&back, 12, 6), GROUND);
    }
    // A zoom of exactly 1 shows the frame as it is, with nothing uncovered.
    Def(7, 11, {1, 640, 640, 0, 0});
    cScrEffectRun one;
    one.Start(7, 0, 0);
    PaintMark(0, 0);
    Run(one);
    EXPECT_EQ(FindMark(), std::make_pair(0, 0));
    EXPECT_EQ(DDIndexAt(&back, W - 1, H - 1), GROUND);
    // A zoom of 1/2 shrinks the frame into the centred 32 x 24 rectangle.
    Def(7, 11, {1, 320, 320, 0, 0});
    cScrEffectRun half;
    half.Start(7, 0, 0);
    PaintMark(0, 0);
    DDFillRect(&back, 0, 0, 2, 2, MARK);
    Run(half);
    EXPECT_EQ(FindMark(), std::make_pair(16, 12));
    EXPECT_EQ(DDIndexAt(&back, 0, 0), UNCOVERED);
    EXPECT_EQ(DDIndexAt(&back, 47, 35), GROUND);
    EXPECT_EQ(DDIndexAt(&back, 48, 36), UNCOVERED);
}

// The lens is centred on the hero's centre shifted by (p4, p5): (32 + 4,
// 24 - 2) = (36, 22); its radius is the square root of 2 times the larger of
// the distances to the farther edges, max(36, 28) and max(22, 26): 1.414 x
// 36 = 50; the depth is the value.
TEST_F(ScrEffectDraw, LensCentreRadiusAndDepth) {
    Def(8, 12, {1, 20, 20, 4, -2});
    cScrEffectRun r;
    r.Start(8, 0, 0);
    // A frame whose every dot differs from its neighbours.
    DDPIXELS* p = DDGetPixels(&back);
    ASSERT_NE(p, nullptr);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) DDPutRaw(*p, x, y, DDRawOfIndex(&back, (x * 3 + y * 7) % 200 + 20));
    DDBlt(&frame, 0, 0, W, H, &back, 0, 0, DDBLT_NOKEY);
    Run(r);
    DDSURFACEDATA want;
    ASSERT_TRUE(DDMakeTarget(&want, W, H));
    DDClear(&want, UNCOVERED);
    DDLensBlt(&want, 36, 22, 50, 20, &frame, 36, 22, DDBLT_NOKEY, 0);
    EXPECT_EQ(DDGetIndices(&back, W, H), DDGetIndices(&want, W, H));
    // The lens changes the picture: the test sees a wrong centre or depth.
    EXPECT_NE(DDGetIndices(&back, W, H), DDGetIndices(&frame, W, H));
    DDReleaseSurface(&want);
}

// A mosaic of value 8: blocks of 8 x 8 dots, so on a frame whose colour
// changes every column, columns 0-7 agree, 7 and 8 differ, and so on.
TEST_F(ScrEffectDraw, MosaicBlocksAreTheValueWide) {
    Def(9, 13, {1, 8, 8, 0, 0});
    cScrEffectRun r;
    r.Start(9, 0, 0);
    DDPIXELS* p = DDGetPixels(&back);
    ASSERT_NE(p, nullptr);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) DDPutRaw(*p, x, y, DDRawOfIndex(&back, 20 + x + y));
    Run(r);
    // A block's dots take one colour (an average, so compared raw).
    auto at = [&](int x, int y) { return DDGetRaw(*DDGetPixels(&back), x, y); };
    for (int y : {0, 9, 20}) {
        for (int x = 0; x + 1 < W; x++) {
            const bool bSameBlock = (x + 1) % 8 != 0;
            EXPECT_EQ(at(x, y) == at(x + 1, y), bSameBlock) << x << "," << y;
        }
        EXPECT_EQ(at(3, y), at(3, y - y % 8 + 7)) << y;
        EXPECT_NE(at(3, y), at(3, y - y % 8 + 8)) << y;
    }
}

// Under Direct3D the screen colour tints the finished picture through the
// colour of its blit: red at 100 % reached at once (alpha 0) keeps each dot's
// red and takes away its green and blue. Palette entry 20 is (164, 0, 41);
// tinted it is (164, 0, 0).
TEST(ScrColorDraw, Direct3DTintReachesThePicture) {
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 640, 480));
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cPlayScene s;
    DDClear(&BackBuffer, 20);
    const uint32_t nBefore = DDGetRaw(*DDGetPixels(&BackBuffer), 100, 100);
    const int32_t p[8] = {255, 0, 0, 100, 0, 0, 0, 0};
    s.m_ScrColor.Start(p);
    RunScreenColor(s, 0);
    EXPECT_EQ(s.m_ScrColor.m_nAlpha, 0);
    const uint32_t nAfter = DDGetRaw(*DDGetPixels(&BackBuffer), 100, 100);
    EXPECT_NE(nAfter, nBefore);
    EXPECT_EQ(nBefore & 0xFFFFFF, 0xA40029u);
    EXPECT_EQ(nAfter & 0xFFFFFF, 0xA40000u);
    DDEnd();
}

}  // namespace
