// Story progress files (save slots, the challenge file). A refused file
// leaves the record as it was; an accepted one writes back to a fixed point.
#include <algorithm>

#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "project/Progress.h"

namespace {

std::unique_ptr<cProgress> LiveProgress() {
    auto p = std::make_unique<cProgress>();
    p->m_strName = "live";
    p->m_nMapX = 3;
    p->m_vCommonVar[7] = 7;
    return p;
}

// The file an older program writes: the record's fields as registered for
// nVer (our writer follows the version it is given). Files up to version
// 500 have no carry flags: their list, right after the 16-byte save time,
// is taken out.
FUZZBYTES SaveAtVersion(cProgress& p, uint32_t nVer) {
    const uint32_t nSaved = nDataVer;
    nDataVer = nVer;
    FUZZBYTES b = SaveRecordBytes(p);
    nDataVer = nSaved;
    if (nVer > 500) return b;
    const SYSTEMTIME& t = p.m_stSaveTime;
    const uint8_t* pTime = reinterpret_cast<const uint8_t*>(&t);
    auto it = std::search(b.begin(), b.end(), pTime, pTime + sizeof t);
    FuzzCheck(it != b.end());
    size_t nAt = static_cast<size_t>(it - b.begin()) + sizeof t;
    FuzzCheck(nAt + 4 <= b.size());
    uint32_t nCount = b[nAt] | b[nAt + 1] << 8 | b[nAt + 2] << 16 | uint32_t(b[nAt + 3]) << 24;
    FuzzCheck(nCount == p.m_vCarryFlag.size() && nAt + 4 + 4 * size_t(nCount) <= b.size());
    b.erase(b.begin() + static_cast<std::ptrdiff_t>(nAt), b.begin() + static_cast<std::ptrdiff_t>(nAt + 4 + 4 * size_t(nCount)));
    return b;
}

}  // namespace

std::vector<FUZZBYTES> FuzzSeeds() {
    auto pDefault = std::make_unique<cProgress>();
    auto pFull = std::make_unique<cProgress>();
    pFull->SetStageName("data\\stg4\\c03-1.stg4", 1, 5, 2);
    pFull->m_bCarryOver = 1;
    pFull->m_vCarryFlag[3] = 1;
    pFull->m_vSaveChara.resize(2);
    pFull->m_vSaveChara[1].m_nHp = 9;
    pFull->m_vSaveChara[1].m_recChara.m_strName = "hero";
    pFull->AddStageResult("c03.", "c03_c005_2.", 1, 5, 2, 1200);
    pFull->m_vWorldResult.resize(3);
    pFull->m_vCommonVar[1000] = -1;
    pFull->m_stSaveTime = SYSTEMTIME{2024, 3, 6, 2, 14, 5, 7, 0};
    std::vector<FUZZBYTES> v = {SaveRecordBytes(*pDefault), SaveRecordBytes(*pFull)};
    for (uint32_t nVer : {150u, 166u, 169u, 182u, 190u, 191u, 194u, 500u, 501u, 678u, 679u, 724u, 753u, 758u, 803u})
        v.push_back(FuzzUnsweptSeed(SaveAtVersion(*pFull, nVer)));
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    auto p = LiveProgress();
    FUZZBYTES before = SaveRecordBytes(*p);
    if (!LoadRecordBytes(*p, pData, nSize)) {
        FuzzCheck(SaveRecordBytes(*p) == before);
        return 0;
    }
    FuzzCheck(p->m_vCarryFlag.size() >= PROGRESS_CARRY_FLAGS);
    FuzzCheck(p->m_vStageFlag.size() >= PROGRESS_STAGE_FLAGS);
    FuzzCheck(p->m_vCommonVar.size() >= PROGRESS_COMMON_VARS);
    FuzzCheck(p->m_lpMapEntry == nullptr);
    CheckRecordFixedPoint(*p);
    return 0;
}
