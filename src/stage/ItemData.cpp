#include "stage/ItemData.h"

#include <algorithm>

#include "stage/BlockData.h"

cItemData::cItemData() {
    SetDefault();
}

void cItemData::SetDefault() {
    cRecord::Clear();
    m_vInheritFlag.assign(ITEM_INHERIT_GROUPS, 0);
    m_nGraphicSheet = 2;
    m_nGraphic = 0;
    m_bShowPicture = 1;
    m_nSize = 1;
    m_nOption = 6;
}

void cItemData::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    RegisterHead();
    AddField2(&m_nOffsetX);
    AddField2(&m_nOffsetY);
    AddField2(&m_nGraphic);
    AddField1(&m_nGraphicSheet);
    AddField2(&m_nGraphicRow);
    AddField1(&m_nOption);
    AddField1(&m_bNoDraw);
    AddField1(&m_nMarkDisp);
    AddField2(&m_nMark);
    // The picture flag precedes the take rule in the file.
    AddField1(&m_bShowPicture);
    AddField1(&m_nTakeRule);
    AddField1(&m_nSize);
    AddField2(&m_nSound);
}

#define COPY1(a) [](cItemData& d, const cItemData& s) { d.a = s.a; }

void (*const cItemData::pfnItemInherit[ITEM_INHERIT_GROUPS])(cItemData&, const cItemData&) = {
    /* 0 */ [](cItemData& d, const cItemData& s) { CopyNameGroup(d, s); },
    /* 1 */ [](cItemData& d, const cItemData& s) { CopyCondGroup(d, s); },
    /* 2 */ COPY1(m_nOffsetX),
    /* 3 */ COPY1(m_nOffsetY),
    /* 4 */ [](cItemData& d, const cItemData& s) {
        d.m_nGraphic = s.m_nGraphic;
        d.m_nGraphicSheet = s.m_nGraphicSheet;
        d.m_nGraphicRow = s.m_nGraphicRow;
    },
    /* 5 */ COPY1(m_nOption),
    /* 6 */ COPY1(m_bNoDraw),
    /* 7 */ [](cItemData& d, const cItemData& s) {
        d.m_nMarkDisp = s.m_nMarkDisp;
        d.m_nMark = s.m_nMark;
    },
    /* 8 */ COPY1(m_nSize),
    /* 9 */ COPY1(m_nTakeRule),
    /* 10 */ COPY1(m_bShowPicture),
    /* 11 */ COPY1(m_nSound),
    /* ITEM_CMD_GROUP */ COPY1(m_vCmd),
};

#undef COPY1

void cItemData::UpgradeFrom(uint32_t nVer) {
    if (nVer < 219 && m_nGraphicSheet == SHOT_SHEET)
        m_nGraphic = static_cast<int16_t>(std::min(m_nGraphic + 1, MAX_SHOT_GRAPHIC));
}

void cItemData::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadTail(fp, nullptr);
    ReadCmdList(m_vCmd, fp);
    UpgradeFrom(GetStageContext().FileVersion());
    // The commands normalised themselves as they were read; only commands
    // taken over from a palette entry are normalised again.
    const bool bMayInherit = m_nInheritNum != 0 && m_nInheritType != 0;
    ApplyInherit(fp);
    Normalize(bMayInherit);
}

void cItemData::Write(cDataFile* fp) {
    Normalize();
    cRecord::Write(fp);
    WriteTail(fp, nullptr);
    WriteCmdList(m_vCmd, fp);
}

void cItemData::ApplyInherit(cDataFile* fp) {
    ApplyInheritFrom<cItemData>(*this, &cStageContext::ItemPalette, pfnItemInherit, ITEM_INHERIT_GROUPS, fp);
}

uint64_t cItemData::InheritedBytes(const cItemData& src) const {
    const uint64_t n = HeadInheritedBytes(src, 0, 1);
    if (!InheritsGroup(ITEM_CMD_GROUP)) return n;
    const uint64_t nCmds = CmdListBytes(src.m_vCmd);
    return nCmds > UINT64_MAX - n ? UINT64_MAX : n + nCmds;
}

void cItemData::Normalize(bool bCmds) {
    const cStageContext& ctx = GetStageContext();
    NormalizeInheritRef(ctx.ItemPaletteSize(PALETTE_COMMON), ctx.ItemPaletteSize(PALETTE_STAGE));
    if (static_cast<int8_t>(m_nSize) <= 0) m_nSize = 1;
    if (!IndexInList(m_nSound, ctx.DatabaseCount(DBLIST_SOUND))) m_nSound = 0;
    if (bCmds)
        for (cEdCmd& c : m_vCmd) c.Normalize();
}

void cItemData::NormalizeRefs() {
    for (cEdCmd& c : m_vCmd) c.NormalizePalette();
}

const cItemData* GetItemPaletteEntry(uint8_t nType, int16_t nIndex) {
    if (nType != PALETTE_COMMON && nType != PALETTE_STAGE) return nullptr;
    const cChkVector<cItemData>* pList = GetStageContext().ItemPalette(nType);
    if (!pList || !IndexInList(nIndex, static_cast<int>(pList->size()))) return nullptr;
    return &(*pList)[nIndex];
}
