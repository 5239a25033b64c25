#pragma once
// Fades and palette effects.
#include "graphics/DDSurface.h"

bool DDFadeOut(PALETTEENTRY* lpOut, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
               const PALETTEENTRY* lpSource, bool bFinish);
bool DDFadeIn(PALETTEENTRY* lpOut, int nFirst, int nLast, int nRed, int nGreen, int nBlue, double dStep,
              const PALETTEENTRY* lpSource, bool bFinish);
void PalBlendColor(PALETTEENTRY* lpOut, int nFirst, int nLast, int nWeight, int nRed, int nGreen, int nBlue,
                   const PALETTEENTRY* lpSource);
void PalRotate(PALETTEENTRY* lpOut, int nFirst, int nLast, int nPlaces, int nDirection, const PALETTEENTRY* lpSource);
int DDFade_UnPal(DDSURFACEDATA* dst, int nWeight, int nRed, int nGreen, int nBlue, DDSURFACEDATA* src);
int DDSetPalette_UnPal(PALETTEENTRY* lpOut, DDSURFACEDATA* sd);
int DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha, uint8_t bRed,
                  uint8_t bGreen, uint8_t bBlue);
bool DDLoadBlendTable(uint8_t* lpTable, const char* pszFile);

// Sets entries of the display's palette object (8 bits).
void DDSetDisplayPalette(int nFirst, int nCount, const PALETTEENTRY* lpEntries);
// Puts both fades back to their start angles (a scene switch calls it).
void DDResetFades();
// Counts a shown frame (the presentation calls it).
void DDCountShownFrame();
// The current angles (tests): fade-out and fade-in of the running profile.
double DDGetFadeOutAngle();
double DDGetFadeInAngle();
