#pragma once
// The slot list window of the title's slot choice and the save menu.
#include <string>

#include "foundation/ChkContainers.h"
#include "project/SaveSlots.h"

struct DDSURFACEDATA;

// What a slot's row shows beside its number: the save time
// "YYYY/MM/DD hh:mm" for a save, "データが壊れています" for a damaged file,
// "新しいバージョンのデータです" for a newer program's, nothing for an empty
// slot.
std::string SaveSlotLabel(const cSaveSlotInfo& slot);

// A text-font window 320 wide and 16 per row at (x, y): per row the slot
// number and its label (SaveSlotLabel); a line under every row but the
// last.
void DrawSaveSlots(DDSURFACEDATA* pSurface, int x, int y, const cChkVector<cSaveSlotInfo>& vList, int nTop, int nRows);
