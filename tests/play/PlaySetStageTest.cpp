// The stage set-up and its mended faults: every set-up starts from fresh
// map cells, lists and flags; placements and sizes are checked against the
// map; a stage without a hero placement; judgement level 0.
#include <gtest/gtest.h>

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"

namespace {

std::vector<std::string> Room() { return {"..........", ".H........", "..........", "##########"}; }

}  // namespace

TEST(PlaySetStage, EverySetUpStartsFromFreshCellsListsAndFlags) {
    cPlayHarness h(Room());
    h.SetUp();
    cPlayScene& s = h.Scene();
    cMapCell* p = MapCellAt(MapCellIndex(12, 12));
    p->m_bCondLatch = 1;
    p->m_nGraphic = 9;
    s.m_vecSummonCell.push_back(5);
    s.m_bCheckDead = 1;
    s.m_nClear = 2;
    s.m_vecStageVar[10] = 4;
    h.Stage().m_nScrollModeX = 1;   // a setting play changed
    s.SetStage(1, 0);
    p = MapCellAt(MapCellIndex(12, 12));
    EXPECT_EQ(p->m_bCondLatch, 0);
    EXPECT_EQ(p->m_nGraphic, 0);
    EXPECT_TRUE(s.m_vecSummonCell.empty());
    EXPECT_EQ(s.m_bCheckDead, 0);
    EXPECT_EQ(s.m_nClear, 0);
    EXPECT_EQ(s.m_vecStageVar[10], 0);
    EXPECT_EQ(h.Stage().m_nScrollModeX, 0);   // restored from the copy as loaded
    // The floor is back.
    EXPECT_EQ(MapCellAt(MapCellIndex(12, 13))->m_nHit, 1);
}

TEST(PlaySetStage, PlacedBlocksOutsideTheStageAreIgnored) {
    cPlayHarness h(Room());
    h.BuildStage();
    cBlockData b = h.SolidBlock();
    b.m_nGraphic = 7;
    for (auto xy : {std::pair<int, int>{10, 0}, {-1, 1}, {3, 4}, {3, -1}, {200, 2}}) {
        b.m_nX = static_cast<int16_t>(xy.first);
        b.m_nY = static_cast<int16_t>(xy.second);
        h.Stage().m_vBlockPlace.push_back(b);
    }
    h.Header() = h.Stage();
    h.SetUpBuilt();
    int n = 0;
    for (const cMapCell& c : vecMapCell()) n += c.m_nGraphic == 7;
    EXPECT_EQ(n, 0);
}

TEST(PlaySetStage, AStageWithoutAHeroPlacementTakesTheHeroRecord) {
    cPlayHarness h(Room());
    h.BuildStage();
    h.Stage().m_vCharaPlace.erase(h.Stage().m_vCharaPlace.begin());
    h.Header() = h.Stage();
    ASSERT_EQ(h.Stage().FindHero(), -1);
    h.SetUpBuilt();
    ASSERT_EQ(h.Ctx().vecPlayer.size(), 1u);
    // A retry goes the same way.
    h.Scene().SetStage(1, 0);
    EXPECT_EQ(h.Ctx().vecPlayer.size(), 1u);
}

TEST(PlaySetStage, JudgeLevelZeroAndAnUnusableSize) {
    cPlayHarness h(Room());
    h.Stage().m_nWidth = 0;
    h.BuildStage();
    h.Stage().m_bShowStartBanner = h.Stage().m_bShowStartBanner2 = 0;
    h.Stage().m_nJudgeLevel = 0;
    h.Header() = h.Stage();
    h.SetUpBuilt();
    EXPECT_GE(h.Stage().m_nSubStep, 1);
    EXPECT_EQ(h.Scene().m_vecShotStep.size(), static_cast<size_t>(h.Stage().m_nSubStep));

    // A stage whose size the map cannot hold is refused with the message.
    h.Stage().m_nWidth = 70000;
    h.Scene().SetStage(0, 0);
    EXPECT_EQ(h.Host().vecError.size(), 1u);
    EXPECT_EQ(h.Host().nCloseRequests, 1);
    EXPECT_TRUE(vecMapCell().empty());
}
