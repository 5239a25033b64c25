#include "shell/Requests.h"

#include "foundation/Log.h"
#include "foundation/Path.h"
#include "graphics/DDBatch.h"
#include "graphics/DDPresent.h"
#include "graphics/DDSurface.h"
#include "project/Database.h"
#include "project/ProgressRequests.h"
#include "frontend/StartGame.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"
#include "sound/BgmManager.h"
#include "sound/WaveSound.h"
#include "platform/CloseRequest.h"
#include "platform/MainThread.h"
#include "shell/FileDlg.h"
#include "shell/InputDevice.h"
#include "foundation/GameThreads.h"
#include "shell/KeyState.h"
#include "shell/NameDlg.h"
#include "shell/ShellState.h"

namespace {

class cDefaultRequestServices : public IRequestServices {
public:
    int RunNameDialog() override { return ShowNameDialog(); }
    int RunFileDialog(int nMode, std::string& strPath) override { return ShowFileDialog(nMode, strPath); }
    void SetDialogMode(int bOn) override {
        if (bDDInitDone) DDSetDialogMode(bOn);
    }
    int StartFreeGame(const std::string& strPath) override { return cPlayStart::Free(strPath).Start(); }
    int LoadReplay(const std::string& strPath) override { return cPlayStart::Replay(strPath).Start(); }
    int SaveReplay(int nWhich, const std::string& strPath) override {
        cReplayLog& log = nWhich ? recReplayB : recReplayA;
        return log.SaveReplayFile(strPath.c_str(), recStage, recPlayStage, nWhich ? recProgressB : recProgressA);
    }
    int MakeReplayFileName(std::string& s) override {
        s = ::MakeReplayFileName(recProgress.m_strStageFile);
        return s.empty() ? 0 : 1;
    }
    int SoundCount() override { return static_cast<int>(vecWave.size()); }
    void PlaySound(int nIndex) override { DS_Play(&vecWave[static_cast<size_t>(nIndex)], 0); }
    int GetSceneBgm(int nSlot, int* pbLoop) override {
        if (pbLoop) *pbLoop = recSystem.m_vSceneBgmFlag.At(nSlot);
        return recSystem.m_vSceneBgm.At(nSlot);
    }
    void GetBgmFile(int n, std::string& s, int* pnVolume) override {
        const cBgm& bgm = recDatabase.m_vBgm.At(n);
        s = bgm.m_strFile;
        if (pnVolume) *pnVolume = bgm.m_nVolume;
    }
    void SetStageBgm(int) override {}
    int GetStageBgmLoop() override { return 0; }
    void BgmSetFile(int nSlot, const std::string& strFile, int nVolume) override {
        Bgm_Main.SetFile(nSlot, strFile.c_str(), nVolume);
    }
    void BgmPlay(int nChannel, int nSlot, int bLoop, int nArg, int bForce) override {
        Bgm_Main.Play(nChannel, nSlot, bLoop, nArg, bForce);
    }
    void BgmStop() override { Bgm_Main.Stop(); }
    void RestoreDisplay() override {
        if (bDDInitDone) DDRestoreSurface();
    }

private:
    static int Missing(const char* pszWhat, int nResult) {
        WriteReportEC("request: no %s service", pszWhat);
        return nResult;
    }
};

cDefaultRequestServices DefaultRequestServices;
IRequestServices* lpRequestServices = &DefaultRequestServices;

// Runs a modal dialog with the game threads held and the display in dialog
// mode. The requesting thread is blocked in its request, so its gate is only
// closed.
int RunModal(const std::function<int()>& fn) {
    IRequestServices& s = GetRequestServices();
    s.SetDialogMode(1);
    SuspendThreads(false);
    int r = fn();
    s.SetDialogMode(0);
    ResumeThreads();
    if (r < 0) WriteReportEC("request: the dialog could not be shown");
    return r;
}

}  // namespace

IRequestServices& GetRequestServices() { return *lpRequestServices; }
void SetRequestServices(IRequestServices* p) { lpRequestServices = p ? p : &DefaultRequestServices; }

int ServeNameEntry() {
    int r = RunModal([] { return GetRequestServices().RunNameDialog(); });
    return r == 1 ? 1 : 0;
}

int ServeFileRequest(int nMode, int nWhich) {
    IRequestServices& s = GetRequestServices();
    std::string strPath;
    if (nMode == FILEDLG_SAVEREPLAY) {
        if (!s.MakeReplayFileName(strPath)) return 0;
        // The dialog saves into the replay folder and takes a plain name.
        StripPath(strPath);
    }
    int r = RunModal([&] { return s.RunFileDialog(nMode, strPath); });
    if (r != 1) return 0;   // cancelled, or the dialog failed
    switch (nMode) {
    case FILEDLG_LOADSTAGE:
        // The start reports its own failure; the game goes on where it was.
        return s.StartFreeGame(strPath) ? 1 : 0;
    case FILEDLG_LOADREPLAY:
        // The load replaces nothing unless the whole file was read; the
        // start has told the player, and the title goes on.
        return s.LoadReplay(strPath) ? 1 : 0;
    case FILEDLG_SAVEREPLAY:
        if (!s.SaveReplay(nWhich, strPath)) {
            WriteReportErr("%s の保存に失敗しました！", strPath.c_str());
            return 0;
        }
        return 1;
    default:
        return 0;
    }
}

void ServePlaySE(int nIndex) {
    IRequestServices& s = GetRequestServices();
    int nCount = s.SoundCount();
    if (nIndex < 0 || nIndex >= nCount) {
        WriteECAndClose("err V[%d] ( %d , %d )", nIndex, nCount, 284);
        if (nCount <= 0) return;
        nIndex = 0;
    }
    s.PlaySound(nIndex);
}

void ServeBgm(int nSlot, int n) {
    IRequestServices& s = GetRequestServices();
    std::string strFile;
    int nVolume = 0;
    if (nSlot >= 0 && nSlot <= 3) {
        int bLoop = 0;
        int m = s.GetSceneBgm(nSlot, &bLoop);
        if (m == 0) {
            s.BgmStop();
            return;
        }
        s.GetBgmFile(m, strFile, &nVolume);
        s.BgmSetFile(nSlot, strFile, nVolume);
        s.BgmPlay(0, nSlot, bLoop, 0, 1);
    } else if (nSlot == 4) {
        s.SetStageBgm(n);
        s.GetBgmFile(n, strFile, &nVolume);
        s.BgmSetFile(4, strFile, nVolume);
        if (n == 0) s.BgmStop();
        else s.BgmPlay(0, 4, s.GetStageBgmLoop(), 0, 1);
    }
}

int RequestNameEntry() {
    bNameDlgDone = 0;
    int r = 0;
    RunOnMainThread([&] { r = ServeNameEntry(); });
    bNameDlgDone = 1;
    return r;
}

namespace {
int RequestFile(int nMode, int nWhich) {
    bRequestDone = 0;
    int r = 0;
    if (!RunOnMainThread([&] { r = ServeFileRequest(nMode, nWhich); })) r = 0;
    nRequestResult = r;
    bRequestDone = 1;
    return r;
}
}  // namespace

int RequestLoadStage() { return RequestFile(FILEDLG_LOADSTAGE, 0); }
int RequestLoadReplay() { return RequestFile(FILEDLG_LOADREPLAY, 0); }
int RequestSaveReplay(int nWhich) { return RequestFile(FILEDLG_SAVEREPLAY, nWhich ? 1 : 0); }

// Sounds and music go straight to the audio layer, which serves any thread.
void RequestPlaySE(int nIndex) { ServePlaySE(nIndex); }

void RequestBgm(int nSlot, int n) { ServeBgm(nSlot, n); }

namespace {

// The progress code's requests: the name dialog on a given string, the
// replay save dialog, the key state and the system sounds.
class cShellProgressHost : public IProgressHost {
public:
    cShellProgressHost() { SetProgressHost(this); }
    int RequestNameEntry(std::string& strName) override {
        s_pName = &strName;
        SetRankingNameSource([] { return s_pName; });
        int r = ::RequestNameEntry();
        SetRankingNameSource(nullptr);
        s_pName = nullptr;
        return r;
    }
    int RequestSaveReplay(int nWhich) override { return ::RequestSaveReplay(nWhich); }
    bool IsKeyHeld(int nVk) override { return GetInputSource().IsKeyHeld(nVk); }
    void PlaySystemSound(int nIndex) override { RequestPlaySE(nIndex); }

private:
    static inline std::string* s_pName = nullptr;
};

cShellProgressHost ShellProgressHost;

}  // namespace

void RequestRestore() {
    RunOnMainThread([] { GetRequestServices().RestoreDisplay(); });
}
