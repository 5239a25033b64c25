#include <gtest/gtest.h>

#include "FlowFixture.h"
#include "platform/CloseRequest.h"

namespace {

// A status operation that adds 1 to common variable n each step it runs.
cEdCmd Count(int n, int nTime, int bContinue) {
    return cFlowFixture::MakeCmd(CMD_STATUS, {{0, 1}, {1, 0}, {2, n}, {5, 1}, {6, 0}, {7, 1}}, nTime, bContinue);
}

}  // namespace

class FlowRunTest : public ::testing::Test, public cFlowFixture {
protected:
    void SetUp() override { me = AddChara(); }
    cFlowRun& Make(std::initializer_list<cEdCmd> cmds, int nTrigger = 1) {
        cFlow f;
        f.m_nTrigger = static_cast<uint8_t>(nTrigger);
        for (const cEdCmd& c : cmds) f.m_vCmd.push_back(c);
        me->m_Data.m_vFlow.clear();
        me->m_Data.m_vFlow.push_back(f);
        InitFlowRun(run, &me->m_Data.m_vFlow[0], 0, me);
        return run;
    }
    int32_t& C(int n) { return progress.m_vCommonVar[n]; }
    cChara* me = nullptr;
    cFlowRun run;
};

TEST_F(FlowRunTest, ZeroDurationRunsOnceAndFinishes) {
    Make({Count(1, 0, 0)});
    run.Start(me);
    EXPECT_EQ(run.Step(me), 1);
    EXPECT_EQ(C(1), 1);
}

TEST_F(FlowRunTest, WaitingContinuingAndWaiting) {
    // 1 s waiting, 0.5 s with the continue flag, 0.2 s waiting (b = 2).
    stage.m_nSubStep = 2;
    Make({Count(1, 10, 0), Count(2, 5, 1), Count(3, 2, 0)});
    run.Start(me);
    int nStep = 0;
    for (; nStep < 120; nStep++) ASSERT_EQ(run.Step(me), 0) << nStep;
    EXPECT_EQ(C(1), 120);
    EXPECT_EQ(C(2), 0);
    EXPECT_EQ(C(3), 0);
    // The second and third begin in the same step; the flow ends with the
    // third while the second still runs.
    int r = 0;
    for (int i = 0; i < 24; i++) r = run.Step(me);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(C(2), 24);
    EXPECT_EQ(C(3), 24);
    EXPECT_EQ(run.m_vecCmdRun[1].m_bDone, 0);
}

TEST_F(FlowRunTest, LastContinuingCommandEndsTheFlow) {
    Make({Count(1, 0, 0), Count(2, 1, 1)});
    run.Start(me);
    EXPECT_EQ(run.Step(me), 0);
    for (int i = 0; i < 5; i++) EXPECT_EQ(run.Step(me), 0);
    EXPECT_EQ(run.Step(me), 1);   // the step the last command's six steps end
    EXPECT_EQ(C(2), 6);
}

TEST_F(FlowRunTest, ArrangeWaitsForTheNextOtherCommand) {
    // Two arranges, then a status operation: both entries reach it.
    scene.m_vecStageVar[3] = -4;
    scene.m_vecStageVar[4] = 9;
    Make({MakeCmd(CMD_ARRANGE, {{0, CMD_STATUS}, {1, 0}, {2, 0}, {3, 1}, {4, 3}}),
          MakeCmd(CMD_ARRANGE, {{0, CMD_STATUS}, {1, 1}, {2, 0}, {3, 1}, {4, 4}}), MakeCmd(CMD_STATUS)});
    run.Start(me);
    run.Step(me);
    EXPECT_EQ(run.m_lstArrange.size(), 1u);
    run.Step(me);
    EXPECT_EQ(run.m_lstArrange.size(), 2u);
    EXPECT_EQ(run.Step(me), 1);
    EXPECT_TRUE(run.m_lstArrange.empty());
    EXPECT_EQ(me->m_Data.m_vFlow[0].m_vCmd[2].m_vParam[8], -4);
    EXPECT_EQ(me->m_Data.m_vFlow[0].m_vCmd[2].m_vParam[9], 9);

    // Stopping drops what is queued.
    Make({MakeCmd(CMD_ARRANGE, {{0, CMD_STATUS}}), MakeCmd(CMD_WAIT, {}, 10)});
    run.Start(me);
    run.Step(me);
    EXPECT_EQ(run.m_lstArrange.size(), 1u);
    EXPECT_EQ(run.Stop(me), 1);
    EXPECT_TRUE(run.m_lstArrange.empty());
    EXPECT_EQ(run.Stop(me), 0);
}

TEST_F(FlowRunTest, BeforeStartFlowRunsOnlyLaterKindsWithTheContinueFlag) {
    cEdCmd move = MakeCmd(CMD_MOVE_STRAIGHT, {}, 0, 1);
    NewEdMove(move.m_pMove);
    move.m_pMove->m_nSpeed = 10;
    Make({move, Count(1, 0, 1), Count(2, 0, 0)}, TRIGGER_BEFORE_START);
    run.Start(me);
    EXPECT_EQ(C(1), 1);
    EXPECT_EQ(C(2), 0);
    EXPECT_EQ(me->m_dVx, 0);
    EXPECT_EQ(run.m_bRun, 0);
}

TEST_F(FlowRunTest, PauseKeepsThePosition) {
    Make({Count(1, 1, 0), Count(2, 1, 0), Count(3, 1, 0)});
    run.Start(me);
    for (int i = 0; i < 8; i++) run.Step(me);
    int nCur = run.m_nCur;
    int nLeft = run.m_vecCmdRun[nCur].m_nLeft;
    run.Pause();
    EXPECT_EQ(run.m_bPause, 1);
    run.Resume();
    EXPECT_EQ(run.m_nCur, nCur);
    EXPECT_EQ(run.m_vecCmdRun[nCur].m_nLeft, nLeft);
    int r = 0, n = 0;
    while (!(r = run.Step(me)) && n < 100) n++;
    EXPECT_EQ(C(1) + C(2) + C(3), 18);
}

TEST_F(FlowRunTest, ExclusiveGroupIsTakenAndReleased) {
    Make({Count(1, 0, 0)}, TRIGGER_ALWAYS);
    me->m_Data.m_vFlow[0].m_nFlowGroup = 3;
    run.Start(me);
    EXPECT_EQ(me->m_vecFlowBlock[3], 1);
    EXPECT_EQ(me->m_vecFlowFired[3], 1);
    run.Stop(me);
    EXPECT_EQ(me->m_vecFlowBlockNext[3], 1);
    EXPECT_EQ(me->m_bFlowBlockDirty, 1);
}

class CmdDispatchTest : public FlowRunTest {};

TEST_F(CmdDispatchTest, KindsOutsideTheTablesRunNothing) {
    ResetCloseRequests();
    for (int nKind : {40, 127, 200, 255}) {
        cEdCmd c = Count(1, 0, 0);
        c.m_nKind = static_cast<uint8_t>(nKind);
        Exec(me, c);
    }
    EXPECT_EQ(C(1), 0);
    EXPECT_EQ(CmdReported(CMDREPORT_RANGE + 0), 1);
    for (int nKind : {25, 200}) {
        cEdCmd c = MakeItemCmd(7, {{0, 1}, {1, 0}, {2, 1}, {5, 1}, {7, 1}});
        c.m_nKind = static_cast<uint8_t>(nKind);
        EXPECT_EQ(ItemCmdDispatch(AddHero(), &c, nullptr), 0);
    }
    EXPECT_EQ(C(1), 0);
    EXPECT_EQ(CmdReported(CMDREPORT_RANGE + 1), 1);
    // A move without its movement record runs nothing.
    cEdCmd bare = MakeCmd(CMD_MOVE_STRAIGHT);
    Exec(me, bare);
    EXPECT_EQ(CmdReported(CMDREPORT_RECORD + CMD_MOVE_STRAIGHT), 1);
    EXPECT_EQ(GetCloseRequestCount(), 0u);
}

TEST_F(CmdDispatchTest, ItemListStopsAtTheStageClear) {
    cHero* hero = AddHero();
    std::vector<cEdCmd> list = {MakeItemCmd(7, {{0, 1}, {1, 0}, {2, 1}, {5, 1}, {7, 5}}), MakeItemCmd(2),
                                MakeItemCmd(4)};
    size_t nRan = 0;
    for (cEdCmd& c : list) {
        nRan++;
        if (ItemCmdDispatch(hero, &c, nullptr)) break;
    }
    EXPECT_EQ(nRan, 2u);
    EXPECT_EQ(C(1), 5);
    EXPECT_EQ(scene.m_bMesShown, 0);
    // A message marks the message shown, so the next one continues it.
    cEdCmd msg = MakeItemCmd(4);
    EXPECT_EQ(ItemCmdDispatch(hero, &msg, nullptr), 0);
    EXPECT_EQ(scene.m_bMesShown, 1);
}

TEST_F(CmdDispatchTest, WaitTakesItsDuration) {
    Make({MakeCmd(CMD_WAIT, {}, 20), Count(1, 0, 0)});
    run.Start(me);
    int n = 1;
    while (!run.Step(me) && n < 1000) n++;
    EXPECT_EQ(n, 121);   // 120 steps of waiting, then the count
    EXPECT_EQ(C(1), 1);
}

TEST_F(CmdDispatchTest, EveryRowIsSet) {
    for (int k = 0; k < CMDKIND_COUNT; k++) EXPECT_NE(pfnCmdExec[k], nullptr) << k;
    for (int k = 0; k < ITEMCMDKIND_COUNT; k++) EXPECT_NE(pfnItemCmdExec[k], nullptr) << k;
    // Item kinds 2..24 run the executor of character kind k + 15.
    for (int k = ITEMCMD_FIRST_SHARED; k < ITEMCMDKIND_COUNT; k++)
        EXPECT_EQ(pfnItemCmdExec[k], pfnCmdExec[k + ITEMCMD_KIND_OFFSET]) << k;
}

TEST_F(FlowRunTest, RestartFromItsOwnCommandBeginsAfresh) {
    // Count, start this flow (waiting), count: the restart does not mark its
    // command done or move on, so the flow begins again from command 0.
    cFlow f;
    f.m_nTrigger = 1;
    f.m_vCmd.push_back(Count(1, 0, 0));
    f.m_vCmd.push_back(MakeCmd(CMD_FLOW_OP, {{0, 0}, {1, 0}}));
    f.m_vCmd.push_back(Count(2, 0, 0));
    me->m_Data.m_vFlow.clear();
    me->m_Data.m_vFlow.push_back(f);
    me->m_vecFlowRun.resize(1);
    cFlowRun& r = me->m_vecFlowRun[0];
    InitFlowRun(r, &me->m_Data.m_vFlow[0], 0, me);
    r.Start(me);
    for (int i = 0; i < 6; i++) EXPECT_EQ(r.Step(me), 0) << i;
    EXPECT_EQ(C(1), 3);
    EXPECT_EQ(C(2), 0);
    EXPECT_EQ(r.m_bRun, 1);
    EXPECT_EQ(r.m_nCur, 0);
}

TEST_F(FlowRunTest, BeforeStartFlowStartingItselfEnds) {
    cFlow f;
    f.m_nTrigger = TRIGGER_BEFORE_START;
    f.m_vCmd.push_back(Count(1, 0, 1));
    f.m_vCmd.push_back(MakeCmd(CMD_FLOW_OP, {{0, 0}, {1, 0}}, 0, 1));
    f.m_vCmd.push_back(Count(2, 0, 1));
    me->m_Data.m_vFlow.clear();
    me->m_Data.m_vFlow.push_back(f);
    me->m_vecFlowRun.resize(1);
    cFlowRun& r = me->m_vecFlowRun[0];
    InitFlowRun(r, &me->m_Data.m_vFlow[0], 0, me);
    r.Start(me);
    EXPECT_EQ(C(1), 1);
    EXPECT_EQ(C(2), 0);
    EXPECT_EQ(r.m_bRun, 0);
    EXPECT_EQ(r.m_bStartWalk, 0);
}

TEST_F(FlowRunTest, PauseFromItsOwnCommandPassesItAfterResuming) {
    cFlow f;
    f.m_nTrigger = 1;
    f.m_vCmd.push_back(MakeCmd(CMD_FLOW_OP, {{0, 2}, {1, 0}}));
    f.m_vCmd.push_back(Count(1, 0, 0));
    me->m_Data.m_vFlow.clear();
    me->m_Data.m_vFlow.push_back(f);
    me->m_vecFlowRun.resize(1);
    cFlowRun& r = me->m_vecFlowRun[0];
    InitFlowRun(r, &me->m_Data.m_vFlow[0], 0, me);
    r.Start(me);
    EXPECT_EQ(r.Step(me), 0);
    EXPECT_EQ(r.m_bPause, 1);
    r.Resume();
    EXPECT_EQ(r.Step(me), 1);
    EXPECT_EQ(C(1), 1);
}
