#pragma once
// The start-up steps that read the project, each reporting its own failure
// (report log and error box) and returning 0 when start-up must end:
// the data folder and the folders beside it, the database with its working
// copies, System.dat and the world map. The caller runs them in start-up
// order, the common palette before the world map.

// Makes the project the answer to what records ask while they are read
// (before the database is loaded).
void InstallProjectContext(bool bTestPlay);

int StartUpDataFolders(void* hWnd);
int StartUpDatabase();
int StartUpSystemData();
int StartUpWorldMap();

// What the shell's start-up takes of the loaded settings and database.
#include <string>
#include <vector>

#include "project/StartUpSteps.h"

STARTUPSYSTEM GetProjectStartUpSystem();
// The System.ini key list with its defaults, in list order.
std::vector<INIITEM> GetProjectIniItems();
// The wave file of every Sound.dat record (record 0 included).
std::vector<std::string> GetProjectSoundFiles();
