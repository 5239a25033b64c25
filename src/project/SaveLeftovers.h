#pragma once
// What a save cut short leaves behind: the temporary written beside its
// target before the rename. The player's folders are ours; the temporary of
// a file the game writes there (slots, the challenge file, the options and
// the other ".dat" records, rankings ".rkg", replays ".rpl4_NNN") is removed
// when the game starts, before anything lists or reads those folders.
// Anything else is left alone.

// True for the name of such a temporary.
bool IsSaveLeftoverName(const char* pszName);
// Removes the leftovers from the player's folders; the number removed.
int RemoveSaveLeftovers();
