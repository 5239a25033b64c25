// Effects, character effects and screen effects: fields by data version and
// the repairs of older files.
#include "project/EffectRecords.h"

#include "stage/EffectVocabulary.h"

#include <algorithm>
#include <span>

namespace {

struct EFFECTREPAIR {
    int nKind;
    int nSlot;   // 0-based parameter slot
};
// Parameters that files before 511 lack; they take the slot's default.
const EFFECTREPAIR atblCharaEffectRepair[] = {{4, 4}, {5, 4}, {10, 3}};
const EFFECTREPAIR atblScrEffectRepair[] = {{6, 4}, {7, 4}, {10, 3}};

const PARAMRANGE& ParamRange(bool bScreen, int nKind, int nSlot) {
    return bScreen ? GetScrEffectParam(nKind, nSlot) : GetCharaEffectParam(nKind, nSlot);
}

}  // namespace

void cEffectFrame::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nCell);
    AddField4(&m_nTime);
}

void cEffectFrame::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (m_nCell < 0) m_nCell = 0;   // negative cells are control codes of the sequencer
}

void cEffectFrame::SetDefault() {
    Clear();
    m_nTime = 1;
}

void cEffect::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    if (VerFrom(static_cast<uint32_t>(nVer), 151)) AddField4(&m_nReserved);
    AddString(&m_strBitmap);
    AddField4(&m_nWidth);
    AddField4(&m_nHeight);
    AddField4(&m_bEnlarge);
}

void cEffect::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vFrame, [] { return cEffectFrame(); });
    if (nFileVer < 153) m_nReserved = 0;
}

void cEffect::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteRecordList(fp, m_vFrame);
}

void cEffect::SetDefault() {
    Clear();
    m_nWidth = 32;
    m_nHeight = 32;
    m_bEnlarge = 0;
    m_vFrame.clear();
    m_vFrame.emplace_back();
}

void cEffectDef::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddString(&m_strName);
    AddField4(&m_nKind);
    AddField4(m_anParam, EFFECT_PARAM_COUNT);
}

void cEffectDef::SetDefault() {
    Clear();
    m_nKind = 1;
}

void cEffectDef::Repair(bool bScreen) {
    if (nFileVer < 511) {
        for (const EFFECTREPAIR& rep : bScreen ? std::span<const EFFECTREPAIR>(atblScrEffectRepair)
                                               : std::span<const EFFECTREPAIR>(atblCharaEffectRepair)) {
            if (m_nKind != rep.nKind) continue;
            m_anParam[rep.nSlot] = ParamRange(bScreen, rep.nKind, rep.nSlot).nDefault;
        }
    }
    for (int s = 0; s < EFFECT_PARAM_COUNT; s++) {
        const PARAMRANGE& r = ParamRange(bScreen, m_nKind, s);
        if (r.nMin < 1) continue;
        m_anParam[s] = std::clamp<int32_t>(m_anParam[s], r.nMin, r.nMax);
    }
}

void cCharaEffect::Read(cDataFile* fp) {
    cRecord::Read(fp);
    Repair(false);
}

void cScrEffect::Read(cDataFile* fp) {
    cRecord::Read(fp);
    Repair(true);
}
