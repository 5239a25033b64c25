#include "frontend/OptionScene.h"

#include <algorithm>
#include <string>

#include "foundation/InputState.h"
#include "foundation/Log.h"
#include "foundation/Text.h"
#include "frontend/FrontEndHost.h"
#include "frontend/Option.h"
#include "frontend/SceneCommon.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/ImageSurfaces.h"
#include "project/Cursor.h"
#include "project/GameFonts.h"
#include "project/GameState.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "sound/WaveSound.h"

namespace {

constexpr int TITLEMENU_OPTION_ENTRY = 5;
const char* const pszOptionFile = "user_data\\Option.dat";

// The value edited by an id and its range.
struct OPTIONVALUE {
    int32_t cOption::*pMember;
    int nMax;
};
const OPTIONVALUE atblValue[4] = {
    {&cOption::m_nPaletteVariant, OPTION_PALETTE_VARIANTS - 1},
    {&cOption::m_bBgm, 1},
    {&cOption::m_nVolume, OPTION_VOLUME_STEPS - 1},
    {&cOption::m_nRankingMode, OPTION_RANKING_MODES - 1},
};

std::string ValueText(int nId) {
    switch (nId) {
    case OPTIONID_PALETTE: return FormatBounded(64, "%d", recOption.m_nPaletteVariant);
    case OPTIONID_BGM: return recOption.m_bBgm ? "ON" : "OFF";
    case OPTIONID_VOLUME: return FormatBounded(64, "%d", recOption.m_nVolume);
    case OPTIONID_RANKMODE:
        return recSystem.m_vRankingModeText.IsValid(recOption.m_nRankingMode)
                   ? recSystem.m_vRankingModeText.At(recOption.m_nRankingMode)
                   : std::string();
    case OPTIONID_NAME: return recOption.m_strName;
    default: return std::string();
    }
}

}  // namespace

void ApplyOptionSideEffect(int nId) {
    if (nId == OPTIONID_PALETTE) {
        GetFrontEndHost().LoadHbtPalette(recOption.m_nPaletteVariant);
    } else if (nId == OPTIONID_VOLUME) {
        int nVolume = GetOptionVolume(recOption.m_nVolume);
        for (SOUNDDATA& s : vecWave)
            for (int i = 0; i < static_cast<int>(s.lpBuffers.size()); i++) DS_SetVolume(&s, i, nVolume, 0);
    }
}

cOptionScene::cOptionScene() { m_nState = -1; }

cOptionScene::~cOptionScene() {
    DDReleaseSurface(&m_sdOption);
    ReleaseSceneImages({IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW});
}

void cOptionScene::Run() { RunFrontEnd(MENU_BUTTON_DECIDE | MENU_BUTTON_CANCEL); }

void cOptionScene::RunState(int nState) {
    switch (nState) {
    case OPTIONSTATE_FADEIN: FadeIn(); break;
    case OPTIONSTATE_LIST: StateList(); break;
    case OPTIONSTATE_FADEOUT: FadeOut(); break;
    default: break;
    }
}

void cOptionScene::Init() {
    RequestSceneBgm(3);
    m_bDisplay = LoadSceneImages({IMAGE_SLOT_ACCESSORY, IMAGE_SLOT_WINDOW});
    Cursor_Menu.Reset();
    m_vEntry.clear();
    const cChkVector<cCmd>& menu = recSystem.m_vOptionMenu;
    for (int i = 0; i < static_cast<int>(menu.size()); i++)
        if (menu.At(i).m_bEnable) m_vEntry.push_back(i);
    if (m_vEntry.empty()) m_vEntry.push_back(OPTIONID_PALETTE);
    m_nEntryCount = static_cast<int>(m_vEntry.size());
    if (m_bDisplay && !DDCreateSurface(&m_sdOption, 640, 480, 1, 1, 0, nullptr, 0)) {
        GetFrontEndHost().RequestErrorClose();
        m_bDisplay = false;
    }
    DrawOptions();
    m_nSub = 0;
}

void cOptionScene::DrawOptions() {
    if (!m_bDisplay) return;
    DDClear(&m_sdOption, 0);
    cFont& large = aFont[2];
    cFont& font = aFont[1];
    large.DrawWindow(&m_sdOption, 1, 1, 638, 478);
    const char* pszHead = recSystem.m_vTitleMenu.IsValid(TITLEMENU_OPTION_ENTRY)
                              ? recSystem.m_vTitleMenu.At(TITLEMENU_OPTION_ENTRY).m_strText.c_str()
                              : "";
    large.DrawText(&m_sdOption, 320 - 16 * GetCharCount(pszHead), 32, pszHead);
    for (int i = 0; i < m_nEntryCount; i++) {
        int nId = m_vEntry[i], y = 96 + 16 * i;
        font.DrawText(&m_sdOption, 64, y, RowLabel(i).c_str());
        std::string strValue = RowValue(i);
        bool bPlain = nId == OPTIONID_NAME && recSystem.m_bSymbolLetters;
        if (bPlain) font.m_bSymbolLetters = 0;
        font.DrawText(&m_sdOption, 208, y, strValue.c_str());
        if (bPlain) font.m_bSymbolLetters = 1;
    }
}

namespace {

std::string OptionMenuLabel(const cChkVector<cCmd>& menu, int nId) {
    // Projects store the option menu in one of two layouts. Ours has one
    // label per id, the palette first ("パレット", "BGM", ..., "もどる").
    // The older one starts at the music row and leaves its sixth label
    // empty ("BGM", "SE", ..., "もどる", ""): there each row from the music
    // on takes the label one before its id, and the palette row, which has
    // no label of its own, shows ours.
    const bool bOlder = menu.size() > OPTIONID_BACK && menu.At(OPTIONID_BACK).m_strText.empty();
    if (!bOlder) return menu.IsValid(nId) ? menu.At(nId).m_strText : std::string();
    if (nId == OPTIONID_PALETTE) return "パレット";
    return menu.IsValid(nId - 1) ? menu.At(nId - 1).m_strText : std::string();
}

}  // namespace

std::string cOptionScene::RowLabel(int nRow) const {
    if (nRow < 0 || nRow >= static_cast<int>(m_vEntry.size())) return std::string();
    return OptionMenuLabel(recSystem.m_vOptionMenu, m_vEntry[static_cast<size_t>(nRow)]);
}

std::string cOptionScene::RowValue(int nRow) const {
    if (nRow < 0 || nRow >= static_cast<int>(m_vEntry.size())) return std::string();
    return ValueText(m_vEntry[static_cast<size_t>(nRow)]);
}

void cOptionScene::DrawFrame() {
    if (!m_bDisplay) return;
    if (m_sdOption.bLost) DrawOptions();
    DDBlt(&BackBuffer, 0, 0, 640, 480, &m_sdOption, 0, 0, DDBLT_NOKEY);
    GetFrontEndHost().AnimateSystemColor();
}

void cOptionScene::FadeIn() {
    DrawFrame();
    if (SceneFadeIn()) m_nState = OPTIONSTATE_LIST;
}

void cOptionScene::FadeOut() {
    if (!SceneFadeOut()) return;
    DDClear(&BackBuffer, 16);
    GetFrontEndHost().ApplyBgmOption();
    if (!recOption.SaveFile(pszOptionFile)) {
        // The settings stay in force for this run; the player must know they were not kept.
        WriteReport("%s の書き込みに失敗しました！", pszOptionFile);
        GetFrontEndHost().ErrorBox(FormatBounded(1024, "%s の書き込みに失敗しました！", pszOptionFile).c_str());
    }
    Cursor_Menu.Reset();
    cGameState& g = GetGameState();
    g.m_nBeforeScene = SCENE_OPTION;
    g.m_nScene = g.m_nNextScene;
}

void cOptionScene::Edit(int nDelta) {
    int32_t v = *m_pValue + nDelta;
    if (v < m_nMin) v = m_nMax;
    else if (v > m_nMax) v = m_nMin;
    *m_pValue = v;
    ApplyOptionSideEffect(m_nEditId);
    DrawOptions();
}

void cOptionScene::StateList() {
    cInputState& in = GetMenuInput();
    cGameState& g = GetGameState();
    IFrontEndHost& host = GetFrontEndHost();
    if (m_nSub == 0) {
        Cursor_Menu.Cur() = CURSORPOS();
        Cursor_Menu.Cur().nDrawX = 48;
        Cursor_Menu.Cur().nDrawY = 96;
        m_nSub = 1;
    }
    if (m_nSub == 1) {
        Cursor_Menu.Move(in.m_wDir, 48, 96, 0, 16, 1, m_nEntryCount);
        PlayCursorSE(in.m_wDir, 2, 0);
        if (in.m_wButton & MENU_BUTTON_DECIDE) {
            host.PlaySystemSound(1);
            int nId = m_vEntry[std::clamp(Cursor_Menu.Cur().nY, 0, m_nEntryCount - 1)];
            if (nId >= OPTIONID_PALETTE && nId <= OPTIONID_RANKMODE) {
                m_nEditId = nId;
                m_pValue = &(recOption.*atblValue[nId].pMember);
                m_nMin = 0;
                m_nMax = atblValue[nId].nMax;
                m_nBefore = *m_pValue;
                Cursor_Menu.Push(0);
                m_nSub = 2;
            } else if (nId == OPTIONID_NAME) {
                host.RequestNameEntry();
                DrawOptions();
            } else if (nId == OPTIONID_BACK) {
                g.m_nNextScene = SCENE_TITLE;
                m_nSub = 0;
                m_nState = OPTIONSTATE_FADEOUT;
            }
            return;
        }
        if (in.m_wButton & MENU_BUTTON_CANCEL) {
            host.PlaySystemSound(2);
            g.m_nNextScene = SCENE_TITLE;
            m_nSub = 0;
            m_nState = OPTIONSTATE_FADEOUT;
            return;
        }
        DrawFrame();
        if (m_bDisplay) {
            const CURSORPOS& c = Cursor_Menu.Cur();
            DDBlt(&BackBuffer, c.nDrawX, c.nDrawY, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 64, 0, DDBLT_KEY);
        }
        return;
    }
    // Editing a value: up adds, down subtracts, wrapping over the range.
    if (in.m_wDir & KEYDIR_UP) Edit(1);
    else if (in.m_wDir & KEYDIR_DOWN) Edit(-1);
    PlayCursorSE(in.m_wDir, 2, 0);
    if (in.m_wButton & MENU_BUTTON_DECIDE) {
        host.PlaySystemSound(1);
        Cursor_Menu.Pop(1);
        m_nSub = 1;
        return;
    }
    if (in.m_wButton & MENU_BUTTON_CANCEL) {
        host.PlaySystemSound(2);
        *m_pValue = m_nBefore;
        ApplyOptionSideEffect(m_nEditId);
        Cursor_Menu.Pop(1);
        m_nSub = 1;
        DrawOptions();
        return;
    }
    DrawFrame();
    if (m_bDisplay) {
        const CURSORPOS* pRow = Cursor_Menu.GetBelow();
        int y = pRow ? pRow->nDrawY : 96;
        DDBlt(&BackBuffer, 48, y, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 80, 0, DDBLT_KEY);
        DDBlt(&BackBuffer, 192, y, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 64, 0, DDBLT_KEY);
    }
}
