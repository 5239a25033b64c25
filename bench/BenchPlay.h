#pragma once
// What the play benchmarks share: a stage played in its own play context
// (free mode, a host that does nothing, the stage's palettes installed) and
// the figures of a list of timings.
#include <algorithm>
#include <vector>

#include "foundation/InputState.h"
#include "play/PlayContext.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "stage/StageContext.h"

struct STATS {
    double dMean, dP50, dP99, dMax;
};
inline STATS Stats(std::vector<double> v) {
    if (v.empty()) return {0, 0, 0, 0};
    std::sort(v.begin(), v.end());
    double s = 0;
    for (double d : v) s += d;
    auto at = [&](double q) { return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))]; };
    return {s / static_cast<double>(v.size()), at(0.5), at(0.99), v.back()};
}

// The game state, host, input and play context of a benchmark run; the
// caller installs the context and the palettes for the frames it times.
class cBenchPlay {
public:
    cBenchPlay(cStage& stage, cStage& header, cCharaData& heroDef, cSystemData& sys, cProgress& prog)
        : palettes(GetStageContext()), m_pPrevGame(&GetGameState()) {
        game.m_nPlayType = PLAYTYPE_FREE;
        game.m_nGameMode = GAMEMODE_FREE;
        SetGameState(&game);
        ctx.lpStage = &stage;
        ctx.lpPlayStage = &header;
        ctx.lpCharaDef = &heroDef;
        ctx.lpSystem = &sys;
        ctx.lpProgress = &prog;
        ctx.lpHost = &host;
        ctx.lpInput = &input;
        palettes.SetPalette(PALETTE_COMMON, recCommonPalette);
        palettes.SetPalette(PALETTE_STAGE, stage);
    }
    ~cBenchPlay() { SetGameState(m_pPrevGame); }
    cBenchPlay(const cBenchPlay&) = delete;
    cBenchPlay& operator=(const cBenchPlay&) = delete;

    cGameState game;
    IPlayHost host;
    cInputState input;
    cPlayContext ctx;
    cPaletteContext palettes;

private:
    cGameState* m_pPrevGame;
};
