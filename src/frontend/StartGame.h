#pragma once
// Starting a play directly on one stage file: the command line or
// "FreeStage", the free mode's stage-file dialog and the stage-play scene's
// restart.
#include <string>

// Resets the live progress, loads the stage (flag: search the numbered
// files), sets world and stage 1 and the lives of the free mode (unlimited
// when started directly on a stage file) and the stage name. 1 when loaded;
// 0 when the stage could not be loaded (the loader has reported it).
int StartFreeGame(const std::string& strPath, int bFindLatest);
