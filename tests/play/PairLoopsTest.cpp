// The contact passes and the solid-character searches against their slow
// forms: crowded stages of random characters, solid platforms and shots,
// played once walking every pair and once with the fast tables, give the
// same contacts in the same order and the same state every frame.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/SystemData.h"

namespace {

constexpr int FRAMES = 120;

struct RUN {
    std::vector<uint64_t> vecHash;                   // per frame
    std::vector<std::vector<HITCONTACT>> vecContact;   // per frame
};

// A 60 x 14 cell stage with a floor, 140 characters of random groups,
// powers, impacts, HP and flight, 24 flying solid platforms
// close enough to meet one another and the same walker; each frame
// 20 shots of random clash, vanish rank, power and piercing are fired from
// random characters. Everything random comes from nSeed alone.
RUN Play(uint32_t nSeed, bool bAllPairs) {
    std::vector<std::string> vecMap(14, std::string(60, '.'));
    vecMap[13] = std::string(60, '#');
    vecMap[12][1] = 'H';
    cPlayHarness h(vecMap);
    std::mt19937 rng(nSeed);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    h.Stage().m_nJudgeLevel = 1 + static_cast<int>(nSeed % 3) * 2;
    h.System().m_bKnockbackAtOnce = static_cast<int32_t>(nSeed % 2);
    h.Stage().m_bOnScreenOnly = 0;
    h.BuildStage();
    for (int i = 0; i < 140; i++) {
        cCharaData c;
        c.m_nOperator = 1;
        c.m_nGraphic = 1;
        c.m_nGroup = static_cast<uint8_t>(pick(0, 7));
        c.m_nDropItem = -1;
        c.m_nActRange = 0;
        c.m_nPower = pick(0, 3) == 0 ? 0 : pick(1, 4);
        c.m_nImpact = static_cast<int8_t>(pick(0, 2) == 0 ? pick(1, 3) : 0);
        c.m_nMaxHp = pick(1, 12);
        c.m_nFlight = static_cast<uint8_t>(pick(0, 3) == 0 ? 1 : 0);
        c.m_nX = static_cast<int16_t>(pick(3, 56));
        c.m_nY = static_cast<int16_t>(pick(2, 11));
        h.Stage().m_vCharaPlace.push_back(c);
    }
    for (int i = 0; i < 24; i++) {
        cCharaData p;
        p.m_nOperator = 1;
        p.m_nGraphic = 2;
        p.m_nGroup = static_cast<uint8_t>(pick(0, 7));
        p.m_nFlight = 2;
        p.m_bNoHitBox = 1;
        p.m_nDropItem = -1;
        p.m_nX = static_cast<int16_t>(4 + i * 2 + pick(0, 1));
        p.m_nY = static_cast<int16_t>(pick(6, 11));
        h.Stage().m_vCharaPlace.push_back(p);
    }
    h.Stage().SetJudgeLevel(h.Stage().m_nJudgeLevel);
    h.Header() = h.Stage();
    h.SetUpBuilt();
    cPlayScene& scene = h.Scene();
    scene.m_bAllPairs = bAllPairs ? 1 : 0;
    RUN run;
    std::vector<HITCONTACT> vecLog;
    scene.m_pContactLog = &vecLog;
    // Walkers and drifting platforms.
    for (auto& c : h.Ctx().lstChara) {
        c->m_dCmdVx = (pick(0, 1) ? 1.0 : -1.0) * pick(1, 3) / h.Stage().m_dStepFactor;
        c->m_bCmdDecayX = 0;
    }
    h.Hold(HARNESS_DIR_RIGHT, 0);
    for (int f = 0; f < FRAMES; f++) {
        auto& lst = h.Ctx().lstChara;
        for (int n = 0; n < 20 && !lst.empty(); n++) {
            cEdShot shot;
            shot.m_nCount = 1;
            shot.m_nGraphic = 1;
            shot.m_bPassBlock = 1;
            shot.m_nSpeed = static_cast<int16_t>(pick(0, 1) ? pick(2, 6) : -pick(2, 6));
            shot.m_bShotClash = static_cast<uint8_t>(pick(0, 2) == 0);
            shot.m_nVanish = static_cast<uint8_t>(pick(0, 2));
            shot.m_nPower = pick(0, 1) ? pick(1, 3) : 0;
            shot.m_bPierceChara = static_cast<uint8_t>(pick(0, 1));
            auto it = lst.begin();
            std::advance(it, pick(0, static_cast<int>(lst.size()) - 1));
            if (!(*it)->m_bDead) EmitShot(&scene.m_lstShot, it->get(), nullptr, shot);
        }
        vecLog.clear();
        h.Frame();
        run.vecContact.push_back(vecLog);
        run.vecHash.push_back(h.Ctx().StateHash());
    }
    scene.m_pContactLog = nullptr;
    return run;
}

}  // namespace

TEST(PairLoops, FastTablesGiveTheContactsAndStatesOfTheWalkOverEveryPair) {
    for (uint32_t nSeed : {11u, 12u, 13u, 14u}) {
        const RUN slow = Play(nSeed, true), fast = Play(nSeed, false);
        ASSERT_EQ(slow.vecHash.size(), static_cast<size_t>(FRAMES));
        ASSERT_EQ(fast.vecHash.size(), slow.vecHash.size());
        int anKind[3] = {};
        for (size_t f = 0; f < slow.vecHash.size(); f++) {
            ASSERT_EQ(fast.vecContact[f], slow.vecContact[f]) << "seed " << nSeed << " frame " << f;
            ASSERT_EQ(fast.vecHash[f], slow.vecHash[f]) << "seed " << nSeed << " frame " << f;
            for (const HITCONTACT& c : slow.vecContact[f]) anKind[c.nKind]++;
        }
        // The stage is crowded enough for every kind of contact.
        EXPECT_GT(anKind[CONTACT_SHOT_CHARA], 50) << "seed " << nSeed;
        EXPECT_GT(anKind[CONTACT_BODY], 50) << "seed " << nSeed;
        EXPECT_GT(anKind[CONTACT_SHOT_SHOT], 5) << "seed " << nSeed;
    }
}
