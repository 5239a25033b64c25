// Draw batching, glyph-sheet text and the dialog mode.
#include "graphics/DDBatch.h"

#include <algorithm>
#include <cstdarg>

#include "foundation/Log.h"
#include "foundation/Text.h"
#include "graphics/DDBlt.h"
#include "platform/MessageBox.h"
#include "platform/Presenter.h"

namespace {

struct BLTBATCH {
    bool bOpen = false;
    int nSortMode = 0;
    std::vector<BLTENTRY> vEntries;
    std::vector<DDSURFACEDATA*> vSurfaces;   // registration order; key base 100000 * (i + 1)
    int32_t nCounter = 0;
};

struct FILLBATCH {
    bool bOpen = false;
    std::vector<FILLENTRY> vEntries;
};

BLTBATCH& Blt() {
    static BLTBATCH b;
    return b;
}
FILLBATCH& Fill() {
    static FILLBATCH b;
    return b;
}
std::vector<BLTENTRY>& LastFlush() {
    static std::vector<BLTENTRY> v;
    return v;
}
std::vector<DDBATCHRUN>& LastRuns() {
    static std::vector<DDBATCHRUN> v;
    return v;
}

bool SameRun(const BLTENTRY& a, const BLTENTRY& b) {
    return a.lpSrc == b.lpSrc && a.lpDst == b.lpDst && a.nFlags == b.nFlags && a.dwBltColor == b.dwBltColor &&
           a.nBltColorOp == b.nBltColorOp && a.nBltAlphaOp == b.nBltAlphaOp;
}

}  // namespace

bool DDIsBltBatchOpen() { return lpDTCon && Blt().bOpen; }
bool DDIsFillBatchOpen() { return lpDTCon && Fill().bOpen; }

const std::vector<BLTENTRY>& DDGetLastBltFlush() { return LastFlush(); }
const std::vector<DDBATCHRUN>& DDGetLastBltRuns() { return LastRuns(); }

void DDBeginBltBatch(int nSortMode) {
    if (!lpDTCon) return;
    BLTBATCH& b = Blt();
    if (b.bOpen && !b.vEntries.empty()) {
        // A begin inside an open batch draws what was collected first.
        WriteEC("DDBeginBltBatch: open batch flushed (%d)", static_cast<int>(b.vEntries.size()));
        DDEndBltBatch();
    }
    b.bOpen = true;
    b.nSortMode = nSortMode;
    b.vEntries.clear();
    b.vSurfaces.clear();
    b.nCounter = 0;
}

void DDBatchAddSurface(DDSURFACEDATA* sd) {
    if (!lpDTCon) return;
    BLTBATCH& b = Blt();
    if (!b.bOpen || b.nSortMode == 0 || !sd) return;
    DDResolveShared(&sd);
    if (std::find(b.vSurfaces.begin(), b.vSurfaces.end(), sd) == b.vSurfaces.end()) b.vSurfaces.push_back(sd);
}

bool DDBatchCollectBlt(const BLTENTRY& e) {
    BLTBATCH& b = Blt();
    if (!lpDTCon || !b.bOpen) return false;
    BLTENTRY n = e;
    int32_t nBase = 0;
    if (b.nSortMode != 0) {
        auto it = std::find(b.vSurfaces.begin(), b.vSurfaces.end(), e.lpSrc);
        if (it != b.vSurfaces.end()) nBase = 100000 * static_cast<int32_t>(it - b.vSurfaces.begin() + 1);
    }
    n.nKey = nBase + b.nCounter;
    b.nCounter++;
    b.vEntries.push_back(n);
    return true;
}

void DDEndBltBatch() {
    if (!lpDTCon) return;
    BLTBATCH& b = Blt();
    if (b.vEntries.empty()) {
        b.bOpen = false;
        b.vSurfaces.clear();
        b.nCounter = 0;
        return;
    }
    std::vector<BLTENTRY> v;
    v.swap(b.vEntries);
    b.bOpen = false;  // the replay draws at once
    if (b.nSortMode != 0)
        std::stable_sort(v.begin(), v.end(), [](const BLTENTRY& a, const BLTENTRY& c) { return a.nKey < c.nKey; });
    std::vector<DDBATCHRUN> runs;
    for (size_t i = 0; i < v.size();) {
        size_t j = i + 1;
        while (j < v.size() && SameRun(v[i], v[j])) j++;
        runs.push_back({static_cast<int>(i), static_cast<int>(j - i)});
        DDBeginScene();
        if (DDSetRenderTarget(v[i].lpDst)) {
            // The transparent clears of a run come before its draws.
            for (size_t k = i; k < j; k++)
                DDDrawQuad(v[k].lpDst, v[k].x, v[k].y, v[k].w, v[k].h, v[k].lpSrc, v[k].sx, v[k].sy, v[k].sw, v[k].sh,
                           v[k].nFlags, v[k].dwBltColor, v[k].nBltColorOp, v[k].nBltAlphaOp, DDQUAD_CLEAR);
            for (size_t k = i; k < j; k++)
                DDDrawQuad(v[k].lpDst, v[k].x, v[k].y, v[k].w, v[k].h, v[k].lpSrc, v[k].sx, v[k].sy, v[k].sw, v[k].sh,
                           v[k].nFlags, v[k].dwBltColor, v[k].nBltColorOp, v[k].nBltAlphaOp, DDQUAD_DRAW);
        }
        i = j;
    }
    LastFlush() = v;
    LastRuns() = runs;
    b.vSurfaces.clear();
    b.nCounter = 0;
}

void DDBeginFillBatch() {
    if (!lpDTCon) return;
    FILLBATCH& f = Fill();
    if (f.bOpen && !f.vEntries.empty()) {
        WriteEC("DDBeginFillBatch: open batch flushed (%d)", static_cast<int>(f.vEntries.size()));
        DDEndFillBatch();
    }
    f.bOpen = true;
    f.vEntries.clear();
}

bool DDBatchCollectFill(const FILLENTRY& e) {
    FILLBATCH& f = Fill();
    if (!lpDTCon || !f.bOpen) return false;
    f.vEntries.push_back(e);
    return true;
}

void DDEndFillBatch() {
    if (!lpDTCon) return;
    FILLBATCH& f = Fill();
    std::vector<FILLENTRY> v;
    v.swap(f.vEntries);
    f.bOpen = false;
    // Fills of a batch are drawn opaque (the alpha stage is off).
    for (const FILLENTRY& e : v) {
        DDBeginScene();
        if (DDSetRenderTarget(e.lpDst)) DDDrawFill(e.lpDst, e.x, e.y, e.w, e.h, e.dwColor);
    }
}

void DDSheetText(DDSURFACEDATA* dst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet, const char* text) {
    if (!dst || !lpSheet || !text) return;
    if (lpDTCon) DDBeginBltBatch(0);
    int cx = x, cy = y;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++) {
        unsigned c = *p;
        if (c == '\n') {
            cx = x;
            cy += nCellH;
            continue;
        }
        int nCol = static_cast<int>(c % 16), nRow = static_cast<int>(c / 16);
        if (c >= 0xA6 && c <= 0xBF) nRow -= 10;
        else if (c >= 0xC0 && c <= 0xDD) nRow -= 4;
        DDBlt(dst, cx, cy, nCellW, nCellH, lpSheet, nCol * nCellW, nRow * nCellH, 1);
        cx += nCellW;
        if (cx - x >= nScreenWidth) {
            cx = x;
            cy += nCellH;
        }
    }
    if (lpDTCon) DDEndBltBatch();
}

void DDSheetPrintf(DDSURFACEDATA* dst, int x, int y, int nCellW, int nCellH, DDSURFACEDATA* lpSheet, const char* fmt,
                   ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(256, fmt, ap);
    va_end(ap);
    DDSheetText(dst, x, y, nCellW, nCellH, lpSheet, s.c_str());
}

int DDSetDialogMode(int bOn) {
    if (bDDWindowed) return 1;
    if (lpDTCon && bOn) DDEndScene();
    // Boxes appear over the desktop-sized full-screen window as they are;
    // there is no exclusive mode to leave. The cursor shows while a box is up.
    if (hDDWnd) PresenterShowCursor(bOn != 0);
    return 1;
}

int DDMesBox(const char* text, const char* caption, unsigned nType) {
    if (!DDSetDialogMode(1)) {
        WriteEC("DDMesBox 失敗! %s, %s", text ? text : "", caption ? caption : "");
        return 0;
    }
    GetMessageBoxService().Show(text ? text : "", caption ? caption : "", nType);
    DDSetDialogMode(0);
    return 1;
}
