#include "frontend/TitleScene.h"

#include <algorithm>

#include "foundation/InputState.h"
#include "foundation/Text.h"
#include "frontend/FrontEndHost.h"
#include "frontend/SaveSlotList.h"
#include "frontend/SceneCommon.h"
#include "frontend/StartGame.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/ImageSurfaces.h"
#include "project/Cursor.h"
#include "project/GameFonts.h"
#include "project/GameState.h"
#include "project/Paths.h"
#include "project/PlayerFiles.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/SaveSlots.h"

SCENEPOS TitleMenuPos = {192, 240};
SCENEPOS SlotListPos = {160, 160};

namespace {

constexpr int SLOT_ROWS = 10;

}  // namespace

cTitleScene::cTitleScene() { m_nState = -1; }

cTitleScene::~cTitleScene() {
    DDReleaseSurface(&m_sdMenu);
    ReleaseSceneImages({IMAGE_SLOT_TITLE, IMAGE_SLOT_GAMEMODE, IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW});
}

void cTitleScene::Run() { RunFrontEnd(MENU_BUTTON_DECIDE | MENU_BUTTON_CANCEL); }

void cTitleScene::RunState(int nState) {
    switch (nState) {
    case TITLESTATE_FADEIN: FadeIn(); break;
    case TITLESTATE_MENU: StateMenu(); break;
    case TITLESTATE_NEWSLOT: StateSlot(1); break;
    case TITLESTATE_CONTINUESLOT: StateSlot(0); break;
    case TITLESTATE_FADEOUT: FadeOut(); break;
    default: break;
    }
}

void cTitleScene::Init() {
    RequestSceneBgm(0);
    m_bDisplay = LoadSceneImages({IMAGE_SLOT_TITLE, IMAGE_SLOT_GAMEMODE, IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW});
    Cursor_Menu.Reset();
    m_vEntry.clear();
    const cChkVector<cCmd>& menu = recSystem.m_vTitleMenu;
    for (int i = 0; i < static_cast<int>(menu.size()); i++)
        if (menu.At(i).m_bEnable) m_vEntry.push_back(i);
    if (m_vEntry.empty()) m_vEntry.push_back(TITLEMENU_NEWGAME);
    m_nEntryCount = static_cast<int>(m_vEntry.size());
    // The cursor starts on the entry chosen last time.
    int nPlayType = GetGameState().m_nPlayType;
    auto it = std::find(m_vEntry.begin(), m_vEntry.end(), nPlayType);
    Cursor_Menu.Cur().nY = it != m_vEntry.end() ? static_cast<int>(it - m_vEntry.begin()) : nPlayType;
    Cursor_Menu.Cur().nDrawX = TitleMenuPos.x;
    Cursor_Menu.Cur().nDrawY = TitleMenuPos.y + 32 * std::clamp(Cursor_Menu.Cur().nY, 0, m_nEntryCount - 1);
    const DDSURFACEDATA& sdMode = Off_Img[IMAGE_SLOT_GAMEMODE];
    if (recSystem.m_bTitleMenuPicture) TitleMenuPos.x = 288 - sdMode.nWidth / 2;
    if (m_bDisplay) {
        int w;
        if (recSystem.m_bTitleMenuPicture) {
            w = sdMode.nWidth + 32;
        } else {
            int nChars = 0;
            for (int n : m_vEntry) nChars = std::max(nChars, GetCharCount(menu.IsValid(n) ? menu.At(n).m_strText.c_str() : ""));
            w = nChars * 32 + 34;
        }
        int h = m_nEntryCount * 32 + 2;
        if (!DDCreateSurface(&m_sdMenu, w, h, 1, 1, 0, nullptr, 0)) {
            GetFrontEndHost().RequestErrorClose();
            m_bDisplay = false;
        } else {
            DrawMenuSurface();
        }
    }
    m_nSub = 0;
}

void cTitleScene::DrawMenuSurface() {
    const cChkVector<cCmd>& menu = recSystem.m_vTitleMenu;
    if (recSystem.m_bTitleMenuPicture) {
        DDClear(&m_sdMenu, 0);
        DDSURFACEDATA& sdMode = Off_Img[IMAGE_SLOT_GAMEMODE];
        for (int i = 0; i < m_nEntryCount; i++)
            DDBlt(&m_sdMenu, 32, i * 32, sdMode.nWidth, 32, &sdMode, 0, m_vEntry[i] * 32, DDBLT_NOKEY);
    } else {
        DDClear(&m_sdMenu, 0);
        DDDrawWindow(&m_sdMenu, 1, 1, m_sdMenu.nWidth - 2, m_sdMenu.nHeight - 2, &Off_Img[IMAGE_SLOT_WINDOW], 2, 240);
        for (int i = 0; i < m_nEntryCount; i++) {
            int n = m_vEntry[i];
            aFont[2].DrawText(&m_sdMenu, 32, i * 32, menu.IsValid(n) ? menu.At(n).m_strText.c_str() : "");
        }
    }
}

void cTitleScene::DrawMenuState() {
    if (!m_bDisplay) return;
    DDBlt(&BackBuffer, 0, 0, 640, 480, &Off_Img[IMAGE_SLOT_TITLE], 0, 0, DDBLT_NOKEY);
    if (m_sdMenu.bLost) DrawMenuSurface();
    DDBlt(&BackBuffer, TitleMenuPos.x, TitleMenuPos.y, m_sdMenu.nWidth, m_sdMenu.nHeight, &m_sdMenu, 0, 0, DDBLT_KEY);
    GetFrontEndHost().AnimateSystemColor();
}

void cTitleScene::DrawSlotState() {
    if (!m_bDisplay) return;
    DDBlt(&BackBuffer, 0, 0, 640, 480, &Off_Img[IMAGE_SLOT_TITLE], 0, 0, DDBLT_NOKEY);
    GetFrontEndHost().AnimateSystemColor();
    DrawSaveSlots(&BackBuffer, SlotListPos.x, SlotListPos.y, vecSaveSlot, m_nTop, m_nRows);
    const CURSORPOS& c = Cursor_Menu.Cur();
    DDBlt(&BackBuffer, c.nDrawX, c.nDrawY, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 64, 0, DDBLT_KEY);
}

void cTitleScene::FadeIn() {
    DrawMenuState();
    if (SceneFadeIn()) m_nState = TITLESTATE_MENU;
}

void cTitleScene::FadeOut() {
    if (SceneFadeOut()) CommitSceneSwitch(SCENE_TITLE, SCENE_TITLE);
}

void cTitleScene::StateMenu() {
    cInputState& in = GetMenuInput();
    cGameState& g = GetGameState();
    IFrontEndHost& host = GetFrontEndHost();
    Cursor_Menu.Move(in.m_wDir, TitleMenuPos.x, TitleMenuPos.y, 0, 32, 1, m_nEntryCount);
    PlayCursorSE(in.m_wDir, 2, 0);
    if (in.m_wButton & MENU_BUTTON_DECIDE) {
        host.PlaySystemSound(1);
        int nRow = std::clamp(Cursor_Menu.Cur().nY, 0, m_nEntryCount - 1);
        int nType = m_vEntry[nRow];
        g.m_nPlayType = nType;
        switch (nType) {
        case TITLEMENU_NEWGAME:
        case TITLEMENU_CONTINUE:
            EnterPlayMode(GAMEMODE_STORY);
            Cursor_Menu.Push(0);
            m_nSub = 0;
            m_nState = nType == TITLEMENU_NEWGAME ? TITLESTATE_NEWSLOT : TITLESTATE_CONTINUESLOT;
            break;
        case TITLEMENU_CHALLENGE: {
            EnterPlayMode(GAMEMODE_CHALLENGE);
            int nFileState = PLAYERFILE_MISSING;
            if (!recProgress.LoadChallenge(&nFileState)) {
                // A newer program's or a damaged challenge file would be
                // replaced at the first clear: only when the player agrees.
                if (!AskReplacePlayerFile(aPath[PATH_CHALLENGE_FILE], nFileState)) {
                    recProgress.Reset();
                    break;
                }
                recProgress.Reset();
                recProgress.m_vWorldResult.assign(std::clamp(recSystem.m_nWorldCount, 1, MAX_WORLD_RESULTS), cIntPair());
            }
            g.m_nNextScene = SCENE_STAGESELECT;
            m_nState = TITLESTATE_FADEOUT;
            break;
        }
        case TITLEMENU_FREE:
            EnterPlayMode(GAMEMODE_FREE);
            if (host.RequestLoadStage()) {
                g.m_nNextScene = SCENE_PLAY;
                m_nState = TITLESTATE_FADEOUT;
            }
            break;
        case TITLEMENU_REPLAY:
            EnterPlayMode(GAMEMODE_REPLAY);
            if (host.RequestLoadReplay()) {
                g.m_nNextScene = SCENE_PLAY;
                m_nState = TITLESTATE_FADEOUT;
            }
            break;
        case TITLEMENU_OPTION:
            g.m_nNextScene = SCENE_OPTION;
            m_nState = TITLESTATE_FADEOUT;
            break;
        case TITLEMENU_QUIT:
            host.RequestClose();
            break;
        default: break;
        }
        return;
    }
    DrawMenuState();
    if (m_bDisplay) {
        const CURSORPOS& c = Cursor_Menu.Cur();
        DDBlt(&BackBuffer, c.nDrawX, c.nDrawY, 32, 32, &Off_Img[IMAGE_SLOT_ACCESSORY], 0, 0, DDBLT_KEY);
    }
}

void cTitleScene::StateSlot(int bNewGame) {
    cInputState& in = GetMenuInput();
    cGameState& g = GetGameState();
    IFrontEndHost& host = GetFrontEndHost();
    if (m_nSub == 0) {
        if (bNewGame && !recSystem.m_bUseSaveSlots) {
            recProgress.NewStory();
            g.m_nNextScene = SCENE_WORLDMAP;
            m_nState = TITLESTATE_FADEOUT;
            return;
        }
        ScanSaveSlots(vecSaveSlot);
        Cursor_Menu.Cur() = CURSORPOS();
        m_nTop = 0;
        m_nSub = 1;
    }
    int nCount = static_cast<int>(vecSaveSlot.size());
    m_nRows = std::min(nCount, SLOT_ROWS);
    Cursor_Menu.MoveList(in.m_wDir, 1, &m_nTop, SlotListPos.y, 16, SlotListPos.x, m_nRows, nCount, 1);
    PlayCursorSE(in.m_wDir, 3, 0);
    int nRow = Cursor_Menu.Cur().nY;
    if (in.m_wButton & MENU_BUTTON_DECIDE) {
        const cSaveSlotInfo& slot = vecSaveSlot.At(nRow);
        if (bNewGame) {
            // A slot that holds a save is not overwritten by a new story. A
            // newer program's or a damaged file is, when the player says so.
            if (slot.AsksBeforeOverwrite()) {
                if (!AskReplacePlayerFile(MakeSlotPath(nRow), slot.m_nState)) {
                    host.PlaySystemSound(2);
                    return;
                }
            } else if (slot.m_bExist) {
                host.PlaySystemSound(3);
                return;
            }
            host.PlaySystemSound(1);
            recProgress.NewStory();
            recProgress.m_bAutoSave = 1;
            recProgress.m_nSaveSlot = nRow;
        } else {
            if (!slot.CanContinue() || !recProgress.LoadFromSlot(nRow)) {
                host.PlaySystemSound(3);
                // A slot with a file that cannot be continued says why.
                if (slot.m_nState == SLOTSTATE_NEWER) {
                    host.ErrorBox(FormatBounded(1024, "%s の読み込みに失敗しました！\nソフトより上位のバージョンのファイルは使用できません。",
                                                MakeSlotPath(nRow).c_str()).c_str());
                } else if (slot.m_nState != SLOTSTATE_EMPTY) {
                    host.ErrorBox(FormatBounded(1024, "%s の読み込みに失敗しました！", MakeSlotPath(nRow).c_str()).c_str());
                }
                return;
            }
            host.PlaySystemSound(1);
        }
        g.m_nNextScene = SCENE_WORLDMAP;
        m_nState = TITLESTATE_FADEOUT;
        return;
    }
    if (in.m_wButton & MENU_BUTTON_CANCEL) {
        host.PlaySystemSound(2);
        Cursor_Menu.Pop(1);
        m_nSub = 0;
        m_nState = TITLESTATE_MENU;
        return;
    }
    DrawSlotState();
}
