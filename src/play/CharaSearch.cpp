// Moves toward a point, wave steps and the searches for characters.
#include "play/CharaSearch.h"

#include <cmath>

#include "play/CharaBase.h"
#include "play/Conditions.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {

bool ScrollAddsToMoves() {
    const cSystemData* p = PlayCtx().lpSystem;
    return p && p->m_bScrollAddsToMoves;
}

double StepFactor() {
    const cStage* p = PlayCtx().lpStage;
    return p && p->m_dStepFactor > 0 ? p->m_dStepFactor : 1;
}

int DirOf(double vx) { return vx > 0 ? 2 : vx < 0 ? 1 : 0; }

constexpr double DEG = 0.017453292519943295;

}  // namespace

double PerSecToStep(double v) { return v / StepFactor() * 0.016666666666666666; }

void GetFrameCenter(const cObj* p, int* pX, int* pY) {
    *pX = p->m_rcScreen.left + (p->m_rcScreen.right - p->m_rcScreen.left + 1) / 2;
    *pY = p->m_rcScreen.top + (p->m_rcScreen.bottom - p->m_rcScreen.top + 1) / 2;
}

int SolveMove(double* pVx, double* pVy, int* pDir, const cObj* pMover, double x0, double y0, double x1, double y1,
              double dSpeed, int bSyncFlag, int bAnySign, int bArriveCheck) {
    *pVx = *pVy = 0;
    double Qx = AutoScrollSpeed(0), Qy = AutoScrollSpeed(1);
    bool bAdds = ScrollAddsToMoves();
    if (!std::isfinite(dSpeed)) dSpeed = 0;
    if (!bAnySign && dSpeed < 0) {
        double t = -dSpeed * INV_SQRT2;
        *pVx = x0 < x1 ? -t : t;
        *pVy = y0 < y1 ? -t : t;
        *pDir = DirOf(*pVx);
        if (bAdds) {
            *pVx += Qx;
            *pVy += Qy;
        } else if (pMover && (pMover->m_bScrollSync != 0) != (bSyncFlag != 0)) {
            *pVx -= Qx;
            *pVy -= Qy;
        }
        return 0;
    }
    double dx = x1 - x0, dy = y1 - y0;
    double dist = std::sqrt(dx * dx + dy * dy);
    if (dist == 0 || !std::isfinite(dist)) dist = 1;
    *pVx = dSpeed * dx / dist;
    *pVy = dSpeed * dy / dist;
    if (bAdds) {
        *pVx += Qx;
        *pVy += Qy;
    } else if (pMover) {
        if (!pMover->m_bScrollSync) {
            *pVx -= Qx;
            *pVy -= Qy;
        } else if (!bSyncFlag && (Qx != 0 || Qy != 0)) {
            // The step relative to the scrolling view must point at the target.
            double U = std::sqrt(*pVx * *pVx + *pVy * *pVy);
            bool bVert = std::fabs(dy) >= std::fabs(dx);
            // Solve on the axis of the larger distance (a = that axis).
            double da = bVert ? dy : dx, db = bVert ? dx : dy;
            double Qa = bVert ? Qy : Qx, Qb = bVert ? Qx : Qy;
            double a0 = bVert ? y0 : x0, a1 = bVert ? y1 : x1;
            double P = db * db, D = da * da;
            if (D == 0) return 0;
            double W = P / D + 1;
            double Y = (2 * Qa * P - 2 * db * da * Qb) / D;
            double R = P * Qa * Qa + D * Qb * Qb - 2 * db * da * Qa * Qb;
            double disc = Y * Y - 4 * W * (R / D - U * U);
            if (W == 0 || disc < 0 || !std::isfinite(disc)) return 0;
            // The root whose step runs toward the target: the larger one
            // going forward on the axis, the smaller one going backward
            // (the larger one there would move faster than asked).
            double va = std::fabs((Y + (da < 0 ? -1 : 1) * std::sqrt(disc)) / (2 * W));
            if (da < 0) va = -va;
            if (Qa - va == 0) return 0;
            double k = (a0 - a1) / (Qa - va);
            if (k == 0 || !std::isfinite(k)) return 0;
            double vb = (db + k * Qb) / k;
            if (!std::isfinite(va) || !std::isfinite(vb)) return 0;
            *pVx = bVert ? vb : va;
            *pVy = bVert ? va : vb;
        }
    }
    *pDir = DirOf(*pVx);
    if (bArriveCheck && std::fabs(dx) <= std::fabs(dSpeed) && std::fabs(dy) <= std::fabs(dSpeed)) return 1;
    return 0;
}

int cObj::CalcMoveX(double* pVx, double* pVy, int* pDir, const cObj* pMover, double x0, double x1, double dSpeed,
                    int bSyncFlag, int bArriveCheck) {
    if (!std::isfinite(dSpeed)) dSpeed = 0;
    if (x0 >= x1) {
        *pDir = 1;
        *pVx = -dSpeed;
    } else {
        *pDir = 2;
        *pVx = dSpeed;
    }
    if (!bSyncFlag && pMover && pMover->m_bScrollSync && ScrollAddsToMoves()) *pVx += AutoScrollSpeed(0);
    *pVy = 0;
    return bArriveCheck && std::fabs(dSpeed) > std::fabs(x0 - x1) ? 1 : 0;
}

int cObj::CalcMoveY(double* pVx, double* pVy, int* pDir, const cObj* pMover, double y0, double y1, double dSpeed,
                    int bSyncFlag, int bArriveCheck) {
    if (!std::isfinite(dSpeed)) dSpeed = 0;
    *pVy = y0 >= y1 ? -dSpeed : dSpeed;
    if (!bSyncFlag && pMover && pMover->m_bScrollSync && ScrollAddsToMoves()) *pVy += AutoScrollSpeed(1);
    *pVx = 0;
    *pDir = 0;
    return bArriveCheck && std::fabs(dSpeed) > std::fabs(y0 - y1) ? 1 : 0;
}

namespace {

bool ArrivalSwitch(const cCmdRun* pRun, bool* pNoRefresh) {
    const cEdMove* pMove = pRun && pRun->m_lpCmd ? pRun->m_lpCmd->m_pMove.get() : nullptr;
    *pNoRefresh = pMove && pMove->m_bMoveOption;
    return pMove && pMove->m_bStopAtTarget;
}

}  // namespace

int cObj::MoveToward(cCmdRun* pRun, const cObj* pMover, int x1, int y1, int bSyncFlag, int bArriveCheck) {
    if (!pRun) return 0;
    int x0, y0;
    GetFrameCenter(this, &x0, &y0);
    // A solve that gives up keeps the run's direction code.
    int nDir = pRun->m_nFaceReq;
    int bArrived = SolveMove(&pRun->m_Move.dVX, &pRun->m_Move.dVY, &nDir, pMover, x0, y0, x1, y1,
                             pRun->m_Move.dSpeed, bSyncFlag, 0, bArriveCheck);
    pRun->m_nFaceReq = nDir;
    if (!bArrived) return 0;
    bool bNoRefresh;
    if (!ArrivalSwitch(pRun, &bNoRefresh)) return 1;
    if (!bNoRefresh) {
        UpdateScreenRect();
        if (pMover && pMover != this) const_cast<cObj*>(pMover)->UpdateScreenRect();
    }
    ArriveAt(x1, y1, &pRun->m_Move);
    return 1;
}

int cObj::MoveTowardX(cCmdRun* pRun, const cObj* pMover, int x1, int bSyncFlag, int bArriveCheck) {
    if (!pRun) return 0;
    int x0, y0;
    GetFrameCenter(this, &x0, &y0);
    int nDir = 0;
    int bArrived = CalcMoveX(&pRun->m_Move.dVX, &pRun->m_Move.dVY, &nDir, pMover, x0, x1, pRun->m_Move.dSpeed,
                             bSyncFlag, bArriveCheck);
    pRun->m_nFaceReq = nDir;
    if (!bArrived) return 0;
    bool bNoRefresh;
    if (!ArrivalSwitch(pRun, &bNoRefresh)) return 1;
    if (!bNoRefresh) UpdateScreenRect();
    ArriveAtX(x1, &pRun->m_Move);
    return 1;
}

int cObj::MoveTowardY(cCmdRun* pRun, const cObj* pMover, int y1, int bSyncFlag, int bArriveCheck) {
    if (!pRun) return 0;
    int x0, y0;
    GetFrameCenter(this, &x0, &y0);
    int nDir = 0;
    int bArrived = CalcMoveY(&pRun->m_Move.dVX, &pRun->m_Move.dVY, &nDir, pMover, y0, y1, pRun->m_Move.dSpeed,
                             bSyncFlag, bArriveCheck);
    if (!bArrived) return 0;
    bool bNoRefresh;
    if (!ArrivalSwitch(pRun, &bNoRefresh)) return 1;
    if (!bNoRefresh) UpdateScreenRect();
    ArriveAtY(y1, &pRun->m_Move);
    return 1;
}

void cObj::GetMoveTarget(int* pX, int* pY, const cCmdRun* pRun) const {
    int cx, cy;
    GetFrameCenter(this, &cx, &cy);
    int ox = pRun ? pRun->m_nOfsX : 0, oy = pRun ? pRun->m_nOfsY : 0;
    const cEdMove* pMove = pRun && pRun->m_lpCmd ? pRun->m_lpCmd->m_pMove.get() : nullptr;
    if (pMove && pMove->m_bLockY) {
        *pX = cx + ox;
    } else if (pMove && pMove->m_bLockX) {
        *pY = cy + oy;
    } else {
        *pX = cx + ox;
        *pY = cy + oy;
    }
}

double StepWave(int nAmp, int nFreq, double* pAngle, double dStep, double dPhase) {
    double f = StepFactor();
    double theta = *pAngle;
    *pAngle += dStep;
    if (*pAngle >= 360 * f) *pAngle -= 360 * f;
    double w = nFreq * DEG;
    return nAmp * w * std::cos(w * (theta / f + dPhase)) / f;
}

double StepWaveAccel(int nAmp, int nFreq, double* pAngle, double dStep, double dPhase) {
    double f = StepFactor();
    double theta = *pAngle;
    *pAngle += dStep;
    if (*pAngle >= 360 * f) *pAngle -= 360 * f;
    double w = nFreq * DEG;
    return -nAmp * w * w * std::sin(w * (theta / f + dPhase)) / (f * f);
}

bool PassesCharaFilter(const cCharaBase* p, const CHARAFILTER& f) {
    if (!p || p->m_bDead) return false;
    if (f.bById && p->m_Data.m_nCharaId != f.nCharaId) return false;
    if (f.bExcludeSelf && p->m_nId == f.nSelfId) return false;
    if (f.bExcludeInv1 && p->m_Data.m_nInvincible == 1) return false;
    if (f.bExcludeInv2 && p->m_Data.m_nInvincible == 2) return false;
    if (f.bExcludeSolid && p->m_Data.m_bNoHitBox) return false;
    if (f.bByVar && !CompareOp(CharaVar(p, f.nVar), f.nValue, f.nOp)) return false;
    return true;
}

cCharaBase* FindCharaByCond(const CHARAGROUPLIST& list, const CHARAFILTER& f) {
    for (const cObjRef& ref : list) {
        cCharaBase* p = ref.GetAs<cCharaBase>();
        if (PassesCharaFilter(p, f)) return p;
    }
    return nullptr;
}

cCharaBase* FindChildByCond(const std::vector<CHARALINK>& pairs, int nKind, int nGroup, int bAnyGroup,
                            const CHARAFILTER& f) {
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it) {
        if (it->nSlot != nKind) continue;
        cCharaBase* p = it->Obj.GetAs<cCharaBase>();
        if (!p) continue;
        if (!bAnyGroup && p->m_nGroup != nGroup) continue;
        if (PassesCharaFilter(p, f)) return p;
    }
    return nullptr;
}

cCharaBase* FindNearestChara(int x, int y, const CHARAGROUPLIST& list, int nRange, const CHARAFILTER& f) {
    cCharaBase* pBest = nullptr;
    cCharaBase* pBestOn = nullptr;
    int64_t nBest = INT64_MAX, nBestOn = INT64_MAX;
    for (const cObjRef& ref : list) {
        cCharaBase* p = ref.GetAs<cCharaBase>();
        if (!p || !p->m_bActive || !PassesCharaFilter(p, f)) continue;
        int cx, cy;
        GetFrameCenter(p, &cx, &cy);
        int64_t d = std::llabs(static_cast<int64_t>(cx) - x) + std::llabs(static_cast<int64_t>(cy) - y);
        if (d < nBest) {
            nBest = d;
            pBest = p;
        }
        if (p->m_bOnScreen && d < nBestOn) {
            nBestOn = d;
            pBestOn = p;
        }
    }
    switch (nRange) {
    case 0: return pBestOn ? pBestOn : pBest;
    case 1: return pBest;
    case 2: return pBestOn;
    default: return nullptr;
    }
}

cCharaBase* cObj::FindNearestForMe(const std::list<cObjRef>& list) const {
    int x, y;
    GetFrameCenter(this, &x, &y);
    const cStage* pStage = PlayCtx().lpStage;
    CHARAFILTER f;
    f.bExcludeInv2 = 1;
    return FindNearestChara(x, y, list, pStage && pStage->m_bOnScreenOnly ? 2 : 0, f);
}
