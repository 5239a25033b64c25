#pragma once
// A block: one 32 x 32 cell of a stage's map, as a palette entry or a placed
// block. Game play keeps a copy of it in every map cell.
#include <cstdint>

#include "stage/PlaceData.h"

constexpr int BLOCK_INHERIT_GROUPS = 11;
constexpr int SHOT_SHEET = 3;          // graphic sheet of the shots
constexpr int MAX_SHOT_GRAPHIC = 119;

class cBlockData : public cPlaceData {
public:
    cBlockData();

    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    // Takes the flagged groups from the palette entry; fp: the file being
    // read, charged with what the copy builds.
    void ApplyInherit(cDataFile* fp = nullptr);
    // What taking the flagged groups from src builds in memory.
    uint64_t InheritedBytes(const cBlockData& src) const;
    void Normalize();
    void NormalizeRefs();
    void UpgradeFrom(uint32_t nVer);

    int16_t m_nGraphic = 0;        // 0: no picture
    uint8_t m_nGraphicSheet = 0;   // 0 block, 1 character, 2 item, 3 shot, 4 dedicated bitmaps
    int16_t m_nGraphicRow = 0;
    uint8_t m_nLayer = 0;          // 0 under the characters, 1 over them
    uint8_t m_bNoDraw = 0;
    uint8_t m_nMarkDisp = 0;       // 0 hidden, 1 shown, 2 editor only
    int16_t m_nMark = 0;
    uint8_t m_nHit = 1;            // 0 none, 1 solid, 2 instant death for the hero
    uint8_t m_nPassGroup = 255;    // group 0..7 that passes through; 255 none
    int8_t m_nEffect = 0;          // 0 none, 1 jump, 2 no jump, 3 speed %, 4 push left, 5 push right
    int32_t m_nEffectValue = 0;
    uint8_t m_nItemType = 0;       // attached item: 0 none, 1 common, 2 stage palette
    int16_t m_nItemNum = 0;
    uint8_t m_bNoReplace = 0;

    // Group copiers in flag order.
    static void (*const pfnBlockInherit[BLOCK_INHERIT_GROUPS])(cBlockData&, const cBlockData&);
};
