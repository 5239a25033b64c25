#include "play/ShotPairs.h"

#include <algorithm>

#include "play/CharaBase.h"
#include "play/Shot.h"

namespace {
// Every comparison with NaN is false, so a box with a NaN edge meets nothing.
bool HasNaN(double l, double t, double r, double b) { return l != l || t != t || r != r || b != b; }
}   // namespace

void cShotPairs::Build(const std::vector<std::list<cObjRef>>& vecShotGroup,
                       const std::vector<std::list<cObjRef>>& vecCharaGroup, int nGroups, bool bOnScreenOnly,
                       const cShot* pKeep) {
    m_vecShot.clear();
    m_vecChara.clear();
    m_vecPair.clear();
    nGroups = std::min({nGroups, static_cast<int>(vecShotGroup.size()), static_cast<int>(vecCharaGroup.size())});
    int nShotGroups = 0, nCharaGroups = 0;
    for (int g = 0; g < nGroups; g++) {
        nShotGroups += vecShotGroup[static_cast<size_t>(g)].empty() ? 0 : 1;
        nCharaGroups += vecCharaGroup[static_cast<size_t>(g)].empty() ? 0 : 1;
    }
    if (nShotGroups == 0 || nCharaGroups == 0) return;
    for (int g = 0; g < nGroups; g++) {
        uint32_t nPos = 0;
        for (const cObjRef& r : vecShotGroup[static_cast<size_t>(g)]) {
            const uint32_t nThis = nPos++;
            cShot* q = r.GetAs<cShot>();
            if (!q) continue;
            if (q != pKeep && (q->m_bErased || (bOnScreenOnly && !q->m_bOnScreen))) continue;
            const double l = q->m_rcHit[0], t = q->m_rcHit[1], rr = q->m_rcHit[2], b = q->m_rcHit[3];
            if (HasNaN(l, t, rr, b)) continue;
            m_vecShot.push_back({std::min(l, rr), std::min(t, b), std::max(l, rr), std::max(t, b),
                                 static_cast<uint32_t>(g), nThis, q});
        }
    }
    if (m_vecShot.empty()) return;
    for (int g = 0; g < nGroups; g++) {
        uint32_t nPos = 0;
        for (const cObjRef& r : vecCharaGroup[static_cast<size_t>(g)]) {
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
    auto byLeft = [](const ENTRY& a, const ENTRY& b) { return a.dL < b.dL; };
    std::sort(m_vecShot.begin(), m_vecShot.end(), byLeft);
    std::sort(m_vecChara.begin(), m_vecChara.end(), byLeft);
    auto add = [this](const ENTRY& s, const ENTRY& c) {
        if (s.nGroup == c.nGroup || c.dT > s.dB || c.dB < s.dT) return;
        m_vecPair.push_back({s.nGroup, c.nGroup, s.nPos, c.nPos, static_cast<cShot*>(s.p), static_cast<cCharaBase*>(c.p)});
    };
    // Two spans meet when the later start lies within the other span; each
    // pair is found once, from the side that starts first (a character that
    // starts with the shot from the shot's side).
    size_t k0 = 0;
    for (const ENTRY& s : m_vecShot) {
        while (k0 < m_vecChara.size() && m_vecChara[k0].dL < s.dL) k0++;
        for (size_t k = k0; k < m_vecChara.size() && m_vecChara[k].dL <= s.dR; k++) add(s, m_vecChara[k]);
    }
    size_t i0 = 0;
    for (const ENTRY& c : m_vecChara) {
        while (i0 < m_vecShot.size() && m_vecShot[i0].dL <= c.dL) i0++;
        for (size_t i = i0; i < m_vecShot.size() && m_vecShot[i].dL <= c.dR; i++) add(m_vecShot[i], c);
    }
    std::sort(m_vecPair.begin(), m_vecPair.end(), ShotPairBefore);
}
