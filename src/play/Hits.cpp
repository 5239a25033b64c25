// Contacts between objects of different collision groups, once per logic
// step: shots against characters, characters against characters and shots
// against shots.
#include <algorithm>
#include <iterator>
#include <list>
#include <vector>

#include "play/CharaBase.h"
#include "play/Combat.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/SystemData.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"

namespace {
// m_bInHits is set for the whole resolution and cleared on every way out.
class cInHitsGuard {
public:
    explicit cInHitsGuard(int32_t& flag) : m_Flag(flag) { m_Flag = 1; }
    ~cInHitsGuard() { m_Flag = 0; }
    cInHitsGuard(const cInHitsGuard&) = delete;
    cInHitsGuard& operator=(const cInHitsGuard&) = delete;

private:
    int32_t& m_Flag;
};

HITRECT BodyBox(const cCharaBase* c) { return {c->m_HitBox1.dLeft, c->m_HitBox1.dTop, c->m_HitBox1.dRight, c->m_HitBox1.dBottom}; }
HITRECT ShotBoxOf(const cCharaBase* c) { return {c->m_HitBox2.dLeft, c->m_HitBox2.dTop, c->m_HitBox2.dRight, c->m_HitBox2.dBottom}; }
HITRECT HitBoxOf(const cShot* s) { return {s->m_rcHit[0], s->m_rcHit[1], s->m_rcHit[2], s->m_rcHit[3]}; }
HITRECT ObjBox(const cObj* o) { return {o->m_dX, o->m_dY, o->m_dRight, o->m_dBottom}; }

bool InHitList(const cShot* q, const cObjRef& r) {
    return std::find(q->m_lstHitChara.begin(), q->m_lstHitChara.end(), r) != q->m_lstHitChara.end();
}

const cItemData* ShotItem(const cEdShot& rec) {
    const cChkVector<cItemData>* v = nullptr;
    if (rec.m_nItemPalette == 1) v = &recCommonPalette.m_vItemPalette;
    else if (rec.m_nItemPalette == 2) v = &PlayStage().m_vItemPalette;
    if (!v || rec.m_nItemNum < 0 || rec.m_nItemNum >= static_cast<int>(v->size())) return nullptr;
    return &(*v)[rec.m_nItemNum];
}

cHero* FirstHero() {
    auto& v = vecPlayer();
    return v.empty() ? nullptr : v[0].get();
}

// The event of a body contact on c from the other character o.
void FireTouch(cCharaBase* c, cCharaBase* o) {
    cCharaBase* pParent = o->m_lpParent.GetAs<cCharaBase>();
    if (pParent && o->m_bNotifyParent) {
        c->FireEvent(EVENT_TOUCH_CHARA, pParent);
        pParent->FireEvent(EVENT_ATTACK_HIT, c, o->m_nNotifyFlowId);
    } else {
        c->FireEvent(EVENT_TOUCH_CHARA, o);
    }
}

// The characters of one group list sorted by the left edge of their shot
// boxes, so that a shot finds the few it may meet. Built at the first use in
// a resolution and extended when the list has grown (a summon during a
// death flow); characters are never freed while the resolution runs.
struct SHOTENTRY {
    double dLeft, dRight;
    cShot* pShot;
};

class cCharaIndex {
public:
    void Refresh(const std::list<cObjRef>& lst, bool bOnScreenOnly) {
        if (m_bBuilt && lst.size() == m_nListSize) return;
        auto it = lst.begin();
        std::advance(it, static_cast<long>(m_nListSize));
        bool bAppend = m_bBuilt;
        for (; it != lst.end(); ++it, m_nListSize++) {
            cCharaBase* c = it->GetAs<cCharaBase>();
            if (!c || !c->m_bActive || c->m_bDead || c->m_Data.m_nInvincible == 2 ||
                (bOnScreenOnly && !c->m_bOnScreen))
                continue;
            ENTRY e{c->m_HitBox2.dLeft, c->m_HitBox2.dRight, m_nListSize, c};
            m_dMaxWidth = std::max(m_dMaxWidth, e.dRight - e.dLeft);
            m_vec.push_back(e);
        }
        if (!bAppend || !std::is_sorted(m_vec.begin(), m_vec.end(), ByLeft))
            std::stable_sort(m_vec.begin(), m_vec.end(), ByLeft);
        m_bBuilt = true;
    }
    // Candidates whose box may meet r horizontally, in list order.
    void Candidates(const HITRECT& r, std::vector<cCharaBase*>* pOut) const {
        pOut->clear();
        m_vecPick.clear();
        auto lo = std::lower_bound(m_vec.begin(), m_vec.end(), r.l - m_dMaxWidth,
                                   [](const ENTRY& e, double d) { return e.dLeft < d; });
        for (auto it = lo; it != m_vec.end() && it->dLeft <= r.r; ++it)
            if (it->dRight >= r.l) m_vecPick.push_back(&*it);
        std::sort(m_vecPick.begin(), m_vecPick.end(),
                  [](const ENTRY* a, const ENTRY* b) { return a->nOrder < b->nOrder; });
        for (const ENTRY* e : m_vecPick) pOut->push_back(e->pChara);
    }

private:
    struct ENTRY {
        double dLeft, dRight;
        size_t nOrder;
        cCharaBase* pChara;
    };
    static bool ByLeft(const ENTRY& a, const ENTRY& b) { return a.dLeft < b.dLeft; }
    std::vector<ENTRY> m_vec;
    mutable std::vector<const ENTRY*> m_vecPick;
    double m_dMaxWidth = 0;
    size_t m_nListSize = 0;
    bool m_bBuilt = false;
};

bool TakesPart(const cCharaBase* c, bool bOnScreenOnly) {
    return c && c->m_bActive && !c->m_bDead && !c->IsSolid() && (!bOnScreenOnly || c->m_bOnScreen);
}
}   // namespace

int cPlayScene::DefeatChara(cCharaBase* pChara) {
    if (!pChara) return 0;
    if (pChara->m_nKind == 0) return PLAYRESULT_LOST;
    if (pChara->m_bDead) return 0;
    return pChara->Defeat();
}

int cPlayScene::ResolveHits() {
    cInHitsGuard guard(m_bInHits);
    const bool bOnScreen = PlayStage().m_bOnScreenOnly != 0;
    const cSystemData& sys = PlaySystem();
    const int nGroups = static_cast<int>(std::min(m_vecGroupChara.size(), m_vecGroupShot.size()));

    // Shots against characters. The flags are by sub-step, the first at 0.
    bool bTestShots = true;
    if (PlayStage().m_nHitJudgeCount != 0 && m_nSubStep >= 1 && m_nSubStep <= static_cast<int>(m_vecShotStep.size()))
        bTestShots = m_vecShotStep[m_nSubStep - 1] != 0;
    std::vector<cCharaIndex> vecIndex(nGroups);
    for (int g = 0; bTestShots && g < nGroups; g++) {
        if (m_vecGroupShot[g].empty()) continue;
        for (int h = 0; h < nGroups; h++) {
            if (h == g || m_vecGroupChara[h].empty()) continue;
            cCharaIndex& index = vecIndex[h];
            std::vector<cCharaBase*> vecCand;
            auto& lstShots = m_vecGroupShot[g];
            for (auto it = lstShots.begin(); it != lstShots.end();) {
                cShot* q = it->GetAs<cShot>();
                if (!q || q->m_bErased || (bOnScreen && !q->m_bOnScreen)) {
                    ++it;
                    continue;
                }
                bool bRemove = false;
                // The characters of group h whose shot box may meet q's box,
                // in list order (a character summoned meanwhile is indexed
                // before it is needed).
                index.Refresh(m_vecGroupChara[h], bOnScreen);
                index.Candidates(HitBoxOf(q), &vecCand);
                for (cCharaBase* c : vecCand) {
                    if ((bOnScreen && !c->m_bOnScreen) || !c->m_bActive || c->m_bDead) continue;
                    if (c->m_Data.m_nInvincible == 2) continue;
                    if (!RectsMeet(HitBoxOf(q), ShotBoxOf(c))) continue;
                    cObjRef rc(c);
                    if (InHitList(q, rc)) continue;
                    const cEdShot& rec = q->m_Shot;
                    const bool bHarmful = rec.m_nPower != 0 || rec.m_nImpact != 0 || rec.m_nItemPalette != 0;
                    if (bHarmful && c->IsInvincible()) continue;
                    const bool bEffective = bHarmful || !sys.m_bHarmlessShotsEventOnly;
                    cCharaBase* pAttacker = q->m_lpAttacker.GetAs<cCharaBase>();
                    c->FireEvent(EVENT_SHOT_HIT, pAttacker);
                    if (pAttacker && q->m_bCreditAttacker) pAttacker->FireEvent(EVENT_ATTACK_HIT, c, q->m_nCreditParam);
                    if (!bEffective) continue;
                    int bDead = c->TakeShotDamage(q);
                    c->FireShotHitEvents(q);
                    if (bDead) {
                        if (c->m_nKind == 1) PlaySystemSound(SYSSOUND_DEFEAT);
                        int r = DefeatChara(c);
                        if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
                    } else {
                        PlaySystemSound(SYSSOUND_HIT);
                        if (bHarmful) c->StartInvincible();
                    }
                    if (!q->m_bProjectile)
                        q->m_lstHitChara.push_back(rc);
                    else if (c->IsSolid() ? rec.m_bPierceBlockChara : rec.m_bPierceChara)
                        q->m_lstHitChara.push_back(rc);
                    else
                        bRemove = true;
                    if (const cItemData* pDef = ShotItem(rec)) {
                        if (cHero* pHero = FirstHero()) {
                            cItemData def = *pDef;
                            cItem tmp;
                            tmp.Setup(0, def, 0);
                            tmp.m_bActive = 1;
                            int r = TakeItem(&tmp, pHero);
                            if (r != 0) return r;
                        }
                    }
                }
                // A removed shot meets nothing more; it is destroyed with the
                // others marked below.
                if (bRemove) q->m_bErased = 1;
                ++it;
            }
        }
    }
    for (auto it = m_lstShot.begin(); it != m_lstShot.end();) {
        if ((*it)->m_bErased)
            it = EraseShot(it);
        else
            ++it;
    }

    // Characters against characters.
    const bool bAtOnce = sys.m_bKnockbackAtOnce != 0;
    for (int i = 0; i < nGroups; i++) {
        if (m_vecGroupChara[i].empty()) continue;
        for (int j = i + 1; j < nGroups; j++) {
            if (m_vecGroupChara[j].empty()) continue;
            for (auto iu = m_vecGroupChara[i].begin(); iu != m_vecGroupChara[i].end(); ++iu) {
                for (auto iw = m_vecGroupChara[j].begin(); iw != m_vecGroupChara[j].end(); ++iw) {
                    cCharaBase* u = iu->GetAs<cCharaBase>();
                    cCharaBase* w = iw->GetAs<cCharaBase>();
                    if (!TakesPart(u, bOnScreen) || !TakesPart(w, bOnScreen)) continue;
                    if (!RectsMeet(BodyBox(u), BodyBox(w))) continue;
                    const bool bUShield = u->IsInvincibleAgainst(w);
                    const bool bWShield = w->IsInvincibleAgainst(u);
                    if (!bUShield) FireTouch(u, w);
                    if (!bWShield) FireTouch(w, u);
                    const bool bUHurt = !bUShield && (w->m_Data.m_nPower != 0 || w->m_Data.m_nImpact != 0);
                    const bool bWHurt = !bWShield && (u->m_Data.m_nPower != 0 || u->m_Data.m_nImpact != 0);
                    int bUDead = 0, bWDead = 0;
                    if (bUHurt) {
                        bUDead = u->TakeBodyDamage(w);
                        u->FireBodyHitEvents(w);
                        if (bAtOnce) u->KnockbackFromChara(w);
                    }
                    if (bWHurt) {
                        bWDead = w->TakeBodyDamage(u);
                        w->FireBodyHitEvents(u);
                        if (bAtOnce) w->KnockbackFromChara(u);
                    }
                    if (!bAtOnce) {
                        if (bUHurt) u->KnockbackFromChara(w);
                        if (bWHurt) w->KnockbackFromChara(u);
                    }
                    if (!bUHurt && !bWHurt) continue;
                    PlaySystemSound(SYSSOUND_HIT);
                    auto settle = [&](cCharaBase* c, cCharaBase* o, bool bHurt, int bDead) -> int {
                        if (!bHurt) return 0;
                        if (bDead) {
                            if (c->m_nKind == 1) PlaySystemSound(SYSSOUND_DEFEAT);
                            return DefeatChara(c);
                        }
                        c->StartInvincibleAgainst(o);
                        return 0;
                    };
                    int r = settle(u, w, bUHurt, bUDead);
                    if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
                    r = settle(w, u, bWHurt, bWDead);
                    if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
                }
            }
        }
    }

    // Shots against shots. A shot removed here is marked and meets nothing
    // more; all of them are destroyed at the end.
    std::vector<SHOTENTRY> vecX;
    std::vector<cShot*> vecM;
    for (int j = 0; j < nGroups; j++) {
        if (m_vecGroupShot[j].empty()) continue;
        for (int k = j + 1; k < nGroups; k++) {
            if (m_vecGroupShot[k].empty()) continue;
            vecM.clear();
            for (const cObjRef& r : m_vecGroupShot[j])
                if (cShot* m = r.GetAs<cShot>(); m && !m->m_bErased) vecM.push_back(m);
            vecX.clear();
            double dMaxWidth = 0;
            for (const cObjRef& r : m_vecGroupShot[k])
                if (cShot* x = r.GetAs<cShot>(); x && !x->m_bErased) {
                    vecX.push_back({x->m_dX, x->m_dRight, x});
                    dMaxWidth = std::max(dMaxWidth, x->m_dRight - x->m_dX);
                }
            if (vecM.empty() || vecX.empty()) continue;
            std::sort(vecX.begin(), vecX.end(), [](const SHOTENTRY& a, const SHOTENTRY& b) { return a.dLeft < b.dLeft; });
            for (cShot* m : vecM) {
                const HITRECT rm = ObjBox(m);
                bool bRemoveM = false;
                auto lo = std::lower_bound(vecX.begin(), vecX.end(), rm.l - dMaxWidth,
                                           [](const SHOTENTRY& e, double d) { return e.dLeft < d; });
                for (auto ix = lo; ix != vecX.end() && ix->dLeft <= rm.r; ++ix) {
                    cShot* x = ix->pShot;
                    if (x->m_bErased || !RectsMeet(rm, ObjBox(x))) continue;
                    if (!m->m_Shot.m_bShotClash && !x->m_Shot.m_bShotClash) continue;
                    if (m->m_Shot.m_bShotClash && x->m_Shot.m_bShotClash) {
                        if (x->m_Shot.m_nVanish >= m->m_Shot.m_nVanish) bRemoveM = true;
                        if (!(x->m_Shot.m_nVanish > m->m_Shot.m_nVanish)) x->m_bErased = 1;
                    } else if (m->m_Shot.m_bShotClash) {
                        bRemoveM = true;
                    } else {
                        x->m_bErased = 1;
                    }
                }
                if (bRemoveM) m->m_bErased = 1;
            }
        }
    }
    for (auto it = m_lstShot.begin(); it != m_lstShot.end();) {
        if ((*it)->m_bErased)
            it = EraseShot(it);
        else
            ++it;
    }
    return PLAYRESULT_NONE;
}
