// The ranges of distance conditions drawn over the stage: where the lines
// and circles fall for each mode, which conditions and characters show, and
// the colour's cycle.
#include <gtest/gtest.h>

#include "CharaFixture.h"
#include "PlayHarness.h"
#include "graphics/DDCreate.h"
#include "play/Conditions.h"
#include "play/DistanceRanges.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "support/DDTestSupport.h"

namespace {

constexpr int BACK = 16;    // the screen's colour before the ranges
constexpr int COLOR = 40;   // the conditions' colour number

class TestPlayHost : public IPlayHost {
public:
    bool IsTestPlay() override { return true; }
};

// One character with frame columns 100..131 and rows 200..231 (32 x 32),
// facing right, acting and on screen, in group list 1.
class DistanceRanges : public cCharaFixture {
protected:
    void SetUp() override { Start({0, 32, 0, "DD32"}); }
    void TearDown() override {
        DDReleaseSurface(&dst);
        DDEnd();
    }
    void Start(const DDPROFILE& p) {
        ASSERT_TRUE(DDStartProfile(p, 640, 480));
        ASSERT_TRUE(DDMakeTarget(&dst, 640, 480));
        DDClear(&dst, BACK);
        c = AddChara(d);
        c->m_rcScreen = {100, 200, 131, 231};
        c->m_nDir = 1;
        c->m_bOnScreen = 1;
        c->m_bActing = 1;
        scene.m_vecGroupChara[1].push_back(cObjRef(c));
    }
    void Restart(const DDPROFILE& p) {
        DDReleaseSurface(&dst);
        DDEnd();
        ctx.lstChara.clear();
        scene.m_vecGroupChara[1].clear();
        Start(p);
    }
    // A distance condition of the given mode, value 2 and 4 extra dots
    // (range 2 x 16 + 4 = 36), shown always in colour 40.
    static cCond Dist(int nShape, int nDisplay = 1) {
        cCond k;
        k.m_nKind = COND_DISTANCE;
        k.m_nShape = static_cast<uint8_t>(nShape);
        k.m_nValue = 2;
        k.m_nSrcVarNum = 4;
        k.m_nLeftType = static_cast<uint8_t>(nDisplay);
        k.m_nLeftVarKind = COLOR;
        return k;
    }
    void Give(const cCond& k) {
        cFlow f;
        f.m_vCond.push_back(k);
        c->m_Data.m_vFlow.push_back(f);
    }
    void Draw() {
        DDClear(&dst, BACK);
        DrawDistanceRanges(scene, &dst);
    }
    int At(int x, int y) { return DDIndexAt(&dst, x, y); }
    int Painted() {
        int n = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) n += At(x, y) != BACK;
        return n;
    }
    // The columns (or rows) of the middle row (column) that hold the colour.
    std::vector<int> Marks(bool bRows) {
        std::vector<int> v;
        for (int i = 0; i < (bRows ? 480 : 640); i++)
            if ((bRows ? At(320, i) : At(i, 240)) != BACK) v.push_back(i);
        return v;
    }

    cCharaData d;
    cChara* c = nullptr;
    DDSURFACEDATA dst;
};

// The lines mark the outermost dots a target may reach and still be in
// range. The span of a box starting at s of length n is worked from its
// centre c = s + n / 2 and half h = n / 2: range before it ends at
// s - range, range after it at c + h + range (one past the box's far edge
// plus the range); a side without range ends at the centre.
// Horizontal: s = 100, n = 32, c = 116: 100 - 36 = 64, 116 + 16 + 36 = 168.
// Vertical: s = 200, c = 216: 200 - 36 = 164, 216 + 16 + 36 = 268.
TEST_F(DistanceRanges, LinesOfEachModeAtTheEndsOfTheSpan) {
    struct CASE {
        int nShape, nDir;
        bool bRows;
        std::vector<int> vMarks;
    } const aCase[] = {
        {0, 1, false, {64, 168}},    // both sides
        {0, 0, false, {64, 168}},
        {1, 1, false, {116, 168}},   // in front, facing right: centre to the right end
        {1, 0, false, {64, 116}},    // in front, facing left
        {2, 1, false, {64, 116}},    // behind, facing right
        {2, 0, false, {116, 168}},
        {3, 1, true, {164, 268}},    // vertical, both sides
        {4, 1, true, {216, 268}},    // facing right: down
        {4, 0, true, {164, 216}},    // facing left: up
        {5, 1, true, {164, 216}},    // facing right: up
        {5, 0, true, {216, 268}},
    };
    for (const CASE& t : aCase) {
        c->m_Data.m_vFlow.clear();
        c->m_nDir = t.nDir;
        scene.m_nRangeCycle = 0;
        Give(Dist(t.nShape));
        Draw();
        EXPECT_EQ(Marks(t.bRows), t.vMarks) << "mode " << t.nShape << " facing " << t.nDir;
        // Full height (width) 1-dot lines, in the condition's colour.
        const int v = t.vMarks[0];
        EXPECT_EQ(t.bRows ? At(0, v) : At(v, 0), COLOR) << "mode " << t.nShape;
        EXPECT_EQ(t.bRows ? At(639, v) : At(v, 479), COLOR) << "mode " << t.nShape;
        EXPECT_EQ(Painted(), 2 * (t.bRows ? 640 : 480)) << "mode " << t.nShape;
    }
}

// The drawing marks exactly what the test measures: a target box whose
// right edge is on the left line is within range, one dot further is not.
TEST_F(DistanceRanges, LineIsTheLastDotTheConditionHolds) {
    cCharaData hd;
    hd.m_nOperator = 0;
    cHero* h = AddHero(hd);
    sys.m_bRuleDistanceNoRefresh = 1;
    h->m_nBoxX = 0;
    const cCond k = Dist(0);
    Give(k);
    Draw();
    ASSERT_EQ(At(64, 240), COLOR);
    h->m_rcScreen = {33, 200, 64, 231};
    EXPECT_EQ(CheckCond(k, c), 1);
    h->m_rcScreen = {32, 200, 63, 231};
    EXPECT_EQ(CheckCond(k, c), 0);
    ASSERT_EQ(At(168, 240), COLOR);
    h->m_rcScreen = {168, 200, 199, 231};
    EXPECT_EQ(CheckCond(k, c), 1);
    h->m_rcScreen = {169, 200, 200, 231};
    EXPECT_EQ(CheckCond(k, c), 0);
}

// Mode 6: a circle of the range around the box's centre. A box 24 x 24 at
// (4, 8) in the frame: centre (100 + 4 + 12, 200 + 8 + 12) = (116, 220);
// radius 36 puts the four axis points at 116 +- 36 = 80 and 152, and
// 220 +- 36 = 184 and 256.
TEST_F(DistanceRanges, CircleAroundTheBoxCentre) {
    c->m_nBoxX = 4;
    c->m_nBoxY = 8;
    c->m_nWidth = 24;
    c->m_nHeight = 24;
    Give(Dist(6));
    Draw();
    EXPECT_EQ(At(152, 220), COLOR);
    EXPECT_EQ(At(80, 220), COLOR);
    EXPECT_EQ(At(116, 184), COLOR);
    EXPECT_EQ(At(116, 256), COLOR);
    EXPECT_EQ(At(153, 220), BACK);
    EXPECT_EQ(At(151, 220), BACK);
    EXPECT_EQ(At(116, 220), BACK);
    EXPECT_EQ(At(116, 185), BACK);
}

// Over 64 dots, without Direct3D the circle is drawn at 64 into a 129 x 129
// work surface and stretched to 2r + 1. Radius 128 (value 8): 257 columns
// from 116 - 128 = -12; column i reads source column
// floor((2i + 1) x 129 / 514). The circle's right point is source (128, 64)
// and nothing else of source row 64 right of the centre: columns i = 255
// (511 x 129 / 514 = 128.2) and 256 (128.7) read it, i = 254 (127.7) does
// not; the middle row j = 128 reads source row 64 (257 x 129 / 514 = 64.5).
// So (116 + 127, 220) and (116 + 128, 220) are coloured, (116 + 126, 220)
// is not. Under Direct3D the circle is drawn as it is: (244, 220) only.
TEST_F(DistanceRanges, WideCircleStretchedFromTheWorkSizeUnlessDirect3D) {
    struct CASE {
        DDPROFILE prof;
        int n242, n243, n244, n245;
    } const aCase[] = {
        {{0, 32, 0, "DD32"}, BACK, COLOR, COLOR, BACK},
        {{1, 32, 1, "D3D32"}, BACK, BACK, COLOR, BACK},
    };
    for (const CASE& t : aCase) {
        Restart(t.prof);
        c->m_nBoxX = 4;
        c->m_nBoxY = 8;
        c->m_nWidth = 24;
        c->m_nHeight = 24;
        cCond k = Dist(6);
        k.m_nValue = 8;
        k.m_nSrcVarNum = 0;
        Give(k);
        Draw();
        EXPECT_EQ(At(242, 220), t.n242) << t.prof.pszName;
        EXPECT_EQ(At(243, 220), t.n243) << t.prof.pszName;
        EXPECT_EQ(At(244, 220), t.n244) << t.prof.pszName;
        EXPECT_EQ(At(245, 220), t.n245) << t.prof.pszName;
        EXPECT_EQ(At(116, 92), COLOR) << t.prof.pszName;   // the top point: 220 - 128
        EXPECT_EQ(At(116, 220), BACK) << t.prof.pszName;
    }
}

// A circle around the whole screen shows nothing and costs nothing.
TEST_F(DistanceRanges, HugeCircleDrawsNothing) {
    cCond k = Dist(6);
    k.m_nValue = 1 << 24;
    Give(k);
    Draw();
    EXPECT_EQ(Painted(), 0);
}

// Which conditions and characters show: the display flag (0 never, 1
// always, 2 only in a test play), the also-when-inactive flag for a
// character that does not act, the show-anyway flag for one that is
// transparent or hidden this frame; the dead and those off the screen never.
TEST_F(DistanceRanges, WhoShows) {
    TestPlayHost testHost;
    IPlayHost* pGame = ctx.lpHost;
    struct CASE {
        const char* pszName;
        int nDisplay;
        bool bTestPlay;
        int bActing, bHide, bTrans, bDead, bOnScreen;
        int nInactiveFlag, nHiddenFlag;
        bool bShown;
    } const aCase[] = {
        {"flag 0", 0, true, 1, 0, 0, 0, 1, 0, 0, false},
        {"flag 1", 1, false, 1, 0, 0, 0, 1, 0, 0, true},
        {"flag 2 in a game", 2, false, 1, 0, 0, 0, 1, 0, 0, false},
        {"flag 2 in a test play", 2, true, 1, 0, 0, 0, 1, 0, 0, true},
        {"flag 3", 3, true, 1, 0, 0, 0, 1, 1, 1, false},
        {"inactive", 1, false, 0, 0, 0, 0, 1, 0, 0, false},
        {"inactive, shown when inactive", 1, false, 0, 0, 0, 0, 1, 1, 0, true},
        {"hidden this frame", 1, false, 1, 1, 0, 0, 1, 0, 0, false},
        {"hidden, shown anyway", 1, false, 1, 1, 0, 0, 1, 0, 1, true},
        {"transparent", 1, false, 1, 0, 1, 0, 1, 0, 0, false},
        {"transparent, shown anyway", 1, false, 1, 0, 1, 0, 1, 0, 1, true},
        {"dead", 1, false, 1, 0, 0, 1, 1, 1, 1, false},
        {"off the screen", 1, false, 1, 0, 0, 0, 0, 1, 1, false},
    };
    for (const CASE& t : aCase) {
        ctx.lpHost = t.bTestPlay ? &testHost : pGame;
        c->m_Data.m_vFlow.clear();
        cCond k = Dist(0, t.nDisplay);
        k.m_nSource = static_cast<uint8_t>(t.nInactiveFlag);
        k.m_nSrcSubject = static_cast<int8_t>(t.nHiddenFlag);
        Give(k);
        c->m_bActing = t.bActing;
        c->m_bHideFrame = t.bHide;
        c->m_Data.m_bTrans = static_cast<uint8_t>(t.bTrans);
        c->m_bDead = t.bDead;
        c->m_bOnScreen = t.bOnScreen;
        Draw();
        EXPECT_EQ(Painted(), t.bShown ? 2 * 480 : 0) << t.pszName;
    }
    ctx.lpHost = pGame;
}

// Only distance conditions show, and every flow's are drawn.
TEST_F(DistanceRanges, EveryFlowsDistanceConditions) {
    cCond notDist = Dist(0);
    notDist.m_nKind = COND_STAGE_VAR;
    Give(notDist);
    Draw();
    EXPECT_EQ(Painted(), 0);
    Give(Dist(0));
    Give(Dist(3));
    Draw();
    EXPECT_EQ(Marks(false), (std::vector<int>{64, 168}));
    EXPECT_EQ(Marks(true), (std::vector<int>{164, 268}));
}

// The colour is the colour number plus the frame cycle (0..31, one a
// frame) / 8: frames 0-7 colour 40, 8-15 41, 24-31 43, then 40 again. On
// an 8-bit screen whose system fixes the colours it stays 40.
TEST_F(DistanceRanges, ColourCyclesByFrameOverEight) {
    Give(Dist(0));
    std::vector<int> v;
    for (int i = 0; i < 34; i++) {
        Draw();
        v.push_back(At(64, 240));
    }
    const std::vector<int> vCycle = {40, 40, 40, 40, 40, 40, 40, 40, 41, 41, 41, 41, 41, 41, 41, 41, 42,
                                     42, 42, 42, 42, 42, 42, 42, 43, 43, 43, 43, 43, 43, 43, 43, 40, 40};
    EXPECT_EQ(v, vCycle);

    struct CASE {
        DDPROFILE prof;
        int bFixed;
        int nFrame8;
    } const aCase[] = {
        {{0, 8, 0, "DD8"}, 1, 40},    // fixed: the palette rotation animates it
        {{0, 8, 0, "DD8"}, 0, 41},
        {{0, 32, 0, "DD32"}, 1, 41},  // only 8-bit screens fix it
    };
    for (const CASE& t : aCase) {
        Restart(t.prof);
        scene.m_nRangeCycle = 0;
        sys.m_bRuleFixedRangeColor = t.bFixed;
        Give(Dist(0));
        for (int i = 0; i < 9; i++) Draw();
        EXPECT_EQ(At(64, 240), t.nFrame8) << t.prof.pszName << " fixed " << t.bFixed;
    }
}

}  // namespace

namespace {

// A flow that tests a distance of 36 dots on both sides, shown always.
cFlow ShownDistanceFlow() {
    cCond k;
    k.m_nKind = COND_DISTANCE;
    k.m_nValue = 2;
    k.m_nSrcVarNum = 4;
    k.m_nLeftType = 1;
    k.m_nLeftVarKind = COLOR;
    cFlow f;
    f.m_vCond.push_back(k);
    return f;
}

// The frame draws the ranges: a stage whose character tests a distance of
// 36 dots on both sides shows the left line 36 dots left of the
// character's frame in the back buffer.
TEST(DistanceRangesInTheFrame, TheFrameDrawsThem) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
    {
        cPlayHarness h({"..........",
                        "..........",
                        "..H....C..",
                        "##########"});
        h.CharaTemplate().m_vFlow.push_back(ShownDistanceFlow());
        h.SetUp();
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        ASSERT_FALSE(h.Ctx().lstChara.empty());
        const cChara* c = h.Ctx().lstChara.front().get();
        ASSERT_TRUE(c->m_bOnScreen);
        const int x = c->m_rcScreen.left - 36;
        const int y = 240;
        ASSERT_GE(x, 0);
        h.Scene().m_nRangeCycle = 0;
        h.Scene().Draw(1, 0);
        EXPECT_EQ(DDIndexAt(&BackBuffer, x, y), COLOR);
        EXPECT_NE(DDIndexAt(&BackBuffer, x - 1, y), COLOR);
    }
    DDEnd();
}

// The hero's ranges show only while the hero is on the screen: just past the
// screen's right edge (left at 650: its left line, 36 dots before, would be
// at 614) or left edge (left at -40, right at -9: its right line would be
// at -40 + 16 + 16 + 36 = 28) the hero draws no line, though the activity
// pass always marks the hero as on the screen. The camera stays.
TEST(DistanceRangesInTheFrame, AHeroOffTheScreenDrawsNoLines) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
    {
        cPlayHarness h({"..........", "..........", "..H.......", "##########"});
        h.HeroTemplate().m_vFlow.push_back(ShownDistanceFlow());
        h.SetUp();
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        cHero& hero = h.Hero();
        const double dCam = h.Scene().m_ScrollX.m_dCam;
        struct CASE {
            double dX;   // the hero's left edge on the screen
            bool bShown;
        } const acase[] = {{200, true}, {650, false}, {-40, false}, {620, true}};
        for (const CASE& c : acase) {
            hero.m_dX = dCam + c.dX;
            hero.m_dRight = hero.m_dX + 31;
            hero.m_bOnScreen = 1;
            hero.UpdateScreenRect();
            ASSERT_EQ(hero.IsOnScreen() != 0, c.bShown) << c.dX;
            DDClear(&BackBuffer, BACK);
            h.Scene().m_nRangeCycle = 0;
            DrawDistanceRanges(h.Scene(), &BackBuffer);
            int nPainted = 0;
            for (int x = 0; x < 640; x++) nPainted += DDIndexAt(&BackBuffer, x, 240) == COLOR;
            EXPECT_EQ(nPainted > 0, c.bShown) << c.dX;
        }
    }
    DDEnd();
}

}  // namespace
