#pragma once
// The steps that start-up and shutdown run in the other subsystems, and what
// they hand each other: the start-up view of System.dat and the display
// set-up arguments. The shell runs the steps; the subsystems provide them.
#include <cstdint>
#include <string>
#include <vector>

#include "project/SystemIni.h"

// What start-up reads of System.dat.
struct STARTUPSYSTEM {
    std::string strTitle;       // the window title (Shift-JIS)
    int nColorMode = 0;         // 0 palette images, 1 full-colour images
    int nD3DDepth = 0;          // full-screen depth of the Direct3D profile: 0 32, 1 16
    int nDDDepth = 0;           // full-screen depth of the DirectDraw profile: 0 32, 1 16, 2 8
    int nFontFace = 0;
    int bEnglishText = 0;
    int bCenterGlyph = 0;
    uint8_t abTransmit[3] = {};   // the transparent colour of full-colour images (R, G, B)
    std::string strFontFace;      // the face of the three fonts, empty: their own
    std::vector<std::string> vSystemSound;   // the 17 system sound files
};

// Display set-up arguments.
struct DISPLAYINIT {
    int nDirect3D = 0;
    int nBpp = 32;
    int bVSync = 0;
    int bWindowed = 1;
};

// The steps of the other subsystems that start-up and shutdown run. Each
// returns 1 on success and 0 on failure after its own report, if any. The
// subsystems install their parts (SetStartUpServices); a step whose
// subsystem is not there yet logs that and succeeds.
class IStartUpServices {
public:
    virtual ~IStartUpServices() = default;
    virtual int CreateDefaultData() = 0;
    virtual void CreateFolders() = 0;
    virtual int LoadDatabase() = 0;                 // the lists and their run-time tables
    virtual int LoadSystemDat(const char* pszPath) = 0;
    virtual STARTUPSYSTEM GetSystemSettings() = 0;
    virtual std::vector<INIITEM> GetIniItems() = 0;
    virtual int RunDrawModeDialog() = 0;            // 1 confirmed, 0 cancelled, -1 not shown
    virtual int GetDesktopBpp() = 0;
    virtual int InitDisplay(const DISPLAYINIT& init) = 0;
    virtual void ReleaseDisplay() = 0;
    virtual void SetTextureFailureText(const char* pszText) = 0;
    virtual void LinkMirroredImages() = 0;
    // The palette (from image slot 0) and the transparent colour.
    virtual int SetUpPalette(const STARTUPSYSTEM& sys) = 0;
    virtual int GetRefreshRate() = 0;
    virtual int LoadFirstImages() = 0;              // image slots 1 and 50
    // The three fonts and their digit strips: the face, the text font's
    // symbol letters and glyph centring.
    virtual int CreateFonts(const STARTUPSYSTEM& sys) = 0;
    virtual int LoadHbtPalette(int n) = 0;
    virtual void InitMusic(int bDirectMusic) = 0;
    virtual int InitSound() = 0;
    virtual void LoadSounds(const STARTUPSYSTEM& sys, int nVolume) = 0;
    virtual int LoadWorldMap(const char* pszPath) = 0;
    virtual int LoadCommonPalette(const char* pszPath) = 0;
    virtual int FindLatestStage(std::string& strPath) = 0;   // 0 when no such stage file exists
    virtual int StartFreeGame(const char* pszPath) = 0;
    virtual void ClearChain() = 0;                  // the progress's chain flag after a direct start
    // Shutdown.
    virtual void WriteFontReport() = 0;
    virtual void ReleaseSound() = 0;
    virtual void ReleaseMusic() = 0;
    virtual void ReleaseFonts() = 0;
    virtual void EndDisplay(int bWindowed) = 0;
    // The main window: show it (maximised or not) and give it its title.
    virtual void ShowMainWindow(int bMaximize) = 0;
    virtual void SetMainWindowTitle(const std::string& strTitle) = 0;
    virtual void MoveMainWindow(int x, int y) = 0;
    virtual void SetMainWindowClientSize(int w, int h) = 0;
    virtual void MakeMainWindowResizable() = 0;
};
