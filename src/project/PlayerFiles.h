#pragma once
// One rule for the player's own files (story slots, the challenge file,
// rankings, the options) that this program cannot read: a file written by
// a newer program, or one too damaged to read, is never replaced unless the
// player says yes. The player is asked in a box; a box that cannot be shown
// or is closed keeps the file.
#include <string>

// What a look at one of the player's files found.
enum : int {
    PLAYERFILE_MISSING = 0,    // no file: nothing to keep
    PLAYERFILE_READABLE = 1,   // read, or written by us since
    PLAYERFILE_NEWER = 2,      // written by a newer program
    PLAYERFILE_DAMAGED = 3,    // there, but it cannot be read whole
};

// The state of a file whose load failed; bNewer is the version refusal of
// that load (bFileVerErr as the load left it).
int PlayerFileStateAfterFailedLoad(const char* pszPath, int bNewer);
// A file that is kept unless the player agrees: newer or damaged.
inline bool IsKeptPlayerFile(int nState) { return nState == PLAYERFILE_NEWER || nState == PLAYERFILE_DAMAGED; }

// The question itself, in the game's words (English with the English
// setting): true only when the player answered yes.
bool AskReplacePlayerFile(const std::string& strPath, int nState);
// The same for a file the game writes on its own (a ranking, the options,
// the challenge file): asked at most once a run; later writes take the
// answer given.
bool MayReplacePlayerFile(const std::string& strPath, int nState);
// Forgets the answers given (a test's fresh start).
void ForgetPlayerFileAnswers();
