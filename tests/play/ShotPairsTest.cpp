// The candidate pairs of the pass of shots against characters: every pair of
// a shot and a character of another group whose boxes may meet, in the
// order of the pass.
#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "play/Chara.h"
#include "play/PlayContext.h"
#include "play/Shot.h"
#include "play/ShotPairs.h"

namespace {

struct BOXDEF {
    char cName;   // lower case a shot, upper case a character
    int nGroup;
    double l, t, r, b;
};

class cShotPairWorld {
public:
    cShotPairWorld() : m_Scope(m_Ctx), m_vecShotGroup(8), m_vecCharaGroup(8) {}
    void Add(const BOXDEF& d) {
        if (d.cName >= 'a') {
            auto p = std::make_unique<cShot>();
            p->m_nId = d.cName;
            p->m_nGroup = d.nGroup;
            p->m_rcHit[0] = d.l;
            p->m_rcHit[1] = d.t;
            p->m_rcHit[2] = d.r;
            p->m_rcHit[3] = d.b;
            m_vecShotGroup[static_cast<size_t>(d.nGroup)].push_back(cObjRef(p.get()));
            m_vecShot.push_back(std::move(p));
            return;
        }
        auto p = std::make_unique<cChara>();
        cChara* c = p.get();
        c->m_nId = d.cName;
        c->m_nGroup = d.nGroup;
        c->m_bActive = 1;
        c->m_HitBox2.dLeft = d.l;
        c->m_HitBox2.dTop = d.t;
        c->m_HitBox2.dRight = d.r;
        c->m_HitBox2.dBottom = d.b;
        m_vecCharaGroup[static_cast<size_t>(d.nGroup)].push_back(cObjRef(c));
        m_Ctx.lstChara.push_back(std::move(p));
    }
    cShot* Shot(char cName) {
        for (auto& p : m_vecShot)
            if (p->m_nId == cName) return p.get();
        return nullptr;
    }
    // The pairs as "sC" names.
    std::vector<std::string> Pairs(const cShot* pKeep = nullptr) {
        cShotPairs pairs;
        pairs.Build(m_vecShotGroup, m_vecCharaGroup, 8, false, pKeep);
        std::vector<std::string> v;
        for (const SHOTPAIR& p : pairs.Pairs())
            v.push_back(std::string{static_cast<char>(p.pShot->m_nId), static_cast<char>(p.pChara->m_nId)});
        return v;
    }
    cPlayContext m_Ctx;
    cPlayContextScope m_Scope;
    std::vector<std::unique_ptr<cShot>> m_vecShot;
    std::vector<std::list<cObjRef>> m_vecShotGroup, m_vecCharaGroup;
};

}  // namespace

TEST(ShotPairs, PairsComeInTheOrderOfShotGroupCharaGroupAndListPlaces) {
    cShotPairWorld w;
    // Listed in this order. Shot a (group 2) covers x 0..100, shot b (group
    // 0) x 50..60, shot c (group 2) x 200..210 and nothing else.
    w.Add({'A', 1, 90, 0, 95, 10});     // meets a
    w.Add({'B', 0, 0, 0, 100, 10});     // meets a (b is its own group)
    w.Add({'C', 1, 55, 0, 58, 10});     // meets a and b
    w.Add({'D', 2, 40, 0, 200, 10});    // meets b, touches c's left edge (200)
    w.Add({'E', 1, 50, 20, 60, 30});    // below every shot: meets none
    w.Add({'F', 2, 101, 0, 199, 10});   // between a and c, past b: meets none
    w.Add({'a', 2, 0, 0, 100, 10});
    w.Add({'b', 0, 50, 0, 60, 10});
    w.Add({'c', 2, 200, 0, 210, 10});
    // By hand: shot group 0 first: b against group 1 (C), then group 2 (D).
    // Shot group 2 (a, then c): a against group 0 (B), then group 1 in list
    // order (A before C); c against group 0 (none) and group 1 (none). D
    // and F are a's and c's own group.
    EXPECT_EQ(w.Pairs(), (std::vector<std::string>{"bC", "bD", "aB", "aA", "aC"}));
}

TEST(ShotPairs, ErasedShotsAreLeftOutUnlessKept) {
    cShotPairWorld w;
    w.Add({'A', 1, 0, 0, 10, 10});
    w.Add({'a', 0, 5, 5, 6, 6});
    w.Add({'b', 0, 9, 9, 20, 20});
    w.Shot('a')->m_bErased = 1;
    EXPECT_EQ(w.Pairs(), (std::vector<std::string>{"bA"}));
    // The shot whose walk is under way keeps its pairs.
    EXPECT_EQ(w.Pairs(w.Shot('a')), (std::vector<std::string>{"aA", "bA"}));
}

TEST(ShotPairs, ALongCharacterIsFoundPastShorterOnesThatEndBeforeTheShot) {
    cShotPairWorld w;
    // By left edge: L (0..1000) first, then S1 (10..20) and S2 (30..40),
    // which end long before the shot at 500..510; M (505..505) starts inside
    // it. Only L and M meet the shot: the search may not stop at the short
    // boxes that end before it (L's right edge still reaches past them).
    w.Add({'S', 1, 10, 0, 20, 10});
    w.Add({'L', 1, 0, 0, 1000, 10});
    w.Add({'T', 1, 30, 0, 40, 10});
    w.Add({'M', 1, 505, 0, 505, 10});
    w.Add({'a', 0, 500, 0, 510, 10});
    // Group 1 in list order: L (place 1), M (place 3).
    EXPECT_EQ(w.Pairs(), (std::vector<std::string>{"aL", "aM"}));
}

TEST(ShotPairs, EdgesThatTouchMeetAndOneDotApartDoNot) {
    // The shot covers x 100..110, y 100..110; each character touches one of
    // its edges (meets) or stops one dot short of it (does not). Every
    // character is its own group (1..7) but A, which shares group 1 with B.
    struct CASE {
        BOXDEF chara;
        bool bMeets;
    };
    const CASE aCase[] = {
        {{'A', 1, 90, 100, 100, 110}, true},    // right edge on the shot's left edge
        {{'B', 1, 90, 100, 99, 110}, false},    // one dot short of it
        {{'C', 2, 110, 100, 130, 110}, true},   // left edge on the shot's right edge
        {{'D', 3, 111, 100, 130, 110}, false},  // one dot past it
        {{'E', 4, 100, 80, 110, 100}, true},    // bottom on the shot's top
        {{'F', 5, 100, 111, 110, 130}, false},  // top one dot below its bottom
        {{'G', 6, 130, 100, 105, 110}, true},   // left and right the wrong way round
    };
    for (const CASE& c : aCase) {
        cShotPairWorld w;
        w.Add(c.chara);
        w.Add({'a', 0, 100, 100, 110, 110});
        const std::vector<std::string> vecWant =
            c.bMeets ? std::vector<std::string>{std::string{'a', c.chara.cName}} : std::vector<std::string>{};
        EXPECT_EQ(w.Pairs(), vecWant) << c.chara.cName;
    }
}

TEST(ShotPairs, AShotsCharactersOfSeveralGroupsFollowTheGroupsNotTheLeftEdges) {
    cShotPairWorld w;
    // Shots a and b (group 0, in that order) both meet X (group 2, leftmost)
    // and Y (group 1, rightmost). The pass takes group 1 for both shots
    // before group 2: aY bY aX bX, whatever the boxes' order on the map.
    w.Add({'X', 2, 0, 0, 50, 10});
    w.Add({'Y', 1, 40, 0, 90, 10});
    w.Add({'a', 0, 45, 0, 46, 10});
    w.Add({'b', 0, 44, 0, 47, 10});
    EXPECT_EQ(w.Pairs(), (std::vector<std::string>{"aY", "bY", "aX", "bX"}));
}

TEST(ShotPairs, ATableBuiltAgainHoldsOnlyTheNewPairs) {
    // One table built twice, as the hit pass does from sub-step to sub-step
    // (its buffers are kept): the second build must not keep anything of
    // the first.
    cShotPairWorld w;
    w.Add({'A', 1, 0, 0, 10, 10});
    w.Add({'B', 2, 0, 0, 10, 10});
    w.Add({'a', 0, 5, 5, 6, 6});
    w.Add({'b', 3, 5, 5, 6, 6});
    cShotPairs pairs;
    auto names = [&]() {
        pairs.Build(w.m_vecShotGroup, w.m_vecCharaGroup, 8, false);
        std::vector<std::string> v;
        for (const SHOTPAIR& p : pairs.Pairs())
            v.push_back(std::string{static_cast<char>(p.pShot->m_nId), static_cast<char>(p.pChara->m_nId)});
        return v;
    };
    // By hand: a (group 0) meets A then B; b (group 3) meets A then B.
    EXPECT_EQ(names(), (std::vector<std::string>{"aA", "aB", "bA", "bB"}));
    // a leaves its place in group 0's list and c takes it; b moves away
    // from both characters.
    w.m_vecShotGroup[0].clear();
    w.Add({'c', 0, 0, 20, 10, 30});
    w.Shot('c')->m_rcHit[1] = 0;   // c: x 0..10, y 0..30 (meets A and B)
    w.Shot('b')->m_rcHit[0] = w.Shot('b')->m_rcHit[2] = 500;
    // c against A and B; nothing for b.
    EXPECT_EQ(names(), (std::vector<std::string>{"cA", "cB"}));
    // No shot meets anything now: the table is empty, not the last one.
    w.Shot('c')->m_rcHit[0] = w.Shot('c')->m_rcHit[2] = 900;
    EXPECT_EQ(names(), (std::vector<std::string>{}));
}
