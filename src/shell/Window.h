#pragma once
// The window base: the placement state of one SDL window (client size, its
// limits, the outer size from the frame that the style gives, the position)
// and the dispatch of window messages to virtual operations.
#include <cstdint>

struct SDL_Window;

// Style bits, as the placement code tests them.
enum : uint32_t {
    WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000, WS_CAPTION = 0x00C00000, WS_THICKFRAME = 0x00040000,
    WS_HSCROLL = 0x00100000, WS_VSCROLL = 0x00200000, WS_POPUP = 0x80000000, WS_SYSMENU = 0x00080000,
    WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000,
    WS_MAINWINDOW = 0x80CB0000,   // popup, caption, system menu, minimise and maximise boxes
};

// Messages dispatched by OnMessage.
enum : uint32_t {
    WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
    WM_ACTIVATEAPP = 0x001C, WM_GETMINMAXINFO = 0x0024, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101,
    WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206, WM_USER = 0x0400, WMU_HOOKKEY = WM_USER + 1000,
};

struct WINRECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct WINPOINT {
    int32_t x = 0, y = 0;
};
struct MINMAXINFO {
    WINPOINT ptMinTrackSize;
    WINPOINT ptMaxTrackSize;
};

// Non-client thickness by style. Under SDL the window manager draws the
// frame outside the client area, so every measure is 0 unless a test sets
// its own.
struct FRAMEMETRICS {
    int nCaption = 0, nCxFrame = 0, nCyFrame = 0, nCxDlgFrame = 0, nCyDlgFrame = 0, nCyHScroll = 0, nCxVScroll = 0;
};
void SetFrameMetrics(const FRAMEMETRICS& m);
const FRAMEMETRICS& GetFrameMetrics();

class cWindow {
public:
    cWindow() = default;
    virtual ~cWindow() = default;

    virtual void OnReserved() {}
    virtual void OnCommand(uintptr_t wParam, intptr_t lParam) { (void)wParam; (void)lParam; }
    virtual void OnMouseMove(uintptr_t, intptr_t) {}
    virtual void OnLButtonDown(uintptr_t, intptr_t) {}
    virtual void OnRButtonDown(uintptr_t, intptr_t) {}
    virtual void OnLButtonDblClk(uintptr_t, intptr_t) {}
    virtual void OnRButtonDblClk(uintptr_t, intptr_t) {}
    virtual void OnLButtonUp(uintptr_t, intptr_t) {}
    virtual void OnRButtonUp(uintptr_t, intptr_t) {}
    virtual intptr_t WndProc(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam);
    virtual int OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam);
    virtual void UpdateControls() {}
    virtual void OnPaint() {}

    void Setup(int nClientW, int nClientH, int nMinW, int nMinH, int nMaxW, int nMaxH, uint32_t dwStyle);
    void RefreshFrame();
    void AddStyle(uint32_t dwBits);
    void RemoveStyle(uint32_t dwBits);
    void MoveTo(int x, int y);
    void SetClientSize(int w, int h);
    void CenterOnDesktop();
    // The outer window's top-left corner (the frame of a window manager
    // included), the corner that MoveTo places.
    void GetWindowPos(int* px, int* py) const;
    void FillMinMaxInfo(MINMAXINFO* p) const;
    void PlaceAtWanted();

    SDL_Window* m_hWnd = nullptr;
    void* m_hInstance = nullptr;
    int m_nResourceId = 0;
    SDL_Window* m_hWndParent = nullptr;
    void* m_pfnProc = nullptr;
    WINPOINT m_ptPos;
    WINRECT m_rcClientWant;
    WINRECT m_rcClient;
    WINRECT m_rcMinTrack;
    WINRECT m_rcMaxTrack;
    WINRECT m_rcWindow;
    uint32_t m_dwStyle = 0;
    int m_nFrameLeft = 0, m_nFrameRight = 0, m_nFrameTop = 0, m_nFrameBottom = 0;
    int m_nMarginX = 0, m_nMarginY = 0;
    WINPOINT m_ptWant{-1000, -1000};
    int m_bInCommand = 0;

protected:
    void ComputeFrame();
};

// The desktop (whole display) and its work area, for centring and placing.
// The shell installs SDL queries; tests install their own.
struct DESKTOPINFO {
    WINRECT rcDesktop{0, 0, 1920, 1080};
    WINRECT rcWorkArea{0, 0, 1920, 1040};
};
void SetDesktopInfo(const DESKTOPINFO& d);
DESKTOPINFO GetDesktopInfo();
