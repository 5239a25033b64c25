#pragma once
// Drawing effects: banded blits (wave, split, turn in depth, burst, circle)
// and per-pixel effects (blur, mosaic, colour change, translucent, lens,
// rotation).
//
// Every effect works on both profiles. Where the Direct3D profile would have
// the device draw (a destination that is a render target and a source that
// is not a system-memory texture), the pixel core computes the same result
// as the device: texture stage combine, then source-alpha blending. All
// effects are cut to the destination surface before their loops, so huge
// sizes or radii cost no more than the visible part.
#include <cstdint>

#include "graphics/DDSurface.h"

// Rows (axis 0) or columns (any other axis) shifted along a sine.
void DDWaveBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int nFrequency, double dAmplitude, int nPhase,
               int nBand, DDSURFACEDATA* src, int sx, int sy, int nFlags, int nAxis);
// Alternate bands shifted by +shift and -shift.
void DDSplitBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int nBand, int nShift, DDSURFACEDATA* src, int sx,
                int sy, int nFlags, int nAxis);
// A picture turning in depth: narrows to an edge, shows its back, widens.
void DDRotateDepthBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* lpFront, int nFrontX,
                      int nFrontY, DDSURFACEDATA* lpBack, int nBackX, int nBackY, int nSrcWidth, int nSrcHeight,
                      int nFlags, int nStep, int nAxis);
// The four quarters moved apart by the distance.
void DDBurstBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nDistance,
                int nFlags);
// The part of a source inside a disc, as horizontal strips.
void DDCircleBlt(DDSURFACEDATA* dst, int cx, int cy, int wx, int hy, int r, int bh, DDSURFACEDATA* src, int scx,
                 int scy, int nFlags);

// Box average of 2rx x 2ry pixels. 0 when a surface cannot be locked.
bool DDBlurBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src, int sx, int sy,
               int nMode);
// Blocks of n x n pixels of one colour. 0 when a surface cannot be locked.
bool DDMosaicBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx, int sy,
                 int nMode);

// The source tinted towards palette entry nIndex by a level.
bool DDColorChangeBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nMode,
                      const PALETTEENTRY* lpPalette, const uint8_t* lpBlendTable, int nIndex, int nLevel);

// Translucent copy; the weight (0 opaque .. 255 invisible) reaches only the
// device blend, every locked path mixes half and half.
int DDAlphaBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nKey,
               const uint8_t* lpBlendTable, int nWeight);
int DDSemiTransBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy, int nKey,
                   const uint8_t* lpBlendTable);

// A magnifying glass of radius R and depth d around (cx, cy).
int DDLensBlt(DDSURFACEDATA* dst, int cx, int cy, int R, int nDepth, DDSURFACEDATA* src, int scx, int scy, int nKey,
              int bClearOutside);

// The w x h rectangle at (sx, sy) turned by an angle (degrees, clockwise on
// screen) about (px, py), which lands on (dx, dy).
int DDRotateBlt(DDSURFACEDATA* dst, int dx, int dy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* src,
                int sx, int sy, int nKey);
