#include "shell/PlayHost.h"

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/ErrorBox.h"
#include "foundation/Thread.h"
#include "frontend/Option.h"
#include "frontend/StartGame.h"
#include "graphics/DDFade.h"
#include "graphics/DDImage.h"
#include "graphics/DDSurface.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "platform/Clock.h"
#include "platform/CloseRequest.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "project/GameState.h"
#include "project/ProgressRequests.h"
#include "shell/GameMain.h"
#include "shell/InputDevice.h"
#include "shell/KeyState.h"
#include "shell/MainWindow.h"
#include "shell/NameDlg.h"
#include "shell/Requests.h"
#include "shell/ShellState.h"
#include "stage/Stage.h"

namespace {

FILE* fpTrace = nullptr;
int nTraceFrame = 0;
bool bFixedSeed = false;
uint32_t nFixedSeed = 0;

// Image slots a stage does not load: the palette, debug, game-mode, symbol
// and world-map images.
bool IsStageSlot(int n) {
    return n != 0 && n != IMAGE_SLOT_DEBUG && n != IMAGE_SLOT_GAMEMODE && n != IMAGE_SLOT_SYMBOL &&
           n != IMAGE_SLOT_WORLDMAPCHIP && n != IMAGE_SLOT_WORLDEVENT && n != IMAGE_SLOT_WORLDBACK;
}
constexpr int BACKGROUND_SLOT = 55;
constexpr int BACKGROUND_SLOTS = 8;

bool IsPlayClosing() { return bPlayClosing.load() != 0 || IsQuitPosted(); }

class cShellPlayHost : public IPlayHost {
public:
    bool IsKeyDown(int nVk) override { return GetInputSource().IsKeyHeld(nVk); }
    int SaveReplay(int nWhich) override { return RequestSaveReplay(nWhich); }
    int LoadReplay() override { return RequestLoadReplay(); }
    // The name dialog edits the name the ranking registration is about to
    // register.
    int NameEntry() override {
        SetRankingNameSource([]() -> std::string* {
            cPlayScene* s = GetPlayScene();
            return s ? &s->m_strRankName : nullptr;
        });
        const int r = RequestNameEntry();
        SetRankingNameSource(nullptr);
        return r;
    }
    std::string GetFixedRankName() override { return recOption.m_strName; }
    void AnimateSystemColor() override { ::AnimateSystemColor(); }
    bool GetSystemColorPair(int n, int anPair[2]) override {
        if (n < 1 || n > 9) return false;
        anPair[0] = static_cast<int>(Sys_Color.aColor[n].dwColor);
        anPair[1] = Sys_Color.aColor[n].nColorOp;
        return true;
    }
    int WaitFrame() override { return PlayWaitFrame(); }
    // After a wait the game sleeps while the window is not active, as the
    // main loop does between frames; a close ends the sleep.
    void WaitWhileInactive() override {
        while (!bAppActive.load() && !IsClosing()) {
            HoldPoint();
            SleepMs(1);
        }
    }
    void PlaySound(int nSound) override { RequestPlaySE(nSound); }
    void RequestBgm(int nBgm, int bLoop, int nSlot) override {
        if (nSlot == 4) ::RequestBgm(4, nBgm);
        else Game_Main.RequestBgm(nBgm, bLoop, nSlot);
    }
    void RequestClose() override { PostCloseRequest(CLOSE_USER); }
    void RequestErrorClose() override { PostCloseRequest(CLOSE_FATAL); }
    // A close that was confirmed (or asks nothing) and is under way; a
    // request still waiting for the window thread's decision is not one.
    bool IsClosing() override { return IsPlayClosing(); }
    uint32_t MakeSeed() override { return bFixedSeed ? nFixedSeed : GetTicks(); }
    void ErrorBox(const char* pszText) override { ErrorBoxText(pszText); }
    bool FadeStep(int bIn) override {
        const double dStep = GetGameState().m_nFadeStep;
        return bIn ? DDFadeIn(aPalEntry, 0, 255, 0, 0, 0, dStep, aPalette, false)
                   : DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, dStep, aPalette, false);
    }
    int LoadStageImages(int bAll) override {
        std::vector<int> v;
        if (bAll) {
            for (int n = 0; n < IMAGE_SLOT_COUNT; n++)
                if (IsStageSlot(n)) v.push_back(n);
        } else {
            for (int i = 0; i < BACKGROUND_SLOTS; i++) v.push_back(BACKGROUND_SLOT + i);
        }
        return DDLoadImages(Off_Img, v.data(), static_cast<int>(v.size())) ? 1 : 0;
    }
    bool IsTestPlay() override { return bTestPlay != 0; }
    int CheckReplayKeys() override { return ::CheckReplayKeys(); }
    int GetRankingMode() override { return recOption.m_nRankingMode; }
    int RestartFreeGame() override { return RestartFreePlay(); }
    void OnAttemptStart(int32_t nSeed) override {
        if (!fpTrace) return;
        nTraceFrame = 0;
        std::fprintf(fpTrace, "attempt %d at game frame %u\n", static_cast<int>(nSeed), GetFrameCount());
        std::fflush(fpTrace);
    }
    void OnPlayFrameEnd() override {
        if (!fpTrace) return;
        std::fprintf(fpTrace, "%d %016llx\n", ++nTraceFrame, static_cast<unsigned long long>(PlayCtx().StateHash()));
        std::fflush(fpTrace);
    }
};
cShellPlayHost ShellPlayHost;

}  // namespace

int PlayWaitFrame() {
    HoldPoint();
    if (IsPlayClosing()) return 0;
    Game_Main.ShowFrame();
    WaitNextFrame();
    // Surfaces lost meanwhile come back before the frame is drawn; when they
    // cannot, the game closes and this frame still goes on.
    if (!Game_Main.RestoreSurfaces()) PostCloseRequest(CLOSE_FATAL);
    Game_Main.UpdateInput();
    CountShownFrame();
    return IsPlayClosing() ? 0 : 1;
}

bool OpenPlayTrace(const char* pszPath) {
    if (fpTrace) std::fclose(fpTrace);
    fpTrace = std::fopen(pszPath, "wb");
    return fpTrace != nullptr;
}

void SetFixedSeed(uint32_t nSeed) {
    bFixedSeed = true;
    nFixedSeed = nSeed;
}

void InstallPlayHost() {
    cPlayContext& ctx = PlayCtx();
    ctx.lpHost = &ShellPlayHost;
    // The play frame reads input device 0 as the shell polls it.
    ctx.lpInput = &Input_List.At(0);
}
