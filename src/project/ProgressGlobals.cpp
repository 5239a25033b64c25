// The start-up instances of the player's progress records: empty replay
// logs, reset progress, 99 cleared slot summaries and default rankings.
#include "project/Progress.h"
#include "project/Ranking.h"
#include "project/ReplayLog.h"
#include "project/SaveSlots.h"

cReplayLog recReplayA;
cReplayLog recReplayB;
cProgress recProgress;
cProgress recProgressA;
cProgress recProgressB;
cChkVector<cSaveSlotInfo> vecSaveSlot(SAVE_SLOT_COUNT);
cRanking recRanking;
