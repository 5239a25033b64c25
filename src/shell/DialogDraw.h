#pragma once
// Small helpers of the dialogs' ImGui drawing.
#include <imgui.h>

#include <string>

#include "platform/TextCodec.h"

// Client pixels to window pixels (the host scales the dialogs with the
// picture).
inline float DlgScale() { return ImGui::GetIO().FontGlobalScale; }

// A Shift-JIS text as an ImGui label with a unique id.
inline std::string DlgLabel(const std::string& strSjis, int nId) {
    return SjisToUtf8(strSjis) + "##" + std::to_string(nId);
}

// A push button of a control id; true when it was pressed.
inline bool DlgButton(const std::string& strSjis, int nId, float fWidth, float fHeight) {
    return ImGui::Button(DlgLabel(strSjis, nId).c_str(), ImVec2(fWidth * DlgScale(), fHeight * DlgScale()));
}

// Moves the cursor to a place of the dialog's client area, in client pixels.
inline void DlgPlace(float x, float y) { ImGui::SetCursorPos(ImVec2(x * DlgScale(), y * DlgScale())); }
