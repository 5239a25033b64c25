#pragma once
// The screen effect and the screen-colour change in progress.
//
// A screen effect distorts the finished frame (move, shake, split, wave,
// blink, rotation, circle, enlarge, lens, mosaic) while its value runs from a
// start to an end value, or for a time when both are equal. Two prepared runs
// exist per screen-effect entry of the database (forward and reversed);
// starting an effect copies one of them.
//
// The screen colour tints the whole screen towards a colour, fades back to
// the colour before the last change, or flashes.
#include <cstdint>

#include "foundation/ChkContainers.h"

struct DDSURFACEDATA;

constexpr int SCR_EFFECT_KINDS = 14;   // 0 none .. 13 mosaic

class cScrEffectRun {
public:
    // Prepares the run of entry nId (of the reversed list when bReversed).
    void Init(int nId, int bReversed);
    // Copies the prepared run of nId (reversed for type 1) and starts it.
    void Start(int nId, int nType, int bRepeat);
    void Clear();
    // Advances the value towards nEnd; 1 when the run has ended for good.
    int Step(double dStart, double dEnd, double dStep);
    // Parameter n (1..5) of the definition as this run uses it.
    int P(int n) const { return (n >= 1 && n <= 5) ? m_anParam[n - 1] : 0; }

    int32_t m_nId = 0;   // 0: none
    int32_t m_nKind = 0;
    int32_t m_anParam[5] = {};
    int32_t m_nType = 0;
    int32_t m_bRepeat = 0;
    int32_t m_bReversed = 0;
    int32_t m_nFrame = 0;
    double m_dValue = 0;
    double m_dShake = 0;
    double m_dStep = 0;
    int32_t m_nA = 0, m_nB = 0;
    int32_t m_bTimed = 0;
    double m_dTimer = 0;
    int32_t m_nEndTime = 0;

private:
    void Restart(int bReversed);
};

// What a screen-effect operation draws with.
struct SCRFXFRAME {
    DDSURFACEDATA* lpBack = nullptr;   // the finished frame, drawn back into
    DDSURFACEDATA* lpWork = nullptr;   // a work surface at least as large
    int nWidth = 640, nHeight = 480;
    double dHeroX = 320, dHeroY = 240; // the hero's centre on the screen
    // Blink: draws the background layers 0 and 1 only over lpBack.
    void (*pfnDrawBackOnly)(void* lpUser) = nullptr;
    void* lpUser = nullptr;
};

// The frame operations of the 14 kinds: each draws the run's current state
// and, unless frozen, advances it; 1 when the effect has ended.
using SCREFFECTFN = int (*)(cScrEffectRun& run, const SCRFXFRAME& fx, int bFrozen);
extern const SCREFFECTFN pfnScrEffect[SCR_EFFECT_KINDS];

// The prepared runs of every screen-effect entry, forward and reversed.
extern cChkVector<cScrEffectRun> vecScrEffectRun;
extern cChkVector<cScrEffectRun> vecScrEffectRunRev;

class cScrColorRun {
public:
    // The eight parameters of the command: red, green, blue, intensity,
    // fade-back, duration (1/10 s), flash switch, flash count.
    void Start(const int32_t* lpParam);
    void Clear();
    // One drawn frame. bPalette: the 8-bit palette profile (else the tint
    // profile); bOtherDepth: a profile that can show no screen colour (the
    // run ends). Sets m_bDraw and m_nAlpha for the drawing.
    void Advance(int bFrozen, int bPalette, int bOtherDepth);

    int32_t m_b8Bit = 0;
    uint8_t m_byRed = 0, m_byGreen = 0, m_byBlue = 0;
    int32_t m_nIntensity = 0;
    int32_t m_bFadeBack = 0;
    int32_t m_nDuration = 0;
    int32_t m_bFlash = 0;
    int32_t m_nFlashCount = 0;
    int32_t m_bActive = 0;
    int32_t m_nFrame = 0;
    int32_t m_nFlashes = 0;
    int32_t m_nAlpha = 255;
    uint8_t m_byPrevRed = 0, m_byPrevGreen = 0, m_byPrevBlue = 0;
    int32_t m_nPrevIntensity = 0;
    int32_t m_nPrevAlpha = 255;
    // The last frame's outcome: draw a tint of m_nAlpha (255 = none).
    int32_t m_bDraw = 0;
};
