#include "project/GameState.h"

int bFreeStageStart = 0;
int nRankingSwitch = 0;

namespace {
cGameState DefaultGameState;
cGameState* lpGameState = &DefaultGameState;
}  // namespace

cGameState& GetGameState() { return *lpGameState; }
void SetGameState(cGameState* p) { lpGameState = p ? p : &DefaultGameState; }
