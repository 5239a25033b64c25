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
    const int nMode = GAMEMODE_FREE;
    bool bUnlimited = bFreeStageStart || (recSystem.m_vLifeInfinite.IsValid(nMode) && recSystem.m_vLifeInfinite.At(nMode));
    if (bUnlimited) {
        recProgress.m_nLifeStart = recProgress.m_nLife = LIFE_UNLIMITED;
    } else {
        int32_t n = recSystem.m_vLife.IsValid(nMode) ? recSystem.m_vLife.At(nMode) : 1;
        recProgress.m_nLifeStart = n;
        recProgress.m_nLife = n - 1;
    }
    MakeRelativePath(strFile);
    recProgress.SetStageName(strFile, 0, 0, 0);
    return 1;
}
