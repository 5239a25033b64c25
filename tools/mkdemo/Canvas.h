#pragma once
// An 8-bit palette image drawn procedurally for the demo project, written as
// an uncompressed bottom-up BMP with the demo palette.
#include <cstdint>
#include <string>
#include <vector>

// The demo palette: 0 the transparent key (magenta), 1..15 plain colours,
// 16..231 a 6 x 6 x 6 colour cube, 232..255 a grey ramp but for the two
// font colours 240 and 241.
struct RGB8 {
    uint8_t r, g, b;
};
const std::vector<RGB8>& DemoPalette();
enum : uint8_t {
    COL_KEY = 0,
    COL_WHITE = 1,
    COL_BLACK = 2,
    COL_RED = 3,
    COL_GREEN = 4,
    COL_BLUE = 5,
    COL_YELLOW = 6,
    COL_MAGENTA = 7,
    COL_PURPLE = 8,
    COL_ORANGE = 9,
    COL_BROWN = 10,
    COL_DARKGREEN = 11,
    COL_SKY = 12,
    COL_GREY = 13,
    COL_DARKBLUE = 14,
    COL_PINK = 15,
    // Kept for the fonts: the frame and the text of every message window.
    COL_FONT_FRAME = 240,
    COL_FONT_TEXT = 241,
};
// Cube colour with components 0..5.
inline uint8_t Cube(int r, int g, int b) { return static_cast<uint8_t>(16 + 36 * r + 6 * g + b); }
// Grey 0..23.
inline uint8_t Grey(int n) { return static_cast<uint8_t>(232 + n); }

class cCanvas {
public:
    cCanvas(int w, int h, uint8_t fill = COL_KEY) : m_nW(w), m_nH(h), m_v(static_cast<size_t>(w) * h, fill) {}
    int Width() const { return m_nW; }
    int Height() const { return m_nH; }

    void Pixel(int x, int y, uint8_t c) {
        if (x >= 0 && y >= 0 && x < m_nW && y < m_nH) m_v[static_cast<size_t>(y) * m_nW + x] = c;
    }
    uint8_t Get(int x, int y) const { return m_v[static_cast<size_t>(y) * m_nW + x]; }
    void Rect(int x, int y, int w, int h, uint8_t c);
    void Frame(int x, int y, int w, int h, uint8_t c);
    void Disc(int cx, int cy, int r, uint8_t c);
    void Line(int x0, int y0, int x1, int y1, uint8_t c);
    // Upper-case letters, digits and a few signs in a 5 x 7 dot font, each
    // dot scale x scale; returns the width drawn.
    int Text(int x, int y, const char* psz, uint8_t c, int nScale = 1);
    static int TextWidth(const char* psz, int nScale = 1);

    // Writes the BMP through the file system layer (a data path).
    bool Save(const char* pszDataPath) const;

private:
    int m_nW, m_nH;
    std::vector<uint8_t> m_v;
};
