#include "shell/StartUp.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "flow/ArrangeTable.h"
#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Record.h"
#include "foundation/Text.h"
#include "frontend/Option.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "shell/BootData.h"
#include "shell/GameMain.h"
#include "shell/Hook.h"
#include "shell/SettingsRecord.h"
#include "shell/InputDevice.h"
#include "shell/ShellState.h"
#include "shell/Snapshot.h"
#include "shell/WindowData.h"

namespace {

const char* const SYSTEM_DAT = "data\\System.dat";
const char* const WORLD_MAP = "data\\WorldMap.dat";
const char* const COMMON_PALETTE = "data\\CommonPalette.cplt4";

// Depth when "Bpp" is 0.
int ChooseDepth(int bDirect3D, int bWin, int nDesktop, const STARTUPSYSTEM& sys) {
    if (bWin) return nDesktop;
    if (bDirect3D) return sys.nD3DDepth == 1 ? 16 : 32;
    if (sys.nDDDepth == 1) return 16;
    if (sys.nDDDepth == 2) return sys.nColorMode == 0 ? 8 : 32;
    return 32;
}

// Why the drawing mode cannot run, for the run log; empty when it can.
std::string DrawModeRefusal(int bDirect3D, int nColorMode, int nBpp, int bWin, int nDesktop) {
    if (nBpp != 8 && nBpp != 16 && nBpp != 32)
        return FormatBounded(256, "a depth of %d bits is none of 8, 16 and 32 (System.ini Bpp)", nBpp);
    if (nBpp == 8 && bDirect3D)
        return "Direct3D draws at 16 or 32 bits, not at 8 (System.ini Direct3D=1 with Bpp=8; Direct3D=0 draws "
               "at 8 bits in full screen)";
    if (nBpp == 8 && nColorMode != 0)
        return FormatBounded(256, "the project draws in full colour (colour mode %d), which 8 bits cannot show "
                                  "(System.ini Bpp=8)",
                             nColorMode);
    if (bWin && nBpp != nDesktop)
        return FormatBounded(256, "a window draws at the desktop's depth of %d bits, not at %d (System.ini "
                                  "WindowMode with Bpp=%d; Bpp=0 takes the desktop's depth, WindowMode=0 runs in "
                                  "full screen)",
                             nDesktop, nBpp, nBpp);
    return "";
}

}  // namespace

int LoadStartUp(const char* pszCmdLine, int bMaximizeShow) {
    IStartUpServices& s = GetStartUpServices();
    SeedRandom(GetTicks());
    nDataVer = DATA_VERSION;
    bDelCR = 1;
    bFileVerErr = 0;
    BuildArrangeParamTable();

    if (!s.CreateDefaultData()) {
        WriteReportErr("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
        return 0;
    }
    s.CreateFolders();
    if (!s.LoadDatabase()) {
        WriteReportErr("データベースの読み込みに失敗…");
        return 0;
    }
    if (!s.LoadSystemDat(SYSTEM_DAT)) {
        WriteReportErr("%s の読み込みに失敗…", SYSTEM_DAT);
        return 0;
    }
    const STARTUPSYSTEM sys = s.GetSystemSettings();
    const std::vector<INIITEM> vIni = s.GetIniItems();
    SetIniDefault(Ini_Data, vIni);
    if (!ReadSystemIni("System.ini", Ini_Data, vIni)) {
        WriteReportErr("System.ini の読み込みに失敗しました！");
        SetIniDefault(Ini_Data, vIni);
    }

    if (nDirect3D >= 2) {
        LoadSettingsRecord(Boot_Data, "user_data\\Boot.dat");
        if (!Boot_Data.m_bNoAsk) {
            int r = s.RunDrawModeDialog();
            if (r < 0) ErrorBoxText("メモリが不足しています！");
            if (r != 1) return 0;
        }
        nDirect3D = Boot_Data.m_nDrawMode == 1 ? 1 : 0;
    }
    if (pszCmdLine && *pszCmdLine) SjisCopy(szFreeStage, sizeof szFreeStage, pszCmdLine);

    Game_Main.m_nFps = 60;
    Game_Main.m_nFadeStep = 10;
    for (auto& dev : Input_List) dev.SetRepeat(18, 6);

    bWindowed = nWindowMode != 0;
    if (nDirect3D) {
        if (nVSync >= 2) nVSync = 1;
    } else if (bWindowed) {
        nVSync = 0;
    } else if (nVSync >= 2) {
        nVSync = 0;   // a compositing desktop: the flip is not waited for
    }

    int nDesktop = bWindowed ? s.GetDesktopBpp() : 0;
    nStartBpp = nBpp != 0 ? nBpp : ChooseDepth(nDirect3D, bWindowed, nDesktop, sys);
    const std::string strRefusal = DrawModeRefusal(nDirect3D, sys.nColorMode, nStartBpp, bWindowed, nDesktop);
    if (!strRefusal.empty()) {
        // The box sends the player to the run log: the reason is there.
        WriteReport("Drawing mode refused: %s", strRefusal.c_str());
        if (bWindowed && (nStartBpp == 16 || nStartBpp == 32))
            ErrorBox("画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！");
        else
            ErrorBox("画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！");
        return 0;
    }
    if (bWindowed && nDirect3D && nWindowMode == 2) s.MakeMainWindowResizable();
    s.SetMainWindowTitle(sys.strTitle);
    if (nStartBpp == 8) nDD_VideoStretch = 0;

    DISPLAYINIT di{nDirect3D, nStartBpp, nVSync != 0, bWindowed};
    int bDisplay = s.InitDisplay(di);
    bool bD3DFirst = bDisplay && nDirect3D;
    if (!bDisplay && nDirect3D) {
        s.ReleaseDisplay();
        nDirect3D = 0;
        di.nDirect3D = 0;
        s.ShowMainWindow(bWindowed ? bMaximizeShow : 1);
        bDisplay = s.InitDisplay(di);
    }
    if (!bDisplay) {
        WriteEC("DDInit失敗");
        WriteReport("DDInit失敗");   // also in the run log: the start ends without a box
        return 0;
    }
    if (bD3DFirst) {
        s.SetTextureFailureText(
            "テクスチャの作成に失敗しました！\nビデオカードの性能が十分ではないかもしれません。\n"
            "System.iniファイルで「Direct3D=0」に変更してDirect3Dを無効にすれば改善される可能性があります。");
        s.LinkMirroredImages();
    }

    int bMaximize = bMaximizeShow;
    if (bWindowed && LoadSettingsRecord(Window_Data, "user_data\\Window.dat")) {
        s.MoveMainWindow(Window_Data.m_nX, Window_Data.m_nY);
        if (nDirect3D && nWindowMode == 2) s.SetMainWindowClientSize(Window_Data.m_nWidth, Window_Data.m_nHeight);
        if (Window_Data.m_bMaximized) bMaximize = 1;
    }
    s.ShowMainWindow(bWindowed ? bMaximize : 1);
    WriteVideoReport(0);
    WriteEC("DDInit成功");

    if (!s.SetUpPalette(sys)) return 0;   // the step logs which part failed
    if (!nDirect3D) bFlipByBlt = bWindowed || nVSync == 0 || s.GetRefreshRate() < Game_Main.m_nFps;
    if (!s.LoadFirstImages()) return 0;
    if (!s.CreateFonts(sys)) return 0;

    for (auto& dev : Input_List) dev.SetDefaultButtonMask();
    if (!ReadKeyConfig("user_data\\KeyConfig.dat", &Key_Config)) SetDefaultKeyConfig(&Key_Config);
    recOption.LoadFile("user_data\\Option.dat");
    if (nStartBpp == 8 && !s.LoadHbtPalette(recOption.m_nPaletteVariant)) return 0;
    if (!bWindowed) bMidi_DirectMusic = 0;
    if (recOption.m_bBgm) s.InitMusic(bMidi_DirectMusic);

    if (!s.InitSound()) {
        WriteEC("DS_Init失敗！");
        WriteReport("DS_Init失敗！");
        return 0;
    }
    WriteEC("DSCreate");
    s.LoadSounds(sys, GetOptionVolume(recOption.m_nVolume));

    // The common palette first: the world map's records refer to it.
    if (!s.LoadCommonPalette(COMMON_PALETTE)) {
        WriteReportErr("%s のロードに失敗！", COMMON_PALETTE);
        return 0;
    }
    if (!s.LoadWorldMap(WORLD_MAP)) {
        WriteReportErr("%s のロードに失敗！", WORLD_MAP);
        return 0;
    }

    if (szFreeStage[0]) {
        std::string strStage = szFreeStage;
        if (!s.FindLatestStage(strStage)) {
            WriteReport("「%s」の読み込みに失敗しました！", szFreeStage);
            WriteEC("「%s」の読み込みに失敗しました！", szFreeStage);
            if (FsIsFile(szFreeStage)) {
                // The file is there, but stages are found by their numbered
                // names: the player must know why this one was not played.
                WriteReport("%s: the file exists, but a stage is read from its numbered file (%s_000 and later)",
                            szFreeStage, szFreeStage);
                std::fprintf(stderr,
                             "mossgrove: stage file %s could not be read: stages are read from their numbered files "
                             "(%s_000 and later) and there is none; the game starts at its title\n",
                             SjisToUtf8(szFreeStage).c_str(), SjisToUtf8(szFreeStage).c_str());
            } else {
                std::fprintf(stderr, "mossgrove: no stage file %s; the game starts at its title\n",
                             SjisToUtf8(szFreeStage).c_str());
            }
            szFreeStage[0] = 0;
        } else {
            SjisCopy(szFreeStage, sizeof szFreeStage, strStage.c_str());
            bFreeStageStart = 1;
            if (!s.StartFreeGame(szFreeStage)) {
                // A stage refused for the memory it would take is not damaged.
                const char* pszWhy = bFileMemErr ? "it would take more memory than a stage may"
                                                 : "it is damaged or not a stage file";
                WriteReport("%s: the stage file could not be read: %s", szFreeStage, pszWhy);
                std::fprintf(stderr, "mossgrove: stage file %s could not be read: %s\n",
                             SjisToUtf8(szFreeStage).c_str(), pszWhy);
                return 0;
            }
            s.ClearChain();
            Game_Main.m_nGameMode = 2;
            nRankingSwitch = 1;
            Game_Main.m_nPlayType = 3;
            Game_Main.m_nScene = SCENE_PLAY;
            Game_Main.m_nBeforeScene = 0;
        }
    }
    return 1;
}

void Shutdown() {
    WriteSnapshotIfAsked();
    IStartUpServices& s = GetStartUpServices();
    s.WriteFontReport();
    s.ReleaseSound();
    s.ReleaseMusic();
    Game_Main.DeleteScenes();
    s.ReleaseFonts();
    s.EndDisplay(bWindowed);
    UnhookKeyboard();
}
