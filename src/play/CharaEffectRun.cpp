#include "play/CharaEffectRun.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "play/EffectRuns.h"
#include "play/PlayContext.h"
#include "project/Database.h"

cChkVector<cCharaEffectRun> vecCharaEffectRun;
cChkVector<cCharaEffectRun> vecCharaEffectRunRev;

void cCharaEffectRun::Clear() {
    m_nEffect = 0;
    m_nKind = 0;
    m_bLoop = 0;
    m_bReversed = 0;
}

void cCharaEffectRun::Init(int nEffect, int bReversed) {
    *this = cCharaEffectRun();
    m_nEffect = nEffect;
    const cDatabase* pDb = PlayCtx().lpDatabase;
    const cCharaEffect* pDef = nullptr;
    if (pDb) {
        if (bReversed && pDb->m_vCharaEffectRev.IsValid(nEffect)) pDef = &pDb->m_vCharaEffectRev[nEffect];
        else if (pDb->m_vCharaEffect.IsValid(nEffect)) pDef = &pDb->m_vCharaEffect[nEffect];
    }
    if (pDef) {
        m_nKind = pDef->m_nKind;
        std::copy(pDef->m_anParam, pDef->m_anParam + 5, m_anParam);
    }
    // A kind this program does not know runs as none.
    if (m_nKind < 0 || m_nKind >= CHARA_EFFECT_KINDS) m_nKind = 0;
    // The reversed run reads its definition with start and end exchanged;
    // the working copy itself is never changed, so preparing twice is the
    // same as preparing once.
    if (bReversed) std::swap(m_anParam[1], m_anParam[2]);
    m_nTime = P(1);
    if (m_nKind == 0) return;
    if (m_nKind == 6 || m_nKind == 14) {
        m_nStart = 0;
        m_nEnd = m_nTime;
        m_dValue = 0;
        m_dStepSize = 1.0 / 6.0;
    } else {
        m_nStart = P(2);
        m_nEnd = P(3);
        m_dValue = m_nStart;
        const double dSpan = std::abs(static_cast<double>(m_nEnd) - m_nStart);
        // Without a time the run ends at its first step.
        m_dStepSize = m_nTime > 0 ? dSpan / (m_nTime * 6.0) : dSpan + 1.0;
        if (m_nKind == 4 || m_nKind == 5) m_nExtra1 = 0;
    }
    if (m_nStart == m_nEnd) {
        m_dStepSize = 1.0 / 6.0;
        m_dElapsed = 0;
    }
}

namespace {

// A run of effect nEffect from its prepared copy (or prepared now), then
// set going from its first step.
void Begin(cCharaEffectRun& r, int nEffect, int nType, int bLoop, int bReversed) {
    cChkVector<cCharaEffectRun>& v = bReversed ? vecCharaEffectRunRev : vecCharaEffectRun;
    if (v.IsValid(nEffect)) r.CopyFrom(v[nEffect]);
    else r.Init(nEffect, bReversed);
    r.m_nEffect = nEffect;
    r.m_nRunType = nType;
    r.m_bLoop = bLoop;
    r.m_bReversed = bReversed;
    r.m_nStep = 0;
}

}  // namespace

void cCharaEffectRun::Start(int nEffect, int nType, int bLoop) {
    PrepareEffectRuns();
    Begin(*this, nEffect, nType, bLoop, nType == 1);
}

void cCharaEffectRun::Restart() {
    // A back-and-forth run (type 2) turns round at each restart.
    Begin(*this, m_nEffect, m_nRunType, m_bLoop, m_nRunType == 2 ? !m_bReversed : m_bReversed);
}

int cCharaEffectRun::Step() {
    m_nStep++;
    bool bGoing;
    if (m_nStart == m_nEnd) {
        m_dElapsed += m_dStepSize;
        bGoing = m_dElapsed <= m_nTime;
    } else if (m_nEnd < m_nStart) {
        m_dValue -= m_dStepSize;
        bGoing = m_dValue >= m_nEnd;
    } else {
        m_dValue += m_dStepSize;
        bGoing = m_dValue <= m_nEnd;
    }
    if (bGoing) return 0;
    if (m_bLoop || (m_nRunType == 2 && !m_bReversed)) {
        Restart();
        return 0;
    }
    m_nKind = 0;
    m_nEffect = 0;
    return 1;
}
