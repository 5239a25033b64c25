// Stage files. Read on its own, an accepted stage writes back to a fixed
// point; read by the stage loader, a refused file leaves the live stage as it
// was, and an accepted one becomes the live stage with its hero.
#include <sys/stat.h>

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
    return {FuzzReadFile("data/stg4/c01-1.stg4_000"), SaveRecordBytes(*pDefault)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    static cThread thLoader;
    bool bAccepted = false;
    {
        auto p = std::make_unique<cStage>();
        bAccepted = LoadRecordBytes(*p, pData, nSize);
        if (bAccepted) CheckRecordFixedPoint(*p);
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
