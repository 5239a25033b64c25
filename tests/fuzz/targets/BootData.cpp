// The start-dialog choice file, read as the start-up reads it. A refused
// file leaves the choice in use as it was; an accepted file writes back to a
// fixed point.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "shell/BootData.h"
#include "shell/SettingsRecord.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    cBootData b;
    cBootData n;
    n.m_nDrawMode = 0;
    n.m_bNoAsk = 1;
    return {SaveRecordBytes(b), SaveRecordBytes(n)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    // Values no file of ours holds, so that a field the read touched shows.
    cBootData b;
    b.m_nDrawMode = 0x5A5A1234;
    b.m_bNoAsk = -77;
    FUZZBYTES before = SaveRecordBytes(b);
    FuzzWriteFile(FUZZ_RECORD_FILE, pData, nSize);
    if (!LoadSettingsRecord(b, FUZZ_RECORD_FILE)) {
        FuzzCheck(b.m_nDrawMode == 0x5A5A1234 && b.m_bNoAsk == -77);
        FuzzCheck(SaveRecordBytes(b) == before);
        return 0;
    }
    CheckRecordFixedPoint(b);
    return 0;
}
