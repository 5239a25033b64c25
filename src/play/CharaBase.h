#pragma once
// The common part of every acting figure of a stage, the hero and the placed
// or summoned characters: the definition record with its statuses, links to
// other objects, flows and their runs, motion state for the block rules,
// combat state, gauges, the animation queue and the character effect.
#include <cstdint>
#include <list>
#include <vector>

#include "flow/FlowRun.h"
#include "play/AnimeQueue.h"
#include "play/CharaEffectRun.h"
#include "play/Obj.h"
#include "stage/CharaData.h"

class cMapCell;
class cShot;

// {object, slot}: slot 0-3 the object holds this character as target 1-4,
// slot 4 the object is a child whose parent is this character.
struct CHARALINK {
    cObjRef Obj;
    int32_t nSlot = 0;
    bool operator==(const CHARALINK& o) const { return Obj == o.Obj && nSlot == o.nSlot; }
};
// {shot, kind} of a shot that points at this character: 0 its owner link,
// 4 its second link.
struct CHARACHILD {
    cObjRef Shot;
    int32_t nKind = 0;
};
// Invincibility against one object.
struct INVAGAINST {
    cObjRef Obj;
    int32_t nSteps = 0;
};
struct GAUGE {
    int32_t nShown = 0;
    double dChange = 0;
    double dStep = 0;
    int32_t nWidth = 0;
};
// The saved position block of SavePos / RestorePos.
struct SAVEDPOS {
    double dX = 0, dY = 0, dRight = 0, dBottom = 0;
};
// What a placement hands to ResetState.
struct CHARAPLACE {
    const cCharaData* pData = nullptr;
    double dX = 0, dY = 0;
    int32_t nCopyIndex = 0;
};
// One collision box of a character: its base offsets and size in the 32-dot
// cell, the same scaled by the size factor, and its edges in map dots.
struct HITBOX {
    int32_t nBaseX = 0, nBaseY = 0, nBaseW = 0, nBaseH = 0;
    int32_t nX = 0, nY = 0, nW = 0, nH = 0;
    double dLeft = 0, dTop = 0, dRight = 0, dBottom = 0;
    void SetBase(int x, int y, int w, int h) { nBaseX = nX = x; nBaseY = nY = y; nBaseW = nW = w; nBaseH = nH = h; }
    void Scale(int n) { nX = nBaseX * n; nY = nBaseY * n; nW = nBaseW * n; nH = nBaseH * n; }
    // Edges from the object's position: near edge = floor + offset, far edge
    // = near edge + size - 1.
    void UpdateX(double x);
    void UpdateY(double y);
};
// Where a graphic cell is drawn from: the four surfaces of its sheet (image
// slots, or for a dedicated bitmap the stage's bitmap surfaces 4n-4 ..
// 4n-1), the pair chosen for the display mode, the cell's scale and its
// source corner.
struct DRAWSOURCE {
    int32_t bDedicated = 0;   // surfaces index the stage's dedicated bitmaps
    int32_t nSurface = -1, nSurfaceVar = -1, nMirror = -1, nMirrorVar = -1;
    int32_t nChosen = -1, nChosenMirror = -1;
    int32_t bNative = 0;      // the cell has its own size (scale below)
    int32_t nScale = 1;
    int32_t nSrcX = 0, nSrcY = 0;
    int32_t bValid = 0;       // 0: nothing to draw
};
class cItem;
struct DDSURFACEDATA;

class cCharaBase : public cObj {
public:
    cCharaBase* AsCharaBase() override { return this; }
    cCharaBase();
    cCharaBase(const cCharaBase& src);
    ~cCharaBase() override;

    // cObj operations.
    void AdjustScalePos(int nNew, int nOld, int bFlag) override;
    void SetCenter(int x, int y) override;
    void ArriveAt(int x, int y, MOVERUN* pMoveRun) override;
    void SetCenterX(int x) override;
    void ArriveAtX(int x, MOVERUN* pMoveRun) override;
    void SetCenterY(int y) override;
    void ArriveAtY(int y, MOVERUN* pMoveRun) override;

    // The eight character operations.
    virtual void CopyCharaFrom(const cCharaBase& other);
    virtual cItem* GetDropItem() { return nullptr; }
    virtual int ClampX() { return 0; }
    virtual int ClampY() { return 0; }
    virtual int MoveX() { return 0; }
    virtual int MoveY() { return 0; }
    virtual int RunFlows(int bDeathOnly) { (void)bDeathOnly; return 0; }
    // The jump of a running jump command: the run's speed word m_Move.dSpeed
    // is the initial speed, m_bInit its started flag, m_nCount the steps
    // waited and m_nLeft the steps left.
    virtual void DoJump(cCmdRun* pJumpRun) { (void)pJumpRun; }
    virtual bool IsHero() const { return false; }

    // --- reset, placement, size, animation set, units (CharaBase.cpp) ---
    void ResetState(const CHARAPLACE& place);
    void SetHitBoxSize(int bBottom, int w, int h);
    void SetBlockX(int nCol);
    void SetBlockY(int nRow, int bFlag);
    void SetBlockPos(int nCol, int nRow, int bFlag);
    void InitLinks(cCharaBase* pParent);
    void ChangeAnimSet(int nSet, int bForce);
    // nType 1 a character (the facing picks the sheet), 2 an item, other
    // values anything else; nKind the graphic kind 0-4.
    static void SetDrawSource(DRAWSOURCE* pOut, int nType, int nKind, int nNumber, int nRow, const cObj* pChara,
                              int nFrame);
    // A graphic drawn as a 16 x 16 icon with the colour key (CharaOverlays.cpp).
    static void DrawIcon16(DDSURFACEDATA* lpDst, int x, int y, int nKind, int n, int nFrame);
    // The initial speed of a jump h hbl high (negative: up) and its length in
    // tenths of a second; the hero's speed may be scaled by a system rule.
    double JumpSpeed(int h) const;
    int JumpFrames(int h) const;

    // --- events, flows, key conditions, animation queue (CharaEvents.cpp) ---
    int InsertFlows(const cChkVector<cFlow>* pFlows, int bAdd, int nPos);
    void RemoveFlow(int nIndex);
    int RemoveFlowsById(int nId);
    void SetFlowRuns(const cCharaBase& other);
    void RelinkFlowRuns();
    void FireEvent(int nTrigger, cObj* pOther = nullptr, int nFlowId = 0);
    bool CheckFlowKeys(cFlowRun& run);
    bool MatchKeySequence(cFlowRun& run, const cChkVector<cFlowKey>& records, int nGap);
    void ClearFrameFlags();
    void ReleaseFlowGroups();
    void StartScheduledAnims();
    void EraseFlowAnims(int nSerial);
    void PauseFlowAnims(int nSerial);
    void ResumeFlowAnims(int nSerial);
    int UpdateAnimation(int bFreeze);
    // The input that key conditions and the input direction read.
    const cInputState* GetKeyInput() const;

    // --- motion (CharaMotion.cpp) ---
    void ClearBlockHitFlags();
    void ApplyGravity();
    void SavePos();
    void RestorePos();
    void DecayKnockX();
    void DecayKnockY();
    void Land();
    void HitCeiling();
    void EndRide(int bPushed);
    bool IsStanding() const;
    void ApplyKnockback(int nImp, double dDx, double dDy);
    void KnockbackFromChara(const cCharaBase* pAttacker);
    void KnockbackFromShot(int nImp, double dVx, double dVy, int bOwnVelocity, int nDir);
    void ApplyKnockY();

    // --- damage, invincibility, gauges, defeat (Damage.cpp) ---
    // HP change by n (a loss is ignored while invincible unless forced); 1
    // when HP reached 0 (no gauge then).
    int AddHp(int n, int bForce, int bGauge);
    int AddSp(int n, int bGauge);
    void StartHpGauge(int n);
    void StartSpGauge(int n);
    void StartInvincible();
    void StartInvincibleAgainst(const cObj* pAttacker);
    void StepInvincible();
    bool IsInvincible() const { return m_nInvTime > 0; }
    bool IsInvincibleAgainst(const cObj* pAttacker) const;
    // 1 when HP reached 0.
    int TakeBodyDamage(cCharaBase* pAttacker);
    int TakeShotDamage(cShot* pShot);
    void FireBodyHitEvents(cCharaBase* pAttacker);
    void FireShotHitEvents(cShot* pShot);
    // 1 when the character stays (the stage was cleared meanwhile), 0 when it
    // is now defeated.
    int Defeat();
    // Removes every reference between this character and other objects.
    void UnlinkAll();
    // A solid character others stand on.
    bool IsSolid() const { return m_Data.m_bNoHitBox != 0; }

protected:
    // Steps the running flows once (the heart of RunFlows); true when the
    // character is to go at once (vanished or out of HP).
    bool StepFlowRuns(int bDeathOnly);
    // The end of RunFlows shared by both subclasses: removals and group
    // releases.
    void FinishFlowStep();
    // The start of RunFlows: per-step flags, the lock countdown.
    void BeginFlowStep();
    // The basic pattern after the flows: a command's request, else standing.
    void SetStandingAnim();

public:
    // Puts non-finite speeds to 0 and a non-finite position back where it
    // was saved, so nothing non-finite reaches the cells or an integer.
    void SanitizeMotion();

public:

    // What the walks over every character read and write each logic step,
    // together in the lines after the object's box and flags.
    int32_t m_bDead = 0;
    // Acts this frame (the activity pass; always for the hero).
    int32_t m_bActing = 0;
    int32_t m_bAirborne = 1;
    int32_t m_bJumping = 0;
    int32_t m_bHitLeft = 0, m_bHitRight = 0, m_bHitTop = 0, m_bHitBottom = 0;
    int32_t m_nInvTime = 0;
    std::list<INVAGAINST> m_lstInvAgainst;
    SAVEDPOS m_SavedPos;

    // A temporary copy (a probe) never unlinks others when it goes.
    int32_t m_bTempCopy = 0;

    // Links.
    std::vector<cObjRef> m_vecTarget;   // exactly 4: targets 1-4
    cObjRef m_lpParent;
    std::vector<CHARALINK> m_vecLink;
    std::vector<CHARACHILD> m_vecChild;
    int32_t m_bNotifyParent = 0;
    int32_t m_nNotifyFlowId = 0;

    // Definition and statuses; m_Data.m_vFlow (the character's own deep copy)
    // are its flows.
    cCharaData m_Data;

    // Flow state.
    int32_t m_nFlowSerial = 0;
    std::vector<cFlowRun> m_vecFlowRun;
    std::vector<uint8_t> m_vecFlowBlock;       // 27 entries, by exclusive group 1..26
    std::vector<uint8_t> m_vecFlowBlockNext;
    std::vector<uint8_t> m_vecFlowFired;
    int32_t m_bFlowBlockDirty = 0;
    int32_t m_bRemovePending = 0;

    // Placement.
    int16_t m_nCopyIndex = 0;
    double m_dStartX = 0, m_dStartY = 0;

    // Motion state.
    int32_t m_bAnimReq = 0;
    int32_t m_nAnimReq = 0;
    double m_dKnockX = 0, m_dKnockY = 0;
    int32_t m_bKnocked = 0;
    double m_dLastKnockY = 0;
    int32_t m_bNoGravity = 0;
    int32_t m_nLastSide = -1;
    int32_t m_bJumpTop = 0;
    int32_t m_bJumpHold = 0;
    int32_t m_nAirSteps = 0;
    int32_t m_nGroundCell = -1;       // index of the map cell under the feet, -1 in the air
    int32_t m_nLastGroundCell = -1;   // the last cell stood on
    int32_t m_nLockFrames = 0;
    int32_t m_nDeadFrames = 0;
    int32_t m_bPushed = 0;
    int32_t m_bRiding = 0;
    int32_t m_nRideId = 0;
    cObjRef m_Ride;
    double m_dRideX = 0, m_dRideY = 0;
    double m_dStopDecel = 0;   // the stop deceleration per step

    // Combat state.
    int32_t m_nHp = 0, m_nSp = 0;
    GAUGE m_HpGauge, m_SpGauge;
    std::vector<int32_t> m_vecVar;   // 9; v1..v8 are 1..8

    // Animation and effects.
    std::list<ANIMEQUEUE> m_lstAnimeQueue;
    cCharaEffectRun m_CharaEffect;
    double m_dEffectValue = 0;
    int32_t m_nEffectPhase = 0;
    int32_t m_nEffectBlink = 0;
    int32_t m_bVanish = 0;
    int32_t m_nSightDots = 0;
    // Hidden this frame (cleared by the flow step).
    int32_t m_bHideFrame = 0;
    // Set while the character's flows are being stepped.
    int32_t m_bSteppingFlows = 0;

    // Collision boxes: 1 character against character, 2 character against shot.
    HITBOX m_HitBox1, m_HitBox2;
    // A command mirrors its angles and offsets when set.
    uint8_t m_byMirrorState = 0;
    // The screen place pinned by a warp to screen coordinates: while a flag
    // is set the character is drawn with that screen left (top) whatever the
    // view does, until a movement command clears the flags.
    int32_t m_bScreenLockX = 0, m_bScreenLockY = 0;
    int32_t m_nScreenLockLeft = 0, m_nScreenLockTop = 0;
    void ClearScreenLock() { m_bScreenLockX = m_bScreenLockY = 0; }
    // The screen rectangle with the pinned left and top in place.
    void ApplyScreenLock() {
        if (m_bScreenLockX) {
            m_rcScreen.left = m_nScreenLockLeft;
            m_rcScreen.right = m_nScreenLockLeft + m_nFrameW - 1;
        }
        if (m_bScreenLockY) {
            m_rcScreen.top = m_nScreenLockTop;
            m_rcScreen.bottom = m_nScreenLockTop + m_nFrameH - 1;
        }
    }
};

// The first hero whose id is nId, else the first character with it, else null.
cCharaBase* FindChara(int nId);
// Unit conversions: hbl to dots, 1/100 dot per frame to a per-step rate.
inline int HblToDot(int8_t n) { return n * 16; }
double SpeedToStep(int16_t n);
// The sub-step count b of the stage being played (at least 1).
int StageSubSteps();
// The index 0..9 of the first of the ten direction entries down now.
int GetInputDir(const cInputState* pInput);
