// Conditions of blocks, characters, items and flows, and the activity pass
// that once per logic step says which objects take part and which are on
// the screen.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "play/Chara.h"
#include "play/Conditions.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/MapCell.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/Prefetch.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "stage/StageContext.h"

namespace {

constexpr int REPLAY_VER_NO_DISTANCE_REFRESH = 781;

}  // namespace

int CompareOp(int64_t a, int64_t b, int nOp) {
    switch (nOp) {
    case 0: return a == b;
    case 1: return a != b;
    case 2: return a >= b;
    case 3: return a <= b;
    case 4: return a > b;
    case 5: return a < b;
    case 6: return b == 0 || std::llabs(a) % b == 0;
    case 7: return b != 0 && std::llabs(a) % b != 0;
    default: return 0;
    }
}

int CharaVar(const cCharaBase* pChara, int n) {
    if (!pChara || pChara->m_vecVar.empty()) return 0;
    if (n < 0 || static_cast<size_t>(n) >= pChara->m_vecVar.size()) {
        ReportCheckedAccessError('V', n, static_cast<int>(pChara->m_vecVar.size()), 4);
        return pChara->m_vecVar[0];
    }
    return pChara->m_vecVar[n];
}

namespace {

int CommonVar(int n) {
    cProgress* p = PlayCtx().lpProgress;
    return p ? p->m_vCommonVar.At(n) : 0;
}

int StageVar(int n) {
    cPlayScene* p = GetPlayScene();
    if (!p || p->m_vecStageVar.empty()) return 0;
    if (n < 0 || static_cast<size_t>(n) >= p->m_vecStageVar.size()) {
        ReportCheckedAccessError('V', n, static_cast<int>(p->m_vecStageVar.size()), 4);
        return p->m_vecStageVar[0];
    }
    return p->m_vecStageVar[n];
}

// The subject of a character condition: 0 itself, 1-4 its targets (null
// when missing or gone).
cCharaBase* Subject(cCharaBase* pChara, int nSubject) {
    if (nSubject == 0) return pChara;
    if (nSubject >= 1 && nSubject <= 4 && static_cast<size_t>(nSubject) <= pChara->m_vecTarget.size())
        return pChara->m_vecTarget[nSubject - 1].GetAs<cCharaBase>();
    return nullptr;
}

cHero* FirstHero() {
    auto& v = vecPlayer();
    return v.empty() ? nullptr : v[0].get();
}

// The screen box of another object brought up to date.
void RefreshScreenRect(cCharaBase* p) {
    if (p->IsHero()) static_cast<cHero*>(p)->UpdateScreenRect();
    else p->UpdateScreenRect();
}

}  // namespace

int CheckStatusFlagCond(const cCond& cond, cCharaBase* pChara) {
    int64_t v;
    if (cond.m_nSubject == 5) {
        const cStage* pStage = PlayCtx().lpStage;
        if (!pStage) return 0;
        if (cond.m_nStatus == 0) v = pStage->m_nScrollModeX;
        else if (cond.m_nStatus == 1) v = pStage->m_nScrollModeY;
        else return 0;
    } else {
        cCharaBase* p = Subject(pChara, cond.m_nSubject);
        if (!p) return 0;
        const cCharaData& d = p->m_Data;
        switch (cond.m_nStatus) {
        case 1: v = d.m_bTrans; break;
        case 2: v = d.m_bFixDir; break;
        case 3: v = d.m_nFlight; break;
        case 4: v = d.m_nInvincible; break;
        case 5: v = d.m_nGiant; break;
        case 6: v = d.m_bScrollSync; break;
        default: return 0;
        }
    }
    return CompareOp(v, cond.m_nVarNum, cond.m_nCompare);
}

int CheckStateCond(const cCond& cond, cCharaBase* pChara) {
    bool bTargetSubject = cond.m_nSubject >= 1 && cond.m_nSubject <= 4;
    cCharaBase* p = Subject(pChara, cond.m_nSubject);
    bool bHolds;
    if (cond.m_nStatus == 4) {
        // Whether the target is there and alive; for other subjects true.
        bHolds = bTargetSubject ? (p && !p->m_bDead) : true;
    } else {
        if (!p) return 0;   // a missing subject makes the condition false
        switch (cond.m_nStatus) {
        case 0: bHolds = p->m_nDir == 0; break;
        case 1: bHolds = p->m_nDir != 0; break;
        case 2:
            if (p->m_bFlight) bHolds = false;
            else if (p->m_bRiding) bHolds = true;
            else bHolds = !p->m_bJumping && !p->m_bAirborne;
            break;
        case 3: bHolds = p->IsHero() ? p->IsOnScreen() != 0 : p->m_bOnScreen != 0; break;
        default: return 0;
        }
    }
    if (cond.m_nCompare == 1) bHolds = !bHolds;
    return bHolds ? 1 : 0;
}

int DistanceRange(const cCond& cond) {
    int64_t nRange64 = static_cast<int64_t>(cond.m_nValue) * 16 + cond.m_nSrcVarNum;
    return static_cast<int>(std::clamp<int64_t>(nRange64, -(int64_t{1} << 30), int64_t{1} << 30));
}

bool DistanceSpan(const cCond& cond, const cCharaBase* pChara, JUDGESPAN* pRec) {
    const int nShape = cond.m_nShape;
    if (nShape > 5) return false;
    const int nRange = DistanceRange(cond);
    const bool bRight = pChara->m_nDir != 0;
    const bool bVertical = nShape >= 3;
    const int nSub = nShape % 3;   // 0 both sides, 1 in front, 2 behind
    int nBefore = nRange, nAfter = nRange;
    if (nSub == 1) {
        nBefore = bRight ? 0 : nRange;
        nAfter = bRight ? nRange : 0;
    } else if (nSub == 2) {
        nBefore = bRight ? nRange : 0;
        nAfter = bRight ? 0 : nRange;
    }
    const OBJRECT& me = pChara->m_rcScreen;
    JUDGESPAN& rec = *pRec;
    rec = JUDGESPAN();
    rec.nReachBefore = nBefore;
    rec.nReachAfter = nAfter;
    rec.nMode = nSub;
    if (bVertical) {
        rec.nStart = me.top;
        rec.nLength = me.bottom - me.top + 1;
        // A box standing on its frame's bottom keeps its far end there.
        rec.bSizeCheck = 1;
    } else {
        rec.nStart = me.left;
        rec.nLength = me.right - me.left + 1;
    }
    return true;
}

void DistanceCentreOffset(const cCharaBase* p, int* pX, int* pY) {
    *pX = p->m_nWidth / 2;
    *pY = p->m_nHeight / 2;
}

int CheckDistanceCond(const cCond& cond, cCharaBase* pChara) {
    cCharaBase* pOther = cond.m_nSubject == 0 ? FirstHero() : Subject(pChara, cond.m_nSubject);
    if (!pOther) return 0;
    const int nRange = DistanceRange(cond);
    const cSystemData* pSys = PlayCtx().lpSystem;
    // The other's screen box is brought up to date first, unless the system
    // rule says not to or a replay recorded with data version 781 or older
    // plays back (it was recorded without the refresh).
    const int nReplayVer = GetStageContext().ReplayPlaybackVersion();
    const bool bOldReplay = nReplayVer > 0 && nReplayVer <= REPLAY_VER_NO_DISTANCE_REFRESH;
    if (!(pSys && pSys->m_bRuleDistanceNoRefresh) && !bOldReplay) RefreshScreenRect(pOther);
    const OBJRECT& ot = pOther->m_rcScreen;
    bool bWithin;
    JUDGESPAN rec;
    if (DistanceSpan(cond, pChara, &rec)) {
        rec.pTarget = pOther;
        if (cond.m_nShape >= 3) {
            rec.nTargetStart = ot.top;
            rec.nTargetEnd = ot.bottom;
            rec.nTargetOffset = pOther->m_nBoxY;
        } else {
            rec.nTargetStart = ot.left;
            rec.nTargetEnd = ot.right;
            rec.nTargetOffset = pOther->m_nBoxX;
        }
        bWithin = pChara->JudgeSpan(rec) != 0;
    } else if (cond.m_nShape == 6) {
        int ax0, ay0, bx0, by0;
        DistanceCentreOffset(pChara, &ax0, &ay0);
        DistanceCentreOffset(pOther, &bx0, &by0);
        double ax = pChara->m_dX + ax0, ay = pChara->m_dY + ay0;
        double bx = pOther->m_dX + bx0, by = pOther->m_dY + by0;
        double d = std::hypot(ax - bx, ay - by);
        bWithin = std::isfinite(d) && d <= nRange;
    } else {
        return 0;
    }
    if (cond.m_nCompare == 1) bWithin = !bWithin;
    return bWithin ? 1 : 0;
}

int CheckCond(const cCond& cond, cCharaBase* pChara) {
    switch (cond.m_nKind) {
    case COND_COMMON_VAR: return CompareOp(CommonVar(cond.m_nVarNum), cond.m_nValue, cond.m_nCompare);
    case COND_STAGE_VAR: return CompareOp(StageVar(cond.m_nVarNum), cond.m_nValue, cond.m_nCompare);
    case COND_CHARA_VAR:
        if (!pChara) return 0;
        return CompareOp(CharaVar(pChara, cond.m_nVarNum), cond.m_nValue, cond.m_nCompare);
    case COND_STATUS: return pChara ? CondCheck_Status(cond, pChara) : 0;
    case COND_STATUS2: return pChara ? CheckStatusFlagCond(cond, pChara) : 0;
    case COND_STATUS3: return pChara ? CheckStateCond(cond, pChara) : 0;
    case COND_DISTANCE: return pChara ? CheckDistanceCond(cond, pChara) : 0;
    default: return 0;
    }
}

int CheckCondList(const cChkVector<cCond>& list, int nMode, cCharaBase* pChara) {
    if (nMode == 0) {
        for (const cCond& c : list)
            if (!CheckCond(c, pChara)) return 0;
        return 1;
    }
    if (nMode == 1) {
        for (const cCond& c : list)
            if (CheckCond(c, pChara)) return 1;
        return 0;
    }
    return 0;
}

static int CheckOwnerCond(const cChkVector<cCond>& list, int nMode, int bOnce, uint8_t* pLatch, cCharaBase* pRef) {
    if (list.empty()) return 1;
    if (bOnce && *pLatch) return 1;
    if (!CheckCondList(list, nMode, pRef)) return 0;
    *pLatch = 1;
    return 1;
}

int CheckBlockCond(cMapCell& cell) {
    return CheckOwnerCond(cell.m_vCond, cell.m_nCondMode, cell.m_bCondOnce, &cell.m_bCondLatch, FirstHero());
}

int CheckCharaCond(cCharaBase* pChara) {
    const cCharaData& d = pChara->m_Data;
    return CheckOwnerCond(d.m_vCond, d.m_nCondMode, d.m_bCondOnce, &pChara->m_bCondLatch, pChara);
}

int CheckItemCond(cItem* pItem) {
    const cItemData& d = pItem->m_Item;
    return CheckOwnerCond(d.m_vCond, d.m_nCondMode, d.m_bCondOnce, &pItem->m_bCondLatch, FirstHero());
}

int CheckFlowCond(cFlowRun& run, cCharaBase* pChara) {
    const cFlow* pFlow = run.m_lpFlow;
    if (!pFlow) return 0;
    uint8_t nLatch = run.m_bCondOnceDone ? 1 : 0;
    int r = CheckOwnerCond(pFlow->m_vCond, pFlow->m_nCondMode, pFlow->m_bCondOnce, &nLatch, pChara);
    run.m_bCondOnceDone = nLatch;
    return r;
}

void cPlayScene::UpdateActivity() {
    cHero* pHero = FirstHero();
    if (pHero) {
        pHero->m_bActive = 1;
        pHero->m_bOnScreen = 1;
        pHero->m_bActing = 1;
    }
    std::fill(m_vecLinkActive.begin(), m_vecLinkActive.end(), 0);
    // The pass moves no camera: it is read once.
    const cScroll& sx = PlayScrollX();
    const cScroll& sy = PlayScrollY();
    const double cx = sx.m_dCam, cy = sy.m_dCam;
    cObjList<cChara>& lst = lstChara();
    for (auto it = lst.begin(); it != lst.end(); ++it) {
        PrefetchAhead(it, lst.end(), [](const cChara* n) { PrefetchAt(&n->m_Data.m_vCond, &n->m_dX, &n->m_bInRange); });
        cChara* c = it->get();
        if (CheckCharaCond(c)) {
            c->m_bActive = 1;
            c->m_bOnScreen = c->IsOnScreenAt(cx, cy);
            c->m_bInRange = 0;
            c->CheckActivity(m_vecLinkActive, cx, cy);
        } else {
            c->m_bActive = 0;
            c->m_bOnScreen = 0;
            c->m_bInRange = 0;
        }
    }
    for (auto it = lst.begin(); it != lst.end(); ++it) {
        PrefetchAhead(it, lst.end(), [](const cChara* n) {
            PrefetchAt(&n->m_bInRange, &n->m_Data.m_bLinked, &n->m_bJumping, &n->m_bActing);
        });
        cChara* c = it->get();
        c->m_bActing = c->m_bActive && c->IsAwake(m_vecLinkActive, sx, sy) ? 1 : 0;
    }
    for (auto& p : lstItem()) {
        cItem* pItem = p.get();
        if (CheckItemCond(pItem)) {
            pItem->m_bActive = 1;
            pItem->m_bOnScreen = pItem->IsOnScreenAt(cx, cy);
        } else {
            pItem->m_bActive = 0;
            pItem->m_bOnScreen = 0;
        }
    }
    for (auto it = m_lstShot.begin(), itEnd = m_lstShot.end(); it != itEnd; ++it) {
        PrefetchAhead(it, itEnd,
                      [](const cShot* n) { PrefetchAt(&n->m_dX, &n->m_dBottom, &n->m_bActive, &n->m_bOnScreen); });
        cShot* p = it->get();
        p->m_bActive = 1;
        p->m_bOnScreen = p->IsOnScreenAt(cx, cy);
    }
}
