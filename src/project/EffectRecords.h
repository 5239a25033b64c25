#pragma once
// Effects (animations from a bitmap strip), character effects and screen
// effects of the project database.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

class cEffectFrame : public cRecord {
public:
    cEffectFrame() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void SetDefault();

    int32_t m_nCell = 0;   // picture of the strip: x = cell * width
    int32_t m_nTime = 1;   // 1/10 s
};

class cEffect : public cRecord {
public:
    cEffect() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    void SetDefault();

    std::string m_strName;
    int32_t m_nReserved = 0;
    std::string m_strBitmap;
    int32_t m_nWidth = 32;
    int32_t m_nHeight = 32;
    int32_t m_bEnlarge = 0;
    cChkVector<cEffectFrame> m_vFrame;
};

constexpr int EFFECT_PARAM_COUNT = 5;

// A character or screen effect: a kind and five parameters (one registered
// field of five elements). The two classes share the layout; they differ in
// their kinds and in the repairs of older files.
class cEffectDef : public cRecord {
public:
    cEffectDef() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void SetDefault();   // cleared, kind 1

    std::string m_strName;
    int32_t m_nKind = 1;
    int32_t m_anParam[EFFECT_PARAM_COUNT] = {};

protected:
    // Repairs after reading: parameters older files lack, and the clamping
    // of every parameter that play divides by (times, counts, sizes,
    // strengths: the slots whose smallest value is 1 or more).
    void Repair(bool bScreen);
};

class cCharaEffect : public cEffectDef {
public:
    void Read(cDataFile* fp) override;
    // The repairs of a read, for an entry the list read creates itself.
    void Normalize() { Repair(false); }
};

class cScrEffect : public cEffectDef {
public:
    void Read(cDataFile* fp) override;
    void Normalize() { Repair(true); }
};

