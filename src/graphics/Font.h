#pragma once
// Fonts: Shift-JIS text drawn in fixed cells onto surfaces, with glyph caches.
//
// Every character, half-width or full-width, moves the pen by the font's cell
// width; a line break moves it down by the line height. A font can keep two
// glyph caches: a grid of all single-byte characters and a growing grid of
// double-byte characters pre-filled with a set of common ones. A cached glyph
// is drawn by one colour-keyed blit; other glyphs are rasterised (FreeType
// over the IPA fonts, or a rasteriser a test installs) and drawn in the text
// colour: monochrome under the DirectDraw profile, with coverage as alpha
// under the Direct3D profile.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "foundation/ChkContainers.h"
#include "graphics/DDSurface.h"
#include "graphics/GlyphRasterizer.h"

struct IMAGEDATA;

// The description of one font.
struct FONTDATA {
    char szFace[256] = {};
    int nWidth = 0;        // character width (0: the face's own)
    int nHeight = 0;       // character height (positive: the cell height)
    int nCellWidth = 0;    // pen advance per character; 0: proportional lines
    int nLineHeight = 0;   // pen advance per line
    int nColorIndex = 0;   // palette index of the text colour
    int nWindowImage = 0;  // image slot of the window background
    int nFrameWidth = 0;
    int nFrameColor = 0;   // palette index of the window frame
    int nSymbolImage = 0;  // image slot of the symbol letters
    int nCache = 0;        // 0 no glyph caches, 1 glyph caches, 2 the setting decides
};

// One cached double-byte character.
struct GLYPHENTRY {
    char szText[4] = {};  // lead byte, trail byte, zero
    int nCell = 0;
    int nX = 0, nY = 0;   // the cell's top-left corner in the grid image
};

struct TEXTSIZE {
    int cx = 0;
    int cy = 0;
};

// A glyph cache: a grid image of cells.
class cFastFont {
public:
    cFastFont() = default;
    ~cFastFont();
    cFastFont(const cFastFont&) = delete;
    cFastFont& operator=(const cFastFont&) = delete;

    // Creates the grid image; false when it cannot be created.
    bool Create(int nKind, int nCellWidth, int nCellHeight, int nColumns, int nRows);
    // Appends a character in the next free cell: 1 added, 0 full.
    int Add(const char* lpChar);
    // Blits the cell of a byte value.
    void DrawHalf(DDSURFACEDATA* dst, int x, int y, uint8_t c, int nFlags);
    // Blits the cell of the first entry of a character: 1 drawn, 0 not cached.
    int DrawFull(DDSURFACEDATA* dst, int x, int y, const char* lpChar, int nFlags);
    // The first entry of a character, or null.
    const GLYPHENTRY* Find(const char* lpChar) const;

    int m_nKind = 0;  // 0 half-width, 1 full-width
    int m_nCellWidth = 0, m_nCellHeight = 0;
    int m_nColumns = 0, m_nRows = 0;
    int m_nCapacity = 0;
    DDSURFACEDATA m_sd;
    cChkList<GLYPHENTRY> m_lstGlyph;
    int m_nUsed = 0;

private:
    std::unordered_map<uint16_t, int> m_mapFirst;  // character -> cell of its first entry
};

class cFont {
public:
    cFont() = default;
    ~cFont();
    cFont(const cFont&) = delete;
    cFont& operator=(const cFont&) = delete;

    void Create(const char* lpszFace, int nWidth, int nHeight, int nCellWidth, int nLineHeight, int nColorIndex,
                DDSURFACEDATA* lpWindowSD, int nFrameWidth, int nFrameColor, DDSURFACEDATA* lpSymbolSD, int bCache);
    void Release();

    int DrawText(DDSURFACEDATA* dst, int x, int y, const char* lpszText);
    int Printf(DDSURFACEDATA* dst, int x, int y, const char* fmt, ...) __attribute__((format(printf, 5, 6)));
    void DrawWindow(DDSURFACEDATA* dst, int x, int y, int nWidth, int nHeight);
    int DrawTextBox(DDSURFACEDATA* dst, int x, int y, int nWidth, int nHeight, const char* lpszText, int nMargin);
    // A window sized to the text.
    int DrawTextBox(DDSURFACEDATA* dst, int x, int y, const char* lpszText)
    {
        return DrawTextBox(dst, x, y, 0, 0, lpszText, 0);
    }
    int PrintfWindow(DDSURFACEDATA* dst, int x, int y, int nWidth, int nHeight, const char* fmt, ...)
        __attribute__((format(printf, 7, 8)));
    // Size in cells: the widest line's characters x cell width, lines x line height.
    void GetTextSize(TEXTSIZE* lpSize, const char* lpszText);
    // Size by the rasteriser's extents (the proportional layout).
    void MeasureText(TEXTSIZE* lpSize, const char* lpszText);

    void RenderHalfCache();
    void RenderFullCache(int bRestore);
    void RestoreCaches();

    int m_nId = 0;
    std::unique_ptr<cGlyphRasterizer> m_lpRasterizer;  // the font object of either profile
    std::string m_strFace;
    int m_nWidth = 0, m_nHeight = 0;
    int m_nCellWidth = 0, m_nLineHeight = 0;
    int m_nColorIndex = 0;
    uint32_t m_dwColor = 0;   // Direct3D: A8R8G8B8; DirectDraw: red in the low byte
    uint32_t m_dwPixel = 0;   // DirectDraw: the text colour as a pixel of the screen format
    int m_bCenterGlyph = 0;
    DDSURFACEDATA m_sdWork;
    DDSURFACEDATA* m_lpWindowSD = nullptr;
    int m_nFrameWidth = 0, m_nFrameColor = 0;
    DDSURFACEDATA* m_lpSymbolSD = nullptr;
    int m_bSymbolLetters = 0;
    int m_bCache = 0;
    std::unique_ptr<cFastFont> m_lpFastFont_Half;
    std::unique_ptr<cFastFont> m_lpFastFont_FullAdd;

private:
    void DrawGlyphs(DDSURFACEDATA* lpTarget, int x0, int y0, DDSURFACEDATA* lpCacheTarget, int cx0, int cy0,
                    const char* lpszText, int bSymbol);
    void DrawGlyph(DDSURFACEDATA* lpTarget, int x, int y, const char* lpBytes, int nCount, bool bCentre);
    void DrawSymbolLetters(DDSURFACEDATA* dst, int x, int y, const char* lpszText);
    void DrawIntoFullCell(const GLYPHENTRY& e);
    void DrawCoverage(DDSURFACEDATA* lpTarget, int x, int y, const DDGLYPHIMAGE& img);
    bool SymbolLoaded() const;
    bool UseBracketShift() const;
    void DeleteCaches();
    void MeasureForDraw(TEXTSIZE* lpSize, const char* lpszText);
};

// The fonts of the game, reached by the restores. Never destroyed, so fonts
// that outlive it at the end of the process can still leave it.
extern std::list<cFont*>& lstFont;

int CreateFonts(cFont* lpFonts, FONTDATA* lpRecords, int nCount);
// Creates digit strip i (10 x cell width by line height of record i) and
// draws the digits into it with font i.
int CreateNumberSurfaces(DDSURFACEDATA* lpSurfaces, IMAGEDATA* lpImages, int nCount, cFont* lpFonts,
                         FONTDATA* lpRecords);
void DrawNumberSurface(DDSURFACEDATA* sd, cFont* lpFont);
// A number from an image of the digits 0 to 9 side by side.
void DDDrawNumber(DDSURFACEDATA* dst, int x, int y, int dw, int dh, DDSURFACEDATA* lpImage, int ix, int iy,
                  int nFlags, int nValue, int nMinDigits, int bCentre);
void DDDrawWindow(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* lpBack, int nFrameWidth,
                  uint32_t dwFrameColor);
void DDDrawBoxFrame(DDSURFACEDATA* dst, int x, int y, int w, int h, int nThickness, uint32_t dwPalNum);
// Bytes before the first line break or the end.
int GetLineLength(const char* lpszText);
// Writes the font statistics to the report and releases every font.
void ReleaseFonts(cFont* lpFonts, int nCount);
