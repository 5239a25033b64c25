// The window placement file, read as the start-up reads it. A refused file
// leaves the placement in use as it was; an accepted file writes back to a
// fixed point and gives a client of at least the smallest size.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "shell/SettingsRecord.h"
#include "shell/WindowData.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    cWindowData w;
    w.Set(40, 30, 640, 480, 0);
    cWindowData m;
    m.Set(0, 0, 800, 600, 1);
    return {SaveRecordBytes(w), SaveRecordBytes(m)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    // A placement the clamp would change, so that a half-done read shows.
    cWindowData w;
    w.Set(-31, 7777, 3, 90000, 5);
    FUZZBYTES before = SaveRecordBytes(w);
    FuzzWriteFile(FUZZ_RECORD_FILE, pData, nSize);
    if (!LoadSettingsRecord(w, FUZZ_RECORD_FILE)) {
        FuzzCheck(w.m_nX == -31 && w.m_nY == 7777 && w.m_nWidth == 3 && w.m_nHeight == 90000 && w.m_bMaximized == 5);
        FuzzCheck(SaveRecordBytes(w) == before);
        return 0;
    }
    FuzzCheck(w.m_nWidth >= WINDOW_MIN_CLIENT && w.m_nHeight >= WINDOW_MIN_CLIENT);
    CheckRecordFixedPoint(w);
    return 0;
}
