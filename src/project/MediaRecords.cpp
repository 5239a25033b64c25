// Dedicated character bitmaps, pictures, sounds and music: fields by data
// version and the repairs of older files.
#include "project/MediaRecords.h"

#include <algorithm>

void cBmpCharaExc::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    if (VerFrom(static_cast<uint32_t>(nVer), 152)) AddField4(&m_nReserved);
    AddString(&m_strBitmap);
    if (VerFrom(static_cast<uint32_t>(nVer), 172)) {
        AddField4(&m_bLargeCells);
        AddField4(&m_nCellSize);
    }
}

void cBmpCharaExc::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (nFileVer < 153) m_nReserved = 0;
    // The cell size divides the sheet width: keep it where that works.
    m_nCellSize = std::clamp<int32_t>(m_nCellSize, 1, 16);
}

void cBmpCharaExc::SetDefault() {
    Clear();
    m_bLargeCells = 0;
    m_nCellSize = 2;
}

int cBmpCharaExc::GetCellSize() const {
    if (!m_bLargeCells) return 32;
    return std::clamp<int32_t>(m_nCellSize, 1, 16) * 32;
}

int cBmpCharaExc::GetCellsPerRow() const {
    return 512 / GetCellSize();
}

void cBmpCharaExc::GetCellPos(int nCell, int* pX, int* pY) const {
    int nPerRow = GetCellsPerRow();
    int nSize = GetCellSize();
    if (nCell < 0) nCell = 0;
    *pX = (nCell % nPerRow) * nSize;
    int64_t y = static_cast<int64_t>(nCell / nPerRow) * nSize;
    *pY = static_cast<int>(std::min<int64_t>(y, INT32_MAX));
}

void cPicture::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    if (VerFrom(static_cast<uint32_t>(nVer), 151)) AddField4(&m_nReserved);
    AddString(&m_strFile);
}

void cPicture::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (nFileVer < 153) m_nReserved = 0;
}

void cSound::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    AddString(&m_strFile);
    if (VerFrom(static_cast<uint32_t>(nVer), 151)) AddField4(&m_nReserved);
}

void cSound::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (nFileVer < 153) m_nReserved = 0;
}

void cBgm::RegisterFields(int nVer) {
    ClearFieldTable();
    AddString(&m_strName);
    if (VerFrom(static_cast<uint32_t>(nVer), 151)) AddField4(&m_nReserved);
    AddString(&m_strFile);
    if (VerFrom(static_cast<uint32_t>(nVer), 814)) AddField4(&m_nVolume);
}

void cBgm::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (nFileVer < 153) m_nReserved = 0;
}

void cBgm::SetDefault() {
    Clear();
    m_nVolume = 100;
}
