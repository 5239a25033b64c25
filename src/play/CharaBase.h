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
class cJumpRun;

class cCharaBase : public cObj {
public:
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
    virtual int GetDropItem() { return -1; }
    virtual int ClampX() { return 0; }
    virtual int ClampY() { return 0; }
    virtual int MoveX() { return 0; }
    virtual int MoveY() { return 0; }
    virtual int RunFlows(int bDeathOnly) { (void)bDeathOnly; return 0; }
    virtual void DoJump(cJumpRun* pJumpRun) { (void)pJumpRun; }

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
    int32_t m_bAirborne = 1;
    int32_t m_bJumpTop = 0;
    int32_t m_bJumping = 0;
    int32_t m_bJumpHold = 0;
    int32_t m_nAirSteps = 0;
    int32_t m_nGroundCell = -1;       // index of the map cell under the feet, -1 in the air
    int32_t m_nLastGroundCell = -1;   // the last cell stood on
    int32_t m_nLockFrames = 0;
    int32_t m_bDead = 0;
    int32_t m_nDeadFrames = 0;
    int32_t m_bHitLeft = 0, m_bHitRight = 0, m_bHitTop = 0, m_bHitBottom = 0;
    int32_t m_bPushed = 0;
    int32_t m_bRiding = 0;
    int32_t m_nRideId = 0;
    cObjRef m_Ride;
    double m_dRideX = 0, m_dRideY = 0;
    SAVEDPOS m_SavedPos;
    double m_dStopDecel = 0;   // the stop deceleration per step

    // Combat state.
    int32_t m_nHp = 0, m_nSp = 0;
    GAUGE m_HpGauge, m_SpGauge;
    std::vector<int32_t> m_vecVar;   // 9; v1..v8 are 1..8
    int32_t m_nInvTime = 0;
    std::list<INVAGAINST> m_lstInvAgainst;

    // Animation and effects.
    std::list<ANIMEQUEUE> m_lstAnimeQueue;
    cCharaEffectRun m_CharaEffect;
    double m_dEffectValue = 0;
    int32_t m_nEffectPhase = 0;
    int32_t m_nEffectBlink = 0;
    int32_t m_bVanish = 0;
    int32_t m_nSightDots = 0;
};
