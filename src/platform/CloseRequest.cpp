#include "platform/CloseRequest.h"

#include <atomic>

namespace {

// -1: nothing pending; otherwise the strongest pending kind.
std::atomic<int> nPendingKind{-1};
std::atomic<uint32_t> nRequestCount{0};
std::atomic<bool> bFatalPosted{false};

void PostKind(eCloseKind eKind)
{
    nRequestCount.fetch_add(1, std::memory_order_relaxed);
    int nKind = static_cast<int>(eKind);
    int nOld = nPendingKind.load(std::memory_order_relaxed);
    // Keep the stronger request: a fatal close outranks a user's close.
    while (nOld < nKind && !nPendingKind.compare_exchange_weak(nOld, nKind, std::memory_order_acq_rel)) {
    }
}
}  // namespace

void PostCloseRequest(eCloseKind eKind)
{
    if (eKind == CLOSE_FATAL) bFatalPosted.store(true, std::memory_order_release);
    PostKind(eKind);
}

void PostSignalCloseRequest()
{
    PostKind(CLOSE_FATAL);
}

bool TakeCloseRequest(eCloseKind* pKind)
{
    int nKind = nPendingKind.exchange(-1, std::memory_order_acq_rel);
    if (nKind < 0) return false;
    if (pKind) *pKind = static_cast<eCloseKind>(nKind);
    return true;
}

bool IsCloseRequested()
{
    return nPendingKind.load(std::memory_order_acquire) >= 0;
}

uint32_t GetCloseRequestCount()
{
    return nRequestCount.load(std::memory_order_relaxed);
}

bool WasFatalCloseRequested()
{
    return bFatalPosted.load(std::memory_order_acquire);
}

void ResetCloseRequests()
{
    bFatalPosted.store(false, std::memory_order_release);
    nPendingKind.store(-1, std::memory_order_release);
    nRequestCount.store(0, std::memory_order_relaxed);
}
