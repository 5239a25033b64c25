#pragma once
// The start-up loader that brings the whole game up between the creation of
// the main window and the start of the game thread, and the shutdown that
// releases what it set up.
#include "project/StartUpSteps.h"

IStartUpServices& GetStartUpServices();
void SetStartUpServices(IStartUpServices* p);   // null restores the default

// The run's start: 1 success, 0 failure (the caller then runs Shutdown).
// A command line of 260 bytes or more is cut to fit.
int LoadStartUp(const char* pszCmdLine, int bMaximizeShow);
void Shutdown();
