#include "play/Scroll.h"

#include <algorithm>

int BitLength(uint32_t n) {
    int k = 0;
    while (n) {
        k++;
        n >>= 1;
    }
    return k;
}

void cScroll::Clamp() {
    if (m_dCam <= m_dMin) {
        m_dCam = m_dMin;
        m_bHeld = 1;
        return;
    }
    if (m_dCam + m_nView < m_dMax) {
        m_bHeld = 0;
        return;
    }
    m_dCam = m_dMax - m_nView;
    if (m_dCam < m_dMin) m_dCam = m_dMin;
    m_bHeld = 1;
}

void cScroll::Step() {
    m_dCam += m_dSpeed;
    Clamp();
}

void cScroll::SetAutoSpeed(int bOn, int nSpeed, double dStepFactor) {
    if (!bOn) {
        m_dSpeed = 0;
        m_bAuto = 0;
        return;
    }
    if (!(dStepFactor > 0)) dStepFactor = 1;
    m_dSpeed = nSpeed * 0.1 / dStepFactor;
    m_bAuto = 1;
}

void cScroll::SetLimit(int nMinCell, int nMaxCell, int bMin, int bMax) {
    m_dMin = bMin ? m_dOrigin + static_cast<double>(nMinCell) * MAP_CELL_DOTS : m_dOrigin;
    if (bMax) m_dMax = std::max(m_dOrigin + static_cast<double>(nMaxCell) * MAP_CELL_DOTS + MAP_CELL_DOTS, m_dMin);
    else m_dMax = m_dEnd;
}

void cScroll::SetUp(int nAxis, int nStageCells) {
    if (nStageCells < 0) nStageCells = 0;
    m_nAxis = nAxis;
    m_nView = nAxis == 0 ? 640 : 480;
    m_nCellOrigin = MAP_MARGIN_CELLS;
    m_dOrigin = MAP_ORIGIN_DOTS;
    m_nCells = nStageCells + 2 * MAP_MARGIN_CELLS;
    m_dEnd = std::max(0.0, (static_cast<double>(nStageCells) + MAP_MARGIN_CELLS) * MAP_CELL_DOTS);
    // The whole map: the stage's extent in dots and the two margins.
    m_nMapSize = m_nCells * MAP_CELL_DOTS;
    if (nAxis == 0) {
        m_nShift = BitLength(static_cast<uint32_t>(nStageCells + 2 * MAP_MARGIN_CELLS - 1));
        m_nPitch = 1 << m_nShift;
    } else {
        m_nShift = 0;
        m_nPitch = m_nCells;
    }
    m_dSpeed = 0;
    m_bAuto = 0;
    m_bHeld = 0;
    m_dMin = m_dOrigin;
    m_dMax = m_dEnd;
}
