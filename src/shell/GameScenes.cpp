#include "shell/GameScenes.h"

#include "foundation/ErrorBox.h"
#include "frontend/FrontEndHost.h"
#include "frontend/SceneFactory.h"
#include "platform/CloseRequest.h"
#include "shell/GameMain.h"
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
    void AnimateSystemColor() override { ::AnimateSystemColor(); }
    void ErrorBox(const char* pszText) override { ErrorBoxText(pszText); }
};
cShellFrontEndHost ShellFrontEndHost;

}  // namespace

void InstallGameScenes() {
    SetFrontEndHost(&ShellFrontEndHost);
    SetSceneFactory(CreateGameScene);
}
