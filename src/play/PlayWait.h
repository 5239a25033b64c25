#pragma once
// The blocking waits of stage play: a message that waits for a button, a
// game wait, an effect or a picture shown to its end, the extra-life display
// and the ranking screen. Each is a nested frame loop on the game thread:
// the play does not advance, the frozen scene is drawn and presented
// through the host each frame, presses made before the wait do not count,
// and a close request ends the loop.
class cPlayScene;
class cRanking;

// Who asked for a wait (the ending button's sound: 12 for a message, else 1).
enum : int { WAITKIND_GAMEWAIT = 0, WAITKIND_MESSAGE = 1, WAITKIND_EFFECT = 2, WAITKIND_PICTURE = 3, WAITKIND_1UP = 4 };

// Sets the scene's wait: a button wait of kind 1 ignores its first 10
// frames unless bNoDelay.
void SetWait(cPlayScene& s, int nKind, int bButton, int nFrames, int bNoDelay);
// Runs the wait set: 1 when it ended, 0 when the program is closing (the
// scene is then closing and the close was requested again; the requester
// gives up what it was doing).
int RunWait(cPlayScene& s);
// The ranking screen over the frozen scene until button 1; button 4 steps
// the ranking kind when the play mode has more than one. 0 when closing.
int RunRankingScreen(cPlayScene& s, const cRanking& ranking);
