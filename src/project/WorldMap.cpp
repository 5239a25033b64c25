// The world map: record layout, resizing, repairs and the stage search.
#include "project/WorldMap.h"

#include <algorithm>
#include <cstring>

#include "foundation/ErrorBox.h"
#include "foundation/Path.h"

namespace {

// Chip kinds that files before this version get in place of their own.
constexpr uint32_t WORLDCHIP_OWN_VER = 812;
constexpr int STANDARD_CHIP_COUNT = 10;

int PitchShiftFor(int nWidth) {
    int nShift = 0;
    for (int n = nWidth - 1; n > 0; n /= 2) nShift++;
    return nShift;
}

}  // namespace

void cWorldChip::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nUnused);
    AddField4(&m_bBlock);
    AddField4(&m_nPicture);
    AddString(&m_strName);
    AddString(&m_strMemo);
}

void cWorldStage::RegisterFields(int nVer) {
    ClearFieldTable();
    AddField4(&m_nKind);
    AddField4(&m_nEventRow);
    AddField4(&m_nStage);
    AddField4(&m_bConfirm);
    AddField4(&m_bReplayable);
    AddField4(&m_nReserved);
    AddField4(&m_nNeedFlag);
    AddField4(&m_nVar);
    AddField4(&m_nValue);
    AddField4(&m_nCompare);
    if (VerFrom(static_cast<uint32_t>(nVer), 209)) AddField4(&m_nNeedTotal);
    if (VerFrom(static_cast<uint32_t>(nVer), 758)) {
        AddField4(&m_bDecorate);
        AddField4(&m_nDecorateA);
        AddField4(&m_nDecorateB);
    }
    AddString(&m_strText);
    AddString(&m_strFile);
}

void cWorldStage::Read(cDataFile* fp) {
    cRecord::Read(fp);
    if (nFileVer <= 208) m_nNeedTotal = 0;
}

void cWorldStage::SetDefault() {
    Clear();
    m_nDecorateA = 1;
}

void cWorldPlace::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nX);
    AddField4(&m_nY);
    AddString(&m_strName);
}

void cWorldPlace::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vStage, [] { return cWorldStage(); });
}

void cWorldPlace::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteRecordList(fp, m_vStage);
}

void cWorldMap::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nWidth);
    AddField4(&m_nHeight);
    AddField4(&m_nPitch);
    AddField4(&m_nPitchShift);
    AddField4(&m_nStartX);
    AddField4(&m_nStartY);
    AddField4(&m_nBackColor);
    AddField4(&m_bBackPicture);
    AddString(&m_strName);
    AddString(&m_strBackFile);
}

void cWorldMap::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vChip, [] { return cWorldChip(); });
    int nCells = fp->ReadCount(4);
    m_vCell.assign(static_cast<size_t>(nCells), 0);
    for (int i = 0; i < nCells && !fp->IsFailed(); i++) m_vCell[i] = fp->ReadI32();
    ReadRecordList(fp, m_vPlace, [] { return cWorldPlace(); });
    ReadRecordList(fp, m_vDefaultPlace, [] { return cWorldPlace(); });

    if (nFileVer < WORLDCHIP_OWN_VER) {
        m_vChip.resize(STANDARD_CHIP_COUNT);
        for (int i = 0; i < STANDARD_CHIP_COUNT; i++) {
            cWorldChip& chip = m_vChip[i];
            chip.m_nPicture = i;
            chip.m_bBlock = i < 5 ? 1 : 0;
            chip.m_strName = i < 5 ? "移動不可" : "移動可";
            chip.m_strMemo.clear();
        }
    }
    Validate();
}

void cWorldMap::Write(cDataFile* fp) {
    Validate();
    cRecord::Write(fp);
    WriteRecordList(fp, m_vChip);
    fp->WriteI32(static_cast<int32_t>(m_vCell.size()));
    for (int32_t n : m_vCell) fp->WriteI32(n);
    WriteRecordList(fp, m_vPlace);
    WriteRecordList(fp, m_vDefaultPlace);
}

void cWorldMap::SetDefault() {
    Clear();
    m_strName = "ワールド";
    m_nStartX = 9;
    m_nStartY = 7;
    m_nBackColor = 16;
    m_bBackPicture = 0;
    m_vChip.clear();
    m_vCell.clear();
    SetSize(20, 15);
    m_vPlace.clear();
    m_vDefaultPlace.clear();
    cWorldPlace place;
    place.m_strName = "デフォルト";
    place.m_vStage.emplace_back();
    m_vDefaultPlace.push_back(place);
}

int cWorldMap::SetSize(int nWidth, int nHeight) {
    if (nWidth == 0 || nHeight == 0) {
        ErrorBoxEC("SetSize()で 0 を指定しました！");
        return 0;
    }
    if (nWidth < 0 || nHeight < 0 || nWidth > WORLDMAP_MAX_SIZE || nHeight > WORLDMAP_MAX_SIZE) return 0;

    cChkVector<int32_t> vOld;
    int nOldWidth = m_nWidth, nOldHeight = m_nHeight, nOldPitch = m_nPitch;
    if (!m_vCell.empty()) {
        ErrorBoxEC("nBeforeWidth = %d,nBeforePitch = %d,nBeforePitch_Shift = %d", m_nWidth, m_nPitch,
                   m_nPitchShift);
        vOld = m_vCell;
    }
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nPitchShift = PitchShiftFor(nWidth);
    m_nPitch = 1 << m_nPitchShift;
    m_vCell.assign(static_cast<size_t>(m_nPitch) * static_cast<size_t>(nHeight), 0);
    if (!vOld.empty() && nOldPitch > 0) {
        int nW = std::min(nOldWidth, nWidth);
        int nH = std::min(nOldHeight, nHeight);
        for (int y = 0; y < nH; y++)
            for (int x = 0; x < nW; x++) {
                size_t nSrc = static_cast<size_t>(y) * static_cast<size_t>(nOldPitch) + static_cast<size_t>(x);
                if (x >= nOldPitch || nSrc >= vOld.size()) continue;
                m_vCell[static_cast<size_t>(y) * m_nPitch + x] = vOld[nSrc];
            }
    }
    return 1;
}

void cWorldMap::Validate() {
    // The grid's shape follows from the width; the stored pitch is not trusted.
    m_nWidth = std::clamp<int32_t>(m_nWidth, 1, WORLDMAP_MAX_SIZE);
    m_nHeight = std::clamp<int32_t>(m_nHeight, 1, WORLDMAP_MAX_SIZE);
    m_nPitchShift = PitchShiftFor(m_nWidth);
    m_nPitch = 1 << m_nPitchShift;
    m_vCell.resize(static_cast<size_t>(m_nPitch) * static_cast<size_t>(m_nHeight), 0);

    if (m_vChip.empty()) m_vChip.emplace_back();

    m_nStartX = std::clamp<int32_t>(m_nStartX, 0, m_nWidth - 1);
    m_nStartY = std::clamp<int32_t>(m_nStartY, 0, m_nHeight - 1);

    const uint32_t nChips = static_cast<uint32_t>(m_vChip.size());
    for (int y = 0; y < m_nHeight; y++)
        for (int x = 0; x < m_nWidth; x++) {
            int32_t& nCell = m_vCell[static_cast<size_t>(y) * m_nPitch + x];
            if (static_cast<uint32_t>(nCell) >= nChips) nCell = 0;
        }

    // Places outside the map go, in one pass.
    for (cWorldPlace& place : m_vPlace) {
        if (place.m_nX < 0) place.m_nX = 0;
        if (place.m_nY < 0) place.m_nY = 0;
    }
    m_vPlace.erase(std::remove_if(m_vPlace.begin(), m_vPlace.end(),
                                  [&](const cWorldPlace& p) { return p.m_nX >= m_nWidth || p.m_nY >= m_nHeight; }),
                   m_vPlace.end());
}

cWorldPlace* cWorldMap::FindPlace(int x, int y) {
    for (cWorldPlace& place : m_vPlace)
        if (place.m_nX == x && place.m_nY == y) return &place;
    return nullptr;
}

int cWorldMap::HasStage(const char* pszKey, int bDecorate, int a, int b) const {
    const std::string strKey = pszKey ? pszKey : "";
    for (const cWorldPlace& place : m_vPlace) {
        for (const cWorldStage& stage : place.m_vStage) {
            if (stage.m_nKind != WORLDSTAGE_STAGE) continue;
            std::string s = stage.m_strFile.c_str();
            RemoveExtension(s);
            size_t nPos = s.rfind("-1");
            if (nPos != std::string::npos)
                s = s.substr(0, nPos) + ".";
            else
                s += ".";
            if (s != strKey) continue;
            if (!bDecorate) {
                if (stage.m_bDecorate == 0) return 1;
            } else if (stage.m_bDecorate && stage.m_nDecorateA == a && stage.m_nDecorateB == b) {
                return 1;
            }
        }
    }
    return 0;
}

int cWorldMap::GetCell(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
    size_t n = static_cast<size_t>(y) * static_cast<size_t>(m_nPitch) + static_cast<size_t>(x);
    return n < m_vCell.size() ? m_vCell[n] : 0;
}

void cWorldMap::SetCell(int x, int y, int nChip) {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
    size_t n = static_cast<size_t>(y) * static_cast<size_t>(m_nPitch) + static_cast<size_t>(x);
    if (n < m_vCell.size()) m_vCell[n] = nChip;
}
