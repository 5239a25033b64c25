// Contacts between objects of different collision groups, once per logic
// step: shots against characters, characters against characters and shots
// against shots.
#include <algorithm>
#include <iterator>
#include <list>
#include <vector>

#include "foundation/StopPoint.h"
#include "play/BodyPairs.h"
#include "play/CharaBase.h"
#include "play/Combat.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "play/ShotPairs.h"
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
    return q->m_HitChara.Contains(r);
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

// A shot of a group list with its place in the list, for the clash of shots.
struct SHOTENTRY {
    double dLeft, dRight;
    cShot* pShot;
    size_t nOrder;   // the place in its group list
};

// A character of a group list with its place in the list.
struct CHARACAND {
    size_t nOrder;
    cCharaBase* pChara;
};

void LogContact(std::vector<HITCONTACT>* pLog, int nKind, const cObj* a, const cObj* b) {
    if (pLog) pLog->push_back({nKind, a->m_nId, b->m_nId});
}

// The shots of one group that are still there, by left edge, for the clash
// of shots; the widest box bounds the search back from a box's left edge.
struct SHOTSPAN {
    std::vector<SHOTENTRY> vec;         // in list order
    std::vector<SHOTENTRY> vecByLeft;   // by left edge, made at the first need
    double dMaxWidth = 0;
    bool bAnyClash = false;   // a shot of the group clashes with others
};
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
    std::vector<HITCONTACT>* pLog = m_pContactLog;
    const bool bAllPairs = m_bAllPairs != 0;
    // One shot q meeting one character c: 0 to go on, the result that ends
    // the pass, or SHOT_RESCAN when the flows of a defeat or an item ran (they
    // may have moved, woken or summoned characters). bRemove is set when q
    // stops at c.
    constexpr int SHOT_RESCAN = -1;
    auto hit = [&](cShot* q, cCharaBase* c, bool& bRemove) -> int {
        if ((bOnScreen && !c->m_bOnScreen) || !c->m_bActive || c->m_bDead) return 0;
        if (c->m_Data.m_nInvincible == 2) return 0;
        if (!RectsMeet(HitBoxOf(q), ShotBoxOf(c))) return 0;
        cObjRef rc(c);
        if (InHitList(q, rc)) return 0;
        const cEdShot& rec = q->m_Shot;
        const bool bHarmful = rec.m_nPower != 0 || rec.m_nImpact != 0 || rec.m_nItemPalette != 0;
        if (bHarmful && c->IsInvincible()) return 0;
        LogContact(pLog, CONTACT_SHOT_CHARA, q, c);
        const bool bEffective = bHarmful || !sys.m_bHarmlessShotsEventOnly;
        cCharaBase* pAttacker = q->m_lpAttacker.GetAs<cCharaBase>();
        c->FireEvent(EVENT_SHOT_HIT, pAttacker);
        if (pAttacker && q->m_bCreditAttacker) pAttacker->FireEvent(EVENT_ATTACK_HIT, c, q->m_nCreditParam);
        if (!bEffective) return 0;
        int bDead = c->TakeShotDamage(q);
        c->FireShotHitEvents(q);
        bool bFlowsRan = false;
        if (bDead) {
            if (c->m_nKind == 1) PlaySystemSound(SYSSOUND_DEFEAT);
            int r = DefeatChara(c);
            if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
            bFlowsRan = true;
        } else {
            PlaySystemSound(SYSSOUND_HIT);
            if (bHarmful) c->StartInvincible();
        }
        if (!q->m_bProjectile)
            q->m_HitChara.Add(rc);
        else if (c->IsSolid() ? rec.m_bPierceBlockChara : rec.m_bPierceChara)
            q->m_HitChara.Add(rc);
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
                bFlowsRan = true;
            }
        }
        return bFlowsRan ? SHOT_RESCAN : 0;
    };
    if (bAllPairs) {
        // Every shot of group g against every character of every other group.
        std::vector<CHARACAND> vecCand;
        for (int g = 0; bTestShots && g < nGroups; g++) {
            if (m_vecGroupShot[g].empty()) continue;
            for (int h = 0; h < nGroups; h++) {
                if (h == g || m_vecGroupChara[h].empty()) continue;
                auto& lstShots = m_vecGroupShot[g];
                for (auto it = lstShots.begin(); it != lstShots.end(); ++it) {
                    StopPoint();
                    cShot* q = it->GetAs<cShot>();
                    if (!q || q->m_bErased || (bOnScreen && !q->m_bOnScreen)) continue;
                    bool bRemove = false;
                    auto gather = [&]() {
                        vecCand.clear();
                        size_t nOrder = 0;
                        for (const cObjRef& r : m_vecGroupChara[h]) {
                            if (cCharaBase* c = r.GetAs<cCharaBase>()) vecCand.push_back({nOrder, c});
                            nOrder++;
                        }
                    };
                    gather();
                    for (size_t ci = 0; ci < vecCand.size(); ci++) {
                        const CHARACAND cand = vecCand[ci];
                        const int r = hit(q, cand.pChara, bRemove);
                        if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
                        if (r != SHOT_RESCAN) continue;
                        // The walk goes on after c's place in the list (a
                        // character summoned meanwhile comes last).
                        gather();
                        size_t k = 0;
                        while (k < vecCand.size() && vecCand[k].nOrder <= cand.nOrder) k++;
                        ci = k - 1;   // the loop's step brings it to k
                    }
                    // A removed shot meets nothing more; it is destroyed with
                    // the others marked below.
                    if (bRemove) MarkShotErased(q);
                }
            }
        }
    } else if (bTestShots) {
        // The pairs whose boxes may meet, in the order of the walk above.
        // A shot's walk over a group starts only if the shot is still there;
        // once started it goes on to the group's end (a shot that stops at a
        // character is marked when its walk is over). The contacts move no
        // box and free nothing, so the pairs hold until flows have run; then
        // they are found again (the walking shot kept whatever its state) and
        // the pass goes on after the pair it stood at.
        m_ShotPairs.Build(m_vecGroupShot, m_vecGroupChara, nGroups, bOnScreen);
        bool bInWalk = false, bRemove = false;
        SHOTPAIR walk;
        for (size_t n = 0; n < m_ShotPairs.Pairs().size();) {
            StopPoint();
            const SHOTPAIR at = m_ShotPairs.Pairs()[n];
            if (!bInWalk || !SameShotWalk(walk, at)) {
                if (bInWalk && bRemove) MarkShotErased(walk.pShot);
                bRemove = false;
                walk = at;
                cShot* q = at.pShot;
                bInWalk = !q->m_bErased && (!bOnScreen || q->m_bOnScreen);
                if (!bInWalk) {
                    // The rest of this walk is passed over.
                    while (n < m_ShotPairs.Pairs().size() && SameShotWalk(walk, m_ShotPairs.Pairs()[n])) n++;
                    continue;
                }
            }
            const int r = hit(at.pShot, at.pChara, bRemove);
            if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
            if (r != SHOT_RESCAN) {
                n++;
                continue;
            }
            m_ShotPairs.Build(m_vecGroupShot, m_vecGroupChara, nGroups, bOnScreen, at.pShot);
            const auto& v = m_ShotPairs.Pairs();
            n = static_cast<size_t>(std::upper_bound(v.begin(), v.end(), at, ShotPairBefore) - v.begin());
        }
        if (bInWalk && bRemove) MarkShotErased(walk.pShot);
    }
    EraseMarkedShots();

    // Characters against characters. 1 when the flows of a defeat ran (the
    // candidate pairs are found again), else the result that ends the pass.
    const bool bAtOnce = sys.m_bKnockbackAtOnce != 0;
    constexpr int CONTACT_RESCAN = -1;
    auto contact = [&](cCharaBase* u, cCharaBase* w) -> int {
        if (!TakesPartInContacts(u, bOnScreen) || !TakesPartInContacts(w, bOnScreen)) return 0;
        if (!RectsMeet(BodyBox(u), BodyBox(w))) return 0;
        LogContact(pLog, CONTACT_BODY, u, w);
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
        if (!bUHurt && !bWHurt) return 0;
        PlaySystemSound(SYSSOUND_HIT);
        bool bFlowsRan = false;
        auto settle = [&](cCharaBase* c, cCharaBase* o, bool bHurt, int bDead) -> int {
            if (!bHurt) return 0;
            if (bDead) {
                if (c->m_nKind == 1) PlaySystemSound(SYSSOUND_DEFEAT);
                bFlowsRan = true;
                return DefeatChara(c);
            }
            c->StartInvincibleAgainst(o);
            return 0;
        };
        int r = settle(u, w, bUHurt, bUDead);
        if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
        r = settle(w, u, bWHurt, bWDead);
        if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
        return bFlowsRan ? CONTACT_RESCAN : 0;
    };
    if (bAllPairs) {
        for (int i = 0; i < nGroups; i++) {
            if (m_vecGroupChara[i].empty()) continue;
            for (int j = i + 1; j < nGroups; j++) {
                if (m_vecGroupChara[j].empty()) continue;
                for (auto iu = m_vecGroupChara[i].begin(); iu != m_vecGroupChara[i].end(); ++iu) {
                    StopPoint();
                    for (auto iw = m_vecGroupChara[j].begin(); iw != m_vecGroupChara[j].end(); ++iw) {
                        const int r = contact(iu->GetAs<cCharaBase>(), iw->GetAs<cCharaBase>());
                        if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
                    }
                }
            }
        }
    } else {
        // The pairs whose boxes meet, in the order of the walk above. The
        // contacts move no box and free no character, so the pairs hold until
        // a defeat's flows have run; then they are found again and the walk
        // goes on after the pair it stood at (a character summoned meanwhile
        // comes last in its list, as in the walk over every pair).
        m_BodyPairs.Build(m_vecGroupChara, nGroups, bOnScreen);
        for (size_t n = 0; n < m_BodyPairs.Pairs().size();) {
            StopPoint();
            const BODYPAIR at = m_BodyPairs.Pairs()[n];
            const int r = contact(at.pU, at.pW);
            if (r == PLAYRESULT_CLEAR || r == PLAYRESULT_LOST) return r;
            if (r != CONTACT_RESCAN) {
                n++;
                continue;
            }
            m_BodyPairs.Build(m_vecGroupChara, nGroups, bOnScreen);
            const auto& v = m_BodyPairs.Pairs();
            n = static_cast<size_t>(std::upper_bound(v.begin(), v.end(), at, PairBefore) - v.begin());
        }
    }

    // Shots against shots. A shot removed here is marked and meets nothing
    // more; all of them are destroyed at the end. Two shots meet only when
    // one of them clashes, so a pair of groups without a clashing shot is
    // passed over, and the whole pass when no shot clashes.
    if (!bAllPairs && m_nClashShots == 0) {
        EraseMarkedShots();
        return PLAYRESULT_NONE;
    }
    std::vector<SHOTSPAN> vecSpan(static_cast<size_t>(std::max(nGroups, 0)));
    for (int g = 0; g < nGroups; g++) {
        SHOTSPAN& sp = vecSpan[g];
        sp.vec.clear();
        sp.dMaxWidth = 0;
        sp.bAnyClash = false;
        size_t nOrder = 0;
        for (const cObjRef& r : m_vecGroupShot[g])
            if (cShot* x = r.GetAs<cShot>(); nOrder++, x && !x->m_bErased) {
                // A NaN edge meets nothing (and would not sort).
                if (x->m_dX != x->m_dX || x->m_dRight != x->m_dRight) continue;
                sp.vec.push_back({x->m_dX, x->m_dRight, x, nOrder});
                sp.dMaxWidth = std::max(sp.dMaxWidth, x->m_dRight - x->m_dX);
                if (x->m_Shot.m_bShotClash) sp.bAnyClash = true;
            }
    }
    auto clash = [&](cShot* m, cShot* x, bool& bRemoveM) {
        if (x->m_bErased || !RectsMeet(ObjBox(m), ObjBox(x))) return;
        if (!m->m_Shot.m_bShotClash && !x->m_Shot.m_bShotClash) return;
        LogContact(pLog, CONTACT_SHOT_SHOT, m, x);
        if (m->m_Shot.m_bShotClash && x->m_Shot.m_bShotClash) {
            if (x->m_Shot.m_nVanish >= m->m_Shot.m_nVanish) bRemoveM = true;
            if (!(x->m_Shot.m_nVanish > m->m_Shot.m_nVanish)) MarkShotErased(x);
        } else if (m->m_Shot.m_bShotClash) {
            bRemoveM = true;
        } else {
            MarkShotErased(x);
        }
    };
    std::vector<const SHOTENTRY*> vecMet;
    std::vector<uint8_t> vecSorted(static_cast<size_t>(std::max(nGroups, 0)), 0);
    for (int j = 0; j < nGroups; j++) {
        if (m_vecGroupShot[j].empty()) continue;
        for (int k = j + 1; k < nGroups; k++) {
            if (m_vecGroupShot[k].empty()) continue;
            if (bAllPairs) {
                for (const cObjRef& rm : m_vecGroupShot[j]) {
                    cShot* m = rm.GetAs<cShot>();
                    if (!m || m->m_bErased) continue;
                    bool bRemoveM = false;
                    for (const cObjRef& rx : m_vecGroupShot[k])
                        if (cShot* x = rx.GetAs<cShot>()) clash(m, x, bRemoveM);
                    if (bRemoveM) MarkShotErased(m);
                }
                continue;
            }
            if (!vecSpan[j].bAnyClash && !vecSpan[k].bAnyClash) continue;
            SHOTSPAN& sx = vecSpan[k];
            if (sx.vec.empty()) continue;
            if (!vecSorted[k]) {
                // Positions do not change in this pass: one sort serves every
                // group paired with k.
                sx.vecByLeft = sx.vec;
                std::sort(sx.vecByLeft.begin(), sx.vecByLeft.end(),
                          [](const SHOTENTRY& a, const SHOTENTRY& b) { return a.dLeft < b.dLeft; });
                vecSorted[k] = 1;
            }
            for (const SHOTENTRY& em : vecSpan[j].vec) {
                cShot* m = em.pShot;
                if (m->m_bErased) continue;
                const HITRECT rm = ObjBox(m);
                bool bRemoveM = false;
                auto lo = std::lower_bound(sx.vecByLeft.begin(), sx.vecByLeft.end(), rm.l - sx.dMaxWidth,
                                           [](const SHOTENTRY& e, double d) { return e.dLeft < d; });
                // The shots met, taken in list order as the walk over every
                // pair takes them.
                vecMet.clear();
                for (auto ix = lo; ix != sx.vecByLeft.end() && ix->dLeft <= rm.r; ++ix) {
                    cShot* x = ix->pShot;
                    if (x->m_bErased || !RectsMeet(rm, ObjBox(x))) continue;
                    if (m->m_Shot.m_bShotClash || x->m_Shot.m_bShotClash) vecMet.push_back(&*ix);
                }
                if (vecMet.size() > 1)
                    std::sort(vecMet.begin(), vecMet.end(),
                              [](const SHOTENTRY* a, const SHOTENTRY* b) { return a->nOrder < b->nOrder; });
                for (const SHOTENTRY* e : vecMet) clash(m, e->pShot, bRemoveM);
                if (bRemoveM) MarkShotErased(m);
            }
        }
    }
    EraseMarkedShots();
    return PLAYRESULT_NONE;
}
