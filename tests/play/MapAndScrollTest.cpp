// The map's pitch and index, the shot-step table, the scroll axes' clamp and
// limits, and the object geometry against them.
#include <gtest/gtest.h>

#include <cmath>

#include "play/Chara.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/PlaySetStage.h"
#include "stage/StageParts.h"

namespace {

std::vector<std::string> Row(int w) {
    return {std::string(w, '.'), "H" + std::string(w - 1, '.'), std::string(w, '#')};
}

}  // namespace

TEST(MapPitch, PowerOfTwoRowsAndTheIndexTable) {
    struct CASE {
        int nWidth, nPitch, nShift;
    } const acase[] = {{1, 32, 5}, {12, 32, 5}, {13, 64, 6}, {100, 128, 7}, {108, 128, 7}, {109, 256, 8}};
    for (const CASE& t : acase) {
        cPlayHarness h(Row(t.nWidth));
        h.SetUp();
        const cPlayScene& s = h.Scene();
        EXPECT_EQ(s.m_ScrollX.m_nPitch, t.nPitch) << "width " << t.nWidth;
        EXPECT_EQ(s.m_ScrollX.m_nShift, t.nShift) << "width " << t.nWidth;
        EXPECT_EQ(s.m_ScrollX.m_nCells, t.nWidth + 20);
        EXPECT_EQ(s.m_ScrollY.m_nCells, 3 + 20);
        EXPECT_EQ(vecMapCell().size(), static_cast<size_t>(23 * t.nPitch));
        EXPECT_EQ(MapCellIndex(3, 2), 3 + 2 * t.nPitch);
        EXPECT_EQ(MapCellIndex(t.nWidth + 20, 0), -1);   // past the last column
        EXPECT_EQ(MapCellIndex(0, 23), -1);
        // The floor: stage row 2 is map row 12.
        EXPECT_EQ(MapCellAt(MapCellIndex(10, 12))->m_nHit, 1);
        EXPECT_EQ(MapCellAt(MapCellIndex(10, 11))->m_nHit, 0);
    }
}

TEST(ShotSteps, FlaggedSubStepsOfAFrame) {
    struct CASE {
        int b, n;
        std::vector<int32_t> v;
    } const acase[] = {
        {4, 0, {1, 1, 1, 1}}, {4, 2, {1, 0, 1, 0}}, {4, 3, {1, 1, 1, 0}},
        {3, 2, {1, 1, 0}},    {1, 5, {1}},          {4, -3, {1, 1, 1, 1}},   // a negative count: every sub-step
    };
    for (const CASE& t : acase) EXPECT_EQ(BuildShotSteps(t.b, t.n), t.v) << t.b << " sub-steps, " << t.n << " tests";
}

TEST(Scroll, ClampLimitsAndANarrowStage) {
    cScroll s;
    s.SetUp(0, 40);   // 40 cells: the stage spans dots 320 .. 1599
    EXPECT_EQ(s.m_dMin, 320);
    EXPECT_EQ(s.m_dMax, 1600);
    s.m_dCam = 100;
    s.Clamp();
    EXPECT_EQ(s.m_dCam, 320);
    EXPECT_EQ(s.m_bHeld, 1);
    s.m_dCam = 500;
    s.Clamp();
    EXPECT_EQ(s.m_dCam, 500);
    EXPECT_EQ(s.m_bHeld, 0);
    s.m_dCam = 1000;
    s.Clamp();
    EXPECT_EQ(s.m_dCam, 960);   // 1600 - 640
    EXPECT_EQ(s.m_bHeld, 1);
    // Limits in cells from the stage's first cell (dot 320, 32 dots a
    // cell): the minimum is the left edge of its cell, the maximum the right
    // edge of its cell (the dot after it); a switch that is off leaves the
    // stage's own edge.
    const struct {
        int nMin, nMax, bMin, bMax;
        double dMin, dMax, dCamFar;   // dCamFar: the camera asked for 2000
    } aLimit[] = {
        {5, 30, 1, 1, 480, 1312, 672},    // 320 + 5 x 32; 320 + 31 x 32; 1312 - 640
        {0, 39, 1, 1, 320, 1600, 960},    // the whole stage: cells 0 .. 39
        {5, 2, 1, 1, 480, 480, 480},      // a maximum below the minimum is the minimum
        {5, 30, 0, 0, 320, 1600, 960},
        {5, 30, 1, 0, 480, 1600, 960},
        {5, 30, 0, 1, 320, 1312, 672},
    };
    for (const auto& k : aLimit) {
        SCOPED_TRACE(testing::Message() << k.nMin << " " << k.nMax << " " << k.bMin << k.bMax);
        s.SetLimit(k.nMin, k.nMax, k.bMin, k.bMax);
        EXPECT_EQ(s.m_dMin, k.dMin);
        EXPECT_EQ(s.m_dMax, k.dMax);
        s.m_dCam = 2000;
        s.Clamp();
        EXPECT_EQ(s.m_dCam, k.dCamFar);
        s.m_dCam = 0;
        s.Clamp();
        EXPECT_EQ(s.m_dCam, k.dMin);
    }
    s.SetLimit(5, 30, 0, 0);
    // Auto-scroll: 5 tenths of a dot per frame at step factor 5 is 0.1 a step.
    s.SetAutoSpeed(1, 5, 5.0);
    EXPECT_DOUBLE_EQ(s.m_dSpeed, 0.1);
    s.m_dCam = 500;
    s.Step();
    EXPECT_DOUBLE_EQ(s.m_dCam, 500.1);

    // A stage narrower than the screen: the camera stays at the minimum, held.
    cScroll n;
    n.SetUp(0, 12);
    n.m_dCam = 400;
    n.Clamp();
    EXPECT_EQ(n.m_dCam, 320);
    EXPECT_EQ(n.m_bHeld, 1);
}

TEST(ObjGeometry, ClampCodesScaleStepsAndTests) {
    cPlayHarness h(Row(40));
    h.SetUp();
    cScroll& sx = h.Scene().m_ScrollX;
    sx.SetLimit(5, 30, 1, 1);   // scroll limits 480 .. 1312
    cChara o;
    o.m_nWidth = o.m_nBaseWidth = 32;
    o.m_nHeight = o.m_nBaseHeight = 32;
    // ClampPosX mode 2: map, then stage, then scroll limits.
    struct CASE {
        double x;
        int nMode;
        uint8_t nCode;
        double dAfter;
    } const acase[] = {
        {-5, 2, 3, 0},         {2000, 2, 3, 1920 - 32}, {100, 2, 2, 100}, {400, 2, 1, 400},
        {600, 2, 0, 600},      {100, 1, 0, 320},        {400, 1, 1, 400}, {1590, 1, 0, 1600 - 32},
        {400, 0, 0, 480},      {1300, 0, 0, 1312 - 32}, {100, 9, 0, 100},
    };
    for (const CASE& t : acase) {
        o.m_dX = t.x;
        EXPECT_EQ(o.ClampPosX(t.nMode), t.nCode) << "x " << t.x << " mode " << t.nMode;
        EXPECT_EQ(o.m_dX, t.dAfter) << "x " << t.x << " mode " << t.nMode;
        EXPECT_EQ(o.m_dRight, o.m_dX + 31);
        EXPECT_EQ(o.m_nCellL, static_cast<int>(o.m_dX) >> 5);
    }
    // A position that is not a number never reaches the cells.
    o.m_dX = std::nan("");
    o.ClampPosX(2);
    EXPECT_TRUE(std::isfinite(o.m_dX));

    // Scaling 1 -> 3 keeps the centre: 32 dots to the left.
    o.m_nBoxX = o.m_nBaseBoxX = 0;
    o.m_dX = 600;
    o.SetScale(3, 1, 0);
    EXPECT_EQ(o.m_nWidth, 96);
    EXPECT_EQ(o.m_dX, 600 - 32);

    // The speed limit is written back.
    cChara m;
    m.m_nWidth = m.m_nBaseWidth = 16;
    m.m_nHeight = m.m_nBaseHeight = 16;
    m.m_dX = 600;
    m.m_dVx = 100;
    m.MoveStepX(2);
    EXPECT_EQ(m.m_dVx, h.Stage().m_dStepSpeedLimit);
    EXPECT_EQ(m.m_dX, 600 + h.Stage().m_dStepSpeedLimit);

    // Decay stops at 0 and never reverses.
    m.m_dCmdDecel = 5;
    double v = 3;
    m.DecayCmdVelocity(&v, 1);
    EXPECT_EQ(v, 0.0);
    v = -3;
    m.DecayCmdVelocity(&v, 1);
    EXPECT_EQ(v, 0.0);
    v = 3;
    m.DecayCmdVelocity(&v, 0);
    EXPECT_EQ(v, 3.0);

    // An object at x = 0 is out of the erase range whatever the switches.
    cQuadSwitch none;
    m.m_bOnScreen = 0;
    m.m_dX = 0;
    m.m_dRight = 15;
    m.m_dY = 400;
    m.m_dBottom = 415;
    EXPECT_EQ(m.IsOutOfEraseRange(&none), 1);
    m.m_bOnScreen = 1;
    EXPECT_EQ(m.IsOutOfEraseRange(&none), 0);

    // A purely horizontal impact gives no vertical speed.
    double kx = 9, ky = 9;
    m.CalcKnockback(&kx, &ky, 2, -10, 0);
    EXPECT_LT(kx, 0);
    EXPECT_EQ(ky, 0.0);
    const double b = h.Stage().m_dStepFactor;
    EXPECT_DOUBLE_EQ(kx, -(std::sqrt(1 + 128 * b * 2) - 1) / (2 * b));
}

TEST(ObjGeometry, FlyingObjectIsDrawnOneDotLowerDuringVerticalAutoScroll) {
    cPlayHarness h({"..........", "H.........", "..........", "..........", "..........", "..........",
                    "..........", "..........", "..........", "..........", "..........", "..........",
                    "..........", "..........", "..........", "..........", "..........", "##########"});
    h.SetUp();
    cScroll& sy = h.Scene().m_ScrollY;
    sy.m_dSpeed = 0.5;
    sy.m_bHeld = 0;
    sy.m_dCam = 400.25;
    cChara a, f;
    for (cChara* p : {&a, &f}) {
        p->m_dX = 500;
        p->m_dY = 600.5;
        p->m_nFrameW = p->m_nFrameH = 32;
    }
    f.m_bFlight = 1;
    a.UpdateScreenRect();
    f.UpdateScreenRect();
    EXPECT_EQ(f.m_rcScreen.top, a.m_rcScreen.top + 1);
}
