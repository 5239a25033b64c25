#pragma once
// Surface records and the state of the drawing layer.
//
// Every picture the game draws into or from is a DDSURFACEDATA. Its storage
// is one of our own pixel buffers (DDPIXELS). The layer behaves in one of two
// profiles, chosen by DDInit: "Direct3D" (lpDTCon set: textures with alpha,
// render targets, blit states, batching) or "DirectDraw" (lpDDCon set:
// surfaces in the screen format, 8-bit palettes, source colour keys). Every
// DD function branches on one test only: lpDTCon != nullptr.
#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "graphics/DDPixelStore.h"

// Pixel formats, numbered like the formats of the original device layer.
enum eDDFormat : int {
    DDFMT_UNKNOWN = 0,
    DDFMT_A8R8G8B8 = 21,   // 32 bits, alpha in the top byte
    DDFMT_X8R8G8B8 = 22,   // 32 bits, top byte unused
    DDFMT_R5G6B5 = 23,     // 16 bits
    DDFMT_A1R5G5B5 = 25,   // 16 bits, alpha in bit 15
    DDFMT_P8 = 41,         // 8-bit palette index
};

// Direct3D texture kinds.
enum : int {
    DTMEMORYTYPE_VIDEO_RT = 0,   // render-target texture: the device draws into it
    DTMEMORYTYPE_SYSTEM = 1,     // system-memory texture: written through locked pixels
    DTMEMORYTYPE_VIDEO_NORT = 2, // never kept: taken as DTMEMORYTYPE_VIDEO_RT
};

struct PALETTEENTRY {
    uint8_t peRed, peGreen, peBlue, peFlags;
};
enum : uint8_t { PC_RESERVED = 0x01, PC_EXPLICIT = 0x02, PC_NOCOLLAPSE = 0x04 };

struct RGBTRIPLE {
    uint8_t rgbtBlue, rgbtGreen, rgbtRed;
};

// One pixel buffer: the storage of a surface (a "texture" or a "surface").
// Rows are nPitch bytes apart; nPitch is a multiple of 4.
struct DDPIXELS {
    int nWidth = 0, nHeight = 0, nPitch = 0;
    int nFormat = DDFMT_UNKNOWN;
    int nBytes = 0;                 // bytes per pixel
    cPixelStore vData;             // zeroed when allocated
    bool bLost = false;             // test hook: a simulated device or surface loss
    bool bVideo = false;            // counted as video memory

    uint8_t* Row(int y) { return vData.data() + static_cast<size_t>(y) * nPitch; }
    const uint8_t* Row(int y) const { return vData.data() + static_cast<size_t>(y) * nPitch; }
};

// Description of level 0 of a texture.
struct D3DSURFACE_DESC {
    int Format = DDFMT_UNKNOWN;
    int Width = 0, Height = 0;
};

struct DDSURFACEDATA;

// The Direct3D part of a surface.
struct DTDATA {
    uint32_t dwID = 0;
    DDPIXELS* lpSurface = nullptr;   // level 0 of the texture (the back buffer for BackBuffer)
    DDPIXELS* lpTexture = nullptr;   // the texture; the same buffer as lpSurface
    D3DSURFACE_DESC Desc;
    int nMemoryType = DTMEMORYTYPE_VIDEO_RT;
    int bColorKey = 0;
    int bRenderTarget = 0;
    uint8_t* lpPalIndex = nullptr;   // palette-index map (one byte per pixel) or null
    bool bVB = false;                // the surface's vertex buffer exists
    DDSURFACEDATA* lpOwner = nullptr; // the record that holds this part (kept current by moves)
};

// The DirectDraw part of a surface.
struct DDDATA {
    DDPIXELS* lpSurface = nullptr;
    uint8_t* lpPalIndex = nullptr;
    int bColorKey = 0;               // the source colour key is set
    uint32_t dwColorKey = 0;         // its value (dwTransColor at creation)
};

// One surface. A record is movable (the storage moves with it and every
// registration follows it) but a copy never shares the storage: it takes the
// plain fields and is left without pixels, so two records never free the
// same buffer.
struct DDSURFACEDATA {
    DTDATA* lpDT = nullptr;
    DDDATA* lpDDS = nullptr;
    char szType[260] = {};
    int32_t nWidth = 0, nHeight = 0;
    int32_t nTexWidth = 0, nTexHeight = 0;
    char szFileName[260] = {};
    int32_t nMemory = 0;
    int32_t nMirrorWidth = 0, nMirrorHeight = 0;
    DDSURFACEDATA* lpMirrorSD = nullptr;
    int32_t bLost = 0;

    DDSURFACEDATA() = default;
    DDSURFACEDATA(const DDSURFACEDATA& o) { CopyPlain(o); }
    DDSURFACEDATA& operator=(const DDSURFACEDATA& o);
    DDSURFACEDATA(DDSURFACEDATA&& o) noexcept;
    DDSURFACEDATA& operator=(DDSURFACEDATA&& o) noexcept;
    ~DDSURFACEDATA();

private:
    void CopyPlain(const DDSURFACEDATA& o);
    void TakeFrom(DDSURFACEDATA& o) noexcept;
};

// The pixel format of one kind of surface: shift and maximum per channel.
struct DDPIXELFORMAT {
    int nShiftR = 0, nShiftG = 0, nShiftB = 0, nShiftA = 0;
    uint32_t nMaxR = 0, nMaxG = 0, nMaxB = 0, nMaxA = 0;
};

// The Direct3D state.
struct DTCONDATA {
    int fmtBackBuffer = DDFMT_UNKNOWN;
    int fmtTexture = DDFMT_UNKNOWN;
    int nAdapter = 0;
    int nDevType = 1;
    int fmtDisplay = DDFMT_UNKNOWN;
    int nMaxTextureWidth = 4096, nMaxTextureHeight = 4096;  // the device caps
    int bPow2 = 0;
    int bSquareOnly = 0;
    int bDynamicTextures = 1;
    int bVirBackBuffer = 0;
    DDSURFACEDATA* lpTarget = nullptr;
    int bVirCopy = 0;
    RGBTRIPLE rgbTransmit = {};
    RGBTRIPLE rgbTransmit16 = {};
    uint32_t dwTransmit = 0;
    uint32_t dwTransmitBack = 0xFF000000u;
    int bInScene = 0;
    uint32_t dwBltColor = 0xFFFFFFFFu;
    int nBltColorOp = 4;
    int nBltAlphaOp = 2;
    uint32_t dwNextID = 1;
    uint32_t dwNextFontID = 0;
    std::string strTexErrMsg;
    int bWindowed = 1;        // the presentation parameters kept for a reset
    int bDeviceLost = 0;      // Present answered "device lost" (test hook)
};

// The DirectDraw state.
struct DDCONDATA {
    RGBTRIPLE rgbTransmit = {};
    RGBTRIPLE rgbTransmit16 = {};
    uint32_t dwNextFontID = 0;
    int bPrimaryLost = 0;     // the primary surface reports a loss (test hook)
};

// Texture stage operations of the blit state.
enum : int {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
    D3DTOP_ADDSIGNED = 8,
    D3DTOP_SUBTRACT = 10,
};

// ---- global state of the layer ----
extern int bUseD3D;
extern int bDDInitDone;
extern int bDDInitOnce;
extern void* hDDWnd;                 // the SDL window (SDL_Window*) or null
extern int nScreenWidth, nScreenHeight, nScreenBpp, nScreenBytes;
extern int bDDWindowed, nVSyncMode, nBackBuffers, nRefreshRate, bSetRefresh;
extern DDSURFACEDATA* lpImageSD;
extern struct IMAGEDATA* lpImageData;
extern int nImageCount;

extern DTCONDATA* lpDTCon;           // non-null: the Direct3D profile
extern DDCONDATA* lpDDCon;           // non-null: the DirectDraw profile

extern uint32_t dwTransColor;        // transparent colour as a pixel of the drawing format
extern DDPIXELFORMAT pfDraw;         // format of the surfaces drawn into
extern DDPIXELFORMAT pfBack;         // Direct3D 16-bit back-buffer format
extern PALETTEENTRY aPalette[256];   // the palette table from the palette image
extern PALETTEENTRY aPalEntry[256];  // the current 8-bit palette
extern PALETTEENTRY aDisplayPalette[256]; // what the display's palette object holds (8 bits)
extern uint8_t aBlendTable[65536];   // the 8-bit blend table

extern DDSURFACEDATA sdPrimary, BackBuffer, sdScreenCopy, VirBackBuffer, WorkSD;

// Every Direct3D part that owns a texture, in creation order. Entries are
// the DTDATA parts (stable in memory); each knows its record by lpOwner.
extern std::list<DTDATA*>& lstDTSurface;

// Makes and frees a Direct3D part (every part is known, so records that
// share a moved record's texture can follow it).
DTDATA* DDNewDTData(DDSURFACEDATA* sd);
void DDDeleteDTData(DTDATA* dt);
// Gives a surface the part of the chosen profile when it has none.
void DDAllocBackEndData(DDSURFACEDATA* sd);
// Direct3D: a surface that shares a texture becomes its texture owner.
void DDResolveShared(DDSURFACEDATA** sd);
// 1 when sd is BackBuffer and the display is full screen.
int DDIsFullScreenBack(const DDSURFACEDATA* sd);
// The storage of a surface after shared-texture resolution (null when none).
DDPIXELS* DDGetPixels(DDSURFACEDATA* sd);
// 1 when sd is BackBuffer, VirBackBuffer or WorkSD (the screen surfaces).
inline bool DDIsBackBuffer(const DDSURFACEDATA* sd) { return sd == &BackBuffer; }
