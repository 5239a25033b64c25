#include "foundation/GameThreads.h"

#include <atomic>

#include "platform/Clock.h"
#include "platform/MainThread.h"

cThread thGame;
cThread thPause;
cThread thRanking;
cThread thLoad;

namespace {
std::atomic<int> bNestedPauseLoop{0};
constexpr unsigned SUSPEND_WAIT_MS = 2000;
}

void SuspendThreads(bool bWait) {
    cThread* apThread[] = {&thGame, &thPause, &thRanking, &thLoad};
    for (cThread* p : apThread) p->Suspend();
    if (!bWait) return;
    for (cThread* p : apThread) {
        if (!p->IsRunning()) continue;
        uint32_t nStart = GetTicks();
        while (!p->WaitParked(1)) {
            // A thread that is waiting for a request of its own parks only
            // after the request was served.
            if (IsMainThread()) ServeMainThreadRequests();
            if (GetTicks() - nStart > SUSPEND_WAIT_MS) break;
        }
    }
}

void ResumeThreads() {
    cThread* apThread[] = {&thGame, &thPause, &thRanking, &thLoad};
    for (cThread* p : apThread) p->Resume();
}

bool IsPauseLoopRunning() { return thPause.IsRunning() || bNestedPauseLoop.load() != 0; }
void SetPauseLoopRunning(bool bRunning) { bNestedPauseLoop.store(bRunning ? 1 : 0); }
