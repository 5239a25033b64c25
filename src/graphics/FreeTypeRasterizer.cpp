// The FreeType rasteriser of the fonts.
//
// Sizing follows the usual font mapping: a positive height is the cell
// height, so the face is scaled until its OS/2 table's win ascent plus descent
// make that many pixels; a negative height is the em size; a width asks for
// that average character width. Text goes from Shift-JIS to code points
// through the CP932 codec; each glyph is placed on a pen that advances by its
// rounded advance, with the baseline at the rounded ascent.
#include "graphics/GlyphRasterizer.h"

#include "platform/TextCodec.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

namespace {

// Height of a font created with height 0: the usual default of 12 pixels.
constexpr int nDefaultCellHeight = 12;

std::mutex mtxFactory;
DDRASTERIZERFACTORY fnFactory;

std::u32string Utf8ToCodePoints(const std::string& s)
{
    std::u32string out;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        int n = 1;
        if (c < 0x80) { cp = c; }
        else if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) { cp = ((c & 0x1F) << 6) | (s[i + 1] & 0x3F); n = 2; }
        else if ((c & 0xF0) == 0xE0 && i + 2 < s.size()) {
            cp = ((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            n = 3;
        } else if ((c & 0xF8) == 0xF0 && i + 3 < s.size()) {
            cp = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) | (s[i + 3] & 0x3F);
            n = 4;
        }
        out.push_back(cp);
        i += n;
    }
    return out;
}

class cFreeTypeRasterizer final : public cGlyphRasterizer {
public:
    ~cFreeTypeRasterizer() override
    {
        if (m_face) FT_Done_Face(m_face);
        if (m_lib) FT_Done_FreeType(m_lib);
    }

    bool Open(const char* lpszFile, int nHeight, int nWidth)
    {
        if (FT_Init_FreeType(&m_lib) != 0) { m_lib = nullptr; return false; }
        if (FT_New_Face(m_lib, lpszFile, 0, &m_face) != 0) { m_face = nullptr; return false; }

        const TT_OS2* lpOS2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
        double dUnits = m_face->units_per_EM > 0 ? m_face->units_per_EM : 1000;
        double dAsc = lpOS2 ? lpOS2->usWinAscent : m_face->ascender;
        double dDesc = lpOS2 ? lpOS2->usWinDescent : -m_face->descender;
        if (dAsc + dDesc <= 0) { dAsc = dUnits * 0.88; dDesc = dUnits * 0.12; }

        double dEm;  // em size in pixels
        if (nHeight > 0) dEm = nHeight * dUnits / (dAsc + dDesc);
        else if (nHeight < 0) dEm = -static_cast<double>(nHeight);
        else dEm = nDefaultCellHeight * dUnits / (dAsc + dDesc);
        double dEmX = dEm;
        if (nWidth > 0) {
            double dAvg = (lpOS2 && lpOS2->xAvgCharWidth > 0) ? lpOS2->xAvgCharWidth : dUnits / 2;
            dEmX = nWidth * dUnits / dAvg;
        }
        if (FT_Set_Char_Size(m_face, static_cast<FT_F26Dot6>(std::lround(dEmX * 64)),
                             static_cast<FT_F26Dot6>(std::lround(dEm * 64)), 72, 72) != 0)
            return false;
        m_nAscent = static_cast<int>(std::lround(dAsc * dEm / dUnits));
        int nDescent = static_cast<int>(std::lround(dDesc * dEm / dUnits));
        m_nHeight = nHeight > 0 ? nHeight : m_nAscent + nDescent;
        return true;
    }

    void MeasureText(const char* lpBytes, int nCount, int* lpWidth, int* lpHeight) override
    {
        int nWidth = 0;
        for (char32_t cp : Decode(lpBytes, nCount)) nWidth += Advance(cp, false);
        if (lpWidth) *lpWidth = nWidth;
        if (lpHeight) *lpHeight = m_nHeight;
    }

    void RenderText(const char* lpBytes, int nCount, bool bMono, DDGLYPHIMAGE* lpImage) override
    {
        std::u32string cps = Decode(lpBytes, nCount);
        int nWidth = 0;
        for (char32_t cp : cps) nWidth += Advance(cp, bMono);
        lpImage->nWidth = nWidth;
        lpImage->nHeight = m_nHeight;
        lpImage->vCoverage.assign(static_cast<size_t>(nWidth) * m_nHeight, 0);

        int nPen = 0;
        for (char32_t cp : cps) {
            FT_UInt idx = FT_Get_Char_Index(m_face, cp);
            FT_Int32 flags = FT_LOAD_RENDER | (bMono ? (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) : FT_LOAD_TARGET_NORMAL);
            if (FT_Load_Glyph(m_face, idx, flags) != 0) continue;
            const FT_GlyphSlot g = m_face->glyph;
            const FT_Bitmap& bm = g->bitmap;
            int x0 = nPen + g->bitmap_left;
            int y0 = m_nAscent - g->bitmap_top;
            for (unsigned r = 0; r < bm.rows; r++) {
                int y = y0 + static_cast<int>(r);
                if (y < 0 || y >= m_nHeight) continue;
                const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch;
                for (unsigned c = 0; c < bm.width; c++) {
                    int x = x0 + static_cast<int>(c);
                    if (x < 0 || x >= nWidth) continue;
                    uint8_t a;
                    if (bm.pixel_mode == FT_PIXEL_MODE_MONO) a = (row[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
                    else a = row[c];
                    uint8_t& dst = lpImage->vCoverage[static_cast<size_t>(y) * nWidth + x];
                    dst = std::max(dst, a);
                }
            }
            nPen += static_cast<int>((g->advance.x + 32) >> 6);
        }
    }

private:
    std::u32string Decode(const char* lpBytes, int nCount)
    {
        if (lpBytes == nullptr || nCount <= 0) return {};
        return Utf8ToCodePoints(SjisToUtf8(std::string_view(lpBytes, static_cast<size_t>(nCount))));
    }

    int Advance(char32_t cp, bool bMono)
    {
        FT_UInt idx = FT_Get_Char_Index(m_face, cp);
        FT_Int32 flags = bMono ? (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) : FT_LOAD_TARGET_NORMAL;
        if (FT_Load_Glyph(m_face, idx, flags) != 0) return 0;
        return static_cast<int>((m_face->glyph->advance.x + 32) >> 6);
    }

    FT_Library m_lib = nullptr;
    FT_Face m_face = nullptr;
    int m_nAscent = 0;
    int m_nHeight = 0;
};

}  // namespace

std::unique_ptr<cGlyphRasterizer> DDCreateFreeTypeRasterizer(const char* lpszFace, int nHeight, int nWidth)
{
    auto p = std::make_unique<cFreeTypeRasterizer>();
    if (!p->Open(DDGetFontFileForFace(lpszFace), nHeight, nWidth)) return nullptr;
    return p;
}

void DDSetRasterizerFactory(DDRASTERIZERFACTORY fn)
{
    std::lock_guard<std::mutex> lock(mtxFactory);
    fnFactory = std::move(fn);
}

std::unique_ptr<cGlyphRasterizer> DDCreateRasterizer(const char* lpszFace, int nHeight, int nWidth)
{
    DDRASTERIZERFACTORY fn;
    {
        std::lock_guard<std::mutex> lock(mtxFactory);
        fn = fnFactory;
    }
    if (fn) return fn(lpszFace, nHeight, nWidth);
    return DDCreateFreeTypeRasterizer(lpszFace, nHeight, nWidth);
}
