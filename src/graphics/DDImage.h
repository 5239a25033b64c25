#pragma once
// Loading bitmap files into surfaces.
#include <cstdint>
#include <string>
#include <vector>
#include "graphics/DDSurface.h"
#include "graphics/ImageSlots.h"

int DDCreateSurfaceFromFile(DDSURFACEDATA* sd, const char* pszFile, int bColorKey, int nBpp, int nMemory,
                            int nMemoryType, DDSURFACEDATA* lpSrcSD, int bKeepPixels, int nMirrorWidth,
                            int nMirrorHeight, int bRecreate);
bool DDCheckLoadErr(int nCode);
// (Re)loads the listed slots of the image table lpImageData (set by DDInit).
// False also, without a message, when the calling thread was told to quit.
bool DDLoadImages(DDSURFACEDATA* lpSurfaces, const int* lpSlots, int nCount);
bool CopyBitmap(DDSURFACEDATA* sd, const char* pszFile, int nBpp, int bKeepPixels, int nMirrorWidth,
                int nMirrorHeight);
bool DDReloadBitmap(DDSURFACEDATA* sd, int nBpp);
bool CreateMirror(DDSURFACEDATA* sd, DDSURFACEDATA* lpSource, int nMirrorWidth, int nMirrorHeight);
bool DDMakePalIndex(DDSURFACEDATA* sd);
int DDCheckBitmapSize(int* lpLarger, const char* pszFile, int nMaxWidth, int nMaxHeight);

// A decoded bitmap file: its size, bits per pixel of the file, the colour
// table (8-bit files; shorter tables are padded with black), and the pixels
// top-down as 8-bit indices (8-bit files) or as 0x00RRGGBB.
struct DDBITMAP {
    int nWidth = 0, nHeight = 0;
    int nFileBpp = 0;
    std::vector<PALETTEENTRY> vColors;     // 256 entries for 8-bit files
    std::vector<uint8_t> vIndex;           // nWidth * nHeight (8-bit files)
    std::vector<uint32_t> vRGB;            // nWidth * nHeight, 0x00RRGGBB
};
// Reads a bitmap file (through the file layer). False on a missing, truncated
// or malformed file, after a report log line naming the file and the reason.
// The header is checked before anything is allocated: the size (at most
// 16384 on a side and 8192 x 4096 pixels), bit count and compression
// (run-length 8 with 8 bits only, 4 with 4), and that the file's pixel data
// can hold the declared pixels.
bool DDReadBitmap(const char* pszFile, DDBITMAP* lpBmp);
// The same on a file in memory; lpReason (may be null) gets the reason of a
// refusal. *lpBmp changes only on success.
bool DDReadBitmapMemory(const uint8_t* lpData, size_t nSize, DDBITMAP* lpBmp, std::string* lpReason = nullptr);
