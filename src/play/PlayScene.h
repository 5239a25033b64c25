#pragma once
// The stage being played, from the fade-in to the fade-out: the start
// banner, play, the pause menu, the stage clear, the retry menu after a miss
// and the game over. It owns every list of live objects that is not in the
// play context (shots, the collision groups, messages, effect animations,
// pictures), the two scroll axes, the screen effect and colour, the stage
// variables, the clock and the next-stage request.
//
// The class is shared by several files, one topic each; each section below
// lists the operations of one topic.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "play/BodyPairs.h"
#include "play/ShotPairs.h"
#include "play/EffectAnime.h"
#include "play/Message.h"
#include "play/PlayContext.h"
#include "play/Scroll.h"
#include "play/ScrEffect.h"
#include "play/Shot.h"
#include "project/Scene.h"
#include "stage/Cmd.h"

class cObj;
class cCharaBase;
class cChara;
class cHero;
class cItem;
class cFlowRun;
class cCmdRun;
class cCharaData;
class cItemData;
class cBlockData;
struct SAVEDPOS;

enum : int {
    PLAYSTATE_FADEIN = 0,
    PLAYSTATE_START = 1,
    PLAYSTATE_PLAY = 2,
    PLAYSTATE_PAUSE = 3,
    PLAYSTATE_CLEAR = 4,
    PLAYSTATE_RETRY = 5,
    PLAYSTATE_GAMEOVER = 6,
    PLAYSTATE_FADEOUT = 7,
    PLAYSTATE_COUNT = 8,
};

// Results of the play rules: 0 play goes on, 1 stage clear, 2 the hero lost.
enum : int { PLAYRESULT_NONE = 0, PLAYRESULT_CLEAR = 1, PLAYRESULT_LOST = 2 };

// A contact the hit pass handled: a shot on a character, two characters'
// bodies, or two shots; the objects by id (for a shot, its serial number).
enum : int { CONTACT_SHOT_CHARA = 0, CONTACT_BODY = 1, CONTACT_SHOT_SHOT = 2 };
struct HITCONTACT {
    int32_t nKind = 0;
    int32_t nIdA = 0, nIdB = 0;
    bool operator==(const HITCONTACT& o) const { return nKind == o.nKind && nIdA == o.nIdA && nIdB == o.nIdB; }
};

constexpr int PLAY_STAGE_VAR_COUNT = 1001;   // S0..S1000 (the last one is in no file)
constexpr int LINK_GROUP_COUNT = 60;

// The request to the blocking wait loop.
struct PLAYWAIT {
    int32_t nKind = 0;
    int32_t nFirst = 0;     // frames counted down first
    int32_t bButton = 0;    // wait for a button
    int32_t nLeft = 0;      // frames left
    int32_t nSpare = 0;
};

// The group a summoned character joins (cEdShot::m_nSummonGroup): the
// palette entry's own, the summoner's, or the command's group number.
enum : int { SUMMONGROUP_ENTRY = 0, SUMMONGROUP_SHOOTER = 1, SUMMONGROUP_NUMBER = 2 };

class cPlayScene : public cScene {
public:
    cPlayScene();
    ~cPlayScene() override;

    void Run() override;
    void Init() override;
    void FadeIn() override;
    void FadeOut() override;

    // --- scene, modes, set-up, frame (the play core) ---
    // Enters a mode at its step 0.
    void SetMode(int nState);
    // The pause key fired: mode and step saved, the pause menu opens.
    void OpenPause();
    void BuildPauseMenu();
    // The hero's defeat animation has ended: the miss (a life, a retry, the
    // game over, or the replay starting again). Run from RunPendingMiss
    // after the drawing, never inside a walk of the lists.
    void OnHeroDefeatEnded();
    void RunPendingMiss();
    // The play frame's pieces: the hero lost, a stage clear, the result of a
    // rule that can end the stage (non-zero: the frame ends), the input of
    // the frame (0: the frame ends), one logic sub-step and one character of
    // it (1: the frame ends).
    void LoseHero(cHero* pHero);
    // No character, flow or command is current any more.
    void ClearCurrentRun();
    void ClearStage();
    int EndByResult(int nResult, cHero* pHero);
    int ReadFrameInput(cHero* pHero);
    int RunSubStep(int nSubStep, cHero* pHero);
    int StepChara(cObjList<cChara>::iterator& it, bool bSolid);
    int StepCharaHeld(cObjList<cChara>::iterator& it, bool bSolid);
    void ModeStart();
    void ModePlay();
    void ModePause();
    void ModeClear();
    void ModeRetry();
    void ModeGameOver();
    void ResetPlay();
    int UseLife();
    void SetStage(int bLoadStage, int bMusic);
    void PlaySystemSound(int n);
    void PlayUserSound(int n);
    // Removes one character for good; returns the next node.
    cObjList<cChara>::iterator EraseChara(cObjList<cChara>::iterator it);
    cObjList<cItem>::iterator EraseItem(cObjList<cItem>::iterator it);
    SHOTLIST::iterator EraseShot(SHOTLIST::iterator it);

    // --- scrolling, placement and run-time creation ---
    void ScrollTo();
    // Placed objects at set-up: the copies of a character placement (with
    // the item it holds, or null) and one item; each created object takes
    // the running number *pCount, which then grows.
    void PlaceChara(cObjList<cChara>& list, int nCol, int nRow, int32_t* pCount, const cCharaData& place,
                    const cItem* pItem);
    void PlaceItem(cObjList<cItem>& list, int nCol, int nRow, int32_t* pCount, const cItemData& place);
    // 1 when a block just written into map cell nCell must be undone
    // because it landed on the hero or a character (by the overlap switches).
    int FlagCrushed(int nCell, int nCol, int nRow, const cEdShot& params);
    // Run-time creation at map position (x, y) by a summon command. A
    // summoned character's group follows the command's summon group mode
    // (SUMMONGROUP_*), the summoner being pParent.
    void SummonChara(cObjList<cChara>& list, int x, int y, int nValue, int nDir, const cEdShot& params,
                     const cCharaData& data, int32_t* pCount, cCharaBase* pParent);
    void SummonItem(cObjList<cItem>& list, int x, int y, int nDir, const cEdShot& params, const cItemData& data,
                    int32_t* pCount);
    void SummonBlock(int x, int y, const cEdShot& params, const cBlockData& block);

    // --- block map and block collision ---
    int FindHitCell(const cObj* pObj, int x1, int y1, int x2, int y2);
    int FindFootCell(const cObj* pObj);
    int FindCornerCell(int nColL, int nRowT, int nColR, int nRowB, int nGroup);
    int JudgeBlockLeft(cObj* pObj);
    int JudgeBlockRight(cObj* pObj);
    int JudgeBlockX(cObj* pObj);
    int JudgeBlockXBoth(cObj* pObj);
    int JudgeBlockUp(cObj* pObj);
    int JudgeBlockDown(cObj* pObj);
    int JudgeBlockY(cObj* pObj);
    int JudgeBlockYBoth(cObj* pObj);
    int IsPlaceBlocked(cObj* pObj);
    int ApplyBlockEffect(cHero* pHero);
    int GiveBlockItem(cHero* pHero);
    void StickToGround(cObj* pObj);
    void CheckScreenEdgeX(cHero* pHero);
    int CheckScreenEdgeY(cHero* pHero);
    // The map cell index of (column, row), -1 outside the map.
    int GetCellIndex(int nCol, int nRow) const;
    // Draws the visible cells of one drawing layer (0 under the characters,
    // 1 over them) at the camera.
    void DrawMap(struct DDSURFACEDATA* lpDst, int nLayer);

    // --- activity pass and conditions ---
    void UpdateActivity();

    // --- hits, solids, deaths, timer ---
    int CheckPauseKey();
    void UpdatePlayTimer();
    int UpdateTimeLimit(int n);
    int KillChara(cCharaBase* pChara);
    // 2 the hero is out of HP, 1 a defeat requested a stage clear, else 0
    // (the frame acts on the result).
    int CheckOtherDeaths();
    int RideSolid(cCharaBase* pChara);
    int PushFromSolids(cCharaBase* pChara);
    int ResolveHits();
    int CheckItemContact();
    // 2 for the hero; for another character not yet defeated its defeat's
    // result (1 when a stage clear was requested meanwhile); 0 otherwise.
    int DefeatChara(cCharaBase* pChara);
    void ResolveSolidsAxis(cCharaBase* pObj, int bVertical);
    int IsStillRiding(cCharaBase* pObj);
    cCharaBase* FindSolidBelow(cCharaBase* pObj);
    int IsOverlappingOtherSolid(const cObj* pObj, int nExceptId);
    int IsSqueezed(cCharaBase* pObj, const SAVEDPOS& rcBefore);
    // The hero's death tests of one logic step after its flows: 0 none
    // fired, 2 the hero dies (the label went to the step log; the frame
    // plays the miss and runs the defeat), 3 the frame ends here without a
    // death (held by a lock).
    int RunHeroDeathTests(cHero* pHero);
    // Appends a shot to the shot list and files it in its group list.
    cShot* AddShot(std::unique_ptr<cShot> pShot);
    // Marks a shot to be removed at the end of the hit pass (it meets
    // nothing more), and removes every marked shot; the removal walks the
    // shot list only when a shot was marked since the last walk.
    void MarkShotErased(cShot* p);
    void EraseMarkedShots();
    // The item's pop-up, sound and command list on the hero; 0 when the item
    // cannot be taken.
    int TakeItem(cItem* pItem, cHero* pHero);

    // --- stage end, drawing, effects, waits ---
    void StageClear();
    // The scene that follows a cleared stage; the result's registration.
    int NextSceneAfterClear();
    void RegisterRanking();
    // The frame drawn from play (not frozen) or frozen; bFooter 0 leaves
    // out the footer line and the system colours' step.
    void Draw(int bFrozen, int bFooter = 1);

    // Members.
    int32_t m_nSaveState = 0, m_nSaveStep = 0;
    int32_t m_nClear = 0;
    cScroll m_ScrollX, m_ScrollY;
    SHOTLIST m_lstShot;
    std::vector<std::list<cObjRef>> m_vecGroupChara;   // 8 collision groups
    std::vector<std::list<cObjRef>> m_vecGroupShot;
    std::list<std::unique_ptr<cMessage>> m_lstMessage;
    std::list<std::unique_ptr<cEffectAnime>> m_lstEffect;
    std::list<std::unique_ptr<cPictureRun>> m_lstPicture;
    cScrEffectRun m_ScrEffect;
    cScrColorRun m_ScrColor;
    PLAYWAIT m_Wait;
    int32_t m_bClosing = 0;
    cCharaBase* m_lpCurChara = nullptr;
    // The character whose node the frame's walk holds while it steps it
    // (none between the steps); the deaths of others leave it in the list.
    cCharaBase* m_lpStepChara = nullptr;
    cFlowRun* m_lpCurFlow = nullptr;
    cCmdRun* m_lpCurCmd = nullptr;
    int32_t m_bMesShown = 0;
    int32_t m_nHeroCount = 1;
    int32_t m_nSubStep = 0;
    int32_t m_nStepTotal = 0;
    std::vector<int32_t> m_vecShotStep;
    int32_t m_nTime = 0;
    int32_t m_bNoTimeLimit = 0;
    int32_t m_nPlayFrame = 0;
    int32_t m_nPlayTime = 0;
    int32_t m_nModeFrame = 0;
    int32_t m_nModeFrame2 = 0;
    int32_t m_nSeed = 0;
    int32_t m_bHoldButtons = 0;
    int32_t m_bCheckDead = 0;
    int32_t m_bInHits = 0;
    // The contact passes walk every pair of objects of two groups instead of
    // the pairs their boxes make likely: slow, kept to check the fast walk
    // against (same contacts in the same order).
    int32_t m_bAllPairs = 0;
    // When set, every contact the hit pass handles is appended here, in
    // order (tests and diagnostics); not owning.
    std::vector<HITCONTACT>* m_pContactLog = nullptr;
    // The hit pass's working stores (no play state).
    cBodyPairs m_BodyPairs;
    cShotPairs m_ShotPairs;
    // Shots marked since the marked shots were last removed, and the filed
    // shots whose record clashes with other shots (a shot's record does not
    // change once it is filed): when there are none, the passes that would
    // find nothing are not walked.
    int32_t m_nShotMarks = 0;
    int32_t m_nClashShots = 0;
    std::vector<int32_t> m_vecStageVar;
    std::vector<uint8_t> m_vecLinkActive;
    int32_t m_nCharaCount = 0, m_nItemCount = 0, m_nShotCount = 0;
    int32_t m_bEraseChara = 0, m_bEraseBlockChara = 0, m_bEraseItem = 0;
    std::vector<int32_t> m_vecSummonCell;
    int32_t m_nStageFrame = 0;
    int32_t m_nNextStage = 0;
    std::string m_strNextStage;
    int32_t m_bRankIn = 0;
    std::vector<int32_t> m_vecRankPos;
    std::vector<int32_t> m_vecResult;
    std::string m_strRankName;
    int32_t m_bRankDone = 0;
    int32_t m_bStatusBar = 0;
    cChkVector<cCmd> m_vecPauseMenu;
    int32_t m_nRowShift = 0;   // row shift of the map cell index
    // The miss waits until the draw walk is over.
    int32_t m_bMissPending = 0;
    // The colour cycle of the distance ranges drawn over the stage (0..31,
    // one step a drawn frame); drawing only, play never reads it.
    int32_t m_nRangeCycle = 0;

protected:
    void RunState(int nState) override;
};
