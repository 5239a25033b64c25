#pragma once
// Requests from other threads to the main (window) thread.
//
// The main thread owns the window, events, dialogs, boxes and presentation.
// Another thread hands it a job and blocks until the job was served, or
// cancelled by shutdown; it never spins on a plain flag.
#include <functional>
#include <optional>
#include <utility>

// Marks the calling thread as the main thread.
void SetMainThread();
bool IsMainThread();

// Runs fn on the main thread and waits. When called on the main thread, or
// when no main loop serves requests (headless tests), fn runs at once on the
// calling thread. Returns false when the request was cancelled before it ran
// (then fn never runs).
bool RunOnMainThread(const std::function<void()>& fn);

// The typed form: the job's result, or nothing when it was cancelled.
template <class T>
std::optional<T> CallOnMainThread(const std::function<T()>& fn)
{
    std::optional<T> result;
    if (!RunOnMainThread([&] { result.emplace(fn()); })) return std::nullopt;
    return result;
}

// Called by the main loop: serves every pending request. Returns how many
// were served.
int ServeMainThreadRequests();

// Called by the main loop instead of a plain sleep: waits up to nMs
// milliseconds for a request to arrive (returns at once when one is pending).
// True when a request is pending.
bool WaitMainThreadRequests(unsigned nMs);

// Tells the requesters whether a main loop serves requests. While it is off,
// RunOnMainThread runs jobs on the calling thread (a request waiting when it
// is switched off is taken back and run by its requester). Switching it on
// also ends a cancellation.
void SetMainLoopServing(bool bServing);
bool IsMainLoopServing();

// Cancels every pending and future request from other threads (shutdown):
// waiting requesters return false. Jobs asked for on the main thread itself
// still run.
void CancelMainThreadRequests();
