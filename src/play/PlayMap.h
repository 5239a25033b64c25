#pragma once
// What the play rules read of the stage in play and of the block map: the
// stage and settings records, the scroll axes of the scene and the map cells
// by column and row. Every cell lookup is clamped into the map.
#include <cmath>
#include <limits>

#include "play/MapCell.h"
#include "play/Scroll.h"

class cStage;
class cSystemData;

cStage& PlayStage();
const cSystemData& PlaySystem();
// The scroll axes of the live scene (a still default axis when none).
cScroll& PlayScrollX();
cScroll& PlayScrollY();

// The row shift of the map cell index and the map size in cells.
int MapRowShift();
int MapCols();
int MapRows();
// Index of (column, row) with both clamped into the map; -1 when the map is
// empty.
int MapCellIndexClamped(int nCol, int nRow);
// Index of (column, row), -1 outside the map.
int MapCellIndex(int nCol, int nRow);
// The cell at an index to change (an empty cell gets its block copy), null
// when outside.
cMapCell* MapCellAt(int nIndex);
// The cell at an index to read: null when outside or empty (no block).
cMapCell* MapCellFind(int nIndex);
// The collision kind of a cell for a group (0 for no cell).
int MapCellKind(int nIndex, int nGroup);
// A map-dot coordinate (any double) as a cell number, clamped into
// [0, nCells - 1]; a non-finite coordinate gives 0.
int DotToCellClamped(double d, int nCells);
// Truncation toward zero into the int range; non-finite gives 0. Inline:
// every move and box of every object goes through it.
inline int TruncDot(double d) {
    if (!std::isfinite(d)) return 0;
    if (d >= 2147483647.0) return std::numeric_limits<int>::max();
    if (d <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(d);
}
