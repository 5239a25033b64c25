// The movement commands: straight moves, the ground walk that turns back at
// ledges, the circle, the charge, the homing move, the move that keeps a
// character on the screen, the cancel of all motion, the change of facing
// and the jump. Each runs on every step of its command.
#include <algorithm>
#include <climits>
#include <cmath>

#include "flow/CmdDispatch.h"
#include "flow/DirVector.h"
#include "foundation/Saturate.h"
#include "play/CharaBase.h"
#include "play/CharaSearch.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/Flow.h"
#include "stage/MoveVocabulary.h"
#include "stage/Stage.h"

namespace {

constexpr double DEG = 0.017453292519943295;   // pi / 180
constexpr double RADIANS_TO_DEGREES = 57.29577951308232;

bool Flies(const cCharaBase* p) { return p->m_bFlight != 0; }
bool FacesRight(const cCharaBase* p) { return p->m_nDir != 0; }
bool FixedFacing(const cCharaBase* p) { return p->m_Data.m_bFixDir != 0; }
// The facing the character started with, its record's (commands mirror
// their angles and offsets for a character that started facing right).
bool StartsRight(const cCharaBase* p) { return p->m_Data.m_nDir != 0; }
int CopyValue(const cCharaBase* p) { return p->m_nCopyIndex; }

const cSystemData* Sys() { return CmdSystem(); }

int32_t ClampSteps(double d) {
    if (!(d >= 0)) return 0;
    if (d >= INT_MAX) return INT_MAX;
    return static_cast<int32_t>(d);
}

// The frame centre in map dots.
void CentreInMap(const cCharaBase* p, double* pX, double* pY) {
    int x, y;
    GetFrameCenter(p, &x, &y);
    cPlayScene* pScene = CmdScene();
    *pX = x + (pScene ? pScene->m_ScrollX.m_dCam : 0);
    *pY = y + (pScene ? pScene->m_ScrollY.m_dCam : 0);
}

// Front, back, front-Y, back-Y and the input direction resolved to one of
// the eight directions.
int ResolveMoveDir(int nDir, const cCharaBase* p, const cFlowRun* pFlow) {
    bool bRight = FacesRight(p);
    switch (nDir) {
    case DIR_FRONT: nDir = bRight ? DIR_RIGHT : DIR_LEFT; break;
    case DIR_BACK: nDir = bRight ? DIR_LEFT : DIR_RIGHT; break;
    case DIR_FRONT_Y: nDir = bRight ? DIR_DOWN : DIR_UP; break;
    case DIR_BACK_Y: nDir = bRight ? DIR_UP : DIR_DOWN; break;
    case DIR_INPUT: {
        static const int aInput[9] = {-1,       DIR_LEFT,      DIR_RIGHT,   DIR_UP,        DIR_DOWN,
                                      DIR_UP_LEFT, DIR_DOWN_LEFT, DIR_UP_RIGHT, DIR_DOWN_RIGHT};
        int n = pFlow ? pFlow->m_nInputDir : 0;
        nDir = n >= 1 && n <= 8 ? aInput[n] : (bRight ? DIR_RIGHT : DIR_LEFT);
        break;
    }
    default: break;
    }
    if (!Flies(p)) {
        if (nDir == DIR_UP_LEFT || nDir == DIR_DOWN_LEFT) nDir = DIR_LEFT;
        if (nDir == DIR_UP_RIGHT || nDir == DIR_DOWN_RIGHT) nDir = DIR_RIGHT;
    }
    return nDir;
}

// The horizontal side of a resolved direction: 1 left, 2 right, 0 none.
int SideOf(int nDir) {
    if (nDir == DIR_LEFT || nDir == DIR_UP_LEFT || nDir == DIR_DOWN_LEFT) return 1;
    if (nDir == DIR_RIGHT || nDir == DIR_UP_RIGHT || nDir == DIR_DOWN_RIGHT) return 2;
    return 0;
}

void DirToVelocity(const cCharaBase* p, int nDir, double s, double* pVx, double* pVy, int* pReq) {
    double vx, vy;
    DirVector(nDir, s, &vx, &vy);
    if (!Flies(p)) vy = 0;
    *pVx = vx;
    *pVy = vy;
    *pReq = FixedFacing(p) ? 0 : SideOf(nDir);
}

void AngleToVelocity(const cCharaBase* p, int nDir, double s, int nOffset, double* pVx, double* pVy, int* pReq) {
    int nBase;
    switch (nDir) {
    case DIR_LEFT: nBase = 0; break;
    case DIR_RIGHT: nBase = 180; break;
    case DIR_UP: nBase = 90; break;
    case DIR_DOWN: nBase = 270; break;
    case DIR_UP_LEFT: nBase = 45; break;
    case DIR_DOWN_LEFT: nBase = 315; break;
    case DIR_UP_RIGHT: nBase = 135; break;
    case DIR_DOWN_RIGHT: nBase = 225; break;
    default: *pVx = *pVy = 0; *pReq = 0; return;
    }
    double a = (nBase + nOffset) * DEG;
    *pVx = -std::cos(a) * s;
    *pVy = Flies(p) ? -std::sin(a) * s : 0;
    *pReq = FixedFacing(p) ? 0 : SideOf(nDir);
}

int CalcMoveAngle(const cCharaBase* p, const cEdMove& m) {
    int64_t a = m.m_nAngle + static_cast<int64_t>(m.m_nAngleInc) * CopyValue(p);
    if (m.m_bMirrorAngle && StartsRight(p)) a = 360 - a;
    a %= 360;
    if (a < 0) a += 360;
    return static_cast<int>(a);
}

void CalcMoveOffset(const cCharaBase* p, const cEdMove& m, cCmdRun* pRun) {
    int x = m.m_nTargetXDot + m.m_nTargetXBl * 32;
    int y = m.m_nTargetYDot + m.m_nTargetYBl * 32;
    if (StartsRight(p)) {
        if (m.m_bMirrorX) x = -x;
        if (m.m_bMirrorY) y = -y;
    }
    pRun->m_nOfsX = x;
    pRun->m_nOfsY = y;
}

void TargetToVelocity(const cCharaBase* p, const cEdMove& m, cCmdRun* pRun, double* pVx, double* pVy, int* pReq) {
    double cx, cy;
    CentreInMap(p, &cx, &cy);
    cPlayScene* pScene = CmdScene();
    double dx = 0, dy = 0;
    switch (m.m_nCoord) {
    case 0: dx = pRun->m_nOfsX + p->m_dStartX - cx; dy = pRun->m_nOfsY + p->m_dStartY - cy; break;
    case 1: dx = pRun->m_nOfsX; dy = pRun->m_nOfsY; break;
    case 2:
        dx = (pScene ? pScene->m_ScrollX.m_nCellOrigin : 10) * 32 + pRun->m_nOfsX + 16 - cx;
        dy = (pScene ? pScene->m_ScrollY.m_nCellOrigin : 10) * 32 + pRun->m_nOfsY + 16 - cy;
        break;
    case 3:
        dx = (pScene ? pScene->m_ScrollX.m_dCam : 0) + pRun->m_nOfsX + 16 - cx;
        dy = (pScene ? pScene->m_ScrollY.m_dCam : 0) + pRun->m_nOfsY + 16 - cy;
        break;
    default: break;
    }
    if (!m.m_bUseX) dx = 0;
    if (!m.m_bUseY) dy = 0;
    const double s = pRun->m_Move.dSpeed;
    double d = std::sqrt(dx * dx + dy * dy);
    double vx = 0, vy = 0;
    if (d != 0) {
        vx = m.m_bLockX ? 0 : dx / d * s;
        vy = m.m_bLockY ? 0 : dy / d * s;
    }
    int nReq = 0;
    if (!FixedFacing(p)) nReq = vx < -1e-8 ? 1 : vx > 1e-8 ? 2 : 0;
    if (m.m_bArrival && s != 0) {
        pRun->m_nLeft = ClampSteps(std::floor(std::fabs(d) / std::fabs(s)));
        if (pRun->m_nLeft < 1 && m.m_bStopAtTarget) {
            if (m.m_bUseX && !m.m_bLockX) {
                vx = 0;
                nReq = 0;
            }
            if (m.m_bUseY && !m.m_bLockY) vy = 0;
        }
    }
    *pVx = vx;
    *pVy = vy;
    *pReq = nReq;
}

// The velocity of a step goes to the character: its facing, its step or
// inertial speed and its moving or standing animation.
void ApplyMoveVelocity(cCharaBase* p, double vx, double vy, int nReq, const cCmdRun* pRun, const cEdMove& m,
                       bool bForce) {
    if (!m.m_bMoveOption && (!FixedFacing(p) || bForce)) {
        if (nReq == 1) p->m_nDir = 0;
        if (nReq == 2) p->m_nDir = 1;
    }
    if (m.m_bInertia) {
        const double dMax = std::fabs(pRun->m_Move.dSpeed2);
        auto Axis = [&](double v, double& dInertia, int32_t& bDecay) {
            double dChange = PerSecToStep(v);
            if ((v > 0 && dInertia < 0) || (v < 0 && dInertia > 0)) dChange *= m.m_dMoveFactor;
            else bDecay = 0;
            dInertia = std::clamp(dInertia + dChange, -dMax, dMax);
        };
        Axis(vx, p->m_dCmdVx, p->m_bCmdDecayX);
        Axis(vy, p->m_dCmdVy, p->m_bCmdDecayY);
    } else {
        p->m_dVx += vx;
        p->m_dVy += vy;
    }
    // The request flag holds the request's priority: moving 2, standing 1.
    int nPrio = 0, nPattern = 0;
    if (m.m_nAnimeKind == 0) {
        nPrio = 2;
        nPattern = Flies(p) ? 3 : 1;
    } else if (m.m_nAnimeKind == 1) {
        nPrio = 1;
        nPattern = Flies(p) ? 2 : 0;
    }
    if (nPrio && p->m_bAnimReq <= nPrio) {
        p->m_bAnimReq = nPrio;
        p->m_nAnimReq = nPattern;
    }
}

// Time from distance and speed, or speed from distance and time. A zero
// time or speed gives one step and no motion.
void CalcMoveTimeSpeed(cCmdRun* pRun, const cCharaBase* p, const cEdMove& m) {
    double D = m.m_nDist + static_cast<double>(m.m_nDistInc) * CopyValue(p);
    if (m.m_nDistUnit == 0) D *= 16;
    if (m.m_nTimeSpeed == 1) {
        if (pRun->m_nTime <= 0) {
            pRun->m_nTime = 1;
            pRun->m_Move.dSpeed = 0;
        } else {
            pRun->m_Move.dSpeed = D / pRun->m_nTime;
        }
    } else if (m.m_nTimeSpeed == 2) {
        const double s = pRun->m_Move.dSpeed;
        if (s == 0) {
            pRun->m_nTime = 1;
            return;
        }
        double t = std::trunc(D / s);
        const cSystemData* pSys = Sys();
        if (!(pSys && pSys->m_bRule695)) t = std::fabs(t);
        pRun->m_nTime = static_cast<int32_t>(std::clamp(t, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
    }
}

void MoveTowardByAxes(cCharaBase* p, cCmdRun* pRun, const cEdMove& m, int x, int y) {
    int bArrive = m.m_bArrival;
    if (!m.m_bLockX && !m.m_bLockY) p->MoveToward(pRun, p, x, y, 0, bArrive);
    else if (m.m_bLockY && !m.m_bLockX) p->MoveTowardX(pRun, p, x, 0, bArrive);
    else if (m.m_bLockX && !m.m_bLockY) p->MoveTowardY(pRun, p, y, 0, bArrive);
    else {
        pRun->m_Move.dVX = pRun->m_Move.dVY = 0;
        pRun->m_nFaceReq = 0;
    }
}

cCharaBase* LiveTarget(cCharaBase* p, const cEdMove& m) {
    cCharaBase* t = CmdTarget(p, m.m_nTarget);
    return t;
}

}  // namespace

// --- initialisers ---

void CmdInit_Move(cCmdRun* pRun, cCharaBase* pChara) {
    const cEdMove* pMove = pRun->m_lpCmd ? pRun->m_lpCmd->m_pMove.get() : nullptr;
    if (!pMove || !pChara || pMove->m_nTimeSpeed == 0) return;
    CalcMoveTimeSpeed(pRun, pChara, *pMove);
}

void CmdInit_CircleMove(cCmdRun* pRun, cCharaBase* pChara) {
    const cEdMove* pMove = pRun->m_lpCmd ? pRun->m_lpCmd->m_pMove.get() : nullptr;
    if (!pMove || !pChara) return;
    const cEdMove& m = *pMove;
    const int64_t c = CopyValue(pChara);
    const int b = CmdSubStep();
    int nSense = m.m_nDir;
    int nAdd = 0;
    if (StartsRight(pChara)) {
        if (m.m_bMirrorX) {
            nSense ^= 1;
            nAdd = 180;
        }
        if (m.m_bMirrorY) nSense ^= 1;
    }
    int64_t R = std::clamp<int64_t>(m.m_nHoming + m.m_nHomingInc * c, 0, 20) * 16 * b;
    int64_t A0 = (nAdd + m.m_nAngle + m.m_nAngleInc * c) * b;
    int64_t A1 = (nAdd + m.m_nDist + m.m_nDistInc * c) * b;
    double dRange = std::fabs(static_cast<double>(A1 - A0));
    pRun->m_nMoveDir = nSense;
    pRun->m_nMoveA = static_cast<int32_t>(R);
    pRun->m_nAngleStart = SaturateInt32(A0);
    pRun->m_nAngleEnd = SaturateInt32(A1);
    if (m.m_nTimeSpeed == 0) {
        // The angular speed that covers the range in the command's time.
        if (pRun->m_nTime <= 0) pRun->m_nTime = 1;
        pRun->m_Move.dSpeed = dRange / pRun->m_nTime / b;
    } else {
        double w = pRun->m_Move.dSpeed;
        if (w == 0) {
            pRun->m_nTime = 1;
            return;
        }
        pRun->m_nTime = ClampSteps(std::fabs(dRange / w / b));
    }
}

void CmdInit_HomingMove(cCmdRun* pRun, cCharaBase* pChara) {
    const cEdMove* pMove = pRun->m_lpCmd ? pRun->m_lpCmd->m_pMove.get() : nullptr;
    if (!pMove || !pChara) return;
    int64_t w = (pMove->m_nHoming + static_cast<int64_t>(pMove->m_nHomingInc) * CopyValue(pChara)) * CmdSubStep();
    pRun->m_nMoveA = static_cast<int32_t>(std::clamp<int64_t>(w, 0, INT_MAX));
    if (pMove->m_nTimeSpeed != 0) CalcMoveTimeSpeed(pRun, pChara, *pMove);
}

void CmdInit_Jump(cCmdRun* pRun, cCharaBase* pChara) {
    if (!pRun->m_lpCmd || !pChara) return;
    cEdCmd& cmd = *pRun->m_lpCmd;
    int h = cmd.Param(2);
    pRun->m_Move.dSpeed = pChara->JumpSpeed(h);
    int nTenths = pChara->JumpFrames(h);
    cmd.m_nTime = static_cast<int16_t>(std::clamp(nTenths, -32768, 32767));
    int64_t n = static_cast<int64_t>(cmd.m_nTime) * 6 * CmdSubStep();
    pRun->m_nTime = SaturateInt32(n);
}

// --- executors ---

int CmdExec_StraightMove(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r) return 0;
    p->ClearScreenLock();
    const cEdMove& m = *call.pCmd->m_pMove;
    double vx, vy;
    int nReq;
    if (!r->m_bInit) {
        r->m_bInit = 1;
        r->m_nAngle = CalcMoveAngle(p, m);
        if (m.m_nMode == 1) {
            CalcMoveOffset(p, m, r);
            TargetToVelocity(p, m, r, &vx, &vy, &nReq);
        } else {
            int nDir = ResolveMoveDir(r->m_nMoveDir, p, call.pFlow);
            if (r->m_nAngle != 0) AngleToVelocity(p, nDir, r->m_Move.dSpeed, r->m_nAngle, &vx, &vy, &nReq);
            else DirToVelocity(p, nDir, r->m_Move.dSpeed, &vx, &vy, &nReq);
        }
        if (!Flies(p)) vy = 0;
        r->m_Move.dVX = vx;
        r->m_Move.dVY = vy;
        r->m_nFaceReq = nReq;
        r->m_nPrevDir = p->m_nDir;
    } else {
        if (!Flies(p)) r->m_Move.dVY = 0;
        const cSystemData* pSys = Sys();
        bool bModeOk = m.m_nMode == 0 || (pSys && pSys->m_bRule783);
        if (m.m_bFollowTurn && FixedFacing(p) && bModeOk && p->m_nDir != r->m_nPrevDir) {
            r->m_Move.dVX = -r->m_Move.dVX;
            r->m_Move.dVY = -r->m_Move.dVY;
        }
        vx = r->m_Move.dVX;
        vy = r->m_Move.dVY;
        nReq = r->m_nFaceReq;
    }
    const cSystemData* pSys = Sys();
    if (!(pSys && pSys->m_bRule773)) {
        if (m.m_bLockX) vx = 0;
        if (m.m_bLockY) vy = 0;
    }
    ApplyMoveVelocity(p, vx, vy, nReq, r, m, false);
    r->m_nPrevDir = p->m_nDir;
    return 0;
}

int CmdExec_GroundTurnMove(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r || Flies(p)) return 0;
    p->ClearScreenLock();
    const cEdMove& m = *call.pCmd->m_pMove;
    const double s = r->m_Move.dSpeed;
    const double w = p->GetDirSign() * s;
    double vx = w;
    int nReq = 0;
    if (p->m_dKnockX == 0 && p->m_dKnockY == 0) {
        // The cells under the two bottom corners (the row at most the last).
        auto Solid = [&](double x) {
            int nRow = std::min(static_cast<int>(std::floor((p->m_dBottom + 1.1) / 32)), MapRows() - 1);
            return MapCellKind(MapCellIndex(static_cast<int>(std::floor(x / 32)), nRow), p->m_nGroup) != 0;
        };
        bool bLeft = Solid(p->m_dX), bRight = Solid(p->m_dRight);
        if (bLeft && !bRight) nReq = 1;
        else if (bRight && !bLeft) nReq = 2;
        const cSystemData* pSys = Sys();
        if (s < 0 && nReq && !(pSys && pSys->m_bRule805)) nReq = 3 - nReq;
        if (p->m_bPushed) {
            nReq = FacesRight(p) ? 1 : 2;
            vx = -w;
            if (cCharaBase* pRide = p->m_Ride.GetAs<cCharaBase>()) {
                double d = pRide->m_dX - p->m_dRideX;
                bool bAgainst = (FacesRight(p) && d < 0) || (!FacesRight(p) && d > 0);
                vx += bAgainst ? 2 * d : d;
            }
            p->m_bPushed = 0;
        }
    }
    ApplyMoveVelocity(p, vx, 0, nReq, r, m, true);
    return 0;
}

int CmdExec_CircleMove(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r || r->m_nMoveA == 0) return 0;
    p->ClearScreenLock();
    const cEdMove& m = *call.pCmd->m_pMove;
    const int b = CmdSubStep();
    if (!r->m_bInit) {
        r->m_bInit = 1;
        r->m_dPhase1 = r->m_dPhase2 = r->m_nAngleStart;
    }
    bool bCcw;
    switch (r->m_nMoveDir) {
    case 0: bCcw = false; break;
    case 1: bCcw = true; break;
    case 2: bCcw = FacesRight(p); break;
    default: bCcw = !FacesRight(p); break;
    }
    const double w = r->m_Move.dSpeed;
    double vx = 0, vy = 0;
    if (!m.m_bLockX) vx = -StepWave(r->m_nMoveA, 1, &r->m_dPhase1, b * w, 0) * w;
    if (Flies(p) && !m.m_bLockY) vy = -StepWave(r->m_nMoveA, 1, &r->m_dPhase2, b * w, bCcw ? 90 : 270) * w;
    ApplyMoveVelocity(p, vx, vy, 0, r, m, false);
    return 0;
}

int CmdExec_ChargeMove(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r) return 0;
    p->ClearScreenLock();
    const cEdMove& m = *call.pCmd->m_pMove;
    if (!r->m_bInit) {
        r->m_nAngle = CalcMoveAngle(p, m);
        CalcMoveOffset(p, m, r);
        cCharaBase* t = LiveTarget(p, m);
        if (!t) {
            r->m_bInit = 1;
            r->m_Move.dVX = r->m_Move.dVY = 0;
            r->m_Move.dSpeed = 0;
            return 0;
        }
        if (t->m_bDead) return 0;
        r->m_bInit = 1;
        const double s = r->m_Move.dSpeed;
        if (Flies(p)) {
            int x, y;
            GetFrameCenter(p, &x, &y);
            t->GetMoveTarget(&x, &y, r);
            MoveTowardByAxes(p, r, m, x, y);
        } else if (!m.m_bLockX) {
            int x0, y0, x1, y1;
            GetFrameCenter(p, &x0, &y0);
            GetFrameCenter(t, &x1, &y1);
            int nDir = 0;
            cObj::CalcMoveX(&r->m_Move.dVX, &r->m_Move.dVY, &nDir, p, x0, x1 + r->m_nOfsX, s, 0, 0);
            r->m_nFaceReq = nDir;
        }
        if (r->m_nAngle != 0) {
            const cSystemData* pSys = Sys();
            double a;
            if (!(pSys && pSys->m_bRule728)) {
                a = std::trunc(std::atan2(r->m_Move.dVY, r->m_Move.dVX) * RADIANS_TO_DEGREES + 180) + r->m_nAngle;
                r->m_Move.dVX = -s * std::cos(a * DEG);
            } else {
                a = r->m_nAngle + std::trunc(std::atan2(r->m_Move.dVX, r->m_Move.dVY) * RADIANS_TO_DEGREES + 90);
                r->m_Move.dVX = s * std::cos(a * DEG);
            }
            if (Flies(p)) r->m_Move.dVY = -s * std::sin(a * DEG);
        }
    }
    if (!Flies(p)) r->m_Move.dVY = 0;
    ApplyMoveVelocity(p, r->m_Move.dVX, r->m_Move.dVY, r->m_nFaceReq, r, m, false);
    return 0;
}

int CmdExec_HomingMove(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r) return 0;
    const cEdMove& m = *call.pCmd->m_pMove;
    cCharaBase* t = LiveTarget(p, m);
    if (!t || t->m_bDead) return 0;
    const int w = r->m_nMoveA;
    int x, y;
    GetFrameCenter(p, &x, &y);
    if (!r->m_bInit) {
        r->m_bInit = 1;
        CalcMoveOffset(p, m, r);
    }
    t->GetMoveTarget(&x, &y, r);
    if (w > 0) {
        // The target is sampled on the first step and aimed at; every w steps
        // the aim becomes the oldest sample and the target's point now is
        // sampled: the character follows where the target was (the work ints
        // hold the aim).
        if (r->m_lstSample.empty()) {
            r->m_lstSample.push_back({static_cast<double>(x), static_cast<double>(y)});
            r->m_nWork1 = x;
            r->m_nWork2 = y;
        } else if (r->m_nCount % w == 0) {
            r->m_nWork1 = static_cast<int>(r->m_lstSample.front().dX);
            r->m_nWork2 = static_cast<int>(r->m_lstSample.front().dY);
            r->m_lstSample.push_back({static_cast<double>(x), static_cast<double>(y)});
            r->m_lstSample.pop_front();
        }
        x = r->m_nWork1;
        y = r->m_nWork2;
    }
    if (Flies(p)) {
        MoveTowardByAxes(p, r, m, x, y);
    } else if (!m.m_bLockX) {
        p->MoveTowardX(r, p, x, 0, m.m_bArrival);
        r->m_Move.dVY = 0;
    }
    r->m_nCount++;
    ApplyMoveVelocity(p, r->m_Move.dVX, Flies(p) ? r->m_Move.dVY : 0, r->m_nFaceReq, r, m, false);
    return 0;
}

int CmdExec_AvoidOffScreenMove(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r) return 0;
    p->ClearScreenLock();
    const cEdMove& m = *call.pCmd->m_pMove;
    cPlayScene* pScene = CmdScene();
    int nDir = ResolveMoveDir(r->m_nMoveDir, p, call.pFlow);
    bool bL = nDir == DIR_LEFT || nDir == DIR_UP_LEFT || nDir == DIR_DOWN_LEFT;
    bool bR = nDir == DIR_RIGHT || nDir == DIR_UP_RIGHT || nDir == DIR_DOWN_RIGHT;
    bool bU = nDir == DIR_UP || nDir == DIR_UP_LEFT || nDir == DIR_UP_RIGHT;
    bool bD = nDir == DIR_DOWN || nDir == DIR_DOWN_LEFT || nDir == DIR_DOWN_RIGHT;
    const double s = r->m_Move.dSpeed;
    const OBJRECT& rc = p->m_rcScreen;
    double vx = 0, vy = 0;
    auto Axis = [&](const cScroll* a, bool bLow, bool bHigh, int nLow, int nHigh, int nLimit, double* pV, int nView) {
        double q = a && a->m_bAuto && !a->m_bHeld ? a->m_dSpeed : 0;
        if (q == 0) {
            if (bLow && nLow > nLimit) *pV = -s;
            if (bHigh && nHigh < 32) *pV = s;
            return;
        }
        double cam = a->m_dCam - a->m_dOrigin;
        double nMax = (a->m_dEnd - a->m_dOrigin) - nView;
        if (bLow && nLow > nLimit - std::fabs(q + 1) && cam > 0 && cam + q <= nMax) *pV = q - s;
        if (bHigh && nHigh < std::fabs(q + 1) + 32 && cam + q > 0 && cam < nMax) *pV = q + s;
    };
    Axis(pScene ? &pScene->m_ScrollX : nullptr, bL, bR, rc.left, rc.right, 608, &vx, 640);
    Axis(pScene ? &pScene->m_ScrollY : nullptr, bU, bD, rc.top, rc.bottom, 448, &vy, 480);
    if (!Flies(p)) vy = 0;
    ApplyMoveVelocity(p, vx, vy, r->m_nFaceReq, r, m, false);
    r->m_nCount++;
    return 0;
}

int CmdExec_DisableMove(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    if (!p) return 0;
    p->m_dVx = p->m_dVy = 0;
    p->m_dCmdVx = p->m_dCmdVy = 0;
    p->m_dKnockX = p->m_dKnockY = 0;
    p->m_bNoGravity = 1;
    p->ClearScreenLock();
    return 0;
}

int CmdExec_ChangeDirection(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r || !FixedFacing(p)) return 0;
    if (r->m_nCount == 0) {
        CmdPlayCmdSound(call, 0);
        int n = call.pCmd->Param(0);
        switch (n) {
        case 0: p->m_nDir = 0; break;
        case 1: p->m_nDir = 1; break;
        case 10: p->m_nDir = p->m_nLastSide == 1 ? 1 : 0; break;
        case 11: p->m_nDir = p->m_nLastSide == 1 ? 0 : 1; break;
        default:
            if (n >= 2 && n <= 9) {
                cCharaBase* t = CmdTarget(p, (n - 2) / 2);
                if (!t) return 0;
                bool bRight = t->m_dX + t->m_nWidth / 2 > p->m_dX + p->m_nWidth / 2;
                if (n % 2 == 1) bRight = !bRight;
                p->m_nDir = bRight ? 1 : 0;
            }
            break;
        }
    }
    if (++r->m_nCount >= 6 * CmdSubStep()) r->m_nCount = 0;
    return 0;
}

int CmdExec_Jump(const CMDCALL& call) {
    cCharaBase* p = call.pChara;
    cCmdRun* r = call.pRun;
    if (!p || !r) return 0;
    p->ClearScreenLock();
    p->DoJump(r);
    r->m_nCount++;
    return 0;
}
