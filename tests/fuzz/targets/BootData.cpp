// The start-dialog choice file. An accepted file writes back to a fixed
// point.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "shell/BootData.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    cBootData b;
    cBootData n;
    n.m_nDrawMode = 0;
    n.m_bNoAsk = 1;
    return {SaveRecordBytes(b), SaveRecordBytes(n)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    cBootData b;
    if (!LoadRecordBytes(b, pData, nSize)) return 0;
    CheckRecordFixedPoint(b);
    return 0;
}
