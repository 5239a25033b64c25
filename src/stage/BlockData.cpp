#include "stage/BlockData.h"

#include <algorithm>

#include "stage/ItemData.h"

cBlockData::cBlockData() {
    Clear();
    m_nHit = 1;
    m_nPassGroup = 255;
    m_nInheritNum = 0;
    m_vInheritFlag.assign(BLOCK_INHERIT_GROUPS, 0);
}

void cBlockData::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    RegisterHead();
    AddField2(&m_nGraphic);
    AddField1(&m_nGraphicSheet);
    AddField2(&m_nGraphicRow);
    AddField1(&m_nLayer);
    AddField1(&m_bNoDraw);
    AddField1(&m_nMarkDisp);
    AddField2(&m_nMark);
    AddField1(&m_nHit);
    AddField1(&m_nPassGroup);
    AddField1(&m_nEffect);
    AddField4(&m_nEffectValue);
    AddField1(&m_nItemType);
    AddField2(&m_nItemNum);
    AddField1(&m_bNoReplace);
}

void (*const cBlockData::pfnBlockInherit[BLOCK_INHERIT_GROUPS])(cBlockData&, const cBlockData&) = {
    [](cBlockData& d, const cBlockData& s) { CopyNameGroup(d, s); },
    [](cBlockData& d, const cBlockData& s) { CopyCondGroup(d, s); },
    [](cBlockData& d, const cBlockData& s) {
        d.m_nGraphicSheet = s.m_nGraphicSheet;
        d.m_nGraphic = s.m_nGraphic;
        d.m_nGraphicRow = s.m_nGraphicRow;
    },
    [](cBlockData& d, const cBlockData& s) { d.m_nLayer = s.m_nLayer; },
    [](cBlockData& d, const cBlockData& s) { d.m_bNoDraw = s.m_bNoDraw; },
    [](cBlockData& d, const cBlockData& s) {
        d.m_nMarkDisp = s.m_nMarkDisp;
        d.m_nMark = s.m_nMark;
    },
    [](cBlockData& d, const cBlockData& s) { d.m_nHit = s.m_nHit; },
    [](cBlockData& d, const cBlockData& s) { d.m_nPassGroup = s.m_nPassGroup; },
    [](cBlockData& d, const cBlockData& s) {
        d.m_nEffect = s.m_nEffect;
        d.m_nEffectValue = s.m_nEffectValue;
    },
    [](cBlockData& d, const cBlockData& s) {
        d.m_nItemType = s.m_nItemType;
        d.m_nItemNum = s.m_nItemNum;
    },
    [](cBlockData& d, const cBlockData& s) { d.m_bNoReplace = s.m_bNoReplace; },
};

void cBlockData::UpgradeFrom(uint32_t nVer) {
    // The shot sheet gained a picture at the front.
    if (nVer < 219 && m_nGraphicSheet == SHOT_SHEET)
        m_nGraphic = static_cast<int16_t>(std::min(m_nGraphic + 1, MAX_SHOT_GRAPHIC));
}

void cBlockData::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadTail(fp, nullptr);
    UpgradeFrom(GetStageContext().FileVersion());
    ApplyInherit(fp);
    Normalize();
}

void cBlockData::Write(cDataFile* fp) {
    Normalize();
    cRecord::Write(fp);
    WriteTail(fp, nullptr);
}

void cBlockData::ApplyInherit(cDataFile* fp) {
    ApplyInheritFrom<cBlockData>(*this, &cStageContext::BlockPalette, pfnBlockInherit, BLOCK_INHERIT_GROUPS, fp);
}

uint64_t cBlockData::InheritedBytes(const cBlockData& src) const {
    return HeadInheritedBytes(src, 0, 1);
}

void cBlockData::Normalize() {
    const cStageContext& ctx = GetStageContext();
    NormalizeInheritRef(ctx.BlockPaletteSize(PALETTE_COMMON), ctx.BlockPaletteSize(PALETTE_STAGE));
    if (m_nGraphic == 0) {
        m_nHit = 0;
        m_bNoReplace = 0;
    }
}

void cBlockData::NormalizeRefs() {
    if (m_nItemType != PALETTE_COMMON && m_nItemType != PALETTE_STAGE) return;
    if (!GetStageContext().ChecksPalette(m_nItemType)) return;
    if (!IndexInList(m_nItemNum, GetStageContext().ItemPaletteSize(m_nItemType))) {
        m_nItemType = 0;
        m_nItemNum = 0;
    }
}
