// The small geometric operations every object and rule uses: bounds with the
// code of the bound met, one step of motion, gravity and the decay of the
// command velocities, scaling, the screen rectangle, the on-screen, in-stage
// and erase-range tests, the knock-back speed and the distance span.
#include <cmath>
#include <cstdlib>

#include "play/Obj.h"
#include "play/PlayMap.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "stage/StageParts.h"

namespace {

// A position that is not a number is put back at the map's edge, so no
// non-finite value ever reaches a cell index.
void SanitizePos(double& d, double& v) {
    if (!std::isfinite(d)) d = 0;
    if (!std::isfinite(v)) v = 0;
}

}  // namespace

uint8_t cObj::ClampPosX(int nMode) {
    const cScroll& s = PlayScrollX();
    SanitizePos(m_dX, m_dVx);
    const double w = m_nWidth;
    const double dMapW = s.m_nMapSize;
    const double dRight = m_dX + w - 1;
    uint8_t nCode = 0;
    switch (nMode) {
    case 0:
        if (s.m_dMin > m_dX) m_dX = s.m_dMin;
        else if (dRight >= s.m_dMax) m_dX = s.m_dMax - w;
        break;
    case 1:
        if (s.m_dOrigin > m_dX) m_dX = s.m_dOrigin;
        else if (dRight >= s.m_dEnd) m_dX = s.m_dEnd - w;
        else if (s.m_dMin > m_dX || dRight >= s.m_dMax) nCode = 1;
        break;
    case 2:
        if (m_dX < 0) {
            m_dX = 0;
            nCode = 3;
        } else if (dRight >= dMapW) {
            m_dX = dMapW - w;
            nCode = 3;
        } else if (m_dX < s.m_dOrigin || dRight >= s.m_dEnd) {
            nCode = 2;
        } else if (s.m_dMin > m_dX || dRight >= s.m_dMax) {
            nCode = 1;
        }
        break;
    default:
        break;
    }
    m_dRight = m_dX + w - 1;
    UpdateHitBoxX();
    m_nCellL = TruncDot(m_dX) >> 5;
    m_nCellR = TruncDot(m_dRight) >> 5;
    return nCode;
}

uint8_t cObj::ClampPosY(int nMode) {
    const cScroll& s = PlayScrollY();
    SanitizePos(m_dY, m_dVy);
    const double h = m_nHeight;
    const double dMapH = s.m_nMapSize;
    const double dBottom = m_dY + h - 1;
    const bool bShort = h < MAP_CELL_DOTS * s.m_nCellOrigin;
    uint8_t nCode = 0;
    switch (nMode) {
    case 0:
        if (s.m_dMin > m_dY) m_dY = s.m_dMin;
        else if (dBottom >= s.m_dMax) m_dY = s.m_dMax - h;
        break;
    case 1:
        if (s.m_dOrigin > m_dY) m_dY = s.m_dOrigin;
        else if (dBottom >= s.m_dEnd) m_dY = s.m_dEnd - h;
        else if (s.m_dMin > m_dY) nCode = 1;
        else if (dBottom >= s.m_dMax) nCode = 4;
        break;
    case 2:
        // A very tall object is left where it is; the cell lookups clamp.
        if (m_dY < 0) {
            if (bShort) {
                m_dY = 0;
                nCode = 3;
            }
        } else if (dBottom >= dMapH) {
            if (bShort) {
                m_dY = dMapH - h;
                nCode = 6;
            }
        } else if (s.m_dOrigin > m_dY) {
            nCode = 2;
        } else if (dBottom >= s.m_dEnd) {
            nCode = 5;
        } else if (s.m_dMin > m_dY) {
            nCode = 1;
        } else if (dBottom >= s.m_dMax) {
            nCode = 4;
        }
        break;
    default:
        break;
    }
    m_dBottom = m_dY + h - 1;
    UpdateHitBoxY();
    m_nCellT = TruncDot(m_dY) >> 5;
    m_nCellB = TruncDot(m_dBottom) >> 5;
    return nCode;
}

uint8_t cObj::MoveStepX(int nMode) {
    const double dLimit = PlayStage().m_dStepSpeedLimit;
    if (!std::isfinite(m_dVx)) m_dVx = 0;
    if (m_dVx > dLimit) m_dVx = dLimit;
    else if (m_dVx < -dLimit) m_dVx = -dLimit;
    m_dX += m_dVx;
    uint8_t n = ClampPosX(nMode);
    return n >= 1 && n <= 3 ? n : 0;
}

uint8_t cObj::MoveStepY(int nMode) {
    const double dLimit = PlayStage().m_dStepSpeedLimit;
    if (!std::isfinite(m_dVy)) m_dVy = 0;
    if (m_dVy > dLimit) m_dVy = dLimit;
    else if (m_dVy < -dLimit) m_dVy = -dLimit;
    m_dY += m_dVy;
    uint8_t n = ClampPosY(nMode);
    return n >= 1 && n <= 6 ? n : 0;
}

void cObj::ApplyGravity() {
    if (!m_bFlight) m_dVy += PlayStage().m_dGravityStep;
}

void cObj::DecayCmdVelocity(double* pSpeed, int bOn) {
    if (!bOn || !pSpeed || *pSpeed == 0) return;
    if (*pSpeed > 0) {
        *pSpeed -= m_dCmdDecel;
        if (*pSpeed < 0) *pSpeed = 0;
    } else {
        *pSpeed += m_dCmdDecel;
        if (*pSpeed > 0) *pSpeed = 0;
    }
}

void cObj::SetScale(int nNew, int nOld, int bFlag) {
    if (nNew == nOld) return;
    m_nWidth = nNew * m_nBaseWidth;
    m_nHeight = nNew * m_nBaseHeight;
    m_nBoxX = nNew * m_nBaseBoxX;
    m_nBoxY = nNew * m_nBaseBoxY;
    m_nFrameW = nNew * m_nBaseFrameW;
    m_nFrameH = nNew * m_nBaseFrameH;
    m_dX -= static_cast<double>(nNew - nOld) * (m_nBaseWidth / 2);
    ClampPosX(2);
    AdjustScalePos(nNew, nOld, bFlag);
    OnScale(nNew);
}

void cObj::UpdateScreenRect() { UpdateScreenRectFrom(PlayScrollX(), PlayScrollY()); }

void cObj::UpdateScreenRectFrom(const cScroll& sx, const cScroll& sy) {
    int nLeft, nTop;
    const bool bStillX = sx.m_dSpeed == 0 || sx.m_bHeld;
    const bool bStillY = sy.m_dSpeed == 0 || sy.m_bHeld;
    if (!m_bFlight) {
        nLeft = TruncDot((m_dX - m_nBoxX) - TruncDot(sx.m_dCam));
        nTop = TruncDot((m_dY - m_nBoxY) - TruncDot(sy.m_dCam));
    } else {
        if (bStillX) nLeft = TruncDot(m_dX) - TruncDot(sx.m_dCam) - m_nBoxX;
        else if (m_bScrollSync) nLeft = TruncDot(m_dX - sx.m_dCam) - m_nBoxX;
        else nLeft = TruncDot((m_dX - m_nBoxX) - TruncDot(sx.m_dCam));
        if (bStillY) nTop = TruncDot(m_dY) - TruncDot(sy.m_dCam) - m_nBoxY;
        else nTop = TruncDot(m_dY - sy.m_dCam) - m_nBoxY + 1;
    }
    m_rcScreen.left = nLeft;
    m_rcScreen.top = nTop;
    m_rcScreen.right = nLeft + m_nFrameW - 1;
    m_rcScreen.bottom = nTop + m_nFrameH - 1;
}

int cObj::IsOnScreen() const { return IsOnScreenAxes(0, 0); }

int cObj::IsOnScreenAxes(int bIgnoreX, int bIgnoreY) const {
    return IsOnScreenAxesAt(PlayScrollX().m_dCam, PlayScrollY().m_dCam, bIgnoreX, bIgnoreY);
}

int cObj::IsInStage(int bWhole) const {
    const cScroll& sx = PlayScrollX();
    const cScroll& sy = PlayScrollY();
    if (bWhole)
        return m_dX >= 0 && m_dRight < sx.m_nMapSize && m_dY >= 0 && m_dBottom < sy.m_nMapSize ? 1 : 0;
    return sx.m_dOrigin <= m_dX && m_dRight < sx.m_dEnd && sy.m_dOrigin <= m_dY && m_dBottom < sy.m_dEnd ? 1 : 0;
}

int cObj::IsOutOfEraseRange(const void* pEraseSet) const {
    if (m_bOnScreen) return 0;
    const cScroll& sx = PlayScrollX();
    const cScroll& sy = PlayScrollY();
    const double cx = sx.m_dCam, cy = sy.m_dCam;
    if (pEraseSet) {
        const cQuadSwitch& q = *static_cast<const cQuadSwitch*>(pEraseSet);
        if (q.m_bLeft && TruncDot(cx - 32.0 * q.m_nLeft) >= m_dRight) return 1;
        if (q.m_bRight && TruncDot(cx + 32.0 * q.m_nRight + 640) <= m_dX) return 1;
        if (q.m_bBottom && TruncDot(32.0 * q.m_nBottom + cy + 480) <= m_dY) return 1;
        if (q.m_bTop && TruncDot(cy - 32.0 * q.m_nTop) >= m_dBottom) return 1;
    }
    const bool bInside = m_dX > 0 && m_dRight < sx.m_nMapSize - 1 && m_dY > 0 && m_dBottom < sy.m_nMapSize - 1;
    return bInside ? 0 : 1;
}

void cObj::CalcKnockback(double* pOutX, double* pOutY, int nPower, double dDx, double dDy) const {
    const int nSigned = static_cast<int8_t>(nPower);
    if (nSigned == 0) return;
    const double s = std::fabs(dDx) + std::fabs(dDy);
    if (!(s > 0) || !std::isfinite(s)) {
        if (pOutX) *pOutX = 0;
        if (pOutY) *pOutY = 0;
        return;
    }
    double b = PlayStage().m_dStepFactor;
    if (!(b > 0)) b = 1;
    auto speed = [&](double dComp) {
        double d = dComp * nSigned / s;
        if (d == 0) return 0.0;
        double v = (std::sqrt(1 + 128 * b * std::fabs(d)) - 1) / (2 * b);
        return d < 0 ? -v : v;
    };
    if (pOutX) *pOutX = speed(dDx);
    if (pOutY) *pOutY = speed(dDy);
}

int cObj::IsCornerBlocked() const {
    const int anCol[4] = {m_nCellL, m_nCellL, m_nCellR, m_nCellR};
    const int anRow[4] = {m_nCellT, m_nCellB, m_nCellT, m_nCellB};
    for (int i = 0; i < 4; i++)
        if (MapCellKind(MapCellIndexClamped(anCol[i], anRow[i]), m_nGroup) != 0) return 1;
    return 0;
}

void cObj::JudgeSpanEnds(const JUDGESPAN& rec, int64_t* pL, int64_t* pR) {
    const int h = rec.nLength / 2;
    const int64_t c = static_cast<int64_t>(rec.nStart) + h;
    const bool bBothZero = rec.nReachBefore == 0 && rec.nReachAfter == 0;
    if (rec.nReachBefore != 0) *pL = static_cast<int64_t>(rec.nStart) - rec.nReachBefore;
    else *pL = rec.nMode != 0 && bBothZero ? rec.nStart : c;
    if (rec.nReachAfter != 0) *pR = c + h + rec.nReachAfter;
    else *pR = rec.nMode != 0 && bBothZero ? c + h : c;
}

int cObj::JudgeSpan(const JUDGESPAN& rec) const {
    int64_t L, R;
    JudgeSpanEnds(rec, &L, &R);
    const int64_t nTStart = static_cast<int64_t>(rec.nTargetStart) + rec.nTargetOffset;
    int64_t nTEnd = static_cast<int64_t>(rec.nTargetEnd) - rec.nTargetOffset;
    if (rec.bSizeCheck && !PlaySystem().m_bTrimTargetSpan && rec.pTarget) {
        const cObj* t = rec.pTarget;
        if (static_cast<int64_t>(TruncDot(t->m_dBottom - t->m_dY)) + rec.nTargetOffset + 1 >= t->m_nFrameH)
            nTEnd = rec.nTargetEnd;
    }
    return nTEnd >= L && nTStart <= R ? 1 : 0;
}
