// Stage files. Read on its own, an accepted stage writes back to a fixed
// point; read by the stage loader, a refused file leaves the live stage as it
// was, and an accepted one becomes the live stage with its hero.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "FuzzCorpus.h"
#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "../../tools/mkdemo/DemoProject.h"
#include "foundation/Thread.h"
#include "platform/CloseRequest.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"

std::vector<FUZZBYTES> FuzzSeeds() {
    auto pCommon = std::make_unique<cCommonPalette>();
    MakeDemoCommonPalette(*pCommon);
    mkdir("data", 0777);
    mkdir("data/stg4", 0777);
    FuzzCheck(WriteDemoStages(*pCommon));
    auto pDefault = std::make_unique<cStage>();
    std::vector<FUZZBYTES> v = {FuzzReadFile("data/stg4/c01-1.stg4_000"), SaveRecordBytes(*pDefault)};
    // Every other stage of the demo, replayed and mutated from.
    std::vector<std::string> vNames;
    if (DIR* d = opendir("data/stg4")) {
        while (dirent* e = readdir(d))
            if (std::strstr(e->d_name, ".stg4") && std::strcmp(e->d_name, "c01-1.stg4_000") != 0) vNames.push_back(e->d_name);
        closedir(d);
    }
    std::sort(vNames.begin(), vNames.end());
    FuzzCheck(vNames.size() >= 8);
    for (const std::string& n : vNames) v.push_back(FuzzUnsweptSeed(FuzzReadFile(("data/stg4/" + n).c_str())));
    return v;
}

namespace {

// What a stage holds, as features: the size class (bit length) of the map's
// sides and of each placement and palette list, and the settings that pick
// a way of playing (judgement level, scroll modes). A mutation that grows a
// list past a power of two or turns on another scroll mode is kept.
void ReportStageFeatures(const cStage& st) {
    const struct {
        uint32_t nKind;
        int64_t nValue;
    } aSized[] = {
        {1, st.m_nWidth},
        {2, st.m_nHeight},
        {3, static_cast<int64_t>(st.m_vBlockPlace.size())},
        {4, static_cast<int64_t>(st.m_vCharaPlace.size())},
        {5, static_cast<int64_t>(st.m_vItemPlace.size())},
        {6, static_cast<int64_t>(st.m_vBlockPalette.size())},
        {7, static_cast<int64_t>(st.m_vCharaPalette.size())},
        {8, static_cast<int64_t>(st.m_vItemPalette.size())},
        {9, static_cast<int64_t>(st.m_vBackground.size())},
        {10, static_cast<int64_t>(st.m_strText.size())},
    };
    for (const auto& f : aSized) FuzzFeature(f.nKind, f.nValue < 0 ? 0 : FuzzSizeClass(static_cast<size_t>(f.nValue)));
    FuzzFeature(11, static_cast<uint32_t>(st.m_nJudgeLevel));
    FuzzFeature(12, static_cast<uint32_t>(st.m_nScrollModeX) * 16u + static_cast<uint32_t>(st.m_nScrollModeY & 15));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    static cThread thLoader;
    bool bAccepted = false;
    {
        auto p = std::make_unique<cStage>();
        bAccepted = LoadRecordBytes(*p, pData, nSize);
        if (bAccepted) {
            CheckRecordFixedPoint(*p);
            ReportStageFeatures(*p);
        }
    }
    // The loader waits on its thread in steps of a millisecond: it gets one
    // in four of the files the read accepts and one in sixteen of the others.
    uint32_t nHash = 2166136261u;
    for (size_t i = 0; i < nSize; ++i) nHash = (nHash ^ pData[i]) * 16777619u;
    if ((nHash & (bAccepted ? 3 : 15)) != 0) return 0;
    FUZZBYTES before = SaveRecordBytes(recStage);
    FuzzWriteFile(FUZZ_RECORD_FILE, pData, nSize);
    if (!LoadStageOn(thLoader, FUZZ_RECORD_FILE, 0, nullptr, nullptr)) {
        FuzzCheck(SaveRecordBytes(recStage) == before);
    } else {
        FuzzCheck(recStage.HasHero());
    }
    ResetCloseRequests();
    return 0;
}
