#include "platform/Clock.h"

#include <atomic>
// <thread> brings the std::chrono clocks and durations. The full <chrono>
// header does not compile under the CP932 execution charset (it spells a
// micro sign that CP932 lacks), so it is never included.
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// The zero of the clock: taken at its first use, which the initialiser
// below makes happen at process start (or earlier, when another static
// initialiser reads the clock first).
SteadyClock::time_point ProcessStart()
{
    static const SteadyClock::time_point tp = SteadyClock::now();
    return tp;
}
const SteadyClock::time_point tpTakenAtStart = ProcessStart();

std::atomic<IClock*> pInstalledClock{nullptr};

}  // namespace

uint32_t GetRealTicks()
{
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - ProcessStart()).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

uint32_t GetTicks()
{
    IClock* pClock = pInstalledClock.load(std::memory_order_acquire);
    if (pClock) return pClock->Now();
    return GetRealTicks();
}

double GetMonotonicSeconds()
{
    return std::chrono::duration<double>(SteadyClock::now().time_since_epoch()).count();
}

void SetClock(IClock* pClock)
{
    pInstalledClock.store(pClock, std::memory_order_release);
}

void SleepMs(unsigned nMs)
{
    IClock* pClock = pInstalledClock.load(std::memory_order_acquire);
    if (pClock && pClock->Sleep(nMs)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(nMs));
}
