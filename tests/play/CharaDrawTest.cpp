// Character effects applied by the character drawing: blink toggles, a
// frozen effect that neither advances nor ends, an effect run without
// drawing that still finishes, and the enlarge effect's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "graphics/DDBlt.h"
#include "graphics/DDPalette.h"
#include "graphics/ImageSurfaces.h"
#include "play/Chara.h"
#include "play/CharaDraw.h"
#include "play/EffectRuns.h"
#include "play/Item.h"
#include "play/PlayDraw.h"
#include "play/PlayContext.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"
#include "project/Database.h"
#include "project/SystemData.h"
#include "support/DDTestSupport.h"

namespace {

class CharaDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.m_vCharaEffect.resize(4);
        Def(1, 6, 1, 0, 0);     // blink every frame for 1/10 s
        Def(2, 2, 1, 0, 12);    // split 0 -> 12
        Def(3, 11, 1, 32, 32);  // enlarge held at 32
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
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cDatabase db;
};

TEST_F(CharaDrawTest, BlinkWithIntervalZeroTogglesEveryFrame) {
    cChara c;
    c.m_CharaEffect.Start(1, 0, 0);
    std::vector<int> v;
    for (int i = 0; i < 4; i++) {
        StepCharaEffect(&c, 0);
        v.push_back(c.m_nEffectBlink);
    }
    EXPECT_EQ(v, (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(CharaDrawTest, FrozenEffectNeitherAdvancesNorEnds) {
    cChara c;
    c.m_CharaEffect.Start(2, 0, 0);
    for (int i = 0; i < 100; i++) ASSERT_EQ(StepCharaEffect(&c, 1), 0);
    EXPECT_EQ(c.m_CharaEffect.m_nKind, 2);
    EXPECT_EQ(c.m_CharaEffect.m_dValue, 0);
}

TEST_F(CharaDrawTest, EffectRunWithoutDrawingFinishes) {
    cChara c;
    c.m_CharaEffect.Start(2, 0, 0);
    int n = 1;
    while (!StepCharaEffect(&c, 0) && n < 100) n++;
    EXPECT_EQ(n, 7);   // 2, 4 ... 12, then past the end
    EXPECT_EQ(c.m_CharaEffect.m_nKind, 0);
}

// What a frozen frame (a pause, a wait) advances of a character that is not
// drawn: a transparent one on the screen runs its effect on, as in play; one
// off the screen that acts runs it only in frames of play, so that nothing
// of the play moves on during a wait whose length a replay does not keep.
// Effect 2 steps its value by 2 a frame.
TEST_F(CharaDrawTest, FrozenFramesAdvanceTransparentCharactersOnly) {
    struct CASE {
        const char* pszName;
        double x;   // the screen shows x 0..639
        int bTrans, bActing, bFrozen;
        double dValue;
    } const cases[] = {
        {"transparent on the screen, frozen", 100, 1, 0, 1, 2},
        {"acting off the screen, frozen", 3000, 0, 1, 1, 0},
        {"acting off the screen, play", 3000, 0, 1, 0, 2},
        {"idle off the screen, play", 3000, 0, 0, 0, 0},
    };
    for (const CASE& k : cases) {
        cChara c;
        c.m_dX = k.x;
        c.m_dRight = k.x + 31;
        c.m_dY = 100;
        c.m_dBottom = 131;
        c.m_Data.m_bTrans = static_cast<uint8_t>(k.bTrans);
        c.m_bActing = k.bActing;
        c.m_CharaEffect.Start(2, 0, 0);
        EXPECT_EQ(DrawChara(&c, nullptr, k.bFrozen), 0) << k.pszName;
        EXPECT_EQ(c.m_CharaEffect.m_dValue, k.dValue) << k.pszName;
    }
}

TEST_F(CharaDrawTest, EnlargeBy32DrawsTheNormalSize) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 64, 64));
    DDSURFACEDATA cell, dst;
    ASSERT_TRUE(DDCreateSurface(&cell, 32, 32, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 64, 64));
    DDClear(&cell, 7);
    DDClear(&dst, 16);
    cChara c;
    c.m_CharaEffect.Start(3, 0, 0);
    CHARAFXDRAW d;
    d.lpDst = &dst;
    d.lpCell = &cell;
    d.x = d.y = 16;
    pfnCharaEffect[11](&c, d, 1, 1);
    EXPECT_EQ(DDIndexAt(&dst, 16, 16), 7);
    EXPECT_EQ(DDIndexAt(&dst, 47, 47), 7);
    EXPECT_EQ(DDIndexAt(&dst, 15, 15), 16);
    EXPECT_EQ(DDIndexAt(&dst, 48, 48), 16);
    DDReleaseSurface(&cell);
    DDReleaseSurface(&dst);
    DDEnd();
}

}  // namespace

namespace {

// The sight mask's hole: a disc for shapes 1 and 2, a square otherwise.
TEST(SightMask, HoleOfTheHerosSight) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 64, 64));
    CreateSightSurface(32, 1);
    DDSURFACEDATA* sd = GetSightSurface();
    ASSERT_EQ(sd->nWidth, 1280 + 64);
    ASSERT_EQ(sd->nHeight, 960 + 64);
    const int cx = sd->nWidth / 2, cy = sd->nHeight / 2;
    EXPECT_EQ(DDIndexAt(sd, cx, cy), 0);
    EXPECT_EQ(DDIndexAt(sd, cx + 30, cy), 0);
    EXPECT_EQ(DDIndexAt(sd, cx + 30, cy + 30), 16);   // outside the disc, inside the square
    EXPECT_EQ(DDIndexAt(sd, 0, 0), 16);
    CreateSightSurface(32, 0);
    sd = GetSightSurface();
    EXPECT_EQ(DDIndexAt(sd, cx + 30, cy + 30), 0);
    EXPECT_EQ(DDIndexAt(sd, cx + 33, cy), 16);
    CreateSightSurface(0, 1);   // no sight: all covered
    EXPECT_EQ(DDIndexAt(GetSightSurface(), GetSightSurface()->nWidth / 2, GetSightSurface()->nHeight / 2), 16);
    ReleaseSightSurface();
    DDEnd();
}

// A project with a fixed transparent colour (one that is not palette entry
// 0's, as a full-colour project sets it at start-up): the hole of the mask,
// round or square, is still of the transparent colour, so the stage shows
// through it; the rest covers the stage in colour 16.
TEST(SightMask, HoleIsTransparentUnderAFixedTransparentColour) {
    for (const DDPROFILE& p : {DDPROFILE{0, 32, 0, "DD32"}, DDPROFILE{1, 32, 1, "D3D32"}})
        for (int nShape : {1, 0}) {
            SCOPED_TRACE(testing::Message() << p.pszName << ", shape " << nShape);
            ASSERT_TRUE(DDStartProfile(p, 128, 128));
            DDSetTransmit(10, 200, 30);
            if (!lpDTCon) {
                ASSERT_NE(dwTransColor, PalNumToRGB(0));
            }
            CreateSightSurface(32, nShape);
            DDSURFACEDATA* sd = GetSightSurface();
            const int cx = sd->nWidth / 2, cy = sd->nHeight / 2;
            DDSURFACEDATA dst;
            ASSERT_TRUE(DDMakeTarget(&dst, 128, 128));
            DDClear(&dst, 7);
            DDBlt(&dst, 0, 0, 128, 128, sd, cx - 64, cy - 64, DDBLT_KEY);
            EXPECT_EQ(DDIndexAt(&dst, 64, 64), 7);    // the centre of the hole
            EXPECT_EQ(DDIndexAt(&dst, 80, 64), 7);
            EXPECT_EQ(DDIndexAt(&dst, 0, 0), 16);     // outside the hole
            EXPECT_EQ(DDIndexAt(&dst, 64, 100), 16);
            DDReleaseSurface(&dst);
            ReleaseSightSurface();
            DDEnd();
        }
}

// A sight mask that cannot be made (here: no display to make it on) tells
// the player that memory ran out and then closes the game.
TEST(SightMask, FailedMaskShowsTheOutOfMemoryBox) {
    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cRecordingPlayHost host;
    ctx.lpHost = &host;
    CreateSightSurface(32, 1);
    EXPECT_EQ(host.vecError, (std::vector<std::string>{"メモリが不足しています！"}));
    EXPECT_EQ(host.nCloseRequests, 1);
    ReleaseSightSurface();
}

}  // namespace

namespace {

// Every applier draws a cell at every depth of both profiles, plain and
// stretched to a giant character's size (through the work surface).
class AppliersAtEveryDepth : public ::testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override { ASSERT_TRUE(DDStartProfile(GetParam(), 128, 128)); }
    void TearDown() override { DDEnd(); }
};

TEST_P(AppliersAtEveryDepth, EachKindDraws) {
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    DDSURFACEDATA cell, dst;
    ASSERT_TRUE(DDCreateSurface(&cell, 32, 32, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 128, 128));
    ASSERT_TRUE(DDCreateSurface(&Off_Img[67], 640, 480, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    std::vector<int> v(32 * 32);
    for (int i = 0; i < 32 * 32; i++) v[i] = (i % 32 < 4 || i % 32 > 27) ? 0 : 50 + (i / 32) % 8;
    DDPutIndices(&cell, 32, 32, v);
    for (int bGiant = 0; bGiant < 2; bGiant++) {
        for (int k = 0; k < CHARA_EFFECT_KINDS; k++) {
            DDClear(&dst, 16);
            cChara c;
            cCharaEffectRun& r = c.m_CharaEffect;
            r.m_nKind = k;
            const int32_t p[5] = {10, 0, 16, 4, 2};
            std::copy(p, p + 5, r.m_anParam);
            r.m_nStart = 0;
            r.m_nEnd = 16;
            r.m_nTime = 10;
            r.m_dValue = 8;
            r.m_dStepSize = 1;
            CHARAFXDRAW d;
            d.lpDst = &dst;
            d.lpCell = d.lpMirror = &cell;
            d.x = d.y = 32;
            d.w = d.h = bGiant ? 64 : 32;
            d.nGiant = bGiant ? 2 : 1;
            d.bStretch = bGiant;
            for (int i = 0; i < 3; i++) pfnCharaEffect[k](&c, d, 0, 1);
            if (k == 0) {
                EXPECT_EQ(DDIndexAt(&dst, 32 + 2, 48), 16);       // the key colour left out
                EXPECT_EQ(DDIndexAt(&dst, 32 + 8 * (1 + bGiant), 32), 50);
            }
        }
    }
    DDReleaseSurface(&Off_Img[67]);
    DDReleaseSurface(&cell);
    DDReleaseSurface(&dst);
}

// The row offsets of the animation set add up without wrapping: huge
// offsets from a damaged set hold the row at the largest, past every sheet.
TEST(CharaRows, OffsetsAddUpWithoutWrapping) {
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    cDatabase db;
    db.m_vAnimeSet.resize(2);
    db.m_vAnimeSet[1].m_nFlyOffset = 3;
    db.m_vAnimeSet[1].m_nInvincibleOffset = 4;
    db.m_vAnimeSet[1].m_nBlockCharaOffset = 8;
    ctx.lpDatabase = &db;
    cChara c;
    c.m_Data.m_nAnimSet = 1;
    c.m_Data.m_nGraphicRow = 2;
    c.m_bFlight = 1;
    c.m_Data.m_nInvincible = 1;
    EXPECT_EQ(GetCellRowOffset(&c), 2 + 3 + 4);
    db.m_vAnimeSet[1].m_nFlyOffset = INT32_MAX;
    db.m_vAnimeSet[1].m_nInvincibleOffset = INT32_MAX;
    EXPECT_EQ(GetCellRowOffset(&c), INT32_MAX);
    db.m_vAnimeSet[1].m_nFlyOffset = INT32_MIN;
    db.m_vAnimeSet[1].m_nInvincibleOffset = INT32_MIN;
    EXPECT_EQ(GetCellRowOffset(&c), INT32_MIN);
}

// The invincible rows belong to the invincibility status; the short
// invincibility after a hit shows the ordinary rows.
TEST(CharaRows, InvincibleRowsOnlyUnderTheInvincibilityStatus) {
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    cDatabase db;
    db.m_vAnimeSet.resize(2);
    db.m_vAnimeSet[1].m_nInvincibleOffset = 4;
    ctx.lpDatabase = &db;
    cChara c;
    c.m_Data.m_nAnimSet = 1;
    c.m_Data.m_nGraphicRow = 2;
    struct CASE {
        int nInvTime, nStatus, nRow;
    } const acase[] = {
        {0, 0, 2},    // neither: the base row
        {30, 0, 2},   // hit, steps of invincibility left: still the base row
        {0, 1, 6},    // the status: base 2 + invincible rows 4
        {30, 2, 6},   // status 2 (shots pass) with a hit running: 2 + 4
    };
    for (const CASE& t : acase) {
        c.m_nInvTime = t.nInvTime;
        c.m_Data.m_nInvincible = static_cast<uint8_t>(t.nStatus);
        EXPECT_EQ(GetCellRowOffset(&c), t.nRow) << "time " << t.nInvTime << " status " << t.nStatus;
    }
}

// The Direct3D tint of an invincible character: the system switch, the
// character's tint colour and the invincibility status must all be there;
// the pair is the system colour's at the time.
class cTintHost : public IPlayHost {
public:
    bool GetSystemColorPair(int n, int anPair[2]) override {
        anPair[0] = 0x100 + n;   // a colour that names its number
        anPair[1] = 7;
        return true;
    }
};

TEST(CharaTint, InvincibleCharacterUnderDirect3DTakesItsSystemColour) {
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    cSystemData sys;
    ctx.lpSystem = &sys;
    cTintHost host;
    ctx.lpHost = &host;
    cChara c;
    struct CASE {
        int bD3D, bSwitch, nTint, nStatus, nInvTime;
        bool bTint;
    } const acase[] = {
        {1, 1, 3, 1, 0, true},     // every condition: tinted with colour 3
        {1, 1, 3, 0, 40, false},   // hit invincibility only: no tint
        {1, 0, 3, 1, 0, false},    // the system switch off
        {1, 1, 0, 1, 0, false},    // no tint colour
        {0, 1, 3, 1, 0, false},    // DirectDraw
    };
    for (const CASE& t : acase) {
        ASSERT_TRUE(DDStartProfile({t.bD3D, 32, 0, t.bD3D ? "D3D32" : "DD32"}, 64, 64));
        sys.m_bD3DCharaTint = t.bSwitch;
        c.m_Data.m_nInvincibleTint = static_cast<uint8_t>(t.nTint);
        c.m_Data.m_nInvincible = static_cast<uint8_t>(t.nStatus);
        c.m_nInvTime = t.nInvTime;
        int an[2] = {0, 0};
        EXPECT_EQ(GetCharaTint(&c, an), t.bTint) << t.bD3D << t.bSwitch << t.nTint << t.nStatus << t.nInvTime;
        if (t.bTint) {
            EXPECT_EQ(an[0], 0x103);
            EXPECT_EQ(an[1], 7);
        }
        DDEnd();
    }
}

// A split into more strips than the cell has rows is one strip: the cell is
// drawn whole, not left out (the rounded-up strip length must not wrap).
TEST(CharaSplit, HugeStripCountDrawsOneStrip) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 128, 128));
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    DDSURFACEDATA cell, dst;
    ASSERT_TRUE(DDCreateSurface(&cell, 32, 32, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    ASSERT_TRUE(DDMakeTarget(&dst, 128, 128));
    DDPutIndices(&cell, 32, 32, std::vector<int>(32 * 32, 50));
    for (int nKind : {2, 3}) {
        DDClear(&dst, 16);
        cChara c;
        cCharaEffectRun& r = c.m_CharaEffect;
        r.m_nKind = nKind;
        // 32 + p - 1 lies past the 32-bit range: wrapped, it made a negative strip length.
        const int32_t p[5] = {10, 0, 0, INT32_MAX - 20, 0};
        std::copy(p, p + 5, r.m_anParam);
        r.m_nTime = 10;
        r.m_dStepSize = 1;
        CHARAFXDRAW d;
        d.lpDst = &dst;
        d.lpCell = d.lpMirror = &cell;
        d.x = d.y = 32;
        d.w = d.h = 32;
        d.nGiant = 1;
        pfnCharaEffect[nKind](&c, d, 1, 1);
        EXPECT_EQ(DDIndexAt(&dst, 40, 40), 50) << "kind " << nKind;
    }
    DDReleaseSurface(&cell);
    DDReleaseSurface(&dst);
    DDEnd();
}

INSTANTIATE_TEST_SUITE_P(Profiles, AppliersAtEveryDepth, ::testing::ValuesIn(DDAllProfiles()), DDProfileName);

}  // namespace

namespace {

// A sheet of one palette index in an image slot, kept as the loaded
// pictures are.
void FillSlot(int nSlot, int w, int h, int nIndex) {
    DDSURFACEDATA* sd = &Off_Img[nSlot];
    DDReleaseSurface(sd);
    ASSERT_TRUE(DDCreateSurface(sd, w, h, 1, 1, DTMEMORYTYPE_VIDEO_RT, nullptr, 0));
    DDPutIndices(sd, w, h, std::vector<int>(static_cast<size_t>(w) * h, nIndex));
}

uint32_t RgbAt(DDSURFACEDATA* sd, int x, int y) {
    DDPIXELS* p = DDGetPixels(sd);
    if (!p) return 0xFFFFFFFFu;
    return DDUnpackARGB(p->nFormat, DDGetRaw(*p, x, y)) & 0xFFFFFFu;
}

class cSelectTintHost : public IPlayHost {
public:
    bool GetSystemColorPair(int n, int anPair[2]) override {
        anPair[0] = static_cast<int>(0xFF102030u + static_cast<uint32_t>(n));   // its own colour
        anPair[1] = D3DTOP_SELECTARG2;                                          // the colour alone
        return true;
    }
};

// Drawn under Direct3D, an invincible character with a tint colour comes out
// in that colour (the pair's operation takes the colour alone here); the
// blit colour is put back afterwards, and without the status it is drawn
// in its own colours.
TEST(CharaTint, AnInvincibleCharacterIsDrawnInItsTint) {
    ASSERT_TRUE(DDStartProfile({1, 32, 0, "D3D32"}, 128, 128));
    for (int nSlot : {4, 5, 22, 23}) FillSlot(nSlot, 256, 480, 50);
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    cSystemData sys;
    sys.m_bD3DCharaTint = 1;
    ctx.lpSystem = &sys;
    cSelectTintHost host;
    ctx.lpHost = &host;
    cPlayScene scene;
    ctx.lpPlayScene = &scene;
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 128, 128));
    cChara c;
    c.m_nFrameW = c.m_nFrameH = c.m_nBaseFrameW = c.m_nBaseFrameH = 32;
    c.m_nWidth = c.m_nHeight = 32;
    c.m_dX = c.m_dY = 16;
    c.m_nDir = 1;
    c.m_Data.m_nGraphic = 0;
    c.m_Data.m_nInvincibleTint = 3;
    struct CASE {
        int nStatus;
        bool bTinted;
    } const aCase[] = {{1, true}, {0, false}, {2, true}};
    for (const CASE& t : aCase) {
        SCOPED_TRACE(testing::Message() << "status " << t.nStatus);
        c.m_Data.m_nInvincible = static_cast<uint8_t>(t.nStatus);
        DDClear(&dst, 16);
        const uint32_t dwBackdrop = RgbAt(&dst, 20, 20);
        DrawCharaBody(&c, &dst, 1);
        const uint32_t dw = RgbAt(&dst, 20, 20);
        EXPECT_NE(dw, dwBackdrop);   // drawn at all
        if (t.bTinted) EXPECT_EQ(dw, 0x102033u);
        else EXPECT_NE(dw, 0x102033u);
        EXPECT_EQ(RgbAt(&dst, 15, 15), dwBackdrop);   // and only on its cell
        EXPECT_EQ(lpDTCon->dwBltColor, 0xFFFFFFFFu);
        EXPECT_EQ(lpDTCon->nBltColorOp, D3DTOP_MODULATE);
    }
    c.m_Data.m_nInvincible = 0;
    DDClear(&dst, 16);
    DrawCharaBody(&c, &dst, 1);
    const uint32_t dwPlain = RgbAt(&dst, 20, 20);
    c.m_Data.m_nInvincible = 1;
    sys.m_bD3DCharaTint = 0;   // the system switch off: its own colours
    DDClear(&dst, 16);
    DrawCharaBody(&c, &dst, 1);
    EXPECT_EQ(RgbAt(&dst, 20, 20), dwPlain);
    ctx.lpPlayScene = nullptr;
    DDReleaseSurface(&dst);
    for (int nSlot : {4, 5, 22, 23}) DDReleaseSurface(&Off_Img[nSlot]);
    DDEnd();
}

// The icon of a carried item: 16 x 16 over the character, at x = its screen
// centre - item width / 4 and y = its screen top - item height / 2. Screen
// box (100, 200)-(131, 231): centre 116; an item 20 x 12 puts the icon's
// corner at (116 - 5, 200 - 6) = (111, 194).
TEST(CarriedItemIcon, DrawnAboveTheCharactersCentre) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 256, 256));
    FillSlot(42, 64, 240, 70);   // the small item icons
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 256, 256));
    DDClear(&dst, 16);
    cChara c;
    c.m_rcScreen = OBJRECT{100, 200, 131, 231};
    c.m_bOnScreen = 1;
    c.m_pItem = std::make_unique<cItem>();
    c.m_pItem->m_Item.m_nGraphicSheet = 2;
    c.m_pItem->m_Item.m_nGraphic = 1;
    c.m_pItem->m_nWidth = 20;
    c.m_pItem->m_nHeight = 12;
    c.m_bShowItemIcon = 1;
    c.m_nIconFrames = 63;   // the next frame shows it
    c.DrawItemIcon(&dst);
    EXPECT_EQ(DDIndexAt(&dst, 111, 194), 70);
    EXPECT_EQ(DDIndexAt(&dst, 126, 209), 70);
    EXPECT_EQ(DDIndexAt(&dst, 110, 194), 16);
    EXPECT_EQ(DDIndexAt(&dst, 111, 193), 16);
    EXPECT_EQ(DDIndexAt(&dst, 127, 209), 16);
    EXPECT_EQ(DDIndexAt(&dst, 126, 210), 16);
    DDReleaseSurface(&dst);
    DDReleaseSurface(&Off_Img[42]);
    DDEnd();
}

}  // namespace
