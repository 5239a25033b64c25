#pragma once
// Blits, fills, pixels and circles, the device scene and the render target.
//
// Flags of every blit: 0 copies every pixel, 1 leaves the transparent colour
// out. Source rectangles are sampled at pixel centres ("point sampling"):
// destination column i of a w-wide rectangle reads source column
//   sx + floor((2i + 1) * sw / (2w))        for sw > 0,
//   sx - 1 - floor((2i + 1) * -sw / (2w))   for sw < 0 (the span reversed),
// rows likewise. At 1:1 this is sx + i, and a negative span of -w reads
// sx - 1 down to sx - w exactly.
#include "graphics/DDSurface.h"

enum : int { DDBLT_NOKEY = 0, DDBLT_KEY = 1 };

int DDBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nFlags);
int DDStretchBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw,
                 int sh, int nFlags);
// A colour pair: {colour, colour operation}.
void DDBltColor(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nFlags,
                const int* lpColorPair);
void DDStretchBltColor(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw,
                       int sh, int nFlags, const int* lpColorPair);
void DDSetBltColor(uint32_t dwColor);
void DDResetBltColor();
void DDSetBltColorOp(int nOp);
void DDResetBltColorOp();
void DDSetBltAlphaOp(int nOp);
void DDResetBltAlphaOp();

int DDFillRect(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t dwPalNum);
int DDFillRectRGB(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t dwValue);
int DDClear(DDSURFACEDATA* dst, uint32_t dwPalNum);
int DDClearRGB(DDSURFACEDATA* dst, uint32_t dwValue);
// Fills a rectangle with the colour the surface's keyed blits leave out:
// under DirectDraw its own colour key (palette colour 0 when it has none),
// under Direct3D palette colour 0, which is transparent there.
int DDFillTransparent(DDSURFACEDATA* dst, int x, int y, int w, int h);
void DDCircle(DDSURFACEDATA* dst, int cx, int cy, int r, uint32_t dwPalNum);
void DDPlotPixel(DDSURFACEDATA* dst, int x, int y, uint32_t dwPalNum);

// Cuts a blit to its surfaces. 1 when something is left to draw.
int DDClipRect(DDSURFACEDATA* dst, int* x, int* y, int* w, int* h, DDSURFACEDATA* src, int* sx, int* sy, int* sw,
               int* sh);
void DDMirrorFixup(DDSURFACEDATA* src, int* sx, int* sy, int* sw, int* sh);
int DDRedirectBackBuffer(DDSURFACEDATA** sd);
int DDBeginScene();
void DDEndScene();
int DDSetRenderTarget(DDSURFACEDATA* sd);

// The device draw of one textured quad (the blit batch replays through it):
// dst and src already resolved, rectangles unclipped. nPart: DDQUAD_ALL
// clears the area of an unkeyed copy of a keyed source and draws;
// DDQUAD_CLEAR only clears, DDQUAD_DRAW only draws.
enum : int { DDQUAD_ALL = 0, DDQUAD_CLEAR = 1, DDQUAD_DRAW = 2 };
void DDDrawQuad(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int sw, int sh,
                int nFlags, uint32_t dwColor, int nColorOp, int nAlphaOp, int nPart = DDQUAD_ALL);
// Device fill of a rectangle (cut to the surface) with an opaque colour.
void DDDrawFill(DDSURFACEDATA* dst, int x, int y, int w, int h, uint32_t dwColor);
