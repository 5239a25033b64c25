#include "frontend/SceneTestBase.h"
#include "frontend/StageSelectScene.h"
#include "stage/Stage.h"

namespace {

TEST(StageSelect, WorldStageNames) {
    EXPECT_EQ(MakeWorldStageName(1), "data\\stg4\\c01-1.stg4");
    EXPECT_EQ(MakeWorldStageName(12), "data\\stg4\\c12-1.stg4");
    EXPECT_EQ(MakeWorldStageName(100), "data\\stg4\\c100-1.stg4");
}

class StageSelectScene : public SceneTest {};

TEST_F(StageSelectScene, WorldCountRule) {
    struct CASE {
        int bAllOpen, nWorldCount, nReached, nWant;
    } const acase[] = {
        {1, 12, 3, 12},
        {0, 12, 3, 3},
        {0, 12, 0, 1},   // at least one world
        {1, 0, 5, 1},    // a world count of 0 lists one
    };
    for (const auto& c : acase) {
        recSystem.m_bAllWorldsOpen = c.bAllOpen;
        recSystem.m_nWorldCount = c.nWorldCount;
        recProgress.m_nWorldReached = c.nReached;
        EXPECT_EQ(GetSelectWorldCount(), c.nWant);
    }
}

TEST_F(StageSelectScene, ChoosingAWorldLoadsItsFirstStageWithTheChallengeLives) {
    // World 2's first stage exists as a numbered file.
    ASSERT_TRUE(dir.MakeDir("data/stg4"));
    ASSERT_EQ(SaveOneHeroStage("data\\stg4\\c02-1.stg4_000"), 1);
    recSystem.m_bAllWorldsOpen = 1;
    recSystem.m_nWorldCount = 3;
    recSystem.m_vLife.At(1) = 4;
    recSystem.m_vLifeInfinite.At(1) = 0;
    nStageSelectRow = nStageSelectTop = 0;
    fe.game.m_nGameMode = GAMEMODE_CHALLENGE;
    cStageSelectScene s;
    RunUntil(s, SELECTSTATE_SELECT);
    Press(s, 0, 1);                       // world 1 has no file: refused and reported
    EXPECT_EQ(s.m_nState, SELECTSTATE_SELECT);
    EXPECT_EQ(fe.host.vSounds.back(), 3);
    ASSERT_EQ(fe.host.vErrors.size(), 1u);
    Press(s, 8, 0);                       // down to world 2
    Press(s, 0, 1);
    EXPECT_EQ(s.m_nState, SELECTSTATE_FADEOUT);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_PLAY);
    EXPECT_EQ(recProgress.m_nWorld, 2);
    EXPECT_EQ(recProgress.m_nStage, 1);
    EXPECT_EQ(recProgress.m_nLifeStart, 4);
    EXPECT_EQ(recProgress.m_nLife, 3);
    EXPECT_EQ(recProgress.m_bChain, 1);
    // The stage that was read is named: "data\stg4\c02-1.stg4_000" loses
    // the chain's "-1" and what follows, keeping a dot for the stage number.
    EXPECT_EQ(recProgress.m_strStageFile, "data\\stg4\\c02.");
    EXPECT_EQ(nStageSelectRow, 1);        // the next visit starts on world 2
}

TEST_F(StageSelectScene, CancelGoesBackToTheTitle) {
    cStageSelectScene s;
    RunUntil(s, SELECTSTATE_SELECT);
    Press(s, 0, 2);
    EXPECT_EQ(s.m_nState, SELECTSTATE_FADEOUT);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_TITLE);
    EXPECT_EQ(fe.host.vSounds.back(), 2);
}

}  // namespace
