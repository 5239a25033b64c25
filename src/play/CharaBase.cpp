#include "play/CharaBase.h"

#include <algorithm>
#include <cmath>

#include "graphics/DDSurface.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/Hero.h"
#include "play/Chara.h"
#include "play/PlayScene.h"
#include "project/Database.h"
#include "project/SystemData.h"
#include "project/SystemIni.h"
#include "stage/Stage.h"

namespace {

constexpr int FLOW_GROUP_SLOTS = 27;
constexpr int ANIMSET_RECORD_SIZE = 80;   // the animation set's size as the error report gives it

// Slots of the sheets (normal, system-memory variant, mirrored, mirrored variant).
constexpr int SLOT_BLOCK = 2, SLOT_BLOCK_VAR = 3;
constexpr int SLOT_CHARA = 4, SLOT_CHARA_VAR = 22;   // + 2 x sheet; mirrors one above
constexpr int CHARA_SHEETS = 8;
constexpr int SLOT_SHEET30 = 20, SLOT_SHEET30_VAR = 38;
constexpr int SLOT_ITEM = 40, SLOT_ITEM_VAR = 41;

int SheetWidth(int nSlot) {
    return nSlot >= 0 && nSlot < IMAGE_SLOT_COUNT ? Off_Img[nSlot].nWidth : 0;
}
int SheetHeight(int nSlot) {
    return nSlot >= 0 && nSlot < IMAGE_SLOT_COUNT ? Off_Img[nSlot].nHeight : 0;
}

// The first pair under DirectDraw with stretching in video memory, the
// system-memory variants otherwise.
void ChoosePair(DRAWSOURCE* p) {
    bool bFirst = !bUseD3D && nDD_VideoStretch;
    p->nChosen = bFirst ? p->nSurface : p->nSurfaceVar;
    p->nChosenMirror = bFirst ? p->nMirror : p->nMirrorVar;
}

}  // namespace

void HITBOX::UpdateX(double x) {
    dLeft = std::floor(x) + nX;
    dRight = dLeft + nW - 1;
}
void HITBOX::UpdateY(double y) {
    dTop = std::floor(y) + nY;
    dBottom = dTop + nH - 1;
}

int StageSubSteps() {
    const cStage* pStage = PlayCtx().lpStage;
    if (!pStage || pStage->m_nSubStep < 1) return 1;
    return pStage->m_nSubStep;
}

double SpeedToStep(int16_t n) {
    double b = StageSubSteps();
    return n * 0.01 / (b * b);
}

int GetInputDir(const cInputState* pInput) {
    if (!pInput || pInput->m_vDirRun.size() < DIR_PATTERN_COUNT) return 0;
    for (int p = 0; p < DIR_PATTERN_COUNT; p++)
        if (!pInput->m_vDirRun[p].empty() && pInput->m_vDirRun[p][0].bHeld) return p;
    return 0;
}

cCharaBase* FindChara(int nId) {
    for (auto& p : vecPlayer())
        if (p && p->m_nId == nId) return p.get();
    for (auto& p : lstChara())
        if (p && p->m_nId == nId) return p.get();
    return nullptr;
}

cCharaBase::cCharaBase() {
    m_vecTarget.resize(4);
    m_vecVar.assign(9, 0);
    m_vecFlowBlock.assign(FLOW_GROUP_SLOTS, 0);
    m_vecFlowBlockNext.assign(FLOW_GROUP_SLOTS, 0);
    m_vecFlowFired.assign(FLOW_GROUP_SLOTS, 0);
}

cCharaBase::cCharaBase(const cCharaBase& src) : cObj(src) { CopyCharaFrom(src); }

cCharaBase::~cCharaBase() = default;

void cCharaBase::CopyCharaFrom(const cCharaBase& o) {
    if (&o == this) return;
    cObj::CopyFrom(o);
    m_vecTarget = o.m_vecTarget;
    m_lpParent = o.m_lpParent;
    m_vecLink = o.m_vecLink;
    m_vecChild = o.m_vecChild;
    m_bNotifyParent = o.m_bNotifyParent;
    m_nNotifyFlowId = o.m_nNotifyFlowId;
    m_Data = o.m_Data;
    m_nFlowSerial = o.m_nFlowSerial;
    m_vecFlowRun = o.m_vecFlowRun;
    m_vecFlowBlock = o.m_vecFlowBlock;
    m_vecFlowBlockNext = o.m_vecFlowBlockNext;
    m_vecFlowFired = o.m_vecFlowFired;
    m_bFlowBlockDirty = o.m_bFlowBlockDirty;
    m_bRemovePending = o.m_bRemovePending;
    m_nCopyIndex = o.m_nCopyIndex;
    m_dStartX = o.m_dStartX;
    m_dStartY = o.m_dStartY;
    m_bAnimReq = o.m_bAnimReq;
    m_nAnimReq = o.m_nAnimReq;
    m_dKnockX = o.m_dKnockX;
    m_dKnockY = o.m_dKnockY;
    m_bKnocked = o.m_bKnocked;
    m_dLastKnockY = o.m_dLastKnockY;
    m_bNoGravity = o.m_bNoGravity;
    m_nLastSide = o.m_nLastSide;
    m_bAirborne = o.m_bAirborne;
    m_bJumpTop = o.m_bJumpTop;
    m_bJumping = o.m_bJumping;
    m_bJumpHold = o.m_bJumpHold;
    m_nAirSteps = o.m_nAirSteps;
    m_nGroundCell = o.m_nGroundCell;
    m_nLastGroundCell = o.m_nLastGroundCell;
    m_nLockFrames = o.m_nLockFrames;
    m_bDead = o.m_bDead;
    m_nDeadFrames = o.m_nDeadFrames;
    m_bHitLeft = o.m_bHitLeft;
    m_bHitRight = o.m_bHitRight;
    m_bHitTop = o.m_bHitTop;
    m_bHitBottom = o.m_bHitBottom;
    m_bPushed = o.m_bPushed;
    m_bRiding = o.m_bRiding;
    m_nRideId = o.m_nRideId;
    m_Ride = o.m_Ride;
    m_dRideX = o.m_dRideX;
    m_dRideY = o.m_dRideY;
    m_SavedPos = o.m_SavedPos;
    m_dStopDecel = o.m_dStopDecel;
    m_nHp = o.m_nHp;
    m_nSp = o.m_nSp;
    m_HpGauge = o.m_HpGauge;
    m_SpGauge = o.m_SpGauge;
    m_vecVar = o.m_vecVar;
    m_nInvTime = o.m_nInvTime;
    m_lstInvAgainst = o.m_lstInvAgainst;
    m_lstAnimeQueue = o.m_lstAnimeQueue;
    m_CharaEffect = o.m_CharaEffect;
    m_dEffectValue = o.m_dEffectValue;
    m_nEffectPhase = o.m_nEffectPhase;
    m_nEffectBlink = o.m_nEffectBlink;
    m_bVanish = o.m_bVanish;
    m_nSightDots = o.m_nSightDots;
    m_HitBox1 = o.m_HitBox1;
    m_HitBox2 = o.m_HitBox2;
    m_byMirrorState = o.m_byMirrorState;
    m_bScreenLockX = o.m_bScreenLockX;
    m_bScreenLockY = o.m_bScreenLockY;
    m_nScreenLockLeft = o.m_nScreenLockLeft;
    m_nScreenLockTop = o.m_nScreenLockTop;
    m_bActing = o.m_bActing;
    m_bHideFrame = o.m_bHideFrame;
    // The runs point into the other character's flows until relinked to ours.
    RelinkFlowRuns();
}

void cCharaBase::ResetState(const CHARAPLACE& place) {
    m_nCopyIndex = static_cast<int16_t>(place.nCopyIndex);
    m_vecLink.clear();
    m_vecChild.clear();
    m_vecTarget.assign(4, cObjRef());
    m_lpParent.Reset();
    m_nFlowSerial = 0;
    m_vecFlowBlock.assign(FLOW_GROUP_SLOTS, 0);
    m_vecFlowBlockNext.assign(FLOW_GROUP_SLOTS, 0);
    m_vecFlowFired.assign(FLOW_GROUP_SLOTS, 0);
    m_bFlowBlockDirty = 0;
    m_bRemovePending = 0;

    m_dStartX = place.dX;
    m_dStartY = place.dY;
    m_bAnimReq = m_nAnimReq = 0;
    m_dKnockX = m_dKnockY = 0;
    m_bKnocked = 0;
    m_dLastKnockY = 0;
    m_bNoGravity = 0;
    m_nLastSide = -1;
    m_bAirborne = 1;
    m_bJumpTop = m_bJumping = m_bJumpHold = 0;
    m_nAirSteps = 0;
    m_nGroundCell = m_nLastGroundCell = -1;
    m_nLockFrames = 0;
    m_bDead = m_nDeadFrames = 0;
    m_bHitLeft = m_bHitRight = m_bHitTop = m_bHitBottom = 0;
    m_bPushed = 0;
    m_bRiding = 0;
    m_nRideId = 0;
    m_Ride.Reset();
    m_dRideX = m_dRideY = 0;
    m_SavedPos = SAVEDPOS();

    m_nHp = m_nSp = 0;
    m_HpGauge = GAUGE();
    m_SpGauge = GAUGE();
    m_vecVar.assign(9, 0);

    if (place.pData) {
        m_Data = *place.pData;
        m_nHp = m_Data.m_nMaxHp;
        m_nSp = m_Data.m_nMaxSp;
    }
    m_bScrollSync = m_Data.m_bScrollSync;
    m_nSightDots = HblToDot(static_cast<int8_t>(m_Data.m_nSight));
    m_dStopDecel = SpeedToStep(m_Data.m_nStop);
    m_dCmdDecel = m_dStopDecel;
    m_bVanish = 0;
    m_CharaEffect = cCharaEffectRun();
    if (m_Data.m_nStartEffect != 0)
        m_CharaEffect.Start(m_Data.m_nStartEffect, m_Data.m_nStartEffectSrc, m_Data.m_nStartEffectValue);
    m_nInvTime = 0;
    m_lstInvAgainst.clear();
    ChangeAnimSet(m_Data.m_nAnimSet, 1);
    m_lstAnimeQueue.clear();
    m_bNotifyParent = m_nNotifyFlowId = 0;
}

void cCharaBase::SetHitBoxSize(int bBottom, int w, int h) {
    int x = 16 - m_nBaseBoxX - w / 2;
    int y = bBottom ? 32 - m_nBaseBoxY - h : 16 - m_nBaseBoxY - h / 2;
    m_HitBox1.SetBase(x, y, w, h);
}

void cCharaBase::SetBlockX(int nCol) {
    const cPlayScene* pScene = GetPlayScene();
    int nOrigin = pScene ? pScene->m_ScrollX.m_nCellOrigin : 0;
    m_dX = static_cast<double>(static_cast<int64_t>(nCol) + nOrigin) * 32 + m_nBaseBoxX + 0.5;
    int nGiant = m_Data.m_nGiant;
    if (nGiant != 1) {
        m_dX -= static_cast<double>(nGiant - 1) * (m_nBaseWidth / 2);
        ClampPosX(2);
    }
    ClampX();
}

void cCharaBase::SetBlockY(int nRow, int bFlag) {
    const cPlayScene* pScene = GetPlayScene();
    int nOrigin = pScene ? pScene->m_ScrollY.m_nCellOrigin : 0;
    m_dY = static_cast<double>(static_cast<int64_t>(nRow) + nOrigin) * 32 + m_nBaseBoxY;
    AdjustScalePos(m_Data.m_nGiant, 1, bFlag);
    ClampY();
}

void cCharaBase::SetBlockPos(int nCol, int nRow, int bFlag) {
    SetBlockX(nCol);
    SetBlockY(nRow, bFlag);
}

void cCharaBase::AdjustScalePos(int nNew, int nOld, int bFlag) {
    if (nNew == nOld) return;
    int d = nNew - nOld;
    const cSystemData* pSys = PlayCtx().lpSystem;
    bool bFootBox = pSys && pSys->m_bRuleScaleFootBox;
    bool bFootColl = pSys && pSys->m_bRuleScaleFootCollision;
    bool bBoxForm = (bFootBox && !bFootColl) || (!bFootBox && bFlag);
    if (bBoxForm) m_dY = m_dY - static_cast<double>(d) * m_nBaseFrameH + static_cast<double>(d) * m_nBaseBoxY;
    else m_dY -= static_cast<double>(d) * m_nBaseHeight;
    ClampY();
}

void cCharaBase::SetCenter(int x, int y) {
    SetCenterX(x);
    SetCenterY(y);
}
void cCharaBase::ArriveAt(int x, int y, MOVERUN* pMoveRun) {
    SetCenter(x, y);
    if (pMoveRun) *pMoveRun = MOVERUN();
}
void cCharaBase::SetCenterX(int x) {
    int nCenter = m_rcScreen.left + (m_rcScreen.right - m_rcScreen.left + 1) / 2;
    m_dX += static_cast<double>(x) - nCenter;
    ClampX();
}
void cCharaBase::ArriveAtX(int x, MOVERUN* pMoveRun) {
    SetCenterX(x);
    if (pMoveRun) *pMoveRun = MOVERUN();
}
void cCharaBase::SetCenterY(int y) {
    int nCenter = m_rcScreen.top + (m_rcScreen.bottom - m_rcScreen.top + 1) / 2;
    m_dY += static_cast<double>(y) - nCenter;
    ClampY();
}
void cCharaBase::ArriveAtY(int y, MOVERUN* pMoveRun) {
    SetCenterY(y);
    if (pMoveRun) *pMoveRun = MOVERUN();
}

void cCharaBase::InitLinks(cCharaBase* pParent) {
    auto AddLink = [this](cCharaBase* pTo, int nSlot) {
        CHARALINK link{cObjRef(this), nSlot};
        if (std::find(pTo->m_vecLink.begin(), pTo->m_vecLink.end(), link) == pTo->m_vecLink.end())
            pTo->m_vecLink.push_back(link);
    };
    m_vecTarget.resize(4);
    if (!vecPlayer().empty() && vecPlayer()[0]) {
        cHero* pHero = vecPlayer()[0].get();
        m_vecTarget[0] = cObjRef(pHero);
        AddLink(pHero, 0);
    }
    m_lpParent = cObjRef(pParent);
    if (pParent) AddLink(pParent, 4);
}

void cCharaBase::ChangeAnimSet(int nSet, int bForce) {
    if (nSet == m_Data.m_nAnimSet && !bForce) return;
    m_Data.m_nAnimSet = static_cast<int16_t>(nSet);
    m_Anim.m_vPattern.clear();
    const cDatabase* pDb = PlayCtx().lpDatabase;
    if (pDb && !pDb->m_vAnimeSet.empty()) {
        // A set number with bit 15 set or past the list is logged with the
        // number, the list's size and the set record's stored size, and
        // plays set 0.
        const int nCount = static_cast<int>(pDb->m_vAnimeSet.size());
        const int nIndex = m_Data.m_nAnimSet;
        const bool bBad = (nIndex & 0x8000) || nIndex < 0 || nIndex >= nCount;
        if (bBad) ReportCheckedAccessError('V', nIndex, nCount, ANIMSET_RECORD_SIZE);
        const cAnimeSet& set = pDb->m_vAnimeSet[bBad ? 0 : nIndex];
        for (const cAnime& anime : set.m_vAnime) {
            cChkVector<ANIMSTEP> steps;
            for (const cAnimeFrame& f : anime.m_vFrame) {
                int64_t t = static_cast<int64_t>(f.m_nTime) * 6;
                steps.push_back(ANIMSTEP{f.m_nCell, static_cast<int>(std::clamp<int64_t>(t, 0, INT32_MAX)), 1});
            }
            steps.push_back(ANIMSTEP{ANIMCODE_RESTART, 0, 1});
            m_Anim.m_vPattern.push_back(steps);
        }
    }
    m_Anim.m_nPattern = 0;
    m_Anim.m_nStep = 0;
    m_Anim.m_nCount = 0;
}

void cCharaBase::SetDrawSource(DRAWSOURCE* p, int nType, int nKind, int n, int nRow, const cObj* pChara,
                               int nFrame) {
    *p = DRAWSOURCE();
    if (n < 0) return;
    bool bLeft = nType == 1 && pChara && pChara->m_nDir == 0;
    switch (nKind) {
    case 0:
        p->nSurface = p->nMirror = SLOT_BLOCK;
        p->nSurfaceVar = p->nMirrorVar = SLOT_BLOCK_VAR;
        p->nSrcX = (n / 15) * 32;
        p->nSrcY = (n % 15) * 32;
        break;
    case 1: {
        int nSheet = n / 15;
        if (nSheet >= CHARA_SHEETS) return;   // no such sheet: nothing drawn
        p->nSurface = SLOT_CHARA + 2 * nSheet;
        p->nMirror = p->nSurface + 1;
        p->nSurfaceVar = SLOT_CHARA_VAR + 2 * nSheet;
        p->nMirrorVar = p->nSurfaceVar + 1;
        p->nSrcY = (n % 15) * 32;
        int nTest = p->nSurface;
        if (nType == 1) {
            p->nSrcX = static_cast<int>(std::clamp<int64_t>((static_cast<int64_t>(nRow) + nFrame) * 32, INT32_MIN,
                                                            INT32_MAX));
            if (bLeft) nTest = p->nMirror;
        } else if (nFrame < 20) {
            p->nSrcX = nFrame * 32;
        } else {
            p->nSrcX = (nFrame - 20) * 32;
            std::swap(p->nSurface, p->nMirror);
            std::swap(p->nSurfaceVar, p->nMirrorVar);
            nTest = p->nSurface;
        }
        if (p->nSrcX < 0 || p->nSrcX >= SheetWidth(nTest) || p->nSrcY >= SheetHeight(nTest)) {
            // Outside the sheet: the first sheet's first cell.
            p->nSurface = SLOT_CHARA;
            p->nMirror = SLOT_CHARA + 1;
            p->nSurfaceVar = SLOT_CHARA_VAR;
            p->nMirrorVar = SLOT_CHARA_VAR + 1;
            p->nSrcX = p->nSrcY = 0;
        }
        break;
    }
    case 2:
        p->nSurface = p->nMirror = SLOT_ITEM;
        p->nSurfaceVar = p->nMirrorVar = SLOT_ITEM_VAR;
        p->nSrcX = (n / 15) * 64 + (nType == 2 ? nFrame * 32 : 0);
        p->nSrcY = (n % 15) * 32;
        break;
    case 3:
        p->nSurface = SLOT_SHEET30;
        p->nMirror = SLOT_SHEET30 + 1;
        p->nSurfaceVar = SLOT_SHEET30_VAR;
        p->nMirrorVar = SLOT_SHEET30_VAR + 1;
        p->nSrcX = (n / 30) * 64;
        p->nSrcY = (n % 30) * 32;
        break;
    case 4: {
        // Dedicated bitmap n is list entry n (entry 0 is never loaded): surfaces 4n-4 .. 4n-1.
        const cDatabase* pDb = PlayCtx().lpDatabase;
        if (!pDb || n < 1 || n >= static_cast<int>(pDb->m_vBmpCharaExc.size())) return;
        const cBmpCharaExc& bmp = pDb->m_vBmpCharaExc[n];
        p->bDedicated = 1;
        p->nSurface = 4 * n - 4;
        p->nSurfaceVar = 4 * n - 3;
        p->nMirror = 4 * n - 2;
        p->nMirrorVar = 4 * n - 1;
        int64_t nCell = nRow;
        if (nType == 1) nCell += nFrame;
        nCell = std::clamp<int64_t>(nCell, 0, INT32_MAX);
        if (bmp.m_bLargeCells) {
            p->bNative = 1;
            p->nScale = bmp.GetCellSize() / 32;
        }
        bmp.GetCellPos(static_cast<int>(nCell), &p->nSrcX, &p->nSrcY);
        break;
    }
    default:
        return;
    }
    if (bLeft && (nKind == 1 || nKind == 3 || nKind == 4)) {
        std::swap(p->nSurface, p->nMirror);
        std::swap(p->nSurfaceVar, p->nMirrorVar);
    }
    ChoosePair(p);
    p->bValid = 1;
}

double cCharaBase::JumpSpeed(int h) const {
    const cStage* pStage = PlayCtx().lpStage;
    double g = pStage ? pStage->m_dGravityStep : 0;
    if (!std::isfinite(g) || g < 0) g = 0;
    double H = 16.0 * std::max(h, 0);
    double v = (-g - std::sqrt(g * (g + 8 * H))) * 0.5;
    const cSystemData* pSys = PlayCtx().lpSystem;
    if (pSys && pSys->m_bRuleGravityJump && IsHero() && pStage) v *= 0.99 - 0.025 * pStage->m_dGravity;
    return std::isfinite(v) ? v : 0;
}

int cCharaBase::JumpFrames(int h) const {
    const cStage* pStage = PlayCtx().lpStage;
    double g = pStage ? pStage->m_dGravityStep : 0;
    // Without gravity the rise never ends: the shortest jump.
    if (!std::isfinite(g) || g <= 0) return 1;
    int b = StageSubSteps();
    double t = std::floor(b - JumpSpeed(h) / g);
    int64_t n = std::isfinite(t) ? static_cast<int64_t>(std::clamp(t, -1e15, 1e15)) : 0;
    n = n / b / 6 + 1;
    return static_cast<int>(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
}
