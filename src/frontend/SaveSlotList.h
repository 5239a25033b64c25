#pragma once
// The slot list window of the title's slot choice and the save menu.
#include <string>

#include "foundation/ChkContainers.h"
#include "project/SaveSlots.h"

struct DDSURFACEDATA;

// What a slot's row shows beside its number: the save time
// "YYYY/MM/DD hh:mm" for a save, "データが壊れています" for a damaged file,
// nothing for an empty slot or one of a newer program.
std::string SaveSlotLabel(const cSaveSlotInfo& slot);

// A text-font window 320 wide and 16 per row at (x, y): per row the slot
// number and, for a slot that exists, its save time ("データが壊れています"
// for a damaged one); a line under every row but the last.
void DrawSaveSlots(DDSURFACEDATA* pSurface, int x, int y, const cChkVector<cSaveSlotInfo>& vList, int nTop, int nRows);
