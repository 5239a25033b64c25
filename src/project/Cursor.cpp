#include "project/Cursor.h"

#include <algorithm>

#include "foundation/ErrorBox.h"
#include "foundation/Text.h"
#include "project/GameFonts.h"
#include "sound/WaveSound.h"

cCursor Cursor_Menu;

namespace {

enum : int { KEY_LEFT = 1, KEY_RIGHT = 2, KEY_UP = 4, KEY_DOWN = 8 };

void PlayFromSoundTable(int nSound) {
    if (nSound >= 0 && static_cast<size_t>(nSound) < vecWave.size()) DS_Play(&vecWave[nSound], 0);
}
CURSORSOUNDFN pfnCursorSound = PlayFromSoundTable;

// The j-th enabled entry of a list, or entry 0 with the debug report when
// there is none.
const cCmd& GetEnabledEntry(const cChkVector<cCmd>& vList, int j) {
    int n = cCmd::GetCmdNum(j, vList);
    if (n < 0 || !vList.IsValid(n)) {
        ErrorBoxEC("cCmd::GetCmdNum 番号が不正です！");
        n = 0;
    }
    return vList.At(n);
}

}  // namespace

cCursor::cCursor() { Reset(); }

void cCursor::Reset() {
    m_vPos.assign(1, CURSORPOS());
    m_nTop = 0;
}

void cCursor::Push(int nMode) {
    CURSORPOS pos;
    if (nMode == 1 && m_vPos.size() >= 2) pos = m_vPos.At(m_nTop);
    m_vPos.push_back(pos);
    m_nTop = static_cast<int>(m_vPos.size()) - 1;
}

void cCursor::Pop(int nMode) {
    if (m_vPos.size() < 2) return;
    CURSORPOS removed = m_vPos.back();
    m_vPos.pop_back();
    m_nTop = static_cast<int>(m_vPos.size()) - 1;
    CURSORPOS& cur = m_vPos.At(m_nTop);
    if (nMode == 0) cur = CURSORPOS();
    else if (nMode == 2) cur = removed;
}

void cCursor::Move(int nKeys, int x0, int y0, int dx, int dy, int nCols, int nRows) {
    if (nCols < 0 || nRows < 0) return;
    CURSORPOS& c = Cur();
    if (nKeys & KEY_LEFT) c.nX--;
    else if (nKeys & KEY_RIGHT) c.nX++;
    if (nKeys & KEY_UP) c.nY--;
    else if (nKeys & KEY_DOWN) c.nY++;
    if (c.nY < 0) c.nY = nRows - 1;
    else if (c.nY >= nRows) c.nY = 0;
    if (c.nX < 0) c.nX = nCols - 1;
    else if (c.nX >= nCols) c.nX = 0;
    c.nDrawX = x0 + dx * c.nX;
    c.nDrawY = y0 + dy * c.nY;
}

void cCursor::MoveList(int nKeys, int bVertical, int* pTop, int nBase, int nStep, int nOther, int nVisible,
                       int nCount, int bPaging) {
    CURSORPOS& c = Cur();
    int& r = bVertical ? c.nY : c.nX;
    int& top = *pTop;
    const int v = nVisible, d = nCount;
    if (nKeys & KEY_UP) {
        if (r - top < 1) top--;
        r--;
    } else if (nKeys & KEY_DOWN) {
        if (r - top >= v - 1) top++;
        r++;
    }
    if (bPaging) {
        if (nKeys & KEY_RIGHT) {
            if (top == d - v) {
                r = d - 1;
            } else {
                top += v - 1;
                r += v - 1;
            }
        } else if (nKeys & KEY_LEFT) {
            if (top != 0) {
                top -= v - 1;
                r -= v - 1;
            } else {
                r = 0;
            }
        }
    }
    r = std::clamp(r, 0, std::max(0, d - 1));
    top = std::clamp(top, 0, std::max(0, d - v));
    int nAlong = nBase + nStep * (r - top);
    if (bVertical) {
        c.nDrawY = nAlong;
        c.nDrawX = nOther;
    } else {
        c.nDrawX = nAlong;
        c.nDrawY = nOther;
    }
}

void SetCursorSoundFn(CURSORSOUNDFN pfn) { pfnCursorSound = pfn ? pfn : PlayFromSoundTable; }

void PlayCursorSE(int nKeys, int nAxes, int nSound) {
    if ((nAxes & 1) && (nKeys & (KEY_LEFT | KEY_RIGHT))) pfnCursorSound(nSound);
    if ((nAxes & 2) && (nKeys & (KEY_UP | KEY_DOWN))) pfnCursorSound(nSound);
}

int GetCmdListWidth(const cChkVector<cCmd>& vList, int* pCount) {
    int k = cCmd::GetEnableNum(vList);
    int w = 0;
    for (int j = 0; j < k; j++) w = std::max(w, GetCharCount(GetEnabledEntry(vList, j).m_strText.c_str()));
    if (pCount) *pCount = k;
    return w;
}

void DrawCmdList(DDSURFACEDATA* pSurface, int x, int y, const cChkVector<cCmd>& vList) {
    int k = 0;
    int w = GetCmdListWidth(vList, &k);
    if (w == 0) return;
    cFont& font = aFont[1];
    font.DrawWindow(pSurface, x, y, 16 * (w + 1), 16 * k);
    for (int j = 0; j < k; j++) font.DrawText(pSurface, x + 16, y + 16 * j, GetEnabledEntry(vList, j).m_strText.c_str());
}

int GetCmdListX(int x, const cChkVector<cCmd>& vList) {
    int w = GetCmdListWidth(vList, nullptr);
    return w == 0 ? x : x - (16 * (w + 1)) / 2;
}
