// The character base, placed characters and the hero: draw sources, jump
// speeds, animation sets, set-up boxes, flight changes, the camera, item
// command lists, landing, knock-back and jumps.
#include <gtest/gtest.h>

#include <cmath>

#include "CharaFixture.h"
#include "foundation/Log.h"
#include "graphics/ImageSurfaces.h"
#include "platform/CloseRequest.h"
#include "play/CharaSearch.h"
#include "play/Item.h"
#include "play/EffectRuns.h"
#include "play/Message.h"
#include "stage/CmdVocabulary.h"
#include "support/ByteBuilder.h"
#include "support/TempDir.h"

namespace {

class CharaBase : public cCharaFixture {};

// ---- draw sources ----

class DrawSource : public cCharaFixture {
protected:
    DrawSource() {
        for (int i = 0; i < IMAGE_SLOT_COUNT; i++) {
            anSaveW[i] = Off_Img[i].nWidth;
            anSaveH[i] = Off_Img[i].nHeight;
            Off_Img[i].nWidth = 640;
            Off_Img[i].nHeight = 480;
        }
    }
    ~DrawSource() override {
        for (int i = 0; i < IMAGE_SLOT_COUNT; i++) {
            Off_Img[i].nWidth = anSaveW[i];
            Off_Img[i].nHeight = anSaveH[i];
        }
    }
    int anSaveW[IMAGE_SLOT_COUNT] = {}, anSaveH[IMAGE_SLOT_COUNT] = {};
};

TEST_F(DrawSource, PerKind) {
    cChara facing;
    struct CASE {
        int nType, nKind, n, nRow, nDir, nFrame;
        int bValid, nSurface, nX, nY;
    };
    const CASE aCase[] = {
        {0, 0, 17, 0, 1, 0, 1, 2, 32, 64},       // block chip 17: column 1, row 2
        {1, 1, 17, 0, 1, 2, 1, 6, 64, 64},       // character sheet 2 (slot 6), frame 2
        {1, 1, 17, 0, 0, 2, 1, 7, 64, 64},       // facing left: its mirrored copy
        {1, 1, 17, 3, 1, 2, 1, 6, 160, 64},      // the state row shifts the frame
        {1, 1, 17, 0, 1, 30, 1, 4, 0, 0},        // outside the sheet: first sheet, first cell
        {0, 1, 17, 0, 1, 21, 1, 7, 32, 64},      // not a character: frames 20+ on the second sheet
        {1, 1, 120, 0, 1, 0, 0, -1, 0, 0},       // graphic 120: no such sheet, nothing drawn
        {1, 1, -1, 0, 1, 0, 0, -1, 0, 0},
        {2, 2, 16, 0, 1, 1, 1, 40, 96, 32},      // item 16, frame 1
        {0, 2, 16, 0, 1, 1, 1, 40, 64, 32},      // frames only for items
        {1, 3, 31, 0, 1, 0, 1, 20, 64, 32},      // the 30-per-column sheet
        {1, 3, 31, 0, 0, 0, 1, 21, 64, 32},
        {1, 9, 1, 0, 1, 0, 0, -1, 0, 0},         // unknown kind
    };
    for (const CASE& c : aCase) {
        facing.m_nDir = c.nDir;
        DRAWSOURCE s;
        cCharaBase::SetDrawSource(&s, c.nType, c.nKind, c.n, c.nRow, &facing, c.nFrame);
        EXPECT_EQ(s.bValid, c.bValid) << c.nKind << " " << c.n;
        if (!c.bValid) continue;
        EXPECT_EQ(s.nSurface, c.nSurface) << c.nKind << " " << c.n << " " << c.nFrame;
        EXPECT_EQ(s.nSrcX, c.nX) << c.nKind << " " << c.n << " " << c.nFrame;
        EXPECT_EQ(s.nSrcY, c.nY) << c.nKind << " " << c.n;
        EXPECT_EQ(s.bNative, 0);
    }
}

TEST_F(DrawSource, DedicatedBitmaps) {
    cBmpCharaExc big, plain;
    big.m_bLargeCells = 1;
    big.m_nCellSize = 2;    // 64-dot cells, 8 to a row
    plain.m_bLargeCells = 0;
    db.m_vBmpCharaExc.clear();
    db.m_vBmpCharaExc.push_back(cBmpCharaExc());   // entry 0 is never drawn
    db.m_vBmpCharaExc.push_back(big);
    db.m_vBmpCharaExc.push_back(plain);
    cChara c;
    c.m_nDir = 1;
    DRAWSOURCE s;
    cCharaBase::SetDrawSource(&s, 1, 4, 1, 9, &c, 0);
    ASSERT_TRUE(s.bValid);
    EXPECT_EQ(s.bDedicated, 1);
    EXPECT_EQ(s.nSurface, 0);
    EXPECT_EQ(s.nMirror, 2);
    EXPECT_EQ(s.bNative, 1);
    EXPECT_EQ(s.nScale, 2);
    EXPECT_EQ(s.nSrcX, 64);
    EXPECT_EQ(s.nSrcY, 64);
    c.m_nDir = 0;
    cCharaBase::SetDrawSource(&s, 1, 4, 2, 17, &c, 1);   // row 17 + frame 1, 16 to a row
    ASSERT_TRUE(s.bValid);
    EXPECT_EQ(s.nSurface, 6);   // bitmap 2 facing left: its mirrored surface
    EXPECT_EQ(s.nSrcX, 64);
    EXPECT_EQ(s.nSrcY, 32);
    EXPECT_EQ(s.bNative, 0);
    // Bitmap 0 and past the list draw nothing.
    cCharaBase::SetDrawSource(&s, 1, 4, 0, 0, &c, 0);
    EXPECT_FALSE(s.bValid);
    cCharaBase::SetDrawSource(&s, 1, 4, 3, 0, &c, 0);
    EXPECT_FALSE(s.bValid);
    // A cell size beyond 16 is held at 16 (one 512-dot cell to a row).
    db.m_vBmpCharaExc[1].m_nCellSize = 40;
    cCharaBase::SetDrawSource(&s, 1, 4, 1, 3, &c, 0);
    ASSERT_TRUE(s.bValid);
    EXPECT_EQ(s.nScale, 16);
    EXPECT_EQ(s.nSrcX, 0);
    EXPECT_EQ(s.nSrcY, 3 * 512);
}

// ---- jump speed ----

// A jump of speed v under gravity g per step rises while v + g, v + 2g, ...
// is below 0: with v = -n g that is n - 1 moving steps of (n - 1) g, ..., g,
// a rise of g n (n - 1) / 2. The heights below are chosen so that n is whole:
//   b = 1, g = 0.4: n = 16 gives 0.2 x 16 x 15 = 48 dots = 3 hbl, v = -6.4;
//   b = 2, g = 0.1: n = 65 gives 0.05 x 65 x 64 = 208 dots = 13 hbl, v = -6.5.
// A jump of 0 hbl has n = 1: v = -g. The rise is also checked by stepping.
TEST_F(CharaBase, JumpSpeedAndFrames) {
    cChara c;
    const struct {
        int b, h;
        double g, v;
    } aCase[] = {{1, 3, 0.4, -6.4}, {1, 0, 0.4, -0.4}, {2, 13, 0.1, -6.5}, {2, 0, 0.1, -0.1}};
    for (const auto& k : aCase) {
        SCOPED_TRACE(testing::Message() << "b " << k.b << " h " << k.h);
        SetSubSteps(k.b);
        ASSERT_DOUBLE_EQ(stage.m_dGravityStep, k.g);
        const double v = c.JumpSpeed(k.h);
        EXPECT_NEAR(v, k.v, 1e-9);
        // Stepped: gravity first, then the move, while still rising.
        double dVy = v, dRise = 0;
        for (int i = 0; i < 1000 && dVy + k.g < -1e-9; i++) {
            dVy += k.g;
            dRise -= dVy;
        }
        EXPECT_NEAR(dRise, 16.0 * k.h, 1e-6);
    }
    // Its length in frames: n + b steps, b sub-steps to a frame and 6 frames
    // to a count, plus one: b = 1, 3 hbl: 16 + 1 = 17, 17 / 6 = 2, so 3;
    // b = 2, 13 hbl: 65 + 2 = 67, 67 / 2 / 6 = 5, so 6.
    SetSubSteps(1);
    EXPECT_EQ(c.JumpFrames(3), 3);
    EXPECT_EQ(c.JumpFrames(0), 1);   // 1 + 1 = 2, 2 / 6 = 0, so 1
    SetSubSteps(2);
    EXPECT_EQ(c.JumpFrames(13), 6);
    // No gravity: no rise, and the length is the shortest, not a division by 0.
    stage.m_dGravity = 0;
    stage.SetJudgeLevel(11);
    EXPECT_EQ(c.JumpSpeed(4), 0);
    EXPECT_EQ(c.JumpFrames(4), 1);
}

// ---- animation sets ----

TEST_F(CharaBase, ChangeAnimSetWithForce) {
    cAnimeSet set;
    set.m_vAnime.resize(2);
    set.m_vAnime[0].m_vFrame.clear();
    cAnimeFrame f;
    f.m_nCell = 5;
    f.m_nTime = 1;
    set.m_vAnime[0].m_vFrame.push_back(f);
    f.m_nCell = 6;
    set.m_vAnime[0].m_vFrame.push_back(f);
    db.m_vAnimeSet.assign(2, set);
    cChara c;
    c.ChangeAnimSet(1, 1);
    ASSERT_EQ(c.m_Anim.m_vPattern.size(), 2u);
    ASSERT_EQ(c.m_Anim.m_vPattern[0].size(), 3u);
    EXPECT_EQ(c.m_Anim.m_vPattern[0][0].nFrame, 5);
    EXPECT_EQ(c.m_Anim.m_vPattern[0][0].nTime, 6);
    EXPECT_EQ(c.m_Anim.m_vPattern[0][2].nFrame, ANIMCODE_RESTART);
    for (int i = 0; i < 7; i++) c.m_Anim.Update();
    EXPECT_EQ(c.m_Anim.GetFrame(), 6);
    c.ChangeAnimSet(1, 0);           // the same set: the animation goes on
    EXPECT_EQ(c.m_Anim.GetFrame(), 6);
    c.ChangeAnimSet(1, 1);           // forced: it starts again
    EXPECT_EQ(c.m_Anim.GetFrame(), 5);
}

// A set number past the list, or with bit 15 set, is logged with the
// number, the list's size and 80, asks for a close and plays set 0.
TEST_F(CharaBase, BadAnimSetIsLoggedWithItsNumberAndPlaysSetZero) {
    cTempDir dir;
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    ResetCloseRequests();
    cAnimeSet first, second;
    first.m_vAnime.resize(1);
    cAnimeFrame f;
    f.m_nCell = 7;
    f.m_nTime = 1;
    first.m_vAnime[0].m_vFrame.assign(1, f);
    second.m_vAnime.resize(3);
    db.m_vAnimeSet.clear();
    db.m_vAnimeSet.push_back(first);
    db.m_vAnimeSet.push_back(second);
    struct CASE {
        int nSet;
        const char* pszLine;
    } const cases[] = {{5, "err V[5] ( 2 , 80 )"}, {2, "err V[2] ( 2 , 80 )"}, {0x8001, "err V[-32767] ( 2 , 80 )"}};
    for (const CASE& k : cases) {
        cChara c;
        c.ChangeAnimSet(k.nSet, 1);
        ASSERT_EQ(c.m_Anim.m_vPattern.size(), 1u) << k.nSet;   // set 0's one animation
        EXPECT_EQ(c.m_Anim.m_vPattern[0][0].nFrame, 7) << k.nSet;
        const std::vector<uint8_t> v = ReadHostFile(dir.File("Report_Game.txt"));
        std::string strText(v.begin(), v.end());
        while (!strText.empty() && (strText.back() == '\n' || strText.back() == '\r')) strText.pop_back();
        EXPECT_EQ(strText.substr(strText.rfind('\n') + 1), k.pszLine);
        eCloseKind eKind = CLOSE_USER;
        EXPECT_TRUE(TakeCloseRequest(&eKind)) << k.nSet;
        EXPECT_EQ(eKind, CLOSE_FATAL);
    }
    ResetCloseRequests();
}

// ---- set-up boxes ----

TEST_F(CharaBase, SetUpBoxTable) {
    stage.m_nCharaBoxW = 16;
    stage.m_nCharaBoxH = 24;
    stage.m_nCharaBoxAlign = 1;
    stage.m_nCharaFlyBoxW = 20;
    stage.m_nCharaFlyBoxH = 20;
    stage.m_nCharaFlyBoxAlign = 0;
    stage.m_nCharaSizeW = 12;
    stage.m_nCharaSizeH = 24;
    stage.m_nCharaSizeAlign = 1;
    stage.m_nCharaSize1W = 30;
    stage.m_nCharaSize1H = 30;
    stage.m_nCharaSize2W = 16;
    stage.m_nCharaSize2H = 16;
    struct CASE {
        int bBlock, nSizeMode, nFlight;
        int nBoxX, nBoxY, nW, nH;        // body
        int n1X, n1Y, n1W, n1H;          // box 1
    };
    const CASE aCase[] = {
        {0, 0, 0, 8, 8, 16, 24, 2, 0, 12, 24},     // 16 - 8 - 6, 32 - 8 - 24
        {0, 1, 0, 8, 8, 16, 24, -7, -7, 30, 30},   // 16 - 8 - 15
        {0, 2, 0, 8, 8, 16, 24, 0, 0, 16, 16},
        {0, 3, 0, 8, 8, 16, 24, -8, -8, 32, 32},
        {0, 1, 1, 6, 6, 20, 20, -5, -5, 30, 30},   // flying body 20 x 20 centred
        {1, 2, 0, 0, 0, 32, 32, 0, 0, 32, 32},     // a block character ignores the sizes
    };
    for (const CASE& c : aCase) {
        cCharaData d;
        d.m_bNoHitBox = static_cast<uint8_t>(c.bBlock);
        d.m_nHitArea = static_cast<uint8_t>(c.nSizeMode);
        d.m_nFlight = static_cast<uint8_t>(c.nFlight);
        d.m_nGiant = 0;
        cChara* p = AddChara(d);
        EXPECT_EQ(p->m_Data.m_nGiant, 1);
        EXPECT_EQ(p->m_nBoxX, c.nBoxX) << c.bBlock << c.nSizeMode << c.nFlight;
        EXPECT_EQ(p->m_nBoxY, c.nBoxY) << c.bBlock << c.nSizeMode << c.nFlight;
        EXPECT_EQ(p->m_nWidth, c.nW);
        EXPECT_EQ(p->m_nHeight, c.nH);
        EXPECT_EQ(p->m_HitBox1.nX, c.n1X) << c.bBlock << c.nSizeMode << c.nFlight;
        EXPECT_EQ(p->m_HitBox1.nY, c.n1Y) << c.bBlock << c.nSizeMode << c.nFlight;
        EXPECT_EQ(p->m_HitBox1.nW, c.n1W);
        EXPECT_EQ(p->m_HitBox1.nH, c.n1H);
    }
}

TEST_F(CharaBase, ResetWithoutRecordLeavesHpAtZero) {
    cChara c;
    CHARAPLACE place;
    place.dX = 400;
    place.dY = 500;
    place.nCopyIndex = 3;
    c.m_nHp = 7;
    c.ResetState(place);
    EXPECT_EQ(c.m_nHp, 0);
    EXPECT_EQ(c.m_nCopyIndex, 3);
    EXPECT_EQ(c.m_nLastSide, -1);
    EXPECT_EQ(c.m_bAirborne, 1);
    EXPECT_EQ(c.m_vecTarget.size(), 4u);
    cCharaData d;
    d.m_nMaxHp = 25;
    place.pData = &d;
    c.ResetState(place);
    EXPECT_EQ(c.m_nHp, 25);
}

// ---- the hero: flight, camera, item commands ----

TEST_F(CharaBase, SetFlight) {
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d);
    EXPECT_EQ(h->m_bFlight, 0);
    h->m_bAirborne = 0;
    h->SetFlight(1, 0, 0, 0);
    EXPECT_EQ(h->m_bFlight, 1);
    EXPECT_EQ(h->m_bAirborne, 1);
    EXPECT_EQ(h->m_nAirSteps, 8);
    EXPECT_EQ(h->m_nLockFrames, 2);
    h->m_dVx = h->m_dVy = h->m_dCmdVx = h->m_dCmdVy = 3;
    h->m_nLockFrames = 0;
    h->SetFlight(0, 0, 1, 1);
    EXPECT_EQ(h->m_dVx, 0);
    EXPECT_EQ(h->m_dVy, 0);
    EXPECT_EQ(h->m_dCmdVx, 0);
    EXPECT_EQ(h->m_dCmdVy, 0);
    EXPECT_EQ(h->m_nLockFrames, 2);
    // The lock: two steps without moving, the saved position put back once.
    double x = h->m_dX;
    h->m_dX += 50;
    EXPECT_TRUE(h->RestoreAfterLock());
    EXPECT_EQ(h->m_dX, x);
    h->m_dX += 50;
    EXPECT_TRUE(h->RestoreAfterLock());
    EXPECT_EQ(h->m_dX, x + 50);
    // The same flight again changes nothing.
    h->m_nLockFrames = 0;
    h->SetFlight(0, 0, 0, 0);
    EXPECT_EQ(h->m_nLockFrames, 0);
    EXPECT_FALSE(h->RestoreAfterLock());
}

TEST_F(CharaBase, CameraClampNearTheLeftEdge) {
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d, 330, 600);
    // 330 - (320 - 8) = 18 would show the margin; the limit holds it at 320.
    EXPECT_EQ(scene.m_ScrollX.m_dCam, 320);
    h->m_dX = 1000;
    h->ClampX();
    EXPECT_EQ(scene.m_ScrollX.m_dCam, 1000 - (320 - h->m_nWidth / 2));
    // A scroll range narrower than the screen: the minimum wins.
    scene.m_ScrollX.m_dMin = 320;
    scene.m_ScrollX.m_dMax = 700;
    h->ClampX();
    EXPECT_EQ(scene.m_ScrollX.m_dCam, 320);
    // An auto-scrolling axis is not moved by the hero.
    scene.m_ScrollX.m_bAuto = 1;
    scene.m_ScrollX.m_dCam = 400;
    h->ClampX();
    EXPECT_EQ(scene.m_ScrollX.m_dCam, 400);
}

TEST_F(CharaBase, SightImageIsClippedToTheImage) {
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d);
    h->m_rcScreen = OBJRECT{300, 200, 331, 231};
    SIGHTRECT r = h->GetSightRect(1280, 960);
    EXPECT_EQ(r.nSrcX, 640 - 16 - 300);
    EXPECT_EQ(r.nSrcY, 480 - 16 - 200);
    EXPECT_EQ(r.nW, 640);
    EXPECT_EQ(r.nH, 480);
    r = h->GetSightRect(320, 100);   // smaller than the screen
    EXPECT_EQ(r.nSrcX, 0);
    EXPECT_EQ(r.nSrcY, 0);
    EXPECT_EQ(r.nW, 320);
    EXPECT_EQ(r.nH, 100);
}

TEST_F(CharaBase, DisplayBoxesLargestFirst) {
    stage.m_anBoxDisp[0] = 1;
    stage.m_anBoxDisp[2] = 2;
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d);
    ASSERT_EQ(h->m_vecHitBox.size(), 4u);
    for (size_t i = 1; i < 4; i++)
        EXPECT_GE(h->m_vecHitBox[i - 1].nW * h->m_vecHitBox[i - 1].nH, h->m_vecHitBox[i].nW * h->m_vecHitBox[i].nH);
}

// ---- landing and ceilings ----

TEST_F(CharaBase, LandAndCeilingSnapping) {
    for (int b : {1, 2}) {
        SetSubSteps(b);
        cCharaData d;
        cChara* c = AddChara(d);
        c->m_dY = 77.0;
        c->m_dBottom = 100.0;
        c->m_dVy = 3;
        c->m_bJumping = c->m_bAirborne = 1;
        c->m_bJumpHold = 1;
        c->Land();
        EXPECT_EQ(c->m_dY, 72.0) << b;   // 100 mod 32 = 4: up by 5
        EXPECT_EQ(c->m_dVy, 0);
        EXPECT_EQ(c->m_bAirborne, 0);
        EXPECT_EQ(c->m_bJumping, 0);
        EXPECT_EQ(c->m_bJumpHold, 0);
        EXPECT_EQ(c->m_bHitBottom, 1);
        c->m_dY = 70.0;
        c->m_dKnockY = -2;
        c->HitCeiling();
        EXPECT_EQ(c->m_dY, 96.0) << b;   // 70 mod 32 = 6: down by 26
        EXPECT_EQ(c->m_dKnockY, 0);
        EXPECT_EQ(c->m_bJumpTop, 1);
        EXPECT_EQ(c->m_bHitTop, 1);
    }
}

// ---- knock-back ----

TEST_F(CharaBase, KnockbackTable) {
    // b = 1: a strength e along x gives (sqrt(1 + 128 e) - 1) / 2.
    struct CASE {
        int nImp, nResist;
        double dStart, dExpect;
    };
    const CASE aCase[] = {
        {5, 0, 0, 12.158988901},     // (sqrt(641) - 1) / 2
        {5, 7, 3.5, 3.5},            // resisted: the old speed stays
        {-20, 2, 0, -23.505207769},  // -18: (sqrt(2305) - 1) / 2
        {20, 0, 0, 24.803161858},    // (sqrt(2561) - 1) / 2
        {-20, 25, 1.0, 1.0},         // resisted entirely
    };
    for (const CASE& c : aCase) {
        cCharaData d;
        d.m_nImpactResist = static_cast<uint8_t>(c.nResist);
        cChara* p = AddChara(d);
        p->m_dKnockX = c.dStart;
        p->m_dCmdVx = -1;
        p->ApplyKnockback(c.nImp, 1, 0);
        EXPECT_NEAR(p->m_dKnockX, c.dExpect, 1e-6) << c.nImp << " " << c.nResist;
        EXPECT_EQ(p->m_bKnocked, 1);
        if (c.dExpect > 0) {
            EXPECT_EQ(p->m_dCmdVx, 0);   // opposite command speed cancelled
        }
    }
    cCharaData d;
    cChara* p = AddChara(d);
    p->ApplyKnockback(0, 1, 0);
    EXPECT_EQ(p->m_bKnocked, 0);
}

TEST_F(CharaBase, KnockYDroppedOnTheGround) {
    cCharaData d;
    cChara* p = AddChara(d);
    p->m_bRiding = 1;   // standing
    p->m_dKnockY = 2;
    p->ApplyKnockY();
    EXPECT_EQ(p->m_dKnockY, 0);
    p->m_dKnockY = -3;
    p->m_dVy = 0;
    p->ApplyKnockY();
    EXPECT_EQ(p->m_dVy, -3);
    EXPECT_EQ(p->m_dLastKnockY, -3);
}

TEST_F(CharaBase, NonFiniteSpeedsNeverReachThePosition) {
    cCharaData d;
    cChara* p = AddChara(d, 700, 600);
    const double x0 = p->m_dX;
    p->SavePos();
    p->m_dCmdVx = NAN;
    p->m_dKnockY = INFINITY;
    p->m_dVy = -INFINITY;
    p->MoveX();
    p->MoveY();
    EXPECT_TRUE(std::isfinite(p->m_dX));
    EXPECT_TRUE(std::isfinite(p->m_dY));
    EXPECT_EQ(p->m_dX, x0);
    p->m_dX = NAN;
    p->MoveX();
    EXPECT_EQ(p->m_dX, x0);
}

// ---- jumps ----

cEdCmd JumpCmd(int nMode, int nHeight) {
    cEdCmd c;
    c.m_nKind = CMD_JUMP;
    c.m_vParam.assign({nMode, 0, nHeight, 0, nHeight});
    return c;
}

TEST_F(CharaBase, PlacedCharacterGivesUpAJump) {
    for (int b : {1, 3}) {
        SetSubSteps(b);
        cCharaData d;
        cChara* c = AddChara(d);
        cEdCmd cmd = JumpCmd(0, 3);
        cCmdRun run;
        run.m_lpCmd = &cmd;
        run.m_Move.dSpeed = c->JumpSpeed(3);
        run.m_nLeft = 100;
        c->m_bAirborne = 1;   // cannot jump
        for (int i = 0; i < 4 * b - 1; i++) {
            c->DoJump(&run);
            run.m_nCount++;
            EXPECT_EQ(run.m_bInit, 0) << b << " " << i;
            EXPECT_EQ(run.m_nLeft, 100);
        }
        c->DoJump(&run);
        EXPECT_EQ(run.m_bInit, 1);
        EXPECT_EQ(run.m_nLeft, 0);
        EXPECT_EQ(c->m_dVy, 0);
        EXPECT_EQ(c->m_bJumping, 0);

        // On the ground it jumps at once.
        cCmdRun run2;
        run2.m_lpCmd = &cmd;
        run2.m_Move.dSpeed = c->JumpSpeed(3);
        c->m_bAirborne = 0;
        c->DoJump(&run2);
        EXPECT_EQ(run2.m_bInit, 1);
        EXPECT_EQ(c->m_dVy, c->JumpSpeed(3));
        EXPECT_EQ(c->m_bJumping, 1);
    }
}

class HeroJump : public cCharaFixture {
protected:
    // Steps the hero through a mode-1 jump of 4 hbl with the button held
    // for nHold frames; returns the highest rise in dots.
    double Jump(int nHold, double* pVyAtRelease) {
        cCharaData d;
        d.m_nOperator = 0;
        cHero* h = AddHero(d, 640, 600);
        cFlow flow;
        cFlowKey key;
        key.m_vKey.At(11) = 1;
        key.m_bHoldAny = 1;
        flow.m_vKey.push_back(key);
        flow.m_vCmd.push_back(JumpCmd(1, 4));
        cFlowRun frun;
        frun.m_lpFlow = &flow;
        scene.m_lpCurFlow = &frun;
        cCmdRun run;
        run.m_lpCmd = &flow.m_vCmd[0];
        run.m_Move.dSpeed = h->JumpSpeed(4);
        run.m_nTime = h->JumpFrames(4) * 6;
        h->m_bAirborne = 0;
        double y0 = h->m_dY, yMin = y0;
        for (int i = 0; i < 60; i++) {
            Press(0, i < nHold ? 1 : 0);
            h->m_bJumpDone = 0;
            double vyBefore = h->m_dVy;
            h->DoJump(&run);
            if (i == nHold && pVyAtRelease) *pVyAtRelease = h->m_dVy / vyBefore;
            h->ApplyGravity();
            h->m_dY += h->m_dVy;
            h->m_bAirborne = 1;
            yMin = std::min(yMin, h->m_dY);
        }
        scene.m_lpCurFlow = nullptr;
        return y0 - yMin;
    }
};

// A hero riding a solid character jumps off it on the frame's last
// sub-step only: with b = 3 steps, step 3 (the steps count 1..3). Under the
// ride rule the jump waits on the ride in the steps before.
TEST_F(HeroJump, ARidingHeroJumpsOnTheLastSubStep) {
    SetSubSteps(3);
    sys.m_bRuleHeroJumpOnRide = 1;
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d, 640, 600);
    cEdCmd cmd = JumpCmd(0, 4);   // mode 0: no key needed
    cCmdRun run;
    run.m_lpCmd = &cmd;
    run.m_Move.dSpeed = -5;       // J: 5 dots a step upward
    run.m_nTime = 60;
    h->m_bAirborne = 0;
    h->m_bRiding = 1;
    std::vector<double> vecVy;
    std::vector<int> vecRiding;
    for (int s = 1; s <= 3; s++) {
        scene.m_nSubStep = s;
        h->m_bJumpDone = 0;
        h->DoJump(&run);
        vecVy.push_back(h->m_dVy);
        vecRiding.push_back(h->m_bRiding);
    }
    // Steps 1 and 2 wait on the ride; step 3 jumps with J x 1.02 = -5.1 and
    // the ride ends.
    ASSERT_EQ(vecVy.size(), 3u);
    EXPECT_EQ(vecVy[0], 0);
    EXPECT_EQ(vecVy[1], 0);
    EXPECT_NEAR(vecVy[2], -5.1, 1e-12);
    EXPECT_EQ(vecRiding, (std::vector<int>{1, 1, 0}));
}

// Without the ride rule the riding hero waits for the last sub-step too and
// is not jumping while it waits: with b = 4 the steps 1..3 leave it riding
// with no speed and not jumping, step 4 jumps with J itself (-5, no 1.02)
// and ends the ride. A wait that counted as jumping would never end.
TEST_F(HeroJump, WithoutTheRideRuleARidingHeroStillJumpsOnTheLastSubStep) {
    SetSubSteps(4);
    sys.m_bRuleHeroJumpOnRide = 0;
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d, 640, 600);
    cEdCmd cmd = JumpCmd(0, 4);
    cCmdRun run;
    run.m_lpCmd = &cmd;
    run.m_Move.dSpeed = -5;
    run.m_nTime = 60;
    h->m_bAirborne = 0;
    h->m_bRiding = 1;
    std::vector<double> vecVy;
    std::vector<int> vecRiding, vecJumping;
    for (int s = 1; s <= 4; s++) {
        scene.m_nSubStep = s;
        h->m_bJumpDone = 0;
        h->DoJump(&run);
        vecVy.push_back(h->m_dVy);
        vecRiding.push_back(h->m_bRiding);
        vecJumping.push_back(h->m_bJumping);
    }
    EXPECT_EQ(vecVy, (std::vector<double>{0, 0, 0, -5}));
    EXPECT_EQ(vecRiding, (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(vecJumping, (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(run.m_bInit, 1);
}

TEST_F(HeroJump, HoldingJumpsHigherThanTapping) {
    double dRatio = 0;
    double dHold = Jump(60, nullptr);
    double dTap = Jump(3, &dRatio);
    // 4 hbl is 64 dots; the speed's step rise reaches a little beyond.
    EXPECT_GT(dHold, 60);
    EXPECT_LT(dHold, 80);
    EXPECT_LT(dTap, dHold / 2);
    EXPECT_NEAR(dRatio, 0.3, 1e-9);   // the rise is cut to 30 % on release
}

}  // namespace

namespace {

// An item status operation: set status nStatus (0 = character variable
// nVar) of the hero to nValue.
cEdCmd ItemSetStatus(int nStatus, int nVar, int nValue) {
    cEdCmd c;
    c.m_bItemCmd = 1;
    c.m_nKind = CMD_STATUS - ITEMCMD_KIND_OFFSET;
    c.m_vParam.assign(18, 0);
    c.m_vParam[2] = nVar;
    c.m_vParam[4] = nStatus;
    c.m_vParam[7] = nValue;
    return c;
}

TEST_F(CharaBase, ItemCommandsStopWithTwoWhenHpFalls) {
    cCharaData d;
    d.m_nOperator = 0;
    d.m_nMaxHp = 10;
    cHero* h = AddHero(d);
    cChkVector<cEdCmd> cmds;
    cmds.push_back(ItemSetStatus(0, 1, 3));
    cmds.push_back(ItemSetStatus(1, 0, 0));   // HP := 0
    cmds.push_back(ItemSetStatus(0, 1, 9));
    EXPECT_EQ(h->RunItemCmds(cmds), 2);
    EXPECT_EQ(h->m_nHp, 0);
    EXPECT_EQ(h->m_vecVar[1], 3);   // the command after the fall did not run

    h->m_nHp = 10;
    cmds.pop_back();
    cmds.pop_back();
    EXPECT_EQ(h->RunItemCmds(cmds), 0);
    // Nested deeper than the cap (get-item inside item lists): nothing runs.
    h->m_vecVar[1] = 0;
    h->m_nItemCmdDepth = ITEMCMD_MAX_DEPTH;
    EXPECT_EQ(h->RunItemCmds(cmds), 0);
    EXPECT_EQ(h->m_vecVar[1], 0);
    h->m_nItemCmdDepth = 0;
}

}  // namespace

namespace {

TEST_F(CharaBase, ItemIconShowsThirtyTwoFramesOfNinetySix) {
    cCharaData d;
    cItem item;
    cChara* c = AddChara(d);
    c->m_pItem = std::make_unique<cItem>(item);
    c->m_bShowItemIcon = 1;
    c->m_bOnScreen = 1;
    int nShown = 0, nFirst = -1;
    for (int i = 0; i < 96 * 3; i++) {
        if (c->StepItemIcon()) {
            nShown++;
            if (nFirst < 0) nFirst = i;
        }
    }
    EXPECT_EQ(nShown, 32 * 3);
    EXPECT_EQ(nFirst, 63);   // the 64th frame
    c->m_Data.m_bTrans = 1;
    EXPECT_FALSE(c->StepItemIcon());
}

// The carried item's icon blinks only while the item is not hidden; a
// hidden item's icon never shows and its count stands still.
TEST_F(CharaBase, HiddenCarriedItemShowsNoIcon) {
    cCharaData d;
    cItem item;
    cChara* c = AddChara(d);
    c->m_pItem = std::make_unique<cItem>(item);
    c->m_pItem->m_Item.m_bNoDraw = 1;
    c->m_bShowItemIcon = 1;
    c->m_bOnScreen = 1;
    for (int i = 0; i < 96 * 2; i++) ASSERT_FALSE(c->StepItemIcon()) << i;
    EXPECT_EQ(c->m_nIconFrames, 0);
    c->m_pItem->m_Item.m_bNoDraw = 0;
    int nFirst = -1;
    for (int i = 0; i < 96 && nFirst < 0; i++)
        if (c->StepItemIcon()) nFirst = i;
    EXPECT_EQ(nFirst, 63);   // shown again from the 64th frame
}

TEST_F(CharaBase, PickUpPopUp) {
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d);
    h->PopItemIcon(2, 5, 0);
    ASSERT_EQ(scene.m_lstMessage.size(), 1u);
    const cMessage& m = *scene.m_lstMessage.front();
    EXPECT_EQ(m.m_nMode, MESMODE_ICON);
    EXPECT_EQ(m.m_nIconCell, 5);
    EXPECT_EQ(m.m_nAnchorId, h->m_nId);
}

}  // namespace

namespace {

TEST_F(CharaBase, SetCenterByIntegerHalvesAndArrival) {
    cCharaData d;
    d.m_nFlight = 1;
    cChara* c = AddChara(d, 700, 600);
    const double x0 = c->m_dX, y0 = c->m_dY;
    c->m_rcScreen = OBJRECT{100, 50, 104, 80};   // 5 wide, 31 high
    c->SetCenterX(110);                          // centre 100 + 5 / 2 = 102
    EXPECT_EQ(c->m_dX, x0 + 8);
    c->SetCenterY(60);                           // centre 50 + 31 / 2 = 65
    EXPECT_EQ(c->m_dY, y0 - 5);

    // A move that arrives: the speed words are zeroed and the centre set.
    cEdCmd cmd;
    cmd.m_nKind = 5;
    cmd.m_pMove.MakeNew();
    cmd.m_pMove->m_bStopAtTarget = 1;
    cmd.m_pMove->m_bMoveOption = 1;   // no refresh of the screen boxes
    cCmdRun run;
    run.m_lpCmd = &cmd;
    run.m_Move.dSpeed = 4;
    c->m_rcScreen = OBJRECT{100, 50, 131, 81};   // centre (116, 66)
    const double x1 = c->m_dX;
    EXPECT_EQ(c->MoveToward(&run, c, 150, 66, 0, 1), 0);
    EXPECT_DOUBLE_EQ(run.m_Move.dVX, 4);
    EXPECT_EQ(run.m_nFaceReq, 2);
    EXPECT_EQ(c->MoveToward(&run, c, 118, 63, 0, 1), 1);
    EXPECT_EQ(run.m_Move.dVX, 0);
    EXPECT_EQ(run.m_Move.dSpeed, 0);
    EXPECT_EQ(c->m_dX, x1 + 2);
}

}  // namespace

namespace {

// ---- giant characters: centre and footing ----

// The stage's default bodies: walking 16 x 24 standing on the cell floor
// (box offsets 8, 8), flying 16 x 16 centred (8, 8). Placed on the cell
// whose top-left corner is (640, 640): x = 640 + 8 + 0.5, y = 640 + 8 at
// factor 1. A factor g keeps the centre (x -= (g - 1) x 8) and, at set-up,
// the footing: the box form y = 648 - (g - 1) x 32 + (g - 1) x 8, or with
// both size rules set the collision form y = 648 - (g - 1) x height.
TEST_F(CharaBase, GiantSetUpKeepsCentreAndFooting) {
    struct CASE {
        int nFlight, nGiant, bRuleBox, bRuleColl;
        double x, y;
        int nW, nH;
    };
    const CASE aCase[] = {
        {0, 1, 0, 0, 648.5, 648, 16, 24},
        {0, 2, 0, 0, 640.5, 624, 32, 48},   // bottom 624 + 47 = 671, the cell's floor
        {0, 3, 0, 0, 632.5, 600, 48, 72},   // bottom 671
        {1, 1, 0, 0, 648.5, 648, 16, 16},
        {1, 2, 0, 0, 640.5, 624, 32, 32},   // box form: 648 - 32 + 8
        {1, 3, 0, 0, 632.5, 600, 48, 48},   // 648 - 64 + 16
        {1, 2, 1, 1, 640.5, 632, 32, 32},   // collision form: 648 - 16
        {1, 3, 1, 1, 632.5, 616, 48, 48},   // 648 - 32
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "flight " << c.nFlight << " giant " << c.nGiant << " rules "
                                        << c.bRuleBox << c.bRuleColl);
        sys.m_bRuleScaleFootBox = c.bRuleBox;
        sys.m_bRuleScaleFootCollision = c.bRuleColl;
        cCharaData d;
        d.m_nFlight = static_cast<uint8_t>(c.nFlight);
        d.m_nGiant = static_cast<uint8_t>(c.nGiant);
        cChara* p = AddChara(d, 656, 656);
        EXPECT_DOUBLE_EQ(p->m_dX, c.x);
        EXPECT_DOUBLE_EQ(p->m_dY, c.y);
        EXPECT_EQ(p->m_nWidth, c.nW);
        EXPECT_EQ(p->m_nHeight, c.nH);
        EXPECT_DOUBLE_EQ(p->m_dBottom, c.y + c.nH - 1);
    }
}

// A size change (the status command passes flag 0): the footing form by the
// two system rules and the flag. A flying 16 x 16 body at y = 648 grown to
// factor 2 goes to 624 in the box form (648 - 32 + 8) and to 632 in the
// collision form (648 - 16); shrinking back puts it at 648 again.
TEST_F(CharaBase, SizeChangeFootingByTheRulesAndTheFlag) {
    struct CASE {
        int bRuleBox, bRuleColl, bFlag;
        double y;
    };
    const CASE aCase[] = {
        {0, 0, 0, 632}, {0, 0, 1, 624}, {0, 1, 0, 632}, {0, 1, 1, 624},
        {1, 0, 0, 624}, {1, 0, 1, 624}, {1, 1, 0, 632}, {1, 1, 1, 632},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "rules " << c.bRuleBox << c.bRuleColl << " flag " << c.bFlag);
        sys.m_bRuleScaleFootBox = c.bRuleBox;
        sys.m_bRuleScaleFootCollision = c.bRuleColl;
        cCharaData d;
        d.m_nFlight = 1;
        cChara* p = AddChara(d, 656, 656);
        ASSERT_DOUBLE_EQ(p->m_dY, 648);
        p->SetScale(2, 1, c.bFlag);
        EXPECT_DOUBLE_EQ(p->m_dY, c.y);
        EXPECT_DOUBLE_EQ(p->m_dX, 640.5);
        p->SetScale(1, 2, c.bFlag);
        EXPECT_DOUBLE_EQ(p->m_dY, 648);
        EXPECT_DOUBLE_EQ(p->m_dX, 648.5);
    }
}

// Placing on a cell (warps to block coordinates, the hero's start):
// stage cell (5, 7) has its corner at (480, 544). x = 480 + 8 + 0.5 less
// (g - 1) x 8; y = 544 + 8, then the footing from factor 1 to g.
TEST_F(CharaBase, GiantPlacedOnACell) {
    struct CASE {
        int nFlight, nGiant, bFlag;
        double x, y;
    };
    const CASE aCase[] = {
        {0, 1, 0, 488.5, 552},
        {0, 2, 0, 480.5, 528},   // collision form: 552 - 24, bottom 575 on the cell floor
        {1, 2, 0, 480.5, 536},   // collision form: 552 - 16
        {1, 2, 1, 480.5, 528},   // box form: 552 - 32 + 8
        {1, 3, 0, 472.5, 520},   // 552 - 32
        {1, 3, 1, 472.5, 504},   // 552 - 64 + 16
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "flight " << c.nFlight << " giant " << c.nGiant << " flag " << c.bFlag);
        cCharaData d;
        d.m_nFlight = static_cast<uint8_t>(c.nFlight);
        d.m_nGiant = static_cast<uint8_t>(c.nGiant);
        cChara* p = AddChara(d, 656, 656);
        p->SetBlockX(5);
        p->SetBlockY(7, c.bFlag);
        EXPECT_DOUBLE_EQ(p->m_dX, c.x);
        EXPECT_DOUBLE_EQ(p->m_dY, c.y);
        p->m_dX = p->m_dY = 0;
        p->SetBlockPos(5, 7, c.bFlag);
        EXPECT_DOUBLE_EQ(p->m_dX, c.x);
        EXPECT_DOUBLE_EQ(p->m_dY, c.y);
    }
}

// A solid (block) character's boxes are its whole body at every size.
TEST_F(CharaBase, BlockCharacterBoxesFollowItsSize) {
    cCharaData d;
    d.m_bNoHitBox = 1;
    d.m_nGiant = 3;
    cChara* p = AddChara(d, 656, 656);
    for (const HITBOX* b : {&p->m_HitBox1, &p->m_HitBox2}) {
        EXPECT_EQ(b->nX, 0);
        EXPECT_EQ(b->nY, 0);
        EXPECT_EQ(b->nW, 96);
        EXPECT_EQ(b->nH, 96);
    }
    p->SetScale(2, 3, 0);
    EXPECT_EQ(p->m_HitBox1.nW, 64);
    EXPECT_EQ(p->m_HitBox2.nH, 64);
    p->UpdateHitBoxX();
    EXPECT_DOUBLE_EQ(p->m_HitBox2.dLeft, std::floor(p->m_dX));
    EXPECT_DOUBLE_EQ(p->m_HitBox2.dRight, std::floor(p->m_dX) + 63);
}

// Box 2 (against shots) of every non-solid character has the size-mode-1
// setting's size, centred in the cell: offset 16 - w / 2 - box x offset.
// Size-mode-1 20 x 10, size-mode-2 14 x 6 (never box 2); walking body
// 16 x 24 (offsets 8, 8): (16 - 10 - 8, 16 - 5 - 8) = (-2, 3); flying body
// 20 x 20 (offsets 6, 6): (0, 5). Factor 2 doubles offsets and sizes.
TEST_F(CharaBase, ShotBoxHasTheSizeModeOneSize) {
    stage.m_nCharaSize1W = 20;
    stage.m_nCharaSize1H = 10;
    stage.m_nCharaSize2W = 14;
    stage.m_nCharaSize2H = 6;
    stage.m_nCharaFlyBoxW = 20;
    stage.m_nCharaFlyBoxH = 20;
    struct CASE {
        int nSizeMode, nFlight, nGiant, bBlock;
        int x, y, w, h;
    };
    const CASE aCase[] = {
        {0, 0, 1, 0, -2, 3, 20, 10}, {1, 0, 1, 0, -2, 3, 20, 10}, {2, 0, 1, 0, -2, 3, 20, 10},
        {3, 0, 1, 0, -2, 3, 20, 10}, {2, 1, 1, 0, 0, 5, 20, 10},  {0, 0, 2, 0, -4, 6, 40, 20},
        {1, 0, 1, 1, 0, 0, 32, 32},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "mode " << c.nSizeMode << " flight " << c.nFlight << " giant " << c.nGiant
                                        << " block " << c.bBlock);
        cCharaData d;
        d.m_nHitArea = static_cast<uint8_t>(c.nSizeMode);
        d.m_nFlight = static_cast<uint8_t>(c.nFlight);
        d.m_nGiant = static_cast<uint8_t>(c.nGiant);
        d.m_bNoHitBox = static_cast<uint8_t>(c.bBlock);
        cChara* p = AddChara(d, 656, 656);
        EXPECT_EQ(p->m_HitBox2.nX, c.x);
        EXPECT_EQ(p->m_HitBox2.nY, c.y);
        EXPECT_EQ(p->m_HitBox2.nW, c.w);
        EXPECT_EQ(p->m_HitBox2.nH, c.h);
        // The edges the shot hits are tested against.
        EXPECT_DOUBLE_EQ(p->m_HitBox2.dLeft, std::floor(p->m_dX) + c.x);
        EXPECT_DOUBLE_EQ(p->m_HitBox2.dBottom, std::floor(p->m_dY) + c.y + c.h - 1);
    }
}

// ---- the gravity-jump rule ----

// From JumpSpeedAndFrames: b = 1, gravity 0.4, 3 hbl gives -6.4; gravity 2,
// 15 hbl gives -32 (n = 16 steps: 2 x 16 x 15 / 2 = 240 = 15 x 16). With the
// rule, the hero's speed is multiplied by 0.99 - 0.025 x gravity:
// 0.98 -> -6.272 and 0.94 -> -30.08. Other characters keep theirs.
TEST_F(CharaBase, GravityJumpRuleScalesTheHerosJumpOnly) {
    cCharaData d;
    d.m_nOperator = 0;
    cHero* h = AddHero(d);
    cChara* c = AddChara(cCharaData());
    struct CASE {
        double dGravity;
        int nHbl, bRule;
        double vHero, vChara;
    };
    const CASE aCase[] = {
        {0.4, 3, 0, -6.4, -6.4}, {0.4, 3, 1, -6.272, -6.4}, {2.0, 15, 0, -32, -32}, {2.0, 15, 1, -30.08, -32},
    };
    for (const CASE& k : aCase) {
        SCOPED_TRACE(testing::Message() << "gravity " << k.dGravity << " rule " << k.bRule);
        stage.m_dGravity = k.dGravity;
        stage.SetJudgeLevel(11);
        sys.m_bRuleGravityJump = k.bRule;
        EXPECT_NEAR(h->JumpSpeed(k.nHbl), k.vHero, 1e-9);
        EXPECT_NEAR(c->JumpSpeed(k.nHbl), k.vChara, 1e-9);
    }
}

// ---- the start effect, the look-up by id, the sight reach ----

TEST_F(CharaBase, StartEffectRunsFromTheReset) {
    db.m_vCharaEffect.resize(3);
    db.m_vCharaEffect[2].m_nKind = 11;   // enlarge 32 -> 64 over 1/10 s
    db.m_vCharaEffect[2].m_anParam[0] = 1;
    db.m_vCharaEffect[2].m_anParam[1] = 32;
    db.m_vCharaEffect[2].m_anParam[2] = 64;
    db.CopyEffectLists();
    RebuildEffectRuns();
    cCharaData d;
    d.m_nStartEffect = 2;
    d.m_nStartEffectSrc = 1;     // reversed
    d.m_nStartEffectValue = 0;   // once
    cChara* p = AddChara(d);
    EXPECT_EQ(p->m_CharaEffect.m_nKind, 11);
    EXPECT_EQ(p->m_CharaEffect.m_nEffect, 2);
    EXPECT_EQ(p->m_CharaEffect.m_nRunType, 1);
    EXPECT_EQ(p->m_CharaEffect.m_bLoop, 0);
    EXPECT_DOUBLE_EQ(p->m_CharaEffect.m_dValue, 64);   // reversed: from the end value
    d.m_nStartEffect = 0;
    cChara* q = AddChara(d);
    EXPECT_EQ(q->m_CharaEffect.m_nKind, 0);
}

TEST_F(CharaBase, FindCharaLooksAtTheHeroesFirst) {
    cCharaData d;
    cChara* c = AddChara(d);
    d.m_nOperator = 0;
    cHero* h = AddHero(d);
    c->m_nId = 7;
    h->m_nId = 7;
    EXPECT_EQ(FindChara(7), h);
    h->m_nId = 8;
    EXPECT_EQ(FindChara(7), c);
    EXPECT_EQ(FindChara(8), h);
    EXPECT_EQ(FindChara(9), nullptr);
}

// The sight reach is 16 dots an hbl: sight 5 reaches 80 dots. A hero 32
// wide at screen (300, 200) seeing ahead (shape 2) moves the hole of a
// 1280 x 960 mask from 640 - 16 - 300 = 324 by 16 - 80 = -64 toward its
// front: 260 facing right, 388 facing left.
TEST_F(CharaBase, SightReachIsSixteenDotsAnHbl) {
    cCharaData d;
    d.m_nOperator = 0;
    d.m_nSight = 5;
    d.m_nSightShape = 2;
    cHero* h = AddHero(d);
    EXPECT_EQ(h->m_nSightDots, 80);
    h->m_rcScreen = OBJRECT{300, 200, 331, 231};
    h->m_nDir = 1;
    EXPECT_EQ(h->GetSightRect(1280, 960).nSrcX, 260);
    h->m_nDir = 0;
    EXPECT_EQ(h->GetSightRect(1280, 960).nSrcX, 388);
}

}  // namespace
