#pragma once
// Draw batching, glyph-sheet text and the dialog mode.
#include <vector>
#include "graphics/DDSurface.h"

struct BLTENTRY {
    int32_t nKey = 0;
    DDSURFACEDATA* lpDst = nullptr;
    DDSURFACEDATA* lpSrc = nullptr;
    int32_t x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0, sw = 0, sh = 0;
    int32_t nFlags = 0;
    uint32_t dwBltColor = 0xFFFFFFFFu;
    int32_t nBltColorOp = 4;
    int32_t nBltAlphaOp = 2;
    int32_t nReserved = 0;
};

struct FILLENTRY {
    DDSURFACEDATA* lpDst = nullptr;
    int32_t x = 0, y = 0, w = 0, h = 0;
    uint32_t dwColor = 0;
};

void DDBeginBltBatch(int nSortMode);
void DDBatchAddSurface(DDSURFACEDATA* sd);
void DDEndBltBatch();
void DDBeginFillBatch();
void DDEndFillBatch();
// Used by the blit and fill paths: true when the entry was collected.
bool DDBatchCollectBlt(const BLTENTRY& e);
bool DDBatchCollectFill(const FILLENTRY& e);
bool DDIsBltBatchOpen();
bool DDIsFillBatchOpen();

// Inspection for tests: the order and runs the last flush drew.
struct DDBATCHRUN {
    int nFirst = 0, nCount = 0;
};
const std::vector<BLTENTRY>& DDGetLastBltFlush();
const std::vector<DDBATCHRUN>& DDGetLastBltRuns();

// Glyph-sheet text: 16 glyph cells per row of the sheet.
void DDSheetText(DDSURFACEDATA* dst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet, const char* text);
void DDSheetPrintf(DDSURFACEDATA* dst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet,
                   const char* fmt, ...) __attribute__((format(printf, 7, 8)));

int DDSetDialogMode(int bOn);
int DDMesBox(const char* text, const char* caption, unsigned nType);
