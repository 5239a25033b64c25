#pragma once
// The name-entry dialog: the short name (three characters at most, a
// double-byte character counting as one) under which rankings are
// registered. It writes the name straight into the string that the asking
// screen reads.
#include <string>

#include "foundation/ChkContainers.h"
#include "shell/GameDialog.h"

enum : int { IDC_NAME_OK = 1000, IDC_NAME_EDIT = 1003, IDC_NAME_LABEL = 1007 };
constexpr int NAME_MAX_CHARS = 3;
constexpr int NAME_MAX_BYTES = 6;
// The play type of a play entered through the options entry of the title.
constexpr int PLAYTYPE_OPTIONS = 5;

// The ranking name of the stage play that runs, or null when none runs. The
// stage-play scene installs the source.
using RANKINGNAMEFN = std::string* (*)();
void SetRankingNameSource(RANKINGNAMEFN pfn);
std::string* GetRankingName();

// The string the dialog writes: the options' name on the options path, else
// the ranking name of a running stage play, else none.
std::string* ChooseNameTarget(int nPlayType, std::string* pOptionName, std::string* pRankingName);

// A name cut to three characters and six bytes, never inside a double-byte
// character.
std::string CutName(const std::string& strName);

class cNameDlg : public cGameDialog {
public:
    cNameDlg(int nResourceId, cWindow* pParent);
    ~cNameDlg() override;
    void OnInitDialog(uintptr_t wParam, intptr_t lParam) override;
    void OnCommand(uintptr_t wParam, intptr_t lParam) override;
    void Draw() override;

    // The field, with zero or one element: none when no name is bound.
    cChkVector<cCtrlEditItem> m_vecEdit;
    std::string m_strLabel;
    std::string* m_pName = nullptr;
};

extern cNameDlg* lpNameDlg;

// Serves the game thread's name request: 1 after OK, 0 when closed, -1 when
// the dialog could not be shown.
int ShowNameDialog();
