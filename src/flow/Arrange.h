#pragma once
// Arrange: an arrange command queues a change of one parameter of the next
// command of its flow (or of the hero's item list); the next command of
// another kind that begins applies the queue to its own stored parameters,
// clamped to the bounds of the arrange parameter table. The change is made
// on the character's own copy of the command, so it stays for later runs of
// that command by that character.
#include <list>

#include "flow/FlowRun.h"

class cEdCmd;
class cCharaBase;
class cHero;

// One entry on a command (entry[0] the target kind in the character
// numbering; an item command of item kind k counts as k + 15, item kinds 0
// and 1 never match).
void ApplyArrange(cEdCmd& cmd, const ARRANGEENTRY& entry, cCharaBase* pChara);
// Every entry of the flow run's queue on a command, in queue order (the
// caller empties the queue). Nothing without a flow run.
void ApplyArrangeList(cEdCmd& cmd, cCharaBase* pChara, cFlowRun* pFlow);
// The same with the hero's queue (item command lists).
void ApplyHeroArrangeList(cEdCmd& cmd, cHero* pHero);

// The arrangeable field nIndex of a command of character kind nKind: false
// when the kind has no accessors, the index is outside its row or the command
// lacks the record the field lives in.
bool ArrangeGet(const cEdCmd& cmd, int nKind, int nIndex, int32_t* pOut);
bool ArrangeSet(cEdCmd& cmd, int nKind, int nIndex, int32_t nValue);
