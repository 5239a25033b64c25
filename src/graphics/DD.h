#pragma once
// The whole drawing interface.
#include "graphics/DDBatch.h"
#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDFade.h"
#include "graphics/DDImage.h"
#include "graphics/DDInit.h"
#include "graphics/DDPalette.h"
#include "graphics/DDPixel.h"
#include "graphics/DDPresent.h"
#include "graphics/DDSurface.h"
#include "graphics/ImageSlots.h"
