// The stage set-up: the live stage put into its starting state, on the first
// entry and again on every retry, miss and replay restart.
#include <cmath>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "foundation/Log.h"
#include "foundation/Saturate.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "play/PlaySetStage.h"
#include "project/AnimePatterns.h"
#include "project/Cursor.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {

int64_t g_nMapMemoryBudget = MAP_MEMORY_BUDGET;
uint64_t g_nObjectMemoryBudget = PLAYED_OBJECT_MEMORY_BUDGET;

double CellCentre(int nCell) { return (static_cast<double>(nCell) + MAP_MARGIN_CELLS) * MAP_CELL_DOTS + 16; }

void SetBaseAnim(cCharaBase* c) { c->m_Anim.SetPattern(c->m_bFlight ? 2 : 0, 1); }

}  // namespace

bool MapFitsBudget(int64_t nCells, int64_t nBlocks, int64_t nBudget) {
    if (nCells < 0 || nBlocks < 0 || nBudget < 0) return false;
    // Both counts are far below 2^40, so the products stay within 64 bits.
    if (nCells > (int64_t{1} << 40) || nBlocks > (int64_t{1} << 40)) return false;
    int64_t nNeed = nCells * static_cast<int64_t>(cBlockMap::CELL_BYTES) +
                    nBlocks * static_cast<int64_t>(cBlockMap::BLOCK_BYTES);
    return nNeed <= nBudget;
}

void SetMapMemoryBudget(int64_t nBytes) { g_nMapMemoryBudget = nBytes; }

int64_t PlacementCopies(int64_t nPlacements, int64_t nRepeat) {
    if (nPlacements <= 0 || nRepeat < 0) return 0;
    if (nRepeat == INT64_MAX || nPlacements > INT64_MAX / (nRepeat + 1)) return INT64_MAX;
    return nPlacements * (nRepeat + 1);
}

int64_t PlayedPlacementCount(const cStage& stage) {
    const int nItems = static_cast<int>(stage.m_vItemPlace.size());
    std::vector<uint8_t> vOwned(static_cast<size_t>(nItems), 0);
    int64_t nCount = 0;
    auto add = [&nCount](int64_t n) { nCount = n > INT64_MAX - nCount ? INT64_MAX : nCount + n; };
    for (const cCharaData& place : stage.m_vCharaPlace) {
        if (place.m_nOperator == 0) continue;
        add(PlacementCopies(1, place.m_nRepeat));
        int nDrop = place.GetDropItem(nItems);
        if (nDrop >= 0) vOwned[static_cast<size_t>(nDrop)] = 1;
    }
    for (uint8_t b : vOwned) add(b ? 0 : 1);
    return nCount;
}

bool PlayedPlacementsFit(int64_t nCount) { return nCount >= 0 && nCount <= MAX_PLAYED_PLACEMENTS; }

uint64_t PlayedPlacementBytes(const cStage& stage) {
    uint64_t n = 0;
    for (const cCharaData& place : stage.m_vCharaPlace) {
        if (place.m_nOperator == 0) continue;
        const uint64_t nOne = SaturatingAdd(sizeof(cChara), FlowListBytes(place.m_vFlow));
        n = SaturatingAdd(n, SaturatingMul(nOne, static_cast<uint64_t>(PlacementCopies(1, place.m_nRepeat))));
    }
    for (const cItemData& place : stage.m_vItemPlace)
        n = SaturatingAdd(n, SaturatingAdd(sizeof(cItem), CmdListBytes(place.m_vCmd)));
    return n;
}

void SetPlayedObjectMemoryBudget(uint64_t nBytes) { g_nObjectMemoryBudget = nBytes; }

cProgress& PlayProgress() {
    cProgress* p = PlayCtx().lpProgress;
    return p ? *p : recProgress;
}

std::vector<int32_t> BuildShotSteps(int nSubSteps, int nTests) {
    if (nSubSteps < 1) nSubSteps = 1;
    std::vector<int32_t> v(static_cast<size_t>(nSubSteps), 0);
    // A negative count is read as 0: every sub-step.
    if (nTests <= 0) {
        v.assign(v.size(), 1);
        return v;
    }
    const double s = static_cast<double>(nSubSteps) / nTests;
    int nFlagged = 0;
    for (double p = 0; static_cast<int>(std::floor(p)) < nSubSteps; p += s) {
        int i = static_cast<int>(std::floor(p));
        if (!v[static_cast<size_t>(i)]) nFlagged++;
        v[static_cast<size_t>(i)] = 1;
    }
    if (nFlagged < nTests) v.back() = 1;
    return v;
}

void RequestStageBgm(int nBgm, int nValue) {
    cProgress& prog = PlayProgress();
    prog.m_nBgmArg = nValue;
    PlayHost().RequestBgm(nBgm, nValue, 4);
    prog.m_nBgm = nBgm;
}

void cPlayScene::SetStage(int bLoadStage, int bMusic) {
    WriteEC("In SetStage bLoadStage = %d", bLoadStage);
    cPlayContext& ctx = PlayCtx();
    cStage& stage = *ctx.lpStage;
    cStage& header = *ctx.lpPlayStage;
    cProgress& prog = PlayProgress();
    const cSystemData& sys = *ctx.lpSystem;
    cGameState& game = GetGameState();
    const bool bReplay = game.m_nPlayType == PLAYTYPE_REPLAY;

    // The animation and effect patterns of the database this stage plays with.
    if (ctx.lpDatabase) RebuildPatterns(*ctx.lpDatabase);

    // 1. Every object list emptied.
    m_nStageFrame = 0;
    m_vecGroupShot.assign(8, {});
    m_lstShot.clear();
    m_nShotMarks = 0;
    m_nClashShots = 0;
    m_vecGroupChara.assign(8, {});
    ctx.lstChara.clear();
    ctx.lstItem.clear();

    // 2. The settings play changed are put back.
    if (bLoadStage) {
        if (bReplay) {
            cStage throwaway;
            if (!LoadReplayFile(recReplayA, stage.m_strPath.c_str(), stage, throwaway, prog)) PlayHost().RequestErrorClose();
        }
        if (&stage != &header) {
            stage.CopyFields(header);
            stage.m_strText = header.m_strText;
            stage.m_vBackground = header.m_vBackground;
            stage.m_vStageVarName = header.m_vStageVarName;
            for (int i = 0; i < STAGE_ERASE_AREAS; i++) stage.m_aEraseArea[i].CopyFields(header.m_aEraseArea[i]);
            stage.m_vTallyFlag = header.m_vTallyFlag;
        }
        if (!bReplay && !sys.m_bRule827) {
            int nHero = stage.FindHero();
            if (nHero >= 0 && ctx.lpCharaDef) stage.m_vCharaPlace[nHero] = *ctx.lpCharaDef;
        }
    }

    // 3-4. The seed of this attempt.
    if (bReplay) {
        m_nSeed = recReplayA.m_nSeed;
        recReplayA.RewindPlayback();
    } else {
        m_nSeed = static_cast<int32_t>(PlayHost().MakeSeed());
        if (sys.m_bReplay) {
            recProgressB = recProgressA;
            recProgressA = prog;
            recReplayB.Copy(recReplayA);
            recReplayA.Clear();
            recReplayA.m_nSeed = m_nSeed;
        }
    }
    ctx.Random.Seed(static_cast<uint32_t>(m_nSeed));
    PlayHost().OnAttemptStart(m_nSeed);

    // 5. Carried values into the hero's placement.
    const int nHeroPlace = stage.FindHero();
    if (stage.m_bLoadCarryOver && nHeroPlace >= 0) prog.RestoreCarryOver(0, stage.m_vCharaPlace[nHeroPlace], stage);

    // 6. Music.
    if (bMusic) {
        if (!stage.m_bBgmContinue || prog.m_nBgm != stage.m_nBgm) RequestStageBgm(stage.m_nBgm, stage.m_nBgmFlag);
        else if (stage.m_nBgm == 0) RequestStageBgm(0, stage.m_nBgmFlag);
    } else if (prog.m_nBgm != stage.m_nBgm) {
        RequestStageBgm(stage.m_nBgm, stage.m_nBgmFlag);
    }

    // 7-8.
    m_nCharaCount = m_nItemCount = m_nShotCount = 0;
    stage.SetJudgeLevel(stage.m_nJudgeLevel);
    const int b = stage.m_nSubStep > 0 ? stage.m_nSubStep : 1;

    // 9. The scroll axes.
    const int nWidth = stage.HasSaneSize() ? stage.m_nWidth : 1;
    const int nHeight = stage.HasSaneSize() ? stage.m_nHeight : 1;
    m_ScrollX.SetUp(0, nWidth);
    m_ScrollY.SetUp(1, nHeight);
    m_ScrollX.SetAutoSpeed(stage.m_nScrollModeX != 0, stage.m_nScrollSpeedX, stage.m_dStepFactor);
    m_ScrollY.SetAutoSpeed(stage.m_nScrollModeY != 0, stage.m_nScrollSpeedY, stage.m_dStepFactor);
    m_ScrollX.SetLimit(stage.m_nLimitLeft, stage.m_nLimitRight, stage.m_bLimitLeft, stage.m_bLimitRight);
    m_ScrollY.SetLimit(stage.m_nLimitTop, stage.m_nLimitBottom, stage.m_bLimitTop, stage.m_bLimitBottom);
    m_nRowShift = m_ScrollX.m_nShift;

    // 10. The map: fresh cells with clear latches, then the placed blocks.
    const int64_t nCells = static_cast<int64_t>(m_ScrollY.m_nCells) * m_ScrollX.m_nPitch;
    try {
        // Refused before anything is allocated when the map would not fit
        // its budget (an allocation past it rarely fails on Linux: the
        // machine runs out instead), and so is a stage whose placements would
        // make more objects than play can run or whose objects would copy
        // more than their budget of flows and commands.
        if (!stage.HasSaneSize() ||
            !MapFitsBudget(nCells, static_cast<int64_t>(stage.m_vBlockPlace.size()), g_nMapMemoryBudget) ||
            !PlayedPlacementsFit(PlayedPlacementCount(stage)) || PlayedPlacementBytes(stage) > g_nObjectMemoryBudget)
            throw std::bad_alloc();
        ctx.vecMapCell.Reset(static_cast<size_t>(nCells));
    } catch (const std::exception&) {
        ctx.vecMapCell.clear();
        PlayHost().ErrorBox("メモリ不足により、ステージの初期設定に失敗しました！");
        PlayHost().RequestErrorClose();
        WriteEC("Out SetStage");
        return;
    }
    for (const cBlockData& blk : stage.m_vBlockPlace) {
        if (blk.m_nX < 0 || blk.m_nX >= nWidth || blk.m_nY < 0 || blk.m_nY >= nHeight) continue;
        int nIdx = MapCellIndex(blk.m_nX + MAP_MARGIN_CELLS, blk.m_nY + MAP_MARGIN_CELLS);
        if (cMapCell* p = MapCellAt(nIdx)) p->SetBlock(blk);
    }
    m_vecSummonCell.clear();
    m_bCheckDead = 0;

    // 11. The hero.
    m_nHeroCount = 1;
    ctx.vecPlayer.clear();
    cCharaData heroPlace = nHeroPlace >= 0 ? stage.m_vCharaPlace[nHeroPlace]
                                           : (ctx.lpCharaDef ? *ctx.lpCharaDef : cCharaData());
    if (prog.m_bNextStart) heroPlace.m_nDir = static_cast<uint8_t>(prog.m_nNextDir);
    ctx.vecPlayer.push_back(std::make_unique<cHero>());
    cHero* pHero = ctx.vecPlayer[0].get();
    pHero->Setup(m_nCharaCount++, &heroPlace, CellCentre(heroPlace.m_nX), CellCentre(heroPlace.m_nY), nullptr);
    if (prog.m_bNextStart) {
        heroPlace.m_nX = static_cast<int16_t>(prog.m_nNextX);
        heroPlace.m_nY = static_cast<int16_t>(prog.m_nNextY);
    }
    pHero->SetBlockPos(heroPlace.m_nX, heroPlace.m_nY, 0);
    {
        double dx = heroPlace.GetGroupShiftX(0, heroPlace.m_nDir), dy = heroPlace.GetGroupShiftY(0, heroPlace.m_nDir);
        pHero->m_dX += dx;
        pHero->m_dRight += dx;
        pHero->m_dY += dy;
        pHero->m_dBottom += dy;
    }
    if (stage.m_bLoadCarryOver) {
        int32_t nHp = pHero->m_nHp, nSp = pHero->m_nSp;
        if (prog.RestoreCarryOverExtra(0, &nHp, &nSp)) {
            pHero->m_nHp = nHp;
            pHero->m_nSp = nSp;
        }
    }
    SetBaseAnim(pHero);

    // 12. The camera on the hero.
    m_ScrollX.m_dCam = pHero->m_dX + pHero->m_nWidth / 2 - 320;
    m_ScrollY.m_dCam = pHero->m_dY + pHero->m_nHeight / 2 - 240;
    m_ScrollX.Clamp();
    m_ScrollY.Clamp();
    pHero->UpdateScreenRect();

    // 13.
    m_vecStageVar.assign(PLAY_STAGE_VAR_COUNT, 0);

    // 14. Placed characters (with the items they hold), then the free items.
    const int nItems = static_cast<int>(stage.m_vItemPlace.size());
    std::vector<uint8_t> vOwned(static_cast<size_t>(nItems), 0);
    for (const cCharaData& place : stage.m_vCharaPlace) {
        if (place.m_nOperator == 0) continue;   // a player placement
        int nDrop = place.GetDropItem(nItems);
        if (nDrop < 0) {
            PlaceChara(ctx.lstChara, place.m_nX, place.m_nY, &m_nCharaCount, place, nullptr);
            continue;
        }
        cItemData def = stage.m_vItemPlace[nDrop];
        cItem held;
        held.Setup(m_nItemCount++, def, 1);
        PlaceChara(ctx.lstChara, place.m_nX, place.m_nY, &m_nCharaCount, place, &held);
        vOwned[static_cast<size_t>(nDrop)] = 1;
    }
    for (int i = 0; i < nItems; i++) {
        if (vOwned[static_cast<size_t>(i)]) continue;
        const cItemData& it = stage.m_vItemPlace[i];
        PlaceItem(ctx.lstItem, it.m_nX, it.m_nY, &m_nItemCount, it);
    }

    // 15. The collision groups.
    auto file = [this](cCharaBase* c) {
        if (c->m_nGroup >= 0 && c->m_nGroup < 8) m_vecGroupChara[static_cast<size_t>(c->m_nGroup)].push_back(cObjRef(c));
    };
    file(pHero);
    for (auto& c : ctx.lstChara) file(c.get());

    // 16. The erase rules.
    m_bEraseChara = stage.m_aEraseArea[0].IsUsed();
    m_bEraseBlockChara = stage.m_aEraseArea[1].IsUsed();
    m_bEraseItem = stage.m_aEraseArea[2].IsUsed();

    // 17. Display objects.
    m_lstMessage.clear();
    m_lstEffect.clear();
    m_ScrEffect.Clear();
    m_ScrColor.Clear();
    m_ScrColor.m_nPrevAlpha = 255;
    m_Wait.nSpare = 0;
    m_lstPicture.clear();

    // 18-21.
    m_vecShotStep = BuildShotSteps(b, stage.m_nHitJudgeCount);
    m_nClear = 0;
    m_nModeFrame = m_nModeFrame2 = 0;
    if (stage.m_bTimeLimit) {
        m_bNoTimeLimit = 0;
        m_nTime = stage.m_nTimeLimit < 0 ? 0 : (stage.m_nTimeLimit > 999 ? 999 : stage.m_nTimeLimit);
    } else {
        m_nTime = 999;
        m_bNoTimeLimit = 1;
    }
    m_nPlayFrame = m_nPlayTime = 0;
    m_vecLinkActive.assign(LINK_GROUP_COUNT, 0);
    m_nNextStage = 0;
    m_nSubStep = 0;
    m_nStepTotal = 0;
    prog.m_nScore = 0;

    // 22. The checkpoint.
    if (bReplay || (PlayHost().IsTestPlay() && bFreeStageStart)) prog.ResetPlayInfo();
    prog.StoreCheckpoint();

    // 23. Input, menu cursor and the frame divider start afresh.
    if (ctx.lpInput) ctx.lpInput->Reset();
    Cursor_Menu.Reset();
    ctx.nFrameDivider = 0;

    // 24, 26.
    for (cBackground& bg : stage.m_vBackground) {
        bg.m_dOffsetX = 0;
        bg.m_dOffsetY = 0;
    }
    game.m_nFps = stage.m_nStageFps;

    // 27. Links.
    pHero->InitLinks(nullptr);
    for (auto& c : ctx.lstChara) c->InitLinks(nullptr);

    // 28. The trigger that runs before the stage starts.
    if (!sys.m_bRule697) UpdateActivity();
    pHero->FireEvent(EV_BEFORE_START);
    for (auto it = ctx.lstChara.begin(); it != ctx.lstChara.end();) {
        cChara* c = it->get();
        if (!sys.m_bRule697 && !c->m_bActive) {
            ++it;
            continue;
        }
        c->FireEvent(EV_BEFORE_START);
        if (c->m_bVanish) {
            it = EraseChara(it);
        } else if (c->m_nHp < 1) {
            KillChara(c);
            it = EraseChara(it);
        } else {
            ++it;
        }
    }

    // 29.
    UpdateActivity();
    m_bStatusBar = stage.m_bShowStatus;
    WriteEC("Out SetStage");
}
