// Stage loading speed: builds a large stage (about 100,000 placed objects,
// the characters with flows), saves it and loads it with LoadStage on a
// loader thread; prints the time as a ratio to a plain read of the same
// file. The aim is within 5x of the plain read.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "foundation/Record.h"
#include "foundation/Thread.h"
#include "platform/FileSystem.h"
#include "stage/CmdVocabulary.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"

namespace {

// <chrono> cannot be used with the Shift-JIS execution character set. Wall
// time: the stage is read on another thread.
double Now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double CpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

cEdCmd MakeCmd(int nKind, bool bShot) {
    cEdCmd c;
    c.m_nKind = static_cast<uint8_t>(nKind);
    c.m_vParam.assign(static_cast<size_t>(GetCmdParamCount(false, nKind)), 3);
    c.m_nTime = 10;
    if (bShot) NewEdShot(c.m_pShot);
    return c;
}

void BuildStage(cStage& st) {
    st.m_nWidth = 1000;
    st.m_nHeight = 100;
    cFlow flow;
    flow.m_nTrigger = 0;
    flow.m_vCond.resize(1);
    flow.m_vCmd = {MakeCmd(CMD_WAIT, false), MakeCmd(CMD_SHOT, true), MakeCmd(CMD_STATUS, false)};
    for (int i = 0; i < 60000; i++) {
        cBlockData b;
        b.m_nGraphic = 1 + i % 50;
        b.m_nX = static_cast<int16_t>(i % 1000);
        b.m_nY = static_cast<int16_t>(i / 1000);
        st.m_vBlockPlace.push_back(b);
    }
    for (int i = 0; i < 30000; i++) {
        cCharaData c;
        c.m_nGraphic = 1;
        c.m_nOperator = i == 0 ? 0 : 1;
        c.m_nX = static_cast<int16_t>(i % 1000);
        if (i % 3 != 0) c.m_vFlow.assign(2, flow);
        st.m_vCharaPlace.push_back(c);
    }
    for (int i = 0; i < 10000; i++) {
        cItemData it;
        it.m_nGraphic = 1;
        it.m_vCmd = {MakeCmd(CMD_SCREEN_COLOR, false), MakeCmd(CMD_MESSAGE, false)};
        for (cEdCmd& c : it.m_vCmd) c.m_nKind = static_cast<uint8_t>(c.m_nKind - ITEMCMD_KIND_OFFSET), c.m_bItemCmd = 1;
        st.m_vItemPlace.push_back(it);
    }
}

double PlainRead(const char* path, size_t* pnBytes) {
    double t0 = Now();
    std::vector<char> buf;
    FILE* f = FsOpen(path, "rb");
    if (!f) return 0;
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) buf.insert(buf.end(), chunk, chunk + n);
    std::fclose(f);
    *pnBytes = buf.size();
    return Now() - t0;
}

}  // namespace

int main() {
    nDataVer = DATA_VERSION;
    char szDir[] = "/tmp/mg_stage_benchXXXXXX";
    if (!mkdtemp(szDir) || chdir(szDir) != 0) return 1;

    {
        cStage st;
        BuildStage(st);
        if (!st.Save("bench.stg4")) {
            std::printf("save failed\n");
            return 1;
        }
    }
    size_t nBytes = 0;
    double dPlain = 1e9, dLoad = 1e9;
    cThread th;
    cStage header;
    cCharaData hero;
    for (int i = 0; i < 3; i++) {
        dPlain = std::min(dPlain, PlainRead("bench.stg4", &nBytes));
        double t0 = Now();
        int bOk = LoadStageOn(th, "bench.stg4", 0, &header, &hero);
        double t = Now() - t0;
        if (!bOk) {
            std::printf("load failed\n");
            return 1;
        }
        dLoad = std::min(dLoad, t);
    }
    // The same read on this thread in processor time, which a busy machine
    // disturbs less than the wall time of the loader thread.
    double dCpuPlain = 1e9, dCpuRead = 1e9;
    for (int i = 0; i < 3; i++) {
        size_t n = 0;
        double t0 = CpuNow();
        PlainRead("bench.stg4", &n);
        double t1 = CpuNow();
        cStage* p = new cStage();
        p->Load("bench.stg4");
        double t2 = CpuNow();
        delete p;
        dCpuPlain = std::min(dCpuPlain, t1 - t0);
        dCpuRead = std::min(dCpuRead, t2 - t1);
    }
    std::printf("stage file: %.1f MB, %zu placed objects\n", static_cast<double>(nBytes) / 1e6,
                recStage.m_vBlockPlace.size() + recStage.m_vCharaPlace.size() + recStage.m_vItemPlace.size());
    std::printf("plain read: %.1f ms\n", dPlain * 1e3);
    std::printf("LoadStage:  %.1f ms (%.1fx the plain read; aim 5x)\n", dLoad * 1e3, dLoad / dPlain);
    std::printf("stage read, processor time: %.1f ms (%.1fx the plain read's %.1f ms)\n", dCpuRead * 1e3,
                dCpuRead / dCpuPlain, dCpuPlain * 1e3);
    std::filesystem::remove_all(szDir);
    return 0;
}
