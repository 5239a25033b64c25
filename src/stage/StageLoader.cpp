#include "stage/StageLoader.h"

#include <atomic>
#include <memory>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Path.h"
#include "foundation/Record.h"
#include "foundation/Thread.h"
#include "platform/CloseRequest.h"
#include "platform/FileSystem.h"
#include "foundation/GameThreads.h"
#include "stage/Stage.h"

namespace {
struct LOADJOB {
    cStage* lpStage;
    std::string strPath;
    std::atomic<int> bLoaded{0};
};

unsigned LoadStageProc(void* lpArg) {
    LOADJOB* job = static_cast<LOADJOB*>(lpArg);
    int bOk = job->lpStage->Load(job->strPath.c_str());
    job->bLoaded.store(bOk);
    return static_cast<unsigned>(bOk);
}
}  // namespace

int CheckStageTrailer(const char* path) {
    // The version word and the last four bytes, read on their own: the load
    // that follows reads the file once.
    FILE* f = FsOpen((path && *path) ? path : "err", "rb");
    if (!f) return 1;
    uint32_t nVer = 0;
    if (std::fread(&nVer, 4, 1, f) != 1) {
        // Too short to open: the load reports it.
        std::fclose(f);
        return 1;
    }
    // As opening the file for reading would.
    nFileVer = nVer;
    bFileVerErr = nVer > nDataVer ? 1 : 0;
    if (nVer > nDataVer || nVer < 174) {
        std::fclose(f);
        return 1;
    }
    int32_t nTail = 0;
    bool bRead = std::fseek(f, -4, SEEK_END) == 0 && std::fread(&nTail, 4, 1, f) == 1;
    std::fclose(f);
    if (bRead && nTail == STAGE_TRAILER) return 1;
    ErrorBox("ステージファイル %s が破損しています！", path);
    PostCloseRequest();
    return 0;
}

int LoadStageOn(cThread& thread, const char* path, int bFindLatest, cStage* lpHeader, cCharaData* lpHero) {
    std::string strPath;
    if (bFindLatest) {
        if (!FindLatestNumberedFile(strPath, path, STAGE_FILE_EXT)) return 0;
    } else {
        strPath = path ? path : "";
    }
    MakeRelativePath(strPath);
    if (!CheckStageTrailer(strPath.c_str())) return 0;

    // The stage is read into a scratch record; the live one changes only
    // when the whole load succeeds.
    auto pStage = std::make_unique<cStage>();
    LOADJOB job;
    job.lpStage = pStage.get();
    job.strPath = strPath;
    SetStageReadCancel(false);
    if (!thread.Start(LoadStageProc, &job)) {
        ErrorBox("ステージファイル %s の読み込みに失敗しました！", strPath.c_str());
        return 0;
    }
    // The asking thread takes its messages while it waits (at least once, so
    // a quit that is already waiting is never missed).
    bool bRunning = true;
    while (bRunning) {
        uint32_t nMsg = 0;
        if (PeekThreadMsg(&nMsg) && nMsg == WM_QUIT_MSG) {
            WriteEC("msg.message == WM_QUIT");
            SetStageReadCancel(true);
            thread.Exit();
            SetStageReadCancel(false);
            return 0;
        }
        bRunning = thread.IsRunning();
        if (bRunning) HoldSleep(1);
    }
    thread.Exit();

    if (!job.bLoaded.load() || !pStage->HasSaneSize()) {
        // A stage that would build more than its reader allows says so.
        if (bFileMemErr)
            ErrorBox("ステージファイル %s の読み込みに失敗しました！\nメモリが不足しています！", strPath.c_str());
        else
            ErrorBox("ステージファイル %s の読み込みに失敗しました！", strPath.c_str());
        return 0;
    }
    const int nHero = pStage->FindHero();
    if (nHero < 0) {
        ErrorBox("主人公が配置されていないのでプレイできません！");
        PostCloseRequest();
        return 0;
    }

    recStage = std::move(*pStage);
    recStage.m_strPath = strPath;
    recStage.m_bFindLatest = bFindLatest;
    recStage.m_bLoaded = 1;

    if (lpHeader) {
        lpHeader->CopyFields(recStage);
        lpHeader->m_vBackground = recStage.m_vBackground;
        lpHeader->m_vStageVarName = recStage.m_vStageVarName;
        for (int i = 0; i < STAGE_ERASE_AREAS; i++) lpHeader->m_aEraseArea[i] = recStage.m_aEraseArea[i];
        lpHeader->m_vTallyFlag = recStage.m_vTallyFlag;
        lpHeader->m_vBlockPlace.clear();
        lpHeader->m_vCharaPlace.clear();
        lpHeader->m_vItemPlace.clear();
        lpHeader->m_vBlockPalette.clear();
        lpHeader->m_vCharaPalette.clear();
        lpHeader->m_vItemPalette.clear();
    }
    if (lpHero) *lpHero = recStage.m_vCharaPlace[static_cast<size_t>(nHero)];
    return 1;
}

int LoadStage(const char* path, int bFindLatest, cStage* lpHeader, cCharaData* lpHero) {
    return LoadStageOn(thLoad, path, bFindLatest, lpHeader, lpHero);
}

void ReportLoadFailure(const std::string& name) {
    if (bFileVerErr)
        WriteReportErr("%s の読み込みに失敗しました！\nソフトより上位のバージョンのファイルは使用できません。", name.c_str());
    else
        WriteReportErr("%s の読み込みに失敗しました！", name.c_str());
}
