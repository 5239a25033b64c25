#pragma once
// Blank surfaces, texture sizes, surface lists and release.
#include "foundation/ChkContainers.h"
#include "graphics/DDSurface.h"
#include "graphics/ImageSlots.h"

bool DDCreateSurface(DDSURFACEDATA* sd, int nWidth, int nHeight, int bColorKey, int nMemory, int nMemoryType,
                     DDSURFACEDATA* lpSrcSD, int bRecreate);
void DDReleaseSurfaceData(DDSURFACEDATA* sd);
inline void DDReleaseSurface(DDSURFACEDATA* sd) { DDReleaseSurfaceData(sd); }
void DDReleaseSurfaceVector(cChkVector<DDSURFACEDATA>& v);
void DDReleaseSurfaceList(cChkList<DDSURFACEDATA>& l);

bool DDAddSurfaceToVector(cChkVector<DDSURFACEDATA>& vSurfaces, cChkVector<IMAGEDATA>& vImages, int nWidth,
                          int nHeight, int bColorKey, int nMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD);
bool DDAddSurfaceToList(cChkList<DDSURFACEDATA>& lSurfaces, cChkList<IMAGEDATA>& lImages, int nWidth, int nHeight,
                        int bColorKey, int nMemory, int nMemoryType, DDSURFACEDATA* lpSrcSD);
bool DDInsertSurfaceToList(cChkList<DDSURFACEDATA>& lSurfaces, cChkList<IMAGEDATA>& lImages, int nIndex,
                           int nWidth, int nHeight, int bColorKey, int nMemory, int nMemoryType,
                           DDSURFACEDATA* lpSrcSD);
int DDDeleteSurfaceFromList(cChkList<DDSURFACEDATA>& lSurfaces, cChkList<IMAGEDATA>& lImages, DDSURFACEDATA* sd);

void DDRoundTextureSize(int* lpWidth, int* lpHeight);
int DDCheckTextureSize(int nWidth, int nHeight);

// Bytes of video memory in use by surfaces (for the video-memory report).
long long DDGetVideoBytesUsed();
// Test hook of a simulated loss: every video-memory storage reports lost.
void DDMarkVideoStoragesLost();
// Storage of the given format and size for the layer's own screen surfaces.
DDPIXELS* DDAllocStorage(int nWidth, int nHeight, int nFormat, bool bVideo);
void DDFreeStorage(DDPIXELS*& p);
