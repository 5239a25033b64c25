// The shot object: set-up, the per-step update, motion and clamping, the
// block test, the hit box and scaling, and the sword that follows its owner.
#include "play/Shot.h"

#include <algorithm>
#include <cmath>

#include "foundation/SlotPool.h"
#include "play/CharaBase.h"
#include "play/CharaSearch.h"
#include "play/Hero.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/Database.h"
#include "project/SwordType.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {
// Shots are held vertically inside the map, as every other mover is (the
// scroll limits bound the camera, not the objects): a shot falling into a pit
// leaves the stage and is erased out of view.
constexpr int SHOT_CLAMP_MODE_Y = 2;

// Pattern 0: the sword, frame 0 held. Pattern 1: the shots, frames 0 and 1
// for 8 ticks each, repeated.
const int anSwordRow[] = {0, 1, 0, ANIMCODE_STAY, 0, 0};
const int anShotRow[] = {0, 8, 0, 1, 8, 0, ANIMCODE_RESTART, 0, 0};
const int* const apShotPatterns[] = {anSwordRow, anShotRow, nullptr};

// The patterns above as a table, made once and never changed.
const cChkVector<cChkVector<ANIMSTEP>>& ShotPatternTable() {
    static const cChkVector<cChkVector<ANIMSTEP>> table = [] {
        cAnimPattern a;
        a.SetPatterns(apShotPatterns);
        return a.m_vPattern;
    }();
    return table;
}

double StepFactor() {
    double b = PlayStage().m_dStepFactor;
    return b > 0 ? b : 1.0;
}
int SubSteps() {
    int b = PlayStage().m_nSubStep;
    return b > 0 ? b : 1;
}
// The auto-scroll speed of an axis, 0 while it is held at a limit.
double ScrollSpeed(const cScroll& s) { return s.m_bHeld ? 0.0 : s.m_dSpeed; }

int32_t SatInt(double d) {
    if (!std::isfinite(d)) return 0;
    if (d >= 2147483647.0) return 2147483647;
    if (d <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(d);
}

const cDatabase* Db() { return PlayCtx().lpDatabase; }
}   // namespace

namespace {
cSlotPool& ShotPool() {
    static cSlotPool* p = new cSlotPool(sizeof(cShot));  // outlives every shot
    return *p;
}
}   // namespace

void* cShot::operator new(std::size_t nBytes) { return ShotPool().Take(nBytes); }
void cShot::operator delete(void* p, std::size_t nBytes) { ShotPool().Give(p, nBytes); }

cShot::cShot() = default;

cShot::cShot(const cShot& src) : cObj(src) { CopyShot(src); }

cShot::~cShot() {
    // The characters that listed this shot forget it.
    cObjRef self(this);
    auto drop = [&](const cObjRef& r, int nKind) {
        cCharaBase* p = r.GetAs<cCharaBase>();
        if (!p) return;
        auto& v = p->m_vecChild;
        v.erase(std::remove_if(v.begin(), v.end(),
                               [&](const CHARACHILD& c) { return c.Shot == self && c.nKind == nKind; }),
                v.end());
    };
    if (GetContext() == &PlayCtx()) {
        drop(m_lpTarget, 0);
        drop(m_lpAttacker, 4);
    }
    m_lpTarget.Reset();
    m_lpAttacker.Reset();
}

void cShot::CopyFrom(const cObj& src) {
    if (&src == this) return;
    cObj::CopyFrom(src);
    if (const cShot* p = dynamic_cast<const cShot*>(&src)) CopyShot(*p);
}

void cShot::CopyShot(const cShot& s) {
    m_nOwnerId = s.m_nOwnerId;
    m_bProjectile = s.m_bProjectile;
    m_nRangeLeft = s.m_nRangeLeft;
    m_nLifeLeft = s.m_nLifeLeft;
    m_nStepCount = s.m_nStepCount;
    m_nSwordPart = s.m_nSwordPart;
    m_dAccel = s.m_dAccel;
    m_dOrbitSpeed = s.m_dOrbitSpeed;
    m_dShotVx = s.m_dShotVx;
    m_dShotVy = s.m_dShotVy;
    m_bAccel = s.m_bAccel;
    m_nOrbitStart = s.m_nOrbitStart;
    m_nOrbitEnd = s.m_nOrbitEnd;
    m_bOrbitDone = s.m_bOrbitDone;
    m_dWaveAngle = s.m_dWaveAngle;
    m_dWaveSin = s.m_dWaveSin;
    m_dWaveCos = s.m_dWaveCos;
    for (int i = 0; i < 4; i++) m_rcHit[i] = s.m_rcHit[i];
    m_nHitX = s.m_nHitX;
    m_nHitY = s.m_nHitY;
    m_nHitW = s.m_nHitW;
    m_nHitH = s.m_nHitH;
    m_nBaseHitX = s.m_nBaseHitX;
    m_nBaseHitY = s.m_nBaseHitY;
    m_nBaseHitW = s.m_nBaseHitW;
    m_nBaseHitH = s.m_nBaseHitH;
    m_HitChara = s.m_HitChara;
    m_Shot = s.m_Shot;
    m_lpTarget = s.m_lpTarget;
    m_lpAttacker = s.m_lpAttacker;
    m_bErased = s.m_bErased;
    m_bCreditAttacker = s.m_bCreditAttacker;
    m_nCreditParam = s.m_nCreditParam;
}

const cSwordType* cShot::GetSwordType() const {
    const cDatabase* pDb = Db();
    if (!pDb) return nullptr;
    int n = m_Shot.m_nType;
    if (n < 0 || n >= static_cast<int>(pDb->m_vSwordType.size())) return nullptr;
    const cSwordType& t = pDb->m_vSwordType[n];
    return t.GetPartCount() > 0 ? &t : nullptr;
}

void cShot::Setup(int nId, cObj* pShooter, int nKind, cEdShot& rec, const SHOTLAUNCH& launch) {
    if (rec.m_nSize == 0) rec.m_nSize = 1;
    m_Shot = rec;
    const double b = StepFactor();
    int nDir = launch.dVx > 0 ? 1 : (launch.dVx < 0 ? 0 : (pShooter ? pShooter->m_nDir : 0));
    int nW = 16, nH = 16, nPattern = 1;
    m_bProjectile = 1;
    if (nKind == SHOTKIND_SWORD) {
        m_bProjectile = 0;
        nPattern = 0;
        if (const cSwordType* t = GetSwordType()) {
            nW = t->GetPart(0).m_nWidth;
            nH = t->GetPart(0).m_nHeight;
        }
    }
    m_nOwnerId = pShooter ? pShooter->m_nId : 0;
    Init(nId, pShooter ? pShooter->m_nKind : 0, pShooter ? pShooter->m_nSetupValue : 0, m_Shot.m_nFaction,
         m_Shot.m_nGraphic, nullptr, nPattern, 0, 0, nW, nH, 16, 16, nDir, 1, launch.nClone);
    // Every shot animates by the same two patterns: one table for them all.
    m_Anim.ShareTable(&ShotPatternTable());
    m_Anim.SetPattern(nPattern, 1);
    if (m_Shot.m_bOwnerGroup && pShooter) {
        m_nGroup = pShooter->m_nGroup;
        m_Shot.m_nFaction = static_cast<uint8_t>(pShooter->m_nGroup);
    }
    if (!m_bProjectile) {
        m_nBaseHitX = m_nBaseHitY = 0;
        m_nBaseHitW = nW;
        m_nBaseHitH = nH;
    } else {
        const cStage& st = PlayStage();
        bool bHero = pShooter && pShooter->m_nKind == 0;
        int hw = bHero ? st.m_nHeroSize2W : st.m_nCharaSize2W;
        int hh = bHero ? st.m_nHeroSize2H : st.m_nCharaSize2H;
        m_nBaseHitX = 8 - hw / 2;
        m_nBaseHitY = 8 - hh / 2;
        m_nBaseHitW = hw;
        m_nBaseHitH = hh;
    }
    m_nHitX = m_nBaseHitX;
    m_nHitY = m_nBaseHitY;
    m_nHitW = m_nBaseHitW;
    m_nHitH = m_nBaseHitH;
    SetScale(m_Shot.m_nSize, 1, 1);
    m_dX = launch.nX;
    ClampX();
    m_dY = launch.nY;
    ClampPosY(SHOT_CLAMP_MODE_Y);
    m_dShotVx = launch.dVx / b;
    m_dShotVy = launch.dVy / b;
    if (m_Shot.m_bAccel) {
        m_bAccel = 1;
        m_dAccel = (static_cast<double>(m_Shot.m_nAccel) + static_cast<double>(m_Shot.m_nAccelInc) * launch.nClone) *
                   0.1 / b;
        SetAccelVector(&m_dCmdVx, &m_dCmdVy, launch.dVx, launch.dVy);
    } else {
        m_bAccel = 0;
        m_dAccel = 0;
        m_dCmdVx = m_dCmdVy = 0;
    }
    m_dVx = m_dVy = 0;
    m_bScrollSync = m_Shot.m_bScrollSync;
    if (m_Shot.m_bLifeLimit) m_nLifeLeft = SatInt(static_cast<double>(launch.nLife) * SubSteps() * 6);
    if (m_Shot.m_bRangeLimit) {
        double d = std::max(0.0, static_cast<double>(launch.nRange) * 16.0 - m_nWidth);
        double v = std::fabs(launch.dSpeed / b);
        if (d > 0 && v > 0)
            m_nRangeLeft = SatInt(d / v);
        else if (v > 0 && m_nWidth < SatInt(v * b))
            m_nRangeLeft = SatInt(m_nWidth / v);
        else
            m_nRangeLeft = SatInt(b);
        if (m_nRangeLeft < b) {
            // The range ends within one frame: the shot covers it in that
            // frame. No speed means no direction to rescale along.
            double s = std::fabs(launch.dVy) + std::fabs(launch.dVx);
            if (s > 0) {
                m_dShotVx = (d / b) * launch.dVx / s;
                m_dShotVy = (d / b) * launch.dVy / s;
            }
            m_nRangeLeft = SatInt(b);
        }
    }
    m_nStepCount = 0;
    m_nSwordPart = 0;
    m_bOrbitDone = 0;
    m_nOrbitStart = m_nOrbitEnd = 0;
    m_dOrbitSpeed = 0;
    m_dWaveAngle = m_dWaveSin = m_dWaveCos = 0;
    m_lpTarget = cObjRef(GetTargetSlot(pShooter, m_Shot.m_nTargetB));
    m_lpAttacker = cObjRef(pShooter);
    m_bErased = 0;
    m_bCreditAttacker = m_Shot.m_bCreditAttacker;
    m_nCreditParam = m_Shot.m_nCreditParam;
}

void cShot::UpdateHitBoxX() {
    m_rcHit[0] = static_cast<double>(TruncDot(m_dX)) + m_nHitX;
    m_rcHit[2] = m_rcHit[0] + m_nHitW - 1;
}

void cShot::UpdateHitBoxY() {
    m_rcHit[1] = static_cast<double>(TruncDot(m_dY)) + m_nHitY;
    m_rcHit[3] = m_rcHit[1] + m_nHitH - 1;
}

void cShot::OnScale(int nScale) {
    m_nHitX = nScale * m_nBaseHitX;
    m_nHitY = nScale * m_nBaseHitY;
    m_nHitW = nScale * m_nBaseHitW;
    m_nHitH = nScale * m_nBaseHitH;
    ClampX();
    ClampPosY(SHOT_CLAMP_MODE_Y);
}

void cShot::AdjustScalePos(int nNew, int nOld, int bFlag) {
    (void)bFlag;
    if (nNew == nOld) return;
    m_dY -= static_cast<double>(nNew - nOld) * m_nBaseHeight / 2;
    ClampPosY(SHOT_CLAMP_MODE_Y);
}

int cShot::ClampX() {
    const cScroll& s = PlayScrollX();
    int nCode = 0;
    double dStageW = static_cast<double>(s.m_nCells) * 32.0;
    if (m_nWidth < dStageW) {
        if (m_dX >= 0 && m_dX + m_nWidth - 1 >= dStageW) {
            m_dX = dStageW - m_nWidth;
            nCode = 3;
        } else if (m_dX < 0) {
            m_dX = 0;
            nCode = 3;
        }
    }
    if (!std::isfinite(m_dX)) m_dX = 0;
    m_dRight = m_dX + m_nWidth - 1;
    UpdateHitBoxX();
    m_nCellL = TruncDot(m_dX) >> 5;
    m_nCellR = TruncDot(m_dRight) >> 5;
    return nCode;
}

void cShot::MoveX() {
    if (m_dCmdVx != 0) m_dVx += m_dCmdVx;
    if (m_dVx != 0) {
        double dLimit = PlayStage().m_dStepSpeedLimit;
        if (dLimit > 0) m_dVx = std::clamp(m_dVx, -dLimit, dLimit);
        m_dX += m_dVx;
        ClampX();
    }
}

void cShot::MoveY() {
    if (m_dCmdVy != 0) m_dVy += m_dCmdVy;
    if (m_dVy != 0) {
        MoveStepY(SHOT_CLAMP_MODE_Y);
        ClampPosY(SHOT_CLAMP_MODE_Y);
    }
}

int cShot::HitsBlock() {
    if (m_Shot.m_bPassBlock == 1) return 0;
    auto stops = [&](int nCol, int nRow) {
        return MapCellKind(MapCellIndexClamped(nCol, nRow), m_nGroup) != 0;
    };
    if (m_nWidth > 32) {
        int x0 = TruncDot(m_dX), y0 = TruncDot(m_dY);
        int x1 = TruncDot(m_dRight), y1 = TruncDot(m_dBottom);
        // Every cell under the box on a 32-dot grid, the last column and row
        // at the far edges.
        for (int y = y0;; y += 32) {
            int yy = std::min(y, y1);
            for (int x = x0;; x += 32) {
                int xx = std::min(x, x1);
                if (stops(xx >> 5, yy >> 5)) return 1;
                if (xx >= x1) break;
            }
            if (yy >= y1) break;
        }
        return 0;
    }
    return (stops(m_nCellL, m_nCellT) || stops(m_nCellR, m_nCellT) || stops(m_nCellL, m_nCellB) ||
            stops(m_nCellR, m_nCellB))
               ? 1
               : 0;
}

void cShot::SetAccelVector(double* pAx, double* pAy, double dx, double dy) const {
    double a = PerSecToStep(m_dAccel);
    if (dx != 0 && dy != 0) {
        double d = std::sqrt(dx * dx + dy * dy);
        *pAx = PerSecToStep(dx / d * m_dAccel);
        *pAy = PerSecToStep(dy / d * m_dAccel);
    } else if (dx != 0) {
        *pAx = dx > 0 ? a : -a;
        *pAy = 0;
    } else if (dy != 0) {
        *pAx = 0;
        *pAy = dy > 0 ? a : -a;
    } else {
        *pAx = *pAy = 0;
    }
}

int cShot::Step() {
    if (!m_bProjectile) return StepSword();
    const cScroll& sx = PlayScrollX();
    const cScroll& sy = PlayScrollY();
    if (!PlaySystem().m_bScrollAddsToMoves && m_bScrollSync) {
        m_dVx = ScrollSpeed(sx);
        if (m_bFlight) m_dVy = ScrollSpeed(sy);
    } else {
        m_dVx = 0;
        if (m_bFlight) m_dVy = 0;
    }
    int nOrbit = m_Shot.m_nType;
    // A trajectory outside the table flies straight.
    if (nOrbit > 0 && nOrbit < SHOT_ORBIT_COUNT && pfnShotTrajectory[nOrbit]) pfnShotTrajectory[nOrbit](this);
    if (m_bAccel) {
        m_dShotVx += m_dCmdVx;
        if (m_bFlight)
            m_dShotVy += m_dCmdVy;
        else
            m_dVy += m_dCmdVy;
    }
    m_dVx += m_dShotVx;
    if (m_bFlight) m_dVy += m_dShotVy;
    if (m_Shot.m_bLifeLimit) {
        if (m_nLifeLeft <= 0) return 1;
        m_nLifeLeft--;
    }
    if (m_dVx != 0) m_nDir = m_dVx > 0 ? 1 : 0;
    if (m_Shot.m_bRangeLimit) {
        if (m_nRangeLeft > 0) m_nRangeLeft--;
        if (m_nRangeLeft == 0) {
            if (!m_Shot.m_bStopAtRange) return 1;
            m_dShotVx = m_dShotVy = 0;
            m_dCmdVx = m_dCmdVy = 0;
            m_bAccel = 0;
            m_Shot.m_nType = 0;
            if (m_bScrollSync) {
                if (!sx.m_bHeld) m_dVx = sx.m_dSpeed;
                if (m_bFlight && !sy.m_bHeld) m_dVy = sy.m_dSpeed;
            } else {
                m_dVx = 0;
                m_dVy = 0;
            }
        }
    }
    return 0;
}

int cShot::StepSword() {
    cCharaBase* pOwner = FindChara(m_nOwnerId);
    const cSwordType* pType = GetSwordType();
    if (!pOwner || !pType) return 1;
    if (m_nSwordPart < 0 || m_nSwordPart >= pType->GetPartCount()) return 1;
    pOwner->UpdateScreenRect();
    const OBJRECT& O = pOwner->m_rcScreen;
    const int Ow = pOwner->m_nFrameW, Oh = pOwner->m_nFrameH;
    const bool bRight = pOwner->m_nDir != 0;
    m_nDir = pOwner->m_nDir;
    const cSwordPart& P = pType->GetPart(m_nSwordPart);
    const int nScale = std::max<int>(m_Shot.m_nSize, 1);
    if (m_nStepCount == 0) {
        m_nBaseFrameW = m_nBaseWidth = m_nBaseHitW = P.m_nWidth;
        m_nBaseFrameH = m_nBaseHeight = m_nBaseHitH = P.m_nHeight;
        m_nFrameW = m_nWidth = m_nHitW = nScale * P.m_nWidth;
        m_nFrameH = m_nHeight = m_nHitH = nScale * P.m_nHeight;
    }
    const double cx = TruncDot(PlayScrollX().m_dCam), cy = TruncDot(PlayScrollY().m_dCam);
    const int w = m_nFrameW, h = m_nFrameH;
    double x = 0, y = 0;
    switch (P.m_nPlace) {
    case SWORDPLACE_BACK:
        m_nDir = bRight ? 0 : 1;
        x = bRight ? cx + O.left - w : cx + O.right + 1;
        y = O.top + Oh / 2 + cy - h / 2;
        break;
    case SWORDPLACE_ABOVE:
        x = O.left + Ow / 2 + cx - w / 2;
        y = O.top + cy - h;
        break;
    case SWORDPLACE_BELOW:
        x = O.left + Ow / 2 + cx - w / 2;
        y = cy + O.bottom + 1;
        break;
    default:
        x = bRight ? cx + O.right + 1 : cx + O.left - w;
        y = O.top + Oh / 2 + cy - h / 2;
        break;
    }
    const double dx = static_cast<double>(nScale) * P.m_nOffsetX, dy = static_cast<double>(nScale) * P.m_nOffsetY;
    if (bRight) {
        x += P.m_bReverseX ? -dx : dx;
        y += P.m_bReverseY ? -dy : dy;
    } else {
        x += dx;
        y += dy;
    }
    m_dX = x;
    m_dY = y;
    ClampX();
    ClampPosY(SHOT_CLAMP_MODE_Y);
    m_nStepCount++;
    if (static_cast<int64_t>(P.m_nTime) * SubSteps() * 6 >= m_nStepCount) return 0;
    m_nStepCount = 0;
    m_nSwordPart++;
    return m_nSwordPart >= pType->GetPartCount() ? 1 : 0;
}

cShot* cPlayScene::AddShot(std::unique_ptr<cShot> pShot) {
    cShot* p = pShot.get();
    if (p->m_Shot.m_bShotClash) {
        p->m_bFiledClash = 1;
        m_nClashShots++;
    }
    if (p->m_bErased) m_nShotMarks++;
    m_lstShot.push_back(std::move(pShot));
    int g = p->m_nGroup;
    if (g >= 0 && g < static_cast<int>(m_vecGroupShot.size())) {
        auto& lst = m_vecGroupShot[g];
        p->m_itGroupEntry = lst.insert(lst.end(), cObjRef(p));
        p->m_nFiledGroup = g;
    }
    return p;
}

SHOTLIST::iterator cPlayScene::EraseShot(SHOTLIST::iterator it) {
    if (it == m_lstShot.end()) return it;
    if ((*it)->m_bFiledClash) {
        (*it)->m_bFiledClash = 0;
        m_nClashShots--;
    }
    // A shot is filed only in the list of its group.
    cObjRef r(it->get());
    const int g = (*it)->m_nGroup;
    if (g >= 0 && g < static_cast<int>(m_vecGroupShot.size())) {
        auto& lst = m_vecGroupShot[g];
        if ((*it)->m_nFiledGroup == g) {
            lst.erase((*it)->m_itGroupEntry);
        } else {
            auto f = std::find(lst.begin(), lst.end(), r);
            if (f != lst.end()) lst.erase(f);
        }
        (*it)->m_nFiledGroup = -1;
    }
    return m_lstShot.erase(it);
}

void cPlayScene::MarkShotErased(cShot* p) {
    p->m_bErased = 1;
    m_nShotMarks++;
}

void cPlayScene::EraseMarkedShots() {
    if (m_nShotMarks == 0) return;
    for (auto it = m_lstShot.begin(); it != m_lstShot.end();) {
        if ((*it)->m_bErased)
            it = EraseShot(it);
        else
            ++it;
    }
    m_nShotMarks = 0;
}
