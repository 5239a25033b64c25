#pragma once
// An item: palette entry, placed item, template of a summoned or dropped one
// and the record every item object embeds. Its list is the commands that run
// on the hero who takes it.
#include <cstdint>

#include "stage/Flow.h"
#include "stage/PlaceData.h"

constexpr int ITEM_INHERIT_GROUPS = 13;
constexpr int ITEM_CMD_GROUP = 12;         // the commands' inheritance group

class cItemData : public cPlaceData {
public:
    cItemData();

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    // Takes the flagged groups from the palette entry; fp: the file being
    // read, charged with what the copy builds.
    void ApplyInherit(cDataFile* fp = nullptr);
    // What taking the flagged groups from src builds in memory.
    uint64_t InheritedBytes(const cItemData& src) const;
    // Own fields inside their lists and, with bCmds, every command
    // normalised.
    void Normalize(bool bCmds = true);
    void NormalizeRefs();
    // The record base's Clear, 13 zero flags and the defaults; position,
    // conditions and commands stay.
    void SetDefault();
    void UpgradeFrom(uint32_t nVer);

    int16_t m_nOffsetX = 0;
    int16_t m_nOffsetY = 0;
    int16_t m_nGraphic = 0;
    uint8_t m_nGraphicSheet = 2;
    int16_t m_nGraphicRow = 0;
    uint8_t m_nOption = 6;
    uint8_t m_bNoDraw = 0;
    uint8_t m_nMarkDisp = 0;
    int16_t m_nMark = 0;
    uint8_t m_nTakeRule = 0;        // 0 once, 1 any number of times, 2 never
    uint8_t m_bShowPicture = 1;
    uint8_t m_nSize = 1;
    int16_t m_nSound = 0;
    cChkVector<cEdCmd> m_vCmd;

    static void (*const pfnItemInherit[ITEM_INHERIT_GROUPS])(cItemData&, const cItemData&);
};

// The item palette entry a block or a character refers to: type 1 the common
// palette, 2 the stage palette; null for any other type or an index outside
// the list.
const cItemData* GetItemPaletteEntry(uint8_t nType, int16_t nIndex);
