#pragma once
// A character: palette entry, placed character, template of a summoned one
// and the state record that every live character embeds (its variable
// statuses are fields here). Its list is the character's flows.
#include <cstdint>

#include "stage/Flow.h"
#include "stage/PlaceData.h"

constexpr int CHARA_INHERIT_GROUPS = 37;
constexpr int CHARA_FLOW_GROUP = 36;       // the flows' inheritance group
constexpr int DEDICATED_BMP_SHEET = 4;

class cCharaData : public cPlaceData {
public:
    cCharaData();

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    // Takes the flagged groups from the palette entry; fp: the file being
    // read, charged with what the copy builds.
    void ApplyInherit(cDataFile* fp = nullptr);
    // What taking the flagged groups from src builds in memory.
    uint64_t InheritedBytes(const cCharaData& src) const;
    // Own fields inside their lists, blank flows removed and, with
    // bFlowCmds, every flow's commands normalised.
    void Normalize(bool bFlowCmds = true);
    void NormalizeRefs();
    // The record base's Clear, 37 zero flags and the defaults; position,
    // conditions and flows stay.
    void SetDefault();
    void UpgradeFrom(uint32_t nVer);

    // Offset in dots of copy n of a placement; nDir 1 mirrors when the
    // mirror flag is set.
    double GetGroupShiftX(int n, int nDir) const;
    double GetGroupShiftY(int n, int nDir) const;
    // The carried item's index in an item placement list of nItemCount
    // entries; -1 for none or out of range.
    int GetDropItem(int nItemCount) const;
    // A player placement that draws something.
    bool IsHeroPlacement() const { return m_nGraphic != 0 && m_nOperator == 0; }

    int32_t m_nDropItem = 0;        // index in the stage's item placements; -1 none
    uint8_t m_nDir = 0;
    uint8_t m_nRepeat = 0;
    int16_t m_nShiftX = 0;
    int16_t m_nShiftStepX = 0;
    int16_t m_nShiftY = 0;
    int16_t m_nShiftStepY = 0;
    uint8_t m_bMirrorShiftX = 0;
    uint8_t m_bMirrorShiftY = 0;
    int16_t m_nGraphic = 0;
    uint8_t m_nGraphicSheet = 1;
    int16_t m_nGraphicRow = 0;
    int16_t m_nAnimSet = 0;
    uint8_t m_nZ = 3;
    uint8_t m_bTrans = 0;
    int16_t m_nStartEffect = 0;
    int8_t m_nStartEffectSrc = 0;
    uint8_t m_nStartEffectValue = 1;
    int16_t m_nDefeatEffect = 0;
    int8_t m_nDefeatEffectSrc = 0;
    uint8_t m_nMarkDisp = 0;
    int16_t m_nMark = 0;
    uint8_t m_nOperator = 1;        // 0 a player, 1 the computer
    int8_t m_nPlayer = 0;
    uint8_t m_nGroup = 1;
    uint8_t m_nCharaId = 0;
    uint8_t m_nFlight = 0;
    uint8_t m_bFixDir = 1;
    uint8_t m_nInvincible = 0;
    uint8_t m_nInvincibleTint = 0;
    uint8_t m_bNoHitBox = 0;
    uint8_t m_nGiant = 1;
    uint8_t m_bScrollSync = 0;
    uint8_t m_nSightShape = 0;
    uint8_t m_nSight = 0;
    int32_t m_nMaxHp = 10;
    int32_t m_nMaxSp = 0;
    int16_t m_nStop = 10;
    uint8_t m_nHitArea = 0;
    int32_t m_nPower = 0;
    int8_t m_nImpact = 0;
    int16_t m_nHitEffect = 0;
    int32_t m_nDefence = 0;
    uint8_t m_nImpactResist = 0;
    int32_t m_nScore = 0;
    uint8_t m_nOption = 1;
    uint8_t m_bLinked = 0;
    int16_t m_nLinkFlag = 0;
    uint8_t m_nActRange = 0;
    uint8_t m_nActRule = 0;
    cChkVector<cFlow> m_vFlow;

    static void (*const pfnCharaInherit[CHARA_INHERIT_GROUPS])(cCharaData&, const cCharaData&);
};
