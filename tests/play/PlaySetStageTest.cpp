// The stage set-up and its mended faults: every set-up starts from fresh
// map cells, lists and flags; placements and sizes are checked against the
// map; a stage without a hero placement; judgement level 0.
#include <gtest/gtest.h>

#include "foundation/Saturate.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/PlaySetStage.h"

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
    for (const cMapCell& c : vecMapCell().Blocks()) n += c.m_nGraphic == 7;
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

TEST(PlaySetStage, TheMapMustFitItsMemoryBudget) {
    const int64_t B = static_cast<int64_t>(cBlockMap::BLOCK_BYTES);
    struct CASE {
        int64_t nCells, nBlocks, nBudget;
        bool bFits;
    } cases[] = {
        {67108864, 0, MAP_MEMORY_BUDGET, true},    // 64 Mi cells of 4 bytes: 256 MiB exactly
        {67108865, 0, MAP_MEMORY_BUDGET, false},   // one cell more
        {67108863, 1, MAP_MEMORY_BUDGET, false},   // 4 bytes left, a block copy takes more
        {100, 2, 400 + 2 * B, true},
        {100, 2, 399 + 2 * B, false},
        {-1, 0, MAP_MEMORY_BUDGET, false},
        {int64_t{1} << 62, 0, INT64_MAX, false},   // would wrap a 64-bit product
    };
    for (const CASE& c : cases)
        EXPECT_EQ(MapFitsBudget(c.nCells, c.nBlocks, c.nBudget), c.bFits) << c.nCells << " " << c.nBlocks;

    // The room is 10 x 4 cells: 30 columns with the margins (a pitch of 32)
    // and 24 rows make 768 cells of 4 bytes; its floor is 10 blocks.
    cPlayHarness h(Room());
    h.BuildStage();
    h.Header() = h.Stage();
    ASSERT_EQ(h.Stage().m_vBlockPlace.size(), 10u);
    SetMapMemoryBudget(768 * 4 + 10 * B);
    h.SetUpBuilt();
    EXPECT_EQ(vecMapCell().size(), 768u);
    EXPECT_TRUE(h.Host().vecError.empty());
    SetMapMemoryBudget(768 * 4 + 10 * B - 1);
    h.Scene().SetStage(1, 0);
    SetMapMemoryBudget(MAP_MEMORY_BUDGET);
    ASSERT_EQ(h.Host().vecError.size(), 1u);
    EXPECT_EQ(h.Host().vecError[0], "メモリ不足により、ステージの初期設定に失敗しました！");
    EXPECT_EQ(h.Host().nCloseRequests, 1);
    EXPECT_TRUE(vecMapCell().empty());
}

TEST(PlaySetStage, OnlyCellsWithABlockOrWrittenHoldACopy) {
    cPlayHarness h(Room());
    h.SetUp();
    // The floor's 10 blocks; reading empty cells makes no copy.
    EXPECT_EQ(vecMapCell().Blocks().size(), 10u);
    for (int c = 0; c < 30; c++)
        for (int r = 0; r < 24; r++) MapCellKind(MapCellIndex(c, r), 0);
    h.Frames(30);
    EXPECT_EQ(vecMapCell().Blocks().size(), 10u);
    EXPECT_EQ(MapCellFind(MapCellIndex(12, 12)), nullptr);
    // A written cell gets its copy and keeps it.
    MapCellAt(MapCellIndex(12, 12))->m_nHit = 1;
    EXPECT_EQ(vecMapCell().Blocks().size(), 11u);
    EXPECT_EQ(MapCellKind(MapCellIndex(12, 12), 0), 1);
}

TEST(PlaySetStage, ThePlacementsMayMakeAtMostTheBoundOfObjects) {
    struct CASE {
        int64_t nPlacements, nRepeat, nCopies;
    } cases[] = {
        {1, 0, 1},
        {1, 255, 256},
        {195, 255, 49920},                        // 195 * 256
        {16777216, 255, int64_t{1} << 32},        // 2^24 * 2^8: past 32 bits
        {int64_t{1} << 62, 3, INT64_MAX},         // 2^64 saturates
        {0, 5, 0},
        {-1, 3, 0},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(PlacementCopies(c.nPlacements, c.nRepeat), c.nCopies) << c.nPlacements << " x " << c.nRepeat;
    EXPECT_TRUE(PlayedPlacementsFit(50000));
    EXPECT_FALSE(PlayedPlacementsFit(50001));
    EXPECT_FALSE(PlayedPlacementsFit(PlacementCopies(16777216, 255)));   // would read as 0 in 32 bits
    EXPECT_FALSE(PlayedPlacementsFit(-1));

    // 195 computer characters with 255 copies each make 195 * 256 = 49920
    // objects; 80 free items bring it to 50000. They stand outside the stage
    // (column 500 of 10) so that set-up drops them cheaply: the bound counts
    // what the placements would make, before any is dropped.
    cPlayHarness h(Room());
    h.BuildStage();
    cCharaData c = h.CharaTemplate();
    c.m_nX = 500;
    c.m_nY = 1;
    c.m_nRepeat = 255;
    c.m_nDropItem = -1;
    for (int i = 0; i < 195; i++) h.Stage().m_vCharaPlace.push_back(c);
    cItemData it = h.ItemTemplate();
    it.m_nX = 500;
    it.m_nY = 1;
    for (int i = 0; i < 80; i++) h.Stage().m_vItemPlace.push_back(it);
    EXPECT_EQ(PlayedPlacementCount(h.Stage()), 50000);   // the hero's placement is not counted
    h.Header() = h.Stage();
    h.SetUpBuilt();
    EXPECT_TRUE(h.Host().vecError.empty());
    EXPECT_EQ(h.Host().nCloseRequests, 0);
    EXPECT_FALSE(vecMapCell().empty());
    EXPECT_EQ(h.Ctx().vecPlayer.size(), 1u);

    // An item a character holds is not placed on its own: 49999.
    h.Stage().m_vCharaPlace.back().m_nDropItem = 0;
    EXPECT_EQ(PlayedPlacementCount(h.Stage()), 49999);
    h.Stage().m_vCharaPlace.back().m_nDropItem = -1;

    // One free item more: 50001, refused before any object is made.
    h.Stage().m_vItemPlace.push_back(it);
    EXPECT_EQ(PlayedPlacementCount(h.Stage()), 50001);
    h.Header() = h.Stage();
    h.Scene().SetStage(1, 0);
    ASSERT_EQ(h.Host().vecError.size(), 1u);
    EXPECT_EQ(h.Host().vecError[0], "メモリ不足により、ステージの初期設定に失敗しました！");
    EXPECT_EQ(h.Host().nCloseRequests, 1);
    EXPECT_TRUE(vecMapCell().empty());
    EXPECT_TRUE(h.Ctx().lstChara.empty());
    EXPECT_TRUE(h.Ctx().lstItem.empty());
}

// What the placed objects copy at set-up counts against a budget: a
// character and each of its repeat copies carry the placement's flows. One
// placement with 3 repeats makes 4 objects, so it takes four times what the
// same placement without repeats takes; at that budget the stage plays, a
// byte less and it is refused with the out-of-memory message before any
// object is made. Sizes that would wrap 64 bits hold at the top.
TEST(PlaySetStage, ThePlacedObjectsCopiesMustFitTheirBudget) {
    EXPECT_EQ(SaturatingMul(uint64_t{1} << 40, uint64_t{1} << 30), UINT64_MAX);
    EXPECT_EQ(SaturatingAdd(UINT64_MAX - 1, 2), UINT64_MAX);
    EXPECT_EQ(SaturatingMul(0, UINT64_MAX), 0u);

    cPlayHarness h(Room());
    h.BuildStage();
    cCharaData c = h.CharaTemplate();
    c.m_nX = 500;   // outside the stage: dropped at set-up after the count
    c.m_nY = 1;
    c.m_nDropItem = -1;
    c.m_vFlow.resize(40);
    for (cFlow& f : c.m_vFlow) f.m_vCmd.resize(50);
    c.m_nRepeat = 0;
    h.Stage().m_vCharaPlace.push_back(c);
    const uint64_t nBase = PlayedPlacementBytes(h.Stage());
    h.Stage().m_vCharaPlace.pop_back();
    const uint64_t nNone = PlayedPlacementBytes(h.Stage());
    const uint64_t nOne = nBase - nNone;
    ASSERT_GT(nOne, 40u * 50u * sizeof(cEdCmd));   // at least its 2000 commands
    c.m_nRepeat = 3;
    h.Stage().m_vCharaPlace.push_back(c);
    EXPECT_EQ(PlayedPlacementBytes(h.Stage()), nNone + 4 * nOne);

    h.Header() = h.Stage();
    SetPlayedObjectMemoryBudget(nNone + 4 * nOne);
    h.SetUpBuilt();
    EXPECT_TRUE(h.Host().vecError.empty());
    EXPECT_EQ(h.Host().nCloseRequests, 0);
    SetPlayedObjectMemoryBudget(nNone + 4 * nOne - 1);
    h.Scene().SetStage(1, 0);
    SetPlayedObjectMemoryBudget(PLAYED_OBJECT_MEMORY_BUDGET);
    ASSERT_EQ(h.Host().vecError.size(), 1u);
    EXPECT_EQ(h.Host().vecError[0], "メモリ不足により、ステージの初期設定に失敗しました！");
    EXPECT_EQ(h.Host().nCloseRequests, 1);

    // 255 repeats of a placement whose flows are past a MiB: over 256 MiB.
    c.m_nRepeat = 255;
    c.m_vFlow.resize(400);
    for (cFlow& f : c.m_vFlow) f.m_vCmd.resize(50);
    h.Stage().m_vCharaPlace.assign(1, c);
    EXPECT_GT(PlayedPlacementBytes(h.Stage()), PLAYED_OBJECT_MEMORY_BUDGET);
}

// An item placement's commands are copied at set-up too: an item carrying
// 2000 commands counts at least its 2000 commands more than the stage
// without it, and a budget a byte short of the whole refuses the stage.
TEST(PlaySetStage, AnItemsCommandsCountInTheBudget) {
    cPlayHarness h(Room());
    h.BuildStage();
    const uint64_t nNone = PlayedPlacementBytes(h.Stage());
    cItemData it = h.ItemTemplate();
    it.m_nX = 3;
    it.m_nY = 1;
    it.m_vCmd.resize(2000);
    h.Stage().m_vItemPlace.push_back(it);
    const uint64_t nWith = PlayedPlacementBytes(h.Stage());
    ASSERT_GT(nWith, nNone);
    EXPECT_GE(nWith - nNone, sizeof(cItem) + 2000u * sizeof(cEdCmd));

    h.Header() = h.Stage();
    SetPlayedObjectMemoryBudget(nWith);
    h.SetUpBuilt();
    EXPECT_TRUE(h.Host().vecError.empty());
    SetPlayedObjectMemoryBudget(nWith - 1);
    h.Scene().SetStage(1, 0);
    SetPlayedObjectMemoryBudget(PLAYED_OBJECT_MEMORY_BUDGET);
    ASSERT_EQ(h.Host().vecError.size(), 1u);
    EXPECT_EQ(h.Host().vecError[0], "メモリ不足により、ステージの初期設定に失敗しました！");
}
