// How a character moves one logic step: gravity, landing and ceilings,
// knock-back, the moves of placed characters and of the hero, their jumps,
// and the per-step flow processing that also sets the base velocity and the
// standing animation.
#include <algorithm>
#include <cmath>

#include "flow/Arrange.h"
#include "play/Chara.h"
#include "play/CharaEvents.h"
#include "play/CharaSearch.h"
#include "play/CurrentRun.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/MapCell.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/CmdVocabulary.h"
#include "stage/Stage.h"

namespace {

constexpr double SIGN_EPS = 1e-8;

double Gravity() {
    const cStage* p = PlayCtx().lpStage;
    double g = p ? p->m_dGravityStep : 0;
    return std::isfinite(g) ? g : 0;
}

double StepSpeedLimit() {
    const cStage* p = PlayCtx().lpStage;
    return p && std::isfinite(p->m_dStepSpeedLimit) ? p->m_dStepSpeedLimit : 0;
}

const cSystemData* Sys() { return PlayCtx().lpSystem; }
bool Rule(int32_t cSystemData::*pRule) {
    const cSystemData* p = Sys();
    return p && p->*pRule;
}

bool OppositeSigns(double a, double b) { return (a > SIGN_EPS && b < -SIGN_EPS) || (a < -SIGN_EPS && b > SIGN_EPS); }

// Floor modulo 32 of a finite coordinate.
int Mod32(double v) {
    int64_t n = static_cast<int64_t>(std::floor(std::clamp(v, -1e15, 1e15)));
    return static_cast<int>(((n % 32) + 32) % 32);
}

double Finite(double v) { return std::isfinite(v) ? v : 0; }

void PlayCmdSound(const cEdCmd* pCmd, const cObj* pObj) {
    if (!pCmd || pCmd->m_nSound == 0) return;
    if (pCmd->m_bSoundOnScreen && pObj && !pObj->m_bOnScreen) return;
    PlayHost().PlaySound(16 + pCmd->m_nSound);
}

}  // namespace

double AutoScrollSpeed(int nAxis) {
    const cPlayScene* p = GetPlayScene();
    if (!p) return 0;
    const cScroll& s = nAxis ? p->m_ScrollY : p->m_ScrollX;
    return s.m_bAuto && !s.m_bHeld && std::isfinite(s.m_dSpeed) ? s.m_dSpeed : 0;
}

void cCharaBase::SanitizeMotion() {
    double* apSpeed[] = {&m_dVx, &m_dVy, &m_dCmdVx, &m_dCmdVy, &m_dKnockX, &m_dKnockY, &m_dLastKnockY};
    for (double* p : apSpeed) *p = Finite(*p);
    if (!std::isfinite(m_dX) || !std::isfinite(m_dRight)) {
        m_dX = std::isfinite(m_SavedPos.dX) ? m_SavedPos.dX : m_dStartX;
        m_dRight = m_dX + m_nWidth - 1;
    }
    if (!std::isfinite(m_dY) || !std::isfinite(m_dBottom)) {
        m_dY = std::isfinite(m_SavedPos.dY) ? m_SavedPos.dY : m_dStartY;
        m_dBottom = m_dY + m_nHeight - 1;
    }
}

void cCharaBase::ClearBlockHitFlags() { m_bHitLeft = m_bHitRight = m_bHitTop = m_bHitBottom = 0; }

void cCharaBase::ApplyGravity() {
    if (m_bFlight || m_bRiding || m_bNoGravity || m_dKnockY < 0) return;
    m_dVy += Gravity();
}

void cCharaBase::SavePos() { m_SavedPos = SAVEDPOS{m_dX, m_dY, m_dRight, m_dBottom}; }

void cCharaBase::RestorePos() {
    m_dX = m_SavedPos.dX;
    m_dY = m_SavedPos.dY;
    m_dRight = m_SavedPos.dRight;
    m_dBottom = m_SavedPos.dBottom;
}

static void DecayToward0(double* p) {
    double d = 1.0 / StageSubSteps();
    if (*p > 0) *p = *p - d < 0 ? 0 : *p - d;
    else if (*p < 0) *p = *p + d > 0 ? 0 : *p + d;
}

void cCharaBase::DecayKnockX() { DecayToward0(&m_dKnockX); }
void cCharaBase::DecayKnockY() { DecayToward0(&m_dKnockY); }

void cCharaBase::Land() {
    m_dVy = 0;
    m_dCmdVy = 0;
    m_bHitBottom = 1;
    m_nAirSteps = 0;
    m_bAirborne = 0;
    m_bJumping = 0;
    m_bJumpTop = 0;
    m_bKnocked = 0;
    if (!IsHero()) m_bJumpHold = 0;
    if (std::isfinite(m_dBottom)) m_dY -= Mod32(m_dBottom) + 1;
    ClampY();
    FireEvent(9);
    FireEvent(13);
    FireEvent(15);
}

void cCharaBase::HitCeiling() {
    m_bJumpTop = m_bJumping = m_bHitTop = m_bJumpHold = 1;
    m_dVy = 0;
    m_dCmdVy = 0;
    if (!Rule(&cSystemData::m_bRuleCeilingKeepsKnock)) m_dKnockY = 0;
    if (std::isfinite(m_dY)) m_dY += 32 - Mod32(m_dY);
    ClampY();
    FireEvent(9);
    FireEvent(13);
    FireEvent(14);
}

void cCharaBase::EndRide(int bPushed) {
    m_bRiding = 0;
    if (m_dKnockY == 0) m_dVy = 0;
    if (bPushed) m_bPushed = 1;
}

bool cCharaBase::IsStanding() const {
    if (m_bRiding) return true;
    return MapCellKind(m_nGroundCell, m_nGroup) != 0;
}

void cCharaBase::ApplyKnockback(int nImp, double dDx, double dDy) {
    if (nImp == 0) return;
    int r = m_Data.m_nImpactResist;
    int e;
    if (nImp < 0) e = std::clamp(nImp + r, -20, 0);
    else e = std::clamp(nImp - r, 0, 20);
    if (e != 0) CalcKnockback(&m_dKnockX, &m_dKnockY, e, Finite(dDx), Finite(dDy));
    if (m_dCmdVx != 0 && OppositeSigns(m_dCmdVx, m_dKnockX)) m_dCmdVx = 0;
    if (m_dCmdVy != 0 && OppositeSigns(m_dCmdVy, m_dKnockY)) m_dCmdVy = 0;
    if (OppositeSigns(m_dVy, m_dKnockY)) m_dVy = 0;
    m_bKnocked = 1;
}

void cCharaBase::KnockbackFromChara(const cCharaBase* pAttacker) {
    if (!pAttacker) return;
    double dy = pAttacker->m_dVy;
    if (!pAttacker->m_bFlight && !(dy > 8.0 * StageSubSteps() * Gravity())) dy = 0;
    ApplyKnockback(pAttacker->m_Data.m_nImpact, pAttacker->m_dVx, dy);
}

void cCharaBase::KnockbackFromShot(int nImp, double dVx, double dVy, int bOwnVelocity, int nDir) {
    if (bOwnVelocity) ApplyKnockback(nImp, dVx, dVy);
    else ApplyKnockback(nImp, nDir ? 1.0 : -1.0, 0);
}

void cCharaBase::ApplyKnockY() {
    if (m_dKnockY != 0) {
        if (m_bFlight) {
            m_dVy += m_dKnockY;
        } else if (m_dKnockY > 0 && IsStanding()) {
            m_dKnockY = 0;
        } else if (Rule(&cSystemData::m_bRuleKnockYAlways) || m_dLastKnockY - m_dVy <= 1.0 / StageSubSteps()) {
            m_dVy = m_dKnockY + (m_dVy - m_dLastKnockY);
        }
    }
    m_dLastKnockY = m_dKnockY;
}

bool cCharaBase::StepFlowRuns(int bDeathOnly) {
    m_bSteppingFlows = 1;
    bool bGone = false;
    for (size_t i = 0; i < m_vecFlowRun.size(); i++) {
        cFlowRun* pRun = &m_vecFlowRun[i];
        if (!pRun->m_bRun || pRun->m_bPause || pRun->m_bStop) continue;
        const cFlow* pFlow = pRun->m_lpFlow;
        bool bDeathFlow = pFlow && pFlow->m_nTrigger == 3;
        if (bDeathOnly && !bDeathFlow) continue;
        if (pRun->m_vecCmdRun.empty()) {
            pRun->Stop(this);
            continue;
        }
        if (pRun->Step()) {
            // The run vector may have changed under the step.
            if (i < m_vecFlowRun.size()) m_vecFlowRun[i].Stop(this);
        }
        if (!IsHero() && m_bVanish) { bGone = true; break; }
        if (!bDeathOnly && !bDeathFlow && m_nHp <= 0) { bGone = true; break; }
    }
    m_bSteppingFlows = 0;
    return bGone;
}

void cCharaBase::FinishFlowStep() {
    if (m_bRemovePending) {
        for (int i = static_cast<int>(m_vecFlowRun.size()) - 1; i >= 0; i--)
            if (m_vecFlowRun[i].m_bRemove) RemoveFlow(i);
        m_bRemovePending = 0;
    }
    ReleaseFlowGroups();
}

void cCharaBase::SetStandingAnim() {
    if (m_bAnimReq) m_Anim.ChangePattern(m_nAnimReq, 0);
    else if (m_dCmdVx != 0 || m_dCmdVy != 0) return;
    else m_Anim.ChangePattern(m_bFlight ? 2 : 0, 0);
}

void cCharaBase::BeginFlowStep() {
    m_bNoGravity = 0;
    m_bCmdDecayX = m_bCmdDecayY = 1;
    m_bHideFrame = 0;
    m_bAnimReq = m_nAnimReq = 0;
    if (m_nLockFrames > 0) m_nLockFrames--;
}

// --- placed characters ---

int cChara::MoveX() {
    SanitizeMotion();
    if (m_dKnockX != 0) {
        m_dVx = m_dKnockX;
    } else if (m_dCmdVx != 0) {
        DecayCmdVelocity(&m_dCmdVx, m_bCmdDecayX);
        m_dVx += m_dCmdVx;
    }
    m_dVx = Finite(m_dVx);
    int nCode = MoveStepX(2);
    ClampX();
    return nCode == 3 ? 4 : nCode;
}

int cChara::MoveY() {
    SanitizeMotion();
    ApplyKnockY();
    if (m_dKnockY == 0 && m_bFlight && m_dCmdVy != 0) {
        DecayCmdVelocity(&m_dCmdVy, m_bCmdDecayY);
        m_dVy += m_dCmdVy;
    }
    m_dVy = Finite(m_dVy);
    int nCode = MoveStepY(2);
    ClampY();
    if (m_bFlight && (nCode == 3 || nCode == 6)) return 8;
    if (!m_bFlight && (nCode == 5 || nCode == 6)) return 7;
    return nCode;
}

void cChara::DoJump(cCmdRun* pRun) {
    if (!pRun) return;
    const cEdCmd* pCmd = pRun->m_lpCmd;
    if (Rule(&cSystemData::m_bRuleCharaJumpGroundOnly)) {
        if (m_bAirborne || m_bJumpHold || m_bKnocked || m_nAirSteps > 0) return;
        pRun->m_bInit = 1;
        PlayCmdSound(pCmd, nullptr);
    } else if (pRun->m_bInit) {
        if (IsStanding()) {
            m_bJumpHold = 0;
            m_bKnocked = 0;
            pRun->m_nLeft = 0;
        }
        return;
    } else {
        bool bWait = m_bAirborne || m_bJumpHold || m_bKnocked ||
                     (Rule(&cSystemData::m_bRuleCharaJumpAirSteps) ? m_nAirSteps > 0 : m_bJumping != 0);
        if (bWait) {
            if (static_cast<int64_t>(pRun->m_nCount) + 1 >= 4 * static_cast<int64_t>(StageSubSteps())) {
                pRun->m_bInit = 1;
                pRun->m_nLeft = 0;
            }
            return;
        }
        pRun->m_bInit = 1;
        PlayCmdSound(pCmd, this);
    }
    m_dVy = Finite(pRun->m_Move.dSpeed);
    m_bJumping = m_bJumpTop = 1;
    m_bRiding = 0;
}

namespace {
// The velocity a step starts from: at rest, or the auto-scroll's speed with
// bWithScroll; the vertical part only while flying.
void SetStepBaseVelocity(cObj* p, bool bWithScroll) {
    double sx = 0, sy = 0;
    if (bWithScroll) {
        sx = AutoScrollSpeed(0);
        sy = AutoScrollSpeed(1);
    }
    p->m_dVx = sx;
    if (p->m_bFlight) p->m_dVy = sy;
}
}  // namespace

void cChara::SetBaseVelocity() {
    SetStepBaseVelocity(this, !Rule(&cSystemData::m_bScrollAddsToMoves) && m_bScrollSync);
}

int cChara::RunFlows(int bDeathOnly) {
    cCurrentRunScope scope(this, nullptr, nullptr);
    SetBaseVelocity();
    BeginFlowStep();
    StartScheduledAnims();
    if (StepFlowRuns(bDeathOnly)) return 1;
    FinishFlowStep();
    SetStandingAnim();
    return m_nHp <= 0 || m_bVanish ? 1 : 0;
}

// --- the hero ---

int cHero::MoveX() {
    SanitizeMotion();
    if (m_dKnockX != 0) {
        m_dVx = m_dKnockX;
    } else if (m_dCmdVx != 0) {
        DecayCmdVelocity(&m_dCmdVx, m_bCmdDecayX);
        if (m_nBlockSpeedKind == 3 && m_nBlockSpeedTimer > 0) {
            double d = PerSecToStep(m_dBaseAccel) * (m_dBlockSpeedValue - 1);
            if (m_dCmdVx <= 0) {
                m_dCmdVx -= d;
                if (m_dCmdVx > 0) m_dCmdVx = 0;
            } else {
                m_dCmdVx += d;
                if (m_dCmdVx < 0) m_dCmdVx = 0;
            }
        }
        m_dCmdVx = Finite(m_dCmdVx);
        m_dVx += m_dCmdVx;
    }
    double dLimit = StepSpeedLimit();
    m_dVx = std::clamp(Finite(m_dVx), -dLimit, dLimit);
    m_dX += m_dVx;
    ClampX();
    return 0;
}

int cHero::MoveY() {
    SanitizeMotion();
    ApplyKnockY();
    if (m_bFlight && m_dKnockY == 0) {
        DecayCmdVelocity(&m_dCmdVy, m_bCmdDecayY);
        m_dVy += m_dCmdVy;
    }
    m_dVy = Finite(m_dVy);
    int nCode = MoveStepY(m_bFlight ? 0 : 2);
    ClampY();
    if (!m_bFlight && (nCode == 5 || nCode == 6)) return 7;
    return nCode;
}

void cHero::DoJump(cCmdRun* pRun) {
    if (!pRun || m_bJumpDone || m_bFlight) return;
    const cEdCmd* pCmd = pRun->m_lpCmd;
    int nMode = pCmd ? pCmd->Param(0) : 0;
    cPlayScene* pScene = GetPlayScene();
    const cFlow* pFlow = pScene && pScene->m_lpCurFlow ? pScene->m_lpCurFlow->m_lpFlow : nullptr;
    bool bHasKeys = pFlow && !pFlow->m_vKey.empty();
    bool bKeyDown = bHasKeys && CheckKeyState(GetKeyInput(), pFlow->m_vKey.back());
    bool bHeld = nMode == 0 ? true : bKeyDown;
    int b = StageSubSteps();
    if (nMode == 2 && pCmd) {
        double s = std::fabs(m_dCmdVx);
        double dFull = pCmd->Param(1) / (10.0 * b);
        double dLow = pCmd->Param(3) / (10.0 * b);
        int h;
        if (s >= dFull) h = pCmd->Param(2);
        else if (s > dLow) h = static_cast<int>(std::floor(pCmd->Param(4) + (pCmd->Param(2) - pCmd->Param(4)) * s / dFull));
        else h = pCmd->Param(4);
        pRun->m_Move.dSpeed = JumpSpeed(h);
    }
    double J = Finite(pRun->m_Move.dSpeed);
    int nDuration = pRun->m_nTime;
    if (!bHeld || m_bNoJump) {
        if (m_nJumpFrames > 0 && m_nJumpFrames < nDuration && !m_bJumpTop && !m_bJumpHold && !m_bNoJump &&
            !m_bKnocked) {
            m_bRiding = 0;
            if (m_dVy < 0) m_dVy *= 0.3;
            m_bJumpTop = 1;
        }
        m_nJumpFrames = 0;
        m_bJumpReady = 1;
        m_bJumpHold = 0;
    } else {
        if (m_nJumpFrames < INT32_MAX) m_nJumpFrames++;
        if (m_nJumpFrames >= nDuration && (m_dVy < 0 || m_bRiding) && m_bJumpReady && (!m_bJumpTop || m_bRiding) &&
            !m_bJumpHold) {
            m_bJumpTop = 1;
            m_bJumpReady = 0;
        } else if (!m_bAirborne && m_nJumpFrames <= b && m_bJumpReady && (!m_bJumpTop || m_bRiding) && !m_bJumpHold &&
                   !m_bKnocked && !pRun->m_bInit) {
            bool bLastSubStep = !pScene || pScene->m_nSubStep >= b;   // sub-steps run 1..b
            bool bStarted = false;
            if (Rule(&cSystemData::m_bRuleHeroJumpOnRide)) {
                m_bJumping = 1;
                if (m_bRiding) {
                    if (bLastSubStep) {
                        m_dVy = J * 1.02;
                        m_bRiding = 0;
                        bStarted = true;
                    }
                } else {
                    m_dVy = J;
                    bStarted = true;
                }
            } else if (!m_bJumping) {
                // A riding hero waits for the frame's last sub-step; it is
                // not jumping until then, or the wait would never end.
                if (m_bRiding) {
                    if (bLastSubStep) {
                        m_dVy = J;
                        m_bRiding = 0;
                        bStarted = true;
                    }
                } else {
                    m_dVy = J;
                    bStarted = true;
                }
                if (bStarted) m_bJumping = 1;
            }
            if (bStarted) {
                pRun->m_bInit = 1;
                PlayCmdSound(pCmd, nullptr);
            }
        }
    }
    if (IsStanding() && m_dVy >= 0) {
        if (bHasKeys && !bKeyDown) {
            m_nJumpFrames = 0;
            m_bJumpReady = 1;
            m_bJumpHold = m_bKnocked = 0;
            pRun->m_nLeft = 0;
        } else if (!bHasKeys) {
            m_nJumpFrames = 0;
            m_bJumpReady = 1;
            m_bJumpHold = m_bKnocked = 0;
            pRun->m_bInit = 0;
        }
    }
    m_bJumpDone = 1;
}

void cHero::SetBaseVelocity() {
    if (Rule(&cSystemData::m_bScrollAddsToMoves)) {
        if (m_bFlight) {
            m_dVx = AutoScrollSpeed(0);
            m_dVy = AutoScrollSpeed(1);
        } else {
            m_dVx = 0;
        }
        return;
    }
    SetStepBaseVelocity(this, m_bScrollSync);
}

int cHero::RunFlows(int bDeathOnly) {
    cCurrentRunScope scope(this, nullptr, nullptr);
    SetBaseVelocity();
    m_bJumpDone = 0;
    m_anFrameWork[0] = m_anFrameWork[1] = 0;
    int nLockBefore = m_nLockFrames;
    BeginFlowStep();
    if (nLockBefore > 0 && m_nLockFrames == 0) m_bPosRestore = 0;
    StartScheduledAnims();
    if (StepFlowRuns(bDeathOnly)) return 1;
    {
        cCurrentRunScope none(nullptr, nullptr, nullptr);
        std::vector<cEdCmd> vecPending;
        vecPending.swap(m_vecPendingCmd);
        for (cEdCmd& cmd : vecPending) CmdExec_FlowChange(this, &cmd, 1);
    }
    FinishFlowStep();
    if (m_nFrameCount < INT32_MAX) m_nFrameCount++;
    SetStandingAnim();
    if (!m_bJumpDone) {
        m_nJumpFrames = 0;
        m_bJumpReady = 1;
        m_bJumpHold = 0;
    }
    return m_nHp <= 0 ? 1 : 0;
}
