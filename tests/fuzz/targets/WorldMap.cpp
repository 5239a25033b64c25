// The world map file. An accepted file writes back to a fixed point.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "../../tools/mkdemo/DemoProject.h"
#include "project/WorldMap.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    auto pDemo = std::make_unique<cWorldMap>();
    MakeDemoWorldMap(*pDemo);
    auto pDefault = std::make_unique<cWorldMap>();
    return {SaveRecordBytes(*pDemo), SaveRecordBytes(*pDefault)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    auto p = std::make_unique<cWorldMap>();
    if (!LoadRecordBytes(*p, pData, nSize)) return 0;
    CheckRecordFixedPoint(*p);
    return 0;
}
