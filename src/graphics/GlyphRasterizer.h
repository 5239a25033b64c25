#pragma once
// Turning Shift-JIS text into coverage images for the fonts.
//
// A rasteriser stands for one font face at one size. It measures text the way
// the fonts lay it out (width = the sum of the advances, height = the font's
// cell height, ascent plus descent) and renders text into a coverage image of
// that measured size with the top of the cell at row 0. The fonts own one
// rasteriser each; tests install a factory of their own to get exact shapes.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct DDGLYPHIMAGE {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint8_t> vCoverage;  // nWidth x nHeight, row by row, 0..255
};

class cGlyphRasterizer {
public:
    virtual ~cGlyphRasterizer() = default;
    // Size of the text's box in pixels (no line breaks in the bytes).
    virtual void MeasureText(const char* lpBytes, int nCount, int* lpWidth, int* lpHeight) = 0;
    // Coverage of the text, sized as MeasureText says. bMono asks for
    // two-level coverage (0 or 255) as a palette screen draws it.
    virtual void RenderText(const char* lpBytes, int nCount, bool bMono, DDGLYPHIMAGE* lpImage) = 0;
};

// Makes the rasteriser of a face (its Shift-JIS name), a height (positive: the
// cell height; negative: the character height; 0: the default) and a
// character width (0: the face's own).
using DDRASTERIZERFACTORY =
    std::function<std::unique_ptr<cGlyphRasterizer>(const char* lpszFace, int nHeight, int nWidth)>;

// Installs a factory; an empty one restores the FreeType rasteriser.
void DDSetRasterizerFactory(DDRASTERIZERFACTORY fn);
std::unique_ptr<cGlyphRasterizer> DDCreateRasterizer(const char* lpszFace, int nHeight, int nWidth);

// The FreeType rasteriser over the IPA fonts. Returns null when the font file
// cannot be opened.
std::unique_ptr<cGlyphRasterizer> DDCreateFreeTypeRasterizer(const char* lpszFace, int nHeight, int nWidth);

// The IPA font file that stands in for a face name (Shift-JIS).
const char* DDGetFontFileForFace(const char* lpszFace);
