// The stage-play scene: its mode machine (fade in, start banner, play, pause
// menu, stage clear, retry menu, game over, fade out), the entry into a
// stage, lives, sounds and the removal of objects from its lists.
#include "play/PlayScene.h"

#include <exception>

#include "foundation/Log.h"
#include "graphics/DDBlt.h"
#include "graphics/DDEffect.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/Chara.h"
#include "play/EffectRuns.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlaySetStage.h"
#include "play/StageImages.h"
#include "project/Cursor.h"
#include "project/GameFonts.h"
#include "project/RankingDraw.h"
#include "foundation/Text.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {

constexpr int BUTTON_1 = 1, BUTTON_2 = 2;
constexpr int BANNER_FRAMES = 80;
constexpr int CLEAR_INPUT_FRAME = 200;
constexpr int MENU_Y = 272;
constexpr int MENU_ROW = 16;

// The background slots of the image table.
constexpr int BACKGROUND_SLOT = 55;

// Plain functions rather than pointers to members: the sanitizer build
// misreads the bounds of an array of member pointers.
using MODEFN = void (*)(cPlayScene&);
const MODEFN apfnMode[PLAYSTATE_COUNT] = {
    [](cPlayScene& s) { s.FadeIn(); },    [](cPlayScene& s) { s.ModeStart(); },
    [](cPlayScene& s) { s.ModePlay(); },  [](cPlayScene& s) { s.ModePause(); },
    [](cPlayScene& s) { s.ModeClear(); }, [](cPlayScene& s) { s.ModeRetry(); },
    [](cPlayScene& s) { s.ModeGameOver(); }, [](cPlayScene& s) { s.FadeOut(); },
};

DDSURFACEDATA* WordSheet() { return &Off_Img[IMAGE_SLOT_WORD]; }

void DrawWord(int x, int y, int sx, int sy, int w, int h) {
    DDBlt(&BackBuffer, x, y, w, h, WordSheet(), sx, sy, DDBLT_KEY);
}

// The stage number in 32x32 digits of the word sheet's digit row.
void DrawStageNumber(int x, int y, int n) {
    if (n < 0) n = 0;
    char sz[16];
    int len = snprintf(sz, sizeof sz, "%d", n);
    for (int i = 0; i < len; i++) DrawWord(x + 32 * i, y, (sz[i] - '0') * 32, 128, 32, 32);
}

void DrawMenuCursor(const CURSORPOS& c) {
    DDBlt(&BackBuffer, c.nDrawX, c.nDrawY, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 64, 0, DDBLT_KEY);
}

cInputState& PlayInput() { return *PlayCtx().lpInput; }

const char* SysText(int n) {
    const char* p = PlayCtx().lpSystem->GetSysText(n);
    return p ? p : "";
}

}  // namespace

cPlayScene::cPlayScene() {
    m_nState = -1;
    m_vecGroupChara.resize(8);
    m_vecGroupShot.resize(8);
    m_vecStageVar.assign(PLAY_STAGE_VAR_COUNT, 0);
    m_vecLinkActive.assign(LINK_GROUP_COUNT, 0);
    m_bClosing = 0;
    m_lpCurFlow = nullptr;
    m_bMesShown = 0;
    m_ScrColor.m_nPrevAlpha = 255;
    PlayCtx().lpPlayScene = this;
    if (PlayCtx().lpProgress) PlayCtx().lpProgress->m_nBgm = 0;
}

cPlayScene::~cPlayScene() {
    // The objects go before the scene they refer to.
    m_lstShot.clear();
    m_lstMessage.clear();
    m_lstEffect.clear();
    m_lstPicture.clear();
    cPlayContext& ctx = PlayCtx();
    if (ctx.lpPlayScene == this) {
        ctx.lstChara.clear();
        ctx.lstItem.clear();
        ctx.vecPlayer.clear();
        ctx.lpPlayScene = nullptr;
    }
}

void cPlayScene::Run() {
    if (m_nState == -1) {
        try {
            Init();
        } catch (const std::exception& e) {
            WriteEC("%s", e.what());
            PlayHost().RequestErrorClose();
            return;
        } catch (const char* psz) {
            WriteEC("%s", psz ? psz : "");
            PlayHost().RequestErrorClose();
            return;
        }
        m_nState = PLAYSTATE_FADEIN;
    }
    RunState(m_nState);
}

void cPlayScene::RunState(int nState) {
    if (nState < 0 || nState >= PLAYSTATE_COUNT) return;
    apfnMode[nState](*this);
}

void cPlayScene::SetMode(int nState) {
    m_nState = nState;
    m_nStep = 0;
}

void cPlayScene::Init() {
    cPlayContext& ctx = PlayCtx();
    cStage& stage = *ctx.lpStage;
    cGameState& game = GetGameState();
    m_vecRankPos.assign(5, 0);
    m_vecResult.assign(5, 0);
    // The eight background slots follow the stage's background records.
    for (int i = 0; i < 8; i++) {
        const bool bPicture = i < static_cast<int>(stage.m_vBackground.size()) && !stage.m_vBackground[i].m_bFill &&
                              !stage.m_vBackground[i].m_strFile.empty();
        Img_Data[BACKGROUND_SLOT + i].SetFile(bPicture ? stage.m_vBackground[i].m_strFile.c_str() : "");
    }
    const bool bAgain = game.m_nBeforeScene == SCENE_PLAY;
    if (!PlayHost().LoadStageImages(bAgain ? 0 : 1)) {
        PlayHost().RequestErrorClose();
        return;
    }
    if (!bAgain) {
        // The stage's own image sets and the prepared effect runs.
        LoadCharaExcImages();
        LoadSwordImages();
        LoadEffectImages();
        RebuildEffectRuns();
        ResetPlay();
        UseLife();
    }
    SetStage(bAgain ? 1 : 0, 1);
    Cursor_Menu.Reset();
    m_nStep = 0;
}

void cPlayScene::ResetPlay() {
    cProgress& prog = PlayProgress();
    cGameState& game = GetGameState();
    const bool bReplay = game.m_nPlayType == PLAYTYPE_REPLAY;
    if (!bReplay && prog.m_nDecorate && prog.m_nDecorateA >= 0 &&
        prog.m_nDecorateA < static_cast<int>(prog.m_vCommonVar.size()))
        prog.m_vCommonVar[prog.m_nDecorateA] = prog.m_nDecorateB;
    prog.m_nLife = prog.m_nLifeStart;
    prog.m_nScore = 0;
    prog.m_nPlayScore = 0;
    prog.m_nResultTime = prog.m_nClearTime = 0;
    prog.m_nResultHp = prog.m_nResultSp = 0;
    prog.m_bNextStart = 0;
    m_ScrollX.m_dCam = m_ScrollY.m_dCam = 0;
    m_nStep = m_nModeFrame = m_nModeFrame2 = 0;
    m_bHoldButtons = 0;
    m_nTime = 0;
    m_bRankDone = 0;
    m_lstMessage.clear();
    if (!bReplay) {
        recReplayA.Clear();
        recReplayB.Clear();
    }
    if (bFreeStageStart) prog.m_nStage = 1;
}

int cPlayScene::UseLife() {
    cProgress& prog = PlayProgress();
    if (bFreeStageStart || prog.m_nLife == LIFE_UNLIMITED) return 1;
    if (prog.m_nLife <= 0) return 0;
    prog.m_nLife--;
    return 1;
}

void cPlayScene::PlaySystemSound(int n) { PlayHost().PlaySound(n); }

void cPlayScene::PlayUserSound(int n) {
    if (n != 0) PlayHost().PlaySound(n + 16);
}

void cPlayScene::FadeIn() {
    Draw(1);
    if (PlayHost().FadeStep(1)) SetMode(PLAYSTATE_START);
}

void cPlayScene::ModeStart() {
    const cStage& stage = *PlayCtx().lpStage;
    cGameState& game = GetGameState();
    Draw(1);
    const bool bBanners = !(PlayHost().IsTestPlay() && bFreeStageStart);
    if (bBanners) {
        if (game.m_nPlayType == PLAYTYPE_REPLAY) {
            if (++m_nModeFrame < BANNER_FRAMES) {
                DrawWord(256, 224, 0, 32, 128, 32);
                return;
            }
        } else {
            if (stage.m_bShowStartBanner && ++m_nModeFrame < BANNER_FRAMES) {
                DrawWord(256, 224, 0, 0, 128, 32);
                DrawStageNumber(384, 224, PlayProgress().m_nStage);
                return;
            }
            if (stage.m_bShowStartBanner2 && ++m_nModeFrame2 < BANNER_FRAMES) {
                DrawWord(280, 224, 160, 0, 80, 32);
                return;
            }
        }
    }
    if (!PlayCtx().vecPlayer.empty()) {
        cHero* pHero = PlayCtx().vecPlayer[0].get();
        pHero->m_Anim.SetPattern(pHero->m_bFlight ? 2 : 0, 1);
    }
    m_nModeFrame = 0;
    SetMode(PLAYSTATE_PLAY);
}

void cPlayScene::OpenPause() {
    PlaySystemSound(4);
    m_nSaveState = m_nState;
    m_nSaveStep = m_nStep;
    SetMode(PLAYSTATE_PAUSE);
}

void cPlayScene::BuildPauseMenu() {
    const cSystemData& sys = *PlayCtx().lpSystem;
    const cProgress& prog = PlayProgress();
    m_vecPauseMenu.assign(4, cCmd());
    for (int i = 0; i < 4; i++) {
        m_vecPauseMenu[i].m_bEnable = 1;
        m_vecPauseMenu[i].m_strText = SysText(19 + i);
    }
    const int nWorld = prog.m_nWorld;
    switch (GetGameState().m_nGameMode) {
    case GAMEMODE_STORY: {
        const bool bFlag = nWorld >= 0 && nWorld < static_cast<int>(prog.m_vStageFlag.size()) && prog.m_vStageFlag[nWorld];
        m_vecPauseMenu[2].m_bEnable = sys.m_bStoryPauseRetry && bFlag;
        m_vecPauseMenu[3].m_bEnable = sys.m_bStoryPauseToMap && bFlag;
        break;
    }
    case GAMEMODE_CHALLENGE: {
        // World 0 has no result entry (index -1).
        const int k = nWorld - 1;
        const bool bCleared =
            k >= 0 && k < static_cast<int>(prog.m_vWorldResult.size()) && prog.m_vWorldResult[k].m_nFirst;
        m_vecPauseMenu[2].m_bEnable = sys.m_bChallengePauseRetry && bCleared;
        m_vecPauseMenu[3].m_bEnable = 0;
        break;
    }
    default:
        m_vecPauseMenu[3].m_bEnable = 0;
        break;
    }
}

void cPlayScene::ModePause() {
    if (PlayHost().CheckReplayKeys()) return;
    BuildPauseMenu();
    if (m_nStep == 0) {
        Cursor_Menu.Cur().nY = 1;
        m_nStep = 1;
    }
    cInputState& in = PlayInput();
    in.LatchButtons(BUTTON_1 | BUTTON_2);
    in.ApplyKeyRepeat();
    const int nCount = cCmd::GetEnableNum(m_vecPauseMenu);
    const int x = GetCmdListX(320, m_vecPauseMenu);
    if (nCount > 0) Cursor_Menu.Move(in.m_wDir, x, MENU_Y, 0, MENU_ROW, 1, nCount);
    PlayCursorSE(in.m_wDir, 2, 0);
    if ((in.m_wButton & BUTTON_2) && !(in.m_wButton & BUTTON_1)) {
        PlaySystemSound(2);
        m_bHoldButtons = 1;
        m_nState = m_nSaveState;
        m_nStep = m_nSaveStep;
        return;
    }
    if (!(in.m_wButton & BUTTON_1) || nCount <= 0) {
        Draw(1);
        DrawCmdList(&BackBuffer, x, MENU_Y, m_vecPauseMenu);
        DrawMenuCursor(Cursor_Menu.Cur());
        return;
    }
    int nRow = Cursor_Menu.Cur().nY;
    if (nRow < 0) nRow = 0;
    if (nRow >= nCount) nRow = nCount - 1;
    const int nEntry = cCmd::GetCmdNum(nRow, m_vecPauseMenu);
    PlaySystemSound(1);
    cGameState& game = GetGameState();
    cProgress& prog = PlayProgress();
    switch (nEntry) {
    case 0:   // quit
        if (bFreeStageStart) {
            PlayHost().RequestClose();
            return;
        }
        game.m_nNextScene = SCENE_TITLE;
        Cursor_Menu.Reset();
        Cursor_Menu.Cur().nY = game.m_nPlayType;
        SetMode(PLAYSTATE_FADEOUT);
        break;
    case 1:   // continue
        m_bHoldButtons = 1;
        m_nState = m_nSaveState;
        m_nStep = m_nSaveStep;
        break;
    case 2:   // retry
        m_bHoldButtons = 1;
        prog.RestoreCheckpoint(1, game.m_nGameMode, bFreeStageStart);
        SetStage(1, 0);
        SetMode(PLAYSTATE_START);
        break;
    case 3:   // back to the map
        m_bHoldButtons = 1;
        prog.RestoreCheckpoint(0, game.m_nGameMode, bFreeStageStart);
        prog.m_bMapReturn = 1;
        game.m_nNextScene = SCENE_WORLDMAP;
        SetMode(PLAYSTATE_FADEOUT);
        break;
    default:
        break;
    }
}

void cPlayScene::ModeClear() {
    const cStage& stage = *PlayCtx().lpStage;
    const int nRankMode = PlayHost().GetRankingMode();
    if (!stage.m_bQuickClear) {
        if (CheckPauseKey()) {
            SetMode(PLAYSTATE_PAUSE);
            return;
        }
        PlayHost().CheckReplayKeys();
        if ((nRankMode == 0 || nRankMode == 1) && PlayHost().IsKeyDown(PLAYKEY_F3)) RegisterRanking();
    }
    if (m_nStep == 0) {
        m_nModeFrame = 0;
        m_nStep = 1;
    }
    cInputState& in = PlayInput();
    in.LatchButtons(BUTTON_1 | BUTTON_2);
    in.ApplyKeyRepeat();
    if (stage.m_bQuickClear) {
        if (m_nModeFrame >= CLEAR_INPUT_FRAME) {
            GetGameState().m_nNextScene = NextSceneAfterClear();
            m_nModeFrame = 0;
            SetMode(PLAYSTATE_FADEOUT);
            return;
        }
    } else if ((in.m_wButton & BUTTON_1) && m_nModeFrame >= CLEAR_INPUT_FRAME) {
        if (m_bRankIn && (nRankMode == 2 || nRankMode == 3)) RegisterRanking();
        else PlaySystemSound(1);
        GetGameState().m_nNextScene = NextSceneAfterClear();
        m_nModeFrame = 0;
        SetMode(PLAYSTATE_FADEOUT);
        return;
    }
    bool bHint = false;
    if (!stage.m_bQuickClear && !m_bRankDone && (nRankMode == 0 || nRankMode == 1))
        for (int32_t n : m_vecRankPos) bHint = bHint || n != -1;
    // The F3 hint takes the footer's line.
    Draw(1, bHint ? 0 : 1);
    if (bHint) {
        const char* psz = SysText(28);
        aFont[1].DrawText(&BackBuffer, 320 - GetCharCount(psz) * 8, 456, psz);
    }
    if (stage.m_bShowClearBanner) {
        m_nModeFrame += 4;
        if (m_nModeFrame < 96)
            DDSplitBlt(&BackBuffer, 256, 192, 128, 32, 4, 96 - m_nModeFrame, WordSheet(), 0, 64, DDBLT_KEY, 0);
        else
            DrawWord(256, 192, 0, 64, 128, 32);
    } else if (m_nModeFrame < CLEAR_INPUT_FRAME) {
        m_nModeFrame = CLEAR_INPUT_FRAME;
    }
    if (m_nModeFrame >= CLEAR_INPUT_FRAME && nRankingSwitch && !stage.m_bQuickClear && m_vecResult.size() >= 5 &&
        m_vecRankPos.size() >= 5) {
        int anPos[5];
        for (int i = 0; i < 5; i++) anPos[i] = m_vecRankPos[static_cast<size_t>(i)];
        DrawResultWindow(&BackBuffer, 336, 224, m_vecResult.data(), anPos, GetGameState().m_nGameMode);
    }
}

void cPlayScene::ModeRetry() {
    if (PlayHost().CheckReplayKeys()) return;
    if (m_nStep == 0) {
        Cursor_Menu.Cur().nY = 0;
        m_nStep = 1;
    }
    cInputState& in = PlayInput();
    in.LatchButtons(BUTTON_1 | BUTTON_2);
    in.ApplyKeyRepeat();
    cChkVector<cCmd> vMenu(2);
    vMenu[0].m_strText = SysText(23);
    vMenu[1].m_strText = SysText(24);
    const int x = GetCmdListX(320, vMenu);
    Cursor_Menu.Move(in.m_wDir, x, MENU_Y, 0, MENU_ROW, 1, 2);
    PlayCursorSE(in.m_wDir, 2, 0);
    if (in.m_wButton & BUTTON_1) {
        PlaySystemSound(1);
        if (Cursor_Menu.Cur().nY == 0) {
            SetStage(1, 0);
            SetMode(PLAYSTATE_START);
        } else {
            PlayProgress().m_bMapReturn = 1;
            GetGameState().m_nNextScene = SCENE_WORLDMAP;
            SetMode(PLAYSTATE_FADEOUT);
        }
        return;
    }
    Draw(1);
    DrawCmdList(&BackBuffer, x, MENU_Y, vMenu);
    DrawMenuCursor(Cursor_Menu.Cur());
}

void cPlayScene::ModeGameOver() {
    if (CheckPauseKey()) {
        SetMode(PLAYSTATE_PAUSE);
        return;
    }
    if (PlayHost().CheckReplayKeys()) return;
    cInputState& in = PlayInput();
    in.LatchButtons(BUTTON_1 | BUTTON_2);
    if (in.m_wButton & BUTTON_1) {
        PlaySystemSound(1);
        GetGameState().m_nNextScene = SCENE_TITLE;
        SetMode(PLAYSTATE_FADEOUT);
        return;
    }
    Draw(1);
    if (PlayCtx().lpStage->m_bShowGameOver) DrawWord(248, 224, 0, 96, 144, 32);
}

void cPlayScene::FadeOut() {
    if (!PlayHost().FadeStep(0)) return;
    DDClear(&BackBuffer, 16);
    cGameState& game = GetGameState();
    cProgress& prog = PlayProgress();
    if ((game.m_nPlayType == PLAYTYPE_FREE && !prog.m_bChain) || bFreeStageStart) {
        prog.m_bChain = 0;
        // A stage that cannot be read again on the way to the title is only
        // reported (by the loader); on any other way it ends the program.
        if (!PlayHost().RestartFreeGame() && game.m_nNextScene != SCENE_TITLE) PlayHost().RequestErrorClose();
    }
    game.m_nFps = 60;
    game.m_nScene = game.m_nNextScene;
    game.m_nBeforeScene = SCENE_PLAY;
    m_nState = -1;
}

void cPlayScene::OnHeroDefeatEnded() {
    cGameState& game = GetGameState();
    cProgress& prog = PlayProgress();
    const cSystemData& sys = *PlayCtx().lpSystem;
    if (game.m_nPlayType == PLAYTYPE_REPLAY) {
        prog.RestoreCheckpoint(1, game.m_nGameMode, bFreeStageStart);
        SetStage(1, 1);
        SetMode(PLAYSTATE_START);
        return;
    }
    if (!UseLife()) {
        SetMode(PLAYSTATE_GAMEOVER);
        return;
    }
    if (PlayCtx().lpStage->m_bLoadCarryOver) prog.ClearCarryOver(0);
    prog.RestoreCheckpoint(0, game.m_nGameMode, bFreeStageStart);
    if (game.m_nGameMode == GAMEMODE_STORY && sys.m_bStoryMissToMap) {
        SetMode(PLAYSTATE_RETRY);
        return;
    }
    SetStage(1, 0);
    SetMode(PLAYSTATE_START);
}

void cPlayScene::RunPendingMiss() {
    if (!m_bMissPending) return;
    m_bMissPending = 0;
    OnHeroDefeatEnded();
}

cObjList<cChara>::iterator cPlayScene::EraseChara(cObjList<cChara>::iterator it) {
    cChara* c = it->get();
    c->UnlinkAll();
    const int g = c->m_nGroup;
    if (g >= 0 && g < static_cast<int>(m_vecGroupChara.size())) {
        auto& lst = m_vecGroupChara[static_cast<size_t>(g)];
        for (auto j = lst.begin(); j != lst.end(); ++j) {
            if (j->Get() == c) {
                lst.erase(j);
                break;
            }
        }
    }
    if (m_lpCurChara == c) m_lpCurChara = nullptr;
    if (m_lpStepChara == c) m_lpStepChara = nullptr;
    return PlayCtx().lstChara.erase(it);
}

cObjList<cItem>::iterator cPlayScene::EraseItem(cObjList<cItem>::iterator it) { return PlayCtx().lstItem.erase(it); }
