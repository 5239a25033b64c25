// Drawing of the name-entry dialog.
#include "shell/DialogDraw.h"
#include "shell/DialogEdit.h"
#include "shell/DialogOverlay.h"
#include "shell/NameDlg.h"

void cNameDlg::Draw() {
    DlgPlace(12, 18);
    ImGui::TextUnformatted(SjisToUtf8(m_strLabel).c_str());
    ImGui::SameLine();
    if (!m_vecEdit.empty()) {
        DrawDialogEdit(m_vecEdit.At(0), m_bFirstFrame != 0, 56);
        const std::string& strComp = GetDialogComposition();
        if (!strComp.empty()) {
            DlgPlace(12, 44);
            ImGui::TextDisabled("%s", strComp.c_str());
        }
    } else {
        // Nothing is bound: an empty field that takes nothing.
        char sz[1] = {0};
        ImGui::SetNextItemWidth(56 * DlgScale());
        ImGui::InputText("##edit1003", sz, sizeof sz, ImGuiInputTextFlags_ReadOnly);
    }
    DlgPlace(70, 66);
    if (DlgButton("OK", IDC_NAME_OK, 100, 28)) PressButton(IDC_NAME_OK);
}
