// The frame's graphics through the graphics layer.
#include "foundation/Log.h"
#include "graphics/DDFade.h"
#include "graphics/DDPresent.h"
#include "graphics/DDSurface.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/GameFonts.h"
#include "shell/GameMain.h"

namespace {

class cGraphicsFrameServices : public IFrameServices {
public:
    bool PresentPacesFrames() override {
        // The textured profile waits in its present when vertical sync is
        // off; with sync on the frame gate still runs, so that a display
        // without a real vertical blank cannot race.
        return lpDTCon && nVSyncMode == 0;
    }
    int RestoreSurfaces() override {
        if (lpDTCon || !lpDDCon) return 1;
        if (!DDIsPrimaryLost()) return 1;
        // The surface lists of the scenes and the stage are restored by
        // their owners when they are drawn again.
        return DDRestore() ? 1 : 0;
    }
    int ShowFrame(int nFps) override {
        if (!bDDInitDone) return 1;
        if (lpDTCon) return DDPresent(static_cast<unsigned>(nFps > 0 ? nFps : 60), 0, nullptr);
        if (lpDDCon) DDFlipToScreen();
        return 1;
    }
    void DrawFpsText(int nShowFps, const char* pszText) override {
        if (!bDDInitDone || !AreGameFontsReady()) return;
        if (nShowFps == 2) aFont[0].Printf(&BackBuffer, 549, 469, "%s", pszText);
        else aFont[1].PrintfWindow(&BackBuffer, 495, 463, 0, 0, "%s", pszText);
    }
    bool IsDirect3D() override { return lpDTCon != nullptr; }
    bool IsPaletteMode() override { return !lpDTCon && lpDDCon && nScreenBpp == 8; }
    void RotateCyclingColours() override {
        for (int g = 0; g < 8; g++) PalRotate(aPalEntry, 208 + 4 * g, 211 + 4 * g, 1, 1, aPalEntry);
        DDSetDisplayPalette(208, 32, aPalEntry + 208);
    }
    int GetSysColorStep() override { return recSystem.m_nSysColorStep; }
    bool IsColourCyclingOn() override { return recSystem.m_bRuleFixedRangeColor != 0; }
};

}  // namespace

IFrameServices& GetGraphicsFrameServices() {
    static cGraphicsFrameServices s;
    return s;
}
