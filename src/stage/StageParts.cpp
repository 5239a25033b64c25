#include "stage/StageParts.h"

void cQuadSwitch::RegisterFields(int nVer) {
    ClearFieldTable();
    AddField4(&m_bLeft);
    if (VerFrom(static_cast<uint32_t>(nVer), 125)) {
        AddField4(&m_bRight);
        AddField4(&m_bTop);
        AddField4(&m_bBottom);
    }
    AddField4(&m_nLeft);
    AddField4(&m_nRight);
    AddField4(&m_nTop);
    AddField4(&m_nBottom);
}

void cQuadSwitch::Set(int bLeft, int bRight, int bTop, int bBottom, int nLeft, int nRight, int nTop, int nBottom) {
    m_bLeft = bLeft;
    m_bRight = bRight;
    m_bTop = bTop;
    m_bBottom = bBottom;
    m_nLeft = nLeft;
    m_nRight = nRight;
    m_nTop = nTop;
    m_nBottom = nBottom;
}

void cBackground::RegisterFields(int nVer) {
    ClearFieldTable();
    uint32_t v = static_cast<uint32_t>(nVer);
    if (VerFrom(v, 62)) AddField4(&m_bShow);
    AddField4(&m_bFill);
    AddField4(&m_nFillColour);
    AddField4(&m_nLayer);
    if (VerFrom(v, 61)) {
        AddField8(&m_dRateX);
        AddField8(&m_dRateY);
        AddField4(&m_bAutoX);
        AddField4(&m_bAutoY);
    } else {
        AddField4(&nDummyField);
        AddField4(&nDummyField);
    }
    AddString(&m_strFile);
    if (VerFrom(v, 62)) {
        AddField8(&m_dOffsetX);
        AddField8(&m_dOffsetY);
    } else if (VerFrom(v, 61)) {
        AddField4(&nDummyField);
        AddField4(&nDummyField);
    }
}

void cBackground::SetDefault() {
    Clear();
    m_bShow = 1;
    m_nFillColour = 16;
    m_dRateX = 0.1;
    m_dRateY = 0.1;
}

void cStageVarName::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddString(&m_strName);
}
