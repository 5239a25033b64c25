#pragma once
// Rankings: per stage and play mode a file ("rkg" beside the mode's other
// files) with five tables, one per ranking kind (0 score, 1 remaining time,
// 2 clear time, 3 remaining HP, 4 remaining SP), each with its places in
// rank order.
//
// File layout (after the version word): the ranking's record body (no
// fields, no strings), the table count and the tables; a table is its body
// (m_bHigher) and its entry count and entries; an entry is its body (m_bUse,
// m_nScore, the name). Counts are bounded by the bytes left; a table keeps
// the number of places it was stored with.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

constexpr int RANKING_TABLES = 5;
constexpr int RANKING_PLACES = 20;

class cRankEntry : public cRecord {
public:
    cRankEntry() { Clear(); }
    void RegisterFields(int nVer) override;
    int32_t m_bUse = 0;
    int32_t m_nScore = 0;
    std::string m_strName;
};

class cRankTable : public cRecord {
public:
    explicit cRankTable(int bHigher = 1);
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    // The place the score would take (the first empty place or the first
    // whose value it beats strictly), or -1.
    int FindRank(int32_t nScore) const;
    // Inserts at FindRank's place; the table keeps its number of places.
    void Insert(const std::string& strName, int32_t nScore);

    int32_t m_bHigher = 1;   // 1 a greater value ranks higher, 0 a smaller one
    cChkVector<cRankEntry> m_vEntry;
};

// SaveFor's answer for a file the player kept.
constexpr int RANKING_KEPT = 2;

class cRanking : public cRecord {
public:
    cRanking() { Reset(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    // Transactional: 1 when the whole file was read (the tables replaced),
    // 0 otherwise (the record untouched).
    int Load(const char* path);
    // Five default tables (greater first, except the clear time).
    void Reset();
    // Table of a kind; null for a kind the ranking does not hold.
    cRankTable* GetTable(int nKind);
    const cRankTable* GetTable(int nKind) const;
    // FindRank of the kind's table; -1 when there is none.
    int FindRank(int nKind, int32_t nScore) const;

    // Reads the ranking of a stage in a play mode (0..2): 1 when read; else
    // the defaults and 0. The record changes only when the whole file was
    // read. m_nFileState tells what was found.
    int LoadFor(int nMode, const std::string& strStage, int nDecorate, int a, int b);
    // 1 when written (atomically); 0 when there is no path or it failed;
    // RANKING_KEPT when the file the last LoadFor found was a newer
    // program's or damaged and the player chose to keep it.
    int SaveFor(int nMode, const std::string& strStage, int nDecorate, int a, int b);

    cChkVector<cRankTable> m_vTable;
    // What the last LoadFor found on disk (PLAYERFILE_..., not stored).
    int m_nFileState = 0;
};

// The default "greater ranks higher" flag of a kind.
int DefaultRankHigher(int nKind);

// Folder of the mode + the stage's file name (decorated in story mode) +
// "rkg"; empty for a mode outside 0..2 or an empty name.
std::string MakeRankingPath(int nMode, const std::string& strStage, int nDecorate, int a, int b);

extern cRanking recRanking;
