#pragma once
// The stage play's way to the shell: keys outside the recorded input, the
// dialog requests, sounds and music, the close request, fades, the stage's
// image slots and the restart of a free game. Installed with the scenes.
#include <cstdint>

void InstallPlayHost();

// One frame of a stage-play wait: a safe point where the window thread can
// hold the game (the quit question), then the frame before is presented,
// the frame time waited for, lost surfaces restored (a failure asks for a
// close and the frame goes on) and the input polled. The frame counts as
// shown. 0 when a close is under way.
int PlayWaitFrame();

// For unattended checks only. A file that receives the play trace: a line
// "attempt SEED at game frame N" when an attempt is set up and "FRAME HASH" (the frame of the
// attempt from 1, the play state hash in hex) after each play frame; false
// when it cannot be created. And a fixed seed offered for new attempts
// instead of the clock.
bool OpenPlayTrace(const char* pszPath);
void SetFixedSeed(uint32_t nSeed);
