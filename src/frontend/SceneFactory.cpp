#include "frontend/SceneFactory.h"

#include "frontend/TitleScene.h"
#include "play/PlayScene.h"

namespace {

cScene* MakeTitle() { return new cTitleScene; }
cScene* MakePlay() {
    auto* p = new cPlayScene;
    PlayCtx().lpPlayScene = p;
    return p;
}

// One row per scene type; an empty row has no scene yet.
using SCENEMAKER = cScene* (*)();
const SCENEMAKER apfnMake[SCENE_TYPE_COUNT] = {
    MakeTitle,   // SCENE_TITLE
    nullptr,     // SCENE_WORLDMAP
    nullptr,     // SCENE_SAVEDATA
    nullptr,     // SCENE_STAGESELECT
    MakePlay,    // SCENE_PLAY
    nullptr,     // SCENE_OPTION
};

}  // namespace

cScene* CreateGameScene(int nType) {
    if (nType < 0 || nType >= SCENE_TYPE_COUNT || !apfnMake[nType]) return nullptr;
    return apfnMake[nType]();
}
