#pragma once
// Thread wrapper. Each thread has a message queue of its own; a thread
// procedure polls it and returns when it meets the quit message. Threads are
// never killed or suspended at arbitrary points: Suspend closes a hold gate
// that the thread passes at its safe points (HoldPoint, HoldSleep), Exit
// posts the quit message and polls every 1 ms.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

enum : uint32_t { WM_QUIT_MSG = 0x0012, WM_APP_MSG = 0x8000 };

typedef unsigned (*THREADPROC)(void*);

struct THREADSTATE;

class cThread {
public:
    cThread();
    ~cThread();
    cThread(const cThread&) = delete;
    cThread& operator=(const cThread&) = delete;

    // 1 when started; 0 when it could not be created or the thread it holds
    // is still running (an ended one is joined first).
    int Start(THREADPROC proc, void* arg);
    // Waits (1 ms polls) until the thread has ended; then idle. Returns at
    // once when idle.
    void Wait();
    // Closes the hold gate; the thread parks at its next safe point. 1 (also
    // when no thread is held).
    int Suspend();
    // Opens the gate once the suspensions are balanced. 1 (also when no
    // thread is held or the gate is open).
    int Resume();
    // Waits until the thread is parked at its gate, has ended, or nMs passed.
    // True when parked or ended.
    bool WaitParked(unsigned nMs);
    // Opens the gate, posts the quit message and polls every 1 ms (posting it
    // again each time) until the thread has ended. A thread that has not
    // ended after nPollLimit polls is logged and left running, never killed;
    // then AnyThreadAbandoned is true and the process must end without
    // running what it could touch (quick_exit).
    void Exit(unsigned nPollLimit = EXIT_POLL_LIMIT);
    static constexpr unsigned EXIT_POLL_LIMIT = 200;

    bool IsRunning() const;

    std::atomic<uint32_t> m_dwThreadId;      // 0 before the first start
    std::shared_ptr<THREADSTATE> m_hThread;  // null when idle; guarded by m_mtx

private:
    std::shared_ptr<THREADSTATE> Held() const;
    mutable std::mutex m_mtx;
};

// Posts a message to the queue of the thread with that id. 0 when no such
// thread runs.
int PostThreadMsg(uint32_t dwThreadId, uint32_t nMsg);
// Takes the next message of the calling thread's queue; false when empty.
bool PeekThreadMsg(uint32_t* pMsg);
// Waits up to nMs for a message of the calling thread's queue (passing the
// hold gate first); false when none came.
bool WaitThreadMsg(uint32_t* pMsg, unsigned nMs);
// True when a quit message has been posted to the calling thread.
bool IsQuitPosted();
// A safe point: parks here while the thread's gate is closed.
void HoldPoint();
// A 1 ms poll of a waiting thread: a safe point, the sleep, a safe point.
void HoldSleep(unsigned nMs);
// Id of the calling thread as cThread knows it (0 for threads it did not start).
uint32_t GetCurrentThreadMsgId();

// True when some Exit gave up on a thread; the process must then end without
// destructors (quick_exit).
bool AnyThreadAbandoned();
