#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "foundation/Log.h"
#include "foundation/Thread.h"
#include "platform/Clock.h"
#include "support/TempDir.h"

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Waits (really) until pred holds; false after about five seconds.
template <class PRED>
bool Eventually(PRED pred)
{
    for (int i = 0; i < 5000; ++i) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return pred();
}

// A thread procedure of the usual form: a message loop that returns on the
// quit message, counting its turns and the application messages it meets.
struct LOOPDATA {
    std::atomic<int> nTurns{0};
    std::atomic<int> nAppMsgs{0};
    std::atomic<uint32_t> nId{0};
    std::atomic<bool> bSawQuitFlag{false};
};

unsigned MessageLoop(void* pArg)
{
    LOOPDATA& d = *static_cast<LOOPDATA*>(pArg);
    d.nId = GetCurrentThreadMsgId();
    for (;;) {
        HoldPoint();
        ++d.nTurns;
        uint32_t nMsg;
        while (PeekThreadMsg(&nMsg)) {
            if (nMsg == WM_QUIT_MSG) {
                d.bSawQuitFlag = IsQuitPosted();
                return 0;
            }
            if (nMsg == WM_APP_MSG) ++d.nAppMsgs;
        }
        HoldSleep(1);
    }
}

std::atomic<bool> bReleaseStubborn{false};
std::atomic<bool> bStubbornEnded{false};

// Never reads its queue: ends only when the test lets it.
unsigned Stubborn(void*)
{
    while (!bReleaseStubborn.load()) SleepMs(1);
    bStubbornEnded = true;
    return 0;
}

unsigned ReturnAtOnce(void* pArg)
{
    static_cast<std::atomic<int>*>(pArg)->fetch_add(1);
    return 5;
}

TEST(ThreadTest, IdleObjectsDoNothing)
{
    cThread th;
    EXPECT_EQ(th.m_dwThreadId.load(), 0u);
    EXPECT_FALSE(th.IsRunning());
    EXPECT_EQ(th.Suspend(), 1);
    EXPECT_EQ(th.Resume(), 1);
    th.Wait();
    th.Exit();
    EXPECT_EQ(PostThreadMsg(0, WM_QUIT_MSG), 0);
    EXPECT_EQ(PostThreadMsg(0xFFFFFFF0u, WM_APP_MSG), 0);
    // Threads cThread did not start have no queue.
    uint32_t nMsg;
    EXPECT_FALSE(PeekThreadMsg(&nMsg));
    EXPECT_FALSE(IsQuitPosted());
    EXPECT_EQ(GetCurrentThreadMsgId(), 0u);
}

TEST(ThreadTest, ExitEndsAMessageLoopThroughItsQueue)
{
    cTempDir dir;
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    InitECLog(1, "EC_Game.txt");
    LOOPDATA d;
    cThread th;
    ASSERT_EQ(th.Start(MessageLoop, &d), 1);
    EXPECT_NE(th.m_dwThreadId.load(), 0u);
    EXPECT_TRUE(th.IsRunning());
    ASSERT_TRUE(Eventually([&] { return d.nId.load() != 0; }));
    EXPECT_EQ(d.nId.load(), th.m_dwThreadId.load());
    EXPECT_EQ(PostThreadMsg(th.m_dwThreadId, WM_APP_MSG), 1);
    EXPECT_EQ(PostThreadMsg(th.m_dwThreadId, WM_APP_MSG), 1);
    EXPECT_TRUE(Eventually([&] { return d.nAppMsgs.load() == 2; }));

    uint32_t nOldId = th.m_dwThreadId;
    th.Exit();
    EXPECT_FALSE(th.IsRunning());
    EXPECT_EQ(th.m_hThread, nullptr);
    EXPECT_TRUE(d.bSawQuitFlag);
    EXPECT_EQ(PostThreadMsg(nOldId, WM_APP_MSG), 0);
    EXPECT_EQ(ReadAll(dir.File("EC_Game.txt")), "Exit A\nExit B\nExit C\nExit D\nExit E\n");
    EXPECT_EQ(ReadAll(dir.File("Report_Game.txt")), "");
    InitECLog(0, "EC_Game.txt");
}

TEST(ThreadTest, StartRefusesALiveThreadAndReusesAnEndedOne)
{
    LOOPDATA d;
    cThread th;
    ASSERT_EQ(th.Start(MessageLoop, &d), 1);
    std::atomic<int> nRuns{0};
    EXPECT_EQ(th.Start(ReturnAtOnce, &nRuns), 0);   // still running
    th.Exit();

    ASSERT_EQ(th.Start(ReturnAtOnce, &nRuns), 1);
    ASSERT_TRUE(Eventually([&] { return !th.IsRunning(); }));
    ASSERT_EQ(th.Start(ReturnAtOnce, &nRuns), 1);    // an ended one is joined first
    th.Wait();
    EXPECT_EQ(th.m_hThread, nullptr);
    EXPECT_EQ(nRuns.load(), 2);
}

TEST(ThreadTest, SuspendParksTheThreadAtItsHoldGate)
{
    LOOPDATA d;
    cThread th;
    ASSERT_EQ(th.Start(MessageLoop, &d), 1);
    EXPECT_EQ(th.Suspend(), 1);
    EXPECT_EQ(th.Suspend(), 1);
    ASSERT_TRUE(th.WaitParked(5000));
    int nTurns = d.nTurns.load();
    EXPECT_EQ(PostThreadMsg(th.m_dwThreadId, WM_APP_MSG), 1);   // queued, not taken while parked
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(d.nTurns.load(), nTurns);
    EXPECT_EQ(d.nAppMsgs.load(), 0);

    EXPECT_EQ(th.Resume(), 1);                                    // one suspension left
    EXPECT_TRUE(th.WaitParked(0));
    EXPECT_EQ(d.nTurns.load(), nTurns);
    EXPECT_EQ(th.Resume(), 1);
    EXPECT_TRUE(Eventually([&] { return d.nAppMsgs.load() == 1; }));
    EXPECT_EQ(th.Resume(), 1);                                    // an open gate stays open
    EXPECT_TRUE(Eventually([&] { return d.nTurns.load() > nTurns + 2; }));

    // Exit on a held thread opens the gate so that it can end on its own.
    th.Suspend();
    ASSERT_TRUE(th.WaitParked(5000));
    th.Exit();
    EXPECT_FALSE(th.IsRunning());
    EXPECT_TRUE(d.bSawQuitFlag);
}

TEST(ThreadTest, AThreadThatIgnoresQuitIsLeftRunningAndLogged)
{
    cTempDir dir;
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    bReleaseStubborn = false;
    bStubbornEnded = false;
    {
        cThread th;
        ASSERT_EQ(th.Start(Stubborn, nullptr), 1);
        uint32_t nId = th.m_dwThreadId;
        th.Exit();                               // 200 polls, then gives up
        EXPECT_EQ(th.m_hThread, nullptr);
        EXPECT_TRUE(AnyThreadAbandoned());
        EXPECT_FALSE(bStubbornEnded.load());
        EXPECT_EQ(ReadAll(dir.File("Report_Game.txt")),
                  "Thread " + std::to_string(nId) + " did not end on its quit message; left running\n");
    }
    bReleaseStubborn = true;                     // let it end before the process does
    EXPECT_TRUE(Eventually([] { return bStubbornEnded.load(); }));
}

TEST(ThreadTest, WaitReturnsOnceTheProcedureHasReturned)
{
    std::atomic<int> nRuns{0};
    cThread th;
    ASSERT_EQ(th.Start(ReturnAtOnce, &nRuns), 1);
    th.Wait();
    EXPECT_EQ(nRuns.load(), 1);
    EXPECT_FALSE(th.IsRunning());
    EXPECT_EQ(th.m_hThread, nullptr);
}

}  // namespace
