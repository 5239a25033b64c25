#include "foundation/Thread.h"

#include <condition_variable>
#include <deque>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "foundation/Log.h"
#include "platform/Clock.h"

struct THREADSTATE {
    uint32_t nId = 0;
    std::thread th;
    std::mutex mtx;
    std::condition_variable cv;     // messages, the gate, parking and the end
    std::deque<uint32_t> vQueue;
    std::atomic<bool> bEnded{false};
    std::atomic<bool> bQuit{false};
    std::atomic<bool> bParked{false};
    std::atomic<int> nHold{0};
};

namespace {

struct THREADREGISTRY {
    std::mutex mtx;
    std::unordered_map<uint32_t, std::weak_ptr<THREADSTATE>> mapThreads;
    uint32_t nNextId = 1;
};

THREADREGISTRY& Registry()
{
    static THREADREGISTRY* pReg = new THREADREGISTRY;   // outlives abandoned threads
    return *pReg;
}

std::atomic<bool> bAnyAbandoned{false};

thread_local THREADSTATE* pSelf = nullptr;

std::shared_ptr<THREADSTATE> FindThread(uint32_t nId)
{
    THREADREGISTRY& reg = Registry();
    std::lock_guard<std::mutex> lock(reg.mtx);
    auto it = reg.mapThreads.find(nId);
    if (it == reg.mapThreads.end()) return nullptr;
    return it->second.lock();
}

void Unregister(uint32_t nId)
{
    THREADREGISTRY& reg = Registry();
    std::lock_guard<std::mutex> lock(reg.mtx);
    reg.mapThreads.erase(nId);
}

void PostTo(THREADSTATE& st, uint32_t nMsg)
{
    {
        std::lock_guard<std::mutex> lock(st.mtx);
        st.vQueue.push_back(nMsg);
        if (nMsg == WM_QUIT_MSG) st.bQuit = true;
    }
    st.cv.notify_all();
}

void OpenGate(THREADSTATE& st)
{
    {
        std::lock_guard<std::mutex> lock(st.mtx);
        st.nHold = 0;
    }
    st.cv.notify_all();
}

// Waits up to 1 ms for the thread to end; true when it has.
bool PollEnded(THREADSTATE& st)
{
    std::unique_lock<std::mutex> lock(st.mtx);
    return st.cv.wait_for(lock, std::chrono::milliseconds(1), [&] { return st.bEnded.load(); });
}

}  // namespace

cThread::cThread() : m_dwThreadId(0) {}

cThread::~cThread()
{
    Exit();
}

std::shared_ptr<THREADSTATE> cThread::Held() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_hThread;
}

int cThread::Start(THREADPROC proc, void* arg)
{
    std::shared_ptr<THREADSTATE> old = Held();
    if (old) {
        if (!old->bEnded.load()) return 0;   // still running: refuse
        Wait();
    }
    auto st = std::make_shared<THREADSTATE>();
    {
        THREADREGISTRY& reg = Registry();
        std::lock_guard<std::mutex> lock(reg.mtx);
        do {
            st->nId = reg.nNextId++;
        } while (st->nId == 0 || reg.mapThreads.count(st->nId));
        reg.mapThreads[st->nId] = st;
    }
    try {
        st->th = std::thread([st, proc, arg] {
            pSelf = st.get();
            proc(arg);
            {
                std::lock_guard<std::mutex> lock(st->mtx);
                st->bEnded = true;
            }
            st->cv.notify_all();
            Unregister(st->nId);
            pSelf = nullptr;
        });
    } catch (const std::system_error&) {
        Unregister(st->nId);
        return 0;
    }
    m_dwThreadId = st->nId;
    std::lock_guard<std::mutex> lock(m_mtx);
    m_hThread = st;
    return 1;
}

void cThread::Wait()
{
    std::shared_ptr<THREADSTATE> st = Held();
    if (!st) return;
    if (st.get() == pSelf) return;   // a thread cannot wait for itself
    while (!PollEnded(*st)) {
    }
    if (st->th.joinable()) st->th.join();
    std::lock_guard<std::mutex> lock(m_mtx);
    if (m_hThread == st) m_hThread.reset();
}

int cThread::Suspend()
{
    std::shared_ptr<THREADSTATE> st = Held();
    if (!st) return 1;
    st->nHold.fetch_add(1);
    return 1;
}

int cThread::Resume()
{
    std::shared_ptr<THREADSTATE> st = Held();
    if (!st) return 1;
    {
        std::lock_guard<std::mutex> lock(st->mtx);
        int n = st->nHold.load();
        if (n > 0) st->nHold = n - 1;
    }
    st->cv.notify_all();
    return 1;
}

bool cThread::WaitParked(unsigned nMs)
{
    std::shared_ptr<THREADSTATE> st = Held();
    if (!st) return true;
    std::unique_lock<std::mutex> lock(st->mtx);
    return st->cv.wait_for(lock, std::chrono::milliseconds(nMs),
                           [&] { return st->bParked.load() || st->bEnded.load(); });
}

void cThread::Exit(unsigned nPollLimit)
{
    std::shared_ptr<THREADSTATE> st = Held();
    if (!st) return;
    OpenGate(*st);
    WriteEC("Exit A");
    PostTo(*st, WM_QUIT_MSG);
    WriteEC("Exit B");
    WriteEC("Exit C");
    if (st.get() == pSelf) return;   // asked on the thread itself: it ends when it returns
    unsigned nPolls = 0;
    while (!PollEnded(*st)) {
        PostTo(*st, WM_QUIT_MSG);
        if (++nPolls >= nPollLimit) break;
    }
    WriteEC("Exit D");
    if (st->bEnded.load()) {
        if (st->th.joinable()) st->th.join();
    } else {
        // Never killed: it keeps its state alive and is left to the end of
        // the process.
        WriteReport("Thread %u did not end on its quit message; left running", st->nId);
        bAnyAbandoned = true;
        if (st->th.joinable()) st->th.detach();
    }
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        if (m_hThread == st) m_hThread.reset();
    }
    WriteEC("Exit E");
}

bool cThread::IsRunning() const
{
    std::shared_ptr<THREADSTATE> st = Held();
    return st && !st->bEnded.load();
}

int PostThreadMsg(uint32_t dwThreadId, uint32_t nMsg)
{
    if (dwThreadId == 0) return 0;
    std::shared_ptr<THREADSTATE> st = FindThread(dwThreadId);
    if (!st) return 0;
    PostTo(*st, nMsg);
    return 1;
}

bool PeekThreadMsg(uint32_t* pMsg)
{
    THREADSTATE* st = pSelf;
    if (!st) return false;
    std::lock_guard<std::mutex> lock(st->mtx);
    if (st->vQueue.empty()) return false;
    if (pMsg) *pMsg = st->vQueue.front();
    st->vQueue.pop_front();
    return true;
}

bool WaitThreadMsg(uint32_t* pMsg, unsigned nMs)
{
    HoldPoint();
    THREADSTATE* st = pSelf;
    if (!st) return false;
    std::unique_lock<std::mutex> lock(st->mtx);
    if (!st->cv.wait_for(lock, std::chrono::milliseconds(nMs), [&] { return !st->vQueue.empty(); })) return false;
    if (pMsg) *pMsg = st->vQueue.front();
    st->vQueue.pop_front();
    return true;
}

bool IsQuitPosted()
{
    THREADSTATE* st = pSelf;
    return st && st->bQuit.load();
}

void HoldPoint()
{
    THREADSTATE* st = pSelf;
    if (!st || st->nHold.load() == 0) return;
    std::unique_lock<std::mutex> lock(st->mtx);
    if (st->nHold.load() == 0) return;
    st->bParked = true;
    st->cv.notify_all();
    st->cv.wait(lock, [&] { return st->nHold.load() == 0; });
    st->bParked = false;
}

void HoldSleep(unsigned nMs)
{
    HoldPoint();
    SleepMs(nMs);
    HoldPoint();
}

uint32_t GetCurrentThreadMsgId()
{
    THREADSTATE* st = pSelf;
    return st ? st->nId : 0;
}

bool AnyThreadAbandoned()
{
    return bAnyAbandoned.load();
}
