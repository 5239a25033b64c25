#pragma once
// Conditions of blocks, characters, items and flows: one condition, a list
// in its mode, the once-only latch of each owner, and the comparison
// operators that conditions, status conditions and searches share.
#include <cstdint>

#include "foundation/ChkContainers.h"
#include "stage/Cond.h"

class cCharaBase;
class cMapCell;
class cItem;
class cFlowRun;
struct JUDGESPAN;

// 0 a = b, 1 a != b, 2 a >= b, 3 a <= b, 4 a > b, 5 a < b, 6 b = 0 or |a| a
// multiple of b, 7 b != 0 and |a| not a multiple of b; others 0. In 64 bits,
// so |INT_MIN| is exact.
int CompareOp(int64_t a, int64_t b, int nOp);

// Character variable n of a character, through the checked access: a bad
// number is logged (the game closes) and reads variable 0.
int CharaVar(const cCharaBase* pChara, int n);

// One condition with its reference character (null: kinds 3-7 fail).
int CheckCond(const cCond& cond, cCharaBase* pChara);
// Mode 0 all (an empty list holds), 1 one is enough (an empty list fails),
// other modes fail.
int CheckCondList(const cChkVector<cCond>& list, int nMode, cCharaBase* pChara);

// The owners' forms: an empty list holds, a latched once-only list holds,
// else the list in the owner's mode; a list that holds sets the latch.
int CheckBlockCond(cMapCell& cell);
int CheckCharaCond(cCharaBase* pChara);
int CheckItemCond(cItem* pItem);
int CheckFlowCond(cFlowRun& run, cCharaBase* pChara);

// The character condition kinds 5, 6 and 7.
int CheckStatusFlagCond(const cCond& cond, cCharaBase* pChara);
int CheckStateCond(const cCond& cond, cCharaBase* pChara);
int CheckDistanceCond(const cCond& cond, cCharaBase* pChara);
// A distance condition's range in dots: value x 16 + extra dots.
int DistanceRange(const cCond& cond);
// The character's side of a distance condition's one-axis test (modes 0 to
// 5) from its screen box; false for the other modes. The target's fields
// are left for the caller.
bool DistanceSpan(const cCond& cond, const cCharaBase* pChara, JUDGESPAN* pRec);
// The offset of a character's centre from its box's left and top corner
// (the circle test of mode 6).
void DistanceCentreOffset(const cCharaBase* p, int* pX, int* pY);

// Status condition 1 (condition kind 4), with the status operations.
int CondCheck_Status(const cCond& cond, cCharaBase* pChara);
