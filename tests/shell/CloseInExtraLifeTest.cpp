// A close while the clear's extra lives are shown one after another: the
// demo's system data is changed so that every point of score earns a life
// and a story continued with three lives plays the secret garden to its
// clear. The clear's score earns far more than the ten lives shown, each
// for 30 frames; the close, by the Escape key or by the unattended frame
// count, comes a few frames into the first display. The run must end at
// the close's frame (not after the 300 frames of the displays) with exit
// status 0 and every thread ended, the report saying the close came during
// a stage-play wait.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "platform/Clock.h"
#include "platform/TextCodec.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/Scene.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "support/ByteBuilder.h"
#include "support/DemoCopyTest.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The garden's world map cell (the island starts at cell 10, 8).
constexpr int GARDEN_X = 10 + 9, GARDEN_Y = 8 + 11;

// "つづきから", the first slot, the place under the cursor entered and
// "ステージに挑む" chosen; then right held with a hop of 12 frames every 30
// from frame 370: the hero reaches the garden's flag.
std::string GardenKeys() {
    std::string s = "60 down\n80 z\n110 z\n140 z\n170 up\n200 z\n";
    s += "370 right 700\n";
    for (int f = 370 + 18; f < 370 + 700; f += 30) s += std::to_string(f) + " z 12\n";
    return s;
}

class CloseInExtraLife : public cDemoCopyTest {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &m_strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        fs::remove_all(dir.Path() + "/user_data");
        ASSERT_TRUE(dir.MakeDir("user_data"));
        ASSERT_TRUE(dir.MakeDir("user_data/story"));
    }

    // A life for every point of score, and the first slot standing on the
    // garden with the forest cleared, ten coins and three lives.
    void Prepare() {
        InDemo([&] {
            const cWorldMap mapOld = recWorldMap;
            const cSystemData sysOld = recSystem;
            ASSERT_EQ(recWorldMap.Load("data\\WorldMap.dat"), 1);
            ASSERT_EQ(recSystem.Load("data\\System.dat"), 1);
            recSystem.m_bExtendByScore = 1;
            recSystem.m_nExtendScore = 1;
            // Lives are counted in every play mode.
            for (size_t i = 0; i < recSystem.m_vLifeInfinite.size(); i++) recSystem.m_vLifeInfinite[i] = 0;
            ASSERT_EQ(recSystem.Save("data\\System.dat"), 1);
            cProgress p;
            p.NewStory();
            p.m_bAutoSave = 1;
            p.m_nSaveSlot = 0;
            p.m_nMapX = p.m_nMapPrevX = GARDEN_X;
            p.m_nMapY = p.m_nMapPrevY = GARDEN_Y;
            p.m_vStageFlag.At(1) = 1;
            p.m_vCommonVar.At(1) = 10;
            p.m_nLife = 3;
            ASSERT_EQ(p.Save("user_data\\story\\Story01.dat"), 1);
            recWorldMap = mapOld;
            recSystem = sysOld;
        });
    }

    int Play(const std::string& strKeys, std::vector<std::string> vArgs) {
        EXPECT_TRUE(dir.WriteFile("keys.txt", strKeys));
        std::remove(dir.File("Report_Game.txt").c_str());
        return RunGameProcess(m_strExe, vArgs,
                              {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"),
                               "MOSSGROVE_SEED=4242", "MOSSGROVE_PLAY_TRACE=" + dir.File("trace.txt")},
                              300);
    }

    std::string Report() const {
        const auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return SjisToUtf8(std::string(v.begin(), v.end()));
    }

    std::string LastLine() const {
        std::string s = Report();
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        const size_t at = s.rfind('\n');
        return at == std::string::npos ? s : s.substr(at + 1);
    }

    // The run ended at the close's frame, in the stage play, with every
    // thread ended and the close seen during a wait.
    void ExpectClosedAt(unsigned nCloseFrame, bool bSignal = false) {
        const std::string strReport = Report();
        EXPECT_NE(strReport.find("during a stage-play wait"), std::string::npos) << strReport;
        EXPECT_EQ(strReport.find("did not end"), std::string::npos) << strReport;
        const std::string strLast = LastLine();
        unsigned nFrames = 0;
        int nScene = -1;
        ASSERT_EQ(std::sscanf(strLast.c_str(), "App : end after %u frames in scene %d", &nFrames, &nScene), 2)
            << strReport;
        EXPECT_NE(strLast.find("every thread ended"), std::string::npos) << strLast;
        EXPECT_EQ(nScene, SCENE_PLAY) << strLast;
        // One display is 30 frames, ten are 300: the end comes right after
        // the close, well inside the first display.
        if (!bSignal) {
            EXPECT_GE(nFrames, nCloseFrame) << strLast;
            EXPECT_LT(nFrames, nCloseFrame + 20) << strLast;
        }
        // Nothing reached the map, which would save the slot: it still
        // holds the prepared story.
        InDemo([&] {
            cProgress p;
            ASSERT_EQ(p.Load("user_data\\story\\Story01.dat"), 1);
            EXPECT_EQ(p.m_nLife, 3);
            EXPECT_EQ(p.m_vStageFlag.At(4), 0);
        });
    }

};

// The first display begins at about frame 811: the play's first frame is
// frame 299 (a close at frame 800 leaves 502 play frames in the trace) and
// the hero reaches the flag on the play's 512th frame, the last one traced
// before the displays; a close at frame 900 or 1100 still comes during a
// display, one at 1700 no longer does.
constexpr unsigned CLEAR_FRAME = 811;

TEST_F(CloseInExtraLife, EscapeOrTheFrameCountEndsTheDisplayAtItsFrame) {
    Prepare();
    if (HasFatalFailure()) return;
    const unsigned nClose = CLEAR_FRAME + 9;
    {
        SCOPED_TRACE("Escape");
        EXPECT_EQ(Play(GardenKeys() + std::to_string(nClose) + " escape\n", {"--close-after-frames", "3000"}), 0);
        ExpectClosedAt(nClose);
    }
    {
        SCOPED_TRACE("--close-after-frames");
        EXPECT_EQ(Play(GardenKeys(), {"--close-after-frames", std::to_string(nClose)}), 0);
        ExpectClosedAt(nClose);
    }
}

// A termination signal sent once the play has traced the frames before the
// clear's (511 of them) and a moment more, inside the five seconds of the
// displays: the run ends at once, with status 0 and every thread ended.
TEST_F(CloseInExtraLife, ASignalEndsTheDisplay) {
    Prepare();
    if (HasFatalFailure()) return;
    EXPECT_TRUE(dir.WriteFile("keys.txt", GardenKeys()));
    std::remove(dir.File("Report_Game.txt").c_str());
    cGameProcess run(m_strExe, {"--close-after-frames", "3000"},
                     {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"), "MOSSGROVE_SEED=4242",
                      "MOSSGROVE_PLAY_TRACE=" + dir.File("trace.txt")},
                     "run");
    auto TracedFrames = [&] {
        const auto v = ReadHostFile(dir.File("trace.txt"));
        return std::count(v.begin(), v.end(), '\n');
    };
    const uint32_t nStart = GetTicks();
    while (run.Running() && TracedFrames() < 511 && GetTicks() - nStart < 120000) SleepMs(10);
    ASSERT_TRUE(run.Running()) << run.Err();
    SleepMs(500);
    const uint32_t nAsked = GetTicks();
    run.Terminate();
    EXPECT_EQ(run.Wait(30), 0) << run.Err();
    EXPECT_LT(GetTicks() - nAsked, 3000u) << "the close took far longer than a second";
    ExpectClosedAt(0, true);
}

}  // namespace
