#pragma once
// The small records a stage holds: an erase area (cQuadSwitch), a background
// layer (cBackground) and the text of one stage variable (cStageVarName).
#include <cstdint>
#include <string>

#include "foundation/Record.h"

// Four switched sides with a distance in cells each.
class cQuadSwitch : public cRecord {
public:
    cQuadSwitch() { Clear(); }
    void RegisterFields(int nVer) override;
    void Set(int bLeft, int bRight, int bTop, int bBottom, int nLeft, int nRight, int nTop, int nBottom);
    // One of the switches is on.
    bool IsUsed() const { return m_bLeft || m_bRight || m_bTop || m_bBottom; }

    int32_t m_bLeft = 0, m_bRight = 0, m_bTop = 0, m_bBottom = 0;
    int32_t m_nLeft = 0, m_nRight = 0, m_nTop = 0, m_nBottom = 0;
};

class cBackground : public cRecord {
public:
    cBackground() { SetDefault(); }
    void RegisterFields(int nVer) override;
    void SetDefault();

    int32_t m_bShow = 1;
    int32_t m_bFill = 0;
    int32_t m_nFillColour = 16;
    int32_t m_nLayer = 0;        // 0 behind the map, 1 in front of it
    double m_dRateX = 0.1;
    double m_dRateY = 0.1;
    int32_t m_bAutoX = 0;
    int32_t m_bAutoY = 0;
    std::string m_strFile;
    double m_dOffsetX = 0.0;
    double m_dOffsetY = 0.0;
};

class cStageVarName : public cRecord {
public:
    cStageVarName() { Clear(); }
    void RegisterFields(int nVer) override;

    std::string m_strName;
};
