#include "shell/DrawModeDlg.h"

#include "foundation/ErrorBox.h"
#include "platform/CloseRequest.h"
#include "shell/BootData.h"
#include "shell/MainWindow.h"
#include "project/SystemIni.h"

cDrawModeDlg* lpDrawModeDlg = nullptr;

namespace {
std::string strDialogTitle;
}

void SetDrawModeDialogTitle(const std::string& strTitle) { strDialogTitle = strTitle; }

cDrawModeDlg::cDrawModeDlg(int nResourceId, cWindow* pParent) {
    Init(nResourceId, pParent);
    lpDrawModeDlg = this;
    Setup(0, 0, 100, 100, 640, 480, 0);
    // Centred in the game window; the pointer is left where it is.
    m_nWidth = 480;
    m_nHeight = 290;
    m_nDefaultId = IDC_DRAWMODE_START;
    m_nHeadlessId = IDC_DRAWMODE_START;
    m_bKeyboardNav = 1;
    m_vecRadio.resize(2);
    m_vecCheck.resize(1);
    m_vecLabel.resize(1);
}

cDrawModeDlg::~cDrawModeDlg() {
    if (lpDrawModeDlg == this) lpDrawModeDlg = nullptr;
}

void cDrawModeDlg::OnInitDialog(uintptr_t wParam, intptr_t lParam) {
    cDialog::OnInitDialog(wParam, lParam);
    m_strTitle = strDialogTitle.empty() ? std::string(" ") : strDialogTitle;
    m_vecRadio.At(0).Bind(this, IDC_DRAWMODE_D3D, &Boot_Data.m_nDrawMode, 1);
    m_vecRadio.At(0).m_strLabel = "Direct3D";
    m_vecRadio.At(1).Bind(this, IDC_DRAWMODE_DD, &Boot_Data.m_nDrawMode, 0);
    m_vecRadio.At(1).m_strLabel = "DirectDraw";
    m_vecCheck.At(0).Bind(this, IDC_DRAWMODE_NOASK, &Boot_Data.m_bNoAsk);
    m_vecCheck.At(0).m_strLabel = "次回からこのダイアログを表示しない";
    m_vecLabel.At(0).Attach(this, IDC_DRAWMODE_NOTE);
    m_vecLabel.At(0).m_strLabel = "詳細な設定は環境設定ファイル「System.ini」で行って下さい。";
    for (auto& r : m_vecRadio) m_vecCtrl.push_back(&r);
    for (auto& c : m_vecCheck) m_vecCtrl.push_back(&c);
    for (auto& l : m_vecLabel) m_vecCtrl.push_back(&l);
    DataToCtrls();
    m_strGroup = "描画モード";
    m_strStart = "ゲーム開始";
    m_strCancel = "ゲーム中止";
    if (bEnglish) {
        m_strGroup = "Drawing mode";
        m_strStart = "Start";
        m_strCancel = "Cancel";
        if (cCtrl* p = FindTextCtrl(IDC_DRAWMODE_NOTE)) p->m_strLabel = "Configure the detail settings at \"System.ini\".";
        if (cCtrl* p = FindTextCtrl(IDC_DRAWMODE_NOASK)) p->m_strLabel = "Do not ask this dialog again";
    }
}

cCtrlRadio* cDrawModeDlg::FindRadio(int nId) {
    for (auto& r : m_vecRadio)
        if (r.m_nId == nId) return &r;
    return nullptr;
}

cCtrlCheck* cDrawModeDlg::FindCheck(int nId) {
    for (auto& c : m_vecCheck)
        if (c.m_nId == nId) return &c;
    return nullptr;
}

cCtrl* cDrawModeDlg::FindTextCtrl(int nId) {
    if (cCtrlCheck* p = FindCheck(nId)) return p;
    for (auto& l : m_vecLabel)
        if (l.m_nId == nId) return &l;
    ErrorBoxEC("コントロールID 【%u】 が見つかりません！", static_cast<unsigned>(nId));
    PostCloseRequest(CLOSE_FATAL);
    return nullptr;
}

void cDrawModeDlg::CheckRadio(int nId) {
    cCtrlRadio* p = FindRadio(nId);
    if (!p) return;
    for (auto& r : m_vecRadio)
        if (r.m_pValue == p->m_pValue) r.m_nCheck = 0;
    p->m_nCheck = 1;
}

void cDrawModeDlg::OnCommand(uintptr_t wParam, intptr_t lParam) {
    cDialog::OnCommand(wParam, lParam);
    switch (static_cast<int>(wParam & 0xFFFF)) {
    case IDC_DRAWMODE_START:
        CtrlsToData();
        Boot_Data.Save("user_data\\Boot.dat");   // a failed save only asks again next time
        End(1);
        break;
    case IDC_DRAWMODE_CANCEL: End(0); break;
    default: break;
    }
}

int ShowDrawModeDialog() {
    cDrawModeDlg dlg(103, &Wnd_Main);
    return dlg.DoModal();
}
