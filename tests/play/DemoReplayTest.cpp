// The demo's stages played through the stage loader: every stage plays
// without an error, the demo's coin counts and scores, every item has a
// picture and the forest's signpost greets before the start. (The golden
// replays of the demo are in GoldenReplayTest.cpp.)
#include <gtest/gtest.h>

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Path.h"
#include "foundation/Record.h"
#include "platform/FileSystem.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/Message.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"
#include "project/Database.h"
#include "project/GameFonts.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/CmdVocabulary.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

const char* const DEMO_STAGE = "data\\stg4\\c01-1.stg4";
constexpr int PLAY_FRAMES = 900;

// Input of the scripted play by frame: walk right with jumps, shots, a
// sword swing, a step back, a flight, then on to the goal.
void ScriptedInput(int f, int16_t& wDir, int16_t& wButton) {
    wDir = 0;
    wButton = 0;
    if (f < 40) return;
    if (f < 380 || (f >= 440 && f < 520) || f >= 600) wDir = HARNESS_DIR_RIGHT;
    else if (f < 440) wDir = HARNESS_DIR_LEFT;
    if (f % 50 < 12) wButton |= 1;                      // jump
    if (f % 70 == 20 || f % 70 == 21) wButton |= 2;     // shot
    if (f >= 300 && f < 304) wButton |= 4;              // sword
    if (f >= 520 && f < 524) wButton |= 8;              // fly
    if (f >= 530 && f < 560) wDir = HARNESS_DIR_UP | HARNESS_DIR_RIGHT;
}

class DemoReplay : public ::testing::Test {
protected:
    void SetUp() override {
        nDataVer = DATA_VERSION;
        bDelCR = 1;
        // A headless screen, so messages and pictures get their surfaces.
        ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
        m_bDisplay = true;
        // A fresh demo project from the tool of this build.
        const std::string strTool = std::string(MOSSGROVE_BINARY_DIR) + "/tools/mkdemo";
        if (!FsIsFile(strTool.c_str())) GTEST_SKIP() << "mkdemo is not built";
        const std::string strCmd = "\"" + strTool + "\" \"" + m_dir.Path() + "/demo\" >/dev/null";
        ASSERT_EQ(std::system(strCmd.c_str()), 0);
        ASSERT_EQ(chdir((m_dir.Path() + "/demo").c_str()), 0);
        m_pProject = std::make_unique<cProjectContext>(&m_Db, &m_Sys);
        m_pScope = std::make_unique<cStageContextScope>(*m_pProject);
        ASSERT_EQ(m_Db.LoadFiles(), 1);
        ASSERT_EQ(m_Sys.Load(aPath[PATH_SYSTEM]), 1);
        m_pProject->SetCommonPalette(&m_Palette);
        ASSERT_EQ(m_Palette.Load(aPath[PATH_COMMONPALETTE]), 1);
        std::string strFile;
        ASSERT_EQ(FindLatestNumberedFile(strFile, DEMO_STAGE, strStageExt), 1);
        ASSERT_EQ(m_Stage.Load(strFile.c_str()), 1);
        ASSERT_GE(m_Stage.FindHero(), 0);
        FsMakeDirectory("user_data");
        FsMakeDirectory("user_data\\rpl4");
    }

    void TearDown() override {
        if (m_bDisplay) DDEnd();
    }

    // A written demo stage, read back and set up in the harness on the
    // demo's database (the caller checks HasFatalFailure).
    void SetUpDemoStage(const char* pszStage, cStage& st, cPlayHarness& h) {
        std::string strFile;
        ASSERT_EQ(FindLatestNumberedFile(strFile, pszStage, strStageExt), 1);
        ASSERT_EQ(st.Load(strFile.c_str()), 1);
        h.Ctx().lpDatabase = &m_Db;
        h.UseStage(st);
        h.SetUp();
    }

    cTempDir m_dir;
    bool m_bDisplay = false;
    cDatabase m_Db;
    cSystemData m_Sys;
    cCommonPalette m_Palette;
    cStage m_Stage;
    std::unique_ptr<cProjectContext> m_pProject;
    std::unique_ptr<cStageContextScope> m_pScope;
};

}  // namespace

namespace {

// Every stage of the demo, played 600 frames with the scripted input: the
// play raises no error box and asks for no close, and the hero is there.
TEST_F(DemoReplay, EveryDemoStagePlaysWithoutAnError) {
    const char* const aszStage[] = {"data\\stg4\\m01.stg4", "data\\stg4\\m02.stg4",   "data\\stg4\\m03.stg4",
                                    "data\\stg4\\m04.stg4", "data\\stg4\\c02-1.stg4", "data\\stg4\\c03-1.stg4"};
    for (const char* pszStage : aszStage) {
        SCOPED_TRACE(pszStage);
        cStage st;
        cPlayHarness h({"."});
        SetUpDemoStage(pszStage, st, h);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        int nFrames = 0;
        for (int f = 0; f < PLAY_FRAMES && h.Scene().m_nState == PLAYSTATE_PLAY; f++, nFrames++) {
            int16_t wDir, wButton;
            ScriptedInput(f, wDir, wButton);
            h.Hold(wDir, wButton);
            h.Frame();
        }
        EXPECT_GT(nFrames, 60);
        EXPECT_TRUE(h.Host().vecError.empty()) << h.Host().vecError.front();
        EXPECT_EQ(h.Host().nCloseRequests, 0);
        EXPECT_FALSE(h.Ctx().vecPlayer.empty());
    }
}

}  // namespace

namespace {

// The coin of the demo's common palette, put in the hero's way: taking it
// runs its command list, so common variable 1 counts the coin and the
// stage score goes up by 10. (A picture number of 0 means "no item": such
// an item vanishes on contact without running its commands.)
TEST_F(DemoReplay, TakingTheDemoCoinCountsItAndScores) {
    ASSERT_GT(m_Palette.m_vItemPalette.size(), 1u);
    const cItemData& coin = m_Palette.m_vItemPalette[1];
    ASSERT_EQ(coin.m_vCmd.size(), 2u);
    cPlayHarness h({"..........", ".H......I.", "##########"});
    h.Ctx().lpDatabase = &m_Db;
    h.ItemTemplate() = coin;
    h.SetUp();
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_EQ(h.Ctx().lstItem.size(), 1u);
    ASSERT_EQ(h.Progress().m_vCommonVar[1], 0);
    ASSERT_EQ(h.Progress().m_nScore, 0);
    h.Frames(2);
    ASSERT_EQ(h.Ctx().lstItem.size(), 1u) << "the coin is out of the hero's reach at first";
    // The coin is moved onto the hero.
    cItem& it = *h.Ctx().lstItem.front();
    it.m_dX = h.Hero().m_dX;
    it.m_dY = h.Hero().m_dY;
    it.ClampPosX(2);
    it.ClampPosY(2);
    h.Frames(2);
    EXPECT_TRUE(h.Ctx().lstItem.empty()) << "the hero did not take the coin";
    EXPECT_EQ(h.Progress().m_vCommonVar[1], 1);
    EXPECT_EQ(h.Progress().m_nScore, 10);
}

// Every item of the demo's palette can be taken: none has picture 0.
TEST_F(DemoReplay, EveryDemoItemHasAPicture) {
    for (size_t i = 1; i < m_Palette.m_vItemPalette.size(); i++) {
        SCOPED_TRACE(i);
        EXPECT_NE(m_Palette.m_vItemPalette[i].m_nGraphic, 0);
    }
}

}  // namespace

namespace {

// Every message window of the demo (the characters' message commands and
// the items' message commands with the window flag) keeps its letters a
// blank cell clear of the frame: each line of its text starts and ends with
// a space.
TEST_F(DemoReplay, EveryDemoMessageWindowHasABlankCellEachSideOfEveryLine) {
    std::vector<std::string> vText;
    auto collect = [&](const cEdCmd& c, bool bItem) {
        const int nKind = bItem ? 4 : CMD_MESSAGE;
        if (c.m_bItemCmd != (bItem ? 1 : 0) || c.m_nKind != nKind) return;
        if (c.m_vParam.size() > 14 && c.m_vParam[14] == 1) vText.push_back(c.m_strText);
    };
    for (const cCharaData& chara : m_Palette.m_vCharaPalette)
        for (const cFlow& f : chara.m_vFlow)
            for (const cEdCmd& c : f.m_vCmd) collect(c, false);
    for (const cItemData& item : m_Palette.m_vItemPalette)
        for (const cEdCmd& c : item.m_vCmd) collect(c, true);
    // The welcome, the signpost's count, the sorcerer's defeat and the goal.
    EXPECT_GE(vText.size(), 4u);
    for (const std::string& str : vText) {
        SCOPED_TRACE(str);
        std::istringstream in(str);
        std::string strLine;
        while (std::getline(in, strLine)) {
            ASSERT_GE(strLine.size(), 3u);
            EXPECT_EQ(strLine.front(), ' ');
            EXPECT_EQ(strLine.back(), ' ');
            EXPECT_NE(strLine[1], ' ');
        }
    }
}

// The signpost of the forest greets the player before the start: its
// centred message is made by the stage set-up, still shown on the first
// play frame (the frozen frames of the start do not count its time) and
// drawn in the middle of the screen.
TEST_F(DemoReplay, TheForestSignpostGreetsBeforeTheStart) {
    cStage st;
    cPlayHarness h({"."});
    SetUpDemoStage("data\\stg4\\m01.stg4", st, h);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_EQ(h.Scene().m_nState, PLAYSTATE_PLAY);
    h.Frame();
    const std::string strWelcome = " ようこそ!";
    const cMessage* pWelcome = nullptr;
    for (const auto& p : h.Scene().m_lstMessage)
        if (p->m_strText.compare(0, strWelcome.size(), strWelcome) == 0) pWelcome = p.get();
    ASSERT_NE(pWelcome, nullptr) << "no welcome message on the first play frame";
    EXPECT_EQ(pWelcome->m_nPosMode, 0);
    // Centred across, and raised 150 dots into the sky: its middle is at
    // y 240 - 150 = 90, so its one 16-dot line (18 with the margins) ends at
    // y 99, well above the "?" block of the first screen, whose top is at
    // y 224 (row 7 of 32-dot cells).
    EXPECT_EQ(pWelcome->GetX() + pWelcome->m_nWidth / 2, 320);
    EXPECT_EQ(pWelcome->GetY() + pWelcome->m_nHeight / 2, 240 - 150);
    EXPECT_LT(pWelcome->GetY() + pWelcome->m_nHeight, 224);
    EXPECT_GT(pWelcome->m_nLeft, 100);
}

}  // namespace

namespace {

// The hero starts in column 2 of the forest (dots 64..95 on the screen)
// and the signpost stands behind it in column 0 (0..31): a whole clear
// cell lies between them, so the signpost's board stands neither over the
// hero nor against its face when play starts, nor in the hero's way right;
// both stand on the ground (row 12, y 384..415).
TEST_F(DemoReplay, TheForestSignpostStandsACellClearOfTheHerosStart) {
    cStage st;
    cPlayHarness h({"."});
    SetUpDemoStage("data\\stg4\\m01.stg4", st, h);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    h.Frame();
    const cChara* pSign = nullptr;
    for (const auto& p : h.Ctx().lstChara)
        if (p && p->m_Data.m_nCharaId == 9) pSign = p.get();
    ASSERT_NE(pSign, nullptr);
    const OBJRECT& rcHero = h.Hero().m_rcScreen;
    const OBJRECT& rcSign = pSign->m_rcScreen;
    EXPECT_EQ(rcHero.left, 64);
    EXPECT_EQ(rcHero.right, 95);
    EXPECT_EQ(rcSign.left, 0);
    EXPECT_EQ(rcSign.right, 31);
    EXPECT_EQ(rcHero.top, 384);
    EXPECT_EQ(rcSign.top, 384);
}

// The forest ends at its goal flag: the flag stands in the stage's last
// column (43, map dots 1696..1727), so a hero who jumps at it from high up
// and keeps running right cannot come down past it into an empty end; it
// comes down on the flag and clears the stage. It is let go in the sky of
// column 41 (row 2) with right held; the stage's right edge (map dot 1728)
// holds it inside the flag's column.
TEST_F(DemoReplay, AJumpOverTheForestsFlagEndsOnTheFlag) {
    cStage st;
    cPlayHarness h({"."});
    SetUpDemoStage("data\\stg4\\m01.stg4", st, h);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_EQ(st.m_nWidth, 44);
    h.Frame();
    cHero& hero = h.Hero();
    hero.m_dX = (41 + 10) * 32;
    hero.m_dY = (2 + 10) * 32;
    hero.m_dVy = 0;
    hero.ClampPosX(2);
    hero.ClampPosY(2);
    const size_t nItems = h.Ctx().lstItem.size();
    h.Hold(HARNESS_DIR_RIGHT, 0);
    double dRightmost = 0;
    for (int f = 0; f < 200 && h.Scene().m_nState == PLAYSTATE_PLAY; f++) {
        h.Frame();
        dRightmost = std::max(dRightmost, h.Hero().m_dX + h.Hero().m_nWidth - 1);   // its last dot
    }
    EXPECT_EQ(h.Scene().m_nState, PLAYSTATE_CLEAR) << "the hero did not reach the flag";
    EXPECT_EQ(h.Ctx().lstItem.size(), nItems - 1) << "the flag was not taken";
    EXPECT_LT(dRightmost, (44 + 10) * 32);
}

// The signpost's count (coins, enemies, score) when the hero is near: a
// window of two lines above the signpost, inside the screen. The hero
// starts one cell from it, so it shows at once.
TEST_F(DemoReplay, TheForestSignpostsCountStaysOnTheScreenInTwoLines) {
    // The play font's cells as the game makes them: 16 x 16 a character.
    aFont[1].m_nCellWidth = aFontData[1].nCellWidth;
    aFont[1].m_nLineHeight = aFontData[1].nLineHeight;
    ASSERT_EQ(aFont[1].m_nCellWidth, 16);
    ASSERT_EQ(aFont[1].m_nLineHeight, 16);
    cStage st;
    cPlayHarness h({"."});
    SetUpDemoStage("data\\stg4\\m01.stg4", st, h);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const std::string strCount = " コイン";
    const cMessage* pCount = nullptr;
    for (int i = 0; i < 30 && !pCount; i++) {
        h.Frame();
        for (const auto& p : h.Scene().m_lstMessage)
            if (p->m_strText.compare(0, strCount.size(), strCount) == 0) pCount = p.get();
    }
    aFont[1].m_nCellWidth = 0;
    aFont[1].m_nLineHeight = 0;
    ASSERT_NE(pCount, nullptr) << "the signpost's count never showed";
    // "コイン 0 枚" (7 characters) over "敵 0 体 得点 000" (12), each line
    // with a blank cell on either side: 14 x 16 + 2 = 226 wide, 2 x 16 + 2
    // = 34 high. Centred 112 dots right of the signpost's middle (column 0:
    // dots 0..31, middle 16): x = 128 - 226 / 2 = 15, right edge 240; its
    // bottom 8 dots above the signpost's top (row 12, y 384): y = 384 - 34
    // - 8 = 342. On one line (22 cells, 354 wide) it would start at 128 -
    // 177 = -49, off the screen.
    EXPECT_EQ(std::count(pCount->m_strText.begin(), pCount->m_strText.end(), '\n'), 1);
    EXPECT_EQ(pCount->m_nWidth, 226);
    EXPECT_EQ(pCount->m_nHeight, 34);
    EXPECT_EQ(pCount->GetX(), 15);
    EXPECT_EQ(pCount->GetY(), 342);
    EXPECT_GE(pCount->GetX(), 0);
    EXPECT_LE(pCount->GetX() + pCount->m_nWidth, 640);
}

}  // namespace


namespace {

// A test play of the forest shows the range in which the signpost counts
// the hero as near (5 hbl = 80 dots on both sides) in system colour 1; a
// game does not. The signpost's frame covers columns 0..31: the left line
// is at 0 - 80, off the screen, the right one at 0 + 16 + 16 + 80 = 112.
TEST_F(DemoReplay, ATestPlayShowsTheSignpostsNearRange) {
    cStage st;
    cPlayHarness h({"."});
    SetUpDemoStage("data\\stg4\\m01.stg4", st, h);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    h.Frame();
    struct CASE {
        bool bTestPlay;
        bool bShown;
    } const aCase[] = {{false, false}, {true, true}};
    for (const CASE& t : aCase) {
        h.Host().bTestPlay = t.bTestPlay;
        h.Scene().m_nRangeCycle = 0;
        h.Scene().Draw(1, 0);
        for (int x : {112}) {
            if (t.bShown) EXPECT_EQ(DDIndexAt(&BackBuffer, x, 300), 1) << x;
            else EXPECT_NE(DDIndexAt(&BackBuffer, x, 300), 1) << x;
        }
    }
}

}  // namespace
