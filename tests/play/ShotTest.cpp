// A shot's vertical movement is held inside the map: falling into a pit it
// leaves the stage instead of sliding along the stage's bottom edge. Removing
// shots keeps the lists of their groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <vector>

#include "play/PlayHarness.h"
#include "play/PlayScene.h"
#include "play/Shot.h"

TEST(ShotMove, FallsPastTheStageBottomAndStopsAtTheMapBottom) {
    // 5 rows: the stage ends at map dot (5 + 10) * 32 = 480, the map (with
    // its 10-cell margins) at 25 * 32 = 800. The scroll limits are the
    // stage's.
    cPlayHarness h({"..........", ".H........", "..........", "..........", ".........."});
    h.SetUp();
    ASSERT_EQ(h.Scene().m_ScrollY.m_dMax, 480.0);
    cShot shot;
    shot.m_nWidth = shot.m_nHeight = 16;
    shot.m_dX = 400;
    shot.m_dY = 470;
    shot.m_dVy = 5;
    shot.MoveY();
    // 470 + 5 = 475: its bottom (490) is past the stage end and stays there
    // (held by the limits it would be put back to 480 - 16 = 464).
    EXPECT_EQ(shot.m_dY, 475.0);
    EXPECT_EQ(shot.m_dBottom, 490.0);
    // Near the map's bottom it is held there: 780 + 5 = 785, bottom 800 is
    // past the map, so y = 800 - 16 = 784.
    shot.m_dY = 780;
    shot.MoveY();
    EXPECT_EQ(shot.m_dY, 784.0);
}

namespace {
// The handles of a group list, in list order.
std::vector<uint64_t> Handles(const std::list<cObjRef>& lst) {
    std::vector<uint64_t> v;
    for (const cObjRef& r : lst) v.push_back(r.GetHandle());
    return v;
}
}   // namespace

TEST(ShotList, RemovingShotsTakesEachOutOfItsGroupListAndKeepsTheOthersInOrder) {
    cPlayHarness h({"..........", ".H........", "..........", "..........", ".........."});
    h.SetUp();
    cPlayScene& s = h.Scene();
    // Five shots: groups 2, 2, 5, 2, 2 (a, b, c, d, e).
    const int anGroup[5] = {2, 2, 5, 2, 2};
    cShot* ap[5];
    for (int i = 0; i < 5; i++) {
        auto p = std::make_unique<cShot>();
        p->m_nGroup = anGroup[i];
        ap[i] = s.AddShot(std::move(p));
    }
    const uint64_t a = ap[0]->GetHandle(), b = ap[1]->GetHandle(), c = ap[2]->GetHandle(),
                   d = ap[3]->GetHandle(), e = ap[4]->GetHandle();
    ASSERT_EQ(Handles(s.m_vecGroupShot[2]), (std::vector<uint64_t>{a, b, d, e}));
    ASSERT_EQ(Handles(s.m_vecGroupShot[5]), (std::vector<uint64_t>{c}));
    auto find = [&](const cShot* p) {
        for (auto it = s.m_lstShot.begin(); it != s.m_lstShot.end(); ++it)
            if (it->get() == p) return it;
        return s.m_lstShot.end();
    };
    // The middle of group 2, then its last, then the only one of group 5.
    s.EraseShot(find(ap[1]));
    EXPECT_EQ(Handles(s.m_vecGroupShot[2]), (std::vector<uint64_t>{a, d, e}));
    s.EraseShot(find(ap[4]));
    EXPECT_EQ(Handles(s.m_vecGroupShot[2]), (std::vector<uint64_t>{a, d}));
    s.EraseShot(find(ap[2]));
    EXPECT_TRUE(s.m_vecGroupShot[5].empty());
    EXPECT_EQ(Handles(s.m_vecGroupShot[2]), (std::vector<uint64_t>{a, d}));
    // A shot whose group changed after it was filed is looked for in the
    // list of its group now: its entry under group 2 stays (the list of
    // group 6 has nothing of it).
    ap[3]->m_nGroup = 6;
    s.EraseShot(find(ap[3]));
    EXPECT_EQ(Handles(s.m_vecGroupShot[2]), (std::vector<uint64_t>{a, d}));
    EXPECT_EQ(s.m_lstShot.size(), 1u);
}

#include "play/Hero.h"
#include "project/Database.h"
#include "project/SwordType.h"
#include "stage/CmdSubRecords.h"

namespace {

// Shots and swords are held inside the map, not the stage: in the map's top
// margin (the stage starts at map dot 320) they stay where they are put, at
// launch, when they change size and when a sword is placed above its owner.
TEST(ShotPlace, ShotsAndSwordsInTheMapMarginStayWhereTheyAre) {
    cPlayHarness h({"..........", ".H........", "##########"});
    h.SetUp();
    cHero& hero = h.Hero();
    cEdShot rec;
    SHOTLAUNCH launch;
    launch.nX = 100;
    launch.nY = 200;
    cShot shot;
    shot.Setup(1, &hero, SHOTKIND_SHOT, rec, launch);
    EXPECT_DOUBLE_EQ(shot.m_dX, 100);
    EXPECT_DOUBLE_EQ(shot.m_dY, 200);
    shot.OnScale(2);
    EXPECT_DOUBLE_EQ(shot.m_dY, 200);
    shot.AdjustScalePos(2, 1, 0);   // up by half its base height: 16 / 2
    EXPECT_DOUBLE_EQ(shot.m_dY, 192);

    // A sword 24 x 8 above a hero at the stage's top row (frame top 320):
    // y = 320 - 8.
    hero.m_dY -= 32;
    hero.m_dBottom -= 32;
    hero.UpdateScreenRect();
    ASSERT_EQ(hero.m_rcScreen.top + static_cast<int>(h.Scene().m_ScrollY.m_dCam), 320);
    cDatabase db;
    db.m_vSwordType.assign(1, cSwordType());
    db.m_vSwordType[0].m_vPart.assign(1, cSwordPart());
    cSwordPart& part = db.m_vSwordType[0].m_vPart[0];
    part.m_nWidth = 24;
    part.m_nHeight = 8;
    part.m_nTime = 10;
    part.m_nPlace = SWORDPLACE_ABOVE;
    cDatabase* pPrev = h.Ctx().lpDatabase;
    h.Ctx().lpDatabase = &db;
    cShot sword;
    sword.Setup(2, &hero, SHOTKIND_SWORD, rec, launch);
    EXPECT_EQ(sword.Step(), 0);
    EXPECT_DOUBLE_EQ(sword.m_dY, 312);
    h.Ctx().lpDatabase = pPrev;
}

}  // namespace

namespace {

// A wave shot weaves across its line of flight by its amplitude whatever
// the steps per frame: 2 hbl = 32 dots to each side, so its height spans
// about 64 dots over one period (360 x b / 4 steps at a wave speed of 4).
TEST(ShotWave, TheWeaveSpansTwiceTheAmplitudeAtEveryStepCount) {
    for (int b : {1, 2, 3}) {
        SCOPED_TRACE(testing::Message() << "b " << b);
        cPlayHarness h({"..............................", ".H............................",
                        "..............................", "..............................",
                        ".............................."});
        h.BuildStage();
        h.Stage().m_nJudgeLevel = 10 + b;
        h.SetUp();
        ASSERT_DOUBLE_EQ(h.Stage().m_dStepFactor, b);
        cEdShot rec;
        rec.m_nType = 8;   // the wave
        rec.m_anOrbitParam[0] = 2;
        rec.m_anOrbitParam[1] = 4;
        rec.m_anOrbitParam[2] = 0;
        SHOTLAUNCH launch;
        launch.dVx = 1;
        launch.nX = 400;
        launch.nY = 400;
        cShot shot;
        shot.Setup(1, &h.Hero(), SHOTKIND_SHOT, rec, launch);
        double dMin = shot.m_dY, dMax = shot.m_dY;
        for (int i = 0; i < 360 * b / 4; i++) {
            ASSERT_EQ(shot.Step(), 0);
            shot.MoveY();
            shot.MoveX();
            dMin = std::min(dMin, shot.m_dY);
            dMax = std::max(dMax, shot.m_dY);
        }
        // Coarse steps and the speed held at 0 where it turns lose a little
        // (57 dots at one step a frame, 62 at two and three).
        EXPECT_NEAR(dMax - dMin, 64, 8);
    }
}

}  // namespace
