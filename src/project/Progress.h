#pragma once
// The story progress: what one player's game carries between scenes and
// stages (world-map position, cleared stages, common variables, lives and
// scores, best results, carried hero values, save slot, name, ranking
// kind). Stored whole in save slots, the challenge file and replay files.
//
// File layout (after the version word): the registered fields and strings,
// the save time (16 bytes), then seven lists each as a count and its
// elements: carry flags (int32, files above version 500), saved characters,
// best results, world results, stage flags (int32), common variables
// (int32).
//
// Reading bounds every count by the bytes left and pads the fixed lists to
// their sizes (25 carry flags, 1000 stage flags, 1001 common variables);
// lists a file holds legitimately are kept whole. Load reads into a copy
// that replaces this record only when the whole file was read.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "project/LocalTime.h"
#include "stage/CharaData.h"

class cStage;
class cWorldMap;
class cWorldStage;

constexpr int PROGRESS_CARRY_FLAGS = 25;
constexpr int PROGRESS_STAGE_FLAGS = 1000;
constexpr int PROGRESS_COMMON_VARS = 1001;
constexpr int32_t LIFE_UNLIMITED = 999999;
constexpr int RANK_KIND_COUNT = 5;
// Largest world count that the world results follow.
constexpr int MAX_WORLD_RESULTS = 100000;

// Carry-over items with values of their own (not fields of the character).
enum : int {
    CARRY_GRAPHIC = 0, CARRY_ANIMSET = 1, CARRY_Z = 2, CARRY_TRANS = 3, CARRY_EFFECT = 4,
    CARRY_FIXDIR = 5, CARRY_FLIGHT = 6, CARRY_INVINCIBLE = 7, CARRY_GIANT = 8, CARRY_SCROLLSYNC = 9,
    CARRY_SIGHT = 10, CARRY_HP = 11, CARRY_SP = 12, CARRY_MAXHP = 13, CARRY_MAXSP = 14,
    CARRY_HITAREA = 15, CARRY_POWER = 16, CARRY_IMPACT = 17, CARRY_DEFENCE = 18,
    CARRY_IMPACTRESIST = 19, CARRY_STOP = 20, CARRY_FLOWS = 21, CARRY_TIME = 22, CARRY_LIFE = 23,
    CARRY_BGM = 24,
};

// Two int32 (a world's cleared flag and its best value).
class cIntPair : public cRecord {
public:
    cIntPair() { Clear(); }
    void RegisterFields(int nVer) override;
    int32_t m_nFirst = 0;
    int32_t m_nSecond = 0;
};

// The best result of one stage key.
class cStageResult : public cRecord {
public:
    cStageResult() { Clear(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    std::string m_strFile;
    std::string m_strKey;
    int32_t m_nDecorate = 0;
    int32_t m_nDecorateA = 0;
    int32_t m_nDecorateB = 0;
    int32_t m_nBest = 0;
};

// The carried values of one hero: five integers and a character record.
class cSaveChara : public cRecord {
public:
    cSaveChara() { Clear(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    int32_t m_nHp = 0;      // item 11
    int32_t m_nSp = 0;      // item 12
    int32_t m_nTime = 0;    // item 22
    int32_t m_nLife = 0;    // item 23
    int32_t m_nBgm = 0;     // item 24
    cCharaData m_recChara;
};

class cProgress : public cRecord {
public:
    cProgress();

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    // Transactional: 1 when the whole file was read (the record replaced),
    // 0 otherwise (the record untouched).
    int Load(const char* path);
    // Atomic (temporary file, renamed); 1 on success.
    int Save(const char* path) { return cRecord::Save(path); }

    void Reset();
    void NewStory();
    // The lives a new play of play mode nMode starts with, the one rule of
    // every start: unlimited when the settings give that mode unlimited lives
    // or bUnlimited is set; with bCarry (a story stage under the life-carry
    // setting) the spare lives the story holds now plus the one in play; else
    // the mode's count. m_nLife is then the spare lives, m_nLifeStart - 1.
    void StartLives(int nMode, bool bUnlimited = false, bool bCarry = false);
    void FitLists();

    void SetStageName(const std::string& strPath, int nDecorate, int a, int b);
    void AddStageResult(const std::string& strFile, const std::string& strKey, int nDecorate, int a, int b,
                        int32_t nValue);
    int32_t GetBestResult(const std::string& strKey) const;
    void SumBestResults();
    void SumBestResults(const cWorldMap& map);

    void StoreCheckpoint();
    // nGameMode 0..3; bDirectStart: the game was started directly on a stage.
    void RestoreCheckpoint(int bForce, int nGameMode, int bDirectStart);
    // The same for the play mode of the game state and bFreeStageStart.
    void RestoreCheckpoint(int bForce);
    void ResetPlayInfo();

    // Carry-over of hero n (nothing for a negative n).
    void StoreCarryOver(int n, const cCharaData& chara, int32_t nHp, int32_t nSp, int nEffect, int nEffectSrc,
                        int nEffectValue, int32_t nTime, int32_t nLife, int32_t nBgm);
    // Writes the carried values into chara, and items 22 and 24 into stage
    // (time limit, music); item 23 into m_nLife.
    void RestoreCarryOver(int n, cCharaData& chara, cStage& stage);
    // Items 11 and 12 when carried and stored; the outputs are left alone
    // otherwise. Returns which were given (bit 0 HP, bit 1 SP).
    int RestoreCarryOverExtra(int n, int32_t* pHp, int32_t* pSp) const;
    void ClearCarryOver(int nUnused = 0);

    void ResetWorldMap();
    void StepRankKind(int nMode, int n);

    // Save slots and the challenge file (SaveSlots.cpp). Each returns the
    // real result: 1 done, 0 failed (a slot outside 0..98, a file that
    // cannot be written or read); a failed load leaves the record as it was.
    int SaveToSlot(int nSlot);
    int LoadFromSlot(int nSlot);
    // pnFileState (optional) receives what was found on disk (PLAYERFILE_...).
    int LoadChallenge(int* pnFileState = nullptr);
    int SaveChallenge();

    // Registered (file) members.
    int32_t m_bCarryOver = 0;
    int32_t m_nMapX = 0, m_nMapY = 0;
    int32_t m_nRound = 0;
    int32_t m_nDecorate = 0, m_nDecorateA = 0, m_nDecorateB = 0;
    int32_t m_nWorld = 0;
    int32_t m_nStage = 0;
    int32_t m_nLifeStart = 0;
    int32_t m_nLife = 0;
    int32_t m_nScore = 0;
    // The play's running total: the stage scores summed at each clear (the
    // score ranked, the best kept for a stage or a challenge world).
    int32_t m_nPlayScore = 0;
    // The sum of the best results: of the world map's stages in the story,
    // of the worlds in the challenge.
    int32_t m_nTotalScore = 0;
    int32_t m_nResultTime = 0, m_nClearTime = 0;
    int32_t m_nResultHp = 0, m_nResultSp = 0;
    int32_t m_bChain = 0;
    int32_t m_nBgm = 0;
    int32_t m_nBgmArg = 0;
    int32_t m_nMapDir = 0;
    int32_t m_bMapReturn = 0;
    int32_t m_nMapPrevX = 0, m_nMapPrevY = 0;
    int32_t m_nWorldReached = 1;
    int32_t m_nSaveSlot = -1;
    int32_t m_bAutoSave = 0;
    int32_t m_bRankView = 0;
    int32_t m_nRankKind = 0;
    int32_t m_bNextStart = 0;
    int32_t m_nNextX = 0, m_nNextY = 0;
    int32_t m_nNextDir = 0;
    std::string m_strStageFile;
    std::string m_strStageKey;
    std::string m_strName = "aaa";

    // The world-map entry being played: valid during the run only, stored
    // as 0.
    const cWorldStage* m_lpMapEntry = nullptr;

    SYSTEMTIME m_stSaveTime;
    cChkVector<int32_t> m_vCarryFlag;
    cChkVector<cSaveChara> m_vSaveChara;
    cChkVector<cStageResult> m_vBestResult;
    cChkVector<cIntPair> m_vWorldResult;
    cChkVector<int32_t> m_vStageFlag;
    cChkVector<int32_t> m_vCommonVar;

    // Checkpoint (not stored).
    cChkVector<int32_t> m_vCheckVar;
    int32_t m_nCheckLife = 0;
    int32_t m_nCheckScore = 0;

private:
    int32_t m_nMapEntryWord = 0;   // the stored form of m_lpMapEntry: always 0
};

// Appends the decoration "_c" + a (three digits) + "_" + b before a trailing
// dot; nothing when nDecorate is 0.
void DecorateName(std::string& s, int nDecorate, int a, int b);

extern cProgress recProgress;
extern cProgress recProgressA;
extern cProgress recProgressB;
