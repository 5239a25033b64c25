#pragma once
// The blend tables of the demo's palette variants, bmp\hbt\hbt00.dat to
// hbt23.dat, which the player reads under DirectDraw at 8 bits.
bool WriteDemoBlendTables();
