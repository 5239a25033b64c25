#include "shell/DialogEdit.h"

#include "foundation/Text.h"
#include "platform/TextCodec.h"
#include "shell/KeyState.h"

namespace {

// Byte offset of the character nChar of a Shift-JIS text; a "\r" is not
// counted (it belongs to the "\r\n" that shows as one line break).
int SjisOffsetOfChar(const std::string& s, int nChar) {
    int i = 0;
    const int n = static_cast<int>(s.size());
    for (int c = 0; c < nChar && i < n;) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b == '\r') {
            i++;
            continue;
        }
        i += IsSJISLead(b) && i + 1 < n ? 2 : 1;
        c++;
    }
    return i < n ? i : n;
}

int SjisCharAt(const std::string& s, int nOffset) {
    int c = 0;
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < nOffset && i < n;) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b == '\r') {
            i++;
            continue;
        }
        i += IsSJISLead(b) && i + 1 < n ? 2 : 1;
        c++;
    }
    return c;
}

}  // namespace

int ApplyEditText(cCtrlEdit& edit, const std::string& strUtf8, int nCaretChars) {
    std::string sjis;
    if (!Utf8ToSjis(strUtf8, sjis)) return 0;
    std::string strText;
    for (char c : sjis) {
        if (c == '\r') continue;
        if (c == '\n') strText += "\r\n";
        else strText.push_back(c);
    }
    int nCaret = SjisOffsetOfChar(strText, nCaretChars < 0 ? 0 : nCaretChars);
    edit.SetShown(strText, nCaret, nCaret);
    edit.m_bBackspace = IsVirtualKeyHeld(VK_BACK) ? 1 : 0;
    if (edit.m_pDialog)
        edit.m_pDialog->WndProc(edit.m_pDialog->m_hWnd, WM_COMMAND,
                                static_cast<uintptr_t>(edit.m_nId & 0xFFFF) | (static_cast<uintptr_t>(EN_UPDATE) << 16),
                                0);
    else
        edit.OnUpdate();
    return 1;
}

std::string EditDisplayText(const cCtrlEdit& edit) {
    std::string s;
    for (char c : edit.GetShown())
        if (c != '\r') s.push_back(c);
    return SjisToUtf8(s);
}

int EditDisplayCaret(const cCtrlEdit& edit) { return SjisCharAt(edit.GetShown(), edit.m_nSelStart); }
