// A small stage played end to end with scripted input: the hero walks by its
// key flows, is stopped by a wall, jumps onto it and lands; a placed
// character patrols a ledge by its flow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "PlayHarness.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "stage/CmdVocabulary.h"
#include "stage/MoveVocabulary.h"

namespace {

constexpr int KEY_RIGHT_ENTRY = 2;
constexpr int KEY_BUTTON1_ENTRY = 11;

cFlowKey Pressed(int nEntry) {
    cFlowKey k;
    k.m_vKey.At(nEntry) = 1;
    k.m_bHoldAny = 1;
    return k;
}

cEdCmd MoveCmd(int nKind, int nDir, int nSpeed, int nTime) {
    cEdCmd c;
    c.m_nKind = static_cast<uint8_t>(nKind);
    c.m_pMove.MakeNew();
    c.m_pMove->m_nDir = static_cast<uint8_t>(nDir);
    c.m_pMove->m_nSpeed = static_cast<int16_t>(nSpeed);
    c.m_nTime = static_cast<int16_t>(nTime);
    c.Normalize();
    return c;
}

// Walks right while the right key is held; jumps (height held by the button)
// on button 1.
void GiveHeroFlows(cCharaData& hero) {
    cFlow walk;
    walk.m_nTrigger = 0;
    walk.m_bKeyRepeat = 1;
    walk.m_vKey.push_back(Pressed(KEY_RIGHT_ENTRY));
    walk.m_vCmd.push_back(MoveCmd(CMD_MOVE_STRAIGHT, DIR_RIGHT, 30, 1));
    hero.m_vFlow.push_back(walk);

    cFlow jump;
    jump.m_nTrigger = 0;
    jump.m_vKey.push_back(Pressed(KEY_BUTTON1_ENTRY));
    cEdCmd j;
    j.m_nKind = CMD_JUMP;
    j.m_vParam.assign({1, 0, 4, 0, 4});
    j.Normalize();
    j.m_vParam.At(0) = 1;
    j.m_vParam.At(2) = 4;
    jump.m_vCmd.push_back(j);
    hero.m_vFlow.push_back(jump);
}

bool OnCellFloor(const cCharaBase& c) { return std::fmod(std::floor(c.m_dBottom) + 1, 32.0) == 0; }

TEST(CharaDemo, HeroWalksJumpsAndLandsOnABlock) {
    cPlayHarness h({"....................",
                    "....................",
                    "..H.................",
                    "..........####......",
                    "####################"});
    GiveHeroFlows(h.HeroTemplate());
    h.HeroTemplate().m_bFixDir = 0;
    h.SetUp();
    cHero& hero = h.Hero();
    h.Frames(30);
    // Fallen onto the ground row (row 4): bottom on the last dot of row 3.
    EXPECT_EQ(hero.m_bAirborne, 0);
    EXPECT_TRUE(OnCellFloor(hero));
    EXPECT_EQ(std::floor(hero.m_dBottom), cPlayHarness::CellY(4) - 1);
    const double yGround = std::floor(hero.m_dBottom);

    // Walking right: about 3 dots a frame, until the block at column 10.
    const double x0 = hero.m_dX;
    h.Hold(HARNESS_DIR_RIGHT, 0);
    h.Frames(20);
    EXPECT_GT(hero.m_dX - x0, 40);
    EXPECT_EQ(hero.m_nDir, 1);
    h.Frames(120);
    const double xWall = hero.m_dX;
    EXPECT_LT(hero.m_dRight, cPlayHarness::CellX(10));
    EXPECT_GT(hero.m_dRight, cPlayHarness::CellX(10) - 8);
    h.Frames(10);
    EXPECT_NEAR(hero.m_dX, xWall, 1e-9);   // stopped by the wall
    EXPECT_EQ(std::floor(hero.m_dBottom), yGround);

    // Jump with the button held while still pressing right: up, over the
    // wall's top and down onto it.
    h.Hold(HARNESS_DIR_RIGHT, 1);
    double yMin = hero.m_dBottom;
    for (int i = 0; i < 40; i++) {
        h.Frame();
        yMin = std::min(yMin, hero.m_dBottom);
    }
    EXPECT_LT(yMin, yGround - 48);
    h.Hold(0, 0);
    h.Frames(40);
    EXPECT_EQ(hero.m_bAirborne, 0);
    EXPECT_TRUE(OnCellFloor(hero));
    // Standing on the block, one cell higher.
    EXPECT_GT(hero.m_dX, cPlayHarness::CellX(10));
    EXPECT_EQ(std::floor(hero.m_dBottom), yGround - 32);
}

TEST(CharaDemo, PlacedCharacterPatrolsALedge) {
    cPlayHarness h({"......................",
                    "..H...................",
                    "..........C...........",
                    "........######........",
                    "......................",
                    "######################"});
    cFlow patrol;
    patrol.m_nTrigger = 0;
    patrol.m_vCmd.push_back(MoveCmd(CMD_MOVE_GROUNDTURN, DIR_FRONT, 20, 50));
    h.CharaTemplate().m_vFlow.push_back(patrol);
    h.CharaTemplate().m_nActRange = 3;
    h.SetUp();
    ASSERT_FALSE(h.Ctx().lstChara.empty());
    cChara& c = *h.Ctx().lstChara.front();
    int nTurns = 0;
    int nDir = c.m_nDir;
    double xMin = c.m_dX, xMax = c.m_dX;
    for (int i = 0; i < 400; i++) {
        h.Frame();
        if (c.m_nDir != nDir) {
            nTurns++;
            nDir = c.m_nDir;
        }
        xMin = std::min(xMin, c.m_dX);
        xMax = std::max(xMax, c.m_dRight);
    }
    EXPECT_GE(nTurns, 2);
    EXPECT_GT(xMax - xMin, 64);
    // It never walked off the ledge.
    EXPECT_GE(xMin, cPlayHarness::CellX(8) - 16);
    EXPECT_LE(xMax, cPlayHarness::CellX(14) + 16);
    EXPECT_EQ(c.m_bAirborne, 0);
    EXPECT_EQ(std::floor(c.m_dBottom), cPlayHarness::CellY(3) - 1);
}

}  // namespace
