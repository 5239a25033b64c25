// Hostile stage sizes, each printed with its file size, load time and the
// peak memory of the process (aim: under 200 MB):
// - crowds of characters that all take a palette entry's flows: 200,000 of
//   them (refused while the stage is read), then 50,000 (the most play sets
//   up), which loads;
// - a 4096 x 4096 stage with a floor and a wall, saved, loaded on a loader
//   thread, set up and played for 60 frames, with its set-up and frame times.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <time.h>
#include <unistd.h>

#include "BenchPlay.h"
#include "foundation/Record.h"
#include "foundation/Thread.h"
#include "play/Hero.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "stage/StageLoader.h"

namespace {

// <chrono> cannot be used with the Shift-JIS execution character set.
double Now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The peak resident memory of the process in MB (VmHWM).
double PeakMb() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double d = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0) d = std::atof(line + 6) / 1024.0;
    std::fclose(f);
    return d;
}

constexpr int SIDE = 4096;

template <class T>
T At(T rec, int x, int y) {
    rec.m_nX = static_cast<int16_t>(x);
    rec.m_nY = static_cast<int16_t>(y);
    return rec;
}

void BuildStage(cStage& st) {
    st.SetDefault();
    st.m_nWidth = SIDE;
    st.m_nHeight = SIDE;
    st.m_bShowStartBanner = st.m_bShowStartBanner2 = 0;
    st.m_vBlockPalette.assign(1, cBlockData());
    st.m_vCharaPalette.assign(1, cCharaData());
    st.m_vItemPalette.assign(1, cItemData());
    cBlockData ground;
    ground.m_nHit = 1;
    ground.m_nGraphic = 1;
    for (int x = 0; x < SIDE; x++) st.m_vBlockPlace.push_back(At(ground, x, SIDE - 1));
    for (int y = 0; y < SIDE; y++) st.m_vBlockPlace.push_back(At(ground, 0, y));
    cCharaData hero;
    hero.m_nOperator = 0;
    hero.m_nGraphic = 1;
    hero.m_nDropItem = -1;
    st.m_vCharaPlace.push_back(At(hero, 2, SIDE - 3));
}

// A stage of nPlaced computer characters besides the hero, each taking the
// flows of stage palette entry 1 (nFlows flows of nCmds commands).
void BuildCrowd(cStage& st, int nPlaced, int nFlows, int nCmds) {
    st.SetDefault();
    st.m_nWidth = 1000;
    st.m_nHeight = 100;
    st.m_vCharaPalette.assign(2, cCharaData());
    cFlow flow;
    flow.m_nTrigger = 1;
    flow.m_vCmd.resize(static_cast<size_t>(nCmds));
    st.m_vCharaPalette[1].m_vFlow.assign(static_cast<size_t>(nFlows), flow);
    cCharaData hero;
    hero.m_nOperator = 0;
    hero.m_nGraphic = 1;
    hero.m_nDropItem = -1;
    st.m_vCharaPlace.push_back(At(hero, 2, 90));
    cCharaData placed;
    placed.m_nGraphic = 1;
    placed.m_nDropItem = -1;
    placed.m_nInheritType = PALETTE_STAGE;
    placed.m_nInheritNum = 1;
    placed.m_vInheritFlag[CHARA_FLOW_GROUP] = 1;
    for (int i = 0; i < nPlaced; i++) st.m_vCharaPlace.push_back(At(placed, 10 + i % 900, 10 + i / 900 % 80));
}

void RunCrowd(int nPlaced, int nFlows, int nCmds) {
    {
        cStage st;
        BuildCrowd(st, nPlaced, nFlows, nCmds);
        if (!st.Save("crowd.stg4")) {
            std::printf("save failed\n");
            return;
        }
    }
    cThread th;
    double t0 = Now();
    const int bLoaded = LoadStageOn(th, "crowd.stg4", 0, nullptr, nullptr);
    const double tLoad = Now() - t0;
    std::printf("%d characters taking %d commands each: file %.1f MB, %s in %.1f ms, peak memory %.1f MB\n",
                nPlaced, nFlows * nCmds, static_cast<double>(std::filesystem::file_size("crowd.stg4")) / (1024.0 * 1024.0),
                bLoaded ? "loaded" : "refused", tLoad * 1e3, PeakMb());
    recStage.SetDefault();
}

}  // namespace

int main() {
    nDataVer = DATA_VERSION;
    char szDir[] = "/tmp/mg_hostile_benchXXXXXX";
    if (!mkdtemp(szDir) || chdir(szDir) != 0) return 1;
    RunCrowd(200000, 10, 10);
    RunCrowd(50000, 4, 2);
    {
        cStage st;
        BuildStage(st);
        if (!st.Save("big.stg4")) {
            std::printf("save failed\n");
            return 1;
        }
    }
    std::printf("stage %d x %d: file %.1f KB, peak before loading %.1f MB\n", SIDE, SIDE,
                static_cast<double>(std::filesystem::file_size("big.stg4")) / 1024.0, PeakMb());

    cThread th;
    cStage header;
    cCharaData heroDef;
    double t0 = Now();
    if (!LoadStageOn(th, "big.stg4", 0, &header, &heroDef)) {
        std::printf("load failed\n");
        return 1;
    }
    double tLoad = Now() - t0;

    cSystemData sys;
    sys.SetDefault();
    cProgress prog;
    prog.Reset();
    cBenchPlay run(recStage, header, heroDef, sys, prog);
    double tSetUp = 0, tFrames = 0;
    size_t nCells = 0, nCopies = 0;
    {
        cStageContextScope stageScope(run.palettes);
        cPlayContextScope scope(run.ctx);
        t0 = Now();
        auto pScene = std::make_unique<cPlayScene>();
        for (int i = 0; i < 10 && pScene->m_nState != PLAYSTATE_PLAY; i++) pScene->Run();
        tSetUp = Now() - t0;
        nCells = run.ctx.vecMapCell.size();
        nCopies = run.ctx.vecMapCell.Blocks().size();
        cHero* pHero = run.ctx.vecPlayer.empty() ? nullptr : run.ctx.vecPlayer[0].get();
        t0 = Now();
        for (int f = 0; f < 60 && pHero; f++) {
            run.ctx.lpInput->m_wDir = 2;
            if (pScene->ReadFrameInput(pHero))
                for (int s = 1; s <= recStage.m_nSubStep; s++)
                    if (pScene->RunSubStep(s, pHero)) break;
            pScene->Draw(0);
        }
        tFrames = Now() - t0;
    }
    std::printf("load %.1f ms, set-up %.1f ms, 60 frames %.1f ms\n", tLoad * 1e3, tSetUp * 1e3, tFrames * 1e3);
    std::printf("map: %zu cells, %zu block copies\n", nCells, nCopies);
    std::printf("peak memory %.1f MB (aim under 200 MB)\n", PeakMb());
    std::filesystem::remove_all(szDir);
    return 0;
}
