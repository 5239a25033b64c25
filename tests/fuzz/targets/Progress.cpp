// Story progress files (save slots, the challenge file). A refused file
// leaves the record as it was; an accepted one writes back to a fixed point.
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
    return {SaveRecordBytes(*pDefault), SaveRecordBytes(*pFull)};
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
