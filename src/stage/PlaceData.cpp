#include "stage/PlaceData.h"

void cPlaceData::RegisterHead() {
    AddField1(&m_nInheritType);
    AddField2(&m_nInheritNum);
    AddField1(&m_nCondMode);
    AddField1(&m_bCondOnce);
    AddString(&m_strName);
}

void cPlaceData::ReadTail(cDataFile* fp, int32_t* pDropItem) {
    m_nX = fp->ReadI16();
    m_nY = fp->ReadI16();
    if (pDropItem) *pDropItem = fp->ReadI32();
    int n = fp->ReadCount(1);
    m_vInheritFlag.assign(static_cast<size_t>(n), 0);
    if (n > 0) fp->ReadBytes(m_vInheritFlag.data(), static_cast<size_t>(n));
    ReadCondList(m_vCond, fp);
}

void cPlaceData::WriteTail(cDataFile* fp, const int32_t* pDropItem) {
    fp->WriteI16(m_nX);
    fp->WriteI16(m_nY);
    if (pDropItem) fp->WriteI32(*pDropItem);
    fp->WriteI32(static_cast<int32_t>(m_vInheritFlag.size()));
    if (!m_vInheritFlag.empty()) fp->WriteBytes(m_vInheritFlag.data(), m_vInheritFlag.size());
    WriteCondList(m_vCond, fp);
}

void cPlaceData::NormalizeInheritRef(int nCommonSize, int nStageSize) {
    int nSize;
    if (m_nInheritType == PALETTE_COMMON) nSize = nCommonSize;
    else if (m_nInheritType == PALETTE_STAGE) nSize = nStageSize;
    else return;
    if (!GetStageContext().ChecksPalette(m_nInheritType)) return;
    if (!IndexInList(m_nInheritNum, nSize)) {
        m_nInheritType = 0;
        m_nInheritNum = 0;
    }
}

uint64_t cPlaceData::HeadInheritedBytes(const cPlaceData& src, int nNameGroup, int nCondGroup) const {
    uint64_t n = 0;
    if (InheritsGroup(nNameGroup)) n += src.m_strName.size();
    if (InheritsGroup(nCondGroup)) n += src.m_vCond.size() * sizeof(cCond);
    return n;
}

void cPlaceData::InsertInheritFlag(int nAt, int nGroups) {
    m_vInheritFlag.resize(static_cast<size_t>(nGroups), 0);
    if (nAt < 0 || nAt >= nGroups) return;
    for (int i = nGroups - 1; i > nAt; i--) m_vInheritFlag[i] = m_vInheritFlag[i - 1];
    m_vInheritFlag[nAt] = 1;
}
