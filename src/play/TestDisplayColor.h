#pragma once
// The colour of the test displays drawn over play (the hero's boxes, the
// ranges of distance conditions): the colour number plus a cycle counter
// divided by 8, the counter running 0..31 and advancing once per drawing.
// On an 8-bit screen whose system settings fix these colours, the palette
// rotation animates them instead and the colour number stays.
#include <cstdint>

uint32_t TestDisplayColor(int nColor, int nCycle);
// The counter after one drawing: 0..31, wrapping from 32 to 0.
int NextTestDisplayCycle(int nCycle);
