// Ranking files. A refused file leaves the ranking as it was (and the
// per-stage load the defaults); an accepted one writes back to a fixed point
// and takes an insertion into every table without growing it.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "project/Ranking.h"
#include "support/ByteBuilder.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    auto pDefault = std::make_unique<cRanking>();
    auto pFull = std::make_unique<cRanking>();
    for (int k = 0; k < RANKING_TABLES; k++)
        for (int i = 0; i < 25; i++) pFull->m_vTable[static_cast<size_t>(k)].Insert("abc", i * 37 % 11);
    pFull->m_vTable[1].m_vEntry.resize(15);
    // A file of version 180 with three tables of two places.
    cByteBuilder old;
    old.U32(180).I32(0).I32(0).Count(3);
    for (int k = 0; k < 3; k++) {
        old.I32(1).I32(k == 2 ? 0 : 1).I32(0).Count(2);
        old.I32(2).I32(1).I32(50).I32(1).Str("ab");
        old.I32(2).I32(0).I32(0).I32(1).Str("");
    }
    return {SaveRecordBytes(*pDefault), SaveRecordBytes(*pFull), old.Bytes()};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    auto p = std::make_unique<cRanking>();
    p->m_vTable[0].Insert("liv", 5);
    FUZZBYTES before = SaveRecordBytes(*p);
    if (!LoadRecordBytes(*p, pData, nSize)) {
        FuzzCheck(SaveRecordBytes(*p) == before);
        return 0;
    }
    CheckRecordFixedPoint(*p);
    for (cRankTable& t : p->m_vTable) {
        size_t n = t.m_vEntry.size();
        int r = t.FindRank(1000);
        FuzzCheck(r >= -1 && r < static_cast<int>(n));
        t.Insert("new", 1000);
        FuzzCheck(t.m_vEntry.size() == n);
        if (r >= 0) FuzzCheck(t.m_vEntry[static_cast<size_t>(r)].m_strName == "new");
    }
    return 0;
}
