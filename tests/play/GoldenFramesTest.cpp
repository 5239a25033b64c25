// Frames of a stage built in code, drawn headless and compared with
// reference pictures in tests/play/golden (32 bits). With
// MOSSGROVE_UPDATE_GOLDEN set the pictures are written instead (the
// updategoldens tool runs this test so); then look at them before committing.
// The same frames are drawn at every depth of both drawing profiles, where
// the places of the map, the status bar and the timer are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "GoldenPng.h"
#include "graphics/ImageSurfaces.h"
#include "play/Hero.h"
#include "play/Message.h"
#include "play/PlayDraw.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"
#include "project/GameFonts.h"
#include "support/DDTestSupport.h"

namespace {

constexpr int SLOT_BLOCK = 2, SLOT_WINDOW = 45;
constexpr int COLOR_BLOCK = 40, COLOR_STATUS = 100, COLOR_ICON = 80, COLOR_GAUGE = 90, COLOR_DIGIT = 120;
constexpr int COLOR_WINDOW = 200, COLOR_BACKDROP = 16, COLOR_HERO = 60;

// A source sheet of palette indices given by fn(x, y).
template <class FN>
void MakeSheet(int nSlot, int w, int h, FN fn) {
    DDMakeIndexSheet(&Off_Img[nSlot], w, h, fn);
}

void MakeSheets() {
    // Block chip 1: a framed square.
    MakeSheet(SLOT_BLOCK, 64, 480, [](int x, int y) {
        const int cx = x % 32, cy = y % 32;
        return (cx == 0 || cy == 0 || cx == 31 || cy == 31) ? COLOR_BLOCK + 1 : COLOR_BLOCK;
    });
    MakeSheet(IMGSLOT_STATUSWINDOW, 640, 20, [](int, int y) { return y < 2 ? COLOR_STATUS + 1 : COLOR_STATUS; });
    // Icons at y 32, gauge frames at 128, fills at 144 and 160.
    MakeSheet(IMGSLOT_ACCESSORY, 256, 256, [](int x, int y) {
        if (y >= 32 && y < 48) return COLOR_ICON + x / 16;
        if (y >= 128 && y < 144) return (x % 50 == 0 || y == 128 || y == 143) ? COLOR_GAUGE : 0;
        if (y >= 144 && y < 176) return COLOR_GAUGE + 1 + (y >= 160);
        return 0;
    });
    // Digits 0-9 of 32 x 32 at y 160: a bar whose height grows with the digit.
    MakeSheet(IMGSLOT_WORD, 320, 192, [](int x, int y) {
        if (y < 160) return 0;
        const int d = x / 32, cy = y - 160;
        return cy >= 30 - 3 * d ? COLOR_DIGIT + d : 0;
    });
    MakeSheet(SLOT_WINDOW, 64, 64, [](int, int) { return COLOR_WINDOW; });
    // Character sheet 0, its mirror and their variants: a figure in each cell.
    for (int nSlot : {4, 5, 22, 23})
        MakeSheet(nSlot, 256, 480, [nSlot](int x, int y) {
            const int cx = x % 32, cy = y % 32;
            if (cx < 8 || cx > 23 || cy < 4) return 0;
            return cy < 12 ? COLOR_HERO + 1 : (cx < 16 ? COLOR_HERO : COLOR_HERO + (nSlot & 1) + 2);
        });
}

uint32_t PixelRGB(DDSURFACEDATA* sd, int x, int y) {
    DDPIXELS* p = DDGetPixels(sd);
    if (!p) return 0xFFFFFFFFu;
    const uint32_t raw = DDGetRaw(*p, x, y);
    return (lpDTCon ? DDUnpackARGB(p->nFormat, raw) : raw) & 0xFFFFFFu;
}

// A part of the frame as an image, one pixel of every nStep in each
// direction.
GOLDENIMAGE Grab(int x0, int y0, int w, int h, int nStep) {
    DDSURFACEDATA* sd = (lpDTCon && lpDTCon->bVirBackBuffer) ? &VirBackBuffer : &BackBuffer;
    GOLDENIMAGE img;
    img.nWidth = w / nStep;
    img.nHeight = h / nStep;
    for (int y = 0; y < img.nHeight; y++)
        for (int x = 0; x < img.nWidth; x++) img.vRGB.push_back(PixelRGB(sd, x0 + x * nStep, y0 + y * nStep));
    return img;
}

void CompareOrWrite(const std::string& strName, const GOLDENIMAGE& img) {
    const std::string strPath = std::string(MOSSGROVE_SOURCE_DIR) + "/tests/play/golden/" + strName + ".png";
    if (std::getenv("MOSSGROVE_UPDATE_GOLDEN")) {
        ASSERT_TRUE(WriteGoldenPng(strPath, img)) << strPath;
        return;
    }
    GOLDENIMAGE ref;
    ASSERT_TRUE(ReadGoldenPng(strPath, &ref)) << strPath;
    ASSERT_EQ(ref.nWidth, img.nWidth);
    ASSERT_EQ(ref.nHeight, img.nHeight);
    int nDiff = 0, nFirst = -1;
    for (size_t i = 0; i < ref.vRGB.size(); i++) {
        if (ref.vRGB[i] == img.vRGB[i]) continue;
        if (nFirst < 0) nFirst = static_cast<int>(i);
        nDiff++;
    }
    EXPECT_EQ(nDiff, 0) << strName << ": first difference at (" << nFirst % std::max(1, ref.nWidth) << ", "
                        << nFirst / std::max(1, ref.nWidth) << ")";
}

// A stage of two rows of blocks under the hero, a status bar of four
// entries and a running timer.
class GoldenStage {
public:
    GoldenStage()
        : h({"....................", "....................", "..H.................", "........##..........",
             "....................", "####################"}) {
        h.SolidBlock().m_nGraphic = 1;
        h.HeroTemplate().m_nMaxHp = 10;
        h.Stage().m_bTimeLimit = 1;
        h.Stage().m_nTimeLimit = 123;
        h.Stage().m_bShowStatus = 1;
        cSystemData& sys = h.System();
        sys.m_vStatusDisp.resize(5);
        for (int i = 0; i < 5; i++) {
            cStatusDisp& e = sys.m_vStatusDisp[i];
            e.m_bShow = i != 1;
            e.m_bIcon = 1;
            e.m_strLabel.clear();
            e.m_nValueCells = 4;
            e.m_nLow = 0;
        }
        h.SetUp();
        h.Scene().m_bStatusBar = 1;
        h.Scene().m_nTime = 123;
        h.Scene().m_bNoTimeLimit = 0;
        h.Hero().m_nHp = 5;
    }
    cPlayHarness h;
};

class GoldenFrames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
        MakeSheets();
        aFont[1].m_lpWindowSD = &Off_Img[SLOT_WINDOW];
        aFont[1].m_nFrameWidth = 1;
        aFont[1].m_nFrameColor = 240;
        aFont[1].m_nCellWidth = 16;
        aFont[1].m_nLineHeight = 16;
    }
    void TearDown() override {
        aFont[1].m_lpWindowSD = nullptr;
        DDEnd();
    }
};

TEST_F(GoldenFrames, MapAndHeadUpDisplay) {
    GoldenStage g;
    g.h.Scene().Draw(1);
    CompareOrWrite("hud", Grab(0, 0, 640, 64, 2));
    CompareOrWrite("stage", Grab(0, 0, 640, 480, 4));
}

TEST_F(GoldenFrames, GrowingMessageWindow) {
    GoldenStage g;
    MESSAGESETUP m;
    m.lpszText = "abcdefgh\nijkl";
    m.nDurMode = MESDUR_KEY;
    m.bWindow = 1;
    g.h.Scene().m_lstMessage.push_back(std::make_unique<cMessage>(m));
    for (int i = 0; i < 5; i++) g.h.Scene().Draw(1);   // half open
    CompareOrWrite("message", Grab(192, 160, 256, 160, 2));
}

TEST_F(GoldenFrames, SplitScreenEffect) {
    GoldenStage g;
    cScrEffectRun& r = g.h.Scene().m_ScrEffect;
    r = cScrEffectRun();
    r.m_nId = 1;
    r.m_nKind = 4;   // horizontal split of 8 bands, shifted by 24 dots
    r.m_anParam[0] = 10;
    r.m_anParam[1] = 24;
    r.m_anParam[2] = 24;
    r.m_anParam[3] = 8;
    r.m_dValue = 24;
    r.m_bTimed = 1;
    r.m_nEndTime = 10;
    MakeSheet(IMGSLOT_SCREENWORK, 640, 480, [](int, int) { return 0; });
    g.h.Scene().Draw(1);
    CompareOrWrite("split", Grab(0, 0, 640, 480, 4));
}

// Every depth of both profiles: the block, the status bar and the timer's
// digits land where the layout puts them.
class FrameAtEveryDepth : public ::testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override {
        ASSERT_TRUE(DDStartProfile(GetParam(), 640, 480));
        MakeSheets();
    }
    void TearDown() override { DDEnd(); }
};

TEST_P(FrameAtEveryDepth, LayersAndHeadUpDisplayLand) {
    GoldenStage g;
    g.h.Scene().Draw(1);
    DDSURFACEDATA* sd = (lpDTCon && lpDTCon->bVirBackBuffer) ? &VirBackBuffer : &BackBuffer;
    // The status window's body, the backdrop under it, a block of the floor.
    EXPECT_EQ(DDIndexAt(sd, 320, 10), COLOR_STATUS);
    EXPECT_EQ(DDIndexAt(sd, 5, 300), COLOR_BACKDROP);
    const double camX = g.h.Scene().m_ScrollX.m_dCam, camY = g.h.Scene().m_ScrollY.m_dCam;
    const int bx = static_cast<int>(cPlayHarness::CellX(8) - camX), by = static_cast<int>(cPlayHarness::CellY(3) - camY);
    ASSERT_TRUE(bx >= 0 && bx + 16 < 640 && by >= 0 && by + 16 < 480) << bx << ", " << by;
    EXPECT_EQ(DDIndexAt(sd, bx + 16, by + 16), COLOR_BLOCK);
    // Timer 123 centred in three 32-dot digits at (272, 24): the digit 1 at 272.
    EXPECT_EQ(DDIndexAt(sd, 272 + 16, 24 + 31), COLOR_DIGIT + 1);
    EXPECT_EQ(DDIndexAt(sd, 304 + 16, 24 + 31), COLOR_DIGIT + 2);
    EXPECT_EQ(DDIndexAt(sd, 336 + 16, 24 + 31), COLOR_DIGIT + 3);
}

INSTANTIATE_TEST_SUITE_P(Profiles, FrameAtEveryDepth, ::testing::ValuesIn(DDAllProfiles()), DDProfileName);

}  // namespace

namespace {

// Every screen effect and a screen colour draw at every depth of both
// profiles: the frame still holds the picture (some status bar and some
// backdrop) after each effect ran a few frames.
TEST_P(FrameAtEveryDepth, ScreenEffectsAndColourDraw) {
    GoldenStage g;
    MakeSheet(IMGSLOT_SCREENWORK, 640, 480, [](int, int) { return 0; });
    cPlayScene& s = g.h.Scene();
    for (int nKind = 1; nKind < SCR_EFFECT_KINDS; nKind++) {
        cScrEffectRun& r = s.m_ScrEffect;
        r = cScrEffectRun();
        r.m_nId = 1;
        r.m_nKind = nKind;
        const int32_t p[5] = {5, nKind == 11 ? 640 : 10, nKind == 11 ? 1280 : 40, 4, 2};
        std::copy(p, p + 5, r.m_anParam);
        r.m_dValue = r.m_anParam[1];
        r.m_dStep = 1;
        const int32_t c[8] = {255, 0, 0, 50, 0, 2, nKind & 1, 2};
        s.m_ScrColor.Start(c);
        for (int i = 0; i < 3; i++) s.Draw(0);
        DDSURFACEDATA* sd = (lpDTCon && lpDTCon->bVirBackBuffer) ? &VirBackBuffer : &BackBuffer;
        DDPIXELS* px = DDGetPixels(sd);
        ASSERT_NE(px, nullptr) << nKind;
        std::set<uint32_t> colours;
        for (int y = 0; y < 480; y += 8)
            for (int x = 0; x < 640; x += 8) colours.insert(DDGetRaw(*px, x, y));
        EXPECT_GE(colours.size(), 2u) << "kind " << nKind;
    }
}

}  // namespace

namespace {

// The screen effects that move the finished picture, each drawn frozen (so
// the run's value stays as set) over the scene, and every other dot compared
// with the plain frame: the dot at (x, y) must show the plain frame's dot at
// the place the effect moves it from, or colour 16 where nothing covers it.
// Worked by hand from each effect's rule:
//   move to (a, b) = (10, 20):   from (x - 10, y - 20);
//   shake across by 7:            from (x - 7, y);
//   shake down by -5:             from (x, y + 5);
//   split across, value 6, p4 4:  bands of 480 / 4 = 120 rows, the even
//                                 ones shifted right by 6 (from x - 6), the
//                                 odd ones left (from x + 6);
//   enlarge, value 320:           zoom 320 / 640 = 0.5, the frame shrunk into
//                                 the centred 320 x 240 box at (160, 120):
//                                 from (2 (x - 160), 2 (y - 120)).
struct SHIFTCASE {
    const char* pszName;
    int nKind;
    int nA, nB;
    double dValue, dShake;
    int p4;
    bool (*pfnFrom)(int x, int y, int& sx, int& sy);
};

bool Inside(int x, int y) { return x >= 0 && x < 640 && y >= 0 && y < 480; }

const SHIFTCASE aShift[] = {
    {"move", 1, 10, 20, 0, 0, 0, [](int x, int y, int& sx, int& sy) { sx = x - 10; sy = y - 20; return Inside(sx, sy); }},
    {"shake across", 2, 0, 0, 0, 7, 0, [](int x, int y, int& sx, int& sy) { sx = x - 7; sy = y; return Inside(sx, sy); }},
    {"shake down", 3, 0, 0, 0, -5, 0, [](int x, int y, int& sx, int& sy) { sx = x; sy = y + 5; return Inside(sx, sy); }},
    {"split across", 4, 0, 0, 6, 0, 4,
     [](int x, int y, int& sx, int& sy) {
         sx = (y / 120) % 2 == 0 ? x - 6 : x + 6;
         sy = y;
         return Inside(sx, sy);
     }},
    {"enlarge to a half", 11, 0, 0, 320, 0, 0,
     [](int x, int y, int& sx, int& sy) {
         sx = 2 * (x - 160);
         sy = 2 * (y - 120);
         return x >= 160 && x < 480 && y >= 120 && y < 360;
     }},
};

}  // namespace

namespace {

// A dot as its colour: under Direct3D surfaces differ in their alpha and
// layout, so dots are compared by their red, green and blue.
uint32_t DotColour(DDSURFACEDATA* sd, uint32_t nRaw) {
    return lpDTCon ? DDUnpackARGB(DDSurfaceFormat(sd), nRaw) & 0xFFFFFF : nRaw;
}

void CheckShiftingEffects() {
    GoldenStage g;
    MakeSheet(IMGSLOT_SCREENWORK, 640, 480, [](int, int) { return 0; });
    cPlayScene& s = g.h.Scene();
    // A backdrop of its own colour, so that what no effect covers (colour
    // 16) shows; the head-up display is drawn over the effects, so it is off.
    cBackground back;
    back.m_bShow = 1;
    back.m_nLayer = 0;
    back.m_bFill = 1;
    back.m_nFillColour = 33;
    g.h.Stage().m_vBackground.assign(1, back);
    s.m_bStatusBar = 0;
    s.m_bNoTimeLimit = 1;
    s.m_ScrEffect = cScrEffectRun();
    s.Draw(1);
    DDSURFACEDATA* sd = (lpDTCon && lpDTCon->bVirBackBuffer) ? &VirBackBuffer : &BackBuffer;
    DDPIXELS* px = DDGetPixels(sd);
    ASSERT_NE(px, nullptr);
    std::vector<uint32_t> vPlain(640 * 480);
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) vPlain[static_cast<size_t>(y) * 640 + x] = DotColour(sd, DDGetRaw(*px, x, y));
    const uint32_t nFill = DotColour(sd, DDRawOfIndex(sd, 16));
    ASSERT_EQ(vPlain[5 * 640 + 5], DotColour(sd, DDRawOfIndex(sd, 33)));

    for (const SHIFTCASE& k : aShift) {
        SCOPED_TRACE(k.pszName);
        cScrEffectRun& r = s.m_ScrEffect;
        r = cScrEffectRun();
        r.m_nId = 1;
        r.m_nKind = k.nKind;
        const int32_t p[5] = {5, 0, 100, k.p4, 0};
        std::copy(p, p + 5, r.m_anParam);
        r.m_nA = k.nA;
        r.m_nB = k.nB;
        r.m_dValue = k.dValue;
        r.m_dShake = k.dShake;
        s.Draw(1);
        sd = (lpDTCon && lpDTCon->bVirBackBuffer) ? &VirBackBuffer : &BackBuffer;
        px = DDGetPixels(sd);
        ASSERT_NE(px, nullptr);
        int nWrong = 0;
        for (int y = 0; y < 480 && nWrong < 5; y += 2)
            for (int x = 0; x < 640 && nWrong < 5; x += 3) {
                int sx = 0, sy = 0;
                const bool bCovered = k.pfnFrom(x, y, sx, sy);
                auto at = [&](int ax, int ay) { return vPlain[static_cast<size_t>(std::min(ay, 479)) * 640 + std::min(ax, 639)]; };
                // Shrunk by half, a dot stands for a 2 x 2 block; which of its
                // dots is taken is the stretch's own, so only blocks of one
                // colour are compared.
                if (bCovered && k.nKind == 11 &&
                    !(at(sx, sy) == at(sx + 1, sy) && at(sx, sy) == at(sx, sy + 1) && at(sx, sy) == at(sx + 1, sy + 1)))
                    continue;
                const uint32_t nWant = bCovered ? at(sx, sy) : nFill;
                const uint32_t nGot = DotColour(sd, DDGetRaw(*px, x, y));
                if (nGot != nWant) {
                    nWrong++;
                    ADD_FAILURE() << "dot (" << x << ", " << y << "): " << std::hex << nGot << " instead of " << nWant;
                }
            }
    }
}

TEST_F(GoldenFrames, ScreenEffectsMoveThePictureWhereTheirRulesSay) { CheckShiftingEffects(); }

// The same dots at every depth of both drawing profiles.
TEST_P(FrameAtEveryDepth, ScreenEffectsMoveThePictureWhereTheirRulesSay) { CheckShiftingEffects(); }

}  // namespace
