// The options file, read as the game reads it. A refused file leaves the
// options in use as they were; an accepted file writes back to a fixed point
// with every value in its range.
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "frontend/Option.h"
#include "project/PlayerFiles.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    cOption def;
    cOption set;
    set.m_nPaletteVariant = 23;
    set.m_bBgm = 0;
    set.m_nVolume = 10;
    set.m_nRankingMode = 3;
    set.m_strName = "player";
    std::vector<FUZZBYTES> v = {SaveRecordBytes(def), SaveRecordBytes(set)};
    // The same fields under the version words of older programs.
    const uint32_t nSaved = nDataVer;
    for (uint32_t nVer : {100u, 500u, 853u}) {
        nDataVer = nVer;
        v.push_back(SaveRecordBytes(set));
    }
    nDataVer = nSaved;
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    // Options set away from the defaults, so that a half-done read shows.
    cOption o;
    o.m_nPaletteVariant = 17;
    o.m_bBgm = 0;
    o.m_nVolume = 2;
    o.m_nRankingMode = 1;
    o.m_strName = "kept";
    FUZZBYTES before = SaveRecordBytes(o);
    FuzzWriteFile(FUZZ_RECORD_FILE, pData, nSize);
    if (!o.LoadFile(FUZZ_RECORD_FILE)) {
        FuzzCheck(o.m_nPaletteVariant == 17 && o.m_bBgm == 0 && o.m_nVolume == 2 && o.m_nRankingMode == 1);
        FuzzCheck(o.m_strName == "kept");
        FuzzCheck(SaveRecordBytes(o) == before);
        return 0;
    }
    FuzzCheck(o.m_nFileState == PLAYERFILE_READABLE);
    FuzzFeature(FUZZFEATURE_RECORD_VERSION, nFileVer);
    FuzzCheck(o.m_nPaletteVariant >= 0 && o.m_nPaletteVariant < OPTION_PALETTE_VARIANTS);
    FuzzCheck(o.m_nVolume >= 0 && o.m_nVolume < OPTION_VOLUME_STEPS);
    FuzzCheck(o.m_nRankingMode >= 0 && o.m_nRankingMode < OPTION_RANKING_MODES);
    CheckRecordFixedPoint(o);
    return 0;
}
