#pragma once
// What a close request does: whether the quit question is asked, and whether
// the game closes now or first ends the stage-play loop that runs.
#include "platform/CloseRequest.h"

struct CLOSESTATE {
    eCloseKind eKind = CLOSE_USER;
    int bTestPlay = 0;
    int bWindowed = 0;
    int nScene = 0;          // the scene that runs now
    int bClosing = 0;        // the close was already confirmed
    int bPauseLoop = 0;      // a stage-play wait loop runs
    int bStarted = 0;        // the start-up succeeded
    int bNoDisplay = 0;      // no display to ask on: nobody can answer
    int bScripted = 0;       // an input script plays in the player's place
};

enum eCloseAction : int {
    CLOSE_ACTION_CLOSE = 0,      // stop the threads and close the window
    CLOSE_ACTION_END_PAUSE = 1,  // end the wait loop; the play code closes again
};

struct CLOSEDECISION {
    bool bAsk = false;           // ask "終了しますか？" first; "No" ends the handling
    // The question is due but nobody can answer it: the close is dropped, as
    // after "No" (a question nobody saw is never answered "Yes").
    bool bDecline = false;
    bool bSavePlacement = false; // store the window placement
    eCloseAction eAction = CLOSE_ACTION_CLOSE;
};

CLOSEDECISION DecideClose(const CLOSESTATE& s);
