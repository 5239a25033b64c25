#include "shell/Entry.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Record.h"
#include "foundation/Text.h"
#include "foundation/Thread.h"
#include "platform/FileSystem.h"
#include "platform/MainThread.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "shell/EditorLink.h"
#include "shell/GameScenes.h"
#include "shell/InputScript.h"
#include "foundation/GameThreads.h"
#include "shell/InputEvents.h"
#include "shell/MainWindow.h"
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"
#include "shell/WindowData.h"

COMMANDLINE ParseCommandLine(int argc, char** argv) {
    COMMANDLINE c;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (strcmp(a, "--test-play") == 0) {
            c.bTestPlay = 1;
        } else if (strcmp(a, "--close-after-frames") == 0 && i + 1 < argc) {
            long n = strtol(argv[++i], nullptr, 10);
            c.nCloseAfterFrames = n > 0 && n < 100000000 ? static_cast<unsigned>(n) : 0;
        } else if (!c.szStage[0]) {
            // Paths on the command line come as UTF-8; the game's are Shift-JIS.
            std::string strSjis;
            if (!Utf8ToSjis(a, strSjis)) strSjis = a;
            SjisCopy(c.szStage, sizeof c.szStage, strSjis.c_str());
        }
    }
    return c;
}

int GameEntry(int argc, char** argv) {
    SetMainThread();
    COMMANDLINE cmd = ParseCommandLine(argc, argv);

    InitECLog(0, "EC_Game.txt");
    std::string strReport = FsCurrentDirectory() + "/Report_Game.txt";
    if (!InitReport(strReport.c_str())) return 0;
    WriteReport("App : ver %s", DATA_VERSION_TEXT);
    WriteSystemReport();

    bTestPlay = cmd.bTestPlay;
    SetCloseAfterFrames(cmd.nCloseAfterFrames);

    cFileInstanceLock lock;
    eInstanceResult eInstance = AcquireSingleInstance(lock);
    if (eInstance == INSTANCE_DECLINED || eInstance == INSTANCE_FAILED) return 0;
    InstallCloseSignal();

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        ErrorBox("ウインドウが生成出来ません！");
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) OpenJoysticks();
    SetUsableDisplayProvider([] {
        SDL_Rect r;
        int nDisplay = hWndMain ? SDL_GetWindowDisplayIndex(hWndMain) : 0;
        if (SDL_GetDisplayUsableBounds(nDisplay < 0 ? 0 : nDisplay, &r) != 0) return DISPLAYAREA{0, 0, 1920, 1080};
        return DISPLAYAREA{r.x, r.y, r.w, r.h};
    });

    if (!Wnd_Main.Create()) {
        ErrorBox("ウインドウが生成出来ません！");
        SDL_Quit();
        return 0;
    }
    hWndMain = Wnd_Main.m_hWnd;
    SetMessageBoxParent(hWndMain);
    bAppActive = 1;
    if (bTestPlay) NotifyEditorStarted();

    InstallGameScenes();
    // Scripted keys for unattended runs (see shell/InputScript.h).
    if (const char* pszScript = std::getenv("MOSSGROVE_INPUT_SCRIPT"); pszScript && *pszScript) {
        if (!InstallInputScript(pszScript)) return 2;
    }
    if (!LoadStartUp(cmd.szStage, 0)) {
        Shutdown();
        if (bTestPlay) NotifyEditor(0);
        Wnd_Main.Destroy();
        CloseJoysticks();
        SDL_Quit();
        return 0;
    }

    bStarted = 1;
    if (!thGame.Start(GameLoop, nullptr)) {
        WriteReport("thGame: the game thread could not be started");
        Shutdown();
        Wnd_Main.Destroy();
        CloseJoysticks();
        SDL_Quit();
        return 0;
    }
    while (!PostThreadMsg(thGame.m_dwThreadId, WM_APP_MSG)) SDL_Delay(0);

    RunMainLoop();

    Shutdown();
    CloseJoysticks();
    SDL_Quit();
    if (AnyThreadAbandoned()) {
        WriteReport("a thread did not end; the program ends without its destructors");
        std::quick_exit(0);
    }
    return 0;
}
