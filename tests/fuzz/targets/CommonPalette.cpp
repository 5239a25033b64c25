// The common palette file. An accepted file writes back to a fixed point and
// keeps two entries at least in every list.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "../../tools/mkdemo/DemoProject.h"
#include "stage/CommonPalette.h"
#include "stage/StageContext.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    auto pDemo = std::make_unique<cCommonPalette>();
    MakeDemoCommonPalette(*pDemo);
    auto pDefault = std::make_unique<cCommonPalette>();
    return {SaveRecordBytes(*pDemo), SaveRecordBytes(*pDefault)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    auto p = std::make_unique<cCommonPalette>();
    if (!LoadRecordBytes(*p, pData, nSize)) return 0;
    FuzzCheck(p->m_vBlockPalette.size() >= 2 && p->m_vCharaPalette.size() >= 2 && p->m_vItemPalette.size() >= 2);
    CheckRecordFixedPoint(*p);
    return 0;
}
