#include "play/EffectAnime.h"

#include <algorithm>
#include <cmath>

#include "foundation/Saturate.h"
#include "graphics/DD.h"
#include "play/CharaBase.h"
#include "play/Combat.h"
#include "play/PlayScene.h"
#include "play/DisplayView.h"
#include "play/PlayContext.h"
#include "project/AnimePatterns.h"
#include "project/Database.h"
#include "project/SystemData.h"

cChkVector<DDSURFACEDATA> vecSdEffect;

namespace {

const cEffect* GetEffect(int nEffect) {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    if (!pDb) return nullptr;
    // Bit 15 or a number past the list is a bad index: reported, entry 0.
    return &pDb->m_vEffect.At(nEffect);
}

int EffectIndex(int nEffect) {
    const int n = nEffect & 0xFFFF;
    return (n & 0x8000) ? -1 : n;
}

}  // namespace

int ZoomSize(int nSize, int nZoom) {
    if (nZoom <= 0) return 0;
    // Any 32-bit size and zoom fit a 64-bit rounding; the result is held at the largest size.
    return SaturateInt32(std::llround(static_cast<double>(nSize) * nZoom * 0.01));
}

void cEffectAnime::Set(int nEffect, double x, double y, int nWidth, int nHeight, int bRunWhileFrozen) {
    m_nEffect = nEffect;
    m_dX = x;
    m_dY = y;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_bRunWhileFrozen = bRunWhileFrozen;
    m_anSpare[0] = m_anSpare[1] = m_anSpare[2] = 0;
    const cEffect* pEffect = GetEffect(EffectIndex(nEffect));
    m_bScaled = pEffect && (nWidth != pEffect->m_nWidth || nHeight != pEffect->m_nHeight) ? 1 : 0;
    Start(nEffect);
}

void cEffectAnime::SetAtOverlap(int nEffect, const EFFECTBOX& a, const EFFECTBOX& b, int nFactor) {
    m_nEffect = nEffect;
    m_bRunWhileFrozen = 0;
    m_anSpare[0] = m_anSpare[1] = m_anSpare[2] = 0;
    const cEffect* pEffect = GetEffect(EffectIndex(nEffect));
    m_nWidth = pEffect ? pEffect->m_nWidth : 0;
    m_nHeight = pEffect ? pEffect->m_nHeight : 0;
    m_bScaled = 0;
    if (pEffect && pEffect->m_bEnlarge && nFactor > 1) {
        m_nWidth *= nFactor;
        m_nHeight *= nFactor;
        m_bScaled = 1;
    }
    double l = std::max(a.dLeft, b.dLeft), r = std::min(a.dRight, b.dRight);
    double t = std::max(a.dTop, b.dTop), btm = std::min(a.dBottom, b.dBottom);
    if (l > r || t > btm) l = r = t = btm = 0;
    const int nLeft = static_cast<int>(l), nRight = static_cast<int>(r);
    const int nTop = static_cast<int>(t), nBottom = static_cast<int>(btm);
    m_dX = nLeft + (nRight - nLeft + 1) / 2 - m_nWidth / 2;
    m_dY = nTop + (nBottom - nTop + 1) / 2 - m_nHeight / 2;
    const int nJitter = 4 * std::max(0, nFactor);
    m_dX += PlayRandom().Get(-nJitter, nJitter);
    m_dY += PlayRandom().Get(-nJitter, nJitter);
    Start(nEffect);
}

void cEffectAnime::Start(int nEffect) {
    const int n = EffectIndex(nEffect);
    const cDatabase* pDb = PlayCtx().lpDatabase;
    const ANIMPATTERNTABLE& patterns = pDb ? EffectPatternsFor(*pDb) : vecEffectPattern;
    m_Anim.m_vPattern.clear();
    if (patterns.IsValid(n)) m_Anim.m_vPattern.push_back(patterns[n]);
    else if (!patterns.empty()) m_Anim.m_vPattern.push_back(patterns.At(n));
    m_Anim.m_nStep = 0;
    m_Anim.m_nCount = 0;
    if (!m_Anim.m_vPattern.empty()) m_Anim.SetPattern(0, 1);
}

int cEffectAnime::Draw(DDSURFACEDATA* lpDst, int bFreeze) {
    const int n = EffectIndex(m_nEffect);
    const cEffect* pEffect = GetEffect(n);
    if (!pEffect || pEffect->m_vFrame.empty() || m_Anim.m_vPattern.empty()) return 1;
    int nFrame;
    if (!bFreeze || m_bRunWhileFrozen) {
        nFrame = m_Anim.Update();
        if (nFrame == ANIMCODE_END) return 1;
    } else {
        nFrame = m_Anim.GetFrame();
    }
    if (nFrame < 0 || n < 1) return 0;
    const PLAYVIEW v = GetPlayView();
    const int x = static_cast<int>(m_dX - v.dCamX), y = static_cast<int>(m_dY - v.dCamY);
    const int fw = pEffect->m_nWidth, fh = pEffect->m_nHeight;
    if (m_bScaled) {
        const size_t i = static_cast<size_t>(2 * n - 1);
        if (i < vecSdEffect.size())
            DDStretchBlt(lpDst, x, y, m_nWidth, m_nHeight, &vecSdEffect[i], nFrame * fw, 0, fw, fh, DDBLT_KEY);
    } else {
        const size_t i = static_cast<size_t>(2 * n - 2);
        if (i < vecSdEffect.size())
            DDBlt(lpDst, x, y, m_nWidth, m_nHeight, &vecSdEffect[i], nFrame * fw, 0, DDBLT_KEY);
    }
    return 0;
}

// ---- pictures ----
cPictureRun::cPictureRun() = default;
cPictureRun::~cPictureRun() {
    if (m_lpSurface) DDReleaseSurface(m_lpSurface.get());
}

void cPictureRun::Set(const PICTURESETUP& s) {
    m_nPicture = s.nPicture;
    m_nType = s.nType;
    m_nCellX = s.nCellX;
    m_nCellY = s.nCellY;
    m_nOffX = s.nOffX;
    m_nOffY = s.nOffY;
    m_nPicWidth = s.nPicWidth;
    m_nPicHeight = s.nPicHeight;
    m_nWidth = ZoomSize(s.nPicWidth, s.nZoom);
    m_nHeight = ZoomSize(s.nPicHeight, s.nZoom);
    m_bScaled = s.nZoom != 100;
    m_bFixed = s.bFixed;
    m_nKept = s.nKept;
    m_nDurMode = s.nDurMode;
    m_nLeft = s.nFrames;
    m_bCountWhileFrozen = s.bCountWhileFrozen;
    m_nCharaId = s.nCharaId;
    m_bHasId = s.bHasId;
    m_nPictureId = s.nPictureId;
    m_bRemembered = 0;
    m_bPosKnown = 0;
}

void cPictureRun::GetPos(int* pX, int* pY) {
    if (const cCharaBase* p = FindChara(m_nCharaId)) {
        m_dCentreX = p->m_dX + p->m_nWidth / 2;
        m_dCentreY = p->m_dY + p->m_nHeight / 2;
    }
    *pX = static_cast<int>(std::floor(m_dCentreX - m_nWidth / 2)) + m_nOffX;
    *pY = static_cast<int>(std::floor(m_dCentreY - m_nHeight / 2)) + m_nOffY;
    m_nStageX = *pX;
    m_nStageY = *pY;
    m_bPosKnown = 1;
}

int cPictureRun::Draw(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpPicture, int bFreeze) {
    if (m_nDurMode == 2 && (!bFreeze || m_bCountWhileFrozen)) {
        if (--m_nLeft < 0) return 1;
    }
    const PLAYVIEW v = GetPlayView();
    int x = 0, y = 0;
    switch (m_nType) {
    case PICPLACE_SCREEN:
        x = m_nCellX * 32 + m_nOffX;
        y = m_nCellY * 32 + m_nOffY;
        break;
    case PICPLACE_STAGE:
        x = static_cast<int>((m_nCellX + v.nCellOriginX) * 32 + m_nOffX - v.dCamX);
        y = static_cast<int>((m_nCellY + v.nCellOriginY) * 32 + m_nOffY - v.dCamY);
        break;
    case PICPLACE_CHARA:
    case PICPLACE_HERO: {
        int sx = m_nStageX, sy = m_nStageY;
        // With the picture-follow rule of the settings a picture over a
        // character follows it each frame; else it keeps the place the
        // command gave it.
        const cSystemData* pSys = PlayCtx().lpSystem;
        if ((pSys && pSys->m_bRule833) || !m_bPosKnown) GetPos(&sx, &sy);
        x = static_cast<int>(sx - v.dCamX);
        y = static_cast<int>(sy - v.dCamY);
        break;
    }
    default:
        x = m_nOffX - m_nWidth / 2 + 320;
        y = m_nOffY - m_nHeight / 2 + 240;
        break;
    }
    const bool bKeepScreen = (m_nType == PICPLACE_CHARA || m_nType == PICPLACE_HERO || m_nType == PICPLACE_STAGE);
    const bool bOnScreen = m_nType == PICPLACE_CENTRE || m_nType == PICPLACE_SCREEN;
    const int nHold = bKeepScreen && m_bFixed ? HOLD_SCREEN : bOnScreen && !m_bFixed ? HOLD_STAGE : HOLD_NONE;
    HoldPlacement(nHold, v, &m_bRemembered, &m_nRememberX, &m_nRememberY, &x, &y);
    m_nScreenX = x;
    m_nScreenY = y;
    // A zoom of 0 or less leaves nothing to draw.
    if (!lpPicture || m_nWidth <= 0 || m_nHeight <= 0) return 0;
    if (m_bScaled)
        DDStretchBlt(lpDst, x, y, m_nWidth, m_nHeight, lpPicture, 0, 0, m_nPicWidth, m_nPicHeight, DDBLT_KEY);
    else
        DDBlt(lpDst, x, y, m_nWidth, m_nHeight, lpPicture, 0, 0, DDBLT_KEY);
    return 0;
}

// ---- the hit effect of a damage ----
void AddHitEffect(int nEffect, const HITRECT& a, const HITRECT& b, int nScale) {
    cPlayScene* s = GetPlayScene();
    if (!s || nEffect == 0) return;
    auto e = std::make_unique<cEffectAnime>();
    e->SetAtOverlap(nEffect, {a.l, a.t, a.r, a.b}, {b.l, b.t, b.r, b.b}, nScale);
    s->m_lstEffect.push_back(std::move(e));
}
