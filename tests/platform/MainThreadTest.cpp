#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/MainThread.h"

namespace {

class MainThreadTest : public testing::Test {
protected:
    void SetUp() override { SetMainThread(); }
    void TearDown() override
    {
        SetMainLoopServing(true);    // ends any cancellation
        SetMainLoopServing(false);
    }

    // Serves requests on this (the main) thread until done is set.
    static void ServeUntil(const std::atomic<bool>& bDone)
    {
        while (!bDone.load()) {
            WaitMainThreadRequests(1);
            ServeMainThreadRequests();
        }
    }
};

TEST_F(MainThreadTest, WithoutAMainLoopJobsRunOnTheCaller)
{
    std::thread::id idRan;
    std::thread th([&] { EXPECT_TRUE(RunOnMainThread([&] { idRan = std::this_thread::get_id(); })); });
    std::thread::id idWorker = th.get_id();
    th.join();
    EXPECT_EQ(idRan, idWorker);
    EXPECT_TRUE(RunOnMainThread([&] { idRan = std::this_thread::get_id(); }));
    EXPECT_EQ(idRan, std::this_thread::get_id());
}

TEST_F(MainThreadTest, RequestsFromOtherThreadsAreServedOnTheMainThread)
{
    SetMainLoopServing(true);
    std::atomic<bool> bDone{false};
    std::thread::id idRan;
    std::optional<int> result;
    std::thread th([&] {
        EXPECT_FALSE(IsMainThread());
        EXPECT_TRUE(RunOnMainThread([&] { idRan = std::this_thread::get_id(); }));
        result = CallOnMainThread<int>([] { return 42; });
        bDone = true;
    });
    ServeUntil(bDone);
    th.join();
    EXPECT_EQ(idRan, std::this_thread::get_id());
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, 42);
    // The main thread itself never queues.
    bool bRan = false;
    EXPECT_TRUE(RunOnMainThread([&] { bRan = true; }));
    EXPECT_TRUE(bRan);
}

TEST_F(MainThreadTest, CancelReleasesWaitingRequestersWithoutRunningTheJob)
{
    SetMainLoopServing(true);
    std::atomic<bool> bRan{false}, bReturned{false}, bResult{true};
    std::thread th([&] {
        bResult = RunOnMainThread([&] { bRan = true; });
        bReturned = true;
    });
    while (!WaitMainThreadRequests(1)) {
    }
    CancelMainThreadRequests();
    th.join();
    EXPECT_TRUE(bReturned);
    EXPECT_FALSE(bResult);
    EXPECT_FALSE(bRan);
    // Later requests from other threads are refused too.
    std::thread th2([&] { bResult = RunOnMainThread([&] { bRan = true; }); });
    th2.join();
    EXPECT_FALSE(bResult);
    EXPECT_FALSE(bRan);
}

TEST_F(MainThreadTest, AWaitingRequestRunsOnItsCallerWhenServingStops)
{
    SetMainLoopServing(true);
    std::thread::id idRan;
    std::atomic<bool> bResult{false};
    std::thread th([&] { bResult = RunOnMainThread([&] { idRan = std::this_thread::get_id(); }); });
    std::thread::id idWorker = th.get_id();
    while (!WaitMainThreadRequests(1)) {
    }
    SetMainLoopServing(false);
    th.join();
    EXPECT_TRUE(bResult);
    EXPECT_EQ(idRan, idWorker);
    EXPECT_EQ(ServeMainThreadRequests(), 0);
}

}  // namespace
