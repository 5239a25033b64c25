#include "play/BodyPairs.h"

#include <algorithm>

#include "foundation/StopPoint.h"
#include "play/CharaBase.h"
#include "play/Prefetch.h"

bool TakesPartInContacts(const cCharaBase* c, bool bOnScreenOnly) {
    return c && c->m_bActive && !c->m_bDead && !c->IsSolid() && (!bOnScreenOnly || c->m_bOnScreen);
}

void cBodyPairs::Build(const std::vector<std::list<cObjRef>>& vecGroup, int nGroups, bool bOnScreenOnly) {
    m_vecEntry.clear();
    m_vecPair.clear();
    nGroups = std::min(nGroups, static_cast<int>(vecGroup.size()));
    for (int g = 0; g < nGroups; g++) {
        uint32_t nPos = 0;
        const auto& lst = vecGroup[static_cast<size_t>(g)];
        for (auto itRef = lst.begin(); itRef != lst.end(); ++itRef) {
            PrefetchRefAhead(itRef, lst.end(), [](const cObjRef& n) {
                if (const cObj* p = n.Get()) PrefetchAt(p, &p->m_bOnScreen);
            });
            const cObjRef& r = *itRef;
            const uint32_t nThis = nPos++;
            cCharaBase* c = r.GetAs<cCharaBase>();
            if (!TakesPartInContacts(c, bOnScreenOnly)) continue;
            const double l = c->m_HitBox1.dLeft, t = c->m_HitBox1.dTop;
            const double rr = c->m_HitBox1.dRight, b = c->m_HitBox1.dBottom;
            // Every comparison with NaN is false, so such a box meets nothing.
            if (l != l || t != t || rr != rr || b != b) continue;
            m_vecEntry.push_back({std::min(l, rr), std::min(t, b), std::max(l, rr), std::max(t, b),
                                  static_cast<uint32_t>(g), nThis, c});
        }
    }
    // Boxes that meet overlap on both axes in their ordered forms too, so the
    // sweep finds every pair that can meet (and maybe a few more).
    std::sort(m_vecEntry.begin(), m_vecEntry.end(), [](const ENTRY& a, const ENTRY& b) {
        if (a.dL != b.dL) return a.dL < b.dL;
        if (a.nGroup != b.nGroup) return a.nGroup < b.nGroup;
        return a.nPos < b.nPos;
    });
    const size_t n = m_vecEntry.size();
    for (size_t i = 0; i < n; i++) {
        StopPoint();
        const ENTRY& a = m_vecEntry[i];
        for (size_t k = i + 1; k < n; k++) {
            const ENTRY& b = m_vecEntry[k];
            if (b.dL > a.dR) break;
            if (a.nGroup == b.nGroup || b.dT > a.dB || b.dB < a.dT) continue;
            BODYPAIR p;
            const bool bAFirst = a.nGroup < b.nGroup;
            const ENTRY& u = bAFirst ? a : b;
            const ENTRY& w = bAFirst ? b : a;
            p.nGroupU = u.nGroup;
            p.nGroupW = w.nGroup;
            p.nPosU = u.nPos;
            p.nPosW = w.nPos;
            p.pU = u.p;
            p.pW = w.p;
            m_vecPair.push_back(p);
        }
    }
    // A lambda rather than the function's address lets the comparison inline.
    std::sort(m_vecPair.begin(), m_vecPair.end(), [](const BODYPAIR& a, const BODYPAIR& b) { return PairBefore(a, b); });
}
