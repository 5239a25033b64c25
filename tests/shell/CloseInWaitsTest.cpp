// A close while the stage play stands in one of its blocking waits (a game
// wait, a message waiting for a button), asked in each way a close comes:
// a termination signal, the Escape key and the unattended frame count. The
// real program runs on a copy of the demo whose test stage puts the hero
// into the wait at once; the run must end with exit status 0, within a
// second of a signal, with every thread ended as the report's last line
// says, and the report must show that the close came during the wait.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Path.h"
#include "foundation/Record.h"
#include "platform/Clock.h"
#include "project/Database.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/Scene.h"
#include "project/SystemData.h"
#include "stage/CmdVocabulary.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

enum eWaitKind { WAIT_GAME, WAIT_MESSAGE };
enum eCloseWay { CLOSE_BY_SIGNAL, CLOSE_BY_ESCAPE, CLOSE_BY_FRAME_COUNT };

const char* const WAIT_STAGE = "data\\stg4\\wait.stg4_000";
// Frame of the scripted Escape and of --close-after-frames: past the
// stage's start (its banner) and well inside the wait.
constexpr unsigned CLOSE_FRAME = 400;

cEdCmd MakeCmd(int nKind, std::initializer_list<int> params) {
    cEdCmd c;
    c.m_nKind = static_cast<uint8_t>(nKind);
    c.m_vParam.assign(params.begin(), params.end());
    c.m_vParam.resize(static_cast<size_t>(GetCmdParamCount(false, nKind)), 0);
    return c;
}

std::string ReadText(const std::string& path) {
    auto v = ReadHostFile(path);
    return std::string(v.begin(), v.end());
}

class CloseInWaits : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
    }

    // The demo's forest with one more flow on the hero, run on every frame:
    // a game wait of five minutes, or a message that waits for button 1.
    void WriteWaitStage(eWaitKind eKind) {
        nDataVer = DATA_VERSION;
        cDatabase db;
        cSystemData sys;
        cCommonPalette palette;
        cProjectContext project(&db, &sys);
        cStageContextScope scope(project);
        ASSERT_EQ(db.LoadFiles(), 1);
        ASSERT_EQ(sys.Load(aPath[PATH_SYSTEM]), 1);
        project.SetCommonPalette(&palette);
        ASSERT_EQ(palette.Load(aPath[PATH_COMMONPALETTE]), 1);
        std::string strFile;
        ASSERT_EQ(FindLatestNumberedFile(strFile, "data\\stg4\\m01.stg4", strStageExt), 1);
        cStage st;
        ASSERT_EQ(st.Load(strFile.c_str()), 1);
        const int nHero = st.FindHero();
        ASSERT_GE(nHero, 0);
        cFlow f;
        f.m_nTrigger = TRIGGER_ALWAYS;
        if (eKind == WAIT_GAME) {
            f.m_vCmd.push_back(MakeCmd(CMD_GAME_WAIT, {3000}));   // 300 s
        } else {
            // Centred and fixed, shown until a key, stopping the play.
            cEdCmd m = MakeCmd(CMD_MESSAGE, {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0});
            m.m_strText = "wait";
            f.m_vCmd.push_back(m);
        }
        st.m_vCharaPlace[static_cast<size_t>(nHero)].m_vFlow.push_back(f);
        ASSERT_EQ(st.Save(WAIT_STAGE), 1);
    }

    std::string Report() const { return ReadText(dir.File("Report_Game.txt")); }

    // The report's last line.
    std::string LastLine() const {
        std::string s = Report();
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        size_t at = s.rfind('\n');
        return at == std::string::npos ? s : s.substr(at + 1);
    }

    bool WaitForText(const std::string& strText, unsigned nMs, cGameProcess& run) {
        uint32_t nStart = GetTicks();
        while (GetTicks() - nStart < nMs && run.Running()) {
            if (Report().find(strText) != std::string::npos) return true;
            SleepMs(20);
        }
        return Report().find(strText) != std::string::npos;
    }

    // One run closed in the given way; false when a signal came before the
    // wait had begun (a slow machine), so the caller tries again later.
    bool RunAndClose(eCloseWay eWay, unsigned nSignalDelayMs) {
        std::remove(dir.File("Report_Game.txt").c_str());
        std::vector<std::string> vArgs = {"data\\stg4\\wait.stg4"};
        std::vector<std::string> vEnv = {"SDL_VIDEODRIVER=dummy"};
        if (eWay == CLOSE_BY_FRAME_COUNT) {
            vArgs.insert(vArgs.begin(), {"--close-after-frames", std::to_string(CLOSE_FRAME)});
        } else if (eWay == CLOSE_BY_ESCAPE) {
            EXPECT_TRUE(dir.WriteFile("keys.txt", std::to_string(CLOSE_FRAME) + " escape\n"));
            vEnv.push_back("MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"));
        }
        cGameProcess run(strExe, vArgs, vEnv, "run");
        EXPECT_TRUE(WaitForText("Scene : 4", 30000, run)) << run.Err() << Report();
        if (eWay == CLOSE_BY_SIGNAL) {
            SleepMs(nSignalDelayMs);
            EXPECT_TRUE(run.Running()) << run.Err();
            const uint32_t nAsked = GetTicks();
            run.Terminate();
            EXPECT_EQ(run.Wait(30), 0) << run.Err();
            // The program's own count, from the request to its last line,
            // is held to a second below; from outside, with the ends of the
            // process and this poll, a loaded machine may add some.
            EXPECT_LT(GetTicks() - nAsked, 3000u) << "the close took far longer than a second";
        } else {
            EXPECT_EQ(run.Wait(60), 0) << run.Err();
        }
        const std::string strReport = Report();
        EXPECT_EQ(strReport.find("did not end"), std::string::npos) << strReport;
        EXPECT_EQ(run.Err().find("did not end"), std::string::npos) << run.Err();
        unsigned nFrames = 0;
        int nScene = -1;
        const std::string strLast = LastLine();
        EXPECT_EQ(std::sscanf(strLast.c_str(), "App : end after %u frames in scene %d", &nFrames, &nScene), 2)
            << strReport;
        EXPECT_NE(strLast.find("every thread ended"), std::string::npos) << strLast;
        const size_t nAt = strLast.find("every thread ended, ");
        unsigned nCloseMs = 99999;
        if (nAt != std::string::npos)
            std::sscanf(strLast.c_str() + nAt, "every thread ended, %u ms after the close was asked", &nCloseMs);
        // The close ends at a safe point, well within a second on an idle
        // machine; a thread that did not get there is told apart by "did not
        // end" above, so the bound here only catches a run that hung (a busy
        // machine stretches the moment many times over).
        EXPECT_LT(nCloseMs, 20000u) << strLast;
        EXPECT_EQ(nScene, SCENE_PLAY);
        const bool bInWait = strReport.find("during a stage-play wait") != std::string::npos;
        if (eWay != CLOSE_BY_SIGNAL) {
            EXPECT_TRUE(bInWait) << strReport;
            // The frames of the wait count: the close comes at its frame.
            EXPECT_GE(nFrames, CLOSE_FRAME);
            EXPECT_LT(nFrames, CLOSE_FRAME + 30);
        }
        return bInWait;
    }

    void CloseEveryWay(eWaitKind eKind) {
        WriteWaitStage(eKind);
        if (HasFatalFailure()) return;
        for (eCloseWay eWay : {CLOSE_BY_ESCAPE, CLOSE_BY_FRAME_COUNT}) {
            SCOPED_TRACE(eWay == CLOSE_BY_ESCAPE ? "Escape" : "--close-after-frames");
            RunAndClose(eWay, 0);
        }
        SCOPED_TRACE("SIGTERM");
        // The wait begins on the first frames of the play, which a loaded
        // machine may take seconds to reach.
        bool bInWait = false;
        for (unsigned nDelay = 2000; !bInWait && nDelay <= 16000 && !HasFailure(); nDelay *= 2)
            bInWait = RunAndClose(CLOSE_BY_SIGNAL, nDelay);
        EXPECT_TRUE(bInWait) << "no signal came during the wait";
    }

    cTempDir dir;
    std::string strExe;
};

TEST_F(CloseInWaits, GameWait) { CloseEveryWay(WAIT_GAME); }

TEST_F(CloseInWaits, MessageWaitingForAButton) { CloseEveryWay(WAIT_MESSAGE); }

}  // namespace
