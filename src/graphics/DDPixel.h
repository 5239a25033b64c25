#pragma once
// Pixel formats, colour conversions, palette colours and locked pixels.
//
// Rounding rules of the layer (each pinned by a test):
// - Expanding an n-bit field to 8 bits: field * 255 / max, truncated
//   (DDExpandChannel). 31 -> 255, 16 -> 131, 63 -> 255.
// - Reducing 8 bits to a field, Direct3D profile (texture loading, device
//   drawing into 16-bit targets): (value * max + 127) / 255, rounded to
//   nearest (DDReduceChannelRound). An expanded field reduces back to itself.
// - Reducing 8 bits to a field, DirectDraw profile (CopyBitmap, DDSetTransmit):
//   value * max / 255, truncated (DDReduceChannelTrunc).
// - A1R5G5B5 to R5G6B5 in the locked path onto the 16-bit full-screen back
//   buffer: red and blue kept, the five-bit green doubled (g6 = g5 * 2).
// - Presentation of a 16-bit frame: every field expanded by DDExpandChannel.
#include "graphics/DDSurface.h"

inline uint32_t DDExpandChannel(uint32_t c, uint32_t max) { return max ? c * 255u / max : 0u; }
inline uint32_t DDReduceChannelRound(uint32_t v, uint32_t max) { return (v * max + 127u) / 255u; }
inline uint32_t DDReduceChannelTrunc(uint32_t v, uint32_t max) { return v * max / 255u; }

// Bytes per pixel of a format (0 for an unknown one).
int DDFormatBytes(int nFormat);
// The channel layout of a format (P8: all zero).
DDPIXELFORMAT DDFormatChannels(int nFormat);
// Builds a channel layout from masks: shift = zero bits below the lowest set
// bit (at most nBitCount), max = mask >> shift.
DDPIXELFORMAT DDMasksToFormat(uint32_t dwR, uint32_t dwG, uint32_t dwB, uint32_t dwA, int nBitCount);

// A pixel value of a 16/32-bit format from 8-bit ARGB and back. The
// Direct3D reduction (rounded) is used; P8 is not handled here.
uint32_t DDPackARGB(int nFormat, uint32_t argb);
uint32_t DDUnpackARGB(int nFormat, uint32_t pixel);
// The same by an explicit channel layout.
uint32_t DDPackByFormat(const DDPIXELFORMAT& pf, uint32_t argb, bool bRound);
uint32_t DDUnpackByFormat(const DDPIXELFORMAT& pf, uint32_t pixel);

// Raw pixel access (no bounds check: callers clip).
inline uint32_t DDGetRaw(const DDPIXELS& p, int x, int y) {
    const uint8_t* r = p.Row(y);
    switch (p.nBytes) {
    case 1: return r[x];
    case 2: return reinterpret_cast<const uint16_t*>(r)[x];
    default: return reinterpret_cast<const uint32_t*>(r)[x];
    }
}
inline void DDPutRaw(DDPIXELS& p, int x, int y, uint32_t v) {
    uint8_t* r = p.Row(y);
    switch (p.nBytes) {
    case 1: r[x] = static_cast<uint8_t>(v); break;
    case 2: reinterpret_cast<uint16_t*>(r)[x] = static_cast<uint16_t>(v); break;
    default: reinterpret_cast<uint32_t*>(r)[x] = v; break;
    }
}

// Allocates a buffer of the given size and format, filled with zero.
bool DDAllocPixels(DDPIXELS& p, int nWidth, int nHeight, int nFormat);

// Palette index to the value drawn: a device colour (A8R8G8B8) under
// Direct3D (index 0: dwTransmit, fully transparent), a pixel of the screen
// format under DirectDraw. An index above 255 logs and gives 0.
uint32_t PalNumToRGB(uint32_t dwPalNum);
// DirectDraw: a palette entry (raw field values) to a 16-bit pixel.
uint16_t DDPalToRGB16(const PALETTEENTRY& entry);
// DirectDraw above 8 bits: reads the primary surface's channel masks into
// pfDraw (counted afresh each time).
void DDCountMaskShifts(uint32_t dwRMask, uint32_t dwGMask, uint32_t dwBMask, int nBitCount);

// The drawing format of a surface's storage, or DDFMT_UNKNOWN.
int DDSurfaceFormat(DDSURFACEDATA* sd);

// The lock object of the locked-pixel paths: locks on construction (after
// shared-texture resolution and back-buffer redirection), unlocks when it
// ends. A surface without storage, or a lost one, gives no pixels.
class cSurfaceLock {
public:
    explicit cSurfaceLock(DDSURFACEDATA* lpSD);
    ~cSurfaceLock();
    cSurfaceLock(const cSurfaceLock&) = delete;
    cSurfaceLock& operator=(const cSurfaceLock&) = delete;

    bool IsLocked() const { return m_lpBits != nullptr; }

    DDSURFACEDATA* m_lpSD = nullptr;
    DDPIXELS* m_lpPixels = nullptr;
    uint8_t* m_lpBits = nullptr;
    int m_nPitch = 0;
    int m_nBpp = 0;       // bits per pixel of the storage
    int m_nBytes = 0;     // bytes per pixel of the storage
    int m_nFormat = DDFMT_UNKNOWN;
    int m_nWidth = 0, m_nHeight = 0;  // size of the storage
};

// DirectDraw lock of a whole surface. Under Direct3D it logs and returns
// true without locking. lplpBits receives the pixels, lpPitch the pitch.
bool DDLock(DDSURFACEDATA* sd, int* lpPitch, uint8_t** lplpBits, int nBpp);
void DDUnlock(DDSURFACEDATA* sd);
