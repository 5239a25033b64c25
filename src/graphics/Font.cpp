#include "graphics/Font.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "foundation/Log.h"
#include "foundation/Text.h"
#include "graphics/DDBatch.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDPixel.h"
#include "graphics/DDPresent.h"
#include "graphics/ImageSlots.h"
#include "platform/CloseRequest.h"

std::list<cFont*>& lstFont = *new std::list<cFont*>();

namespace {

// The double-byte characters every full-width cache starts with, in order.
const char szPreRendered[] =
    "０１２３４５６７８９ー～、。．！？「」（）｛｝・…※→↑↓←＋－＝○●×ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも"
    "やゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょアイウエオカキクケコサシスセソ"
    "タチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンガギグゲゴザジズゼゾダヂヅデトバビブベボヴパピプペポァィゥェォ"
    "ッャュョ□■☆★％＆＜＞：";

const char szFullSpace[] = "　";
const char szBracketFace[] = "ＭＳ Ｐゴシック";
const char* const aszWideBrackets[] = {"（", "）", "｛", "｝"};

uint16_t CharKey(const char* p)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) << 8 | static_cast<unsigned char>(p[1]));
}

bool HasPixels(DDSURFACEDATA* sd)
{
    DDPIXELS* p = sd ? DDGetPixels(sd) : nullptr;
    return p && !p->vData.empty();
}

// Lines of a text: a text ending in a line break has an empty last line; an
// empty text is one line.
std::vector<std::string> SplitLines(const char* lpszText)
{
    std::vector<std::string> v;
    const char* p = lpszText ? lpszText : "";
    for (;;) {
        int n = GetLineLength(p);
        v.emplace_back(p, static_cast<size_t>(n));
        if (p[n] != '\n') break;
        p += n + 1;
    }
    return v;
}

void ReportFontError(const char* lpszText)
{
    WriteEC("%s", lpszText);
    PostCloseRequest();
}

// "Over" with coverage as alpha (8-bit A8R8G8B8): the text colour c with
// alpha a over the pixel d. A transparent pixel takes the colour with alpha a.
uint32_t CoverOver(uint32_t c, uint32_t a, uint32_t d)
{
    if (a == 0) return d;
    if (a == 255) return (c & 0x00FFFFFFu) | 0xFF000000u;
    uint32_t da = d >> 24;
    uint32_t rest = da * (255 - a);            // destination weight x 255
    uint32_t oa255 = a * 255 + rest;           // out alpha x 255
    uint32_t out = ((oa255 + 127) / 255) << 24;
    for (int sh = 0; sh < 24; sh += 8) {
        uint32_t cv = (c >> sh) & 255, dv = (d >> sh) & 255;
        out |= static_cast<uint32_t>((static_cast<uint64_t>(cv) * a * 255 + static_cast<uint64_t>(dv) * rest +
                                      oa255 / 2) / oa255) << sh;
    }
    return out;
}

}  // namespace

int GetLineLength(const char* lpszText)
{
    if (!lpszText) return 0;
    int n = 0;
    while (lpszText[n] != 0 && lpszText[n] != '\n') n++;
    return n;
}

// ---------------------------------------------------------------- cFastFont

cFastFont::~cFastFont() { DDReleaseSurface(&m_sd); }

bool cFastFont::Create(int nKind, int nCellWidth, int nCellHeight, int nColumns, int nRows)
{
    m_nKind = nKind;
    m_nCellWidth = nCellWidth;
    m_nCellHeight = nCellHeight;
    m_nColumns = nColumns;
    m_nRows = nRows;
    m_nCapacity = nColumns * nRows;
    m_nUsed = 0;
    m_lstGlyph.clear();
    m_mapFirst.clear();
    if (nColumns <= 0 || nRows <= 0 || nCellWidth <= 0 || nCellHeight <= 0) return false;
    if (!DDCreateSurface(&m_sd, nColumns * nCellWidth, nRows * nCellHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0))
        return false;
    std::strcpy(m_sd.szType, "Font::Work");
    return true;
}

int cFastFont::Add(const char* lpChar)
{
    if (m_nUsed >= m_nCapacity) return 0;
    GLYPHENTRY e;
    e.szText[0] = lpChar[0];
    e.szText[1] = lpChar[1];
    e.szText[2] = 0;
    e.nCell = m_nUsed;
    e.nX = (m_nUsed % m_nColumns) * m_nCellWidth;
    e.nY = (m_nUsed / m_nColumns) * m_nCellHeight;
    m_lstGlyph.push_back(e);
    m_mapFirst.emplace(CharKey(lpChar), m_nUsed);  // keeps the first entry of a character
    m_nUsed++;
    return 1;
}

const GLYPHENTRY* cFastFont::Find(const char* lpChar) const
{
    auto it = m_mapFirst.find(CharKey(lpChar));
    if (it == m_mapFirst.end()) return nullptr;
    for (const GLYPHENTRY& e : m_lstGlyph)
        if (e.nCell == it->second) return &e;
    return nullptr;
}

void cFastFont::DrawHalf(DDSURFACEDATA* dst, int x, int y, uint8_t c, int nFlags)
{
    DDBlt(dst, x, y, m_nCellWidth, m_nCellHeight, &m_sd, (c % 16) * m_nCellWidth, (c / 16) * m_nCellHeight, nFlags);
}

int cFastFont::DrawFull(DDSURFACEDATA* dst, int x, int y, const char* lpChar, int nFlags)
{
    auto it = m_mapFirst.find(CharKey(lpChar));
    if (it == m_mapFirst.end()) return 0;
    int nCell = it->second;
    DDBlt(dst, x, y, m_nCellWidth, m_nCellHeight, &m_sd, (nCell % m_nColumns) * m_nCellWidth,
          (nCell / m_nColumns) * m_nCellHeight, nFlags);
    return 1;
}

// -------------------------------------------------------------------- cFont

namespace {

void RestoreAllFonts()
{
    for (cFont* f : lstFont) f->RestoreCaches();
}

}  // namespace

cFont::~cFont()
{
    Release();
    lstFont.remove(this);
}

void cFont::DeleteCaches()
{
    m_lpFastFont_Half.reset();
    m_lpFastFont_FullAdd.reset();
}

void cFont::Release()
{
    m_lpRasterizer.reset();
    DeleteCaches();
    DDReleaseSurface(&m_sdWork);
}

void cFont::Create(const char* lpszFace, int nWidth, int nHeight, int nCellWidth, int nLineHeight, int nColorIndex,
                   DDSURFACEDATA* lpWindowSD, int nFrameWidth, int nFrameColor, DDSURFACEDATA* lpSymbolSD, int bCache)
{
    m_strFace = lpszFace ? lpszFace : "";
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nCellWidth = nCellWidth;
    m_nLineHeight = nLineHeight;
    m_nColorIndex = std::clamp(nColorIndex, 0, 255);
    if (bDDInitDone) {
        const PALETTEENTRY& pe = aPalette[m_nColorIndex];
        if (lpDTCon) {
            m_dwColor = 0xFF000000u | static_cast<uint32_t>(pe.peRed) << 16 | static_cast<uint32_t>(pe.peGreen) << 8 |
                        pe.peBlue;
        } else {
            uint32_t r = pe.peRed, g = pe.peGreen, b = pe.peBlue;
            if (nScreenBpp == 16) {
                r = DDExpandChannel(r & pfDraw.nMaxR, pfDraw.nMaxR);
                g = DDExpandChannel(g & pfDraw.nMaxG, pfDraw.nMaxG);
                b = DDExpandChannel(b & pfDraw.nMaxB, pfDraw.nMaxB);
            }
            m_dwColor = r | g << 8 | b << 16;
            m_dwPixel = PalNumToRGB(static_cast<uint32_t>(m_nColorIndex));
        }
    }

    m_lpWindowSD = lpWindowSD;
    m_nFrameWidth = nFrameWidth;
    m_nFrameColor = nFrameColor;
    m_lpSymbolSD = lpSymbolSD;
    m_bSymbolLetters = lpSymbolSD ? 1 : 0;

    // The face at its size: the rasteriser stands in for the device font.
    std::string strFace = m_strFace.substr(0, lpDTCon ? 31 : std::string::npos);
    m_lpRasterizer = DDCreateRasterizer(strFace.c_str(), nHeight, lpDTCon ? 0 : nWidth);
    if (!HasPixels(&m_sdWork)) {
        if (!DDCreateSurface(&m_sdWork, nScreenWidth, nScreenHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, nullptr, 0)) {
            ReportFontError("DDCreateSurface Font::Work");
            return;
        }
        std::strcpy(m_sdWork.szType, "Font::Work");
    }

    if (lpDTCon) m_nId = static_cast<int>(lpDTCon->dwNextFontID++);
    else if (lpDDCon) m_nId = static_cast<int>(lpDDCon->dwNextFontID++);
    if (std::find(lstFont.begin(), lstFont.end(), this) == lstFont.end()) lstFont.push_back(this);
    DDSetFontRestoreHook(&RestoreAllFonts);

    m_bCache = bCache;
    if (!bCache) {
        DeleteCaches();
        return;
    }
    if (nCellWidth == 0 || nLineHeight == 0) {
        WriteEC("※フォントクラスで文字間が未設定！");
        return;
    }
    DeleteCaches();

    m_lpFastFont_Half = std::make_unique<cFastFont>();
    if (!m_lpFastFont_Half->Create(0, nCellWidth, nLineHeight, 16, 16)) {
        m_lpFastFont_Half.reset();
        ReportFontError("m_lpFastFont_Half Err");
        return;
    }
    int nCols, nRows;
    if (lpDTCon) {
        nCols = std::min(1024 / nCellWidth, 32);
        nRows = std::min(1024 / nLineHeight, 32);
    } else {
        nCols = std::min(nScreenWidth / nCellWidth, 32);
        nRows = std::min(nScreenHeight / nLineHeight, 30);
    }
    m_lpFastFont_FullAdd = std::make_unique<cFastFont>();
    if (!m_lpFastFont_FullAdd->Create(1, nCellWidth, nLineHeight, nCols, nRows)) {
        m_lpFastFont_FullAdd.reset();
        ReportFontError("m_lpFastFont_FullAdd Err");
        return;
    }
    RenderHalfCache();
    RenderFullCache(0);
}

bool cFont::SymbolLoaded() const { return HasPixels(m_lpSymbolSD); }

bool cFont::UseBracketShift() const { return m_bCenterGlyph == 0 && m_strFace == szBracketFace; }

void cFont::RenderHalfCache()
{
    if (!m_lpFastFont_Half) return;
    std::string text = "\n";
    for (int j = 1; j < 16; j++) {
        for (int c = 16 * j; c < 16 * j + 16; c++) text += static_cast<char>(c);
        text += '\n';
    }
    cFastFont& ff = *m_lpFastFont_Half;
    DDFillTransparent(&ff.m_sd, 0, 0, ff.m_sd.nWidth, ff.m_sd.nHeight);
    int bSymbol = m_bSymbolLetters, bCache = m_bCache;
    m_bSymbolLetters = 0;
    m_bCache = 0;
    DrawText(&ff.m_sd, 0, 0, text.c_str());
    m_bSymbolLetters = bSymbol;
    m_bCache = bCache;
}

void cFont::RenderFullCache(int bRestore)
{
    if (!m_lpFastFont_FullAdd) return;
    cFastFont& ff = *m_lpFastFont_FullAdd;
    if (!bRestore) {
        for (const char* p = szPreRendered; p[0] && p[1]; p += 2)
            if (!ff.Add(p)) break;
    }
    std::string text;
    int nInLine = 0;
    for (const GLYPHENTRY& e : ff.m_lstGlyph) {
        text.append(e.szText, 2);
        if (++nInLine == ff.m_nColumns) {
            text += '\n';
            nInLine = 0;
        }
    }
    DDFillTransparent(&ff.m_sd, 0, 0, ff.m_sd.nWidth, ff.m_sd.nHeight);
    int bSymbol = m_bSymbolLetters, bCache = m_bCache;
    m_bSymbolLetters = 0;
    m_bCache = 0;
    DrawText(&ff.m_sd, 0, 0, text.c_str());
    m_bSymbolLetters = bSymbol;
    m_bCache = bCache;
    ff.m_sd.bLost = 0;
}

void cFont::RestoreCaches()
{
    if (lpDTCon) {
        if (m_lpFastFont_Half && m_lpFastFont_Half->m_sd.bLost) {
            RenderHalfCache();
            m_lpFastFont_Half->m_sd.bLost = 0;
        }
        if (m_lpFastFont_FullAdd && m_lpFastFont_FullAdd->m_sd.bLost) {
            RenderFullCache(1);
            m_lpFastFont_FullAdd->m_sd.bLost = 0;
        }
        if (m_sdWork.bLost) m_sdWork.bLost = 0;  // drawn afresh for every text
        return;
    }
    // DirectDraw: lost surfaces are restored; the caches are drawn again in any case.
    if (DDIsSurfaceLost(&m_sdWork)) DDRestoreSurfaceData(&m_sdWork);
    for (cFastFont* ff : {m_lpFastFont_Half.get(), m_lpFastFont_FullAdd.get()})
        if (ff && DDIsSurfaceLost(&ff->m_sd)) DDRestoreSurfaceData(&ff->m_sd);
    if (m_lpFastFont_Half) {
        RenderHalfCache();
        m_lpFastFont_Half->m_sd.bLost = 0;
    }
    if (m_lpFastFont_FullAdd) {
        RenderFullCache(1);
        m_lpFastFont_FullAdd->m_sd.bLost = 0;
    }
}

void cFont::GetTextSize(TEXTSIZE* lpSize, const char* lpszText)
{
    int nMax = 0, nLines = 0;
    for (const std::string& line : SplitLines(lpszText)) {
        nMax = std::max(nMax, GetCharCount(line.c_str()));
        nLines++;
    }
    lpSize->cx = nMax * m_nCellWidth;
    lpSize->cy = nLines * m_nLineHeight;
}

void cFont::MeasureText(TEXTSIZE* lpSize, const char* lpszText)
{
    int nMax = 0, nLines = 0;
    for (const std::string& line : SplitLines(lpszText)) {
        int w = 0, h = 0;
        if (m_lpRasterizer && !line.empty())
            m_lpRasterizer->MeasureText(line.data(), static_cast<int>(line.size()), &w, &h);
        nMax = std::max(nMax, w);
        nLines++;
    }
    lpSize->cx = nMax;
    lpSize->cy = nLines * m_nLineHeight;
}

void cFont::MeasureForDraw(TEXTSIZE* lpSize, const char* lpszText)
{
    if (m_nCellWidth == 0) MeasureText(lpSize, lpszText);
    else GetTextSize(lpSize, lpszText);
}

int cFont::DrawText(DDSURFACEDATA* dst, int x, int y, const char* lpszText)
{
    if (!dst || !lpszText) return 0;
    if (lpDTCon) {
        DDResolveShared(&dst);
        DDRedirectBackBuffer(&dst);
        if (dst->lpDT && dst->lpDT->nMemoryType == DTMEMORYTYPE_VIDEO_RT && (dst->lpDT->bRenderTarget || dst == &BackBuffer)) {
            if (!m_bCache && !DDBeginScene()) return 0;
            DrawGlyphs(dst, x, y, dst, x, y, lpszText, m_bSymbolLetters);
            DrawSymbolLetters(dst, x, y, lpszText);
            return 1;
        }
        TEXTSIZE size;
        MeasureForDraw(&size, lpszText);
        DDFillTransparent(&m_sdWork, 0, 0, size.cx, size.cy);
        if (!m_bCache && !DDBeginScene()) return 0;
        DrawGlyphs(&m_sdWork, 0, 0, dst, x, y, lpszText, m_bSymbolLetters);
        DrawSymbolLetters(&m_sdWork, 0, 0, lpszText);
        return DDBlt(dst, x, y, size.cx, size.cy, &m_sdWork, 0, 0, 1);
    }
    TEXTSIZE size;
    MeasureForDraw(&size, lpszText);
    DDFillTransparent(&m_sdWork, 0, 0, size.cx, size.cy);
    DrawGlyphs(&m_sdWork, 0, 0, dst, x, y, lpszText, m_bSymbolLetters);
    int nResult = DDBlt(dst, x, y, size.cx, size.cy, &m_sdWork, 0, 0, 1);
    DrawSymbolLetters(dst, x, y, lpszText);
    return nResult;
}

int cFont::Printf(DDSURFACEDATA* dst, int x, int y, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(256, fmt, ap);
    va_end(ap);
    return DrawText(dst, x, y, s.c_str());
}

void cFont::DrawGlyphs(DDSURFACEDATA* lpTarget, int x0, int y0, DDSURFACEDATA* lpCacheTarget, int cx0, int cy0,
                       const char* lpszText, int bSymbol)
{
    DDBeginBltBatch(1);
    if (m_nCellWidth == 0) {
        // Proportional: line by line at the line height.
        int y = y0;
        for (const std::string& line : SplitLines(lpszText)) {
            if (!line.empty() && m_lpRasterizer) {
                DDGLYPHIMAGE img;
                m_lpRasterizer->RenderText(line.data(), static_cast<int>(line.size()), lpDTCon == nullptr, &img);
                DrawCoverage(lpTarget, x0, y, img);
            }
            y += m_nLineHeight;
        }
        DDEndBltBatch();
        return;
    }

    const bool bCaching = m_bCache && lpCacheTarget;
    const bool bSymbolOn = bSymbol && SymbolLoaded();
    const bool bBrackets = UseBracketShift();
    const int nShift = m_nCellWidth >> 2;
    int px = 0, py = 0;
    for (const char* p = lpszText; *p; p++) {
        if (IsSJISChar(p)) {
            if (std::memcmp(p, szFullSpace, 2) != 0) {
                bool bDirect = true;
                if (bCaching && m_lpFastFont_FullAdd) {
                    cFastFont& ff = *m_lpFastFont_FullAdd;
                    if (ff.DrawFull(lpCacheTarget, cx0 + px, cy0 + py, p, 1)) bDirect = false;
                    else if (ff.Add(p)) {
                        DrawIntoFullCell(ff.m_lstGlyph.back());
                        ff.DrawFull(lpCacheTarget, cx0 + px, cy0 + py, p, 1);
                        bDirect = false;
                    } else {
                        DrawGlyph(lpTarget, x0 + px, y0 + py, p, 2, m_bCenterGlyph != 0);
                        bDirect = false;
                    }
                }
                if (bDirect) {
                    int adj = 0;
                    if (bBrackets)
                        for (const char* b : aszWideBrackets)
                            if (std::memcmp(p, b, 2) == 0) adj = nShift;
                    DrawGlyph(lpTarget, x0 + px + adj, y0 + py, p, 2, m_bCenterGlyph != 0);
                }
            }
            px += m_nCellWidth;
            p++;  // the trail byte
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n') {
            px = 0;
            py += m_nLineHeight;
            continue;
        }
        if (c != ' ' && !(bSymbolOn && c >= 'a' && c <= 'z')) {
            if (bCaching && m_lpFastFont_Half) {
                m_lpFastFont_Half->DrawHalf(lpCacheTarget, cx0 + px, cy0 + py, c, 1);
            } else {
                int adj = 0;
                if (bBrackets && (c == '(' || c == ')' || c == '{' || c == '}')) adj = nShift;
                DrawGlyph(lpTarget, x0 + px + adj, y0 + py, p, 1, m_bCenterGlyph != 0);
            }
        }
        px += m_nCellWidth;
    }
    DDEndBltBatch();
}

void cFont::DrawIntoFullCell(const GLYPHENTRY& e)
{
    // A new cache entry: the glyph at its cell's corner (Direct3D places it
    // unchanged; DirectDraw goes through the ordinary glyph placement).
    DrawGlyph(&m_lpFastFont_FullAdd->m_sd, e.nX, e.nY, e.szText, 2, lpDTCon ? false : m_bCenterGlyph != 0);
}

void cFont::DrawGlyph(DDSURFACEDATA* lpTarget, int x, int y, const char* lpBytes, int nCount, bool bCentre)
{
    if (!m_lpRasterizer) return;
    const int W = m_nCellWidth, H = m_nLineHeight;
    int gx, gy;
    if (bCentre) {
        int w = 0, h = 0;
        m_lpRasterizer->MeasureText(lpBytes, nCount, &w, &h);
        gx = x + (W >> 1) - (w >> 1);
        gy = y + (H >> 1) - (h >> 1);
    } else if (nCount == 1) {
        gx = x + (W >> 3);
        gy = y + (H >> 4) - 1;
    } else {
        gx = x;
        gy = y;
    }
    DDGLYPHIMAGE img;
    m_lpRasterizer->RenderText(lpBytes, nCount, lpDTCon == nullptr, &img);
    DrawCoverage(lpTarget, gx, gy, img);
}

void cFont::DrawCoverage(DDSURFACEDATA* lpTarget, int x, int y, const DDGLYPHIMAGE& img)
{
    cSurfaceLock lock(lpTarget);
    if (!lock.IsLocked()) return;
    DDPIXELS& pix = *lock.m_lpPixels;
    const int nW = std::min<int>(lock.m_lpSD->nWidth, pix.nWidth);
    const int nH = std::min<int>(lock.m_lpSD->nHeight, pix.nHeight);
    const int i0 = std::max(0, -x), j0 = std::max(0, -y);
    const int i1 = std::min(img.nWidth, nW - x), j1 = std::min(img.nHeight, nH - y);
    for (int j = j0; j < j1; j++) {
        const uint8_t* row = img.vCoverage.data() + static_cast<size_t>(j) * img.nWidth;
        for (int i = i0; i < i1; i++) {
            const uint32_t a = row[i];
            if (a == 0) continue;
            if (!lpDTCon) {
                // Monochrome: a pixel is ink or left alone.
                if (a >= 128) DDPutRaw(pix, x + i, y + j, m_dwPixel);
                continue;
            }
            uint32_t d = DDUnpackARGB(pix.nFormat, DDGetRaw(pix, x + i, y + j));
            DDPutRaw(pix, x + i, y + j, DDPackARGB(pix.nFormat, CoverOver(m_dwColor, a, d)));
        }
    }
}

void cFont::DrawSymbolLetters(DDSURFACEDATA* dst, int x, int y, const char* lpszText)
{
    if (!m_bSymbolLetters || !SymbolLoaded() || m_nCellWidth == 0) return;
    DDBeginBltBatch(0);
    int px = 0, py = 0;
    for (const char* p = lpszText; *p; p++) {
        if (IsSJISChar(p)) {
            px += m_nCellWidth;
            p++;
            continue;
        }
        const char c = *p;
        if (c == '\n') {
            px = 0;
            py += m_nLineHeight;
            continue;
        }
        if (c >= 'a' && c <= 'z')
            DDBlt(dst, x + px, y + py, m_nCellWidth, m_nLineHeight, m_lpSymbolSD, m_nCellWidth * (c - 'a'), 0, 1);
        px += m_nCellWidth;
    }
    DDEndBltBatch();
}

void cFont::DrawWindow(DDSURFACEDATA* dst, int x, int y, int nWidth, int nHeight)
{
    int bw = m_lpWindowSD ? m_lpWindowSD->nWidth : 0, bh = m_lpWindowSD ? m_lpWindowSD->nHeight : 0;
    if (x == 10000) x = (bw >> 1) - (nWidth >> 1);
    if (y == 10000) y = (bh >> 1) - (nHeight >> 1);
    DDDrawWindow(dst, x, y, nWidth, nHeight, m_lpWindowSD, m_nFrameWidth, static_cast<uint32_t>(m_nFrameColor));
}

int cFont::DrawTextBox(DDSURFACEDATA* dst, int x, int y, int nWidth, int nHeight, const char* lpszText, int nMargin)
{
    if (nWidth == 0 || nHeight == 0) {
        TEXTSIZE size;
        MeasureForDraw(&size, lpszText);
        if (nWidth == 0) nWidth = nMargin + size.cx;
        if (nHeight == 0) nHeight = size.cy;
    }
    int bw = m_lpWindowSD ? m_lpWindowSD->nWidth : 0, bh = m_lpWindowSD ? m_lpWindowSD->nHeight : 0;
    if (x == 10000) x = (bw >> 1) - (nWidth >> 1);
    if (y == 10000) y = (bh >> 1) - (nHeight >> 1);
    DDDrawWindow(dst, x, y, nWidth, nHeight, m_lpWindowSD, m_nFrameWidth, static_cast<uint32_t>(m_nFrameColor));
    return DrawText(dst, x + nMargin, y, lpszText);
}

int cFont::PrintfWindow(DDSURFACEDATA* dst, int x, int y, int nWidth, int nHeight, const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(512, fmt, ap);
    va_end(ap);
    return DrawTextBox(dst, x, y, nWidth, nHeight, s.c_str(), 0);
}

// ------------------------------------------------------------ free functions

int CreateFonts(cFont* lpFonts, FONTDATA* lpRecords, int nCount)
{
    for (int i = 0; i < nCount; i++) {
        FONTDATA& fd = lpRecords[i];
        auto slot = [](int n) -> DDSURFACEDATA* {
            return (lpImageSD && n >= 0 && n < nImageCount) ? &lpImageSD[n] : nullptr;
        };
        lpFonts[i].Create(fd.szFace, fd.nWidth, fd.nHeight, fd.nCellWidth, fd.nLineHeight, fd.nColorIndex,
                          slot(fd.nWindowImage), fd.nFrameWidth, fd.nFrameColor, slot(fd.nSymbolImage), fd.nCache);
    }
    return 1;
}

void DrawNumberSurface(DDSURFACEDATA* sd, cFont* lpFont)
{
    DDFillTransparent(sd, 0, 0, sd->nWidth, sd->nHeight);
    lpFont->DrawText(sd, 0, 0, "0123456789");
}

int CreateNumberSurfaces(DDSURFACEDATA* lpSurfaces, IMAGEDATA* lpImages, int nCount, cFont* lpFonts,
                         FONTDATA* lpRecords)
{
    for (int i = 0; i < nCount; i++) {
        const IMAGEDATA& im = lpImages[i];
        DDCreateSurface(&lpSurfaces[i], 10 * lpRecords[i].nCellWidth, lpRecords[i].nLineHeight, im.nColorKey,
                        im.nMemory, im.nMemoryType, static_cast<DDSURFACEDATA*>(im.lpSrcSD), 0);
        DrawNumberSurface(&lpSurfaces[i], &lpFonts[i]);
    }
    return 1;
}

void DDDrawNumber(DDSURFACEDATA* dst, int x, int y, int dw, int dh, DDSURFACEDATA* lpImage, int ix, int iy,
                  int nFlags, int nValue, int nMinDigits, int bCentre)
{
    // The strip holds no minus sign: a negative value shows as 0.
    uint32_t v = nValue < 0 ? 0u : static_cast<uint32_t>(nValue);
    int aDigit[10];
    int n = 0;
    do {
        aDigit[n++] = static_cast<int>(v % 10);
        v /= 10;
    } while (v != 0 && n < 10);
    long long xx = x;
    if (n < nMinDigits) {
        long long d = static_cast<long long>(nMinDigits - n) * dw;
        xx += bCentre ? d / 2 : d;
    }
    for (int k = n - 1; k >= 0; k--) {
        DDBlt(dst, static_cast<int>(xx), y, dw, dh, lpImage, ix + aDigit[k] * dw, iy, nFlags);
        xx += dw;
    }
}

void DDDrawWindow(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* lpBack, int nFrameWidth,
                  uint32_t dwFrameColor)
{
    if (lpBack) DDBlt(dst, x, y, w, h, lpBack, 0, 0, 1);
    DDDrawBoxFrame(dst, x - nFrameWidth, y - nFrameWidth, w + 2 * nFrameWidth, h + 2 * nFrameWidth, nFrameWidth,
                   dwFrameColor);
}

void DDDrawBoxFrame(DDSURFACEDATA* dst, int x, int y, int w, int h, int t, uint32_t dwPalNum)
{
    DDBeginFillBatch();
    DDFillRect(dst, x, y, w, t, dwPalNum);
    DDFillRect(dst, x, y + h - t, w, t, dwPalNum);
    DDFillRect(dst, x, y, t, h, dwPalNum);
    DDFillRect(dst, x + w - t, y, t, h, dwPalNum);
    DDEndFillBatch();
}

void ReleaseFonts(cFont* lpFonts, int nCount)
{
    auto entries = [&](int i) {
        return (i < nCount && lpFonts[i].m_lpFastFont_FullAdd) ? static_cast<int>(lpFonts[i].m_lpFastFont_FullAdd->m_lstGlyph.size())
                                                               : 0;
    };
    WriteReport("Font10 : %d", entries(0));
    WriteReport("Font16 : %d", entries(1));
    for (int i = 0; i < nCount; i++) lpFonts[i].Release();
}
