// The golden replay: a scripted play of the demo's forest stage (as mkdemo
// writes it, read through the stage loader) is recorded into the replay log,
// saved as a replay file, loaded and played back twice, once with the
// thread slowed at random points between frames. The play's state hash must
// be the same on every frame of all three runs, and the same as the hashes
// checked in as tests/play/golden/demo_forest_hashes.txt, so that a change
// of play behaviour names the first frame that differs. With
// MOSSGROVE_UPDATE_GOLDEN set the file is written instead (tools/updategoldens).
#include <gtest/gtest.h>

#include <sched.h>
#include <unistd.h>

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
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

const char* const DEMO_STAGE = "data\\stg4\\c01-1.stg4";
const char* const REPLAY_FILE = "user_data\\rpl4\\golden.rpl4_854";
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

// Extra work between frames on the same thread: sleeps, yields and some
// allocation churn at random points, so a dependence on time shows up.
class cSlowDown {
public:
    cSlowDown() : m_Gen(static_cast<uint32_t>(std::time(nullptr)) ^ static_cast<uint32_t>(getpid())) {}
    void Maybe() {
        const int n = static_cast<int>(m_Gen() % 10);
        if (n == 0) usleep(200 + m_Gen() % 2000);
        else if (n == 1) sched_yield();
        else if (n == 2) {
            std::vector<std::string> v(200 + m_Gen() % 500, std::string(64, 'x'));
            m_nSink += v.size();
        }
    }
    size_t m_nSink = 0;

private:
    std::mt19937 m_Gen;
};

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

    // Records the scripted play; the replay is saved to REPLAY_FILE.
    std::vector<uint64_t> Record() {
        std::vector<uint64_t> v;
        cPlayHarness h({"."});
        h.Ctx().lpDatabase = &m_Db;
        h.System().m_bReplay = 1;
        h.UseStage(m_Stage);
        h.SetUp();
        if (::testing::Test::HasFatalFailure()) return v;
        for (int f = 0; f < PLAY_FRAMES; f++) {
            int16_t wDir, wButton;
            ScriptedInput(f, wDir, wButton);
            h.Hold(wDir, wButton);
            h.Frame();
            v.push_back(h.Ctx().StateHash());
        }
        EXPECT_EQ(h.Host().nCloseRequests, 0);
        EXPECT_FALSE(recReplayA.IsEmpty());
        // The progress saved is the one the attempt started from (kept by the
        // stage set-up), as the player saves it; the live one has the coins
        // of this run counted already.
        EXPECT_EQ(recReplayA.SaveReplayFile(REPLAY_FILE, h.Stage(), h.Header(), recProgressA), 1);
        return v;
    }

    // Loads REPLAY_FILE and plays it back as the title's replay does.
    std::vector<uint64_t> PlayBack(cSlowDown* pSlow) {
        std::vector<uint64_t> v;
        cPlayHarness h({"."});
        h.Ctx().lpDatabase = &m_Db;
        cStage snapshot, header;
        cProgress progress;
        recReplayA.Clear();
        if (LoadReplayFile(recReplayA, REPLAY_FILE, snapshot, header, progress) != 1) {
            ADD_FAILURE() << "the replay file does not load";
            return v;
        }
        h.Progress() = progress;
        h.Game().m_nPlayType = PLAYTYPE_REPLAY;
        h.Game().m_nGameMode = GAMEMODE_REPLAY;
        h.UseStage(snapshot);
        h.SetUp();
        if (::testing::Test::HasFatalFailure()) return v;
        for (int f = 0; f < PLAY_FRAMES; f++) {
            if (pSlow) pSlow->Maybe();
            h.Release();   // the playback feeds the recorded words itself
            h.Frame();
            v.push_back(h.Ctx().StateHash());
        }
        return v;
    }

    // The first frame where two runs differ, or -1.
    static int FirstDifference(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
        for (size_t i = 0; i < std::max(a.size(), b.size()); i++)
            if (i >= a.size() || i >= b.size() || a[i] != b[i]) return static_cast<int>(i);
        return -1;
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

std::string GoldenPath() { return std::string(MOSSGROVE_SOURCE_DIR) + "/tests/play/golden/demo_forest_hashes.txt"; }

bool ReadGolden(std::vector<uint64_t>& v) {
    std::ifstream in(GoldenPath());
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        int nFrame = 0;
        unsigned long long h = 0;
        if (std::sscanf(line.c_str(), "%d %llx", &nFrame, &h) != 2 || nFrame != static_cast<int>(v.size())) return false;
        v.push_back(h);
    }
    return true;
}

bool WriteGolden(const std::vector<uint64_t>& v) {
    std::ofstream out(GoldenPath());
    out << "# State hash of the play context after each frame of the scripted play of the demo's\n"
           "# forest stage (tests/play/DemoReplayTest.cpp). Rewritten by tools/updategoldens.\n";
    for (size_t i = 0; i < v.size(); i++) {
        char sz[48];
        std::snprintf(sz, sizeof sz, "%zu %016" PRIx64 "\n", i, v[i]);
        out << sz;
    }
    return static_cast<bool>(out);
}

TEST_F(DemoReplay, PlaybackMatchesTheRecordedRunFrameByFrameEvenWhenSlowed) {
    const std::vector<uint64_t> vRecorded = Record();
    ASSERT_EQ(vRecorded.size(), static_cast<size_t>(PLAY_FRAMES));
    // The play is not standing still: the hashes change along the run.
    size_t nChanges = 0;
    for (size_t i = 1; i < vRecorded.size(); i++) nChanges += vRecorded[i] != vRecorded[i - 1];
    EXPECT_GT(nChanges, static_cast<size_t>(PLAY_FRAMES / 2));

    const std::vector<uint64_t> vPlain = PlayBack(nullptr);
    EXPECT_EQ(FirstDifference(vRecorded, vPlain), -1) << "the playback departs from the recorded run at this frame";
    cSlowDown slow;
    const std::vector<uint64_t> vSlowed = PlayBack(&slow);
    EXPECT_EQ(FirstDifference(vRecorded, vSlowed), -1)
        << "the playback slowed at random points departs from the recorded run at this frame";
}

TEST_F(DemoReplay, RecordedRunMatchesTheCheckedInHashes) {
    const std::vector<uint64_t> vRecorded = Record();
    ASSERT_EQ(vRecorded.size(), static_cast<size_t>(PLAY_FRAMES));
    if (std::getenv("MOSSGROVE_UPDATE_GOLDEN")) {
        ASSERT_TRUE(WriteGolden(vRecorded));
        return;
    }
    std::vector<uint64_t> vGolden;
    ASSERT_TRUE(ReadGolden(vGolden)) << "cannot read " << GoldenPath() << " (run tools/updategoldens)";
    const int nFirst = FirstDifference(vGolden, vRecorded);
    EXPECT_EQ(nFirst, -1) << "play behaviour changed: the state hash first differs at frame " << nFirst
                          << " (if the change is meant, run tools/updategoldens and check the new hashes in)";
}

}  // namespace

namespace {

// Every stage of the demo, played 600 frames with the scripted input: the
// play raises no error box and asks for no close, and the hero is there.
TEST_F(DemoReplay, EveryDemoStagePlaysWithoutAnError) {
    const char* const aszStage[] = {"data\\stg4\\m01.stg4", "data\\stg4\\m02.stg4",   "data\\stg4\\m03.stg4",
                                    "data\\stg4\\m04.stg4", "data\\stg4\\c02-1.stg4", "data\\stg4\\c03-1.stg4"};
    for (const char* pszStage : aszStage) {
        SCOPED_TRACE(pszStage);
        std::string strFile;
        ASSERT_EQ(FindLatestNumberedFile(strFile, pszStage, strStageExt), 1);
        cStage st;
        ASSERT_EQ(st.Load(strFile.c_str()), 1);
        cPlayHarness h({"."});
        h.Ctx().lpDatabase = &m_Db;
        h.UseStage(st);
        h.SetUp();
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

// The signpost of the forest greets the player before the start: its
// centred message is made by the stage set-up, still shown on the first
// play frame (the frozen frames of the start do not count its time) and
// drawn in the middle of the screen.
TEST_F(DemoReplay, TheForestSignpostGreetsBeforeTheStart) {
    std::string strFile;
    ASSERT_EQ(FindLatestNumberedFile(strFile, "data\\stg4\\m01.stg4", strStageExt), 1);
    cStage st;
    ASSERT_EQ(st.Load(strFile.c_str()), 1);
    cPlayHarness h({"."});
    h.Ctx().lpDatabase = &m_Db;
    h.UseStage(st);
    h.SetUp();
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_EQ(h.Scene().m_nState, PLAYSTATE_PLAY);
    h.Frame();
    const std::string strWelcome = "ようこそ!";
    const cMessage* pWelcome = nullptr;
    for (const auto& p : h.Scene().m_lstMessage)
        if (p->m_strText.compare(0, strWelcome.size(), strWelcome) == 0) pWelcome = p.get();
    ASSERT_NE(pWelcome, nullptr) << "no welcome message on the first play frame";
    EXPECT_EQ(pWelcome->m_nPosMode, 0);
    // Centred: its middle is the screen's middle, 8 dots up.
    EXPECT_EQ(pWelcome->GetX() + pWelcome->m_nWidth / 2, 320);
    EXPECT_EQ(pWelcome->GetY() + pWelcome->m_nHeight / 2, 240 - 8);
    EXPECT_GT(pWelcome->m_nLeft, 100);
}

}  // namespace
