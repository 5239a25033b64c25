// Drawing of items and shots: the item's animated cell with its overlay
// chip, the shot's two-frame cell and the sword's current part.
#include <algorithm>
#include <cmath>

#include "graphics/DDBlt.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/CharaBase.h"
#include "play/CharaDraw.h"
#include "play/Combat.h"
#include "play/Item.h"
#include "play/PlayDraw.h"
#include "play/Shot.h"
#include "play/StageImages.h"
#include "project/SwordType.h"
#include "project/SystemData.h"

void cItem::Draw(DDSURFACEDATA* pSurface, int bPaused) {
    if (!pSurface || m_Item.m_bNoDraw) return;
    const int nFrame = bPaused ? m_Anim.GetFrame() : m_Anim.Update();
    DRAWSOURCE src;
    cCharaBase::SetDrawSource(&src, 2, m_Item.m_nGraphicSheet, m_Item.m_nGraphic, m_Item.m_nGraphicRow, this, nFrame);
    DDSURFACEDATA* pCell = GetDrawSurface(src, 0);
    const int nSize = std::max<int>(m_Item.m_nSize, 1);
    const int x = m_rcScreen.left, y = m_rcScreen.top;
    if (pCell) {
        const int nCellScale = src.bNative ? std::max<int>(src.nScale, 1) : 1;
        const bool bStretch = src.bNative ? nSize != nCellScale : nSize > 1;
        if (bStretch)
            DDStretchBlt(pSurface, x, y, m_nFrameW, m_nFrameH, pCell, src.nSrcX, src.nSrcY,
                         m_nBaseFrameW * nCellScale, m_nBaseFrameH * nCellScale, DDBLT_KEY);
        else
            DDBlt(pSurface, x, y, m_nFrameW, m_nFrameH, pCell, src.nSrcX, src.nSrcY, DDBLT_KEY);
    }
    int sx = 0, sy = 0;
    if (m_Item.m_nMarkDisp == 1 && GetBlockSheetCell(m_Item.m_nMark, &sx, &sy)) {
        DDSURFACEDATA* pBlocks = &Off_Img[IMAGE_SLOT_BLOCK];
        if (nSize <= 1)
            DDBlt(pSurface, x, y, 32, 32, pBlocks, sx, sy, DDBLT_KEY);
        else
            DDStretchBlt(pSurface, x, y, m_nFrameW, m_nFrameH, pBlocks, sx, sy, 32, 32, DDBLT_KEY);
    }
}

void cShot::Draw(DDSURFACEDATA* pSurface, int bPaused) {
    if (!pSurface || m_Shot.m_bHidden) return;
    const int nScale = std::max<int>(m_Shot.m_nSize, 1);
    const int x = m_rcScreen.left, y = m_rcScreen.top;
    if (m_bProjectile) {
        const int f = bPaused ? m_Anim.GetFrame() : m_Anim.Update();
        const int n = m_nPicture;
        if (n < 0 || f < 0 || f > 1) return;
        const int sx = ((n / 30) * 2 + f) * 16, sy = (n % 30) * 16;
        DDSURFACEDATA* pSrc = &Off_Img[IMGSLOT_SHOT + (m_nDir ? 1 : 0)];
        if (nScale > 1)
            DDStretchBlt(pSurface, x, y, m_nFrameW, m_nFrameH, pSrc, sx, sy, 16, 16, DDBLT_KEY);
        else
            DDBlt(pSurface, x, y, 16, 16, pSrc, sx, sy, DDBLT_KEY);
        return;
    }
    const cSwordType* pType = GetSwordType();
    if (!pType || m_nSwordPart < 0 || m_nSwordPart >= pType->GetPartCount()) return;
    const cSwordPart& P = pType->GetPart(m_nSwordPart);
    const size_t nIndex = static_cast<size_t>(m_Shot.m_nType) * 4 + (m_nDir ? 1 : 0);
    if (nIndex >= vecSdSword.size()) return;
    DDSURFACEDATA* pSrc = &vecSdSword[nIndex];
    if (nScale > 1)
        DDStretchBlt(pSurface, x, y, m_nFrameW, m_nFrameH, pSrc, P.m_nSrcX, P.m_nSrcY, P.m_nWidth, P.m_nHeight,
                     DDBLT_KEY);
    else
        DDBlt(pSurface, x, y, P.m_nWidth, P.m_nHeight, pSrc, P.m_nSrcX, P.m_nSrcY, DDBLT_KEY);
}

namespace {
// One gauge: background, fill (normal or low), and the animated change.
void DrawGauge(cCharaBase* c, DDSURFACEDATA* lpDst, GAUGE& g, int nSrcX, int nDy, bool bLow) {
    if (g.nShown <= 0) return;
    DDSURFACEDATA* pSrc = &Off_Img[IMAGE_SLOT_ACCESSORY];
    const bool bTall = pSrc->nHeight > 208;
    const int f = bTall ? 208 : 128, r = bTall ? 2 : 16;
    const int x = c->m_rcScreen.left + c->m_nFrameW / 2 - 25;
    const int y = c->m_rcScreen.top - nDy;
    const int w = std::clamp(g.nWidth, 0, 50);
    DDBlt(lpDst, x, y, 50, 2, pSrc, nSrcX, f, DDBLT_KEY);
    if (w > 0) DDBlt(lpDst, x, y, w, 2, pSrc, nSrcX, bLow ? f + 2 * r : f + r, DDBLT_KEY);
    if (g.dChange >= 0) {
        const int n = static_cast<int>(std::floor(g.dChange));
        if (n > 0) DDBlt(lpDst, x + w - n, y, n, 2, pSrc, nSrcX, f + 4 * r, DDBLT_KEY);
    } else {
        const int n = static_cast<int>(std::floor(-g.dChange));
        if (n > 0) DDBlt(lpDst, x + w, y, n, 2, pSrc, nSrcX, f + 3 * r, DDBLT_KEY);
    }
    g.nShown--;
    if (g.nShown < 60)
        g.dChange = 0;
    else
        g.dChange -= g.dStep;
}
}   // namespace

void DrawCharaGauges(cCharaBase* c, DDSURFACEDATA* lpDst) {
    if (!c || !lpDst || c->m_bDead) return;
    const cSystemData* pSys = PlayCtx().lpSystem;
    DrawGauge(c, lpDst, c->m_HpGauge, 0, 3, pSys && pSys->IsStatusLow(2, c->m_nHp, c->m_Data.m_nMaxHp));
    DrawGauge(c, lpDst, c->m_SpGauge, 64, 7, pSys && pSys->IsStatusLow(3, c->m_nSp, c->m_Data.m_nMaxSp));
}
