#include "shell/FileDlg.h"

#include <cctype>

#include "foundation/Record.h"
#include "foundation/Text.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "shell/KeyState.h"
#include "shell/MainWindow.h"
#include "project/SystemIni.h"

cFileDlg* lpFileDlg = nullptr;

namespace {

enum : int { VK_PRIOR_KEY = 0x21, VK_NEXT_KEY = 0x22, VK_END_KEY = 0x23, VK_HOME_KEY = 0x24 };
constexpr int LIST_PAGE = 8;

size_t CharLen(const std::string& s, size_t i) {
    return IsSJISLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

bool SameChar(const std::string& a, size_t i, size_t na, const std::string& b, size_t j, size_t nb) {
    if (na != nb) return false;
    if (na == 1)
        return std::tolower(static_cast<unsigned char>(a[i])) == std::tolower(static_cast<unsigned char>(b[j]));
    return a.compare(i, na, b, j, nb) == 0;
}

bool MatchFrom(const std::string& p, size_t i, const std::string& s, size_t j) {
    while (i < p.size()) {
        if (p[i] == '*') {
            while (i < p.size() && p[i] == '*') i++;
            if (i == p.size()) return true;
            for (size_t k = j; k <= s.size(); k += k < s.size() ? CharLen(s, k) : 1) {
                if (MatchFrom(p, i, s, k)) return true;
                if (k == s.size()) break;
            }
            return false;
        }
        if (j >= s.size()) return false;
        size_t np = CharLen(p, i), ns = CharLen(s, j);
        if (!(p[i] == '?' || SameChar(p, i, np, s, j, ns))) return false;
        i += p[i] == '?' ? 1 : np;
        j += ns;
    }
    return j == s.size();
}

}  // namespace

FILEDLGKIND GetFileDialogKind(int nMode, int bEnglishText) {
    FILEDLGKIND s;
    switch (nMode) {
    case FILEMODE_LOADSTAGE:
        s.strTitle = bEnglishText ? "load stage file" : "ステージファイルの読み込み";
        s.strFolder = "data\\stg4\\";
        s.strFilterLabel = "StageFile ( *.stg4_*;*.rpl4_* )";
        s.strPatterns = "*.stg4_*;*.rpl4_*";
        s.strDefExt = "stg4_*;rpl4_*";
        break;
    case FILEMODE_LOADREPLAY:
        s.strTitle = bEnglishText ? "load replay file" : "リプレイファイルの読み込み";
        s.strFolder = "user_data\\rpl4";
        s.strFilterLabel = "ReplayFile ( *.rpl4_* )";
        s.strPatterns = "*.rpl4_*";
        s.strDefExt = "rpl4_*";
        break;
    default: {
        std::string strExt;
        FormatString(strExt, "rpl4_%s", DATA_VERSION_TEXT);
        s.strTitle = bEnglishText ? "save replay file" : "リプレイファイルの保存";
        s.strFolder = "user_data\\rpl4\\";
        FormatString(s.strFilterLabel, "ReplayFile ( *.%s )", strExt.c_str());
        s.strPatterns = "*." + strExt;
        s.strDefExt = strExt;
        s.bSave = 1;
        break;
    }
    }
    return s;
}

bool MatchWildcard(const std::string& strPattern, const std::string& strName) {
    return MatchFrom(strPattern, 0, strName, 0);
}

bool MatchFileFilter(const std::string& strName, const std::string& strPatterns) {
    size_t nStart = 0;
    while (nStart <= strPatterns.size()) {
        size_t nEnd = strPatterns.find(';', nStart);
        if (nEnd == std::string::npos) nEnd = strPatterns.size();
        std::string p = strPatterns.substr(nStart, nEnd - nStart);
        while (!p.empty() && p.front() == ' ') p.erase(p.begin());
        while (!p.empty() && p.back() == ' ') p.pop_back();
        if (!p.empty() && MatchWildcard(p, strName)) return true;
        nStart = nEnd + 1;
    }
    return false;
}

std::string JoinDataPath(const std::string& strFolder, const std::string& strName) {
    if (strFolder.empty()) return strName;
    // The folders are plain ASCII, so a final 0x5C is a separator.
    if (strFolder.back() == '\\') return strFolder + strName;
    return strFolder + "\\" + strName;
}

std::string AddDefaultExtension(const std::string& strName, const std::string& strExt) {
    std::string strSuffix = "." + strExt;
    if (strName.size() >= strSuffix.size()) {
        bool bSame = true;
        size_t nBase = strName.size() - strSuffix.size();
        for (size_t i = 0; i < strSuffix.size() && bSame; i++)
            bSame = std::tolower(static_cast<unsigned char>(strName[nBase + i])) ==
                    std::tolower(static_cast<unsigned char>(strSuffix[i]));
        if (bSame) return strName;
    }
    return strName + strSuffix;
}

bool IsPlainFileName(const std::string& strName) {
    if (strName.empty() || strName == "." || strName == "..") return false;
    for (size_t i = 0; i < strName.size(); i += CharLen(strName, i)) {
        unsigned char c = static_cast<unsigned char>(strName[i]);
        if (CharLen(strName, i) == 2) continue;   // a double-byte character (its trail may be 0x5C)
        if (c < 0x20 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|')
            return false;
    }
    return strName.back() != '.' && strName.back() != ' ';
}

std::string CutSjis(const std::string& s, size_t nMax) {
    size_t i = 0;
    while (i < s.size()) {
        size_t n = CharLen(s, i);
        if (i + n > nMax) break;
        i += n;
    }
    return s.substr(0, i);
}

std::vector<std::string> ListMatchingFiles(const std::string& strFolder, const std::string& strPatterns) {
    std::vector<std::string> v;
    for (const std::string& strName : FsListDirectory(strFolder.c_str())) {
        if (!MatchFileFilter(strName, strPatterns)) continue;
        // What a save cut short left is never a file to offer.
        if (IsRecordTempName(strName)) continue;
        if (!FsIsFile(JoinDataPath(strFolder, strName).c_str())) continue;
        v.push_back(strName);
    }
    return v;
}

// ---------------------------------------------------------------------------

cFileDlg::cFileDlg(int nResourceId, cWindow* pParent, std::string* pResult, int nMode) {
    Init(nResourceId, pParent);
    lpFileDlg = this;
    Setup(0, 0, 100, 100, 640, 480, 0);
    m_pResult = pResult;
    m_nMode = nMode == FILEMODE_LOADREPLAY || nMode == FILEMODE_SAVEREPLAY ? nMode : FILEMODE_LOADSTAGE;
    m_nWidth = 460;
    m_nHeight = 330;
    m_nDefaultId = IDC_FILE_OK;
    m_nCancelId = IDC_FILE_CANCEL;
    m_nHeadlessId = IDC_FILE_CANCEL;
}

cFileDlg::~cFileDlg() {
    if (lpFileDlg == this) lpFileDlg = nullptr;
}

void cFileDlg::OnInitDialog(uintptr_t wParam, intptr_t lParam) {
    cDialog::OnInitDialog(wParam, lParam);
    m_Kind = GetFileDialogKind(m_nMode, bEnglish);
    m_strTitle = m_Kind.strTitle;
    m_vFiles = ListMatchingFiles(m_Kind.strFolder, m_Kind.strPatterns);
    m_nSel = -1;
    if (m_Kind.bSave) {
        // The proposed name, bounded to what a path may hold.
        m_strName = CutSjis(m_pResult ? *m_pResult : std::string(), FILEDLG_MAX_PATH);
        if (m_pResult) *m_pResult = m_strName;   // a cancelled save gives it back
        m_vecEdit.clear();
        m_vecEdit.emplace_back();
        EDITDESC d;
        d.nId = IDC_FILE_NAME;
        d.lpText = &m_strName;
        d.nSize = static_cast<int>(FILEDLG_MAX_PATH) + 1;
        d.nMaxPerLine = static_cast<int>(FILEDLG_MAX_PATH);
        d.nMaxLines = 1;
        d.bCountChar = 0;
        m_vecEdit.At(0).Bind(this, d);
        m_vecCtrl.push_back(&m_vecEdit.At(0));
        DataToCtrls();
        for (int i = 0; i < static_cast<int>(m_vFiles.size()); i++)
            if (m_vFiles[i] == m_strName) m_nSel = i;
    } else {
        if (m_pResult) m_pResult->clear();
        if (!m_vFiles.empty()) m_nSel = 0;
    }
    m_bScrollToSel = 1;
}

void cFileDlg::Select(int nIndex) {
    if (nIndex < 0 || nIndex >= static_cast<int>(m_vFiles.size())) return;
    m_nSel = nIndex;
    m_bScrollToSel = 1;
    if (m_Kind.bSave && !m_vecEdit.empty()) {
        cCtrlEditItem& e = m_vecEdit.At(0);
        e.SetShown(m_vFiles[nIndex], 0, static_cast<int>(m_vFiles[nIndex].size()));
        e.m_strPrev = e.GetShown();
        m_nEditRevision++;
    }
}

void cFileDlg::Activate(int nIndex) {
    Select(nIndex);
    if (m_nSel == nIndex) PressButton(IDC_FILE_OK);
}

void cFileDlg::Refresh() {
    std::string strSel = m_nSel >= 0 && m_nSel < static_cast<int>(m_vFiles.size()) ? m_vFiles[m_nSel] : "";
    m_vFiles = ListMatchingFiles(m_Kind.strFolder, m_Kind.strPatterns);
    m_nSel = m_vFiles.empty() || m_Kind.bSave ? -1 : 0;
    for (int i = 0; i < static_cast<int>(m_vFiles.size()); i++)
        if (m_vFiles[i] == strSel) m_nSel = i;
}

void cFileDlg::MoveSelection(int nDelta) {
    int n = static_cast<int>(m_vFiles.size());
    if (n == 0) return;
    int nSel = m_nSel < 0 ? (nDelta > 0 ? 0 : n - 1) : m_nSel + nDelta;
    Select(nSel < 0 ? 0 : nSel >= n ? n - 1 : nSel);
}

int cFileDlg::OnMessage(SDL_Window* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam) {
    if (uMsg == WM_KEYDOWN && !IsEnded()) {
        const int n = static_cast<int>(m_vFiles.size());
        switch (static_cast<int>(wParam)) {
        case VK_UP: MoveSelection(-1); break;
        case VK_DOWN: MoveSelection(1); break;
        case VK_PRIOR_KEY: MoveSelection(-LIST_PAGE); break;
        case VK_NEXT_KEY: MoveSelection(LIST_PAGE); break;
        case VK_HOME_KEY:
            if (!m_Kind.bSave) Select(0);
            break;
        case VK_END_KEY:
            if (!m_Kind.bSave) Select(n - 1);
            break;
        default: break;
        }
    }
    return cGameDialog::OnMessage(hWnd, uMsg, wParam, lParam);
}

void cFileDlg::OnCommand(uintptr_t wParam, intptr_t lParam) {
    cDialog::OnCommand(wParam, lParam);
    switch (static_cast<int>(wParam & 0xFFFF)) {
    case IDC_FILE_OK: Confirm(); break;
    case IDC_FILE_CANCEL: End(0); break;
    default: break;
    }
}

void cFileDlg::Confirm() {
    if (!m_Kind.bSave) {
        if (m_nSel < 0 || m_nSel >= static_cast<int>(m_vFiles.size())) return;
        std::string strPath = JoinDataPath(m_Kind.strFolder, m_vFiles[m_nSel]);
        if (strPath.size() > FILEDLG_MAX_PATH || !FsIsFile(strPath.c_str())) {
            // Gone since the list was read.
            Refresh();
            return;
        }
        if (m_pResult) *m_pResult = strPath;
        End(1);
        return;
    }
    CtrlsToData();
    std::string strName = m_strName;
    while (!strName.empty() && strName.front() == ' ') strName.erase(strName.begin());
    if (!IsPlainFileName(strName)) return;
    strName = AddDefaultExtension(strName, m_Kind.strDefExt);
    std::string strPath = JoinDataPath(m_Kind.strFolder, strName);
    if (strPath.size() > FILEDLG_MAX_PATH) return;
    if (FsExists(strPath.c_str())) {
        if (FsIsDirectory(strPath.c_str())) return;
        std::string strText;
        if (bEnglish) FormatString(strText, "%s already exists.\nDo you want to replace it?", strName.c_str());
        else FormatString(strText, "%s は既に存在します。\n上書きしますか？", strName.c_str());
        int r = GetMessageBoxService().Show(strText.c_str(), m_Kind.strTitle.c_str(),
                                            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        if (r != IDYES) return;
    }
    if (m_pResult) *m_pResult = strPath;
    End(1);
}

namespace {
std::vector<std::string> vUnattendedAnswers;
size_t nUnattendedNext = 0;
}  // namespace

void SetUnattendedFileAnswers(const std::vector<std::string>& vAnswers) {
    vUnattendedAnswers = vAnswers;
    nUnattendedNext = 0;
}

void cFileDlg::AnswerHeadless() {
    if (nUnattendedNext >= vUnattendedAnswers.size()) {
        PressButton(IDC_FILE_CANCEL);
        return;
    }
    const std::string strAnswer = vUnattendedAnswers[nUnattendedNext++];
    if (strAnswer == "cancel") {
        PressButton(IDC_FILE_CANCEL);
        return;
    }
    if (strAnswer != "ok") {
        int nFound = -1;
        for (int i = 0; i < static_cast<int>(m_vFiles.size()); i++)
            if (m_vFiles[static_cast<size_t>(i)] == strAnswer) nFound = i;
        if (nFound >= 0) {
            Select(nFound);
        } else if (m_Kind.bSave && !m_vecEdit.empty()) {
            m_vecEdit.At(0).SetShown(strAnswer, 0, static_cast<int>(strAnswer.size()));
        } else {
            PressButton(IDC_FILE_CANCEL);
            return;
        }
    }
    PressButton(IDC_FILE_OK);
    if (!IsEnded()) PressButton(IDC_FILE_CANCEL);   // refused: nobody can mend it
}

int ShowFileDialog(int nMode, std::string& strPath) {
    cFileDlg dlg(104, &Wnd_Main, &strPath, nMode);
    return dlg.DoModal();
}
