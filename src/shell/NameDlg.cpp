#include "shell/NameDlg.h"

#include "foundation/Text.h"
#include "frontend/Option.h"
#include "shell/GameMain.h"
#include "shell/MainWindow.h"
#include "project/SystemIni.h"

cNameDlg* lpNameDlg = nullptr;

namespace {
RANKINGNAMEFN pfnRankingName = nullptr;
}

void SetRankingNameSource(RANKINGNAMEFN pfn) { pfnRankingName = pfn; }
std::string* GetRankingName() { return pfnRankingName ? pfnRankingName() : nullptr; }

std::string* ChooseNameTarget(int nPlayType, std::string* pOptionName, std::string* pRankingName) {
    if (nPlayType == PLAYTYPE_OPTIONS) return pOptionName;
    return pRankingName;
}

std::string CutName(const std::string& strName) {
    size_t i = 0;
    int nChars = 0;
    while (i < strName.size() && nChars < NAME_MAX_CHARS) {
        unsigned char c = static_cast<unsigned char>(strName[i]);
        if (c == 0) break;
        size_t n = IsSJISLead(c) ? 2 : 1;
        if (i + n > strName.size() || i + n > static_cast<size_t>(NAME_MAX_BYTES)) break;
        i += n;
        nChars++;
    }
    return strName.substr(0, i);
}

cNameDlg::cNameDlg(int nResourceId, cWindow* pParent) {
    Init(nResourceId, pParent);
    lpNameDlg = this;
    Setup(0, 0, 100, 100, 640, 480, 0);
    // Inside the game window at (240, 220) of its client area, windowed or
    // full screen; the pointer stays where the player left it.
    m_ptClient = WINPOINT{240, 220};
    m_nWidth = 240;
    m_nHeight = 110;
    m_nDefaultId = IDC_NAME_OK;
    m_nHeadlessId = IDC_NAME_OK;
    m_pName = ChooseNameTarget(Game_Main.m_nPlayType, &recOption.m_strName, GetRankingName());
    if (m_pName) m_vecEdit.emplace_back();
}

cNameDlg::~cNameDlg() {
    if (lpNameDlg == this) lpNameDlg = nullptr;
}

void cNameDlg::OnInitDialog(uintptr_t wParam, intptr_t lParam) {
    cDialog::OnInitDialog(wParam, lParam);
    if (!m_vecEdit.empty()) {
        cCtrlEditItem& edit = m_vecEdit.At(0);
        EDITDESC d;
        d.nId = IDC_NAME_EDIT;
        d.lpText = m_pName;
        d.nSize = NAME_MAX_CHARS + 1;
        d.nMaxPerLine = NAME_MAX_CHARS;
        d.nMaxLines = 1;
        d.bCountChar = 1;
        edit.Bind(this, d);
        m_vecCtrl.push_back(&edit);
        DataToCtrls();
        // DataToCtrls shows the bound text as it stands: the limit pass
        // cuts it again, as when it was bound.
        edit.m_bBinding = 1;
        edit.OnUpdate();
        edit.m_bBinding = 0;
        edit.SetShown(CutName(edit.GetShown()), 0, 0);
        edit.m_nSelStart = 0;
        edit.m_nSelEnd = static_cast<int>(edit.GetShown().size());
    }
    m_strLabel = bEnglish ? "     Name" : "登録名(3文字まで)";
}

void cNameDlg::OnCommand(uintptr_t wParam, intptr_t lParam) {
    cDialog::OnCommand(wParam, lParam);
    if ((wParam & 0xFFFF) != IDC_NAME_OK) return;
    CtrlsToData();
    if (m_pName) *m_pName = CutName(*m_pName);
    End(1);
}

int ShowNameDialog() {
    cNameDlg dlg(102, &Wnd_Main);
    return dlg.DoModal();
}
