// The name dialog in a real window: drawn over the presented frame at its
// place, typed into and confirmed with keys arriving as SDL events. Runs when
// an X display is there (the test script starts a virtual one).
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frontend/Option.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/Presenter.h"
#include "shell/BootData.h"
#include "shell/DrawModeDlg.h"
#include "shell/FileDlg.h"
#include "shell/DialogOverlay.h"
#include "shell/GameMain.h"
#include "shell/MessageDlg.h"
#include "shell/NameDlg.h"
#include "shell/ShellState.h"
#include "project/SystemIni.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

const int TEST_WINDOW_X = 600;

void PushText(Uint32 nWin, const char* psz) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = nWin;
    strncpy(e.text.text, psz, sizeof e.text.text - 1);
    SDL_PushEvent(&e);
}

void PushKey(Uint32 nWin, SDL_Scancode sc, SDL_Keycode sym) {
    for (Uint32 t : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = t;
        e.key.windowID = nWin;
        e.key.state = t == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = sym;
        SDL_PushEvent(&e);
    }
}

uint32_t PixelAt(SDL_Renderer* ren, int x, int y) {
    uint32_t px = 0;
    SDL_Rect rc{x, y, 1, 1};
    SDL_RenderReadPixels(ren, &rc, SDL_PIXELFORMAT_ARGB8888, &px, 4);
    return px & 0xFFFFFF;
}

// SDL's video on the X display the tests run under; false (with the
// reason) when there is none, and the dummy driver is put back.
bool OpenXVideo(std::string* pWhy) {
    const char* pszDisplay = std::getenv("DISPLAY");
    if (!pszDisplay || !*pszDisplay) {
        *pWhy = "no X display";
        return false;
    }
    setenv("SDL_VIDEODRIVER", "x11", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        *pWhy = SDL_GetError();
        return false;
    }
    return true;
}

TEST(DialogWindow, NameDialogOverTheGameFrame) {
    std::string strWhy;
    if (!OpenXVideo(&strWhy)) GTEST_SKIP() << strWhy;
    cFakeMessageBox boxes;
    // Away from the middle of the screen, where the pointer of the virtual
    // display rests: a window mapped under it would take the input focus
    // from the windows of other tests.
    SDL_Window* win = SDL_CreateWindow("mossgrove dialog test", TEST_WINDOW_X, 0, 640, 480, SDL_WINDOW_HIDDEN);
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(PresenterAttachWindow(win));
    std::vector<uint32_t> frame(640 * 480, 0x204080u);
    PresenterSubmit(frame.data(), 640, 480, 640 * 4, PRESENT_XRGB8888, nullptr);

    const int nPrevPlayType = Game_Main.m_nPlayType;
    const std::string strPrevName = recOption.m_strName;
    const int bPrevEnglish = bEnglish;
    bEnglish = 0;
    Game_Main.m_nPlayType = PLAYTYPE_OPTIONS;
    recOption.m_strName = "aaa";

    const Uint32 nWin = SDL_GetWindowID(win);
    uint32_t nOutside = 0, nInside = 0x204080u;
    int nLastFrame = 0;
    SetDialogOverlayFrameHook([&](cDialog& dlg, int nFrame, SDL_Renderer* ren) {
        nLastFrame = nFrame;
        switch (nFrame) {
        case 2:
            nOutside = PixelAt(ren, 20, 20);
            nInside = PixelAt(ren, 340, 300);
            break;
        case 3: PushText(nWin, "x"); break;   // replaces the selected "aaa"
        case 4: PushText(nWin, "y"); break;
        case 5: PushText(nWin, "z"); break;
        case 6: PushText(nWin, "w"); break;   // a fourth character: refused
        case 8: PushKey(nWin, SDL_SCANCODE_RETURN, SDLK_RETURN); break;
        case 300: dlg.WndProc(dlg.m_hWnd, WM_CLOSE, 0, 0); break;   // never hang
        default: break;
        }
    });
    SetDialogHost(&GetDialogOverlayHost());
    int r = ShowNameDialog();
    SetDialogHost(nullptr);
    SetDialogOverlayFrameHook(nullptr);

    EXPECT_EQ(r, 1);
    EXPECT_LT(nLastFrame, 300);
    EXPECT_EQ(recOption.m_strName, "xyz");
    EXPECT_EQ(nOutside, 0x204080u);   // the game's frame around the dialog
    EXPECT_NE(nInside, 0x204080u);    // the dialog at client (240, 220)
    EXPECT_EQ(boxes.Count(), 0u);

    Game_Main.m_nPlayType = nPrevPlayType;
    recOption.m_strName = strPrevName;
    bEnglish = bPrevEnglish;
    PresenterAttachWindow(nullptr);
    SDL_DestroyWindow(win);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

// A box drawn over a white game picture and over a black one looks the
// same inside: nothing of the picture shows through the dialog.
TEST(DialogWindow, TheGamePictureDoesNotShowThroughADialog) {
    std::string strWhy;
    if (!OpenXVideo(&strWhy)) GTEST_SKIP() << strWhy;
    SDL_Window* win = SDL_CreateWindow("mossgrove dialog test", TEST_WINDOW_X, 0, 640, 480, SDL_WINDOW_HIDDEN);
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(PresenterAttachWindow(win));
    // The box of one short line is 240 x 110, centred: (200, 185) to (440,
    // 295); its text starts 24 to the right of its edge, its button row
    // 40 above its bottom. Points of its body, its caption and its list-free
    // margin.
    const int aPoint[][2] = {{205, 290}, {430, 240}, {300, 192}};
    std::vector<uint32_t> vSeen[2];
    const uint32_t aFrame[2] = {0xFFFFFFu, 0x000000u};
    for (int i = 0; i < 2; i++) {
        std::vector<uint32_t> frame(640 * 480, aFrame[i]);
        PresenterSubmit(frame.data(), 640, 480, 640 * 4, PRESENT_XRGB8888, nullptr);
        SetDialogOverlayFrameHook([&](cDialog& dlg, int nFrame, SDL_Renderer* ren) {
            if (nFrame < 2) return;
            for (const auto& p : aPoint) vSeen[i].push_back(PixelAt(ren, p[0], p[1]));
            static_cast<cGameDialog&>(dlg).PressButton(IDOK);
        });
        SetDialogHost(&GetDialogOverlayHost());
        cMessageDlg dlg("x", "c", MB_OK);
        EXPECT_EQ(dlg.DoModal(), IDOK);
        SetDialogHost(nullptr);
        SetDialogOverlayFrameHook(nullptr);
    }
    ASSERT_EQ(vSeen[0].size(), 3u);
    EXPECT_EQ(vSeen[0], vSeen[1]);
    for (uint32_t c : vSeen[0]) EXPECT_NE(c, 0xFFFFFFu);
    PresenterAttachWindow(nullptr);
    SDL_DestroyWindow(win);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

TEST(DialogWindow, DrawingModeDialogBeforeTheDisplay) {
    std::string strWhy;
    if (!OpenXVideo(&strWhy)) GTEST_SKIP() << strWhy;
    cFakeMessageBox boxes;
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("user_data"));
    // Before the display is set up: a bare window, no frame presented yet.
    SDL_Window* win = SDL_CreateWindow("mossgrove", TEST_WINDOW_X, 0, 640, 480, SDL_WINDOW_HIDDEN);
    ASSERT_NE(win, nullptr);
    hWndMain = win;
    cBootData prev;
    prev = Boot_Data;
    Boot_Data.m_nDrawMode = 1;
    Boot_Data.m_bNoAsk = 0;
    const Uint32 nWin = SDL_GetWindowID(win);
    bool bShown = false;
    SetDialogOverlayFrameHook([&](cDialog& dlg, int nFrame, SDL_Renderer*) {
        bShown = (SDL_GetWindowFlags(win) & SDL_WINDOW_SHOWN) != 0;
        if (nFrame == 3) static_cast<cDrawModeDlg&>(dlg).FindCheck(IDC_DRAWMODE_NOASK)->m_nCheck = 1;
        if (nFrame == 4) PushKey(nWin, SDL_SCANCODE_RETURN, SDLK_RETURN);   // the default button, Start
        if (nFrame == 300) dlg.WndProc(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    SetDialogHost(&GetDialogOverlayHost());
    int r = ShowDrawModeDialog();
    SetDialogHost(nullptr);
    SetDialogOverlayFrameHook(nullptr);
    EXPECT_TRUE(bShown);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Boot_Data.m_bNoAsk, 1);
    EXPECT_EQ(Boot_Data.m_nDrawMode, 1);
    EXPECT_TRUE(FsExists("user_data\\Boot.dat"));
    Boot_Data = prev;
    hWndMain = nullptr;
    PresenterAttachWindow(nullptr);
    SDL_DestroyWindow(win);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

TEST(DialogWindow, WithoutADisplayDialogsTakeTheirDefault) {
    if (!IsHeadlessDisplay()) GTEST_SKIP() << "a display is there";
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("user_data"));
    ASSERT_TRUE(dir.WriteFile("data/stg4/a.stg4_854", "x"));
    SetDialogHost(&GetDialogOverlayHost());
    // The drawing-mode dialog starts with the stored choice.
    cBootData prev;
    prev = Boot_Data;
    Boot_Data.m_nDrawMode = 0;
    EXPECT_EQ(ShowDrawModeDialog(), 1);
    cBootData saved;
    EXPECT_TRUE(saved.Load("user_data\\Boot.dat"));
    EXPECT_EQ(saved.m_nDrawMode, 0);
    Boot_Data = prev;
    // A file dialog is cancelled.
    std::string strPath;
    EXPECT_EQ(ShowFileDialog(FILEMODE_LOADSTAGE, strPath), 0);
    EXPECT_EQ(strPath, "");
    SetDialogHost(nullptr);
}

}  // namespace
