// Replay files: the stage snapshot, the log and the progress. A refused file
// leaves the stage, the header stage, the log and the progress as they were;
// an accepted one holds a consistent log, plays back, and writes back to a
// fixed point.
#include <sys/stat.h>

#include "FuzzTarget.h"
#include "RecordFuzz.h"

#include "../../tools/mkdemo/DemoProject.h"
#include "stage/CommonPalette.h"

#include "project/Progress.h"
#include "project/ReplayLog.h"
#include "stage/Stage.h"

namespace {

constexpr const char* REPLAY_IN = "fuzz-in.rpl4_854";
constexpr const char* REPLAY_OUT = "fuzz-out.rpl4_854";
constexpr int MAX_PLAYBACK_FRAMES = 200000;

struct LIVE {
    cReplayLog log;
    std::unique_ptr<cStage> pStage = std::make_unique<cStage>();
    std::unique_ptr<cStage> pHeader = std::make_unique<cStage>();
    cProgress progress;
    cCharaData hero;
};

void MakeStage(cStage& st) {
    st.m_nWidth = 30;
    st.m_nHeight = 20;
    cCharaData hero;
    hero.m_nOperator = 0;
    hero.m_nGraphic = 3;
    hero.m_nX = 4;
    st.m_vCharaPlace.push_back(hero);
    st.Normalize();
}

std::unique_ptr<LIVE> MakeLive() {
    auto p = std::make_unique<LIVE>();
    MakeStage(*p->pStage);
    *p->pHeader = *p->pStage;
    p->pHeader->m_vCharaPlace.clear();
    p->log.m_nSeed = 5;
    p->log.RecordFrame(1, 2);
    p->progress.m_strName = "live";
    p->hero.m_nX = 77;
    return p;
}

FUZZBYTES SaveLive(LIVE& l) {
    FuzzCheck(l.log.SaveReplayFile(REPLAY_OUT, *l.pStage, *l.pHeader, l.progress) == 1);
    FUZZBYTES b = FuzzReadFile(REPLAY_OUT);
    // The hero record is no part of the file.
    b.push_back(static_cast<uint8_t>(l.hero.m_nX));
    return b;
}

// A replay over the demo's first stage as our writers make it: the stage
// as loaded, its header, a run of walking and jumping, the progress.
FUZZBYTES DemoStageReplay() {
    auto pCommon = std::make_unique<cCommonPalette>();
    MakeDemoCommonPalette(*pCommon);
    mkdir("data", 0777);
    mkdir("data/stg4", 0777);
    FuzzCheck(WriteDemoStages(*pCommon));
    auto p = std::make_unique<LIVE>();
    FuzzCheck(p->pStage->Load("data/stg4/c01-1.stg4_000") == 1);
    FuzzCheck(p->pStage->HasHero());
    *p->pHeader = *p->pStage;
    p->pHeader->m_vCharaPlace.clear();
    p->log.m_nSeed = 12345;
    for (int i = 0; i < 600; i++) p->log.RecordFrame(static_cast<int16_t>(i < 300 ? 6 : 4), static_cast<int16_t>(i % 40 < 10));
    p->progress.NewStory();
    p->progress.SetStageName("data\\stg4\\c01-1.stg4", 0, 0, 0);
    FuzzCheck(p->log.SaveReplayFile(REPLAY_OUT, *p->pStage, *p->pHeader, p->progress) == 1);
    return FuzzReadFile(REPLAY_OUT);
}

}  // namespace

std::vector<FUZZBYTES> FuzzSeeds() {
    auto pLive = MakeLive();
    for (int i = 0; i < 700; i++) pLive->log.RecordFrame(static_cast<int16_t>(i / 100), static_cast<int16_t>(i % 3 == 0));
    pLive->progress.SetStageName("c01-1.stg4", 1, 3, 4);
    FuzzCheck(pLive->log.SaveReplayFile(REPLAY_OUT, *pLive->pStage, *pLive->pHeader, pLive->progress) == 1);
    FUZZBYTES full = FuzzReadFile(REPLAY_OUT);
    auto pEmpty = MakeLive();
    pEmpty->log.Clear();
    FuzzCheck(pEmpty->log.SaveReplayFile(REPLAY_OUT, *pEmpty->pStage, *pEmpty->pHeader, pEmpty->progress) == 1);
    std::vector<FUZZBYTES> v = {full, FuzzReadFile(REPLAY_OUT)};
    v.push_back(FuzzUnsweptSeed(DemoStageReplay()));
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static cFuzzMessageBox box;
    auto pLive = MakeLive();
    FUZZBYTES before = SaveLive(*pLive);
    FuzzWriteFile(REPLAY_IN, pData, nSize);
    if (!LoadReplayFile(pLive->log, REPLAY_IN, *pLive->pStage, *pLive->pHeader, pLive->progress, &pLive->hero)) {
        FuzzCheck(SaveLive(*pLive) == before);
        return 0;
    }
    FuzzAccepted();
    cReplayLog& log = pLive->log;
    FuzzFeature(1, log.m_nFileVersion);
    FuzzCheck(log.IsConsistent());
    FuzzCheck(pLive->pStage->HasHero());
    FuzzCheck(pLive->pHeader->m_vCharaPlace.empty());
    int16_t w[2];
    int nFrames = 0;
    while (nFrames < MAX_PLAYBACK_FRAMES && log.PlayFrame(w) == 0) nFrames++;

    // Fixed point: what we write reads back and writes the same bytes.
    FUZZBYTES a = SaveLive(*pLive);
    auto pBack = MakeLive();
    FuzzCheck(LoadReplayFile(pBack->log, REPLAY_OUT, *pBack->pStage, *pBack->pHeader, pBack->progress, &pBack->hero));
    FUZZBYTES b = SaveLive(*pBack);
    FuzzCheck(a == b);
    return 0;
}
