#include "play/ScrEffect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/DD.h"
#include "graphics/DDEffect.h"
#include "play/EffectRuns.h"
#include "play/PlayContext.h"
#include "project/Database.h"

cChkVector<cScrEffectRun> vecScrEffectRun;
cChkVector<cScrEffectRun> vecScrEffectRunRev;

namespace {

constexpr double STEP_TICK = 1.0 / 6.0;

// The definition of entry nId, from the working copy for a reversed run.
const cScrEffect* FindScrEffect(int nId, int bReversed) {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    if (!pDb) return nullptr;
    if (bReversed && pDb->m_vScrEffectRev.IsValid(nId)) return &pDb->m_vScrEffectRev[nId];
    if (pDb->m_vScrEffect.IsValid(nId)) return &pDb->m_vScrEffect[nId];
    return nullptr;
}

int AtLeast1(int n) { return n < 1 ? 1 : n; }

}  // namespace

void cScrEffectRun::Clear() {
    m_nId = 0;
    m_nKind = 0;
    m_bRepeat = 0;
    m_bReversed = 0;
    m_bTimed = 0;
}

void cScrEffectRun::Init(int nId, int bReversed) {
    *this = cScrEffectRun();
    m_nId = nId;
    const cScrEffect* pDef = FindScrEffect(nId, bReversed);
    if (pDef) {
        m_nKind = pDef->m_nKind;
        std::copy(pDef->m_anParam, pDef->m_anParam + 5, m_anParam);
    }
    // A kind this program does not know runs as none.
    if (m_nKind < 0 || m_nKind >= SCR_EFFECT_KINDS) m_nKind = 0;
    const int p1 = AtLeast1(P(1));
    switch (m_nKind) {
    case 1:
        if (bReversed) {
            std::swap(m_anParam[1], m_anParam[3]);
            std::swap(m_anParam[2], m_anParam[4]);
        }
        m_dValue = 0;
        m_dStep = STEP_TICK;
        m_nA = P(2);
        m_nB = P(3);
        break;
    case 2:
    case 3:
        m_dValue = 0;
        m_dShake = 0;
        m_dStep = STEP_TICK;
        m_nA = 0;
        break;
    case 8:
        m_dValue = 0;
        m_dStep = STEP_TICK;
        m_nA = 0;
        m_nB = 0;
        break;
    case 4: case 5: case 6: case 7: case 9: case 10: case 11: case 12: case 13:
        if (bReversed) std::swap(m_anParam[1], m_anParam[2]);
        m_dValue = P(2);
        m_dStep = std::abs(static_cast<double>(P(3)) - P(2)) / (p1 * 6.0);
        if (m_nKind == 6 || m_nKind == 7) m_nA = 0;
        if (P(2) == P(3)) {
            m_bTimed = 1;
            m_dTimer = 0;
            m_nEndTime = p1;
            m_dStep = STEP_TICK;
        }
        break;
    default:
        break;
    }
}

void cScrEffectRun::Restart(int bReversed) {
    const int nId = m_nId, nType = m_nType, bRepeat = m_bRepeat;
    cChkVector<cScrEffectRun>& v = bReversed ? vecScrEffectRunRev : vecScrEffectRun;
    if (v.IsValid(nId)) *this = v[nId];
    else Init(nId, bReversed);
    m_nId = nId;
    m_nType = nType;
    m_bRepeat = bRepeat;
    m_bReversed = bReversed;
    m_nFrame = 0;
}

void cScrEffectRun::Start(int nId, int nType, int bRepeat) {
    PrepareEffectRuns();
    m_nId = nId;
    m_nType = nType;
    m_bRepeat = bRepeat;
    Restart(nType == 1);
}

int cScrEffectRun::Step(double dStart, double dEnd, double dStep) {
    if (m_bTimed) {
        m_dTimer += STEP_TICK;
        if (m_dTimer <= m_nEndTime) return 0;
    } else if (dEnd < dStart) {
        m_dValue -= dStep;
        if (std::trunc(m_dValue) >= dEnd) return 0;
    } else {
        m_dValue += dStep;
        if (std::trunc(m_dValue) <= dEnd) return 0;
    }
    if (m_bRepeat || (m_nType == 2 && !m_bReversed)) {
        Restart(m_nType == 2 ? !m_bReversed : m_bReversed);
        return 0;
    }
    return 1;
}

// ---- the frame operations ----
namespace {

// Copies the finished frame to the work surface and clears the frame.
bool TakeFrame(const SCRFXFRAME& fx, bool bFill = true) {
    if (!fx.lpBack || !fx.lpWork) return false;
    DDBlt(fx.lpWork, 0, 0, fx.nWidth, fx.nHeight, fx.lpBack, 0, 0, DDBLT_NOKEY);
    if (bFill) DDFillRect(fx.lpBack, 0, 0, fx.nWidth, fx.nHeight, 16);
    return true;
}

int Fx_None(cScrEffectRun&, const SCRFXFRAME&, int) {
    if (lpDTCon && lpDTCon->bVirBackBuffer) DDSetVirBackBuffer(0);
    return 0;
}

int Fx_Move(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    const int p1 = AtLeast1(r.P(1));
    if (TakeFrame(fx)) DDBlt(fx.lpBack, r.m_nA, r.m_nB, fx.nWidth, fx.nHeight, fx.lpWork, 0, 0, DDBLT_NOKEY);
    if (bFrozen) return 0;
    // The place of the next frame comes from this frame's value, before the
    // value steps on.
    r.m_nA = static_cast<int>((r.P(4) - r.P(2)) / static_cast<double>(p1) * r.m_dValue + r.P(2));
    r.m_nB = static_cast<int>((r.P(5) - r.P(3)) / static_cast<double>(p1) * r.m_dValue + r.P(3));
    return r.Step(0, p1, r.m_dStep);
}

int Fx_Shake(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    const int p1 = AtLeast1(r.P(1));
    const int nOfs = static_cast<int>(r.m_dShake);
    if (TakeFrame(fx)) {
        if (r.m_nKind == 2) DDBlt(fx.lpBack, nOfs, 0, fx.nWidth, fx.nHeight, fx.lpWork, 0, 0, DDBLT_NOKEY);
        else DDBlt(fx.lpBack, 0, nOfs, fx.nWidth, fx.nHeight, fx.lpWork, 0, 0, DDBLT_NOKEY);
    }
    if (bFrozen) return 0;
    const double dAmp = r.P(2);
    const double dMove = 4.0 * r.P(2) * r.P(3) / (p1 * 6.0);
    if (r.m_nA == 0) {
        r.m_dShake += dMove;
        if (r.m_dShake >= dAmp) { r.m_dShake = dAmp; r.m_nA = 1; }
    } else {
        r.m_dShake -= dMove;
        if (r.m_dShake <= -dAmp) { r.m_dShake = -dAmp; r.m_nA = 0; }
    }
    return r.Step(0, p1, r.m_dStep);
}

int Fx_Split(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    const int p4 = AtLeast1(r.P(4));
    const bool bHorz = r.m_nKind == 4;
    // The band length rounds up; in 64 bits, so a huge band count cannot wrap it.
    const int nBand = static_cast<int>((static_cast<int64_t>(bHorz ? fx.nHeight : fx.nWidth) + p4 - 1) / p4);
    if (TakeFrame(fx))
        DDSplitBlt(fx.lpBack, 0, 0, fx.nWidth, fx.nHeight, nBand, static_cast<int>(r.m_dValue), fx.lpWork, 0, 0,
                   DDBLT_NOKEY, bHorz ? 0 : 1);
    if (bFrozen) return 0;
    return r.Step(r.P(2), r.P(3), r.m_dStep);
}

int Fx_Wave(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    if (TakeFrame(fx))
        DDWaveBlt(fx.lpBack, 0, 0, fx.nWidth, fx.nHeight, r.P(4), r.m_dValue, r.m_nA, AtLeast1(r.P(5)), fx.lpWork, 0,
                  0, DDBLT_NOKEY, r.m_nKind == 6 ? 0 : 1);
    if (bFrozen) return 0;
    r.m_nA = (r.m_nA + 1) % 360;
    return r.Step(r.P(2), r.P(3), r.m_dStep);
}

int Fx_Blink(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    if (!r.m_nB && fx.pfnDrawBackOnly) fx.pfnDrawBackOnly(fx.lpUser);
    if (bFrozen) return 0;
    if (++r.m_nA >= r.P(2)) {
        r.m_nA = 0;
        r.m_nB = !r.m_nB;
    }
    return r.Step(0, AtLeast1(r.P(1)), r.m_dStep);
}

int Fx_Rotate(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    if (TakeFrame(fx))
        DDRotateBlt(fx.lpBack, fx.nWidth / 2, fx.nHeight / 2, fx.nWidth, fx.nHeight, fx.nWidth / 2, fx.nHeight / 2,
                    static_cast<int>(r.m_dValue), fx.lpWork, 0, 0, DDBLT_NOKEY);
    if (bFrozen) return 0;
    return r.Step(r.P(2), r.P(3), r.m_dStep);
}

int Fx_Circle(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    if (TakeFrame(fx)) {
        const int cx = static_cast<int>(fx.dHeroX), cy = static_cast<int>(fx.dHeroY);
        DDCircleBlt(fx.lpBack, cx, cy, fx.nWidth, fx.nHeight, static_cast<int>(r.m_dValue), AtLeast1(r.P(4)), fx.lpWork, cx, cy,
                    DDBLT_NOKEY);
    }
    if (bFrozen) return 0;
    return r.Step(r.P(2), r.P(3), r.m_dStep);
}

int Fx_Enlarge(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    const double z = r.m_dValue / 640.0;
    if (z >= 1.0) {
        if (TakeFrame(fx, false)) {
            const int w = static_cast<int>(fx.nWidth / z), h = static_cast<int>(fx.nHeight / z);
            int sx = static_cast<int>(fx.dHeroX) - w / 2, sy = static_cast<int>(fx.dHeroY) - h / 2;
            sx = std::clamp(sx, 0, std::max(0, fx.nWidth - w));
            sy = std::clamp(sy, 0, std::max(0, fx.nHeight - h));
            DDStretchBlt(fx.lpBack, 0, 0, fx.nWidth, fx.nHeight, fx.lpWork, sx, sy, w, h, DDBLT_NOKEY);
        }
    } else if (TakeFrame(fx) && z > 0) {
        // A size of 0 or less leaves nothing of the frame to show.
        const int w = static_cast<int>(fx.nWidth * z), h = static_cast<int>(fx.nHeight * z);
        if (w > 0 && h > 0)
            DDStretchBlt(fx.lpBack, (fx.nWidth - w) / 2, (fx.nHeight - h) / 2, w, h, fx.lpWork, 0, 0, fx.nWidth,
                         fx.nHeight, DDBLT_NOKEY);
    }
    if (bFrozen) return 0;
    return r.Step(r.P(2), r.P(3), r.m_dStep);
}

int Fx_Lens(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    if (TakeFrame(fx)) {
        const int cx = static_cast<int>(fx.dHeroX) + r.P(4), cy = static_cast<int>(fx.dHeroY) + r.P(5);
        const double dx = std::max(cx, fx.nWidth - cx), dy = std::max(cy, fx.nHeight - cy);
        const int R = static_cast<int>(std::sqrt(2.0) * std::max(dx, dy));
        DDLensBlt(fx.lpBack, cx, cy, R, static_cast<int>(r.m_dValue), fx.lpWork, cx, cy, DDBLT_NOKEY, 0);
    }
    if (bFrozen) return 0;
    return r.Step(r.P(2), r.P(3), r.m_dStep);
}

int Fx_Mosaic(cScrEffectRun& r, const SCRFXFRAME& fx, int bFrozen) {
    if (TakeFrame(fx)) {
        // A block size below 1 shows the frame as it is.
        const int n = std::max(1, static_cast<int>(r.m_dValue));
        DDMosaicBlt(fx.lpBack, 0, 0, fx.nWidth, fx.nHeight, n, fx.lpWork, 0, 0, 0);
    }
    if (bFrozen) return 0;
    return r.Step(r.P(2), r.P(3), r.m_dStep);
}

}  // namespace

const SCREFFECTFN pfnScrEffect[SCR_EFFECT_KINDS] = {
    Fx_None, Fx_Move, Fx_Shake, Fx_Shake, Fx_Split, Fx_Split, Fx_Wave,
    Fx_Wave, Fx_Blink, Fx_Rotate, Fx_Circle, Fx_Enlarge, Fx_Lens, Fx_Mosaic,
};

// ---- screen colour ----
void cScrColorRun::Clear() { *this = cScrColorRun(); }

void cScrColorRun::Start(const int32_t* p) {
    const bool bPalette = !lpDTCon && nScreenBpp == 8;
    const int bFadeBack = p[4];
    if (bFadeBack && !(bPalette ? m_b8Bit : m_bActive)) return;
    m_byPrevRed = m_byRed;
    m_byPrevGreen = m_byGreen;
    m_byPrevBlue = m_byBlue;
    m_nPrevIntensity = m_nIntensity;
    m_nPrevAlpha = m_nAlpha;
    m_byRed = static_cast<uint8_t>(p[0]);
    m_byGreen = static_cast<uint8_t>(p[1]);
    m_byBlue = static_cast<uint8_t>(p[2]);
    m_nIntensity = std::clamp(p[3], 0, 100);
    m_bFadeBack = bFadeBack;
    m_nDuration = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(p[5]) * 6, 0, 1 << 30));
    m_bFlash = p[6];
    m_nFlashCount = p[7];
    m_bActive = 1;
    m_nFrame = 0;
    m_nFlashes = 0;
    if (!bFadeBack) {
        m_nAlpha = 0;
        m_b8Bit = 1;
    } else {
        m_byRed = m_byPrevRed;
        m_byGreen = m_byPrevGreen;
        m_byBlue = m_byPrevBlue;
        m_nIntensity = m_nPrevIntensity;
        m_nAlpha = m_nPrevAlpha;
    }
}

void cScrColorRun::Advance(int bFrozen, int bPalette, int bOtherDepth) {
    m_bDraw = 0;
    if (!m_bActive) return;
    if (bOtherDepth) {
        m_bActive = 0;
        return;
    }
    if (bPalette && bFrozen) return;
    // g = share x intensity x 2.55, in whole numbers.
    const int64_t nDen = static_cast<int64_t>(m_nDuration ? m_nDuration : 1) * 100;
    const int64_t nNum = static_cast<int64_t>(m_nDuration ? std::min(m_nFrame, m_nDuration) : 1) * m_nIntensity * 255;
    const int g = static_cast<int>(nNum / nDen);
    const bool bReached = m_nFrame >= m_nDuration;
    if (m_bFlash) {
        if (bReached) {
            m_nFrame = 0;
            if (++m_nFlashes >= m_nFlashCount) m_bActive = 0;
            return;   // no tint on this frame (a palette screen shows its own colours)
        }
        m_nAlpha = 255 - g;
    } else if (m_bFadeBack) {
        m_nAlpha = m_nDuration ? static_cast<int>(static_cast<int64_t>(std::min(m_nFrame, m_nDuration)) *
                                                          (255 - m_nPrevAlpha) / m_nDuration +
                                                      m_nPrevAlpha)
                               : 255;
        if (bReached) m_bActive = 0;
    } else {
        m_nAlpha = 255 - g;
        if (bReached && (bPalette || m_nIntensity == 0)) m_bActive = 0;
    }
    if (bPalette && bReached) m_bActive = 0;
    m_nAlpha = std::clamp(m_nAlpha, 0, 255);
    m_bDraw = 1;
    if (!bFrozen && !bReached) m_nFrame++;
}
