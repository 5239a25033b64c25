// The dialog host in use and the drawing of the bound controls with Dear
// ImGui (inside a frame of the host).
#include <imgui.h>

#include <string>

#include "platform/TextCodec.h"
#include "shell/Dialog.h"
#include "shell/DialogEdit.h"
#include "shell/DialogOverlay.h"

namespace {
IDialogHost* lpDialogHost = nullptr;
}  // namespace

IDialogHost& GetDialogHost() { return lpDialogHost ? *lpDialogHost : GetDialogOverlayHost(); }
void SetDialogHost(IDialogHost* p) { lpDialogHost = p; }

void cCtrlStatic::Draw() {
    ImGui::TextUnformatted(SjisToUtf8(m_strLabel).c_str());
}

void cCtrlEdit::Draw() { DrawDialogEdit(*this, false, 0); }

void cCtrlCheck::Draw() {
    std::string strLabel = SjisToUtf8(m_strLabel) + "##check" + std::to_string(m_nId);
    bool b = m_nCheck != 0;
    ImGui::BeginDisabled(!m_bEnabled);
    if (ImGui::Checkbox(strLabel.c_str(), &b)) m_nCheck = b ? 1 : 0;
    ImGui::EndDisabled();
}

void cCtrlRadio::Draw() {
    std::string strLabel = SjisToUtf8(m_strLabel) + "##radio" + std::to_string(m_nId);
    ImGui::BeginDisabled(!m_bEnabled);
    if (ImGui::RadioButton(strLabel.c_str(), m_nCheck != 0) && m_pDialog) {
        // Checking one radio clears the others bound to the same variable.
        for (cCtrl* p : m_pDialog->m_vecCtrl) {
            auto* r = dynamic_cast<cCtrlRadio*>(p);
            if (r && r->m_pValue == m_pValue) r->m_nCheck = 0;
        }
        m_nCheck = 1;
    }
    ImGui::EndDisabled();
}
