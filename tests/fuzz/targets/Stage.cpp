// Stage files. Read on its own, an accepted stage writes back to a fixed
// point; read by the stage loader, a refused file leaves the live stage as it
// was, and an accepted one becomes the live stage with its hero.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

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
