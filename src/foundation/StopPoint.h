#pragma once
// Stop points: places inside the long loops of a frame (the object walks,
// the judgement loops, the flow interpreter) where a thread that was told to
// end gives up the frame at once instead of finishing it. The thread that
// runs the frames opens a cStopPointScope around each frame and catches
// cThreadStop; the half-done frame is dropped and nothing from it is kept,
// which is what a closing program wants. Elsewhere a stop point does
// nothing.
//
// A stop point only reads the thread's quit flag: while no quit was posted
// it changes nothing, so play runs the same with or without it.
#include "foundation/Thread.h"

// What a stop point throws. Not a std::exception, so that the handlers of
// failed set-ups and allocations let it pass.
struct cThreadStop {};

namespace stoppoint_detail {
// Defined here, constant-initialised: every translation unit reads the flag
// directly, with no thread-local wrapper call on each stop point.
inline thread_local constinit bool bStopPointsOpen = false;
[[noreturn]] void ThrowThreadStop();
}  // namespace stoppoint_detail

// Stop points of the calling thread are live while an object of this class
// lives (scopes nest).
class cStopPointScope {
public:
    cStopPointScope() : m_bPrevious(stoppoint_detail::bStopPointsOpen) { stoppoint_detail::bStopPointsOpen = true; }
    ~cStopPointScope() { stoppoint_detail::bStopPointsOpen = m_bPrevious; }
    cStopPointScope(const cStopPointScope&) = delete;
    cStopPointScope& operator=(const cStopPointScope&) = delete;

private:
    bool m_bPrevious;
};

// Throws cThreadStop when the stop points of the calling thread are live and
// its quit message was posted.
inline void StopPoint() {
    if (stoppoint_detail::bStopPointsOpen && IsQuitPosted()) stoppoint_detail::ThrowThreadStop();
}
