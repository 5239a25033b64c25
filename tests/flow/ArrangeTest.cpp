#include <gtest/gtest.h>

#include "FlowFixture.h"
#include "flow/Arrange.h"
#include "flow/ArrangeTable.h"

class ArrangeTest : public ::testing::Test, public cFlowFixture {
protected:
    void SetUp() override {
        BuildArrangeParamTable();
        me = AddChara();
    }
    static ARRANGEENTRY Entry(int nKind, int nIndex, int nOp, int nSource, int nVar) {
        ARRANGEENTRY e;
        e.anParam[0] = nKind;
        e.anParam[1] = nIndex;
        e.anParam[2] = nOp;
        e.anParam[3] = nSource;
        e.anParam[4] = nVar;
        return e;
    }
    static cEdCmd Move() {
        cEdCmd c = MakeCmd(CMD_MOVE_STRAIGHT);
        NewEdMove(c.m_pMove);
        return c;
    }
    static cEdCmd Shot() {
        cEdCmd c = MakeCmd(CMD_SHOT);
        NewEdShot(c.m_pShot);
        return c;
    }
    cChara* me = nullptr;
};

TEST_F(ArrangeTest, TableOfOperations) {
    struct CASE {
        int nStart, nOp, nOperand, nWant;
    } cases[] = {
        {2, 1, 5, 7},              // add stage variable 3 holding 5
        {2, 0, 9, 9},              // set
        {2, 2, 5, -3},             // subtract
        {7, 4, 0, 7},              // divide by 0: unchanged
        {7, 5, 0, 7},              // remainder by 0: unchanged
        {7, 5, 4, 3},
        {-7, 5, 4, -3},
        {7, 6, 50, 4},             // 3.5 rounds to 4
        {-7, 6, 50, -4},
        {600, 3, 600, 640},        // the row's bound
        {-600, 3, 600, -640},
        {2, 9, 5, 2},              // unknown operation
    };
    for (const CASE& c : cases) {
        cEdCmd cmd = Move();
        cmd.m_pMove->m_nTargetXBl = static_cast<int16_t>(c.nStart);
        scene.m_vecStageVar[3] = c.nOperand;
        ApplyArrange(cmd, Entry(CMD_MOVE_STRAIGHT, 0, c.nOp, 1, 3), me);
        EXPECT_EQ(cmd.m_pMove->m_nTargetXBl, c.nWant) << c.nStart << " op" << c.nOp << " " << c.nOperand;
    }
}

TEST_F(ArrangeTest, ProductsSaturateAtTheBounds) {
    // The power of a shot: 100000 x 100000 and 100000 x -100000.
    cEdCmd cmd = Shot();
    cmd.m_pShot->m_nPower = 100000;
    me->m_vecVar[2] = 100000;
    ApplyArrange(cmd, Entry(CMD_SHOT, 27, 3, 2, 2), me);
    EXPECT_EQ(cmd.m_pShot->m_nPower, 999999);
    cmd.m_pShot->m_nPower = 100000;
    me->m_vecVar[2] = -100000;
    ApplyArrange(cmd, Entry(CMD_SHOT, 27, 3, 2, 2), me);
    EXPECT_EQ(cmd.m_pShot->m_nPower, -999999);
}

TEST_F(ArrangeTest, BoundsOfShotFields) {
    cEdCmd cmd = Shot();
    me->m_vecVar[1] = 500;
    ApplyArrange(cmd, Entry(CMD_SHOT, 9, 0, 2, 1), me);   // spread angle
    EXPECT_EQ(cmd.m_pShot->m_nSpread, 180);
    // A formation value the formation does not use stores 0; a used one
    // takes the bounds of its slot (formation 0: spacing 0..40 hbl).
    cmd.m_pShot->m_nFormation = 0;
    ApplyArrange(cmd, Entry(CMD_SHOT, 4, 0, 2, 1), me);
    EXPECT_EQ(cmd.m_pShot->m_anFormParam[2], 0);
    ApplyArrange(cmd, Entry(CMD_SHOT, 2, 0, 2, 1), me);
    EXPECT_EQ(cmd.m_pShot->m_anFormParam[0], 40);
}

TEST_F(ArrangeTest, WhatChangesNothing) {
    cEdCmd cmd = Move();
    cmd.m_pMove->m_nTargetXBl = 2;
    progress.m_vCommonVar[0] = 50;
    // Common variable 0 is no operand.
    ApplyArrange(cmd, Entry(CMD_MOVE_STRAIGHT, 0, 0, 0, 0), me);
    // Another kind's entry, an index beyond the row, an unknown source.
    ApplyArrange(cmd, Entry(CMD_SHOT, 0, 0, 2, 1), me);
    ApplyArrange(cmd, Entry(CMD_MOVE_STRAIGHT, 6, 0, 2, 1), me);
    ApplyArrange(cmd, Entry(CMD_MOVE_STRAIGHT, 0, 0, 3, 1), me);
    ApplyArrange(cmd, Entry(CMD_MOVE_STRAIGHT, 0, 0, 1, 5000), me);
    EXPECT_EQ(cmd.m_pMove->m_nTargetXBl, 2);
    // A move without its record.
    cEdCmd bare = MakeCmd(CMD_MOVE_STRAIGHT);
    ApplyArrange(bare, Entry(CMD_MOVE_STRAIGHT, 0, 0, 2, 1), me);
    EXPECT_FALSE(bare.m_pMove);
    // Item kind 0 is not the summon item, item kind 1 not the flow operation.
    cEdCmd item0 = MakeItemCmd(0);
    NewEdShot(item0.m_pShot);
    me->m_vecVar[1] = 9;
    ApplyArrange(item0, Entry(CMD_SUMMON_ITEM, 4, 0, 2, 1), me);
    EXPECT_EQ(item0.m_pShot->m_nCount, 0);
    // An item command of the status operation matches kind 22.
    cEdCmd item7 = MakeItemCmd(7);
    ApplyArrange(item7, Entry(CMD_STATUS, 0, 0, 2, 1), me);
    EXPECT_EQ(item7.m_vParam[8], 9);
}

TEST_F(ArrangeTest, ChangesStayOnTheCharactersOwnCommand) {
    // A flow of arrange, move, arrange, wait, status operation: the arrange is consumed by the
    // move; a second run adds again to the changed value.
    cFlow flow;
    flow.m_vCmd.push_back(MakeCmd(CMD_ARRANGE, {{0, CMD_MOVE_STRAIGHT}, {1, 0}, {2, 1}, {3, 1}, {4, 3}}));
    flow.m_vCmd.push_back(Move());
    flow.m_vCmd.push_back(MakeCmd(CMD_ARRANGE, {{0, CMD_STATUS}, {1, 0}, {2, 0}, {3, 1}, {4, 3}}));
    flow.m_vCmd.push_back(MakeCmd(CMD_WAIT));
    flow.m_vCmd.push_back(MakeCmd(CMD_STATUS));
    flow.m_vCmd[1].m_pMove->m_nTargetXBl = 2;
    scene.m_vecStageVar[3] = 5;
    me->m_Data.m_vFlow.push_back(flow);
    cFlowRun run;
    InitFlowRun(run, &me->m_Data.m_vFlow[0], 0, me);
    for (int nPass = 0; nPass < 2; nPass++) {
        run.Start(me);
        int n = 0;
        while (!run.Step(me) && n < 100) n++;
        run.Stop(me);
    }
    cFlow& mine = me->m_Data.m_vFlow[0];
    EXPECT_EQ(mine.m_vCmd[1].m_pMove->m_nTargetXBl, 12);
    EXPECT_EQ(mine.m_vCmd[4].m_vParam[8], 0);   // the wait dropped the entry
    EXPECT_EQ(flow.m_vCmd[1].m_pMove->m_nTargetXBl, 2);
}

TEST_F(ArrangeTest, AnItemsOwnListKeepsItsArrangedValues) {
    // An item list of arrange (background number += stage variable 1, which
    // holds 2) and change background (number 1): the list that ran holds 3
    // afterwards, and the next take adds again: 5. The numbers stay within
    // the row's 1..8.
    cHero* hero = AddHero();
    scene.m_vecStageVar.assign(10, 0);
    scene.m_vecStageVar[1] = 2;
    cChkVector<cEdCmd> list;
    list.push_back(MakeItemCmd(CMD_ARRANGE - ITEMCMD_KIND_OFFSET, {{0, CMD_BACKGROUND}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
    list.push_back(MakeItemCmd(CMD_BACKGROUND - ITEMCMD_KIND_OFFSET, {{0, 1}}));
    EXPECT_EQ(hero->RunItemCmds(list), 0);
    EXPECT_EQ(list[1].m_vParam[0], 3);
    EXPECT_EQ(hero->RunItemCmds(list), 0);
    EXPECT_EQ(list[1].m_vParam[0], 5);
    EXPECT_TRUE(hero->m_lstArrange.empty());
}
