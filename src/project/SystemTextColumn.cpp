// Drawing a column of system texts in a text window (the front end's yes/no
// prompts).
#include "foundation/Text.h"
#include "graphics/Font.h"
#include "project/SystemData.h"
#include "project/GameFonts.h"

void cSystemData::DrawTextColumn(DDSURFACEDATA* lpDst, int x, int y, int nFirst, int nCount, int bCursor) const {
    if (nCount <= 0) return;
    std::string strText;
    for (int i = 0; i < nCount; i++) AppendFormat(strText, bCursor ? " %s\n" : "%s\n", GetSysText(nFirst + i));
    int c = GetTextColumnChars(nFirst, nCount);
    aFont[1].PrintfWindow(lpDst, x, y, (c + (bCursor ? 1 : 0)) * 16, nCount * 16, "%s", strText.c_str());
}
