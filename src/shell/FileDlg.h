#pragma once
// The file selection dialog: a stage file to play, a replay file to watch,
// or the name under which a replay is saved. It lists the files of the
// mode's folder that match the mode's filter; the save mode adds a name field
// that holds the proposed name.
#include <string>
#include <vector>

#include "foundation/ChkContainers.h"
#include "shell/GameDialog.h"

enum : int { IDC_FILE_OK = 1, IDC_FILE_CANCEL = 2, IDC_FILE_LIST = 1120, IDC_FILE_NAME = 1152 };
enum : int { FILEMODE_LOADSTAGE = 0, FILEMODE_LOADREPLAY = 1, FILEMODE_SAVEREPLAY = 2 };
// The longest path the dialog gives back, in bytes.
constexpr size_t FILEDLG_MAX_PATH = 259;

// What a mode shows and looks for.
struct FILEDLGKIND {
    std::string strTitle;        // Shift-JIS
    std::string strFolder;       // relative to the current directory
    std::string strFilterLabel;
    std::string strPatterns;     // patterns separated by ';'
    std::string strDefExt;       // the extension a saved name gets when it has none
    int bSave = 0;
};
FILEDLGKIND GetFileDialogKind(int nMode, int bEnglishText);

// Wildcards '*' and '?' ('?' is one character, a double-byte one too),
// letters compared without case, as the file names of the data are.
bool MatchWildcard(const std::string& strPattern, const std::string& strName);
// True when the name matches one of the patterns of a list like
// "*.stg4_*;*.rpl4_*".
bool MatchFileFilter(const std::string& strName, const std::string& strPatterns);
// The files (not folders) of a folder whose names match, in name order.
std::vector<std::string> ListMatchingFiles(const std::string& strFolder, const std::string& strPatterns);

// folder + "\" + name (no second separator).
std::string JoinDataPath(const std::string& strFolder, const std::string& strName);
// The name with "." + the extension added, unless it ends with it already.
std::string AddDefaultExtension(const std::string& strName, const std::string& strExt);
// A name without folder parts or characters that file names cannot hold.
bool IsPlainFileName(const std::string& strName);
// A text cut to at most nMax bytes, never inside a double-byte character.
std::string CutSjis(const std::string& s, size_t nMax);

class cFileDlg : public cGameDialog {
public:
    // pResult: the chosen path on return; in the save mode it holds the
    // proposed name when the dialog starts.
    cFileDlg(int nResourceId, cWindow* pParent, std::string* pResult, int nMode);
    ~cFileDlg() override;
    void OnInitDialog(uintptr_t wParam, intptr_t lParam) override;
    void OnCommand(uintptr_t wParam, intptr_t lParam) override;
    int OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) override;
    void Draw() override;
    // Without a display the dialog takes the next unattended answer (see
    // SetUnattendedFileAnswers), else it is cancelled.
    void AnswerHeadless() override;

    // The list's selection (-1: none); in the save mode the name field takes
    // the selected name.
    void Select(int nIndex);
    // A double click or Enter on a list entry: select it and confirm.
    void Activate(int nIndex);
    // Reads the list again (keeps the selected name when it is still there).
    void Refresh();

    std::string* m_pResult = nullptr;
    int m_nMode = 0;
    FILEDLGKIND m_Kind;
    std::vector<std::string> m_vFiles;
    int m_nSel = -1;
    std::string m_strName;                 // the save mode's name field
    cChkVector<cCtrlEditItem> m_vecEdit;   // the name field (save mode)
    int m_nEditRevision = 0;               // bumped when the field is set from the list
    int m_bScrollToSel = 0;
    int m_nDrawnRevision = 0;

private:
    void Confirm();
    void MoveSelection(int nDelta);
};

extern cFileDlg* lpFileDlg;

// Answers of the file dialogs of an unattended run without a display, one
// per dialog in order: "ok" confirms what the dialog offers (the proposed
// name, the first file of the list), "cancel" cancels, any other text is a
// file name: chosen from the list (load) or typed as the name (save); a name
// the list lacks cancels. With no answer left a dialog is cancelled.
void SetUnattendedFileAnswers(const std::vector<std::string>& vAnswers);

// Serves a file request: 1 when a file was chosen (its path in strPath),
// 0 cancelled, -1 the dialog could not be shown. In the save mode strPath
// holds the proposed name when called.
int ShowFileDialog(int nMode, std::string& strPath);
