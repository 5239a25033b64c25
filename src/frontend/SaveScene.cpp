#include "frontend/SaveScene.h"

#include <algorithm>

#include "foundation/InputState.h"
#include "foundation/Text.h"
#include "frontend/FrontEndHost.h"
#include "frontend/SaveSlotList.h"
#include "frontend/SceneCommon.h"
#include "graphics/DDBlt.h"
#include "graphics/ImageSurfaces.h"
#include "project/Cursor.h"
#include "project/GameFonts.h"
#include "project/GameState.h"
#include "project/PlayerFiles.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SaveSlots.h"
#include "project/SystemData.h"

namespace {

const int SaveMenuPos[2] = {264, 192};
const int SaveSlotPos[2] = {152, 160};
constexpr int SAVE_PROMPT_Y = 400, AUTOSAVE_PROMPT_Y = 224, NOSLOT_Y = 232, TITLE_PROMPT_Y = 224, TOTAL_Y = 260;
constexpr int SYSTEXT_TOTALSCORE = 4, SYSTEXT_SAVE = 12, SYSTEXT_AUTOSAVE = 14, SYSTEXT_NOSLOT = 16,
              SYSTEXT_TOTITLE = 17;

}  // namespace

cSaveScene::cSaveScene() { m_nState = -1; }

cSaveScene::~cSaveScene() { ReleaseSceneImages({IMAGE_SLOT_WINDOW, IMAGE_SLOT_ACCESSORY}); }

void cSaveScene::Run() { RunFrontEnd(MENU_BUTTON_DECIDE | MENU_BUTTON_CANCEL); }

void cSaveScene::RunState(int nState) {
    switch (nState) {
    case SAVESTATE_FADEIN: FadeIn(); break;
    case SAVESTATE_MENU: StateMenu(); break;
    case SAVESTATE_SAVE: StateSave(); break;
    case SAVESTATE_AUTOSAVE: StateAutoSave(); break;
    case SAVESTATE_BACK: StateBack(); break;
    case SAVESTATE_TITLE: StateTitle(); break;
    case SAVESTATE_FADEOUT: FadeOut(); break;
    default: break;
    }
}

void cSaveScene::Init() {
    RequestSceneBgm(1);
    m_bDisplay = LoadSceneImages({IMAGE_SLOT_WINDOW, IMAGE_SLOT_ACCESSORY});
    m_vEntry.clear();
    const cChkVector<cCmd>& menu = recSystem.m_vSaveMenu;
    for (int i = 0; i < static_cast<int>(menu.size()); i++)
        if (menu.At(i).m_bEnable) m_vEntry.push_back(i);
    if (m_vEntry.empty()) m_vEntry.push_back(0);
    m_nEntryCount = static_cast<int>(m_vEntry.size());
    Cursor_Menu.Reset();
    Cursor_Menu.Cur().nDrawX = SaveMenuPos[0];
    Cursor_Menu.Cur().nDrawY = SaveMenuPos[1];
}

void cSaveScene::DrawMenu() {
    if (!m_bDisplay) return;
    DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
    const cChkVector<cCmd>& menu = recSystem.m_vSaveMenu;
    int nChars = 0;
    for (int n : m_vEntry) nChars = std::max(nChars, GetCharCount(menu.IsValid(n) ? menu.At(n).m_strText.c_str() : ""));
    int x = SaveMenuPos[0], y = SaveMenuPos[1];
    DDDrawWindow(&BackBuffer, x, y, 16 * (nChars + 1), 16 * m_nEntryCount, &Off_Img[IMAGE_SLOT_WINDOW], 2, 240);
    for (int i = 0; i < m_nEntryCount; i++) {
        int n = m_vEntry[i];
        aFont[1].DrawText(&BackBuffer, x + 16, y + 16 * i, menu.IsValid(n) ? menu.At(n).m_strText.c_str() : "");
    }
    if (recSystem.m_bStoryTotalScore && recProgress.m_nTotalScore > 0) {
        std::string s = FormatBounded(5120, "%s%d", recSystem.GetSysText(SYSTEXT_TOTALSCORE), recProgress.m_nTotalScore);
        aFont[1].DrawTextBox(&BackBuffer, 320 - 8 * GetCharCount(s.c_str()), TOTAL_Y, s.c_str());
    }
    GetFrontEndHost().AnimateSystemColor();
}

void cSaveScene::DrawCursor(int nSrcX) {
    if (!m_bDisplay) return;
    const CURSORPOS& c = Cursor_Menu.Cur();
    DDBlt(&BackBuffer, c.nDrawX, c.nDrawY, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], nSrcX, 0, DDBLT_KEY);
}

void cSaveScene::DrawSlotList() {
    if (!m_bDisplay) return;
    DDFillRect(&BackBuffer, 0, 0, 640, 480, 16);
    DrawSaveSlots(&BackBuffer, SaveSlotPos[0], SaveSlotPos[1], vecSaveSlot, m_nTop, m_nRows);
}

void cSaveScene::FadeIn() {
    DrawMenu();
    DrawCursor(64);
    if (SceneFadeIn()) m_nState = SAVESTATE_MENU;
}

void cSaveScene::FadeOut() {
    if (!SceneFadeOut()) return;
    DDClear(&BackBuffer, 16);
    cGameState& g = GetGameState();
    g.m_nBeforeScene = SCENE_SAVEDATA;
    g.m_nScene = g.m_nNextScene;
    m_nState = -1;
}

void cSaveScene::StateMenu() {
    cInputState& in = GetMenuInput();
    IFrontEndHost& host = GetFrontEndHost();
    Cursor_Menu.Move(in.m_wDir, SaveMenuPos[0], SaveMenuPos[1], 0, 16, 1, m_nEntryCount);
    PlayCursorSE(in.m_wDir, 2, 0);
    if (in.m_wButton & MENU_BUTTON_DECIDE) {
        host.PlaySystemSound(1);
        int nType = m_vEntry[std::clamp(Cursor_Menu.Cur().nY, 0, m_nEntryCount - 1)];
        m_nState = std::clamp(nType + SAVESTATE_SAVE, static_cast<int>(SAVESTATE_SAVE), static_cast<int>(SAVESTATE_TITLE));
        m_nSub = 0;
        Cursor_Menu.Push(0);
        return;
    }
    if (in.m_wButton & MENU_BUTTON_CANCEL) {
        host.PlaySystemSound(2);
        m_nState = SAVESTATE_BACK;
        return;
    }
    DrawMenu();
    DrawCursor(64);
}

void cSaveScene::LeaveSub() {
    Cursor_Menu.Pop(1);
    m_nSub = 0;
    m_nState = SAVESTATE_MENU;
}

void cSaveScene::StateSave() {
    cInputState& in = GetMenuInput();
    IFrontEndHost& host = GetFrontEndHost();
    int nCount = static_cast<int>(vecSaveSlot.size());
    if (m_nSub == 0) {
        Cursor_Menu.Cur() = CURSORPOS();
        int nRow = recProgress.m_nSaveSlot >= 0 && recProgress.m_nSaveSlot < nCount ? recProgress.m_nSaveSlot : 0;
        Cursor_Menu.Cur().nY = nRow;
        ScanSaveSlots(vecSaveSlot);
        m_nRows = std::min(10, nCount);
        m_nTop = std::clamp(nRow, 0, std::max(0, nCount - m_nRows));
        m_nSub = 1;
    }
    if (m_nSub == 1) {
        Cursor_Menu.MoveList(in.m_wDir, 1, &m_nTop, SaveSlotPos[1], 16, SaveSlotPos[0], m_nRows, nCount, 1);
        PlayCursorSE(in.m_wDir, 3, 0);
        if (in.m_wButton & MENU_BUTTON_DECIDE) {
            host.PlaySystemSound(1);
            Cursor_Menu.Push(0);
            Cursor_Menu.Cur().nY = 1;
            m_nSub = 2;
            return;
        }
        if (in.m_wButton & MENU_BUTTON_CANCEL) {
            host.PlaySystemSound(2);
            LeaveSub();
            return;
        }
        DrawSlotList();
        DrawCursor(64);
        return;
    }
    // The prompt over the chosen slot.
    int x = recSystem.GetTextColumnX(320, SYSTEXT_SAVE, 2, 1);
    Cursor_Menu.Move(in.m_wDir, x, SAVE_PROMPT_Y, 0, 16, 1, 2);
    PlayCursorSE(in.m_wDir, 2, 0);
    const CURSORPOS* pSlot = Cursor_Menu.GetBelow();
    if (in.m_wButton & (MENU_BUTTON_DECIDE | MENU_BUTTON_CANCEL)) {
        if (in.m_wButton & MENU_BUTTON_DECIDE) {
            const cSaveSlotInfo* pInfo = pSlot && vecSaveSlot.IsValid(pSlot->nY) ? &vecSaveSlot.At(pSlot->nY) : nullptr;
            if (Cursor_Menu.Cur().nY == 0 && pSlot && pInfo && pInfo->AsksBeforeOverwrite() &&
                !AskReplacePlayerFile(MakeSlotPath(pSlot->nY), pInfo->m_nState)) {
                // A newer program's or a damaged file the player keeps.
                host.PlaySystemSound(2);
            } else if (Cursor_Menu.Cur().nY == 0 && pSlot) {
                int nSlot = pSlot->nY;
                // The done sound and the refreshed slot only after a write
                // that succeeded.
                // The slot goes into the file, so it is set before writing;
                // a failed write keeps the slot the story had.
                const int nOldSlot = recProgress.m_nSaveSlot;
                recProgress.m_nSaveSlot = nSlot;
                if (recProgress.SaveToSlot(nSlot)) {
                    host.PlaySystemSound(5);
                } else {
                    recProgress.m_nSaveSlot = nOldSlot;
                    host.PlaySystemSound(3);
                    host.ErrorBox("セーブデータの書き込みに失敗しました！");
                }
            } else {
                host.PlaySystemSound(1);
            }
        } else {
            host.PlaySystemSound(2);
        }
        Cursor_Menu.Pop(1);
        m_nSub = 1;
        return;
    }
    DrawSlotList();
    if (m_bDisplay) {
        recSystem.DrawTextColumn(&BackBuffer, x, SAVE_PROMPT_Y, SYSTEXT_SAVE, 2, 1);
        if (pSlot) DDBlt(&BackBuffer, pSlot->nDrawX, pSlot->nDrawY, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 80, 0, DDBLT_KEY);
    }
    DrawCursor(64);
}

void cSaveScene::StateAutoSave() {
    cInputState& in = GetMenuInput();
    IFrontEndHost& host = GetFrontEndHost();
    if (m_nSub == 0) {
        Cursor_Menu.Cur() = CURSORPOS();
        Cursor_Menu.Cur().nY = recProgress.m_bAutoSave ? 0 : 1;
        m_nSub = recProgress.m_nSaveSlot == -1 ? 2 : 1;
    }
    if (m_nSub == 1) {
        int x = recSystem.GetTextColumnX(320, SYSTEXT_AUTOSAVE, 2, 1);
        Cursor_Menu.Move(in.m_wDir, x, AUTOSAVE_PROMPT_Y, 0, 16, 1, 2);
        PlayCursorSE(in.m_wDir, 2, 0);
        if (in.m_wButton & MENU_BUTTON_DECIDE) {
            host.PlaySystemSound(1);
            // The switch goes into the slot, so it is set before writing:
            // a continue finds the choice the player made, on or off. A
            // failed write keeps the switch the slot still holds.
            const int32_t bOld = recProgress.m_bAutoSave;
            recProgress.m_bAutoSave = Cursor_Menu.Cur().nY == 0 ? 1 : 0;
            if (!recProgress.SaveToSlot(recProgress.m_nSaveSlot)) {
                recProgress.m_bAutoSave = bOld;
                host.ErrorBox("セーブデータの書き込みに失敗しました！");
            }
            LeaveSub();
            return;
        }
        if (in.m_wButton & MENU_BUTTON_CANCEL) {
            host.PlaySystemSound(2);
            LeaveSub();
            return;
        }
        DrawMenu();
        if (m_bDisplay) recSystem.DrawTextColumn(&BackBuffer, x, AUTOSAVE_PROMPT_Y, SYSTEXT_AUTOSAVE, 2, 1);
        DrawCursor(64);
        return;
    }
    // No slot yet: the note only.
    if (in.m_wButton & (MENU_BUTTON_DECIDE | MENU_BUTTON_CANCEL)) {
        host.PlaySystemSound(in.m_wButton & MENU_BUTTON_DECIDE ? 1 : 2);
        LeaveSub();
        return;
    }
    DrawMenu();
    if (m_bDisplay) {
        int x = recSystem.GetTextColumnX(320, SYSTEXT_NOSLOT, 1, 0);
        recSystem.DrawTextColumn(&BackBuffer, x, NOSLOT_Y, SYSTEXT_NOSLOT, 1, 0);
    }
}

void cSaveScene::StateBack() {
    GetGameState().m_nNextScene = SCENE_WORLDMAP;
    m_nSub = 0;
    m_nState = SAVESTATE_FADEOUT;
}

void cSaveScene::StateTitle() {
    cInputState& in = GetMenuInput();
    IFrontEndHost& host = GetFrontEndHost();
    if (m_nSub == 0) {
        Cursor_Menu.Cur() = CURSORPOS();
        Cursor_Menu.Cur().nY = 1;
        m_nSub = 1;
    }
    int x = recSystem.GetTextColumnX(320, SYSTEXT_TOTITLE, 2, 1);
    Cursor_Menu.Move(in.m_wDir, x, TITLE_PROMPT_Y, 0, 16, 1, 2);
    PlayCursorSE(in.m_wDir, 2, 0);
    if ((in.m_wButton & MENU_BUTTON_DECIDE) && Cursor_Menu.Cur().nY == 0) {
        host.PlaySystemSound(1);
        GetGameState().m_nNextScene = SCENE_TITLE;
        m_nState = SAVESTATE_FADEOUT;
        return;
    }
    if (in.m_wButton & (MENU_BUTTON_DECIDE | MENU_BUTTON_CANCEL)) {
        host.PlaySystemSound(in.m_wButton & MENU_BUTTON_DECIDE ? 1 : 2);
        LeaveSub();
        return;
    }
    DrawMenu();
    if (m_bDisplay) recSystem.DrawTextColumn(&BackBuffer, x, TITLE_PROMPT_Y, SYSTEXT_TOTITLE, 2, 1);
    DrawCursor(64);
}
