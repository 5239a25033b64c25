#include "frontend/WorldMapScene.h"

#include <algorithm>
#include <string>

#include "foundation/InputState.h"
#include "foundation/Saturate.h"
#include "foundation/Text.h"
#include "frontend/FrontEndHost.h"
#include "frontend/SceneCommon.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/ImageSurfaces.h"
#include "project/Cursor.h"
#include "project/GameFonts.h"
#include "project/GameState.h"
#include "project/NumberText.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/Ranking.h"
#include "project/RankingDraw.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"

int bMapStageLoaded = 0;

namespace {

constexpr int IMAGE_SLOT_WORK5 = 67;
constexpr int MAP_BUTTONS = 15;
constexpr int BUTTON_RANKVIEW = 4, BUTTON_RANKKIND = 8;
constexpr int VIEW_COLS = 20, VIEW_ROWS = 15;
constexpr int CURSOR_DRAW_X = 288, CURSOR_DRAW_Y = 224;
constexpr int SYSTEXT_SCORE = 2;
constexpr int SYSTEXT_PROMPT = 10;   // 10 "ステージに挑む", 11 "やっぱりやめる"

struct SCENEPOINT {
    int x, y;
};
const SCENEPOINT MapRankPos = {367, 64};
int nMapPromptY = 260;
int nLastOriginX = INT32_MIN, nLastOriginY = INT32_MIN;   // the canvas's view origin
int nSpriteFrame = 0;

}  // namespace

bool MapCompare(int32_t v, int32_t k, int nCompare) {
    int64_t a = v < 0 ? -static_cast<int64_t>(v) : v;   // |INT_MIN| fits
    switch (nCompare) {
    case 0: return v == k;
    case 1: return v != k;
    case 2: return v >= k;
    case 3: return v <= k;
    case 4: return v > k;
    case 5: return v < k;
    case 6: return k == 0 || a % k == 0;
    case 7: return k != 0 && a % k != 0;
    default: return false;
    }
}

const cWorldStage* FindActiveEntry(const cWorldPlace* pPlace, const cProgress& progress) {
    if (!pPlace) return nullptr;
    for (const cWorldStage& e : pPlace->m_vStage) {
        if (e.m_nNeedFlag > 0) {
            // A need flag outside the flag list never holds.
            if (!progress.m_vStageFlag.IsValid(e.m_nNeedFlag) || progress.m_vStageFlag.At(e.m_nNeedFlag) == 0) continue;
        }
        if (e.m_nVar != 0) {
            if (!progress.m_vCommonVar.IsValid(e.m_nVar)) continue;
            if (!MapCompare(progress.m_vCommonVar.At(e.m_nVar), e.m_nValue, e.m_nCompare)) continue;
        }
        if (progress.m_nTotalScore >= e.m_nNeedTotal) return &e;
    }
    return nullptr;
}

cWorldMapScene::cWorldMapScene() { m_nState = -1; }

cWorldMapScene::~cWorldMapScene() {
    DDReleaseSurface(&m_sdRank);
    ReleaseSceneImages({IMAGE_SLOT_WORLDBACK, IMAGE_SLOT_WORLDMAPCHIP, IMAGE_SLOT_WORLDEVENT, IMAGE_SLOT_ACCESSORY,
                        IMAGE_SLOT_WINDOW, IMAGE_SLOT_WORK5});
}

void cWorldMapScene::Run() { RunFrontEnd(MAP_BUTTONS); }

void cWorldMapScene::RunState(int nState) {
    switch (nState) {
    case MAPSTATE_FADEIN: FadeIn(); break;
    case MAPSTATE_WALK: StateWalk(); break;
    case MAPSTATE_PROMPT: StatePrompt(); break;
    case MAPSTATE_FADEOUT: FadeOut(); break;
    default: break;
    }
}

void cWorldMapScene::FindEntryAtCursor() {
    m_pPlace = recWorldMap.FindPlace(m_nX, m_nY);
    m_pEntry = FindActiveEntry(m_pPlace, recProgress);
}

bool cWorldMapScene::IsEntryStage() const { return m_pEntry && m_pEntry->m_nKind == 0; }

bool cWorldMapScene::IsEntryCleared() const {
    if (!m_pEntry) return false;
    const auto& v = recProgress.m_vStageFlag;
    return v.IsValid(m_pEntry->m_nStage) && v.At(m_pEntry->m_nStage) != 0;
}

void cWorldMapScene::LoadEntryInfo() {
    recProgress.SetStageName(m_pEntry->m_strFile, m_pEntry->m_bDecorate, m_pEntry->m_nDecorateA, m_pEntry->m_nDecorateB);
    m_nBest = recProgress.GetBestResult(recProgress.m_strStageKey);
    if (nRankingSwitch) {
        cGameState& g = GetGameState();
        recRanking.LoadFor(g.m_nGameMode, recProgress.m_strStageFile, recProgress.m_nDecorate, recProgress.m_nDecorateA,
                           recProgress.m_nDecorateB);
        recProgress.StepRankKind(g.m_nGameMode, 0);
        DrawRankSurface();
    }
    m_nInfoX = m_nX;
    m_nInfoY = m_nY;
}

void cWorldMapScene::DrawRankSurface() {
    if (!m_bDisplay) return;
    DDClear(&m_sdRank, 0);
    DrawRanking(&m_sdRank, 0, 0, recRanking, recProgress.m_nRankKind, -1, GetGameState().m_nGameMode);
}

void cWorldMapScene::Init() {
    RequestSceneBgm(1);
    Img_Data[IMAGE_SLOT_WORLDBACK].SetFile(recWorldMap.m_strBackFile.c_str());
    m_bDisplay = LoadSceneImages({IMAGE_SLOT_WORLDBACK, IMAGE_SLOT_WORLDMAPCHIP, IMAGE_SLOT_WORLDEVENT,
                                  IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW, IMAGE_SLOT_WORK5});
    Cursor_Menu.Reset();
    recProgress.SumBestResults(recWorldMap);
    m_nX = recProgress.m_nMapX;
    m_nY = recProgress.m_nMapY;
    m_nOriginX = m_nX - 9;
    m_nOriginY = m_nY - 7;
    m_nFacing = std::clamp(recProgress.m_nMapDir, 0, 3);
    FindEntryAtCursor();
    m_nSavedX = m_nX;
    m_nSavedY = m_nY;
    if (m_bDisplay && !DDCreateSurface(&m_sdRank, 272, 352, 1, 1, 0, nullptr, 0)) {
        GetFrontEndHost().RequestErrorClose();
        m_bDisplay = false;
    }
    if (IsEntryStage()) LoadEntryInfo();
    else DrawRankSurface();
    cGameState& g = GetGameState();
    if (recProgress.m_bAutoSave && g.m_nBeforeScene == SCENE_PLAY) {
        if (!recProgress.SaveToSlot(recProgress.m_nSaveSlot))
            GetFrontEndHost().ErrorBox("セーブデータの書き込みに失敗しました！");
    }
    nLastOriginX = INT32_MIN;
    DrawCanvas(true);
    m_nSub = 0;
}

void GetWorldTileSource(int32_t n, int* pX, int* pY) {
    *pX = (n % 5) * 32;
    *pY = SaturateInt32(static_cast<int64_t>(n / 5) * 32);
}

void cWorldMapScene::DrawCanvas(bool bForce) {
    if (!m_bDisplay) return;
    DDSURFACEDATA& canvas = Off_Img[IMAGE_SLOT_WORK5];
    if (!bForce && !canvas.bLost && m_nOriginX == nLastOriginX && m_nOriginY == nLastOriginY) return;
    nLastOriginX = m_nOriginX;
    nLastOriginY = m_nOriginY;
    const int ox = m_nOriginX, oy = m_nOriginY;
    DDFillRect(&canvas, 0, 0, 640, 480, static_cast<uint32_t>(recWorldMap.m_nBackColor));
    if (recWorldMap.m_bBackPicture) {
        DDBlt(&canvas, std::max(0, -32 * ox), std::max(0, -32 * oy), 640, 480, &Off_Img[IMAGE_SLOT_WORLDBACK],
              std::max(0, 32 * ox), std::max(0, 32 * oy), DDBLT_NOKEY);
    }
    for (int r = 0; r < VIEW_ROWS; r++) {
        for (int c = 0; c < VIEW_COLS; c++) {
            int x = ox + c, y = oy + r;
            if (x < 0 || y < 0 || x >= recWorldMap.m_nWidth || y >= recWorldMap.m_nHeight) continue;
            int nChip = recWorldMap.GetCell(x, y);
            int nPic = recWorldMap.m_vChip.IsValid(nChip) ? recWorldMap.m_vChip.At(nChip).m_nPicture : 0;
            int sx, sy;
            GetWorldTileSource(nPic, &sx, &sy);
            DDBlt(&canvas, 32 * c, 32 * r, 32, 32, &Off_Img[IMAGE_SLOT_WORLDMAPCHIP], sx, sy, DDBLT_KEY);
        }
    }
    for (const cWorldPlace& place : recWorldMap.m_vPlace) {
        const cWorldStage* e = FindActiveEntry(&place, recProgress);
        if (!e) continue;
        const auto& v = recProgress.m_vStageFlag;
        bool bCleared = v.IsValid(e->m_nStage) && v.At(e->m_nStage) != 0;
        DDBlt(&canvas, 32 * (place.m_nX - ox), 32 * (place.m_nY - oy), 32, 32, &Off_Img[IMAGE_SLOT_WORLDEVENT],
              bCleared ? 32 : 0, SaturateInt32(static_cast<int64_t>(e->m_nEventRow) * 32), DDBLT_KEY);
    }
}

void cWorldMapScene::DrawFrame(bool bEntryText) {
    if (!m_bDisplay) return;
    DrawCanvas(false);
    DDBlt(&BackBuffer, 0, 0, 640, 480, &Off_Img[IMAGE_SLOT_WORK5], 0, 0, DDBLT_NOKEY);
    static const SCENEPOINT aSprite[4] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
    nSpriteFrame = (nSpriteFrame + 1) % 80;
    int sx = aSprite[m_nFacing].x + (nSpriteFrame >= 40 ? 32 : 0);
    DDBlt(&BackBuffer, CURSOR_DRAW_X, CURSOR_DRAW_Y, 32, 32, &Off_Img[IMAGE_SLOT_ACCESSORY], sx, aSprite[m_nFacing].y,
          DDBLT_KEY);
    cFont& font = aFont[1];
    if (recSystem.m_bMapShowLife) {
        bool bUnlimited = recProgress.m_nLife == LIFE_UNLIMITED;
        int d = bUnlimited ? 1 : GetDigitCount(recProgress.m_nLife);
        int x = 605 - 16 * d;
        font.DrawWindow(&BackBuffer, x, 17, 16 * (d + 1), 20);
        DDBlt(&BackBuffer, x, 19, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 0, 48, DDBLT_KEY);
        // Unlimited lives: the infinity sign here (the stage's head-up
        // display writes "-").
        if (bUnlimited) font.DrawText(&BackBuffer, x + 16, 19, "∞");
        else font.Printf(&BackBuffer, x + 16, 19, "%d", recProgress.m_nLife);
    }
    if (!IsEntryStage()) return;
    if (recSystem.IsRankingOn(GAMEMODE_STORY) && recProgress.m_bRankView)
        DDBlt(&BackBuffer, MapRankPos.x, MapRankPos.y, m_sdRank.nWidth, m_sdRank.nHeight, &m_sdRank, 0, 0, DDBLT_KEY);
    if (!bEntryText) return;
    bool bScore = recSystem.m_bStoryMapScore && m_nBest > 0;
    int y = bScore ? 184 : 204;
    const std::string& strText = m_pEntry->m_strText;
    if (!strText.empty()) {
        int c = GetCharCount(strText.c_str());
        font.DrawTextBox(&BackBuffer, 304 - 8 * c, y, strText.c_str());
    }
    if (bScore) {
        std::string s = FormatBounded(5120, "%s%d", recSystem.GetSysText(SYSTEXT_SCORE), m_nBest);
        int c = GetCharCount(s.c_str());
        font.DrawTextBox(&BackBuffer, 304 - 8 * c, y + 20, s.c_str());
    }
}

void cWorldMapScene::FadeIn() {
    DrawFrame(!recProgress.m_bMapReturn);
    if (!SceneFadeIn()) return;
    m_nState = MAPSTATE_WALK;
    if (!IsEntryStage()) return;
    cGameState& g = GetGameState();
    if (recProgress.m_bMapReturn) {
        recProgress.m_bMapReturn = 0;
        if (!IsEntryCleared()) {
            m_nX = recProgress.m_nMapPrevX;
            m_nY = recProgress.m_nMapPrevY;
            m_nOriginX = m_nX - 9;
            m_nOriginY = m_nY - 7;
            FindEntryAtCursor();
            DrawCanvas(true);
        }
    } else if (g.m_nBeforeScene != SCENE_SAVEDATA && !IsEntryCleared() && !m_pEntry->m_bConfirm) {
        if (LoadEntryStage()) {
            StartMapStage();
            recProgress.m_nMapPrevX = m_nX;
            recProgress.m_nMapPrevY = m_nY;
            g.m_nNextScene = SCENE_PLAY;
            m_nState = MAPSTATE_FADEOUT;
        } else {
            GetFrontEndHost().RequestErrorClose();
        }
    }
}

void cWorldMapScene::FadeOut() {
    DrawFrame(true);
    if (SceneFadeOut()) CommitSceneSwitch(SCENE_WORLDMAP, SCENE_WORLDMAP);
}

void cWorldMapScene::OpenPrompt() {
    recProgress.m_nMapX = m_nX;
    recProgress.m_nMapY = m_nY;
    Cursor_Menu.Push(0);
    m_nSub = 0;
    m_nState = MAPSTATE_PROMPT;
}

void cWorldMapScene::StateWalk() {
    cInputState& in = GetMenuInput();
    cGameState& g = GetGameState();
    IFrontEndHost& host = GetFrontEndHost();
    int nDir = in.m_wDir;
    if (nDir & (KEYDIR_LEFT | KEYDIR_RIGHT | KEYDIR_UP | KEYDIR_DOWN)) {
        m_nSavedX = m_nX;
        m_nSavedY = m_nY;
        recProgress.m_nMapPrevX = m_nX;
        recProgress.m_nMapPrevY = m_nY;
        int nFacing = m_nFacing;
        if (nDir & KEYDIR_LEFT) { m_nX--; nFacing = MAPDIR_LEFT; }
        else if (nDir & KEYDIR_RIGHT) { m_nX++; nFacing = MAPDIR_RIGHT; }
        else if (nDir & KEYDIR_UP) { m_nY--; nFacing = MAPDIR_UP; }
        else { m_nY++; nFacing = MAPDIR_DOWN; }
        m_nFacing = nFacing;
        m_nX = std::clamp(m_nX, 0, std::max(0, recWorldMap.m_nWidth - 1));
        m_nY = std::clamp(m_nY, 0, std::max(0, recWorldMap.m_nHeight - 1));
        FindEntryAtCursor();
        int nChip = recWorldMap.GetCell(m_nX, m_nY);
        bool bBlockChip = recWorldMap.m_vChip.IsValid(nChip) && recWorldMap.m_vChip.At(nChip).m_bBlock;
        if ((!m_pEntry && bBlockChip) || (m_pEntry && m_pEntry->m_nKind == 2)) {
            m_nX = m_nSavedX;
            m_nY = m_nSavedY;
            FindEntryAtCursor();
        } else {
            m_nOriginX = m_nX - 9;
            m_nOriginY = m_nY - 7;
            recProgress.m_nMapDir = m_nFacing;
        }
    }
    PlayCursorSE(nDir, 3, 0);
    if (IsEntryStage()) {
        if (m_nX != m_nInfoX || m_nY != m_nInfoY) LoadEntryInfo();
        bool bCleared = IsEntryCleared();
        if (!bCleared && !m_pEntry->m_bConfirm) {
            OpenPrompt();
            return;
        }
        if (in.m_wButton & MENU_BUTTON_DECIDE) {
            if (!(bCleared && !m_pEntry->m_bReplayable)) {
                OpenPrompt();
                return;
            }
        }
        if (in.m_wButton & BUTTON_RANKVIEW) {
            if (recSystem.IsRankingOn(GAMEMODE_STORY)) {
                host.PlaySystemSound(6);
                recProgress.m_bRankView = !recProgress.m_bRankView;
                DrawRankSurface();
            } else if (recProgress.m_bRankView) {
                recProgress.m_bRankView = 0;
                DrawRankSurface();
            }
        }
        if ((in.m_wButton & BUTTON_RANKKIND) && recSystem.IsRankingOn(GAMEMODE_STORY)) {
            if (recSystem.CountRankingKinds(g.m_nGameMode) >= 2) {
                host.PlaySystemSound(6);
                recProgress.StepRankKind(g.m_nGameMode, 1);
            }
            DrawRankSurface();
        }
    }
    if (in.m_wButton & MENU_BUTTON_CANCEL) {
        host.PlaySystemSound(4);
        recProgress.m_nMapX = m_nX;
        recProgress.m_nMapY = m_nY;
        g.m_nNextScene = SCENE_SAVEDATA;
        m_nState = MAPSTATE_FADEOUT;
        return;
    }
    DrawFrame(true);
}

bool cWorldMapScene::LoadEntryStage() {
    m_Start = cPlayStart::Story(*m_pEntry);
    bMapStageLoaded = m_Start.Load();
    if (!bMapStageLoaded) {
        std::string s = FormatBounded(5120, "ステージファイル %s が読み込めません！", m_pEntry->m_strFile.c_str());
        GetFrontEndHost().ErrorBox(s.c_str());
    }
    return bMapStageLoaded != 0;
}

// The stage the prompt (or the automatic start) loaded begins.
void cWorldMapScene::StartMapStage() { m_Start.Begin(); }

void cWorldMapScene::ClosePrompt() {
    if (m_pEntry && (m_pEntry->m_bConfirm || IsEntryCleared())) {
        Cursor_Menu.Pop(1);
    } else {
        // Declining a stage that opened by itself puts the player back on
        // the cell they came from.
        Cursor_Menu.Pop(1);
        m_nX = m_nSavedX;
        m_nY = m_nSavedY;
        m_nOriginX = m_nX - 9;
        m_nOriginY = m_nY - 7;
        FindEntryAtCursor();
    }
    m_nSub = 0;
    m_nState = MAPSTATE_WALK;
}

void cWorldMapScene::StatePrompt() {
    cInputState& in = GetMenuInput();
    cGameState& g = GetGameState();
    IFrontEndHost& host = GetFrontEndHost();
    if (m_nSub == 0) {
        host.PlaySystemSound(1);
        LoadEntryStage();
        Cursor_Menu.Cur().nY = 1;
        m_nSub = 1;
    }
    int x = recSystem.GetTextColumnX(304, SYSTEXT_PROMPT, 2, 1);
    Cursor_Menu.Move(in.m_wDir, x, nMapPromptY, 0, 16, 1, 2);
    PlayCursorSE(in.m_wDir, 2, 0);
    if (in.m_wButton & MENU_BUTTON_DECIDE) {
        host.PlaySystemSound(1);
        if (Cursor_Menu.Cur().nY == 0 && bMapStageLoaded) {
            recProgress.m_nMapDir = m_nFacing;
            StartMapStage();
            g.m_nNextScene = SCENE_PLAY;
            m_nState = MAPSTATE_FADEOUT;
        } else {
            ClosePrompt();
        }
        return;
    }
    if (in.m_wButton & MENU_BUTTON_CANCEL) {
        host.PlaySystemSound(2);
        ClosePrompt();
        return;
    }
    DrawFrame(true);
    if (m_bDisplay) {
        recSystem.DrawTextColumn(&BackBuffer, x, nMapPromptY, SYSTEXT_PROMPT, 2, 1);
        const CURSORPOS& c = Cursor_Menu.Cur();
        DDBlt(&BackBuffer, c.nDrawX, c.nDrawY, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 64, 0, DDBLT_KEY);
    }
}
