#pragma once
// Thread wrapper. Each thread has a message queue of its own; a thread
// procedure polls it and returns when it meets the quit message. Threads are
// never killed or suspended at arbitrary points: Suspend closes a hold gate
// that the thread passes at its safe points (HoldPoint), Exit posts the quit
// message and polls every 1 ms.
#include <atomic>
#include <cstdint>
#include <memory>

enum : uint32_t { WM_QUIT_MSG = 0x0012, WM_APP_MSG = 0x8000 };

typedef unsigned (*THREADPROC)(void*);

struct THREADSTATE;

class cThread {
public:
    cThread();
    ~cThread();
    cThread(const cThread&) = delete;
    cThread& operator=(const cThread&) = delete;

    // 1 when started, 0 when it could not be created or a thread is still held
    // and running.
    int Start(THREADPROC proc, void* arg);
    // Waits (1 ms polls) until the thread has ended; then idle.
    void Wait();
    // Closes the hold gate; the thread parks at its next HoldPoint. 1 on
    // success or when no thread is held.
    int Suspend();
    // Opens the gate once the suspensions are balanced.
    int Resume();
    // Waits until the thread is parked at its gate, has ended, or nMs passed.
    bool WaitParked(unsigned nMs);
    // Posts the quit message and polls every 1 ms until the thread has ended.
    // A thread that does not end is logged and left running (never killed);
    // the process then ends without running what it could touch.
    void Exit();

    bool IsRunning() const;
    uint32_t m_dwThreadId;
    std::shared_ptr<THREADSTATE> m_hThread;  // null when idle
};

// Posts a message to the queue of the thread with that id. 0 when no such
// thread runs.
int PostThreadMsg(uint32_t dwThreadId, uint32_t nMsg);
// Takes the next message of the calling thread's queue; false when empty.
bool PeekThreadMsg(uint32_t* pMsg);
// True when a quit message has been posted to the calling thread.
bool IsQuitPosted();
// A safe point: parks here while the thread's gate is closed.
void HoldPoint();
// Id of the calling thread as cThread knows it (0 for threads it did not start).
uint32_t GetCurrentThreadMsgId();

// True when some Exit gave up on a thread; the process must then end without
// destructors (quick_exit).
bool AnyThreadAbandoned();
