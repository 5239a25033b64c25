// The warp: the input direction with no key held, and the screen place a
// warp to screen coordinates pins until a movement command lets it go.
#include <gtest/gtest.h>

#include "FlowFixture.h"
#include "play/CharaDraw.h"
#include "play/PlayHarness.h"
#include "stage/MoveVocabulary.h"

namespace {

const std::vector<std::string> kOpenMap = {
    "..............................",
    "......H.......................",
    "##############################",
};

// A giant's ground: the hero, a character at stage cell (14, 3), the floor.
const std::vector<std::string> kGiantMap = {
    "..............................",
    "..............................",
    "..............................",
    "......H.......C...............",
    "##############################",
};

cEdCmd WarpCmd(int nMode, int nDir, int nDist) {
    cEdCmd c = cFlowFixture::MakeCmd(CMD_WARP);
    NewEdMove(c.m_pMove);
    c.m_pMove->m_nMode = static_cast<uint8_t>(nMode);
    c.m_pMove->m_nDir = static_cast<uint8_t>(nDir);
    c.m_pMove->m_nDist = static_cast<int16_t>(nDist);
    return c;
}

void SetInputDir(cPlayHarness& h, uint16_t wDir) {
    h.Input().m_wDir = wDir;
    h.Ctx().Input.m_wDir = wDir;
    if (h.Ctx().lpInput) h.Ctx().lpInput->m_wDir = wDir;
}

TEST(Warp, InputDirectionWithoutAKeyGoesToTheFront) {
    // 2 hbl = 32 dots. No key: the front (right when facing right, left when
    // facing left); a key held decides against the facing.
    struct CASE {
        int nFacing;
        uint16_t wDir;   // bit 0 left, bit 1 right
        double dMove;
    } cases[] = {{1, 0, 32}, {0, 0, -32}, {0, 2, 32}, {1, 1, -32}};
    for (const CASE& c : cases) {
        cPlayHarness h(kOpenMap);
        h.HeroTemplate().m_bFixDir = 0;
        h.SetUp();
        cHero& hero = h.Hero();
        hero.m_nDir = c.nFacing;
        SetInputDir(h, c.wDir);
        const double x = hero.m_dX, y = hero.m_dY;
        cEdCmd w = WarpCmd(0, DIR_INPUT, 2);
        cFlowFixture::Exec(&hero, w);
        EXPECT_EQ(hero.m_dX, x + c.dMove) << c.nFacing << " " << c.wDir;
        EXPECT_EQ(hero.m_dY, y) << c.nFacing << " " << c.wDir;
    }
}

TEST(Warp, ScreenCoordinatesPinTheScreenPlaceUntilAMoveClearsIt) {
    cPlayHarness h(kOpenMap);
    h.SetUp();
    cHero& hero = h.Hero();
    SetInputDir(h, 0);
    cEdCmd w = WarpCmd(5, 0, 0);
    w.m_pMove->m_nCoord = 2;   // screen coordinates
    w.m_pMove->m_nTargetXBl = 4;
    w.m_pMove->m_nTargetYBl = 1;
    cFlowFixture::Exec(&hero, w);
    ASSERT_EQ(hero.m_bScreenLockX, 1);
    ASSERT_EQ(hero.m_bScreenLockY, 1);
    const int nLeft = hero.m_rcScreen.left, nTop = hero.m_rcScreen.top;
    EXPECT_EQ(hero.m_nScreenLockLeft, nLeft);
    EXPECT_EQ(hero.m_nScreenLockTop, nTop);

    // The view scrolls 64 dots right and 32 down: the drawing keeps the
    // pinned place (right = left + frame width - 1).
    h.Scene().m_ScrollX.m_dCam += 64;
    h.Scene().m_ScrollY.m_dCam += 32;
    DrawCharaBody(&hero, nullptr, 1);
    EXPECT_EQ(hero.m_rcScreen.left, nLeft);
    EXPECT_EQ(hero.m_rcScreen.top, nTop);
    EXPECT_EQ(hero.m_rcScreen.right, nLeft + hero.m_nFrameW - 1);
    EXPECT_EQ(hero.m_rcScreen.bottom, nTop + hero.m_nFrameH - 1);

    // A movement command lets it go: drawn where the view puts it, 64 dots
    // further left and 32 up.
    cEdCmd stop = cFlowFixture::MakeCmd(CMD_MOVE_CANCEL);
    cFlowFixture::Exec(&hero, stop);
    DrawCharaBody(&hero, nullptr, 1);
    EXPECT_EQ(hero.m_rcScreen.left, nLeft - 64);
    EXPECT_EQ(hero.m_rcScreen.top, nTop - 32);

    // A warp of another kind clears the pin too, and does not set it.
    hero.m_bScreenLockX = hero.m_bScreenLockY = 1;
    cEdCmd rel = WarpCmd(5, 0, 0);
    rel.m_pMove->m_nCoord = 0;
    cFlowFixture::Exec(&hero, rel);
    EXPECT_EQ(hero.m_bScreenLockX, 0);
    EXPECT_EQ(hero.m_bScreenLockY, 0);
}

TEST(Warp, TheMovementCommandsThatLetThePinGo) {
    // Straight, ground turn-back (walking), circle (radius 2 hbl), charge,
    // avoid leaving the screen, cancel and jump clear both flags; homing,
    // change of facing and a plain wait leave them.
    struct CASE {
        int nKind;
        bool bClears;
    } cases[] = {
        {CMD_MOVE_STRAIGHT, true}, {CMD_MOVE_GROUNDTURN, true}, {CMD_MOVE_CIRCLE, true},
        {CMD_MOVE_CHARGE, true},   {CMD_MOVE_AVOID, true},      {CMD_MOVE_CANCEL, true},
        {CMD_JUMP, true},          {CMD_MOVE_HOMING, false},    {CMD_DIRECTION, false},
        {CMD_WAIT, false},
    };
    for (const CASE& c : cases) {
        cPlayHarness h(kOpenMap);
        h.SetUp();
        cHero& hero = h.Hero();
        hero.m_bFlight = 0;
        cEdCmd cmd = cFlowFixture::MakeCmd(c.nKind, {}, 10);
        NewEdMove(cmd.m_pMove);
        cmd.m_pMove->m_nHoming = 2;   // the circle's radius
        hero.m_bScreenLockX = hero.m_bScreenLockY = 1;
        cFlowFixture::Exec(&hero, cmd);
        EXPECT_EQ(hero.m_bScreenLockX, c.bClears ? 0 : 1) << c.nKind;
        EXPECT_EQ(hero.m_bScreenLockY, c.bClears ? 0 : 1) << c.nKind;
    }
}

}  // namespace

namespace {

// A walking character of factor 2 (body 32 x 48) warped to block
// coordinates (12, 1): the cell's corner is at map (704, 352). Its centre
// stays on the cell's (704 + 8.5 - 8 = 704.5) and it stands on the cell's
// floor: y = 352 + 8 - 24 = 336, bottom 336 + 47 = 383.
TEST(Warp, AGiantWarpedToACellStandsOnItsFloor) {
    cPlayHarness h(kGiantMap);
    h.CharaTemplate().m_nGiant = 2;
    h.SetUp();
    ASSERT_FALSE(h.Ctx().lstChara.empty());
    cChara& c = *h.Ctx().lstChara.front();
    ASSERT_EQ(c.m_nHeight, 48);
    EXPECT_DOUBLE_EQ(c.m_dBottom, 447);   // placed standing on the ground
    cEdCmd w = WarpCmd(5, 0, 0);
    w.m_pMove->m_nCoord = 1;   // block coordinates
    w.m_pMove->m_nTargetXBl = 12;
    w.m_pMove->m_nTargetYBl = 1;
    cFlowFixture::Exec(&c, w);
    EXPECT_DOUBLE_EQ(c.m_dX, 704.5);
    EXPECT_DOUBLE_EQ(c.m_dY, 336);
    EXPECT_DOUBLE_EQ(c.m_dBottom, 383);
    EXPECT_DOUBLE_EQ(c.m_dRight, 704.5 + 31);
}

}  // namespace

namespace {

// The same warp with the characters' body box centred in its cell (the
// stage's alignment 0: offset (32 - 24) / 2 = 4) and under the rule that
// keeps the footing by the box. Warped to cell row 1 (map y 352) the giant
// keeps its footing by its collision height, 24 dots a factor step, unless
// the box rule is on: then by its frame less its box offset, 32 - 4 = 28.
//   bottom-aligned: 352 + 8 - 24 = 336 (either way: 32 - 8 = 24);
//   centred:        352 + 4 - 24 = 332;
//   centred, box rule: 352 + 4 - 28 = 328.
TEST(Warp, AGiantWarpedToACellKeepsItsFootingByTheRule) {
    struct CASE {
        int nAlign, bFootBox;
        double dY;
    };
    const CASE cases[] = {{1, 0, 336}, {1, 1, 336}, {0, 0, 332}, {0, 1, 328}};
    for (const CASE& k : cases) {
        SCOPED_TRACE(testing::Message() << "align " << k.nAlign << ", box rule " << k.bFootBox);
        cPlayHarness h(kGiantMap);
        h.CharaTemplate().m_nGiant = 2;
        // The stage's defaults, kept by the harness once it has a width.
        h.Stage().SetDefault();
        h.Stage().m_nWidth = 1;
        h.Stage().m_bShowStartBanner = 0;
        h.Stage().m_bShowStartBanner2 = 0;
        h.Stage().m_nCharaBoxAlign = k.nAlign;
        h.System().m_bRuleScaleFootBox = k.bFootBox;
        h.SetUp();
        ASSERT_FALSE(h.Ctx().lstChara.empty());
        cChara& c = *h.Ctx().lstChara.front();
        cEdCmd w = WarpCmd(5, 0, 0);
        w.m_pMove->m_nCoord = 1;
        w.m_pMove->m_nTargetXBl = 12;
        w.m_pMove->m_nTargetYBl = 1;
        cFlowFixture::Exec(&c, w);
        EXPECT_DOUBLE_EQ(c.m_dX, 704.5);
        EXPECT_DOUBLE_EQ(c.m_dY, k.dY);
        EXPECT_DOUBLE_EQ(c.m_dBottom, k.dY + 47);
    }
}

}  // namespace
