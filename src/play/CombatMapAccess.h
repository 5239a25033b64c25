#pragma once
// The services of the block map and the scene that the combat rules use:
// the stage and settings in play, the scroll axes and the block kind of a
// map cell for a collision group. Defined with the block map.
#include "play/Scroll.h"

class cStage;
class cSystemData;

cStage& PlayStage();
const cSystemData& PlaySystem();
cScroll& PlayScrollX();
cScroll& PlayScrollY();
int MapCellIndexClamped(int nCol, int nRow);
int MapCellKind(int nIndex, int nGroup);
int TruncDot(double d);
