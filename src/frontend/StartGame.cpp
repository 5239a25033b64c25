#include "frontend/StartGame.h"

#include "foundation/Path.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"

int StartFreeGame(const std::string& strPath, int bFindLatest) {
    std::string strFile = strPath;
    recProgress.Reset();
    if (!LoadStage(strFile.c_str(), bFindLatest, &recPlayStage, &recCharaDef)) return 0;
    recProgress.m_nWorld = 1;
    recProgress.m_nStage = 1;
    recProgress.StartLives(GAMEMODE_FREE, bFreeStageStart);
    MakeRelativePath(strFile);
    recProgress.SetStageName(strFile, 0, 0, 0);
    return 1;
}
