#pragma once
// Sword types of the project database: two bitmaps (one per direction) and
// the parts shown one after another.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

// Where a part stands relative to its owner.
enum SWORDPLACE : int32_t { SWORDPLACE_FRONT = 0, SWORDPLACE_BACK = 1, SWORDPLACE_ABOVE = 2, SWORDPLACE_BELOW = 3 };

class cSwordPart : public cRecord {
public:
    cSwordPart() { SetTemplate(); }
    void RegisterFields(int nVer) override;
    // The template of parts read from a file: cleared, reverse x set.
    void SetTemplate();

    int32_t m_nOffsetX = 0;
    int32_t m_nOffsetY = 0;
    int32_t m_bReverseX = 1;
    int32_t m_bReverseY = 0;
    int32_t m_nPlace = SWORDPLACE_FRONT;
    int32_t m_nSrcX = 0;
    int32_t m_nSrcY = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nTime = 0;   // 1/10 s
};

class cSwordType : public cRecord {
public:
    cSwordType() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void Read(cDataFile* fp) override;
    void Write(cDataFile* fp) override;
    void SetDefault();

    // Part i, or an empty part (all zero) when the type has no such part: a
    // type read with no parts never makes a caller index a missing element.
    const cSwordPart& GetPart(int i) const;
    int GetPartCount() const { return static_cast<int>(m_vPart.size()); }
    // The sum of the part times in 1/10 s, limited to 9999.
    int GetTotalTime() const;

    std::string m_strName;
    int32_t m_nReserved = 0;
    std::string m_strBitmap[2];   // per sword direction
    cChkVector<cSwordPart> m_vPart;
};
