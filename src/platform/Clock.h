#pragma once
// Millisecond clock of the process, in place of the multimedia timer.
#include <cstdint>

// A source of milliseconds. The default one counts from process start; tests
// install a fake one to drive the timing functions.
class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t Now() = 0;
};

// Milliseconds since process start, as a wrapping 32-bit value. Compare two
// readings only by unsigned difference.
uint32_t GetTicks();

// Installs a clock for GetTicks (null restores the real one).
void SetClock(IClock* pClock);

// Sleeps the calling thread for about nMs milliseconds.
void SleepMs(unsigned nMs);
