#include "project/Progress.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "foundation/Saturate.h"
#include "project/GameState.h"
#include "project/NumberText.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Stage.h"

namespace {

// Largest hero index whose carried values are kept.
constexpr int MAX_SAVE_CHARA = 1000;

void ReadIntList(cDataFile* fp, cChkVector<int32_t>& v) {
    int n = fp->ReadCount(4);
    v.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; i++) v[static_cast<size_t>(i)] = fp->ReadI32();
}

void WriteIntList(cDataFile* fp, const cChkVector<int32_t>& v) {
    fp->WriteI32(static_cast<int32_t>(v.size()));
    for (int32_t x : v) fp->WriteI32(x);
}

void PadTo(cChkVector<int32_t>& v, size_t n) {
    if (v.size() < n) v.resize(n, 0);
}

bool SystemFlag(const cChkVector<uint8_t>& v, int i) { return v.IsValid(i) && v[static_cast<size_t>(i)] != 0; }

}  // namespace

// ---------------------------------------------------------------------------
// Sub-records

void cIntPair::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nFirst);
    AddField4(&m_nSecond);
}

void cStageResult::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    if (VerAfter(v, 758)) {
        AddField4(&m_nDecorate);
        AddField4(&m_nDecorateA);
        AddField4(&m_nDecorateB);
    }
    AddField4(&m_nBest);
    AddString(&m_strFile);
    if (VerAfter(v, 758)) AddString(&m_strKey);
}

void cStageResult::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (!VerAfter(nFileVer, 758)) m_strKey = m_strFile;
}

void cSaveChara::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nHp);
    AddField4(&m_nSp);
    AddField4(&m_nTime);
    AddField4(&m_nLife);
    AddField4(&m_nBgm);
}

void cSaveChara::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (!fp->IsFailed()) m_recChara.Read(fp);
}

void cSaveChara::Write(cDataFile* fp) {
    cRecord::Write(fp);
    m_recChara.Write(fp);
}

// ---------------------------------------------------------------------------
// cProgress

cProgress::cProgress() { Reset(); }

void cProgress::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    AddField4(&m_bCarryOver);
    AddField4(&m_nMapX);
    AddField4(&m_nMapY);
    AddField4(&m_nMapEntryWord);
    AddField4(&m_nRound);
    if (VerFrom(v, 758)) {
        AddField4(&m_nDecorate);
        AddField4(&m_nDecorateA);
        AddField4(&m_nDecorateB);
    }
    AddField4(&m_nWorld);
    AddField4(&m_nStage);
    AddField4(&m_nLifeStart);
    AddField4(&m_nLife);
    AddField4(&m_nScore);
    AddField4(&m_nPlayScore);
    AddField4(&m_nTotalScore);
    AddField4(&m_nResultTime);
    AddField4(&m_nClearTime);
    if (VerFrom(v, 182)) {
        AddField4(&m_nResultHp);
        AddField4(&m_nResultSp);
    }
    AddField4(&m_bChain);
    AddField4(&m_nBgm);
    if (VerFrom(v, 166)) AddField4(&m_nBgmArg);
    if (VerFrom(v, 194)) AddField4(&m_nMapDir);
    if (VerFrom(v, 190)) AddField4(&m_bMapReturn);
    if (VerFrom(v, 191)) {
        AddField4(&m_nMapPrevX);
        AddField4(&m_nMapPrevY);
    }
    AddField4(&m_nWorldReached);
    AddField4(&m_nSaveSlot);
    if (VerFrom(v, 169)) AddField4(&m_bAutoSave);
    AddField4(&m_bRankView);
    AddField4(&m_nRankKind);
    if (VerFrom(v, 678)) {
        AddField4(&m_bNextStart);
        AddField4(&m_nNextX);
        AddField4(&m_nNextY);
    }
    if (VerFrom(v, 679)) AddField4(&m_nNextDir);
    AddString(&m_strStageFile);
    if (VerFrom(v, 724)) AddString(&m_strStageKey);
    AddString(&m_strName);
}

void cProgress::Reset() {
    Clear();
    m_nMapEntryWord = 0;
    m_lpMapEntry = nullptr;
    m_stSaveTime = SYSTEMTIME();
    m_vCarryFlag.assign(PROGRESS_CARRY_FLAGS, 0);
    m_vSaveChara.assign(1, cSaveChara());
    m_vStageFlag.assign(PROGRESS_STAGE_FLAGS, 0);
    m_vStageFlag[0] = 1;
    m_vCommonVar.assign(PROGRESS_COMMON_VARS, 0);
    m_vCheckVar.assign(PROGRESS_COMMON_VARS, 0);
    m_nCheckLife = 0;
    m_nCheckScore = 0;
    m_vBestResult.clear();
    m_vWorldResult.clear();
    m_nWorldReached = 1;
    m_nSaveSlot = -1;
    m_strName = "aaa";
}

void cProgress::NewStory() {
    Reset();
    m_nMapX = recWorldMap.m_nStartX;
    m_nMapY = recWorldMap.m_nStartY;
    m_nRound = 0;
    StartLives(0);
}

void cProgress::StartLives(int nMode, bool bUnlimited, bool bCarry) {
    const size_t i = static_cast<size_t>(nMode);
    if (bUnlimited || (recSystem.m_vLifeInfinite.IsValid(nMode) && recSystem.m_vLifeInfinite[i])) {
        m_nLifeStart = m_nLife = LIFE_UNLIMITED;
        return;
    }
    const int64_t n = bCarry ? static_cast<int64_t>(m_nLife) + 1
                             : (recSystem.m_vLife.IsValid(nMode) ? recSystem.m_vLife[i] : 1);
    m_nLifeStart = SaturateInt32(n);
    m_nLife = SaturateInt32(static_cast<int64_t>(m_nLifeStart) - 1);
}

void cProgress::FitLists() {
    const cWorldMap& map = recWorldMap;
    if (m_nMapX < 0 || m_nMapX >= map.m_nWidth) m_nMapX = map.m_nStartX;
    if (m_nMapY < 0 || m_nMapY >= map.m_nHeight) m_nMapY = map.m_nStartY;
    int nWorlds = std::clamp<int32_t>(recSystem.m_nWorldCount, 0, MAX_WORLD_RESULTS);
    m_vWorldResult.resize(static_cast<size_t>(nWorlds));
    if (m_nWorldReached > nWorlds) m_nWorldReached = nWorlds;
    // The ranking kind is kept as stored, even outside 0..4: every reader
    // checks it where it indexes (ranking tables, the per-mode switches), so
    // a file read and written back stays the same.
}

void cProgress::Write(cDataFile* fp) {
    FitLists();
    m_nMapEntryWord = 0;
    cRecord::Write(fp);
    fp->WriteBytes(&m_stSaveTime, sizeof(m_stSaveTime));
    WriteIntList(fp, m_vCarryFlag);
    WriteRecordList(fp, m_vSaveChara);
    WriteRecordList(fp, m_vBestResult);
    WriteRecordList(fp, m_vWorldResult);
    WriteIntList(fp, m_vStageFlag);
    WriteIntList(fp, m_vCommonVar);
}

void cProgress::Read(cDataFile* fp) {
    const uint32_t nVer = nFileVer;
    cRecord::Read(fp);
    m_nMapEntryWord = 0;   // a pointer of another run means nothing here
    m_lpMapEntry = nullptr;
    fp->ReadBytes(&m_stSaveTime, sizeof(m_stSaveTime));
    if (VerAfter(nVer, 500)) ReadIntList(fp, m_vCarryFlag);
    ReadRecordList(fp, m_vSaveChara);
    ReadRecordList(fp, m_vBestResult);
    ReadRecordList(fp, m_vWorldResult);
    ReadIntList(fp, m_vStageFlag);
    ReadIntList(fp, m_vCommonVar);
    if (fp->IsFailed()) return;

    if (nVer < 166) m_nBgmArg = 1;
    if (nVer < 169) m_bAutoSave = 0;
    if (nVer < 182) m_nResultHp = m_nResultSp = 0;
    if (nVer < 190) m_bMapReturn = 0;
    if (nVer <= 190) m_nMapPrevX = m_nMapPrevY = 0;
    if (nVer < 194) m_nMapDir = 0;
    if (nVer <= 500) m_vCarryFlag.assign(PROGRESS_CARRY_FLAGS, 1);
    if (nVer < 754) {
        // Older files keep 1000 variables; every number the expressions
        // accept (0..1000) exists after the padding.
        m_vCommonVar.resize(PROGRESS_COMMON_VARS, 0);
        m_vCheckVar.assign(PROGRESS_COMMON_VARS, 0);
    }
    PadTo(m_vCarryFlag, PROGRESS_CARRY_FLAGS);
    PadTo(m_vStageFlag, PROGRESS_STAGE_FLAGS);
    PadTo(m_vCommonVar, PROGRESS_COMMON_VARS);
    if (nVer < 804) m_vStageFlag[0] = 1;
    FitLists();
}

int cProgress::Load(const char* path) {
    cDataFile* fp = OpenDataFile(path);
    if (!fp) return 0;
    // Fields an older file lacks keep the values this record holds.
    cProgress tmp(*this);
    tmp.Read(fp);
    if (!CloseDataFile(fp)) return 0;
    *this = std::move(tmp);
    return 1;
}

// ---------------------------------------------------------------------------
// Stage names and results

void DecorateName(std::string& s, int nDecorate, int a, int b) {
    if (!nDecorate) return;
    bool bDot = !s.empty() && s.back() == '.';
    if (bDot) s.pop_back();
    s += "_c";
    s += FormatNumber(a, 3, 1, 0);
    s += "_";
    s += std::to_string(b);
    if (bDot) s += '.';
}

void cProgress::SetStageName(const std::string& strPath, int nDecorate, int a, int b) {
    m_strStageFile = strPath.c_str();
    m_nDecorate = nDecorate;
    m_nDecorateA = a;
    m_nDecorateB = b;
    m_bChain = 0;
    // The whole path is scanned, folders included: stored keys were made so.
    std::string& s = m_strStageFile;
    size_t nChain = std::string::npos;
    for (size_t i = s.size(); i-- > 1;) {
        if (s[i - 1] == '-' && s[i] == '1') {
            nChain = i - 1;
            break;
        }
    }
    if (nChain != std::string::npos) {
        m_bChain = 1;
        s.resize(nChain);
        s += '.';
    } else {
        size_t nDot = s.rfind('.');
        if (nDot != std::string::npos) s.resize(nDot + 1);
    }
    m_strStageKey = s;
    DecorateName(m_strStageKey, nDecorate, a, b);
}

void cProgress::AddStageResult(const std::string& strFile, const std::string& strKey, int nDecorate, int a, int b,
                               int32_t nValue) {
    for (cStageResult& r : m_vBestResult) {
        if (r.m_strKey != strKey) continue;
        if (r.m_nBest >= nValue) return;
        m_nTotalScore = SaturateInt32(static_cast<int64_t>(m_nTotalScore) + nValue - r.m_nBest);
        r.m_nBest = nValue;
        return;
    }
    cStageResult r;
    r.m_strFile = strFile;
    r.m_strKey = strKey;
    r.m_nDecorate = nDecorate;
    r.m_nDecorateA = a;
    r.m_nDecorateB = b;
    r.m_nBest = nValue;
    m_vBestResult.push_back(std::move(r));
    m_nTotalScore = SaturateInt32(static_cast<int64_t>(m_nTotalScore) + nValue);
}

int32_t cProgress::GetBestResult(const std::string& strKey) const {
    for (const cStageResult& r : m_vBestResult)
        if (r.m_strKey == strKey) return r.m_nBest;
    return 0;
}

void cProgress::SumBestResults() { SumBestResults(recWorldMap); }

void cProgress::SumBestResults(const cWorldMap& map) {
    int64_t nSum = 0;
    for (const cStageResult& r : m_vBestResult)
        if (map.HasStage(r.m_strFile.c_str(), r.m_nDecorate, r.m_nDecorateA, r.m_nDecorateB))
            nSum = std::clamp<int64_t>(nSum + r.m_nBest, INT32_MIN, INT32_MAX);
    m_nTotalScore = SaturateInt32(nSum);
}

// ---------------------------------------------------------------------------
// Checkpoint and play tallies

void cProgress::StoreCheckpoint() {
    m_vCheckVar = m_vCommonVar;
    m_nCheckLife = m_nLife;
    m_nCheckScore = m_nPlayScore;
}

void cProgress::RestoreCheckpoint(int bForce, int nGameMode, int bDirectStart) {
    if (bForce) {
        m_vCommonVar = m_vCheckVar;
        m_nLife = m_nCheckLife;
        m_nPlayScore = m_nCheckScore;
        return;
    }
    bool bRestore;
    if (nGameMode == 3) bRestore = true;
    else if (bDirectStart) bRestore = recSystem.m_bDirectRetryRestore != 0;
    else if (nGameMode == 0) bRestore = recSystem.m_bStoryRetryRestore != 0;
    else if (nGameMode == 1) bRestore = recSystem.m_bChallengeRetryRestore != 0;
    else if (nGameMode == 2) bRestore = recSystem.m_bFreeRetryRestore != 0;
    else bRestore = false;
    if (bRestore) m_vCommonVar = m_vCheckVar;
    m_nPlayScore = m_nCheckScore;
}

void cProgress::RestoreCheckpoint(int bForce) {
    RestoreCheckpoint(bForce, GetGameState().m_nGameMode, bFreeStageStart);
}

void cProgress::ResetPlayInfo() {
    m_nPlayScore = 0;
    m_nResultTime = 0;
    m_nClearTime = 0;
    m_nResultHp = 0;
    m_nResultSp = 0;
}

// ---------------------------------------------------------------------------
// Carry-over

namespace {

// Items that are fields of the character record: copied one way on a store
// and the other on a restore.
using CARRYCOPYFN = void (*)(cCharaData& to, const cCharaData& from);

const CARRYCOPYFN apfnCarryCopy[PROGRESS_CARRY_FLAGS] = {
    /* 0 */ [](cCharaData& t, const cCharaData& f) {
        t.m_nGraphic = f.m_nGraphic;
        t.m_nGraphicSheet = f.m_nGraphicSheet;
        t.m_nGraphicRow = f.m_nGraphicRow;
    },
    /* 1 */ [](cCharaData& t, const cCharaData& f) {
        if (t.m_nAnimSet != f.m_nAnimSet) t.m_nAnimSet = f.m_nAnimSet;
    },
    /* 2 */ [](cCharaData& t, const cCharaData& f) { t.m_nZ = f.m_nZ; },
    /* 3 */ [](cCharaData& t, const cCharaData& f) { t.m_bTrans = f.m_bTrans; },
    /* 4 */ [](cCharaData& t, const cCharaData& f) {
        t.m_nStartEffect = f.m_nStartEffect;
        t.m_nStartEffectSrc = f.m_nStartEffectSrc;
        t.m_nStartEffectValue = f.m_nStartEffectValue;
    },
    /* 5 */ [](cCharaData& t, const cCharaData& f) { t.m_bFixDir = f.m_bFixDir; },
    /* 6 */ [](cCharaData& t, const cCharaData& f) { t.m_nFlight = f.m_nFlight; },
    /* 7 */ [](cCharaData& t, const cCharaData& f) { t.m_nInvincible = f.m_nInvincible; },
    /* 8 */ [](cCharaData& t, const cCharaData& f) { t.m_nGiant = f.m_nGiant; },
    /* 9 */ [](cCharaData& t, const cCharaData& f) { t.m_bScrollSync = f.m_bScrollSync; },
    /* 10 */ [](cCharaData& t, const cCharaData& f) {
        t.m_nSightShape = f.m_nSightShape;
        t.m_nSight = f.m_nSight;
    },
    /* 11 */ nullptr,
    /* 12 */ nullptr,
    /* 13 */ [](cCharaData& t, const cCharaData& f) { t.m_nMaxHp = f.m_nMaxHp; },
    /* 14 */ [](cCharaData& t, const cCharaData& f) { t.m_nMaxSp = f.m_nMaxSp; },
    /* 15 */ [](cCharaData& t, const cCharaData& f) { t.m_nHitArea = f.m_nHitArea; },
    /* 16 */ [](cCharaData& t, const cCharaData& f) { t.m_nPower = f.m_nPower; },
    /* 17 */ [](cCharaData& t, const cCharaData& f) { t.m_nImpact = f.m_nImpact; },
    /* 18 */ [](cCharaData& t, const cCharaData& f) { t.m_nDefence = f.m_nDefence; },
    /* 19 */ [](cCharaData& t, const cCharaData& f) { t.m_nImpactResist = f.m_nImpactResist; },
    /* 20 */ [](cCharaData& t, const cCharaData& f) { t.m_nStop = f.m_nStop; },
    /* 21 */ [](cCharaData& t, const cCharaData& f) { t.m_vFlow = f.m_vFlow; },
    /* 22 */ nullptr,
    /* 23 */ nullptr,
    /* 24 */ nullptr,
};

}  // namespace

void cProgress::StoreCarryOver(int n, const cCharaData& chara, int32_t nHp, int32_t nSp, int nEffect,
                               int nEffectSrc, int nEffectValue, int32_t nTime, int32_t nLife, int32_t nBgm) {
    if (n < 0 || n >= MAX_SAVE_CHARA) return;
    m_bCarryOver = 1;
    if (static_cast<size_t>(n) >= m_vSaveChara.size()) m_vSaveChara.resize(static_cast<size_t>(n) + 1);
    PadTo(m_vCarryFlag, PROGRESS_CARRY_FLAGS);
    cSaveChara& save = m_vSaveChara[static_cast<size_t>(n)];
    for (int i = 0; i < PROGRESS_CARRY_FLAGS; i++) {
        if (!SystemFlag(recSystem.m_vCarryOver, i)) continue;
        switch (i) {
        case CARRY_EFFECT:
            save.m_recChara.m_nStartEffect = static_cast<int16_t>(nEffect);
            save.m_recChara.m_nStartEffectSrc = static_cast<int8_t>(nEffectSrc);
            save.m_recChara.m_nStartEffectValue = static_cast<uint8_t>(nEffectValue);
            break;
        case CARRY_HP: save.m_nHp = nHp; break;
        case CARRY_SP: save.m_nSp = nSp; break;
        case CARRY_TIME: save.m_nTime = nTime; break;
        case CARRY_LIFE: save.m_nLife = nLife; break;
        case CARRY_BGM: save.m_nBgm = nBgm; break;
        default: apfnCarryCopy[i](save.m_recChara, chara); break;
        }
        m_vCarryFlag[static_cast<size_t>(i)] = 1;
    }
}

void cProgress::RestoreCarryOver(int n, cCharaData& chara, cStage& stage) {
    if (!m_bCarryOver || !m_vSaveChara.IsValid(n)) return;
    const cSaveChara& save = m_vSaveChara[static_cast<size_t>(n)];
    for (int i = 0; i < PROGRESS_CARRY_FLAGS; i++) {
        if (!m_vCarryFlag.IsValid(i) || !m_vCarryFlag[static_cast<size_t>(i)]) continue;
        switch (i) {
        case CARRY_HP:
        case CARRY_SP: break;   // given to the hero itself (RestoreCarryOverExtra)
        case CARRY_TIME: stage.m_nTimeLimit = save.m_nTime; break;
        case CARRY_LIFE: m_nLife = save.m_nLife; break;
        case CARRY_BGM: stage.m_nBgm = save.m_nBgm; break;
        case CARRY_GRAPHIC:
            apfnCarryCopy[i](chara, save.m_recChara);
            if (chara.m_nGraphicSheet == 0) chara.m_nGraphicSheet = 1;
            break;
        default: apfnCarryCopy[i](chara, save.m_recChara); break;
        }
    }
}

int cProgress::RestoreCarryOverExtra(int n, int32_t* pHp, int32_t* pSp) const {
    if (!m_bCarryOver || !m_vSaveChara.IsValid(n)) return 0;
    const cSaveChara& save = m_vSaveChara[static_cast<size_t>(n)];
    auto given = [&](int i) {
        return SystemFlag(recSystem.m_vCarryOver, i) && m_vCarryFlag.IsValid(i) && m_vCarryFlag[static_cast<size_t>(i)];
    };
    int nGiven = 0;
    if (given(CARRY_HP)) {
        if (pHp) *pHp = save.m_nHp;
        nGiven |= 1;
    }
    if (given(CARRY_SP)) {
        if (pSp) *pSp = save.m_nSp;
        nGiven |= 2;
    }
    return nGiven;
}

void cProgress::ClearCarryOver(int nUnused) {
    (void)nUnused;
    for (int i = 0; i < PROGRESS_CARRY_FLAGS; i++)
        if (SystemFlag(recSystem.m_vMissForget, i) && m_vCarryFlag.IsValid(i)) m_vCarryFlag[static_cast<size_t>(i)] = 0;
}

// ---------------------------------------------------------------------------
// World map and ranking kind

void cProgress::ResetWorldMap() {
    if (m_nRound < INT32_MAX) m_nRound++;
    std::fill(m_vStageFlag.begin(), m_vStageFlag.end(), 0);
    PadTo(m_vStageFlag, 1);
    m_vStageFlag[0] = 1;
    m_nMapX = recWorldMap.m_nStartX;
    m_nMapY = recWorldMap.m_nStartY;
}

void cProgress::StepRankKind(int nMode, int n) {
    if (!recSystem.m_vRankingFlags.IsValid(nMode)) return;
    const cChkVector<uint8_t>& vKind = recSystem.m_vRankingFlags[static_cast<size_t>(nMode)].m_vKind;
    auto enabled = [&](int k) { return SystemFlag(vKind, k); };
    int nEnabled = 0;
    for (int k = 0; k < RANK_KIND_COUNT; k++) nEnabled += enabled(k) ? 1 : 0;
    if (nEnabled == 0) return;
    // A kind outside 0..4 (from a file) is taken modulo 5.
    int k = ((m_nRankKind % RANK_KIND_COUNT) + RANK_KIND_COUNT) % RANK_KIND_COUNT;
    if (n == 0) {
        while (!enabled(k)) k = (k + 1) % RANK_KIND_COUNT;
        m_nRankKind = k;
        return;
    }
    int64_t nSteps = n < 0 ? -static_cast<int64_t>(n) : n;
    int nDir = n < 0 ? RANK_KIND_COUNT - 1 : 1;
    // After the first step every step stays on the cycle of enabled kinds.
    if (nSteps > nEnabled) nSteps = (nSteps - 1) % nEnabled + 1;
    for (int64_t s = 0; s < nSteps; s++) {
        do {
            k = (k + nDir) % RANK_KIND_COUNT;
        } while (!enabled(k));
    }
    m_nRankKind = k;
}
