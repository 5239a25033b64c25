// Drawing of the file selection dialog.
#include "shell/DialogDraw.h"
#include "shell/DialogEdit.h"
#include "shell/DialogOverlay.h"
#include "shell/FileDlg.h"
#include "project/SystemIni.h"

void cFileDlg::Draw() {
    const float s = DlgScale();
    const bool bSave = m_Kind.bSave != 0;
    ImGui::TextUnformatted(m_Kind.strFolder.c_str());
    float fListH = bSave ? 190.0f : 220.0f;
    ImGui::BeginChild("##list", ImVec2(0, fListH * s), true, ImGuiWindowFlags_NoNavInputs);
    for (int i = 0; i < static_cast<int>(m_vFiles.size()); i++) {
        std::string strLabel = SjisToUtf8(m_vFiles[i]) + "##f" + std::to_string(i);
        if (ImGui::Selectable(strLabel.c_str(), i == m_nSel, ImGuiSelectableFlags_AllowDoubleClick)) {
            if (ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left)) {
                Activate(i);
                if (IsEnded()) break;
            } else {
                Select(i);
            }
        }
        if (i == m_nSel && m_bScrollToSel) {
            ImGui::SetScrollHereY();
            m_bScrollToSel = 0;
        }
    }
    ImGui::EndChild();
    if (IsEnded()) return;

    if (bSave && !m_vecEdit.empty()) {
        ImGui::TextUnformatted(SjisToUtf8(bEnglish ? "File name:" : "ファイル名:").c_str());
        ImGui::SameLine();
        // A new id when the list set the field, so that it shows the new name.
        ImGui::PushID(m_nEditRevision);
        DrawDialogEdit(m_vecEdit.At(0), m_bFirstFrame != 0 || m_nEditRevision != m_nDrawnRevision, 0);
        ImGui::PopID();
        m_nDrawnRevision = m_nEditRevision;
        const std::string& strComp = GetDialogComposition();
        if (!strComp.empty()) ImGui::TextDisabled("%s", strComp.c_str());
    }
    ImGui::TextDisabled("%s", m_Kind.strFilterLabel.c_str());

    float fButtonY = static_cast<float>(m_nHeight) - 40.0f - ImGui::GetFrameHeight() / s;
    DlgPlace(static_cast<float>(m_nWidth) - 220.0f, fButtonY);
    const char* pszOk = bSave ? (bEnglish ? "Save" : "保存") : (bEnglish ? "Open" : "開く");
    if (DlgButton(pszOk, IDC_FILE_OK, 100, 26)) PressButton(IDC_FILE_OK);
    if (IsEnded()) return;
    ImGui::SameLine();
    if (DlgButton(bEnglish ? "Cancel" : "キャンセル", IDC_FILE_CANCEL, 100, 26)) PressButton(IDC_FILE_CANCEL);
}
