// Drawing of the message box in the game window.
#include "shell/DialogDraw.h"
#include "shell/MessageDlg.h"

void cMessageDlg::Draw() {
    const float s = DlgScale();
    DlgPlace(24, 34);
    ImGui::PushTextWrapPos((m_nWidth - 24) * s);
    ImGui::TextUnformatted(SjisToUtf8(m_strText).c_str());
    ImGui::PopTextWrapPos();
    // The buttons side by side, centred at the bottom.
    const float fButtonW = 96, fGap = 16;
    const float fRowW = m_nButtons * fButtonW + (m_nButtons - 1) * fGap;
    for (int i = 0; i < m_nButtons && !IsEnded(); i++) {
        DlgPlace((m_nWidth - fRowW) / 2 + i * (fButtonW + fGap), static_cast<float>(m_nHeight - 40));
        // The focused button stands out as a button under the pointer does.
        const bool bFocus = i == m_nFocus;
        if (bFocus) ImGui::PushStyleColor(ImGuiCol_Button, ImGui::GetStyleColorVec4(ImGuiCol_ButtonActive));
        const bool bPressed = DlgButton(m_aLabel[i], m_aButton[i], fButtonW, 28);
        if (bFocus) ImGui::PopStyleColor();
        if (bPressed) PressButton(m_aButton[i]);
    }
}
