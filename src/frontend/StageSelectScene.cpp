#include "frontend/StageSelectScene.h"

#include <algorithm>

#include "foundation/InputState.h"
#include "foundation/Text.h"
#include "frontend/FrontEndHost.h"
#include "frontend/SceneCommon.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/ImageSurfaces.h"
#include "project/Cursor.h"
#include "project/GameFonts.h"
#include "project/GameState.h"
#include "project/Paths.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/Ranking.h"
#include "project/RankingDraw.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"

int nStageSelectRow = 0;
int nStageSelectTop = 0;

namespace {

constexpr int SELECT_BUTTONS = 15;
constexpr int BUTTON_RANKVIEW = 4, BUTTON_RANKKIND = 8;
constexpr int SYSTEXT_WORLD = 0, SYSTEXT_HIGHSCORE = 3, SYSTEXT_TOTALSCORE = 4;
constexpr int TITLEMENU_CHALLENGE_ENTRY = 2;
const int StageSelectRankPos[2] = {292, 108};

}  // namespace

int GetSelectWorldCount() {
    int n = recSystem.m_bAllWorldsOpen ? recSystem.m_nWorldCount : recProgress.m_nWorldReached;
    return std::max(1, n);
}

cStageSelectScene::cStageSelectScene() { m_nState = -1; }

cStageSelectScene::~cStageSelectScene() {
    DDReleaseSurface(&m_sdList);
    ReleaseSceneImages({IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW});
}

void cStageSelectScene::Run() { RunFrontEnd(SELECT_BUTTONS); }

void cStageSelectScene::RunState(int nState) {
    switch (nState) {
    case SELECTSTATE_FADEIN: FadeIn(); break;
    case SELECTSTATE_SELECT: StateSelect(); break;
    case SELECTSTATE_FADEOUT: FadeOut(); break;
    default: break;
    }
}

void cStageSelectScene::SelectWorld(int nWorld) {
    recProgress.SetStageName(MakeWorldStageName(nWorld), 0, 0, 0);
    if (nRankingSwitch) recRanking.LoadFor(GetGameState().m_nGameMode, recProgress.m_strStageFile, 0, 0, 0);
}

void cStageSelectScene::Init() {
    RequestSceneBgm(2);
    m_bDisplay = LoadSceneImages({IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW});
    Cursor_Menu.Reset();
    m_nWorldCount = GetSelectWorldCount();
    Cursor_Menu.Cur().nY = std::clamp(nStageSelectRow, 0, m_nWorldCount - 1);
    m_nTop = std::clamp(nStageSelectTop, 0, std::max(0, m_nWorldCount - 1));
    Cursor_Menu.Cur().nDrawX = 32;
    Cursor_Menu.Cur().nDrawY = 160 + 32 * (Cursor_Menu.Cur().nY - m_nTop);
    SelectWorld(Cursor_Menu.Cur().nY + 1);
    if (m_bDisplay && !DDCreateSurface(&m_sdList, 640, 480, 1, 1, 0, nullptr, 0)) {
        GetFrontEndHost().RequestErrorClose();
        m_bDisplay = false;
    }
    DrawList();
}

void cStageSelectScene::DrawList() {
    if (!m_bDisplay) return;
    DDClear(&m_sdList, 0);
    cFont& large = aFont[2];
    cFont& font = aFont[1];
    large.DrawWindow(&m_sdList, 1, 1, 638, 478);
    const char* pszHead = recSystem.m_vTitleMenu.IsValid(TITLEMENU_CHALLENGE_ENTRY)
                              ? recSystem.m_vTitleMenu.At(TITLEMENU_CHALLENGE_ENTRY).m_strText.c_str()
                              : "";
    large.DrawText(&m_sdList, 320 - 16 * GetCharCount(pszHead), 32, pszHead);
    if (recSystem.m_bChallengeTotalScore && recProgress.m_nTotalScore > 0) {
        std::string s = FormatBounded(5120, "%s%d", recSystem.GetSysText(SYSTEXT_TOTALSCORE), recProgress.m_nTotalScore);
        font.DrawText(&m_sdList, 320 - 8 * GetCharCount(s.c_str()), 88, s.c_str());
    }
    if (!recProgress.m_bRankView && recSystem.m_bChallengeHighScore)
        large.Printf(&m_sdList, 32, 128, "         %s", recSystem.GetSysText(SYSTEXT_HIGHSCORE));
    int nChars = GetCharCount(recSystem.GetSysText(SYSTEXT_WORLD));
    int nRows = std::min(10, m_nWorldCount - m_nTop);
    for (int i = 0; i < nRows; i++) {
        int w = m_nTop + i, y = 160 + 32 * i;
        large.Printf(&m_sdList, 64, y, "%s%d", recSystem.GetSysText(SYSTEXT_WORLD), w + 1);
        const cChkVector<cIntPair>& v = recProgress.m_vWorldResult;
        bool bCleared = v.IsValid(w) && v.At(w).m_nFirst != 0;
        if (bCleared)
            DDBlt(&m_sdList, 32 * (nChars + 4), y, 32, 32, &Off_Img[IMAGE_SLOT_ACCESSORY], 96, 0, DDBLT_KEY);
        if (recSystem.m_bChallengeHighScore)
            large.Printf(&m_sdList, 32 * nChars + 192, y, "%d", v.IsValid(w) ? v.At(w).m_nSecond : 0);
    }
    if (recSystem.IsRankingOn(GAMEMODE_CHALLENGE) && recProgress.m_bRankView)
        DrawRanking(&m_sdList, StageSelectRankPos[0], StageSelectRankPos[1], recRanking, recProgress.m_nRankKind, -1,
                    GetGameState().m_nGameMode);
}

void cStageSelectScene::DrawFrame() {
    if (!m_bDisplay) return;
    if (m_sdList.bLost) DrawList();
    DDBlt(&BackBuffer, 0, 0, 640, 480, &m_sdList, 0, 0, DDBLT_NOKEY);
    GetFrontEndHost().AnimateSystemColor();
}

void cStageSelectScene::FadeIn() {
    DrawFrame();
    if (SceneFadeIn()) m_nState = SELECTSTATE_SELECT;
}

void cStageSelectScene::FadeOut() {
    if (SceneFadeOut()) CommitSceneSwitch(SCENE_STAGESELECT, SCENE_STAGESELECT);
}

void cStageSelectScene::StateSelect() {
    cInputState& in = GetMenuInput();
    cGameState& g = GetGameState();
    IFrontEndHost& host = GetFrontEndHost();
    m_nRows = std::min(10, m_nWorldCount - m_nTop);
    Cursor_Menu.MoveList(in.m_wDir, 1, &m_nTop, 160, 32, 32, std::min(10, m_nWorldCount), m_nWorldCount, 1);
    PlayCursorSE(in.m_wDir, 3, 0);
    int nRow = Cursor_Menu.Cur().nY;
    if (in.m_wDir & (KEYDIR_LEFT | KEYDIR_RIGHT | KEYDIR_UP | KEYDIR_DOWN)) {
        SelectWorld(nRow + 1);
        DrawList();
    }
    if (in.m_wButton & MENU_BUTTON_DECIDE) {
        cPlayStart start = cPlayStart::Challenge(nRow + 1);
        if (!start.Load()) {
            host.PlaySystemSound(3);
            host.ErrorBox(FormatBounded(5120, "ステージファイル %s が読み込めません！", start.File().c_str()).c_str());
            return;
        }
        host.PlaySystemSound(1);
        start.Begin();
        nStageSelectRow = nRow;
        nStageSelectTop = m_nTop;
        g.m_nNextScene = SCENE_PLAY;
        g.m_nBeforeScene = SCENE_STAGESELECT;
        m_nState = SELECTSTATE_FADEOUT;
        return;
    }
    if (in.m_wButton & MENU_BUTTON_CANCEL) {
        host.PlaySystemSound(2);
        g.m_nNextScene = SCENE_TITLE;
        g.m_nBeforeScene = SCENE_STAGESELECT;
        m_nState = SELECTSTATE_FADEOUT;
        return;
    }
    if (in.m_wButton & BUTTON_RANKVIEW) {
        if (recSystem.IsRankingOn(GAMEMODE_CHALLENGE)) {
            host.PlaySystemSound(6);
            recProgress.m_bRankView = !recProgress.m_bRankView;
            DrawList();
        } else {
            recProgress.m_bRankView = 0;
        }
    }
    if ((in.m_wButton & BUTTON_RANKKIND) && recSystem.IsRankingOn(GAMEMODE_CHALLENGE)) {
        if (recSystem.CountRankingKinds(g.m_nGameMode) >= 2) {
            host.PlaySystemSound(6);
            recProgress.StepRankKind(g.m_nGameMode, 1);
        }
        DrawList();
    }
    DrawFrame();
    if (m_bDisplay) {
        const CURSORPOS& c = Cursor_Menu.Cur();
        DDBlt(&BackBuffer, c.nDrawX, c.nDrawY, 32, 32, &Off_Img[IMAGE_SLOT_ACCESSORY], 0, 0, DDBLT_KEY);
    }
}
