// Block collision against cells written straight into the map: the pushes
// out of solid cells with their exact distances, fatal blocks, pass groups,
// landing while rising, jump pads and block items, and resting on a floor
// through whole frames at two judgement levels.
#include <gtest/gtest.h>

#include <cmath>

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"

namespace {

// A 20 x 8 stage with a floor; the margin cells above it (map rows 0-9) are
// where the judgement tests write their blocks.
std::vector<std::string> OpenStage() {
    return {"....................", "..H.................", "....................", "....................",
            "....................", "....................", "....................", "####################"};
}

cBlockData Block(uint8_t nHit) {
    cBlockData b;
    b.m_nGraphic = 1;
    b.m_nHit = nHit;
    return b;
}

void PutBlock(int nCol, int nRow, const cBlockData& b) {
    cMapCell* p = MapCellAt(MapCellIndex(nCol, nRow));
    ASSERT_NE(p, nullptr);
    p->SetBlock(b);
}

// A computer-operated character of 16 x 24 at (x, y) in map dots.
void Shape(cCharaBase& c, double x, double y, int nKind, int nGroup) {
    c.m_nKind = nKind;
    c.m_nGroup = nGroup;
    c.m_Data.m_nGiant = 1;
    c.m_nWidth = c.m_nBaseWidth = 16;
    c.m_nHeight = c.m_nBaseHeight = 24;
    c.m_bFlight = 0;
    c.m_nFlightBlock = 1;
    c.m_dX = x;
    c.m_dY = y;
    c.m_dRight = x + 15;
    c.m_dBottom = y + 23;
}

class BlockCollision : public ::testing::Test {
protected:
    BlockCollision() : h(OpenStage()) { h.SetUp(); }
    cPlayHarness h;
};

}  // namespace

TEST_F(BlockCollision, ExactPushesOutOfSolidCells) {
    cPlayScene& s = h.Scene();
    PutBlock(3, 3, Block(1));   // dots 96..127 both ways
    cChara c;
    // Falling with the bottom edge at 100.0: up by 100 mod 32 + 1 = 5.
    Shape(c, 100, 77, 1, 1);
    c.m_dVy = 1;
    EXPECT_EQ(s.JudgeBlockDown(&c), 0);
    EXPECT_EQ(c.m_dY, 72.0);
    EXPECT_EQ(c.m_dBottom, 95.0);
    EXPECT_EQ(c.m_bHitBottom, 1);
    EXPECT_EQ(c.m_dVy, 0.0);

    // Rising with the top at 70.0 inside a ceiling cell (64..95): down by 32 - 6 = 26.
    PutBlock(5, 2, Block(1));
    Shape(c, 165, 70, 1, 1);
    c.m_dVy = -1;
    EXPECT_EQ(s.JudgeBlockUp(&c), 0);
    EXPECT_EQ(c.m_dY, 96.0);
    EXPECT_EQ(c.m_bHitTop, 1);

    // A wall on the left with the left edge exactly on the cell boundary: a whole cell.
    Shape(c, 96, 100, 1, 1);
    EXPECT_EQ(s.JudgeBlockLeft(&c), 0);
    EXPECT_EQ(c.m_dX, 128.0);
    EXPECT_EQ(c.m_bHitLeft, 1);
    EXPECT_EQ(c.m_nLastSide, 0);

    // A wall on the right with the right edge at 100: back by 4 + 1.
    Shape(c, 85, 100, 1, 1);
    EXPECT_EQ(s.JudgeBlockRight(&c), 0);
    EXPECT_EQ(c.m_dRight, 95.0);
    EXPECT_EQ(c.m_nLastSide, 1);
}

TEST_F(BlockCollision, InstantDeathStopsCharactersAndKillsTheHero) {
    cPlayScene& s = h.Scene();
    PutBlock(3, 3, Block(2));
    cChara c;
    Shape(c, 96, 100, 1, 1);
    EXPECT_EQ(s.JudgeBlockLeft(&c), 0);   // like a wall
    EXPECT_EQ(c.m_dX, 128.0);

    cHero& hero = h.Hero();
    const double x = hero.m_dX, y = hero.m_dY;
    PutBlock(hero.m_nCellL, TruncDot(hero.m_dY) >> 5, Block(2));
    EXPECT_EQ(s.JudgeBlockLeft(&hero), 2);
    EXPECT_EQ(hero.m_dX, x);   // nothing moved
    EXPECT_EQ(hero.m_dY, y);

    // A character that dies on touching blocks dies on a solid one too.
    Shape(c, 96, 100, 1, 1);
    PutBlock(3, 3, Block(1));
    c.m_bFlight = 1;
    c.m_nFlightBlock = 2;
    EXPECT_EQ(s.JudgeBlockLeft(&c), 2);
    // One that passes through blocks is never judged.
    c.m_nFlightBlock = 0;
    EXPECT_EQ(s.JudgeBlockX(&c), 0);
    EXPECT_EQ(c.m_dX, 96.0);
}

TEST_F(BlockCollision, PassGroupIsEmptyForThatGroupOnly) {
    cPlayScene& s = h.Scene();
    struct CASE {
        uint8_t nPass;
        int nGroup;
        double dExpectX;
    } const acase[] = {{1, 1, 96.0}, {1, 2, 128.0}, {255, 7, 128.0}, {255, 0, 128.0}};
    for (const CASE& t : acase) {
        cBlockData b = Block(1);
        b.m_nPassGroup = t.nPass;
        PutBlock(3, 3, b);
        cChara c;
        Shape(c, 96, 100, 1, t.nGroup);
        s.JudgeBlockLeft(&c);
        EXPECT_EQ(c.m_dX, t.dExpectX) << "pass group " << int(t.nPass) << ", group " << t.nGroup;
    }
}

TEST_F(BlockCollision, LandingWhileRisingFollowsTheSystemSwitch) {
    cPlayScene& s = h.Scene();
    PutBlock(3, 3, Block(1));
    for (int bOn = 0; bOn <= 1; bOn++) {
        h.System().m_bLandWhileRising = bOn;
        cChara c;
        Shape(c, 100, 77, 1, 1);
        c.m_dVy = -2;
        EXPECT_EQ(s.JudgeBlockDown(&c), 0);
        EXPECT_EQ(c.m_dY, bOn ? 72.0 : 77.0) << "switch " << bOn;
    }
}

// An instant-death cell under a computer character is a floor like a solid
// one, with the same rising test: still moving up it passes unless the
// system lets it land while rising. Cell (3, 3) spans y 96..127; the 24-dot
// character at y 77 has its bottom at 100, so landing moves it up by
// 100 mod 32 + 1 = 5 to y 72.
TEST_F(BlockCollision, InstantDeathFloorTakesTheRisingTestForCharacters) {
    cPlayScene& s = h.Scene();
    struct CASE {
        uint8_t nHit;
        int bLandWhileRising;
        double dVy, dExpectY;
    } const acase[] = {
        {2, 0, -2, 77.0},   // rising: passes
        {2, 1, -2, 72.0},   // rising, the switch on: lands
        {2, 0, 2, 72.0},    // falling: lands
        {1, 0, -2, 77.0},   // the solid cell the same way
    };
    for (const CASE& t : acase) {
        PutBlock(3, 3, Block(t.nHit));
        h.System().m_bLandWhileRising = t.bLandWhileRising;
        cChara c;
        Shape(c, 100, 77, 1, 1);
        c.m_dVy = t.dVy;
        EXPECT_EQ(s.JudgeBlockDown(&c), 0);
        EXPECT_EQ(c.m_dY, t.dExpectY) << "kind " << int(t.nHit) << " switch " << t.bLandWhileRising << " vy "
                                      << t.dVy;
        EXPECT_EQ(c.m_bHitBottom, t.dExpectY == 72.0 ? 1 : 0);
    }
}

TEST_F(BlockCollision, SamplesAreClampedIntoTheMap) {
    cPlayScene& s = h.Scene();
    // An object half outside the map still meets the border cells.
    PutBlock(0, 3, Block(1));
    cChara c;
    Shape(c, -8, 100, 1, 1);
    EXPECT_EQ(MapCellKind(s.FindHitCell(&c, -8, 100, -8, 123), 1), 1);
    // A tall object: every sample stays inside.
    c.m_nHeight = c.m_nBaseHeight = 400;
    c.m_dBottom = c.m_dY + 399;
    c.m_Data.m_nGiant = 0;   // read as 1
    EXPECT_GE(s.FindFootCell(&c), 0);
    EXPECT_LT(s.FindFootCell(&c), static_cast<int>(vecMapCell().size()));
}

TEST(BlockRest, HeroRestsOnTheFloorAtJudgeLevels1And5) {
    for (int nLevel : {1, 5}) {
        cPlayHarness h(OpenStage());
        h.Stage().m_nJudgeLevel = nLevel;
        h.SetUp();
        h.Frames(90);
        const cHero& hero = h.Hero();
        EXPECT_EQ(TruncDot(hero.m_dBottom), cPlayHarness::CellY(7) - 1)
            << "level " << nLevel;
        EXPECT_EQ(hero.m_bAirborne, 0) << "level " << nLevel;
    }
}

TEST(BlockJumpPad, LaunchesOnEveryLandingWithAnUnsignedHeight) {
    cPlayHarness h({"..........", "..H.......", "..........", "..........", "##JJJJ####"});
    cBlockData pad = h.SolidBlock();
    pad.m_nEffect = 1;
    pad.m_nEffectValue = 0x7F02;   // height 2 hbl in the low byte
    h.DefineBlock('J', pad);
    h.SetUp();
    h.Frames(240);
    int nLaunches = 0;
    for (int n : h.Host().vecSound) nLaunches += n == 10;
    EXPECT_GE(nLaunches, 3);

    // A low byte of 0xFF is a height of 255, not -1: the speed stays finite.
    cPlayHarness h2({"..........", "..H.......", "..........", "..........", "##JJJJ####"});
    pad.m_nEffectValue = -1;
    h2.DefineBlock('J', pad);
    h2.SetUp();
    h2.Frames(60);
    EXPECT_TRUE(std::isfinite(h2.Hero().m_dY));
    EXPECT_TRUE(std::isfinite(h2.Hero().m_dVy));
}

// The pad's height is the low byte of its value read unsigned: 0x12C0 is
// 0xC0 = 192 hbl = 3072 dots (read signed it would be -64, no height at
// all). A launch of speed v under gravity g per step rises -(v^2 + g v) / 2g
// (the rise v + g, v + 2g, ... up to 0), so the launch speed must satisfy
// v^2 + g v = 2 g x 3072; a height of 127 hbl, the most a signed byte
// holds, would give 2 g x 2032.
TEST(BlockJumpPad, TheHeightIsTheLowByteReadUnsigned) {
    cPlayHarness h({"..........", "..H.......", "..........", "..........", "##JJJJ####"});
    cBlockData pad = h.SolidBlock();
    pad.m_nEffect = 1;
    pad.m_nEffectValue = 0x12C0;
    h.DefineBlock('J', pad);
    h.SetUp();
    cHero& hero = h.Hero();
    hero.m_bFlight = 0;
    hero.m_nBlockSpeedTimer = 0;
    hero.m_nGroundCell = MapCellIndex(13, 14);   // stage cell (3, 4): a pad
    ASSERT_EQ(MapCellAt(hero.m_nGroundCell)->m_nEffect, 1);
    h.Host().vecSound.clear();
    EXPECT_EQ(h.Scene().ApplyBlockEffect(&hero), 0);
    EXPECT_EQ(h.Host().vecSound, std::vector<int>{10});
    const double g = h.Stage().m_dGravityStep;
    ASSERT_GT(g, 0);
    const double v = hero.m_dVy;
    EXPECT_LT(v, 0);
    EXPECT_NEAR(v * v + g * v, 2 * g * 3072, 1e-6);
}

TEST(BlockItem, GivenOnceThenNotFor60FramesUnlessTheCellChanges) {
    cPlayHarness h({"..........", "..H.......", "##########"});
    h.SetUp();
    cItemData item;
    item.m_nGraphic = 1;
    item.m_nSound = 5;   // sound-table number 21
    h.Stage().m_vItemPalette.push_back(item);
    cPlayScene& s = h.Scene();
    cHero& hero = h.Hero();
    cBlockData giver = h.SolidBlock();
    giver.m_nItemType = 2;
    giver.m_nItemNum = 1;
    const int nCellA = MapCellIndex(12, 12), nCellB = MapCellIndex(13, 12);
    MapCellAt(nCellA)->SetBlock(giver);
    MapCellAt(nCellB)->SetBlock(giver);
    const int b = h.Stage().m_nSubStep;
    auto given = [&]() {
        int n = 0;
        for (int k : h.Host().vecSound) n += k == 21;
        return n;
    };
    hero.m_bFlight = 0;
    hero.m_bAirborne = 0;
    hero.m_nGroundCell = hero.m_nPrevGroundCell = nCellA;
    hero.m_nBlockItemWait = 0;
    EXPECT_EQ(s.GiveBlockItem(&hero), 0);
    EXPECT_EQ(given(), 1);
    EXPECT_EQ(hero.m_nBlockItemWait, 60 * b - 1);
    for (int i = 0; i < 10; i++) s.GiveBlockItem(&hero);
    EXPECT_EQ(given(), 1);
    EXPECT_EQ(hero.m_nBlockItemWait, 60 * b - 11);
    // Standing on another cell ends the wait; the next call gives again.
    hero.m_nGroundCell = nCellB;
    s.GiveBlockItem(&hero);
    EXPECT_EQ(hero.m_nBlockItemWait, 0);
    s.GiveBlockItem(&hero);
    EXPECT_EQ(given(), 2);
    // Leaving the ground ends it too.
    hero.m_bAirborne = 1;
    hero.m_nPrevGroundCell = nCellB;
    s.GiveBlockItem(&hero);
    EXPECT_EQ(hero.m_nBlockItemWait, 0);
}
