#pragma once
// The ranges of distance conditions drawn over the stage, so that an author
// sees where a character's distance tests hold: two 1-dot lines across the
// screen at the ends of a one-axis range, a circle for the round test.
#include <cstdint>

class cPlayScene;
struct DDSURFACEDATA;

// Draws the ranges of every alive, on-screen character of the scene's group
// lists whose flows test a distance marked for display (always, or only in
// a test play), then advances the colour cycle by one frame.
void DrawDistanceRanges(cPlayScene& s, DDSURFACEDATA* lpDst);

// A circle of radius r around (cx, cy). Without the Direct3D profile a
// circle wider than the work size is drawn at that size and stretched.
void DrawRangeCircle(DDSURFACEDATA* lpDst, int64_t cx, int64_t cy, int r, uint32_t nColor);
