#include "shell/Scene.h"

cScene* lpPlayScene = nullptr;

namespace {
cScene* NoScene(int) { return nullptr; }
SCENEFACTORY pfnSceneFactory = NoScene;
}  // namespace

void SetSceneFactory(SCENEFACTORY pfn) { pfnSceneFactory = pfn ? pfn : NoScene; }
SCENEFACTORY GetSceneFactory() { return pfnSceneFactory; }
