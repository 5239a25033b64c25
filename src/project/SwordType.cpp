// Sword types: fields by data version.
#include "project/SwordType.h"

#include <algorithm>

void cSwordPart::RegisterFields(int nVer) {
    ClearFieldTable();
    AddField4(&m_nOffsetX);
    AddField4(&m_nOffsetY);
    if (VerFrom(static_cast<uint32_t>(nVer), 138)) {
        AddField4(&m_bReverseX);
        AddField4(&m_bReverseY);
    }
    AddField4(&m_nPlace);
    AddField4(&m_nSrcX);
    AddField4(&m_nSrcY);
    AddField4(&m_nWidth);
    AddField4(&m_nHeight);
    AddField4(&m_nTime);
}

void cSwordPart::SetTemplate() {
    Clear();
    m_bReverseX = 1;
}

void cSwordType::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    if (VerFrom(static_cast<uint32_t>(nVer), 151)) AddField4(&m_nReserved);
    AddString(&m_strBitmap[0]);
    AddString(&m_strBitmap[1]);
}

void cSwordType::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vPart, [] { return cSwordPart(); });
    if (nFileVer < 153) m_nReserved = 0;
}

void cSwordType::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteRecordList(fp, m_vPart);
}

void cSwordType::SetDefault() {
    Clear();
    m_vPart.clear();
    cSwordPart part;
    part.m_nTime = 1;
    m_vPart.push_back(part);
}

const cSwordPart& cSwordType::GetPart(int i) const {
    static const cSwordPart partEmpty = [] {
        cSwordPart p;
        p.Clear();
        return p;
    }();
    if (i >= 0 && i < GetPartCount()) return m_vPart[i];
    return partEmpty;
}

int cSwordType::GetTotalTime() const {
    int64_t nSum = 0;
    for (const cSwordPart& part : m_vPart) {
        nSum += part.m_nTime;
        if (nSum >= 9999) return 9999;
    }
    return static_cast<int>(std::max<int64_t>(nSum, 0));
}
