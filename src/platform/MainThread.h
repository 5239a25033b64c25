#pragma once
// Requests from other threads to the main (window) thread.
//
// The main thread owns the window, events, dialogs, boxes and presentation.
// Another thread hands it a job and blocks until the job was served, or
// cancelled by shutdown; it never spins on a plain flag.
#include <functional>

// Marks the calling thread as the main thread.
void SetMainThread();
bool IsMainThread();

// Runs fn on the main thread and waits. When called on the main thread, or
// when no main loop serves requests (headless tests), fn runs at once on the
// calling thread. Returns false when the request was cancelled before it ran.
bool RunOnMainThread(const std::function<void()>& fn);

// Called by the main loop: serves every pending request.
void ServeMainThreadRequests();

// Tells the requesters whether a main loop serves requests. While it is off,
// RunOnMainThread runs jobs on the calling thread.
void SetMainLoopServing(bool bServing);

// Cancels every pending and future request (shutdown); waiting requesters
// return false.
void CancelMainThreadRequests();
