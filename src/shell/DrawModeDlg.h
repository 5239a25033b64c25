#pragma once
// The drawing-mode dialog of the start-up: the player picks one of the two
// drawing profiles ("Direct3D" or "DirectDraw") and may stop the question at
// later starts. The answer goes into the boot choice and "user_data\Boot.dat".
// It runs before the display is set up, in the main window.
#include <string>

#include "foundation/ChkContainers.h"
#include "shell/GameDialog.h"

enum : int {
    IDC_DRAWMODE_START = 1000,
    IDC_DRAWMODE_CANCEL = 1001,
    IDC_DRAWMODE_D3D = 1002,
    IDC_DRAWMODE_DD = 1003,
    IDC_DRAWMODE_NOASK = 1004,
    IDC_DRAWMODE_NOTE = 1005,
    IDC_DRAWMODE_GROUP = 1006,
};

class cDrawModeDlg : public cGameDialog {
public:
    cDrawModeDlg(int nResourceId, cWindow* pParent);
    ~cDrawModeDlg() override;
    void OnInitDialog(uintptr_t wParam, intptr_t lParam) override;
    void OnCommand(uintptr_t wParam, intptr_t lParam) override;
    void Draw() override;

    // Checks a radio as a click does: the others of its variable clear.
    void CheckRadio(int nId);
    cCtrlRadio* FindRadio(int nId);
    cCtrlCheck* FindCheck(int nId);
    // A label or check box by id; reports a missing one.
    cCtrl* FindTextCtrl(int nId);

    cChkVector<cCtrlRadio> m_vecRadio;
    cChkVector<cCtrlCheck> m_vecCheck;
    cChkVector<cCtrlStatic> m_vecLabel;
    // Texts of the controls without an object: the group box and the buttons.
    std::string m_strGroup;
    std::string m_strStart;
    std::string m_strCancel;
};

extern cDrawModeDlg* lpDrawModeDlg;

// The game title that the dialog shows in its caption.
void SetDrawModeDialogTitle(const std::string& strTitle);

// Shows the dialog: 1 Start (the choice is saved), 0 Cancel or closed, -1 the
// dialog could not be shown.
int ShowDrawModeDialog();
