#include "project/GameFonts.h"

#include "foundation/Text.h"
#include "graphics/DDCreate.h"
#include "graphics/DDSurface.h"
#include "project/SystemIni.h"

cFont (&aFont)[GAME_FONT_COUNT] = *new cFont[1][GAME_FONT_COUNT];
FONTDATA aFontData[GAME_FONT_COUNT];
DDSURFACEDATA sdExtra[GAME_FONT_COUNT];
IMAGEDATA aImgExtra[GAME_FONT_COUNT];

namespace {
bool bFontsReady = false;

struct FONTINIT {
    FONTINIT() {
        SetDefaultFontData(aFontData);
        for (auto& im : aImgExtra) im.Set("", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    }
};
FONTINIT FontInit;
}  // namespace

void SetDefaultFontData(FONTDATA* p) {
    static const int anCell[GAME_FONT_COUNT][4] = {{9, 10, 10, 2}, {16, 16, 16, 2}, {30, 32, 32, 0}};
    for (int i = 0; i < GAME_FONT_COUNT; i++) {
        FONTDATA d;
        SjisCopy(d.szFace, sizeof d.szFace, "ＭＳ ゴシック");
        d.nWidth = 0;
        d.nHeight = anCell[i][0];
        d.nCellWidth = anCell[i][1];
        d.nLineHeight = anCell[i][2];
        d.nColorIndex = 241;
        d.nWindowImage = 45;
        d.nFrameWidth = 1;
        d.nFrameColor = 240;
        d.nSymbolImage = 50;
        d.nCache = anCell[i][3];
        p[i] = d;
    }
}

int SetUpGameFonts(const char* pszFace, int bSymbolLetters, int bCenterGlyph) {
    for (auto& d : aFontData) {
        if (pszFace && *pszFace) SjisCopy(d.szFace, sizeof d.szFace, pszFace);
        if (d.nCache == 2) d.nCache = lpDTCon ? nD3D_FontCache : nDD_FontCache;
    }
    if (!CreateFonts(aFont, aFontData, GAME_FONT_COUNT)) return 0;
    aFont[1].m_bSymbolLetters = bSymbolLetters;
    aFont[1].m_bCenterGlyph = bCenterGlyph;
    aFont[0].m_bSymbolLetters = 0;
    aFont[2].m_bSymbolLetters = 0;
    if (!CreateNumberSurfaces(sdExtra, aImgExtra, GAME_FONT_COUNT, aFont, aFontData)) return 0;
    bFontsReady = true;
    return 1;
}

void ReleaseGameFonts() {
    if (!bFontsReady) return;
    bFontsReady = false;
    ReleaseFonts(aFont, GAME_FONT_COUNT);
    for (auto& sd : sdExtra) DDReleaseSurface(&sd);
}

bool AreGameFontsReady() { return bFontsReady; }
