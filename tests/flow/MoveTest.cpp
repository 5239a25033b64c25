#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "FlowFixture.h"
#include "play/CharaSearch.h"
#include "stage/MoveVocabulary.h"

class MoveTest : public ::testing::Test, public cFlowFixture {
protected:
    void SetUp() override { me = AddChara(); }
    // A movement command; speed in tenths of a dot per frame, time in tenths of a second.
    static cEdCmd Move(int nKind, int nDir, int nSpeed, int nTime) {
        cEdCmd c = MakeCmd(nKind, {}, nTime);
        NewEdMove(c.m_pMove);
        c.m_pMove->m_nDir = static_cast<uint8_t>(nDir);
        c.m_pMove->m_nSpeed = static_cast<int16_t>(nSpeed);
        return c;
    }
    // One step of a begun run, with the character's step speeds cleared first.
    void Step(cCmdRun& run, bool bClear = true) {
        if (bClear) me->m_dVx = me->m_dVy = 0;
        run.Exec(me, &flow);
    }
    cChara* me = nullptr;
    cFlowRun flow;
};

TEST_F(MoveTest, DirectionsAgainstFacingAndFlight) {
    struct CASE {
        int nDir, bRight, bFly;
        double vx, vy;
        int nFacing;   // afterwards
    } cases[] = {
        {DIR_FRONT, 0, 0, -1, 0, 0},
        {DIR_FRONT, 1, 0, 1, 0, 1},
        {DIR_BACK, 1, 0, -1, 0, 0},
        {DIR_UP, 0, 0, 0, 0, 0},          // a walker ordered up does not move
        {DIR_UP_LEFT, 1, 0, -1, 0, 0},    // a walker's diagonal is a plain side move
        {DIR_UP_LEFT, 1, 1, -0.7071067811865476, -0.7071067811865476, 0},
        {DIR_FRONT_Y, 1, 1, 0, 1, 1},
    };
    for (const CASE& c : cases) {
        me->m_nDir = c.bRight;
        me->m_bFlight = c.bFly;
        me->m_Data.m_bFixDir = 0;
        cEdCmd cmd = Move(CMD_MOVE_STRAIGHT, c.nDir, 10, 10);
        cCmdRun run;
        InitCmdRun(run, &cmd, me);
        run.Begin(me, &flow);
        Step(run);
        EXPECT_NEAR(me->m_dVx, c.vx, 1e-12) << c.nDir << " " << c.bRight << " " << c.bFly;
        EXPECT_NEAR(me->m_dVy, c.vy, 1e-12) << c.nDir << " " << c.bRight << " " << c.bFly;
        EXPECT_EQ(me->m_nDir, c.nFacing) << c.nDir;
    }
}

TEST_F(MoveTest, FollowFacingReversesWithTheTurn) {
    me->m_nDir = 0;
    me->m_Data.m_bFixDir = 1;
    cEdCmd cmd = Move(CMD_MOVE_STRAIGHT, DIR_FRONT, 10, 10);
    cmd.m_pMove->m_bFollowTurn = 1;
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_DOUBLE_EQ(me->m_dVx, -1);
    me->m_nDir = 1;   // a change of direction turned it
    Step(run);
    EXPECT_DOUBLE_EQ(me->m_dVx, 1);
    Step(run);
    EXPECT_DOUBLE_EQ(me->m_dVx, 1);
}

TEST_F(MoveTest, TargetPointArrivalEndsTheCommand) {
    cEdCmd cmd = Move(CMD_MOVE_STRAIGHT, 0, 10, 50);
    cEdMove& m = *cmd.m_pMove;
    m.m_nMode = 1;
    m.m_nCoord = 1;   // relative to the character
    m.m_nTargetXDot = 10;
    m.m_bUseX = 1;
    m.m_bUseY = 1;
    m.m_bArrival = 1;
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    int n = 1;
    me->m_dVx = 0;
    while (!run.Exec(me, &flow) && n < 1000) n++;
    EXPECT_EQ(n, 10);   // 10 dots at 1 dot a step, not the 300 steps of its time
    EXPECT_DOUBLE_EQ(me->m_dVx, 10.0);   // ten steps' speeds summed
    // Mirrored for a character that started facing right: 10 dots to its left.
    m.m_bMirrorX = 1;
    me->m_Data.m_nDir = 1;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_DOUBLE_EQ(me->m_dVx, -1.0);
    EXPECT_EQ(me->m_nDir, 0);
    me->m_Data.m_nDir = 0;
    m.m_bMirrorX = 0;
    // A target at the character's own centre: no motion.
    m.m_nTargetXDot = 0;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_dVx, 0);
    EXPECT_EQ(me->m_dVy, 0);
}

TEST_F(MoveTest, GroundWalkerTurnsBackAtALedge) {
    // Eight columns, four rows; the floor (row 2) ends after column 3.
    scene.m_ScrollX.m_nCells = 8;
    scene.m_ScrollX.m_nShift = 3;
    scene.m_ScrollY.m_nCells = 4;
    ctx.vecMapCell.Reset(32);
    for (int col = 0; col < 4; col++) ctx.vecMapCell[2 * 8 + col].m_nHit = 1;
    me->m_bFlight = 0;
    me->m_nDir = 1;
    me->m_Data.m_bFixDir = 1;   // the walk turns even with fixed facing
    me->m_dX = 100;
    me->m_dRight = 131;
    me->m_dBottom = 63;
    cEdCmd cmd = Move(CMD_MOVE_GROUNDTURN, DIR_FRONT, 10, 50);
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_nDir, 0);
    EXPECT_DOUBLE_EQ(me->m_dVx, 1);   // this step still goes right
    Step(run);
    EXPECT_DOUBLE_EQ(me->m_dVx, -1);
    // Over the middle of the floor it keeps its facing.
    me->m_dX = 40;
    me->m_dRight = 71;
    Step(run);
    EXPECT_EQ(me->m_nDir, 0);
    // A flying character is not moved.
    me->m_bFlight = 1;
    Step(run);
    EXPECT_EQ(me->m_dVx, 0);
}

TEST_F(MoveTest, CircleRadiusAndZeroDivisors) {
    stage.m_nSubStep = 2;
    cEdCmd cmd = Move(CMD_MOVE_CIRCLE, 0, 10, 20);
    cmd.m_pMove->m_nHoming = 25;   // the radius in hbl
    cmd.m_pMove->m_nAngle = 0;
    cmd.m_pMove->m_nDist = 360;
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    EXPECT_EQ(run.m_nMoveA, 20 * 16 * 2);
    EXPECT_EQ(run.m_nTime, 240);
    EXPECT_DOUBLE_EQ(run.m_Move.dSpeed, 720.0 / 240 / 2);
    // Duration 0 in time mode; angular speed 0 in speed mode.
    cmd.m_nTime = 0;
    InitCmdRun(run, &cmd, me);
    EXPECT_TRUE(std::isfinite(run.m_Move.dSpeed));
    EXPECT_GE(run.m_nTime, 1);
    cmd.m_pMove->m_nTimeSpeed = 1;
    cmd.m_pMove->m_nSpeed = 0;
    InitCmdRun(run, &cmd, me);
    EXPECT_EQ(run.m_nTime, 1);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_dVx, 0);
    EXPECT_EQ(me->m_dVy, 0);

    // A straight move by time and distance with time 0; by speed and distance with speed 0.
    cEdCmd s = Move(CMD_MOVE_STRAIGHT, DIR_FRONT, 10, 0);
    s.m_pMove->m_nTimeSpeed = 1;
    s.m_pMove->m_nDist = 4;
    InitCmdRun(run, &s, me);
    EXPECT_TRUE(std::isfinite(run.m_Move.dSpeed));
    EXPECT_EQ(run.m_nTime, 1);
    s.m_pMove->m_nTimeSpeed = 2;
    s.m_pMove->m_nSpeed = 0;
    InitCmdRun(run, &s, me);
    EXPECT_EQ(run.m_nTime, 1);
    // Speed 5 (0.25 dots a step at b = 2), 4 hbl: 256 steps.
    s.m_pMove->m_nSpeed = 5;
    InitCmdRun(run, &s, me);
    EXPECT_EQ(run.m_nTime, 256);
}

// A circle of radius 2 hbl (32 dots) run once round: the character's
// position spans 64 dots across on both axes whatever the steps per frame.
TEST_F(MoveTest, CircleRadiusIsTheSameAtEveryStepCount) {
    me->m_Data.m_nFlight = 1;
    me->m_bFlight = 1;
    for (int b : {1, 2, 3}) {
        SCOPED_TRACE(testing::Message() << "b " << b);
        stage.SetJudgeLevel(10 + b);
        cEdCmd cmd = Move(CMD_MOVE_CIRCLE, 0, 10, 20);
        cmd.m_pMove->m_nHoming = 2;
        cmd.m_pMove->m_nAngle = 0;
        cmd.m_pMove->m_nDist = 360;
        cCmdRun run;
        InitCmdRun(run, &cmd, me);
        run.Begin(me, &flow);
        double x = 0, y = 0, dMinX = 0, dMaxX = 0, dMinY = 0, dMaxY = 0;
        for (int i = 0; i < run.m_nTime; i++) {
            Step(run);
            x += me->m_dVx;
            y += me->m_dVy;
            dMinX = std::min(dMinX, x);
            dMaxX = std::max(dMaxX, x);
            dMinY = std::min(dMinY, y);
            dMaxY = std::max(dMaxY, y);
        }
        EXPECT_NEAR(dMaxX - dMinX, 64, 1);
        EXPECT_NEAR(dMaxY - dMinY, 64, 1);
        EXPECT_NEAR(x, 0, 1);   // back where it started
        EXPECT_NEAR(y, 0, 1);
    }
}

TEST_F(MoveTest, InertiaStaysWithinItsMaximum) {
    me->m_nDir = 1;
    cEdCmd cmd = Move(CMD_MOVE_STRAIGHT, DIR_RIGHT, 600, 50);   // 60 dots a frame asked
    cmd.m_pMove->m_bInertia = 1;
    cmd.m_pMove->m_nAccel = 20;           // at most 2 dots a step
    cmd.m_pMove->m_dMoveFactor = 0.5;     // turning at half the rate
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    for (int i = 0; i < 10; i++) {
        Step(run);
        EXPECT_LE(std::fabs(me->m_dCmdVx), 2.0 + 1e-12);
    }
    EXPECT_DOUBLE_EQ(me->m_dCmdVx, 2.0);
    EXPECT_EQ(me->m_dVx, 0);   // inertial moves leave the step speed alone
    // Reversing: each step changes by 60 / 60 x 0.5.
    cEdCmd back = Move(CMD_MOVE_STRAIGHT, DIR_LEFT, 600, 50);
    back.m_pMove->m_bInertia = 1;
    back.m_pMove->m_nAccel = 20;
    back.m_pMove->m_dMoveFactor = 0.5;
    InitCmdRun(run, &back, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_DOUBLE_EQ(me->m_dCmdVx, 1.5);
}

TEST_F(MoveTest, InertiaChangeIsThePerSecondConversion) {
    // Speed 230 tenths at b = 1: 23 dots a step. The change of the inertia
    // speed is 23 / 1 x 0.016666666666666666 = 0.3833333333333333 (the
    // product rounds down; 23 / 60 would round to 0.38333333333333336).
    me->m_nDir = 1;
    cEdCmd cmd = Move(CMD_MOVE_STRAIGHT, DIR_RIGHT, 230, 50);
    cmd.m_pMove->m_bInertia = 1;
    cmd.m_pMove->m_nAccel = 1000;   // at most 100 dots a step: no clamp
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_dCmdVx, 0.3833333333333333);
    // The same conversion serves play: at b = 3, 17 a second is
    // 17 / 3 = 5.666666666666667, x 0.016666666666666666 = 0.09444444444444444
    // (17 / 3 / 60 would give 0.09444444444444446).
    stage.m_nSubStep = 3;
    stage.m_dStepFactor = 3.0;
    EXPECT_EQ(PerSecToStep(17), 0.09444444444444444);
}

TEST_F(MoveTest, ChangeDirectionNeedsFixedFacing) {
    cChara* tg = AddChara();
    SetTarget(me, 0, tg);
    tg->m_dX = 500;
    me->m_dX = 100;
    me->m_nDir = 0;
    me->m_Data.m_bFixDir = 0;
    cEdCmd cmd = MakeCmd(CMD_DIRECTION, {{0, 2}}, 10);
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_nDir, 0);
    me->m_Data.m_bFixDir = 1;
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_nDir, 1);   // toward target 1 on its right
    cEdCmd away = MakeCmd(CMD_DIRECTION, {{0, 3}}, 10);
    InitCmdRun(run, &away, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_nDir, 0);
    // A missing target 2 changes nothing.
    cEdCmd none = MakeCmd(CMD_DIRECTION, {{0, 4}}, 10);
    InitCmdRun(run, &none, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_EQ(me->m_nDir, 0);
    EXPECT_EQ(run.m_nCount, 0);
}

TEST_F(MoveTest, CancelStopsEveryMotion) {
    me->m_dVx = 3;
    me->m_dCmdVy = 2;
    me->m_dKnockX = 1;
    cEdCmd cmd = MakeCmd(CMD_MOVE_CANCEL, {}, 10);
    cCmdRun run;
    InitCmdRun(run, &cmd, me);
    run.Begin(me, &flow);
    Step(run, false);
    EXPECT_EQ(me->m_dVx, 0);
    EXPECT_EQ(me->m_dCmdVy, 0);
    EXPECT_EQ(me->m_dKnockX, 0);
    EXPECT_EQ(me->m_bNoGravity, 1);
}

namespace {

// A 32 x 32 frame whose centre is (x, y) on the screen.
void PlaceAt(cCharaBase* p, int x, int y) {
    p->m_rcScreen.left = x - 16;
    p->m_rcScreen.right = x + 15;
    p->m_rcScreen.top = y - 16;
    p->m_rcScreen.bottom = y + 15;
}

}  // namespace

TEST_F(MoveTest, ChargeAimsOnceHomingFollows) {
    cChara* tg = AddChara();
    SetTarget(me, 0, tg);
    me->m_bFlight = 1;
    me->m_Data.m_bFixDir = 0;
    PlaceAt(me, 100, 100);
    PlaceAt(tg, 200, 100);

    cEdCmd charge = Move(CMD_MOVE_CHARGE, 0, 10, 50);
    cCmdRun run;
    InitCmdRun(run, &charge, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_NEAR(me->m_dVx, 1, 1e-9);
    EXPECT_NEAR(me->m_dVy, 0, 1e-9);
    PlaceAt(tg, 100, 200);
    Step(run);
    EXPECT_NEAR(me->m_dVx, 1, 1e-9);   // not followed

    // Homing with weakness 0 follows the target's point now.
    PlaceAt(tg, 200, 100);
    cEdCmd homing = Move(CMD_MOVE_HOMING, 0, 10, 50);
    InitCmdRun(run, &homing, me);
    run.Begin(me, &flow);
    Step(run);
    EXPECT_NEAR(me->m_dVx, 1, 1e-9);
    PlaceAt(tg, 100, 200);
    Step(run);
    EXPECT_NEAR(me->m_dVx, 0, 1e-9);
    EXPECT_NEAR(me->m_dVy, 1, 1e-9);

    // Weakness 3: the first point is aimed at until step 3, then the point
    // sampled on the first step, then the one of step 3.
    PlaceAt(tg, 200, 100);
    homing.m_pMove->m_nHoming = 3;
    InitCmdRun(run, &homing, me);
    run.Begin(me, &flow);
    Step(run);                 // step 0: samples (200, 100)
    PlaceAt(tg, 100, 200);
    for (int i = 1; i < 6; i++) {
        Step(run);
        EXPECT_NEAR(me->m_dVx, 1, 1e-9) << i;   // still toward where it was
    }
    Step(run);                 // step 6: the sample of step 3, (100, 200)
    EXPECT_NEAR(me->m_dVx, 0, 1e-9);
    EXPECT_NEAR(me->m_dVy, 1, 1e-9);
}

TEST_F(MoveTest, AvoidLeavingTheScreen) {
    me->m_bFlight = 1;
    me->m_Data.m_bFixDir = 1;
    struct CASE {
        int nDir, left, top;
        double vx, vy;
    } cases[] = {
        {DIR_LEFT, 620, 200, -1, 0},    // past the right side: back to the left
        {DIR_LEFT, 300, 200, 0, 0},     // inside: nothing
        {DIR_RIGHT, -20, 200, 1, 0},    // its right edge is left of 32
        {DIR_UP_LEFT, 620, 460, -1, -1},
        {DIR_DOWN, 300, -40, 0, 1},
    };
    for (const CASE& c : cases) {
        me->m_rcScreen = {c.left, c.top, c.left + 31, c.top + 31};
        cEdCmd cmd = Move(CMD_MOVE_AVOID, c.nDir, 10, 10);
        cCmdRun run;
        InitCmdRun(run, &cmd, me);
        run.Begin(me, &flow);
        Step(run);
        EXPECT_DOUBLE_EQ(me->m_dVx, c.vx) << c.nDir << " " << c.left;
        EXPECT_DOUBLE_EQ(me->m_dVy, c.vy) << c.nDir << " " << c.top;
    }
}
