#pragma once
// An item of a stage: placed, summoned or dropped; taken by the hero, whose
// command list then runs.
#include "play/Obj.h"

class cItem : public cObj {
public:
};
