#include "foundation/Timing.h"

#include <atomic>
#include <cstdio>

#include "platform/Clock.h"

namespace {

constexpr int STATS_RING = 16;

struct TIMINGSTATE {
    uint32_t dwTimerStart = 0;
    uint32_t dwTimerLap = 1;

    unsigned nDivider = 0;

    bool bFpsStarted = false;
    uint32_t dwFpsStart = 0;
    int nFpsFrames = 0;
    int nFpsLatched = 0;
    uint32_t dwFpsLast = 0;

    bool bGateStarted = false;
    uint32_t dwNextFrame = 0;
    uint32_t dwLastPoll = 0;

    bool bGroupStarted = false;
    uint32_t dwTime_OneSec = 0;
    unsigned nFrameCt_OneSec = 0;

    unsigned aFps[STATS_RING] = {};
    unsigned aWork[STATS_RING] = {};
    int nFpsIndex = 0, nWorkIndex = 0;
    unsigned nFpsAverage = 0, nWorkAverage = 0;
    bool bStatsDue = true;
};

TIMINGSTATE st;

std::atomic<bool (*)()> pfnIsDirect3DHook{nullptr};
std::atomic<void (*)(DDSURFACEDATA*, const char*)> pfnDrawStatsHook{nullptr};

// now - since, as elapsed milliseconds across the wrap.
uint32_t Elapsed(uint32_t now, uint32_t since) { return now - since; }

// True when now has reached t (t at most half the clock's range ahead).
bool Reached(uint32_t now, uint32_t t) { return static_cast<int32_t>(now - t) >= 0; }

// Stores a sample in a ring; each time the ring is full the average of its
// 16 samples is taken.
void AddSample(unsigned* aRing, int* pIndex, unsigned* pAverage, unsigned nSample)
{
    aRing[*pIndex] = nSample;
    if (++*pIndex >= STATS_RING) {
        *pIndex = 0;
        unsigned nSum = 0;
        for (int i = 0; i < STATS_RING; ++i) nSum += aRing[i];
        *pAverage = nSum >> 4;
    }
}

}  // namespace

uint32_t StartTimer()
{
    st.dwTimerStart = GetTicks();
    return st.dwTimerStart;
}

uint32_t StartTimer2()
{
    st.dwTimerStart = GetTicks();
    return st.dwTimerStart;
}

uint32_t GetTimer(int bRestart)
{
    uint32_t now = GetTicks();
    uint32_t nElapsed = Elapsed(now, st.dwTimerStart);
    if (bRestart) st.dwTimerStart = now;
    return nElapsed;
}

uint32_t GetTimerLap(int bUpdate)
{
    if (bUpdate) st.dwTimerLap = Elapsed(GetTicks(), st.dwTimerStart);
    return st.dwTimerLap;
}

int CountDivider(int nMode, unsigned n)
{
    if (nMode == 0) {
        st.nDivider = 0;
        return 0;
    }
    if (nMode == 2) return st.nDivider == 0 ? 1 : 0;
    if (n == 0) return 0;   // a divider of 0 never divides
    if (++st.nDivider >= n) {
        st.nDivider = 0;
        return 1;
    }
    return 0;
}

int CountFps(int bCount)
{
    if (!st.bFpsStarted) {
        st.bFpsStarted = true;
        st.dwFpsStart = GetTicks();
    }
    if (bCount) {
        uint32_t now = GetTicks();
        st.dwFpsLast = now;
        if (Elapsed(now, st.dwFpsStart) >= 1000) {
            st.nFpsLatched = st.nFpsFrames;
            st.dwFpsStart = now;
            st.nFpsFrames = 0;
            return st.nFpsLatched;
        }
        ++st.nFpsFrames;
    }
    return st.nFpsLatched;
}

bool IsFrameTime(unsigned nFps)
{
    if (!st.bGateStarted) {
        st.bGateStarted = true;
        st.dwNextFrame = GetTicks();
    }
    uint32_t now = GetTicks();
    st.dwLastPoll = now;
    if (nFps == 0) return true;
    if (!Reached(now, st.dwNextFrame)) return false;
    st.dwNextFrame = now + 1000 / nFps;
    return true;
}

void SetWaitFrameHooks(bool (*pfnIsDirect3D)(), void (*pfnDrawStats)(DDSURFACEDATA*, const char*))
{
    pfnIsDirect3DHook.store(pfnIsDirect3D);
    pfnDrawStatsHook.store(pfnDrawStats);
}

bool WaitFrame(unsigned nFps, int bShow, DDSURFACEDATA* lpSheet)
{
    bool (*pfnIsDirect3D)() = pfnIsDirect3DHook.load();
    if (!pfnIsDirect3D || !pfnIsDirect3D() || nFps == 0) return true;
    if (!st.bGroupStarted) {
        st.bGroupStarted = true;
        st.dwTime_OneSec = GetTicks();
    }
    const bool bStats = bShow && lpSheet;
    if (bStats && st.bStatsDue) {
        st.bStatsDue = false;
        AddSample(st.aWork, &st.nWorkIndex, &st.nWorkAverage, GetTimerLap(0));
        AddSample(st.aFps, &st.nFpsIndex, &st.nFpsAverage, static_cast<unsigned>(CountFps(0)));
    }
    uint32_t now = GetTicks();
    double dDue = static_cast<double>(st.nFrameCt_OneSec) * 1000.0 / nFps;
    if (static_cast<double>(Elapsed(now, st.dwTime_OneSec)) < dDue) return false;

    // A lowered rate can leave the count above it: a new group starts then too.
    if (++st.nFrameCt_OneSec >= nFps) {
        st.nFrameCt_OneSec = 0;
        st.dwTime_OneSec = now;
    }
    if (bStats) {
        char szText[160];
        std::snprintf(szText, sizeof(szText), "FPS-Ave %u(%u)\ndwTime_OneSec %u\nnFrameCt_OneSec %u", st.nFpsAverage,
                      st.nWorkAverage, st.dwTime_OneSec, st.nFrameCt_OneSec);
        if (void (*pfnDraw)(DDSURFACEDATA*, const char*) = pfnDrawStatsHook.load()) pfnDraw(lpSheet, szText);
        st.bStatsDue = true;
    }
    return true;
}

unsigned GetFpsAverage() { return st.nFpsAverage; }
unsigned GetWorkTimeAverage() { return st.nWorkAverage; }

void ResetTiming()
{
    st = TIMINGSTATE();
}
