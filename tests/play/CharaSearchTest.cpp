// Moves toward a point under the auto-scroll, the arrival tests and switch,
// the wave steps at several logic steps per frame, the aiming search and the
// one-axis move targets. Every expected speed below is worked by hand from a
// 3-4-5 triangle: a target 30 right and 40 down at speed 5 is (3, 4) a step.
#include <gtest/gtest.h>

#include <cmath>

#include "CharaFixture.h"
#include "flow/FlowRun.h"
#include "play/CharaSearch.h"
#include "stage/Flow.h"
#include "stage/MoveVocabulary.h"

namespace {

class MoveSolve : public cCharaFixture {
protected:
    // Auto-scroll of Qx, Qy dots a step (0 leaves the axis still).
    void Scroll(double Qx, double Qy, int bHeldX = 0) {
        scene.m_ScrollX.m_bAuto = Qx != 0;
        scene.m_ScrollX.m_dSpeed = Qx;
        scene.m_ScrollX.m_bHeld = bHeldX;
        scene.m_ScrollY.m_bAuto = Qy != 0;
        scene.m_ScrollY.m_dSpeed = Qy;
        scene.m_ScrollY.m_bHeld = 0;
    }
    // A mover of the given scroll synchronisation (null for none).
    const cObj* Mover(int nSync) {
        if (nSync < 0) return nullptr;
        if (!m_pMover) m_pMover = AddChara(cCharaData());
        m_pMover->m_bScrollSync = nSync;
        return m_pMover;
    }
    cChara* m_pMover = nullptr;
};

// Toward (30, 40) from the origin at 5 a step: (3, 4) before the scroll.
// The synchronised mover solves for a step of length 5 whose part relative
// to the scroll points at the target: with Q = (1, -1) that is (4, 3),
// since (4 - 1, 3 + 1) = (3, 4) points at (30, 40) and |(4, 3)| = 5.
TEST_F(MoveSolve, ScrollCorrectionsOfBothMovers) {
    struct CASE {
        const char* psz;
        int bAdds, nSync, bSyncFlag;
        double Qx, Qy;
        int bHeldX;
        double x1, y1, vx, vy;
        int nDir;
    };
    const CASE aCase[] = {
        {"adds, no mover", 1, -1, 0, 2, 0.5, 0, 30, 40, 5, 4.5, 2},
        {"adds, synchronised mover", 1, 1, 0, 2, 0.5, 0, 30, 40, 5, 4.5, 2},
        {"no mover: no correction", 0, -1, 0, 1, -1, 0, 30, 40, 3, 4, 2},
        {"unsynchronised mover subtracts", 0, 0, 0, 1, -1, 0, 30, 40, 2, 5, 2},
        {"unsynchronised mover, sync flag set", 0, 0, 1, 1, -1, 0, 30, 40, 2, 5, 2},
        {"unsynchronised, the direction follows the corrected speed", 0, 0, 0, 4, 0, 0, 30, 40, -1, 4, 1},
        {"held axis counts as still", 0, 0, 0, 1, -1, 1, 30, 40, 3, 5, 2},
        {"synchronised, sync flag set: none", 0, 1, 1, 1, -1, 0, 30, 40, 3, 4, 2},
        {"synchronised, solved on the vertical", 0, 1, 0, 1, -1, 0, 30, 40, 4, 3, 2},
        {"synchronised, solved, up and left", 0, 1, 0, -1, 1, 0, -30, -40, -4, -3, 1},
        {"synchronised, solved on the horizontal", 0, 1, 0, -1, 1, 0, 40, 30, 3, 4, 2},
        {"synchronised, solved on the horizontal, leftward", 0, 1, 0, 1, -1, 0, -40, -30, -3, -4, 1},
        // Straight below with a sideways scroll: the step keeps the scroll
        // sideways and spends the rest (4 of 5) going down.
        {"synchronised, target straight below", 0, 1, 0, 3, 0, 0, 0, 100, 3, 4, 2},
        {"synchronised, nothing scrolls", 0, 1, 0, 0, 0, 0, 30, 40, 3, 4, 2},
    };
    for (const CASE& c : aCase) {
        sys.m_bScrollAddsToMoves = c.bAdds;
        Scroll(c.Qx, c.Qy, c.bHeldX);
        double vx = 9, vy = 9;
        int nDir = 9;
        int r = SolveMove(&vx, &vy, &nDir, Mover(c.nSync), 0, 0, c.x1, c.y1, 5, c.bSyncFlag, 0, 0);
        EXPECT_NEAR(vx, c.vx, 1e-9) << c.psz;
        EXPECT_NEAR(vy, c.vy, 1e-9) << c.psz;
        EXPECT_EQ(nDir, c.nDir) << c.psz;
        EXPECT_EQ(r, 0) << c.psz;
    }
}

// Fleeing at speed -2 from a target down and right: 2 x 0.7071 = 1.41421356
// up and left on each axis; the scroll is added (adds rule), or subtracted
// when the mover's synchronisation differs from the sync flag.
TEST_F(MoveSolve, FleeCorrection) {
    const double t = 1.4142135623730951;
    struct CASE {
        const char* psz;
        int bAdds, nSync, bSyncFlag;
        double vx, vy;
    };
    const CASE aCase[] = {
        {"adds", 1, 1, 1, -t + 1, -t - 1},
        {"synchronised, flag clear: subtracted", 0, 1, 0, -t - 1, -t + 1},
        {"synchronised, flag set: none", 0, 1, 1, -t, -t},
        {"unsynchronised, flag clear: none", 0, 0, 0, -t, -t},
        {"unsynchronised, flag set: subtracted", 0, 0, 1, -t - 1, -t + 1},
        {"no mover: none", 0, -1, 0, -t, -t},
    };
    Scroll(1, -1);
    for (const CASE& c : aCase) {
        sys.m_bScrollAddsToMoves = c.bAdds;
        double vx = 9, vy = 9;
        int nDir = 9;
        int r = SolveMove(&vx, &vy, &nDir, Mover(c.nSync), 0, 0, 30, 40, -2, c.bSyncFlag, 0, 1);
        EXPECT_NEAR(vx, c.vx, 1e-9) << c.psz;
        EXPECT_NEAR(vy, c.vy, 1e-9) << c.psz;
        EXPECT_EQ(nDir, 1) << c.psz;
        EXPECT_EQ(r, 0) << c.psz;   // a flight never arrives
    }
    // The direction is that of the flight itself, before the scroll: a
    // scroll of 2 turns the horizontal speed positive, the code stays left.
    sys.m_bScrollAddsToMoves = 1;
    Scroll(2, 0);
    double vx, vy;
    int nDir = 0;
    SolveMove(&vx, &vy, &nDir, nullptr, 0, 0, 30, 40, -2, 0, 0, 0);
    EXPECT_NEAR(vx, 2 - t, 1e-9);
    EXPECT_EQ(nDir, 1);
}

TEST_F(MoveSolve, ArrivalWithinOneStepOnBothAxes) {
    struct CASE {
        double x1, y1, dSpeed;
        int bAnySign, nArrived;
    };
    const CASE aCase[] = {
        {2, 2, 2, 0, 1},      // both distances equal to the speed: arrived
        {2, -2, -2, 1, 1},    // a negative speed of any sign compares by size
        {2.5, 1, 2, 0, 0},    // too far horizontally
        {1, 2.5, 2, 0, 0},    // too far vertically
        {-2, -2, 2, 0, 1},
    };
    for (const CASE& c : aCase) {
        double vx, vy;
        int nDir;
        EXPECT_EQ(SolveMove(&vx, &vy, &nDir, nullptr, 0, 0, c.x1, c.y1, c.dSpeed, 0, c.bAnySign, 1), c.nArrived)
            << c.x1 << " " << c.y1 << " " << c.dSpeed;
        EXPECT_EQ(SolveMove(&vx, &vy, &nDir, nullptr, 0, 0, c.x1, c.y1, c.dSpeed, 0, c.bAnySign, 0), 0);
    }
}

TEST_F(MoveSolve, OneAxisMovesTheirScrollAndArrival) {
    struct CASE {
        const char* psz;
        int bAdds, nSync, bSyncFlag;
        double x0, x1, dSpeed;
        double v;
        int nDir, nArrived;
    };
    // Scroll 1.5 a step on the axis moved.
    const CASE aCase[] = {
        {"forward", 0, 1, 0, 0, 10, 2, 2, 2, 0},
        {"backward", 0, 1, 0, 10, 0, 2, -2, 1, 0},
        {"on the target counts as backward", 0, 1, 0, 5, 5, 2, -2, 1, 1},
        {"distance equal to the speed: not yet", 0, 1, 0, 0, 2, 2, 2, 2, 0},
        {"distance below the speed: arrived", 0, 1, 0, 0, 1.5, 2, 2, 2, 1},
        {"adds to a synchronised mover", 1, 1, 0, 0, 10, 2, 3.5, 2, 0},
        {"not with the sync flag", 1, 1, 1, 0, 10, 2, 2, 2, 0},
        {"not to an unsynchronised mover", 1, 0, 0, 0, 10, 2, 2, 2, 0},
        {"not without a mover", 1, -1, 0, 0, 10, 2, 2, 2, 0},
    };
    for (const CASE& c : aCase) {
        sys.m_bScrollAddsToMoves = c.bAdds;
        Scroll(1.5, 1.5);
        double vx = 9, vy = 9;
        int nDir = 9;
        int r = cObj::CalcMoveX(&vx, &vy, &nDir, Mover(c.nSync), c.x0, c.x1, c.dSpeed, c.bSyncFlag, 1);
        EXPECT_DOUBLE_EQ(vx, c.v) << c.psz;
        EXPECT_EQ(vy, 0) << c.psz;
        EXPECT_EQ(nDir, c.nDir) << c.psz;
        EXPECT_EQ(r, c.nArrived) << c.psz;
        vx = vy = 9;
        nDir = 9;
        r = cObj::CalcMoveY(&vx, &vy, &nDir, Mover(c.nSync), c.x0, c.x1, c.dSpeed, c.bSyncFlag, 1);
        EXPECT_DOUBLE_EQ(vy, c.v) << c.psz;
        EXPECT_EQ(vx, 0) << c.psz;
        EXPECT_EQ(nDir, 0) << c.psz;
        EXPECT_EQ(r, c.nArrived) << c.psz;
    }
    // The vertical move adds the vertical scroll, not the horizontal one.
    sys.m_bScrollAddsToMoves = 1;
    Scroll(7, 1.5);
    double vx, vy;
    int nDir;
    cObj::CalcMoveY(&vx, &vy, &nDir, Mover(1), 0, 10, 2, 0, 0);
    EXPECT_DOUBLE_EQ(vy, 3.5);
    Scroll(1.5, 7);
    cObj::CalcMoveX(&vx, &vy, &nDir, Mover(1), 0, 10, 2, 0, 0);
    EXPECT_DOUBLE_EQ(vx, 3.5);
}

// ---- the arrival switch of a move run ----

class ArrivalSwitch : public cCharaFixture {
protected:
    ArrivalSwitch() {
        NewEdMove(cmd.m_pMove);
        me = AddChara(cCharaData(), 500.5, 500);
        me->UpdateScreenRect();
        run.m_lpCmd = &cmd;
        run.m_Move.dSpeed = 5;
    }
    int CenterX() const { return me->m_rcScreen.left + (me->m_rcScreen.right - me->m_rcScreen.left + 1) / 2; }
    int CenterY() const { return me->m_rcScreen.top + (me->m_rcScreen.bottom - me->m_rcScreen.top + 1) / 2; }
    cEdCmd cmd;
    cCmdRun run;
    cChara* me = nullptr;
};

TEST_F(ArrivalSwitch, OnPutsTheMoverOnTheTargetOffOnlyReports) {
    const int x0 = CenterX(), y0 = CenterY();
    const double dX0 = me->m_dX, dY0 = me->m_dY;
    // 3 and 4 away: within a step of 5 on both axes.
    EXPECT_EQ(me->MoveToward(&run, me, x0 + 3, y0 + 4, 0, 1), 1);
    EXPECT_DOUBLE_EQ(me->m_dX, dX0);   // switch off: reported, not moved
    EXPECT_DOUBLE_EQ(me->m_dY, dY0);
    EXPECT_DOUBLE_EQ(run.m_Move.dVX, 3);
    EXPECT_DOUBLE_EQ(run.m_Move.dVY, 4);

    cmd.m_pMove->m_bStopAtTarget = 1;
    EXPECT_EQ(me->MoveToward(&run, me, x0 + 3, y0 + 4, 0, 1), 1);
    EXPECT_DOUBLE_EQ(me->m_dX, dX0 + 3);   // placed on the target, the run's speeds cleared
    EXPECT_DOUBLE_EQ(me->m_dY, dY0 + 4);
    EXPECT_EQ(run.m_Move.dVX, 0);
    EXPECT_EQ(run.m_Move.dVY, 0);
    EXPECT_EQ(run.m_Move.dSpeed, 0);

    // Out of reach: no arrival, no placement.
    me->UpdateScreenRect();
    run.m_Move.dSpeed = 5;
    EXPECT_EQ(me->MoveToward(&run, me, CenterX() + 30, CenterY() + 40, 0, 1), 0);
    EXPECT_DOUBLE_EQ(me->m_dX, dX0 + 3);
    EXPECT_DOUBLE_EQ(run.m_Move.dVX, 3);
}

TEST_F(ArrivalSwitch, OneAxisFormsArriveOnTheirAxisOnly) {
    const int x0 = CenterX(), y0 = CenterY();
    const double dX0 = me->m_dX, dY0 = me->m_dY;
    EXPECT_EQ(me->MoveTowardX(&run, me, x0 + 4, 0, 1), 1);
    EXPECT_DOUBLE_EQ(me->m_dX, dX0);
    EXPECT_DOUBLE_EQ(run.m_Move.dVX, 5);
    cmd.m_pMove->m_bStopAtTarget = 1;
    EXPECT_EQ(me->MoveTowardX(&run, me, x0 + 4, 0, 1), 1);
    EXPECT_DOUBLE_EQ(me->m_dX, dX0 + 4);
    EXPECT_DOUBLE_EQ(me->m_dY, dY0);
    EXPECT_EQ(run.m_Move.dSpeed, 0);

    me->UpdateScreenRect();
    run.m_Move.dSpeed = 5;
    EXPECT_EQ(me->MoveTowardY(&run, me, CenterY() - 2, 0, 1), 1);
    EXPECT_DOUBLE_EQ(me->m_dY, dY0 - 2);
    EXPECT_DOUBLE_EQ(me->m_dX, dX0 + 4);
    (void)y0;
}

// ---- wave steps at b logic steps per frame ----

// With ω = 60° (π/3) and the angle at b (one frame in), the phase is π/3:
// the step is 10 × π/3 × cos(π/3) / b = 5.2359877559829887 / b and the second
// difference −10 × (π/3)² × sin(π/3) / b² = −9.4970109462569935 / b².
TEST_F(MoveSolve, WaveStepsDivideByTheStepsPerFrame) {
    const double dStep = 10 * (M_PI / 3) * 0.5;
    const double dAccel = -10 * (M_PI / 3) * (M_PI / 3) * (std::sqrt(3.0) / 2);
    for (int b : {1, 2, 3, 5}) {
        SetSubSteps(b);
        ASSERT_DOUBLE_EQ(stage.m_dStepFactor, b);
        double a = b;
        EXPECT_NEAR(StepWave(10, 60, &a, 1.0, 0.0), dStep / b, 1e-12) << b;
        EXPECT_DOUBLE_EQ(a, b + 1);
        a = b;
        EXPECT_NEAR(StepWaveAccel(10, 60, &a, 1.0, 0.0), dAccel / (b * b), 1e-12) << b;
        EXPECT_DOUBLE_EQ(a, b + 1);
        // The angle wraps once it reaches 360 × b.
        a = 360.0 * b - 1;
        StepWave(10, 60, &a, 1.0, 0.0);
        EXPECT_DOUBLE_EQ(a, 0) << b;
        a = 360.0 * b - 2;
        StepWaveAccel(10, 60, &a, 1.0, 0.0);
        EXPECT_DOUBLE_EQ(a, 360.0 * b - 1) << b;
    }
}

// ---- the nearest character for aiming ----

TEST_F(MoveSolve, AimingSkipsOnlyInvincibilityTwoAndFollowsTheOnScreenSwitch) {
    cChara* me = AddChara(cCharaData());
    me->m_rcScreen = OBJRECT{84, 84, 115, 115};   // centre (100, 100)
    CHARAGROUPLIST list;
    auto At = [&](int cx, int nInv, int bOnScreen) {
        cChara* c = AddChara(cCharaData());
        c->m_rcScreen = OBJRECT{cx - 16, 84, cx + 15, 115};
        c->m_bActive = 1;
        c->m_bOnScreen = bOnScreen;
        c->m_Data.m_nInvincible = static_cast<uint8_t>(nInv);
        list.push_back(cObjRef(c));
        return c;
    };
    At(110, 2, 1);                  // nearest, but never aimed at
    cChara* inv1 = At(120, 1, 1);   // invincibility 1 is a target
    cChara* off = At(105, 0, 0);    // nearer, off screen
    stage.m_bOnScreenOnly = 1;
    EXPECT_EQ(me->FindNearestForMe(list), inv1);
    stage.m_bOnScreenOnly = 0;      // the whole stage, on screen first
    EXPECT_EQ(me->FindNearestForMe(list), inv1);
    inv1->m_bOnScreen = 0;
    EXPECT_EQ(me->FindNearestForMe(list), off);
    stage.m_bOnScreenOnly = 1;
    EXPECT_EQ(me->FindNearestForMe(list), nullptr);
}

// ---- the target of a charge or homing move ----

TEST_F(MoveSolve, MoveTargetOneAxisSwitches) {
    cChara* t = AddChara(cCharaData());
    t->m_rcScreen = OBJRECT{100, 200, 131, 231};   // centre (116, 216)
    cEdCmd cmd;
    NewEdMove(cmd.m_pMove);
    cCmdRun run;
    run.m_lpCmd = &cmd;
    run.m_nOfsX = 5;
    run.m_nOfsY = -7;
    struct CASE {
        int bLockY, bLockX, x, y;
    };
    const CASE aCase[] = {
        {0, 0, 121, 209},
        {1, 0, 121, -1},   // horizontal only: y untouched
        {0, 1, -1, 209},   // vertical only: x untouched
        {1, 1, 121, -1},   // horizontal only wins
    };
    for (const CASE& c : aCase) {
        cmd.m_pMove->m_bLockY = static_cast<uint8_t>(c.bLockY);
        cmd.m_pMove->m_bLockX = static_cast<uint8_t>(c.bLockX);
        int x = -1, y = -1;
        t->GetMoveTarget(&x, &y, &run);
        EXPECT_EQ(x, c.x) << c.bLockY << c.bLockX;
        EXPECT_EQ(y, c.y) << c.bLockY << c.bLockX;
    }
}

}  // namespace
