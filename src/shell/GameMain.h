#pragma once
// The owner of the scenes and the step of one frame, run by the game thread.
#include <cstdint>

#include "foundation/ChkContainers.h"
#include "project/GameState.h"
#include "shell/InputDevice.h"
#include "shell/Scene.h"

class cGameMain : public cGameState {
public:
    cGameMain();
    ~cGameMain();

    int FrameStep();
    void SwitchScene(int nType);
    int RestoreSurfaces();
    // Polls device 0 of a device list (the stage-play wait loops pass a copy).
    void UpdateInput(cChkVector<cInputDevice>& devices);
    void UpdateInput();
    void ShowFrame();
    int RequestBgm(int nBgm, int bLoop, int nIndex);
    // The leaving scene's fade-out commits the switch: the scene that ran
    // becomes the one before, the requested one the current.
    void CommitNextScene(int nOwnType) {
        m_nBeforeScene = nOwnType;
        m_nScene = m_nNextScene;
    }
    // Deletes every scene object (shutdown; also run by the destructor).
    void DeleteScenes();

    cScene* GetScene(int nType) const { return nType >= 0 && nType < SCENE_TYPE_COUNT ? m_apScene[nType] : nullptr; }

    cScene* m_apScene[SCENE_TYPE_COUNT] = {};   // owned, by scene type
    int m_nBgmSlot = 0;
    int m_bBgmSlot = 0;
};

extern cGameMain Game_Main;

// Sleeps until the next frame is due, unless the display's present paces the
// frames itself.
void WaitNextFrame();

// The graphics side of a frame. The default goes to the graphics layer;
// before the display is set up frames are paced and counted but nothing is
// presented. Tests install their own.
class IFrameServices {
public:
    virtual ~IFrameServices() = default;
    virtual bool PresentPacesFrames() = 0;      // the present waits for the frame time itself
    virtual int RestoreSurfaces() = 0;          // 0: lost surfaces could not be restored
    virtual int ShowFrame(int nFps) = 0;        // 0: the present failed (a device reset is asked for)
    virtual void DrawFpsText(int nShowFps, const char* pszText) = 0;
    virtual bool IsDirect3D() = 0;
    virtual bool IsPaletteMode() = 0;           // 8 bits per pixel with a palette
    virtual void RotateCyclingColours() = 0;    // one step of the 8-bit colour cycling
    virtual int GetSysColorStep() = 0;          // System.dat's system-colour step
    virtual bool IsColourCyclingOn() = 0;       // System.dat's palette-cycling switch
};
IFrameServices& GetFrameServices();
void SetFrameServices(IFrameServices* p);   // null restores the default
// The frame services of the graphics layer (the default).
IFrameServices& GetGraphicsFrameServices();

// The work-time ring of the frame-rate text: 16 entries, the average
// recomputed each time the write index wraps.
struct FPSRING {
    uint32_t anWork[16] = {};
    int nIndex = 0;
    unsigned nAverage = 0;
    void Push(uint32_t nWorkMs);
};
extern FPSRING Fps_Ring;

// Moves a value back and forth between two bounds; 1 when a falling run has
// just turned at the low bound.
int PingPongStep(int& nValue, int& nDir, int nStep, int nLow, int nHigh);

// The nine animated system colours (entries 1..9).
struct SYSCOLOR {
    uint32_t dwColor = 0;   // ARGB
    int nColorOp = 0;       // 7 add, 10 subtract
};
struct SYSCOLORSTATE {
    SYSCOLOR aColor[10];
    int anValue[10] = {};
    int anDir[10] = {};
    int nPhase = 0;
    int nCycleCount = 0;
};
extern SYSCOLORSTATE Sys_Color;
void AnimateSystemColorStep(SYSCOLORSTATE& s, int nStep);
void AnimateSystemColor();
