// A soak of the combat rules: a stage with characters and items where
// random shot records (any formation, direction, count, clone count,
// trajectory, speed, range and flags, in range or not) are fired every few
// frames for 10,000 frames, with swords and summons among them. Nothing may
// fault (the sanitizer build runs it too) and the shot list stays bounded.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "PlayHarness.h"
#include "flow/CmdDispatch.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/Database.h"
#include "project/SwordType.h"
#include "stage/CmdVocabulary.h"
#include "stage/Flow.h"

namespace {

cEdShot RandomShot(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    cEdShot r;
    r.m_nCount = static_cast<uint8_t>(pick(0, 40) ? pick(0, 6) : pick(0, 255));
    r.m_nFormation = static_cast<uint8_t>(pick(0, 7));
    for (int i = 0; i < 3; i++) r.m_anFormParam[i] = static_cast<int16_t>(pick(0, 20) ? pick(0, 8) : pick(-200, 400));
    r.m_nAimAt = static_cast<uint8_t>(pick(0, 4));
    r.m_nDir = static_cast<uint8_t>(pick(0, 15));
    r.m_bAimTarget = static_cast<uint8_t>(pick(0, 1));
    r.m_nTargetA = static_cast<uint8_t>(pick(0, 5));
    r.m_nAngle = static_cast<int16_t>(pick(-720, 720));
    r.m_nAngleInc = static_cast<int16_t>(pick(-90, 90));
    r.m_bMirrorAngle = static_cast<uint8_t>(pick(0, 1));
    r.m_nSpread = static_cast<int16_t>(pick(0, 3) ? 0 : pick(-180, 180));
    r.m_bRotate = static_cast<uint8_t>(pick(0, 1));
    r.m_nClones = static_cast<uint8_t>(pick(0, 40) ? pick(0, 2) : pick(0, 255));
    r.m_nShiftX = static_cast<int16_t>(pick(-64, 64));
    r.m_nShiftY = static_cast<int16_t>(pick(-64, 64));
    r.m_nGraphic = static_cast<int16_t>(pick(-5, 130));
    r.m_bOwnerGroup = static_cast<uint8_t>(pick(0, 1));
    r.m_nFaction = static_cast<uint8_t>(pick(0, 9));
    r.m_nSize = static_cast<uint8_t>(pick(0, 4));
    r.m_nType = static_cast<uint8_t>(pick(0, 12));
    for (int i = 0; i < 3; i++) r.m_anOrbitParam[i] = static_cast<int16_t>(pick(0, 3) ? pick(0, 10) : pick(-100, 1000));
    r.m_nTargetB = static_cast<uint8_t>(pick(0, 5));
    r.m_bScrollSync = static_cast<uint8_t>(pick(0, 1));
    r.m_nSpeed = static_cast<int16_t>(pick(-200, 200));
    r.m_nSpeedInc = static_cast<int16_t>(pick(-20, 20));
    r.m_bAccel = static_cast<uint8_t>(pick(0, 1));
    r.m_nAccel = static_cast<int16_t>(pick(-200, 200));
    r.m_bRangeLimit = static_cast<uint8_t>(pick(0, 1));
    r.m_nRange = static_cast<int16_t>(pick(0, 70));
    r.m_bStopAtRange = static_cast<uint8_t>(pick(0, 1));
    r.m_bLifeLimit = 1;   // every shot ends within a few seconds
    r.m_nLife = static_cast<int16_t>(pick(1, 40));
    r.m_bPassBlock = static_cast<uint8_t>(pick(0, 1));
    r.m_bPierceChara = static_cast<uint8_t>(pick(0, 1));
    r.m_bPierceBlockChara = static_cast<uint8_t>(pick(0, 1));
    r.m_bShotClash = static_cast<uint8_t>(pick(0, 1));
    r.m_nVanish = static_cast<uint8_t>(pick(0, 9));
    r.m_nPower = pick(-5, 5);
    r.m_nImpact = static_cast<int8_t>(pick(-20, 20));
    r.m_nItemPalette = static_cast<uint8_t>(pick(0, 3) ? 0 : pick(0, 3));
    r.m_nItemNum = static_cast<int16_t>(pick(-1, 3));
    r.m_nPalette = static_cast<uint8_t>(pick(0, 1));
    r.m_nNum = static_cast<int16_t>(pick(-1, 3));
    r.m_nBlockMode = static_cast<uint8_t>(pick(0, 3));
    // The rare huge volleys (up to 127 x 21 objects) live a tenth of a second.
    if (r.m_nCount > 6 || r.m_nClones > 2 || r.m_anFormParam[1] > 8) r.m_nLife = 1;
    return r;
}

TEST(CombatSoak, RandomShotsForTenThousandFrames) {
    cPlayHarness h({"####################",
                    "#..................#",
                    "#...C......C.......#",
                    "#......I.........I.#",
                    "#..H.......C.......#",
                    "#.........#####....#",
                    "#....C.........I...#",
                    "####################"});
    h.HeroTemplate().m_nInvincible = 1;   // the hero stays for the whole run
    h.CharaTemplate().m_nMaxHp = 50;
    cDatabase db;
    db.m_vSwordType.clear();
    db.m_vSwordType.push_back(cSwordType());
    for (int i = 0; i < 2; i++) {
        db.m_vSwordType.back().m_vPart.push_back(cSwordPart());
        cSwordPart& p = db.m_vSwordType.back().m_vPart.back();
        p.m_nWidth = 20 + 10 * i;
        p.m_nHeight = 8;
        p.m_nTime = 2;
        p.m_nPlace = i;
    }
    db.m_vSwordType.push_back(cSwordType());   // a type with no parts
    db.m_vSwordType.back().m_vPart.clear();
    h.Ctx().lpDatabase = &db;
    h.SetUp();

    std::mt19937 rng(20261210);
    size_t nMaxShots = 0;
    int nFired = 0;
    for (int f = 0; f < 10000; f++) {
        cPlayScene& s = h.Scene();
        std::vector<cCharaBase*> vecShooter;
        for (auto& p : h.Ctx().vecPlayer)
            if (p && !p->m_bDead) vecShooter.push_back(p.get());
        for (auto& p : h.Ctx().lstChara)
            if (p && !p->m_bDead) vecShooter.push_back(p.get());
        if (f % 4 == 0 && !vecShooter.empty() && s.m_lstShot.size() < 150) {
            cCharaBase* pShooter = vecShooter[rng() % vecShooter.size()];
            // Some targets to aim at.
            for (auto& t : pShooter->m_vecTarget)
                if (!vecShooter.empty() && rng() % 2) t = cObjRef(vecShooter[rng() % vecShooter.size()]);
            cEdShot rec = RandomShot(rng);
            switch (rng() % 8) {
            case 0: {
                cEdCmd cmd;
                cmd.m_nKind = CMD_SWORD;
                NewEdShot(cmd.m_pShot);
                *cmd.m_pShot = rec;
                cmd.m_pShot->m_nType = static_cast<uint8_t>(rng() % 4);
                cCmdRun run;
                CMDCALL call;
                call.pChara = pShooter;
                call.pCmd = &cmd;
                call.pRun = &run;
                pfnCmdExec[CMD_SWORD](call);
                break;
            }
            case 1: EmitItemSummon(pShooter, nullptr, rec); break;
            case 2: EmitBlockSummon(pShooter, nullptr, rec); break;
            default: EmitShot(&s.m_lstShot, pShooter, nullptr, rec); break;
            }
            nFired++;
        }
        h.Frame();
        nMaxShots = std::max(nMaxShots, h.Scene().m_lstShot.size());
        // Every shot of a group 0..7 is filed in its group's list (a shot of
        // a group beyond the lists meets nothing).
        if (f % 500 == 0) {
            size_t nFiled = 0, nInGroups = 0;
            for (const auto& l : h.Scene().m_vecGroupShot) nFiled += l.size();
            for (const auto& p : h.Scene().m_lstShot) nInGroups += (p->m_nGroup >= 0 && p->m_nGroup < 8);
            ASSERT_EQ(nFiled, nInGroups) << f;
        }
    }
    EXPECT_GT(nFired, 2000);
    EXPECT_GT(nMaxShots, 0u);
    EXPECT_LT(nMaxShots, 20000u);
}

}   // namespace
