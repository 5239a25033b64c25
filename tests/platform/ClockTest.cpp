#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "support/FakeClock.h"

namespace {

TEST(ClockTest, FakeClockDrivesTicksAndSleepsWhileInstalled)
{
    uint32_t nReal = GetTicks();
    EXPECT_LT(nReal, 24u * 3600u * 1000u);   // counted from process start
    {
        cFakeClock clock(0xFFFFFFFEu);
        EXPECT_EQ(GetTicks(), 0xFFFFFFFEu);
        SleepMs(5);                           // advances, no real wait
        EXPECT_EQ(GetTicks(), 3u);            // wrapped
        EXPECT_EQ(GetTicks() - 0xFFFFFFFEu, 5u);
    }
    uint32_t nTicks = GetTicks();
    uint32_t nRealAfter = GetRealTicks();
    EXPECT_LT(nTicks - nReal, 60000u);        // the real clock is back
    EXPECT_LT(nRealAfter - nTicks, 60000u);
}

}  // namespace
