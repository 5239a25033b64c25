#include "shell/MainWindow.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdio>

#include "foundation/Log.h"
#include "foundation/StopPoint.h"
#include "foundation/Thread.h"
#include "platform/Clock.h"
#include "platform/MainThread.h"
#include "platform/MessageBox.h"
#include "graphics/DDPresent.h"
#include "graphics/DDSurface.h"
#include "platform/Presenter.h"
#include "shell/CloseDecision.h"
#include "shell/EditorLink.h"
#include "shell/GameMain.h"
#include "foundation/GameThreads.h"
#include "shell/InputEvents.h"
#include "shell/InputScript.h"
#include "shell/KeyState.h"
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"
#include "project/SystemIni.h"
#include "shell/WindowData.h"
#include "sound/BgmManager.h"

cMainWindow Wnd_Main;

namespace {
std::atomic<uint32_t> nFrameCount{0};
std::atomic<uint32_t> nCloseAfterFrames{0};
std::atomic<bool> bCloseAfterAsked{false};
std::atomic<uint32_t> nCloseTakenAt{0};   // 0: no close taken yet
// How long the close handling gives each thread to reach a safe point and
// end (1 ms polls): long enough for a slow frame, short enough that the
// program ends within a second of the request.
constexpr unsigned CLOSE_EXIT_POLLS = 800;
void StopMusic() { Bgm_Main.Stop(); }
void (*pfnCloseMusicStop)() = StopMusic;
bool bWindowGone = false;

void UpdateClientRect(SDL_Window* w) {
    int x = 0, y = 0, cw = 0, ch = 0;
    SDL_GetWindowPosition(w, &x, &y);
    SDL_GetWindowSize(w, &cw, &ch);
    rcClient = CLIENTRECT{x, y, x + cw, y + ch};
}
}  // namespace

void SetCloseMusicStop(void (*pfn)()) { pfnCloseMusicStop = pfn; }
uint32_t GetFrameCount() { return nFrameCount.load(); }
void SetCloseAfterFrames(uint32_t n) { nCloseAfterFrames = n; }

uint32_t GetMsSinceCloseTaken() {
    const uint32_t n = nCloseTakenAt.load();
    return n ? GetTicks() - n : 0;
}

uint32_t CountShownFrame() {
    const uint32_t n = ++nFrameCount;
    const uint32_t nAfter = nCloseAfterFrames.load();
    // Nobody waits at an unattended run: its close asks nothing, and it is
    // no error of the run.
    if (nAfter && n >= nAfter && !bCloseAfterAsked.exchange(true)) PostSignalCloseRequest();
    return n;
}

cMainWindow::~cMainWindow() = default;

bool cMainWindow::Create() {
    Setup(640, 480, 100, 100, 640, 480, WS_MAINWINDOW);
    SDL_Window* w = SDL_CreateWindow("", 100, 100, m_rcWindow.right, m_rcWindow.bottom, SDL_WINDOW_HIDDEN);
    if (!w) {
        WriteEC("SDL_CreateWindow: %s", SDL_GetError());
        return false;
    }
    m_hWnd = w;
    m_ptPos = WINPOINT{100, 100};
    SDL_SetWindowMinimumSize(w, m_rcMinTrack.right, m_rcMinTrack.bottom);
    CenterOnDesktop();
    UpdateClientRect(w);
    bWindowGone = false;
    return true;
}

void cMainWindow::Destroy() {
    if (!m_hWnd) return;
    SDL_Window* w = m_hWnd;
    // What the window's destruction tells the program.
    WriteEC("WM_DESTROY");
    m_hWnd = nullptr;
    hWndMain = nullptr;
    SetMessageBoxParent(nullptr);
    if (bTestPlay) NotifyEditor(1);
    // The renderer that shows the frames goes with the window.
    if (PresenterGetWindow() == w) PresenterAttachWindow(nullptr);
    SDL_DestroyWindow(w);
    bWindowGone = true;
}

bool cMainWindow::IsMinimized() const {
    return m_hWnd && (SDL_GetWindowFlags(m_hWnd) & SDL_WINDOW_MINIMIZED);
}

bool cMainWindow::IsMaximized() const {
    return m_hWnd && (SDL_GetWindowFlags(m_hWnd) & SDL_WINDOW_MAXIMIZED);
}

void cMainWindow::HandleEvent(const SDL_Event& ev) {
    if (ev.type == SDL_WINDOWEVENT) {
        switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE: PostCloseRequest(CLOSE_USER); break;
        case SDL_WINDOWEVENT_MOVED:
            if (m_hWnd) UpdateClientRect(m_hWnd);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (m_hWnd) {
                RefreshFrame();
                UpdateClientRect(m_hWnd);
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED:
            // A full-screen textured display is reset before anything is
            // drawn again.
            if (!bAppActive && lpDTCon && !bDDWindowed) DDRestoreSurface();
            bAppActive = 1;
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            if (bStarted && PresenterGetWindow() == m_hWnd) PresenterRedraw();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
            bAppActive = 0;
            break;
        default: break;
        }
        return;
    }
    if (ev.type == SDL_KEYDOWN && !ev.key.repeat &&
        VirtualKeyFromScancode(ev.key.keysym.scancode) == VK_ESCAPE && !IsTextComposing()) {
        PostCloseRequest(CLOSE_USER);
    }
}

int ConfirmQuit(int bEnglishText) {
    int r = bEnglishText ? GetMessageBoxService().Show("Would you like to quit?\n", "End confirmation", MB_YESNO)
                         : GetMessageBoxService().Show("終了しますか？\n", "終了確認", MB_YESNO);
    return r == IDYES ? 1 : 0;
}

bool cMainWindow::HandleClose(eCloseKind eKind) {
    CLOSESTATE st;
    st.eKind = eKind;
    st.bTestPlay = bTestPlay;
    st.bWindowed = bWindowed;
    st.nScene = Game_Main.m_nScene;
    st.bClosing = bPlayClosing.load();
    st.bPauseLoop = IsPauseLoopRunning();
    st.bStarted = bStarted.load();
    st.bNoDisplay = IsHeadlessDisplay();
    st.bScripted = IsInputScriptInstalled();
    CLOSEDECISION d = DecideClose(st);
    WriteReport("App : close asked (%s)%s", eKind == CLOSE_FATAL ? "without question" : "by the player",
                st.bPauseLoop ? " during a stage-play wait" : "");
    if (d.bDecline) {
        WriteReport("App : the quit question cannot be shown without a display; the game goes on");
        std::fprintf(stderr, "mossgrove: the quit question cannot be shown without a display; the game goes on "
                             "(a termination signal ends it)\n");
        return false;
    }
    // The game threads are held while the question is up, so that the scene
    // cannot change under the decision. A close that asks nothing does not
    // wait for them to park: a slow frame must not delay it.
    SuspendThreads(d.bAsk);
    if (d.bAsk) {
        int bYes = ConfirmQuit(bEnglish);
        if (!bYes) {
            ResumeThreads();
            return false;
        }
        bPlayClosing = 1;
    }
    // The close is carried out from here: the report's count starts now.
    if (nCloseTakenAt.load() == 0) nCloseTakenAt = GetTicks() | 1u;
    if (d.bSavePlacement && nWindowMode != 0 && m_hWnd && !IsMinimized()) {
        // The outer corner, where the next start puts the window again.
        int x = 0, y = 0, w = 0, h = 0;
        GetWindowPos(&x, &y);
        SDL_GetWindowSize(m_hWnd, &w, &h);
        Window_Data.Set(x, y, w, h, IsMaximized() ? 1 : 0);
        Window_Data.Save("user_data\\Window.dat");
    }
    if (d.eAction == CLOSE_ACTION_END_PAUSE) {
        WriteEC("WM_CLOSE thPause.m_hThread");
        bPlayClosing = 1;
        if (thPause.IsRunning()) PostThreadMsg(thPause.m_dwThreadId, WM_QUIT_MSG);
        ResumeThreads();
        return false;
    }
    WriteEC("WM_CLOSE 成功！");
    if (pfnCloseMusicStop) pfnCloseMusicStop();
    // Whatever the game threads still wait for is cancelled; every thread is
    // told to stop at once, so that they reach their safe points together;
    // then each is waited for in turn.
    CancelMainThreadRequests();
    ResumeThreads();
    for (cThread* p : {&thLoad, &thPause, &thRanking, &thGame})
        if (p->IsRunning()) PostThreadMsg(p->m_dwThreadId, WM_QUIT_MSG);
    thLoad.Exit(CLOSE_EXIT_POLLS);
    thPause.Exit(CLOSE_EXIT_POLLS);
    thRanking.Exit(CLOSE_EXIT_POLLS);
    WriteEC("thPause.Exit()");
    thGame.Exit(CLOSE_EXIT_POLLS);
    WriteEC("thGame.Exit()");
    // A thread that did not end may still draw: the window and what it
    // presents stay until the process ends.
    if (!AnyThreadAbandoned()) Destroy();
    return true;
}

unsigned GameLoop(void*) {
    for (;;) {
        uint32_t nMsg = 0;
        if (PeekThreadMsg(&nMsg)) {
            if (nMsg == WM_QUIT_MSG) {
                WriteEC("GameLoop WM_QUIT!");
                return 1;
            }
            continue;
        }
        HoldPoint();
        if (!bAppActive) {
            SleepMs(1);
            continue;
        }
        int bStepped = 0;
        try {
            cStopPointScope stops;
            bStepped = Game_Main.FrameStep();
        } catch (const cThreadStop&) {
            // The close stopped the frame half-way: nothing of it is kept.
            WriteEC("GameLoop WM_QUIT! (the frame was given up)");
            return 1;
        }
        if (!bStepped) {
            PostCloseRequest(CLOSE_FATAL);
            return 1;
        }
        // When the first frame was done, for start-up measurements.
        if (CountShownFrame() == 1)
            WriteReport("App : first frame after %u ms (monotonic clock %.4f s)", GetRealTicks(), GetMonotonicSeconds());
    }
}

void RunMainLoop() {
    SetMainLoopServing(true);
    while (!bWindowGone) {
        SDL_Event ev;
        while (SDL_PollEvent(&ev)) {
            ProcessInputEvent(ev);
            if (ev.type == SDL_QUIT) PostCloseRequest(CLOSE_USER);
            else Wnd_Main.HandleEvent(ev);
        }
        if (TakeCloseSignal()) PostSignalCloseRequest();
        if (TakeScriptedEscape()) PostCloseRequest(CLOSE_USER);
        ServeMainThreadRequests();
        eCloseKind eKind;
        if (TakeCloseRequest(&eKind)) {
            if (Wnd_Main.HandleClose(eKind)) break;
        }
        // An inactive window waits longer between its turns.
        WaitMainThreadRequests(bAppActive ? 1 : 10);
    }
    SetMainLoopServing(false);
}
