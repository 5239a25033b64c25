// The start-up steps as they are wired to the subsystems present. A step
// whose subsystem is not built yet writes "<step>: not available" to the run
// log and lets the start go on.
#include <SDL2/SDL.h>

#include "foundation/Log.h"
#include "foundation/Path.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "shell/MainWindow.h"
#include "shell/ShellState.h"
#include "shell/SoundTable.h"
#include "shell/StartUp.h"
#include "sound/BgmManager.h"
#include "sound/WaveSound.h"

namespace {

int Missing(const char* pszStep, int nResult = 1) {
    WriteReport("%s: not available", pszStep);
    return nResult;
}

class cDefaultStartUpServices : public IStartUpServices {
public:
    int CreateDefaultData() override { return Missing("CreateDefaultData"); }
    void CreateFolders() override {
        static const char* const aszFolder[] = {"user_data", "user_data\\story", "user_data\\challenge",
                                                "user_data\\free", "user_data\\rpl4"};
        for (const char* p : aszFolder) FsMakeDirectory(p);
        Missing("project folders");
    }
    int LoadDatabase() override { return Missing("database"); }
    int LoadSystemDat(const char*) override { return Missing("System.dat"); }
    STARTUPSYSTEM GetSystemSettings() override { return STARTUPSYSTEM(); }
    std::vector<INIITEM> GetIniItems() override { return GetStandardIniItems(); }
    int RunDrawModeDialog() override { return Missing("drawing-mode dialog"); }
    int GetDesktopBpp() override {
        SDL_DisplayMode m;
        if (SDL_GetDesktopDisplayMode(0, &m) != 0) return 32;
        int nBytes = SDL_BYTESPERPIXEL(m.format);
        return nBytes >= 4 ? 32 : nBytes == 2 ? 16 : 32;
    }
    int InitDisplay(const DISPLAYINIT&) override { return Missing("display"); }
    void ReleaseDisplay() override {}
    void SetTextureFailureText(const char*) override {}
    void LinkMirroredImages() override {}
    int SetUpPalette() override { return Missing("palette"); }
    int GetRefreshRate() override {
        SDL_DisplayMode m;
        if (SDL_GetDesktopDisplayMode(0, &m) != 0 || m.refresh_rate <= 0) return 60;
        return m.refresh_rate;
    }
    int LoadFirstImages() override { return Missing("images"); }
    int CreateFonts() override { return Missing("fonts"); }
    int LoadHbtPalette(int) override { return Missing("palette variant"); }
    void InitMusic(int bDirectMusic) override { Bgm_Main.Init(MakeBgmInitData(bDirectMusic)); }
    int InitSound() override { return DS_Init(hWndMain, 22050, 8, 1) ? 1 : 0; }
    void LoadSounds(int nVolume) override {
        // The system sounds and the database's sounds come with the project;
        // without them the table holds empty entries.
        BuildSoundFileTable(vecSoundFile, {}, {});
        vecWave.assign(vecSoundFile.size(), SOUNDDATA());
        (void)nVolume;
        Missing("sound files");
    }
    int LoadWorldMap(const char*) override { return Missing("world map"); }
    int LoadCommonPalette(const char*) override { return Missing("common palette"); }
    int FindLatestStage(std::string& strPath) override {
        return FindLatestNumberedFile(strPath, strPath.c_str(), "stg4");
    }
    int StartFreeGame(const char*) override { return Missing("free game"); }
    void ClearChain() override {}
    void WriteFontReport() override {}
    void ReleaseSound() override { DS_Release(); }
    void ReleaseMusic() override { Bgm_Main.Release(); }
    void ReleaseFonts() override {}
    void EndDisplay(int) override {}
    void ShowMainWindow(int bMaximize) override {
        if (!hWndMain) return;
        SDL_ShowWindow(hWndMain);
        if (bMaximize) SDL_MaximizeWindow(hWndMain);
    }
    void SetMainWindowTitle(const std::string& strTitle) override {
        if (hWndMain) SDL_SetWindowTitle(hWndMain, SjisToUtf8(strTitle).c_str());
    }
    void MoveMainWindow(int x, int y) override { Wnd_Main.MoveTo(x, y); }
    void SetMainWindowClientSize(int w, int h) override { Wnd_Main.SetClientSize(w, h); }
    void MakeMainWindowResizable() override { Wnd_Main.AddStyle(WS_THICKFRAME); }
};

cDefaultStartUpServices DefaultStartUpServices;
IStartUpServices* lpStartUpServices = &DefaultStartUpServices;

}  // namespace

IStartUpServices& GetStartUpServices() { return *lpStartUpServices; }
void SetStartUpServices(IStartUpServices* p) { lpStartUpServices = p ? p : &DefaultStartUpServices; }
