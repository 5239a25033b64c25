#pragma once
// Millisecond clock of the process, in place of the multimedia timer.
#include <cstdint>

// A source of milliseconds. The default one counts from process start; tests
// install a fake one to drive the timing functions.
class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t Now() = 0;
    // Called by SleepMs while this clock is installed. Returning true means
    // the clock took care of the wait (a fake clock advances its time and
    // returns at once); false makes SleepMs sleep for real.
    virtual bool Sleep(unsigned nMs) { (void)nMs; return false; }
};

// Milliseconds since process start, as a wrapping 32-bit value. Compare two
// readings only by unsigned difference.
uint32_t GetTicks();

// Milliseconds of the real clock, whatever clock is installed.
uint32_t GetRealTicks();

// Seconds of the system's monotonic clock: the same clock in every process,
// so that another program can tell how long after its start this one did
// something. Never for play.
double GetMonotonicSeconds();

// Installs a clock for GetTicks (null restores the real one).
void SetClock(IClock* pClock);

// Sleeps the calling thread for about nMs milliseconds.
void SleepMs(unsigned nMs);
