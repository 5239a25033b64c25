#pragma once
// The game's worker threads and how the window thread holds them around
// modal work.
#include "foundation/Thread.h"

extern cThread thGame;
extern cThread thPause;
extern cThread thRanking;
extern cThread thLoad;

// Parks the game threads at their next safe point. With bWait the window
// thread waits (serving requests meanwhile) until each running thread has
// parked; without it (the requester is blocked in its own request anyway)
// the gates are only closed.
void SuspendThreads(bool bWait = true);
void ResumeThreads();

// True while a stage-play wait loop runs (its thread, or a nested loop of
// the game thread that announced itself). A close during such a loop sets
// bPlayClosing and posts the quit message to thPause; a nested loop on the
// game thread ends when it sees bPlayClosing.
bool IsPauseLoopRunning();
void SetPauseLoopRunning(bool bRunning);
