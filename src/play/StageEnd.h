#pragma once
// How a stage ends: the totals and extra lives of a clear, the ranking places
// and their registration, and the scene or the next stage file that follows.
#include <cstdint>
#include <string>

class cPlayScene;

constexpr int EXTRA_LIFE_DISPLAYS_MAX = 10;   // 1UP displays of one clear (every life still counts)
constexpr int EXTRA_LIFE_FRAMES = 30;
constexpr int32_t LIVES_MAX = 99;
constexpr int32_t LIVES_INFINITE = 999999;

// Adds the stage's results to the totals and gives the extra lives the
// total score earned.
void AddTotals(cPlayScene& s);
// The number of extra lives a total score going from nOld to nNew earns with
// a score step (0 for a step of 0 or less).
int64_t CountExtraLives(int64_t nOld, int64_t nNew, int32_t nStep);
// The file of the next stage of a chain (number n, or the path the
// stage-clear command gave): 1 with its newest numbered file, 0 with an
// empty name.
int GetNextStageName(cPlayScene& s, std::string& strOut, int n);
int IsLastStage(cPlayScene& s, int n);
