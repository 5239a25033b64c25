#pragma once
// The keyboard hook of the dialogs: key events of a dialog's window are
// copied to the dialog as key-downs and key-ups, navigation and function keys
// are diverted as WMU_HOOKKEY while no input-method composition is open, and
// the keys the input method needs stay with it while one is open.
#include <cstdint>

struct SDL_Window;

struct HOOKRESULT {
    bool bCopy = false;     // post the event (WM_KEYDOWN / WM_KEYUP) to the dialog
    bool bDivert = false;   // post WMU_HOOKKEY to the dialog
};

// The decision for one key event. bDialog: the active window is a dialog
// with a hook; bComposition: an input-method composition is open. Keys in
// windows without a hook pass untouched (Escape in the game window still
// closes it). Updates the Ctrl state.
HOOKRESULT KeyboardHookDecide(bool bDialog, bool bComposition, int nVk, bool bKeyUp, int bHoldWithCtrl);

// 1 after a Ctrl key-down seen in a dialog, 0 after a Ctrl key-up.
extern int bHookCtrlDown;

class cHook {
public:
    virtual ~cHook();
    // Registers the dialog's window with the hook (installing it on first
    // use). 1 when the hook is there.
    int Install(SDL_Window* hWnd, int bHoldWithCtrl);
    void Uninstall();

    SDL_Window* m_hWnd = nullptr;
    int m_bHoldWithCtrl = 0;
};

// The hook registered for a window, or null.
cHook* FindHook(SDL_Window* hWnd);
// Removes the hook at shutdown.
void UnhookKeyboard();
bool IsKeyboardHookInstalled();
