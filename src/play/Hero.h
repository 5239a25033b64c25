#pragma once
// The hero: the character the player operates.
#include "play/CharaBase.h"

class cHero : public cCharaBase {
public:
};
