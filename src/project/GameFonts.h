#pragma once
// The three fonts of the game (font 1 is the text font of menus, windows and
// messages) and their digit strips.
#include "graphics/Font.h"
#include "graphics/ImageSlots.h"

constexpr int GAME_FONT_COUNT = 3;

// The font objects are never destroyed: the shutdown releases them, and at
// the program's exit the graphics layer's font list may be gone already.
extern cFont (&aFont)[GAME_FONT_COUNT];
extern FONTDATA aFontData[GAME_FONT_COUNT];
extern DDSURFACEDATA sdExtra[GAME_FONT_COUNT];
extern IMAGEDATA aImgExtra[GAME_FONT_COUNT];

// Puts the default descriptions into a table of three.
void SetDefaultFontData(FONTDATA* pData);

// Creates the fonts and their digit strips once the display runs: the face
// (null keeps the descriptions' own), a cache mode of 2 replaced by the
// setting of the running profile, the symbol letters and glyph centring of
// the text font. 1 on success.
int SetUpGameFonts(const char* pszFace, int bSymbolLetters, int bCenterGlyph);
// Writes the glyph-cache statistics and releases the fonts and the strips.
void ReleaseGameFonts();
bool AreGameFontsReady();
