// Solid characters: standing and riding on them, bumping into them from
// below, being pushed sideways and being crushed between them and walls.
#include <algorithm>
#include <cmath>

#include "play/CharaBase.h"
#include "play/Chara.h"
#include "play/Combat.h"
#include "play/Hero.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {
HITRECT Box(const cObj* o) { return {o->m_dX, o->m_dY, o->m_dRight, o->m_dBottom}; }
HITRECT SavedBox(const cCharaBase* c) { return {c->m_SavedPos.dX, c->m_SavedPos.dY, c->m_SavedPos.dRight, c->m_SavedPos.dBottom}; }

bool CountsAsSolid(const cCharaBase* s, const cObj* pObj) {
    return s && s->IsSolid() && s->m_bActive && !s->m_bDead && s->m_nId != pObj->m_nId;
}

// The solid characters other than pObj in list order, until f says stop.
template <class F>
void ForEachSolid(const cObj* pObj, F f) {
    if (const cPlayScene* pScene = GetPlayScene(); pScene && pScene->m_bAllPairs) {
        for (auto& u : lstChara())   // the slow walk the table is checked against
            if (CountsAsSolid(u.get(), pObj) && !f(u.get())) return;
        return;
    }
    for (cChara* s : PlayCtx().SolidCharas()) {
        if (CountsAsSolid(s, pObj)) {
            if (!f(s)) return;
        }
    }
}

// The overlap size of a (the object's) and b on one axis.
double Overlap1(double a0, double a1, double b0, double b1) {
    if (b0 > a0 && b0 <= a1) return a1 - b0 + 1;
    return b1 - a0 + 1;
}

HITRECT TopStrip(const HITRECT& a) { return {a.l + 1, a.t, a.r - 1, a.t}; }
HITRECT BottomStrip(const HITRECT& a) { return {a.l + 1, a.b, a.r - 1, a.b}; }
HITRECT LeftStrip(const HITRECT& a) { return {a.l, a.t + 1, a.l, a.b - 1}; }
HITRECT RightStrip(const HITRECT& a) { return {a.r, a.t + 1, a.r, a.b - 1}; }

// A proposal of a new position and the solid that made it.
struct PROPOSAL {
    bool bSet = false;
    double d = 0;
    cCharaBase* pBy = nullptr;
    void Low(double v, cCharaBase* s) {   // the lowest (largest) wins
        if (!bSet || v > d) { bSet = true; d = v; pBy = s; }
    }
    void High(double v, cCharaBase* s) {   // the highest (smallest) wins
        if (!bSet || v < d) { bSet = true; d = v; pBy = s; }
    }
};

// What solid s (box b), met by o (box a), proposes on one axis: o's top
// touching it puts o just below it, o's bottom just above it; o's left side
// puts o just right of it, o's right side just left of it. The touched sides
// are marked.
void ProposeVertical(cCharaBase* o, const HITRECT& a, const HITRECT& b, cCharaBase* s, PROPOSAL& up,
                     PROPOSAL& down) {
    if (RectsMeet(TopStrip(a), b)) { o->m_bHitTop = 1; up.Low(b.b + 1, s); }
    if (RectsMeet(BottomStrip(a), b)) { o->m_bHitBottom = 1; down.High(b.t - o->m_nHeight, s); }
}
void ProposeHorizontal(cCharaBase* o, const HITRECT& a, const HITRECT& b, cCharaBase* s, PROPOSAL& left,
                       PROPOSAL& right) {
    if (RectsMeet(LeftStrip(a), b)) { o->m_bHitLeft = 1; left.Low(b.r + 1, s); }
    if (RectsMeet(RightStrip(a), b)) { o->m_bHitRight = 1; right.High(b.l - o->m_nWidth, s); }
}

void SetTop(cCharaBase* o, double y) {
    o->m_dY = y;
    o->ClampY();
}
void SetLeft(cCharaBase* o, double x) {
    o->m_dX = x;
    o->ClampX();
}

// The object placed with its top at y, box only: its corner cells are
// worked out as for a placed copy; nothing is clamped and the object is
// left as it was.
class cProbeTop {
public:
    cProbeTop(cCharaBase* o, double y)
        : m_p(o), m_dY(o->m_dY), m_dBottom(o->m_dBottom), m_nT(o->m_nCellT), m_nB(o->m_nCellB) {
        o->m_dY = y;
        o->m_dBottom = y + o->m_nHeight - 1;
        o->m_nCellT = TruncDot(o->m_dY) >> 5;
        o->m_nCellB = TruncDot(o->m_dBottom) >> 5;
    }
    ~cProbeTop() {
        m_p->m_dY = m_dY;
        m_p->m_dBottom = m_dBottom;
        m_p->m_nCellT = m_nT;
        m_p->m_nCellB = m_nB;
    }
    cProbeTop(const cProbeTop&) = delete;
    cProbeTop& operator=(const cProbeTop&) = delete;

private:
    cCharaBase* m_p;
    double m_dY, m_dBottom;
    int32_t m_nT, m_nB;
};

void SetJumpFlags(cCharaBase* o, const cCharaBase* s) {
    o->m_dCmdVy = 0;
    o->m_bJumping = o->m_bJumpTop = o->m_bJumpHold = 1;
    if (!PlaySystem().m_bRule808) o->m_dKnockY = 0;
    o->m_dVy = s->m_dVy;
}

void TakeRide(cCharaBase* o, cCharaBase* s) {
    o->m_nRideId = s->m_nId;
    o->m_Ride = cObjRef(s);
    o->m_dRideX = s->m_dX;
    o->m_dRideY = s->m_dY;
}

cCharaBase* FindSolidById(const cObj* pObj, int nId) {
    cCharaBase* r = nullptr;
    ForEachSolid(pObj, [&](cCharaBase* s) {
        if (s->m_nId != nId) return true;
        r = s;
        return false;
    });
    return r;
}
}   // namespace

int IsOverlappingSolidChara(const cObj* pObj) {
    if (!pObj || (pObj->m_bFlight && pObj->m_nFlightBlock == 0)) return 0;
    bool b = false;
    const HITRECT a = Box(pObj);
    ForEachSolid(pObj, [&](cCharaBase* s) {
        b = RectsMeet(a, Box(s));
        return !b;
    });
    return b ? 1 : 0;
}

int cPlayScene::IsOverlappingOtherSolid(const cObj* pObj, int nExceptId) {
    if (!pObj || (pObj->m_bFlight && pObj->m_nFlightBlock == 0)) return 0;
    bool b = false;
    const HITRECT a = Box(pObj);
    ForEachSolid(pObj, [&](cCharaBase* s) {
        b = s->m_nId != nExceptId && RectsMeet(a, Box(s));
        return !b;
    });
    return b ? 1 : 0;
}

void cPlayScene::ResolveSolidsAxis(cCharaBase* o, int bVertical) {
    const HITRECT a = Box(o);
    PROPOSAL p1, p2;
    ForEachSolid(o, [&](cCharaBase* s) {
        const HITRECT b = Box(s);
        if (!RectsMeet(a, b)) return true;
        if (bVertical) {
            ProposeVertical(o, a, b, s, p1, p2);
        } else {
            ProposeHorizontal(o, a, b, s, p1, p2);
        }
        return true;
    });
    if (bVertical) {
        if (p1.bSet) o->m_dY = p1.d;
        if (p2.bSet) o->m_dY = p2.d;
        o->ClampY();
        return;
    }
    for (PROPOSAL* p : {&p1, &p2}) {
        if (!p->bSet) continue;
        o->m_dX = p->d;
        if (!o->m_bRiding || p->pBy->m_nId != o->m_nRideId) o->m_bPushed = 1;
    }
    o->ClampX();
}

int cPlayScene::IsStillRiding(cCharaBase* o) {
    cCharaBase* s = FindSolidById(o, o->m_nRideId);
    if (!s) return 0;
    HITRECT strip{o->m_dX, o->m_dBottom, o->m_dRight, o->m_dBottom + 5};
    return RectsMeet(strip, Box(s)) ? 1 : 0;
}

cCharaBase* cPlayScene::FindSolidBelow(cCharaBase* o) {
    HITRECT strip{o->m_dX, o->m_dBottom, o->m_dRight, o->m_dBottom + 5};
    cCharaBase* r = nullptr;
    ForEachSolid(o, [&](cCharaBase* s) {
        if (!RectsMeet(strip, Box(s))) return true;
        r = s;
        return false;
    });
    return r;
}

int cPlayScene::IsSqueezed(cCharaBase* o, const SAVEDPOS& rc) {
    if (o->m_bFlight && o->m_nFlightBlock == 0) return 0;
    const double ax[4] = {o->m_dX, o->m_dRight, o->m_dX, o->m_dRight};
    const double ay[4] = {o->m_dY, o->m_dY, o->m_dBottom - 1, o->m_dBottom - 1};
    const double bx[4] = {rc.dX, rc.dRight, rc.dX, rc.dRight};
    const double by[4] = {rc.dY, rc.dY, rc.dBottom - 1, rc.dBottom - 1};
    for (int i = 0; i < 4; i++) {
        bool bCovered = false;
        ForEachSolid(o, [&](cCharaBase* s) {
            const HITRECT b = Box(s);
            auto in = [&](double x, double y) { return x >= b.l && x <= b.r && y >= b.t && y <= b.b; };
            bCovered = in(ax[i], ay[i]) || in(bx[i], by[i]);
            return !bCovered;
        });
        if (!bCovered) return 0;
    }
    return 1;
}

int cPlayScene::RideSolid(cCharaBase* o) {
    if (!o || o->m_bFlight) return 0;
    cCharaBase* s = nullptr;
    if (m_bAllPairs) {
        for (auto& u : lstChara())
            if (u->m_nId == o->m_nRideId) {
                s = u.get();
                break;
            }
    } else {
        s = PlayCtx().FirstCharaById(o->m_nRideId);
    }
    if (!s) return 0;
    o->m_dVx += s->m_dX - o->m_dRideX;
    if (s->m_bFlight || !PlaySystem().m_bRule845 || s->m_bAirborne) o->m_dVy = s->m_dY - o->m_dRideY;
    if (o->IsHero()) s->FireEvent(EVENT_RIDDEN_BY_HERO, o);
    s->FireEvent(EVENT_RIDDEN_BY_CHARA, o);
    return 0;
}

int cPlayScene::PushFromSolids(cCharaBase* o) {
    if (!o) return 0;
    if (o->m_bFlight && o->m_nFlightBlock == 0) return 0;
    const SAVEDPOS before{o->m_dX, o->m_dY, o->m_dRight, o->m_dBottom};
    const cSystemData& sys = PlaySystem();

    if (o->m_bFlight) {
        const HITRECT a = Box(o);
        PROPOSAL top, bottom, left, right;
        bool bAny = false;
        ForEachSolid(o, [&](cCharaBase* s) {
            const HITRECT b = Box(s);
            if (!RectsMeet(a, b)) return true;
            bAny = true;
            double w = Overlap1(a.l, a.r, b.l, b.r), h = Overlap1(a.t, a.b, b.t, b.b);
            if (w > h) {
                ProposeVertical(o, a, b, s, top, bottom);
            } else {
                ProposeHorizontal(o, a, b, s, left, right);
            }
            return true;
        });
        if (bAny) o->FireEvent(EVENT_TOUCH_SOLID);
        const bool bProposed = top.bSet || bottom.bSet || left.bSet || right.bSet;
        if (o->m_nFlightBlock == 2) return bProposed ? PLAYRESULT_LOST : 0;
        // A side push goes ahead unless the pusher moves away from the object
        // while the object does not move toward it.
        auto side = [&](PROPOSAL& p, int nSign, int32_t& hitFlag) {
            if (!p.bSet) return;
            o->m_dCmdVx = 0;
            // nSign: the direction away from the object, seen from the pusher.
            bool bAway = p.pBy->m_dVx * nSign > 0 && !(o->m_dVx * nSign > 0);
            if (!bAway) {
                o->m_dX = p.d;
                o->m_bPushed = 1;
                o->ClampX();
            } else {
                hitFlag = 0;
                ResolveSolidsAxis(o, 1);
            }
        };
        side(left, -1, o->m_bHitLeft);    // the pusher is on the left: away is moving left
        side(right, 1, o->m_bHitRight);
        auto vert = [&](PROPOSAL& p, int nSign, int32_t& hitFlag) {
            if (!p.bSet) return;
            o->m_dCmdVy = 0;
            bool bAway = p.pBy->m_dVy * nSign > 0 && !(o->m_dVy * nSign > 0);
            if (!bAway) {
                o->m_dY = p.d;
                o->ClampY();
            } else {
                hitFlag = 0;
                ResolveSolidsAxis(o, 0);
            }
        };
        vert(top, -1, o->m_bHitTop);
        vert(bottom, 1, o->m_bHitBottom);
        return 0;
    }

    // A walking object.
    const HITRECT a = Box(o);
    const double h = o->m_nHeight;
    const HITRECT U{o->m_dX, o->m_dY, o->m_dRight, o->m_dY + std::trunc(h / 2)};
    const HITRECT L3{o->m_dX + 1, o->m_dBottom - std::trunc(h / 3), o->m_dRight - 1, o->m_dBottom};
    const HITRECT aSaved = SavedBox(o);
    const double b = PlayStage().m_dStepFactor > 0 ? PlayStage().m_dStepFactor : 1.0;
    const double dFall = 2.0 / b, dSlide = 0.4 / b;
    PROPOSAL pRight, pLeft, pStand, pBump;
    bool bAny = false;
    const HITRECT colRight{a.r, a.t, a.r, a.b}, colLeft{a.l, a.t, a.l, a.b};
    const HITRECT uRight{U.r, U.t, U.r, U.b}, uLeft{U.l, U.t, U.l, U.b};
    auto proposeRight = [&](cCharaBase* s) { o->m_bHitRight = 1; pRight.High(s->m_dX - o->m_nWidth - 0.5, s); };
    auto proposeLeft = [&](cCharaBase* s) { o->m_bHitLeft = 1; pLeft.Low(s->m_dRight + 1.5, s); };
    auto proposeStand = [&](cCharaBase* s) {
        if (s->m_dVy < 0) o->m_bHitBottom = 1;
        double y = s->m_dY - o->m_nHeight;
        if (!pStand.bSet || y < pStand.d) {
            pStand.High(y, s);
            TakeRide(o, s);
        }
    };
    auto proposeBump = [&](cCharaBase* s) {
        if (s->m_dVy > 0) o->m_bHitTop = 1;
        pBump.Low(s->m_dBottom + 1, s);
        if (o->m_bRiding && o->m_dVy < 0) o->m_bHitBottom = 1;
    };
    ForEachSolid(o, [&](cCharaBase* s) {
        const HITRECT bb = Box(s);
        if (!RectsMeet(a, bb)) return true;
        bAny = true;
        if (!RectsMeet(U, bb)) {
            double w = Overlap1(a.l, a.r, bb.l, bb.r), hh = Overlap1(a.t, a.b, bb.t, bb.b);
            if (w < hh) {
                if (RectsMeet(colRight, bb)) proposeRight(s);
                if (RectsMeet(colLeft, bb)) proposeLeft(s);
            } else if (RectsMeet(L3, bb)) {
                proposeStand(s);
            }
            return true;
        }
        const double w = Overlap1(U.l, U.r, bb.l, bb.r), hh = Overlap1(U.t, U.b, bb.t, bb.b);
        const HITRECT item1{aSaved.l, a.t, aSaved.r, a.b};
        const HITRECT sSaved = SavedBox(s);
        if (o->m_dVy > dFall && RectsMeet(item1, sSaved) && aSaved.t < sSaved.t &&
            (sys.m_bRule839 || aSaved.b < sSaved.b)) {
            proposeStand(s);
        } else if ((w - hh > dSlide && bb.b < a.b && (sys.m_bRule839 || bb.t < a.t)) ||
                   (RectsMeet(item1, sSaved) && sSaved.t < aSaved.t && !RectsMeet(aSaved, bb))) {
            proposeBump(s);
        } else if (o->m_dVx >= 0) {
            if (RectsMeet(uRight, bb)) proposeRight(s);
            else if (RectsMeet(uLeft, bb)) proposeLeft(s);
        } else {
            if (RectsMeet(uLeft, bb)) proposeLeft(s);
            else if (RectsMeet(uRight, bb)) proposeRight(s);
        }
        return true;
    });

    // The first solid that reaches into the upper half pushes the object
    // down under itself.
    auto pushDown = [&](bool bSetTop) -> bool {
        cCharaBase* found = nullptr;
        ForEachSolid(o, [&](cCharaBase* s) {
            if (!RectsMeet(U, Box(s))) return true;
            found = s;
            return false;
        });
        if (!found) return false;
        SetJumpFlags(o, found);
        if (bSetTop && found->m_dVy > 0) o->m_bHitTop = 1;
        SetTop(o, found->m_dBottom + 1);
        return true;
    };

    bool bLanded = false;
    bool bStandApplied = false, bBumpApplied = false;
    if (!pBump.bSet || pStand.bSet) {
        const bool bBoth = pLeft.bSet && pRight.bSet;
        if (!bBoth) {
            if (pStand.bSet) {
                // The stand (below).
                bStandApplied = true;
            }
        } else if (!pStand.bSet) {
            pushDown(false);
            o->m_bHitLeft = o->m_bHitRight = 0;
            pLeft.bSet = pRight.bSet = false;
        }
    } else {
        cCharaBase* s = pBump.pBy;
        bool bGo = true;
        if (s->m_dVy < 0) {
            cProbeTop probe(o, pBump.d);
            bGo = !o->IsCornerBlocked() && !IsOverlappingOtherSolid(o, s->m_nId);
        }
        if (bGo) {
            SetJumpFlags(o, s);
            SetTop(o, pBump.d);
            JudgeBlockYBoth(o);
            bBumpApplied = true;
        }
    }
    if (bStandApplied) {
        cCharaBase* s = pStand.pBy;
        bool bBlocked = false;
        if (s->m_dVy > 0) {
            cProbeTop probe(o, pStand.d);
            bBlocked = o->IsCornerBlocked() != 0;
        }
        if (bBlocked) {
            o->m_bRiding = 0;
            bStandApplied = false;
        } else {
            o->m_dCmdVy = 0;
            if (!o->m_bRiding) {
                o->m_bRiding = 1;
                if (o->IsHero()) s->FireEvent(EVENT_RIDDEN_BY_HERO, o);
                s->FireEvent(EVENT_RIDDEN_BY_CHARA, o);
            }
            SetTop(o, pStand.d);
            o->m_dVy = 0;
            o->m_nAirSteps = 0;
            o->m_bJumping = o->m_bJumpTop = o->m_bAirborne = o->m_bKnocked = 0;
            if (cHero* pHero = dynamic_cast<cHero*>(o))
                pHero->m_bJumpReady = 0;
            else
                o->m_bJumpHold = 0;
            bLanded = true;
        }
    }
    bool bLeftApplied = false, bRightApplied = false;
    for (PROPOSAL* p : {&pLeft, &pRight}) {
        if (!p->bSet) continue;
        o->m_dCmdVx = 0;
        if (!(o->m_bRiding && p->pBy->m_nId == o->m_nRideId)) o->m_bPushed = 1;
        SetLeft(o, p->d);
        (p == &pLeft ? bLeftApplied : bRightApplied) = true;
    }
    if (bLeftApplied && bRightApplied && !pStand.bSet) {
        SetLeft(o, before.dX);
        if (pushDown(true)) o->m_bHitLeft = o->m_bHitRight = 0;
    }
    if (bAny || o->m_bRiding) o->FireEvent(EVENT_TOUCH_SOLID);
    if (o->m_bRiding) {
        if (cHero* pHero = dynamic_cast<cHero*>(o)) pHero->m_bNoJump = 0;
        o->FireEvent(EVENT_ON_SOLID);
    }

    if ((o->m_bHitLeft && o->m_bHitRight) || (o->m_bHitTop && o->m_bHitBottom)) return PLAYRESULT_LOST;
    if (IsSqueezed(o, before)) return PLAYRESULT_LOST;

    // Unstick from the map, at most 15 steps of 0.1 dot per applied push.
    const bool bByFlags = sys.m_bRule818A != 0;
    auto unstick = [&](bool bOn, double dx, double dy) {
        if (!bOn) return;
        for (int i = 0; i < 15 && o->IsCornerBlocked(); i++) {
            if (dx != 0) SetLeft(o, o->m_dX + dx);
            if (dy != 0) SetTop(o, o->m_dY + dy);
        }
    };
    unstick(bByFlags ? o->m_bHitLeft != 0 : bLeftApplied, -0.1, 0);
    unstick(bByFlags ? o->m_bHitRight != 0 : bRightApplied, 0.1, 0);
    unstick(bByFlags ? o->m_bHitTop != 0 : bBumpApplied, 0, -0.1);
    unstick(bByFlags ? o->m_bHitBottom != 0 : bLanded, 0, 0.1);

    if (o->m_bRiding && !bLanded && o->m_dKnockY >= 0) {
        if (!IsStillRiding(o)) {
            if (cCharaBase* s = FindSolidBelow(o)) {
                o->m_nAirSteps = 0;
                o->m_bJumping = o->m_bJumpTop = 0;
                TakeRide(o, s);
            } else {
                o->EndRide(0);
            }
        } else if (cCharaBase* s = FindSolidById(o, o->m_nRideId)) {
            o->m_dRideX = s->m_dX;
            o->m_dRideY = s->m_dY;
        }
    }
    return 0;
}
