#pragma once
// The close-request channel to the main thread, in place of posting WM_CLOSE
// to the main window. Any thread may post; the main loop takes the requests.
//
// A fatal close (a checked-container error, out of memory, a failed frame or
// load) never asks the quit question; fatal requests are coalesced.
#include <cstdint>

enum eCloseKind : int {
    CLOSE_USER = 0,   // the close box, Escape, the title's quit entry
    CLOSE_FATAL = 1,  // an error: close without asking
};

void PostCloseRequest(eCloseKind eKind = CLOSE_FATAL);
// A close asked from outside the program (a termination signal, Ctrl+C):
// fatal, so that nothing is asked, but not an error of the run.
void PostSignalCloseRequest();

// Taken by the main loop: returns true and the strongest pending kind (fatal
// over user) when a request is pending, and clears it.
bool TakeCloseRequest(eCloseKind* pKind);

// True while a request is pending (does not clear it).
bool IsCloseRequested();

// Total number of requests posted since start (for tests and logs).
uint32_t GetCloseRequestCount();

// True once a fatal close was posted (the run ends on an error); it stays
// set when the request is taken.
bool WasFatalCloseRequested();

// Drops any pending request, zeroes the count and forgets fatal closes (tests).
void ResetCloseRequests();
