// Play frame speed: a generated stage with N walking characters over the 8
// groups, moving solid platforms and items, played for a number of frames
// at judgement levels 1, 5 and 10. Prints per frame the mean, median, 99th
// percentile and maximum in microseconds, logic and drawing apart (the
// drawing runs without a display here, so it measures the walk over the
// objects, not the blits), and the final state hash. Aim: 1000 characters
// within 2 ms of logic a frame on one core. The last runs keep 2000 shots
// alive over the 1000 characters (topped up before each frame, outside the
// timing). Each stress case is played a second time walking every pair of
// objects (the slow form the fast tables are checked against): the two
// state hashes must be the same. Last, the growth: the stress stage's
// density on a map whose width grows with N (N = 100 .. 12,000 characters,
// 2N shots), each size's mean, median and 99th percentile with its hash,
// and the exponent k of logic time ~ N^k fitted over N >= 1000 (below that
// the fixed cost of a frame hides the slope).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <time.h>
#include <utility>
#include <vector>

#include "BenchPlay.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "stage/StageContext.h"

namespace {

// <chrono> cannot be used with the Shift-JIS execution character set.
double CpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

constexpr int FRAMES = 300;
constexpr int WIDTH = 400, HEIGHT = 15;

struct RESULT {
    double dLogicMean, dLogicP50, dLogicP99;
    uint64_t nHash;
};

template <class T>
T At(T rec, int x, int y) {
    rec.m_nX = static_cast<int16_t>(x);
    rec.m_nY = static_cast<int16_t>(y);
    return rec;
}

void BuildStage(cStage& st, int nChara, int nLevel, int WIDTH) {
    st.SetDefault();
    st.m_nWidth = WIDTH;
    st.m_nHeight = HEIGHT;
    st.m_nJudgeLevel = nLevel;
    st.m_bShowStartBanner = st.m_bShowStartBanner2 = 0;
    st.m_vBlockPalette.assign(1, cBlockData());
    st.m_vCharaPalette.assign(1, cCharaData());
    st.m_vItemPalette.assign(1, cItemData());
    cBlockData ground;
    ground.m_nGraphic = 1;
    for (int x = 0; x < WIDTH; x++) {
        st.m_vBlockPlace.push_back(At(ground, x, HEIGHT - 1));
        if (x % 23 == 0) st.m_vBlockPlace.push_back(At(ground, x, HEIGHT - 2));   // low walls
    }
    cCharaData hero;
    hero.m_nOperator = 0;
    hero.m_nGraphic = 1;
    hero.m_nGroup = 0;
    hero.m_nDropItem = -1;
    st.m_vCharaPlace.push_back(At(hero, 2, HEIGHT - 3));
    for (int i = 0; i < nChara; i++) {
        cCharaData c;
        c.m_nOperator = 1;
        c.m_nGraphic = 1;
        c.m_nGroup = static_cast<uint8_t>(i % 8);
        c.m_nDropItem = -1;
        c.m_nActRange = 0;
        st.m_vCharaPlace.push_back(At(c, 5 + (i * 7) % (WIDTH - 10), 2 + (i * 3) % (HEIGHT - 5)));
    }
    // Moving platforms: solid characters that fly.
    for (int i = 0; i < WIDTH / 20; i++) {
        cCharaData p;
        p.m_nOperator = 1;
        p.m_nGraphic = 2;
        p.m_nGroup = 7;
        p.m_nFlight = 2;
        p.m_bNoHitBox = 1;
        p.m_nDropItem = -1;
        st.m_vCharaPlace.push_back(At(p, 10 + i * 19, 6));
    }
    cItemData item;
    item.m_nGraphic = 1;
    for (int i = 0; i < WIDTH / 4; i++) st.m_vItemPlace.push_back(At(item, 3 + i * 4, HEIGHT - 4));
    st.SetJudgeLevel(nLevel);
}


// One case; bAllPairs plays it with the walk over every pair, nWidth is the
// map's width in cells, nFrames the frames played; bQuiet prints nothing.
RESULT Run(int nChara, int nLevel, int nShots, bool bAllPairs = false, int nWidth = WIDTH, int nFrames = FRAMES,
           bool bQuiet = false) {
    cStage stage, header;
    BuildStage(stage, nChara, nLevel, nWidth);
    header = stage;
    cCharaData heroDef = stage.m_vCharaPlace[0];
    cSystemData sys;
    sys.SetDefault();
    cProgress prog;
    prog.Reset();
    cBenchPlay run(stage, header, heroDef, sys, prog);
    cPlayContext& ctx = run.ctx;
    std::vector<double> vLogic, vDraw;
    uint64_t nHash = 0;
    {
        cStageContextScope stageScope(run.palettes);
        cPlayContextScope scope(ctx);
        auto pScene = std::make_unique<cPlayScene>();
        for (int i = 0; i < 10 && pScene->m_nState != PLAYSTATE_PLAY; i++) pScene->Run();
        pScene->m_bAllPairs = bAllPairs ? 1 : 0;
        // Every character walks: a command velocity that does not decay.
        int k = 0;
        for (auto& c : ctx.lstChara) {
            c->m_dCmdVx = (k++ % 2 ? 1.0 : -1.0) / stage.m_dStepFactor;
            c->m_bCmdDecayX = 0;
        }
        cHero* pHero = ctx.vecPlayer.empty() ? nullptr : ctx.vecPlayer[0].get();
        const int b = stage.m_nSubStep;
        // Shots that fly through blocks and characters, fired from the
        // characters in turn.
        cEdShot shot;
        shot.m_nCount = 1;
        shot.m_nGraphic = 1;
        shot.m_bPassBlock = 1;
        shot.m_bPierceChara = shot.m_bPierceBlockChara = 1;
        auto itShooter = ctx.lstChara.begin();
        for (int f = 0; f < nFrames && pHero; f++) {
            for (int n = 0; static_cast<int>(pScene->m_lstShot.size()) < nShots && n < nShots; n++) {
                if (itShooter == ctx.lstChara.end()) itShooter = ctx.lstChara.begin();
                if (itShooter == ctx.lstChara.end()) break;
                shot.m_nSpeed = static_cast<int16_t>(n % 2 ? 5 : -5);
                EmitShot(&pScene->m_lstShot, itShooter->get(), nullptr, shot);
                ++itShooter;
            }
            ctx.lpInput->m_wDir = (f % 120) < 100 ? 2 : 1;
            ctx.lpInput->m_wButton = (f % 30) < 8 ? 1 : 0;
            const double t0 = CpuNow();
            if (pScene->ReadFrameInput(pHero)) {
                for (int s = 1; s <= b; s++)
                    if (pScene->RunSubStep(s, pHero)) break;
            }
            const double t1 = CpuNow();
            pScene->Draw(0);
            const double t2 = CpuNow();
            vLogic.push_back((t1 - t0) * 1e6);
            vDraw.push_back((t2 - t1) * 1e6);
        }
        nHash = ctx.StateHash();
    }
    const STATS l = Stats(vLogic), d = Stats(vDraw);
    if (!bQuiet)
        std::printf("N %4d  shots %4d  level %2d  logic us: mean %8.1f p50 %8.1f p99 %8.1f max %8.1f   draw us: mean %7.1f "
                    "p50 %7.1f p99 %7.1f max %7.1f   hash %016llx%s\n",
                    nChara, nShots, nLevel, l.dMean, l.dP50, l.dP99, l.dMax, d.dMean, d.dP50, d.dP99, d.dMax,
                    static_cast<unsigned long long>(nHash), bAllPairs ? "  (every pair)" : "");
    return {l.dMean, l.dP50, l.dP99, nHash};
}

// The least-squares slope of log(time) over log(N).
double FitExponent(const std::vector<std::pair<double, double>>& v) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const double n = static_cast<double>(v.size());
    for (const auto& [x, y] : v) {
        const double lx = std::log(x), ly = std::log(y);
        sx += lx;
        sy += ly;
        sxx += lx * lx;
        sxy += lx * ly;
    }
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4) {   // one case: N level shots [1: every pair [map width [frames]]]
        Run(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]), argc >= 5 && std::atoi(argv[4]) != 0,
            argc >= 6 ? std::max(40, std::atoi(argv[5])) : WIDTH, argc >= 7 ? std::max(1, std::atoi(argv[6])) : FRAMES);
        return 0;
    }
    int nFail = 0;
    for (int nChara : {10, 100, 1000})
        for (int nLevel : {1, 5, 10}) Run(nChara, nLevel, 0);
    std::printf("stress stage, 1000 characters and 2000 shots (aim: logic mean under 2000 us, p99 under 3000 us at "
                "every level)\n");
    for (int nLevel : {1, 5, 10}) {
        const RESULT r = Run(1000, nLevel, 2000);
        std::printf("  level %2d: mean %.0f us, p50 %.0f us, p99 %.0f us: %s\n", nLevel, r.dLogicMean, r.dLogicP50,
                    r.dLogicP99, r.dLogicMean < 2000 && r.dLogicP99 < 3000 ? "within the aim" : "OVER the aim");
        // The walk over every pair is slow (a few hundred ms a frame at level
        // 10): the hashes are compared over 60 frames.
        const RESULT fast = Run(1000, nLevel, 2000, false, WIDTH, 60, true);
        const RESULT slow = Run(1000, nLevel, 2000, true, WIDTH, 60, true);
        const bool bSame = fast.nHash == slow.nHash;
        if (!bSame) nFail++;
        std::printf("  level %2d, 60 frames: fast tables %.0f us, every pair %.0f us (%.1fx), hashes %016llx %016llx %s\n",
                    nLevel, fast.dLogicMean, slow.dLogicMean, slow.dLogicMean / fast.dLogicMean,
                    static_cast<unsigned long long>(fast.nHash), static_cast<unsigned long long>(slow.nHash),
                    bSame ? "the same" : "DIFFERENT");
    }
    // Growth at the stress stage's density: 2.5 characters a column.
    std::printf("growth, level 1, 2N shots, map width N / 2.5 cells, 120 frames\n");
    std::vector<std::pair<double, double>> vecPoint;
    double dLargest = 0;
    for (int n : {100, 200, 400, 800, 1000, 1600, 2000, 3000, 4000, 6000, 8000, 12000}) {
        const RESULT r = Run(n, 1, 2 * n, false, std::max(40, static_cast<int>(n / 2.5)), 120, true);
        std::printf("  N %5d: logic mean %8.1f p50 %8.1f p99 %8.1f us a frame, %6.3f us per character, hash %016llx\n",
                    n, r.dLogicMean, r.dLogicP50, r.dLogicP99, r.dLogicMean / n,
                    static_cast<unsigned long long>(r.nHash));
        if (n >= 1000) vecPoint.push_back({static_cast<double>(n), r.dLogicMean});
        dLargest = r.dLogicMean;
    }
    const double k = FitExponent(vecPoint);
    // N log N over 1000..12,000 fits an exponent of about 1.12.
    std::printf("  fitted exponent over N >= 1000: %.2f (N log N fits about 1.12; aim 1.2 or less): %s\n", k,
                k <= 1.2 ? "within the aim" : "OVER the aim");
    std::printf("  12000 characters and 24000 shots: %.0f us a frame (aim under 12000 us): %s\n", dLargest,
                dLargest < 12000 ? "within the aim" : "OVER the aim");
    return nFail ? 1 : 0;
}
