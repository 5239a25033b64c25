#pragma once
// Scripted keys for unattended runs: a text file of lines
//   FRAME KEY [FRAMES]
// holds KEY from game frame FRAME for FRAMES frames (1 when left out). KEY is
// a name (left right up down z x c v a s d f space escape enter f1 f2 f3) or
// a virtual-key number; '#' starts a comment. While a script runs, the real
// keyboard and joysticks are not read.
#include <string>
#include <vector>

struct SCRIPTKEY {
    unsigned nFrom = 0;
    unsigned nFrames = 1;
    int nVk = 0;
};

// Parses a script; false (with the line's number in strError) on a line it
// cannot read.
bool ParseInputScript(const std::string& strText, std::vector<SCRIPTKEY>& vKeys, std::string& strError);
// Whether the script holds a key at a frame.
bool IsScriptKeyHeld(const std::vector<SCRIPTKEY>& vKeys, unsigned nFrame, int nVk);
// The entry of a script that holds nVk at nFrame and was not taken yet: it
// is marked taken in vTaken (one flag per entry) and its index returned;
// -1 when none. Each entry is one press, however long it is held.
int FindScriptPress(const std::vector<SCRIPTKEY>& vKeys, std::vector<bool>& vTaken, unsigned nFrame, int nVk);
// The main loop's check for a scripted Escape, which asks for a close as
// the key does in the window: true once per Escape entry of the installed
// script, at the first frame it holds.
bool TakeScriptedEscape();
// Whether a script plays in the player's place.
bool IsInputScriptInstalled();
// Reads the file and installs it as the input source; false when it cannot
// be read or parsed (the reason goes to standard error and the report).
bool InstallInputScript(const char* pszPath);
