#pragma once
// A dialog shown inside the game window: where it sits in the 640x480 client
// area, its size, and the buttons that Enter and Escape press. The dialog's
// logic (its state, its commands and keys, its results) lives in the derived
// class; its drawing is the Draw override, kept in a file of its own.
#include <cstdint>

#include "shell/Dialog.h"

class cGameDialog : public cDialog {
public:
    // Enter presses the default button, Escape the cancel button (when the
    // dialog has one), after the controls have seen the key.
    int OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) override;

    // Sends a command of a control, as a click on it does.
    void PressButton(int nId);
    // The answer of a run without a display: the headless button.
    virtual void AnswerHeadless() {
        if (m_nHeadlessId) PressButton(m_nHeadlessId);
    }

    WINPOINT m_ptClient{-1, -1};   // top-left in the client area; -1: centred
    int m_nWidth = 320;            // size in client pixels
    int m_nHeight = 160;
    int m_nDefaultId = 0;
    int m_nCancelId = 0;
    int m_nHeadlessId = 0;         // pressed when no display can show the dialog (0: it is closed)
    int m_bKeyboardNav = 0;        // Tab, arrows and Space move between and press the controls
    int m_bFirstFrame = 1;         // set until the first frame is drawn (for the initial focus)
};
