#pragma once
// One scroll axis of the stage-play scene: the camera position, the scroll
// limits, the stage bounds, the cell origin, the map size and the auto-scroll.
#include <cstdint>

class cScroll {
public:
    void Step();

    double m_dCam = 0;          // camera position (map dots)
    double m_dMin = 0;          // scroll limits
    double m_dMax = 0;
    double m_dOrigin = 0;       // stage bounds
    double m_dEnd = 0;
    int32_t m_nCellOrigin = 10; // first stage cell (the margin)
    int32_t m_nMapSize = 0;     // map size in dots
    int32_t m_nCells = 0;       // map size in cells
    int32_t m_nShift = 0;       // row shift of the cell index (vertical axis: unused)
    double m_dSpeed = 0;        // auto-scroll speed per step
    int32_t m_bHeld = 0;        // held at a limit
};
