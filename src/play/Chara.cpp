#include "play/Chara.h"

#include <algorithm>
#include <cmath>

#include "foundation/Log.h"
#include "play/Item.h"
#include "play/PlayScene.h"
#include "stage/Stage.h"

namespace {

const cStage& StageOrDefault() {
    static const cStage s_Default;
    const cStage* p = PlayCtx().lpStage;
    return p ? *p : s_Default;
}

// Box offsets of a body w x h in the 32-dot cell.
void BodyOffsets(int w, int h, int bBottom, int* pX, int* pY) {
    *pX = (32 - w) / 2;
    *pY = bBottom ? 32 - h : (32 - h) / 2;
}

}  // namespace

cChara::cChara() = default;

cChara::cChara(const cChara& src) : cCharaBase(src) {
    if (src.m_pItem) m_pItem = std::make_unique<cItem>(*src.m_pItem);
    m_bInRange = src.m_bInRange;
    m_bAnimOffScreen = src.m_bAnimOffScreen;
    m_bShowItemIcon = src.m_bShowItemIcon;
    m_nIconFrames = src.m_nIconFrames;
    m_bIgnoreX = src.m_bIgnoreX;
    m_bIgnoreY = src.m_bIgnoreY;
    m_bWoken = src.m_bWoken;
    m_nSpare1 = src.m_nSpare1;
    m_nSpare2 = src.m_nSpare2;
}

cChara::~cChara() = default;

cItem* cChara::GetDropItem() { return m_pItem.get(); }

void cChara::Setup(int nId, const cCharaData* pRecord, const cItem* pItemTemplate, double x, double y,
                   int nCopyIndex, cCharaBase* pParent) {
    CHARAPLACE place;
    place.pData = pRecord;
    place.dX = x;
    place.dY = y;
    place.nCopyIndex = nCopyIndex;
    ResetState(place);
    if (m_Data.m_nGiant == 0) m_Data.m_nGiant = 1;
    m_lpParent = cObjRef(pParent);

    const cStage& st = StageOrDefault();
    bool bFly = m_Data.m_nFlight != 0;
    int w, h, bx, by;
    if (m_Data.m_bNoHitBox) {
        w = h = 32;
        bx = by = 0;
    } else {
        w = bFly ? st.m_nCharaFlyBoxW : st.m_nCharaBoxW;
        h = bFly ? st.m_nCharaFlyBoxH : st.m_nCharaBoxH;
        BodyOffsets(w, h, bFly ? st.m_nCharaFlyBoxAlign : st.m_nCharaBoxAlign, &bx, &by);
    }
    Init(nId, 1, m_Data.m_nPlayer, m_Data.m_nGroup, m_Data.m_nGraphic, nullptr, 0, bx, by, w, h, 32, 32,
         m_Data.m_nDir, m_Data.m_nFlight, nCopyIndex);
    // (x, y) is the centre of the cell it is placed on: it stands in that
    // cell as SetCharaBlockPos would put it.
    m_dX = x - 16 + m_nBaseBoxX + 0.5;
    m_dY = y - 16 + m_nBaseBoxY;
    m_dRight = m_dX + m_nWidth - 1;
    m_dBottom = m_dY + m_nHeight - 1;

    if (m_Data.m_bNoHitBox) {
        m_HitBox1.SetBase(0, 0, 32, 32);
        m_HitBox2.SetBase(0, 0, 32, 32);
    } else {
        switch (m_Data.m_nHitArea) {
        case 0:
            if (bFly) SetHitBoxSize(st.m_nCharaFlySizeAlign, st.m_nCharaFlySizeW, st.m_nCharaFlySizeH);
            else SetHitBoxSize(st.m_nCharaSizeAlign, st.m_nCharaSizeW, st.m_nCharaSizeH);
            break;
        case 1: SetHitBoxSize(0, st.m_nCharaSize1W, st.m_nCharaSize1H); break;
        case 2: SetHitBoxSize(0, st.m_nCharaSize2W, st.m_nCharaSize2H); break;
        default: SetHitBoxSize(0, m_nBaseFrameW, m_nBaseFrameH); break;
        }
        int w2 = st.m_nCharaSize1W, h2 = st.m_nCharaSize1H;
        m_HitBox2.SetBase(16 - w2 / 2 - m_nBaseBoxX, 16 - h2 / 2 - m_nBaseBoxY, w2, h2);
    }
    SetScale(m_Data.m_nGiant, 1, 1);
    m_bAnimOffScreen = 0;
    m_nIconFrames = 0;

    if (pItemTemplate) {
        m_pItem = std::make_unique<cItem>(*pItemTemplate);
        m_bShowItemIcon = 1;
    } else {
        m_pItem.reset();
        m_bShowItemIcon = 0;
    }
    static const int32_t anIgnore[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    int nAct = m_Data.m_nActRange < 4 ? m_Data.m_nActRange : 0;
    m_bIgnoreX = anIgnore[nAct][0];
    m_bIgnoreY = anIgnore[nAct][1];
    m_bWoken = 0;
    m_nSpare2 = 0;
    m_Anim.SetPattern(bFly ? 0 : 1, 1);
    InsertFlows(&m_Data.m_vFlow, 0, 0);
    ClampX();
    ClampY();
    UpdateHitBoxX();
    UpdateHitBoxY();
}

void cChara::SetCharaBlockPos(int nCol, int nRow) {
    const cPlayScene* pScene = GetPlayScene();
    int nOx = pScene ? pScene->m_ScrollX.m_nCellOrigin : 0;
    int nOy = pScene ? pScene->m_ScrollY.m_nCellOrigin : 0;
    m_dX = (static_cast<double>(nCol) + nOx) * 32 + m_nBaseBoxX + 0.5;
    m_dY = (static_cast<double>(nRow) + nOy) * 32 + m_nBaseBoxY;
    int nGiant = m_Data.m_nGiant;
    if (nGiant != 1) {
        m_dX -= static_cast<double>(nGiant - 1) * (m_nBaseWidth / 2);
        AdjustScalePos(nGiant, 1, 1);
    }
    ClampX();
    ClampY();
}

void cChara::OnScale(int n) {
    if (m_Data.m_bNoHitBox) {
        m_HitBox1.SetBase(0, 0, m_nWidth, m_nHeight);
        m_HitBox2.SetBase(0, 0, m_nWidth, m_nHeight);
    } else {
        m_HitBox1.Scale(n);
        m_HitBox2.Scale(n);
    }
    ClampX();
    ClampY();
}

void cChara::UpdateHitBoxX() {
    m_HitBox1.UpdateX(m_dX);
    m_HitBox2.UpdateX(m_dX);
}

void cChara::UpdateHitBoxY() {
    m_HitBox1.UpdateY(m_dY);
    m_HitBox2.UpdateY(m_dY);
}

int cChara::ClampX() { return ClampPosX(2); }
int cChara::ClampY() { return ClampPosY(2); }

bool cChara::CheckActivity(std::vector<uint8_t>& vecFlags, double dCamX, double dCamY) {
    if (!IsOnScreenAxesAt(dCamX, dCamY, m_bIgnoreX, m_bIgnoreY)) return false;
    m_bInRange = 1;
    if (m_Data.m_bLinked) {
        int n = m_Data.m_nLinkFlag;
        if (n >= 0 && static_cast<size_t>(n) < vecFlags.size()) {
            vecFlags[n] = 1;
        } else {
            static bool bReported = false;
            if (!bReported) {
                bReported = true;
                WriteReport("place flag %d outside the %d flags is not set\n", n, static_cast<int>(vecFlags.size()));
            }
        }
    }
    return true;
}

bool cChara::IsAwake(const std::vector<uint8_t>& vecFlags, const cScroll& sx, const cScroll& sy) {
    bool bAwake = m_bInRange != 0;
    if (!bAwake && m_Data.m_bLinked) {
        int n = m_Data.m_nLinkFlag;
        bAwake = n >= 0 && static_cast<size_t>(n) < vecFlags.size() && vecFlags[n];
    }
    // Rule 2 turns the test round: the character acts while neither its
    // range nor its activation group holds.
    if (m_Data.m_nActRule == ACTRULE_WHEN_OUT) bAwake = !bAwake;
    if (!bAwake && !m_bFlight) bAwake = m_bJumping || (m_bWoken && m_bAirborne);
    if (!bAwake) return false;
    m_bWoken = 1;
    if (m_Data.m_nActRule == ACTRULE_ONCE) m_bIgnoreX = m_bIgnoreY = 1;
    UpdateScreenRectFrom(sx, sy);
    return true;
}

bool cChara::OverlapsRect(double dLeft, double dTop, double dRight, double dBottom) const {
    return m_dX <= dRight && m_dRight >= dLeft && m_dY <= dBottom && m_dBottom >= dTop;
}

bool cChara::StepItemIcon() {
    if (!m_bShowItemIcon || !m_pItem || !m_bOnScreen || m_Data.m_bTrans || m_pItem->m_Item.m_bNoDraw) return false;
    m_nIconFrames++;
    if (m_nIconFrames >= 96) m_nIconFrames = 0;
    return m_nIconFrames >= 64;
}
