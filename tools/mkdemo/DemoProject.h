#pragma once
// The demo project, built from code with the project's own record writers.
// Every function writes into the current folder and returns false when a
// file could not be written.
class cDatabase;
class cSystemData;
class cWorldMap;
class cCommonPalette;

bool WriteDemoImages();
bool WriteDemoSounds();

void MakeDemoDatabase(cDatabase& db);
void MakeDemoSystem(cSystemData& sys);
void MakeDemoWorldMap(cWorldMap& map);
bool WriteDemoSystemIni();
void MakeDemoCommonPalette(cCommonPalette& cp);
bool WriteDemoStages(const cCommonPalette& cp);
// The stage files the demo writes, as the loader looks them up (ended by
// a null).
const char* const* GetDemoStageFiles();
