#pragma once
// The palette table and the transparent colour.
#include "graphics/DDSurface.h"

bool DDLoadPaletteFromFile(PALETTEENTRY* lpTable, const char* pszFile, int bWindowed);
void DDSetTransmit(uint8_t cbRed, uint8_t cbGreen, uint8_t cbBlue);
int DDSetTransmitFromFile(const char* pszFile);
