#pragma once
// Message boxes and questions drawn inside the game's own window, as the
// other dialogs are: a caption, the text and the buttons of the box type.
// One button has the focus, at first the default one; the left and right
// arrows move it, Enter or Space press it, Escape presses the cancelling
// button (No, Cancel, or OK of a box that has nothing else). The message-box service shows every box here while the game
// window exists.
#include <string>

#include "shell/GameDialog.h"

class cMessageDlg : public cGameDialog {
public:
    // Texts are Shift-JIS; nType is MB_OK, MB_OKCANCEL or MB_YESNO with
    // MB_DEFBUTTON2 and an icon.
    cMessageDlg(const char* pszText, const char* pszCaption, unsigned nType);
    int OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) override;
    void OnCommand(uintptr_t wParam, intptr_t lParam) override;
    void Draw() override;

    // The buttons in their order, as answers (IDYES...), and their labels.
    int m_aButton[2] = {0, 0};
    std::string m_aLabel[2];
    int m_nButtons = 0;
    int m_nFocus = 0;   // index of the focused button
    std::string m_strText;
};

// Shows a box in the game window on the main thread: its answer, or -1 when
// there is no game window to show it in.
int ShowWindowBox(const char* pszText, const char* pszCaption, unsigned nType);
