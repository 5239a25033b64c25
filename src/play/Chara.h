#pragma once
// A placed or summoned character, operated by the computer.
#include "play/CharaBase.h"

class cChara : public cCharaBase {
public:
};
