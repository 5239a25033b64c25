#pragma once
// Dedicated character bitmaps, pictures, sounds and music of the project
// database: each a name, a file and a few integers.
#include <cstdint>
#include <string>

#include "foundation/Record.h"

class cBmpCharaExc : public cRecord {
public:
    cBmpCharaExc() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void SetDefault();

    // Cell edge in dots (32, or 32 x cell size with large cells), cells per
    // row of the 512-dot sheet, and the top-left corner of a cell.
    int GetCellSize() const;
    int GetCellsPerRow() const;
    void GetCellPos(int nCell, int* pX, int* pY) const;

    std::string m_strName;
    int32_t m_nReserved = 0;
    std::string m_strBitmap;
    int32_t m_bLargeCells = 0;
    int32_t m_nCellSize = 2;   // 1..16, in units of 32 dots
};

class cPicture : public cRecord {
public:
    cPicture() { Clear(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;

    std::string m_strName;
    int32_t m_nReserved = 0;
    std::string m_strFile;
};

class cSound : public cRecord {
public:
    cSound() { Clear(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;

    std::string m_strName;
    std::string m_strFile;
    int32_t m_nReserved = 0;
};

class cBgm : public cRecord {
public:
    cBgm() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void SetDefault();

    std::string m_strName;
    int32_t m_nReserved = 0;
    std::string m_strFile;
    int32_t m_nVolume = 100;   // percent
};

// Sound-table numbering: the 17 system sounds come first, database sound k
// (k >= 1) is table entry k + 16.
constexpr int SYSTEM_SOUND_COUNT = 17;
inline int GetSoundTableIndex(int nDatabaseSound) { return nDatabaseSound + SYSTEM_SOUND_COUNT - 1; }
// Size of the sound table for a Sound.dat of nDatabaseSounds entries: never
// smaller than the 17 system sounds, even for an empty list.
inline int GetSoundTableSize(int nDatabaseSounds) {
    int n = nDatabaseSounds + SYSTEM_SOUND_COUNT - 1;
    return n < SYSTEM_SOUND_COUNT ? SYSTEM_SOUND_COUNT : n;
}
