// Drawing of a game dialog's edit field with Dear ImGui.
#include <imgui.h>

#include <algorithm>
#include <string>

#include "shell/DialogEdit.h"

namespace {

int Utf8OffsetOfChar(const char* p, int nLen, int nChar) {
    int i = 0;
    for (int c = 0; c < nChar && i < nLen; c++) {
        unsigned char b = static_cast<unsigned char>(p[i]);
        i += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    }
    return std::min(i, nLen);
}

int Utf8CharAt(const char* p, int nLen, int nOffset) {
    int c = 0;
    for (int i = 0; i < nOffset && i < nLen; i++)
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) c++;
    return c;
}

int EditCallback(ImGuiInputTextCallbackData* data) {
    if (data->EventFlag != ImGuiInputTextFlags_CallbackEdit) return 0;
    auto* pEdit = static_cast<cCtrlEdit*>(data->UserData);
    std::string strTyped(data->Buf, static_cast<size_t>(data->BufTextLen));
    ApplyEditText(*pEdit, strTyped, Utf8CharAt(data->Buf, data->BufTextLen, data->CursorPos));
    // The field shows what the dialog accepted (a refused character, a cut
    // or an undone change included).
    std::string strShown = EditDisplayText(*pEdit);
    if (strShown != strTyped) {
        data->DeleteChars(0, data->BufTextLen);
        data->InsertChars(0, strShown.c_str());
    }
    int nPos = Utf8OffsetOfChar(data->Buf, data->BufTextLen, EditDisplayCaret(*pEdit));
    data->CursorPos = data->SelectionStart = data->SelectionEnd = nPos;
    return 0;
}

}  // namespace

void DrawDialogEdit(cCtrlEdit& edit, bool bFocus, float fWidth) {
    std::string strId = "##edit" + std::to_string(edit.m_nId);
    std::string strShown = EditDisplayText(edit);
    // Room for the longest text the field may take, as UTF-8, and a change.
    size_t nBuf = std::max<size_t>(static_cast<size_t>(edit.m_Limit.nSize) * 4 + 256, strShown.size() + 256);
    std::string buf(nBuf, '\0');
    std::copy(strShown.begin(), strShown.end(), buf.begin());
    if (bFocus) ImGui::SetKeyboardFocusHere();
    ImGui::SetNextItemWidth(fWidth > 0 ? fWidth * ImGui::GetIO().FontGlobalScale : -1.0f);
    ImGui::BeginDisabled(!edit.m_bEnabled);
    ImGui::InputText(strId.c_str(), buf.data(), buf.size(),
                     ImGuiInputTextFlags_CallbackEdit | ImGuiInputTextFlags_AutoSelectAll, EditCallback, &edit);
    ImGui::EndDisabled();
}
