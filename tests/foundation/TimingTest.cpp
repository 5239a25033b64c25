#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Timing.h"
#include "support/FakeClock.h"

namespace {

bool IsDirect3DYes() { return true; }
bool IsDirect3DNo() { return false; }

std::vector<std::string> vDrawn;
void DrawStats(DDSURFACEDATA*, const char* pszText) { vDrawn.push_back(pszText); }

// Clock values around the 32-bit wrap, so every test crosses it.
constexpr uint32_t NEAR_WRAP = 0xFFFFFF00u;

class TimingTest : public testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override
    {
        ResetTiming();
        SetWaitFrameHooks(IsDirect3DYes, DrawStats);
        vDrawn.clear();
        m_clock.Set(GetParam());
    }
    void TearDown() override
    {
        SetWaitFrameHooks(nullptr, nullptr);
        ResetTiming();
    }
    cFakeClock m_clock;
};

INSTANTIATE_TEST_SUITE_P(Clock, TimingTest, testing::Values(1000u, NEAR_WRAP));

TEST_P(TimingTest, StopwatchAndLap)
{
    EXPECT_EQ(GetTimerLap(0), 1u);   // before any update
    StartTimer();
    m_clock.Advance(300);
    EXPECT_EQ(GetTimer(0), 300u);
    EXPECT_EQ(GetTimerLap(1), 300u);
    m_clock.Advance(5);
    EXPECT_EQ(GetTimerLap(0), 300u);
    EXPECT_EQ(GetTimer(1), 305u);    // and restart
    m_clock.Advance(7);
    EXPECT_EQ(GetTimer(0), 7u);
    StartTimer2();
    EXPECT_EQ(GetTimer(0), 0u);
}

TEST_P(TimingTest, FrameGateOpensOncePerIntervalFromItsOpening)
{
    EXPECT_TRUE(IsFrameTime(60));        // the first call opens at once
    m_clock.Advance(15);
    EXPECT_FALSE(IsFrameTime(60));
    m_clock.Advance(1);
    EXPECT_TRUE(IsFrameTime(60));        // 16 ms
    EXPECT_FALSE(IsFrameTime(60));
    m_clock.Advance(20);                 // late: opens at once...
    EXPECT_TRUE(IsFrameTime(60));
    m_clock.Advance(15);
    EXPECT_FALSE(IsFrameTime(60));       // ...and the next opening is 16 ms later
    m_clock.Advance(1);
    EXPECT_TRUE(IsFrameTime(60));
    EXPECT_TRUE(IsFrameTime(0));
    EXPECT_TRUE(IsFrameTime(0));
}

TEST_P(TimingTest, WaitFrameReleasesEachGroupEvenly)
{
    const uint32_t nStart = GetParam();
    std::vector<uint32_t> vRelease;
    for (uint32_t t = 0; t < 2000 && vRelease.size() < 62; ++t) {
        m_clock.Set(nStart + t);
        while (vRelease.size() < 62 && WaitFrame(60, 0, nullptr)) vRelease.push_back(t);
    }
    ASSERT_EQ(vRelease.size(), 62u);
    // Frame k of the first group at k * 16.67 ms, rounded up to the tick.
    for (unsigned k = 0; k < 60; ++k) EXPECT_EQ(vRelease[k], (k * 1000 + 59) / 60) << k;
    EXPECT_EQ(vRelease[59], 984u);
    // The next group starts where the last frame was released; its first
    // frame is due at once.
    EXPECT_EQ(vRelease[60], 984u);
    EXPECT_EQ(vRelease[61], 984u + 17u);
}

TEST_P(TimingTest, WaitFrameWithoutDirect3DOrRateIsAlwaysDue)
{
    EXPECT_TRUE(WaitFrame(0, 0, nullptr));
    EXPECT_TRUE(WaitFrame(60, 0, nullptr));
    EXPECT_FALSE(WaitFrame(60, 0, nullptr));
    EXPECT_TRUE(WaitFrame(0, 0, nullptr));
    SetWaitFrameHooks(IsDirect3DNo, nullptr);
    EXPECT_TRUE(WaitFrame(60, 0, nullptr));
    EXPECT_TRUE(WaitFrame(60, 0, nullptr));
}

TEST_P(TimingTest, WaitFrameStartsANewGroupWhenTheRateDrops)
{
    for (int i = 0; i < 40; ++i) {
        while (!WaitFrame(60, 0, nullptr)) m_clock.Advance(1);
    }
    // 40 frames released at 60; at 30 a frame count of 40 is past the group.
    m_clock.Advance(1);
    while (!WaitFrame(30, 0, nullptr)) m_clock.Advance(1);
    uint32_t tGroup = m_clock.Now();
    EXPECT_TRUE(WaitFrame(30, 0, nullptr));     // first of the new group: at once
    EXPECT_FALSE(WaitFrame(30, 0, nullptr));
    m_clock.Set(tGroup + 33);
    EXPECT_FALSE(WaitFrame(30, 0, nullptr));
    m_clock.Set(tGroup + 34);
    EXPECT_TRUE(WaitFrame(30, 0, nullptr));
}

TEST_P(TimingTest, WaitFrameStatistics)
{
    DDSURFACEDATA* lpSheet = reinterpret_cast<DDSURFACEDATA*>(&vDrawn);   // only passed through
    StartTimer();
    m_clock.Advance(5);
    GetTimerLap(1);                        // 5 ms of work
    for (int i = 0; i < 16; ++i) {
        while (!WaitFrame(60, 1, lpSheet)) m_clock.Advance(1);
    }
    ASSERT_EQ(vDrawn.size(), 16u);
    EXPECT_EQ(GetWorkTimeAverage(), 5u);
    EXPECT_EQ(GetFpsAverage(), 0u);
    EXPECT_EQ(vDrawn.back().rfind("FPS-Ave 0(5)\ndwTime_OneSec ", 0), 0u) << vDrawn.back();
    EXPECT_NE(vDrawn.back().find("\nnFrameCt_OneSec 16"), std::string::npos);
}

TEST_P(TimingTest, CountFpsLatchesTheFramesOfEachSecond)
{
    EXPECT_EQ(CountFps(0), 0);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(CountFps(1), 0);
        m_clock.Advance(16);               // 60 frames in 960 ms
    }
    m_clock.Advance(40);
    EXPECT_EQ(CountFps(1), 60);            // the second has passed
    EXPECT_EQ(CountFps(0), 60);
    for (int i = 0; i < 30; ++i) {
        CountFps(1);
        m_clock.Advance(33);
    }
    m_clock.Advance(10);
    EXPECT_EQ(CountFps(1), 30);
}

TEST_P(TimingTest, CountDivider)
{
    std::vector<int> v;
    CountDivider(0, 0);
    EXPECT_EQ(CountDivider(2, 3), 1);      // right after a reset
    for (int i = 0; i < 6; ++i) v.push_back(CountDivider(1, 3));
    EXPECT_EQ(v, (std::vector<int>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(CountDivider(2, 3), 1);
    EXPECT_EQ(CountDivider(1, 3), 0);
    EXPECT_EQ(CountDivider(2, 3), 0);
    EXPECT_EQ(CountDivider(0, 3), 0);
    EXPECT_EQ(CountDivider(2, 3), 1);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(CountDivider(1, 0), 0);   // never divides by 0
    EXPECT_EQ(CountDivider(1, 1), 1);
}

}  // namespace
