#include "play/ShotPairs.h"

#include <algorithm>

#include "play/CharaBase.h"
#include "play/Prefetch.h"
#include "play/Shot.h"

namespace {
// Every comparison with NaN is false, so a box with a NaN edge meets nothing.
bool HasNaN(double l, double t, double r, double b) { return l != l || t != t || r != r || b != b; }

// The object's first line (its class) and the line of its flags; a shot's
// box and mark follow in the next line.
void PrefetchObjFlags(const cObjRef& r) {
    if (const cObj* p = r.Get()) PrefetchAt(p, &p->m_bOnScreen, &p->m_dBottom);
}
}   // namespace

void cShotPairs::Build(const std::vector<std::list<cObjRef>>& vecShotGroup,
                       const std::vector<std::list<cObjRef>>& vecCharaGroup, int nGroups, bool bOnScreenOnly,
                       const cShot* pKeep) {
    m_vecChara.clear();
    m_vecMaxRight.clear();
    m_vecPair.clear();
    nGroups = std::min({nGroups, static_cast<int>(vecShotGroup.size()), static_cast<int>(vecCharaGroup.size())});
    if (nGroups <= 0) return;
    int nShotGroups = 0, nCharaGroups = 0;
    for (int g = 0; g < nGroups; g++) {
        nShotGroups += vecShotGroup[static_cast<size_t>(g)].empty() ? 0 : 1;
        nCharaGroups += vecCharaGroup[static_cast<size_t>(g)].empty() ? 0 : 1;
    }
    if (nShotGroups == 0 || nCharaGroups == 0) return;
    // The characters first: on a wide stage far fewer of them can be hit
    // than there are shots, and the shots are then looked up among them.
    for (int g = 0; g < nGroups; g++) {
        uint32_t nPos = 0;
        const auto& lst = vecCharaGroup[static_cast<size_t>(g)];
        for (auto itRef = lst.begin(); itRef != lst.end(); ++itRef) {
            PrefetchRefAhead(itRef, lst.end(), PrefetchObjFlags);
            const cObjRef& r = *itRef;
            const uint32_t nThis = nPos++;
            cCharaBase* c = r.GetAs<cCharaBase>();
            if (!c || !c->m_bActive || c->m_bDead || c->m_Data.m_nInvincible == 2 || (bOnScreenOnly && !c->m_bOnScreen))
                continue;
            const double l = c->m_HitBox2.dLeft, t = c->m_HitBox2.dTop;
            const double rr = c->m_HitBox2.dRight, b = c->m_HitBox2.dBottom;
            if (HasNaN(l, t, rr, b)) continue;
            m_vecChara.push_back({std::min(l, rr), std::min(t, b), std::max(l, rr), std::max(t, b),
                                  static_cast<uint32_t>(g), nThis, c});
        }
    }
    if (m_vecChara.empty()) return;
    std::sort(m_vecChara.begin(), m_vecChara.end(), [](const ENTRY& a, const ENTRY& b) { return a.dL < b.dL; });
    double dMax = m_vecChara.front().dR;
    for (const ENTRY& c : m_vecChara) {
        dMax = std::max(dMax, c.dR);
        m_vecMaxRight.push_back(dMax);
    }
    if (m_vecByGroup.size() < static_cast<size_t>(nGroups)) m_vecByGroup.resize(static_cast<size_t>(nGroups));
    // The shots in the pass's order: by group, then by place in the list.
    // A shot's pairs go to the list of the character's group in the order
    // of the characters' places; a shot group's lists are joined by
    // character group, which is the order of the pass.
    for (int g = 0; g < nGroups; g++) {
        const auto& lstShots = vecShotGroup[static_cast<size_t>(g)];
        if (lstShots.empty()) continue;
        for (int h = 0; h < nGroups; h++) m_vecByGroup[static_cast<size_t>(h)].clear();
        bool bAny = false;
        uint32_t nPos = 0;
        for (auto itRef = lstShots.begin(); itRef != lstShots.end(); ++itRef) {
            PrefetchRefAhead(itRef, lstShots.end(), PrefetchObjFlags);
            const cObjRef& r = *itRef;
            const uint32_t nThis = nPos++;
            cShot* q = r.GetAs<cShot>();
            if (!q) continue;
            if (q != pKeep && (q->m_bErased || (bOnScreenOnly && !q->m_bOnScreen))) continue;
            const double l0 = q->m_rcHit[0], t0 = q->m_rcHit[1], r0 = q->m_rcHit[2], b0 = q->m_rcHit[3];
            if (HasNaN(l0, t0, r0, b0)) continue;
            const double l = std::min(l0, r0), t = std::min(t0, b0), rr = std::max(l0, r0), b = std::max(t0, b0);
            // Two spans meet when each starts no later than the other ends.
            const size_t k0 = static_cast<size_t>(
                std::lower_bound(m_vecMaxRight.begin(), m_vecMaxRight.end(), l) - m_vecMaxRight.begin());
            m_vecMet.clear();
            for (size_t k = k0; k < m_vecChara.size() && m_vecChara[k].dL <= rr; k++) {
                const ENTRY& c = m_vecChara[k];
                if (c.nGroup == static_cast<uint32_t>(g) || c.dR < l || c.dT > b || c.dB < t) continue;
                m_vecMet.push_back(&c);
            }
            if (m_vecMet.empty()) continue;
            std::sort(m_vecMet.begin(), m_vecMet.end(), [](const ENTRY* a, const ENTRY* b) {
                return a->nGroup != b->nGroup ? a->nGroup < b->nGroup : a->nPos < b->nPos;
            });
            for (const ENTRY* c : m_vecMet)
                m_vecByGroup[c->nGroup].push_back(
                    {static_cast<uint32_t>(g), c->nGroup, nThis, c->nPos, q, static_cast<cCharaBase*>(c->p)});
            bAny = true;
        }
        if (!bAny) continue;
        for (int h = 0; h < nGroups; h++) {
            const auto& v = m_vecByGroup[static_cast<size_t>(h)];
            m_vecPair.insert(m_vecPair.end(), v.begin(), v.end());
        }
    }
}
