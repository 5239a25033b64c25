#include "frontend/SceneCommon.h"

#include <vector>

#include "frontend/FrontEndHost.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDFade.h"
#include "graphics/DDImage.h"
#include "graphics/ImageSurfaces.h"
#include "project/Cursor.h"
#include "project/GameState.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"

void RequestSceneBgm(int k) {
    int nBgm = recSystem.m_vSceneBgm.IsValid(k) ? recSystem.m_vSceneBgm.At(k) : 0;
    int bLoop = recSystem.m_vSceneBgmFlag.IsValid(k) ? recSystem.m_vSceneBgmFlag.At(k) : 0;
    GetFrontEndHost().RequestBgm(nBgm, bLoop, k);
}

bool SceneFadeIn() {
    return DDFadeIn(aPalEntry, 0, 255, 0, 0, 0, GetGameState().m_nFadeStep, aPalette, false);
}

bool SceneFadeOut() {
    return DDFadeOut(aPalEntry, 0, 255, 0, 0, 0, GetGameState().m_nFadeStep, aPalette, false);
}

void CommitSceneSwitch(int nOwnType, int nBeforeScene) {
    (void)nOwnType;
    DDClear(&BackBuffer, 16);
    Cursor_Menu.Reset();
    cGameState& g = GetGameState();
    g.m_nBeforeScene = nBeforeScene;
    g.m_nScene = g.m_nNextScene;
}

bool LoadSceneImages(std::initializer_list<int> slots) {
    std::vector<int> v(slots);
    if (DDLoadImages(Off_Img, v.data(), static_cast<int>(v.size()))) return true;
    GetFrontEndHost().RequestErrorClose();
    return false;
}

void ReleaseSceneImages(std::initializer_list<int> slots) {
    for (int n : slots)
        if (n >= 0 && n < IMAGE_SLOT_COUNT) DDReleaseSurface(&Off_Img[n]);
}
