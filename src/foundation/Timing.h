#pragma once
// Stopwatch, frame gates and counters. Times are 32-bit milliseconds of
// GetTicks, compared by unsigned difference, so they survive the wrap.
#include <cstdint>

struct DDSURFACEDATA;

uint32_t StartTimer();
uint32_t StartTimer2();
uint32_t GetTimer(int bRestart);
uint32_t GetTimerLap(int bUpdate);
int CountDivider(int nMode, unsigned n);
int CountFps(int bCount);
bool IsFrameTime(unsigned nFps);

// The Direct3D frame limiter. The profile test and the statistics drawing
// come from the graphics layer through these hooks.
bool WaitFrame(unsigned nFps, int bShow, DDSURFACEDATA* lpSheet);
void SetWaitFrameHooks(bool (*pfnIsDirect3D)(), void (*pfnDrawStats)(DDSURFACEDATA*, const char*));

// The averages of the statistics rings (tests).
unsigned GetFpsAverage();
unsigned GetWorkTimeAverage();

// Restores every timing state to its first-call state (tests).
void ResetTiming();
