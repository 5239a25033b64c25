#pragma once
// The demo project, built from code with the project's own record writers.
// Every function writes into the current folder and returns false when a
// file could not be written.
class cDatabase;
class cSystemData;
class cWorldMap;
class cCommonPalette;
class cStage;

bool WriteDemoImages();
bool WriteDemoSounds();

void MakeDemoDatabase(cDatabase& db);
void MakeDemoSystem(cSystemData& sys);
void MakeDemoWorldMap(cWorldMap& map);
bool WriteDemoSystemIni();
void MakeDemoCommonPalette(cCommonPalette& cp);
bool WriteDemoStages(const cCommonPalette& cp);
// The valley of devices (k01), a stage of the settings the others leave at
// their defaults; played only in free mode and by the tests.
void MakeDemoDeviceStage(const cCommonPalette& cp, cStage& st);
// The stage files the demo writes, as the loader looks them up (ended by
// a null).
const char* const* GetDemoStageFiles();
