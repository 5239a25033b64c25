// Modal dialogs in an SDL window of their own, drawn with Dear ImGui.
#include <SDL2/SDL.h>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <string>

#include "foundation/Log.h"
#include "foundation/Text.h"
#include "platform/CloseRequest.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "shell/Dialog.h"
#include "shell/InputEvents.h"
#include "shell/KeyState.h"

namespace {

const char* const JAPANESE_FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";

// Offsets between a Shift-JIS text with "\r\n" breaks and its UTF-8 form
// with "\n" breaks, counted in characters.
int SjisCharAt(const std::string& s, int nOffset) {
    int nChars = 0;
    for (int i = 0; i < nOffset && i < static_cast<int>(s.size());) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\r') { i++; continue; }
        i += (IsSJISLead(c) && i + 1 < static_cast<int>(s.size())) ? 2 : 1;
        nChars++;
    }
    return nChars;
}

int Utf8OffsetOfChar(const std::string& u, int nChar) {
    int i = 0;
    for (int n = 0; n < nChar && i < static_cast<int>(u.size()); n++) {
        unsigned char c = static_cast<unsigned char>(u[i]);
        i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    }
    return i < static_cast<int>(u.size()) ? i : static_cast<int>(u.size());
}

int Utf8CharAt(const std::string& u, int nOffset) {
    int n = 0;
    for (int i = 0; i < nOffset && i < static_cast<int>(u.size()); i++)
        if ((static_cast<unsigned char>(u[i]) & 0xC0) != 0x80) n++;
    return n;
}

int SjisOffsetOfChar(const std::string& s, int nChar) {
    int i = 0;
    for (int n = 0; n < nChar && i < static_cast<int>(s.size());) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\r') { i++; continue; }
        i += IsSJISLead(c) ? 2 : 1;
        n++;
    }
    return i < static_cast<int>(s.size()) ? i : static_cast<int>(s.size());
}

std::string ToDisplay(const std::string& sjis) {
    std::string s;
    for (char c : sjis)
        if (c != '\r') s.push_back(c);
    return SjisToUtf8(s);
}

struct EDITCALLBACK {
    cCtrlEdit* pEdit;
};

int EditCallback(ImGuiInputTextCallbackData* data) {
    auto* cb = static_cast<EDITCALLBACK*>(data->UserData);
    cCtrlEdit* e = cb->pEdit;
    if (data->EventFlag != ImGuiInputTextFlags_CallbackEdit) return 0;
    std::string u(data->Buf, static_cast<size_t>(data->BufTextLen));
    std::string sjis;
    std::string prevDisplay = ToDisplay(e->GetShown());
    if (!Utf8ToSjis(u, sjis)) {
        // A character without a Shift-JIS form is refused.
        data->DeleteChars(0, data->BufTextLen);
        data->InsertChars(0, prevDisplay.c_str());
        data->CursorPos = data->SelectionStart = data->SelectionEnd = static_cast<int>(prevDisplay.size());
        return 0;
    }
    std::string withBreaks;
    for (char c : sjis) {
        if (c == '\n') withBreaks += "\r\n";
        else withBreaks.push_back(c);
    }
    int nCaret = SjisOffsetOfChar(withBreaks, Utf8CharAt(u, data->CursorPos));
    e->SetShown(withBreaks, nCaret, nCaret);
    e->m_bBackspace = IsVirtualKeyHeld(VK_BACK);
    if (e->m_pDialog) e->m_pDialog->WndProc(e->m_pDialog->m_hWnd, WM_COMMAND,
                                            static_cast<uintptr_t>(e->m_nId) | (static_cast<uintptr_t>(EN_UPDATE) << 16), 0);
    std::string out = ToDisplay(e->GetShown());
    if (out != u) {
        data->DeleteChars(0, data->BufTextLen);
        data->InsertChars(0, out.c_str());
    }
    int nPos = Utf8OffsetOfChar(out, SjisCharAt(e->GetShown(), e->m_nSelStart));
    data->CursorPos = data->SelectionStart = data->SelectionEnd = nPos;
    return 0;
}

class cImGuiDialogHost : public IDialogHost {
public:
    int Run(cDialog& dlg) override {
        if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return -1;
        int w = dlg.m_rcClient.right > 0 ? dlg.m_rcClient.right : 400;
        int h = dlg.m_rcClient.bottom > 0 ? dlg.m_rcClient.bottom : 240;
        std::string strTitle = SjisToUtf8(dlg.m_strTitle);
        SDL_Window* win = SDL_CreateWindow(strTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                           SDL_WINDOW_SHOWN);
        if (!win) {
            WriteReportEC("dialog: %s", SDL_GetError());
            return -1;
        }
        SDL_Renderer* ren = SDL_CreateRenderer(win, -1, 0);
        if (!ren) ren = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
        if (!ren) {
            SDL_DestroyWindow(win);
            return -1;
        }
        ImGuiContext* pPrev = ImGui::GetCurrentContext();
        ImGuiContext* ctx = ImGui::CreateContext();
        ImGui::SetCurrentContext(ctx);
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        FILE* fpFont = fopen(JAPANESE_FONT, "rb");
        if (fpFont) {
            fclose(fpFont);
            io.Fonts->AddFontFromFileTTF(JAPANESE_FONT, 16.0f, nullptr, io.Fonts->GetGlyphRangesJapanese());
        }
        ImGui_ImplSDL2_InitForSDLRenderer(win);
        ImGui_ImplSDLRenderer_Init(ren);

        dlg.WndProc(win, WM_INITDIALOG, 0, 0);
        SDL_StartTextInput();
        Uint32 nWinId = SDL_GetWindowID(win);
        while (!dlg.IsEnded()) {
            SDL_Event ev;
            while (SDL_PollEvent(&ev)) {
                ProcessInputEvent(ev);
                if (ev.type == SDL_QUIT) {
                    PostCloseRequest(CLOSE_USER);   // served once the dialog has returned
                    continue;
                }
                Uint32 nId = 0;
                if (ev.type == SDL_WINDOWEVENT) nId = ev.window.windowID;
                else if (ev.type == SDL_KEYDOWN || ev.type == SDL_KEYUP) nId = ev.key.windowID;
                else if (ev.type == SDL_TEXTINPUT) nId = ev.text.windowID;
                else if (ev.type == SDL_TEXTEDITING) nId = ev.edit.windowID;
                else if (ev.type == SDL_MOUSEMOTION) nId = ev.motion.windowID;
                else if (ev.type == SDL_MOUSEBUTTONDOWN || ev.type == SDL_MOUSEBUTTONUP) nId = ev.button.windowID;
                else if (ev.type == SDL_MOUSEWHEEL) nId = ev.wheel.windowID;
                if (nId != nWinId) continue;
                if (ev.type == SDL_WINDOWEVENT && ev.window.event == SDL_WINDOWEVENT_CLOSE) {
                    dlg.WndProc(win, WM_CLOSE, 0, 0);
                    continue;
                }
                ImGui_ImplSDL2_ProcessEvent(&ev);
                if (ev.type == SDL_KEYDOWN || ev.type == SDL_KEYUP) {
                    int nVk = VirtualKeyFromScancode(ev.key.keysym.scancode);
                    cHook* pHook = FindHook(win);
                    HOOKRESULT r = KeyboardHookDecide(pHook != nullptr, IsTextComposing(), nVk, ev.type == SDL_KEYUP,
                                                      pHook ? pHook->m_bHoldWithCtrl : 0);
                    if (r.bDivert) dlg.WndProc(win, WMU_HOOKKEY, static_cast<uintptr_t>(nVk), 0);
                    if (r.bCopy && ev.type == SDL_KEYDOWN) dlg.WndProc(win, WM_KEYDOWN, static_cast<uintptr_t>(nVk), 0);
                }
            }
            if (dlg.IsEnded()) break;
            ImGui_ImplSDLRenderer_NewFrame();
            ImGui_ImplSDL2_NewFrame();
            ImGui::NewFrame();
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(io.DisplaySize);
            ImGui::Begin("##dialog", nullptr,
                         ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
            dlg.Draw();
            ImGui::End();
            ImGui::Render();
            SDL_SetRenderDrawColor(ren, 192, 192, 192, 255);
            SDL_RenderClear(ren);
            ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
            SDL_RenderPresent(ren);
            SDL_Delay(10);
        }
        SDL_StopTextInput();
        dlg.m_Hook.Uninstall();
        ImGui_ImplSDLRenderer_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext(ctx);
        ImGui::SetCurrentContext(pPrev);
        SDL_DestroyRenderer(ren);
        SDL_DestroyWindow(win);
        dlg.WndProc(win, WM_DESTROY, 0, 0);
        return dlg.m_nResult;
    }
};

cImGuiDialogHost ImGuiDialogHost;
IDialogHost* lpDialogHost = &ImGuiDialogHost;

}  // namespace

IDialogHost& GetDialogHost() { return *lpDialogHost; }
void SetDialogHost(IDialogHost* p) { lpDialogHost = p ? p : &ImGuiDialogHost; }

// ---------------------------------------------------------------------------
// Drawing of the controls

void cCtrlStatic::Draw() {
    ImGui::TextUnformatted(SjisToUtf8(m_strLabel).c_str());
}

void cCtrlEdit::Draw() {
    std::string strLabel = SjisToUtf8(m_strLabel) + "##edit" + std::to_string(m_nId);
    std::string u = ToDisplay(m_strShown);
    size_t nBuf = static_cast<size_t>(m_Limit.nSize) * 4 + 64;
    std::string buf(std::max(nBuf, u.size() + 64), '\0');
    std::copy(u.begin(), u.end(), buf.begin());
    EDITCALLBACK cb{this};
    ImGui::BeginDisabled(!m_bEnabled);
    if (m_Limit.nMaxLines > 1)
        ImGui::InputTextMultiline(strLabel.c_str(), buf.data(), buf.size(), ImVec2(0, 0), ImGuiInputTextFlags_CallbackEdit,
                                  EditCallback, &cb);
    else
        ImGui::InputText(strLabel.c_str(), buf.data(), buf.size(), ImGuiInputTextFlags_CallbackEdit, EditCallback, &cb);
    ImGui::EndDisabled();
}

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
