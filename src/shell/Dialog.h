#pragma once
// The dialog base and its bound controls. A dialog runs modally on the main
// thread; each control copies its program variable into what it shows
// (DataToCtrl) and back (CtrlToData). Texts are Shift-JIS.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "shell/EditLimit.h"
#include "shell/Hook.h"
#include "shell/Window.h"

class cDialog;

enum : int { CTRL_STATIC = 0, CTRL_EDIT = 3, CTRL_CHECK = 5, CTRL_RADIO = 6, CTRL_REFRESH = 8 };
enum : uint32_t { EN_KILLFOCUS = 0x0200, EN_UPDATE = 0x0400 };

class cCtrl {
public:
    virtual ~cCtrl() = default;
    virtual void Enable(int bEnable) { m_bEnabled = bEnable; }
    virtual void DataToCtrl() {}
    virtual void CtrlToData() {}
    virtual void OnUpdate() {}
    virtual int OnNotify(uintptr_t, intptr_t) { return 0; }
    virtual int OnScroll(uintptr_t, intptr_t) { return 0; }
    virtual void OnReserved() {}
    virtual void Refresh() {}
    virtual void OnKillFocus() {}
    virtual void OnCommandDone() {}
    virtual void OnKeyDown(int nKey, intptr_t lParam, int bCtrlDown) { (void)nKey; (void)lParam; (void)bCtrlDown; }
    // Draws the control in the dialog's frame (main thread, inside a frame
    // of the dialog host).
    virtual void Draw() {}

    void Attach(cDialog* pDialog, int nId);

    cDialog* m_pDialog = nullptr;
    SDL_Window* m_hWndDlg = nullptr;
    int m_nKind = CTRL_STATIC;
    int m_nId = 0;
    int m_bEnabled = 1;
    std::string m_strLabel;   // shown beside the control
};

class cCtrlStatic : public cCtrl {
public:
    void Draw() override;
};

// The descriptor a dialog fills before binding an edit; zeros take defaults.
struct EDITDESC {
    int nId = 0;
    std::string* lpText = nullptr;
    int nSize = 0;
    int nMaxPerLine = 0;
    int nMaxLines = 0;
    int bCountChar = 0;
};

class cCtrlEdit : public cCtrl {
public:
    void Bind(cDialog* pDialog, const EDITDESC& desc);
    void DataToCtrl() override;
    void CtrlToData() override;
    void OnUpdate() override;
    void Draw() override;

    // What the field shows, and the player's change of it (the host calls
    // SetShown, then the dialog routes EN_UPDATE to OnUpdate).
    void SetShown(const std::string& strText, int nSelStart, int nSelEnd);
    const std::string& GetShown() const { return m_strShown; }

    EDITDESC m_Desc;
    EDITLIMIT m_Limit;
    std::string m_strShown;
    std::string m_strPrev;
    int m_nSelStart = 0;
    int m_nSelEnd = 0;
    int m_bBinding = 0;
    int m_bInUpdate = 0;
    // Backspace state of the current change (the host sets it).
    int m_bBackspace = 0;
};

// An edit that carries its own descriptor, for vectors of edits.
class cCtrlEditItem : public cCtrlEdit {};

class cCtrlCheck : public cCtrl {
public:
    void Bind(cDialog* pDialog, int nId, int32_t* pValue);
    void DataToCtrl() override;
    void CtrlToData() override;
    void Draw() override;

    int32_t* m_pValue = nullptr;
    int m_nCheck = 0;
};

class cCtrlRadio : public cCtrl {
public:
    void Bind(cDialog* pDialog, int nId, int32_t* pValue, int nOwnValue);
    void DataToCtrl() override;
    void CtrlToData() override;
    void Draw() override;

    int32_t* m_pValue = nullptr;
    int m_nOwnValue = 0;
    int m_nCheck = 0;
};

class cDialog : public cWindow {
public:
    cDialog() = default;
    ~cDialog() override;

    void Init(int nResourceId, cWindow* pParent);
    // Runs the dialog modally: the value given to End, 0 when the dialog is
    // shown already, -1 when it could not be created.
    int DoModal();
    void End(int nResult);
    void DataToCtrls();
    void CtrlsToData();

    void OnCommand(uintptr_t wParam, intptr_t lParam) override;
    intptr_t WndProc(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) override;
    int OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) override;
    void UpdateControls() override;
    virtual void OnInitDialog(uintptr_t wParam, intptr_t lParam);
    // Lays out the dialog's frame; the base draws the controls in list order.
    virtual void Draw();

    bool IsEnded() const { return m_bEnded; }

    void* m_lpfnOldProc = nullptr;
    cHook m_Hook;
    cWindow* m_pParent = nullptr;
    int m_nResult = 0;
    int m_bPushing = 0;
    cChkVector<cCtrl*> m_vecCtrl;
    std::string m_strTitle;   // Shift-JIS caption

private:
    bool m_bEnded = false;
};

// Shows a dialog modally. The default host draws it inside the game window
// (DialogOverlay.h); tests install a scripted host.
class IDialogHost {
public:
    virtual ~IDialogHost() = default;
    // Creates the dialog's window, sends WM_INITDIALOG, runs until the dialog
    // ends and destroys the window. -1 when the window cannot be made.
    virtual int Run(cDialog& dlg) = 0;
};
IDialogHost& GetDialogHost();
void SetDialogHost(IDialogHost* p);   // null restores the default
