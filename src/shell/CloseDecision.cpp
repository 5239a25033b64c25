#include "shell/CloseDecision.h"

CLOSEDECISION DecideClose(const CLOSESTATE& s) {
    CLOSEDECISION d;
    // A fatal close never asks; neither does a test play, a full-screen game,
    // the title screen, or a close that was confirmed already.
    d.bAsk = s.eKind == CLOSE_USER && !s.bTestPlay && s.bWindowed && s.nScene != 0 && !s.bClosing && s.bStarted;
    d.bSavePlacement = s.bWindowed && s.bStarted;
    d.eAction = s.bPauseLoop ? CLOSE_ACTION_END_PAUSE : CLOSE_ACTION_CLOSE;
    return d;
}
