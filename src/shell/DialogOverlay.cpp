// Modal dialogs drawn with Dear ImGui inside the game window, over the last
// presented frame.
#include "shell/DialogOverlay.h"

#include <SDL2/SDL.h>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "platform/CloseRequest.h"
#include "platform/MainThread.h"
#include "platform/MessageBox.h"
#include "platform/Presenter.h"
#include "platform/TextCodec.h"
#include "shell/GameDialog.h"
#include "shell/Hook.h"
#include "shell/InputEvents.h"
#include "shell/KeyState.h"
#include "shell/MainWindow.h"
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"

namespace {

const char* const DIALOG_FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
const float DIALOG_FONT_SIZE = 16.0f;

DIALOGFRAMEHOOK fnFrameHook;
std::string strComposition;

// One atlas for every dialog of the run: the Japanese glyphs are rasterised
// once.
ImFontAtlas* GetDialogFontAtlas() {
    static ImFontAtlas* lpAtlas = nullptr;
    if (lpAtlas) return lpAtlas;
    lpAtlas = new ImFontAtlas();
    FILE* fp = fopen(DIALOG_FONT, "rb");
    if (fp) {
        fclose(fp);
        lpAtlas->AddFontFromFileTTF(DIALOG_FONT, DIALOG_FONT_SIZE, nullptr, lpAtlas->GetGlyphRangesJapanese());
    } else {
        WriteReportEC("dialog: %s is missing, Japanese texts cannot be shown", DIALOG_FONT);
        lpAtlas->AddFontDefault();
    }
    lpAtlas->Build();
    return lpAtlas;
}

// The window the dialogs are drawn in, with its renderer.
bool FindTarget(SDL_Window** ppWindow, SDL_Renderer** ppRenderer) {
    SDL_Window* w = PresenterGetWindow();
    if (!w) w = Wnd_Main.m_hWnd ? Wnd_Main.m_hWnd : hWndMain;
    if (!w) return false;
    SDL_Renderer* r = SDL_GetRenderer(w);
    if (!r) {
        // Before the display is set up the presenter is not attached yet.
        if (!PresenterAttachWindow(w)) return false;
        r = SDL_GetRenderer(w);
    }
    if (!r) return false;
    *ppWindow = w;
    *ppRenderer = r;
    return true;
}

// The window that an event belongs to, 0 when none.
Uint32 EventWindowId(const SDL_Event& ev) {
    switch (ev.type) {
    case SDL_WINDOWEVENT: return ev.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return ev.key.windowID;
    case SDL_TEXTINPUT: return ev.text.windowID;
    case SDL_TEXTEDITING: return ev.edit.windowID;
    case SDL_MOUSEMOTION: return ev.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return ev.button.windowID;
    case SDL_MOUSEWHEEL: return ev.wheel.windowID;
    default: return 0;
    }
}

class cDialogOverlayHost : public IDialogHost {
public:
    int Run(cDialog& dlg) override;
};

// Without a display nobody can answer: the dialog takes its headless answer,
// as a message box takes its default.
int RunHeadless(cDialog& dlg) {
    auto* pGame = dynamic_cast<cGameDialog*>(&dlg);
    // A dialog needs a window handle while it runs; without a main window a
    // stand-in that SDL refuses as none of its windows.
    alignas(16) static unsigned char aNoWindow[1024] = {};
    SDL_Window* h = Wnd_Main.m_hWnd ? Wnd_Main.m_hWnd : hWndMain;
    if (!h) h = reinterpret_cast<SDL_Window*>(aNoWindow);
    dlg.WndProc(h, WM_INITDIALOG, 0, 0);
    if (pGame && !dlg.IsEnded()) pGame->AnswerHeadless();
    if (!dlg.IsEnded()) dlg.WndProc(dlg.m_hWnd, WM_CLOSE, 0, 0);
    WriteReportEC("dialog %d: no display, answered %d", dlg.m_nResourceId, dlg.m_nResult);
    dlg.m_Hook.Uninstall();
    dlg.WndProc(dlg.m_hWnd, WM_DESTROY, 0, 0);
    return dlg.m_nResult;
}

int cDialogOverlayHost::Run(cDialog& dlg) {
    if (IsHeadlessDisplay()) return RunHeadless(dlg);
    SDL_Window* win = nullptr;
    SDL_Renderer* ren = nullptr;
    if (!FindTarget(&win, &ren)) {
        WriteReportEC("dialog: no game window to show it in");
        return -1;
    }
    if (SDL_GetWindowFlags(win) & SDL_WINDOW_HIDDEN) SDL_ShowWindow(win);
    // The pointer is shown while the dialog is up, also in full screen.
    const int nPrevCursor = SDL_ShowCursor(SDL_QUERY);
    auto* pGame = dynamic_cast<cGameDialog*>(&dlg);

    // The last presented frame, as the background.
    SDL_Texture* lpFrame = nullptr;
    {
        std::vector<uint32_t> v;
        int w = 0, h = 0;
        if (PresenterGetLastFrame(&v, &w, &h)) {
            lpFrame = SDL_CreateTexture(ren, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
            if (lpFrame) SDL_UpdateTexture(lpFrame, nullptr, v.data(), w * 4);
        }
    }
    int nLogicalW = 0, nLogicalH = 0;
    SDL_RenderGetLogicalSize(ren, &nLogicalW, &nLogicalH);
    // The dialog works in window coordinates; the picture is placed by hand.
    SDL_RenderSetLogicalSize(ren, 0, 0);
    SDL_RenderSetViewport(ren, nullptr);
    SDL_RenderSetScale(ren, 1.0f, 1.0f);

    ImGuiContext* pPrev = ImGui::GetCurrentContext();
    ImGuiContext* ctx = ImGui::CreateContext(GetDialogFontAtlas());
    ImGui::SetCurrentContext(ctx);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    if (pGame && pGame->m_bKeyboardNav) io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    ImGui::StyleColorsDark();
    // The dialogs are opaque: the game's picture behind them must not show
    // through their lists and texts. Every background colour is laid over
    // the window's own, which is made opaque first.
    {
        ImVec4* aCol = ImGui::GetStyle().Colors;
        aCol[ImGuiCol_WindowBg].w = 1.0f;
        const ImVec4 bg = aCol[ImGuiCol_WindowBg];
        for (int n : {ImGuiCol_ChildBg, ImGuiCol_PopupBg, ImGuiCol_FrameBg, ImGuiCol_FrameBgHovered,
                      ImGuiCol_FrameBgActive, ImGuiCol_TitleBg, ImGuiCol_TitleBgCollapsed, ImGuiCol_MenuBarBg,
                      ImGuiCol_ScrollbarBg}) {
            ImVec4& c = aCol[n];
            c = ImVec4(c.x * c.w + bg.x * (1 - c.w), c.y * c.w + bg.y * (1 - c.w), c.z * c.w + bg.z * (1 - c.w), 1.0f);
        }
    }
    ImGui_ImplSDL2_InitForSDLRenderer(win);
    ImGui_ImplSDLRenderer_Init(ren);

    dlg.WndProc(win, WM_INITDIALOG, 0, 0);
    strComposition.clear();
    const SDL_bool bTextInputBefore = SDL_IsTextInputActive();
    SDL_StartTextInput();
    const Uint32 nWinId = SDL_GetWindowID(win);
    std::vector<int> vKeys;   // key-downs for the dialog, after the frame's drawing
    for (int nFrame = 0; !dlg.IsEnded(); nFrame++) {
        SDL_Event ev;
        while (SDL_PollEvent(&ev)) {
            ProcessInputEvent(ev);
            if (ev.type == SDL_QUIT) {
                // Closing the game while a dialog is up: the dialog is
                // closed, then the game asks as usual.
                dlg.WndProc(win, WM_CLOSE, 0, 0);
                if (IsMainLoopServing()) PostCloseRequest(CLOSE_USER);
                continue;
            }
            if (EventWindowId(ev) != nWinId) continue;
            if (ev.type == SDL_WINDOWEVENT) {
                if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
                    dlg.WndProc(win, WM_CLOSE, 0, 0);
                    if (IsMainLoopServing()) PostCloseRequest(CLOSE_USER);
                    continue;
                }
                // The main window keeps its placement and activation; the
                // dialog redraws the picture itself.
                if (win == Wnd_Main.m_hWnd && ev.window.event != SDL_WINDOWEVENT_EXPOSED) Wnd_Main.HandleEvent(ev);
                ImGui_ImplSDL2_ProcessEvent(&ev);
                continue;
            }
            if (ev.type == SDL_TEXTEDITING) {
                strComposition = ev.edit.text;
                continue;
            }
            if (ev.type == SDL_TEXTINPUT) strComposition.clear();

            if (ev.type == SDL_KEYDOWN || ev.type == SDL_KEYUP) {
                bool bComposing = IsTextComposing();
                int nVk = VirtualKeyFromScancode(ev.key.keysym.scancode);
                cHook* pHook = FindHook(win);
                HOOKRESULT r = KeyboardHookDecide(pHook != nullptr, bComposing, nVk, ev.type == SDL_KEYUP,
                                                  pHook ? pHook->m_bHoldWithCtrl : 0);
                if ((r.bDivert || r.bCopy) && ev.type == SDL_KEYDOWN) vKeys.push_back(nVk);
                // The input method keeps the keys of its composition.
                if (bComposing) continue;
            }
            ImGui_ImplSDL2_ProcessEvent(&ev);
        }
        // A termination signal, or another copy asking this one to close,
        // ends the run while a dialog is up: the dialog is closed as by its
        // close box, and the close goes on without a question.
        if (TakeCloseSignal()) {
            dlg.WndProc(win, WM_CLOSE, 0, 0);
            PostSignalCloseRequest();
        }
        if (dlg.IsEnded()) break;

        int nOutW = 0, nOutH = 0, nWinW = 0, nWinH = 0;
        SDL_GetRendererOutputSize(ren, &nOutW, &nOutH);
        SDL_GetWindowSize(win, &nWinW, &nWinH);
        CLIENTVIEW vOut = GetClientView(nOutW, nOutH);
        CLIENTVIEW vWin = GetClientView(nWinW, nWinH);
        SDL_SetRenderDrawColor(ren, 0, 0, 0, 255);
        SDL_RenderClear(ren);
        if (lpFrame) {
            SDL_Rect rc{static_cast<int>(vOut.fX), static_cast<int>(vOut.fY), static_cast<int>(640 * vOut.fScale),
                        static_cast<int>(480 * vOut.fScale)};
            SDL_RenderCopy(ren, lpFrame, nullptr, &rc);
        }

        ImGui_ImplSDLRenderer_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        // The dialog keeps its size relative to the picture.
        float fScale = std::max(0.5f, vWin.fScale);
        if (nFrame == 0) ImGui::GetStyle().ScaleAllSizes(fScale);
        io.FontGlobalScale = fScale;
        ImGui::NewFrame();
        float w = static_cast<float>(pGame ? pGame->m_nWidth : 320);
        float h = static_cast<float>(pGame ? pGame->m_nHeight : 160);
        float x = pGame && pGame->m_ptClient.x >= 0 ? static_cast<float>(pGame->m_ptClient.x) : (640 - w) / 2;
        float y = pGame && pGame->m_ptClient.y >= 0 ? static_cast<float>(pGame->m_ptClient.y) : (480 - h) / 2;
        ImGui::SetNextWindowPos(ImVec2(vWin.fX + x * fScale, vWin.fY + y * fScale));
        ImGui::SetNextWindowSize(ImVec2(w * fScale, h * fScale));
        ImGuiWindowFlags nFlags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse |
                                  ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar;
        if (dlg.m_strTitle.empty()) nFlags |= ImGuiWindowFlags_NoTitleBar;
        std::string strTitle = SjisToUtf8(dlg.m_strTitle) + "##dialog";
        if (!ImGui::IsWindowFocused(ImGuiFocusedFlags_AnyWindow)) ImGui::SetNextWindowFocus();
        ImGui::Begin(strTitle.c_str(), nullptr, nFlags);
        dlg.Draw();
        ImGui::End();
        if (pGame) pGame->m_bFirstFrame = 0;
        SDL_Rect rcText{static_cast<int>(vWin.fX + x * fScale), static_cast<int>(vWin.fY + (y + h) * fScale),
                        static_cast<int>(w * fScale), 20};
        SDL_SetTextInputRect(&rcText);
        ImGui::Render();
        ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
        if (fnFrameHook) fnFrameHook(dlg, nFrame, ren);
        SDL_RenderPresent(ren);

        // Keys reach the dialog after the frame has taken the typed text.
        for (int nVk : vKeys) {
            if (dlg.IsEnded()) break;
            dlg.WndProc(win, WM_KEYDOWN, static_cast<uintptr_t>(nVk), 0);
        }
        vKeys.clear();
        if (!dlg.IsEnded()) SDL_Delay(10);
    }
    if (!bTextInputBefore) SDL_StopTextInput();
    strComposition.clear();
    dlg.m_Hook.Uninstall();
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext(ctx);
    ImGui::SetCurrentContext(pPrev);
    if (lpFrame) SDL_DestroyTexture(lpFrame);
    SDL_RenderSetLogicalSize(ren, nLogicalW, nLogicalH);
    // The picture without the dialog.
    SDL_SetRenderDrawColor(ren, 0, 0, 0, 255);
    SDL_RenderClear(ren);
    PresenterRedraw();
    if (!PresenterGetLastFrame(nullptr, nullptr, nullptr)) SDL_RenderPresent(ren);
    SDL_ShowCursor(nPrevCursor == SDL_ENABLE ? SDL_ENABLE : SDL_DISABLE);
    dlg.WndProc(win, WM_DESTROY, 0, 0);
    return dlg.m_nResult;
}

cDialogOverlayHost DialogOverlayHost;

}  // namespace

IDialogHost& GetDialogOverlayHost() { return DialogOverlayHost; }

void SetDialogOverlayFrameHook(DIALOGFRAMEHOOK fn) { fnFrameHook = std::move(fn); }

const std::string& GetDialogComposition() { return strComposition; }

CLIENTVIEW GetClientView(int nOutW, int nOutH) {
    CLIENTVIEW v;
    if (nOutW <= 0 || nOutH <= 0) return v;
    v.fScale = std::min(nOutW / 640.0f, nOutH / 480.0f);
    v.fX = (nOutW - 640 * v.fScale) / 2;
    v.fY = (nOutH - 480 * v.fScale) / 2;
    return v;
}
