#pragma once
// Stopwatch, frame gates and counters. Times are 32-bit milliseconds of
// GetTicks, compared by unsigned difference, so they survive the wrap.
//
// One state of each, shared by whichever thread runs the frame loop; the
// threads hand the frame loop over to each other and never use it at once.
#include <cstdint>

struct DDSURFACEDATA;

// The stopwatch: start it, read it (bRestart: and start it again).
uint32_t StartTimer();
uint32_t StartTimer2();
uint32_t GetTimer(int bRestart);
// With bUpdate: the stopwatch reading, kept as the last lap; without: the
// last lap kept (1 before the first update).
uint32_t GetTimerLap(int bUpdate);
// nMode 0 resets and returns 0; 2 returns 1 when the count is at 0; any
// other mode counts one call and returns 1 on every n-th (never when n is 0).
int CountDivider(int nMode, unsigned n);
// The frames of the last full second (0 during the first); bCount counts
// one frame.
int CountFps(int bCount);
// The frame gate: true once per 1000 / nFps ms (always when nFps is 0),
// counted from the moment it opened.
bool IsFrameTime(unsigned nFps);

// The Direct3D frame limiter: releases nFps frames a second, frame k of a
// group at k * 1000 / nFps ms after the group's first. True at once when the
// display is not on Direct3D or nFps is 0. The profile test and the drawing
// of the statistics come from the graphics layer through the hooks.
bool WaitFrame(unsigned nFps, int bShow, DDSURFACEDATA* lpSheet);
void SetWaitFrameHooks(bool (*pfnIsDirect3D)(), void (*pfnDrawStats)(DDSURFACEDATA*, const char*));

// The averages of the statistics rings (tests).
unsigned GetFpsAverage();
unsigned GetWorkTimeAverage();

// Restores every timing state to its first-call state (tests).
void ResetTiming();
