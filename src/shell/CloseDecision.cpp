#include "shell/CloseDecision.h"

CLOSEDECISION DecideClose(const CLOSESTATE& s) {
    CLOSEDECISION d;
    // A fatal close never asks; neither does a test play, a full-screen game,
    // the title screen, or a close that was confirmed already.
    d.bAsk = s.eKind == CLOSE_USER && !s.bTestPlay && s.bWindowed && s.nScene != 0 && !s.bClosing && s.bStarted;
    d.bSavePlacement = s.bWindowed && s.bStarted;
    // A player's close during a stage-play wait ends the wait first and
    // completes when the play asks again; a close without question stops the
    // game thread at once, whose quit message ends the wait as well.
    d.eAction = s.bPauseLoop && s.eKind == CLOSE_USER ? CLOSE_ACTION_END_PAUSE : CLOSE_ACTION_CLOSE;
    return d;
}
