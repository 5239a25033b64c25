#include "shell/GameDialog.h"

#include "shell/KeyState.h"

int cGameDialog::OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    int r = cDialog::OnMessage(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_KEYDOWN && !IsEnded()) {
        int nVk = static_cast<int>(wParam);
        if (nVk == VK_RETURN && m_nDefaultId) PressButton(m_nDefaultId);
        else if (nVk == VK_ESCAPE && m_nCancelId) PressButton(m_nCancelId);
    }
    return r;
}

void cGameDialog::PressButton(int nId) {
    WndProc(m_hWnd, WM_COMMAND, static_cast<uintptr_t>(nId & 0xFFFF), 0);
}
