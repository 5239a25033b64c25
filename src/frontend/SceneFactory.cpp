#include "frontend/SceneFactory.h"

#include "frontend/OptionScene.h"
#include "frontend/SaveScene.h"
#include "frontend/StageSelectScene.h"
#include "frontend/TitleScene.h"
#include "frontend/WorldMapScene.h"
#include "play/PlayScene.h"

namespace {

cScene* MakeTitle() { return new cTitleScene; }
cScene* MakeWorldMap() { return new cWorldMapScene; }
cScene* MakeSaveData() { return new cSaveScene; }
cScene* MakeStageSelect() { return new cStageSelectScene; }
cScene* MakeOption() { return new cOptionScene; }
cScene* MakePlay() {
    auto* p = new cPlayScene;
    PlayCtx().lpPlayScene = p;
    return p;
}

// One row per scene type; an empty row has no scene yet.
using SCENEMAKER = cScene* (*)();
const SCENEMAKER apfnMake[SCENE_TYPE_COUNT] = {
    MakeTitle,   // SCENE_TITLE
    MakeWorldMap,   // SCENE_WORLDMAP
    MakeSaveData,      // SCENE_SAVEDATA
    MakeStageSelect,   // SCENE_STAGESELECT
    MakePlay,    // SCENE_PLAY
    MakeOption,  // SCENE_OPTION
};

}  // namespace

cScene* CreateGameScene(int nType) {
    if (nType < 0 || nType >= SCENE_TYPE_COUNT || !apfnMake[nType]) return nullptr;
    return apfnMake[nType]();
}
