#pragma once
// Loading a stage file for play: the numbered file is found, its trailer
// checked, the stage read on the loader thread into a scratch record while
// the asking thread keeps taking its messages, and on success the stage
// replaces recStage; its settings go to the header stage and its hero's
// placement to the hero record.
#include <string>

class cStage;
class cCharaData;
class cThread;

// Stage file extension of the numbered stage files.
constexpr const char* STAGE_FILE_EXT = "stg4";

// 1 on success. A failure leaves recStage as it was; the messages of a
// damaged trailer and of a stage without a hero also ask the main window to
// close. lpHeader and lpHero may be null. Runs the read on thLoad.
int LoadStage(const char* path, int bFindLatest, cStage* lpHeader, cCharaData* lpHero);
// The same on a given loader thread.
int LoadStageOn(cThread& thread, const char* path, int bFindLatest, cStage* lpHeader, cCharaData* lpHero);

// 1 when the file may be loaded; 0 (after its message and a close request)
// when a file of version 174 or later does not end with the trailer.
int CheckStageTrailer(const char* path);

// The load-failure report of the database list loader.
void ReportLoadFailure(const std::string& name);
