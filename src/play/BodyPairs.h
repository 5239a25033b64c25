#pragma once
// The pairs of characters whose body boxes may meet, for the contact pass
// between collision groups: found by a sweep over the boxes' horizontal
// extents and handed back in the order the pass takes them (group i, group
// j > i, position in list i, position in list j), so that a pass over the
// pairs fires exactly what a walk over every pair of the two lists would.
#include <cstdint>
#include <list>
#include <vector>

#include "play/Obj.h"

class cCharaBase;

struct BODYPAIR {
    uint32_t nGroupU = 0, nGroupW = 0;   // nGroupU < nGroupW
    uint32_t nPosU = 0, nPosW = 0;       // positions in the two group lists
    cCharaBase* pU = nullptr;
    cCharaBase* pW = nullptr;
};

// The order of the contact pass.
inline bool PairBefore(const BODYPAIR& a, const BODYPAIR& b) {
    if (a.nGroupU != b.nGroupU) return a.nGroupU < b.nGroupU;
    if (a.nGroupW != b.nGroupW) return a.nGroupW < b.nGroupW;
    if (a.nPosU != b.nPosU) return a.nPosU < b.nPosU;
    return a.nPosW < b.nPosW;
}

class cBodyPairs {
public:
    // Finds the pairs among the first nGroups group lists. Only characters
    // that take part are listed: active, not defeated, not solid, and on the
    // screen when bOnScreenOnly. The pairs are candidates: the pass checks
    // each again when it reaches it. A box with a NaN edge meets nothing.
    void Build(const std::vector<std::list<cObjRef>>& vecGroup, int nGroups, bool bOnScreenOnly);
    const std::vector<BODYPAIR>& Pairs() const { return m_vecPair; }

private:
    struct ENTRY {
        double dL, dT, dR, dB;   // the box with each axis in increasing order
        uint32_t nGroup, nPos;
        cCharaBase* p;
    };
    std::vector<ENTRY> m_vecEntry;
    std::vector<BODYPAIR> m_vecPair;
};

// Whether a character takes part in the contacts between characters.
bool TakesPartInContacts(const cCharaBase* c, bool bOnScreenOnly);
