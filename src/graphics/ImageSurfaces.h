#pragma once
// The surfaces of the 71 image slots and the texture sharing between them.
#include "graphics/DDSurface.h"
#include "graphics/ImageSlots.h"

extern DDSURFACEDATA Off_Img[IMAGE_SLOT_COUNT];

// Points each shared slot of a surface array at the slot whose texture it
// uses (the display runs with textures); every other slot keeps its own.
void LinkMirroredImages(DDSURFACEDATA* pSurfaces);
inline void LinkMirroredImages() { LinkMirroredImages(Off_Img); }
