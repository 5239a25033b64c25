#include "platform/MainThread.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace {

enum eRequestState { REQ_PENDING, REQ_RUNNING, REQ_DONE, REQ_CANCELLED };

struct MAINREQUEST {
    const std::function<void()>* pfn = nullptr;
    eRequestState eState = REQ_PENDING;
    std::exception_ptr pError;
};

struct MAINTHREADQUEUE {
    std::mutex mtx;
    std::condition_variable cvDone;     // requesters wait here
    std::condition_variable cvArrive;   // the main loop waits here
    std::deque<std::shared_ptr<MAINREQUEST>> vPending;
    std::thread::id idMain;
    bool bHasMain = false;
    bool bServing = false;
    bool bCancelled = false;
};

MAINTHREADQUEUE& Queue()
{
    static MAINTHREADQUEUE q;
    return q;
}

void TakeBack(MAINTHREADQUEUE& q, const std::shared_ptr<MAINREQUEST>& req)
{
    for (auto it = q.vPending.begin(); it != q.vPending.end(); ++it) {
        if (*it == req) {
            q.vPending.erase(it);
            return;
        }
    }
}

}  // namespace

void SetMainThread()
{
    MAINTHREADQUEUE& q = Queue();
    std::lock_guard<std::mutex> lock(q.mtx);
    q.idMain = std::this_thread::get_id();
    q.bHasMain = true;
}

bool IsMainThread()
{
    MAINTHREADQUEUE& q = Queue();
    std::lock_guard<std::mutex> lock(q.mtx);
    return q.bHasMain && q.idMain == std::this_thread::get_id();
}

bool RunOnMainThread(const std::function<void()>& fn)
{
    MAINTHREADQUEUE& q = Queue();
    std::unique_lock<std::mutex> lock(q.mtx);
    const bool bOnMain = q.bHasMain && q.idMain == std::this_thread::get_id();
    if (bOnMain || (!q.bServing && !q.bCancelled)) {
        lock.unlock();
        fn();
        return true;
    }
    if (q.bCancelled) return false;

    auto req = std::make_shared<MAINREQUEST>();
    req->pfn = &fn;
    q.vPending.push_back(req);
    q.cvArrive.notify_all();
    q.cvDone.wait(lock, [&] {
        return req->eState == REQ_DONE || req->eState == REQ_CANCELLED ||
               (req->eState == REQ_PENDING && !q.bServing);
    });
    if (req->eState == REQ_PENDING) {
        // The main loop stopped serving before taking the job: run it here,
        // unless it stopped because of a cancellation.
        TakeBack(q, req);
        if (q.bCancelled) return false;
        lock.unlock();
        fn();
        return true;
    }
    if (req->eState == REQ_CANCELLED) return false;
    if (req->pError) std::rethrow_exception(req->pError);
    return true;
}

int ServeMainThreadRequests()
{
    MAINTHREADQUEUE& q = Queue();
    int nServed = 0;
    std::unique_lock<std::mutex> lock(q.mtx);
    while (!q.vPending.empty()) {
        std::shared_ptr<MAINREQUEST> req = q.vPending.front();
        q.vPending.pop_front();
        req->eState = REQ_RUNNING;
        lock.unlock();
        try {
            (*req->pfn)();
        } catch (...) {
            req->pError = std::current_exception();
        }
        lock.lock();
        req->eState = REQ_DONE;
        ++nServed;
        q.cvDone.notify_all();
    }
    return nServed;
}

bool WaitMainThreadRequests(unsigned nMs)
{
    MAINTHREADQUEUE& q = Queue();
    std::unique_lock<std::mutex> lock(q.mtx);
    return q.cvArrive.wait_for(lock, std::chrono::milliseconds(nMs), [&] { return !q.vPending.empty(); });
}

void SetMainLoopServing(bool bServing)
{
    MAINTHREADQUEUE& q = Queue();
    std::lock_guard<std::mutex> lock(q.mtx);
    q.bServing = bServing;
    if (bServing) q.bCancelled = false;
    q.cvDone.notify_all();
}

bool IsMainLoopServing()
{
    MAINTHREADQUEUE& q = Queue();
    std::lock_guard<std::mutex> lock(q.mtx);
    return q.bServing;
}

void CancelMainThreadRequests()
{
    MAINTHREADQUEUE& q = Queue();
    std::lock_guard<std::mutex> lock(q.mtx);
    q.bCancelled = true;
    q.bServing = false;
    for (auto& req : q.vPending) req->eState = REQ_CANCELLED;
    q.vPending.clear();
    q.cvDone.notify_all();
    q.cvArrive.notify_all();
}
