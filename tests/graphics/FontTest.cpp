// Text layout, glyph caches, windows and numbers, drawn through a fake
// rasteriser whose glyphs are solid boxes: 4 pixels wide for a single byte,
// 8 for a double-byte character, as high as the font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "foundation/Text.h"
#include "graphics/Font.h"
#include "graphics/ImageSlots.h"
#include "support/DDTestSupport.h"

namespace {

uint8_t nFakeCoverage = 255;

class cBoxRasterizer final : public cGlyphRasterizer {
public:
    explicit cBoxRasterizer(int nHeight) : m_nHeight(nHeight > 0 ? nHeight : 12) {}
    void MeasureText(const char* p, int n, int* w, int* h) override
    {
        int nWidth = 0;
        for (int i = 0; i < n; i++) {
            if (i + 1 < n && IsSJISChar(p + i)) {
                nWidth += 8;
                i++;
            } else nWidth += 4;
        }
        *w = nWidth;
        *h = m_nHeight;
    }
    void RenderText(const char* p, int n, bool, DDGLYPHIMAGE* img) override
    {
        MeasureText(p, n, &img->nWidth, &img->nHeight);
        img->vCoverage.assign(static_cast<size_t>(img->nWidth) * img->nHeight, nFakeCoverage);
    }

private:
    int m_nHeight;
};

class FontTest : public testing::TestWithParam<DDPROFILE> {
protected:
    void SetUp() override
    {
        nFakeCoverage = 255;
        DDSetRasterizerFactory([](const char*, int nHeight, int) { return std::make_unique<cBoxRasterizer>(nHeight); });
        ASSERT_TRUE(DDStartProfile(GetParam(), 640, 480));
        ASSERT_TRUE(DDMakeTarget(&m_dst, 96, 48, 1));
        Clear();
    }
    void TearDown() override
    {
        m_font.Release();
        m_font2.Release();
        DDReleaseSurface(&m_dst);
        DDReleaseSurface(&m_aux);
        DDRelease();
        DDSetRasterizerFactory(nullptr);
    }
    void Clear() { DDPutIndices(&m_dst, m_dst.nWidth, m_dst.nHeight, std::vector<int>(static_cast<size_t>(m_dst.nWidth) * m_dst.nHeight, 0)); }
    void CreateFont(cFont& f, int bCache, int nCell = 16, const char* lpszFace = "ＭＳ ゴシック")
    {
        f.Create(lpszFace, 0, nCell, nCell, nCell, 241, nullptr, 1, 240, nullptr, bCache);
    }
    // Bounding box {x0, y0, x1, y1} of the pixels of index i in a rectangle.
    std::array<int, 4> Box(int i, int x0, int y0, int x1, int y1)
    {
        std::array<int, 4> b = {INT32_MAX, INT32_MAX, -1, -1};
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++)
                if (DDIndexAt(&m_dst, x, y) == i) {
                    b[0] = std::min(b[0], x);
                    b[1] = std::min(b[1], y);
                    b[2] = std::max(b[2], x + 1);
                    b[3] = std::max(b[3], y + 1);
                }
        return b;
    }
    int Count(int i)
    {
        int n = 0;
        for (int v : DDGetIndices(&m_dst, m_dst.nWidth, m_dst.nHeight)) n += v == i;
        return n;
    }

    cFont m_font, m_font2;
    DDSURFACEDATA m_dst, m_aux;
};

TEST_P(FontTest, TextSizeInCells)
{
    CreateFont(m_font, 0);
    TEXTSIZE s;
    struct { const char* text; int cx, cy; } aCase[] = {
        {"ab\ncde", 48, 32}, {"", 0, 16}, {"ab\n", 32, 32}, {"あいう", 48, 16}, {"aあ\n\nb", 32, 48}};
    for (auto& c : aCase) {
        m_font.GetTextSize(&s, c.text);
        EXPECT_EQ(s.cx, c.cx) << c.text;
        EXPECT_EQ(s.cy, c.cy) << c.text;
    }
    EXPECT_EQ(GetLineLength("abc\nde"), 3);
    EXPECT_EQ(GetLineLength("abc"), 3);
}

TEST_P(FontTest, GlyphPlacesInTheirCells)
{
    CreateFont(m_font, 0);
    m_font.DrawText(&m_dst, 4, 8, "A\nあ　 B");
    // A single byte sits W/8 right and H/16 - 1 down; a double byte at the corner.
    EXPECT_EQ(Box(241, 0, 0, 96, 24), (std::array<int, 4>{6, 8, 10, 24}));
    EXPECT_EQ(Box(241, 0, 24, 20, 48), (std::array<int, 4>{4, 24, 12, 40}));
    EXPECT_EQ(Box(241, 20, 24, 96, 48), (std::array<int, 4>{54, 24, 58, 40}));  // spaces draw nothing
    EXPECT_EQ(Count(241), 4 * 16 + 8 * 16 + 4 * 16);

    // Centred glyphs: by their measured size in the cell.
    Clear();
    m_font.m_bCenterGlyph = 1;
    m_font.DrawText(&m_dst, 0, 0, "Aあ");
    EXPECT_EQ(Box(241, 0, 0, 96, 48), (std::array<int, 4>{6, 0, 28, 16}));
    EXPECT_EQ(Count(241), 4 * 16 + 8 * 16);
}

TEST_P(FontTest, BracketsShiftForOneFace)
{
    CreateFont(m_font, 0, 16, "ＭＳ Ｐゴシック");
    m_font.DrawText(&m_dst, 0, 0, "(（");
    EXPECT_EQ(Box(241, 0, 0, 16, 16)[0], 2 + 4);   // W/8 + W/4
    EXPECT_EQ(Box(241, 16, 0, 48, 16)[0], 16 + 4);
    Clear();
    m_font.m_bCenterGlyph = 1;  // centring turns the shift off
    m_font.DrawText(&m_dst, 0, 0, "(");
    EXPECT_EQ(Box(241, 0, 0, 16, 16)[0], 6);
}

TEST_P(FontTest, CachedTextLooksLikeDirectText)
{
    CreateFont(m_font, 0);
    CreateFont(m_font2, 1);
    const char* text = "Ab漢あ\nxyz ｱ";
    m_font.DrawText(&m_dst, 3, 5, text);
    std::vector<int> direct = DDGetIndices(&m_dst, 96, 48);
    Clear();
    m_font2.DrawText(&m_dst, 3, 5, text);
    EXPECT_EQ(DDGetIndices(&m_dst, 96, 48), direct);
}

// A known string against a picture drawn by hand, with the cache off and on,
// where the transparent colour of the screen is not palette colour 0 (as in
// a game whose palette image has another colour in its first cell). The
// destination holds index 9; under DirectDraw the transparent colour is
// index 7; neither the colour key nor palette colour 0 may reach it.
TEST_P(FontTest, KnownStringAgainstAHandMadePicture)
{
    if (!lpDTCon) dwTransColor = PalNumToRGB(7);  // before the font's surfaces exist
    // "A漢" then "b" on the next line, at (2, 4) with 16-pixel cells. The fake
    // glyphs are solid boxes as high as the font (16): a single byte 4 wide
    // at W/8 = 2 right of its cell and H/16 - 1 = 0 down, a double byte 8
    // wide at its cell's corner:
    //   "A"  cell (2, 4)   -> x 4..7,   y 4..19
    //   "漢" cell (18, 4)  -> x 18..25, y 4..19
    //   "b"  cell (2, 20)  -> x 4..7,   y 20..35
    struct RECT4 { int x, y, w, h; };
    const RECT4 aInk[] = {{4, 4, 4, 16}, {18, 4, 8, 16}, {4, 20, 4, 16}};
    std::vector<int> want(96 * 48, 9);
    for (const RECT4& r : aInk)
        for (int y = r.y; y < r.y + r.h; y++)
            for (int x = r.x; x < r.x + r.w; x++) want[static_cast<size_t>(y) * 96 + x] = 241;

    for (int bCache : {0, 1}) {
        cFont& f = bCache ? m_font2 : m_font;
        CreateFont(f, bCache);
        ASSERT_EQ(f.m_lpFastFont_Half != nullptr, bCache == 1);
        for (int nPass = 0; nPass < 2; nPass++) {  // the second pass draws "漢" from the cache
            DDPutIndices(&m_dst, 96, 48, std::vector<int>(96 * 48, 9));
            f.DrawText(&m_dst, 2, 4, "A漢\nb");
            EXPECT_EQ(DDGetIndices(&m_dst, 96, 48), want) << "cache " << bCache << " pass " << nPass;
        }
    }
}

// A digit strip drawn with the font, then the number 10 from it onto a
// destination of index 9: only the digits' ink (241) may show, never the
// strip's background, whichever colour is transparent. Under DirectDraw the
// transparent colour is index 7, not palette colour 0.
TEST_P(FontTest, DigitStripsLeaveOnlyTheDigits)
{
    if (!lpDTCon) dwTransColor = PalNumToRGB(7);
    for (int bCache : {0, 1}) {
        cFont& f = bCache ? m_font2 : m_font;
        CreateFont(f, bCache);
        FONTDATA fd;
        fd.nCellWidth = 16;
        fd.nLineHeight = 16;
        IMAGEDATA im;
        im.nColorKey = 1;
        DDSURFACEDATA strip;
        ASSERT_EQ(CreateNumberSurfaces(&strip, &im, 1, &f, &fd), 1);
        EXPECT_EQ(strip.nWidth, 160);
        DDPutIndices(&m_dst, 96, 48, std::vector<int>(96 * 48, 9));
        DDDrawNumber(&m_dst, 0, 0, 16, 16, &strip, 0, 0, 1, 10, 1, 0);
        // "1" in the cell at x 0: a 4-wide box at x 2..5; "0" at x 18..21;
        // both 16 high from y 0.
        std::vector<int> want(96 * 48, 9);
        for (int y = 0; y < 16; y++)
            for (int x : {2, 3, 4, 5, 18, 19, 20, 21}) want[static_cast<size_t>(y) * 96 + x] = 241;
        EXPECT_EQ(DDGetIndices(&m_dst, 96, 48), want) << "cache " << bCache;
        DDReleaseSurface(&strip);
    }
}

TEST_P(FontTest, FullWidthCacheGrowsOncePerCharacter)
{
    CreateFont(m_font, 1);
    ASSERT_TRUE(m_font.m_lpFastFont_FullAdd);
    cFastFont& ff = *m_font.m_lpFastFont_FullAdd;
    EXPECT_EQ(ff.m_lstGlyph.size(), 258u);  // the pre-rendered set
    m_font.DrawText(&m_dst, 0, 0, "漢");
    EXPECT_EQ(ff.m_lstGlyph.size(), 259u);
    const GLYPHENTRY* e = ff.Find("漢");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->nCell, 258);
    EXPECT_EQ(e->nX, (258 % ff.m_nColumns) * 16);
    EXPECT_EQ(e->nY, (258 / ff.m_nColumns) * 16);
    m_font.DrawText(&m_dst, 0, 0, "漢あ");
    EXPECT_EQ(ff.m_lstGlyph.size(), 259u);
    // A character that stands twice in the set finds its first cell.
    EXPECT_EQ(ff.Find("ト")->nCell, 187);  // (it stands again at 228)
}

TEST_P(FontTest, FullCacheDrawsNewCharactersDirectly)
{
    // Cells of 160 leave a grid smaller than the pre-rendered set.
    CreateFont(m_font, 1, 160);
    ASSERT_TRUE(m_font.m_lpFastFont_FullAdd);
    cFastFont& ff = *m_font.m_lpFastFont_FullAdd;
    ASSERT_EQ(static_cast<int>(ff.m_lstGlyph.size()), ff.m_nCapacity);
    ASSERT_TRUE(DDMakeTarget(&m_aux, 200, 200, 1));
    DDPutIndices(&m_aux, 200, 200, std::vector<int>(40000, 0));
    for (int k = 0; k < 2; k++) m_font.DrawText(&m_aux, 10, 20, "漢");
    EXPECT_EQ(static_cast<int>(ff.m_lstGlyph.size()), ff.m_nCapacity);
    EXPECT_EQ(DDIndexAt(&m_aux, 10, 20), 241);
    EXPECT_EQ(DDIndexAt(&m_aux, 17, 179), 241);
    EXPECT_EQ(DDIndexAt(&m_aux, 18, 20), 0);
}

TEST_P(FontTest, HalfWidthCacheCellOfAByte)
{
    CreateFont(m_font, 1);
    ASSERT_TRUE(m_font.m_lpFastFont_Half);
    cFastFont& hf = *m_font.m_lpFastFont_Half;
    EXPECT_EQ(hf.m_sd.nWidth, 256);
    // Paint the cell of 0xB1 (column 1, row 11) and draw the byte.
    DDFillRect(&hf.m_sd, 16, 176, 16, 16, 77);
    m_font.DrawText(&m_dst, 0, 0, "\xB1");
    EXPECT_EQ(Box(77, 0, 0, 96, 48), (std::array<int, 4>{0, 0, 16, 16}));
}

TEST_P(FontTest, SymbolLetters)
{
    ASSERT_TRUE(DDMakeTarget(&m_aux, 16 * 26, 16, 1));
    for (int k = 0; k < 26; k++) DDFillRect(&m_aux, 16 * k, 0, 16, 16, static_cast<uint32_t>(100 + k));
    m_font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, nullptr, 1, 240, &m_aux, 0);
    ASSERT_EQ(m_font.m_bSymbolLetters, 1);
    m_font.DrawText(&m_dst, 0, 0, "abcA");
    EXPECT_EQ(DDIndexAt(&m_dst, 0, 0), 100);
    EXPECT_EQ(DDIndexAt(&m_dst, 16, 15), 101);
    EXPECT_EQ(DDIndexAt(&m_dst, 47, 8), 102);
    EXPECT_EQ(Box(241, 48, 0, 96, 16), (std::array<int, 4>{50, 0, 54, 16}));
    // Without the symbol image the font draws the letters.
    DDReleaseSurface(&m_aux);
    Clear();
    m_font.DrawText(&m_dst, 0, 0, "ab");
    EXPECT_EQ(Count(241), 2 * 4 * 16);
    EXPECT_EQ(Count(100), 0);
}

TEST_P(FontTest, WindowAndNumbers)
{
    ASSERT_TRUE(DDMakeTarget(&m_aux, 640, 40, 1));
    DDPutIndices(&m_aux, 640, 40, std::vector<int>(640 * 40, 3));
    m_font.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, &m_aux, 1, 240, nullptr, 0);
    DDSURFACEDATA wide;
    ASSERT_TRUE(DDMakeTarget(&wide, 640, 40, 1));
    DDPutIndices(&wide, 640, 40, std::vector<int>(640 * 40, 0));
    m_font.DrawWindow(&wide, 10000, 5, 200, 20);  // x = 320 - 100
    EXPECT_EQ(DDIndexAt(&wide, 219, 10), 240);  // the frame just outside
    EXPECT_EQ(DDIndexAt(&wide, 220, 10), 3);
    EXPECT_EQ(DDIndexAt(&wide, 419, 24), 3);
    EXPECT_EQ(DDIndexAt(&wide, 420, 10), 240);
    EXPECT_EQ(DDIndexAt(&wide, 421, 10), 0);
    EXPECT_EQ(DDIndexAt(&wide, 300, 4), 240);
    EXPECT_EQ(DDIndexAt(&wide, 300, 25), 240);
    // A text box sized to its text: margin + two cells wide, one line high.
    DDPutIndices(&wide, 640, 40, std::vector<int>(640 * 40, 0));
    m_font.DrawTextBox(&wide, 10, 10, 0, 0, "ab", 4);
    EXPECT_EQ(DDIndexAt(&wide, 45, 12), 3);    // background up to x 10 + 36 - 1
    EXPECT_EQ(DDIndexAt(&wide, 46, 12), 240);  // frame
    EXPECT_EQ(DDIndexAt(&wide, 10, 26), 240);  // frame below 16 rows
    EXPECT_EQ(DDIndexAt(&wide, 14 + 2, 10), 241);  // "a" at x + margin, W/8 in
    DDReleaseSurface(&wide);

    // Digits: d drawn from x = 4d of a strip whose digit d is index 10 + d.
    DDSURFACEDATA strip;
    ASSERT_TRUE(DDMakeTarget(&strip, 40, 4, 1));
    for (int d = 0; d < 10; d++) DDFillRect(&strip, 4 * d, 0, 4, 4, static_cast<uint32_t>(10 + d));
    auto digits = [&](int nValue, int nMin, int bCentre) {
        Clear();
        DDDrawNumber(&m_dst, 0, 0, 4, 4, &strip, 0, 0, 0, nValue, nMin, bCentre);
        std::string s;
        for (int x = 0; x < 96; x += 4) {
            int v = DDIndexAt(&m_dst, x, 0);
            s += v == 0 ? '.' : static_cast<char>('0' + v - 10);
        }
        return s.substr(0, s.find_last_not_of('.') + 1);
    };
    EXPECT_EQ(digits(7, 3, 0), "..7");
    EXPECT_EQ(digits(7, 3, 1), ".7");
    EXPECT_EQ(digits(0, 0, 0), "0");
    EXPECT_EQ(digits(1234567890, 1, 0), "1234567890");
    EXPECT_EQ(digits(-45, 2, 0), ".0");  // no minus sign in the strip: shown as 0
    DDReleaseSurface(&strip);
}

TEST_P(FontTest, CacheGridsAndFontList)
{
    CreateFont(m_font, 1);
    ASSERT_TRUE(m_font.m_lpFastFont_FullAdd);
    cFastFont& ff = *m_font.m_lpFastFont_FullAdd;
    if (lpDTCon) {
        EXPECT_EQ(ff.m_nColumns, 32);
        EXPECT_EQ(ff.m_nRows, 32);
    } else {
        EXPECT_EQ(ff.m_nColumns, 32);
        EXPECT_EQ(ff.m_nRows, 30);
    }
    m_font2.Create("ＭＳ ゴシック", 0, 9, 10, 10, 241, nullptr, 1, 240, nullptr, 1);
    ASSERT_TRUE(m_font2.m_lpFastFont_Half);
    EXPECT_EQ(m_font2.m_lpFastFont_Half->m_sd.nWidth, 160);
    EXPECT_EQ(m_font2.m_lpFastFont_Half->m_sd.nHeight, 160);
    CreateFont(m_font, 1);  // a second Create lists the font once
    EXPECT_EQ(std::count(lstFont.begin(), lstFont.end(), &m_font), 1);
    // Caches asked for with no cell size: nothing new is made, the old caches stay.
    m_font2.Create("ＭＳ ゴシック", 0, 0, 0, 0, 241, nullptr, 1, 240, nullptr, 1);
    EXPECT_TRUE(m_font2.m_lpFastFont_Half);
    EXPECT_EQ(m_font2.m_lpFastFont_Half->m_nCellWidth, 10);
}

TEST_P(FontTest, CachesComeBackAfterALoss)
{
    CreateFont(m_font, 1);
    m_font.DrawText(&m_dst, 0, 0, "Ab漢\n字あ");
    std::vector<int> before = DDGetIndices(&m_dst, 96, 48);
    size_t nEntries = m_font.m_lpFastFont_FullAdd->m_lstGlyph.size();
    DDSimulateDeviceLoss();
    if (lpDTCon) {
        DDSetDeviceResettable(true);
        ASSERT_TRUE(DDRestoreSurface());
    } else {
        ASSERT_TRUE(DDRestore());
        if (DDIsSurfaceLost(&m_dst)) DDRestoreSurfaceData(&m_dst);  // the owner's own surface
    }
    Clear();
    m_font.DrawText(&m_dst, 0, 0, "Ab漢\n字あ");
    EXPECT_EQ(DDGetIndices(&m_dst, 96, 48), before);
    EXPECT_EQ(m_font.m_lpFastFont_FullAdd->m_lstGlyph.size(), nEntries);
}

TEST(FontCoverage, AlphaUnderDirect3D)
{
    DDSetRasterizerFactory([](const char*, int nHeight, int) { return std::make_unique<cBoxRasterizer>(nHeight); });
    ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 640, 480));
    nFakeCoverage = 128;
    cFont f;
    f.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, nullptr, 1, 240, nullptr, 0);
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 32, 16, 1));
    DDPIXELS* p = DDGetPixels(&dst);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 32; x++) DDPutRaw(*p, x, y, 0xFF000000u);  // opaque black
    f.DrawText(&dst, 0, 0, "A");
    uint32_t c = f.m_dwColor, v = DDGetRaw(*p, 2, 0);
    for (int sh = 0; sh < 24; sh += 8) EXPECT_EQ((v >> sh) & 255, (((c >> sh) & 255) * 128 + 127) / 255);
    EXPECT_EQ(v >> 24, 255u);
    // Onto a transparent texture the glyph keeps its colour with alpha = coverage.
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 32; x++) DDPutRaw(*p, x, y, 0);
    f.DrawText(&dst, 0, 0, "A");
    EXPECT_EQ(DDGetRaw(*p, 2, 0), (c & 0x00FFFFFFu) | 0x80000000u);
    f.Release();
    DDReleaseSurface(&dst);
    DDRelease();
    nFakeCoverage = 255;
    DDSetRasterizerFactory(nullptr);
}

TEST(FontFreeType, RealGlyphsDrawInk)
{
    ASSERT_TRUE(DDStartProfile({0, 32, 1, "DDWin32"}, 640, 480));
    cFont f;
    f.Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, nullptr, 1, 240, nullptr, 1);
    DDSURFACEDATA dst;
    ASSERT_TRUE(DDMakeTarget(&dst, 64, 16, 1));
    DDPutIndices(&dst, 64, 16, std::vector<int>(64 * 16, 0));
    f.DrawText(&dst, 0, 0, "テスト漢");
    for (int k = 0; k < 4; k++) {
        int n = 0;
        for (int y = 0; y < 16; y++)
            for (int x = 16 * k; x < 16 * k + 16; x++) n += DDIndexAt(&dst, x, y) == 241;
        EXPECT_GT(n, 10) << k;
    }
    f.Release();
    DDReleaseSurface(&dst);
    DDRelease();
}

INSTANTIATE_TEST_SUITE_P(Profiles, FontTest, testing::ValuesIn(DDAllProfiles()), DDProfileName);

}  // namespace
