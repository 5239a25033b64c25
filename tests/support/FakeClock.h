#pragma once
// A hand-driven millisecond clock for tests. Installs itself while it lives;
// SleepMs advances it instead of sleeping.
#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

class cFakeClock : public IClock {
public:
    explicit cFakeClock(uint32_t nStart = 0) : m_nNow(nStart) { SetClock(this); }
    ~cFakeClock() override { SetClock(nullptr); }
    cFakeClock(const cFakeClock&) = delete;
    cFakeClock& operator=(const cFakeClock&) = delete;

    uint32_t Now() override { return m_nNow.load(); }
    bool Sleep(unsigned nMs) override
    {
        m_nNow.fetch_add(nMs);
        return true;
    }

    void Set(uint32_t nMs) { m_nNow.store(nMs); }
    void Advance(uint32_t nMs) { m_nNow.fetch_add(nMs); }   // wraps like the real clock

private:
    std::atomic<uint32_t> m_nNow;
};
