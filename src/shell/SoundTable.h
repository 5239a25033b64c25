#pragma once
// The list of sounds to load: the 17 system sounds, then the database's
// sounds from record 1 on, database sound k at entry k + 16.
#include <string>
#include <vector>

#include "sound/WaveSound.h"

#include "project/MediaRecords.h"   // SYSTEM_SOUND_COUNT

// vSystem holds the system sound files (at most 17 are used), vUser the file
// of every Sound.dat record (record 0 included, never loaded). The table is
// max(17, n + 16) entries long, so every system sound has its entry even with
// an empty database.
void BuildSoundFileTable(std::vector<SOUNDFILE>& vTable, const std::vector<std::string>& vSystem,
                         const std::vector<std::string>& vUser);
