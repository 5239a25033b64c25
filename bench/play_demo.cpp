// The demo game's figures (the stress stage is bench_play's): every demo
// stage, as mkdemo writes it and the stage loader reads it, played for 600
// frames with scripted input (walk right, jump, shoot), per-frame logic and
// drawing times; then the real program on the demo, headless: the time from
// its start to the end of its first title frame (the program writes the
// moment into its report), the time to its exit after that frame (the close
// included), and its peak memory on the title and after a stage; then, when
// there is a display (e.g. under xvfb-run), the same peaks in a window; last
// an idle title's share of a core, headless and in a window, from a run of
// 300 frames and one of 900 (the difference leaves the start-up out). Aims:
// start-up under 300 ms, peak memory under 200 MB headless and 120 MB in a
// window, an idle title under 10% of a core.
//
//   bench_play_demo [build folder]     (default: the folder above this program)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchPlay.h"
#include "foundation/Path.h"
#include "foundation/Record.h"
#include "platform/FileSystem.h"
#include "play/Hero.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "project/Database.h"
#include "project/GameState.h"
#include "project/Paths.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "stage/StageContext.h"

namespace {

// <chrono> cannot be used with the Shift-JIS execution character set.
double Now(clockid_t clk) {
    timespec ts;
    clock_gettime(clk, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

constexpr int FRAMES = 600;


// Plays one loaded stage; returns the mean logic time per frame (us).
double PlayStage(const char* pszName, const cStage& loaded, cDatabase& db) {
    cStage stage = loaded, header = loaded;
    stage.SetJudgeLevel(stage.m_nJudgeLevel);
    header = stage;
    cCharaData heroDef = stage.m_vCharaPlace[std::max(stage.FindHero(), 0)];
    cSystemData sys;
    sys.SetDefault();
    cProgress prog;
    prog.Reset();
    prog.m_nLifeStart = prog.m_nLife = 3;
    cBenchPlay run(stage, header, heroDef, sys, prog);
    run.game.m_nBeforeScene = SCENE_TITLE;
    run.game.m_nFps = 60;
    cPlayContext& ctx = run.ctx;
    ctx.lpDatabase = &db;
    std::vector<double> vLogic, vDraw;
    size_t nMaxObjects = 0;
    {
        cStageContextScope stageScope(run.palettes);
        cPlayContextScope scope(ctx);
        auto pScene = std::make_unique<cPlayScene>();
        for (int i = 0; i < 400 && pScene->m_nState != PLAYSTATE_PLAY; i++) pScene->Run();
        cHero* pHero = ctx.vecPlayer.empty() ? nullptr : ctx.vecPlayer[0].get();
        const int b = stage.m_nSubStep;
        for (int f = 0; f < FRAMES && pHero && pScene->m_nState == PLAYSTATE_PLAY; f++) {
            run.input.m_wDir = (f % 150) < 130 ? 2 : 1;
            run.input.m_wButton = static_cast<int16_t>(((f % 40) < 10 ? 1 : 0) | ((f % 25) == 3 ? 2 : 0));
            run.input.m_nDirCode = GetDirCode(run.input.m_wDir);
            const double t0 = Now(CLOCK_THREAD_CPUTIME_ID);
            if (pScene->ReadFrameInput(pHero)) {
                for (int s = 1; s <= b; s++)
                    if (pScene->RunSubStep(s, pHero)) break;
            }
            const double t1 = Now(CLOCK_THREAD_CPUTIME_ID);
            pScene->Draw(0);
            const double t2 = Now(CLOCK_THREAD_CPUTIME_ID);
            vLogic.push_back((t1 - t0) * 1e6);
            vDraw.push_back((t2 - t1) * 1e6);
            nMaxObjects = std::max(nMaxObjects, ctx.lstChara.size() + ctx.lstItem.size() + pScene->m_lstShot.size());
        }
    }
    const STATS l = Stats(vLogic), d = Stats(vDraw);
    std::printf("%-24s frames %3zu objects<=%4zu  logic us: mean %7.1f p50 %7.1f p99 %7.1f max %7.1f   draw us: mean %6.1f "
                "p99 %6.1f\n",
                pszName, vLogic.size(), nMaxObjects, l.dMean, l.dP50, l.dP99, l.dMax, d.dMean, d.dP99);
    return l.dMean;
}

// The moment of the first frame that the program's report gives (seconds of
// the monotonic clock), or a negative value.
double FirstFrameMoment(const std::string& strDir) {
    double d = -1;
    if (FILE* fp = std::fopen((strDir + "/Report_Game.txt").c_str(), "rb")) {
        char sz[512];
        while (std::fgets(sz, sizeof sz, fp)) {
            const char* p = std::strstr(sz, "App : first frame after");
            if (p && (p = std::strstr(p, "monotonic clock ")) != nullptr) d = std::atof(p + 16);
        }
        std::fclose(fp);
    }
    return d;
}

// Runs the program in strDir, headless or in a window (bWindow: SDL's X11
// driver on the display there is); returns the wall time in ms, the peak
// resident memory in MB of the child, its processor time in ms when
// lpCpuMs is given, and the time to its first frame in ms (negative when the
// report does not tell).
bool RunProgram(const std::string& strExe, const std::string& strDir, const std::vector<std::string>& vArgs,
                const std::string& strKeys, double& dMs, double& dPeakMb, double* lpFirstMs = nullptr,
                bool bWindow = false, double* lpCpuMs = nullptr) {
    std::fflush(stdout);   // else the child's freopen writes the buffer out again
    const double t0 = Now(CLOCK_MONOTONIC);
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (chdir(strDir.c_str()) != 0) _exit(127);
        setenv("SDL_VIDEODRIVER", bWindow ? "x11" : "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!strKeys.empty()) setenv("MOSSGROVE_INPUT_SCRIPT", strKeys.c_str(), 1);
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(strExe.c_str()));
        for (const std::string& s : vArgs) argv.push_back(const_cast<char*>(s.c_str()));
        argv.push_back(nullptr);
        execv(strExe.c_str(), argv.data());
        _exit(127);
    }
    int nStatus = 0;
    rusage ru{};
    if (wait4(pid, &nStatus, 0, &ru) != pid) return false;
    dMs = (Now(CLOCK_MONOTONIC) - t0) * 1e3;
    dPeakMb = static_cast<double>(ru.ru_maxrss) / 1024.0;
    if (lpCpuMs)
        *lpCpuMs = (static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
                    static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-3);
    if (lpFirstMs) {
        const double dFirst = FirstFrameMoment(strDir);
        *lpFirstMs = dFirst > 0 ? (dFirst - t0) * 1e3 : -1;
    }
    return WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path bin = argc > 1 ? fs::path(argv[1]) : fs::read_symlink("/proc/self/exe", ec).parent_path().parent_path();
    const std::string strTool = (bin / "tools" / "mkdemo").string(), strExe = (bin / "mossgrove").string();
    char szTemplate[] = "/tmp/bench_demo_XXXXXX";
    if (!mkdtemp(szTemplate)) return 1;
    const std::string strDemo = std::string(szTemplate) + "/demo";
    if (std::system(("\"" + strTool + "\" \"" + strDemo + "\" >/dev/null").c_str()) != 0) {
        std::fprintf(stderr, "bench_play_demo: cannot run %s\n", strTool.c_str());
        return 1;
    }
    char szOld[4096];
    if (!getcwd(szOld, sizeof szOld) || chdir(strDemo.c_str()) != 0) return 1;
    nDataVer = DATA_VERSION;
    bDelCR = 1;
    {
        cDatabase db;
        cSystemData sys;
        cProjectContext project(&db, &sys);
        cStageContextScope scope(project);
        if (!db.LoadFiles() || !sys.Load(aPath[PATH_SYSTEM])) return 1;
        project.SetCommonPalette(&recCommonPalette);
        if (!recCommonPalette.Load(aPath[PATH_COMMONPALETTE])) return 1;
        const char* const aszStage[] = {"data\\stg4\\m01.stg4", "data\\stg4\\m02.stg4", "data\\stg4\\m03.stg4",
                                        "data\\stg4\\m04.stg4", "data\\stg4\\c02-1.stg4", "data\\stg4\\c03-1.stg4"};
        std::string strHeaviest;
        double dHeaviest = -1;
        for (const char* psz : aszStage) {
            std::string strFile;
            cStage st;
            if (!FindLatestNumberedFile(strFile, psz, strStageExt) || !st.Load(strFile.c_str())) {
                std::printf("%s: cannot load\n", psz);
                continue;
            }
            const double d = PlayStage(psz, st, db);
            if (d > dHeaviest) {
                dHeaviest = d;
                strHeaviest = psz;
            }
        }
        std::printf("heaviest demo stage: %s, %.1f us of logic a frame\n", strHeaviest.c_str(), dHeaviest);
    }

    // The real program: start to the end of the first title frame, and to
    // its exit after that frame.
    std::vector<double> vStart, vExit;
    double dPeakTitle = 0;
    for (int i = 0; i < 7; i++) {
        double dMs = 0, dMb = 0, dFirst = -1;
        if (!RunProgram(strExe, strDemo, {"--close-after-frames", "1"}, "", dMs, dMb, &dFirst)) {
            std::printf("start-up run %d failed\n", i);
            continue;
        }
        if (dFirst > 0) vStart.push_back(dFirst);
        vExit.push_back(dMs);
        dPeakTitle = std::max(dPeakTitle, dMb);
    }
    auto fnMin = [](const std::vector<double>& v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); };
    const STATS s = Stats(vStart), e = Stats(vExit);
    std::printf("start-up to the first title frame: min %.1f ms, median %.1f ms, max %.1f ms (aim < 300 ms)\n",
                fnMin(vStart), s.dP50, s.dMax);
    std::printf("start to exit after that frame (the close included): min %.1f ms, median %.1f ms, max %.1f ms\n",
                fnMin(vExit), e.dP50, e.dMax);
    std::printf("peak memory on the title: %.1f MB (aim < 200 MB)\n", dPeakTitle);
    // Into the forest stage and 600 frames of play, headless and, with a
    // display, in a window.
    const std::string strKeys = strDemo + "/bench_keys.txt";
    if (FILE* fp = std::fopen(strKeys.c_str(), "w")) {
        std::fputs("60 z\n90 z\n150 z\n180 up\n210 z\n380 right 600\n400 z 10\n450 z 10\n500 z 10\n550 z 10\n", fp);
        std::fclose(fp);
    }
    {
        double dMs = 0, dMb = 0;
        if (RunProgram(strExe, strDemo, {"--close-after-frames", "1000"}, strKeys, dMs, dMb))
            std::printf("peak memory after a stage: %.1f MB (aim < 200 MB)\n", dMb);
        else
            std::printf("the stage run failed\n");
    }
    const char* pszDisplay = std::getenv("DISPLAY");
    const bool bDisplay = pszDisplay && *pszDisplay;
    if (bDisplay) {
        double dMs = 0, dTitle = 0, dStage = 0;
        const bool bTitle = RunProgram(strExe, strDemo, {"--close-after-frames", "60"}, "", dMs, dTitle, nullptr, true);
        const bool bStage = RunProgram(strExe, strDemo, {"--close-after-frames", "1000"}, strKeys, dMs, dStage, nullptr, true);
        if (bTitle && bStage)
            std::printf("in a window: peak memory on the title %.1f MB, after a stage %.1f MB (aim < 120 MB)\n", dTitle,
                        dStage);
        else
            std::printf("in a window: the runs failed\n");
    } else {
        std::printf("in a window: no display (run under xvfb-run for the window's figures)\n");
    }
    // An idle title: the processor time of 600 frames more, over their wall
    // time.
    for (bool bWindow : {false, true}) {
        if (bWindow && !bDisplay) continue;
        double aMs[2] = {0, 0}, aCpu[2] = {0, 0}, dMb = 0;
        bool bOk = true;
        for (int k = 0; k < 2; k++)
            bOk = bOk && RunProgram(strExe, strDemo, {"--close-after-frames", k == 0 ? "300" : "900"}, "", aMs[k], dMb,
                                    nullptr, bWindow, &aCpu[k]);
        if (bOk && aMs[1] > aMs[0])
            std::printf("idle title %s: %.1f%% of a core (aim < 10%%)\n", bWindow ? "in a window" : "headless",
                        100.0 * (aCpu[1] - aCpu[0]) / (aMs[1] - aMs[0]));
        else
            std::printf("idle title %s: the runs failed\n", bWindow ? "in a window" : "headless");
    }
    if (chdir(szOld) != 0) return 1;
    fs::remove_all(szTemplate, ec);
    return 0;
}
