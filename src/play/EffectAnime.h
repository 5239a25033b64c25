#pragma once
// Effect animations and pictures shown by the stage-play scene.
//
// An effect animation plays an effect of the database (a strip of frames) at
// a place of the stage: the run-effect command and the hit effect where an
// attack lands. A picture of the picture database is shown at a place or
// over a character by the show-picture command.
#include <cstdint>
#include <memory>

#include "foundation/ChkContainers.h"
#include "graphics/AnimPattern.h"

struct DDSURFACEDATA;

// A box in stage dots: left, top, right, bottom (inclusive).
struct EFFECTBOX {
    double dLeft = 0, dTop = 0, dRight = 0, dBottom = 0;
};

class cEffectAnime {
public:
    void Set(int nEffect, double x, double y, int nWidth, int nHeight, int bRunWhileFrozen);
    // Centred on the overlap of two boxes (the hit effect), jittered by up
    // to 4 x factor dots each way.
    void SetAtOverlap(int nEffect, const EFFECTBOX& a, const EFFECTBOX& b, int nFactor);
    void Start(int nEffect);
    // One frame; 1 when the effect has ended.
    int Draw(DDSURFACEDATA* lpDst, int bFreeze);

    int32_t m_nEffect = 0;
    double m_dX = 0, m_dY = 0;   // top left in stage dots
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_bScaled = 0;
    cAnimPattern m_Anim;
    int32_t m_anSpare[3] = {};
    int32_t m_bRunWhileFrozen = 0;
};

// Width or height of an effect or picture at a zoom in percent, rounded half
// away from zero; 0 for a zoom of 0 or less.
int ZoomSize(int nSize, int nZoom);

enum : int { PICPLACE_CENTRE = 0, PICPLACE_CHARA = 1, PICPLACE_HERO = 2, PICPLACE_SCREEN = 3, PICPLACE_STAGE = 4 };

// The arguments of cPictureRun::Set.
struct PICTURESETUP {
    int32_t nPicture = 0, nType = 0, nCellX = 0, nCellY = 0, nOffX = 0, nOffY = 0;
    int32_t nPicWidth = 0, nPicHeight = 0, bFixed = 0, nKept = 0, nZoom = 100;
    int32_t nDurMode = 0, nFrames = 0, bCountWhileFrozen = 0, nCharaId = 0, bHasId = 0, nPictureId = 0;
};

class cPictureRun {
public:
    cPictureRun();
    ~cPictureRun();
    cPictureRun(const cPictureRun&) = delete;
    cPictureRun& operator=(const cPictureRun&) = delete;

    void Set(const PICTURESETUP& s);
    // The stage position for types 1 and 2 from the anchor's centre (the
    // remembered one when it is gone).
    void GetPos(int* pX, int* pY);
    // One frame; 1 when the picture has ended.
    int Draw(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpPicture, int bFreeze);
    int Draw(DDSURFACEDATA* lpDst, int bFreeze) { return Draw(lpDst, m_lpSurface.get(), bFreeze); }

    int32_t m_nPicture = 0;
    int32_t m_nType = 0;
    int32_t m_nCellX = 0, m_nCellY = 0, m_nOffX = 0, m_nOffY = 0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_bScaled = 0;
    int32_t m_nKept = 0;
    int32_t m_nDurMode = 0;
    int32_t m_nCharaId = 0;
    int32_t m_nLeft = 0;
    int32_t m_bCountWhileFrozen = 0;
    int32_t m_bFixed = 0;
    int32_t m_bRemembered = 0, m_nRememberX = 0, m_nRememberY = 0;
    int32_t m_bHasId = 0, m_nPictureId = 0;
    double m_dCentreX = 0, m_dCentreY = 0;
    int32_t m_bPosKnown = 0, m_nStageX = 0, m_nStageY = 0;   // the position the command computed
    int32_t m_nPicWidth = 0, m_nPicHeight = 0;
    // The loaded picture file.
    std::unique_ptr<DDSURFACEDATA> m_lpSurface;
    int32_t m_nScreenX = 0, m_nScreenY = 0;   // where the last frame drew it
};

// The effect surfaces: two per effect entry n >= 1, at 2n - 2 (unscaled, and
// scaled under DirectDraw with video stretching) and 2n - 1 (scaled).
extern cChkVector<DDSURFACEDATA> vecSdEffect;
