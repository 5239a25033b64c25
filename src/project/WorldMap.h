#pragma once
// The story mode's world map: a grid of chip kinds, the chip kinds with their
// passability, the locations with their stage entries, the cursor's start
// cell and the background.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

class cWorldChip : public cRecord {
public:
    cWorldChip() { Clear(); }
    void RegisterFields(int nVer) override;

    int32_t m_nUnused = 0;
    int32_t m_bBlock = 0;    // cannot be entered unless an active stage entry stands on it
    int32_t m_nPicture = 0;  // tile of the chip picture, 5 per row
    std::string m_strName;
    std::string m_strMemo;
};

// Kinds of a stage entry.
enum WORLDSTAGEKIND : int32_t { WORLDSTAGE_STAGE = 0, WORLDSTAGE_BLOCK = 2 };
// What the clear of an entry's stage does to the story (its m_nReserved):
// nothing more, the world map starts over, the story ends at the title.
enum WORLDENDKIND : int32_t { WORLDEND_NONE = 0, WORLDEND_RESTART = 1, WORLDEND_TITLE = 2 };

class cWorldStage : public cRecord {
public:
    cWorldStage() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void SetDefault();   // cleared, m_nDecorateA 1

    int32_t m_nKind = 0;
    int32_t m_nEventRow = 0;
    int32_t m_nStage = 0;
    int32_t m_bConfirm = 0;
    int32_t m_bReplayable = 0;
    int32_t m_nReserved = 0;   // the end kind (WORLDENDKIND) of the entry's stage
    int32_t m_nNeedFlag = 0;
    int32_t m_nVar = 0;
    int32_t m_nValue = 0;
    int32_t m_nCompare = 0;
    int32_t m_nNeedTotal = 0;
    int32_t m_bDecorate = 0;
    int32_t m_nDecorateA = 1;
    int32_t m_nDecorateB = 0;
    std::string m_strText;
    std::string m_strFile;
};

class cWorldPlace : public cRecord {
public:
    cWorldPlace() { Clear(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    int32_t m_nX = 0;
    int32_t m_nY = 0;
    std::string m_strName;
    cChkVector<cWorldStage> m_vStage;
};

struct WORLDPOINT {
    int32_t x;
    int32_t y;
};

class cWorldMap : public cRecord {
public:
    cWorldMap() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    void SetDefault();
    // Resizes the grid, keeping the cells that lie inside both sizes. 0 (and
    // nothing changes) for a width or height below 1 or too large.
    int SetSize(int nWidth, int nHeight);
    // Brings the map into a consistent form: sizes and pitch, the cell list,
    // at least one chip, start cell, cells and locations inside the grid.
    void Validate();

    cWorldPlace* FindPlace(int x, int y);
    cWorldPlace* FindPlaceAt(const WORLDPOINT& pt) { return FindPlace(pt.x, pt.y); }
    int HasStage(const char* pszKey, int bDecorate, int a, int b) const;

    // Chip index of cell (x, y); 0 outside the grid.
    int GetCell(int x, int y) const;
    void SetCell(int x, int y, int nChip);

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nPitch = 0;
    int32_t m_nPitchShift = 0;
    cChkVector<cWorldChip> m_vChip;
    cChkVector<int32_t> m_vCell;
    cChkVector<cWorldPlace> m_vPlace;
    cChkVector<cWorldPlace> m_vDefaultPlace;
    int32_t m_nStartX = 0;
    int32_t m_nStartY = 0;
    int32_t m_nBackColor = 0;
    int32_t m_bBackPicture = 0;
    std::string m_strName;
    std::string m_strBackFile;
};

// Largest grid edge that SetSize and the reader accept.
constexpr int WORLDMAP_MAX_SIZE = 1024;
