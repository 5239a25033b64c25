#pragma once
// The menu cursor: one global stack of positions moved by every menu of the
// program (title, slot lists, world-map prompt, save menu, options, stage
// select, the pause and retry menus of stage play). Entering a sub-menu
// pushes a position, leaving it pops back to the parent. Also the command
// window of a list of menu entries and the cursor sound.
#include <cstdint>

#include "foundation/ChkContainers.h"
#include "stage/Cmd.h"

struct DDSURFACEDATA;

struct CURSORPOS {
    int nX = 0;      // column
    int nY = 0;      // row
    int nDrawX = 0;  // pixel position of the cursor picture
    int nDrawY = 0;
};

class cCursor {
public:
    cCursor();

    void Reset();
    void Push(int nMode);
    void Pop(int nMode);
    // A grid or single-column menu with wrap-around.
    void Move(int nKeys, int x0, int y0, int dx, int dy, int nCols, int nRows);
    // A scrolling list without wrap-around.
    void MoveList(int nKeys, int bVertical, int* pTop, int nBase, int nStep, int nOther, int nVisible, int nCount,
                  int bPaging);

    CURSORPOS& Cur() { return m_vPos.At(m_nTop); }
    const CURSORPOS* GetBelow() const { return m_nTop > 0 ? &m_vPos.At(m_nTop - 1) : nullptr; }
    int GetDepth() const { return m_nTop; }

private:
    cChkVector<CURSORPOS> m_vPos;
    int m_nTop = 0;   // index of the current position; the stack never becomes empty
};

extern cCursor Cursor_Menu;

// Where the cursor sound goes: by default entry n of the sound table through
// the audio layer, played at once on the calling thread. Tests install their own.
using CURSORSOUNDFN = void (*)(int nSound);
void SetCursorSoundFn(CURSORSOUNDFN pfn);   // null restores the default

// The cursor sound: entry n when axes bit 1 is set and left or right is
// pressed, and (again) when axes bit 2 is set and up or down is pressed.
void PlayCursorSE(int nKeys, int nAxes, int nSound);

// The command window of the enabled entries of a list at (x, y), one row of
// 16 dots per entry, in the text font's window. Nothing when every enabled
// text is empty.
void DrawCmdList(DDSURFACEDATA* pSurface, int x, int y, const cChkVector<cCmd>& vList);
// The left edge that centres the command window of the list on x.
int GetCmdListX(int x, const cChkVector<cCmd>& vList);
// The widest enabled text in characters, and the number of enabled entries.
int GetCmdListWidth(const cChkVector<cCmd>& vList, int* pCount);
