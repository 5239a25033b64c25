// Messages (escapes, duration, anchoring, keep-inside, zoom), effect
// animations, pictures, character-effect runs, screen-effect runs and the
// screen colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/ImageSurfaces.h"
#include "play/Chara.h"
#include "play/CharaEffectRun.h"
#include "play/EffectAnime.h"
#include "play/EffectRuns.h"
#include "play/Hero.h"
#include "play/Message.h"
#include "play/PlayContext.h"
#include "play/PlayDraw.h"
#include "play/PlayScene.h"
#include "play/ScrEffect.h"
#include "project/Database.h"
#include "project/GameFonts.h"
#include "project/SystemData.h"
#include "play/PlayHarness.h"
#include "support/DDTestSupport.h"

namespace {

// ---- escapes ----
struct ESCAPECASE {
    const char* pszIn;
    const char* pszOut;
};

TEST(MessageEscapes, TableOfEscapes) {
    std::vector<int32_t> common(1001, 0), stage(1001, 0);
    common[12] = -45;
    stage[5] = 7;
    stage[1000] = 3;
    common[3] = 0;
    const ESCAPECASE cases[] = {
        {"#C12.", "-45"},
        {"#C12_4Z.", "-0045"},
        {"#C12_4.", "-  45"},
        {"#S5_3P.", "+  7"},
        {"a#c12b", "a-45b"},          // a letter ends the escape and stays
        {"#S1000.", "3"},             // the spare stage variable exists
        {"#S1001.", "#S1001."},       // beyond every variable: as written
        {"#S0.", "#S0."},             // numbers start at 1
        {"#C3_3.", "  0"},            // the last digit is never a blank
        {"#", "#"},                   // a lone # at the end
        {"#X1.", "#X1."},             // no variable kind
        {"#C.", "#C."},               // no digits
        {"#C99999999999999999999.", "#C99999999999999999999."},   // saturates, stays out of range
        {"\x82\x23#S5.", "\x82\x23" "7"},   // a double-byte character whose trail byte is '#'
    };
    for (const ESCAPECASE& c : cases) {
        std::string s = c.pszIn;
        ExpandMessageText(s, common.data(), 1001, stage.data(), 1001);
        EXPECT_EQ(s, c.pszOut) << c.pszIn;
    }
}

TEST(MessageEscapes, ShortVariableListsLeaveTheEscape) {
    std::vector<int32_t> common(1000, 1), stage(10, 2);
    std::string s = "#C1000.#S10.#S9.";
    ExpandMessageText(s, common.data(), 1000, stage.data(), 10);
    EXPECT_EQ(s, "#C1000.#S10.2");
}

// ---- messages ----
class MessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        aFont[1].m_nCellWidth = 16;
        aFont[1].m_nLineHeight = 16;
        ctx.lpPlayScene = &scene;
    }
    void TearDown() override { ctx.lpPlayScene = nullptr; }
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cPlayScene scene;
};

TEST_F(MessageTest, SizeOfATextIsCellsPlusMargin) {
    int w = 0, h = 0;
    GetMessageTextSize(&w, &h, "abc\nde");
    EXPECT_EQ(w, 3 * 16 + 2);
    EXPECT_EQ(h, 2 * 16 + 2);
}

TEST_F(MessageTest, TimedMessageLastsItsFramesAndEndsAtTheNext) {
    MESSAGESETUP s;
    s.lpszText = "hi";
    s.nDurMode = MESDUR_TIME;
    s.nFrames = 30;
    cMessage m(s);
    for (int i = 1; i <= 30; i++) ASSERT_EQ(m.Update(nullptr, 0), 0) << i;
    EXPECT_EQ(m.Update(nullptr, 0), 1);
}

TEST_F(MessageTest, FrozenTimedMessageCountsOnlyWhenAsked) {
    MESSAGESETUP s;
    s.lpszText = "hi";
    s.nFrames = 2;
    cMessage still(s);
    for (int i = 0; i < 10; i++) EXPECT_EQ(still.Update(nullptr, 1), 0);
    s.bCountWhileFrozen = 1;
    cMessage counting(s);
    EXPECT_EQ(counting.Update(nullptr, 1), 0);
    EXPECT_EQ(counting.Update(nullptr, 1), 0);
    EXPECT_EQ(counting.Update(nullptr, 1), 1);
}

TEST_F(MessageTest, KeepInsideTheScreen) {
    MESSAGESETUP s;
    s.lpszText = "a";   // 18 x 18
    s.nDurMode = MESDUR_STAGE;
    s.nPosMode = 7;
    s.bFixed = 1;
    s.bKeepOnScreen = 1;
    s.nOffX = 630;   // screen cells: x = 0 x 32 + 630
    s.nOffY = 5;
    cMessage m(s);
    m.m_nWidth = 20;
    m.Update(nullptr, 0);
    EXPECT_EQ(m.GetX(), 620);
    EXPECT_EQ(m.GetY(), 20);   // y <= 19 becomes 20
    s.nOffX = -4;
    s.nOffY = 470;
    cMessage m2(s);
    m2.Update(nullptr, 0);
    EXPECT_EQ(m2.GetX(), 0);
    EXPECT_EQ(m2.GetY(), 480 - 18);
}

TEST_F(MessageTest, CentredMessageScrollsWithTheStage) {
    MESSAGESETUP s;
    s.lpszText = "ab";   // 34 x 18
    s.nDurMode = MESDUR_STAGE;
    s.nPosMode = 0;
    cMessage m(s);
    m.Update(nullptr, 0);
    EXPECT_EQ(m.GetX(), 320 - 17);
    EXPECT_EQ(m.GetY(), 240 - 9);
    scene.m_ScrollX.m_dCam = 100;
    scene.m_ScrollY.m_dCam = 10;
    m.Update(nullptr, 0);
    EXPECT_EQ(m.GetX(), 320 - 17 - 100);
    EXPECT_EQ(m.GetY(), 240 - 9 - 10);
}

TEST_F(MessageTest, FixedStageMessageKeepsItsFirstScreenPosition) {
    scene.m_ScrollX.m_nCellOrigin = 10;
    scene.m_ScrollY.m_nCellOrigin = 10;
    scene.m_ScrollX.m_dCam = 320;
    scene.m_ScrollY.m_dCam = 320;
    MESSAGESETUP s;
    s.lpszText = "ab";
    s.nDurMode = MESDUR_STAGE;
    s.nPosMode = 8;
    s.nCellX = 2;
    s.nCellY = 1;
    s.bFixed = 1;
    cMessage m(s);
    m.Update(nullptr, 0);
    EXPECT_EQ(m.GetX(), 12 * 32 - 320);
    EXPECT_EQ(m.GetY(), 11 * 32 - 320);
    scene.m_ScrollX.m_dCam = 400;
    m.Update(nullptr, 0);
    EXPECT_EQ(m.GetX(), 12 * 32 - 320);
    s.bFixed = 0;
    cMessage loose(s);
    loose.Update(nullptr, 0);
    EXPECT_EQ(loose.GetX(), 12 * 32 - 400);
}

TEST_F(MessageTest, AnchoredTextEndsWhenItsCharacterIsGone) {
    auto hero = std::make_unique<cHero>();
    hero->m_nId = 7;
    hero->m_rcScreen = {100, 200, 131, 231};
    ctx.vecPlayer.push_back(std::move(hero));
    MESSAGESETUP s;
    s.lpszText = "ab";   // 34 x 18
    s.nPosMode = 4;      // above the hero
    s.nAnchorId = 7;
    s.nDurMode = MESDUR_STAGE;
    cMessage m(s);
    EXPECT_EQ(m.Update(nullptr, 0), 0);
    EXPECT_EQ(m.GetX(), 116 - 17);
    EXPECT_EQ(m.GetY(), 200 - 18);
    ctx.vecPlayer.clear();
    EXPECT_EQ(m.Update(nullptr, 0), 1);
    // An icon keeps its last place instead.
    s.nMode = MESMODE_1UP;
    s.nAnchorId = 99;
    cMessage icon(s);
    EXPECT_EQ(icon.Update(nullptr, 0), 0);
}

// A message over a character finds it by its object id, dying or not: over
// a defeated character it stays until the character is taken out of the
// stage after its defeat effect. The hero of a stage has object id 0.
TEST_F(MessageTest, AnchoredTextStaysOverADefeatedCharacterUntilItIsRemoved) {
    auto hero = std::make_unique<cHero>();
    hero->m_nId = 0;
    hero->m_rcScreen = {100, 200, 131, 231};
    ctx.vecPlayer.push_back(std::move(hero));
    auto chara = std::make_unique<cChara>();
    chara->m_nId = 5;
    chara->m_rcScreen = {300, 100, 331, 131};
    chara->m_bDead = 1;
    ctx.lstChara.push_back(std::move(chara));
    MESSAGESETUP s;
    s.lpszText = "ab";   // 34 x 18
    s.nDurMode = MESDUR_STAGE;
    s.nPosMode = 4;      // above the hero
    s.nAnchorId = 0;
    cMessage overHero(s);
    s.nPosMode = 1;      // above its own character
    s.nAnchorId = 5;
    cMessage overDying(s);
    EXPECT_EQ(overHero.Update(nullptr, 0), 0);
    EXPECT_EQ(overHero.GetX(), 116 - 17);   // centre 100 + 32 / 2, less half of 34
    EXPECT_EQ(overHero.GetY(), 200 - 18);
    EXPECT_EQ(overDying.Update(nullptr, 0), 0);
    EXPECT_EQ(overDying.GetX(), 316 - 17);
    EXPECT_EQ(overDying.GetY(), 100 - 18);
    ctx.lstChara.clear();   // removed once its defeat effect has ended
    EXPECT_EQ(overDying.Update(nullptr, 0), 1);
    EXPECT_EQ(overHero.Update(nullptr, 0), 0);
    ctx.vecPlayer.clear();
}

// The rising icon of a picked-up item is its graphic drawn 16 x 16 by its
// graphic kind. Kind 2 copies the 16-dot cell of the small item sheet at
// x = (n div 15) x 32, y = (n mod 15) x 16; kind 0 shrinks block chip n, the
// 32-dot cell at x = (n div 15) x 32, y = (n mod 15) x 32 of the block
// sheet. The small sheet here colours the cell of column c, row r (32 x 16)
// with 1 + 15c + r, the block sheet its cells (32 x 32) with 130 + 15c + r.
TEST_F(MessageTest, PickedUpItemIconIsTheCellOfItsGraphicKind) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 64, 64));
    constexpr int SLOT_BLOCK = 2, SLOT_ITEM_MINI = 42;
    auto Sheet = [](int nSlot, int w, int h, int nCellH, int nBase) {
        DDSURFACEDATA* sd = &Off_Img[nSlot];
        DDReleaseSurface(sd);
        ASSERT_TRUE(DDCreateSurface(sd, w, h, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
        std::vector<int> v;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) v.push_back(nBase + 15 * (x / 32) + y / nCellH);
        DDPutIndices(sd, w, h, v);
    };
    Sheet(SLOT_ITEM_MINI, 256, 240, 16, 1);
    Sheet(SLOT_BLOCK, 64, 480, 32, 130);
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 64, 64));
    struct CASE {
        int nKind, n, nColour;
    } const cases[] = {
        {2, 17, 1 + 15 * 1 + 2},    // column 1, row 2: (32, 32)
        {2, 5, 1 + 5},              // column 0, row 5: (0, 80)
        {2, 44, 1 + 15 * 2 + 14},   // column 2, row 14: (64, 224)
        {0, 16, 130 + 15 * 1 + 1},  // chip 16: (32, 32) of the block sheet
    };
    for (const CASE& c : cases) {
        DDClear(&dst, 16);
        MESSAGESETUP s;
        s.nMode = MESMODE_ICON;
        s.nIconKind = c.nKind;
        s.nIconCell = c.n;
        s.nPosMode = 7;   // screen dots (8, 24)
        s.nOffX = 8;
        s.nOffY = 24;
        s.nDurMode = MESDUR_TIME;
        s.nFrames = 30;   // first update: 29 left, raised (30 - 29) / 4 = 0
        cMessage m(s);
        ASSERT_EQ(m.Update(&dst, 0), 0);
        const std::string strCase = "kind " + std::to_string(c.nKind) + " graphic " + std::to_string(c.n);
        EXPECT_EQ(DDIndexAt(&dst, 8, 24), c.nColour) << strCase;
        EXPECT_EQ(DDIndexAt(&dst, 23, 39), c.nColour) << strCase;
        EXPECT_EQ(DDIndexAt(&dst, 24, 24), 16) << strCase;   // 16 wide
        EXPECT_EQ(DDIndexAt(&dst, 8, 40), 16) << strCase;    // 16 high
    }
    DDReleaseSurface(&dst);
    DDReleaseSurface(&Off_Img[SLOT_ITEM_MINI]);
    DDReleaseSurface(&Off_Img[SLOT_BLOCK]);
    DDEnd();
}

TEST_F(MessageTest, KeyMessageZoomsInForNineUpdates) {
    MESSAGESETUP s;
    s.lpszText = "ab";
    s.nDurMode = MESDUR_KEY;
    s.bWindow = 1;
    cMessage m(s);
    EXPECT_EQ(m.m_bZoomIn, 1);
    for (int i = 1; i <= 12; i++) m.Update(nullptr, 1);
    EXPECT_EQ(m.m_dZoom, 12);
    s.bNoZoom = 1;
    cMessage cont(s);
    EXPECT_EQ(cont.m_bZoomIn, 0);
    s.bNoZoom = 0;
    s.nDurMode = MESDUR_TIME;
    cMessage timed(s);
    EXPECT_EQ(timed.m_bZoomIn, 0);
}

TEST_F(MessageTest, LiveMessageFollowsItsVariable) {
    MESSAGESETUP s;
    s.lpszText = "#S2.";
    s.bExpand = 1;
    s.bLive = 1;
    s.nInterval = 1;
    s.nDurMode = MESDUR_STAGE;
    scene.m_vecStageVar[2] = 5;
    cMessage m(s);
    EXPECT_EQ(m.m_strText, "5");
    scene.m_vecStageVar[2] = 123;
    m.Update(nullptr, 0);
    EXPECT_EQ(m.m_strText, "123");
    EXPECT_EQ(m.m_nWidth, 3 * 16 + 2);
}

// ---- effect animations and pictures ----
class EffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.m_vEffect.resize(3);
        db.m_vEffect[1].m_nWidth = 33;
        db.m_vEffect[1].m_nHeight = 33;
        db.m_vEffect[2].m_bEnlarge = 1;
        db.m_vEffect[2].m_vFrame.resize(2);   // two frames of 1/10 s
        ctx.lpDatabase = &db;
        ctx.lpPlayScene = &scene;
    }
    void TearDown() override { ctx.lpPlayScene = nullptr; }
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cDatabase db;
    cPlayScene scene;
};

TEST(ZoomSizeTest, RoundsHalfAwayFromZero) {
    EXPECT_EQ(ZoomSize(33, 50), 17);
    EXPECT_EQ(ZoomSize(33, 150), 50);
    EXPECT_EQ(ZoomSize(32, 100), 32);
    EXPECT_EQ(ZoomSize(33, 0), 0);
    EXPECT_EQ(ZoomSize(33, -20), 0);
}

TEST_F(EffectTest, AnimationEndsAfterItsFrames) {
    cEffectAnime e;
    e.Set(2, 0, 0, 32, 32, 0);
    EXPECT_EQ(e.m_bScaled, 0);
    int n = 0;
    while (e.Draw(nullptr, 0) == 0 && n < 100) n++;
    EXPECT_EQ(n, 12 - 1);   // two frames of 6 ticks; the end code comes on the 12th tick
    cEffectAnime frozen;
    frozen.Set(2, 0, 0, 32, 32, 0);
    for (int i = 0; i < 100; i++) ASSERT_EQ(frozen.Draw(nullptr, 1), 0);
}

TEST_F(EffectTest, HitEffectBetweenSeparateBoxesSitsAtTheOriginJittered) {
    ctx.Random.Seed(1);
    cEffectAnime e;
    e.SetAtOverlap(2, {0, 0, 10, 10}, {100, 100, 120, 120}, 1);
    EXPECT_GE(e.m_dX, 0 + 0 - 16 - 4);
    EXPECT_LE(e.m_dX, 0 + 0 - 16 + 4);
    EXPECT_GE(e.m_dY, -16 - 4);
    EXPECT_LE(e.m_dY, -16 + 4);
    cEffectAnime big;
    big.SetAtOverlap(2, {0, 0, 63, 63}, {32, 32, 95, 95}, 2);
    EXPECT_EQ(big.m_nWidth, 64);
    EXPECT_EQ(big.m_bScaled, 1);
    EXPECT_NEAR(big.m_dX, 32 + 16 - 32, 8);
}

TEST_F(EffectTest, PictureZoomAndCentredPlace) {
    cPictureRun p;
    PICTURESETUP s;
    s.nPicWidth = 33;
    s.nPicHeight = 20;
    s.nZoom = 150;
    s.nDurMode = 2;
    s.nFrames = 1;
    p.Set(s);
    EXPECT_EQ(p.m_nWidth, 50);
    EXPECT_EQ(p.m_nHeight, 30);
    EXPECT_EQ(p.m_bScaled, 1);
    EXPECT_EQ(p.Draw(nullptr, nullptr, 0), 0);
    EXPECT_EQ(p.m_nScreenX, 320 - 25);
    EXPECT_EQ(p.m_nScreenY, 240 - 15);
    EXPECT_EQ(p.Draw(nullptr, nullptr, 0), 1);
    // A zoom that makes the size pass the 32-bit range holds it at the
    // largest (640 x 671088640 % is 2^32 dots: wrapped, it was 0).
    cPictureRun huge;
    s.nPicWidth = 640;
    s.nZoom = 671088640;
    huge.Set(s);
    EXPECT_EQ(huge.m_nWidth, INT32_MAX);
    EXPECT_EQ(huge.m_nHeight, 134217728);   // 20 x 6710886.4
}

TEST_F(EffectTest, PictureOverACharacterFollowsItOnlyUnderTheSetting) {
    // A 20 x 10 picture over character 5, whose 32 x 32 box is at (100, 50):
    // centre (116, 66), picture at (116 - 10, 66 - 5) = (106, 61). The
    // character then moves 40 dots right: centre 156, picture at 146 when it
    // follows.
    cSystemData sys;
    ctx.lpSystem = &sys;
    ctx.lstChara.push_back(std::make_unique<cChara>());
    cChara* c = ctx.lstChara.back().get();
    c->m_nId = 5;
    c->m_nWidth = c->m_nHeight = 32;
    // A defeated character is followed as well, until it is removed.
    struct CASE {
        int32_t bRule;
        int32_t bDead;
        int nWantX;
    } cases[] = {{0, 0, 106}, {1, 0, 146}, {1, 1, 146}};
    for (const CASE& k : cases) {
        sys.m_bRule833 = k.bRule;
        c->m_bDead = k.bDead;
        c->m_dX = 100;
        c->m_dY = 50;
        cPictureRun p;
        PICTURESETUP s;
        s.nType = PICPLACE_CHARA;
        s.nCharaId = 5;
        s.nPicWidth = 20;
        s.nPicHeight = 10;
        s.nDurMode = 1;
        p.Set(s);
        int x, y;
        p.GetPos(&x, &y);   // the show-picture command places it
        EXPECT_EQ(p.Draw(nullptr, nullptr, 0), 0);
        EXPECT_EQ(p.m_nScreenX, 106) << k.bRule;
        EXPECT_EQ(p.m_nScreenY, 61) << k.bRule;
        c->m_dX = 140;
        EXPECT_EQ(p.Draw(nullptr, nullptr, 0), 0);
        EXPECT_EQ(p.m_nScreenX, k.nWantX) << k.bRule;
        EXPECT_EQ(p.m_nScreenY, 61) << k.bRule;
    }
    ctx.lpSystem = nullptr;
}

// ---- character-effect runs ----
class EffectRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.m_vCharaEffect.resize(5);
        Def(1, 2, 1, 0, 10);    // split, 0 -> 10 over 1/10 s
        Def(2, 6, 5, 0, 0);     // blink, time 5
        Def(3, 2, 0, 0, 10);    // time 0
        Def(4, 40, 1, 0, 10);   // unknown kind
        db.CopyEffectLists();
        ctx.lpDatabase = &db;
        RebuildEffectRuns();
    }
    void Def(int i, int nKind, int nTime, int nStart, int nEnd) {
        db.m_vCharaEffect[i].m_nKind = nKind;
        db.m_vCharaEffect[i].m_anParam[0] = nTime;
        db.m_vCharaEffect[i].m_anParam[1] = nStart;
        db.m_vCharaEffect[i].m_anParam[2] = nEnd;
    }
    int CountSteps(cCharaEffectRun& r, int nMax = 1000) {
        int n = 1;
        while (!r.Step() && n < nMax) n++;
        return n;
    }
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cDatabase db;
};

TEST_F(EffectRunTest, ForwardRunEndsAtTheFirstStepPastTheEnd) {
    cCharaEffectRun r;
    r.Start(1, 0, 0);
    EXPECT_EQ(r.m_nKind, 2);
    EXPECT_DOUBLE_EQ(r.m_dStepSize, 10.0 / 6.0);
    EXPECT_EQ(CountSteps(r), 7);   // 1.67 3.33 5 6.67 8.33 10 then 11.67
    EXPECT_EQ(r.m_nKind, 0);
}

TEST_F(EffectRunTest, ReversedRunRunsFromTheEndDown) {
    cCharaEffectRun r;
    r.Start(1, 1, 0);
    EXPECT_EQ(r.m_dValue, 10);
    EXPECT_EQ(r.m_nEnd, 0);
    // 10 less six steps of 10/6 lands a hair below 0 in doubles: the sixth
    // step already ends the run.
    EXPECT_EQ(CountSteps(r), 6);
    // Preparing again does not turn the reversed list back.
    RebuildEffectRuns();
    cCharaEffectRun r2;
    r2.Start(1, 1, 0);
    EXPECT_EQ(r2.m_dValue, 10);
}

TEST_F(EffectRunTest, BackAndForthPlaysEachWayOnceOrForever) {
    cCharaEffectRun r;
    r.Start(1, 2, 0);
    EXPECT_EQ(CountSteps(r), 7 + 6);
    cCharaEffectRun loop;
    loop.Start(1, 2, 1);
    for (int i = 0; i < 7; i++) ASSERT_EQ(loop.Step(), 0);
    EXPECT_EQ(loop.m_bReversed, 1);
    for (int i = 0; i < 6; i++) ASSERT_EQ(loop.Step(), 0);
    EXPECT_EQ(loop.m_bReversed, 0);
    for (int i = 0; i < 100; i++) ASSERT_EQ(loop.Step(), 0);
}

TEST_F(EffectRunTest, BlinkLastsItsTime) {
    cCharaEffectRun r;
    r.Start(2, 0, 0);
    EXPECT_EQ(r.m_nEnd, 5);
    EXPECT_EQ(CountSteps(r), 31);   // 5 x 6 frames, then the step past the end
}

TEST_F(EffectRunTest, NoTimeEndsAfterOneStepAndUnknownKindIsNone) {
    cCharaEffectRun r;
    r.Start(3, 0, 0);
    EXPECT_EQ(r.Step(), 1);
    cCharaEffectRun u;
    u.Start(4, 0, 0);
    EXPECT_EQ(u.m_nKind, 0);
}

// ---- screen-effect runs ----
class ScrEffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.m_vScrEffect.resize(6);
        Def(1, 4, {3, 0, 0, 15, 0});       // split, equal values: timed, 3/10 s
        Def(2, 4, {1, 0, 60, 0, 0});       // split 0 -> 60 in 1/10 s, no bands
        Def(3, 1, {0, 0, 0, 100, 50});     // move without a time
        Def(4, 99, {1, 0, 0, 0, 0});       // unknown kind
        Def(5, 2, {1, 4, 4, 0, 0});        // shake
        db.CopyEffectLists();
        ctx.lpDatabase = &db;
        RebuildEffectRuns();
    }
    void Def(int i, int nKind, std::vector<int> p) {
        db.m_vScrEffect[i].m_nKind = nKind;
        for (int k = 0; k < 5; k++) db.m_vScrEffect[i].m_anParam[k] = p[k];
    }
    int Frames(cScrEffectRun& r, int nMax = 1000) {
        SCRFXFRAME fx;   // no surfaces: only the run advances
        int n = 1;
        while (!pfnScrEffect[r.m_nKind](r, fx, 0) && n < nMax) n++;
        return n;
    }
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cDatabase db;
};

TEST_F(ScrEffectTest, TimedSplitRunsForItsDuration) {
    cScrEffectRun r;
    r.Start(1, 0, 0);
    EXPECT_EQ(r.m_bTimed, 1);
    EXPECT_EQ(Frames(r), 19);   // the timer passes 3 on the 19th frame
}

// A split of the screen into more strips than it has lines is one strip:
// the frame stays whole (the rounded-up strip length must not wrap).
TEST_F(ScrEffectTest, HugeStripCountKeepsTheFrame) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 64, 64));
    DDSURFACEDATA back, work;
    ASSERT_TRUE(DDMakeTarget(&back, 64, 64));
    ASSERT_TRUE(DDMakeTarget(&work, 64, 64));
    for (int nKind : {4, 5}) {
        DDClear(&back, 50);
        cScrEffectRun r;
        r.m_nKind = nKind;
        // 64 + p - 1 lies past the 32-bit range: wrapped, it made a negative strip length.
        const int32_t p[5] = {10, 0, 0, INT32_MAX - 40, 0};
        std::copy(p, p + 5, r.m_anParam);
        SCRFXFRAME fx;
        fx.lpBack = &back;
        fx.lpWork = &work;
        fx.nWidth = fx.nHeight = 64;
        pfnScrEffect[nKind](r, fx, 1);
        EXPECT_EQ(DDIndexAt(&back, 20, 20), 50) << "kind " << nKind;
    }
    DDReleaseSurface(&back);
    DDReleaseSurface(&work);
    DDEnd();
}

TEST_F(ScrEffectTest, RunLengthsAndRepeats) {
    cScrEffectRun r;
    r.Start(2, 0, 0);
    EXPECT_DOUBLE_EQ(r.m_dStep, 10.0);
    EXPECT_EQ(Frames(r), 7);
    cScrEffectRun both;
    both.Start(2, 2, 0);
    EXPECT_EQ(Frames(both), 14);
    cScrEffectRun rep;
    rep.Start(2, 2, 1);
    EXPECT_EQ(Frames(rep, 200), 200);
}

TEST_F(ScrEffectTest, FrozenEffectDoesNotAdvance) {
    cScrEffectRun r;
    r.Start(2, 0, 0);
    SCRFXFRAME fx;
    for (int i = 0; i < 50; i++) ASSERT_EQ(pfnScrEffect[r.m_nKind](r, fx, 1), 0);
    EXPECT_EQ(r.m_dValue, 0);
}

TEST_F(ScrEffectTest, MoveWithoutTimeAndUnknownKind) {
    cScrEffectRun r;
    r.Start(3, 0, 0);
    EXPECT_EQ(r.m_nA, 0);   // the first frame at the start position
    EXPECT_EQ(Frames(r), 12);   // a time of 0 counts as 1/10 s; the value passes 1 at 2
    cScrEffectRun u;
    u.Start(4, 0, 0);
    EXPECT_EQ(u.m_nKind, 0);
    SCRFXFRAME fx;
    EXPECT_EQ(pfnScrEffect[u.m_nKind](u, fx, 0), 0);
}

// A move from (0, 0) to (60, 30) over 1/10 s: each frame is drawn where the
// value stood before the frame's step (60 x value, 30 x value), so the first
// two frames stand at the start and the place then moves by 60/6 = 10 and
// 30/6 = 5 dots a frame.
TEST_F(ScrEffectTest, MoveDrawsEachFrameAtTheValueBeforeItsStep) {
    db.m_vScrEffect.resize(7);
    Def(6, 1, {1, 0, 0, 60, 30});
    db.CopyEffectLists();
    RebuildEffectRuns();
    cScrEffectRun r;
    r.Start(6, 0, 0);
    SCRFXFRAME fx;
    std::vector<int> vX, vY;
    for (int i = 0; i < 5; i++) {
        vX.push_back(r.m_nA);   // where this frame is drawn
        vY.push_back(r.m_nB);
        ASSERT_EQ(pfnScrEffect[1](r, fx, 0), 0);
    }
    EXPECT_EQ(vX, (std::vector<int>{0, 0, 10, 20, 30}));
    EXPECT_EQ(vY, (std::vector<int>{0, 0, 5, 10, 15}));
}

TEST_F(ScrEffectTest, ShakeSwingsBetweenItsBounds) {
    cScrEffectRun r;
    r.Start(5, 0, 0);
    SCRFXFRAME fx;
    double dMin = 0, dMax = 0;
    for (int i = 0; i < 6; i++) {
        pfnScrEffect[2](r, fx, 0);
        dMin = std::min(dMin, r.m_dShake);
        dMax = std::max(dMax, r.m_dShake);
    }
    EXPECT_EQ(dMax, 4);
    EXPECT_LT(dMin, 0);
}

// ---- screen colour ----
std::vector<int> Alphas(cScrColorRun& c, int nFrames, int bPalette = 0) {
    std::vector<int> v;
    for (int i = 0; i < nFrames; i++) {
        c.Advance(0, bPalette, 0);
        v.push_back(c.m_bDraw ? c.m_nAlpha : -1);
    }
    return v;
}

TEST(ScrColorTest, TintHoldsAfterItsDuration) {
    cScrColorRun c;
    const int32_t p[8] = {255, 0, 0, 100, 0, 1, 0, 0};   // 6 frames to full red
    c.Start(p);
    EXPECT_EQ(Alphas(c, 8), (std::vector<int>{255, 213, 170, 128, 85, 43, 0, 0}));
    EXPECT_EQ(c.m_bActive, 1);
}

TEST(ScrColorTest, IntensityZeroEndsAfterItsDuration) {
    cScrColorRun c;
    const int32_t p[8] = {0, 0, 0, 0, 0, 1, 0, 0};
    c.Start(p);
    EXPECT_EQ(Alphas(c, 9), (std::vector<int>{255, 255, 255, 255, 255, 255, 255, -1, -1}));
}

TEST(ScrColorTest, FadeBackOnlyAfterAChangeAndRisesToNone) {
    cScrColorRun c;
    const int32_t back[8] = {0, 0, 0, 0, 1, 1, 0, 0};
    c.Start(back);
    EXPECT_EQ(c.m_bActive, 0);   // nothing to go back from
    const int32_t tint[8] = {0, 0, 255, 50, 0, 0, 0, 0};   // at once
    c.Start(tint);
    c.Advance(0, 0, 0);
    EXPECT_EQ(c.m_nAlpha, 255 - 127);
    c.Start(back);
    EXPECT_EQ(Alphas(c, 8), (std::vector<int>{128, 149, 170, 191, 212, 233, 255, -1}));
}

TEST(ScrColorTest, FlashCountsItsFlashes) {
    cScrColorRun c;
    const int32_t p[8] = {255, 255, 255, 100, 0, 1, 1, 2};
    c.Start(p);
    EXPECT_EQ(Alphas(c, 15),
              (std::vector<int>{255, 213, 170, 128, 85, 43, -1, 255, 213, 170, 128, 85, 43, -1, -1}));
}

TEST(ScrColorTest, OtherDepthsEndAtOnceAndPaletteEndsAtItsDuration) {
    cScrColorRun c;
    const int32_t p[8] = {255, 0, 0, 100, 0, 1, 0, 0};
    c.Start(p);
    c.Advance(0, 0, 1);
    EXPECT_EQ(c.m_bActive, 0);
    EXPECT_EQ(c.m_bDraw, 0);
    cScrColorRun pal;
    pal.Start(p);
    pal.Advance(1, 1, 0);
    EXPECT_EQ(pal.m_bDraw, 0);   // frozen: nothing on a palette screen
    EXPECT_EQ(Alphas(pal, 8, 1), (std::vector<int>{255, 213, 170, 128, 85, 43, 0, -1}));
}

// An 8-bit screen whose palette entry 20 is (200, 100, 0), and a scene.
class PaletteScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DDStartProfile({0, 8, 0, "DD8"}, 64, 64));
        aPalette[20] = {200, 100, 0, 0};
    }
    void TearDown() override { DDEnd(); }
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cPlayScene s;
};

// On an 8-bit screen the colour change blends the display palette: the run's
// alpha is the palette's own share. Entry 20 is (200, 100, 0); the colour is
// blue (0, 0, 255) at 100 % over 6 frames.
TEST_F(PaletteScreen, BlendsTheDisplayPaletteByTheAlpha) {
    const int32_t p[8] = {0, 0, 255, 100, 0, 1, 0, 0};
    s.m_ScrColor.Start(p);
    // Frame 0, alpha 255, weight 256: the palette's own colour.
    RunScreenColor(s, 0);
    EXPECT_EQ(aDisplayPalette[20].peRed, 200);
    EXPECT_EQ(aDisplayPalette[20].peGreen, 100);
    EXPECT_EQ(aDisplayPalette[20].peBlue, 0);
    // Frame 3, alpha 128, weight 129: red 200*129 >> 8 = 25800 >> 8 = 100,
    // green 100*129 >> 8 = 50, blue 255*127 >> 8 = 32385 >> 8 = 126.
    RunScreenColor(s, 0);
    RunScreenColor(s, 0);
    RunScreenColor(s, 0);
    EXPECT_EQ(s.m_ScrColor.m_nAlpha, 128);
    EXPECT_EQ(aDisplayPalette[20].peRed, 100);
    EXPECT_EQ(aDisplayPalette[20].peGreen, 50);
    EXPECT_EQ(aDisplayPalette[20].peBlue, 126);
}

// A flash on an 8-bit screen blends the display palette towards the colour
// and shows the palette's own colours on each gap frame, the last one
// included: it never stays on the colour. Entry 20 is (200, 100, 0); two
// flashes of blue (0, 0, 255) at 100 % over 6 frames. The sixth frame of a
// flash has alpha 43, weight 43: red 200 x 43 >> 8 = 33, green
// 100 x 43 >> 8 = 16, blue 255 x 213 >> 8 = 212.
TEST_F(PaletteScreen, FlashShowsThePalettesOwnColoursBetweenFlashesAndAtTheEnd) {
    const int32_t p[8] = {0, 0, 255, 100, 0, 1, 1, 2};
    s.m_ScrColor.Start(p);
    auto Entry20 = [] {
        return std::vector<int>{aDisplayPalette[20].peRed, aDisplayPalette[20].peGreen, aDisplayPalette[20].peBlue};
    };
    const std::vector<int> vOwn = {200, 100, 0}, vDeep = {33, 16, 212};
    for (int nFlash = 1; nFlash <= 2; nFlash++) {
        for (int i = 0; i < 6; i++) RunScreenColor(s, 0);
        EXPECT_EQ(s.m_ScrColor.m_nAlpha, 43) << nFlash;
        EXPECT_EQ(Entry20(), vDeep) << nFlash;
        RunScreenColor(s, 0);   // the gap frame
        EXPECT_EQ(Entry20(), vOwn) << nFlash;
        EXPECT_EQ(s.m_ScrColor.m_bActive, nFlash < 2 ? 1 : 0) << nFlash;
    }
    RunScreenColor(s, 0);
    EXPECT_EQ(Entry20(), vOwn);
}

}  // namespace

namespace {

TEST(BackgroundTiles, FirstTileFromNonNegativeRemainders) {
    int x = 1, y = 1;
    ASSERT_TRUE(GetBackgroundTileStart(100, 50, 64, 48, &x, &y));
    EXPECT_EQ(x, -(100 % 64));
    EXPECT_EQ(y, -2);
    ASSERT_TRUE(GetBackgroundTileStart(-10, -1, 64, 48, &x, &y));
    EXPECT_EQ(x, -54);   // -10 mod 64 taken as 54
    EXPECT_EQ(y, -47);
    ASSERT_TRUE(GetBackgroundTileStart(-0.5, 0.9, 64, 48, &x, &y));
    EXPECT_EQ(x, -63);   // the origin's floor
    EXPECT_EQ(y, 0);
    // A missing picture (no size) tiles nothing.
    EXPECT_FALSE(GetBackgroundTileStart(10, 10, 0, 48, &x, &y));
    EXPECT_FALSE(GetBackgroundTileStart(10, 10, 64, 0, &x, &y));
}

}  // namespace

// A stage set up with another database (or the same one changed, with lists
// of the same length) runs that database's effect frames, not the patterns
// left from the stage before. Effect 1 of two frames of 1/10 s ends on its
// 12th tick (6 ticks a frame); with four frames it ends on the 24th.
TEST(EffectPatterns, AStageSetUpTakesTheEffectsOfItsOwnDatabase) {
    auto ticksToEnd = [](cDatabase& db, int nFrames) {
        db.m_vEffect.resize(2);
        db.m_vEffect[1].m_nWidth = 32;
        db.m_vEffect[1].m_nHeight = 32;
        db.m_vEffect[1].m_vFrame.assign(static_cast<size_t>(nFrames), cEffectFrame{});
        for (auto& f : db.m_vEffect[1].m_vFrame) f.m_nTime = 1;
        cPlayHarness h({"....", ".H..", "####"});
        h.Ctx().lpDatabase = &db;
        h.SetUp();
        cEffectAnime e;
        e.Set(1, 0, 0, 32, 32, 0);
        int n = 0;
        while (e.Draw(nullptr, 0) == 0 && n < 100) n++;
        return n + 1;
    };
    cDatabase db;
    EXPECT_EQ(ticksToEnd(db, 2), 12);
    EXPECT_EQ(ticksToEnd(db, 4), 24);   // the same database, its effect longer
    cDatabase other;
    EXPECT_EQ(ticksToEnd(other, 2), 12);
}
