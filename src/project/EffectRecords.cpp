// Effects, character effects and screen effects: fields by data version and
// the repairs of older files.
#include "project/EffectRecords.h"

#include <algorithm>
#include <span>

namespace {

// Bounds and defaults of the effect parameters, row k for kind k, slot s for
// parameter s + 1. Empty slots are zero.
constexpr EFFECTPARAMRANGE R(int a, int b, int d) {
    return {static_cast<int16_t>(a), static_cast<int16_t>(b), static_cast<int16_t>(d)};
}
constexpr EFFECTPARAMRANGE E = {0, 0, 0};

const EFFECTPARAMRANGE atblCharaEffectRange[CHARAEFFECT_KIND_COUNT][EFFECT_PARAM_COUNT] = {
    {E, E, E, E, E},
    {R(1, 9999, 5), R(0, 999, 0), R(0, 999, 32), E, E},                            // burst
    {R(1, 9999, 5), R(0, 999, 0), R(0, 999, 32), R(2, 16, 4), E},                  // split x
    {R(1, 9999, 5), R(0, 999, 0), R(0, 999, 32), R(2, 16, 4), E},                  // split y
    {R(1, 9999, 5), R(0, 999, 0), R(0, 999, 32), R(2, 16, 2), R(1, 4, 2)},         // wave x
    {R(1, 9999, 5), R(0, 999, 0), R(0, 999, 32), R(2, 16, 2), R(1, 4, 2)},         // wave y
    {R(1, 9999, 10), R(1, 9999, 2), E, E, E},                                      // blink
    {R(1, 9999, 10), R(0, 9999, 0), R(0, 9999, 1440), E, E},                       // turn A
    {R(1, 9999, 10), R(0, 9999, 0), R(0, 9999, 1440), E, E},                       // turn B
    {R(1, 9999, 10), R(0, 9999, 0), R(0, 9999, 256), E, E},                        // turn in depth
    {R(1, 9999, 5), R(0, 32, 32), R(0, 32, 0), R(1, 4, 2), E},                     // circle
    {R(1, 9999, 10), R(0, 320, 32), R(0, 320, 64), E, E},                          // zoom
    {R(1, 9999, 10), R(0, 100, 100), R(0, 100, 5), R(-16, 16, 0), R(-16, 16, 0)},  // lens
    {R(1, 9999, 10), R(1, 4, 1), R(1, 4, 1), R(16, 207, 16), E},                   // colour
    {R(1, 9999, 10), R(1, 9999, 9999), E, E, E},                                   // translucent
    {R(1, 9999, 10), R(1, 16, 1), R(1, 16, 8), E, E},                              // mosaic
    {R(1, 9999, 10), R(1, 4, 1), R(1, 4, 4), E, E},                                // blur
};

const EFFECTPARAMRANGE atblScrEffectRange[SCREFFECT_KIND_COUNT][EFFECT_PARAM_COUNT] = {
    {E, E, E, E, E},
    {R(1, 9999, 10), R(-640, 640, 0), R(-480, 480, 0), R(-640, 640, 640), R(-480, 480, 0)},  // move
    {R(1, 9999, 10), R(1, 640, 4), R(1, 9999, 4), E, E},                                     // shake x
    {R(1, 9999, 10), R(1, 480, 4), R(1, 9999, 4), E, E},                                     // shake y
    {R(1, 9999, 10), R(0, 640, 0), R(0, 640, 640), R(2, 240, 15), E},                        // split x
    {R(1, 9999, 10), R(0, 480, 0), R(0, 480, 480), R(2, 320, 20), E},                        // split y
    {R(1, 9999, 10), R(0, 640, 0), R(0, 640, 640), R(2, 240, 4), R(1, 48, 8)},              // wave x
    {R(1, 9999, 10), R(0, 480, 0), R(0, 480, 480), R(2, 320, 4), R(1, 64, 10)},             // wave y
    {R(1, 9999, 10), R(1, 9999, 10), E, E, E},                                               // blink
    {R(1, 9999, 10), R(0, 9999, 0), R(0, 9999, 1440), E, E},                                 // turn
    {R(1, 9999, 10), R(0, 640, 640), R(0, 640, 0), R(1, 48, 8), E},                          // circle
    {R(1, 9999, 10), R(0, 6400, 640), R(0, 6400, 1280), E, E},                               // zoom
    {R(1, 9999, 10), R(0, 1500, 1500), R(0, 1500, 5), R(-320, 320, 0), R(-240, 240, 0)},    // lens
    {R(1, 9999, 10), R(1, 240, 1), R(1, 240, 60), E, E},                                     // mosaic
};

struct EFFECTREPAIR {
    int nKind;
    int nSlot;   // 0-based parameter slot
};
// Parameters that files before 511 lack; they take the slot's default.
const EFFECTREPAIR atblCharaEffectRepair[] = {{4, 4}, {5, 4}, {10, 3}};
const EFFECTREPAIR atblScrEffectRepair[] = {{6, 4}, {7, 4}, {10, 3}};

}  // namespace

EFFECTPARAMRANGE GetCharaEffectParamRange(int nKind, int nSlot) {
    if (nKind < 0 || nKind >= CHARAEFFECT_KIND_COUNT || nSlot < 0 || nSlot >= EFFECT_PARAM_COUNT) return E;
    return atblCharaEffectRange[nKind][nSlot];
}

EFFECTPARAMRANGE GetScrEffectParamRange(int nKind, int nSlot) {
    if (nKind < 0 || nKind >= SCREFFECT_KIND_COUNT || nSlot < 0 || nSlot >= EFFECT_PARAM_COUNT) return E;
    return atblScrEffectRange[nKind][nSlot];
}

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
            m_anParam[rep.nSlot] = bScreen ? GetScrEffectParamRange(rep.nKind, rep.nSlot).nDefault
                                           : GetCharaEffectParamRange(rep.nKind, rep.nSlot).nDefault;
        }
    }
    for (int s = 0; s < EFFECT_PARAM_COUNT; s++) {
        EFFECTPARAMRANGE r = bScreen ? GetScrEffectParamRange(m_nKind, s) : GetCharaEffectParamRange(m_nKind, s);
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
