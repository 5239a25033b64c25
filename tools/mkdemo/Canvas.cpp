#include "Canvas.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/FileSystem.h"

const std::vector<RGB8>& DemoPalette() {
    static const std::vector<RGB8> v = [] {
        std::vector<RGB8> p(256);
        const RGB8 base[16] = {
            {255, 0, 255}, {255, 255, 255}, {0, 0, 0},     {220, 40, 40},  {40, 180, 60},  {40, 80, 220},
            {250, 220, 40}, {230, 60, 200}, {120, 60, 180}, {250, 150, 30}, {140, 90, 40},  {20, 110, 40},
            {120, 190, 250}, {128, 128, 128}, {20, 30, 90}, {250, 170, 190},
        };
        for (int i = 0; i < 16; i++) p[i] = base[i];
        for (int r = 0; r < 6; r++)
            for (int g = 0; g < 6; g++)
                for (int b = 0; b < 6; b++)
                    p[16 + 36 * r + 6 * g + b] = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                                   static_cast<uint8_t>(b * 51)};
        for (int i = 0; i < 24; i++) {
            uint8_t n = static_cast<uint8_t>(8 + i * 10);
            p[232 + i] = {n, n, n};
        }
        // The text and window-frame colours of the player's fonts: white text
        // in a gold frame, both outside the cycling range, so the navy window
        // keeps them readable at every step of the colour animation. Their
        // channels are multiples of 17, which 4-bit texture channels keep.
        p[COL_FONT_FRAME] = {255, 204, 51};
        p[COL_FONT_TEXT] = {255, 255, 255};
        return p;
    }();
    return v;
}

void cCanvas::Rect(int x, int y, int w, int h, uint8_t c) {
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) Pixel(i, j, c);
}

void cCanvas::Frame(int x, int y, int w, int h, uint8_t c) {
    Rect(x, y, w, 1, c);
    Rect(x, y + h - 1, w, 1, c);
    Rect(x, y, 1, h, c);
    Rect(x + w - 1, y, 1, h, c);
}

void cCanvas::Disc(int cx, int cy, int r, uint8_t c) {
    for (int j = -r; j <= r; j++)
        for (int i = -r; i <= r; i++)
            if (i * i + j * j <= r * r) Pixel(cx + i, cy + j, c);
}

void cCanvas::Line(int x0, int y0, int x1, int y1, uint8_t c) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Pixel(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

namespace {

// 5 x 7 glyphs, one string of 7 rows of 5 dots each.
const char* Glyph(char ch) {
    switch (ch) {
    case 'A': return " ### #   ##   #######   ##   ##   #";
    case 'B': return "#### #   ##   ##### #   ##   ##### ";
    case 'C': return " ### #   ##    #    #    #   # ### ";
    case 'D': return "#### #   ##   ##   ##   ##   ##### ";
    case 'E': return "######    #    #### #    #    #####";
    case 'F': return "######    #    #### #    #    #    ";
    case 'G': return " ### #   ##    # ####   ##   # ####";
    case 'H': return "#   ##   ##   #######   ##   ##   #";
    case 'I': return " ###   #    #    #    #    #   ### ";
    case 'J': return "  ###   #    #    #    ##   # ###  ";
    case 'K': return "#   ##  # # #  ##   # #  #  # #   #";
    case 'L': return "#    #    #    #    #    #    #####";
    case 'M': return "#   ### ### # ##   ##   ##   ##   #";
    case 'N': return "#   ###  ## # ##  ###   ##   ##   #";
    case 'O': return " ### #   ##   ##   ##   ##   # ### ";
    case 'P': return "#### #   ##   ##### #    #    #    ";
    case 'Q': return " ### #   ##   ##   ## # ##  #  ## #";
    case 'R': return "#### #   ##   ##### # #  #  # #   #";
    case 'S': return " #####    #     ###     #    #### ";
    case 'T': return "#####  #    #    #    #    #    #  ";
    case 'U': return "#   ##   ##   ##   ##   ##   # ### ";
    case 'V': return "#   ##   ##   ##   ##   # # #   #  ";
    case 'W': return "#   ##   ##   ## # ## # ### ###   #";
    case 'X': return "#   ##   # # #   #   # # #   ##   #";
    case 'Y': return "#   ##   # # #   #    #    #    #  ";
    case 'Z': return "#####    #   #   #   #   #    #####";
    case '0': return " ### #   ##  ### # ###  ##   # ### ";
    case '1': return "  #   ##    #    #    #    #   ### ";
    case '2': return " ### #   #    #   #   #   #   #####";
    case '3': return " ### #   #    #  ##     ##   # ### ";
    case '4': return "   #   ##  # # #  ######   #    #  ";
    case '5': return "######    ####     #    ##   # ### ";
    case '6': return " ### #    #    #### #   ##   # ### ";
    case '7': return "#####    #   #   #   #    #    #   ";
    case '8': return " ### #   ##   # ### #   ##   # ### ";
    case '9': return " ### #   ##   # ####    #    # ### ";
    case '!': return "  #    #    #    #    #         #  ";
    case '?': return " ### #   #    #   #    #         # ";
    case '-': return "               ###               ";
    case '.': return "                              #  ";
    case ':': return "          #         #            ";
    default: return nullptr;
    }
}

}  // namespace

int cCanvas::Text(int x, int y, const char* psz, uint8_t c, int nScale) {
    int x0 = x;
    for (const char* p = psz; *p; p++) {
        char ch = *p >= 'a' && *p <= 'z' ? static_cast<char>(*p - 'a' + 'A') : *p;
        const char* g = Glyph(ch);
        if (g) {
            size_t n = std::strlen(g);
            for (size_t k = 0; k < n && k < 35; k++)
                if (g[k] == '#') Rect(x + static_cast<int>(k % 5) * nScale, y + static_cast<int>(k / 5) * nScale, nScale, nScale, c);
        }
        x += 6 * nScale;
    }
    return x - x0;
}

int cCanvas::TextWidth(const char* psz, int nScale) { return static_cast<int>(std::strlen(psz)) * 6 * nScale; }

bool cCanvas::Save(const char* pszDataPath) const {
    const int nStride = (m_nW + 3) & ~3;
    const uint32_t nPalette = 256 * 4;
    const uint32_t nOffset = 14 + 40 + nPalette;
    const uint32_t nSize = nOffset + static_cast<uint32_t>(nStride) * m_nH;
    std::vector<uint8_t> b;
    auto U16 = [&](uint32_t v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); };
    auto U32 = [&](uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); };
    b.push_back('B');
    b.push_back('M');
    U32(nSize);
    U32(0);
    U32(nOffset);
    U32(40);
    U32(static_cast<uint32_t>(m_nW));
    U32(static_cast<uint32_t>(m_nH));
    U16(1);
    U16(8);
    U32(0);
    U32(static_cast<uint32_t>(nStride) * m_nH);
    U32(2835);
    U32(2835);
    U32(256);
    U32(0);
    for (const RGB8& c : DemoPalette()) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = m_nH - 1; y >= 0; y--) {
        for (int x = 0; x < m_nW; x++) b.push_back(Get(x, y));
        for (int x = m_nW; x < nStride; x++) b.push_back(0);
    }
    FILE* fp = FsOpen(pszDataPath, "wb");
    if (!fp) return false;
    bool bOk = std::fwrite(b.data(), 1, b.size(), fp) == b.size();
    return std::fclose(fp) == 0 && bOk;
}
