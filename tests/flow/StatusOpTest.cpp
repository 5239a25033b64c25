#include <gtest/gtest.h>

#include <climits>

#include "FlowFixture.h"
#include "flow/StatusAccess.h"
#include "flow/ValueOp.h"
#include "play/Conditions.h"
#include "play/PlayHarness.h"

TEST(ValueOp, OperatorsSaturateAndClamp) {
    struct CASE {
        int64_t cur, v;
        int op;
        int32_t lo, hi, want;
    } cases[] = {
        {5, 9, VALOP_SET, -999999, 999999, 9},
        {5, 9, VALOP_ADD, -999999, 999999, 14},
        {5, 9, VALOP_SUB, -999999, 999999, -4},
        {500000, 3, VALOP_MUL, 0, 999999, 999999},
        {100000, 100000, VALOP_MUL, -999999, 999999, 999999},
        {100000, -100000, VALOP_MUL, -999999, 999999, -999999},
        {INT_MAX, INT_MAX, VALOP_ADD, INT_MIN, INT_MAX, INT_MAX},
        {INT_MIN, 1, VALOP_SUB, INT_MIN, INT_MAX, INT_MIN},
        {INT_MIN, -1, VALOP_DIV, INT_MIN, INT_MAX, INT_MAX},
        {INT_MIN, -1, VALOP_MOD, INT_MIN, INT_MAX, 0},
        {7, 0, VALOP_DIV, -99, 99, 7},
        {7, 0, VALOP_MOD, -99, 99, 7},
        {-7, 2, VALOP_DIV, -99, 99, -3},
        {-7, 3, VALOP_MOD, -99, 99, -1},
        {7, 50, VALOP_PERCENT, -99, 99, 4},
        {-7, 50, VALOP_PERCENT, -99, 99, -4},
        {3, 50, VALOP_PERCENT, -99, 99, 2},
        {INT_MAX, INT_MAX, VALOP_PERCENT, INT_MIN, INT_MAX, INT_MAX},
        {INT_MIN, INT_MAX, VALOP_PERCENT, INT_MIN, INT_MAX, INT_MIN},
        {5, 9, 7, 0, 3, 3},   // unknown operator: unchanged, then clamped
    };
    for (const CASE& c : cases)
        EXPECT_EQ(ApplyOpValue(c.cur, c.v, c.op, c.lo, c.hi), c.want) << c.cur << " op" << c.op << " " << c.v;
}

TEST(ValueOp, NarrowFormsReduceTheOperandFirst) {
    int8_t z = 0;
    ApplyOp_Char(&z, 300, VALOP_SET, 0, 7);   // 300 acts as 44
    EXPECT_EQ(z, 7);
    z = 0;
    ApplyOp_Char(&z, 260, VALOP_SET, 0, 7);   // 260 acts as 4
    EXPECT_EQ(z, 4);
    int16_t s = 100;
    ApplyOp_Short(&s, 65536 + 50, VALOP_ADD, 0, 200);   // acts as 50
    EXPECT_EQ(s, 150);
    int8_t imp = -20;
    ApplyOp_Char(&imp, 127, VALOP_MUL, -20, 20);   // in 64 bits: -2540, clamped
    EXPECT_EQ(imp, -20);
}

namespace {

// Parameters of a status operation on a destination.
cEdCmd StatusCmd(int nDestKind, int nSubject, int nStatus, int nOp, int nValue) {
    return cFlowFixture::MakeCmd(CMD_STATUS, {{0, nDestKind}, {3, nSubject}, {4, nStatus}, {5, nOp}, {6, 0}, {7, nValue}});
}

}  // namespace

class StatusOp : public ::testing::Test, public cFlowFixture {};

TEST_F(StatusOp, TableOfDestinations) {
    cChara* me = AddChara();
    cChara* tg = AddChara();
    SetTarget(me, 0, tg);

    // Score 500000 x 3 stores 999999.
    progress.m_nScore = 500000;
    cEdCmd c1 = StatusCmd(0, 5, SYSVAL_SCORE, VALOP_MUL, 3);
    Exec(me, c1);
    EXPECT_EQ(progress.m_nScore, 999999);

    // Z = 300 stores 7; Z = 260 stores 4.
    cEdCmd c2 = StatusCmd(0, 0, CSTAT_Z, VALOP_SET, 300);
    Exec(me, c2);
    EXPECT_EQ(me->m_Data.m_nZ, 7);
    cEdCmd c3 = StatusCmd(0, 0, CSTAT_Z, VALOP_SET, 260);
    Exec(me, c3);
    EXPECT_EQ(me->m_Data.m_nZ, 4);

    // Division and remainder by 0 leave the value.
    me->m_Data.m_nPower = 77;
    cEdCmd c4 = StatusCmd(0, 0, CSTAT_POWER, VALOP_DIV, 0);
    Exec(me, c4);
    cEdCmd c5 = StatusCmd(0, 0, CSTAT_POWER, VALOP_MOD, 0);
    Exec(me, c5);
    EXPECT_EQ(me->m_Data.m_nPower, 77);

    // Percent: 7 x 50 % rounds to 4 (half away from zero), -7 x 50 % to -4.
    me->m_Data.m_nPower = 7;
    cEdCmd c6 = StatusCmd(0, 0, CSTAT_POWER, VALOP_PERCENT, 50);
    Exec(me, c6);
    EXPECT_EQ(me->m_Data.m_nPower, 4);
    me->m_Data.m_nPower = -7;
    Exec(me, c6);
    EXPECT_EQ(me->m_Data.m_nPower, -4);

    // A stage variable; a common variable beyond the list does nothing.
    cEdCmd c7 = cFlowFixture::MakeCmd(CMD_STATUS, {{0, 1}, {1, 1}, {2, 1000}, {5, VALOP_ADD}, {7, 12}});
    Exec(me, c7);
    EXPECT_EQ(scene.m_vecStageVar[1000], 12);
    cEdCmd c8 = cFlowFixture::MakeCmd(CMD_STATUS, {{0, 1}, {1, 0}, {2, 1001}, {5, VALOP_ADD}, {7, 12}});
    Exec(me, c8);
    EXPECT_EQ(progress.m_vCommonVar[0], 0);

    // Max HP set to 40 while HP is 70 lowers HP.
    me->m_nHp = 70;
    cEdCmd c9 = StatusCmd(0, 0, CSTAT_MAXHP, VALOP_SET, 40);
    Exec(me, c9);
    EXPECT_EQ(me->m_Data.m_nMaxHp, 40);
    EXPECT_EQ(me->m_nHp, 40);

    // Sight of a placed character is not changed.
    cEdCmd c10 = StatusCmd(0, 0, CSTAT_SIGHT, VALOP_SET, 12);
    Exec(me, c10);
    EXPECT_EQ(me->m_Data.m_nSight, 0);

    // A missing target 2: nothing.
    cEdCmd c11 = StatusCmd(0, 2, CSTAT_POWER, VALOP_SET, 5);
    tg->m_Data.m_nPower = 1;
    Exec(me, c11);
    EXPECT_EQ(tg->m_Data.m_nPower, 1);
}

TEST_F(StatusOp, HpAndSpGauges) {
    cChara* me = AddChara(100, 30);
    // HP to 50 % of the maximum: 50, the gauge shows +20.
    cEdCmd c = StatusCmd(0, 0, CSTAT_HP, VALOP_SET, 50);
    c.m_vParam[15] = 1;
    c.m_vParam[16] = 1;
    Exec(me, c);
    EXPECT_EQ(me->m_nHp, 50);
    EXPECT_GT(me->m_HpGauge.nShown, 0);
    EXPECT_DOUBLE_EQ(me->m_HpGauge.dChange, 20 * 50 / 100.0);

    // SP is capped at its maximum.
    me->m_Data.m_nMaxSp = 10;
    me->m_nSp = 2;
    cEdCmd s = StatusCmd(0, 0, CSTAT_SP, VALOP_ADD, 500);
    Exec(me, s);
    EXPECT_EQ(me->m_nSp, 10);
}

TEST_F(StatusOp, ForcedDamageOnAnInvincibleTargetMarksTheDeathTest) {
    cChara* me = AddChara();
    cChara* tg = AddChara(100, 30);
    tg->m_Data.m_nInvincible = 1;
    SetTarget(me, 0, tg);
    cEdCmd c = StatusCmd(0, 1, CSTAT_HP, VALOP_SUB, 500);
    Exec(me, c);
    EXPECT_EQ(tg->m_nHp, 0);
    EXPECT_EQ(scene.m_bCheckDead, 1);
    // With the skip flag an invincible subject is left alone.
    tg->m_nHp = 30;
    c.m_vParam[17] = 1;
    Exec(me, c);
    EXPECT_EQ(tg->m_nHp, 30);
}

TEST_F(StatusOp, UnlimitedLives) {
    cChara* me = AddChara();
    progress.m_nLife = LIFE_UNLIMITED;
    cEdCmd c = StatusCmd(0, 5, SYSVAL_LIFE, VALOP_ADD, 1);
    Exec(me, c);
    EXPECT_EQ(progress.m_nLife, LIFE_UNLIMITED);

    // Unlimited lives compare as 100, or fail under the rule.
    cCond cond;
    cond.m_nKind = COND_STATUS;
    cond.m_nSubject = 5;
    cond.m_nStatus = SYSVAL_LIFE;
    cond.m_nSource = 0;
    cond.m_nValue = 50;
    cond.m_nCompare = 2;   // >=
    EXPECT_EQ(CondCheck_Status(cond, me), 1);
    sys.m_bRuleInfiniteLifeZero = 1;
    EXPECT_EQ(CondCheck_Status(cond, me), 0);

    // Limited lives stay in 0..99.
    progress.m_nLife = 98;
    cEdCmd add = StatusCmd(0, 5, SYSVAL_LIFE, VALOP_ADD, 5);
    Exec(me, add);
    EXPECT_EQ(progress.m_nLife, 99);
}

TEST_F(StatusOp, StatusConditionPercentAndWidth) {
    cChara* me = AddChara(200, 50);
    cCond cond;
    cond.m_nKind = COND_STATUS;
    cond.m_nSubject = 0;
    cond.m_nStatus = CSTAT_HP;
    cond.m_nSource = 0;
    cond.m_nValue = 25;
    cond.m_nCompare = 3;   // <=
    cond.m_nPercent = 1;
    // HP <= 25 % of 200 = 50 holds for HP 50 and not for 51.
    EXPECT_EQ(CondCheck_Status(cond, me), 1);
    me->m_nHp = 51;
    cond.m_nValue = 25;
    EXPECT_EQ(CondCheck_Status(cond, me), 0);

    // A character variable with the percent flag compares with 0.
    me->m_vecVar[3] = 0;
    cCond v;
    v.m_nKind = COND_STATUS;
    v.m_nStatus = CSTAT_VAR;
    v.m_nVarNum = 3;
    v.m_nValue = 999;
    v.m_nCompare = 0;
    v.m_nPercent = 1;
    EXPECT_EQ(CondCheck_Status(v, me), 1);

    // The right value computed is kept in the condition.
    cCond r;
    r.m_nKind = COND_STATUS;
    r.m_nStatus = CSTAT_HP;
    r.m_nSource = 3;
    r.m_nSrcVarKind = 1;
    r.m_nSrcVarNum = 4;
    scene.m_vecStageVar[4] = 51;
    r.m_nCompare = 0;
    EXPECT_EQ(CondCheck_Status(r, me), 1);
    EXPECT_EQ(r.m_nValue, 51);
}

TEST_F(StatusOp, StatusFlags) {
    cChara* me = AddChara();
    cChara* tg = AddChara();
    SetTarget(me, 0, tg);
    cEdCmd vanish = cFlowFixture::MakeCmd(CMD_STATUS2, {{0, 1}, {1, 0}, {2, 1}});
    Exec(me, vanish);
    EXPECT_EQ(tg->m_bVanish, 1);
    EXPECT_EQ(scene.m_bCheckDead, 1);
    cEdCmd fix = cFlowFixture::MakeCmd(CMD_STATUS2, {{0, 0}, {1, 2}, {2, 1}});
    me->m_Data.m_bFixDir = 0;
    Exec(me, fix);
    EXPECT_EQ(me->m_Data.m_bFixDir, 1);
    cEdCmd sync = cFlowFixture::MakeCmd(CMD_STATUS2, {{0, 0}, {1, 6}, {2, 1}});
    Exec(me, sync);
    EXPECT_EQ(me->m_bScrollSync, 1);
}

namespace {

// The size status keeps the centre (x less 8 for a body 16 wide grown to
// factor 2) and raises the character by its collision height (16) without
// the foot-box rule, which also holds it for two frames; with the rule, by
// its frame less its box offset (32 - 8 = 24) and no hold.
TEST(StatusSize, GrowingKeepsTheCentreAndRaisesByTheRule) {
    struct CASE {
        int bRuleBox;
        double dRaise;
        int nLock;
    } const aCase[] = {{0, 16, 2}, {1, 24, 0}};
    for (const CASE& t : aCase) {
        SCOPED_TRACE(testing::Message() << "foot-box rule " << t.bRuleBox);
        cPlayHarness h({"..........", "..........", ".H....C...", "##########"});
        h.CharaTemplate().m_nFlight = 1;
        h.SetUp();
        h.System().m_bRuleScaleFootBox = t.bRuleBox;
        ASSERT_FALSE(h.Ctx().lstChara.empty());
        cChara& c = *h.Ctx().lstChara.front();
        const double x0 = c.m_dX, y0 = c.m_dY;
        c.m_nLockFrames = 0;
        cEdCmd grow = cFlowFixture::MakeCmd(CMD_STATUS2, {{0, 0}, {1, 5}, {2, 2}});
        cFlowFixture::Exec(&c, grow);
        EXPECT_EQ(c.m_Data.m_nGiant, 2);
        EXPECT_EQ(c.m_nWidth, 32);
        EXPECT_DOUBLE_EQ(c.m_dX, x0 - 8);
        EXPECT_DOUBLE_EQ(c.m_dY, y0 - t.dRaise);
        EXPECT_EQ(c.m_nLockFrames, t.nLock);
    }
}

}  // namespace
