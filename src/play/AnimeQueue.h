#pragma once
// An animation started by a flow command on a character: queued under the
// serial of the flow run that started it, stepped every frame with the
// character and shown in place of its basic animation while it runs.
#include <cstdint>

#include "graphics/AnimPattern.h"

struct ANIMEQUEUE {
    cAnimPattern Anim;        // the animation's step pattern
    int32_t bPriority = 1;    // set when queued
    int32_t nCountdown = 0;   // frames until its command begins, then negative while it runs
    int32_t nCmdFrames = 0;   // the command's frames
    int32_t nSerial = 0;      // serial of the flow run that queued it
    int32_t bPaused = 0;
};
