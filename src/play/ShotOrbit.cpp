// The ten trajectories of a shot: straight, aiming at the hero, the nearest
// character or the target once, homing on them, the wave and the fall.
#include <algorithm>
#include <cmath>

#include "play/CharaBase.h"
#include "play/CharaSearch.h"
#include "play/Hero.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "stage/Stage.h"

namespace {
double StepFactor() {
    double b = PlayStage().m_dStepFactor;
    return b > 0 ? b : 1.0;
}

// Step 0 of every trajectory: the speed per step it steers with.
void StartOrbit(cShot* s) {
    if (s->m_nStepCount != 0) return;
    s->m_dOrbitSpeed = (static_cast<double>(s->m_Shot.m_nSpeed) +
                        static_cast<double>(s->m_Shot.m_nSpeedInc) * s->m_nSetupParam) *
                       0.1 / StepFactor();
}

// A distance in hbl as steps at the trajectory speed.
int32_t DistSteps(const cShot* s, int nHbl) {
    if (s->m_dOrbitSpeed == 0) return 0;
    double d = std::trunc(static_cast<double>(nHbl) * 16.0 / s->m_dOrbitSpeed);
    if (!std::isfinite(d) || d > 2147483647.0 || d < -2147483648.0) return 0;
    return static_cast<int32_t>(d);
}

cObj* Hero0() {
    auto& v = vecPlayer();
    return v.empty() ? nullptr : v[0].get();
}

cCharaBase* NearestOfGroup(cShot* s, int nGroup) {
    cPlayScene* pScene = GetPlayScene();
    if (!pScene || nGroup < 0 || nGroup >= static_cast<int>(pScene->m_vecGroupChara.size())) return nullptr;
    return s->FindNearestForMe(pScene->m_vecGroupChara[nGroup]);
}

cObj* LiveTarget(cShot* s) {
    cCharaBase* t = s->m_lpTarget.GetAs<cCharaBase>();
    return (t && !t->m_bDead) ? t : nullptr;
}

// The desired velocity toward an object's centre.
void SolveToward(cShot* s, const cObj* t, double* pVx, double* pVy) {
    s->UpdateScreenRect();
    int x0, y0, x1, y1, nDir = 0;
    GetFrameCenter(s, &x0, &y0);
    GetFrameCenter(t, &x1, &y1);
    *pVx = *pVy = 0;
    SolveMove(pVx, pVy, &nDir, s, x0, y0, x1, y1, s->m_dOrbitSpeed, s->m_bScrollSync, 0, 0);
}

void AimCommon(cShot* s, cObj* (*pfnTarget)(cShot*)) {
    if (s->m_bOrbitDone) return;
    StartOrbit(s);
    if (s->m_nStepCount == 0) s->m_nOrbitStart = s->m_Shot.m_anOrbitParam[0] ? DistSteps(s, s->m_Shot.m_anOrbitParam[0]) : 0;
    if (s->m_nStepCount == s->m_nOrbitStart) {
        if (cObj* t = pfnTarget(s)) s->AimAt(t);
        s->m_bOrbitDone = 1;
    }
    s->m_nStepCount++;
}

void HomeCommon(cShot* s, cObj* (*pfnTarget)(cShot*)) {
    if (s->m_bOrbitDone) return;
    StartOrbit(s);
    if (s->m_nStepCount == 0) {
        s->m_nOrbitStart = s->m_Shot.m_anOrbitParam[0] ? DistSteps(s, s->m_Shot.m_anOrbitParam[0]) : 0;
        s->m_nOrbitEnd = s->m_Shot.m_anOrbitParam[1] ? DistSteps(s, s->m_Shot.m_anOrbitParam[1]) : 0;
    }
    if (s->m_nStepCount >= s->m_nOrbitEnd) {
        s->m_bOrbitDone = 1;
    } else if (s->m_nStepCount >= s->m_nOrbitStart) {
        if (cObj* t = pfnTarget(s)) s->HomeStep(t);
    }
    s->m_nStepCount++;
}

cObj* TargetHero(cShot*) { return Hero0(); }
cObj* TargetNearestAim(cShot* s) { return NearestOfGroup(s, s->m_Shot.m_anOrbitParam[1]); }
cObj* TargetNearestHome(cShot* s) { return NearestOfGroup(s, s->m_Shot.m_anOrbitParam[2]); }
cObj* TargetSlot(cShot* s) { return LiveTarget(s); }

// A component whose sign changes within the step stops for that step.
double AddNoCross(double v, double d) {
    double n = v + d;
    if ((v < 0 && n > 0) || (v > 0 && n < 0)) return 0;
    return n;
}
}   // namespace

void cShot::AimAt(const cObj* pTarget) {
    double vx, vy;
    SolveToward(this, pTarget, &vx, &vy);
    m_dShotVx = vx;
    m_dShotVy = vy;
    if (m_bAccel) SetAccelVector(&m_dCmdVx, &m_dCmdVy, vx, vy);
}

void cShot::HomeStep(const cObj* pTarget) {
    double vx, vy;
    SolveToward(this, pTarget, &vx, &vy);
    if (!m_bAccel) {
        m_dShotVx = vx;
        m_dShotVy = vy;
        return;
    }
    if (m_nStepCount == m_nOrbitStart) {
        m_dShotVx = vx;
        m_dShotVy = vy;
    }
    SetAccelVector(&m_dCmdVx, &m_dCmdVy, vx, vy);
}

void ShotMove_AimHero(cShot* s) { AimCommon(s, TargetHero); }
void ShotMove_AimNearest(cShot* s) { AimCommon(s, TargetNearestAim); }
void ShotMove_AimTarget(cShot* s) { AimCommon(s, TargetSlot); }
void ShotMove_HomeHero(cShot* s) { HomeCommon(s, TargetHero); }
void ShotMove_HomeNearest(cShot* s) { HomeCommon(s, TargetNearestHome); }
void ShotMove_HomeTarget(cShot* s) { HomeCommon(s, TargetSlot); }

void ShotMove_Wave(cShot* s) {
    if (s->m_bOrbitDone) return;
    const int nFreq = s->m_Shot.m_anOrbitParam[1];
    if (nFreq == 0) {
        // No wave speed: no weaving, the shot flies straight.
        s->m_bOrbitDone = 1;
        return;
    }
    const double b = StepFactor();
    if (s->m_nStepCount == 0) {
        int nAmp = s->m_Shot.m_anOrbitParam[0] * 16;
        s->m_Shot.m_anOrbitParam[0] = static_cast<int16_t>(std::clamp(nAmp, -32768, 32767));
        s->m_nStepCount = 1;
        double a = s->m_nDir ? s->m_Shot.m_anOrbitParam[2] : s->m_Shot.m_anOrbitParam[2] + 180.0;
        s->m_dWaveAngle = b * a / nFreq;
        double h = StepWave(s->m_Shot.m_anOrbitParam[0], nFreq, &s->m_dWaveAngle, 1.0, 0.0);
        double th = std::atan2(s->m_dShotVy, s->m_dShotVx);
        if (th < 0) th += 2 * M_PI;
        double psi = (th * 57.29577951308239 - 90.0) / 57.29577951308239;
        s->m_dWaveCos = std::cos(psi);
        s->m_dWaveSin = std::sin(psi);
        s->m_dShotVx += h * s->m_dWaveCos;
        s->m_dShotVy += h * s->m_dWaveSin;
    } else {
        double g = StepWaveAccel(s->m_Shot.m_anOrbitParam[0], nFreq, &s->m_dWaveAngle, 1.0, 0.0);
        s->m_dShotVx = AddNoCross(s->m_dShotVx, g * s->m_dWaveCos);
        s->m_dShotVy = AddNoCross(s->m_dShotVy, g * s->m_dWaveSin);
    }
    if (s->m_bAccel) s->SetAccelVector(&s->m_dCmdVx, &s->m_dCmdVy, s->m_dShotVx, s->m_dShotVy);
}

void ShotMove_Fall(cShot* s) {
    if (s->m_bOrbitDone) return;
    StartOrbit(s);
    if (s->m_nStepCount == 0) s->m_nOrbitStart = DistSteps(s, s->m_Shot.m_anOrbitParam[0]);
    if (s->m_nStepCount >= s->m_nOrbitStart) {
        s->m_dVy = s->m_dShotVy;
        s->m_bFlight = 0;
        s->m_bOrbitDone = 1;
    }
    s->m_nStepCount++;
}

const SHOTORBITFUNC pfnShotTrajectory[SHOT_ORBIT_COUNT] = {
    nullptr,          ShotMove_AimHero,   ShotMove_AimNearest,  ShotMove_AimTarget, ShotMove_HomeHero,
    ShotMove_HomeNearest, ShotMove_HomeTarget, ShotMove_HomeNearest, ShotMove_Wave,   ShotMove_Fall,
};
