#pragma once
// The 8-bit blend table of a palette: entry a x 256 + b is the palette index
// one step from colour a towards colour b, the step being half the way.
#include <cstdint>

#include "graphics/DDSurface.h"

constexpr int BLEND_TABLE_SIZE = 65536;
// Entries 1..9 are the system colours, which the game animates; a blend
// never lands on them, nor on the transparent entry 0.
constexpr int BLEND_FIRST_RESULT = 10;

// Fills lpTable (BLEND_TABLE_SIZE bytes) from a 256-entry palette:
//   - a == b gives a;
//   - b == 0 (a transparent source) gives a, a == 0 (an empty destination)
//     gives b;
//   - otherwise the entry from BLEND_FIRST_RESULT to 255 nearest (squared
//     distance of red, green and blue) to the colour halfway between the two,
//     each channel (a + b) / 2 rounded down; of equally near entries the
//     lowest index.
void DDBuildBlendTable(const PALETTEENTRY* lpPalette, uint8_t* lpTable);
