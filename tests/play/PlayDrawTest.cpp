// The frame of a harness stage: the timer's warning beep, the pause menu
// hiding the stage, the footer's texts, the status bar's label mode and its
// low gauge, the background tiled over the whole screen, map blocks under
// their conditions, transparent characters animating in a frozen frame and
// dead characters leaving the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/DD.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/Shot.h"
#include "play/PlayDraw.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/GameFonts.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "support/DDTestSupport.h"
#include "support/RecordingRasterizer.h"

namespace {

const std::vector<std::string> kRoom = {"..........", "..H.C.....", "..........", "##########"};

int Count(const std::vector<int>& v, int n) { return static_cast<int>(std::count(v.begin(), v.end(), n)); }

// The timer beeps (sound 13) when 0 < time <= the warning threshold, a second
// has just passed (divider 0) and the caller lets it; never without a time
// limit.
TEST(PlayDraw, TheTimersWarningBeep) {
    cPlayHarness h(kRoom);
    h.SetUp();
    h.Stage().m_nTimeWarn = 10;
    struct CASE {
        int nTime, nDivider, bSound, bNoLimit, nBeeps;
    } const acase[] = {
        {5, 0, 1, 0, 1}, {10, 0, 1, 0, 1}, {1, 0, 1, 0, 1}, {11, 0, 1, 0, 0}, {0, 0, 1, 0, 0},
        {5, 1, 1, 0, 0}, {5, 59, 1, 0, 0}, {5, 0, 0, 0, 0}, {5, 0, 1, 1, 0},
    };
    for (const CASE& c : acase) {
        h.Host().vecSound.clear();
        h.Scene().m_nTime = c.nTime;
        h.Scene().m_bNoTimeLimit = c.bNoLimit;
        h.Ctx().nFrameDivider = c.nDivider;
        DrawTimer(h.Scene(), &BackBuffer, c.bSound);
        EXPECT_EQ(Count(h.Host().vecSound, 13), c.nBeeps)
            << c.nTime << " " << c.nDivider << " " << c.bSound << " " << c.bNoLimit;
    }
}

// A host that counts the footer's step of the system colours.
class cFooterHost : public cRecordingPlayHost {
public:
    void AnimateSystemColor() override { nSteps++; }
    int nSteps = 0;
};

// With the system's switch on, the pause menu's frozen frame shows the
// backgrounds only: no footer step, and the messages are not updated. Drawn
// from play, or outside the pause menu, or with the switch off, the stage
// is drawn.
TEST(PlayDraw, ThePauseMenuHidesTheStageUnderItsSwitch) {
    cPlayHarness h(kRoom);
    h.SetUp();
    cFooterHost host;
    h.Ctx().lpHost = &host;
    struct CASE {
        int bHide, bPause, bFromPlay, nSteps;
    } const acase[] = {
        {1, 1, 0, 0}, {0, 1, 0, 1}, {1, 0, 0, 1}, {1, 1, 1, 1},
    };
    for (const CASE& c : acase) {
        h.System().m_bPauseHideStage = c.bHide;
        h.Scene().m_nState = c.bPause ? PLAYSTATE_PAUSE : PLAYSTATE_PLAY;
        host.nSteps = 0;
        h.Hero().m_rcScreen = OBJRECT{-5, -5, -5, -5};
        DrawPlayFrame(h.Scene(), c.bFromPlay, !c.bFromPlay, 0, 1);
        EXPECT_EQ(host.nSteps, c.nSteps) << c.bHide << c.bPause << c.bFromPlay;
        // The hero's screen rectangle is brought up to date only when drawn.
        EXPECT_EQ(h.Hero().m_rcScreen.left == -5, c.nSteps == 0) << c.bHide << c.bPause << c.bFromPlay;
    }
    h.Scene().m_nState = PLAYSTATE_PLAY;
}

// A display, recording fonts and the status bar's sheets: accessory icons
// at y 32 (colour 80 + x / 16), gauge frames at y 128, fills at y 144
// (colour 91) and y 160 (the low colour, 92).
class PlayDrawPicture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
        UseRecordingRasterizer();
        for (int i : {0, 1}) aFont[i].Create("ＭＳ ゴシック", 0, 16, 0, 16, 241, nullptr, 1, 240, nullptr, 0);
        MakeSheet(IMGSLOT_ACCESSORY, 256, 256, [](int x, int y) {
            if (y >= 32 && y < 48) return 80 + x / 16;
            if (y >= 128 && y < 144) return 0;
            if (y >= 144 && y < 160) return 91;
            if (y >= 160 && y < 176) return 92;
            return 0;
        });
        MakeSheet(IMGSLOT_STATUSWINDOW, 640, 20, [](int, int) { return 100; });
        RenderedTexts().clear();
    }
    void TearDown() override {
        for (int n : {IMGSLOT_ACCESSORY, IMGSLOT_STATUSWINDOW, IMGSLOT_BACKGROUND}) DDReleaseSurface(&Off_Img[n]);
        for (int i : {0, 1}) aFont[i].Release();
        DDSetRasterizerFactory(nullptr);
        DDEnd();
    }
    template <class FN>
    static void MakeSheet(int nSlot, int w, int h, FN fn) {
        DDMakeIndexSheet(&Off_Img[nSlot], w, h, fn);
    }
};

// The footer names how the game runs: system text 27 when started on a
// stage file, else text 26 in a test play, else nothing.
TEST_F(PlayDrawPicture, TheFootersText) {
    cPlayHarness h(kRoom);
    h.SetUp();
    h.System().m_vSysText.resize(30);
    h.System().m_vSysText[26] = "TESTPLAY";
    h.System().m_vSysText[27] = "STAGEFILE";
    struct CASE {
        int bDirect;
        bool bTestPlay;
        int bFooter;
        const char* pszShown;
    } const acase[] = {
        {1, false, 1, "STAGEFILE"}, {1, true, 1, "STAGEFILE"}, {0, true, 1, "TESTPLAY"}, {0, false, 1, nullptr},
        {1, true, 0, nullptr},
    };
    for (const CASE& c : acase) {
        bFreeStageStart = c.bDirect;
        h.Host().bTestPlay = c.bTestPlay;
        RenderedTexts().clear();
        DrawPlayFrame(h.Scene(), 0, 1, 0, c.bFooter);
        EXPECT_EQ(WasRendered("STAGEFILE"), c.pszShown && std::string(c.pszShown) == "STAGEFILE") << c.bDirect << c.bTestPlay;
        EXPECT_EQ(WasRendered("TESTPLAY"), c.pszShown && std::string(c.pszShown) == "TESTPLAY") << c.bDirect << c.bTestPlay;
    }
    bFreeStageStart = 0;
}

// The status bar in label mode writes the label before the value; in icon
// mode the icon and the value alone after it. Unlimited lives show "-". (The
// test's glyphs fill their whole box in the font's colour, 241.)
TEST_F(PlayDrawPicture, StatusBarLabelAndIconModes) {
    cPlayHarness h(kRoom);
    h.SetUp();
    cSystemData& sys = h.System();
    for (auto& e : sys.m_vStatusDisp) e.m_bShow = 0;
    sys.m_vStatusDisp[0].m_bShow = 1;   // total score
    sys.m_vStatusDisp[0].m_strLabel = "SC";
    sys.m_vStatusDisp[4].m_bShow = 1;   // lives
    sys.m_vStatusDisp[4].m_strLabel = "LV";
    h.Progress().m_nPlayScore = 1234;
    h.Scene().m_bStatusBar = 1;
    struct CASE {
        int bIcon;
        int32_t nLives;
        const char *pszScore, *pszLives;
        int nAtScore;   // the colour at the entry's first dots: text 241 or the icon
    } const acase[] = {
        {0, 7, "SC1234", "LV7", 241},
        {1, 7, "1234", "7", 80},
        {0, 999999, "SC1234", "LV-", 241},
        {1, 999999, "1234", "-", 80},
    };
    for (const CASE& c : acase) {
        sys.m_vStatusDisp[0].m_bIcon = sys.m_vStatusDisp[4].m_bIcon = c.bIcon;
        h.Progress().m_nLife = c.nLives;
        int anX[5], anW[5];
        ASSERT_GE(LayoutStatusBar(sys, anX, anW), 0);
        RenderedTexts().clear();
        DDClear(&BackBuffer, 16);
        DrawStatusBar(h.Scene(), &BackBuffer);
        EXPECT_TRUE(WasRendered(c.pszScore)) << c.bIcon << " " << c.pszScore;
        EXPECT_TRUE(WasRendered(c.pszLives)) << c.bIcon << " " << c.pszLives;
        EXPECT_EQ(DDIndexAt(&BackBuffer, anX[0] + 8, 4), c.nAtScore) << c.bIcon;
        EXPECT_EQ(DDIndexAt(&BackBuffer, anX[4] + 8, 4), c.bIcon ? 84 : 241) << c.bIcon;
    }
}

// The HP gauge is filled HP x 50 / maximum wide, in the low colour when the
// HP is at or under the entry's threshold (here 1 HP), else in the usual
// one. The hero has 4 HP at most.
TEST_F(PlayDrawPicture, TheLowGaugeColour) {
    cPlayHarness h(kRoom);
    h.HeroTemplate().m_nMaxHp = 4;
    h.SetUp();
    cSystemData& sys = h.System();
    for (auto& e : sys.m_vStatusDisp) e.m_bShow = 0;
    cStatusDisp& hp = sys.m_vStatusDisp[2];
    hp.m_bShow = 1;
    hp.m_bIcon = 1;
    hp.m_bShowValue = 0;
    hp.m_nLow = 1;
    hp.m_bLowPercent = 0;
    h.Scene().m_bStatusBar = 1;
    int anX[5], anW[5];
    ASSERT_GE(LayoutStatusBar(sys, anX, anW), 0);
    const int x = anX[2] + 16;   // the gauge after the icon
    struct CASE {
        int nHp, nFill, nColour;
    } const acase[] = {{4, 50, 91}, {2, 25, 91}, {1, 12, 92}};
    for (const CASE& c : acase) {
        h.Hero().m_nHp = c.nHp;
        DDClear(&BackBuffer, 16);
        DrawStatusBar(h.Scene(), &BackBuffer);
        EXPECT_EQ(DDIndexAt(&BackBuffer, x, 8), c.nColour) << c.nHp;
        EXPECT_EQ(DDIndexAt(&BackBuffer, x + c.nFill - 1, 8), c.nColour) << c.nHp;
        EXPECT_EQ(DDIndexAt(&BackBuffer, x + c.nFill, 8), 100) << c.nHp;
    }
}

// A background of 64 x 48 is tiled over the whole screen: with the camera
// at the stage's corner (320, 320) and a factor of 1 its origin is (0, 0),
// so the tile's dot (24, 18), marked, shows at (24 + 64k, 18 + 48j) up to
// the far corner: (600, 450) is tile (9, 9)'s mark.
TEST_F(PlayDrawPicture, TheBackgroundCoversTheScreen) {
    cPlayHarness h(kRoom);
    h.SetUp();
    MakeSheet(IMGSLOT_BACKGROUND, 64, 48, [](int x, int y) { return x == 24 && y == 18 ? 70 : 60; });
    cStage& st = h.Stage();
    st.m_vBackground.assign(1, cBackground());
    st.m_vBackground[0].m_bShow = 1;
    st.m_vBackground[0].m_dRateX = st.m_vBackground[0].m_dRateY = 1;
    ASSERT_EQ(h.Scene().m_ScrollX.m_dCam, 320);
    ASSERT_EQ(h.Scene().m_ScrollY.m_dCam, 320);
    DDClear(&BackBuffer, 16);
    DrawBackgrounds(h.Scene(), &BackBuffer, 0);
    struct CASE {
        int x, y, nColour;
    } const acase[] = {{24, 18, 70}, {88, 18, 70}, {24, 66, 70}, {600, 450, 70}, {601, 450, 60},
                       {639, 479, 60}, {0, 0, 60}, {600, 18, 70}, {24, 450, 70}};
    for (const CASE& c : acase) EXPECT_EQ(DDIndexAt(&BackBuffer, c.x, c.y), c.nColour) << c.x << "," << c.y;
}

// A map block with an appearance condition is drawn only while it holds:
// stage variable 3 equal to 1 here.
TEST_F(PlayDrawPicture, MapBlocksUnderTheirConditions) {
    DDSURFACEDATA& sheet = Off_Img[IMAGE_SLOT_BLOCK];
    ASSERT_TRUE(DDCreateSurface(&sheet, 64, 480, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    DDClear(&sheet, 0);
    DDFillRect(&sheet, 0, 32, 32, 32, 7);   // chip 1
    {
        cPlayHarness h({"..........", "..........", "..........", ".........."});
        h.SetUp();
        cBlockData b;
        b.m_nGraphic = 1;
        cCond cond;
        cond.m_nKind = COND_STAGE_VAR;
        cond.m_nVarNum = 3;
        cond.m_nValue = 1;
        cond.m_nCompare = 0;   // equal
        b.m_vCond.push_back(cond);
        MapCellAt(MapCellIndex(11, 11))->SetBlock(b);
        ASSERT_FALSE(MapCellAt(MapCellIndex(11, 11))->m_vCond.empty());
        for (int nVar : {0, 1, 0}) {
            h.Scene().m_vecStageVar[3] = nVar;
            DDClear(&BackBuffer, 16);
            h.Scene().DrawMap(&BackBuffer, 0);
            EXPECT_EQ(DDIndexAt(&BackBuffer, 50, 50), nVar == 1 ? 7 : 16) << nVar;
        }
    }
    DDReleaseSurface(&sheet);
}

// An object moved to (x, y), its box with it.
void PutAt(cObj& o, double x, double y) {
    o.m_dX = x;
    o.m_dY = y;
    o.ClampPosX(2);
    o.ClampPosY(2);
}

// The drawing order within a layer: the hero, then the items, then the
// characters, then the shots, each over what came before. The four stand on
// one place; each sheet is one colour (hero 61 on character sheet 0, the
// character 62 on sheet 1, items 63, shots 64), and the dot 10 in from the
// hero's corner, inside all four, shows the last drawn of those present. With layered drawing
// on, a character of a lower layer than the hero's goes under the hero.
TEST_F(PlayDrawPicture, HeroItemsCharactersAndShotsInTheirOrder) {
    for (int nSlot : {4, 5, 22, 23}) MakeSheet(nSlot, 256, 480, [](int, int) { return 61; });
    for (int nSlot : {6, 7, 24, 25}) MakeSheet(nSlot, 256, 480, [](int, int) { return 62; });
    for (int nSlot : {40, 41}) MakeSheet(nSlot, 256, 480, [](int, int) { return 63; });
    for (int nSlot : {IMGSLOT_SHOT, IMGSLOT_SHOT_MIRROR}) MakeSheet(nSlot, 256, 480, [](int, int) { return 64; });
    struct CASE {
        bool bItem, bChara, bShot;
        int bLayers, nHeroZ, nCharaZ;
        int nTop;
    } const acase[] = {
        {true, true, true, 0, 3, 3, 64},  {true, true, false, 0, 3, 3, 62}, {true, false, false, 0, 3, 3, 63},
        {false, false, false, 0, 3, 3, 61}, {false, true, false, 0, 3, 3, 62}, {false, false, true, 0, 3, 3, 64},
        {false, true, false, 1, 5, 2, 61}, {false, true, false, 1, 2, 5, 62}, {false, true, false, 0, 5, 2, 62},
        {true, false, false, 1, 5, 5, 61}, {true, false, false, 1, 1, 5, 63},
    };
    for (const CASE& c : acase) {
        std::vector<std::string> vecMap = kRoom;
        vecMap[1] = c.bItem ? "..H.C..I.." : "..H.C.....";
        cPlayHarness g(vecMap);
        g.HeroTemplate().m_nGraphic = 1;
        g.HeroTemplate().m_nZ = static_cast<uint8_t>(c.nHeroZ);
        g.CharaTemplate().m_nGraphic = 16;
        g.CharaTemplate().m_nZ = static_cast<uint8_t>(c.nCharaZ);
        g.ItemTemplate().m_nGraphic = 1;
        g.Stage().m_nWidth = 0;
        g.BuildStage();
        g.Stage().m_bZOrder = c.bLayers;
        g.Header() = g.Stage();
        g.SetUpBuilt();
        cHero& hero = g.Hero();
        const double x = hero.m_dX, y = hero.m_dY;
        if (c.bChara) {
            ASSERT_EQ(g.Ctx().lstChara.size(), 1u);
            PutAt(*g.Ctx().lstChara.front(), x, y);
            g.Ctx().lstChara.front()->m_bOnScreen = 1;
        } else {
            g.Ctx().lstChara.clear();
            for (auto& l : g.Scene().m_vecGroupChara) l.clear();
            g.Scene().m_vecGroupChara[0].push_back(cObjRef(&hero));
        }
        if (c.bItem) {
            ASSERT_EQ(g.Ctx().lstItem.size(), 1u);
            PutAt(*g.Ctx().lstItem.front(), x, y);
        }
        if (c.bShot) {
            cEdShot rec;
            rec.m_nCount = 1;
            rec.m_nGraphic = 1;
            rec.m_nZ = 3;
            EmitShot(&g.Scene().m_lstShot, &hero, nullptr, rec);
            ASSERT_EQ(g.Scene().m_lstShot.size(), 1u);
            PutAt(*g.Scene().m_lstShot.front(), x, y);
        }
        DDClear(&BackBuffer, 16);
        DrawPlayFrame(g.Scene(), 1, 0, 0, 0);
        EXPECT_EQ(DDIndexAt(&BackBuffer, hero.m_rcScreen.left + 10, hero.m_rcScreen.top + 10), c.nTop)
            << c.bItem << c.bChara << c.bShot << " layers " << c.bLayers << " z " << c.nHeroZ << "/" << c.nCharaZ;
    }
}

// A transparent character keeps animating in a frozen frame (the pause
// menu's); any other character on the screen stands still.
TEST(PlayDraw, TransparentCharactersAnimateInAFrozenFrame) {
    for (int bTrans : {1, 0}) {
        cPlayHarness h(kRoom);
        h.CharaTemplate().m_bTrans = static_cast<uint8_t>(bTrans);
        h.SetUp();
        ASSERT_EQ(h.Ctx().lstChara.size(), 1u);
        cChara& c = *h.Ctx().lstChara.front();
        ASSERT_TRUE(c.IsOnScreen());
        ASSERT_FALSE(c.m_Anim.m_vPattern.empty());
        const auto before = std::make_pair(c.m_Anim.m_nStep, c.m_Anim.m_nCount);
        for (int i = 0; i < 3; i++) DrawPlayFrame(h.Scene(), 0, 1, 0, 1);
        const auto after = std::make_pair(c.m_Anim.m_nStep, c.m_Anim.m_nCount);
        EXPECT_EQ(before != after, bTrans == 1) << bTrans;
    }
}

// A dead character whose defeat effect has ended leaves the character list
// when a frame is drawn from play; a frozen frame keeps it.
TEST(PlayDraw, ADeadCharacterIsErasedByTheNextPlayFrame) {
    cPlayHarness h(kRoom);
    h.CharaTemplate().m_nDefeatEffect = 0;
    h.SetUp();
    ASSERT_EQ(h.Ctx().lstChara.size(), 1u);
    cChara& c = *h.Ctx().lstChara.front();
    c.m_bDead = 1;
    c.m_CharaEffect.m_nKind = 0;
    DrawPlayFrame(h.Scene(), 0, 1, 0, 1);
    EXPECT_EQ(h.Ctx().lstChara.size(), 1u);
    DrawPlayFrame(h.Scene(), 1, 0, 1, 1);
    EXPECT_TRUE(h.Ctx().lstChara.empty());
}

}  // namespace
