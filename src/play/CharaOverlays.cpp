// What is drawn over characters besides their cells: 16 x 16 icons of any
// graphic, the blinking icon of a carried item, the hero's display boxes of
// a test play, its sight mask and the pop-up of a picked-up item.
#include <algorithm>
#include <memory>

#include "graphics/DDBlt.h"
#include "graphics/DDSurface.h"
#include "graphics/Font.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/Message.h"
#include "play/PlayScene.h"
#include "play/StageImages.h"
#include "play/TestDisplayColor.h"

namespace {

constexpr int SLOT_ITEM_MINI = 42;
constexpr int POPUP_FRAMES = 30;

DDSURFACEDATA* SlotSurface(int nSlot) {
    return nSlot >= 0 && nSlot < IMAGE_SLOT_COUNT ? &Off_Img[nSlot] : nullptr;
}

}  // namespace

void cCharaBase::DrawIcon16(DDSURFACEDATA* lpDst, int x, int y, int nKind, int n, int nFrame) {
    if (!lpDst || n < 0) return;
    if (nKind == 2) {
        DDSURFACEDATA* pSrc = SlotSurface(SLOT_ITEM_MINI);
        if (pSrc) DDBlt(lpDst, x, y, 16, 16, pSrc, (n / 15) * 32, (n % 15) * 16, DDBLT_KEY);
        return;
    }
    DRAWSOURCE s;
    // Kind 1 takes the frame along the strip as a character's first sheet does.
    if (nKind == 1) SetDrawSource(&s, 1, 1, n, 0, nullptr, nFrame);
    else SetDrawSource(&s, 0, nKind, n, 0, nullptr, nFrame);
    if (!s.bValid) return;
    if (nKind == 1 && nFrame * 32 != s.nSrcX) return;   // outside the sheet: nothing
    DDSURFACEDATA* pSrc = SlotSurface(s.nSurface);
    if (s.bDedicated) pSrc = vecSdCharaExc.IsValid(s.nSurface) ? &vecSdCharaExc[s.nSurface] : nullptr;
    if (!pSrc) return;
    int nCell = 32 * std::max(s.nScale, 1);
    DDStretchBlt(lpDst, x, y, 16, 16, pSrc, s.nSrcX, s.nSrcY, nCell, nCell, DDBLT_KEY);
}

void cChara::DrawItemIcon(DDSURFACEDATA* lpDst) {
    if (!StepItemIcon() || !m_pItem) return;
    const cItemData& d = m_pItem->m_Item;
    int cx = m_rcScreen.left + (m_rcScreen.right - m_rcScreen.left + 1) / 2;
    DrawIcon16(lpDst, cx - m_pItem->m_nWidth / 4, m_rcScreen.top - m_pItem->m_nHeight / 2, d.m_nGraphicSheet,
               d.m_nGraphic, 0);
}

void cHero::DrawHitBoxes(DDSURFACEDATA* lpDst) {
    for (HITBOXDISP& b : m_vecHitBox) {
        if (b.nMode == 0) continue;
        int x = m_rcScreen.left + b.nX, y = m_rcScreen.top + b.nY;
        uint32_t nColor = TestDisplayColor(b.nColor, b.nCycle);
        if (lpDst) {
            if (b.nMode == 1) DDFillRect(lpDst, x, y, b.nW, b.nH, nColor);
            else DDDrawBoxFrame(lpDst, x, y, b.nW, b.nH, 1, nColor);
        }
        b.nCycle = NextTestDisplayCycle(b.nCycle);
    }
}

void cHero::DrawSightMask(DDSURFACEDATA* lpDst, DDSURFACEDATA* lpSight) {
    if (m_Data.m_nSightShape == 0 || !lpDst || !lpSight) return;
    SIGHTRECT r = GetSightRect(lpSight->nWidth, lpSight->nHeight);
    if (r.nW <= 0 || r.nH <= 0) return;
    DDBlt(lpDst, r.nDstX, r.nDstY, r.nW, r.nH, lpSight, r.nSrcX, r.nSrcY, DDBLT_KEY);
}

void cHero::PopItemIcon(int nKind, int nCell, int nExtra) {
    cPlayScene* pScene = GetPlayScene();
    if (!pScene) return;
    MESSAGESETUP m;
    m.nMode = MESMODE_ICON;
    m.nIconKind = nKind;
    m.nIconCell = nCell;
    m.nIconExtra = nExtra;
    m.nPosMode = 4;
    m.nAnchorId = m_nId;
    m.bFixed = 1;
    m.nDurMode = MESDUR_TIME;
    m.nFrames = POPUP_FRAMES;
    pScene->m_lstMessage.push_back(std::make_unique<cMessage>(m));
}
