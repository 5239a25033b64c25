#include "shell/Hook.h"

#include <vector>

#include "shell/KeyState.h"

int bHookCtrlDown = 0;

namespace {
bool bHookInstalled = false;
std::vector<cHook*> vHooks;

bool IsDivertKey(int nVk) {
    return nVk == VK_SPACE || (nVk >= VK_LEFT && nVk <= VK_DOWN) || nVk == VK_DELETE || (nVk >= VK_F1 && nVk <= VK_F8);
}
}  // namespace

HOOKRESULT KeyboardHookDecide(bool bDialog, bool bComposition, int nVk, bool bKeyUp, int bHoldWithCtrl) {
    HOOKRESULT r;
    if (!bDialog) return r;
    auto copyAllowed = [&] { return !bHoldWithCtrl || !bHookCtrlDown; };
    if (bKeyUp) {
        if (nVk == VK_CONTROL) bHookCtrlDown = 0;
        r.bCopy = copyAllowed();
        return r;
    }
    if (nVk == VK_RETURN) {
        if (bComposition) return r;   // the input method finishes its composition
        r.bCopy = copyAllowed();
        return r;
    }
    if (nVk == VK_TAB) return r;
    if (!bComposition && IsDivertKey(nVk)) {
        r.bDivert = true;
        return r;
    }
    if (nVk == VK_CONTROL) bHookCtrlDown = 1;
    r.bCopy = copyAllowed();
    return r;
}

cHook::~cHook() { Uninstall(); }

int cHook::Install(SDL_Window* hWnd, int bHoldWithCtrl) {
    m_hWnd = hWnd;
    m_bHoldWithCtrl = bHoldWithCtrl;
    bool bKnown = false;
    for (cHook* p : vHooks) bKnown |= p == this;
    if (!bKnown) vHooks.push_back(this);
    bHookInstalled = true;
    return 1;
}

void cHook::Uninstall() {
    for (auto it = vHooks.begin(); it != vHooks.end(); ++it) {
        if (*it == this) {
            vHooks.erase(it);
            break;
        }
    }
}

cHook* FindHook(SDL_Window* hWnd) {
    if (!bHookInstalled || !hWnd) return nullptr;
    for (cHook* p : vHooks)
        if (p->m_hWnd == hWnd) return p;
    return nullptr;
}

void UnhookKeyboard() {
    bHookInstalled = false;
    bHookCtrlDown = 0;
}

bool IsKeyboardHookInstalled() { return bHookInstalled; }
