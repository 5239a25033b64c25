#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/CloseRequest.h"
#include "platform/MainThread.h"
#include "shell/Requests.h"
#include "shell/ShellState.h"

namespace {

// A scripted request service: records every call as a line.
class cScriptedServices : public IRequestServices {
public:
    std::vector<std::string> calls;
    int nDialogResult = 1;
    std::string strChosen = "data\\stg4\\a.stg4";
    int nStartResult = 1, nLoadResult = 1, nSaveResult = 1, nNameResult = 1;
    int nSounds = 20;
    int anSceneBgm[4] = {3, 0, 5, 7};
    int anSceneLoop[4] = {1, 0, 0, 1};
    int nStageLoop = 1;

    void Log(const std::string& s) { calls.push_back(s); }
    int RunNameDialog() override { Log("name"); return nDialogResult; }
    int RunFileDialog(int nMode, std::string& strPath) override {
        Log("file " + std::to_string(nMode) + " " + strPath);
        if (nDialogResult == 1) strPath = strChosen;
        return nDialogResult;
    }
    void SetDialogMode(int b) override { Log("dialogmode " + std::to_string(b)); }
    int StartFreeGame(const std::string& s) override { Log("start " + s); return nStartResult; }
    int LoadReplay(const std::string& s) override { Log("loadreplay " + s); return nLoadResult; }
    int SaveReplay(int w, const std::string& s) override { Log("savereplay " + std::to_string(w) + " " + s); return nSaveResult; }
    int MakeReplayFileName(std::string& s) override {
        s = "C:\\game\\user_data\\rpl4\\m01__2024__03_02__14_05.rpl4_854";
        return nNameResult;
    }
    int SoundCount() override { return nSounds; }
    void PlaySound(int i) override { Log("se " + std::to_string(i)); }
    int GetSceneBgm(int nSlot, int* pbLoop) override {
        *pbLoop = anSceneLoop[nSlot];
        return anSceneBgm[nSlot];
    }
    void GetBgmFile(int n, std::string& s, int* pVol) override {
        s = "bgm" + std::to_string(n);
        *pVol = 10 * n;
    }
    void SetStageBgm(int n) override { Log("stagebgm " + std::to_string(n)); }
    int GetStageBgmLoop() override { return nStageLoop; }
    void BgmSetFile(int slot, const std::string& s, int v) override {
        Log("setfile " + std::to_string(slot) + " " + s + " " + std::to_string(v));
    }
    void BgmPlay(int ch, int slot, int loop, int arg, int force) override {
        Log("play " + std::to_string(ch) + " " + std::to_string(slot) + " " + std::to_string(loop) + " " +
            std::to_string(arg) + " " + std::to_string(force));
    }
    void BgmStop() override { Log("stop"); }
    void RestoreDisplay() override { Log("restore"); }
};

class RequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRequestServices(&svc);
        ResetCloseRequests();
    }
    void TearDown() override {
        SetRequestServices(nullptr);
        ResetCloseRequests();
    }
    cScriptedServices svc;
};

using V = std::vector<std::string>;

TEST_F(RequestTest, BgmTable) {
    struct BGMCASE {
        int nSlot, n;
        V want;
    };
    const BGMCASE cases[] = {
        {0, 0, {"setfile 0 bgm3 30", "play 0 0 1 0 1"}},
        {1, 0, {"stop"}},   // the screen's music number is 0
        {3, 9, {"setfile 3 bgm7 70", "play 0 3 1 0 1"}},
        {4, 6, {"stagebgm 6", "setfile 4 bgm6 60", "play 0 4 1 0 1"}},
        {4, 0, {"stagebgm 0", "setfile 4 bgm0 0", "stop"}},
        {5, 2, {}},
        {-1, 2, {}},
    };
    for (const auto& c : cases) {
        svc.calls.clear();
        RequestBgm(c.nSlot, c.n);
        EXPECT_EQ(svc.calls, c.want) << c.nSlot << " " << c.n;
    }
}

TEST_F(RequestTest, PlaySoundIndexIsChecked) {
    RequestPlaySE(19);
    EXPECT_EQ(svc.calls, V{"se 19"});
    EXPECT_EQ(GetCloseRequestCount(), 0u);
    svc.calls.clear();
    RequestPlaySE(20);
    EXPECT_EQ(svc.calls, V{"se 0"});
    EXPECT_EQ(GetCloseRequestCount(), 1u);
}

TEST_F(RequestTest, LoadStageOutcomes) {
    struct CASE {
        int nDialog, nStart, nResult;
        V want;
    };
    const CASE cases[] = {
        {1, 1, 1, {"dialogmode 1", "file 0 ", "dialogmode 0", "start data\\stg4\\a.stg4"}},
        {0, 1, 0, {"dialogmode 1", "file 0 ", "dialogmode 0"}},
        {-1, 1, 0, {"dialogmode 1", "file 0 ", "dialogmode 0"}},   // the dialog failed: not a confirmation
        {1, 0, 0, {"dialogmode 1", "file 0 ", "dialogmode 0", "start data\\stg4\\a.stg4"}},
    };
    for (const auto& c : cases) {
        svc.calls.clear();
        svc.nDialogResult = c.nDialog;
        svc.nStartResult = c.nStart;
        EXPECT_EQ(RequestLoadStage(), c.nResult);
        EXPECT_EQ(nRequestResult.load(), c.nResult);
        EXPECT_EQ(bRequestDone.load(), 1);
        EXPECT_EQ(svc.calls, c.want);
    }
    // An unreadable stage keeps the game running.
    EXPECT_EQ(GetCloseRequestCount(), 0u);
}

TEST_F(RequestTest, ReplayOutcomes) {
    svc.nSaveResult = 0;
    EXPECT_EQ(RequestSaveReplay(1), 0);
    EXPECT_EQ(svc.calls.back(), "savereplay 1 data\\stg4\\a.stg4");
    // The dialog is offered the plain file name: it refuses a name with a
    // folder, and it saves into the replay folder itself.
    EXPECT_EQ(svc.calls[1], "file 2 m01__2024__03_02__14_05.rpl4_854");
    EXPECT_EQ(GetCloseRequestCount(), 0u);                    // a failed save keeps the game
    svc.nSaveResult = 1;
    EXPECT_EQ(RequestSaveReplay(0), 1);
    svc.nNameResult = 0;
    svc.calls.clear();
    EXPECT_EQ(RequestSaveReplay(0), 0);
    EXPECT_TRUE(svc.calls.empty());                           // no name: no dialog
    svc.nLoadResult = 0;
    EXPECT_EQ(RequestLoadReplay(), 0);
    EXPECT_EQ(svc.calls.back(), "loadreplay data\\stg4\\a.stg4");
    EXPECT_EQ(GetCloseRequestCount(), 0u);                    // a failed load replaced nothing: the game goes on
    svc.nDialogResult = 1;
    EXPECT_EQ(RequestNameEntry(), 1);
    EXPECT_EQ(bNameDlgDone.load(), 1);
}

TEST_F(RequestTest, RequestsGoToTheMainThreadAndEndAtShutdown) {
    // This thread plays the main loop; another thread asks.
    SetMainThread();
    SetMainLoopServing(true);
    std::atomic<int> nResult{-5};
    std::thread game([&] { nResult = RequestLoadStage(); });
    while (svc.calls.empty()) ServeMainThreadRequests();
    game.join();
    EXPECT_EQ(nResult.load(), 1);

    // Shutdown: a request that is pending is cancelled and its requester
    // goes on with "cancelled".
    svc.calls.clear();
    std::atomic<bool> bAsked{false};
    std::thread late([&] {
        bAsked = true;
        nResult = RequestLoadStage();
    });
    while (!bAsked) std::this_thread::yield();
    // The request is pending when the shutdown cancels it (not refused
    // before it was made).
    bool bPending = false;
    for (int i = 0; i < 100 && !bPending; i++) bPending = WaitMainThreadRequests(100);
    EXPECT_TRUE(bPending);
    CancelMainThreadRequests();
    late.join();
    EXPECT_EQ(nResult.load(), 0);
    EXPECT_EQ(bRequestDone.load(), 1);
    EXPECT_TRUE(svc.calls.empty());
    SetMainLoopServing(false);
}

}  // namespace
