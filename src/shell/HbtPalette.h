#pragma once
// The 8-bit palette variants: a blend table per variant and the palette
// rearranged for it.
#include "graphics/DDSurface.h"

constexpr int HBT_VARIANT_COUNT = 24;

// Rearranges a palette for variant n: below 12 the entries 16..207 turn by
// 16·n places toward the lower index; from 12 on, the sixteen entries of
// block n − 11 fill each of the twelve blocks 16..207. Entries 0..15 and
// 208..255 never change. A variant out of range leaves the palette.
void ArrangeHbtPalette(PALETTEENTRY* lpPalette, int n);

// Under the 8-bit palette display only: loads "bmp\hbt\hbt<nn>.dat" and sets
// the palette of variant n. 1 when done or nothing to do, 0 on failure
// (after its message).
int LoadHbtPalette(int n);
