#pragma once
// An animation started by a flow command on a character: queued by the
// flow's serial, drawn and stepped with the character.
#include <cstdint>

#include "graphics/AnimPattern.h"

struct ANIMEQUEUE {
    int32_t nSerial = 0;    // serial of the flow run that started it
    int32_t nKind = 0;
    int32_t nValue = 0;
    cAnimPattern Anim;
};
