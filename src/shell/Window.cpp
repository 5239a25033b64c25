#include "shell/Window.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace {
FRAMEMETRICS Frame_Metrics;
bool bDesktopSet = false;
DESKTOPINFO Desktop_Info;
}  // namespace

void SetFrameMetrics(const FRAMEMETRICS& m) { Frame_Metrics = m; }
const FRAMEMETRICS& GetFrameMetrics() { return Frame_Metrics; }

void SetDesktopInfo(const DESKTOPINFO& d) {
    Desktop_Info = d;
    bDesktopSet = true;
}

DESKTOPINFO GetDesktopInfo() {
    if (bDesktopSet) return Desktop_Info;
    DESKTOPINFO d;
    SDL_Rect r;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDisplayBounds(0, &r) == 0)
        d.rcDesktop = WINRECT{r.x, r.y, r.x + r.w, r.y + r.h};
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDisplayUsableBounds(0, &r) == 0)
        d.rcWorkArea = WINRECT{r.x, r.y, r.x + r.w, r.y + r.h};
    return d;
}

void cWindow::ComputeFrame() {
    const FRAMEMETRICS& m = Frame_Metrics;
    m_nFrameLeft = m_nFrameRight = m_nFrameTop = m_nFrameBottom = 0;
    if (m_dwStyle & WS_CAPTION) m_nFrameTop += m.nCaption;
    if (m_dwStyle & WS_THICKFRAME) {
        m_nFrameLeft += m.nCxFrame;
        m_nFrameRight += m.nCxFrame;
        m_nFrameTop += m.nCyFrame;
        m_nFrameBottom += m.nCyFrame;
    } else if (m_dwStyle & WS_DLGFRAME) {
        m_nFrameLeft += m.nCxDlgFrame;
        m_nFrameRight += m.nCxDlgFrame;
        m_nFrameTop += m.nCyDlgFrame;
        m_nFrameBottom += m.nCyDlgFrame;
    }
    if (m_dwStyle & WS_HSCROLL) m_nFrameBottom += m.nCyHScroll;
    if (m_dwStyle & WS_VSCROLL) m_nFrameRight += m.nCxVScroll;
    m_nMarginX = m_nFrameLeft + m_nFrameRight;
    m_nMarginY = m_nFrameTop + m_nFrameBottom;
    m_rcWindow = WINRECT{0, 0, m_rcClient.right + m_nMarginX, m_rcClient.bottom + m_nMarginY};
}

void cWindow::Setup(int nClientW, int nClientH, int nMinW, int nMinH, int nMaxW, int nMaxH, uint32_t dwStyle) {
    m_dwStyle = dwStyle;
    m_rcClientWant = WINRECT{0, 0, nClientW, nClientH};
    m_rcClient = m_rcClientWant;
    m_rcMinTrack = WINRECT{0, 0, nMinW, nMinH};
    m_rcMaxTrack = WINRECT{0, 0, nMaxW, nMaxH};
    ComputeFrame();
}

void cWindow::RefreshFrame() {
    if (m_hWnd) {
        int w = 0, h = 0;
        SDL_GetWindowSize(m_hWnd, &w, &h);
        m_rcClient = WINRECT{0, 0, w, h};
        m_dwStyle = (SDL_GetWindowFlags(m_hWnd) & SDL_WINDOW_RESIZABLE) ? (m_dwStyle | WS_THICKFRAME)
                                                                          : (m_dwStyle & ~WS_THICKFRAME);
    }
    ComputeFrame();
}

void cWindow::AddStyle(uint32_t dwBits) {
    m_dwStyle |= dwBits;
    if (m_hWnd && (dwBits & WS_THICKFRAME)) SDL_SetWindowResizable(m_hWnd, SDL_TRUE);
    RefreshFrame();
}

void cWindow::RemoveStyle(uint32_t dwBits) {
    m_dwStyle &= ~dwBits;
    if (m_hWnd && (dwBits & WS_THICKFRAME)) SDL_SetWindowResizable(m_hWnd, SDL_FALSE);
    RefreshFrame();
}

namespace {
// The window manager's frame around the client area (0 when there is none,
// or before the window is shown: the manager then puts its frame's corner
// where the window was asked to be).
void GetFrameCorner(SDL_Window* w, int* pLeft, int* pTop) {
    int nTop = 0, nLeft = 0, nBottom = 0, nRight = 0;
    if (SDL_GetWindowBordersSize(w, &nTop, &nLeft, &nBottom, &nRight) != 0) nTop = nLeft = 0;
    *pLeft = std::max(0, nLeft);
    *pTop = std::max(0, nTop);
}
}  // namespace

void cWindow::MoveTo(int x, int y) {
    if (m_hWnd) {
        // (x, y) is the outer corner; SDL places the client area.
        int nLeft = 0, nTop = 0;
        GetFrameCorner(m_hWnd, &nLeft, &nTop);
        SDL_SetWindowPosition(m_hWnd, x + nLeft, y + nTop);
        SDL_SetWindowSize(m_hWnd, std::max(1, m_rcClient.right), std::max(1, m_rcClient.bottom));
    }
    m_ptPos = WINPOINT{x, y};
    ComputeFrame();
}

void cWindow::SetClientSize(int w, int h) {
    m_rcClient = WINRECT{0, 0, w, h};
    if (m_hWnd) SDL_SetWindowSize(m_hWnd, std::max(1, w), std::max(1, h));
    ComputeFrame();
}

void cWindow::CenterOnDesktop() {
    DESKTOPINFO d = GetDesktopInfo();
    int x = 0, y = 0;
    GetWindowPos(&x, &y);
    WINRECT w{x, y, x + m_rcWindow.right, y + m_rcWindow.bottom};
    MoveTo((w.left + d.rcDesktop.right - w.right) / 2, (w.top + d.rcDesktop.bottom - w.bottom) / 2);
}

void cWindow::GetWindowPos(int* px, int* py) const {
    int x = m_ptPos.x, y = m_ptPos.y;
    if (m_hWnd) {
        // SDL tells the client area's corner; the outer one is left of and
        // above it by the frame.
        SDL_GetWindowPosition(m_hWnd, &x, &y);
        int nLeft = 0, nTop = 0;
        GetFrameCorner(m_hWnd, &nLeft, &nTop);
        x -= nLeft;
        y -= nTop;
    }
    if (px) *px = x;
    if (py) *py = y;
}

void cWindow::FillMinMaxInfo(MINMAXINFO* p) const {
    p->ptMinTrackSize = WINPOINT{m_rcMinTrack.right + m_nMarginX, m_rcMinTrack.bottom + m_nMarginY};
    p->ptMaxTrackSize = WINPOINT{m_rcMaxTrack.right + m_nMarginX, m_rcMaxTrack.bottom + m_nMarginY};
}

void cWindow::PlaceAtWanted() {
    if (m_ptWant.x == -1000 || m_ptWant.y == -1000) return;
    WINRECT wa = GetDesktopInfo().rcWorkArea;
    int x = std::max(0, std::min(m_ptWant.x, wa.right - m_rcWindow.right));
    int y = std::max(0, std::min(m_ptWant.y, wa.bottom - m_rcWindow.bottom));
    m_ptWant = WINPOINT{x, y};
    MoveTo(x, y);
}

intptr_t cWindow::WndProc(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    OnMessage(hWnd, uMsg, wParam, lParam);
    return 0;
}

int cWindow::OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    m_hWnd = hWnd;
    if (uMsg == WM_COMMAND) {
        if (m_bInCommand) return 0;
        m_bInCommand = 1;
    }
    switch (uMsg) {
    case WM_DESTROY: m_hWnd = nullptr; return 1;
    case WM_MOVE: GetWindowPos(&m_ptPos.x, &m_ptPos.y); return 1;
    case WM_SIZE: RefreshFrame(); return 1;
    case WM_ACTIVATEAPP: return 1;
    case WM_PAINT: OnPaint(); return 1;
    case WM_GETMINMAXINFO: FillMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return 1;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        m_bInCommand = 0;
        return 1;
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 1;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 1;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 1;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(wParam, lParam); return 1;
    case WM_RBUTTONDOWN: OnRButtonDown(wParam, lParam); return 1;
    case WM_RBUTTONUP: OnRButtonUp(wParam, lParam); return 1;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(wParam, lParam); return 1;
    default: return 0;
    }
}
