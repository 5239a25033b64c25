// The demo project's bitmaps, drawn from code: the palette image, blocks,
// characters, shots, items, marks, windows, the title and menu pictures,
// decorations, symbol letters and words, and the world-map chips and events.
#include <cstdio>
#include <string>

#include "Canvas.h"
#include "DemoProject.h"

namespace {

bool bAllSaved = true;

void Save(const cCanvas& c, const char* pszPath) {
    if (!c.Save(pszPath)) {
        std::fprintf(stderr, "mkdemo: cannot write %s\n", pszPath);
        bAllSaved = false;
    }
}

// A hero-like figure in a 32 x 32 cell; nPose 0..3 moves the legs, bFly
// spreads the arms, nTint selects the body colour.
void DrawFigure(cCanvas& c, int x, int y, int nPose, bool bFly, uint8_t body, uint8_t face) {
    c.Disc(x + 16, y + 9, 6, face);
    c.Pixel(x + 18, y + 8, COL_BLACK);
    c.Pixel(x + 19, y + 8, COL_BLACK);
    c.Rect(x + 11, y + 15, 10, 9, body);
    int nLeg = (nPose % 2) ? 3 : 0;
    c.Rect(x + 11 + nLeg, y + 24, 3, 7, COL_DARKBLUE);
    c.Rect(x + 18 - nLeg, y + 24, 3, 7, COL_DARKBLUE);
    if (bFly) {
        c.Rect(x + 3, y + 15, 8, 3, body);
        c.Rect(x + 21, y + 15, 8, 3, body);
    } else {
        c.Rect(x + 8, y + 16 + (nPose % 2), 3, 7, body);
        c.Rect(x + 21, y + 16 + ((nPose + 1) % 2), 3, 7, body);
    }
}

void DrawSlime(cCanvas& c, int x, int y, int nPose, uint8_t col) {
    int h = 12 + (nPose % 2) * 3;
    for (int j = 0; j < h; j++) {
        int w = 12 + j;
        if (w > 26) w = 26;
        c.Rect(x + 16 - w / 2, y + 31 - h + j, w, 1, col);
    }
    c.Rect(x + 11, y + 31 - h + 4, 3, 3, COL_WHITE);
    c.Rect(x + 18, y + 31 - h + 4, 3, 3, COL_WHITE);
    c.Pixel(x + 12, y + 31 - h + 5, COL_BLACK);
    c.Pixel(x + 19, y + 31 - h + 5, COL_BLACK);
}

void Palette() {
    // The top-left pixel is the transparent colour; the true-colour screens
    // read entry 16 y + x from the pixel at (x, 8 + y); below them the same
    // colours in 8 x 8 cells for the eye.
    cCanvas c(128, 24 + 128);
    for (int i = 0; i < 256; i++) {
        c.Pixel(i % 16, 8 + i / 16, static_cast<uint8_t>(i));
        c.Rect((i % 16) * 8, 24 + (i / 16) * 8, 8, 8, static_cast<uint8_t>(i));
    }
    Save(c, "bmp\\plt\\Palette.bmp");
}

void Debug() {
    cCanvas c(256, 64);
    const uint8_t cols[] = {COL_RED, COL_GREEN, COL_BLUE, COL_YELLOW, COL_WHITE, COL_MAGENTA, COL_ORANGE, COL_SKY};
    for (int i = 0; i < 8; i++) {
        c.Frame(i * 32, 0, 32, 32, cols[i]);
        c.Rect(i * 32 + 2, 34, 28, 28, cols[i]);
    }
    Save(c, "bmp\\Debug.bmp");
}

// The special blocks of the second row (chips 16..23): spring, ice, the
// two conveyors, mud, leaves drawn over the characters, a switch stone and a
// bridge plank.
bool SpecialBlock(cCanvas& c, int n, int x, int y) {
    switch (n) {
    case 16:   // spring
        c.Rect(x + 2, y + 26, 28, 6, Grey(10));
        for (int i = 0; i < 4; i++) c.Rect(x + 6 + (i % 2) * 4, y + 10 + i * 4, 16, 2, Grey(18));
        c.Rect(x + 2, y + 4, 28, 6, COL_RED);
        return true;
    case 17:   // ice
        c.Rect(x, y, 32, 32, Cube(3, 5, 5));
        c.Line(x + 4, y + 6, x + 14, y + 16, COL_WHITE);
        c.Line(x + 18, y + 20, x + 26, y + 28, COL_WHITE);
        c.Frame(x, y, 32, 32, Cube(1, 3, 5));
        return true;
    case 18:   // conveyor to the left
    case 19:   // conveyor to the right
        c.Rect(x, y, 32, 32, Grey(7));
        c.Rect(x, y + 2, 32, 4, Grey(16));
        for (int i = 0; i < 3; i++) {
            int ax = x + 6 + i * 9;
            int d = n == 18 ? 1 : -1;   // the arrow heads point the way the belt moves
            c.Line(ax, y + 16, ax + 4 * d, y + 12, COL_YELLOW);
            c.Line(ax, y + 16, ax + 4 * d, y + 20, COL_YELLOW);
        }
        return true;
    case 20:   // mud
        c.Rect(x, y, 32, 32, Cube(2, 1, 0));
        for (int i = 0; i < 5; i++) c.Disc(x + 4 + i * 6, y + 4, 3, Cube(3, 2, 1));
        return true;
    case 21:   // leaves in front
        for (int i = 0; i < 6; i++) c.Disc(x + 6 + (i % 3) * 10, y + 8 + (i / 3) * 14, 7, i % 2 ? COL_GREEN : COL_DARKGREEN);
        return true;
    case 22:   // switch stone
        c.Rect(x, y, 32, 32, Grey(12));
        c.Frame(x, y, 32, 32, Grey(4));
        c.Disc(x + 16, y + 16, 8, COL_MAGENTA);
        return true;
    case 23:   // bridge plank
        c.Rect(x, y, 32, 10, Cube(4, 2, 1));
        c.Rect(x, y + 10, 32, 2, Cube(2, 1, 0));
        c.Rect(x + 4, y + 12, 3, 12, Cube(2, 1, 0));
        c.Rect(x + 25, y + 12, 3, 12, Cube(2, 1, 0));
        return true;
    default:
        return false;
    }
}

void Blocks() {
    // Chips lie in columns of 15: chip n at column n / 15, row n % 15.
    cCanvas c(512, 480);
    for (int n = 1; n < 240; n++) {
        int x = (n / 15) * 32, y = (n % 15) * 32;
        int k = n % 8;
        if (SpecialBlock(c, n, x, y)) continue;
        switch (k) {
        case 1:   // ground with grass
            c.Rect(x, y, 32, 32, COL_BROWN);
            c.Rect(x, y, 32, 6, COL_GREEN);
            for (int i = 0; i < 6; i++) c.Pixel(x + 4 + i * 5, y + 12 + (i * 7) % 15, Cube(2, 1, 0));
            break;
        case 2:   // earth
            c.Rect(x, y, 32, 32, COL_BROWN);
            for (int i = 0; i < 8; i++) c.Pixel(x + (i * 11) % 30 + 1, y + (i * 7) % 30 + 1, Cube(2, 1, 0));
            break;
        case 3:   // brick
            c.Rect(x, y, 32, 32, Cube(4, 1, 0));
            for (int r = 0; r < 4; r++) {
                c.Rect(x, y + r * 8 + 7, 32, 1, Cube(2, 0, 0));
                int o = (r % 2) * 8;
                c.Rect(x + o + 7, y + r * 8, 1, 7, Cube(2, 0, 0));
                c.Rect(x + o + 23, y + r * 8, 1, 7, Cube(2, 0, 0));
            }
            break;
        case 4:   // stone
            c.Rect(x, y, 32, 32, Grey(12));
            c.Frame(x, y, 32, 32, Grey(6));
            c.Rect(x + 1, y + 1, 30, 2, Grey(18));
            break;
        case 5:   // question block
            c.Rect(x, y, 32, 32, COL_YELLOW);
            c.Frame(x, y, 32, 32, COL_ORANGE);
            c.Text(x + 11, y + 9, "?", COL_BROWN, 2);
            break;
        case 6:   // spikes (deadly)
            for (int i = 0; i < 4; i++)
                for (int j = 0; j < 16; j++) c.Rect(x + i * 8 + j / 4, y + 16 + j, 8 - (j / 4) * 2, 1, Grey(16));
            break;
        case 7:   // cloud platform
            c.Disc(x + 10, y + 12, 8, COL_WHITE);
            c.Disc(x + 22, y + 12, 8, COL_WHITE);
            c.Rect(x + 4, y + 12, 24, 8, COL_WHITE);
            break;
        default:  // water
            c.Rect(x, y + 4, 32, 28, COL_BLUE);
            for (int i = 0; i < 4; i++) c.Rect(x + i * 8, y + 4, 4, 2, COL_SKY);
            break;
        }
        if (n >= 8) c.Pixel(x + 31, y + 31, Cube(n % 6, (n / 6) % 6, (n / 36) % 6));   // tell the variants apart
    }
    Save(c, "bmp\\Block.bmp");
}

void DrawBat(cCanvas& c, int x, int y, int nPose, uint8_t col) {
    const int w = nPose % 2 ? 4 : -2;
    c.Disc(x + 16, y + 16, 6, col);
    for (int i = 0; i < 10; i++) {
        c.Rect(x + 10 - i, y + 14 + (i * w) / 10, 2, 3, col);
        c.Rect(x + 21 + i, y + 14 + (i * w) / 10, 2, 3, col);
    }
    c.Pixel(x + 14, y + 14, COL_YELLOW);
    c.Pixel(x + 18, y + 14, COL_YELLOW);
}

void DrawTurret(cCanvas& c, int x, int y, int nPose, uint8_t col) {
    c.Rect(x + 4, y + 18, 24, 14, col);
    c.Frame(x + 4, y + 18, 24, 14, COL_BLACK);
    c.Disc(x + 16, y + 17, 7, Grey(10));
    c.Rect(x + 16, y + 13 + nPose % 2, 15, 5, Grey(6));
}

void DrawPlatform(cCanvas& c, int x, int y, uint8_t col) {
    c.Rect(x, y + 16, 32, 12, col);
    c.Rect(x, y + 16, 32, 2, COL_YELLOW);
    c.Frame(x, y + 16, 32, 12, COL_BLACK);
    c.Pixel(x + 4, y + 22, COL_BLACK);
    c.Pixel(x + 27, y + 22, COL_BLACK);
}

void DrawFrog(cCanvas& c, int x, int y, int nPose, uint8_t col) {
    DrawSlime(c, x, y, nPose, col);
    c.Disc(x + 11, y + 14 + (nPose % 2) * 2, 3, col);
    c.Disc(x + 21, y + 14 + (nPose % 2) * 2, 3, col);
    c.Pixel(x + 11, y + 14 + (nPose % 2) * 2, COL_BLACK);
    c.Pixel(x + 21, y + 14 + (nPose % 2) * 2, COL_BLACK);
}

void DrawSign(cCanvas& c, int x, int y) {
    c.Rect(x + 14, y + 14, 4, 18, COL_BROWN);
    c.Rect(x + 3, y + 3, 26, 13, Cube(4, 3, 1));
    c.Frame(x + 3, y + 3, 26, 13, COL_BROWN);
    c.Rect(x + 7, y + 7, 18, 1, COL_BROWN);
    c.Rect(x + 7, y + 11, 14, 1, COL_BROWN);
}

void DrawChest(cCanvas& c, int x, int y, uint8_t col) {
    c.Rect(x + 4, y + 12, 24, 19, col);
    c.Rect(x + 4, y + 12, 24, 6, Cube(3, 1, 0));
    c.Rect(x + 4, y + 17, 24, 2, COL_YELLOW);
    c.Rect(x + 14, y + 16, 4, 6, COL_YELLOW);
    c.Frame(x + 4, y + 12, 24, 19, COL_BLACK);
}

// The design of character graphic n (row n % 15 of sheet n / 15): the hero,
// the cast of the common palette and a few colour variants.
void DrawCharaCell(cCanvas& c, int x, int y, int nGraphic, int nFrame) {
    const int nPose = nFrame % 4;
    const bool bFly = nFrame >= 12;
    const uint8_t skin = Cube(5, 4, 3);
    switch (nGraphic % 15) {
    case 1: DrawFigure(c, x, y, nPose, bFly, COL_RED, skin); break;                 // hero
    case 2: DrawSlime(c, x, y, nPose, COL_GREEN); break;                           // slime
    case 3: DrawBat(c, x, y, nPose, COL_PURPLE); break;                            // bat
    case 4:                                                                        // knight
        DrawFigure(c, x, y, nPose, bFly, Grey(14), Grey(18));
        c.Rect(x + 10, y + 3, 12, 3, Grey(7));
        c.Rect(x + 15, y, 3, 3, COL_RED);
        break;
    case 5: DrawTurret(c, x, y, nPose, Grey(12)); break;                           // turret
    case 6: DrawPlatform(c, x, y, Cube(3, 2, 1)); break;                           // platform
    case 7: DrawFrog(c, x, y, nPose, Cube(1, 4, 1)); break;                        // frog
    case 8:                                                                        // sorcerer
        DrawFigure(c, x, y, nPose, bFly, COL_PURPLE, skin);
        for (int j = 0; j < 8; j++) c.Rect(x + 16 - j, y - 4 + j, 2 * j + 1, 1, COL_DARKBLUE);
        break;
    case 9: DrawSign(c, x, y); break;                                              // signpost
    case 10: DrawChest(c, x, y, COL_BROWN); break;                                 // chest
    case 11: DrawFigure(c, x, y, nPose, bFly, COL_BLUE, skin); break;              // hero in blue
    case 12: DrawSlime(c, x, y, nPose, COL_BLUE); break;
    case 13: DrawBat(c, x, y, nPose, COL_RED); break;
    case 14: DrawFigure(c, x, y, nPose, bFly, COL_ORANGE, skin); break;
    default: DrawFigure(c, x, y, nPose, bFly, COL_PINK, skin); break;
    }
}

void Characters() {
    // Graphic n is row n % 15 of sheet n / 15 (Character1.bmp holds 0..14);
    // across a row: 0..3 standing and walking, 4..11 the same again, 12..15
    // flying.
    for (int nSheet = 0; nSheet < 8; nSheet++) {
        cCanvas c(512, 480);
        for (int r = 0; r < 15; r++)
            for (int f = 0; f < 16; f++) DrawCharaCell(c, f * 32, r * 32, nSheet * 15 + r + (nSheet ? 5 * nSheet : 0), f);
        char szPath[64];
        std::snprintf(szPath, sizeof szPath, "bmp\\Character%d.bmp", nSheet + 1);
        Save(c, szPath);
    }
}

void Shots() {
    // Picture n: column pair n / 30 (two frames), row n % 30, 16 x 16 cells.
    cCanvas c(128, 480);
    for (int n = 0; n < 120; n++)
        for (int f = 0; f < 2; f++) {
            int x = ((n / 30) * 2 + f) * 16, y = (n % 30) * 16;
            uint8_t col = Cube(5 - n % 6, (n / 6) % 6, (n / 3) % 6);
            switch (n % 4) {
            case 0: c.Disc(x + 8, y + 8, 5 - f, col); c.Disc(x + 7, y + 7, 2, COL_WHITE); break;
            case 1: c.Rect(x + 2, y + 6 + f, 12, 4, col); c.Rect(x + 10, y + 6 + f, 4, 4, COL_WHITE); break;
            case 2: c.Line(x + 2, y + 2 + f, x + 13, y + 13 - f, col); c.Line(x + 13, y + 2 + f, x + 2, y + 13 - f, col); break;
            default: c.Disc(x + 8, y + 8, 7 - f, col); c.Disc(x + 8, y + 8, 4, COL_YELLOW); break;
            }
        }
    Save(c, "bmp\\Shot.bmp");
}

void DrawItem(cCanvas& c, int x, int y, int s, int k) {
    int m = s / 2;
    switch (k % 8) {
    case 0: c.Disc(x + m, y + m, m - 3, COL_YELLOW); c.Disc(x + m, y + m, m / 2, COL_ORANGE); break;   // coin
    case 1:                                                                                             // heart
        c.Disc(x + m - s / 6, y + m - s / 8, s / 5, COL_RED);
        c.Disc(x + m + s / 6, y + m - s / 8, s / 5, COL_RED);
        for (int j = 0; j < m; j++) c.Rect(x + m - (m - j) + 2, y + m - s / 8 + j, 2 * (m - j) - 4, 1, COL_RED);
        break;
    case 2:   // star
        c.Line(x + m, y + 2, x + 3, y + s - 3, COL_YELLOW);
        c.Line(x + m, y + 2, x + s - 3, y + s - 3, COL_YELLOW);
        c.Line(x + 2, y + m - 2, x + s - 2, y + m - 2, COL_YELLOW);
        c.Line(x + 2, y + m - 2, x + s - 3, y + s - 3, COL_YELLOW);
        c.Line(x + s - 2, y + m - 2, x + 3, y + s - 3, COL_YELLOW);
        break;
    case 3:   // potion
        c.Rect(x + m - 2, y + 2, 4, s / 4, Grey(18));
        c.Disc(x + m, y + m + s / 8, s / 3, COL_BLUE);
        break;
    case 4:   // key
        c.Disc(x + s / 3, y + m, s / 6, COL_YELLOW);
        c.Rect(x + s / 3, y + m - 1, s / 2, 3, COL_YELLOW);
        c.Rect(x + s * 3 / 4, y + m, 2, s / 6, COL_YELLOW);
        break;
    case 5:   // goal flag
        c.Rect(x + s / 4, y + 2, 2, s - 4, Grey(16));
        for (int j = 0; j < s / 3; j++) c.Rect(x + s / 4 + 2, y + 3 + j, s / 2 - j, 1, COL_RED);
        c.Rect(x + s / 4 - 2, y + s - 4, 6, 2, COL_BROWN);
        break;
    case 6:   // wing
        for (int j = 0; j < s / 2; j++) c.Rect(x + 3 + j / 2, y + 4 + j, s - 6 - j, 1, j % 3 ? COL_WHITE : COL_SKY);
        break;
    default:  // gem
        c.Disc(x + m, y + m, s / 3, COL_MAGENTA);
        c.Disc(x + m - 2, y + m - 2, s / 10 + 1, COL_WHITE);
        break;
    }
}

void Items() {
    // Item n: column n / 15 of two 32-dot frames, row n % 15.
    cCanvas big(512, 480);
    for (int n = 0; n < 120; n++)
        for (int f = 0; f < 2; f++) DrawItem(big, (n / 15) * 64 + f * 32 + (f ? 1 : 0), (n % 15) * 32 - f, 32, n);
    Save(big, "bmp\\Item.bmp");
    // The 16-dot icons: item n at column n / 15 (32 dots wide, its two
    // frames side by side), row n % 15, as the big sheet.
    cCanvas mini(256, 240);
    for (int n = 0; n < 120; n++)
        for (int f = 0; f < 2; f++) DrawItem(mini, (n / 15) * 32 + f * 16, (n % 15) * 16, 16, n);
    Save(mini, "bmp\\Item_Mini.bmp");
}

void Marks() {
    // Marks lie in columns of 15 cells.
    cCanvas c(480, 480);
    const char* const aszMark[] = {"!", "?", "1", "2", "3", "A", "B", "C", "X", "O"};
    for (int n = 0; n < 225; n++) {
        int x = (n / 15) * 32, y = (n % 15) * 32;
        c.Disc(x + 16, y + 16, 11, n % 2 ? COL_RED : COL_BLUE);
        c.Text(x + 11, y + 9, aszMark[n % 10], COL_WHITE, 2);
    }
    Save(c, "bmp\\Mark.bmp");
}

void Windows() {
    // The windows' picture: navy at the top turning to a brighter blue at
    // the bottom. The palette has two blues for it, so the rows between mix
    // them in an ordered 4 x 4 pattern whose share of the brighter one grows
    // with the row (a full-screen menu shows a gradient, not two bands).
    static const int aBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    cCanvas w(640, 480);
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            const bool bBright = y * 17 / 480 > aBayer[y % 4][x % 4];
            w.Rect(x, y, 1, 1, Cube(0, 0, bBright ? 2 : 1));
        }
    Save(w, "bmp\\Window.bmp");

    // Status window: the 640 x 20 bar drawn under the head-up display, and
    // digits 0..9 in 16 x 16 cells below it.
    cCanvas s(640, 64);
    s.Rect(0, 0, 640, 20, Cube(0, 0, 1));
    s.Rect(0, 19, 640, 1, Cube(1, 2, 4));
    s.Rect(0, 0, 640, 1, Cube(1, 1, 3));
    for (int d = 0; d < 10; d++) {
        char sz[2] = {static_cast<char>('0' + d), 0};
        s.Text(d * 16 + 3, 36, sz, COL_WHITE, 2);
    }
    Save(s, "bmp\\StatusWindow.bmp");
}

void Title() {
    cCanvas c(640, 480);
    for (int y = 0; y < 480; y++) c.Rect(0, y, 640, 1, Cube(1, 2 + (y * 3) / 480, 5));
    for (int x = 0; x < 640; x++) {
        int h = 330 + static_cast<int>(30 * ((x * 7) % 100) / 100.0);
        c.Rect(x, h, 1, 480 - h, COL_DARKGREEN);
    }
    c.Rect(0, 420, 640, 60, COL_BROWN);
    c.Rect(0, 420, 640, 8, COL_GREEN);
    const char* pszTitle = "MOSSGROVE";
    int w = cCanvas::TextWidth(pszTitle, 8);
    c.Text((640 - w) / 2 + 4, 84, pszTitle, COL_BLACK, 8);
    c.Text((640 - w) / 2, 80, pszTitle, COL_YELLOW, 8);
    const char* pszSub = "DEMO PROJECT";
    c.Text((640 - cCanvas::TextWidth(pszSub, 3)) / 2, 160, pszSub, COL_WHITE, 3);
    DrawFigure(c, 120, 388, 0, false, COL_RED, Cube(5, 4, 3));
    DrawSlime(c, 480, 388, 1, COL_GREEN);
    Save(c, "bmp\\Title.bmp");

    // Title menu strips: one 256 x 32 strip per entry.
    const char* const aszMenu[] = {"NEW GAME", "CONTINUE", "CHALLENGE", "FREE", "REPLAY", "OPTIONS", "QUIT"};
    cCanvas m(256, 32 * 7);
    for (int i = 0; i < 7; i++) m.Text(8, i * 32 + 8, aszMenu[i], COL_WHITE, 2);
    Save(m, "bmp\\GameMode.bmp");
}

void Accessory() {
    cCanvas c(256, 256);
    // (0, 0) 32 x 32 cursor arrow; (64, 0) 16 x 16 cursor; (80, 0) indicator;
    // (96, 0) 32 x 32 clear icon.
    for (int j = 0; j < 16; j++) c.Rect(4, 8 + j, 16 - (j > 8 ? j - 8 : 8 - j) * 2 + 8, 1, COL_YELLOW);
    for (int j = 0; j < 8; j++) c.Rect(66, 4 + j, 8 - (j > 4 ? j - 4 : 4 - j), 1, COL_YELLOW);
    c.Disc(88, 8, 5, COL_GREEN);
    c.Disc(112, 16, 14, COL_YELLOW);
    c.Text(103, 12, "OK", COL_RED);
    // (0, 48) life icon, (16, 48) ranking cursor.
    DrawFigure(c, -8, 40, 0, false, COL_RED, Cube(5, 4, 3));
    c.Rect(0, 40, 32, 8, COL_KEY);
    for (int j = 0; j < 8; j++) c.Rect(18, 52 + j, 8 - (j > 4 ? j - 4 : 4 - j), 1, COL_PINK);
    // (0, 64) .. (96, 96): the map cursor facing down, up, left and right in
    // two frames each.
    const int aPos[8][2] = {{0, 64}, {32, 64}, {64, 64}, {96, 64}, {0, 96}, {32, 96}, {64, 96}, {96, 96}};
    for (int i = 0; i < 8; i++) DrawFigure(c, aPos[i][0], aPos[i][1], i, false, COL_RED, Cube(5, 4, 3));
    // Head-up display icons at y 32: total score, stage score, HP, SP, lives.
    // The total score is a "T" plate beside the stage score's "S" plate.
    c.Rect(2, 34, 12, 12, COL_ORANGE);
    c.Text(4, 36, "T", COL_BROWN);
    c.Rect(18, 34, 12, 12, COL_YELLOW);
    c.Text(20, 36, "S", COL_BROWN);
    c.Disc(37, 39, 4, COL_RED);
    c.Disc(43, 39, 4, COL_RED);
    for (int j = 0; j < 6; j++) c.Rect(34 + j, 41 + j, 12 - 2 * j, 1, COL_RED);
    c.Disc(56, 40, 6, COL_BLUE);
    c.Disc(54, 38, 2, COL_WHITE);
    DrawFigure(c, 64 - 8, 32 - 2, 0, false, COL_RED, Cube(5, 4, 3));
    c.Rect(64, 32 + 16, 16, 16, COL_KEY);
    c.Rect(56, 32, 8, 16, COL_KEY);
    c.Rect(80, 32, 8, 16, COL_KEY);
    // Gauges, 50 x 16 each (HP at x 0, SP at x 64): the frame at y 128, the
    // fill at y 144 and the fill when low at y 160.
    for (int g = 0; g < 2; g++) {
        const int x = g * 64;
        c.Rect(x, 128 + 3, 50, 10, Grey(3));
        c.Frame(x, 128 + 3, 50, 10, Grey(18));
        c.Rect(x + 1, 144 + 4, 48, 8, g ? COL_SKY : COL_GREEN);
        c.Rect(x + 1, 144 + 4, 48, 2, COL_WHITE);
        c.Rect(x + 1, 160 + 4, 48, 8, COL_RED);
        c.Rect(x + 1, 160 + 4, 48, 2, COL_ORANGE);
    }
    Save(c, "bmp\\Accessory.bmp");
}

void SymbolsAndWords() {
    // Symbol letters a..z, one 16 x 16 cell each.
    cCanvas s(16 * 26, 16);
    for (int i = 0; i < 26; i++) {
        s.Rect(i * 16 + 1, 1, 14, 14, Cube(i % 6, 2, 5 - i % 6));
        char sz[2] = {static_cast<char>('A' + i), 0};
        s.Text(i * 16 + 5, 4, sz, COL_WHITE);
    }
    Save(s, "bmp\\Symbol.bmp");

    // The words of stage play where play looks for them: "STAGE" (128 x 32)
    // and "GO!" (80 x 32 at x 160) on the first row, "REPLAY", "CLEAR!" and
    // "GAME OVER" (144 wide) below, then the digits 0..9 in 32 x 32 cells.
    cCanvas w(320, 32 * 8);
    auto Word = [&](int x, int y, int wBox, const char* psz, uint8_t col) {
        int nScale = cCanvas::TextWidth(psz, 3) <= wBox - 4 ? 3 : 2;
        int tx = x + (wBox - cCanvas::TextWidth(psz, nScale)) / 2;
        w.Text(tx + 2, y + 8, psz, COL_BLACK, nScale);
        w.Text(tx, y + 6, psz, col, nScale);
    };
    Word(0, 0, 128, "STAGE", COL_WHITE);
    Word(160, 0, 80, "GO!", COL_YELLOW);
    Word(0, 32, 128, "REPLAY", COL_SKY);
    Word(0, 64, 128, "CLEAR!", COL_YELLOW);
    Word(0, 96, 144, "GAME OVER", COL_RED);
    for (int d = 0; d < 10; d++) {
        char sz[2] = {static_cast<char>('0' + d), 0};
        Word(d * 32, 128, 32, sz, COL_WHITE);
    }
    // The timer's digits, yellow, at y 160.
    for (int d = 0; d < 10; d++) {
        char sz[2] = {static_cast<char>('0' + d), 0};
        Word(d * 32, 160, 32, sz, COL_YELLOW);
    }
    Word(0, 192, 128, "TIME UP", COL_ORANGE);
    Word(0, 224, 128, "PAUSE", COL_WHITE);
    Save(w, "bmp\\Word.bmp");
}

void WorldMapImages() {
    // Ten chip kinds, five per row: 0..4 cannot be entered (water, mountain,
    // forest, rock, lava), 5..9 can (grass, road, bridge, sand, flowers).
    cCanvas c(160, 64);
    const uint8_t fill[10] = {COL_BLUE, Grey(10), COL_DARKGREEN, Grey(6), COL_ORANGE,
                              COL_GREEN, Cube(4, 3, 2), COL_BROWN, Cube(5, 5, 3), COL_GREEN};
    for (int i = 0; i < 10; i++) {
        int x = (i % 5) * 32, y = (i / 5) * 32;
        c.Rect(x, y, 32, 32, fill[i]);
        if (i == 1) for (int j = 0; j < 14; j++) c.Rect(x + 16 - j, y + 4 + j * 2, 2 * j + 1, 2, Grey(16));
        if (i == 2) { c.Disc(x + 10, y + 12, 7, COL_GREEN); c.Disc(x + 22, y + 20, 7, COL_GREEN); }
        if (i == 7) for (int k = 0; k < 4; k++) c.Rect(x, y + k * 8, 32, 1, COL_BLACK);
        if (i == 9) for (int k = 0; k < 5; k++) c.Disc(x + 5 + k * 6, y + 6 + (k * 11) % 20, 2, k % 2 ? COL_PINK : COL_YELLOW);
    }
    Save(c, "bmp\\WorldMapChip.bmp");

    // Events: row r is one picture, column 0 not cleared, column 32 cleared.
    cCanvas e(64, 256);
    for (int r = 0; r < 8; r++) {
        e.Disc(16, r * 32 + 16, 11, COL_RED);
        e.Disc(48, r * 32 + 16, 11, COL_YELLOW);
        char sz[2] = {static_cast<char>('1' + r), 0};
        e.Text(13, r * 32 + 12, sz, COL_WHITE);
        e.Text(45, r * 32 + 12, sz, COL_BLACK);
    }
    Save(e, "bmp\\WorldEvent.bmp");

    cCanvas b(640, 480);
    for (int y = 0; y < 480; y++) b.Rect(0, y, 640, 1, Cube(0, 1 + y * 2 / 480, 3));
    Save(b, "bmp\\WorldBack.bmp");
}

void Backgrounds() {
    cCanvas sky(640, 480);
    for (int y = 0; y < 480; y++) sky.Rect(0, y, 640, 1, Cube(2, 3 + (y * 2) / 480, 5));
    for (int i = 0; i < 6; i++) {
        int x = 40 + i * 110, y = 60 + (i * 37) % 90;
        sky.Disc(x, y, 18, COL_WHITE);
        sky.Disc(x + 22, y + 4, 14, COL_WHITE);
        sky.Disc(x - 20, y + 6, 12, COL_WHITE);
    }
    Save(sky, "bmp\\back\\Sky.bmp");
    cCanvas hills(640, 480, COL_KEY);
    for (int x = 0; x < 640; x++) {
        int h = 300 + static_cast<int>(40 * ((x % 160) < 80 ? (x % 80) : (80 - x % 80)) / 80.0);
        hills.Rect(x, h, 1, 480 - h, COL_DARKGREEN);
    }
    Save(hills, "bmp\\back\\Hills.bmp");
    // The castle hall: dark stone courses, windows with the night sky and
    // banners.
    cCanvas hall(640, 480);
    hall.Rect(0, 0, 640, 480, Grey(5));
    for (int r = 0; r < 30; r++) {
        hall.Rect(0, r * 16 + 15, 640, 1, Grey(2));
        for (int x = (r % 2) * 24; x < 640; x += 48) hall.Rect(x, r * 16, 1, 15, Grey(2));
    }
    for (int i = 0; i < 4; i++) {
        const int x = 60 + i * 160;
        hall.Rect(x, 90, 40, 90, COL_DARKBLUE);
        hall.Disc(x + 20, 90, 20, COL_DARKBLUE);
        hall.Pixel(x + 10, 100, COL_WHITE);
        hall.Pixel(x + 28, 130, COL_WHITE);
        hall.Rect(x + 90, 60, 24, 70, COL_RED);
        hall.Rect(x + 90, 60, 24, 4, COL_YELLOW);
        hall.Disc(x + 102, 92, 6, COL_YELLOW);
    }
    Save(hall, "bmp\\back\\Castle.bmp");
    // The clear picture is a banner at the top of a transparent 320 x 260
    // sheet: centred on the screen it shows at y 110 to 181, in the sky
    // between the goal message above and the "CLEAR!" word and the result
    // window below. Under the title it says which key goes on from the
    // clear (the decide key, Z).
    cCanvas pic(320, 260);
    pic.Rect(0, 0, 320, 72, Cube(0, 0, 2));
    pic.Frame(0, 0, 320, 72, COL_YELLOW);
    pic.Text(40, 8, "WELL DONE!", COL_YELLOW, 4);
    pic.Text((320 - cCanvas::TextWidth("PRESS Z", 2)) / 2, 48, "PRESS Z", COL_WHITE, 2);
    Save(pic, "bmp\\picture\\Clear.bmp");
    cCanvas fx(256, 32);
    for (int i = 0; i < 8; i++) fx.Disc(i * 32 + 16, 16, 2 + i * 2, i % 2 ? COL_ORANGE : COL_YELLOW);
    Save(fx, "bmp\\effect\\Burst.bmp");
    cCanvas sw(128, 64);
    sw.Rect(0, 12, 48, 8, Grey(20));
    sw.Rect(48, 10, 6, 12, COL_BROWN);
    sw.Rect(64, 12, 48, 8, Grey(20));
    Save(sw, "bmp\\sword\\Sword.bmp");
}

}  // namespace

bool WriteDemoImages() {
    Palette();
    Debug();
    Blocks();
    Characters();
    Shots();
    Items();
    Marks();
    Windows();
    Title();
    Accessory();
    SymbolsAndWords();
    WorldMapImages();
    Backgrounds();
    return bAllSaved;
}
