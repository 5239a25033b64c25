// Flows played end to end on a small stage: run code, arrange and the status
// operation in a flow that fires every frame, and a walk by a straight move.
#include <gtest/gtest.h>

#include "FlowFixture.h"
#include "play/PlayHarness.h"
#include "stage/MoveVocabulary.h"

TEST(FlowPlay, RunCodeArrangeAndStatusOperationInAStage) {
    cPlayHarness h({"..........",
                    "..H.......",
                    "##########"});
    cFlow f;
    f.m_nTrigger = TRIGGER_ALWAYS;
    cEdCmd code = cFlowFixture::MakeCmd(CMD_CODE);
    code.m_strText = "C1 = C1 + 1";
    f.m_vCmd.push_back(code);
    // The random bounds of the status operation become C1 by arrange: S5 = C1.
    f.m_vCmd.push_back(cFlowFixture::MakeCmd(CMD_ARRANGE, {{0, CMD_STATUS}, {1, 0}, {2, 0}, {3, 0}, {4, 1}}));
    f.m_vCmd.push_back(cFlowFixture::MakeCmd(CMD_ARRANGE, {{0, CMD_STATUS}, {1, 1}, {2, 0}, {3, 0}, {4, 1}}));
    f.m_vCmd.push_back(cFlowFixture::MakeCmd(CMD_STATUS, {{0, 1}, {1, 1}, {2, 5}, {5, 0}, {6, 1}}));
    cEdCmd walk = cFlowFixture::MakeCmd(CMD_MOVE_STRAIGHT, {}, 1);
    NewEdMove(walk.m_pMove);
    walk.m_pMove->m_nDir = DIR_RIGHT;
    walk.m_pMove->m_nSpeed = 10;
    f.m_vCmd.push_back(walk);
    h.HeroTemplate().m_vFlow.push_back(f);
    h.HeroTemplate().m_bFixDir = 0;
    h.SetUp();
    const double x0 = h.Hero().m_dX;
    const int32_t c0 = h.Progress().m_vCommonVar[1];
    h.Frames(60);
    const int32_t c1 = h.Progress().m_vCommonVar[1];
    EXPECT_GT(c1, c0 + 5);
    EXPECT_GE(h.Scene().m_vecStageVar[5], c1 - 1);
    EXPECT_LE(h.Scene().m_vecStageVar[5], c1);
    EXPECT_GT(h.Hero().m_dX, x0 + 10);
    EXPECT_EQ(h.Hero().m_nDir, 1);
    EXPECT_EQ(h.Host().nCloseRequests, 0);
}
