// The window placement file. An accepted file writes back to a fixed point
// and gives a client of at least the smallest size.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "shell/WindowData.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    cWindowData w;
    w.Set(40, 30, 640, 480, 0);
    cWindowData m;
    m.Set(0, 0, 800, 600, 1);
    return {SaveRecordBytes(w), SaveRecordBytes(m)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    cWindowData w;
    if (!LoadRecordBytes(w, pData, nSize)) return 0;
    CheckRecordFixedPoint(w);
    return 0;
}
