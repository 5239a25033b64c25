#include "shell/GameScenes.h"

#include "foundation/ErrorBox.h"
#include "frontend/Option.h"
#include "project/SystemIni.h"
#include "shell/HbtPalette.h"
#include "sound/BgmManager.h"
#include "frontend/FrontEndHost.h"
#include "frontend/SceneFactory.h"
#include "platform/CloseRequest.h"
#include "shell/GameMain.h"
#include "shell/InputDevice.h"
#include "shell/PlayHost.h"
#include "shell/Requests.h"
#include "shell/Scene.h"

namespace {

class cShellFrontEndHost : public IFrontEndHost {
public:
    int RequestLoadStage() override { return ::RequestLoadStage(); }
    int RequestLoadReplay() override { return ::RequestLoadReplay(); }
    int RequestNameEntry() override { return ::RequestNameEntry(); }
    void RequestBgm(int nBgm, int bLoop, int nIndex) override { Game_Main.RequestBgm(nBgm, bLoop, nIndex); }
    void PlaySystemSound(int n) override { RequestPlaySE(n); }
    void RequestClose() override { PostCloseRequest(CLOSE_USER); }
    void RequestErrorClose() override { PostCloseRequest(CLOSE_FATAL); }
    void AnimateSystemColor() override { ::AnimateSystemColor(); }
    void ErrorBox(const char* pszText) override { ErrorBoxText(pszText); }
    void LoadHbtPalette(int n) override { ::LoadHbtPalette(n); }
    // The title music follows the music option: set up when it was off and is
    // on now, released when it is off.
    void ApplyBgmOption() override {
        bool bSetUp = Bgm_Main.IsSetUp();
        if (!bSetUp && recOption.m_bBgm == 1) {
            Bgm_Main.Release();
            Bgm_Main.Init(MakeBgmInitData(bMidi_DirectMusic));
            Game_Main.m_nBgmSlot = 0;
            Game_Main.m_bBgmSlot = 0;
        } else if (bSetUp && recOption.m_bBgm == 0) {
            Bgm_Main.Release();
            Game_Main.m_nBgmSlot = 0;
            Game_Main.m_bBgmSlot = 0;
        }
    }
};
cShellFrontEndHost ShellFrontEndHost;

}  // namespace

void InstallGameScenes() {
    SetMenuInput(&Input_List.At(0));
    SetFrontEndHost(&ShellFrontEndHost);
    SetSceneFactory(CreateGameScene);
    InstallPlayHost();
}
