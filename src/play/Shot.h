#pragma once
// A shot or a sword swing in flight.
#include "play/Obj.h"

class cShot : public cObj {
public:
};
