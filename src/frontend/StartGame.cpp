#include "frontend/StartGame.h"

#include <strings.h>

#include "foundation/Path.h"
#include "foundation/Text.h"
#include "project/GameState.h"
#include "project/Paths.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"

namespace {

// The last free game (or direct start): what its restart begins again.
cPlayStart LastFreeStart;
bool bHaveFreeStart = false;

// The play mode and the title's play type of each kind of start.
struct STARTMODE {
    int nGameMode;
    int nPlayType;   // -1: the title's choice stands (a new story or a continued one)
};
const STARTMODE aStartMode[] = {
    {GAMEMODE_STORY, -1},
    {GAMEMODE_CHALLENGE, PLAYTYPE_CHALLENGE},
    {GAMEMODE_FREE, PLAYTYPE_FREE},
    {GAMEMODE_FREE, PLAYTYPE_FREE},
    {GAMEMODE_REPLAY, PLAYTYPE_REPLAY},
};

}  // namespace

std::string MakeWorldStageName(int nWorld) {
    return FormatBounded(5120, "%s%02d-1.%s", "data\\stg4\\c", nWorld, strStageExt);
}

void EnterPlayMode(int nGameMode) {
    GetGameState().m_nGameMode = nGameMode;
    nRankingSwitch = recSystem.IsRankingOn(nGameMode) ? 1 : 0;
}

bool IsReplayFileName(const std::string& strFile) {
    std::string strName = strFile;
    StripPath(strName);
    const size_t nDot = strName.rfind('.');
    return nDot != std::string::npos && strncasecmp(strName.c_str() + nDot + 1, "rpl4_", 5) == 0;
}

cPlayStart cPlayStart::Story(const cWorldStage& entry) {
    cPlayStart s;
    s.m_nKind = PLAYSTART_STORY;
    s.m_strFile = entry.m_strFile;
    s.m_nWorld = entry.m_nStage;
    s.m_pEntry = &entry;
    return s;
}

cPlayStart cPlayStart::Challenge(int nWorld) {
    cPlayStart s;
    s.m_nKind = PLAYSTART_CHALLENGE;
    s.m_strFile = MakeWorldStageName(nWorld);
    s.m_nWorld = nWorld;
    return s;
}

cPlayStart cPlayStart::Free(const std::string& strFile) {
    cPlayStart s;
    s.m_nKind = IsReplayFileName(strFile) ? PLAYSTART_REPLAY : PLAYSTART_FREE;
    s.m_strFile = strFile;
    return s;
}

cPlayStart cPlayStart::Direct(const std::string& strFile) {
    cPlayStart s;
    s.m_nKind = PLAYSTART_DIRECT;
    s.m_strFile = strFile;
    return s;
}

cPlayStart cPlayStart::Replay(const std::string& strFile) {
    cPlayStart s;
    s.m_nKind = PLAYSTART_REPLAY;
    s.m_strFile = strFile;
    return s;
}

int cPlayStart::Load() {
    m_strLoaded.clear();
    if (m_nKind == PLAYSTART_REPLAY) {
        // A replay carries the progress of its play; a file too old to carry
        // one plays from a fresh progress.
        cProgress prog;
        prog.Reset();
        prog.m_nWorld = prog.m_nStage = 1;
        prog.StartLives(GAMEMODE_REPLAY);
        if (!LoadReplayFile(recReplayA, m_strFile.c_str(), recStage, recPlayStage, prog, &recCharaDef)) {
            ReportLoadFailure(m_strFile);
            return 0;
        }
        recProgress = prog;
        m_strLoaded = m_strFile;
        return 1;
    }
    // A file the player chose is played as it is; every other start finds
    // the newest numbered file of its name.
    const int bFindLatest = m_nKind == PLAYSTART_FREE ? 0 : 1;
    if (!LoadStage(m_strFile.c_str(), bFindLatest, &recPlayStage, &recCharaDef)) return 0;
    m_strLoaded = recStage.m_strPath;
    return 1;
}

void cPlayStart::Begin() {
    const STARTMODE& mode = aStartMode[m_nKind];
    EnterPlayMode(mode.nGameMode);
    if (mode.nPlayType >= 0) GetGameState().m_nPlayType = mode.nPlayType;
    const bool bDirect = m_nKind == PLAYSTART_DIRECT;
    if (bDirect) {
        // A direct start on a stage file always ranks its result.
        bFreeStageStart = 1;
        nRankingSwitch = 1;
    }
    cProgress& p = recProgress;
    switch (m_nKind) {
    case PLAYSTART_STORY:
        p.m_lpMapEntry = m_pEntry;
        // The results of a story stage are kept under its entry's own file.
        p.SetStageName(m_pEntry->m_strFile, m_pEntry->m_bDecorate, m_pEntry->m_nDecorateA, m_pEntry->m_nDecorateB);
        p.m_nStage = 1;
        p.m_nWorld = m_nWorld;
        p.StartLives(GAMEMODE_STORY, false, recSystem.m_bStoryLifeCarry != 0);
        break;
    case PLAYSTART_CHALLENGE:
        p.SetStageName(m_strLoaded, 0, 0, 0);
        p.m_nStage = 1;
        p.m_nWorld = m_nWorld;
        p.StartLives(GAMEMODE_CHALLENGE);
        p.m_bChain = 1;
        break;
    case PLAYSTART_FREE:
    case PLAYSTART_DIRECT:
        p.Reset();
        p.SetStageName(m_strLoaded, 0, 0, 0);
        p.m_nWorld = 1;
        p.m_nStage = 1;
        p.StartLives(GAMEMODE_FREE, bDirect);
        if (bDirect) p.m_bChain = 0;
        LastFreeStart = *this;
        bHaveFreeStart = true;
        break;
    case PLAYSTART_REPLAY:
    default:
        // The replay's own progress stands.
        break;
    }
}

int cPlayStart::Start() {
    if (!Load()) return 0;
    Begin();
    return 1;
}

int RestartFreePlay() {
    if (!bHaveFreeStart) return 0;
    cPlayStart s = LastFreeStart;
    return s.Start();
}
