// Drawing of the drawing-mode dialog.
#include "shell/DialogDraw.h"
#include "shell/DrawModeDlg.h"

void cDrawModeDlg::Draw() {
    const float s = DlgScale();
    DlgPlace(16, 34);
    ImGui::BeginChild("##group", ImVec2((m_nWidth - 32) * s, 96 * s), true, ImGuiWindowFlags_NoScrollbar);
    ImGui::TextDisabled("%s", SjisToUtf8(m_strGroup).c_str());
    for (size_t i = 0; i < m_vecRadio.size(); i++) {
        cCtrlRadio& r = m_vecRadio[i];
        if (i > 0) ImGui::SameLine(0, 40 * s);
        if (ImGui::RadioButton(DlgLabel(r.m_strLabel, r.m_nId).c_str(), r.m_nCheck != 0)) CheckRadio(r.m_nId);
    }
    for (auto& l : m_vecLabel) ImGui::TextWrapped("%s", SjisToUtf8(l.m_strLabel).c_str());
    ImGui::EndChild();
    DlgPlace(80, 146);
    for (auto& c : m_vecCheck) {
        bool b = c.m_nCheck != 0;
        if (ImGui::Checkbox(DlgLabel(c.m_strLabel, c.m_nId).c_str(), &b)) c.m_nCheck = b ? 1 : 0;
    }
    DlgPlace(160, 182);
    if (DlgButton(m_strStart, IDC_DRAWMODE_START, 120, 36)) PressButton(IDC_DRAWMODE_START);
    if (IsEnded()) return;
    DlgPlace(160, 228);
    if (DlgButton(m_strCancel, IDC_DRAWMODE_CANCEL, 120, 28)) PressButton(IDC_DRAWMODE_CANCEL);
}
