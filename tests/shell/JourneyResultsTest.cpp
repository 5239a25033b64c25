// What a player keeps from a journey through the demo, played by the real
// program on scripted keys without a display: the story's best results and
// slots, the challenge file and rankings, replays and the options. Every
// case runs in its own copy of the demo and reads the files the run left
// with the project's own record readers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "frontend/Option.h"
#include "frontend/WorldMapScene.h"
#include "platform/TextCodec.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/Ranking.h"
#include "project/ReplayLog.h"
#include "stage/Stage.h"
#include "project/WorldMap.h"
#include "support/ByteBuilder.h"
#include "support/DemoCopyTest.h"
#include "support/DemoStageKeys.h"

#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

class Journey : public cDemoCopyTest {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &m_strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        fs::remove_all(dir.Path() + "/user_data");
    }

    // Runs the program on a key script; the exit status.
    int Play(const std::string& strKeys, int nFrames, const std::vector<std::string>& vEnv = {}) {
        EXPECT_TRUE(dir.WriteFile("keys.txt", strKeys));
        std::vector<std::string> v = {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")};
        v.insert(v.end(), vEnv.begin(), vEnv.end());
        cGameProcess run(m_strExe, {"--close-after-frames", std::to_string(nFrames)}, v, "run");
        const int nStatus = run.Wait(300);
        m_strErr = run.Err();
        return nStatus;
    }
    // Standard error of the last run: where a box that no one can see is written (UTF-8).
    std::string m_strErr;
    std::string Report() const {
        const auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return SjisToUtf8(std::string(v.begin(), v.end()));
    }
};

// The forest (story m01, challenge c01-1) from the moment its play starts:
// right held with a jump every 50 frames reaches the goal flag. nStart is the
// frame of the decide key that starts the stage.
std::string ForestKeys(int nStart) {
    std::string s = std::to_string(nStart + 170) + " right 560\n";
    for (int f = nStart + 190; f < nStart + 720; f += 50) s += std::to_string(f) + " z 10\n";
    return s;
}

// ---------------------------------------------------------------------------
// Story

// "はじめから" and the first slot; the forest entry and "ステージに挑む"; the
// forest to its goal; the clear display passed; on the map the cancel key
// opens the save scene: "セーブ", the slot, "セーブする"; back out,
// "タイトルへ", "タイトルへ戻る"; at the title "つづきから" and the same slot;
// on the map again the save scene and a save into the second slot.
std::string StoryKeys() {
    std::string s = "60 z\n90 z\n150 z\n180 up\n210 z\n" + ForestKeys(210);
    s += "1000 z\n1060 z\n1120 z\n"
         "1150 x\n1230 z\n1270 z\n1300 up\n1330 z\n"
         "1370 x\n1400 down\n1420 down\n1440 down\n1470 z\n1490 up\n1510 z\n"
         "1640 down\n1670 z\n1710 z\n"
         "1800 x\n1880 z\n1910 down\n1940 z\n1970 up\n2000 z\n";
    return s;
}

TEST_F(Journey, StoryKeepsTheBestResultTheTotalAndTheOpenedPlaceThroughASaveAndAContinue) {
    EXPECT_EQ(Play(StoryKeys(), 2100), 0);
    const std::string strReport = Report();
    // Title, map, stage, map after the clear, save scene, title, map, save scene.
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 1, 4, 1, 2, 0, 1, 2})) << strReport;
    EXPECT_EQ(m_strErr.find(SjisToUtf8("読み込めません")), std::string::npos) << m_strErr;
    ASSERT_TRUE(fs::exists(dir.File("user_data/story/Story01.dat")));
    ASSERT_TRUE(fs::exists(dir.File("user_data/story/Story02.dat"))) << "the continued story was not saved";
    InDemo([&] {
        cProgress saved, again;
        ASSERT_EQ(saved.Load("user_data\\story\\Story01.dat"), 1);
        ASSERT_EQ(again.Load("user_data\\story\\Story02.dat"), 1);
        // The forest's result is filed under the stage's own name.
        ASSERT_EQ(saved.m_vBestResult.size(), 1u);
        const cStageResult& r = saved.m_vBestResult[0];
        EXPECT_EQ(r.m_strKey, "data\\stg4\\m01.");
        EXPECT_GT(r.m_nBest, 0);
        EXPECT_EQ(saved.m_nTotalScore, r.m_nBest);   // the only result so far
        EXPECT_EQ(saved.m_vStageFlag.At(1), 1);
        EXPECT_EQ(saved.m_nSaveSlot, 0);
        // The hills (stage 2, needing stage 1's flag) open.
        cWorldMap map;
        ASSERT_EQ(map.Load("data\\WorldMap.dat"), 1);
        const cWorldPlace* pHills = map.FindPlace(10 + 9, 8 + 7);
        ASSERT_NE(pHills, nullptr);
        EXPECT_NE(FindActiveEntry(pHills, saved), nullptr);
        cProgress fresh;
        fresh.Reset();
        EXPECT_EQ(FindActiveEntry(pHills, fresh), nullptr);
        // The continued story gives back what was saved; only the slot differs.
        EXPECT_EQ(again.m_nSaveSlot, 1);
        EXPECT_EQ(again.m_nTotalScore, saved.m_nTotalScore);
        ASSERT_EQ(again.m_vBestResult.size(), 1u);
        EXPECT_EQ(again.m_vBestResult[0].m_strKey, r.m_strKey);
        EXPECT_EQ(again.m_vBestResult[0].m_nBest, r.m_nBest);
        EXPECT_EQ(std::vector<int32_t>(again.m_vStageFlag.begin(), again.m_vStageFlag.end()),
                  std::vector<int32_t>(saved.m_vStageFlag.begin(), saved.m_vStageFlag.end()));
        EXPECT_EQ(std::vector<int32_t>(again.m_vCommonVar.begin(), again.m_vCommonVar.end()),
                  std::vector<int32_t>(saved.m_vCommonVar.begin(), saved.m_vCommonVar.end()));
        EXPECT_EQ(again.m_nMapX, saved.m_nMapX);
        EXPECT_EQ(again.m_nMapY, saved.m_nMapY);
        EXPECT_EQ(again.m_nLife, saved.m_nLife);
        EXPECT_EQ(again.m_nScore, saved.m_nScore);
        EXPECT_EQ(again.m_bAutoSave, saved.m_bAutoSave);
    });
}

// ---------------------------------------------------------------------------
// Replay

// The play trace's lines of the first attempt ("FRAME HASH"), and its seed.
std::vector<std::string> FirstAttempt(const std::string& strTrace, int* pnSeed) {
    std::vector<std::string> v;
    std::istringstream in(strTrace);
    std::string strLine;
    bool bStarted = false;
    while (std::getline(in, strLine)) {
        if (strLine.rfind("attempt ", 0) == 0) {
            if (bStarted) break;
            bStarted = true;
            if (pnSeed) *pnSeed = std::atoi(strLine.c_str() + 8);
            continue;
        }
        if (bStarted && !strLine.empty()) v.push_back(strLine);
    }
    return v;
}

std::string ReadText(const std::string& strPath) {
    const auto v = ReadHostFile(strPath);
    return std::string(v.begin(), v.end());
}

// The forest played in the story and saved with F1 in the middle of the
// attempt (the save dialog takes the proposed name), then played back from
// the title's "リプレイ": each frame of the playback has the state of the same
// frame of the recording, though the host offers another seed.
TEST_F(Journey, AStoryReplaySavedWithF1PlaysBackFrameForFrame) {
    std::string strKeys = "60 z\n90 z\n150 z\n180 up\n210 z\n" + ForestKeys(210) + "600 f1\n";
    EXPECT_EQ(Play(strKeys, 700,
                   {"MOSSGROVE_SEED=111", "MOSSGROVE_FILE_ANSWERS=ok", "MOSSGROVE_PLAY_TRACE=" + dir.File("record.txt")}),
              0);
    std::vector<std::string> vFiles;
    for (const auto& e : fs::directory_iterator(dir.File("user_data/rpl4"))) vFiles.push_back(e.path().filename());
    ASSERT_EQ(vFiles.size(), 1u) << Report();
    // The proposed name: the stage's name, the local time, the replay extension.
    EXPECT_EQ(vFiles[0].rfind("m01__", 0), 0u) << vFiles[0];
    EXPECT_NE(vFiles[0].find(".rpl4_854"), std::string::npos) << vFiles[0];
    InDemo([&] {
        cReplayLog log;
        cStage stage, header;
        cProgress prog;
        ASSERT_EQ(LoadReplayFile(log, ("user_data\\rpl4\\" + vFiles[0]).c_str(), stage, header, prog), 1);
        EXPECT_EQ(log.m_nSeed, 111);
        EXPECT_FALSE(log.m_vDirLog.empty());
        EXPECT_EQ(prog.m_strStageFile, "data\\stg4\\m01.");
    });

    // "リプレイ" is the fifth entry of the title menu.
    EXPECT_EQ(Play("60 down\n75 down\n90 down\n105 down\n130 z\n", 800,
                   {"MOSSGROVE_SEED=222", "MOSSGROVE_FILE_ANSWERS=ok", "MOSSGROVE_PLAY_TRACE=" + dir.File("play.txt")}),
              0);
    int nRecordSeed = 0, nPlaySeed = 0;
    const std::vector<std::string> vRecord = FirstAttempt(ReadText(dir.File("record.txt")), &nRecordSeed);
    const std::vector<std::string> vPlay = FirstAttempt(ReadText(dir.File("play.txt")), &nPlaySeed);
    EXPECT_EQ(nRecordSeed, 111);
    EXPECT_EQ(nPlaySeed, 111);   // the recorded seed, not the host's
    // The recording went on after the save; the replay holds the frames
    // before F1, well over a hundred, and is played back to its end.
    ASSERT_GT(vPlay.size(), 100u) << Report();
    ASSERT_GT(vRecord.size(), vPlay.size());
    for (size_t i = 0; i < vPlay.size(); i++) ASSERT_EQ(vPlay[i], vRecord[i]) << "frame " << i + 1;
}

// Writes the options with registration mode 1 (manual, the fixed name).
void WriteFixedNameOptions(const cTempDir& dir, const char* pszName) {
    ASSERT_TRUE(dir.MakeDir("user_data"));
    char szOld[4096];
    ASSERT_NE(getcwd(szOld, sizeof szOld), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    cOption opt;
    opt.m_nRankingMode = 1;
    opt.m_strName = pszName;
    const int r = opt.Save("user_data\\Option.dat");
    ASSERT_EQ(chdir(szOld), 0);
    ASSERT_EQ(r, 1);
}

// Runs the program until a file appears (or it ends, or the wait passes:
// two minutes, or four for a run of more than 3000 frames), then asks it to
// end with a termination signal: the ranking table that follows a
// registration stays on screen until a button, so the close comes during
// it. The exit status; nothing when the program had already ended.
std::optional<int> RunUntilFile(const std::string& strExe, const cTempDir& dir, const std::string& strFile,
                                const std::vector<std::string>& vEnv, int nFrames = 3000) {
    std::vector<std::string> v = {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")};
    v.insert(v.end(), vEnv.begin(), vEnv.end());
    cGameProcess game(strExe, {"--close-after-frames", std::to_string(nFrames)}, v);
    const int nWaits = nFrames > 3000 ? 2400 : 1200;
    for (int i = 0; i < nWaits && game.Running() && !fs::exists(strFile); i++) usleep(100 * 1000);
    usleep(500 * 1000);
    const bool bRunning = game.Running();
    if (bRunning) game.Terminate();
    const int nStatus = game.Wait(20);
    if (!bRunning) return std::nullopt;
    return nStatus;
}

// A run closed as the player would have it: exit status 0, and the report's
// last line says every thread ended.
void ExpectCleanEnd(std::optional<int> nStatus, const std::string& strReport) {
    ASSERT_TRUE(nStatus.has_value()) << "the program ended before the close was asked\n" << strReport;
    EXPECT_EQ(*nStatus, 0) << strReport;
    EXPECT_EQ(strReport.find("did not end"), std::string::npos) << strReport;
    std::string s = strReport;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    const size_t nAt = s.rfind('\n');
    const std::string strLast = nAt == std::string::npos ? s : s.substr(nAt + 1);
    EXPECT_EQ(strLast.rfind("App : end after ", 0), 0u) << strLast;
    EXPECT_NE(strLast.find("every thread ended"), std::string::npos) << strLast;
}

// ---------------------------------------------------------------------------
// Challenge

// The first world chained over its three stages as the demo has them: the
// forest, the hills and the castle, each played by its own key script. A
// stage is set up 11 frames after the key that leads to it (the stage
// select's decide, the clear display's confirm) and its play starts 90
// frames after that, past the start banner. The clear display takes its
// confirm (or F3) some 60 frames after the flag.
class ChallengeJourney : public Journey {
protected:
    static constexpr int FIRST_SETUP = 171;
    static constexpr int PLAY_AFTER_SETUP = 90;
    // The forest's play starts at 261; the hills' at 1051.
    static constexpr int HILLS_PLAY = FIRST_SETUP + 790 + PLAY_AFTER_SETUP;
    static constexpr int HILLS_CONFIRM = HILLS_PLAY + HILLS_CLEAR + 117;
    // The castle's play starts at 2572; its keys shoot and hop for 1510
    // frames: the first attempt is lost, the second reaches the flag
    // 1592 frames after the first play began.
    static constexpr int CASTLE_PLAY = HILLS_CONFIRM + 11 + PLAY_AFTER_SETUP;
    static constexpr int CASTLE_KEYS = 1510;
    static constexpr int CASTLE_CLEAR = CASTLE_PLAY + 1592;
    static constexpr int LAST_FRAME = CASTLE_CLEAR + 300;

    void SetUp() override {
        Journey::SetUp();
        if (IsSkipped()) return;
        m_vEnv = {"MOSSGROVE_SEED=4242", "MOSSGROVE_PLAY_TRACE=" + dir.File("trace.txt")};
    }
    // "チャレンジ" (third entry) and world 1 at frame 160; the keys of the
    // three stages; the last one either confirmed or, with bRank, F3 first.
    static std::string Keys(bool bRank) {
        std::string s = "60 down\n80 down\n100 z\n160 z\n";
        // The forest: right held, a jump every 50 frames; confirmed 779
        // frames after its set-up.
        s += std::to_string(FIRST_SETUP + 159) + " right 560\n";
        for (int f = FIRST_SETUP + 179; f < FIRST_SETUP + 709; f += 50) s += std::to_string(f) + " z 10\n";
        s += std::to_string(FIRST_SETUP + 779) + " z\n";
        s += HillsKeys(HILLS_PLAY) + std::to_string(HILLS_CONFIRM) + " z\n";
        // Right stays held to the flag after the last hop.
        s += ShootRight(CASTLE_PLAY + 69, CASTLE_KEYS) + std::to_string(CASTLE_PLAY + 69 + CASTLE_KEYS) + " right 60\n";
        if (bRank) s += std::to_string(CASTLE_CLEAR + 57) + " f3\n";
        else s += std::to_string(CASTLE_CLEAR + 71) + " z\n";
        return s;
    }
    std::vector<std::string> m_vEnv;
};

TEST_F(ChallengeJourney, TheFirstWorldChainsItsThreeStagesAndKeepsItsResultOnItsOwnRow) {
    EXPECT_EQ(Play(Keys(false), LAST_FRAME, m_vEnv), 0);
    const std::string strReport = Report();
    // Title, stage select, the three stages in one stage-play scene, stage select.
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 3, 4, 3})) << strReport;
    const std::string strTrace = ReadText(dir.File("trace.txt"));
    size_t nAttempts = 0;
    for (size_t p = strTrace.find("attempt "); p != std::string::npos; p = strTrace.find("attempt ", p + 1)) nAttempts++;
    // The forest, the hills, and the castle twice (its first life is lost).
    EXPECT_EQ(nAttempts, 4u);
    ASSERT_TRUE(fs::exists(dir.File("user_data/challenge/Challenge.dat"))) << strReport;
    InDemo([&] {
        cProgress prog;
        ASSERT_EQ(prog.Load("user_data\\challenge\\Challenge.dat"), 1);
        ASSERT_GE(prog.m_vWorldResult.size(), 3u);
        // World 1 is entry 0: cleared, its best the total of the chain.
        EXPECT_EQ(prog.m_vWorldResult[0].m_nFirst, 1);
        EXPECT_GT(prog.m_vWorldResult[0].m_nSecond, 0);
        EXPECT_EQ(prog.m_vWorldResult[0].m_nSecond, prog.m_nTotalScore);
        EXPECT_EQ(prog.m_vWorldResult[1].m_nFirst, 0);
        EXPECT_EQ(prog.m_vWorldResult[1].m_nSecond, 0);
        EXPECT_EQ(prog.m_nWorldReached, 2);
    });
}

// F3 on the last stage's clear display registers the chain's score under
// the options' fixed name (registration mode 1) in the world's ranking file.
TEST_F(ChallengeJourney, F3AtTheEndOfTheChainWritesTheRankingWithTheName) {
    WriteFixedNameOptions(dir, "mossy");
    ASSERT_TRUE(dir.WriteFile("keys.txt", Keys(true)));
    const std::string strRanking = dir.File("user_data/challenge/c01.rkg");
    const std::optional<int> nStatus = RunUntilFile(m_strExe, dir, strRanking, m_vEnv, LAST_FRAME);
    ASSERT_TRUE(fs::exists(strRanking)) << Report();
    ExpectCleanEnd(nStatus, Report());
    InDemo([&] {
        cRanking rk;
        ASSERT_EQ(rk.Load("user_data\\challenge\\c01.rkg"), 1);
        ASSERT_EQ(rk.m_vTable.size(), 5u);
        const cRankTable& score = rk.m_vTable[0];
        ASSERT_EQ(score.m_vEntry.size(), 20u);
        EXPECT_EQ(score.m_vEntry[0].m_bUse, 1);
        EXPECT_EQ(score.m_vEntry[0].m_strName, "mossy");
        EXPECT_GT(score.m_vEntry[0].m_nScore, 0);
        EXPECT_EQ(score.m_vEntry[1].m_bUse, 0);
        // The clear time ranks smaller first and holds the chain's time.
        EXPECT_EQ(rk.m_vTable[2].m_bHigher, 0);
        EXPECT_EQ(rk.m_vTable[2].m_vEntry[0].m_strName, "mossy");
        EXPECT_GT(rk.m_vTable[2].m_vEntry[0].m_nScore, 0);
    });
}

// ---------------------------------------------------------------------------
// Free play

// "フリー" (fourth entry) and the forest chosen in the stage dialog; the stage
// is set up 11 frames after the decide (at 131), played to its goal, and F3
// on the clear display registers it under the fixed name in the free play's
// ranking of that stage.
// The keys of that free play, up to F3.
std::string FreeRankKeys() {
    std::string s = "60 down\n75 down\n90 down\n120 z\n290 right 560\n";
    for (int f = 310; f < 840; f += 50) s += std::to_string(f) + " z 10\n";
    return s + "896 f3\n";
}

TEST_F(Journey, AFreePlayOfAChosenStageIsClearedAndRanked) {
    WriteFixedNameOptions(dir, "grove");
    ASSERT_TRUE(dir.WriteFile("keys.txt", FreeRankKeys()));
    const std::string strRanking = dir.File("user_data/free/m01.rkg");
    const std::optional<int> nStatus = RunUntilFile(
        m_strExe, dir, strRanking, {"MOSSGROVE_FILE_ANSWERS=m01.stg4_000", "MOSSGROVE_PLAY_TRACE=" + dir.File("trace.txt")});
    const std::string strReport = Report();
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 4})) << strReport;
    EXPECT_EQ(ReadText(dir.File("trace.txt")).rfind("attempt ", 0), 0u);
    ASSERT_TRUE(fs::exists(strRanking)) << strReport;
    ExpectCleanEnd(nStatus, strReport);
    InDemo([&] {
        cRanking rk;
        ASSERT_EQ(rk.Load("user_data\\free\\m01.rkg"), 1);
        ASSERT_EQ(rk.m_vTable.size(), 5u);
        EXPECT_EQ(rk.m_vTable[0].m_vEntry[0].m_bUse, 1);
        EXPECT_EQ(rk.m_vTable[0].m_vEntry[0].m_strName, "grove");
        EXPECT_GT(rk.m_vTable[0].m_vEntry[0].m_nScore, 0);
        EXPECT_EQ(rk.m_vTable[0].m_vEntry[1].m_bUse, 0);
    });
}

// A close while the ranking table of that free play is shown, asked by the
// Escape key and by the unattended frame count at frame 1000 (the table
// came at F3 on 896 and waits for a button): the run ends at once with
// status 0, every thread ended, the close seen during the wait, and the
// ranking written before it kept.
TEST_F(Journey, ACloseWhileTheRankingTableIsShownEndsTheRunCleanlyAndKeepsTheRanking) {
    WriteFixedNameOptions(dir, "grove");
    constexpr int CLOSE_FRAME = 1000;
    for (bool bEscape : {true, false}) {
        SCOPED_TRACE(bEscape ? "Escape" : "--close-after-frames");
        fs::remove_all(dir.File("user_data/free"));
        std::string strKeys = FreeRankKeys();
        if (bEscape) strKeys += std::to_string(CLOSE_FRAME) + " escape\n";
        const int nStatus = Play(strKeys, bEscape ? 3000 : CLOSE_FRAME, {"MOSSGROVE_FILE_ANSWERS=m01.stg4_000"});
        const std::string strReport = Report();
        ExpectCleanEnd(nStatus, strReport);
        EXPECT_NE(strReport.find("during a stage-play wait"), std::string::npos) << strReport;
        unsigned nFrames = 0;
        const size_t nAt = strReport.rfind("App : end after ");
        ASSERT_NE(nAt, std::string::npos) << strReport;
        std::sscanf(strReport.c_str() + nAt, "App : end after %u frames", &nFrames);
        // The frames of the table count: the close comes at its own frame.
        EXPECT_GE(nFrames, unsigned(CLOSE_FRAME));
        EXPECT_LT(nFrames, unsigned(CLOSE_FRAME + 30));
        InDemo([&] {
            cRanking rk;
            ASSERT_EQ(rk.Load("user_data\\free\\m01.rkg"), 1);
            EXPECT_EQ(rk.m_vTable[0].m_vEntry[0].m_strName, "grove");
        });
    }
}

// ---------------------------------------------------------------------------
// Options

// "オプション" (sixth entry); on each of the first four rows the editor is
// opened, the value raised by one and kept; the name row opens the name
// dialog (answered with the name as it is); "もどる" leaves to the title,
// which writes the options.
TEST_F(Journey, EveryOptionRowEditsItsOwnValueAndTheFileKeepsIt) {
    std::string s = "60 down\n75 down\n90 down\n105 down\n120 down\n150 z\n";
    for (int r = 0, f = 220; r < 4; r++, f += 60)
        s += std::to_string(f) + " z\n" + std::to_string(f + 15) + " up\n" + std::to_string(f + 30) + " z\n" +
             std::to_string(f + 45) + " down\n";
    s += "460 z\n490 down\n510 z\n";
    EXPECT_EQ(Play(s, 620), 0);
    const std::string strReport = Report();
    EXPECT_EQ(ReportSceneSwitches(strReport), (std::vector<int>{0, 5, 0})) << strReport;
    ASSERT_TRUE(fs::exists(dir.File("user_data/Option.dat"))) << strReport;
    InDemo([&] {
        cOption opt;
        ASSERT_EQ(opt.Load("user_data\\Option.dat"), 1);
        // Defaults 0, on, 7, mode 0, "aaa"; each raised by one: the music
        // switch passes its maximum 1 and wraps to off.
        EXPECT_EQ(opt.m_nPaletteVariant, 1);
        EXPECT_EQ(opt.m_bBgm, 0);
        EXPECT_EQ(opt.m_nVolume, 8);
        EXPECT_EQ(opt.m_nRankingMode, 1);
        EXPECT_EQ(opt.m_strName, "aaa");
    });
}

}  // namespace
