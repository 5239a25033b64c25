// A hash of everything play depends on, frame by frame: the objects in list
// order with their positions, speeds, statuses and flow positions, the
// scroll, the clock, the variables and the random state. Two runs of the
// same stage with the same input give the same sequence of hashes.
#include <cstring>

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/Progress.h"

namespace {

class cHasher {
public:
    void Bytes(const void* p, size_t n) {
        const unsigned char* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; i++) {
            m_nHash ^= b[i];
            m_nHash *= 1099511628211ull;
        }
    }
    void Int(int64_t n) { Bytes(&n, sizeof n); }
    // Doubles by their bits; -0 and 0 hash alike.
    void Real(double d) {
        if (d == 0) d = 0;
        uint64_t u;
        std::memcpy(&u, &d, sizeof u);
        Int(static_cast<int64_t>(u));
    }
    uint64_t Get() const { return m_nHash; }

private:
    uint64_t m_nHash = 14695981039346656037ull;
};

void HashObj(cHasher& h, const cObj& o) {
    h.Int(o.m_nId);
    h.Int(o.m_nLife);
    h.Int(o.m_nDir);
    h.Int(o.m_nGroup);
    h.Real(o.m_dX);
    h.Real(o.m_dY);
    h.Real(o.m_dVx);
    h.Real(o.m_dVy);
    h.Real(o.m_dCmdVx);
    h.Real(o.m_dCmdVy);
    h.Int(o.m_nWidth);
    h.Int(o.m_nHeight);
    h.Int(o.m_bFlight);
    h.Int(o.m_bActive);
    h.Int(o.m_Anim.m_nPattern);
    h.Int(o.m_Anim.m_nStep);
}

void HashChara(cHasher& h, const cCharaBase& c) {
    HashObj(h, c);
    h.Int(c.m_nHp);
    h.Int(c.m_nSp);
    h.Int(c.m_bDead);
    h.Int(c.m_bVanish);
    h.Int(c.m_nInvTime);
    h.Real(c.m_dKnockX);
    h.Real(c.m_dKnockY);
    h.Int(c.m_nGroundCell);
    h.Int(c.m_bAirborne);
    h.Int(c.m_bJumping);
    for (int32_t v : c.m_vecVar) h.Int(v);
    h.Int(static_cast<int64_t>(c.m_vecFlowRun.size()));
    for (const cFlowRun& r : c.m_vecFlowRun) {
        h.Int(r.m_nIndex);
        h.Int(r.m_bRun);
        h.Int(r.m_bPause);
        h.Int(r.m_nCur);
        h.Int(r.m_nFrame);
        for (const cCmdRun& cr : r.m_vecCmdRun) {
            h.Int(cr.m_nLeft);
            h.Int(cr.m_nCount);
        }
    }
}

}  // namespace

uint64_t cPlayContext::StateHash() const {
    cHasher h;
    h.Int(Random.GetState());
    for (const auto& p : vecPlayer) HashChara(h, *p);
    h.Int(static_cast<int64_t>(lstChara.size()));
    for (const auto& p : lstChara) HashChara(h, *p);
    h.Int(static_cast<int64_t>(lstItem.size()));
    for (const auto& p : lstItem) HashObj(h, *p);
    if (const cPlayScene* s = lpPlayScene) {
        h.Int(s->m_nState);
        h.Int(s->m_nStep);
        h.Real(s->m_ScrollX.m_dCam);
        h.Real(s->m_ScrollY.m_dCam);
        h.Int(s->m_nTime);
        h.Int(s->m_nClear);
        h.Int(s->m_nPlayFrame);
        h.Int(s->m_nStepTotal);
        h.Int(static_cast<int64_t>(s->m_lstShot.size()));
        for (const auto& p : s->m_lstShot) HashObj(h, *p);
        for (int32_t v : s->m_vecStageVar) h.Int(v);
    }
    if (lpProgress) {
        h.Int(lpProgress->m_nScore);
        for (int32_t v : lpProgress->m_vCommonVar) h.Int(v);
    }
    return h.Get();
}
