// The one start of a play: every kind of start loads its file, names the
// stage, and sets the play mode and type, the ranking switch, world, stage,
// lives and chain; the free game's restart begins the same file again.
#include <gtest/gtest.h>

#include <string>

#include "frontend/FrontEndFakes.h"
#include "frontend/StartGame.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Stage.h"
#include "support/TempDir.h"

namespace {

class StartGame : public ::testing::Test {
protected:
    void SetUp() override {
        savedSystem = recSystem;
        recSystem = cSystemData();
        recProgress.Reset();
        bFreeStageStart = 0;
        nRankingSwitch = 0;
        ASSERT_TRUE(dir.MakeDir("data/stg4"));
        ASSERT_TRUE(dir.MakeDir("user_data/rpl4"));
        // Two numbered files of one free stage, told apart by their width.
        ASSERT_EQ(SaveStage("data\\stg4\\free.stg4_000", 30), 1);
        ASSERT_EQ(SaveStage("data\\stg4\\free.stg4_001", 31), 1);
        ASSERT_EQ(SaveStage("data\\stg4\\c03-1.stg4_002", 32), 1);
        ASSERT_EQ(SaveStage("data\\stg4\\s05.stg4_004", 33), 1);
        ASSERT_EQ(SaveStage("data\\stg4\\x-1.stg4_000", 34), 1);
        // A replay whose progress stands on world 4 of the hills.
        cStage stage;
        stage.m_nWidth = 35;
        stage.m_nHeight = 20;
        stage.m_vCharaPlace.push_back(Hero());
        cStage header = stage;
        cProgress prog;
        prog.Reset();
        prog.m_nWorld = 4;
        prog.m_nStage = 2;
        prog.m_nLifeStart = 7;
        prog.m_nLife = 6;
        prog.SetStageName("data\\stg4\\m02.stg4", 0, 0, 0);
        cReplayLog log;
        log.m_nSeed = 99;
        ASSERT_EQ(log.SaveReplayFile("user_data\\rpl4\\hills.rpl4_854", stage, header, prog), 1);
    }
    void TearDown() override {
        recSystem = savedSystem;
        bFreeStageStart = 0;
        nRankingSwitch = 0;
    }
    static int SaveStage(const char* pszPath, int nWidth) {
        cStage stage;
        stage.m_nWidth = nWidth;
        stage.m_nHeight = 20;
        stage.m_vCharaPlace.push_back(Hero());
        return stage.Save(pszPath);
    }
    static cCharaData Hero() {
        cCharaData hero;
        hero.m_nGraphic = 3;
        hero.m_nOperator = 0;
        return hero;
    }

    cTempDir dir;
    cFrontEndTestScope fe;
    cSystemData savedSystem;
};

// The settings of one mode for a case.
struct MODESET {
    int nLife, bInfinite, bRanking;
};

TEST_F(StartGame, EveryKindOfStartSetsUpItsPlay) {
    cWorldStage entry;
    entry.m_nStage = 7;
    entry.m_bDecorate = 1;
    entry.m_nDecorateA = 5;
    entry.m_nDecorateB = 2;
    entry.m_strFile = "data\\stg4\\s05.stg4";
    struct CASE {
        const char* pszWhat;
        int nKind;             // PLAYSTART_*, the free kind with a replay file as Free too
        const char* pszFile;
        MODESET set;           // the settings of the mode the start enters
        int bCarry;            // the story's life carry
        int32_t nLifeBefore;   // the spare lives the story holds
        // Wanted:
        int nMode, nType, nRanking, nWorld, nStage;
        int32_t nLifeStart, nLife;
        int bChain;
        const char* pszName;   // m_strStageFile
        const char* pszKey;    // m_strStageKey
        int32_t nWidth;        // which file was loaded
        int bDirect;           // bFreeStageStart after the start
    } const acase[] = {
        {"story", PLAYSTART_STORY, nullptr, {3, 0, 1}, 0, 0,
         GAMEMODE_STORY, PLAYTYPE_CONTINUE, 1, 7, 1, 3, 2, 0, "data\\stg4\\s05.", "data\\stg4\\s05_c005_2.", 33, 0},
        {"story, lives carried", PLAYSTART_STORY, nullptr, {3, 0, 0}, 1, 4,
         GAMEMODE_STORY, PLAYTYPE_CONTINUE, 0, 7, 1, 5, 4, 0, "data\\stg4\\s05.", "data\\stg4\\s05_c005_2.", 33, 0},
        {"story, unlimited", PLAYSTART_STORY, nullptr, {3, 1, 0}, 1, 4,
         GAMEMODE_STORY, PLAYTYPE_CONTINUE, 0, 7, 1, 999999, 999999, 0, "data\\stg4\\s05.", "data\\stg4\\s05_c005_2.",
         33, 0},
        {"challenge world 3", PLAYSTART_CHALLENGE, nullptr, {5, 0, 0}, 0, 0,
         GAMEMODE_CHALLENGE, PLAYTYPE_CHALLENGE, 0, 3, 1, 5, 4, 1, "data\\stg4\\c03.", "data\\stg4\\c03.", 32, 0},
        {"free, the chosen file", PLAYSTART_FREE, "data\\stg4\\free.stg4_000", {3, 0, 1}, 0, 0,
         GAMEMODE_FREE, PLAYTYPE_FREE, 1, 1, 1, 3, 2, 0, "data\\stg4\\free.", "data\\stg4\\free.", 30, 0},
        {"free, one life", PLAYSTART_FREE, "data\\stg4\\free.stg4_001", {1, 0, 0}, 0, 0,
         GAMEMODE_FREE, PLAYTYPE_FREE, 0, 1, 1, 1, 0, 0, "data\\stg4\\free.", "data\\stg4\\free.", 31, 0},
        {"free, unlimited", PLAYSTART_FREE, "data\\stg4\\free.stg4_000", {3, 1, 0}, 0, 0,
         GAMEMODE_FREE, PLAYTYPE_FREE, 0, 1, 1, 999999, 999999, 0, "data\\stg4\\free.", "data\\stg4\\free.", 30, 0},
        {"free, a chain's first file", PLAYSTART_FREE, "data\\stg4\\x-1.stg4_000", {3, 0, 0}, 0, 0,
         GAMEMODE_FREE, PLAYTYPE_FREE, 0, 1, 1, 3, 2, 1, "data\\stg4\\x.", "data\\stg4\\x.", 34, 0},
        {"direct: the newest file", PLAYSTART_DIRECT, "data\\stg4\\free.stg4", {3, 0, 0}, 0, 0,
         GAMEMODE_FREE, PLAYTYPE_FREE, 1, 1, 1, 999999, 999999, 0, "data\\stg4\\free.", "data\\stg4\\free.", 31, 1},
        {"direct on a chain: no chain", PLAYSTART_DIRECT, "data\\stg4\\x-1.stg4", {3, 0, 0}, 0, 0,
         GAMEMODE_FREE, PLAYTYPE_FREE, 1, 1, 1, 999999, 999999, 0, "data\\stg4\\x.", "data\\stg4\\x.", 34, 1},
        {"replay", PLAYSTART_REPLAY, "user_data\\rpl4\\hills.rpl4_854", {3, 0, 1}, 0, 0,
         GAMEMODE_REPLAY, PLAYTYPE_REPLAY, 1, 4, 2, 7, 6, 0, "data\\stg4\\m02.", "data\\stg4\\m02.", 35, 0},
        {"replay chosen in the free dialog", PLAYSTART_FREE, "user_data\\rpl4\\hills.rpl4_854", {3, 0, 0}, 0, 0,
         GAMEMODE_REPLAY, PLAYTYPE_REPLAY, 0, 4, 2, 7, 6, 0, "data\\stg4\\m02.", "data\\stg4\\m02.", 35, 0},
    };
    for (const CASE& c : acase) {
        SCOPED_TRACE(c.pszWhat);
        fe.game = cGameState();
        fe.game.m_nPlayType = PLAYTYPE_CONTINUE;   // as the title leaves it for a story
        bFreeStageStart = 0;
        nRankingSwitch = -1;
        recProgress.Reset();
        recProgress.m_nTotalScore = 77;
        recProgress.m_nLife = c.nLifeBefore;
        recProgress.m_nWorld = recProgress.m_nStage = 9;
        recStage.m_nWidth = 0;
        recSystem.m_bStoryLifeCarry = c.bCarry;
        recSystem.m_vLife.assign({1, 1, 1, 1});
        recSystem.m_vLifeInfinite.assign({0, 0, 0, 0});
        for (int m = 0; m < 4; m++) recSystem.m_vRankingFlags.At(m).m_bRanking = 0;
        recSystem.m_vLife.At(c.nMode) = c.set.nLife;
        recSystem.m_vLifeInfinite.At(c.nMode) = c.set.bInfinite;
        recSystem.m_vRankingFlags.At(c.nMode).m_bRanking = c.set.bRanking;

        cPlayStart start;
        switch (c.nKind) {
        case PLAYSTART_STORY: start = cPlayStart::Story(entry); break;
        case PLAYSTART_CHALLENGE: start = cPlayStart::Challenge(3); break;
        case PLAYSTART_FREE: start = cPlayStart::Free(c.pszFile); break;
        case PLAYSTART_DIRECT: start = cPlayStart::Direct(c.pszFile); break;
        default: start = cPlayStart::Replay(c.pszFile); break;
        }
        ASSERT_EQ(start.Start(), 1);
        EXPECT_EQ(fe.game.m_nGameMode, c.nMode);
        EXPECT_EQ(fe.game.m_nPlayType, c.nType);
        EXPECT_EQ(nRankingSwitch, c.nRanking);
        EXPECT_EQ(recProgress.m_nWorld, c.nWorld);
        EXPECT_EQ(recProgress.m_nStage, c.nStage);
        EXPECT_EQ(recProgress.m_nLifeStart, c.nLifeStart);
        EXPECT_EQ(recProgress.m_nLife, c.nLife);
        EXPECT_EQ(recProgress.m_bChain, c.bChain);
        EXPECT_EQ(recProgress.m_strStageFile, c.pszName);
        EXPECT_EQ(recProgress.m_strStageKey, c.pszKey);
        EXPECT_EQ(recStage.m_nWidth, c.nWidth);
        EXPECT_EQ(bFreeStageStart, c.bDirect);
        // A story or a challenge goes on with the player's progress; a free
        // game starts from a fresh one; a replay brings its own.
        const bool bKeeps = c.nMode == GAMEMODE_STORY || c.nMode == GAMEMODE_CHALLENGE;
        EXPECT_EQ(recProgress.m_nTotalScore, bKeeps ? 77 : 0);
        if (c.nKind == PLAYSTART_STORY) {
            EXPECT_EQ(recProgress.m_lpMapEntry, &entry);
        }
    }
}

// A start whose file cannot be read changes neither the progress nor the
// game state.
TEST_F(StartGame, AFailedStartChangesNothing) {
    ASSERT_TRUE(dir.WriteFile("user_data/rpl4/bad.rpl4_854", std::string("not a replay")));
    const char* const apszFile[] = {"data\\stg4\\none.stg4_000", "user_data\\rpl4\\bad.rpl4_854"};
    for (const char* pszFile : apszFile) {
        SCOPED_TRACE(pszFile);
        fe.game = cGameState();
        fe.game.m_nGameMode = GAMEMODE_FREE;
        fe.game.m_nPlayType = PLAYTYPE_FREE;
        recProgress.Reset();
        recProgress.SetStageName("data\\stg4\\kept.stg4", 0, 0, 0);
        recProgress.m_nTotalScore = 77;
        EXPECT_EQ(cPlayStart::Free(pszFile).Start(), 0);
        EXPECT_EQ(recProgress.m_strStageFile, "data\\stg4\\kept.");
        EXPECT_EQ(recProgress.m_nTotalScore, 77);
        EXPECT_EQ(fe.game.m_nGameMode, GAMEMODE_FREE);
        EXPECT_EQ(fe.game.m_nPlayType, PLAYTYPE_FREE);
    }
    EXPECT_EQ(cPlayStart::Challenge(8).Start(), 0);
}

// The restart after a clear or a miss begins the file the player chose, not
// the newest of its name; a direct start begins its newest file again.
TEST_F(StartGame, TheRestartBeginsTheSameFileAgain) {
    const struct {
        bool bDirect;
        const char* pszFile;
        int32_t nWidth;
    } acase[] = {
        {false, "data\\stg4\\free.stg4_000", 30},
        {false, "data\\stg4\\free.stg4_001", 31},
        {true, "data\\stg4\\free.stg4", 31},
    };
    for (const auto& c : acase) {
        SCOPED_TRACE(c.pszFile);
        cPlayStart start = c.bDirect ? cPlayStart::Direct(c.pszFile) : cPlayStart::Free(c.pszFile);
        ASSERT_EQ(start.Start(), 1);
        // Another stage played in between (the chain's next one).
        ASSERT_EQ(cPlayStart::Challenge(3).Start(), 1);
        recProgress.m_nTotalScore = 500;
        ASSERT_EQ(RestartFreePlay(), 1);
        EXPECT_EQ(recStage.m_nWidth, c.nWidth);
        EXPECT_EQ(recProgress.m_nTotalScore, 0);
        EXPECT_EQ(fe.game.m_nGameMode, GAMEMODE_FREE);
        EXPECT_EQ(fe.game.m_nPlayType, PLAYTYPE_FREE);
    }
}

TEST_F(StartGame, AReplayIsKnownByItsExtension) {
    const struct {
        const char* pszName;
        bool bReplay;
    } acase[] = {
        {"user_data\\rpl4\\a.rpl4_854", true},
        {"a.RPL4_854", true},
        {"a.rpl4_", true},
        {"a.rpl4", false},
        {"a.stg4_000", false},
        {"rpl4_854", false},
        {"dir.rpl4_1\\a.stg4_000", false},
        {"", false},
    };
    for (const auto& c : acase) EXPECT_EQ(IsReplayFileName(c.pszName), c.bReplay) << c.pszName;
}

}  // namespace
