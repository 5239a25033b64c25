#pragma once
// Pieces of the stage set-up that other play code and the tests use.
#include <cstdint>
#include <vector>

class cProgress;

// The trigger fired on every character before the stage starts.
constexpr int EV_BEFORE_START = 21;

// The progress record of the play (the installed one, else the global).
cProgress& PlayProgress();
// The sub-steps of a frame on which shots are tested: nTests per frame over
// nSubSteps sub-steps (0 or a negative count: every sub-step).
std::vector<int32_t> BuildShotSteps(int nSubSteps, int nTests);
// Asks for the stage music n with its second value.
void RequestStageBgm(int nBgm, int nValue);
