#pragma once
// The wave, blur, mosaic, lens and rotation blits as they were before their loops
// were reworked for speed: the oracle of the effect comparison tests.
#include "graphics/DDSurface.h"

namespace fxoracle {

void WaveBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int nFrequency, double dAmplitude, int nPhase, int nBand,
             DDSURFACEDATA* src, int sx, int sy, int nFlags, int nAxis);
bool BlurBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src, int sx, int sy,
             int nMode);
bool MosaicBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx, int sy, int nMode);
int LensBlt(DDSURFACEDATA* dst, int cx, int cy, int R, int nDepth, DDSURFACEDATA* src, int scx, int scy, int nKey,
            int bClearOutside);
int RotateBlt(DDSURFACEDATA* dst, int dx, int dy, int w, int h, int px, int py, int nAngle, DDSURFACEDATA* src, int sx,
              int sy, int nKey);

}  // namespace fxoracle
