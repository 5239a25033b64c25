#include "play/StageEnd.h"

#include <algorithm>
#include <memory>
#include <string>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Path.h"
#include "foundation/Saturate.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Message.h"
#include "play/PlayScene.h"
#include "play/PlayWait.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/Ranking.h"
#include "project/ReplayLog.h"
#include "project/Scene.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"

namespace {

constexpr int SYSSOUND_MISS = 8, SYSSOUND_CLEAR = 14, SYSSOUND_EXTEND = 15, SYSSOUND_REGISTER = 16;
constexpr int RESULT_VALUES = 5;

// The ranking of the stage being played, loaded when a clear reaches the
// end of its chain; the ranking screen shows it.
cRanking rankStage;


cHero* FirstHero() { return vecPlayer().empty() ? nullptr : vecPlayer()[0].get(); }

bool RankingOn(const cSystemData* pSys, int nMode) { return pSys && pSys->IsRankingOn(nMode); }

// A replay's playback shows what the recorded play did but keeps nothing of
// it: no ranking place, slot or challenge file.
bool IsPlayback() { return GetGameState().m_nPlayType == PLAYTYPE_REPLAY; }
bool RankKindOn(const cSystemData* pSys, const cStage* pStage, int nMode, int nKind) {
    if (!RankingOn(pSys, nMode)) return false;
    const cChkVector<uint8_t>& v = pSys->m_vRankingFlags[nMode].m_vKind;
    if (!v.IsValid(nKind) || !v[nKind]) return false;
    return pStage && pStage->m_vTallyFlag.IsValid(nKind) && pStage->m_vTallyFlag[nKind];
}

// The part of a stored name before its first zero byte, less its last
// character (the stored forms end with a dot); empty stays empty.
std::string CutStoredName(const std::string& s) {
    std::string r = s.substr(0, s.find('\0'));
    if (!r.empty()) r.pop_back();
    return r;
}

// Loads a chained next stage; 1 when loaded.
int LoadNextStage(cPlayScene& s, int n) {
    std::string strName;
    if (!GetNextStageName(s, strName, n)) return 0;
    cPlayContext& ctx = PlayCtx();
    if (!LoadStage(strName.c_str(), 1, ctx.lpPlayStage, ctx.lpCharaDef)) return 0;
    recReplayA.Clear();
    recReplayB.Clear();
    return 1;
}

}  // namespace

int64_t CountExtraLives(int64_t nOld, int64_t nNew, int32_t nStep) {
    if (nStep <= 0) return 0;
    return std::max<int64_t>(0, nNew / nStep - nOld / nStep);
}

int cPlayScene::KillChara(cCharaBase* pChara) {
    const int r = DefeatChara(pChara);
    if (r == PLAYRESULT_LOST) {
        PlayHost().PlaySound(SYSSOUND_MISS);
        cHero* pHero = dynamic_cast<cHero*>(pChara);
        if (pHero && pHero->Defeat() == 1) return PLAYRESULT_CLEAR;
        return PLAYRESULT_LOST;
    }
    // The caller ends the stage for a clear.
    return r == 1 ? PLAYRESULT_CLEAR : PLAYRESULT_NONE;
}

void AddTotals(cPlayScene& s) {
    cProgress* pProg = PlayCtx().lpProgress;
    if (!pProg) return;
    const int64_t nOld = pProg->m_nPlayScore;
    pProg->m_nPlayScore = SaturateInt32(nOld + pProg->m_nScore);
    if (!s.m_bNoTimeLimit) pProg->m_nResultTime = SaturateInt32(static_cast<int64_t>(pProg->m_nResultTime) + s.m_nTime);
    pProg->m_nClearTime = SaturateInt32(static_cast<int64_t>(pProg->m_nClearTime) + s.m_nPlayTime);
    if (cHero* pHero = FirstHero()) {
        pProg->m_nResultHp = SaturateInt32(static_cast<int64_t>(pProg->m_nResultHp) + pHero->m_nHp);
        pProg->m_nResultSp = SaturateInt32(static_cast<int64_t>(pProg->m_nResultSp) + pHero->m_nSp);
    }
    const cSystemData* pSys = PlayCtx().lpSystem;
    if (!pSys || pProg->m_nLife == LIVES_INFINITE || !pSys->m_bExtendByScore || pSys->m_nExtendScore == 0) return;
    const int64_t nLives = CountExtraLives(nOld, pProg->m_nPlayScore, pSys->m_nExtendScore);
    for (int64_t i = 0; i < nLives; i++) {
        pProg->m_nLife = std::min(pProg->m_nLife + 1, LIVES_MAX);
        // Every life counts; only the first ten are shown, so a tiny score
        // step cannot hold the result screen for hours.
        if (i >= EXTRA_LIFE_DISPLAYS_MAX) continue;
        PlayHost().PlaySound(SYSSOUND_EXTEND);
        MESSAGESETUP m;
        m.nMode = MESMODE_1UP;
        m.nPosMode = 4;
        m.nAnchorId = FirstHero() ? FirstHero()->m_nId : 0;
        m.nDurMode = MESDUR_TIME;
        m.nFrames = EXTRA_LIFE_FRAMES;
        m.bCountWhileFrozen = 1;
        s.m_lstMessage.push_back(std::make_unique<cMessage>(m));
        const cMessage* pShown = s.m_lstMessage.back().get();
        SetWait(s, WAITKIND_1UP, 0, EXTRA_LIFE_FRAMES, 0);
        const int bGoOn = RunWait(s);
        s.m_lstMessage.remove_if([pShown](const std::unique_ptr<cMessage>& p) { return p.get() == pShown; });
        if (!bGoOn) return;   // closing: no more lives are given
    }
}

void cPlayScene::StageClear() {
    PlayHost().PlaySound(SYSSOUND_CLEAR);
    AddTotals(*this);
    m_bRankDone = 0;
    m_bRankIn = 0;
    m_vecRankPos.assign(RESULT_VALUES, -1);
    const int nMode = GetGameState().m_nGameMode;
    const cSystemData* pSys = PlayCtx().lpSystem;
    if (!bFreeStageStart && (!RankingOn(pSys, nMode) || !IsLastStage(*this, m_nNextStage))) return;
    const cProgress* pProg = PlayCtx().lpProgress;
    if (!pProg) return;
    m_vecResult = {pProg->m_nPlayScore, pProg->m_nResultTime, pProg->m_nClearTime, pProg->m_nResultHp,
                   pProg->m_nResultSp};
    if (PlayHost().IsTestPlay() || IsPlayback()) return;
    if (!rankStage.LoadFor(nMode, pProg->m_strStageFile, pProg->m_nDecorate, pProg->m_nDecorateA,
                           pProg->m_nDecorateB))
        rankStage.Reset();
    const cStage* pStage = PlayCtx().lpStage;
    for (int i = 0; i < RESULT_VALUES; i++) {
        if (!RankKindOn(pSys, pStage, nMode, i)) continue;
        m_vecRankPos[i] = rankStage.FindRank(i, m_vecResult[i]);
        if (m_vecRankPos[i] != -1) m_bRankIn = 1;
    }
}

int GetNextStageName(cPlayScene& s, std::string& strOut, int n) {
    strOut.clear();
    const cProgress* pProg = PlayCtx().lpProgress;
    if (!pProg || !pProg->m_bChain || n == 0) return 0;
    std::string strName;
    if (!s.m_strNextStage.empty())
        strName = CutStoredName(s.m_strNextStage) + "." + STAGE_FILE_EXT;
    else
        strName = CutStoredName(pProg->m_strStageFile) + "-" + std::to_string(n) + "." + STAGE_FILE_EXT;
    std::string strFound;
    if (!FindLatestNumberedFile(strFound, strName.c_str(), STAGE_FILE_EXT)) return 0;
    strOut = strFound;
    return 1;
}

int IsLastStage(cPlayScene& s, int n) {
    std::string strName;
    return GetNextStageName(s, strName, n) ? 0 : 1;
}

int cPlayScene::NextSceneAfterClear() {
    cPlayContext& ctx = PlayCtx();
    cProgress* pProg = ctx.lpProgress;
    const cStage* pStage = ctx.lpStage;
    const cSystemData* pSys = ctx.lpSystem;
    if (!pProg) return SCENE_TITLE;
    if (pStage && pStage->m_bSaveCarryOver) {
        for (size_t i = 0; i < vecPlayer().size(); i++) {
            const cHero* h = vecPlayer()[i].get();
            if (!h) continue;
            pProg->StoreCarryOver(static_cast<int>(i), h->m_Data, h->m_nHp, h->m_nSp, h->m_CharaEffect.m_nEffect,
                                  h->m_CharaEffect.m_nRunType, h->m_CharaEffect.m_bLoop, m_nTime, pProg->m_nLife,
                                  pProg->m_nBgm);
        }
    }
    const int nSavedStage = pProg->m_nStage;
    const cGameState& game = GetGameState();
    switch (game.m_nPlayType) {
    case PLAYTYPE_CHALLENGE: {
        if (pProg->m_bChain && m_nNextStage) {
            pProg->m_nStage = m_nNextStage;
            if (LoadNextStage(*this, m_nNextStage)) return SCENE_PLAY;
        }
        // World w (counted from 1) keeps its best in entry w - 1; the total
        // of the worlds' bests grows by what the play gained over the best.
        if (pProg->m_vWorldResult.IsValid(pProg->m_nWorld - 1)) {
            cIntPair& r = pProg->m_vWorldResult[pProg->m_nWorld - 1];
            r.m_nFirst = 1;
            if (r.m_nSecond < pProg->m_nPlayScore) {
                pProg->m_nTotalScore = SaturateInt32(static_cast<int64_t>(pProg->m_nTotalScore) +
                                                     pProg->m_nPlayScore - r.m_nSecond);
                r.m_nSecond = pProg->m_nPlayScore;
            }
        }
        if (pProg->m_nWorld >= pProg->m_nWorldReached)
            pProg->m_nWorldReached = std::min(pProg->m_nWorld + 1, pSys ? pSys->m_nWorldCount : pProg->m_nWorld + 1);
        if (!pProg->SaveChallenge()) ErrorBox("セーブデータの書き込みに失敗しました！");
        pProg->m_nStage = nSavedStage;
        return SCENE_STAGESELECT;
    }
    case PLAYTYPE_FREE:
        if (!pProg->m_bChain || bFreeStageStart) {
            pProg->m_bNextStart = 0;
            return SCENE_PLAY;
        }
        if (m_nNextStage) {
            pProg->m_nStage = m_nNextStage;
            if (LoadNextStage(*this, m_nNextStage)) return SCENE_PLAY;
        }
        pProg->m_nStage = nSavedStage;
        return SCENE_TITLE;
    case PLAYTYPE_REPLAY:
        pProg->RestoreCheckpoint(1);
        return SCENE_PLAY;
    case PLAYTYPE_NEWGAME:
    case PLAYTYPE_CONTINUE: {
        if (pProg->m_bChain && m_nNextStage) {
            pProg->m_nStage = m_nNextStage;
            if (LoadNextStage(*this, m_nNextStage)) return SCENE_PLAY;
        }
        pProg->m_nStage = nSavedStage;
        if (pProg->m_vStageFlag.IsValid(pProg->m_nWorld)) pProg->m_vStageFlag[pProg->m_nWorld] = 1;
        pProg->AddStageResult(pProg->m_strStageFile, pProg->m_strStageKey, pProg->m_nDecorate, pProg->m_nDecorateA,
                              pProg->m_nDecorateB, pProg->m_nPlayScore);
        // The entry's end kind: the world map starts over, or the story ends
        // at the title. The map saves the slot when the story returns to it;
        // a story that ends saves it here, or its last clear would be lost.
        const int nEnd = pProg->m_lpMapEntry ? pProg->m_lpMapEntry->m_nReserved : WORLDEND_NONE;
        if (nEnd == WORLDEND_RESTART) pProg->ResetWorldMap();
        if (nEnd == WORLDEND_TITLE) {
            if (pProg->m_bAutoSave && !pProg->SaveToSlot(pProg->m_nSaveSlot))
                ErrorBox("セーブデータの書き込みに失敗しました！");
            return SCENE_TITLE;
        }
        return SCENE_WORLDMAP;
    }
    default:
        return SCENE_STAGESELECT;
    }
}

void cPlayScene::RegisterRanking() {
    const int nMode = GetGameState().m_nGameMode;
    if (!RankingOn(PlayCtx().lpSystem, nMode) || !m_bRankIn || m_bRankDone || IsPlayback()) return;
    cProgress* pProg = PlayCtx().lpProgress;
    if (!pProg) return;
    const int nRegMode = PlayHost().GetRankingMode();
    if (nRegMode == 1 || nRegMode == 3) {
        m_strRankName = PlayHost().GetFixedRankName();
    } else {
        m_strRankName = pProg->m_strName;
        PlayHost().NameEntry();
        if (!m_strRankName.empty()) pProg->m_strName = m_strRankName;
    }
    PlayHost().PlaySound(SYSSOUND_REGISTER);
    for (int i = 0; i < RESULT_VALUES; i++) {
        if (static_cast<size_t>(i) >= m_vecRankPos.size() || m_vecRankPos[i] == -1) continue;
        if (cRankTable* t = rankStage.GetTable(i))
            t->Insert(m_strRankName, static_cast<size_t>(i) < m_vecResult.size() ? m_vecResult[i] : 0);
    }
    // A newer program's or a damaged file is replaced only when the player
    // agrees; one kept is no failure.
    if (rankStage.SaveFor(nMode, pProg->m_strStageFile, pProg->m_nDecorate, pProg->m_nDecorateA,
                          pProg->m_nDecorateB) == 0) {
        // The table is still shown, but the player must know it was not kept.
        const std::string strPath = MakeRankingPath(nMode, pProg->m_strStageFile, pProg->m_nDecorate,
                                                    pProg->m_nDecorateA, pProg->m_nDecorateB);
        WriteReport("%s の保存に失敗しました！", strPath.c_str());
        ErrorBox("%s の保存に失敗しました！", strPath.c_str());
    }
    m_bRankDone = 1;
    RunRankingScreen(*this, rankStage);
}
