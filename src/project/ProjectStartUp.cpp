#include "project/ProjectStartUp.h"

#include "foundation/Log.h"
#include "project/AnimePatterns.h"
#include "project/Database.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"

void InstallProjectContext(bool bTestPlay) {
    ctxProject.m_bTestPlay = bTestPlay;
    SetStageContext(&ctxProject);
}

int StartUpDataFolders(void* hWnd) {
    if (!CreateDefaultData(hWnd)) {
        WriteReportErr("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
        return 0;
    }
    CreateStartUpFolders();
    return 1;
}

int StartUpDatabase() {
    if (!recDatabase.LoadFiles()) {
        WriteReportErr("データベースの読み込みに失敗…");
        return 0;
    }
    recDatabase.CopyEffectLists();
    BuildAnimePatterns(vecAnimePattern);
    BuildEffectPatterns(vecEffectPattern);
    // The prepared character-effect and screen-effect runs are built by the
    // play code's effect runners from the same lists.
    return 1;
}

int StartUpSystemData() {
    if (!recSystem.Load(aPath[PATH_SYSTEM])) {
        WriteReportErr("%s の読み込みに失敗…", aPath[PATH_SYSTEM]);
        return 0;
    }
    return 1;
}

int StartUpWorldMap() {
    if (!recWorldMap.Load(aPath[PATH_WORLDMAP])) {
        WriteReportErr("%s のロードに失敗！", aPath[PATH_WORLDMAP]);
        return 0;
    }
    return 1;
}
