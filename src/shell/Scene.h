#pragma once
// The shell's side of the scenes: the factory that makes them and the
// stage-play scene while it exists.
#include "project/Scene.h"

// Makes the scene object of a type. The subsystems that own the scenes
// install it; until then no scene exists and frames run empty. Returns null
// when no scene of that type is available.
using SCENEFACTORY = cScene* (*)(int nType);
void SetSceneFactory(SCENEFACTORY pfn);
SCENEFACTORY GetSceneFactory();

// The stage-play scene while it exists (not owning).
extern cScene* lpPlayScene;
