#pragma once
// The image sets a stage loads when the stage-play scene starts: the
// dedicated character bitmaps, the sword pictures and the effect strips of
// the database, each as surfaces with their mirrored copies.
#include "foundation/ChkContainers.h"
#include "graphics/DDSurface.h"

// Four surfaces per dedicated bitmap entry i >= 1, from 4(i - 1): the image,
// its mirrored copy and two further copies.
extern cChkVector<DDSURFACEDATA> vecSdCharaExc;
// Four surfaces per sword type, alternately from its two files.
extern cChkVector<DDSURFACEDATA> vecSdSword;

void LoadCharaExcImages();
void LoadSwordImages();
void LoadEffectImages();
