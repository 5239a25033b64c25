#include "stage/CmdSubRecords.h"

#include "stage/EffectVocabulary.h"
#include "stage/StageContext.h"

// ---- cCondList ----

void cCondList::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField1(&m_bUse);
    AddField1(&m_nMode);
}

void cCondList::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (VerFrom(GetStageContext().FileVersion(), 766)) ReadCondList(m_vCond, fp);
    else m_vCond.clear();
}

void cCondList::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteCondList(m_vCond, fp);
}

// ---- cEdMove ----

void cEdMove::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    AddField1(&m_nMode);
    AddField1(&m_nDir);
    AddField2(&m_nAngle);
    AddField2(&m_nAngleInc);
    if (VerFrom(v, 158)) AddField1(&m_bMirrorAngle);
    AddField1(&m_bUseX);
    AddField1(&m_bUseY);
    AddField2(&m_nTargetXBl);
    AddField2(&m_nTargetYBl);
    AddField2(&m_nTargetXDot);
    AddField2(&m_nTargetYDot);
    AddField1(&m_nCoord);
    AddField1(&m_bArrival);
    AddField1(&m_bLockX);
    AddField1(&m_bLockY);
    AddField1(&m_bMirrorX);
    AddField1(&m_bMirrorY);
    AddField1(&m_bFollowTurn);
    AddField1(&m_bStopAtTarget);
    if (VerFrom(v, 162)) AddField1(&m_bMoveOption);
    AddField1(&m_nTimeSpeed);
    AddField2(&m_nSpeed);
    AddField2(&m_nSpeedInc);
    AddField2(&m_nDist);
    AddField2(&m_nDistInc);
    if (VerFrom(v, 159)) AddField1(&m_nDistUnit);
    AddField2(&m_nHoming);
    AddField2(&m_nHomingInc);
    AddField1(&m_bInertia);
    AddField2(&m_nAccel);
    AddField8(&m_dMoveFactor);
    if (VerFrom(v, 162)) AddField1(&m_nAnimeKind);
    if (VerFrom(v, 767)) AddField1(&m_nTarget);
}

void cEdMove::SetDefault() {
    m_nSpeed = 10;
    m_bUseX = 1;
    m_bUseY = 1;
    m_bArrival = 1;
    m_bMirrorAngle = 1;
    m_bMirrorX = 1;
    m_bFollowTurn = 1;
    m_dMoveFactor = 1.0;
}

namespace {
struct MOVEREPAIR {
    uint32_t nBelow;
    void (*pfn)(cEdMove& m);
};
const MOVEREPAIR aMoveRepair[] = {
    {158, [](cEdMove& m) { m.m_bMirrorAngle = 0; }},
    {159, [](cEdMove& m) { m.m_nDistUnit = 0; }},
    {162, [](cEdMove& m) { m.m_bMoveOption = 0; m.m_nAnimeKind = 0; }},
    // The standing animation was inserted at 1.
    {830, [](cEdMove& m) { if (m.m_nAnimeKind == 1) m.m_nAnimeKind = 2; }},
};

struct SHOTREPAIR {
    uint32_t nBelow;
    void (*pfn)(cEdShot& s);
};
const SHOTREPAIR aShotRepair[] = {
    {158, [](cEdShot& s) { s.m_bMirrorAngle = 0; }},
    {197, [](cEdShot& s) { s.m_bCharaOverlap = s.m_bHeroOverlap; }},
    {212, [](cEdShot& s) { s.m_bScrollSync = IsHomingOrbit(s.m_nType) ? 1 : 0; }},
    {213, [](cEdShot& s) { s.m_bAccel = 0; s.m_nAccel = 0; s.m_nAccelInc = 0; }},
    {636, [](cEdShot& s) { s.m_bPierceBlockChara = s.m_bPierceChara; }},
    {671, [](cEdShot& s) { s.m_nAimAt = 0; }},
};
}  // namespace

void cEdMove::UpgradeFrom(uint32_t nVer) {
    if (!(nVer < DATA_VERSION)) return;
    for (const MOVEREPAIR& r : aMoveRepair)
        if (nVer < r.nBelow) r.pfn(*this);
}

void cEdMove::Read(cDataFile* fp) {
    cRecord::Read(fp);
    UpgradeFrom(GetStageContext().FileVersion());
}

// ---- cEdShot ----

void cEdShot::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    AddField1(&m_nCount);
    AddField1(&m_nFormation);
    AddField2(m_anFormParam, 3);
    if (VerFrom(v, 671)) AddField1(&m_nAimAt);
    AddField1(&m_nDir);
    AddField1(&m_bAimTarget);
    if (VerFrom(v, 767)) AddField1(&m_nTargetA);
    AddField2(&m_nAngle);
    AddField2(&m_nAngleInc);
    if (VerFrom(v, 158)) AddField1(&m_bMirrorAngle);
    AddField2(&m_nSpread);
    AddField1(&m_bRotate);
    AddField1(&m_nClones);
    AddField2(&m_nShiftX);
    AddField2(&m_nShiftXInc);
    AddField2(&m_nShiftY);
    AddField2(&m_nShiftYInc);
    AddField1(&m_bMirrorShiftX);
    AddField1(&m_bMirrorShiftY);
    AddField2(&m_nGraphic);
    AddField1(&m_nZ);
    AddField1(&m_bHidden);
    AddField1(&m_bOwnerGroup);
    AddField1(&m_nFaction);
    AddField1(&m_byShotOpt3);
    AddField1(&m_nSize);
    AddField1(&m_byShotOpt4);
    AddField1(&m_nType);
    AddField2(m_anOrbitParam, 3);
    if (VerFrom(v, 767)) AddField1(&m_nTargetB);
    if (VerFrom(v, 211)) AddField1(&m_bScrollSync);
    AddField2(&m_nSpeed);
    AddField2(&m_nSpeedInc);
    if (VerFrom(v, 213)) {
        AddField1(&m_bAccel);
        AddField2(&m_nAccel);
        AddField2(&m_nAccelInc);
    }
    AddField2(&m_nRange);
    AddField1(&m_bRangeLimit);
    AddField2(&m_nRangeInc);
    AddField1(&m_bStopAtRange);
    AddField1(&m_bLifeLimit);
    AddField2(&m_nLife);
    AddField2(&m_nLifeInc);
    AddField1(&m_bPassBlock);
    AddField1(&m_bPierceChara);
    if (VerFrom(v, 636)) AddField1(&m_bPierceBlockChara);
    AddField1(&m_bShotClash);
    AddField1(&m_nVanish);
    AddField4(&m_nPower);
    AddField2(&m_nShotValue);
    AddField1(&m_nImpact);
    AddField2(&m_nEffect);
    AddField1(&m_nItemPalette);
    AddField2(&m_nItemNum);
    AddField1(&m_nBlockMode);
    AddField1(&m_bHeroOverlap);
    if (VerFrom(v, 197)) AddField1(&m_bCharaOverlap);
    AddField1(&m_nPalette);
    AddField2(&m_nNum);
    AddField1(&m_nSummonGroup);
    AddField1(&m_bSummonSwitch);
    AddField1(&m_bReverseDir);
    if (VerFrom(v, 762)) {
        AddField1(&m_bCreditAttacker);
        AddField1(&m_nCreditParam);
    }
}

void cEdShot::SetDefault() {
    m_bOwnerGroup = 1;
    m_bMirrorAngle = 1;
    m_bMirrorShiftX = 1;
    m_nSize = 1;
}

void cEdShot::UpgradeFrom(uint32_t nVer) {
    if (!(nVer < DATA_VERSION)) return;
    for (const SHOTREPAIR& r : aShotRepair)
        if (nVer < r.nBelow) r.pfn(*this);
}

void cEdShot::Normalize() {
    if (static_cast<int8_t>(m_nSize) <= 0) m_nSize = 1;
    if (!IndexInList(m_nEffect, GetStageContext().DatabaseCount(DBLIST_EFFECT))) m_nEffect = 0;
}

void cEdShot::Read(cDataFile* fp) {
    cRecord::Read(fp);
    UpgradeFrom(GetStageContext().FileVersion());
    Normalize();
}

void cEdShot::Write(cDataFile* fp) {
    Normalize();
    cRecord::Write(fp);
}

double cEdShot::GetShiftX(int n, int dir) const {
    int64_t x = static_cast<int64_t>(n) * m_nShiftXInc + m_nShiftX;
    return (dir == 1 && m_bMirrorShiftX) ? -static_cast<double>(x) : static_cast<double>(x);
}

double cEdShot::GetShiftY(int n, int dir) const {
    int64_t y = static_cast<int64_t>(n) * m_nShiftYInc + m_nShiftY;
    return (dir == 1 && m_bMirrorShiftY) ? -static_cast<double>(y) : static_cast<double>(y);
}
