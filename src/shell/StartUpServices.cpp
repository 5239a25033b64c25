// The start-up steps as they are wired to the subsystems present. A step
// whose subsystem is not built yet writes "<step>: not available" to the run
// log and lets the start go on.
#include <SDL2/SDL.h>

#include <cstring>

#include "foundation/Log.h"
#include "foundation/Path.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "graphics/DDImage.h"
#include "graphics/DDInit.h"
#include "graphics/DDPalette.h"
#include "graphics/DDSurface.h"
#include "platform/Presenter.h"
#include "project/GameFonts.h"
#include "shell/HbtPalette.h"
#include "graphics/ImageSurfaces.h"
#include "shell/DrawModeDlg.h"
#include "project/AnimePatterns.h"
#include "frontend/StartGame.h"
#include "project/Database.h"
#include "project/Progress.h"
#include "project/Paths.h"
#include "project/ProjectContext.h"
#include "project/ProjectStartUp.h"
#include "project/SaveLeftovers.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "shell/MainWindow.h"
#include "stage/CommonPalette.h"
#include "project/SystemIni.h"
#include "shell/ShellState.h"
#include "shell/SoundTable.h"
#include "shell/StartUp.h"
#include "sound/BgmManager.h"
#include "sound/MidiSynth.h"
#include "sound/WaveSound.h"

namespace {

int Missing(const char* pszStep, int nResult = 1) {
    WriteReport("%s: not available", pszStep);
    return nResult;
}

class cDefaultStartUpServices : public IStartUpServices {
public:
    int CreateDefaultData() override {
        // Records read from here on ask the project for its lists.
        InstallProjectContext(bTestPlay != 0);
        return ::CreateDefaultData(hWndMain);
    }
    void CreateFolders() override {
        CreateStartUpFolders();
        RemoveSaveLeftovers();
    }
    int LoadDatabase() override {
        if (!recDatabase.LoadFiles()) return 0;
        recDatabase.CopyEffectLists();
        BuildAnimePatterns(vecAnimePattern);
        BuildEffectPatterns(vecEffectPattern);
        return 1;
    }
    int LoadSystemDat(const char* pszPath) override { return recSystem.Load(pszPath); }
    STARTUPSYSTEM GetSystemSettings() override { return GetProjectStartUpSystem(); }
    std::vector<INIITEM> GetIniItems() override {
        std::vector<INIITEM> v = GetProjectIniItems();
        return v.empty() ? GetStandardIniItems() : v;
    }
    int RunDrawModeDialog() override {
        SetDrawModeDialogTitle(GetSystemSettings().strTitle);
        return ShowDrawModeDialog();
    }
    int GetDesktopBpp() override {
        SDL_DisplayMode m;
        if (SDL_GetDesktopDisplayMode(0, &m) != 0) return 32;
        int nBytes = SDL_BYTESPERPIXEL(m.format);
        return nBytes >= 4 ? 32 : nBytes == 2 ? 16 : 32;
    }
    int InitDisplay(const DISPLAYINIT& d) override {
        if (!DDInit(d.nDirect3D, hWndMain, 640, 480, d.nBpp, d.bVSync, d.bWindowed, 1, 60, d.bVSync, Off_Img, Img_Data,
                    IMAGE_SLOT_COUNT, 0))
            return 0;
        return 1;   // the set-up attached the window to the presenter
    }
    void ReleaseDisplay() override { DDRelease(); }
    void SetTextureFailureText(const char* pszText) override {
        if (lpDTCon) lpDTCon->strTexErrMsg = pszText;
    }
    void LinkMirroredImages() override { ::LinkMirroredImages(); }
    int SetUpPalette(const STARTUPSYSTEM& sys) override {
        // Both back ends have a palette object once the display runs.
        if (!lpDTCon && !lpDDCon) return 1;
        if (!DDLoadPaletteFromFile(aPalette, Img_Data[0].szFile, bWindowed)) {
            WriteEC("DDLoadPaletteFromFile失敗");
            WriteReport("DDLoadPaletteFromFile失敗");
            return 0;
        }
        memcpy(aPalEntry, aPalette, sizeof aPalEntry);
        if (sys.nColorMode == 0 || nScreenBpp == 16) {
            // Palette images take the transparent colour from the image.
            if (!DDSetTransmitFromFile(Img_Data[0].szFile)) {
                WriteEC("DDSetTransmit失敗");
                WriteReport("DDSetTransmit失敗");
                return 0;
            }
            if (sys.nColorMode != 0) {
                // Full-colour images at 16 bits: the key's colour bytes are
                // System.dat's.
                if (lpDTCon) lpDTCon->rgbTransmit = RGBTRIPLE{sys.abTransmit[2], sys.abTransmit[1], sys.abTransmit[0]};
                else if (lpDDCon) lpDDCon->rgbTransmit = RGBTRIPLE{sys.abTransmit[2], sys.abTransmit[1], sys.abTransmit[0]};
            }
        } else {
            DDSetTransmit(sys.abTransmit[0], sys.abTransmit[1], sys.abTransmit[2]);
        }
        return 1;
    }
    int GetRefreshRate() override { return DDGetHostDisplay().nRefreshRate; }
    int LoadFirstImages() override {
        static const int anSlot[] = {IMAGE_SLOT_DEBUG, IMAGE_SLOT_SYMBOL};
        return DDLoadImages(Off_Img, anSlot, 2) ? 1 : 0;
    }
    int CreateFonts(const STARTUPSYSTEM& sys) override {
        return SetUpGameFonts(sys.strFontFace.c_str(), sys.bEnglishText, sys.bCenterGlyph);
    }
    int LoadHbtPalette(int n) override { return ::LoadHbtPalette(n); }
    void InitMusic(int bDirectMusic) override { Bgm_Main.Init(MakeBgmInitData(bDirectMusic)); }
    int InitSound() override { return DS_Init(hWndMain, 22050, 8, 1) ? 1 : 0; }
    void LoadSounds(const STARTUPSYSTEM& sys, int nVolume) override {
        std::vector<std::string> vUser = GetProjectSoundFiles();
        BuildSoundFileTable(vecSoundFile, sys.vSystemSound, vUser);
        vecWave.assign(vecSoundFile.size(), SOUNDDATA());
        if (sys.vSystemSound.empty() && vUser.empty()) {
            Missing("sound files");
            return;
        }
        DS_LoadSounds(vecWave, vecSoundFile, nVolume);
    }
    int LoadWorldMap(const char* pszPath) override { return recWorldMap.Load(pszPath); }
    int LoadCommonPalette(const char* pszPath) override { return recCommonPalette.Load(pszPath); }
    int FindLatestStage(std::string& strPath) override {
        return FindLatestNumberedFile(strPath, strPath.c_str(), "stg4");
    }
    int StartFreeGame(const char* pszPath) override { return cPlayStart::Direct(pszPath).Start(); }
    void ClearChain() override { recProgress.m_bChain = 0; }
    void WriteFontReport() override {}
    void ReleaseSound() override { DS_Release(); }
    void ReleaseMusic() override {
        Bgm_Main.Release();
        cMidiSynth::JoinLoader();
    }
    void ReleaseFonts() override { ReleaseGameFonts(); }
    void EndDisplay(int) override {
        PresenterAttachWindow(nullptr);
        PresenterShutdown();
        DDRelease();
    }
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
