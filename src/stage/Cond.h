#pragma once
// A condition of a placement, a flow or a command: compares a variable, a
// status or a distance. The flow engine evaluates it; this record stores it
// and upgrades the layouts of older data versions.
#include <cstdint>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

enum eCondKind {
    COND_NONE = 0,
    COND_COMMON_VAR = 1,
    COND_STAGE_VAR = 2,
    COND_CHARA_VAR = 3,
    COND_STATUS = 4,
    COND_STATUS2 = 5,
    COND_STATUS3 = 6,
    COND_DISTANCE = 7,
};

class cCond : public cRecord {
public:
    cCond() { Clear(); }

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;

    int8_t m_nKind = 0;
    uint8_t m_nLeftType = 0;
    uint8_t m_nLeftVarKind = 0;
    int8_t m_nSubject = 0;
    int8_t m_nStatus = 0;
    int16_t m_nVarNum = 0;
    uint8_t m_nSource = 0;
    int32_t m_nValue = 0;
    int32_t m_nRandMin = 0;
    int32_t m_nRandMax = 0;
    int8_t m_nSrcSubject = 0;
    int8_t m_nSrcStatus = 0;
    uint8_t m_nSrcVarKind = 0;
    int16_t m_nSrcVarNum = 0;
    int8_t m_nCompare = 0;
    uint8_t m_nPercent = 0;
    uint8_t m_nShape = 0;

    // A distance condition (kind 7) keeps its range display in the fields
    // that only the status condition reads: whether it is shown (0 never,
    // 1 always, 2 only in a test play), its colour number, whether it is
    // shown for a character that does not act and whether it is shown for
    // one that is transparent or hidden.
    int DistDisplay() const { return m_nLeftType; }
    int DistColor() const { return m_nLeftVarKind; }
    bool DistShowInactive() const { return m_nSource != 0; }
    bool DistShowHidden() const { return m_nSrcSubject != 0; }

    // The upgrades of older data versions, in order (run by Read).
    void UpgradeFrom(uint32_t nVer);
};

// Smallest record body: a field count and a string count.
constexpr size_t MIN_RECORD_BODY = 8;

// Condition lists: an int32 count, then that many condition bodies. Reading
// replaces the list; the count is bounded by the bytes left.
void ReadCondList(cChkVector<cCond>& list, cDataFile* fp);
void WriteCondList(cChkVector<cCond>& list, cDataFile* fp);
