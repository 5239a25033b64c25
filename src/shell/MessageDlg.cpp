#include "shell/MessageDlg.h"

#include <algorithm>
#include <vector>

#include "foundation/Text.h"
#include "platform/MessageBox.h"
#include "shell/KeyState.h"
#include "shell/MainWindow.h"
#include "project/SystemIni.h"
#include "shell/ShellState.h"

namespace {

// The box's size in client pixels from its text: a half-width character
// (one Shift-JIS byte) takes 8 pixels at the dialogs' 16-pixel font.
constexpr int BOX_MIN_WIDTH = 240;
constexpr int BOX_MAX_WIDTH = 560;
constexpr int BOX_MAX_HEIGHT = 440;
constexpr int LINE_HEIGHT = 20;
constexpr int TEXT_MARGIN = 24;   // left and right of the text, each

void MeasureText(const std::string& strText, int* pWidth, int* pHeight) {
    // Each line's bytes; a trailing line break adds no line.
    std::vector<int> vLine{0};
    for (size_t i = 0; i < strText.size(); i++) {
        unsigned char c = static_cast<unsigned char>(strText[i]);
        if (c == '\n') {
            vLine.push_back(0);
            continue;
        }
        if (c == '\r') continue;
        vLine.back()++;
    }
    if (vLine.size() > 1 && vLine.back() == 0) vLine.pop_back();
    int nWidest = 0;
    for (int n : vLine) nWidest = std::max(nWidest, n * 8);
    const int nWidth = std::clamp(nWidest + 2 * TEXT_MARGIN, BOX_MIN_WIDTH, BOX_MAX_WIDTH);
    // Lines wider than the box wrap.
    const int nTextWidth = nWidth - 2 * TEXT_MARGIN;
    int nLines = 0;
    for (int n : vLine) nLines += std::max(1, (n * 8 + nTextWidth - 1) / nTextWidth);
    // Caption, text, a gap and the buttons.
    *pWidth = nWidth;
    *pHeight = std::min(BOX_MAX_HEIGHT, 34 + nLines * LINE_HEIGHT + 16 + 40);
}

}  // namespace

cMessageDlg::cMessageDlg(const char* pszText, const char* pszCaption, unsigned nType) {
    Init(0, &Wnd_Main);
    Setup(0, 0, 100, 100, 640, 480, 0);
    m_strText = pszText ? pszText : "";
    m_strTitle = pszCaption && *pszCaption ? pszCaption : " ";
    const bool bSecond = (nType & MB_DEFBUTTON2) != 0;
    switch (nType & 0xF) {
    case MB_YESNO:
        m_aButton[0] = IDYES;
        m_aButton[1] = IDNO;
        m_aLabel[0] = bEnglish ? "Yes" : "はい";
        m_aLabel[1] = bEnglish ? "No" : "いいえ";
        m_nButtons = 2;
        break;
    case MB_OKCANCEL:
        m_aButton[0] = IDOK;
        m_aButton[1] = IDCANCEL;
        m_aLabel[0] = "OK";
        m_aLabel[1] = bEnglish ? "Cancel" : "キャンセル";
        m_nButtons = 2;
        break;
    default:
        m_aButton[0] = IDOK;
        m_aLabel[0] = "OK";
        m_nButtons = 1;
        break;
    }
    m_nFocus = m_nButtons == 2 && bSecond ? 1 : 0;
    m_nCancelId = CancelBoxAnswer(nType);
    // The keys are the box's own (below), not the dialog base's.
    m_nDefaultId = 0;
    m_nHeadlessId = 0;
    MeasureText(m_strText, &m_nWidth, &m_nHeight);
}

int cMessageDlg::OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    // Escape reaches the cancelling button through the base.
    const int r = cGameDialog::OnMessage(hWnd, uMsg, wParam, lParam);
    if (uMsg != WM_KEYDOWN || IsEnded()) return r;
    switch (static_cast<int>(wParam)) {
    case VK_LEFT: m_nFocus = std::max(0, m_nFocus - 1); break;
    case VK_RIGHT: m_nFocus = std::min(m_nButtons - 1, m_nFocus + 1); break;
    case VK_RETURN:
    case VK_SPACE: PressButton(m_aButton[m_nFocus]); break;
    default: break;
    }
    return r;
}

void cMessageDlg::OnCommand(uintptr_t wParam, intptr_t lParam) {
    cGameDialog::OnCommand(wParam, lParam);
    const int nId = static_cast<int>(wParam & 0xFFFF);
    for (int i = 0; i < m_nButtons; i++)
        if (m_aButton[i] == nId) {
            End(nId);
            return;
        }
}

int ShowWindowBox(const char* pszText, const char* pszCaption, unsigned nType) {
    if (!Wnd_Main.m_hWnd && !hWndMain) return -1;
    cMessageDlg dlg(pszText, pszCaption, nType);
    const int r = dlg.DoModal();
    if (r < 0) return -1;
    // Closed without a button: the answer of the cancelling one.
    return r == 0 ? CancelBoxAnswer(nType) : r;
}
