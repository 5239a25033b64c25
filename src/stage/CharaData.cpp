#include "stage/CharaData.h"

#include <algorithm>

#include "stage/BlockData.h"

cCharaData::cCharaData() {
    SetDefault();
}

void cCharaData::SetDefault() {
    m_nDropItem = 0;
    cRecord::Clear();
    m_vInheritFlag.assign(CHARA_INHERIT_GROUPS, 0);
    m_nGraphicSheet = 1;
    m_nZ = 3;
    m_nStartEffectValue = 1;
    m_nOperator = 1;
    m_nGroup = 1;
    m_bFixDir = 1;
    m_nGiant = 1;
    m_nMaxHp = 10;
    m_nStop = 10;
    m_nOption = 1;
}

void cCharaData::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    RegisterHead();
    AddField1(&m_nDir);
    AddField1(&m_nRepeat);
    AddField2(&m_nShiftX);
    AddField2(&m_nShiftStepX);
    AddField2(&m_nShiftY);
    AddField2(&m_nShiftStepY);
    AddField1(&m_bMirrorShiftX);
    AddField1(&m_bMirrorShiftY);
    AddField2(&m_nGraphic);
    AddField1(&m_nGraphicSheet);
    AddField2(&m_nGraphicRow);
    AddField2(&m_nAnimSet);
    AddField1(&m_nZ);
    AddField1(&m_bTrans);
    AddField2(&m_nStartEffect);
    if (VerFrom(v, 196)) AddField1(&m_nStartEffectSrc);
    AddField1(&m_nStartEffectValue);
    AddField2(&m_nDefeatEffect);
    if (VerFrom(v, 196)) AddField1(&m_nDefeatEffectSrc);
    AddField1(&m_nMarkDisp);
    AddField2(&m_nMark);
    AddField1(&m_nOperator);
    AddField1(&m_nPlayer);
    AddField1(&m_nGroup);
    AddField1(&m_nCharaId);
    AddField1(&m_nFlight);
    AddField1(&m_bFixDir);
    AddField1(&m_nInvincible);
    if (VerFrom(v, 285)) AddField1(&m_nInvincibleTint);
    AddField1(&m_bNoHitBox);
    AddField1(&m_nGiant);
    if (VerFrom(v, 210)) AddField1(&m_bScrollSync);
    AddField1(&m_nSightShape);
    AddField1(&m_nSight);
    AddField4(&m_nMaxHp);
    AddField4(&m_nMaxSp);
    AddField2(&m_nStop);
    if (VerFrom(v, 201)) AddField1(&m_nHitArea);
    AddField4(&m_nPower);
    AddField1(&m_nImpact);
    AddField2(&m_nHitEffect);
    if (VerFrom(v, 168)) AddField4(&m_nDefence);
    AddField1(&m_nImpactResist);
    AddField4(&m_nScore);
    AddField1(&m_nOption);
    AddField1(&m_bLinked);
    AddField2(&m_nLinkFlag);
    AddField1(&m_nActRange);
    AddField1(&m_nActRule);
}

#define COPY1(a) [](cCharaData& d, const cCharaData& s) { d.a = s.a; }
#define COPY2(a, b) [](cCharaData& d, const cCharaData& s) { d.a = s.a; d.b = s.b; }
#define COPY3(a, b, c) [](cCharaData& d, const cCharaData& s) { d.a = s.a; d.b = s.b; d.c = s.c; }

void (*const cCharaData::pfnCharaInherit[CHARA_INHERIT_GROUPS])(cCharaData&, const cCharaData&) = {
    /* 0 */ [](cCharaData& d, const cCharaData& s) { CopyNameGroup(d, s); },
    /* 1 */ COPY2(m_nOperator, m_nPlayer),
    /* 2 */ COPY1(m_nGroup),
    /* 3 */ COPY1(m_nCharaId),
    /* 4 */ [](cCharaData& d, const cCharaData& s) { CopyCondGroup(d, s); },
    /* 5 */ COPY1(m_nDir),
    /* 6 */ COPY1(m_nRepeat),
    /* 7 */ COPY3(m_nShiftX, m_nShiftStepX, m_bMirrorShiftX),
    /* 8 */ COPY3(m_nShiftY, m_nShiftStepY, m_bMirrorShiftY),
    /* 9 */ COPY3(m_nGraphic, m_nGraphicSheet, m_nGraphicRow),
    /* 10 */ COPY1(m_nAnimSet),
    /* 11 */ COPY1(m_nZ),
    /* 12 */ COPY1(m_bTrans),
    /* 13 */ COPY3(m_nStartEffect, m_nStartEffectSrc, m_nStartEffectValue),
    /* 14 */ COPY2(m_nDefeatEffect, m_nDefeatEffectSrc),
    /* 15 */ COPY2(m_nMarkDisp, m_nMark),
    /* 16 */ COPY1(m_bFixDir),
    /* 17 */ COPY1(m_nFlight),
    /* 18 */ COPY2(m_nInvincible, m_nInvincibleTint),
    /* 19 */ COPY1(m_bNoHitBox),
    /* 20 */ COPY1(m_nGiant),
    /* 21 */ COPY1(m_bScrollSync),
    /* 22 */ COPY2(m_nSightShape, m_nSight),
    /* 23 */ COPY1(m_nMaxHp),
    /* 24 */ COPY1(m_nMaxSp),
    /* 25 */ COPY1(m_nHitArea),
    /* 26 */ COPY1(m_nPower),
    /* 27 */ COPY1(m_nImpact),
    /* 28 */ COPY1(m_nHitEffect),
    /* 29 */ COPY1(m_nDefence),
    /* 30 */ COPY1(m_nImpactResist),
    /* 31 */ COPY1(m_nStop),
    /* 32 */ COPY2(m_nActRange, m_nActRule),
    /* 33 */ COPY2(m_bLinked, m_nLinkFlag),
    /* 34 */ COPY1(m_nScore),
    /* 35 */ COPY1(m_nOption),
    /* 36 */ [](cCharaData& d, const cCharaData& s) {
        if (&d != &s) d.m_vFlow = s.m_vFlow;
        // An empty list receives one blank flow, which Normalize removes.
        if (d.m_vFlow.empty()) d.m_vFlow.resize(1);
    },
};

#undef COPY1
#undef COPY2
#undef COPY3

namespace {
struct CHARAREPAIR {
    uint32_t nBelow;
    void (*pfn)(cCharaData& c);
};
}  // namespace

namespace {
// Groups that a version added are inserted at their position and inherited
// by default; the three insertions must run in this order.
const CHARAREPAIR aCharaRepair[] = {
    {168, [](cCharaData& c) { c.m_nDefence = 0; c.InsertInheritFlag(27, CHARA_INHERIT_GROUPS); }},
    {196, [](cCharaData& c) { c.m_nStartEffectSrc = 0; c.m_nDefeatEffectSrc = 0; }},
    {201, [](cCharaData& c) { c.m_nHitArea = 0; c.InsertInheritFlag(24, CHARA_INHERIT_GROUPS); }},
    {206, [](cCharaData& c) { if (static_cast<int8_t>(c.m_nHitArea) >= 2) c.m_nHitArea++; }},
    {210, [](cCharaData& c) { c.m_bScrollSync = 0; c.InsertInheritFlag(21, CHARA_INHERIT_GROUPS); }},
    {219, [](cCharaData& c) {
         if (c.m_nGraphicSheet == SHOT_SHEET)
             c.m_nGraphic = static_cast<int16_t>(std::min(c.m_nGraphic + 1, MAX_SHOT_GRAPHIC));
     }},
    {285, [](cCharaData& c) { c.m_nInvincibleTint = 1; }},
};
}  // namespace

void cCharaData::UpgradeFrom(uint32_t nVer) {
    if (!(nVer < DATA_VERSION)) return;
    for (const CHARAREPAIR& r : aCharaRepair)
        if (nVer < r.nBelow) r.pfn(*this);
}

void cCharaData::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadTail(fp, &m_nDropItem);
    ReadFlowList(m_vFlow, fp);
    DropTestFlowsUnlessKept(m_vFlow);
    UpgradeFrom(GetStageContext().FileVersion());
    // The flows' commands normalised themselves as they were read; only
    // flows taken over from a palette entry are normalised again.
    const bool bMayInherit = m_nInheritNum != 0 && m_nInheritType != 0;
    ApplyInherit(fp);
    Normalize(bMayInherit);
}

void cCharaData::Write(cDataFile* fp) {
    Normalize();
    cRecord::Write(fp);
    WriteTail(fp, &m_nDropItem);
    WriteFlowList(m_vFlow, fp);
}

void cCharaData::ApplyInherit(cDataFile* fp) {
    ApplyInheritFrom<cCharaData>(*this, &cStageContext::CharaPalette, pfnCharaInherit, CHARA_INHERIT_GROUPS, fp);
}

uint64_t cCharaData::InheritedBytes(const cCharaData& src) const {
    const uint64_t n = HeadInheritedBytes(src, 0, 4);
    if (!InheritsGroup(CHARA_FLOW_GROUP)) return n;
    const uint64_t nFlows = FlowListBytes(src.m_vFlow);
    return nFlows > UINT64_MAX - n ? UINT64_MAX : n + nFlows;
}

void cCharaData::Normalize(bool bFlowCmds) {
    const cStageContext& ctx = GetStageContext();
    NormalizeInheritRef(ctx.CharaPaletteSize(PALETTE_COMMON), ctx.CharaPaletteSize(PALETTE_STAGE));
    if (m_nGraphicSheet == DEDICATED_BMP_SHEET && !IndexInList(m_nGraphic, ctx.DatabaseCount(DBLIST_BMP_CHARAEXC)))
        m_nGraphic = 1;
    if (static_cast<int8_t>(m_nGiant) <= 0) m_nGiant = 1;
    if (!IndexInList(m_nAnimSet, ctx.DatabaseCount(DBLIST_ANIMESET))) m_nAnimSet = 0;
    if (!IndexInList(m_nStartEffect, ctx.DatabaseCount(DBLIST_CHARAEFFECT))) m_nStartEffect = 0;
    if (!IndexInList(m_nDefeatEffect, ctx.DatabaseCount(DBLIST_CHARAEFFECT))) m_nDefeatEffect = 0;
    if (!IndexInList(m_nHitEffect, ctx.DatabaseCount(DBLIST_EFFECT))) m_nHitEffect = 0;
    if (m_nOperator == 0) {
        m_bNoHitBox = 0;
        m_nRepeat = 0;
    }
    if (bFlowCmds)
        for (cFlow& f : m_vFlow) f.Normalize();
    // Blank flows go in one pass (a file may hold tens of thousands).
    m_vFlow.erase(std::remove_if(m_vFlow.begin(), m_vFlow.end(), [](const cFlow& f) { return f.IsBlank(); }),
                  m_vFlow.end());
}

void cCharaData::NormalizeRefs() {
    for (cFlow& f : m_vFlow) f.NormalizePalette();
}

double cCharaData::GetGroupShiftX(int n, int nDir) const {
    double x = static_cast<double>(static_cast<int64_t>(n) * m_nShiftStepX + m_nShiftX);
    return (nDir == 1 && m_bMirrorShiftX) ? -x : x;
}

double cCharaData::GetGroupShiftY(int n, int nDir) const {
    double y = static_cast<double>(static_cast<int64_t>(n) * m_nShiftStepY + m_nShiftY);
    return (nDir == 1 && m_bMirrorShiftY) ? -y : y;
}

int cCharaData::GetDropItem(int nItemCount) const {
    return IndexInList(m_nDropItem, nItemCount) ? m_nDropItem : -1;
}
