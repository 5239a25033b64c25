#include "shell/GameMain.h"

#include <cstdio>
#include <new>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Timing.h"
#include "graphics/DDFade.h"
#include "platform/Clock.h"
#include "shell/InputDevice.h"
#include "shell/Requests.h"
#include "shell/ShellState.h"
#include "project/SystemIni.h"

cGameMain Game_Main;

cGameMain::cGameMain() { SetGameState(this); }
FPSRING Fps_Ring;
SYSCOLORSTATE Sys_Color;

namespace {

IFrameServices* lpFrameServices = nullptr;

bool bNoSceneLogged[SCENE_TYPE_COUNT] = {};

}  // namespace

IFrameServices& GetFrameServices() { return lpFrameServices ? *lpFrameServices : GetGraphicsFrameServices(); }
void SetFrameServices(IFrameServices* p) { lpFrameServices = p; }

cGameMain::~cGameMain() {
    DeleteScenes();
    if (&GetGameState() == this) SetGameState(nullptr);
}

void cGameMain::DeleteScenes() {
    for (int n = 0; n < SCENE_TYPE_COUNT; n++) {
        delete m_apScene[n];
        m_apScene[n] = nullptr;
    }
    lpPlayScene = nullptr;
}

void cGameMain::SwitchScene(int nType) {
    // Every other scene goes, in the order title, save data, world map,
    // stage select, stage play, options.
    static const int anOrder[SCENE_TYPE_COUNT] = {SCENE_TITLE, SCENE_SAVEDATA, SCENE_WORLDMAP,
                                                  SCENE_STAGESELECT, SCENE_PLAY, SCENE_OPTION};
    for (int n : anOrder) {
        if (n == nType || !m_apScene[n]) continue;
        if (n == SCENE_PLAY) lpPlayScene = nullptr;
        delete m_apScene[n];
        m_apScene[n] = nullptr;
    }
    if (nType < 0 || nType >= SCENE_TYPE_COUNT || m_apScene[nType]) return;
    // A new scene starts with no fade under way, so a screen copy taken by
    // the scene before can never be shown.
    DDResetFades();
    cScene* p = nullptr;
    try {
        p = GetSceneFactory()(nType);
    } catch (const std::bad_alloc&) {
        ErrNoMemory();
        return;
    }
    if (!p) {
        if (!bNoSceneLogged[nType]) {
            bNoSceneLogged[nType] = true;
            WriteReport("scene %d: not available", nType);
        }
        return;
    }
    p->m_nState = -1;
    m_apScene[nType] = p;
    WriteReport("Scene : %d", nType);
    if (nType == SCENE_PLAY) lpPlayScene = p;
}

int cGameMain::RestoreSurfaces() {
    return GetFrameServices().RestoreSurfaces();
}

void cGameMain::UpdateInput() { UpdateInput(Input_List); }

void cGameMain::UpdateInput(cChkVector<cInputDevice>& devices) {
    cInputDevice& dev = devices.At(0);
    if (Key_Config.bUse) dev.PollConfig(1, 60);
    else dev.PollDefault(0, 3, 60);
}

void cGameMain::ShowFrame() {
    IFrameServices& fs = GetFrameServices();
    if (!fs.ShowFrame(m_nFps) && fs.IsDirect3D() && bWindowed) RequestRestore();
}

int cGameMain::RequestBgm(int nBgm, int bLoop, int nIndex) {
    if (nBgm != 0 && bLoop && nBgm == m_nBgmSlot && m_bBgmSlot) return bLoop;
    m_nBgmSlot = nBgm;
    m_bBgmSlot = bLoop ? 1 : 0;
    ::RequestBgm(nIndex, 0);
    return 0;
}

void WaitNextFrame() {
    if (GetFrameServices().PresentPacesFrames()) return;
    int nFps = Game_Main.m_nFps > 0 ? Game_Main.m_nFps : 60;
    while (!IsFrameTime(static_cast<unsigned>(nFps))) SleepMs(1);
}

void FPSRING::Push(uint32_t nWorkMs) {
    anWork[nIndex] = nWorkMs;
    if (++nIndex >= 16) {
        nIndex = 0;
        uint32_t nSum = 0;
        for (uint32_t n : anWork) nSum += n;
        nAverage = nSum >> 4;
    }
}

int cGameMain::FrameStep() {
    WaitNextFrame();
    StartTimer();
    if (!RestoreSurfaces()) return 0;
    UpdateInput();
    SwitchScene(m_nScene);
    if (cScene* p = GetScene(m_nScene)) p->Run();
    int nFpsNow = CountFps(1);
    uint32_t nWork = GetTimerLap(1);
    if (nShowFps) {
        Fps_Ring.Push(nWork);
        char szText[64];
        snprintf(szText, sizeof szText, "FPS%2d(%2d)", nFpsNow, static_cast<int>(Fps_Ring.nAverage));
        GetFrameServices().DrawFpsText(nShowFps, szText);
    }
    ShowFrame();
    return 1;
}

int PingPongStep(int& nValue, int& nDir, int nStep, int nLow, int nHigh) {
    if (nDir == 0) {
        long long v = static_cast<long long>(nValue) + nStep;
        if (v >= nHigh) nDir = 1;
        else nValue = static_cast<int>(v);
        return 0;
    }
    long long v = static_cast<long long>(nValue) - nStep;
    if (v > nLow) {
        nValue = static_cast<int>(v);
        return 0;
    }
    nDir = 0;
    return 1;
}

void AnimateSystemColorStep(SYSCOLORSTATE& s, int nStep) {
    auto argb = [](int r, int g, int b) {
        return 0xFF000000u | static_cast<uint32_t>(r & 255) << 16 | static_cast<uint32_t>(g & 255) << 8 |
               static_cast<uint32_t>(b & 255);
    };
    for (int i = 1; i <= 9; i++) {
        int v = s.anValue[i];
        int bTurned = PingPongStep(s.anValue[i], s.anDir[i], nStep, 0, 255);
        uint32_t c = 0;
        switch (i) {
        case 1: case 2: c = argb(v, v, v); break;
        case 3: c = argb(v, 0, 0); break;
        case 4: c = argb(0, v, 0); break;
        case 5: c = argb(0, 0, v); break;
        case 6: c = argb(v, v, 0); break;
        case 7: c = argb(v, 0, v >> 2); break;
        case 8: c = argb(v >> 2, 0, v); break;
        case 9: {
            static const int anMask[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
            const int* m = anMask[s.nPhase & 3];
            c = argb(m[0] * v, m[1] * v, m[2] * v);
            if (bTurned) s.nPhase = (s.nPhase + 1) & 3;
            break;
        }
        }
        s.aColor[i].dwColor = c;
        s.aColor[i].nColorOp = i == 2 ? 10 : 7;
    }
}

void AnimateSystemColor() {
    IFrameServices& fs = GetFrameServices();
    if (fs.IsDirect3D()) {
        AnimateSystemColorStep(Sys_Color, fs.GetSysColorStep());
        return;
    }
    if (fs.IsPaletteMode() && fs.IsColourCyclingOn()) {
        if (++Sys_Color.nCycleCount >= 6) {
            Sys_Color.nCycleCount = 0;
            fs.RotateCyclingColours();
        }
    }
}
