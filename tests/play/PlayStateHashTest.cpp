// The state hash holds every member that can change play: a table of
// changes, one member each, on a stage with a hero, a character carrying an
// item, an item, a shot and a message. Each change must change its own
// group's hash (and so the whole hash) and leave the other groups alone; a
// change of what only draws changes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/Message.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"
#include "play/Shot.h"

namespace {

class PlayStateHash : public ::testing::Test {
protected:
    void SetUp() override {
        m_h.SetUp();
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        m_h.Frames(2);
        ASSERT_EQ(m_h.Ctx().lstChara.size(), 1u);
        ASSERT_EQ(m_h.Ctx().lstItem.size(), 1u);
        Chara().m_pItem = std::make_unique<cItem>();
        Chara().m_pItem->m_bCarried = 1;
        m_h.Scene().AddShot(std::make_unique<cShot>());
        MESSAGESETUP ms;
        ms.lpszText = "abc";
        ms.nFrames = 40;
        ms.bHasId = 1;
        ms.nMessageId = 3;
        ms.bNoSurface = 1;
        m_h.Scene().m_lstMessage.push_back(std::make_unique<cMessage>(ms));
        Hero().m_lstInvAgainst.push_back({cObjRef(&Chara()), 5});
    }

    cHero& Hero() { return m_h.Hero(); }
    cChara& Chara() { return *m_h.Ctx().lstChara.front(); }
    cItem& Item() { return *m_h.Ctx().lstItem.front(); }
    cShot& Shot() { return *m_h.Scene().m_lstShot.front(); }
    cMessage& Message() { return *m_h.Scene().m_lstMessage.front(); }

    cPlayHarness m_h{{"..........", ".H..C..I..", "##########"}};
};

struct HASHCASE {
    const char* pszMember;
    int nGroup;   // STATEHASH_GROUPS: no group may change
    std::function<void(cPlayHarness&)> fnChange;
};

cChara& FirstChara(cPlayHarness& h) { return *h.Ctx().lstChara.front(); }
cShot& FirstShot(cPlayHarness& h) { return *h.Scene().m_lstShot.front(); }
cMessage& FirstMessage(cPlayHarness& h) { return *h.Scene().m_lstMessage.front(); }

TEST_F(PlayStateHash, EveryMemberThatCanChangePlayChangesItsGroupOnly) {
    const HASHCASE aCase[] = {
        {"random state", STATEHASH_RANDOM, [](cPlayHarness& h) { h.Ctx().Random.Next(); }},
        // The hero's invincibility against one attacker: the entry and its steps.
        {"hero invincibility steps", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_lstInvAgainst.front().nSteps = 4; }},
        {"hero invincibility attacker", STATEHASH_HEROES,
         [](cPlayHarness& h) { h.Hero().m_lstInvAgainst.push_back({cObjRef(&h.Hero()), 1}); }},
        {"hero jump frames", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_nJumpFrames += 3; }},
        {"hero jump ready", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_bJumpReady ^= 1; }},
        {"hero jump done", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_bJumpDone ^= 1; }},
        {"hero jump hold", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_bJumpHold ^= 1; }},
        {"hero air steps", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_nAirSteps += 1; }},
        {"hero riding", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_bRiding ^= 1; }},
        {"hero ride id", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_nRideId = 7; }},
        {"hero ride object", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_Ride = cObjRef(&FirstChara(h)); }},
        {"hero ride offset", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_dRideX += 0.5; }},
        {"hero status power", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_Data.m_nPower += 1; }},
        {"hero status defence", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_Data.m_nDefence += 1; }},
        {"hero status flight", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_Data.m_nFlight ^= 1; }},
        {"hero target 2", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_vecTarget[1] = cObjRef(&FirstChara(h)); }},
        {"hero block speed", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_dBlockSpeedValue += 1; }},
        {"hero lock frames", STATEHASH_HEROES, [](cPlayHarness& h) { h.Hero().m_nLockFrames += 1; }},
        {"character status invincible", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_Data.m_nInvincible ^= 1; }},
        {"character status max HP", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_Data.m_nMaxHp += 1; }},
        {"character target 3", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_vecTarget[2] = cObjRef(h.Ctx().lstItem.front().get()); }},
        {"character parent", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_lpParent = cObjRef(&h.Hero()); }},
        {"character carried item flag", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_pItem->m_bCarried = 0; }},
        {"character carried item gone", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_pItem.reset(); }},
        // A character pinned to a place on the screen: the pin and the place.
        {"character pinned", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_bScreenLockY = 1; }},
        {"character pinned screen top", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_nScreenLockTop += 8; }},
        {"character pinned screen left", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_nScreenLockLeft += 8; }},
        {"character woken", STATEHASH_CHARAS, [](cPlayHarness& h) { FirstChara(h).m_bWoken ^= 1; }},
        {"item carried flag", STATEHASH_ITEMS, [](cPlayHarness& h) { h.Ctx().lstItem.front()->m_bCarried ^= 1; }},
        {"item record", STATEHASH_ITEMS, [](cPlayHarness& h) { h.Ctx().lstItem.front()->m_Item.m_nGraphic += 1; }},
        {"shot speed x", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_dShotVx += 1; }},
        {"shot speed y", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_dShotVy -= 1; }},
        {"shot acceleration", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_dAccel += 0.25; }},
        {"shot power", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_Shot.m_nPower += 1; }},
        {"shot step count", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_nStepCount += 1; }},
        {"shot range left", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_nRangeLeft += 1; }},
        {"shot wave angle", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_dWaveAngle += 1; }},
        {"shot characters hit", STATEHASH_SHOTS, [](cPlayHarness& h) { FirstShot(h).m_HitChara.Add(cObjRef(&h.Hero())); }},
        {"map cell hit", STATEHASH_MAP, [](cPlayHarness& h) { h.Ctx().vecMapCell[0].m_nHit ^= 1; }},
        {"map cell picture", STATEHASH_MAP, [](cPlayHarness& h) { h.Ctx().vecMapCell[h.Ctx().vecMapCell.size() - 1].m_nGraphic += 1; }},
        {"map cell item", STATEHASH_MAP, [](cPlayHarness& h) { h.Ctx().vecMapCell[5].m_nItemNum += 1; }},
        {"map cell latch", STATEHASH_MAP, [](cPlayHarness& h) { h.Ctx().vecMapCell[7].m_bCondLatch ^= 1; }},
        {"scene play frame", STATEHASH_SCENE, [](cPlayHarness& h) { h.Scene().m_nPlayFrame += 1; }},
        {"scene miss pending", STATEHASH_SCENE, [](cPlayHarness& h) { h.Scene().m_bMissPending ^= 1; }},
        {"message id", STATEHASH_MESSAGES, [](cPlayHarness& h) { FirstMessage(h).m_nMessageId = 4; }},
        {"message steps left", STATEHASH_MESSAGES, [](cPlayHarness& h) { FirstMessage(h).m_nLeft -= 1; }},
        {"message removed", STATEHASH_MESSAGES, [](cPlayHarness& h) { h.Scene().m_lstMessage.clear(); }},
        {"progress lives", STATEHASH_PROGRESS, [](cPlayHarness& h) { h.Progress().m_nLife -= 1; }},
        {"progress stage flag", STATEHASH_PROGRESS, [](cPlayHarness& h) { h.Progress().m_vStageFlag[3] ^= 1; }},
        {"progress checkpoint variable", STATEHASH_PROGRESS,
         [](cPlayHarness& h) { if (!h.Progress().m_vCheckVar.empty()) h.Progress().m_vCheckVar[0] += 1; else h.Progress().m_nCheckLife += 1; }},
        // What only draws is left out.
        {"hero HP gauge", STATEHASH_GROUPS, [](cPlayHarness& h) { h.Hero().m_HpGauge.nShown += 5; }},
        {"character item icon blink", STATEHASH_GROUPS, [](cPlayHarness& h) { FirstChara(h).m_nIconFrames += 5; }},
    };
    for (const HASHCASE& c : aCase) {
        SCOPED_TRACE(c.pszMember);
        const auto before = m_h.Ctx().StateHashGroups();
        const uint64_t nBefore = m_h.Ctx().StateHash();
        c.fnChange(m_h);
        const auto after = m_h.Ctx().StateHashGroups();
        for (int g = 0; g < STATEHASH_GROUPS; g++) {
            const size_t i = static_cast<size_t>(g);
            if (g == c.nGroup) EXPECT_NE(before[i], after[i]) << "group " << STATEHASH_GROUP_NAMES[g] << " did not change";
            else EXPECT_EQ(before[i], after[i]) << "group " << STATEHASH_GROUP_NAMES[g] << " changed";
        }
        if (c.nGroup == STATEHASH_GROUPS) EXPECT_EQ(nBefore, m_h.Ctx().StateHash());
        else EXPECT_NE(nBefore, m_h.Ctx().StateHash());
    }
}

// Hashing reads only: the same state hashes the same twice, and playing on
// from it is not disturbed by hashing every frame.
TEST_F(PlayStateHash, HashingLeavesTheStateAsItWas) {
    EXPECT_EQ(m_h.Ctx().StateHashGroups(), m_h.Ctx().StateHashGroups());
    EXPECT_EQ(m_h.Ctx().StateHash(), m_h.Ctx().StateHash());
    EXPECT_EQ(Hero().m_Data.m_strName, m_h.HeroTemplate().m_strName);
}

}  // namespace
