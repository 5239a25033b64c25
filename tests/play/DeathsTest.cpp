// The hero's death tests around a lock: the position saved when the hero's
// flight changed is put back on the next step whether or not the hero is
// squeezed, and a held hero is spared both squeeze tests. Taking an item
// runs the item's own command list.
#include <gtest/gtest.h>

#include "play/Hero.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"

TEST(HeroLock, SavedPositionComesBackOnTheNextStepWithoutASqueeze) {
    cPlayHarness h({"..........", ".H........", "..........", "..........", "##########"});
    h.BuildStage();   // the stage's defaults, then one setting changed
    h.Stage().m_nJudgeLevel = 1;   // one step a frame
    h.SetUp();
    cHero& hero = h.Hero();
    const double x0 = hero.m_dX, y0 = hero.m_dY;
    // Flying with the position saved and its restore asked for: a lock of
    // two steps.
    hero.SetFlight(1, 0, 1, 1);
    ASSERT_EQ(hero.m_nLockFrames, 2);
    // Moved away by 40 dots into open air (nothing squeezes it there).
    hero.m_dX += 40;
    hero.m_dRight += 40;
    h.Frame();
    // The step's flows count the lock down to 1; the hero, still held, gets
    // the saved (x0, y0) back. A flying hero with no input does not move.
    EXPECT_EQ(hero.m_nLockFrames, 1);
    EXPECT_EQ(hero.m_dX, x0);
    EXPECT_EQ(hero.m_dY, y0);
    // Only once: moved again on the second held step it stays moved.
    hero.m_dX += 40;
    hero.m_dRight += 40;
    h.Frame();
    EXPECT_EQ(hero.m_dX, x0 + 40);
}

#include <string>
#include <vector>

#include "flow/ArrangeTable.h"
#include "play/Combat.h"
#include "play/Item.h"
#include "stage/CmdVocabulary.h"

namespace {

void LogLabel(void* pUser, const char* psz) { static_cast<std::vector<std::string>*>(pUser)->push_back(psz); }

// A hero hit on both sides (or above and below) in one step is squeezed and
// lost, unless a lock holds it (its flight just changed): then neither
// squeeze test takes it, the one before the pushes nor the one after.
TEST(HeroSqueeze, AHeldHeroIsSparedBothSqueezeTests) {
    struct CASE {
        int nLock, bSides;
        int nResult;
        const char* pszLabel;
    };
    const CASE aCase[] = {
        {0, 1, PLAYRESULT_LOST, "Dead SP"},
        {0, 0, PLAYRESULT_LOST, "Dead SP"},
        {1, 1, 0, ""},
        {1, 0, 0, ""},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "lock " << c.nLock << " sides " << c.bSides);
        cPlayHarness h({"..........", "..........", ".H........", "##########"});
        h.SetUp();
        cHero& hero = h.Hero();
        std::vector<std::string> vecLabel;
        SetPlayStepLog(LogLabel, &vecLabel);
        hero.m_nLockFrames = c.nLock;
        if (c.bSides) hero.m_bHitLeft = hero.m_bHitRight = 1;
        else hero.m_bHitTop = hero.m_bHitBottom = 1;
        EXPECT_EQ(h.Scene().RunHeroDeathTests(&hero), c.nResult);
        SetPlayStepLog(nullptr, nullptr);
        EXPECT_EQ(vecLabel.empty() ? std::string() : vecLabel.back(), c.pszLabel);
    }
}

// Taking an item runs the item's own command list: an arrange in it
// (background number += stage variable 1, which holds 2) changes the
// background command of that list, so the second take of an item taken any
// number of times starts from 3 and leaves 5.
TEST(ItemContact, TakingAnItemRunsItsOwnList) {
    BuildArrangeParamTable();
    cPlayHarness h({"..........", ".H.I......", "##########"});
    cItemData& item = h.ItemTemplate();
    item.m_nGraphic = 1;
    item.m_nTakeRule = 1;
    cEdCmd arrange;
    arrange.m_bItemCmd = 1;
    arrange.m_nKind = CMD_ARRANGE - ITEMCMD_KIND_OFFSET;
    arrange.m_vParam = {CMD_BACKGROUND, 0, 1, 1, 1};
    cEdCmd background;
    background.m_bItemCmd = 1;
    background.m_nKind = CMD_BACKGROUND - ITEMCMD_KIND_OFFSET;
    background.m_vParam = {1, 0, 0, 0};
    item.m_vCmd.push_back(arrange);
    item.m_vCmd.push_back(background);
    h.SetUp();
    h.Scene().m_vecStageVar[1] = 2;
    cHero& hero = h.Hero();
    ASSERT_EQ(h.Ctx().lstItem.size(), 1u);
    cItem& it = *h.Ctx().lstItem.front();
    const double x0 = it.m_dX, y0 = it.m_dY;
    auto Put = [&](bool bOnHero) {
        const double x = bOnHero ? hero.m_HitBox3.dLeft : x0, y = bOnHero ? hero.m_HitBox3.dTop : y0;
        it.m_dRight += x - it.m_dX;
        it.m_dBottom += y - it.m_dY;
        it.m_dX = x;
        it.m_dY = y;
    };
    ASSERT_EQ(it.m_Item.m_vCmd[1].m_vParam[0], 1);
    Put(true);
    h.Scene().CheckItemContact();
    EXPECT_EQ(it.m_Item.m_vCmd[1].m_vParam[0], 3);
    Put(false);
    h.Scene().CheckItemContact();   // out of touch: it may be taken again
    Put(true);
    h.Scene().CheckItemContact();
    EXPECT_EQ(it.m_Item.m_vCmd[1].m_vParam[0], 5);
}

}  // namespace

#include "flow/CmdDispatch.h"
#include "stage/Flow.h"

namespace {

// Grown to factor 3 (48 dots wide) in a shaft one cell wide, the hero is
// pressed against both walls. Without the foot-box rule the size change
// holds it for two steps, and the squeeze does not take it in the first
// (the step's flows count the hold down to 1); with the rule there is no
// hold and the squeeze loses it at once. One step a frame.
TEST(HeroSqueeze, GrowingBetweenWallsIsSparedWhileHeld) {
    struct CASE {
        int bRuleBox;
        int bLost;
    } const aCase[] = {{0, 0}, {1, 1}};
    for (const CASE& t : aCase) {
        SCOPED_TRACE(testing::Message() << "foot-box rule " << t.bRuleBox);
        cPlayHarness h({"....#.#...", "....#.#...", "....#H#...", "##########"});
        h.BuildStage();
        h.Stage().m_nJudgeLevel = 1;
        h.SetUp();
        h.System().m_bRuleScaleFootBox = t.bRuleBox;
        cHero& hero = h.Hero();
        ASSERT_FALSE(hero.m_bDead);
        std::vector<std::string> vecLabel;
        SetPlayStepLog(LogLabel, &vecLabel);
        cEdCmd grow;
        grow.m_nKind = CMD_STATUS2;
        grow.m_vParam.assign(static_cast<size_t>(GetCmdParamCount(false, CMD_STATUS2)), 0);
        grow.m_vParam[1] = 5;   // the size
        grow.m_vParam[2] = 3;
        cCmdRun run;
        InitCmdRun(run, &grow, &hero);
        run.Begin(&hero, nullptr);
        run.Exec(&hero, nullptr);
        ASSERT_EQ(hero.m_nWidth, 48);
        h.Frame();
        SetPlayStepLog(nullptr, nullptr);
        EXPECT_EQ(hero.m_bDead != 0, t.bLost != 0);
        if (t.bLost) EXPECT_EQ(vecLabel, std::vector<std::string>{"Dead SP"});
        else EXPECT_TRUE(vecLabel.empty());
    }
}

}  // namespace
