#include "shell/CloseDecision.h"

CLOSEDECISION DecideClose(const CLOSESTATE& s) {
    CLOSEDECISION d;
    // A fatal close never asks; neither does a test play, a full-screen game,
    // the title screen, or a close that was confirmed already.
    const bool bDue = s.eKind == CLOSE_USER && !s.bTestPlay && s.bWindowed && s.nScene != 0 && !s.bClosing && s.bStarted;
    // Without a display the question cannot be shown. Where an input script
    // plays in the player's place, its close (its Escape, its quit entry)
    // was asked for by whoever wrote it and is carried out; any other is
    // dropped.
    d.bAsk = bDue && !s.bNoDisplay;
    d.bDecline = bDue && s.bNoDisplay && !s.bScripted;
    d.bSavePlacement = s.bWindowed && s.bStarted;
    // A player's close during a stage-play wait ends the wait first and
    // completes when the play asks again; a close without question stops the
    // game thread at once, whose quit message ends the wait as well.
    d.eAction = s.bPauseLoop && s.eKind == CLOSE_USER ? CLOSE_ACTION_END_PAUSE : CLOSE_ACTION_CLOSE;
    return d;
}
