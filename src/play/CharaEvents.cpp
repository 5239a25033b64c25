// A character's flows with their runs: insertion with loop expansion and the
// animation schedule, removal, relinking, firing a trigger, key conditions
// against the input history, exclusive groups and the animation queue.
#include <algorithm>
#include <climits>

#include "flow/CmdDispatch.h"
#include "foundation/Log.h"
#include "play/CharaBase.h"
#include "play/CharaEvents.h"
#include "play/Conditions.h"
#include "play/CurrentRun.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "project/AnimePatterns.h"
#include "project/Database.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "stage/CmdVocabulary.h"

namespace {

constexpr int FLOW_GROUP_MAX = 26;
constexpr int TARGET_SLOT_MAX = 3;
constexpr int KEY_ENTRIES = FLOWKEY_COUNT;   // 10 directions, 9 buttons

void ReportOnce(bool& bDone, const char* pszText, int nValue) {
    if (bDone) return;
    bDone = true;
    WriteReport(pszText, nValue);
}

// The flow's exclusive group 1..26, 0 for none; a larger byte counts as
// none and is reported once.
int FlowGroup(const cFlow* pFlow) {
    static bool bReported = false;
    int g = pFlow ? pFlow->m_nFlowGroup : 0;
    if (g > FLOW_GROUP_MAX) {
        ReportOnce(bReported, "flow group %d beyond 26 counts as no group\n", g);
        return 0;
    }
    return g;
}

bool IsLoopCmd(const cEdCmd& cmd) { return cmd.CmdKind() == CMD_LOOP; }

// Points a target slot at an object, keeping the back-references.
void AssignTarget(cCharaBase* pChara, int nSlot, const cObjRef& ref) {
    cObjRef& slot = pChara->m_vecTarget[nSlot];
    if (cCharaBase* pOld = slot.GetAs<cCharaBase>()) {
        CHARALINK link{cObjRef(pChara), nSlot};
        auto& v = pOld->m_vecLink;
        v.erase(std::remove(v.begin(), v.end(), link), v.end());
    }
    slot = ref;
    if (cCharaBase* pNew = slot.GetAs<cCharaBase>()) {
        CHARALINK link{cObjRef(pChara), nSlot};
        if (std::find(pNew->m_vecLink.begin(), pNew->m_vecLink.end(), link) == pNew->m_vecLink.end())
            pNew->m_vecLink.push_back(link);
    }
}

// The step patterns of the database's animations.
const cChkVector<ANIMSTEP>* AnimePattern(int n) {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    if (!pDb) return nullptr;
    const ANIMPATTERNTABLE& patterns = AnimePatternsFor(*pDb);
    if (!patterns.IsValid(n)) return nullptr;
    return &patterns[n];
}

// Frames of an animation before its first locked frame.
int64_t AnimeLeadFrames(int n) {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    if (!pDb || !pDb->m_vAnime.IsValid(n)) return 0;
    int64_t L = 0;
    for (const cAnimeFrame& f : pDb->m_vAnime[n].m_vFrame) {
        if (f.m_bLock) break;
        L += std::max<int64_t>(f.m_nTime, 0);
    }
    return std::min<int64_t>(L * 6, INT32_MAX / 64);
}

void BuildAnimSchedule(cFlowRun& run) {
    run.m_vecAnimSched.clear();
    const cFlow* pFlow = run.m_lpFlow;
    if (!pFlow) return;
    int64_t b = StageSubSteps();
    int64_t T = 0;
    for (size_t i = 0; i < pFlow->m_vCmd.size(); i++) {
        const cEdCmd& cmd = pFlow->m_vCmd[i];
        bool bPlays = cmd.m_nAnime != 0 && (!cmd.m_pMove || cmd.m_pMove->m_nAnimeKind == 2);
        if (bPlays) {
            int64_t L = AnimeLeadFrames(cmd.m_nAnime);
            int64_t Lb = L * b;
            ANIMSCHED e;
            int64_t nSkip = 0;
            if (T >= Lb) {
                e.nFrame = static_cast<int32_t>(std::min<int64_t>(T - Lb, INT32_MAX));
            } else {
                e.nFrame = 0;
                nSkip = std::min<int64_t>((Lb - T) / b, L);
            }
            e.nFrameCopy = e.nFrame;
            e.nPattern = cmd.m_nAnime;
            e.nSkip = static_cast<int32_t>(nSkip);
            e.nLength = static_cast<int32_t>(L - nSkip);
            e.nCmdFrames = cmd.m_nTime * 6;
            int nKind = cmd.CmdKind();
            e.bHold = nKind != CMD_JUMP && nKind != CMD_SWORD;
            run.m_vecAnimSched.push_back(e);
        }
        if (!cmd.m_bContinue && i < run.m_vecCmdRun.size()) T += std::max(run.m_vecCmdRun[i].m_nTime, 0);
    }
}

}  // namespace

int ExpandLoops(cChkVector<cEdCmd>& vecCmd) {
    static bool bReported = false;
    int nCapped = 0;
    for (;;) {
        auto it = std::find_if(vecCmd.begin(), vecCmd.end(), IsLoopCmd);
        if (it == vecCmd.end()) break;
        size_t j = static_cast<size_t>(it - vecCmd.begin());
        const cEdCmd& loop = vecCmd[j];
        int64_t n = loop.Param(0);
        int64_t k = loop.m_vParam.size() >= 2 ? loop.m_vParam[1] : loop.Param(0);
        int64_t nAfter = static_cast<int64_t>(vecCmd.size() - j - 1);
        k = std::clamp<int64_t>(k, 0, nAfter);
        int64_t nCopies = n > 1 ? n - 1 : 0;
        if (k > 0 && nCopies > 0) {
            int64_t nRoom = (MAX_EXPANDED_CMDS - static_cast<int64_t>(vecCmd.size())) / k;
            if (nRoom < nCopies) {
                nCopies = std::max<int64_t>(nRoom, 0);
                nCapped = 1;
                ReportOnce(bReported, "loop expansion capped at %d commands\n", MAX_EXPANDED_CMDS);
            }
        }
        std::vector<cEdCmd> body;
        if (nCopies > 0) body.assign(vecCmd.begin() + j + 1, vecCmd.begin() + j + 1 + k);
        std::vector<cEdCmd> vecInsert;
        vecInsert.reserve(static_cast<size_t>(nCopies * k));
        for (int64_t c = 0; c < nCopies; c++) vecInsert.insert(vecInsert.end(), body.begin(), body.end());
        vecCmd.insert(vecCmd.begin() + j + 1, std::make_move_iterator(vecInsert.begin()),
                      std::make_move_iterator(vecInsert.end()));
        vecCmd.erase(vecCmd.begin() + j);
    }
    return nCapped;
}

int GetKeySpan(const cInputState* pInput, int nEntry, int nFramesAgo, bool* pDown, int* pRemain) {
    *pDown = false;
    *pRemain = 0;
    if (!pInput || nEntry < 0 || nEntry >= KEY_ENTRIES || nFramesAgo < 0) return 0;
    const std::vector<std::vector<PATTERNRUN>>& runs = nEntry < DIR_PATTERN_COUNT ? pInput->m_vDirRun
                                                                                    : pInput->m_vButtonRun;
    int nIndex = nEntry < DIR_PATTERN_COUNT ? nEntry : nEntry - DIR_PATTERN_COUNT;
    if (nIndex >= static_cast<int>(runs.size())) return 0;
    int64_t nStart = 0;
    for (const PATTERNRUN& r : runs[nIndex]) {
        if (r.nFrames <= 0) return 0;
        if (nFramesAgo < nStart + r.nFrames) {
            *pDown = r.bHeld != 0;
            *pRemain = static_cast<int>(nStart + r.nFrames - nFramesAgo);
            return r.nFrames;
        }
        nStart += r.nFrames;
    }
    return 0;
}

int MirrorKeyEntry(int nEntry) {
    static const int anMirror[DIR_PATTERN_COUNT] = {0, 2, 1, 3, 4, 7, 8, 5, 6, 9};
    return nEntry >= 0 && nEntry < DIR_PATTERN_COUNT ? anMirror[nEntry] : nEntry;
}

bool MatchKeyRecord(const cInputState* pInput, const cFlowKey& rec, int nFramesAgo, bool bMirror, int* pSpan) {
    int nHeld = 0, nMin = INT_MAX, nMax = 0;
    int nKeys = std::min<int>(static_cast<int>(rec.m_vKey.size()), KEY_ENTRIES);
    for (int k = 0; k < nKeys; k++) {
        int nState = rec.m_vKey[k];
        if (nState == 0) continue;
        int nEntry = bMirror ? MirrorKeyEntry(k) : k;
        bool bDown;
        int nRemain;
        int nSpan = GetKeySpan(pInput, nEntry, nFramesAgo, &bDown, &nRemain);
        bool bHolds;
        if (nState == 1) bHolds = bDown && (rec.m_bHoldAny || (nSpan >= rec.m_nHoldMin && nSpan <= rec.m_nHoldMax));
        else if (nState == 2) bHolds = !bDown && nSpan > 0;
        else bHolds = false;
        if (bHolds) {
            nHeld++;
            nMin = std::min(nMin, nRemain);
            nMax = std::max(nMax, nRemain);
        } else if (rec.m_nKeyMode == 0) {
            return false;
        }
    }
    bool bMatch;
    switch (rec.m_nKeyMode) {
    case 0: bMatch = true; break;
    case 1: bMatch = nHeld >= 1; break;
    case 2: bMatch = nHeld == 1; break;
    default: bMatch = false; break;
    }
    if (pSpan) {
        if (nHeld == 0) *pSpan = 0;
        else *pSpan = rec.m_nKeyMode == 0 ? nMin : nMax;
    }
    return bMatch;
}

bool CheckKeyState(const cInputState* pInput, const cFlowKey& rec) {
    return MatchKeyRecord(pInput, rec, 0, false, nullptr);
}

const cInputState* cCharaBase::GetKeyInput() const {
    cPlayContext& ctx = PlayCtx();
    return ctx.lpInput ? ctx.lpInput : &ctx.Input;
}

bool cCharaBase::MatchKeySequence(cFlowRun& run, const cChkVector<cFlowKey>& records, int nGap) {
    if (records.empty()) return true;
    const cInputState* pInput = GetKeyInput();
    bool bMirror = m_nDir == 0;
    const cSystemData* pSys = PlayCtx().lpSystem;
    bool bOverlap = pSys && pSys->m_bRuleKeySeqOverlap;
    bool bContinuous = run.m_lpFlow && run.m_lpFlow->m_bKeyRepeat;
    int nLast = static_cast<int>(records.size()) - 1;
    int t = 0;
    auto Match = [&](int r, int at, int* pSpan) {
        const cFlowKey& rec = records[r];
        return at >= 0 && MatchKeyRecord(pInput, rec, at, bMirror && rec.m_bMirror, pSpan);
    };
    for (int r = nLast; r >= 0; r--) {
        int nSpan = 0;
        if (r == nLast) {
            if (!Match(r, t, &nSpan)) return false;
            if (bContinuous && run.m_bKeyMatched) return true;
        } else if (!Match(r, t, &nSpan)) {
            if (nGap <= 0) return false;
            bool bFound = false;
            for (int d = 1; d <= nGap && !bFound; d++) {
                if (Match(r, t + d, &nSpan)) {
                    t += d;
                    bFound = true;
                }
            }
            if (!bFound) {
                // Once more a frame nearer the present.
                if (!Match(r, t - 1, &nSpan)) return false;
                if (!bOverlap && Match(r + 1, t - 1, nullptr)) return false;
                t -= 1;
            }
        }
        t += std::max(nSpan, 1);
    }
    return true;
}

bool cCharaBase::CheckFlowKeys(cFlowRun& run) {
    const cFlow* pFlow = run.m_lpFlow;
    if (!pFlow || pFlow->m_vKey.empty()) return true;
    if (pFlow->m_bKeyRepeat) {
        bool b = MatchKeySequence(run, pFlow->m_vKey, pFlow->m_nKeyDelay);
        run.m_bKeyMatched = b ? 1 : 0;
        return b;
    }
    if (!MatchKeySequence(run, pFlow->m_vKey, pFlow->m_nKeyDelay)) {
        run.m_bKeyHeld = 0;
        return false;
    }
    if (run.m_bKeyHeld) {
        int g = pFlow->m_nTrigger == 0 ? FlowGroup(pFlow) : 0;
        if (g > 0) {
            m_vecFlowBlock[g] = 1;
            m_vecFlowBlockNext[g] = 1;
            m_bFlowBlockDirty = 1;
        }
        return false;
    }
    run.m_bKeyHeld = 1;
    return true;
}

void cCharaBase::FireEvent(int nTrigger, cObj* pOther, int nFlowId) {
    cCurrentRunScope scope(this, nullptr, nullptr);
    const cSystemData* pSys = PlayCtx().lpSystem;
    bool bMarkEarly = pSys && pSys->m_bRuleFireMarkEarly;
    bool bUnlimited = pSys && pSys->m_bRuleFireUnlimited;
    static bool bSlotReported = false;
    for (size_t i = 0; i < m_vecFlowRun.size(); i++) {
        cFlowRun* pRun = &m_vecFlowRun[i];
        const cFlow* pFlow = pRun->m_lpFlow;
        if (!pFlow || pFlow->m_nTrigger != nTrigger) continue;
        if (bMarkEarly && !bUnlimited) {
            if (pRun->m_bFired) continue;
            pRun->m_bFired = 1;
        }
        if (pRun->m_bRun || pRun->m_bPause || pRun->m_bStop || pRun->m_bStarted) continue;
        if (nTrigger == 0) {
            int g = FlowGroup(pFlow);
            if (g > 0 && (m_vecFlowBlock[g] || m_vecFlowFired[g])) continue;
        }
        if (nFlowId > 0 && pFlow->m_nId != nFlowId) continue;
        if (!bMarkEarly && !bUnlimited) {
            if (pRun->m_bFired) continue;
            pRun->m_bFired = 1;
        }
        int k = pFlow->m_nTargetSlot;
        if (pFlow->m_bSetTarget && pOther && k > TARGET_SLOT_MAX)
            ReportOnce(bSlotReported, "flow target slot %d beyond 3 sets no target\n", k);
        if (pFlow->m_bSetTarget && pOther && k <= TARGET_SLOT_MAX) {
            m_vecTarget.resize(4);
            cObjRef prev = m_vecTarget[k];
            AssignTarget(this, k, cObjRef(pOther));
            if (!CheckFlowCond(*pRun, this) || !CheckFlowKeys(*pRun)) {
                AssignTarget(this, k, prev);
                continue;
            }
        } else if (!CheckFlowCond(*pRun, this) || !CheckFlowKeys(*pRun)) {
            continue;
        }
        pRun->m_nInputDir = GetInputDir(GetKeyInput());
        pRun->Start();
    }
}

void cCharaBase::ClearFrameFlags() {
    for (cFlowRun& run : m_vecFlowRun) {
        run.m_bFired = 0;
        run.m_bStarted = 0;
    }
    std::fill(m_vecFlowFired.begin(), m_vecFlowFired.end(), 0);
}

void cCharaBase::ReleaseFlowGroups() {
    if (!m_bFlowBlockDirty) return;
    for (size_t g = 0; g < m_vecFlowBlockNext.size() && g < m_vecFlowBlock.size(); g++) {
        if (m_vecFlowBlockNext[g]) {
            m_vecFlowBlock[g] = 0;
            m_vecFlowBlockNext[g] = 0;
        }
    }
    m_bFlowBlockDirty = 0;
}

void cCharaBase::RelinkFlowRuns() {
    cChkVector<cFlow>& vFlow = m_Data.m_vFlow;
    for (size_t i = 0; i < m_vecFlowRun.size(); i++) {
        cFlowRun& run = m_vecFlowRun[i];
        run.m_nIndex = static_cast<int32_t>(i);
        cFlow* pFlow = i < vFlow.size() ? &vFlow[i] : nullptr;
        run.m_lpFlow = pFlow;
        for (size_t c = 0; c < run.m_vecCmdRun.size(); c++)
            run.m_vecCmdRun[c].m_lpCmd = pFlow && c < pFlow->m_vCmd.size() ? &pFlow->m_vCmd[c] : nullptr;
    }
}

int cCharaBase::InsertFlows(const cChkVector<cFlow>* pFlows, int bAdd, int nPos) {
    if (!pFlows) return 0;
    cChkVector<cFlow>& vFlow = m_Data.m_vFlow;
    int nGiven = static_cast<int>(pFlows->size());
    size_t nFirst;
    if (!bAdd) {
        if (pFlows != &vFlow) vFlow = *pFlows;
        m_vecFlowRun.clear();
        m_vecFlowRun.resize(vFlow.size());
        nFirst = 0;
    } else {
        cChkVector<cFlow> vCopy = *pFlows;   // the given list may be our own
        size_t nCount = vFlow.size();
        nFirst = nPos >= 0 && static_cast<size_t>(nPos) < nCount ? static_cast<size_t>(nPos) : nCount;
        if (m_vecFlowRun.size() != nCount) m_vecFlowRun.resize(nCount);
        vFlow.insert(vFlow.begin() + nFirst, vCopy.begin(), vCopy.end());
        m_vecFlowRun.insert(m_vecFlowRun.begin() + nFirst, vCopy.size(), cFlowRun());
    }
    size_t nEnd = nFirst + (bAdd ? static_cast<size_t>(nGiven) : vFlow.size());
    for (size_t i = nFirst; i < nEnd; i++) ExpandLoops(vFlow[i].m_vCmd);
    // Pointers into the flow list moved with the insertion.
    RelinkFlowRuns();
    for (size_t i = nFirst; i < nEnd; i++) {
        cFlowRun& run = m_vecFlowRun[i];
        run = cFlowRun();
        InitFlowRun(run, &vFlow[i], static_cast<int>(i), this);
        run.m_nSerial = m_nFlowSerial;
        if (m_nFlowSerial < INT32_MAX) m_nFlowSerial++;
        if (bAdd) run.m_bKeyHeld = vFlow[i].m_bKeyRepeat ? 0 : 1;
        BuildAnimSchedule(run);
    }
    return nGiven;
}

void cCharaBase::RemoveFlow(int nIndex) {
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_vecFlowRun.size()) {
        ReportCheckedAccessError('V', nIndex, static_cast<int>(m_vecFlowRun.size()), sizeof(cFlowRun));
        return;
    }
    cFlowRun& run = m_vecFlowRun[nIndex];
    run.Stop(this);
    EraseFlowAnims(run.m_nSerial);
    if (static_cast<size_t>(nIndex) < m_Data.m_vFlow.size()) m_Data.m_vFlow.erase(m_Data.m_vFlow.begin() + nIndex);
    m_vecFlowRun.erase(m_vecFlowRun.begin() + nIndex);
    RelinkFlowRuns();
}

int cCharaBase::RemoveFlowsById(int nId) {
    if (nId == 0) {
        for (cFlowRun& run : m_vecFlowRun) run.Stop(this);
        m_vecFlowRun.clear();
        m_Data.m_vFlow.clear();
        m_lstAnimeQueue.clear();
        return 0;
    }
    int nFirst = -1;
    size_t i = 0;
    while (i < m_vecFlowRun.size()) {
        const cFlow* pFlow = m_vecFlowRun[i].m_lpFlow;
        if (pFlow && pFlow->m_nId == nId) {
            if (nFirst < 0) nFirst = static_cast<int>(i);
            RemoveFlow(static_cast<int>(i));
        } else {
            i++;
        }
    }
    return nFirst;
}

void cCharaBase::SetFlowRuns(const cCharaBase& other) {
    m_vecFlowRun = other.m_vecFlowRun;
    RelinkFlowRuns();
}

void cCharaBase::StartScheduledAnims() {
    for (cFlowRun& run : m_vecFlowRun) {
        if (!run.m_bRun || run.m_bPause) continue;
        for (const ANIMSCHED& e : run.m_vecAnimSched) {
            if (e.nFrame != run.m_nFrame) continue;
            const cChkVector<ANIMSTEP>* pSteps = AnimePattern(e.nPattern);
            if (!pSteps) continue;
            ANIMEQUEUE q;
            q.Anim.m_vPattern.push_back(*pSteps);
            q.bPriority = 1;
            q.nCountdown = e.nLength;
            q.nCmdFrames = e.nCmdFrames;
            q.nSerial = run.m_nSerial;
            q.bPaused = 0;
            q.Anim.SetPattern(0, 1);
            q.Anim.m_nCount += e.nSkip;
            if (e.nCmdFrames > 1 && e.bHold) {
                for (ANIMSTEP& s : q.Anim.m_vPattern[0]) {
                    if (s.bLock && s.nFrame >= 0) {
                        s.nTime = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(s.nTime) + e.nCmdFrames - 1,
                                                                     INT32_MAX));
                        break;
                    }
                }
            }
            m_lstAnimeQueue.push_back(q);
        }
    }
}

void cCharaBase::EraseFlowAnims(int nSerial) {
    m_lstAnimeQueue.remove_if([nSerial](const ANIMEQUEUE& q) { return q.nSerial == nSerial; });
}

void cCharaBase::PauseFlowAnims(int nSerial) {
    for (auto it = m_lstAnimeQueue.begin(); it != m_lstAnimeQueue.end();) {
        if (it->nSerial != nSerial) {
            ++it;
        } else if (static_cast<int64_t>(it->nCountdown) + it->nCmdFrames - 1 < 0) {
            it = m_lstAnimeQueue.erase(it);
        } else {
            it->bPaused = 1;
            ++it;
        }
    }
}

void cCharaBase::ResumeFlowAnims(int nSerial) {
    for (ANIMEQUEUE& q : m_lstAnimeQueue)
        if (q.nSerial == nSerial) q.bPaused = 0;
}

int cCharaBase::UpdateAnimation(int bFreeze) {
    if (!bFreeze) {
        m_Anim.Update();
        for (auto it = m_lstAnimeQueue.begin(); it != m_lstAnimeQueue.end();) {
            if (it->bPaused) {
                ++it;
                continue;
            }
            int nCode = it->Anim.Update();
            if (nCode == ANIMCODE_END) {
                it = m_lstAnimeQueue.erase(it);
                continue;
            }
            if (it->nCountdown > INT32_MIN) it->nCountdown--;
            ++it;
        }
    }
    ANIMEQUEUE* pChosen = nullptr;
    bool bZero = false;
    for (ANIMEQUEUE& q : m_lstAnimeQueue) {
        if (q.bPaused) continue;
        if (!q.bPriority) {
            if (!pChosen) pChosen = &q;
            continue;
        }
        if (!pChosen) {
            pChosen = &q;
        } else if (q.nCountdown <= 0) {
            if (!pChosen->bPriority || pChosen->nCountdown > 0 || q.nCountdown > pChosen->nCountdown) pChosen = &q;
            bZero = true;
        } else if (!bZero && (!pChosen->bPriority || q.nCountdown < pChosen->nCountdown)) {
            pChosen = &q;
        }
    }
    return pChosen ? pChosen->Anim.GetFrame() : m_Anim.GetFrame();
}
