#include "frontend/SaveSlotList.h"

#include <cstdio>

#include "graphics/DDBlt.h"
#include "project/GameFonts.h"

std::string SaveSlotLabel(const cSaveSlotInfo& s) {
    // A damaged file's date may be half read: the player sees why it cannot
    // be continued instead.
    if (s.m_nState == SLOTSTATE_DAMAGED) return "データが壊れています";
    // A newer program's save is not shown as empty: it is there to keep.
    if (s.m_nState == SLOTSTATE_NEWER) return "新しいバージョンのデータです";
    if (!s.m_bExist) return std::string();
    const SYSTEMTIME& t = s.m_stSaveTime;
    char sz[64];
    std::snprintf(sz, sizeof sz, "%04d/%02d/%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    return sz;
}

void DrawSaveSlots(DDSURFACEDATA* pSurface, int x, int y, const cChkVector<cSaveSlotInfo>& vList, int nTop, int nRows) {
    cFont& font = aFont[1];
    font.DrawWindow(pSurface, x, y, 320, 16 * nRows);
    for (int i = 0; i < nRows; i++) {
        int yi = y + 16 * i;
        if (i < nRows - 1) DDFillRect(pSurface, x, yi + 15, 320, 1, 240);
        int nSlot = nTop + i;
        if (!vList.IsValid(nSlot)) break;
        font.Printf(pSurface, x + 16, yi, "%d", nSlot + 1);
        std::string strLabel = SaveSlotLabel(vList.At(nSlot));
        if (!strLabel.empty()) font.Printf(pSurface, x + 64, yi, "%s", strLabel.c_str());
    }
}
