// The story's later places played by the real program on scripted keys
// without a display: each is entered from the world map of a story
// continued from a prepared save slot, played to its clear, and the slot
// the map saves automatically on the return is read back.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "frontend/WorldMapScene.h"
#include "platform/TextCodec.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "support/ByteBuilder.h"
#include "support/DemoCopyTest.h"
#include "support/DemoStageKeys.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// World map cells of the places (the island starts at cell 10, 8).
struct PLACE {
    const char* pszFile;   // the stage's key as the best results keep it
    int x, y;
};
const PLACE plForest = {"data\\stg4\\m01.", 10 + 3, 8 + 7};
const PLACE plHills = {"data\\stg4\\m02.", 10 + 9, 8 + 7};
const PLACE plCastle = {"data\\stg4\\m03.", 10 + 15, 8 + 7};
const PLACE plGarden = {"data\\stg4\\m04.", 10 + 9, 8 + 11};

class StoryStages : public cDemoCopyTest {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &m_strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        fs::remove_all(dir.Path() + "/user_data");
        ASSERT_TRUE(dir.MakeDir("user_data"));
        ASSERT_TRUE(dir.MakeDir("user_data/story"));
    }

    // The first slot: a story standing on place pl with the stages before
    // it cleared (flags 1 .. nCleared), nCoins in common variable 1 and
    // auto-save on, as a new story starts.
    void PrepareSlot(const PLACE& pl, int nCleared, int nCoins) {
        InDemo([&] {
            // The progress fits itself to the project's map and lives.
            const cWorldMap mapOld = recWorldMap;
            const cSystemData sysOld = recSystem;
            ASSERT_EQ(recWorldMap.Load("data\\WorldMap.dat"), 1);
            ASSERT_EQ(recSystem.Load("data\\System.dat"), 1);
            cProgress p;
            p.NewStory();
            p.m_bAutoSave = 1;
            p.m_nSaveSlot = 0;
            p.m_nMapX = pl.x;
            p.m_nMapY = pl.y;
            p.m_nMapPrevX = pl.x;
            p.m_nMapPrevY = pl.y;
            for (int i = 1; i <= nCleared; i++) p.m_vStageFlag.At(i) = 1;
            p.m_vCommonVar.At(1) = nCoins;
            ASSERT_EQ(p.Save("user_data\\story\\Story01.dat"), 1);
            recWorldMap = mapOld;
            recSystem = sysOld;
        });
    }

    int Play(const std::string& strKeys, int nFrames) {
        EXPECT_TRUE(dir.WriteFile("keys.txt", strKeys));
        return RunGameProcess(m_strExe, {"--close-after-frames", std::to_string(nFrames)},
                              {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"),
                               "MOSSGROVE_SEED=4242", "MOSSGROVE_PLAY_TRACE=" + dir.File("trace.txt")},
                              300);
    }
    std::string Report() const {
        const auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return SjisToUtf8(std::string(v.begin(), v.end()));
    }

};

// "つづきから" and the first slot; on the map the place under the cursor is
// entered and "ステージに挑む" chosen: the stage is set up at frame 151.
const char* const CONTINUE_KEYS = "60 down\n80 z\n110 z\n140 z\n170 up\n200 z\n";
constexpr int STAGE_START = 200;

}  // namespace

namespace {

// The clear's result kept under the stage's name in the auto-saved slot.
void ExpectCleared(const cProgress& p, const PLACE& pl) {
    int32_t nBest = -1;
    for (const cStageResult& r : p.m_vBestResult)
        if (r.m_strKey == pl.pszFile) nBest = r.m_nBest;
    EXPECT_GT(nBest, 0) << pl.pszFile << " has no result";
}

// The entry of the place on the world map is open with the progress p, and
// closed again once undo takes back what opened it.
void ExpectEntryOpensWith(cProgress& p, const PLACE& pl, const std::function<void(cProgress&)>& undo) {
    cWorldMap map;
    ASSERT_EQ(map.Load("data\\WorldMap.dat"), 1);
    const cWorldPlace* pPlace = map.FindPlace(pl.x, pl.y);
    ASSERT_NE(pPlace, nullptr);
    EXPECT_NE(FindActiveEntry(pPlace, p), nullptr) << pl.pszFile;
    undo(p);
    EXPECT_EQ(FindActiveEntry(pPlace, p), nullptr) << pl.pszFile;
}

TEST_F(StoryStages, TheSecretGardenOpensWithTenCoinsAndIsCleared) {
    PrepareSlot(plGarden, 1, 10);
    std::string s = std::string(CONTINUE_KEYS) + HopRight(STAGE_START + 170, 700);
    s += std::to_string(STAGE_START + 170 + 700 + 60) + " z\n";
    EXPECT_EQ(Play(s, STAGE_START + 170 + 700 + 200), 0);
    const std::string strReport = Report();
    // Title, map, the stage, the map again (which saves the slot).
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 1, 4, 1})) << strReport;
    InDemo([&] {
        cProgress p;
        ASSERT_EQ(p.Load("user_data\\story\\Story01.dat"), 1);
        ExpectCleared(p, plGarden);
        EXPECT_EQ(p.m_vStageFlag.At(4), 1) << strReport;
        // The garden's entry is open with the forest cleared and ten coins,
        // closed with nine.
        ExpectEntryOpensWith(p, plGarden, [](cProgress& q) { q.m_vCommonVar.At(1) = 9; });
    });
}

// The stage is set up 11 frames after the decide at STAGE_START and its
// play runs, after the start banner, from frame 301.
constexpr int HILLS_PLAY = 301;

TEST_F(StoryStages, TheHillsAreClearedOnTheFirstAttemptAndOpenTheCastle) {
    PrepareSlot(plHills, 1, 0);
    constexpr int nLength = HILLS_KEYS_LENGTH;
    std::string s = std::string(CONTINUE_KEYS) + HillsKeys(HILLS_PLAY);
    for (int f = HILLS_PLAY + nLength + 60; f < HILLS_PLAY + nLength + 200; f += 40) s += std::to_string(f) + " z\n";
    EXPECT_EQ(Play(s, HILLS_PLAY + nLength + 300), 0);
    const std::string strReport = Report();
    // Title, map, the stage, the map again (which saves the slot).
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 1, 4, 1})) << strReport;
    // One attempt: no life was lost on the way.
    const auto vTrace = ReadHostFile(dir.File("trace.txt"));
    const std::string strTrace(vTrace.begin(), vTrace.end());
    size_t nAttempts = 0;
    for (size_t n = strTrace.find("attempt "); n != std::string::npos; n = strTrace.find("attempt ", n + 1)) nAttempts++;
    EXPECT_EQ(nAttempts, 1u);
    InDemo([&] {
        cProgress p;
        ASSERT_EQ(p.Load("user_data\\story\\Story01.dat"), 1);
        ExpectCleared(p, plHills);
        EXPECT_EQ(p.m_vStageFlag.At(2), 1) << strReport;
        // The castle's entry is open now, and was closed before the clear.
        ExpectEntryOpensWith(p, plCastle, [](cProgress& q) { q.m_vStageFlag.At(2) = 0; });
    });
}

// The castle ends the story (its entry's end kind): after its clear the
// game goes back to the title, not to the map, and the slot auto-saved on the
// way keeps the clear.
TEST_F(StoryStages, TheCastleIsClearedAfterTheHillsAndTheStoryEndsAtTheTitle) {
    PrepareSlot(plCastle, 2, 0);
    constexpr int nPlay = 2000;
    std::string s = std::string(CONTINUE_KEYS) + ShootRight(STAGE_START + 170, nPlay);
    for (int f = STAGE_START + 170 + nPlay + 60; f < STAGE_START + 170 + nPlay + 200; f += 40) s += std::to_string(f) + " z\n";
    EXPECT_EQ(Play(s, STAGE_START + 170 + nPlay + 300), 0);
    const std::string strReport = Report();
    // Title, map, the stage, the title again.
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 1, 4, 0})) << strReport;
    InDemo([&] {
        cProgress p;
        ASSERT_EQ(p.Load("user_data\\story\\Story01.dat"), 1);
        ExpectCleared(p, plCastle);
        EXPECT_EQ(p.m_vStageFlag.At(3), 1) << strReport;
        // The story's other places stay as they were: no new round began.
        EXPECT_EQ(p.m_vStageFlag.At(2), 1);
        EXPECT_EQ(p.m_nRound, 0);
    });
}

}  // namespace
