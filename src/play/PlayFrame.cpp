// One displayed frame of play: the input, the clock, b logic sub-steps in a
// fixed order (a later step sees what an earlier one did in the same
// sub-step) and the drawing.
#include <exception>

#include "foundation/Log.h"
#include "foundation/StopPoint.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/Prefetch.h"
#include "play/PlaySetStage.h"
#include "play/Shot.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {

// How a step of the frame ends it.
enum : int { STEP_GO_ON = 0, STEP_END_FRAME = 1 };

// MoveX leaving the stage sideways; MoveY falling to death or leaving.
constexpr int MOVE_LEFT_STAGE = 4;
constexpr int MOVE_FELL = 7;
constexpr int MOVE_LEFT_STAGE_Y = 8;

bool Acts(const cChara* c) { return !c->m_bDead && c->m_bActive && c->m_bActing; }

// What the walks over the characters test first.
void PrefetchActs(const cChara* c) { PrefetchAt(&c->m_Data.m_bNoHitBox, &c->m_bDead, &c->m_bActive, &c->m_bActing); }

}  // namespace

// After a character's flows no run is current: a flow change that an item
// taken later in the sub-step makes is applied at once.
void cPlayScene::ClearCurrentRun() {
    m_lpCurChara = nullptr;
    m_lpCurFlow = nullptr;
    m_lpCurCmd = nullptr;
}

// The hero is lost: the miss sound and its defeat; a defeat that clears the
// stage (a death flow or its dropped item asked for it) clears it instead.
void cPlayScene::LoseHero(cHero* pHero) {
    PlaySystemSound(8);
    // Only a clear asked for by the defeat itself counts: one that another
    // character's flow asked for earlier would have come at the hero's next
    // step, and the loss came first.
    m_nClear = 0;
    if (pHero->Defeat() && m_nClear == 1) {
        StageClear();
        SetMode(PLAYSTATE_CLEAR);
    }
}

void cPlayScene::ClearStage() {
    StageClear();
    SetMode(PLAYSTATE_CLEAR);
}

// The result of a rule that can end the stage: 1 clear, 2 the hero lost.
int cPlayScene::EndByResult(int nResult, cHero* pHero) {
    if (nResult == PLAYRESULT_CLEAR) {
        ClearStage();
        return STEP_END_FRAME;
    }
    if (nResult == PLAYRESULT_LOST) {
        LoseHero(pHero);
        return STEP_END_FRAME;
    }
    return STEP_GO_ON;
}

int cPlayScene::ReadFrameInput(cHero* pHero) {
    (void)pHero;   // its direction and button locks: see the hero
    cPlayContext& ctx = PlayCtx();
    cInputState& in = *ctx.lpInput;
    cGameState& game = GetGameState();
    if (game.m_nPlayType == PLAYTYPE_REPLAY) {
        in.ClearDir();
        in.ClearButton();
        int16_t aw[2] = {0, 0};
        if (recReplayA.PlayFrame(aw)) {
            PlayProgress().RestoreCheckpoint(1, game.m_nGameMode, bFreeStageStart);
            SetStage(1, 1);
            SetMode(PLAYSTATE_START);
            return 0;
        }
        in.m_wDir = aw[0];
        in.m_wButton = aw[1];
        in.m_nDirCode = GetDirCode(in.m_wDir);
        in.RecordHistory();
        in.UpdatePatternRuns();
        return 1;
    }
    if (in.m_wButton == 0) m_bHoldButtons = 0;
    if (m_bHoldButtons) in.ClearButton();
    in.RecordHistory();
    in.UpdatePatternRuns();
    if (ctx.lpSystem->m_bReplay) recReplayA.RecordFrame(in.m_wDir, in.m_wButton);
    return 1;
}

void cPlayScene::ModePlay() {
    cPlayContext& ctx = PlayCtx();
    if (m_bClosing) {
        PlayHost().RequestClose();
        return;
    }
    if (ctx.vecPlayer.empty()) return;
    cHero* pHero = ctx.vecPlayer[0].get();
    if (CheckPauseKey()) {
        SetMode(PLAYSTATE_PAUSE);
        return;
    }
    if (PlayHost().CheckReplayKeys()) return;
    m_nStageFrame++;
    if (!ReadFrameInput(pHero)) return;
    // Every way out of the frame from here on has played it, but for a
    // frame given up half-way for a close.
    struct cFrameEnd {
        ~cFrameEnd() {
            if (std::uncaught_exceptions() == 0) PlayHost().OnPlayFrameEnd();
        }
    } frameEnd;
    UpdatePlayTimer();
    if (UpdateTimeLimit(-1) != 0 && !pHero->m_bDead) {
        LoseHero(pHero);
        return;
    }
    pHero->ClearFrameFlags();
    for (auto& c : ctx.lstChara)
        if (!c->m_bDead) c->ClearFrameFlags();

    const int b = ctx.lpStage->m_nSubStep > 0 ? ctx.lpStage->m_nSubStep : 1;
    for (int s = 1; s <= b; s++)
        if (RunSubStep(s, pHero) != STEP_GO_ON) return;
    Draw(0);
    RunPendingMiss();
}

int cPlayScene::RunSubStep(int s, cHero* pHero) {
    cPlayContext& ctx = PlayCtx();
    const cSystemData& sys = *ctx.lpSystem;
    m_nStepTotal++;
    m_nSubStep = s;

    // 2. Who acts.
    UpdateActivity();
    const bool bHeroDead = pHero->m_bDead != 0;

    // 3. Lifetimes.
    if (!bHeroDead) {
        for (auto it = ctx.lstChara.begin(); it != ctx.lstChara.end();) {
            PrefetchAhead(it, ctx.lstChara.end(), [](const cChara* n) { PrefetchAt(&n->m_nLife, &n->m_bDead); });
            cChara* c = it->get();
            if (!c->m_bDead && c->m_nLife != OBJ_LIFE_UNLIMITED && --c->m_nLife < 0) it = EraseChara(it);
            else ++it;
        }
        for (auto it = ctx.lstItem.begin(); it != ctx.lstItem.end();) {
            cItem* p = it->get();
            if (p->m_nLife != OBJ_LIFE_UNLIMITED && --p->m_nLife < 0) it = EraseItem(it);
            else ++it;
        }
    }

    // 4. Invincibility, hit flags, saved positions.
    for (auto it = ctx.lstChara.begin(); it != ctx.lstChara.end(); ++it) {
        PrefetchAhead(it, ctx.lstChara.end(), [](const cChara* n) {
            PrefetchAt(&n->m_nInvTime, &n->m_bHitLeft, &n->m_SavedPos, &n->m_dX, &n->m_dBottom);
        });
        cChara* c = it->get();
        c->StepInvincible();
        c->ClearBlockHitFlags();
        c->SavePos();
    }
    pHero->StepInvincible();
    pHero->ClearBlockHitFlags();
    pHero->SavePos();
    pHero->SaveClearDir();
    pHero->LatchGroundCell();

    // 5. Auto-scroll.
    m_ScrollX.Step();
    m_ScrollY.Step();

    // 6. The block characters.
    if (!bHeroDead) {
        for (auto it = ctx.lstChara.begin(); it != ctx.lstChara.end();) {
            PrefetchAhead(it, ctx.lstChara.end(), PrefetchActs);
            cChara* c = it->get();
            if (!c->IsSolid() || !Acts(c)) {
                ++it;
                continue;
            }
            int r = StepChara(it, true);
            if (r == STEP_END_FRAME) return STEP_END_FRAME;
        }
    }

    // 7. The hero.
    if (!bHeroDead) {
        pHero->FireEvent(0);
        m_lpCurChara = pHero;
        const int bHeroGone = pHero->RunFlows(0);
        ClearCurrentRun();
        if (bHeroGone) {
            LoseHero(pHero);
            return STEP_END_FRAME;
        }
        if (m_nClear == 1) {
            ClearStage();
            return STEP_END_FRAME;
        }
        if (m_nClear == 2) {
            LoseHero(pHero);
            return STEP_END_FRAME;
        }
        if (m_bCheckDead) {
            if (EndByResult(CheckOtherDeaths(), pHero)) return STEP_END_FRAME;
            if (m_nState != PLAYSTATE_PLAY) return STEP_END_FRAME;
        }
        if (EndByResult(ApplyBlockEffect(pHero), pHero)) return STEP_END_FRAME;
        if (pHero->m_bRiding) RideSolid(pHero);
        int r = RunHeroDeathTests(pHero);
        if (r == 2) {
            LoseHero(pHero);
            return STEP_END_FRAME;
        }
        if (r == 1) {
            ClearStage();
            return STEP_END_FRAME;
        }
        if (r == 3) return STEP_END_FRAME;
        pHero->DecayKnockX();
        pHero->DecayKnockY();
    }

    // 8. The other characters.
    if (!bHeroDead) {
        for (auto it = ctx.lstChara.begin(); it != ctx.lstChara.end();) {
            PrefetchAhead(it, ctx.lstChara.end(), PrefetchActs);
            cChara* c = it->get();
            if (c->IsSolid() || !Acts(c)) {
                ++it;
                continue;
            }
            int r = StepChara(it, false);
            if (r == STEP_END_FRAME) return STEP_END_FRAME;
        }
    }

    // 9. The shots.
    for (auto it = m_lstShot.begin(); it != m_lstShot.end();) {
        StopPoint();
        cShot* p = it->get();
        PrefetchAhead(it, m_lstShot.end(), [](const cShot* n) { PrefetchBytes(n, sizeof(cShot)); });
        if (p->Step()) {
            it = EraseShot(it);
            continue;
        }
        p->ApplyGravity();
        p->MoveY();
        p->MoveX();
        const cQuadSwitch& area = ctx.lpStage->m_aEraseArea[p->m_nKind == 0 ? 3 : 4];
        if (s == 1 && area.IsUsed() && p->IsOutOfEraseRange(&area)) {
            it = EraseShot(it);
            continue;
        }
        if (p->HitsBlock()) {
            it = EraseShot(it);
            continue;
        }
        ++it;
    }

    // 10. The erase rules.
    if (s == 1 && !bHeroDead) {
        const cStage& st = *ctx.lpStage;
        for (auto it = ctx.lstChara.begin(); it != ctx.lstChara.end();) {
            cChara* c = it->get();
            const bool bSolid = c->IsSolid();
            const bool bRule = bSolid ? m_bEraseBlockChara : m_bEraseChara;
            if (bRule && !c->m_bDead && c->m_bActive && c->IsOutOfEraseRange(&st.m_aEraseArea[bSolid ? 1 : 0]))
                it = EraseChara(it);
            else
                ++it;
        }
        if (m_bEraseItem) {
            for (auto it = ctx.lstItem.begin(); it != ctx.lstItem.end();) {
                if ((*it)->IsOutOfEraseRange(&st.m_aEraseArea[2])) it = EraseItem(it);
                else ++it;
            }
        }
    }

    // 11-12. The block's item, the hits, the items.
    if (!bHeroDead) {
        if (EndByResult(GiveBlockItem(pHero), pHero)) return STEP_END_FRAME;
        if (EndByResult(ResolveHits(), pHero)) return STEP_END_FRAME;
        if (EndByResult(CheckItemContact(), pHero)) return STEP_END_FRAME;
    }
    (void)sys;
    return STEP_GO_ON;
}

// One block character (bSolid) or ordinary character of the sub-step; the
// iterator moves on to the next node. STEP_END_FRAME when the frame ends.
int cPlayScene::StepChara(cObjList<cChara>::iterator& it, bool bSolid) {
    // A character's step may be long (pushing through a crowd): a close
    // gives up the frame here.
    StopPoint();
    cChara* c = it->get();
    m_lpStepChara = c;
    const int r = StepCharaHeld(it, bSolid);
    m_lpStepChara = nullptr;
    return r;
}

int cPlayScene::StepCharaHeld(cObjList<cChara>::iterator& it, bool bSolid) {
    const cSystemData& sys = *PlayCtx().lpSystem;
    cChara* c = it->get();
    c->FireEvent(0);
    m_lpCurChara = c;
    const int bGone = c->RunFlows(0);
    ClearCurrentRun();
    if (bGone) {
        if (!bSolid && c->m_bVanish) {
            it = EraseChara(it);
            return STEP_GO_ON;
        }
        const int r = KillChara(c);
        if (r == PLAYRESULT_CLEAR) {
            it = EraseChara(it);
            ClearStage();
            return STEP_END_FRAME;
        }
        if (sys.m_bRule272) {
            PlaySystemSound(9);
            ++it;
        } else {
            it = EraseChara(it);
        }
        return STEP_GO_ON;
    }
    if (m_bCheckDead) {
        cHero* pHero = PlayCtx().vecPlayer[0].get();
        if (EndByResult(CheckOtherDeaths(), pHero)) return STEP_END_FRAME;
        if (m_nState != PLAYSTATE_PLAY) return STEP_END_FRAME;
    }
    bool bLeave = false;
    if (!bSolid && c->m_bRiding) RideSolid(c);
    if (c->MoveX() == MOVE_LEFT_STAGE) bLeave = true;
    const int rX = JudgeBlockX(c);
    c->ApplyGravity();
    const int rMoveY = c->MoveY();
    if (rMoveY == MOVE_LEFT_STAGE_Y) bLeave = true;
    const int rY = JudgeBlockY(c);
    bool bFatal = rY == 2 || rMoveY == MOVE_FELL || (rMoveY != MOVE_FELL && rX == 2);
    if (!bSolid) {
        const int rPush = PushFromSolids(c);
        JudgeBlockXBoth(c);
        JudgeBlockYBoth(c);
        const bool bSqueezed = (c->m_bHitLeft && c->m_bHitRight) || (c->m_bHitTop && c->m_bHitBottom);
        bFatal = bFatal || bSqueezed || rPush == 2;
    }
    if (bFatal) {
        PlaySystemSound(9);
        if (KillChara(c) == PLAYRESULT_CLEAR) {
            it = EraseChara(it);
            ClearStage();
            return STEP_END_FRAME;
        }
        if (sys.m_bRule272) ++it;
        else it = EraseChara(it);
        return STEP_GO_ON;
    }
    if (bLeave) {
        it = EraseChara(it);
        return STEP_GO_ON;
    }
    c->DecayKnockX();
    c->DecayKnockY();
    ++it;
    return STEP_GO_ON;
}
