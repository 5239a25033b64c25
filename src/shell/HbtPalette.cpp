#include "shell/HbtPalette.h"

#include <cstdio>
#include <cstring>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "graphics/DDFade.h"
#include "graphics/DDPalette.h"
#include "graphics/ImageSlots.h"
#include "platform/FileSystem.h"
#include "shell/ShellState.h"

void ArrangeHbtPalette(PALETTEENTRY* p, int n) {
    if (n < 0 || n >= HBT_VARIANT_COUNT) return;
    if (n < 12) {
        PALETTEENTRY tmp[192];
        int nShift = 16 * n;
        for (int i = 0; i < 192; i++) tmp[i] = p[16 + (i + nShift) % 192];
        memcpy(p + 16, tmp, sizeof tmp);
        return;
    }
    PALETTEENTRY block[16];
    memcpy(block, p + 16 * (n - 11), sizeof block);
    for (int b = 1; b <= 12; b++) memcpy(p + 16 * b, block, sizeof block);
}

int LoadHbtPalette(int n) {
    if (lpDTCon || !lpDDCon || nScreenBpp != 8) return 1;
    if (n < 0 || n >= HBT_VARIANT_COUNT) n = 0;
    char szName[64];
    snprintf(szName, sizeof szName, "bmp\\hbt\\hbt%02d.dat", n);
    if (!DDLoadBlendTable(aBlendTable, szName)) {
        // The report says why, the box what.
        long long nSize = FsFileSize(szName);
        if (nSize < 0) WriteReport("Blend table : %s is missing", szName);
        else if (nSize != 65536) WriteReport("Blend table : %s has %lld bytes, not 65536", szName, nSize);
        else WriteReport("Blend table : %s cannot be read", szName);
        ErrorBox("%s の読み込みに失敗！", szName);
        return 0;
    }
    if (!DDLoadPaletteFromFile(aPalette, Img_Data[0].szFile, bWindowed)) {
        WriteEC("DDLoadPaletteFromFile失敗");
        WriteReport("DDLoadPaletteFromFile失敗");
        return 0;
    }
    ArrangeHbtPalette(aPalette, n);
    memcpy(aPalEntry, aPalette, sizeof aPalEntry);
    DDSetDisplayPalette(0, 255, aPalEntry);
    return 1;
}
