// The blocking waits, the status bar layout, the stage end (totals and extra
// lives, the next stage's file, the scene after a clear) and the commands
// of the display area run on a harness stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "flow/CmdDispatch.h"
#include "flow/CmdFlowOp.h"
#include "play/Chara.h"
#include "play/EffectAnime.h"
#include "play/Hero.h"
#include "play/Message.h"
#include "play/PlayDraw.h"
#include "play/PlayScene.h"
#include "play/PlayWait.h"
#include "play/Shot.h"
#include "play/StageEnd.h"
#include "project/Database.h"
#include "project/GameFonts.h"
#include "project/Scene.h"
#include "project/ProjectContext.h"
#include "project/WorldMap.h"
#include "stage/CmdVocabulary.h"
#include "stage/Flow.h"
#include "stage/MoveVocabulary.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"
#include "play/PlayHarness.h"  // the headless stage
#include "play/WaitHost.h"

namespace {

const std::vector<std::string> kFlatMap = {"........................",
                                           "..H.....................",
                                           "........................",
                                           "########################"};

class DisplayPlay : public ::testing::Test {
protected:
    DisplayPlay() : h(kFlatMap), host(h.Input()) {}
    void SetUp() override {
        aFont[1].m_nCellWidth = 16;
        aFont[1].m_nLineHeight = 16;
        h.SetUp();
        h.Ctx().lpHost = &host;
        h.Ctx().lpDatabase = &db;
    }
    cPlayScene& S() { return h.Scene(); }
    // A command of a kind with its parameters.
    static cEdCmd Cmd(int nKind, std::vector<int32_t> p) {
        cEdCmd c;
        c.m_nKind = static_cast<uint8_t>(nKind);
        c.m_vParam.assign(p.begin(), p.end());
        return c;
    }
    static CMDCALL Call(cCharaBase* pChara, cEdCmd& cmd, cFlowRun* pFlow = nullptr) {
        CMDCALL c;
        c.pChara = pChara;
        c.pCmd = &cmd;
        c.pFlow = pFlow;
        return c;
    }
    cPlayHarness h;
    cWaitHost host;
    cDatabase db;
};

// ---- waits ----
TEST_F(DisplayPlay, FrameWaitDrawsItsFramesAndLeavesTheInputAsItWas) {
    h.Input().m_wButton = 0;
    h.Input().RecordHistory();
    const cInputState before = h.Input();
    SetWait(S(), WAITKIND_GAMEWAIT, 0, 30, 0);
    EXPECT_EQ(RunWait(S()), 1);
    EXPECT_EQ(host.nFrames, 31);   // 30 drawn, the 31st turn ends it
    EXPECT_EQ(h.Input().m_anHistoryIndex[1], before.m_anHistoryIndex[1]);
}

TEST_F(DisplayPlay, MessageWaitIgnoresItsFirstTenFramesAndHeldButtons) {
    // Held from before the wait: no press. A press at frame 5 (released at
    // 6) falls in the first ten frames; the press at frame 14 ends the wait.
    h.Input().m_wButton = 1;
    host.vecButtons = {1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    SetWait(S(), WAITKIND_MESSAGE, 1, 0, 0);
    EXPECT_EQ(S().m_Wait.nFirst, 10);
    EXPECT_EQ(RunWait(S()), 1);
    EXPECT_EQ(host.nFrames, 14);
    ASSERT_FALSE(host.vecSound.empty());
    EXPECT_EQ(host.vecSound.back(), 12);
    EXPECT_EQ(S().m_bHoldButtons, 1);
    // A continuing message has no delay; another kind sounds 1.
    SetWait(S(), WAITKIND_MESSAGE, 1, 0, 1);
    EXPECT_EQ(S().m_Wait.nFirst, 0);
    SetWait(S(), WAITKIND_PICTURE, 1, 0, 0);
    EXPECT_EQ(S().m_Wait.nFirst, 0);
    host.nFrames = 0;
    host.vecButtons = {0, 1};
    EXPECT_EQ(RunWait(S()), 1);
    EXPECT_EQ(host.vecSound.back(), 1);
}

TEST_F(DisplayPlay, CloseEndsAWait) {
    host.nCloseAt = 5;
    SetWait(S(), WAITKIND_MESSAGE, 1, 0, 0);
    EXPECT_EQ(RunWait(S()), 0);
    EXPECT_EQ(host.nFrames, 5);
    EXPECT_EQ(S().m_bClosing, 1);
    EXPECT_GE(host.nCloseRequests, 1);
    // Closing already: the next wait does not start.
    host.nFrames = 0;
    EXPECT_EQ(RunWait(S()), 0);
    EXPECT_EQ(host.nFrames, 0);
}

TEST_F(DisplayPlay, GameWaitCommandBlocksForItsTime) {
    cEdCmd cmd = Cmd(CMD_GAME_WAIT, {15});   // 1.5 s
    const size_t nBefore = S().m_lstMessage.size();
    CmdExec_GameWait(Call(&h.Hero(), cmd));
    EXPECT_EQ(host.nFrames, 91);
    EXPECT_EQ(S().m_lstMessage.size(), nBefore);
}

// ---- status bar ----
TEST(StatusBarLayout, GapOfFourEntriesOfAHundredDots) {
    cSystemData sys;
    sys.m_vStatusDisp.resize(5);
    for (auto& e : sys.m_vStatusDisp) {
        e.m_bShow = 0;
        e.m_bIcon = 0;
        e.m_strLabel.clear();
        e.m_nValueCells = 0;
    }
    // Two gauges of 50 and two entries with no label and no digits.
    for (int i : {0, 2, 3, 4}) sys.m_vStatusDisp[i].m_bShow = 1;
    int x[5], w[5];
    EXPECT_EQ(LayoutStatusBar(sys, x, w), 107);
    EXPECT_EQ(x[0], 107);
    EXPECT_EQ(x[1], -1);
    EXPECT_EQ(x[2], 214);
    EXPECT_EQ(x[3], 214 + 50 + 107);
    EXPECT_EQ(x[4], 214 + 50 + 107 + 50 + 107);
    // Icons and digits count 16 each.
    sys.m_vStatusDisp[0].m_bIcon = 1;
    sys.m_vStatusDisp[0].m_nValueCells = 6;
    EXPECT_EQ(LayoutStatusBar(sys, x, w), (638 - 100 - 16 - 96) / 5);
    EXPECT_EQ(w[0], 112);
    for (auto& e : sys.m_vStatusDisp) e.m_bShow = 0;
    EXPECT_EQ(LayoutStatusBar(sys, x, w), -1);
}

// ---- stage end ----
TEST(ExtraLives, CountedByScoreSteps) {
    EXPECT_EQ(CountExtraLives(90, 210, 100), 2);
    EXPECT_EQ(CountExtraLives(150, 270, 100), 1);
    EXPECT_EQ(CountExtraLives(0, 99, 100), 0);
    EXPECT_EQ(CountExtraLives(0, 1000, 0), 0);
    EXPECT_EQ(CountExtraLives(0, 1000, -5), 0);
}

TEST_F(DisplayPlay, TotalsCrossingTwoScoreStepsGiveTwoLivesWithTheirDisplays) {
    h.System().m_bExtendByScore = 1;
    h.System().m_nExtendScore = 100;
    h.Progress().m_nPlayScore = 90;
    h.Progress().m_nTotalScore = 4000;   // the sum of the bests is not the play's
    h.Progress().m_nScore = 120;
    h.Progress().m_nLife = 3;
    S().m_nPlayTime = 500;
    host.vecSound.clear();
    AddTotals(S());
    EXPECT_EQ(h.Progress().m_nPlayScore, 210);
    EXPECT_EQ(h.Progress().m_nTotalScore, 4000);
    EXPECT_EQ(h.Progress().m_nLife, 5);
    EXPECT_EQ(std::count(host.vecSound.begin(), host.vecSound.end(), 15), 2);
    EXPECT_EQ(host.nFrames, 2 * 31);
    EXPECT_EQ(h.Progress().m_nClearTime, 500);
    // The pop-ups are gone again.
    for (auto& m : S().m_lstMessage) EXPECT_NE(m->m_nMode, MESMODE_1UP);
}

TEST_F(DisplayPlay, ManyLivesAllCountButOnlyTenAreShownAndLivesStopAt99) {
    h.System().m_bExtendByScore = 1;
    h.System().m_nExtendScore = 1;
    h.Progress().m_nPlayScore = 0;
    h.Progress().m_nScore = 50;
    h.Progress().m_nLife = 60;
    host.vecSound.clear();
    AddTotals(S());
    EXPECT_EQ(h.Progress().m_nLife, 99);
    EXPECT_EQ(std::count(host.vecSound.begin(), host.vecSound.end(), 15), 10);
    EXPECT_EQ(host.nFrames, 10 * 31);
    // Unlimited lives take no extra lives.
    h.Progress().m_nLife = LIVES_INFINITE;
    h.Progress().m_nScore = 5;
    AddTotals(S());
    EXPECT_EQ(h.Progress().m_nLife, LIVES_INFINITE);
}

TEST_F(DisplayPlay, NextStageNameIsTheNewestNumberedFile) {
    cTempDir dir;
    const std::string base = dir.Path() + "/stage";
    for (const char* suffix : {"-2.stg4_001", "-2.stg4_003", "-3.stg4_000", "x.stg4_002"})
        std::ofstream(base + suffix) << "x";
    h.Progress().m_bChain = 1;
    h.Progress().m_strStageFile = base + ".";
    std::string s;
    EXPECT_EQ(GetNextStageName(S(), s, 2), 1);
    EXPECT_EQ(s, base + "-2.stg4_003");
    EXPECT_EQ(IsLastStage(S(), 3), 0);
    EXPECT_EQ(IsLastStage(S(), 4), 1);
    EXPECT_EQ(GetNextStageName(S(), s, 0), 0);
    EXPECT_EQ(s, "");
    // A path given by the stage-clear command: its dot is not doubled.
    S().m_strNextStage = base + "x.";
    EXPECT_EQ(GetNextStageName(S(), s, 7), 1);
    EXPECT_EQ(s, base + "x.stg4_002");
    // No chain, or an empty stored name: no next stage, nothing read.
    S().m_strNextStage.clear();
    h.Progress().m_strStageFile.clear();
    EXPECT_EQ(GetNextStageName(S(), s, 2), 0);
    h.Progress().m_bChain = 0;
    h.Progress().m_strStageFile = base + ".";
    EXPECT_EQ(GetNextStageName(S(), s, 2), 0);
}

TEST_F(DisplayPlay, SceneAfterAClearByPlayType) {
    struct CASE {
        int nPlayType;
        int nScene;
    };
    const CASE cases[] = {
        {PLAYTYPE_FREE, SCENE_PLAY},     {PLAYTYPE_REPLAY, SCENE_PLAY},     {PLAYTYPE_CHALLENGE, SCENE_STAGESELECT},
        {PLAYTYPE_NEWGAME, SCENE_WORLDMAP}, {PLAYTYPE_CONTINUE, SCENE_WORLDMAP}, {9, SCENE_STAGESELECT},
    };
    for (const CASE& c : cases) {
        h.Game().m_nPlayType = c.nPlayType;
        h.Progress().m_bChain = 0;
        h.Progress().m_bNextStart = 1;
        EXPECT_EQ(S().NextSceneAfterClear(), c.nScene) << c.nPlayType;
        if (c.nPlayType == PLAYTYPE_FREE) {
            EXPECT_EQ(h.Progress().m_bNextStart, 0);
        }
    }
    // A free chain whose next stage is missing ends at the title.
    h.Game().m_nPlayType = PLAYTYPE_FREE;
    h.Progress().m_bChain = 1;
    h.Progress().m_nStage = 4;
    S().m_nNextStage = 5;
    S().m_strNextStage.clear();
    h.Progress().m_strStageFile = "no/such/stage.";
    EXPECT_EQ(S().NextSceneAfterClear(), SCENE_TITLE);
    EXPECT_EQ(h.Progress().m_nStage, 4);
}

// A ranking or a challenge progress that cannot be written (here: no user
// folders) is not passed over in silence: the player is told in a box.
TEST_F(DisplayPlay, FailedRankingAndChallengeSavesAreReported) {
    cTempDir dir;
    cFakeMessageBox boxes;
    cSystemData& sys = h.System();
    h.Game().m_nGameMode = GAMEMODE_CHALLENGE;
    ASSERT_TRUE(sys.m_vRankingFlags.IsValid(GAMEMODE_CHALLENGE));
    sys.m_vRankingFlags[GAMEMODE_CHALLENGE].m_bRanking = 1;
    h.Progress().m_strStageFile = "c01-1.";
    S().m_bRankIn = 1;
    S().m_bRankDone = 0;
    S().m_vecRankPos = {0, -1, -1, -1, -1};
    S().m_vecResult = {100, 0, 0, 0, 0};
    host.vecButtons = {0, 1};   // the ranking screen ends on a press of button 1
    S().RegisterRanking();
    EXPECT_EQ(S().m_bRankDone, 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Boxes()[0].strText.find("の保存に失敗しました！"), std::string::npos);

    h.Game().m_nPlayType = PLAYTYPE_CHALLENGE;
    h.Progress().m_bChain = 0;
    EXPECT_EQ(S().NextSceneAfterClear(), SCENE_STAGESELECT);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].strText, "セーブデータの書き込みに失敗しました！");
}

// A story stage's clear ends by its world-map entry's end kind: nothing
// more (back to the map), the world map starting over (round counted, every
// stage flag cleared, the cursor on the map's start), or the story ending at
// the title, which first saves the auto-saved slot with the clear in it.
TEST_F(DisplayPlay, AStoryClearFollowsItsEntrysEndKind) {
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("user_data/story"));
    const cWorldMap savedMap = recWorldMap;
    const struct {
        int nEnd;
        bool bEntry;
        int nScene, nRound;
        int32_t nFlag3, nFlag1, nMapX;   // after the clear
        bool bSlot;                       // the slot was written
    } acase[] = {
        {WORLDEND_NONE, true, SCENE_WORLDMAP, 0, 1, 1, 4, false},
        {WORLDEND_NONE, false, SCENE_WORLDMAP, 0, 1, 1, 4, false},
        {WORLDEND_RESTART, true, SCENE_WORLDMAP, 1, 0, 0, 9, false},
        {WORLDEND_TITLE, true, SCENE_TITLE, 0, 1, 1, 4, true},
        {7, true, SCENE_WORLDMAP, 0, 1, 1, 4, false},   // a kind this program does not know
    };
    for (const auto& c : acase) {
        SCOPED_TRACE(c.nEnd);
        std::remove("user_data/story/Story03.dat");
        cWorldStage entry;
        entry.m_nReserved = c.nEnd;
        cProgress& p = h.Progress();
        p.Reset();
        p.m_lpMapEntry = c.bEntry ? &entry : nullptr;
        h.Game().m_nPlayType = PLAYTYPE_CONTINUE;
        p.m_bChain = 0;
        p.m_nWorld = 3;
        p.m_vStageFlag.At(1) = 1;
        p.m_nMapX = 4;
        p.m_nMapY = 5;
        p.m_bAutoSave = 1;
        p.m_nSaveSlot = 2;
        p.SetStageName("data\\stg4\\m03.stg4", 0, 0, 0);
        p.m_bChain = 0;
        p.m_nPlayScore = 300;
        recWorldMap.m_nStartX = 9;
        recWorldMap.m_nStartY = 7;
        EXPECT_EQ(S().NextSceneAfterClear(), c.nScene);
        EXPECT_EQ(p.m_nRound, c.nRound);
        EXPECT_EQ(p.m_vStageFlag.At(3), c.nFlag3);
        EXPECT_EQ(p.m_vStageFlag.At(1), c.nFlag1);
        EXPECT_EQ(p.m_vStageFlag.At(0), 1);
        EXPECT_EQ(p.m_nMapX, c.nMapX);
        ASSERT_EQ(p.m_vBestResult.size(), 1u);   // the result is kept whatever comes next
        EXPECT_EQ(dir.Exists("user_data/story/Story03.dat"), c.bSlot);
        if (c.bSlot) {
            cProgress back;
            ASSERT_EQ(back.Load("user_data\\story\\Story03.dat"), 1);
            EXPECT_EQ(back.m_vStageFlag.At(3), 1);
            ASSERT_EQ(back.m_vBestResult.size(), 1u);
            EXPECT_EQ(back.m_vBestResult[0].m_nBest, 300);
        }
    }
    h.Progress().m_lpMapEntry = nullptr;
    recWorldMap = savedMap;
}

// A replay's playback keeps nothing of its play even when the project
// switches the ranking on for replays: its clear reaches no place, and a
// registration asked for anyway writes nothing and shows no box; the same
// clear in a free game reaches its place.
TEST_F(DisplayPlay, AReplaysClearRanksAndWritesNothing) {
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("user_data/free"));
    cFakeMessageBox boxes;
    cSystemData& sys = h.System();
    const struct {
        int nPlayType, nMode;
        int bRankIn;
    } acase[] = {
        {PLAYTYPE_FREE, GAMEMODE_FREE, 1},
        {PLAYTYPE_REPLAY, GAMEMODE_REPLAY, 0},
        {PLAYTYPE_REPLAY, GAMEMODE_FREE, 0},
    };
    for (const auto& c : acase) {
        SCOPED_TRACE(c.nPlayType * 10 + c.nMode);
        h.Game().m_nPlayType = c.nPlayType;
        h.Game().m_nGameMode = c.nMode;
        ASSERT_TRUE(sys.m_vRankingFlags.IsValid(c.nMode));
        sys.m_vRankingFlags[c.nMode].m_bRanking = 1;
        sys.m_vRankingFlags[c.nMode].m_vKind.assign(5, 1);
        h.Stage().m_vTallyFlag.assign(5, 1);
        h.Progress().m_bChain = 0;
        h.Progress().m_strStageFile = "data\\stg4\\m01.";
        S().StageClear();
        EXPECT_EQ(S().m_bRankIn, c.bRankIn);
        EXPECT_EQ(S().m_vecRankPos[0], c.bRankIn ? 0 : -1);
    }
    // Registration forced in a playback: nothing happens.
    for (int nMode : {GAMEMODE_REPLAY, GAMEMODE_FREE}) {
        h.Game().m_nPlayType = PLAYTYPE_REPLAY;
        h.Game().m_nGameMode = nMode;
        S().m_bRankIn = 1;
        S().m_bRankDone = 0;
        S().m_vecRankPos = {0, -1, -1, -1, -1};
        S().m_vecResult = {100, 0, 0, 0, 0};
        host.vecSound.clear();
        host.nFrames = 0;
        host.vecButtons = {0, 1};   // a ranking screen, were one shown, ends on button 1
        S().RegisterRanking();
        EXPECT_EQ(S().m_bRankDone, 0) << nMode;
        EXPECT_EQ(std::count(host.vecSound.begin(), host.vecSound.end(), 16), 0) << nMode;
    }
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_FALSE(dir.Exists("user_data/free/m01.rkg"));
}

// While the F3 hint of a ranking that can still be registered shows, the
// clear screen is drawn without its footer: the footer's step of the system
// colours does not come. Once the result is registered the footer is back.
TEST_F(DisplayPlay, TheF3HintTakesTheFootersPlace) {
    class cColorHost : public cWaitHost {
    public:
        using cWaitHost::cWaitHost;
        void AnimateSystemColor() override { nSteps++; }
        int nSteps = 0;
    } colorHost(h.Input());
    h.Ctx().lpHost = &colorHost;
    S().SetMode(PLAYSTATE_CLEAR);
    S().m_vecRankPos = {2, -1, -1, -1, -1};   // a place reached
    S().m_bRankDone = 0;
    h.Frame();
    EXPECT_EQ(colorHost.nSteps, 0);
    S().m_bRankDone = 1;   // registered: no hint
    h.Frame();
    EXPECT_EQ(colorHost.nSteps, 1);
    h.Ctx().lpHost = &host;
}

// F3 on the clear display registers the result under the fixed name and
// opens the ranking table; the press of button 1 that closes the table
// stays latched, so the clear display, where the player still holds it,
// returns to its results instead of moving on. Only a new press moves on.
TEST_F(DisplayPlay, ThePressThatClosesTheRankingTableStaysOnTheClearScreen) {
    cTempDir dir;
    cFakeMessageBox boxes;   // the ranking file cannot be written here
    class cRankHost : public cWaitHost {
    public:
        using cWaitHost::cWaitHost;
        bool IsKeyDown(int nVk) override { return nVk == PLAYKEY_F3 && bF3; }
        int GetRankingMode() override { return 1; }   // F3, fixed name
        std::string GetFixedRankName() override { return "moss"; }
        bool bF3 = true;
    } rankHost(h.Input());
    h.Ctx().lpHost = &rankHost;
    h.Game().m_nGameMode = GAMEMODE_CHALLENGE;
    h.System().m_vRankingFlags[GAMEMODE_CHALLENGE].m_bRanking = 1;
    h.Progress().m_strStageFile = "c01-1.";
    h.Stage().m_bShowClearBanner = 0;   // input counts from the first frame
    S().SetMode(PLAYSTATE_CLEAR);
    S().m_bRankIn = 1;
    S().m_bRankDone = 0;
    S().m_vecRankPos = {0, -1, -1, -1, -1};
    S().m_vecResult = {100, 0, 0, 0, 0};
    rankHost.vecButtons = {0, 1};   // the table closes on its second frame
    h.Frame();                      // F3: the table, closed by button 1
    EXPECT_EQ(S().m_bRankDone, 1);
    EXPECT_EQ(rankHost.nFrames, 2);
    rankHost.bF3 = false;
    h.Hold(0, 1);                   // button 1 still held
    h.Frames(2);
    EXPECT_EQ(S().m_nState, PLAYSTATE_CLEAR);
    h.Release();
    h.Frame();
    h.Hold(0, 1);                   // a new press
    h.Frame();
    EXPECT_EQ(S().m_nState, PLAYSTATE_FADEOUT);
    h.Ctx().lpHost = &host;
}

// A wait that ends by itself hands back to the play only once the window
// is active again (the host holds it); a wait cut short by a close does not
// wait for that.
TEST_F(DisplayPlay, AWaitThatEndsWaitsForTheWindowToBeActive) {
    class cActiveHost : public cWaitHost {
    public:
        using cWaitHost::cWaitHost;
        void WaitWhileInactive() override { nHeld++; }
        int nHeld = 0;
    } activeHost(h.Input());
    h.Ctx().lpHost = &activeHost;
    SetWait(S(), WAITKIND_GAMEWAIT, 0, 3, 0);
    EXPECT_EQ(RunWait(S()), 1);
    EXPECT_EQ(activeHost.nHeld, 1);
    activeHost.nFrames = 0;
    activeHost.nCloseAt = 2;
    SetWait(S(), WAITKIND_GAMEWAIT, 0, 30, 0);
    EXPECT_EQ(RunWait(S()), 0);
    EXPECT_EQ(activeHost.nHeld, 1);
    h.Ctx().lpHost = &host;
}

// ---- commands ----
TEST_F(DisplayPlay, FlowOperationRestartsAndDeletesWithoutFreeing) {
    cCharaBase& c = h.Hero();
    c.m_vecFlowRun.resize(2);
    for (auto& r : c.m_vecFlowRun) {
        r.m_bRun = 1;
        r.m_nCur = 3;
    }
    cEdCmd start = Cmd(CMD_FLOW_OP, {0, 0, 0, 0});
    CmdExec_FlowOperation(Call(&c, start, &c.m_vecFlowRun[0]));
    EXPECT_EQ(c.m_vecFlowRun[0].m_nCur, 0);
    EXPECT_EQ(c.m_vecFlowRun[0].m_bAbort, 1);
    EXPECT_EQ(c.m_vecFlowRun[1].m_nCur, 3);   // only this flow
    // Delete every other flow: it stops now and is freed later.
    cEdCmd del = Cmd(CMD_FLOW_OP, {4, 1, 0, 0});
    CmdExec_FlowOperation(Call(&c, del, &c.m_vecFlowRun[0]));
    ASSERT_EQ(c.m_vecFlowRun.size(), 2u);
    EXPECT_EQ(c.m_vecFlowRun[1].m_bRemove, 1);
    EXPECT_EQ(c.m_vecFlowRun[1].m_bRun, 0);
    EXPECT_EQ(c.m_bRemovePending, 1);
    EXPECT_EQ(c.m_vecFlowRun[0].m_bRemove, 0);
}

TEST_F(DisplayPlay, StageClearCommandRecordsTheNextStage) {
    h.Progress().m_nStage = 3;
    cEdCmd next = Cmd(CMD_STAGE_CLEAR, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(CmdExec_StageClear(Call(&h.Hero(), next)), 1);
    EXPECT_EQ(S().m_nNextStage, 4);
    EXPECT_EQ(S().m_nClear, 1);
    cEdCmd path = Cmd(CMD_STAGE_CLEAR, {2, 0, 1, -5, -7, 1, 3, 4, 2});
    path.m_strText = "dir/other.stg4";
    h.Hero().m_nDir = 1;
    CmdExec_StageClear(Call(&h.Hero(), path));
    CmdExec_StageClear(Call(&h.Hero(), path));
    EXPECT_EQ(S().m_strNextStage, "dir/other.");
    EXPECT_EQ(h.Progress().m_nMapX, 0);   // the cursor is kept on the map
    EXPECT_EQ(h.Progress().m_nMapY, 0);
    EXPECT_EQ(h.Progress().m_bNextStart, 1);
    EXPECT_EQ(h.Progress().m_nNextDir, 1);
    cEdCmd empty = Cmd(CMD_STAGE_CLEAR, {2, 0, 0, 0, 0, 0, 0, 0, 0});
    CmdExec_StageClear(Call(&h.Hero(), empty));
    EXPECT_EQ(S().m_strNextStage, "");
    EXPECT_EQ(S().m_nNextStage, 3);
    EXPECT_FALSE(host.vecError.empty());
}

TEST_F(DisplayPlay, MessageWithAnIdIsReplacedInPlaceAndErased) {
    auto msg = [&](const char* text, int bErase) {
        cEdCmd c = Cmd(CMD_MESSAGE, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 5, 0, bErase, 0, 0});
        c.m_strText = text;
        CmdExec_Message(Call(&h.Hero(), c));
    };
    S().m_lstMessage.clear();
    msg("abc", 0);
    msg("zzz", 0);
    ASSERT_EQ(S().m_lstMessage.size(), 1u);
    const cMessage* p = S().m_lstMessage.front().get();
    msg("xyz", 0);   // the same size: set again in place
    ASSERT_EQ(S().m_lstMessage.size(), 1u);
    EXPECT_EQ(S().m_lstMessage.front().get(), p);
    EXPECT_EQ(p->m_strText, "xyz");
    msg("longer text", 0);   // another size: a new message in its place
    ASSERT_EQ(S().m_lstMessage.size(), 1u);
    EXPECT_EQ(S().m_lstMessage.front()->m_strText, "longer text");
    msg("", 1);
    EXPECT_TRUE(S().m_lstMessage.empty());
}

TEST_F(DisplayPlay, BlockingMessageUntilTheStageEndsDoesNotBlock) {
    cEdCmd c = Cmd(CMD_MESSAGE, {0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    c.m_strText = "hello";
    CmdExec_Message(Call(&h.Hero(), c));
    EXPECT_EQ(host.nFrames, 0);
    ASSERT_FALSE(S().m_lstMessage.empty());
    // A timed blocking message waits its frames and is then removed.
    S().m_lstMessage.clear();
    cEdCmd t = Cmd(CMD_MESSAGE, {0, 0, 0, 0, 0, 0, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    t.m_strText = "wait";
    CmdExec_Message(Call(&h.Hero(), t));
    EXPECT_EQ(host.nFrames, 7);
    EXPECT_TRUE(S().m_lstMessage.empty());
}

TEST_F(DisplayPlay, WarpIntoAWallKeepsThePosition) {
    cPlayHarness w({"..........",
                    "..#H......",
                    "##########"});
    w.SetUp();
    cHero& hero = w.Hero();
    const double x = hero.m_dX, y = hero.m_dY;
    cEdCmd c = Cmd(CMD_WARP, {});
    c.m_pMove.MakeNew();
    c.m_pMove->m_nMode = 0;
    c.m_pMove->m_nDir = DIR_LEFT;
    c.m_pMove->m_nDist = 3;   // 48 dots, into the wall
    CmdExec_Warp(Call(&hero, c));
    EXPECT_EQ(hero.m_dX, x);
    EXPECT_EQ(hero.m_dY, y);
    c.m_pMove->m_nDir = DIR_RIGHT;
    CmdExec_Warp(Call(&hero, c));
    EXPECT_EQ(hero.m_dX, x + 48);
}

TEST_F(DisplayPlay, VanishScopes) {
    cPlayHarness v({"..............................................",
                    "..H..C.....................................C..",
                    "##############################################"});
    v.SetUp();
    v.Ctx().lpDatabase = &db;
    ASSERT_EQ(v.Ctx().lstChara.size(), 2u);
    cChara& near = *v.Ctx().lstChara.front();
    cChara& far = *v.Ctx().lstChara.back();
    near.UpdateScreenRect();
    far.UpdateScreenRect();
    near.m_bOnScreen = near.IsOnScreen();
    far.m_bOnScreen = far.IsOnScreen();
    ASSERT_TRUE(near.m_bOnScreen);
    ASSERT_FALSE(far.m_bOnScreen);
    const int g = near.m_nGroup;
    cEdCmd c = Cmd(CMD_VANISH, {0, g, 0});
    CmdExec_Vanish(Call(&v.Hero(), c));
    EXPECT_EQ(near.m_bVanish, 1);
    EXPECT_EQ(far.m_bVanish, 0);
    EXPECT_EQ(v.Scene().m_bCheckDead, 1);
    cEdCmd all = Cmd(CMD_VANISH, {0, g, 1});
    CmdExec_Vanish(Call(&v.Hero(), all));
    EXPECT_EQ(far.m_bVanish, 1);
    // Descendants: a child that summoned a child; the runner stays.
    near.m_bVanish = far.m_bVanish = 0;
    v.Hero().m_vecLink.push_back({cObjRef(&near), 4});
    near.m_vecLink.push_back({cObjRef(&far), 4});
    cEdCmd desc = Cmd(CMD_VANISH, {2, 0, 0});
    CmdExec_Vanish(Call(&v.Hero(), desc));
    EXPECT_EQ(near.m_bVanish, 1);
    EXPECT_EQ(far.m_bVanish, 1);
    EXPECT_GT(v.Hero().m_nHp, 0);
}

TEST_F(DisplayPlay, GetItemWithAStageClearEndsTheStage) {
    cItemData item;
    cEdCmd clear = Cmd(ITEMCMD_FLOW_CHANGE + 1, {0, 0, 0, 0, 0, 0, 0, 0, 0});   // item kind 2: stage clear
    clear.m_bItemCmd = 1;
    item.m_vCmd.push_back(clear);
    h.Stage().m_vItemPalette.push_back(item);
    cEdCmd get = Cmd(CMD_GET_ITEM, {1, static_cast<int32_t>(h.Stage().m_vItemPalette.size() - 1)});
    CmdExec_GetItem(Call(&h.Hero(), get));
    EXPECT_EQ(S().m_nClear, 1);
    // An item without a clear sets it back to 0.
    h.Stage().m_vItemPalette.push_back(cItemData());
    cEdCmd plain = Cmd(CMD_GET_ITEM, {1, static_cast<int32_t>(h.Stage().m_vItemPalette.size() - 1)});
    CmdExec_GetItem(Call(&h.Hero(), plain));
    EXPECT_EQ(S().m_nClear, 0);
}

TEST_F(DisplayPlay, GetItemThatGetsItselfEnds) {
    cItemData item;
    const int32_t n = static_cast<int32_t>(h.Stage().m_vItemPalette.size());
    cEdCmd self = Cmd(ITEMCMD_FLOW_CHANGE + 9, {1, n});   // item kind 10: get item
    self.m_bItemCmd = 1;
    item.m_vCmd.push_back(self);
    h.Stage().m_vItemPalette.push_back(item);
    cEdCmd get = Cmd(CMD_GET_ITEM, {1, n});
    CmdExec_GetItem(Call(&h.Hero(), get));
    EXPECT_EQ(S().m_nClear, 0);
}

TEST_F(DisplayPlay, RunEffectZoomAndClear) {
    db.m_vEffect.resize(2);
    db.m_vEffect[1].m_nWidth = 33;
    db.m_vEffect[1].m_nHeight = 33;
    cEdCmd c = Cmd(CMD_EFFECT, {1, 0, 0, 0, 0, 0, 50, 0});
    CmdExec_RunEffect(Call(&h.Hero(), c));
    ASSERT_FALSE(S().m_lstEffect.empty());
    EXPECT_EQ(S().m_lstEffect.back()->m_nWidth, 17);
    EXPECT_EQ(S().m_lstEffect.back()->m_nHeight, 17);
    EXPECT_EQ(S().m_lstEffect.back()->m_bScaled, 1);
    // Centred on the screen, in stage dots.
    EXPECT_EQ(S().m_lstEffect.back()->m_dX, static_cast<int>(S().m_ScrollX.m_dCam) + 320 - 8);
    cEdCmd none = Cmd(CMD_EFFECT, {0, 0, 0, 0, 0, 0, 100, 0});
    CmdExec_RunEffect(Call(&h.Hero(), none));
    EXPECT_TRUE(S().m_lstEffect.empty());
}

TEST_F(DisplayPlay, BackgroundToggledTwiceIsAsBefore) {
    h.Stage().m_vBackground.resize(8);
    h.Stage().m_vBackground[2].m_bShow = 0;
    cEdCmd toggle = Cmd(CMD_BACKGROUND, {3, 2});
    CmdExec_ChangeBackground(Call(&h.Hero(), toggle));
    EXPECT_EQ(h.Stage().m_vBackground[2].m_bShow, 1);
    CmdExec_ChangeBackground(Call(&h.Hero(), toggle));
    EXPECT_EQ(h.Stage().m_vBackground[2].m_bShow, 0);
    for (int n : {0, 9, -3}) {
        cEdCmd bad = Cmd(CMD_BACKGROUND, {n, 2});
        CmdExec_ChangeBackground(Call(&h.Hero(), bad));   // changes nothing
    }
    for (auto& bg : h.Stage().m_vBackground) EXPECT_EQ(bg.m_bShow, &bg == &h.Stage().m_vBackground[2] ? 0 : 1);
}

TEST_F(DisplayPlay, SoundOnScreenOnly) {
    cEdCmd c = Cmd(CMD_SOUND, {3});
    c.m_bSoundOnScreen = 1;
    host.vecSound.clear();
    h.Hero().m_dX = -10000;
    h.Hero().m_dRight = -9990;
    CmdExec_PlaySound(Call(&h.Hero(), c));
    EXPECT_TRUE(host.vecSound.empty());
    c.m_bSoundOnScreen = 0;
    CmdExec_PlaySound(Call(&h.Hero(), c));
    ASSERT_EQ(host.vecSound.size(), 1u);
    EXPECT_EQ(host.vecSound[0], 16 + 3);
}

TEST_F(DisplayPlay, SetTargetKeepsOrEmptiesTheSlot) {
    cHero& hero = h.Hero();
    const CHARALINK link{cObjRef(&hero), 1};
    auto links = [&]() { return std::count(hero.m_vecLink.begin(), hero.m_vecLink.end(), link); };
    cEdCmd self = Cmd(CMD_SET_TARGET, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    CmdExec_SetTarget(Call(&hero, self));
    EXPECT_EQ(hero.m_vecTarget[1].Get(), &hero);
    EXPECT_EQ(links(), 1);
    CmdExec_SetTarget(Call(&hero, self));
    EXPECT_EQ(links(), 1);   // never twice
    // Nothing found (the parent), keep: unchanged; empty: cleared with its link.
    cEdCmd keep = Cmd(CMD_SET_TARGET, {1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    CmdExec_SetTarget(Call(&hero, keep));
    EXPECT_EQ(hero.m_vecTarget[1].Get(), &hero);
    cEdCmd empty = Cmd(CMD_SET_TARGET, {1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    CmdExec_SetTarget(Call(&hero, empty));
    EXPECT_EQ(hero.m_vecTarget[1].Get(), nullptr);
    EXPECT_EQ(links(), 0);
}

}  // namespace

namespace {

// Two key-wait messages in a row in one flow: the first opens with its
// sound and ignores ten frames; the second continues it (no sound, no delay).
TEST(DisplayFlow, SecondKeyWaitMessageContinuesTheFirst) {
    cPlayHarness h({"..........", "..H.......", "##########"});
    cFlow f;
    f.m_nTrigger = TRIGGER_ALWAYS;
    for (const char* text : {"one", "two"}) {
        cEdCmd m;
        m.m_nKind = CMD_MESSAGE;
        m.m_vParam.assign(18, 0);
        m.m_vParam[8] = 1;   // stop the game; duration mode 0: until the key
        m.m_strText = text;
        f.m_vCmd.push_back(m);
    }
    h.HeroTemplate().m_vFlow.push_back(f);
    h.SetUp();
    cWaitHost host(h.Input());
    h.Ctx().lpHost = &host;
    // Wait 1: released for 11 frames, pressed at 12. Wait 2 (button held at
    // its start): released at 13, pressed at 14. Then the program closes.
    host.vecButtons.assign(11, 0);
    host.vecButtons.insert(host.vecButtons.end(), {1, 0, 1});
    host.nCloseAt = 30;
    h.Frames(20);
    // The opening sound, the two closing sounds; the flow then starts again
    // (another opening) and its wait ends with the close.
    std::vector<int> v;
    for (int n : host.vecSound)
        if (n == 11 || n == 12) v.push_back(n);
    EXPECT_EQ(v, (std::vector<int>{11, 12, 12, 11}));
    EXPECT_EQ(host.nFrames, 30);
    EXPECT_EQ(h.Scene().m_bClosing, 1);
}

}  // namespace
