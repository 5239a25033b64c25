#include "shell/Dialog.h"

#include "foundation/ErrorBox.h"
#include "shell/KeyState.h"
#include "shell/ShellState.h"

// ---------------------------------------------------------------------------
// Controls

void cCtrl::Attach(cDialog* pDialog, int nId) {
    m_pDialog = pDialog;
    m_hWndDlg = pDialog ? pDialog->m_hWnd : nullptr;
    m_nId = nId;
}

void cCtrlEdit::Bind(cDialog* pDialog, const EDITDESC& desc) {
    m_nKind = CTRL_EDIT;
    Attach(pDialog, desc.nId);
    m_Desc = desc;
    m_Limit.nSize = desc.nSize ? desc.nSize : 4096;
    m_Limit.nMaxPerLine = desc.nMaxPerLine ? desc.nMaxPerLine : 1024;
    m_Limit.nMaxLines = desc.nMaxLines ? desc.nMaxLines : 32;
    m_Limit.bCountChar = desc.bCountChar;
    m_strShown = desc.lpText ? *desc.lpText : std::string();
    m_strPrev = m_strShown;
    m_bBinding = 1;
    OnUpdate();
    m_bBinding = 0;
}

void cCtrlEdit::DataToCtrl() {
    if (m_Desc.lpText) m_strShown = *m_Desc.lpText;
}

void cCtrlEdit::CtrlToData() {
    if (m_pDialog && m_pDialog->m_bPushing) return;
    if (m_Desc.lpText) *m_Desc.lpText = ReadEditBuffer(m_Limit, m_strShown);
}

void cCtrlEdit::SetShown(const std::string& strText, int nSelStart, int nSelEnd) {
    m_strShown = strText;
    m_nSelStart = nSelStart;
    m_nSelEnd = nSelEnd;
}

void cCtrlEdit::OnUpdate() {
    if (m_bInUpdate) return;
    m_bInUpdate = 1;
    EDITSTATE cur{ReadEditBuffer(m_Limit, m_strShown), m_nSelStart, m_nSelEnd};
    EDITSTATE r = EditLimitPass(m_Limit, m_strPrev, cur, m_bBackspace != 0, m_bBinding != 0);
    m_strShown = r.strText;
    if (!m_bBinding) {
        m_nSelStart = r.nSelStart;
        m_nSelEnd = r.nSelEnd;
    }
    m_strPrev = m_strShown;
    m_bInUpdate = 0;
}

void cCtrlCheck::Bind(cDialog* pDialog, int nId, int32_t* pValue) {
    m_nKind = CTRL_CHECK;
    Attach(pDialog, nId);
    m_pValue = pValue;
}

void cCtrlCheck::DataToCtrl() {
    if (m_pValue) m_nCheck = *m_pValue;
}

void cCtrlCheck::CtrlToData() {
    if (m_pDialog && m_pDialog->m_bPushing) return;
    if (m_pValue) *m_pValue = m_nCheck;
}

void cCtrlRadio::Bind(cDialog* pDialog, int nId, int32_t* pValue, int nOwnValue) {
    m_nKind = CTRL_RADIO;
    Attach(pDialog, nId);
    m_pValue = pValue;
    m_nOwnValue = nOwnValue;
}

void cCtrlRadio::DataToCtrl() {
    if (m_pValue) m_nCheck = *m_pValue == m_nOwnValue;
}

void cCtrlRadio::CtrlToData() {
    if (m_pDialog && m_pDialog->m_bPushing) return;
    if (m_pValue && m_nCheck) *m_pValue = m_nOwnValue;
}

// ---------------------------------------------------------------------------
// Dialog

cDialog::~cDialog() = default;

void cDialog::Init(int nResourceId, cWindow* pParent) {
    m_nResourceId = nResourceId;
    m_pParent = pParent;
    m_hWndParent = pParent ? pParent->m_hWnd : nullptr;
    Setup(0, 0, 100, 100, 640, 480, 0);
}

int cDialog::DoModal() {
    if (m_hWnd) return 0;
    End(0);
    m_bEnded = false;
    int r = GetDialogHost().Run(*this);
    m_hWnd = nullptr;
    return r;
}

void cDialog::End(int nResult) {
    m_nResult = nResult;
    m_vecCtrl.clear();
    if (m_hWnd) m_bEnded = true;
}

void cDialog::DataToCtrls() {
    m_bPushing = 1;
    for (cCtrl* p : m_vecCtrl) p->DataToCtrl();
    m_bPushing = 0;
}

void cDialog::CtrlsToData() {
    for (cCtrl* p : m_vecCtrl) p->CtrlToData();
}

void cDialog::OnCommand(uintptr_t wParam, intptr_t) {
    int nId = static_cast<int>(wParam & 0xFFFF);
    uint32_t nCode = static_cast<uint32_t>((wParam >> 16) & 0xFFFF);
    for (cCtrl* p : m_vecCtrl) {
        if (p->m_nId != nId || p->m_nKind != CTRL_EDIT) continue;
        if (nCode == EN_UPDATE) {
            p->OnUpdate();
            return;
        }
        if (nCode == EN_KILLFOCUS) {
            p->OnKillFocus();
            return;
        }
    }
}

intptr_t cDialog::WndProc(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    int r = OnMessage(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_DESTROY) return 1;
    if (uMsg == WM_CLOSE) {
        End(0);
        return 1;
    }
    return r ? 1 : 0;
}

int cDialog::OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    int r = cWindow::OnMessage(hWnd, uMsg, wParam, lParam);
    switch (uMsg) {
    case WM_INITDIALOG: OnInitDialog(wParam, lParam); break;
    case WM_KEYDOWN:
        for (cCtrl* p : m_vecCtrl) p->OnKeyDown(static_cast<int>(wParam), lParam, bHookCtrlDown);
        break;
    case WMU_HOOKKEY: OnMessage(hWnd, WM_KEYDOWN, wParam, lParam); break;
    default: break;
    }
    return r;
}

void cDialog::UpdateControls() {
    for (cCtrl* p : m_vecCtrl)
        if (p->m_nKind == CTRL_REFRESH) p->Refresh();
}

void cDialog::OnInitDialog(uintptr_t, intptr_t) {
    m_vecCtrl.clear();
    RefreshFrame();
    PlaceAtWanted();
    if (!m_Hook.Install(m_hWnd, 0)) ErrorBox("KeyboardHookに失敗!");
}

void cDialog::Draw() {
    for (cCtrl* p : m_vecCtrl) p->Draw();
}
