// Loading bitmap files into surfaces.
#include "graphics/DDImage.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Thread.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDPixel.h"
#include "platform/CloseRequest.h"
#include "platform/FileSystem.h"

namespace {

constexpr int kMaxBitmapSide = 16384;
// The most pixels one image may hold: a surface of 8192 x 4096. A file
// declaring more is refused before anything is allocated for it.
constexpr uint64_t kMaxBitmapPixels = uint64_t(8192) * 4096;
// A run-length code of two bytes gives at most 255 pixels: a compressed file
// may declare at most this many pixels per byte of its pixel data.
constexpr uint64_t kMaxRlePixelsPerByte = 128;
constexpr size_t kMaxFileBytes = 256u * 1024 * 1024;

inline uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Checks the header fields before the decoder sees them: sizes, depth and
// compression, colour table length, and that the pixel data lies inside the
// file and can hold the declared pixels. Null when the header is sound,
// otherwise the reason.
const char* CheckHeader(const uint8_t* d, size_t n) {
    if (n < 26) return "shorter than a bitmap header";
    if (d[0] != 'B' || d[1] != 'M') return "not a bitmap file";
    uint32_t nOffBits = Le32(d + 10);
    uint32_t nInfoSize = Le32(d + 14);
    if (nInfoSize == 12) {
        // OS/2 core header: 16-bit sizes.
        int w = Le16(d + 18), h = Le16(d + 20), bpp = Le16(d + 24);
        if (w <= 0 || h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide) return "width or height out of range";
        if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMaxBitmapPixels) return "more pixels than a surface may hold";
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return "unsupported bit count";
        uint64_t row = ((static_cast<uint64_t>(w) * bpp + 31) / 32) * 4;
        if (nOffBits >= n || static_cast<uint64_t>(nOffBits) + row * h > n) return "pixel data past the end of the file";
        return nullptr;
    }
    if (n < 54 || nInfoSize < 40 || nInfoSize > 1024 || 14ull + nInfoSize > n) return "truncated or unknown info header";
    int32_t w = static_cast<int32_t>(Le32(d + 18)), h = static_cast<int32_t>(Le32(d + 22));
    int bpp = Le16(d + 28);
    uint32_t nCompression = Le32(d + 30);
    uint32_t nClrUsed = Le32(d + 46);
    if (w <= 0 || w > kMaxBitmapSide || h == 0 || h < -kMaxBitmapSide || h > kMaxBitmapSide)
        return "width or height out of range";
    uint64_t ah = static_cast<uint64_t>(h < 0 ? -static_cast<int64_t>(h) : h);
    uint64_t nPixels = static_cast<uint64_t>(w) * ah;
    if (nPixels > kMaxBitmapPixels) return "more pixels than a surface may hold";
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return "unsupported bit count";
    if (bpp <= 8 && nClrUsed > (1u << bpp)) return "colour table longer than the bit count allows";
    if (bpp > 8 && nClrUsed > 256) return "colour table longer than 256 entries";
    if (nOffBits >= n) return "pixel data past the end of the file";
    switch (nCompression) {
    case 0:
    case 3: {
        if (nCompression == 3 && bpp != 16 && bpp != 32) return "bit-field masks with a bit count other than 16 or 32";
        uint64_t row = ((static_cast<uint64_t>(w) * bpp + 31) / 32) * 4;
        if (static_cast<uint64_t>(nOffBits) + row * ah > n) return "pixel data past the end of the file";
        return nullptr;
    }
    case 1:
    case 2:
        if (nCompression == 1 && bpp != 8) return "8-bit run-length compression with another bit count";
        if (nCompression == 2 && bpp != 4) return "4-bit run-length compression with another bit count";
        if (h < 0) return "run-length compression of a top-down image";
        if (nPixels > static_cast<uint64_t>(n - nOffBits) * kMaxRlePixelsPerByte)
            return "more pixels than the compressed data can hold";
        return nullptr;
    default:
        return "unknown compression";
    }
}

bool ReadFileBytes(const char* pszFile, std::vector<uint8_t>* lpOut) {
    if (!pszFile || !pszFile[0]) return false;
    return FsReadFile(pszFile, *lpOut, kMaxFileBytes);
}

}  // namespace

bool DDReadBitmapMemory(const uint8_t* lpData, size_t nSize, DDBITMAP* lpBmp, std::string* lpReason) {
    auto refuse = [&](const char* pszReason) {
        if (lpReason) *lpReason = pszReason;
        return false;
    };
    if (!lpBmp) return refuse("no bitmap to read into");
    if (!lpData) return refuse("shorter than a bitmap header");
    if (const char* pszReason = CheckHeader(lpData, nSize)) return refuse(pszReason);
    SDL_RWops* rw = SDL_RWFromConstMem(lpData, static_cast<int>(std::min<size_t>(nSize, 0x7FFFFFFF)));
    if (!rw) return refuse("out of memory");
    SDL_Surface* s = SDL_LoadBMP_RW(rw, 1);
    if (!s) {
        if (lpReason) *lpReason = std::string("damaged pixel data (") + SDL_GetError() + ")";
        return false;
    }
    DDBITMAP bmp;
    bmp.nWidth = s->w;
    bmp.nHeight = s->h;
    uint32_t nInfoSize = Le32(lpData + 14);
    bmp.nFileBpp = nInfoSize == 12 ? Le16(lpData + 24) : Le16(lpData + 28);
    bool bOk = true;
    if (bmp.nFileBpp == 8 && s->format->format == SDL_PIXELFORMAT_INDEX8 && s->format->palette) {
        bmp.vColors.assign(256, PALETTEENTRY{0, 0, 0, 0});
        SDL_Palette* pal = s->format->palette;
        for (int i = 0; i < pal->ncolors && i < 256; i++)
            bmp.vColors[i] = {pal->colors[i].r, pal->colors[i].g, pal->colors[i].b, 0};
        bmp.vIndex.resize(static_cast<size_t>(s->w) * s->h);
        bmp.vRGB.resize(bmp.vIndex.size());
        SDL_LockSurface(s);
        for (int y = 0; y < s->h; y++) {
            const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
            for (int x = 0; x < s->w; x++) {
                uint8_t c = row[x];
                bmp.vIndex[static_cast<size_t>(y) * s->w + x] = c;
                const PALETTEENTRY& e = bmp.vColors[c];
                bmp.vRGB[static_cast<size_t>(y) * s->w + x] = uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
            }
        }
        SDL_UnlockSurface(s);
    } else {
        SDL_Surface* c = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
        if (!c) {
            bOk = false;
        } else {
            bmp.vRGB.resize(static_cast<size_t>(c->w) * c->h);
            SDL_LockSurface(c);
            for (int y = 0; y < c->h; y++) {
                const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(c->pixels) +
                                                                        static_cast<size_t>(y) * c->pitch);
                for (int x = 0; x < c->w; x++) bmp.vRGB[static_cast<size_t>(y) * c->w + x] = row[x] & 0x00FFFFFFu;
            }
            SDL_UnlockSurface(c);
            SDL_FreeSurface(c);
        }
    }
    SDL_FreeSurface(s);
    if (!bOk) return refuse("out of memory");
    *lpBmp = std::move(bmp);
    return true;
}

bool DDReadBitmap(const char* pszFile, DDBITMAP* lpBmp) {
    std::vector<uint8_t> v;
    std::string strReason;
    if (!pszFile || !pszFile[0]) return false;   // no file named: nothing to report
    if (!ReadFileBytes(pszFile, &v)) {
        strReason = FsExists(pszFile) ? "cannot be read, or larger than 256 MiB" : "no such file";
    } else if (DDReadBitmapMemory(v.data(), v.size(), lpBmp, &strReason)) {
        return true;
    }
    WriteReport("Bitmap %s refused: %s", pszFile, strReason.c_str());
    return false;
}

bool DDCheckLoadErr(int nCode) {
    switch (nCode) {
    case 4: WriteEC("CREATESURFACE_ERR"); return false;
    case 8: WriteEC("LOADIMAGE_ERR"); return false;
    case 9: WriteEC("SETCOLORKEY_ERR"); return false;
    default: return true;
    }
}

// Column of the mirrored placement: source column i goes to
// c * (i / c + 1) - i % c - 1 of its cell.
static inline int MirrorPlace(int i, int c) { return c > 0 ? c * (i / c + 1) - i % c - 1 : i; }

bool CopyBitmap(DDSURFACEDATA* sd, const char* pszFile, int nBpp, int bKeepPixels, int nMirrorWidth,
                int nMirrorHeight) {
    if (lpDTCon) return true;
    if (!sd) return false;
    DDBITMAP bmp;
    if (!DDReadBitmap(pszFile, &bmp)) return false;
    DDPIXELS* p = DDGetPixels(sd);
    if (!p || p->vData.empty()) return false;
    const int W = bmp.nWidth, H = bmp.nHeight;
    auto sizeMismatch = [&]() {
        if (sd->nWidth == W && sd->nHeight == H && p->nWidth >= W && p->nHeight >= H) return false;
        WriteEC("CopyBitmap Err %s Surface(%d,%d) Bmp(%d,%d)", pszFile, sd->nWidth, sd->nHeight, W, H);
        return true;
    };
    // The placement of steps with mirrored cells: a row stops at the first
    // target column outside the surface, a picture at the first row outside.
    auto place = [&](auto&& put) {
        for (int y = 0; y < H; y++) {
            int ty = nMirrorHeight ? MirrorPlace(y, nMirrorHeight) : y;
            if (ty >= p->nHeight || ty >= sd->nHeight) break;
            for (int x = 0; x < W; x++) {
                int tx = nMirrorWidth ? MirrorPlace(x, nMirrorWidth) : x;
                if (tx >= p->nWidth || tx >= sd->nWidth) break;
                put(tx, ty, static_cast<size_t>(y) * W + x);
            }
        }
    };
    // A file whose size no longer matches the surface is logged and leaves
    // the surface as it is, at every depth.
    if (sizeMismatch()) return true;
    if (nBpp == 8) {
        // An 8-bit screen takes 8-bit files only.
        if (bmp.nFileBpp != 8) {
            WriteReport("Bitmap %s refused: a %d-bit image cannot be shown on an 8-bit screen", pszFile, bmp.nFileBpp);
            return false;
        }
        place([&](int tx, int ty, size_t i) { p->Row(ty)[tx] = bmp.vIndex[i]; });
    } else if (nBpp == 16 && bmp.nFileBpp > 8) {
        {
            const RGBTRIPLE key = lpDDCon ? lpDDCon->rgbTransmit16 : RGBTRIPLE{};
            const uint32_t dwKey16 = uint32_t(key.rgbtRed) << 16 | uint32_t(key.rgbtGreen) << 8 | key.rgbtBlue;
            place([&](int tx, int ty, size_t i) {
                uint32_t c = bmp.vRGB[i];
                uint32_t v;
                if (c == dwKey16) {
                    v = dwTransColor;
                } else {
                    v = DDPackByFormat(pfDraw, 0xFF000000u | c, false) & 0xFFFFu;
                    if (v == dwTransColor) {
                        // Only the transparent colour may be transparent: move one blue step.
                        uint32_t b = (v >> pfDraw.nShiftB) & pfDraw.nMaxB;
                        uint32_t nb = b == pfDraw.nMaxB ? b - 1 : b + 1;
                        v = (v & ~(pfDraw.nMaxB << pfDraw.nShiftB)) | (nb << pfDraw.nShiftB);
                    }
                }
                reinterpret_cast<uint16_t*>(p->Row(ty))[tx] = static_cast<uint16_t>(v);
            });
        }
    } else if (nBpp == 16 || nBpp == 24 || nBpp == 32) {
        // Through the device context: 32 bits take the colour as it is, 16 bits
        // the top bits of each channel.
        place([&](int tx, int ty, size_t i) {
            uint32_t c = bmp.vRGB[i];
            if (p->nBytes == 4) {
                reinterpret_cast<uint32_t*>(p->Row(ty))[tx] = c;
            } else if (p->nBytes == 2) {
                uint32_t r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
                auto top = [](uint32_t v, uint32_t max) {
                    int nBits = 0;
                    while ((1u << nBits) <= max) nBits++;
                    return v >> (8 - nBits);
                };
                uint32_t v = top(r, pfDraw.nMaxR) << pfDraw.nShiftR | top(g, pfDraw.nMaxG) << pfDraw.nShiftG |
                             top(b, pfDraw.nMaxB) << pfDraw.nShiftB;
                reinterpret_cast<uint16_t*>(p->Row(ty))[tx] = static_cast<uint16_t>(v);
            }
        });
    } else {
        return false;
    }
    sd->nWidth = W;
    sd->nHeight = H;
    sd->nMirrorWidth = nMirrorWidth;
    sd->nMirrorHeight = nMirrorHeight;
    if (pszFile != sd->szFileName) {
        std::strncpy(sd->szFileName, pszFile, sizeof(sd->szFileName) - 1);
        sd->szFileName[sizeof(sd->szFileName) - 1] = 0;
    }
    if (bKeepPixels && nBpp > 8) {
        if (!DDMakePalIndex(sd)) return false;
    } else if (sd->lpDDS) {
        delete[] sd->lpDDS->lpPalIndex;
        sd->lpDDS->lpPalIndex = nullptr;
    }
    return true;
}

bool DDReloadBitmap(DDSURFACEDATA* sd, int nBpp) {
    if (lpDTCon) return true;
    if (!sd || !sd->lpDDS) return false;
    char szFile[260];
    std::memcpy(szFile, sd->szFileName, sizeof(szFile));
    return CopyBitmap(sd, szFile, nBpp, sd->lpDDS->lpPalIndex != nullptr, sd->nMirrorWidth, sd->nMirrorHeight);
}

bool CreateMirror(DDSURFACEDATA* sd, DDSURFACEDATA* lpSource, int nMirrorWidth, int nMirrorHeight) {
    if (!lpDTCon) return true;
    if (nMirrorWidth <= 0 || nMirrorHeight) return true;
    if (!sd || !lpSource) return false;
    if (sd->lpDT && sd->lpDT->bRenderTarget) DDClearRGB(sd, lpDTCon->dwTransmit);
    int nCells = lpSource->nWidth / nMirrorWidth;
    for (int i = 0; i < nCells; i++) {
        int x = i * nMirrorWidth;
        DDStretchBlt(sd, x, 0, nMirrorWidth, lpSource->nHeight, lpSource, x + nMirrorWidth, 0, -nMirrorWidth,
                     lpSource->nHeight, 0);
    }
    return true;
}

static uint8_t*& PalIndexOf(DDSURFACEDATA* sd) {
    static uint8_t* pNone = nullptr;
    if (sd->lpDT) return sd->lpDT->lpPalIndex;
    if (sd->lpDDS) return sd->lpDDS->lpPalIndex;
    pNone = nullptr;
    return pNone;
}

bool DDMakePalIndex(DDSURFACEDATA* sd) {
    if (!sd) return false;
    cSurfaceLock lock(sd);
    if (!lock.IsLocked()) {
        if (lpDTCon) ErrNoMemory();
        return false;
    }
    const int W = std::min(sd->nWidth, lock.m_nWidth), H = std::min(sd->nHeight, lock.m_nHeight);
    if (W <= 0 || H <= 0) return false;
    uint8_t*& map = PalIndexOf(sd);
    delete[] map;
    map = new uint8_t[static_cast<size_t>(W) * H];
    const DDPIXELS& p = *lock.m_lpPixels;
    const bool bKeyed = sd->lpDT && sd->lpDT->bColorKey;
    uint32_t aKey[256];
    for (int i = 0; i < 256; i++) {
        const PALETTEENTRY& e = aPalette[i];
        if (p.nBytes == 2 && !lpDTCon) aKey[i] = DDPalToRGB16(e);
        else aKey[i] = uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
    }
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            uint32_t v = DDGetRaw(p, x, y);
            uint32_t key;
            if (p.nBytes == 2 && lpDTCon) {
                if (v == 0 && bKeyed) {
                    map[static_cast<size_t>(y) * W + x] = 0;
                    continue;
                }
                key = DDUnpackARGB(p.nFormat, v) & 0x00FFFFFFu;
            } else if (p.nBytes == 2) {
                key = v;
            } else {
                key = v & 0x00FFFFFFu;
            }
            // A colour that is in no palette entry gets index 0.
            uint8_t idx = 0;
            for (int i = 0; i < 256; i++)
                if (aKey[i] == key) {
                    idx = static_cast<uint8_t>(i);
                    break;
                }
            map[static_cast<size_t>(y) * W + x] = idx;
        }
    }
    return true;
}

static int CreateFromFileD3D(DDSURFACEDATA* sd, const char* pszFile, int bColorKey, int nBpp, int nMemory,
                             int nMemoryType, DDSURFACEDATA* lpSrcSD, int bKeepPixels, int nMirrorWidth,
                             int nMirrorHeight, int bRecreate) {
    if (!sd->lpDT) sd->lpDT = DDNewDTData(sd);
    DTDATA* dt = sd->lpDT;
    dt->lpOwner = sd;
    char szFile[260] = {};
    if (pszFile) std::strncpy(szFile, pszFile, sizeof(szFile) - 1);
    if (!bRecreate) {
        std::strcpy(sd->szType, "OffScreenFromFile");
        std::memcpy(sd->szFileName, szFile, sizeof(szFile));
        dt->nMemoryType = nMemoryType;
        dt->bColorKey = bColorKey == 1;
        if (!lpSrcSD) {
            dt->dwID = lpDTCon->dwNextID++;
            dt->bVB = true;
        }
    }
    DDBITMAP bmp;
    if (!DDReadBitmap(szFile, &bmp)) {
        if (szFile[0]) WriteReport("LoadImage Err %s", szFile);
        return 8;
    }
    if (lpSrcSD) {
        sd->nWidth = sd->nTexWidth = bmp.nWidth;
        sd->nHeight = sd->nTexHeight = bmp.nHeight;
    } else {
        int nTexW = bmp.nWidth, nTexH = bmp.nHeight;
        DDRoundTextureSize(&nTexW, &nTexH);
        if (!DDCheckTextureSize(nTexW, nTexH))
            WriteReport("上記の理由でテクスチャの描画が失敗する可能性があります。(%s)", szFile);
        // The colour key compares the file's colour before conversion.
        const RGBTRIPLE key = nBpp == 16 ? lpDTCon->rgbTransmit16 : lpDTCon->rgbTransmit;
        const uint32_t dwKey = uint32_t(key.rgbtRed) << 16 | uint32_t(key.rgbtGreen) << 8 | key.rgbtBlue;
        int nType = dt->nMemoryType;
        if (nType == DTMEMORYTYPE_VIDEO_NORT) {
            WriteEC("DDCreateSurfaceFromFile Err DTMEMORYTYPE_VIDEO_NORTの指定は未対応です。DTMEMORYTYPE_VIDEO_RTでテクスチャを作成します。");
            nType = DTMEMORYTYPE_VIDEO_RT;
        }
        DDPIXELS* p = nullptr;
        if (nType == DTMEMORYTYPE_VIDEO_RT) {
            p = DDAllocStorage(nTexW, nTexH, lpDTCon->fmtTexture, true);
            if (!p) {
                WriteReport("VRAM不足のためシステムメモリにテクスチャを作成します。(%s)", szFile);
                nType = DTMEMORYTYPE_SYSTEM;
            }
        }
        if (!p && nType == DTMEMORYTYPE_SYSTEM) {
            if (bRecreate && dt->lpSurface) {
                p = nullptr;  // a system-memory texture keeps its pixels over a reset
            } else {
                p = DDAllocStorage(nTexW, nTexH, lpDTCon->fmtTexture, false);
                if (!p) {
                    WriteReport("D3DXCreateTextureFromFileEx Err %x %s", 0x8007000Eu, szFile);
                    if (!lpDTCon->strTexErrMsg.empty()) ErrorBoxText(lpDTCon->strTexErrMsg.c_str());
                    PostCloseRequest(CLOSE_FATAL);
                    return static_cast<int>(0x8007000Eu);
                }
            }
        }
        dt->bRenderTarget = 0;
        if (p) {
            const bool bKey = dt->bColorKey != 0;
            for (int y = 0; y < bmp.nHeight; y++)
                for (int x = 0; x < bmp.nWidth; x++) {
                    uint32_t c = bmp.vRGB[static_cast<size_t>(y) * bmp.nWidth + x];
                    DDPutRaw(*p, x, y, (bKey && c == dwKey) ? 0u : DDPackARGB(p->nFormat, 0xFF000000u | c));
                }
            DDFreeStorage(dt->lpSurface);
            dt->lpSurface = dt->lpTexture = p;
            dt->Desc = {p->nFormat, p->nWidth, p->nHeight};
        }
        dt->nMemoryType = nType;
        sd->nWidth = bmp.nWidth;
        sd->nHeight = bmp.nHeight;
        sd->nTexWidth = dt->lpSurface ? dt->lpSurface->nWidth : nTexW;
        sd->nTexHeight = dt->lpSurface ? dt->lpSurface->nHeight : nTexH;
        if (nMirrorWidth || nMirrorHeight) {
            DDSURFACEDATA tmp;
            int nCode = DDCreateSurfaceFromFile(&tmp, szFile, bColorKey, nBpp, nMemory, nMemoryType, nullptr, 0, 0, 0, 0);
            if (nCode != 0 || !CreateMirror(sd, &tmp, nMirrorWidth, nMirrorHeight)) {
                WriteReport("CreateMirror Err");
                DDReleaseSurfaceData(&tmp);
                return 1;
            }
            DDReleaseSurfaceData(&tmp);
        }
        if (!bRecreate) {
            if (std::find(lstDTSurface.begin(), lstDTSurface.end(), dt) == lstDTSurface.end()) lstDTSurface.push_back(dt);
        }
    }
    sd->nMirrorWidth = nMirrorWidth;
    sd->nMirrorHeight = nMirrorHeight;
    sd->nMemory = nMemory;
    if (bKeepPixels && nScreenBpp != 8 && !lpSrcSD) {
        DDMakePalIndex(sd);
    } else {
        delete[] dt->lpPalIndex;
        dt->lpPalIndex = nullptr;
    }
    return 0;
}

int DDCreateSurfaceFromFile(DDSURFACEDATA* sd, const char* pszFile, int bColorKey, int nBpp, int nMemory,
                            int nMemoryType, DDSURFACEDATA* lpSrcSD, int bKeepPixels, int nMirrorWidth,
                            int nMirrorHeight, int bRecreate) {
    if (!sd) return 4;
    if (lpDTCon)
        return CreateFromFileD3D(sd, pszFile, bColorKey, nBpp, nMemory, nMemoryType, lpSrcSD, bKeepPixels,
                                 nMirrorWidth, nMirrorHeight, bRecreate);
    if (!lpDDCon) return 4;
    char szFile[260] = {};
    if (pszFile) std::strncpy(szFile, pszFile, sizeof(szFile) - 1);
    DDBITMAP bmp;
    if (!DDReadBitmap(szFile, &bmp)) {
        WriteEC("%s", szFile);
        return 8;
    }
    if (!DDCreateSurface(sd, bmp.nWidth, bmp.nHeight, bColorKey, nMemory, 0, nullptr, 0)) return 4;
    if (!CopyBitmap(sd, szFile, nBpp, bKeepPixels, nMirrorWidth, nMirrorHeight)) return 8;
    sd->nWidth = bmp.nWidth;
    sd->nHeight = bmp.nHeight;
    sd->nMirrorWidth = nMirrorWidth;
    sd->nMirrorHeight = nMirrorHeight;
    std::memcpy(sd->szFileName, szFile, sizeof(szFile));
    sd->nMemory = nMemory;
    return 0;
}

bool DDLoadImages(DDSURFACEDATA* lpSurfaces, const int* lpSlots, int nCount) {
    if (!lpSurfaces || !lpSlots || !lpImageData) return false;
    for (int k = 0; k < nCount; k++) {
        // A thread told to quit stops between images, without a message:
        // the program is closing.
        if (IsQuitPosted()) return false;
        int n = lpSlots[k];
        if (n < 0 || n >= nImageCount) {
            WriteEC("DDLoadImages slot %d", n);
            return false;
        }
        DDSURFACEDATA* sd = &lpSurfaces[n];
        const IMAGEDATA& img = lpImageData[n];
        DDReleaseSurfaceData(sd);
        DDSURFACEDATA* lpSrc = static_cast<DDSURFACEDATA*>(img.lpSrcSD);
        if (std::strcmp(img.szFile, "E") != 0) {
            int nCode = DDCreateSurfaceFromFile(sd, img.szFile, img.nColorKey, nScreenBpp, img.nMemory, img.nMemoryType,
                                                lpSrc, img.bKeepPixels, img.nMirrorWidth, img.nMirrorHeight, 0);
            if (!DDCheckLoadErr(nCode) && !img.bOptional) {
                ErrorBox("%s の読み込みに失敗！", img.szFile);
                return false;
            }
        } else if (!DDCreateSurface(sd, img.nWidth, img.nHeight, img.nColorKey, img.nMemory, img.nMemoryType, lpSrc, 0)) {
            if (!img.bOptional) {
                ErrNoMemory();
                return false;
            }
        }
    }
    return true;
}

int DDCheckBitmapSize(int* lpLarger, const char* pszFile, int nMaxWidth, int nMaxHeight) {
    // Both profiles measure the file, so the answer is always set.
    if (lpLarger) *lpLarger = 0;
    DDBITMAP bmp;
    if (!DDReadBitmap(pszFile, &bmp)) return lpDTCon ? 1 : 0;
    if (lpLarger) *lpLarger = (bmp.nWidth > nMaxWidth || bmp.nHeight > nMaxHeight) ? 1 : 0;
    return 1;
}
