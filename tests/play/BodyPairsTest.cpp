// The candidate pairs of the contact pass between characters, and the table
// of object handles.
#include <gtest/gtest.h>

#include <cmath>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "play/BodyPairs.h"
#include "play/Chara.h"
#include "play/Combat.h"
#include "play/PlayContext.h"

namespace {

struct BOXDEF {
    char cName;
    int nGroup;
    double l, t, r, b;
    int bActive;
};

class cPairWorld {
public:
    cPairWorld() : m_Scope(m_Ctx), m_vecGroup(8) {}
    void Add(const BOXDEF& d) {
        auto p = std::make_unique<cChara>();
        cChara* c = p.get();
        c->m_nId = d.cName;
        c->m_nGroup = d.nGroup;
        c->m_bActive = d.bActive;
        c->m_HitBox1.dLeft = d.l;
        c->m_HitBox1.dTop = d.t;
        c->m_HitBox1.dRight = d.r;
        c->m_HitBox1.dBottom = d.b;
        m_vecGroup[static_cast<size_t>(d.nGroup)].push_back(cObjRef(c));
        m_Ctx.lstChara.push_back(std::move(p));
    }
    // The pairs as "UW" names.
    // bMeeting: only the candidates whose boxes meet.
    std::vector<std::string> Pairs(bool bMeeting = false) {
        cBodyPairs pairs;
        pairs.Build(m_vecGroup, 8, false);
        std::vector<std::string> v;
        for (const BODYPAIR& p : pairs.Pairs()) {
            const HITBOX &a = p.pU->m_HitBox1, &b = p.pW->m_HitBox1;
            if (bMeeting && !RectsMeet({a.dLeft, a.dTop, a.dRight, a.dBottom}, {b.dLeft, b.dTop, b.dRight, b.dBottom}))
                continue;
            v.push_back(std::string{static_cast<char>(p.pU->m_nId), static_cast<char>(p.pW->m_nId)});
        }
        return v;
    }
    cPlayContext m_Ctx;
    cPlayContextScope m_Scope;
    std::vector<std::list<cObjRef>> m_vecGroup;
};

}  // namespace

// Boxes meet inclusively; the pairs come in the walk's order: group of the
// first, group of the second, then the places in the two lists.
//   group 0: B (5,5)-(20,20), C (10,0)-(30,4), F inactive over A
//   group 1: A (0,0)-(10,10), E (20,20)-(25,25)
//   group 2: D far away
// B meets A (overlap 5..10) and E (corner 20,20 shared); C meets A along
// A's right edge x = 10 with y 0..4 inside 0..10; C and B miss (y 0..4
// against 5..20) and are one group anyway; F takes no part.
// Order: (0,1) B-A [pos 0,0], B-E [0,1], C-A [1,0].
TEST(BodyPairs, MeetingPairsInTheOrderOfTheWalkOverEveryPair) {
    cPairWorld w;
    for (const BOXDEF& d : {BOXDEF{'B', 0, 5, 5, 20, 20, 1}, BOXDEF{'C', 0, 10, 0, 30, 4, 1},
                            BOXDEF{'F', 0, 0, 0, 10, 10, 0}, BOXDEF{'A', 1, 0, 0, 10, 10, 1},
                            BOXDEF{'E', 1, 20, 20, 25, 25, 1}, BOXDEF{'D', 2, 100, 100, 110, 110, 1}})
        w.Add(d);
    EXPECT_EQ(w.Pairs(), (std::vector<std::string>{"BA", "BE", "CA"}));
}

// A pair is found from either side: the later group's character lies left of
// the earlier group's. A box given right to left still meets a box that
// covers it; a NaN box meets nothing. The pass checks every candidate again,
// so here the candidates that meet are kept.
//   group 3: P (50,0)-(60,10)     group 5: Q (40,0)-(55,12), left of P
//   group 7: W given as left 60, right 52, y 5..8: P covers 52..60 so they
//            meet (50 <= 52, 60 >= 60); Q does not (55 < 60)
//   group 6: N with a NaN edge over all of them
// Order: (3,5) P-Q, then (3,7) P-W.
TEST(BodyPairs, LaterGroupOnTheLeftAndReversedEdgesStillPair) {
    cPairWorld w;
    const double dNaN = std::nan("");
    for (const BOXDEF& d : {BOXDEF{'P', 3, 50, 0, 60, 10, 1}, BOXDEF{'Q', 5, 40, 0, 55, 12, 1},
                            BOXDEF{'W', 7, 60, 5, 52, 8, 1}, BOXDEF{'N', 6, 0, 0, dNaN, 100, 1}})
        w.Add(d);
    EXPECT_EQ(w.Pairs(true), (std::vector<std::string>{"PQ", "PW"}));
}

// Freed handles are given out again under a new generation: the table keeps
// as many slots as objects were alive at once, and a reference to a freed
// object finds nothing even when its slot holds a new one.
TEST(ObjectHandles, TableIsBoundedAndOldHandlesFindNothing) {
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    const size_t nStart = ctx.GetHandleSlots();
    cObjRef first;
    for (int round = 0; round < 50; round++) {
        std::vector<std::unique_ptr<cChara>> v;
        for (int i = 0; i < 100; i++) v.push_back(std::make_unique<cChara>());
        if (round == 0) first = cObjRef(v[0].get());
        EXPECT_EQ(first.Get(), round == 0 ? v[0].get() : nullptr) << "round " << round;
        for (auto& p : v) ASSERT_EQ(cObjRef(p.get()).Get(), p.get());
    }
    // 50 rounds of 100 objects: 100 slots, not 5000.
    EXPECT_EQ(ctx.GetHandleSlots() - nStart, 100u);
    EXPECT_EQ(first.Get(), nullptr);
}
