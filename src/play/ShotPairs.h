#pragma once
// The pairs of a shot and a character of another collision group whose boxes
// may meet, for the pass of shots against characters: found by a sweep over
// the boxes' horizontal extents and handed back in the order the pass takes
// them (the shot's group, the character's group, the shot's position in its
// group list, the character's position in its list), so that a pass over the
// pairs fires exactly what a walk over every shot and character would.
#include <cstdint>
#include <list>
#include <vector>

#include "play/Obj.h"

class cCharaBase;
class cShot;

struct SHOTPAIR {
    uint32_t nGroupShot = 0, nGroupChara = 0;   // never equal
    uint32_t nPosShot = 0, nPosChara = 0;       // positions in the two group lists
    cShot* pShot = nullptr;
    cCharaBase* pChara = nullptr;
};

// The order of the pass.
inline bool ShotPairBefore(const SHOTPAIR& a, const SHOTPAIR& b) {
    if (a.nGroupShot != b.nGroupShot) return a.nGroupShot < b.nGroupShot;
    if (a.nGroupChara != b.nGroupChara) return a.nGroupChara < b.nGroupChara;
    if (a.nPosShot != b.nPosShot) return a.nPosShot < b.nPosShot;
    return a.nPosChara < b.nPosChara;
}

// Whether two pairs hold the same shot's walk over the same group.
inline bool SameShotWalk(const SHOTPAIR& a, const SHOTPAIR& b) {
    return a.nGroupShot == b.nGroupShot && a.nGroupChara == b.nGroupChara && a.nPosShot == b.nPosShot;
}

class cShotPairs {
public:
    // Finds the pairs among the first nGroups lists of shots and of
    // characters. Only shots still there (not erased, on the screen when
    // bOnScreenOnly) are listed, and pKeep whatever its state; only
    // characters that can be hit: active, not defeated, not wholly
    // invincible, on the screen when bOnScreenOnly. The pairs are
    // candidates: the pass checks each again when it reaches it. A box with
    // a NaN edge meets nothing.
    void Build(const std::vector<std::list<cObjRef>>& vecShotGroup, const std::vector<std::list<cObjRef>>& vecCharaGroup,
               int nGroups, bool bOnScreenOnly, const cShot* pKeep = nullptr);
    const std::vector<SHOTPAIR>& Pairs() const { return m_vecPair; }

private:
    struct ENTRY {
        double dL, dT, dR, dB;   // the box with each axis in increasing order
        uint32_t nGroup, nPos;
        void* p;
    };
    // The characters by left edge, and the greatest right edge up to each
    // of them: the characters a span can meet start at the first whose
    // running greatest right edge reaches the span.
    std::vector<ENTRY> m_vecChara;
    std::vector<double> m_vecMaxRight;
    // One shot's characters met, and one shot group's pairs by character
    // group (kept between builds for their buffers).
    std::vector<const ENTRY*> m_vecMet;
    std::vector<std::vector<SHOTPAIR>> m_vecByGroup;
    std::vector<SHOTPAIR> m_vecPair;
};
