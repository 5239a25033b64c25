#pragma once
// Pieces of the stage set-up that other play code and the tests use.
#include <cstdint>
#include <vector>

class cProgress;
class cStage;

// The memory a stage's block map may take: its cells (cBlockMap::CELL_BYTES
// each) and the copies of its placed blocks (cBlockMap::BLOCK_BYTES each).
// A larger map is refused at set-up with the out-of-memory message.
constexpr int64_t MAP_MEMORY_BUDGET = 256LL * 1024 * 1024;
bool MapFitsBudget(int64_t nCells, int64_t nBlocks, int64_t nBudget);
// Tests: another budget for the set-up (MAP_MEMORY_BUDGET by default).
void SetMapMemoryBudget(int64_t nBytes);

// The most objects a stage's placements may make at set-up: the computer
// characters with every repeat copy, and the items no character holds. A
// stage past it is refused at set-up with the out-of-memory message before
// any object is made (each played object costs far more than its placement).
constexpr int64_t MAX_PLAYED_PLACEMENTS = 50000;
// The objects n placements with the same repeat count make (each placement
// and its nRepeat copies), saturating rather than wrapping; negative counts
// make none.
int64_t PlacementCopies(int64_t nPlacements, int64_t nRepeat);
// The objects the stage's placements make at set-up (the player's placement
// is not one of them), counted in 64 bits.
int64_t PlayedPlacementCount(const cStage& stage);
bool PlayedPlacementsFit(int64_t nCount);
// The memory the placed objects take with what each copies of its placement
// at set-up (a character and each of its repeat copies its flows, an item
// its command list), in bytes, saturating. A stage past the budget is
// refused like one past the bound of objects: a small file of few
// placements with long flows and many repeats would otherwise ask for
// gigabytes.
constexpr uint64_t PLAYED_OBJECT_MEMORY_BUDGET = uint64_t{256} << 20;
uint64_t PlayedPlacementBytes(const cStage& stage);
// Tests set a smaller budget; the default is PLAYED_OBJECT_MEMORY_BUDGET.
void SetPlayedObjectMemoryBudget(uint64_t nBytes);

// The trigger fired on every character before the stage starts.
constexpr int EV_BEFORE_START = 21;

// The progress record of the play (the installed one, else the global).
cProgress& PlayProgress();
// The sub-steps of a frame on which shots are tested: nTests per frame over
// nSubSteps sub-steps (0 or a negative count: every sub-step).
std::vector<int32_t> BuildShotSteps(int nSubSteps, int nTests);
// Asks for the stage music n with its second value.
void RequestStageBgm(int nBgm, int nValue);
