#include "graphics/ImageSurfaces.h"

DDSURFACEDATA Off_Img[IMAGE_SLOT_COUNT];

void LinkMirroredImages(DDSURFACEDATA* pSurfaces) {
    for (int i = 0; i < IMAGE_SLOT_COUNT; i++) {
        int nSrc = GetMirrorSourceSlot(i);
        pSurfaces[i].lpMirrorSD = nSrc >= 0 ? &pSurfaces[nSrc] : nullptr;
    }
}
