#include "stage/OwnedPtr.h"
#include "stage/Stage.h"

#include <algorithm>
#include <atomic>

#include "stage/StageContext.h"

cStage recStage;
cStage recPlayStage;
cCharaData recCharaDef;

namespace {
std::atomic<bool> bStageReadCancel{false};

// Reads a list of records: a count, then each body (placements have an
// int32 before each body that is dropped). nMax: the longest list accepted.
template <class T>
void ReadStageList(cDataFile* fp, cChkVector<T>& list, bool bPlacement, int nMax = INT32_MAX) {
    int n = fp->ReadCount(bPlacement ? MIN_RECORD_BODY + 4 : MIN_RECORD_BODY);
    if (n > nMax) {
        fp->FailForMemory();
        n = 0;
    }
    if (n > 0 && !fp->Charge(static_cast<uint64_t>(n) * sizeof(T))) n = 0;
    list.assign(static_cast<size_t>(n), DefaultOf<T>());
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        if (IsStageReadCancelled()) {
            fp->Fail();
            break;
        }
        if (bPlacement) fp->ReadI32();
        list[i].Read(fp);
    }
}

template <class T>
void WriteStageList(cDataFile* fp, cChkVector<T>& list, bool bPlacement) {
    fp->WriteI32(static_cast<int32_t>(list.size()));
    for (T& e : list) {
        if (bPlacement) fp->WriteI32(0);
        e.Write(fp);
    }
}

// Lists of plain records (backgrounds, variable texts): the record base's
// read and write.
template <class T>
void ReadPlainList(cDataFile* fp, cChkVector<T>& list) {
    int n = fp->ReadCount(MIN_RECORD_BODY, sizeof(T));
    list.assign(static_cast<size_t>(n), DefaultOf<T>());
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        list[i].cRecord::Read(fp);
    }
}

template <class T>
void WritePlainList(cDataFile* fp, cChkVector<T>& list) {
    fp->WriteI32(static_cast<int32_t>(list.size()));
    for (T& e : list) {
        e.cRecord::Write(fp);
    }
}

template <class T>
void TopUp(cChkVector<T>& list) {
    // The entries added are normalised as a read entry is, so that the live
    // list equals what writing it stores.
    while (list.size() < 2) {
        list.push_back(T());
        list.back().Normalize();
    }
}

// Entry 0 is the reserved blank entry: a default one, normalised.
template <class T>
void ResetEntryZero(cChkVector<T>& list) {
    if (list.empty()) return;
    list[0] = T();
    list[0].Normalize();
}

template <class T>
void NormalizeList(cChkVector<T>& list, bool bRecords) {
    for (T& e : list) {
        if (bRecords) e.Normalize();
        e.NormalizeRefs();
    }
}

int32_t MinLimit(int32_t nValue, int32_t nSize, int nLess) {
    int64_t nMax = static_cast<int64_t>(nSize) - nLess;
    return static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(nValue, nMax), INT32_MIN));
}

// Installs a context in which the stage palette is this stage's lists.
struct cOwnPaletteScope {
    explicit cOwnPaletteScope(const cStage& st) : ctx(GetStageContext()), scope((ctx.SetPalette(PALETTE_STAGE, st), ctx)) {}
    cPaletteContext ctx;
    cStageContextScope scope;
};

struct STAGEREPAIR {
    uint32_t nBelow;
    void (*pfn)(cStage& s);
};

const STAGEREPAIR aStageRepair[] = {
    {155, [](cStage& s) {
         s.m_nHeroFlySizeW = s.m_nHeroSizeW;
         s.m_nHeroFlySizeH = s.m_nHeroSizeH;
         s.m_nCharaFlySizeW = s.m_nCharaSizeW;
         s.m_nCharaFlySizeH = s.m_nCharaSizeH;
         s.m_nHeroSizeAlign = 0;
         s.m_nHeroFlySizeAlign = 0;
         s.m_nCharaSizeAlign = 0;
         s.m_nCharaFlySizeAlign = 0;
     }},
    {166, [](cStage& s) { s.m_nBgmFlag = 1; }},
    {181, [](cStage& s) {
         s.m_vTallyFlag.resize(STAGE_TALLY_COUNT, 0);
         s.m_vTallyFlag[3] = 0;
         s.m_vTallyFlag[4] = 0;
     }},
    {183, [](cStage& s) { s.m_bShowStatus = 1; }},
    {184, [](cStage& s) { s.m_bQuickClear = 0; }},
    {199, [](cStage& s) { s.m_bBgmContinue = 0; }},
    {200, [](cStage& s) {
         s.m_nHeroBoxW = 16;
         s.m_nHeroBoxH = 24;
         s.m_nHeroFlyBoxW = 16;
         s.m_nHeroFlyBoxH = 16;
         s.m_nHeroBoxAlign = 1;
         s.m_nHeroFlyBoxAlign = 0;
         s.m_anBoxDisp[0] = 0;
         s.m_anBoxColor[0] = 5;
         s.m_nCharaBoxW = 16;
         s.m_nCharaBoxH = 30;
         s.m_nCharaFlyBoxW = 16;
         s.m_nCharaFlyBoxH = 30;
         s.m_nCharaBoxAlign = 1;
         s.m_nCharaFlyBoxAlign = 1;
     }},
    {225, [](cStage& s) { s.m_bShowStartBanner2 = 0; }},
    {754, [](cStage& s) { s.m_vStageVarName.resize(STAGE_VAR_COUNT); }},
};
}  // namespace

void SetStageReadCancel(bool bCancel) { bStageReadCancel.store(bCancel); }
bool IsStageReadCancelled() { return bStageReadCancel.load(); }

cStage::cStage() {
    SetDefault();
}

void cStage::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    AddString(&m_strText);
    AddField4(&m_nWidth);
    AddField4(&m_nEditorValue1);
    AddField4(&m_nEditorValue2);
    AddField4(&m_nHeight);
    AddField4(&m_bLimitLeft);
    AddField4(&m_bLimitRight);
    AddField4(&m_bLimitTop);
    AddField4(&m_bLimitBottom);
    AddField4(&m_nLimitLeft);
    AddField4(&m_nLimitRight);
    AddField4(&m_nLimitTop);
    AddField4(&m_nLimitBottom);
    AddField4(&m_nStageFps);
    AddField4(&m_bTimeLimit);
    AddField4(&m_nTimeLimit);
    AddField4(&m_nTimeWarn);
    AddField4(&m_nScrollModeX);
    AddField4(&m_nScrollModeY);
    AddField4(&m_nScrollSpeedX);
    AddField4(&m_nScrollSpeedY);
    AddField8(&m_dGravity);
    AddField4(&m_nJudgeLevel);
    AddField4(&m_nHitJudgeCount);
    AddField4(&m_nBgm);
    if (VerFrom(v, 166)) AddField4(&m_nBgmFlag);
    if (VerFrom(v, 199)) AddField4(&m_bBgmContinue);
    AddField4(&m_bZOrder);
    AddField4(&m_bLoadCarryOver);
    AddField4(&m_bSaveCarryOver);
    if (VerFrom(v, 183)) AddField4(&m_bShowStatus);
    if (VerFrom(v, 184)) AddField4(&m_bQuickClear);
    AddField4(&m_bShowStartBanner);
    if (VerFrom(v, 225)) AddField4(&m_bShowStartBanner2);
    AddField4(&m_bShowClearBanner);
    AddField4(&m_bShowGameOver);
    // Geometry (fields 36-84).
    if (VerFrom(v, 200)) {
        AddField4(&m_nHeroBoxW);
        AddField4(&m_nHeroBoxH);
        AddField4(&m_nHeroFlyBoxW);
        AddField4(&m_nHeroFlyBoxH);
    }
    AddField4(&m_nHeroSizeW);
    AddField4(&m_nHeroSizeH);
    if (VerFrom(v, 155)) {
        AddField4(&m_nHeroFlySizeW);
        AddField4(&m_nHeroFlySizeH);
    }
    AddField4(&m_nHeroSize1W);
    AddField4(&m_nHeroSize1H);
    AddField4(&m_nHeroBoxCW);
    AddField4(&m_nHeroBoxCH);
    if (VerFrom(v, 200)) {
        AddField4(&m_nHeroBoxAlign);
        AddField4(&m_nHeroFlyBoxAlign);
    }
    if (VerFrom(v, 155)) {
        AddField4(&m_nHeroSizeAlign);
        AddField4(&m_nHeroFlySizeAlign);
    }
    // Box kinds in the order 0, 1, 3, 2.
    if (VerFrom(v, 200)) AddField4(&m_anBoxDisp[0]);
    AddField4(&m_anBoxDisp[1]);
    AddField4(&m_anBoxDisp[3]);
    AddField4(&m_anBoxDisp[2]);
    if (VerFrom(v, 200)) AddField4(&m_anBoxColor[0]);
    AddField4(&m_anBoxColor[1]);
    AddField4(&m_anBoxColor[3]);
    AddField4(&m_anBoxColor[2]);
    if (VerFrom(v, 200)) {
        AddField4(&m_nCharaBoxW);
        AddField4(&m_nCharaBoxH);
        AddField4(&m_nCharaFlyBoxW);
        AddField4(&m_nCharaFlyBoxH);
    }
    AddField4(&m_nCharaSizeW);
    AddField4(&m_nCharaSizeH);
    if (VerFrom(v, 155)) {
        AddField4(&m_nCharaFlySizeW);
        AddField4(&m_nCharaFlySizeH);
    }
    AddField4(&m_nCharaSize1W);
    AddField4(&m_nCharaSize1H);
    if (VerFrom(v, 200)) {
        AddField4(&m_nCharaBoxAlign);
        AddField4(&m_nCharaFlyBoxAlign);
    }
    if (VerFrom(v, 155)) {
        AddField4(&m_nCharaSizeAlign);
        AddField4(&m_nCharaFlySizeAlign);
    }
    AddField4(&m_nItemSizeW);
    AddField4(&m_nItemSizeH);
    AddField4(&m_nHeroSize2W);
    AddField4(&m_nHeroSize2H);
    AddField4(&m_nSpareSizeAW);
    AddField4(&m_nSpareSizeAH);
    AddField4(&m_nCharaSize2W);
    AddField4(&m_nCharaSize2H);
    AddField4(&m_nSpareSizeBW);
    AddField4(&m_nSpareSizeBH);
    AddField4(&m_bSpareFlag);
    AddField4(&m_nExtentX);
    AddField4(&m_nExtentY);
    AddField4(&m_nSubStep);
    AddField8(&m_dStepFactor);
    AddField8(&m_dSubStepSq);
    AddField8(&m_dSpeedLimit);
    AddField8(&m_dGravityStep);
    AddField8(&m_dStepSpeedLimit);
    AddField4(&m_nSubStepEight);
    AddField4(&m_bOnScreenOnly);
    AddField4(&m_nHeroInvincibleSame);
    AddField4(&m_nHeroInvincibleAll);
    AddField4(&m_nCharaInvincibleSame);
    AddField4(&m_nCharaInvincibleAll);
}

void cStage::SetDefault() {
    Clear();
    m_vBlockPlace.clear();
    m_vCharaPlace.clear();
    m_vItemPlace.clear();
    m_vBlockPalette.assign(1, cBlockData());
    m_vCharaPalette.assign(1, cCharaData());
    m_vItemPalette.assign(1, cItemData());
    m_nTimeLimit = 200;
    m_bTimeLimit = 0;
    m_nTimeWarn = 20;
    m_dGravity = 0.4;
    m_nStageFps = 60;
    m_nJudgeLevel = 10;
    m_nHitJudgeCount = 0;
    m_bZOrder = 1;
    m_bOnScreenOnly = 1;
    m_bShowStatus = 1;
    m_bQuickClear = 0;
    m_bShowStartBanner = 0;
    m_bShowStartBanner2 = 1;
    m_bShowClearBanner = 1;
    m_bShowGameOver = 1;
    m_nHeroInvincibleSame = 30;
    m_nHeroInvincibleAll = 0;
    m_nCharaInvincibleSame = 30;
    m_nCharaInvincibleAll = 0;
    m_vBackground.assign(1, cBackground());
    m_vBackground[0].m_bFill = 1;
    m_vTallyFlag.assign(STAGE_TALLY_COUNT, 1);
    for (int i = 0; i < 3; i++) m_aEraseArea[i].Set(0, 0, 0, 0, 0, 0, 0, 0);
    m_aEraseArea[3].Set(1, 1, 1, 1, 0, 0, 0, 0);
    m_aEraseArea[4].Set(1, 1, 1, 1, 10, 10, 10, 10);
    // Geometry.
    m_nHeroBoxW = 16; m_nHeroBoxH = 24; m_nHeroFlyBoxW = 16; m_nHeroFlyBoxH = 16;
    m_nHeroSizeW = 16; m_nHeroSizeH = 24; m_nHeroFlySizeW = 16; m_nHeroFlySizeH = 16;
    m_nHeroSize1W = 12; m_nHeroSize1H = 8;
    m_nHeroBoxCW = 16; m_nHeroBoxCH = 16;
    m_nHeroBoxAlign = 1; m_nHeroFlyBoxAlign = 0; m_nHeroSizeAlign = 1; m_nHeroFlySizeAlign = 0;
    for (int i = 0; i < 4; i++) m_anBoxDisp[i] = m_anBoxColor[i] = 0;
    m_nCharaBoxW = 16; m_nCharaBoxH = 24; m_nCharaFlyBoxW = 16; m_nCharaFlyBoxH = 16;
    m_nCharaSizeW = 12; m_nCharaSizeH = 24; m_nCharaFlySizeW = 12; m_nCharaFlySizeH = 16;
    m_nCharaSize1W = 30; m_nCharaSize1H = 30;
    m_nCharaBoxAlign = 1; m_nCharaFlyBoxAlign = 0; m_nCharaSizeAlign = 1; m_nCharaFlySizeAlign = 0;
    m_nItemSizeW = 28; m_nItemSizeH = 28;
    m_nHeroSize2W = 16; m_nHeroSize2H = 16;
    m_nSpareSizeAW = 16; m_nSpareSizeAH = 16;
    m_nCharaSize2W = 16; m_nCharaSize2H = 16;
    m_nSpareSizeBW = 16; m_nSpareSizeBH = 16;
    m_bSpareFlag = 1;
}

void cStage::SetJudgeLevel(int nLevel) {
    m_nJudgeLevel = nLevel;
    // The level divides below: one the editor cannot make counts as 10.
    if (nLevel < 1 || nLevel > 19) nLevel = 10;
    bool bHigh = nLevel >= 11;
    int b = bHigh ? nLevel - 10 : nLevel;
    m_nSubStep = b;
    m_dStepFactor = b;
    m_nSubStepTenth = 6 * b;
    m_dSubStepSq = static_cast<double>(b) * b;
    m_dSpeedLimit = bHigh ? 60.0 : 6.0 * b;
    m_nSubStepEight = 8 * b;
    m_dStepSpeedLimit = m_dSpeedLimit / b;
    m_dGravityStep = m_dGravity / (static_cast<double>(b) * b);
}

void cStage::Normalize() { NormalizeStage(true); }

void cStage::NormalizeStage(bool bRecords) {
    cOwnPaletteScope own(*this);
    m_nLimitLeft = MinLimit(m_nLimitLeft, m_nWidth, 20);
    m_nLimitRight = MinLimit(m_nLimitRight, m_nWidth, 1);
    m_nLimitTop = MinLimit(m_nLimitTop, m_nHeight, 15);
    m_nLimitBottom = MinLimit(m_nLimitBottom, m_nHeight, 1);
    if (m_nJudgeLevel < 1 || m_nJudgeLevel > 19) m_nJudgeLevel = 10;
    SetJudgeLevel(m_nJudgeLevel);
    if (!IndexInList(m_nBgm, GetStageContext().DatabaseCount(DBLIST_BGM))) m_nBgm = 0;
    TopUp(m_vBlockPalette);
    TopUp(m_vCharaPalette);
    TopUp(m_vItemPalette);
    NormalizeList(m_vBlockPalette, bRecords);
    NormalizeList(m_vCharaPalette, bRecords);
    NormalizeList(m_vItemPalette, bRecords);
    NormalizeList(m_vBlockPlace, bRecords);
    NormalizeList(m_vCharaPlace, bRecords);
    NormalizeList(m_vItemPlace, bRecords);
}

void cStage::UpgradeFrom(uint32_t nVer) {
    if (!(nVer < DATA_VERSION)) return;
    for (const STAGEREPAIR& r : aStageRepair)
        if (nVer < r.nBelow) r.pfn(*this);
}

bool cStage::HasSaneSize() const {
    return m_nWidth >= 1 && m_nHeight >= 1 && m_nWidth <= MAX_STAGE_SIDE && m_nHeight <= MAX_STAGE_SIDE &&
           static_cast<int64_t>(m_nWidth) * m_nHeight <= MAX_STAGE_CELLS;
}

void cStage::Read(cDataFile* fp) {
    cOwnPaletteScope own(*this);
    uint32_t nVer = GetStageContext().FileVersion();
    cRecord::Read(fp);
    if (m_nWidth > MAX_STAGE_SIDE || m_nHeight > MAX_STAGE_SIDE) fp->Fail();

    int n = fp->ReadCount(4);
    m_vTallyFlag.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; i++) m_vTallyFlag[i] = fp->ReadI32();
    for (cQuadSwitch& q : m_aEraseArea) q.Read(fp);

    ReadStageList(fp, m_vBlockPalette, false);
    ReadStageList(fp, m_vCharaPalette, false);
    ReadStageList(fp, m_vItemPalette, false);
    ResetEntryZero(m_vBlockPalette);
    ResetEntryZero(m_vCharaPalette);
    ResetEntryZero(m_vItemPalette);

    ReadStageList(fp, m_vBlockPlace, true);
    ReadStageList(fp, m_vCharaPlace, true, MAX_STAGE_PLACEMENTS);
    ReadStageList(fp, m_vItemPlace, true, MAX_STAGE_PLACEMENTS);
    ReadPlainList(fp, m_vBackground);
    ReadPlainList(fp, m_vStageVarName);
    if (VerFrom(nVer, 173)) fp->ReadI32();

    UpgradeFrom(nVer);
    // Every record normalised itself at the end of its read, against the
    // same lists; what is left are the stage's own repairs and the
    // references into the item lists, which are complete only now.
    NormalizeStage(false);
}

void cStage::WriteBody(cDataFile* fp, cStage& header) {
    header.cRecord::Write(fp);
    fp->WriteI32(static_cast<int32_t>(header.m_vTallyFlag.size()));
    for (int32_t v : header.m_vTallyFlag) fp->WriteI32(v);
    for (cQuadSwitch& q : header.m_aEraseArea) q.Write(fp);
    WriteStageList(fp, m_vBlockPalette, false);
    WriteStageList(fp, m_vCharaPalette, false);
    WriteStageList(fp, m_vItemPalette, false);
    WriteStageList(fp, m_vBlockPlace, true);
    WriteStageList(fp, m_vCharaPlace, true);
    WriteStageList(fp, m_vItemPlace, true);
    WritePlainList(fp, header.m_vBackground);
    WritePlainList(fp, header.m_vStageVarName);
    fp->WriteI32(STAGE_TRAILER);
}

void cStage::Write(cDataFile* fp) {
    cOwnPaletteScope own(*this);
    Normalize();
    WriteBody(fp, *this);
}

void cStage::SaveReplaySnapshot(cDataFile* fp, cStage& header) {
    cOwnPaletteScope own(*this);
    Normalize();
    WriteBody(fp, header);
}

int cStage::FindHero() const {
    for (size_t i = 0; i < m_vCharaPlace.size(); i++)
        if (m_vCharaPlace[i].IsHeroPlacement()) return static_cast<int>(i);
    return -1;
}
