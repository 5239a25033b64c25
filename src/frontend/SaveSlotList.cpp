#include "frontend/SaveSlotList.h"

#include "graphics/DDBlt.h"
#include "project/GameFonts.h"

void DrawSaveSlots(DDSURFACEDATA* pSurface, int x, int y, const cChkVector<cSaveSlotInfo>& vList, int nTop, int nRows) {
    cFont& font = aFont[1];
    font.DrawWindow(pSurface, x, y, 320, 16 * nRows);
    for (int i = 0; i < nRows; i++) {
        int yi = y + 16 * i;
        if (i < nRows - 1) DDFillRect(pSurface, x, yi + 15, 320, 1, 240);
        int nSlot = nTop + i;
        if (!vList.IsValid(nSlot)) break;
        font.Printf(pSurface, x + 16, yi, "%d", nSlot + 1);
        const cSaveSlotInfo& s = vList.At(nSlot);
        if (s.m_nState == SLOTSTATE_DAMAGED) {
            // Its date may be half read: the player sees why it cannot be continued.
            font.Printf(pSurface, x + 64, yi, "%s", "データが壊れています");
        } else if (s.m_bExist) {
            const SYSTEMTIME& t = s.m_stSaveTime;
            font.Printf(pSurface, x + 64, yi, "%04d/%02d/%02d %02d:%02d\n", t.wYear, t.wMonth, t.wDay, t.wHour,
                        t.wMinute);
        }
    }
}
