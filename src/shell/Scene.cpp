#include "shell/Scene.h"

#include "shell/InputDevice.h"

cScene* lpPlayScene = nullptr;

namespace {
cScene* NoScene(int) { return nullptr; }
SCENEFACTORY pfnSceneFactory = NoScene;
}  // namespace

void SetSceneFactory(SCENEFACTORY pfn) { pfnSceneFactory = pfn ? pfn : NoScene; }
SCENEFACTORY GetSceneFactory() { return pfnSceneFactory; }

void cScene::RunFrontEnd(int nLatchMask) {
    cInputDevice& dev = Input_List.At(0);
    dev.ApplyKeyRepeat();
    dev.LatchButtons(nLatchMask);
    RunStates();
}

void cScene::RunStates() {
    if (m_nState == -1) {
        Init();
        m_nState = 0;
    }
    RunState(m_nState);
}
