#pragma once
// The optional records of a command: movement parameters (cEdMove), shot,
// sword and summon parameters (cEdShot) and the command's own conditions
// (cCondList). Each belongs to exactly one command; copying a command copies
// them (see cOwnedPtr).
#include <cstdint>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "stage/Cond.h"

class cCondList : public cRecord {
public:
    cCondList() { Clear(); }

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;

    uint8_t m_bUse = 0;
    uint8_t m_nMode = 0;
    cChkVector<cCond> m_vCond;
};

class cEdMove : public cRecord {
public:
    cEdMove() { Clear(); SetDefault(); }

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    // The defaults of a new record over a cleared one.
    void SetDefault();
    void UpgradeFrom(uint32_t nVer);

    uint8_t m_nMode = 0;
    uint8_t m_nDir = 0;
    int16_t m_nAngle = 0;
    int16_t m_nAngleInc = 0;
    uint8_t m_bMirrorAngle = 0;
    uint8_t m_bUseX = 0;
    uint8_t m_bUseY = 0;
    int16_t m_nTargetXBl = 0;
    int16_t m_nTargetYBl = 0;
    int16_t m_nTargetXDot = 0;
    int16_t m_nTargetYDot = 0;
    uint8_t m_nCoord = 0;
    uint8_t m_bArrival = 0;
    uint8_t m_bLockX = 0;
    uint8_t m_bLockY = 0;
    uint8_t m_bMirrorX = 0;
    uint8_t m_bMirrorY = 0;
    uint8_t m_bFollowTurn = 0;
    uint8_t m_bStopAtTarget = 0;
    uint8_t m_bMoveOption = 0;
    uint8_t m_nTimeSpeed = 0;
    int16_t m_nSpeed = 0;
    int16_t m_nSpeedInc = 0;
    int16_t m_nDist = 0;
    int16_t m_nDistInc = 0;
    uint8_t m_nDistUnit = 0;
    int16_t m_nHoming = 0;
    int16_t m_nHomingInc = 0;
    uint8_t m_bInertia = 0;
    int16_t m_nAccel = 0;
    double m_dMoveFactor = 0.0;
    uint8_t m_nAnimeKind = 0;
    uint8_t m_nTarget = 0;
};

// Fields without a meaning of their own in the file are named after what
// the shot, sword and summon code does with them.
class cEdShot : public cRecord {
public:
    cEdShot() { Clear(); SetDefault(); }

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    void SetDefault();
    void UpgradeFrom(uint32_t nVer);
    // Size at least 1; effect number inside the Effect list or 0.
    void Normalize();

    // Launch offset of object n; dir 1 is facing right.
    double GetShiftX(int n, int dir) const;
    double GetShiftY(int n, int dir) const;

    uint8_t m_nCount = 0;
    uint8_t m_nFormation = 0;
    int16_t m_anFormParam[3] = {0, 0, 0};
    uint8_t m_nAimAt = 0;
    uint8_t m_nDir = 0;
    uint8_t m_bAimTarget = 0;
    uint8_t m_nTargetA = 0;
    int16_t m_nAngle = 0;
    int16_t m_nAngleInc = 0;
    uint8_t m_bMirrorAngle = 0;
    int16_t m_nSpread = 0;
    uint8_t m_bRotate = 0;
    uint8_t m_nClones = 0;
    int16_t m_nShiftX = 0;
    int16_t m_nShiftXInc = 0;
    int16_t m_nShiftY = 0;
    int16_t m_nShiftYInc = 0;
    uint8_t m_bMirrorShiftX = 0;
    uint8_t m_bMirrorShiftY = 0;
    int16_t m_nGraphic = 0;
    uint8_t m_nZ = 0;
    uint8_t m_bHidden = 0;
    uint8_t m_bOwnerGroup = 0;
    uint8_t m_nFaction = 0;
    uint8_t m_byShotOpt3 = 0;
    uint8_t m_nSize = 0;
    uint8_t m_byShotOpt4 = 0;
    uint8_t m_nType = 0;
    int16_t m_anOrbitParam[3] = {0, 0, 0};
    uint8_t m_nTargetB = 0;
    uint8_t m_bScrollSync = 0;
    int16_t m_nSpeed = 0;
    int16_t m_nSpeedInc = 0;
    uint8_t m_bAccel = 0;
    int16_t m_nAccel = 0;
    int16_t m_nAccelInc = 0;
    uint8_t m_bRangeLimit = 0;
    int16_t m_nRange = 0;
    int16_t m_nRangeInc = 0;
    uint8_t m_bStopAtRange = 0;
    uint8_t m_bLifeLimit = 0;
    int16_t m_nLife = 0;
    int16_t m_nLifeInc = 0;
    uint8_t m_bPassBlock = 0;
    uint8_t m_bPierceChara = 0;
    uint8_t m_bPierceBlockChara = 0;
    uint8_t m_bShotClash = 0;
    uint8_t m_nVanish = 0;
    int32_t m_nPower = 0;
    int16_t m_nShotValue = 0;
    int8_t m_nImpact = 0;
    int16_t m_nEffect = 0;
    uint8_t m_nItemPalette = 0;
    int16_t m_nItemNum = 0;
    uint8_t m_nBlockMode = 0;
    uint8_t m_nPalette = 0;
    int16_t m_nNum = 0;
    uint8_t m_nSummonGroup = 0;
    uint8_t m_bHeroOverlap = 0;
    uint8_t m_bCharaOverlap = 0;
    uint8_t m_bSummonSwitch = 0;
    uint8_t m_bReverseDir = 0;
    uint8_t m_bCreditAttacker = 0;
    uint8_t m_nCreditParam = 0;
};

#include "stage/OwnedPtr.h"

// Factories: a new default record in p (what p held is released).
inline void NewEdMove(cOwnedPtr<cEdMove>& p) { p.MakeNew(); }
inline void NewEdShot(cOwnedPtr<cEdShot>& p) { p.MakeNew(); }
inline void NewCondList(cOwnedPtr<cCondList>& p) { p.MakeNew(); }
// Copies: dst gets its own copy of src's record, or none when src has none.
inline void CopyEdMove(cOwnedPtr<cEdMove>& dst, const cOwnedPtr<cEdMove>& src) { dst = src; }
inline void CopyEdShot(cOwnedPtr<cEdShot>& dst, const cOwnedPtr<cEdShot>& src) { dst = src; }
inline void CopyCondList(cOwnedPtr<cCondList>& dst, const cOwnedPtr<cCondList>& src) { dst = src; }
