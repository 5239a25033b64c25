// The vanish, get-item, graphic, animation-set and run-animation commands
// (kinds 24 to 28, item kinds 9 to 13).
#include <algorithm>
#include <vector>

#include "flow/CmdDispatch.h"
#include "flow/CmdFlowOp.h"
#include "play/CharaBase.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/AnimePatterns.h"
#include "project/Database.h"
#include "stage/Flow.h"
#include "stage/ItemData.h"
#include "stage/StageContext.h"

namespace {

int Param(const CMDCALL& call, int i) {
    const cChkVector<int32_t>& v = call.pCmd->m_vParam;
    return v.IsValid(i) ? v[i] : 0;
}

// A shot goes: flagged while the hit pass runs, else taken out at once.
void RemoveShot(cPlayScene& s, cShot* p) {
    if (s.m_bInHits) {
        s.MarkShotErased(p);
        return;
    }
    auto it = std::find_if(s.m_lstShot.begin(), s.m_lstShot.end(),
                           [p](const std::unique_ptr<cShot>& u) { return u.get() == p; });
    if (it != s.m_lstShot.end()) s.EraseShot(it);
}

int nGetItemDepth = 0;

}  // namespace

void VanishChara(cCharaBase* pChara, const cCharaBase* pRunner) {
    if (!pChara) return;
    if (pChara->m_nKind == 0) pChara->m_nHp = 0;
    else pChara->m_bVanish = 1;
    if (pChara != pRunner)
        if (cPlayScene* s = CmdScene()) s->m_bCheckDead = 1;
}

void RemoveChildShots(cCharaBase* pChara) {
    cPlayScene* s = CmdScene();
    if (!pChara || !s) return;
    // The shots first, then their entries: removing changes nothing of the list.
    std::vector<cShot*> vShots;
    auto& v = pChara->m_vecChild;
    for (auto it = v.begin(); it != v.end();) {
        cShot* p = it->nKind == 4 ? it->Shot.GetAs<cShot>() : nullptr;
        if (p && p->m_bActive) {
            vShots.push_back(p);
            it = v.erase(it);
        } else {
            ++it;
        }
    }
    for (cShot* p : vShots) RemoveShot(*s, p);
}

void RemoveDescendants(cCharaBase* pChara, int nDepth, int bShots, const cCharaBase* pRunner) {
    if (!pChara || nDepth > DESCENDANT_DEPTH_MAX) return;
    std::vector<cObjRef> vChildren;
    for (const CHARALINK& l : pChara->m_vecLink)
        if (l.nSlot == 4) vChildren.push_back(l.Obj);
    for (const cObjRef& r : vChildren) {
        cCharaBase* q = r.GetAs<cCharaBase>();
        if (!q || !q->m_bActive) continue;
        if (bShots) RemoveChildShots(q);
        RemoveDescendants(q, nDepth + 1, bShots, pRunner);
        VanishChara(q, pRunner);
    }
}

int CmdExec_Vanish(const CMDCALL& call) {
    cCharaBase* c = call.pChara;
    cPlayScene* s = CmdScene();
    if (!s) return 0;
    const int nScope = Param(call, 0), nGroup = Param(call, 1), bAll = Param(call, 2) == 1;
    switch (nScope) {
    case 0:
        if (nGroup >= 0 && static_cast<size_t>(nGroup) < s->m_vecGroupChara.size()) {
            std::vector<cCharaBase*> v;
            for (const cObjRef& r : s->m_vecGroupChara[nGroup]) {
                cCharaBase* p = r.GetAs<cCharaBase>();
                if (p && p->m_bActive && (bAll || p->m_bOnScreen)) v.push_back(p);
            }
            for (cCharaBase* p : v) VanishChara(p, c);
        }
        break;
    case 1:
        if (nGroup >= 0 && static_cast<size_t>(nGroup) < s->m_vecGroupShot.size()) {
            // Collected first: removing a shot changes the group list.
            std::vector<cShot*> v;
            for (const cObjRef& r : s->m_vecGroupShot[nGroup]) {
                cShot* p = r.GetAs<cShot>();
                if (p && p->m_bActive && (bAll || p->m_bOnScreen)) v.push_back(p);
            }
            for (cShot* p : v) RemoveShot(*s, p);
        }
        break;
    case 2: RemoveDescendants(c, 0, 0, c); break;
    case 3: RemoveChildShots(c); break;
    case 4:
        RemoveChildShots(c);
        RemoveDescendants(c, 0, 1, c);
        break;
    case 5: RemoveDescendants(c, 0, 1, c); break;
    default: break;
    }
    return 0;
}

int CmdExec_GetItem(const CMDCALL& call) {
    cPlayScene* s = CmdScene();
    cHero* pHero = CmdHero();
    if (!s || !pHero) return 0;
    const int nPalette = Param(call, 0) == 0 ? PALETTE_COMMON : PALETTE_STAGE;
    const cItemData* pItem = GetItemPaletteEntry(static_cast<uint8_t>(nPalette), static_cast<int16_t>(Param(call, 1)));
    if (!pItem) return 0;
    // An item that gets itself, or a ring of items getting each other, ends
    // at a depth instead of running for ever.
    if (nGetItemDepth >= GETITEM_DEPTH_MAX) return 0;
    nGetItemDepth++;
    cChkVector<cEdCmd> vCmd = pItem->m_vCmd;
    const int r = pHero->RunItemCmds(vCmd);
    nGetItemDepth--;
    s->m_nClear = r;
    return r;
}

int CmdExec_ChangeGraphic(const CMDCALL& call) {
    cCharaBase* c = call.pChara;
    if (!c) return 0;
    int nKind = static_cast<uint8_t>(Param(call, 0));
    int nNumber = static_cast<int16_t>(Param(call, 1));
    if (nKind == 4) {
        const cDatabase* pDb = CmdDatabase();
        const int n = pDb ? static_cast<int>(pDb->m_vBmpCharaExc.size()) : 0;
        if (nNumber < 1 || nNumber >= n) nNumber = 1;
    }
    c->m_Data.m_nGraphicSheet = static_cast<uint8_t>(nKind);
    c->m_Data.m_nGraphic = static_cast<int16_t>(nNumber);
    c->m_nPicture = nNumber;
    c->m_Data.m_nGraphicRow = static_cast<int16_t>(Param(call, 2));
    return 0;
}

int CmdExec_ChangeAnimeSet(const CMDCALL& call) {
    if (call.pChara) call.pChara->ChangeAnimSet(static_cast<uint16_t>(Param(call, 0)), 0);
    return 0;
}

int CmdExec_RunAnime(const CMDCALL& call) {
    cCharaBase* c = call.pChara;
    if (!c) return 0;
    const cDatabase* pDb = CmdDatabase();
    const ANIMPATTERNTABLE& patterns = pDb ? AnimePatternsFor(*pDb) : vecAnimePattern;
    if (patterns.empty()) return 0;
    ANIMEQUEUE q;
    q.Anim.m_vPattern.clear();
    q.Anim.m_vPattern.push_back(patterns.At(Param(call, 0)));
    q.bPriority = 0;
    q.nCountdown = 0;
    q.nCmdFrames = 0;
    q.nSerial = call.pFlow ? call.pFlow->m_nSerial : -1;
    q.bPaused = 0;
    c->m_lstAnimeQueue.push_front(q);
    c->m_lstAnimeQueue.front().Anim.SetPattern(0, 1);
    return 0;
}
