#include "shell/Entry.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Record.h"
#include "foundation/Text.h"
#include "foundation/Thread.h"
#include "platform/CloseRequest.h"
#include "platform/FileSystem.h"
#include "platform/MainThread.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "shell/EditorLink.h"
#include "shell/FileDlg.h"
#include "shell/PlayHost.h"
#include "shell/GameMain.h"
#include "shell/GameScenes.h"
#include "shell/InputScript.h"
#include "foundation/GameThreads.h"
#include "shell/InputEvents.h"
#include "shell/MessageDlg.h"
#include "shell/MainWindow.h"
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"
#include "shell/WindowData.h"

const char* const GAME_USAGE =
    "usage: mossgrove [STAGEFILE] [--test-play] [--close-after-frames N] [--help]\n"
    "Runs the game in the current folder (data\\, bmp\\, wave\\, bgm\\, System.ini).\n"
    "  STAGEFILE                start directly on this stage file\n"
    "  --test-play              run as a test play started by the editor\n"
    "  --close-after-frames N   ask for a close after N frames (unattended runs)\n"
    "  --help                   show this text\n"
    "Exit status: 0 after a clean run, 1 when the game could not start or ended on an error,\n"
    "2 for a command-line error.\n";

COMMANDLINE ParseCommandLine(int argc, char** argv) {
    COMMANDLINE c;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (strcmp(a, "--test-play") == 0) {
            c.bTestPlay = 1;
        } else if (strcmp(a, "--help") == 0 || strcmp(a, "-h") == 0) {
            c.bHelp = 1;
        } else if (strcmp(a, "--close-after-frames") == 0) {
            char* pEnd = nullptr;
            long n = i + 1 < argc ? strtol(argv[i + 1], &pEnd, 10) : 0;
            if (i + 1 >= argc || pEnd == argv[i + 1] || *pEnd != 0 || n <= 0 || n >= 100000000) {
                c.strError = "--close-after-frames needs a frame count from 1 to 99999999";
            } else {
                c.nCloseAfterFrames = static_cast<unsigned>(n);
            }
            i++;
        } else if (a[0] == '-' && a[1] != 0) {
            if (c.strError.empty()) c.strError = std::string("unknown option ") + a;
        } else if (c.szStage[0]) {
            if (c.strError.empty()) c.strError = std::string("more than one stage file: ") + a;
        } else {
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
    if (!cmd.strError.empty()) {
        std::fprintf(stderr, "mossgrove: %s\n%s", cmd.strError.c_str(), GAME_USAGE);
        return GAME_EXIT_USAGE;
    }
    if (cmd.bHelp) {
        std::fputs(GAME_USAGE, stdout);
        return GAME_EXIT_OK;
    }

    // The single-copy check comes before the logs are opened: a copy that
    // declines to start leaves the running copy's report as it is.
    cFileInstanceLock lock;
    eInstanceResult eInstance = AcquireSingleInstance(lock);
    if (eInstance == INSTANCE_DECLINED || eInstance == INSTANCE_FAILED) {
        std::fprintf(stderr, "mossgrove: another copy of the game runs in this folder\n");
        return GAME_EXIT_FAILED;
    }
    // From here a termination signal is a close request, answered by the
    // main loop once it runs.
    InstallCloseSignal();

    InitECLog(0, "EC_Game.txt");
    std::string strReport = FsCurrentDirectory() + "/Report_Game.txt";
    if (!InitReport(strReport.c_str())) return GAME_EXIT_FAILED;
    WriteReport("App : ver %s", DATA_VERSION_TEXT);
    WriteSystemReport();

    bTestPlay = cmd.bTestPlay;
    SetCloseAfterFrames(cmd.nCloseAfterFrames);

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        ErrorBox("ウインドウが生成出来ません！");
        return GAME_EXIT_FAILED;
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
        return GAME_EXIT_FAILED;
    }
    hWndMain = Wnd_Main.m_hWnd;
    SetMessageBoxParent(hWndMain);
    // From here every box is drawn inside the game window.
    SetWindowBoxHandler(ShowWindowBox);
    bAppActive = 1;
    if (bTestPlay) NotifyEditorStarted();

    InstallGameScenes();
    // Scripted keys for unattended runs (see shell/InputScript.h).
    if (const char* pszScript = std::getenv("MOSSGROVE_INPUT_SCRIPT"); pszScript && *pszScript) {
        if (!InstallInputScript(pszScript)) return 2;
    }
    // Unattended checks: answers of the file dialogs, a play trace, a fixed seed.
    if (const char* psz = std::getenv("MOSSGROVE_FILE_ANSWERS"); psz && *psz) {
        std::vector<std::string> v;
        std::string s = psz;
        for (size_t nFrom = 0;;) {
            size_t n = s.find(';', nFrom);
            v.push_back(s.substr(nFrom, n == std::string::npos ? std::string::npos : n - nFrom));
            if (n == std::string::npos) break;
            nFrom = n + 1;
        }
        SetUnattendedFileAnswers(v);
    }
    if (const char* psz = std::getenv("MOSSGROVE_PLAY_TRACE"); psz && *psz) {
        if (!OpenPlayTrace(psz)) {
            std::fprintf(stderr, "mossgrove: the play trace %s cannot be created\n", psz);
            return 2;
        }
    }
    if (const char* psz = std::getenv("MOSSGROVE_SEED"); psz && *psz)
        SetFixedSeed(static_cast<uint32_t>(std::strtoul(psz, nullptr, 10)));
    if (!LoadStartUp(cmd.szStage, 0)) {
        Shutdown();
        if (bTestPlay) NotifyEditor(0);
        Wnd_Main.Destroy();
        CloseJoysticks();
        SDL_Quit();
        std::fprintf(stderr, "mossgrove: the game could not start (see Report_Game.txt)\n");
        return GAME_EXIT_FAILED;
    }

    bStarted = 1;
    if (!thGame.Start(GameLoop, nullptr)) {
        WriteReport("thGame: the game thread could not be started");
        Shutdown();
        Wnd_Main.Destroy();
        CloseJoysticks();
        SDL_Quit();
        return GAME_EXIT_FAILED;
    }
    while (!PostThreadMsg(thGame.m_dwThreadId, WM_APP_MSG)) SDL_Delay(0);

    RunMainLoop();

    int nExit = WasFatalCloseRequested() ? GAME_EXIT_FAILED : GAME_EXIT_OK;
    if (AnyThreadAbandoned()) {
        // A thread that did not end may still use the display, the sound
        // and the records: nothing is released under it.
        WriteReport("App : end after %u frames in scene %d; a thread did not end, the program ends without "
                    "its destructors",
                    GetFrameCount(), Game_Main.m_nScene);
        std::fprintf(stderr, "mossgrove: a thread did not end (see Report_Game.txt)\n");
        std::quick_exit(nExit == GAME_EXIT_OK ? GAME_EXIT_FAILED : nExit);
    }
    Shutdown();
    CloseJoysticks();
    SDL_Quit();
    // A run that closed on an error tells the caller so.
    if (nExit != GAME_EXIT_OK) std::fprintf(stderr, "mossgrove: the game ended on an error (see Report_Game.txt)\n");
    WriteReport("App : end after %u frames in scene %d; every thread ended, %u ms after the close was asked",
                GetFrameCount(), Game_Main.m_nScene, GetMsSinceCloseTaken());
    return nExit;
}
