#pragma once
// The player's options, "user_data\Option.dat": the 8-bit palette variant,
// music on or off, the sound volume, the ranking registration mode and the
// name used for rankings.
#include <cstdint>
#include <string>

#include "foundation/Record.h"

constexpr int OPTION_PALETTE_VARIANTS = 24;
constexpr int OPTION_VOLUME_STEPS = 11;
constexpr int OPTION_RANKING_MODES = 4;

class cOption : public cRecord {
public:
    cOption();
    void RegisterFields(int nVer) override;
    // The base read, then values out of their ranges take their defaults.
    void Read(cDataFile* fp) override;
    void SetDefault();
    void Normalize();
    // Reads the player's option file: 1 when read; a missing, damaged or
    // newer file leaves the options as they were. m_nFileState tells what
    // was found.
    int LoadFile(const char* pszPath);
    // Writes the options: 1 when written, or when the file found at start
    // was a newer program's or damaged and the player chose to keep it (the
    // options stay in force for the run); 0 when the write failed.
    int SaveFile(const char* pszPath);

    int32_t m_nPaletteVariant = 0;
    int32_t m_bBgm = 1;
    int32_t m_nVolume = 7;
    int32_t m_nRankingMode = 0;
    std::string m_strName = "aaa";
    // What LoadFile found on disk (PLAYERFILE_..., not stored).
    int m_nFileState = 0;
};

extern cOption recOption;

// Sound volumes of the volume steps, in hundredths of a decibel.
extern const int anVolumeTable[OPTION_VOLUME_STEPS];
// The volume of a step; a step out of range reads as the default step.
int GetOptionVolume(int nStep);
