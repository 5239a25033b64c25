// The small rules around movement and collision: the pause key, the time
// limit, the play timer, the hero's contact with items, the removal of
// characters out of HP or vanished, and the hero's death tests.
#include <algorithm>

#include "play/CharaBase.h"
#include "play/Chara.h"
#include "play/Combat.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {
constexpr int VK_SPACE_KEY = 0x20;

PLAYSTEPLOGFUNC pfnStepLog = nullptr;
void* pStepLogUser = nullptr;

cHero* FirstHero() {
    auto& v = vecPlayer();
    return v.empty() ? nullptr : v[0].get();
}

HITRECT ItemBox(const cItem* p) { return {p->m_dX, p->m_dY, p->m_dRight, p->m_dBottom}; }
HITRECT ItemHitBox(const cHero* h) { return {h->m_HitBox3.dLeft, h->m_HitBox3.dTop, h->m_HitBox3.dRight, h->m_HitBox3.dBottom}; }
}   // namespace

void SetPlayStepLog(PLAYSTEPLOGFUNC pfn, void* pUser) {
    pfnStepLog = pfn;
    pStepLogUser = pUser;
}

void PlayStepLog(const char* pszLabel) {
    if (pfnStepLog) pfnStepLog(pStepLogUser, pszLabel);
}

int cPlayScene::CheckPauseKey() {
    if (!PlaySystem().m_bSpacePause || !PlayHost().IsKeyDown(VK_SPACE_KEY)) return 0;
    PlaySystemSound(SYSSOUND_PAUSE);
    m_nSaveState = m_nState;
    m_nSaveStep = m_nStep;
    return 1;
}

int cPlayScene::UpdateTimeLimit(int nDelta) {
    if (m_bNoTimeLimit) return 0;
    int& nDivider = PlayCtx().nFrameDivider;
    if (++nDivider >= 60) {
        nDivider = 0;
        m_nTime = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(m_nTime) + nDelta, INT32_MIN, INT32_MAX));
    }
    if (m_nTime > 999) {
        m_nTime = 999;
        return 0;
    }
    if (m_nTime <= 0) {
        m_nTime = 0;
        return 1;
    }
    return 0;
}

void cPlayScene::UpdatePlayTimer() {
    if (m_nPlayTime >= PLAYTIME_MAX - 1) return;
    if (m_nPlayFrame < INT32_MAX) m_nPlayFrame++;
    m_nPlayTime = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(m_nPlayFrame) * 100 / 60, PLAYTIME_MAX));
}

int cPlayScene::TakeItem(cItem* pItem, cHero* pHero) {
    if (!pItem || !pHero || pItem->m_Item.m_nGraphic == 0 || pItem->m_Item.m_nTakeRule == 2 || !pItem->m_bActive)
        return 0;
    if (pItem->m_Item.m_bShowPicture)
        pHero->PopItemIcon(pItem->m_Item.m_nGraphicSheet, pItem->m_Item.m_nGraphic, pItem->m_Item.m_nGraphicRow);
    PlayUserSound(pItem->m_Item.m_nSound);
    return pHero->RunItemCmds(pItem->m_Item.m_vCmd);
}

int cPlayScene::CheckItemContact() {
    cHero* pHero = FirstHero();
    if (!pHero) return 0;
    auto& lst = lstItem();
    for (auto it = lst.begin(); it != lst.end();) {
        cItem* p = it->get();
        const int nRule = p->m_Item.m_nTakeRule;
        if (!p->m_bActive || p->m_bCarried || nRule == 2) {
            ++it;
            continue;
        }
        if (!RectsMeet(ItemBox(p), ItemHitBox(pHero))) {
            if (nRule == 1) pHero->ForgetItem(p);
            ++it;
            continue;
        }
        pHero->FireEvent(EVENT_ITEM_TOUCH, p);
        bool bTake = true;
        if (nRule == 1) {
            bTake = pHero->CanTakeItem(p);
            if (bTake) pHero->m_lstTouchedItems.push_back(cObjRef(p));
        }
        int r = 0;
        if (bTake) r = TakeItem(p, pHero);
        if (bTake && nRule == 0)
            it = EraseItem(it);
        else
            ++it;
        if (r != 0) return r;
    }
    return 0;
}

int cPlayScene::CheckOtherDeaths() {
    // Each request is served once: the flag is cleared whatever follows.
    m_bCheckDead = 0;
    cHero* pHero = FirstHero();
    if (pHero && !pHero->m_bDead && pHero->m_nHp <= 0) return PLAYRESULT_LOST;
    const bool bKeep = PlaySystem().m_bRule272 != 0;
    auto& lst = lstChara();
    for (auto it = lst.begin(); it != lst.end();) {
        cChara* c = it->get();
        // The character the frame is stepping stays in the list: the frame's
        // own walk removes it.
        const bool bCanErase = c != m_lpStepChara;
        if (c->m_bVanish) {
            if (!bCanErase) {
                ++it;
                continue;
            }
            c->UnlinkAll();
            it = EraseChara(it);
            continue;
        }
        if (c->m_bDead || c->m_nHp > 0) {
            ++it;
            continue;
        }
        const int r = KillChara(c);
        if (bKeep && r != PLAYRESULT_CLEAR) {
            PlaySystemSound(SYSSOUND_DEFEAT);
            ++it;
        } else if (bCanErase) {
            it = EraseChara(it);
        } else {
            ++it;
        }
        if (r != 0) return r;
    }
    return 0;
}

int cPlayScene::RunHeroDeathTests(cHero* pHero) {
    if (!pHero) return 0;
    // The frame plays the miss sound and runs the hero's defeat.
    auto die = [&](const char* pszLabel) -> int {
        PlayStepLog(pszLabel);
        return PLAYRESULT_LOST;
    };
    auto squeezed = [&]() {
        return (pHero->m_bHitLeft && pHero->m_bHitRight) || (pHero->m_bHitTop && pHero->m_bHitBottom);
    };

    pHero->MoveX();
    CheckScreenEdgeX(pHero);
    if (JudgeBlockX(pHero) == 2) return die("Dead 1");
    CheckScreenEdgeX(pHero);
    pHero->ApplyGravity();
    if (pHero->MoveY() == 7) return die("Dead 2");
    if (CheckScreenEdgeY(pHero) == 2) return die("Dead 3");
    if (JudgeBlockY(pHero) == 2) return die("Dead 4");
    if (CheckScreenEdgeY(pHero) == 2) return die("Dead 5");
    // Every step: a hero held by a lock (its flight just changed) is spared
    // the squeeze, and the first such step puts back the position saved
    // with the change.
    const bool bLocked = pHero->RestoreAfterLock();
    if (squeezed() && !bLocked) {
        pHero->RestorePos();
        return die("Dead SP");
    }
    // The pushes and the both-side judgements run while the hero is held
    // too (they move it and set its hit flags); only a fatal result is
    // ignored then. A held hero squeezed sideways goes on, as it does in
    // the vertical test.
    if (!pHero->m_bDead && PushFromSolids(pHero) == 2 && !bLocked) return die("Dead 6");
    if (!pHero->m_bDead && (pHero->m_bHitLeft || pHero->m_bHitRight) && JudgeBlockXBoth(pHero) == 2 && !bLocked)
        return die("Dead 7");
    if (!pHero->m_bDead && (pHero->m_bHitTop || pHero->m_bHitBottom) && JudgeBlockYBoth(pHero) == 2 && !bLocked)
        return die("Dead 8");
    if (squeezed() && !bLocked) {
        pHero->RestorePos();
        return die("Dead 9");
    }
    return 0;
}
