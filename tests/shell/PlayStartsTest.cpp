// How a play starts, played by the real program on scripted keys without a
// display, each case in its own copy of the demo: a free game's restart
// after a clear plays the file the player chose, and a replay played from the title's
// replay entry or chosen in the free game's stage dialog plays back without
// changing any of the player's files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "frontend/Option.h"
#include "platform/TextCodec.h"
#include "project/Progress.h"
#include "project/Ranking.h"
#include "project/SystemData.h"
#include "support/ByteBuilder.h"
#include "support/DemoCopyTest.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

class PlayStarts : public cDemoCopyTest {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &m_strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        fs::remove_all(dir.Path() + "/user_data");
    }
    int Play(const std::string& strKeys, int nFrames, const std::vector<std::string>& vEnv) {
        EXPECT_TRUE(dir.WriteFile("keys.txt", strKeys));
        std::vector<std::string> v = {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"),
                                      "MOSSGROVE_SEED=4242"};
        v.insert(v.end(), vEnv.begin(), vEnv.end());
        return RunGameProcess(m_strExe, {"--close-after-frames", std::to_string(nFrames)}, v, 300);
    }
    // The report as it is written: UTF-8.
    std::string Report() const { return Text("Report_Game.txt"); }
    std::string Text(const std::string& strName) const {
        const auto v = ReadHostFile(dir.File(strName));
        return std::string(v.begin(), v.end());
    }
    // Every file under user_data with its bytes, but the window's placement,
    // which any close of a window keeps.
    std::map<std::string, std::vector<uint8_t>> PlayerFiles() const {
        std::map<std::string, std::vector<uint8_t>> m;
        for (const auto& e : fs::recursive_directory_iterator(dir.File("user_data")))
            if (e.is_regular_file() && e.path().filename() != "Window.dat")
                m[e.path().string()] = ReadHostFile(e.path().string());
        return m;
    }
};

// One attempt of the play trace: its seed and its frames' "FRAME HASH" lines.
struct ATTEMPT {
    int nSeed = 0;
    std::vector<std::string> vFrames;
};
std::vector<ATTEMPT> Attempts(const std::string& strTrace) {
    std::vector<ATTEMPT> v;
    std::istringstream in(strTrace);
    std::string strLine;
    while (std::getline(in, strLine)) {
        if (strLine.rfind("attempt ", 0) == 0) {
            v.emplace_back();
            v.back().nSeed = std::atoi(strLine.c_str() + 8);
        } else if (!strLine.empty() && !v.empty()) {
            v.back().vFrames.push_back(strLine);
        }
    }
    return v;
}

// "フリー" (fourth entry of the title) and the file the dialog answers; the
// stage is set up at 131 and its play starts at 221; right held with a jump
// every 50 frames reaches the forest's goal.
std::string FreeForestKeys() {
    std::string s = "60 down\n75 down\n90 down\n120 z\n290 right 560\n";
    for (int f = 310; f < 840; f += 50) s += std::to_string(f) + " z 10\n";
    return s;
}

// The forest chosen as its first numbered file while a damaged newer
// numbered file of the same name stands beside it: after the clear the free
// game starts again on the forest and plays on. Read, the damaged file would
// have been reported and the game closed.
TEST_F(PlayStarts, TheFreeGameStartsAgainOnTheChosenFileAfterAClear) {
    ASSERT_TRUE(dir.WriteFile("data/stg4/m01.stg4_001", std::string("damaged")));
    const std::string strKeys = FreeForestKeys() + "930 z\n";
    EXPECT_EQ(Play(strKeys, 1150,
                   {"MOSSGROVE_FILE_ANSWERS=m01.stg4_000", "MOSSGROVE_PLAY_TRACE=" + dir.File("trace.txt")}),
              0);
    const std::string strReport = Report();
    // Title, then stage play to the end: the restart stays in stage play.
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 4})) << strReport;
    EXPECT_EQ(strReport.find("m01.stg4_001"), std::string::npos) << strReport;
    const std::vector<ATTEMPT> v = Attempts(Text("trace.txt"));
    ASSERT_EQ(v.size(), 2u) << strReport;
    EXPECT_GE(v[0].vFrames.size(), 500u);   // the forest to its goal
    EXPECT_GE(v[1].vFrames.size(), 30u) << "the restart did not get to play";
    EXPECT_EQ(v[1].nSeed, v[0].nSeed);
}

// The player's files before the replay: a story slot, the challenge file,
// the options (manual registration under a fixed name) and a free ranking
// of the forest. The project switches the ranking on for replays too.
void PreparePlayerFiles(const cTempDir& dir) {
    char szOld[4096];
    ASSERT_NE(getcwd(szOld, sizeof szOld), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    nDataVer = DATA_VERSION;
    ASSERT_TRUE(dir.MakeDir("user_data/story"));
    ASSERT_TRUE(dir.MakeDir("user_data/challenge"));
    ASSERT_TRUE(dir.MakeDir("user_data/free"));
    cSystemData sys;
    ASSERT_EQ(sys.Load("data\\System.dat"), 1);
    ASSERT_TRUE(sys.m_vRankingFlags.IsValid(3));
    sys.m_vRankingFlags[3].m_bRanking = 1;
    for (uint8_t& k : sys.m_vRankingFlags[3].m_vKind) k = 1;
    ASSERT_EQ(sys.Save("data\\System.dat"), 1);
    cProgress p;
    p.Reset();
    p.m_strName = "slot";
    p.m_nTotalScore = 1234;
    ASSERT_EQ(p.Save("user_data\\story\\Story01.dat"), 1);
    p.m_strName = "challenge";
    ASSERT_EQ(p.Save("user_data\\challenge\\Challenge.dat"), 1);
    cOption opt;
    opt.m_nRankingMode = 1;
    opt.m_strName = "kept";
    ASSERT_EQ(opt.Save("user_data\\Option.dat"), 1);
    cRanking rk;
    rk.Reset();
    ASSERT_EQ(rk.Save("user_data\\free\\m01.rkg"), 1);
    ASSERT_EQ(chdir(szOld), 0);
}

// The name of the one replay file in user_data/rpl4; empty when there is
// not exactly one.
std::string TheReplayFile(const cTempDir& dir) {
    std::vector<std::string> v;
    if (fs::exists(dir.File("user_data/rpl4")))
        for (const auto& e : fs::directory_iterator(dir.File("user_data/rpl4"))) v.push_back(e.path().filename());
    return v.size() == 1 ? v[0] : std::string();
}

// Keys during the playback's clear display: F3 (manual registration) and,
// after it, the confirm button, a few times over the frames the clear may
// fall on.
std::string RegisterAttempts(int nFrom) {
    std::string s;
    for (int f = nFrom; f < nFrom + 150; f += 30) s += std::to_string(f) + " f3\n" + std::to_string(f + 10) + " z\n";
    return s;
}

TEST_F(PlayStarts, AReplayPlayedFromTheTitleOrTheFreeDialogChangesNoPlayerFile) {
    // The recording: the forest in free play, F1 on its clear display.
    ASSERT_EQ(Play(FreeForestKeys() + "900 f1\n", 960,
                   {"MOSSGROVE_FILE_ANSWERS=m01.stg4_000;ok", "MOSSGROVE_PLAY_TRACE=" + dir.File("record.txt")}),
              0);
    const std::string strReplay = TheReplayFile(dir);
    ASSERT_FALSE(strReplay.empty()) << Report();
    fs::copy_file(dir.File("user_data/rpl4/" + strReplay), dir.File("data/stg4/forest.rpl4_854"));
    // Only the replay stays of that run; the player's files are made anew.
    const std::string strKeep = dir.File("replay.keep");
    fs::copy_file(dir.File("user_data/rpl4/" + strReplay), strKeep);
    fs::remove_all(dir.File("user_data"));
    PreparePlayerFiles(dir);
    ASSERT_TRUE(dir.MakeDir("user_data/rpl4"));
    fs::copy_file(strKeep, dir.File("user_data/rpl4/" + strReplay));
    const auto before = PlayerFiles();
    ASSERT_EQ(before.size(), 5u);
    const std::vector<ATTEMPT> vRecord = Attempts(Text("record.txt"));
    ASSERT_FALSE(vRecord.empty());

    const struct {
        const char* pszHow;
        const char* pszKeys;   // to the playback's start
        std::string strAnswer;
    } acase[] = {
        {"the title's replay entry", "60 down\n75 down\n90 down\n105 down\n130 z\n", strReplay},
        {"the free game's stage dialog", "60 down\n75 down\n90 down\n120 z\n", "forest.rpl4_854"},
    };
    for (const auto& c : acase) {
        SCOPED_TRACE(c.pszHow);
        fs::remove(dir.File("play.txt"));
        const std::string strKeys = std::string(c.pszKeys) + RegisterAttempts(880);
        EXPECT_EQ(Play(strKeys, 1150, {"MOSSGROVE_FILE_ANSWERS=" + c.strAnswer, "MOSSGROVE_PLAY_TRACE=" + dir.File("play.txt")}),
                  0);
        const std::string strReport = Report();
        EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 4})) << strReport;
        // No failure was reported (the report is kept in UTF-8; the literal
        // here is the game's Shift-JIS).
        EXPECT_EQ(strReport.find(SjisToUtf8("失敗")), std::string::npos) << strReport;
        // The recorded play was played back to its clear and began again.
        const std::vector<ATTEMPT> vPlay = Attempts(Text("play.txt"));
        ASSERT_GE(vPlay.size(), 2u) << strReport;
        EXPECT_EQ(vPlay[0].nSeed, vRecord[0].nSeed);
        ASSERT_GE(vPlay[0].vFrames.size(), 100u);
        ASSERT_GE(vRecord[0].vFrames.size(), vPlay[0].vFrames.size());
        for (size_t i = 0; i < vPlay[0].vFrames.size(); i++)
            ASSERT_EQ(vPlay[0].vFrames[i], vRecord[0].vFrames[i]) << "frame " << i + 1;
        // Not a byte of the player's files changed, and none was added.
        EXPECT_EQ(PlayerFiles(), before);
    }
}

}  // namespace
