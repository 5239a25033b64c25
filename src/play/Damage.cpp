// Damage, invincibility, gauges and defeat of a character.
#include <algorithm>

#include "foundation/Saturate.h"
#include "play/CharaBase.h"
#include "play/Combat.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/Progress.h"
#include "stage/Stage.h"

namespace {
int SubSteps() {
    const cStage* p = PlayCtx().lpStage;
    return (p && p->m_nSubStep > 0) ? p->m_nSubStep : 1;
}

// The power that reaches the HP arithmetic: above 0 less the defence, within
// 0..999999; 0 or below as it is (a heal), but not below -999999.
int32_t EffectivePower(int64_t nPower, int64_t nDef) {
    if (nPower > 0) return static_cast<int32_t>(std::clamp<int64_t>(nPower - nDef, 0, POWER_MAX));
    return static_cast<int32_t>(std::max<int64_t>(nPower, POWER_MIN));
}

void StartGauge(GAUGE& g, int n, int nValue, int nMax) {
    if (n == 0 || nMax <= 0) return;
    g.nShown = 120;
    g.nWidth = static_cast<int32_t>(static_cast<int64_t>(nValue) * 50 / nMax);
    g.dChange = static_cast<double>(n) * 50.0 / nMax;
    g.dStep = g.dChange * (1.0 / 60.0);
}

HITRECT BoxOf(const HITBOX& b) { return {b.dLeft, b.dTop, b.dRight, b.dBottom}; }
}   // namespace

int cCharaBase::AddHp(int n, int bForce, int bGauge) {
    if (n <= 0 && m_Data.m_nInvincible != 0 && !bForce) return 0;
    int64_t nMax = std::max<int64_t>(m_Data.m_nMaxHp, 0);
    int64_t nAdd = n;
    if (nAdd > 0) nAdd = std::min<int64_t>(nAdd, nMax - m_nHp);
    int64_t nHp = std::clamp<int64_t>(static_cast<int64_t>(m_nHp) + nAdd, 0, nMax);
    m_nHp = static_cast<int32_t>(nHp);
    if (m_nHp <= 0) {
        m_nHp = 0;
        return 1;
    }
    if (bGauge) StartHpGauge(SaturateInt32(nAdd));
    return 0;
}

int cCharaBase::AddSp(int n, int bGauge) {
    int64_t nMax = m_Data.m_nMaxSp;
    if (nMax <= 0) return 1;
    int64_t nAdd = n;
    if (nAdd > 0) nAdd = std::min<int64_t>(nAdd, nMax - m_nSp);
    m_nSp = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(m_nSp) + nAdd, 0, nMax));
    if (bGauge) StartSpGauge(SaturateInt32(nAdd));
    return 0;
}

void cCharaBase::StartHpGauge(int n) { StartGauge(m_HpGauge, n, m_nHp, m_Data.m_nMaxHp); }
void cCharaBase::StartSpGauge(int n) { StartGauge(m_SpGauge, n, m_nSp, m_Data.m_nMaxSp); }

void cCharaBase::StartInvincible() {
    const cStage* p = PlayCtx().lpStage;
    int64_t nTime = 0;
    if (p) nTime = IsHero() ? p->m_nHeroInvincibleAll : p->m_nCharaInvincibleAll;
    m_nInvTime = SaturateInt32(nTime * SubSteps());
}

void cCharaBase::StartInvincibleAgainst(const cObj* pAttacker) {
    StartInvincible();
    const cStage* p = PlayCtx().lpStage;
    int64_t nTime = 0;
    if (p) nTime = IsHero() ? p->m_nHeroInvincibleSame : p->m_nCharaInvincibleSame;
    INVAGAINST e;
    e.Obj = cObjRef(pAttacker);
    e.nSteps = SaturateInt32(nTime * SubSteps());
    m_lstInvAgainst.push_back(e);
}

void cCharaBase::StepInvincible() {
    if (m_nInvTime > 0) m_nInvTime--;
    for (auto it = m_lstInvAgainst.begin(); it != m_lstInvAgainst.end();) {
        if (--it->nSteps <= 0)
            it = m_lstInvAgainst.erase(it);
        else
            ++it;
    }
}

bool cCharaBase::IsInvincibleAgainst(const cObj* pAttacker) const {
    if (m_nInvTime > 0) return true;
    cObjRef r(pAttacker);
    for (const INVAGAINST& e : m_lstInvAgainst)
        if (e.Obj == r) return true;
    return false;
}

int cCharaBase::TakeBodyDamage(cCharaBase* pAttacker) {
    if (!pAttacker) return 0;
    int32_t a = EffectivePower(pAttacker->m_Data.m_nPower, m_Data.m_nDefence);
    int r = AddHp(-a, 0, 1);
    if (pAttacker->m_Data.m_nHitEffect != 0)
        AddHitEffect(pAttacker->m_Data.m_nHitEffect, BoxOf(m_HitBox1), BoxOf(pAttacker->m_HitBox1),
                     std::max<int>(pAttacker->m_Data.m_nGiant, 1));
    return r;
}

int cCharaBase::TakeShotDamage(cShot* pShot) {
    if (!pShot) return 0;
    int32_t a = EffectivePower(pShot->m_Shot.m_nPower, m_Data.m_nDefence);
    int r = AddHp(-a, 0, 1);
    if (pShot->m_Shot.m_nEffect != 0)
        AddHitEffect(pShot->m_Shot.m_nEffect, BoxOf(m_HitBox2),
                     {pShot->m_rcHit[0], pShot->m_rcHit[1], pShot->m_rcHit[2], pShot->m_rcHit[3]},
                     std::max<int>(pShot->m_Shot.m_nSize, 1));
    int bOwnVelocity = pShot->m_bProjectile && (pShot->m_dVx != 0 || pShot->m_dVy != 0);
    KnockbackFromShot(pShot->m_Shot.m_nImpact, pShot->m_dVx, pShot->m_dVy, bOwnVelocity, pShot->m_nDir);
    return r;
}

void cCharaBase::FireBodyHitEvents(cCharaBase* pAttacker) {
    if (!pAttacker) return;
    auto fire = [&](int nMine, int nTheirs) {
        cCharaBase* pParent = pAttacker->m_lpParent.GetAs<cCharaBase>();
        if (pParent && pAttacker->m_bNotifyParent) {
            FireEvent(nMine, pParent);
            pParent->FireEvent(nTheirs, this, pAttacker->m_nNotifyFlowId);
        } else {
            FireEvent(nMine, pAttacker);
        }
    };
    if (pAttacker->m_Data.m_nPower != 0) fire(EVENT_DAMAGED, EVENT_DEALT_DAMAGE);
    if (pAttacker->m_Data.m_nImpact != 0) fire(EVENT_KNOCKED, EVENT_DEALT_KNOCK);
}

void cCharaBase::FireShotHitEvents(cShot* pShot) {
    if (!pShot) return;
    auto fire = [&](int nMine, int nTheirs) {
        cCharaBase* pOwner = pShot->m_lpAttacker.GetAs<cCharaBase>();
        FireEvent(nMine, pOwner);
        if (pOwner && pShot->m_bCreditAttacker) pOwner->FireEvent(nTheirs, this, pShot->m_nCreditParam);
    };
    if (pShot->m_Shot.m_nPower != 0) fire(EVENT_DAMAGED, EVENT_DEALT_DAMAGE);
    if (pShot->m_Shot.m_nImpact != 0) fire(EVENT_KNOCKED, EVENT_DEALT_KNOCK);
}

int cCharaBase::Defeat() {
    FireEvent(EVENT_DEATH);
    RunFlows(1);
    if (cProgress* pProgress = PlayCtx().lpProgress)
        pProgress->m_nScore = static_cast<int32_t>(
            std::clamp<int64_t>(static_cast<int64_t>(pProgress->m_nScore) + m_Data.m_nScore, 0, SCORE_MAX));
    int nItem = 0;
    cPlayScene* pScene = GetPlayScene();
    if (cItem* pDrop = GetDropItem()) {
        if (pScene && !vecPlayer().empty() && vecPlayer()[0]) nItem = pScene->TakeItem(pDrop, vecPlayer()[0].get());
    }
    if ((pScene && pScene->m_nClear == 1) || nItem == 1) return 1;
    UnlinkAll();
    m_bDead = 1;
    if (m_Data.m_nDefeatEffect != 0)
        m_CharaEffect.Start(m_Data.m_nDefeatEffect, m_Data.m_nDefeatEffectSrc, 0);
    else
        m_CharaEffect.Clear();
    return 0;
}

void cCharaBase::UnlinkAll() {
    cObjRef self(this);
    // Objects that hold this character as a target or as their parent.
    std::vector<CHARALINK> vecLink;
    vecLink.swap(m_vecLink);
    for (const CHARALINK& l : vecLink) {
        cCharaBase* p = l.Obj.GetAs<cCharaBase>();
        if (!p) continue;
        if (l.nSlot >= 0 && l.nSlot < 4) {
            if (static_cast<size_t>(l.nSlot) < p->m_vecTarget.size() && p->m_vecTarget[l.nSlot] == self)
                p->m_vecTarget[l.nSlot].Reset();
        } else if (l.nSlot == 4) {
            if (p->m_lpParent == self) p->m_lpParent.Reset();
        }
    }
    // This character's own targets and parent.
    for (size_t j = 0; j < m_vecTarget.size(); j++) {
        if (!m_vecTarget[j].IsSet()) continue;
        if (cCharaBase* t = m_vecTarget[j].GetAs<cCharaBase>()) {
            CHARALINK me{self, static_cast<int32_t>(j)};
            auto& v = t->m_vecLink;
            v.erase(std::remove(v.begin(), v.end(), me), v.end());
        }
        m_vecTarget[j].Reset();
    }
    if (m_lpParent.IsSet()) {
        if (cCharaBase* p = m_lpParent.GetAs<cCharaBase>()) {
            CHARALINK me{self, 4};
            auto& v = p->m_vecLink;
            v.erase(std::remove(v.begin(), v.end(), me), v.end());
        }
        m_lpParent.Reset();
    }
    // Shots that aim at this character or credit it with their hits.
    std::vector<CHARACHILD> vecChild;
    vecChild.swap(m_vecChild);
    for (const CHARACHILD& c : vecChild) {
        cShot* s = c.Shot.GetAs<cShot>();
        if (!s) continue;
        if (c.nKind == 0 && s->m_lpTarget == self) s->m_lpTarget.Reset();
        if (c.nKind == 4 && s->m_lpAttacker == self) s->m_lpAttacker.Reset();
    }
}
