// Solid characters in a running stage: a platform carries the hero standing
// on it, a push against a wall crushes the hero ("Dead 6" while it walks into
// the wall, "Dead 9" later when it stands still), and the labels reach the
// step log.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PlayHarness.h"
#include "play/Chara.h"
#include "play/Combat.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "stage/CmdVocabulary.h"
#include "stage/MoveVocabulary.h"

namespace {

cEdCmd MoveCmd(int nDir, int nSpeed, int nTime) {
    cEdCmd c;
    c.m_nKind = CMD_MOVE_STRAIGHT;
    c.m_pMove.MakeNew();
    c.m_pMove->m_nDir = static_cast<uint8_t>(nDir);
    c.m_pMove->m_nSpeed = static_cast<int16_t>(nSpeed);
    c.m_nTime = static_cast<int16_t>(nTime);
    return c;
}

// A solid character that flies right at nSpeed tenths of a dot a frame.
cCharaData Platform(int nSpeed) {
    cCharaData d;
    d.m_strName = "platform";
    d.m_nOperator = 1;
    d.m_nGraphic = 1;
    d.m_nGraphicSheet = 1;
    d.m_nGroup = 1;
    d.m_nMaxHp = 10;
    d.m_nDropItem = -1;
    d.m_bNoHitBox = 1;   // solid
    d.m_nFlight = 1;     // flies through blocks
    d.m_nActRange = 3;
    cFlow f;
    f.m_nTrigger = 0;
    f.m_vCmd.push_back(MoveCmd(DIR_RIGHT, nSpeed, 9999));
    d.m_vFlow.push_back(f);
    return d;
}

cChara* FindSolid(cPlayHarness& h) {
    for (auto& c : h.Ctx().lstChara)
        if (c->IsSolid()) return c.get();
    return nullptr;
}

// The hero walks right while the right key is held.
void GiveHeroWalk(cCharaData& hero) {
    cFlowKey k;
    k.m_vKey.At(2) = 1;   // the right key
    k.m_bHoldAny = 1;
    cFlow walk;
    walk.m_nTrigger = 0;
    walk.m_bKeyRepeat = 1;
    walk.m_vKey.push_back(k);
    walk.m_vCmd.push_back(MoveCmd(DIR_RIGHT, 30, 1));
    hero.m_vFlow.push_back(walk);
}

class cLogCapture {
public:
    cLogCapture() {
        SetPlayStepLog([](void* p, const char* s) { static_cast<cLogCapture*>(p)->vec.push_back(s); }, this);
    }
    ~cLogCapture() { SetPlayStepLog(nullptr, nullptr); }
    std::vector<std::string> vec;
};

TEST(Solids, PlatformCarriesTheHeroByItsDisplacement) {
    cPlayHarness h({"....................",
                    "...H................",
                    "...S................",
                    "....................",
                    "...................."});
    h.DefineChara('S', Platform(10));
    h.SetUp();
    cChara* s = FindSolid(h);
    ASSERT_NE(s, nullptr);
    cHero& hero = h.Hero();
    h.Frames(30);
    ASSERT_EQ(hero.m_bRiding, 1);
    const double x0 = hero.m_dX, p0 = s->m_dX;
    h.Frames(40);
    EXPECT_EQ(hero.m_bRiding, 1);
    EXPECT_NEAR(s->m_dX - p0, 40.0, 1e-6);
    EXPECT_NEAR(hero.m_dX - x0, s->m_dX - p0, 1e-6);
}

TEST(Solids, PushAgainstAWall) {
    struct CASE {
        bool bWalk;
        const char* pszLabel;
    } aCase[] = {{true, "Dead 6"}, {false, "Dead 9"}};
    for (const CASE& k : aCase) {
        cPlayHarness h({"..........",
                        "..........",
                        k.bWalk ? ".S.H#....." : "S..H.#....",
                        "##########"});
        h.DefineChara('S', Platform(100));   // 10 dots a frame: the first push goes well into the wall
        if (k.bWalk) GiveHeroWalk(h.HeroTemplate());
        cLogCapture log;
        h.SetUp();
        if (k.bWalk) h.Hold(HARNESS_DIR_RIGHT, 0);
        for (int i = 0; i < 120 && log.vec.empty(); i++) h.Frame();
        ASSERT_FALSE(log.vec.empty()) << k.pszLabel;
        EXPECT_EQ(log.vec.front(), k.pszLabel);
    }
}

// While the hero is held by a lock (its flight just changed) the pushes of
// solid characters still move it; only their fatal result is ignored. The
// platform of the "Dead 9" case above pushes the held hero along to the wall
// and the hero lives.
TEST(Solids, AHeldHeroIsPushedButNotCrushed) {
    cPlayHarness h({"..........",
                    "..........",
                    "S..H.#....",
                    "##########"});
    h.DefineChara('S', Platform(100));
    h.BuildStage();   // the stage's defaults, then one setting changed
    h.Stage().m_nJudgeLevel = 1;   // one step a frame: the lock holds it
    cLogCapture log;
    h.SetUp();
    cHero& hero = h.Hero();
    // Stage column 3 is map column 13: x = 416 + box offset 8 + 0.5 = 424.5,
    // 16 wide, so its right edge is at 439.5.
    ASSERT_EQ(hero.m_dRight, 439.5);
    double dMaxRight = hero.m_dRight;
    for (int i = 0; i < 60; i++) {
        hero.m_nLockFrames = 2;   // counted down to 1 by the frame's step: held
        h.Frame();
        dMaxRight = std::max(dMaxRight, hero.m_dRight);
    }
    EXPECT_TRUE(log.vec.empty()) << (log.vec.empty() ? "" : log.vec.front());
    EXPECT_EQ(hero.m_bDead, 0);
    // Pushed along until the wall at column 5 (map dot 480) stops it: x =
    // 480 - 16 + 0.5 = 464.5, right edge 479.5 (skipping the pushes while
    // held would have left it at 439.5).
    EXPECT_NEAR(dMaxRight, 479.5, 1e-9);
}

}   // namespace
