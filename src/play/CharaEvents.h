#pragma once
// The pieces of event firing and key conditions that stand on their own:
// loop expansion of a command list and one key-condition record against the
// input history.
#include "foundation/ChkContainers.h"
#include "foundation/InputState.h"
#include "stage/Flow.h"

// The most commands a list may grow to by loop expansion.
constexpr int MAX_EXPANDED_CMDS = 4096;

// Expands every loop command (the k commands after it repeated n times in
// all; a count of 1 or less only removes the loop command; a length past
// the end is cut). Returns 1 when the cap cut an expansion short.
int ExpandLoops(cChkVector<cEdCmd>& vecCmd);

// The span of key entry nEntry (0-9 directions, 10-18 buttons) at
// nFramesAgo: its length in frames (0 past the history), whether the key is
// down in it, and how many frames it reaches back from nFramesAgo.
int GetKeySpan(const cInputState* pInput, int nEntry, int nFramesAgo, bool* pDown, int* pRemain);
// The direction entry seen by a character facing left: 1<->2, 5<->7, 6<->8.
int MirrorKeyEntry(int nEntry);
// One key-condition record at nFramesAgo; pSpan (may be null) receives the
// matched span by the record's mode.
bool MatchKeyRecord(const cInputState* pInput, const cFlowKey& rec, int nFramesAgo, bool bMirror, int* pSpan);
// One record against the current key states only (no mirroring).
bool CheckKeyState(const cInputState* pInput, const cFlowKey& rec);
