#pragma once
// Frame presentation and restoring lost surfaces.
#include "graphics/DDSurface.h"

// Direct3D: presents BackBuffer (1), 0 when the device is lost. DirectDraw: 1.
int DDPresent(unsigned nFps, int bShow, DDSURFACEDATA* lpSheet);
// DirectDraw: shows BackBuffer (the flip or the copy to the window).
int DDFlipToScreen();
void DDCopyVirBackBuffer(DDSURFACEDATA* lpBack, DDSURFACEDATA* lpVir);
int DDRestoreSurface();
bool DDRestore();

// DirectDraw: the primary surface reports a loss; a surface's storage reports
// a loss; restores one surface's storage (its pixels are undefined after).
bool DDIsPrimaryLost();
bool DDIsSurfaceLost(DDSURFACEDATA* sd);
bool DDRestoreSurfaceData(DDSURFACEDATA* sd);

// Test hooks: simulate a lost device (Direct3D) or lost surfaces (DirectDraw).
void DDSimulateDeviceLoss();
// Direct3D: whether the device can be reset now (TestCooperativeLevel).
void DDSetDeviceResettable(bool bResettable);

// The glyph caches register a re-render callback run by the restores.
void DDSetFontRestoreHook(void (*pfnRestoreFonts)());
// Called by the restores for each font: the device is lost.
void DDSetFontLostHook(void (*pfnFontsLost)());

// Installs the report, video-memory, full-screen box and frame-limiter hooks
// (DDInit does this; tests may call it again).
void DDInstallProviders();
