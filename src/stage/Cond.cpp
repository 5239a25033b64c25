#include "stage/OwnedPtr.h"
#include "stage/Cond.h"

#include "stage/StageContext.h"

void cCond::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    AddField1(&m_nKind);
    AddField4(&m_nValue);
    if (VerFrom(v, 110)) {
        AddField4(&m_nRandMin);
        AddField4(&m_nRandMax);
        AddField1(&m_nSubject);
        AddField1(&m_nStatus);
    } else {
        AddField2(&wDummyField);
        AddField2(&wDummyField);
    }
    if (VerFrom(v, 110)) {
        AddField1(&m_nLeftType);
        AddField1(&m_nLeftVarKind);
        AddField2(&m_nVarNum);
        AddField1(&m_nSource);
        AddField1(&m_nSrcSubject);
        AddField1(&m_nSrcStatus);
        AddField1(&m_nSrcVarKind);
        AddField2(&m_nSrcVarNum);
    }
    AddField1(&m_nCompare);
    if (VerFrom(v, 43)) AddField1(&m_nPercent);
    AddField1(&m_nShape);
}

namespace {
// A status index at or above nFrom moved up by one (a status was inserted
// there); the system's statuses (old subject 2) kept their numbers.
void ShiftStatusIndex(cCond& c, int nFrom) {
    if (c.m_nKind != COND_STATUS) return;
    if (c.m_nLeftType == 0 && c.m_nSubject != 2 && c.m_nStatus >= nFrom) c.m_nStatus++;
    if (c.m_nSource == 2 && c.m_nSrcSubject != 2 && c.m_nSrcStatus >= nFrom) c.m_nSrcStatus++;
}

struct CONDREPAIR {
    uint32_t nBelow;
    void (*pfn)(cCond& c);
};

// Steps that bring a condition of an older data version up to date, applied
// in this order to a file older than nBelow.
const CONDREPAIR aCondRepair[] = {
    {160, [](cCond& c) { if (c.m_nKind >= 5) c.m_nKind = static_cast<int8_t>(c.m_nKind + 2); }},
    {161, [](cCond& c) { if (c.m_nKind == COND_STATUS3 && c.m_nStatus == 2) c.m_nCompare ^= 1; }},
    {168, [](cCond& c) { ShiftStatusIndex(c, 10); }},
    {203, [](cCond& c) { ShiftStatusIndex(c, 5); }},
    {210, [](cCond& c) { if (c.m_nKind == COND_STATUS2 && c.m_nSubject != 2 && c.m_nStatus >= 6) c.m_nStatus++; }},
    {657, [](cCond& c) { if (c.m_nKind == COND_DISTANCE) c.m_nSubject = 0; }},
    {745, [](cCond& c) { if (c.m_nKind == COND_DISTANCE) c.m_nLeftType = 0; }},
    {746, [](cCond& c) { if (c.m_nKind == COND_DISTANCE) { c.m_nSource = 1; c.m_nSrcSubject = 1; } }},
    {767, [](cCond& c) {
         // One target became targets 1 to 4; the system moved from 2 to 5.
         if (c.m_nKind != COND_STATUS && c.m_nKind != COND_STATUS2) return;
         if (c.m_nSubject >= 2) c.m_nSubject = static_cast<int8_t>(c.m_nSubject + 3);
         if (c.m_nSrcSubject >= 2) c.m_nSrcSubject = static_cast<int8_t>(c.m_nSrcSubject + 3);
     }},
};
}  // namespace

void cCond::UpgradeFrom(uint32_t nVer) {
    if (!(nVer < DATA_VERSION)) return;
    for (const CONDREPAIR& r : aCondRepair)
        if (nVer < r.nBelow) r.pfn(*this);
}

void cCond::Read(cDataFile* fp) {
    cRecord::Read(fp);
    UpgradeFrom(GetStageContext().FileVersion());
}

void ReadCondList(cChkVector<cCond>& list, cDataFile* fp) {
    int n = fp->ReadCount(MIN_RECORD_BODY, sizeof(cCond));
    list.clear();
    if (n > 0) list.assign(static_cast<size_t>(n), DefaultOf<cCond>());
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        list[i].Read(fp);
    }
}

void WriteCondList(cChkVector<cCond>& list, cDataFile* fp) {
    fp->WriteI32(static_cast<int32_t>(list.size()));
    for (cCond& c : list) {
        c.Write(fp);
    }
}
