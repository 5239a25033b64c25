#pragma once
// Process-wide state of the shell: the launch mode, the window and
// activation state, the results of the game thread's dialog requests.
// Flags shared between the window thread and the game thread are atomic.
#include <atomic>
#include <cstdint>

#include "project/GameState.h"

struct SDL_Window;

extern int bTestPlay;                     // started by the editor for a test play
extern std::atomic<int> bStarted;         // the start-up succeeded and the game thread runs
extern std::atomic<int> bAppActive;       // the application has the input focus
extern int bWindowed;                     // the display runs in a window
extern SDL_Window* hWndMain;              // the main window (null before start-up and after close)
extern int nStartBpp;                     // colour depth handed to the display set-up
extern int bFlipByBlt;                    // present by copying instead of flipping

// Results of the dialog requests (kept for the code that polls them).
extern std::atomic<int> bRequestDone;
extern std::atomic<int> nRequestResult;
extern std::atomic<int> bNameDlgDone;

// The close has been confirmed, or the window asked the stage-play loops to
// end: the quit question is not asked again. Process-wide, so that it stays
// valid whatever happens to the scene that set it.
extern std::atomic<int> bPlayClosing;

// The client area of the main window on the desktop.
struct CLIENTRECT {
    int nLeft = 0, nTop = 0, nRight = 640, nBottom = 480;
};
extern CLIENTRECT rcClient;

// √2 and 1/√2 as the movement code reads them.
extern const double dSqrt2;
extern const double dInvSqrt2;
