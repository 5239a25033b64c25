#pragma once
// Effect animations and pictures shown by the stage-play scene.
#include <cstdint>

class cEffectAnime {
public:
};

class cPictureRun {
public:
};
