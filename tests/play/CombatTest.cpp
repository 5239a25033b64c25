// Combat: damage and gauges, invincibility, defeat and unlinking, the timer,
// items, shots with their formations, trajectories and the sword, the shot
// command, and hits between characters and shots.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "flow/CmdDispatch.h"
#include "play/Chara.h"
#include "play/Combat.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/Database.h"
#include "project/Progress.h"
#include "project/SwordType.h"
#include "project/SystemData.h"
#include "stage/CmdSubRecords.h"
#include "stage/CmdVocabulary.h"
#include "stage/Flow.h"
#include "stage/Stage.h"

namespace {

class cRecHost : public IPlayHost {
public:
    void PlaySound(int n) override { vecSound.push_back(n); }
    std::vector<int> vecSound;
};

// A context with a stage of b sub-steps, a 100 x 100 cell map with no blocks
// and a scene whose camera is at the map origin.
class cCombatWorld {
public:
    explicit cCombatWorld(int b = 1) : m_Scope(m_Ctx) {
        m_Stage.m_nSubStep = b;
        m_Stage.m_dStepFactor = b;
        m_Stage.m_dStepSpeedLimit = 1000;
        m_Stage.m_nHeroSize2W = m_Stage.m_nHeroSize2H = 16;
        m_Stage.m_nCharaSize2W = m_Stage.m_nCharaSize2H = 16;
        m_Stage.m_bOnScreenOnly = 0;
        m_Stage.m_nHeroInvincibleAll = m_Stage.m_nCharaInvincibleAll = 10;
        m_Stage.m_nHeroInvincibleSame = m_Stage.m_nCharaInvincibleSame = 30;
        m_Ctx.lpStage = &m_Stage;
        m_Ctx.lpPlayStage = &m_Stage;
        m_Ctx.lpSystem = &m_System;
        m_Ctx.lpProgress = &m_Progress;
        m_Ctx.lpDatabase = &m_Db;
        m_Db.m_vSwordType.clear();
        m_Ctx.lpHost = &m_Host;
        m_Ctx.lpPlayScene = &m_Scene;
        for (cScroll* s : {&m_Scene.m_ScrollX, &m_Scene.m_ScrollY}) {
            s->m_nCells = 100;
            s->m_nMapSize = 3200;
            s->m_dMin = 0;
            s->m_dMax = 3200;
            s->m_dOrigin = 0;
            s->m_dEnd = 3200;
            s->m_dCam = 0;
        }
    }

    // A computer character of group g with its boxes and screen rectangle at
    // (x, y), 32 x 32.
    cChara* AddChara(int nId, int g, double x, double y, int nHp = 10) {
        auto p = std::make_unique<cChara>();
        cChara* c = p.get();
        c->m_nId = nId;
        c->m_nKind = 1;
        c->m_nGroup = g;
        c->m_bActive = 1;
        c->m_bOnScreen = 1;
        c->m_nDir = 0;
        c->m_Data.m_nMaxHp = nHp;
        c->m_nHp = nHp;
        c->m_vecTarget.resize(4);
        Place(c, x, y);
        m_Ctx.lstChara.push_back(std::move(p));
        m_Scene.m_vecGroupChara[g].push_back(cObjRef(c));
        return c;
    }
    static void Place(cCharaBase* c, double x, double y) {
        c->m_dX = x;
        c->m_dY = y;
        c->m_nWidth = c->m_nHeight = 32;
        c->m_nFrameW = c->m_nFrameH = 32;
        c->m_dRight = x + 31;
        c->m_dBottom = y + 31;
        for (HITBOX* b : {&c->m_HitBox1, &c->m_HitBox2}) {
            b->dLeft = x;
            b->dTop = y;
            b->dRight = x + 31;
            b->dBottom = y + 31;
        }
        c->m_rcScreen = {static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x) + 31,
                         static_cast<int32_t>(y) + 31};
    }
    cHero* AddHero(int g, double x, double y, int nHp = 10) {
        auto p = std::make_unique<cHero>();
        cHero* h = p.get();
        h->m_nId = 0;
        h->m_nKind = 0;
        h->m_nGroup = g;
        h->m_bActive = 1;
        h->m_bOnScreen = 1;
        h->m_Data.m_nMaxHp = nHp;
        h->m_nHp = nHp;
        h->m_vecTarget.resize(4);
        Place(h, x, y);
        h->m_HitBox3 = h->m_HitBox1;
        m_Ctx.vecPlayer.push_back(std::move(p));
        m_Scene.m_vecGroupChara[g].push_back(cObjRef(h));
        return h;
    }

    cPlayContext m_Ctx;
    cPlayContextScope m_Scope;
    cStage m_Stage;
    cSystemData m_System;
    cProgress m_Progress;
    cDatabase m_Db;
    cRecHost m_Host;
    cPlayScene m_Scene;
};

cEdShot ShotRecord(int nSpeed, int nCount = 1) {
    cEdShot r;
    r.m_nCount = static_cast<uint8_t>(nCount);
    r.m_nSpeed = static_cast<int16_t>(nSpeed);
    r.m_nGraphic = 1;
    r.m_bMirrorAngle = 0;
    r.m_bMirrorShiftX = 0;
    return r;
}

// ---- damage, gauges, invincibility ----

TEST(Damage, PowerAgainstDefenceTable) {
    struct CASE {
        int nPower, nDef, nHpBefore, nHpAfter, nResult;
    } aCase[] = {
        {30, 50, 10, 10, 0},           // defence above power: nothing
        {0, 0, 10, 10, 0},             // no power: nothing
        {-10, 0, 5, 15, 0},            // a negative power heals
        {-10, 0, 18, 20, 0},           // ... up to the maximum
        {-2000000000, 0, 5, 20, 0},    // a huge heal saturates
        {15, 5, 10, 0, 1},             // exactly 0 reports the defeat
        {2000000000, 0, 10, 0, 1},
    };
    for (const CASE& k : aCase) {
        cCombatWorld w;
        cChara* a = w.AddChara(1, 1, 0, 0);
        cChara* t = w.AddChara(2, 2, 0, 0, 20);
        a->m_Data.m_nPower = k.nPower;
        t->m_Data.m_nDefence = k.nDef;
        t->m_nHp = k.nHpBefore;
        EXPECT_EQ(t->TakeBodyDamage(a), k.nResult) << k.nPower;
        EXPECT_EQ(t->m_nHp, k.nHpAfter) << k.nPower;
        if (k.nResult) {
            EXPECT_EQ(t->m_HpGauge.nShown, 0);
        }
    }
}

TEST(Damage, GaugeOfSevenAfterLosingThree) {
    cCombatWorld w;
    cChara* c = w.AddChara(1, 1, 0, 0, 7);
    EXPECT_EQ(c->AddHp(-3, 0, 1), 0);
    EXPECT_EQ(c->m_nHp, 4);
    EXPECT_EQ(c->m_HpGauge.nShown, 120);
    EXPECT_EQ(c->m_HpGauge.nWidth, 28);
    EXPECT_NEAR(c->m_HpGauge.dChange, -21.4286, 1e-3);
    EXPECT_NEAR(c->m_HpGauge.dStep, -21.4286 / 60, 1e-4);
}

TEST(Damage, InvincibleStatusNeedsForce) {
    cCombatWorld w;
    cChara* c = w.AddChara(1, 1, 0, 0, 10);
    c->m_Data.m_nInvincible = 1;
    EXPECT_EQ(c->AddHp(-4, 0, 0), 0);
    EXPECT_EQ(c->m_nHp, 10);
    EXPECT_EQ(c->AddHp(-4, 1, 0), 0);
    EXPECT_EQ(c->m_nHp, 6);
}

TEST(Damage, InvincibilityTimersInSteps) {
    cCombatWorld w(2);
    cChara* c = w.AddChara(1, 1, 0, 0);
    cChara* a = w.AddChara(2, 2, 0, 0);
    c->StartInvincibleAgainst(a);
    EXPECT_EQ(c->m_nInvTime, 20);
    for (int i = 0; i < 20; i++) c->StepInvincible();
    EXPECT_FALSE(c->IsInvincible());
    EXPECT_TRUE(c->IsInvincibleAgainst(a));
    for (int i = 0; i < 40; i++) c->StepInvincible();
    EXPECT_FALSE(c->IsInvincibleAgainst(a));
}

TEST(Defeat, ScoreStaysInRange) {
    cCombatWorld w;
    w.m_Progress.m_nScore = 5;
    cChara* c = w.AddChara(1, 1, 0, 0);
    c->m_Data.m_nScore = -100;
    EXPECT_EQ(c->Defeat(), 0);
    EXPECT_EQ(w.m_Progress.m_nScore, 0);
    EXPECT_EQ(c->m_bDead, 1);
    cChara* d = w.AddChara(2, 1, 0, 0);
    d->m_Data.m_nScore = 999999;
    w.m_Progress.m_nScore = 999990;
    d->Defeat();
    EXPECT_EQ(w.m_Progress.m_nScore, 999999);
}

TEST(Defeat, UnlinkAllLeavesNoBackReference) {
    cCombatWorld w;
    cChara* a = w.AddChara(1, 1, 0, 0);
    cChara* t1 = w.AddChara(2, 1, 0, 0);
    cChara* t2 = w.AddChara(3, 1, 0, 0);
    cChara* p = w.AddChara(4, 1, 0, 0);
    cChara* o = w.AddChara(5, 1, 0, 0);
    a->m_vecTarget[0] = cObjRef(t1);
    t1->m_vecLink.push_back({cObjRef(a), 0});
    a->m_vecTarget[2] = cObjRef(t2);
    t2->m_vecLink.push_back({cObjRef(a), 2});
    a->m_lpParent = cObjRef(p);
    p->m_vecLink.push_back({cObjRef(a), 4});
    o->m_vecTarget[1] = cObjRef(a);   // another character aims at a
    a->m_vecLink.push_back({cObjRef(o), 1});
    a->UnlinkAll();
    for (cChara* c : {t1, t2, p})
        for (const CHARALINK& l : c->m_vecLink) EXPECT_FALSE(l.Obj == cObjRef(a));
    EXPECT_FALSE(o->m_vecTarget[1].IsSet());
    EXPECT_FALSE(a->m_lpParent.IsSet());
    EXPECT_TRUE(a->m_vecLink.empty());
    for (const cObjRef& r : a->m_vecTarget) EXPECT_FALSE(r.IsSet());
}

// ---- timer ----

TEST(Timer, PlayTimeFromFramesAndItsCap) {
    cCombatWorld w;
    for (int i = 0; i < 60; i++) w.m_Scene.UpdatePlayTimer();
    EXPECT_EQ(w.m_Scene.m_nPlayTime, 100);
    w.m_Scene.m_nPlayFrame = 359997;
    w.m_Scene.m_nPlayTime = 599995;
    w.m_Scene.UpdatePlayTimer();
    EXPECT_EQ(w.m_Scene.m_nPlayTime, 599996);
    for (int i = 0; i < 10; i++) w.m_Scene.UpdatePlayTimer();
    EXPECT_EQ(w.m_Scene.m_nPlayTime, 599998);   // stops once 599998 is reached
}

TEST(Timer, TimeLimitTable) {
    cCombatWorld w;
    w.m_Scene.m_bNoTimeLimit = 1;
    w.m_Scene.m_nTime = 999;
    for (int i = 0; i < 600; i++) EXPECT_EQ(w.m_Scene.UpdateTimeLimit(-1), 0);
    EXPECT_EQ(w.m_Scene.m_nTime, 999);
    w.m_Scene.m_bNoTimeLimit = 0;
    w.m_Scene.m_nTime = 2;
    w.m_Ctx.nFrameDivider = 0;
    int nUp = -1;
    for (int i = 1; i <= 120 && nUp < 0; i++)
        if (w.m_Scene.UpdateTimeLimit(-1)) nUp = i;
    EXPECT_EQ(nUp, 120);
    EXPECT_EQ(w.m_Scene.m_nTime, 0);
    w.m_Scene.m_nTime = 999;
    w.m_Ctx.nFrameDivider = 59;
    EXPECT_EQ(w.m_Scene.UpdateTimeLimit(+5), 0);
    EXPECT_EQ(w.m_Scene.m_nTime, 999);
}

// ---- items ----

TEST(Items, SheetCellsAndRefusedNumbers) {
    int x = -1, y = -1;
    ASSERT_TRUE(GetItemSheetCell(15, 0, &x, &y));
    EXPECT_EQ(x, 64);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(GetItemSheetCell(15, 1, &x, &y));
    EXPECT_EQ(x, 96);
    ASSERT_TRUE(GetItemSheetCell(16, 0, &x, &y));
    EXPECT_EQ(x, 64);
    EXPECT_EQ(y, 32);
    EXPECT_FALSE(GetItemSheetCell(-1, 0, &x, &y));
    EXPECT_FALSE(GetBlockSheetCell(-3, &x, &y));
    ASSERT_TRUE(GetBlockSheetCell(16, &x, &y));
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 32);
}

TEST(Items, SetUpExpandsLoops) {
    cCombatWorld w;
    cItemData d;
    cEdCmd loop;
    loop.m_bItemCmd = 1;
    loop.m_nKind = 24;              // loop: the next command three times in all
    loop.m_vParam.assign({3, 1});
    cEdCmd sound;
    sound.m_bItemCmd = 1;
    sound.m_nKind = 20;
    d.m_vCmd.push_back(loop);
    d.m_vCmd.push_back(sound);
    cItem it;
    it.Setup(1, d, 0);
    ASSERT_EQ(it.m_Item.m_vCmd.size(), 3u);
    for (const cEdCmd& c : it.m_Item.m_vCmd) EXPECT_EQ(c.m_nKind, 20);
    EXPECT_EQ(d.m_vCmd.size(), 2u);   // the definition keeps its loop
}

TEST(Items, SizeZeroIsStoredBackAsOne) {
    cCombatWorld w;
    cItemData d;
    d.m_nSize = 0;
    cItem it;
    it.Setup(1, d, 1);
    EXPECT_EQ(d.m_nSize, 1);
    EXPECT_EQ(it.m_bActive, 1);   // carried: active at once
}


// ---- shots: set-up, formations, trajectories ----

// Fires one emitter call from a shooter and returns the shots made.
std::vector<cShot*> Fire(cCombatWorld& w, cCharaBase* pShooter, cEdShot& rec) {
    size_t n0 = w.m_Scene.m_lstShot.size();
    EmitShot(&w.m_Scene.m_lstShot, pShooter, nullptr, rec);
    std::vector<cShot*> v;
    size_t i = 0;
    for (auto& p : w.m_Scene.m_lstShot)
        if (i++ >= n0) v.push_back(p.get());
    return v;
}

TEST(ShotFormation, StraightARowOfThreeFacingLeft) {
    cCombatWorld w;
    cChara* s = w.AddChara(1, 1, 100, 200);
    cEdShot rec = ShotRecord(40, 3);
    rec.m_anFormParam[0] = 1;   // 1 hbl apart
    auto v = Fire(w, s, rec);
    ASSERT_EQ(v.size(), 3u);
    const double ay[3] = {176, 208, 240};   // the middle one centred on the shooter (y 200..231)
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(v[i]->m_dX, 85) << i;      // shooter left - 15
        EXPECT_EQ(v[i]->m_dY, ay[i]) << i;
        EXPECT_DOUBLE_EQ(v[i]->m_dShotVx, -4.0);
        EXPECT_DOUBLE_EQ(v[i]->m_dShotVy, 0.0);
        EXPECT_EQ(v[i]->m_nGroup, 1);        // the shooter's group
    }
}

TEST(ShotFormation, SpreadAnglesAroundTheBase) {
    struct CASE {
        int n;
        double aAngle[4];
    } aCase[] = {{4, {-45, -15, 15, 45}}, {3, {-30, 0, 30, 0}}};
    for (const CASE& k : aCase) {
        cCombatWorld w;
        cChara* s = w.AddChara(1, 1, 400, 400);
        cEdShot rec = ShotRecord(10, k.n);
        rec.m_nFormation = 2;
        rec.m_anFormParam[0] = 30;
        auto v = Fire(w, s, rec);
        ASSERT_EQ(static_cast<int>(v.size()), k.n);
        for (int i = 0; i < k.n; i++) {
            double a = k.aAngle[i] * M_PI / 180;   // direction left: base angle 0
            EXPECT_NEAR(v[i]->m_dShotVx, -std::cos(a), 1e-9) << k.n << " " << i;
            EXPECT_NEAR(v[i]->m_dShotVy, -std::sin(a), 1e-9) << k.n << " " << i;
        }
    }
}

TEST(ShotFormation, DirectionCodes) {
    cCombatWorld w;
    cChara* s = w.AddChara(1, 1, 400, 400);
    s->m_nDir = 1;
    EXPECT_EQ(ResolveShotDir(4, s, nullptr), 7);   // forward Y facing right: down
    EXPECT_EQ(ResolveShotDir(0, s, nullptr), 3);
    s->m_nDir = 0;
    EXPECT_EQ(ResolveShotDir(4, s, nullptr), 6);   // facing left: up
    EXPECT_EQ(ResolveShotDir(5, s, nullptr), 7);
    EXPECT_EQ(ResolveShotDir(13, s, nullptr), -1);
    cEdShot rec = ShotRecord(10, 1);
    rec.m_nDir = 200;   // beyond the table: nothing is fired
    EXPECT_TRUE(Fire(w, s, rec).empty());
    s->m_nDir = 1;
    rec.m_nDir = 4;
    auto v = Fire(w, s, rec);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_GT(v[0]->m_dShotVy, 0);   // down
}

TEST(ShotFormation, ClonesRunTheFormationAgain) {
    cCombatWorld w;
    cChara* s = w.AddChara(1, 1, 400, 400);
    cEdShot rec = ShotRecord(10, 1);
    rec.m_nClones = 2;
    rec.m_nSpeedInc = 10;
    auto v = Fire(w, s, rec);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_DOUBLE_EQ(v[0]->m_dShotVx, -1.0);
    EXPECT_DOUBLE_EQ(v[1]->m_dShotVx, -2.0);
    EXPECT_DOUBLE_EQ(v[2]->m_dShotVx, -3.0);
    EXPECT_EQ(v[2]->m_nSetupParam, 2);   // the clone index
}

TEST(ShotFormation, BoundsOfTheRecordAreHonoured) {
    cCombatWorld w;
    cChara* s = w.AddChara(1, 1, 400, 400);
    cEdShot rec = ShotRecord(10, 1);
    rec.m_nFormation = 6;   // no such formation
    EXPECT_TRUE(Fire(w, s, rec).empty());
    rec.m_nFormation = 4;   // explosion of 0 objects: no division by 0
    rec.m_nCount = 0;
    EXPECT_TRUE(Fire(w, s, rec).empty());
    rec.m_nCount = 255;     // counts above 127 are held at 127
    EXPECT_EQ(Fire(w, s, rec).size(), 127u);
    cEdShot big = ShotRecord(10, 1);
    big.m_nClones = 255;    // clones above 20 are held at 20
    EXPECT_EQ(Fire(w, s, big).size(), 21u);
    cEdShot bolt = ShotRecord(10, 2);
    bolt.m_nFormation = 3;
    bolt.m_nAimAt = 2;      // around the shooter
    bolt.m_anFormParam[1] = 300;   // lines above 50 are held at 50
    EXPECT_EQ(Fire(w, s, bolt).size(), 100u);
    bolt.m_nAimAt = 0;      // an empty target slot: nothing
    EXPECT_TRUE(Fire(w, s, bolt).empty());
}

TEST(ShotSetup, ScaleZeroStoredBackAndRangeWithinAFrame) {
    cCombatWorld w(4);
    cChara* s = w.AddChara(1, 1, 400, 400);
    cEdShot rec = ShotRecord(40, 1);
    rec.m_nSize = 0;
    rec.m_bRangeLimit = 1;
    rec.m_nRange = 1;   // 16 dots less the shot's own width: nothing left
    auto v = Fire(w, s, rec);
    EXPECT_EQ(rec.m_nSize, 1);
    ASSERT_EQ(v.size(), 1u);
    int nSteps = 0;
    while (nSteps < 100 && !v[0]->Step()) nSteps++;
    EXPECT_EQ(nSteps + 1, 4);   // ends after one frame of 4 steps
}

TEST(ShotSetup, StopAtRangeKeepsTheShot) {
    cCombatWorld w;
    cChara* s = w.AddChara(1, 1, 400, 400);
    cEdShot rec = ShotRecord(40, 1);
    rec.m_bRangeLimit = 1;
    rec.m_bStopAtRange = 1;
    rec.m_nRange = 3;   // 48 - 16 = 32 dots at 4 a step: 8 steps
    auto v = Fire(w, s, rec);
    ASSERT_EQ(v.size(), 1u);
    cShot* p = v[0];
    for (int i = 0; i < 7; i++) {
        ASSERT_EQ(p->Step(), 0);
        EXPECT_DOUBLE_EQ(p->m_dVx, -4.0);
    }
    EXPECT_EQ(p->Step(), 0);
    for (int i = 0; i < 50; i++) EXPECT_EQ(p->Step(), 0);
    EXPECT_DOUBLE_EQ(p->m_dVx, 0.0);
    EXPECT_DOUBLE_EQ(p->m_dShotVx, 0.0);
}

TEST(ShotOrbit, AimAtTheHeroAfterSixteenSteps) {
    cCombatWorld w;
    cHero* h = w.AddHero(0, 400, 100);
    cChara* s = w.AddChara(1, 1, 400, 400);
    cEdShot rec = ShotRecord(40, 1);
    rec.m_nType = 1;
    rec.m_anOrbitParam[0] = 4;   // 64 dots at 4 a step
    auto v = Fire(w, s, rec);
    ASSERT_EQ(v.size(), 1u);
    cShot* p = v[0];
    for (int i = 0; i < 16; i++) {
        p->Step();
        EXPECT_DOUBLE_EQ(p->m_dShotVy, 0.0) << i;
    }
    p->Step();
    EXPECT_LT(p->m_dShotVy, 0.0);   // turned up toward the hero
    (void)h;
}

TEST(ShotOrbit, HomingWithEndZeroNeverHomes) {
    cCombatWorld w;
    w.AddHero(0, 400, 100);
    cChara* s = w.AddChara(1, 1, 400, 400);
    cEdShot rec = ShotRecord(40, 1);
    rec.m_nType = 4;
    rec.m_anOrbitParam[1] = 0;
    auto v = Fire(w, s, rec);
    ASSERT_EQ(v.size(), 1u);
    for (int i = 0; i < 30; i++) v[0]->Step();
    EXPECT_DOUBLE_EQ(v[0]->m_dShotVx, -4.0);
    EXPECT_DOUBLE_EQ(v[0]->m_dShotVy, 0.0);
}

TEST(ShotOrbit, FallAfterParameterOneAndStraightFallbacks) {
    cCombatWorld w;
    cChara* s = w.AddChara(1, 1, 400, 400);
    cEdShot rec = ShotRecord(40, 1);
    rec.m_nType = 9;
    rec.m_anOrbitParam[0] = 1;   // 16 dots at 4 a step: 4 steps
    auto v = Fire(w, s, rec);
    ASSERT_EQ(v.size(), 1u);
    for (int i = 0; i < 4; i++) {
        v[0]->Step();
        EXPECT_EQ(v[0]->m_bFlight, 1) << i;
    }
    v[0]->Step();
    EXPECT_EQ(v[0]->m_bFlight, 0);
    EXPECT_DOUBLE_EQ(v[0]->m_dShotVx, -4.0);   // keeps its horizontal speed
    // A trajectory beyond the table and a wave without speed fly straight.
    for (int nType : {10, 8}) {
        cEdShot r2 = ShotRecord(40, 1);
        r2.m_nType = static_cast<uint8_t>(nType);
        r2.m_anOrbitParam[0] = 4;
        r2.m_anOrbitParam[1] = 0;
        auto v2 = Fire(w, s, r2);
        ASSERT_EQ(v2.size(), 1u);
        for (int i = 0; i < 10; i++) EXPECT_EQ(v2[0]->Step(), 0);
        EXPECT_DOUBLE_EQ(v2[0]->m_dShotVx, -4.0) << nType;
        EXPECT_DOUBLE_EQ(v2[0]->m_dShotVy, 0.0) << nType;
    }
}

// ---- the sword and the commands ----

void AddSwordType(cDatabase& db, int nParts) {
    db.m_vSwordType.push_back(cSwordType());
    cSwordType& t = db.m_vSwordType.back();
    t.m_vPart.clear();
    for (int i = 0; i < nParts; i++) {
        t.m_vPart.push_back(cSwordPart());
        cSwordPart& part = t.m_vPart.back();
        part.m_nWidth = 24;
        part.m_nHeight = 8;
        part.m_nTime = 1;   // 6 steps a part
    }
}

struct CMDFIXTURE {
    cEdCmd cmd;
    cCmdRun run;
    CMDCALL call;
    CMDFIXTURE(int nKind, cCharaBase* c) {
        cmd.m_nKind = static_cast<uint8_t>(nKind);
        NewEdShot(cmd.m_pShot);
        *cmd.m_pShot = ShotRecord(10, 1);
        cmd.m_nSound = 0;
        call.pChara = c;
        call.pCmd = &cmd;
        call.pRun = &run;
    }
};

TEST(ShotCommand, HalfASecondFiresFiveTimes) {
    cCombatWorld w(2);
    cChara* s = w.AddChara(1, 1, 400, 400);
    CMDFIXTURE f(CMD_SHOT, s);
    std::vector<int> vecAt;
    for (int step = 0; step < 60; step++) {   // 0.5 s = 30 frames of 2 steps
        size_t n = w.m_Scene.m_lstShot.size();
        pfnCmdExec[CMD_SHOT](f.call);
        if (w.m_Scene.m_lstShot.size() > n) vecAt.push_back(step);
    }
    EXPECT_EQ(vecAt, (std::vector<int>{0, 12, 24, 36, 48}));
    EXPECT_EQ(w.m_Scene.m_nShotCount, 5);
}

TEST(ShotCommand, SwordOnceAndEndsWhenItsOwnerGoes) {
    cCombatWorld w;
    AddSwordType(w.m_Db, 2);
    AddSwordType(w.m_Db, 0);   // a type without parts
    cChara* s = w.AddChara(7, 1, 400, 400);
    CMDFIXTURE f(CMD_SWORD, s);
    for (int i = 0; i < 120; i++) pfnCmdExec[CMD_SWORD](f.call);
    ASSERT_EQ(w.m_Scene.m_lstShot.size(), 1u);
    cShot* p = w.m_Scene.m_lstShot.front().get();
    EXPECT_EQ(p->m_bProjectile, 0);
    EXPECT_EQ(p->m_nWidth, 24);
    ASSERT_EQ(s->m_vecChild.size(), 1u);
    EXPECT_EQ(s->m_vecChild[0].nKind, 4);
    EXPECT_EQ(p->Step(), 0);
    EXPECT_EQ(p->m_dX, 400 - 24);   // in front of an owner facing left
    w.m_Ctx.lstChara.clear();        // the owner goes
    EXPECT_EQ(p->Step(), 1);

    CMDFIXTURE g(CMD_SWORD, w.AddChara(8, 1, 0, 0));
    g.cmd.m_pShot->m_nType = 1;
    pfnCmdExec[CMD_SWORD](g.call);
    EXPECT_EQ(w.m_Scene.m_lstShot.size(), 1u);   // no sword without parts
}

TEST(ShotCommand, SwordPartsRunOutInTime) {
    cCombatWorld w;
    AddSwordType(w.m_Db, 2);
    cChara* s = w.AddChara(7, 1, 400, 400);
    CMDFIXTURE f(CMD_SWORD, s);
    pfnCmdExec[CMD_SWORD](f.call);
    ASSERT_EQ(w.m_Scene.m_lstShot.size(), 1u);
    cShot* p = w.m_Scene.m_lstShot.front().get();
    int n = 1;
    while (n < 100 && !p->Step()) n++;
    EXPECT_EQ(n, 14);   // two parts of 6 steps: the 7th step of each moves on
}

// ---- hits ----

// One shot of the record fired by pShooter and put at (x, y), on the screen.
cShot* FireAt(cCombatWorld& w, cCharaBase* pShooter, cEdShot& rec, double x, double y) {
    cShot* q = Fire(w, pShooter, rec)[0];
    q->m_dX = x;
    q->m_dY = y;
    q->ClampX();
    q->ClampPosY(0);
    q->m_bOnScreen = 1;
    return q;
}

TEST(Hits, ShotKinds) {
    cCombatWorld w;
    cChara* a = w.AddChara(1, 1, 100, 100);
    cChara* t1 = w.AddChara(2, 2, 300, 300);
    cChara* t2 = w.AddChara(3, 2, 300, 300);
    auto shoot = [&](int bPierce) {
        cEdShot rec = ShotRecord(0, 1);
        rec.m_nPower = 1;
        rec.m_bPierceChara = static_cast<uint8_t>(bPierce);
        return FireAt(w, a, rec, 300, 300);
    };
    // A non-piercing shot goes after the characters it met.
    shoot(0);
    EXPECT_EQ(w.m_Scene.ResolveHits(), 0);
    EXPECT_EQ(t1->m_nHp, 9);
    EXPECT_TRUE(w.m_Scene.m_lstShot.empty());
    // A piercing shot hits each character once.
    t1->m_nInvTime = t2->m_nInvTime = 0;
    t1->m_nHp = t2->m_nHp = 10;
    cShot* q = shoot(1);
    w.m_Scene.ResolveHits();
    t1->m_nInvTime = t2->m_nInvTime = 0;
    w.m_Scene.ResolveHits();
    EXPECT_EQ(t1->m_nHp, 9);
    EXPECT_EQ(t2->m_nHp, 9);
    EXPECT_EQ(q->m_HitChara.size(), 2u);
    EXPECT_EQ(w.m_Scene.m_lstShot.size(), 1u);
    // Invincibility 2: shots pass through.
    w.m_Scene.m_lstShot.clear();
    for (auto& l : w.m_Scene.m_vecGroupShot) l.clear();
    t1->m_Data.m_nInvincible = 2;
    t1->m_nInvTime = 0;
    shoot(0);
    w.m_Scene.ResolveHits();
    EXPECT_EQ(t1->m_nHp, 9);
    EXPECT_EQ(w.m_Scene.m_bInHits, 0);
}

// A character's invincibility status decides what a shot does to it: 0
// takes the damage, 1 (hit by shots) stops the shot and takes nothing, 2
// lets the shot pass on through. Each status is tried with the pair table
// and with the walk over every pair.
TEST(Hits, ShotsAgainstEachInvincibilityStatus) {
    struct CASE {
        int nStatus, nHp;
        size_t nShotsLeft;
        int nHitEvents;
    } const acase[] = {{0, 9, 0, 1}, {1, 10, 0, 1}, {2, 10, 1, 0}};
    for (int bAllPairs : {0, 1}) {
        for (const CASE& c : acase) {
            cCombatWorld w;
            w.m_Scene.m_bAllPairs = bAllPairs;
            cChara* a = w.AddChara(1, 1, 100, 100);
            cChara* t = w.AddChara(2, 2, 300, 300);
            t->m_Data.m_nInvincible = static_cast<int8_t>(c.nStatus);
            int nEvents = 0;
            std::vector<HITCONTACT> vecLog;
            w.m_Scene.m_pContactLog = &vecLog;
            cEdShot rec = ShotRecord(0, 1);
            rec.m_nPower = 1;
            FireAt(w, a, rec, 300, 300);
            EXPECT_EQ(w.m_Scene.ResolveHits(), 0);
            for (const HITCONTACT& h : vecLog) nEvents += h.nKind == CONTACT_SHOT_CHARA;
            w.m_Scene.m_pContactLog = nullptr;
            EXPECT_EQ(t->m_nHp, c.nHp) << "status " << c.nStatus << " all pairs " << bAllPairs;
            EXPECT_EQ(w.m_Scene.m_lstShot.size(), c.nShotsLeft) << "status " << c.nStatus << " all pairs " << bAllPairs;
            EXPECT_EQ(nEvents, c.nHitEvents) << "status " << c.nStatus << " all pairs " << bAllPairs;
        }
    }
}

// A piercing shot in a crowd: the characters are met in the pass's order
// (by group), which is not the order they were made in, and none is hit a
// second time however many passes follow.
TEST(Hits, APiercingShotHitsEachOfACrowdOnceInAnyOrder) {
    cCombatWorld w;
    cChara* a = w.AddChara(1, 1, 100, 100);
    // Made from group 7 down to group 2, two in each: the pass meets the last
    // made first.
    std::vector<cChara*> vecCrowd;
    for (int g = 7; g >= 2; g--)
        for (int k = 0; k < 2; k++) vecCrowd.push_back(w.AddChara(10 + 2 * g + k, g, 300, 300, 20));
    cEdShot rec = ShotRecord(0, 1);
    rec.m_nPower = 1;
    rec.m_bPierceChara = 1;
    cShot* q = FireAt(w, a, rec, 300, 300);
    for (int nPass = 0; nPass < 3; nPass++) {
        for (cChara* c : vecCrowd) c->m_nInvTime = 0;
        w.m_Scene.ResolveHits();
    }
    for (cChara* c : vecCrowd) EXPECT_EQ(c->m_nHp, 19) << c->m_nId;
    ASSERT_EQ(q->m_HitChara.size(), 12u);
    // The list keeps the order of the hits: group 2 first.
    std::vector<int> vecOrder;
    for (const cObjRef& r : q->m_HitChara) vecOrder.push_back(r.GetAs<cChara>()->m_nGroup);
    EXPECT_EQ(vecOrder, (std::vector<int>{2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7}));
    // A copy of the shot has hit the same characters.
    cShot copy(*q);
    for (cChara* c : vecCrowd) EXPECT_TRUE(copy.m_HitChara.Contains(cObjRef(c))) << c->m_nId;
    EXPECT_FALSE(copy.m_HitChara.Contains(cObjRef(a)));
}

TEST(Hits, ShotsOnlyOnTheFlaggedSubSteps) {
    cCombatWorld w(3);
    w.m_Stage.m_nHitJudgeCount = 2;
    w.m_Scene.m_vecShotStep = {1, 1, 0};   // sub-steps 1 and 2 of 3
    cChara* a = w.AddChara(1, 1, 100, 100);
    cChara* t = w.AddChara(2, 2, 300, 300);
    cEdShot rec = ShotRecord(0, 1);
    rec.m_nPower = 1;
    rec.m_bPierceChara = 1;
    cShot* q = Fire(w, a, rec)[0];
    q->m_dX = 300;
    q->m_dY = 300;
    q->ClampX();
    q->ClampPosY(0);
    q->m_bOnScreen = 1;
    int aHp[3];
    for (int s = 1; s <= 3; s++) {
        w.m_Scene.m_nSubStep = s;
        q->m_HitChara.Clear();
        t->m_nInvTime = 0;
        w.m_Scene.ResolveHits();
        aHp[s - 1] = t->m_nHp;
    }
    EXPECT_EQ(aHp[0], 9);
    EXPECT_EQ(aHp[1], 8);
    EXPECT_EQ(aHp[2], 8);   // the third sub-step tests no shots
}

TEST(Hits, SwordHitsEachCharacterOnceInItsLife) {
    cCombatWorld w;
    AddSwordType(w.m_Db, 1);
    w.m_Db.m_vSwordType[0].m_vPart[0].m_nTime = 100;
    cChara* a = w.AddChara(1, 1, 300, 300);
    cChara* t = w.AddChara(2, 2, 270, 300);
    CMDFIXTURE f(CMD_SWORD, a);
    f.cmd.m_pShot->m_nPower = 1;
    pfnCmdExec[CMD_SWORD](f.call);
    cShot* p = w.m_Scene.m_lstShot.front().get();
    for (int i = 0; i < 5; i++) {
        p->Step();
        p->m_bOnScreen = 1;
        t->m_nInvTime = 0;
        w.m_Scene.ResolveHits();
    }
    EXPECT_EQ(t->m_nHp, 9);
    EXPECT_EQ(w.m_Scene.m_lstShot.size(), 1u);
}

TEST(Hits, DefeatedHeroEndsTheResolutionWithTwo) {
    cCombatWorld w;
    cHero* h = w.AddHero(0, 300, 300, 1);
    cChara* e = w.AddChara(1, 1, 300, 300);
    cChara* other = w.AddChara(2, 2, 300, 300);
    e->m_Data.m_nPower = 5;
    other->m_Data.m_nPower = 5;   // would hit e later in the step
    EXPECT_EQ(w.m_Scene.ResolveHits(), 2);
    EXPECT_EQ(h->m_nHp, 0);
    EXPECT_EQ(e->m_nHp, 10);   // later contacts were not evaluated
    EXPECT_EQ(w.m_Scene.m_bInHits, 0);
}

TEST(Hits, BreakableShotsByStrength) {
    struct CASE {
        int bM, nM, bX, nX;
        bool bMGoes, bXGoes;
    } aCase[] = {
        {1, 3, 1, 3, true, true},    // equal strengths: both
        {1, 3, 1, 5, true, false},   // the stronger stays
        {1, 5, 1, 3, false, true},
        {1, 9, 0, 0, true, false},   // an unbreakable shot survives
        {0, 0, 1, 9, false, true},
        {0, 0, 0, 0, false, false},
    };
    for (const CASE& k : aCase) {
        cCombatWorld w;
        cChara* a = w.AddChara(1, 1, 100, 100);
        cChara* b = w.AddChara(2, 2, 100, 100);
        cEdShot rm = ShotRecord(0, 1), rx = ShotRecord(0, 1);
        rm.m_bShotClash = static_cast<uint8_t>(k.bM);
        rm.m_nVanish = static_cast<uint8_t>(k.nM);
        rx.m_bShotClash = static_cast<uint8_t>(k.bX);
        rx.m_nVanish = static_cast<uint8_t>(k.nX);
        cShot* m = Fire(w, a, rm)[0];
        cShot* x = Fire(w, b, rx)[0];
        cObjRef rM(m), rX(x);
        for (cShot* p : {m, x}) {
            p->m_dX = 500;
            p->m_dY = 500;
            p->ClampX();
            p->ClampPosY(0);
        }
        w.m_Scene.ResolveHits();
        EXPECT_EQ(rM.Get() == nullptr, k.bMGoes) << k.bM << k.nM << k.bX << k.nX;
        EXPECT_EQ(rX.Get() == nullptr, k.bXGoes) << k.bM << k.nM << k.bX << k.nX;
    }
}

// ---- items and deaths ----

TEST(ItemContact, TakeRulesAndListOrder) {
    cCombatWorld w;
    cHero* h = w.AddHero(0, 300, 300);
    auto addItem = [&](int nRule, int nSound) {
        cItemData d;
        d.m_nGraphic = 1;
        d.m_nTakeRule = static_cast<uint8_t>(nRule);
        d.m_nSound = static_cast<int16_t>(nSound);
        d.m_bShowPicture = 0;
        auto p = std::make_unique<cItem>();
        p->Setup(static_cast<int>(w.m_Ctx.lstItem.size()) + 1, d, 0);
        p->m_bActive = 1;
        p->m_dX = 300;
        p->m_dY = 300;
        p->m_dRight = 327;
        p->m_dBottom = 327;
        w.m_Ctx.lstItem.push_back(std::move(p));
    };
    addItem(0, 1);
    addItem(1, 2);
    addItem(2, 3);
    EXPECT_EQ(w.m_Scene.CheckItemContact(), 0);
    EXPECT_EQ(w.m_Host.vecSound, (std::vector<int>{17, 18}));   // list order; rule 2 never
    EXPECT_EQ(w.m_Ctx.lstItem.size(), 2u);                       // the once-item is gone
    w.m_Scene.CheckItemContact();                                // standing on it: not again
    EXPECT_EQ(w.m_Host.vecSound.size(), 2u);
    h->m_HitBox3.dLeft = h->m_HitBox3.dRight = 1000;   // step off
    w.m_Scene.CheckItemContact();
    h->m_HitBox3 = h->m_HitBox1;                       // and on again
    w.m_Scene.CheckItemContact();
    EXPECT_EQ(w.m_Host.vecSound, (std::vector<int>{17, 18, 18}));
}

TEST(Deaths, CheckDeadFlagClearedAndDeadSkipped) {
    cCombatWorld w;
    w.AddHero(0, 0, 0);
    cChara* c = w.AddChara(1, 1, 0, 0);
    c->m_nHp = 0;
    c->m_bDead = 1;   // already defeated: no second defeat
    w.m_Scene.m_bCheckDead = 1;
    EXPECT_EQ(w.m_Scene.CheckOtherDeaths(), 0);
    EXPECT_EQ(w.m_Scene.m_bCheckDead, 0);
    EXPECT_TRUE(w.m_Host.vecSound.empty());
    EXPECT_EQ(w.m_Ctx.lstChara.size(), 1u);
}

TEST(Deaths, LabelsGoToTheStepLog) {
    std::vector<std::string> vecLog;
    SetPlayStepLog([](void* p, const char* s) { static_cast<std::vector<std::string>*>(p)->push_back(s); }, &vecLog);
    PlayStepLog("Dead 6");
    SetPlayStepLog(nullptr, nullptr);
    PlayStepLog("Dead 9");
    EXPECT_EQ(vecLog, (std::vector<std::string>{"Dead 6"}));
}


// ---- the flow change ----

cEdCmd FlowChangeCmd(int nMode, int nId, int nNewId) {
    cEdCmd c;
    c.m_bItemCmd = 1;
    c.m_nKind = 1;
    c.m_vParam.assign({nMode, nId});
    cFlow f;
    f.m_nId = static_cast<uint8_t>(nNewId);
    f.m_nTrigger = 22;   // run only by a flow operation: never starts by itself
    c.m_vFlow.push_back(f);
    return c;
}

std::vector<int> FlowIds(const cCharaBase* c) {
    std::vector<int> v;
    for (const cFlow& f : c->m_Data.m_vFlow) v.push_back(f.m_nId);
    return v;
}

TEST(FlowChange, WaitsForTheHerosOwnFlows) {
    cCombatWorld w;
    cHero* h = w.AddHero(0, 300, 300);
    cEdCmd add = FlowChangeCmd(0, 0, 7);
    w.m_Scene.m_lpCurChara = h;   // the hero's flows are being stepped
    EXPECT_EQ(CmdExec_FlowChange(h, &add, 0), 0);
    EXPECT_TRUE(FlowIds(h).empty());
    ASSERT_EQ(h->m_vecPendingCmd.size(), 1u);
    w.m_Scene.m_lpCurChara = nullptr;
    CmdExec_FlowChange(h, &h->m_vecPendingCmd[0], 1);   // what the hero runs after its flows
    EXPECT_EQ(FlowIds(h), (std::vector<int>{7}));
}

TEST(FlowChange, ModesTable) {
    cCombatWorld w;
    cHero* h = w.AddHero(0, 300, 300);
    for (int nId : {1, 2, 1}) {
        cEdCmd c = FlowChangeCmd(0, 0, nId);
        CmdExec_FlowChange(h, &c, 1);
    }
    EXPECT_EQ(FlowIds(h), (std::vector<int>{1, 2, 1}));
    cEdCmd rep = FlowChangeCmd(1, 2, 9);   // replace id 2 in its place
    CmdExec_FlowChange(h, &rep, 1);
    EXPECT_EQ(FlowIds(h), (std::vector<int>{1, 9, 1}));
    cEdCmd rem = FlowChangeCmd(2, 1, 0);   // remove id 1
    CmdExec_FlowChange(h, &rem, 1);
    EXPECT_EQ(FlowIds(h), (std::vector<int>{9}));
    cEdCmd all = FlowChangeCmd(1, 0, 4);   // id 0: every flow, the new ones at 0
    CmdExec_FlowChange(h, &all, 1);
    EXPECT_EQ(FlowIds(h), (std::vector<int>{4}));
    cEdCmd other = FlowChangeCmd(5, 0, 3);   // an unknown mode: nothing
    CmdExec_FlowChange(h, &other, 1);
    EXPECT_EQ(FlowIds(h), (std::vector<int>{4}));
}


// ---- solid characters, one pass ----

// A solid character of id nId at (x, y), 32 x 32.
cChara* AddSolid(cCombatWorld& w, int nId, double x, double y) {
    cChara* s = w.AddChara(nId, 3, x, y);
    s->m_Data.m_bNoHitBox = 1;
    s->m_SavedPos = {x, y, x + 31, y + 31};
    return s;
}

TEST(SolidsPass, FlyingObjectPushedUnlessThePusherMovesAway) {
    struct CASE {
        double dPusherVx, dObjVx;
        bool bPushed;
    } aCase[] = {
        {2, 0, true},     // the pusher moves into the object
        {0, 0, true},     // standing still
        {-2, 0, false},   // moving away: no drag
        {-2, -1, true},   // moving away, but the object moves toward it
    };
    for (const CASE& k : aCase) {
        cCombatWorld w;
        cChara* o = w.AddChara(1, 1, 420, 400);
        o->SetFlight(2);   // flies, stopped by blocks
        o->m_dVx = k.dObjVx;
        cChara* s = AddSolid(w, 2, 400, 396);
        s->m_dVx = k.dPusherVx;
        EXPECT_EQ(w.m_Scene.PushFromSolids(o), 0);
        if (k.bPushed) {
            EXPECT_EQ(o->m_dX, 432) << k.dPusherVx << " " << k.dObjVx;   // the solid's right + 1
            EXPECT_EQ(o->m_bHitLeft, 1);
        } else {
            EXPECT_EQ(o->m_bHitLeft, 0) << k.dPusherVx << " " << k.dObjVx;
            EXPECT_NE(o->m_dX, 432);
        }
    }
}

TEST(SolidsPass, DeadlyFlightDiesOnAnySolid) {
    cCombatWorld w;
    cChara* o = w.AddChara(1, 1, 420, 400);
    o->SetFlight(3);   // killed by blocks
    AddSolid(w, 2, 400, 396);
    EXPECT_EQ(w.m_Scene.PushFromSolids(o), 2);
    cChara* p = w.AddChara(3, 1, 420, 400);
    p->SetFlight(1);   // flies through blocks: never pushed
    EXPECT_EQ(w.m_Scene.PushFromSolids(p), 0);
    EXPECT_EQ(p->m_dX, 420);
}

TEST(SolidsPass, SqueezedBetweenSolids) {
    cCombatWorld w;
    cChara* o = w.AddChara(1, 1, 416, 400);
    AddSolid(w, 2, 400, 384);   // covers the top-left corner
    AddSolid(w, 3, 432, 384);   // the top-right
    SAVEDPOS before{416, 400, 447, 431};
    EXPECT_EQ(w.m_Scene.IsSqueezed(o, before), 0);   // the bottom corners are free
    AddSolid(w, 4, 400, 416);
    AddSolid(w, 5, 432, 416);
    EXPECT_EQ(w.m_Scene.IsSqueezed(o, before), 1);
    o->SetFlight(1);
    EXPECT_EQ(w.m_Scene.IsSqueezed(o, before), 0);   // flies through blocks
}


TEST(SolidsPass, HeadBumpRefusedWhenThePlaceUnderIsTaken) {
    for (bool bTaken : {false, true}) {
        cCombatWorld w;
        cChara* o = w.AddChara(1, 1, 416, 400);
        o->m_SavedPos = {416, 400, 447, 431};
        cChara* s = AddSolid(w, 2, 416, 372);   // above, reaching 4 dots into the object
        s->m_SavedPos = {416, 368, 447, 399};
        s->m_dVy = -2;                          // moving up
        if (bTaken) AddSolid(w, 3, 416, 432);   // just under: the place under the bump is taken
        EXPECT_EQ(w.m_Scene.PushFromSolids(o), 0);
        EXPECT_EQ(o->m_dY, bTaken ? 400 : 404) << bTaken;
    }
}

}   // namespace

namespace {

// An item of take rule 0 (taken once) and sound nSound, its box (x, y) ..
// (x + 27, y + 27), appended to the item list.
cItem* AddItemAt(cCombatWorld& w, double x, double y, int nSound) {
    cItemData d;
    d.m_nGraphic = 1;
    d.m_nTakeRule = 0;
    d.m_nSound = static_cast<int16_t>(nSound);
    d.m_bShowPicture = 0;
    auto p = std::make_unique<cItem>();
    p->Setup(static_cast<int>(w.m_Ctx.lstItem.size()) + 1, d, 0);
    p->m_bActive = 1;
    p->m_dX = x;
    p->m_dY = y;
    p->m_dRight = x + 27;
    p->m_dBottom = y + 27;
    cItem* pItem = p.get();
    w.m_Ctx.lstItem.push_back(std::move(p));
    return pItem;
}

}  // namespace

// Boxes meet when they share a dot: touching on any of the four edges is a
// meeting, one dot apart is not. Box a is (100, 100) .. (131, 131).
TEST(Hits, BoxesMeetInclusivelyOnAllFourEdges) {
    const HITRECT a{100, 100, 131, 131};
    const struct {
        const char* pszCase;
        HITRECT b;
        bool bMeet;
    } aCase[] = {
        {"touching the left edge", {80, 110, 100, 120}, true},      // b.r = a.l
        {"one dot left", {80, 110, 99, 120}, false},
        {"touching the right edge", {131, 110, 150, 120}, true},    // b.l = a.r
        {"one dot right", {132, 110, 150, 120}, false},
        {"touching the top edge", {110, 80, 120, 100}, true},       // b.b = a.t
        {"one dot above", {110, 80, 120, 99}, false},
        {"touching the bottom edge", {110, 131, 120, 150}, true},   // b.t = a.b
        {"one dot below", {110, 132, 120, 150}, false},
        {"touching a corner", {131, 131, 140, 140}, true},
        {"a corner one dot apart", {132, 131, 140, 140}, false},
        {"inside", {110, 110, 120, 120}, true},
    };
    for (const auto& k : aCase) {
        SCOPED_TRACE(k.pszCase);
        EXPECT_EQ(RectsMeet(a, k.b), k.bMeet);
        EXPECT_EQ(RectsMeet(k.b, a), k.bMeet);
    }
}

// The same rule where the player sees it: the hero (300, 300) .. (331, 331)
// takes an item (28 x 28) whose box touches it on one edge, and not one a
// dot further away.
TEST(ItemContact, TouchingOnAnEdgeTakesTheItemOneDotApartDoesNot) {
    const struct {
        const char* pszCase;
        double x, y;   // the item's top left corner
        bool bTaken;
    } aCase[] = {
        {"left: item right 300", 273, 310, true},  {"left: item right 299", 272, 310, false},
        {"right: item left 331", 331, 310, true},  {"right: item left 332", 332, 310, false},
        {"top: item bottom 300", 310, 273, true},  {"top: item bottom 299", 310, 272, false},
        {"bottom: item top 331", 310, 331, true},  {"bottom: item top 332", 310, 332, false},
    };
    for (const auto& k : aCase) {
        SCOPED_TRACE(k.pszCase);
        cCombatWorld w;
        w.AddHero(0, 300, 300);
        AddItemAt(w, k.x, k.y, 1);
        EXPECT_EQ(w.m_Scene.CheckItemContact(), 0);
        EXPECT_EQ(w.m_Ctx.lstItem.empty(), k.bTaken);
        EXPECT_EQ(w.m_Host.vecSound, k.bTaken ? std::vector<int>{17} : std::vector<int>{});
    }
}

// An item a character carries is never the hero's to take: not from the
// item list with its carried flag set, and not from the character standing
// on the hero. The same item without the flag is taken.
TEST(ItemContact, AnItemCarriedByACharacterIsNeverTaken) {
    cCombatWorld w;
    w.AddHero(0, 300, 300);
    cItem* p = AddItemAt(w, 300, 300, 1);
    p->m_bCarried = 1;
    cChara* c = w.AddChara(1, 1, 300, 300);
    c->m_pItem = std::make_unique<cItem>(*p);
    for (int i = 0; i < 3; i++) EXPECT_EQ(w.m_Scene.CheckItemContact(), 0);
    EXPECT_EQ(w.m_Ctx.lstItem.size(), 1u);
    EXPECT_TRUE(w.m_Host.vecSound.empty());
    EXPECT_NE(c->m_pItem, nullptr);
    p->m_bCarried = 0;
    EXPECT_EQ(w.m_Scene.CheckItemContact(), 0);
    EXPECT_TRUE(w.m_Ctx.lstItem.empty());
    EXPECT_EQ(w.m_Host.vecSound, std::vector<int>{17});
}

// Clones turn by the angle step times (clone + 1) from the record's angle:
// with step 30 the three runs (two clones) leave at 0, 30 and 60 degrees.
// Facing left angle 0 is straight ahead (-1, 0) and the angle turns upward:
// (-cos 30, -sin 30) = (-0.866, -0.5), (-cos 60, -sin 60) = (-0.5, -0.866).
// Facing right with the mirror switch the angles are 360 - 30 k, the same
// fan mirrored: (1, 0), (0.866, -0.5), (0.5, -0.866). Speed 1 each.
TEST(ShotFormation, ClonesTurnByTheAngleStepTimesTheirNumber) {
    const double H = 0.8660254037844386;   // sqrt(3) / 2
    const struct {
        const char* pszCase;
        int nDir;
        int bMirror;
        double aVx[3], aVy[3];
    } aCase[] = {
        {"facing left", 0, 0, {-1, -H, -0.5}, {0, -0.5, -H}},
        {"facing right, mirrored", 1, 1, {1, H, 0.5}, {0, -0.5, -H}},
    };
    for (const auto& k : aCase) {
        SCOPED_TRACE(k.pszCase);
        cCombatWorld w;
        cChara* s = w.AddChara(1, 1, 400, 400);
        s->m_nDir = k.nDir;
        cEdShot rec = ShotRecord(10, 1);   // 1 dot a step
        rec.m_nClones = 2;
        rec.m_nAngleInc = 30;
        rec.m_bMirrorAngle = static_cast<uint8_t>(k.bMirror);
        rec.m_nSpread = 0;
        auto v = Fire(w, s, rec);
        ASSERT_EQ(v.size(), 3u);
        for (int i = 0; i < 3; i++) {
            EXPECT_NEAR(v[i]->m_dShotVx, k.aVx[i], 1e-9) << "clone " << i;
            EXPECT_NEAR(v[i]->m_dShotVy, k.aVy[i], 1e-9) << "clone " << i;
        }
    }
}

// The wave trajectory starts at its start angle for a shot facing right and
// half a turn further for one facing left, so both weave up first. Shot at
// 1 dot a step, amplitude 1 hbl (16 dots), wave speed 4, start angle 0, one
// sub-step a frame. The first step: the wave angle starts at a / 4 (0 facing
// right, 180 / 4 = 45 facing left) and advances by 1; the push across the
// line of flight is 16 x w cos(w x angle) with w = 4 pi / 180 = 0.0698132:
// right cos 0 = 1, left cos(pi) = -1, so h = +-1.1170107. Across the line of
// flight is the velocity turned back a quarter: right (0, -1), left (0, 1);
// both give a speed of -1.1170107 upward.
TEST(ShotOrbit, WaveStartsOnTheSideOfTheShotsFacing) {
    const double dPush = 16 * 4 * M_PI / 180;   // 1.1170107
    const struct {
        const char* pszCase;
        int nDir;
        double dVx, dAngle;
    } aCase[] = {{"facing right", 1, 1.0, 1.0}, {"facing left", 0, -1.0, 46.0}};
    for (const auto& k : aCase) {
        SCOPED_TRACE(k.pszCase);
        cCombatWorld w;
        cChara* s = w.AddChara(1, 1, 400, 400);
        s->m_nDir = k.nDir;
        cEdShot rec = ShotRecord(10, 1);
        rec.m_nType = 8;
        rec.m_anOrbitParam[0] = 1;
        rec.m_anOrbitParam[1] = 4;
        rec.m_anOrbitParam[2] = 0;
        auto v = Fire(w, s, rec);
        ASSERT_EQ(v.size(), 1u);
        ASSERT_DOUBLE_EQ(v[0]->m_dShotVx, k.dVx);
        v[0]->Step();
        EXPECT_NEAR(v[0]->m_dWaveAngle, k.dAngle, 1e-9);
        EXPECT_NEAR(v[0]->m_dShotVx, k.dVx, 1e-9);
        EXPECT_NEAR(v[0]->m_dShotVy, -dPush, 1e-9);
    }
}
