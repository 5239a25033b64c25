#pragma once
// One scroll axis of the stage-play scene: the camera position, the scroll
// limits, the stage bounds, the cell origin, the map size and the auto-scroll.
// Positions are map dots: the stage's first cell starts at 320 (a margin of
// 10 cells on every side).
#include <cstdint>

constexpr int MAP_MARGIN_CELLS = 10;
constexpr int MAP_CELL_DOTS = 32;
constexpr int MAP_ORIGIN_DOTS = MAP_MARGIN_CELLS * MAP_CELL_DOTS;

class cScroll {
public:
    // Keeps the camera inside [min, max - view]; held when a limit holds it.
    void Clamp();
    // One logic step: the auto-scroll displacement, then the clamp.
    void Step();
    // nSpeed in tenths of a dot per frame; dStepFactor the stage's step factor.
    void SetAutoSpeed(int bOn, int nSpeed, double dStepFactor);
    // Limits from cells counted from the stage's first cell.
    void SetLimit(int nMinCell, int nMaxCell, int bMin, int bMax);
    // Sets the axis up for a stage of nStageCells cells (nAxis 0 horizontal,
    // 1 vertical); the pitch of the cell index comes with the horizontal axis.
    void SetUp(int nAxis, int nStageCells);

    double m_dCam = 0;          // camera position (left or top edge of the view)
    int32_t m_bHeld = 0;        // a limit holds the camera
    int32_t m_nAxis = 0;        // 0 horizontal, 1 vertical
    int32_t m_nView = 640;      // 640 or 480
    double m_dMin = 0;          // scroll limits: camera in [min, max - view]
    double m_dMax = 0;
    double m_dOrigin = MAP_ORIGIN_DOTS;   // stage bounds: first dot of the stage
    double m_dEnd = 0;          // default maximum: the dot past the stage's last cell
    int32_t m_nCellOrigin = MAP_MARGIN_CELLS;
    int32_t m_nMapSize = 0;     // extent: the whole map in dots
    int32_t m_nCells = 0;       // cells of the map on this axis (stage + 20)
    int32_t m_nPitch = 0;       // horizontal: row pitch (a power of two); vertical: rows
    int32_t m_nShift = 0;       // horizontal: log2 of the pitch; vertical: 0
    double m_dSpeed = 0;        // auto-scroll displacement per logic step
    int32_t m_bAuto = 0;
};

// The bit length of n (0 for 0): the row shift of a map n + 1 cells wide.
int BitLength(uint32_t n);
