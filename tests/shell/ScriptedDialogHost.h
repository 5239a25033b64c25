#pragma once
// A dialog host for tests: runs a dialog without a window, driving it with a
// script of input (typed text, keys, button presses) after it initialised.
#include <functional>
#include <string>

#include "shell/DialogEdit.h"
#include "shell/GameDialog.h"
#include "shell/Hook.h"

class cScriptedDialogHost : public IDialogHost {
public:
    using SCRIPT = std::function<void(cDialog&)>;

    cScriptedDialogHost() { SetDialogHost(this); }
    ~cScriptedDialogHost() override { SetDialogHost(nullptr); }
    cScriptedDialogHost(const cScriptedDialogHost&) = delete;
    cScriptedDialogHost& operator=(const cScriptedDialogHost&) = delete;

    // The input of the next run. A dialog still open after it is closed.
    void Script(SCRIPT fn) { m_fnScript = std::move(fn); }
    int Runs() const { return m_nRuns; }

    int Run(cDialog& dlg) override {
        m_nRuns++;
        dlg.WndProc(Handle(), WM_INITDIALOG, 0, 0);
        if (m_fnScript) m_fnScript(dlg);
        if (!dlg.IsEnded()) dlg.WndProc(dlg.m_hWnd, WM_CLOSE, 0, 0);
        dlg.m_Hook.Uninstall();
        dlg.WndProc(dlg.m_hWnd, WM_DESTROY, 0, 0);
        return dlg.m_nResult;
    }

    // A stand-in window handle: SDL refuses it as no window of its own.
    static SDL_Window* Handle() {
        alignas(16) static unsigned char aFake[1024] = {};
        return reinterpret_cast<SDL_Window*>(aFake);
    }

private:
    SCRIPT m_fnScript;
    int m_nRuns = 0;
};

// Input as the player gives it.
namespace script {

// A key pressed in the dialog, as the keyboard hook passes it on.
inline void Key(cDialog& dlg, int nVk) {
    HOOKRESULT r = KeyboardHookDecide(true, false, nVk, false, 0);
    if (r.bDivert) dlg.WndProc(dlg.m_hWnd, WMU_HOOKKEY, static_cast<uintptr_t>(nVk), 0);
    else if (r.bCopy) dlg.WndProc(dlg.m_hWnd, WM_KEYDOWN, static_cast<uintptr_t>(nVk), 0);
}

inline void Click(cDialog& dlg, int nId) { static_cast<cGameDialog&>(dlg).PressButton(nId); }

// Characters typed one by one at the end of the field (UTF-8); returns how
// many were refused for want of a Shift-JIS form.
inline int Type(cCtrlEdit& edit, const std::string& strUtf8) {
    int nRefused = 0;
    for (size_t i = 0; i < strUtf8.size();) {
        unsigned char c = static_cast<unsigned char>(strUtf8[i]);
        size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        std::string strNew = EditDisplayText(edit) + strUtf8.substr(i, n);
        int nChars = 0;
        for (unsigned char b : strNew) nChars += (b & 0xC0) != 0x80;
        if (!ApplyEditText(edit, strNew, nChars)) nRefused++;
        i += n;
    }
    return nRefused;
}

// The whole text pasted into an empty field at once.
inline int Paste(cCtrlEdit& edit, const std::string& strUtf8) {
    int nChars = 0;
    for (unsigned char b : strUtf8) nChars += (b & 0xC0) != 0x80;
    return ApplyEditText(edit, strUtf8, nChars);
}

}  // namespace script
