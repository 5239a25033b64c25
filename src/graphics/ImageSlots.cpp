#include "graphics/ImageSlots.h"

#include <cstdio>
#include <cstring>

#include "foundation/Text.h"

IMAGEDATA Img_Data[IMAGE_SLOT_COUNT];

namespace {

struct IMAGESLOTINIT {
    IMAGESLOTINIT() { BuildImageSlotTable(Img_Data); }
};
IMAGESLOTINIT ImageSlotInit;

void* const SHARED = reinterpret_cast<void*>(1);

}  // namespace

void IMAGEDATA::SetFile(const char* pszFile) {
    if (!pszFile) pszFile = "";
    size_t n = 0;
    while (pszFile[n] && n < sizeof szFile - 1) {
        bool bLead = IsSJISLead(static_cast<unsigned char>(pszFile[n]));
        if (bLead && (n + 2 > sizeof szFile - 1 || !pszFile[n + 1])) break;
        n += bLead ? 2 : 1;
    }
    memcpy(szFile, pszFile, n);
    szFile[n] = 0;
}

IMAGEDATA& IMAGEDATA::Set(const char* pszFile, int nColorKey_, int nMemory_, int nMemoryType_, int bSrcSD,
                          int bKeepPixels_, int bOptional_, int nMirrorWidth_, int nMirrorHeight_, int nWidth_,
                          int nHeight_) {
    SetFile(pszFile);
    nColorKey = nColorKey_;
    nMemory = nMemory_;
    nMemoryType = nMemoryType_;
    lpSrcSD = bSrcSD ? SHARED : nullptr;
    bKeepPixels = bKeepPixels_;
    bOptional = bOptional_;
    nMirrorWidth = nMirrorWidth_;
    nMirrorHeight = nMirrorHeight_;
    nWidth = nWidth_;
    nHeight = nHeight_;
    return *this;
}

void BuildImageSlotTable(IMAGEDATA* t) {
    t[0].Set("bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0, 0, 0, 0, 0);
    t[1].Set("bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[2].Set("bmp\\Block.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[3].Set("bmp\\Block.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 8; i++) {
        char szName[64];
        snprintf(szName, sizeof szName, "bmp\\Character%d.bmp", i + 1);
        int bOpt = i > 0 ? 1 : 0;
        t[4 + 2 * i].Set(szName, 1, 0, 0, 0, 0, bOpt, 0, 0, 0, 0);
        t[5 + 2 * i].Set(szName, 1, 0, 0, 1, 0, bOpt, 32, 0, 0, 0);
        t[22 + 2 * i].Set(szName, 1, 1, 0, 1, 0, bOpt, 0, 0, 0, 0);
        t[23 + 2 * i].Set(szName, 1, 1, 0, 1, 0, bOpt, 32, 0, 0, 0);
    }
    t[20].Set("bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[21].Set("bmp\\Shot.bmp", 1, 0, 0, 1, 0, 0, 16, 0, 0, 0);
    t[38].Set("bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[39].Set("bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 16, 0, 0, 0);
    t[40].Set("bmp\\Item.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[41].Set("bmp\\Item.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[42].Set("bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[43].Set("bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[44].Set("bmp\\Mark.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0);
    t[45].Set("bmp\\Window.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[46].Set("bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[47].Set("bmp\\Title.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[48].Set("bmp\\GameMode.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[49].Set("bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[50].Set("bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[51].Set("bmp\\Word.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[52].Set("bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    t[53].Set("bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0);
    t[54].Set("bmp\\WorldBack.bmp", 0, 1, 0, 0, 0, 1, 0, 0, 0, 0);
    static const char* const aszBack[8] = {"背景その1.bmp", "背景その2.bmp", "背景その3.bmp", "背景その4.bmp",
                                           "背景その5.bmp", "背景その6.bmp", "背景その7.bmp", "背景その8.bmp"};
    for (int i = 0; i < 8; i++) t[55 + i].Set(aszBack[i], 1, 0, 0, 0, 0, 1, 0, 0, 0, 0);
    t[63].Set("E", 1, 1, 0, 0, 0, 0, 0, 0, 256, 960);
    t[64].Set("E", 1, 1, 0, 0, 0, 0, 0, 0, 256, 960);
    t[65].Set("E", 1, 1, 0, 0, 0, 0, 0, 0, 640, 480);
    t[66].Set("E", 0, 1, 0, 0, 0, 0, 0, 0, 640, 480);
    t[67].Set("E", 1, 0, 0, 0, 0, 0, 0, 0, 640, 480);
    t[68].Set("E", 1, 1, 0, 1, 0, 0, 0, 0, 640, 480);
    t[69].Set("E", 1, 0, 2, 0, 0, 0, 0, 0, 1024, 1024);
    t[70].Set("E", 1, 1, 1, 0, 0, 0, 0, 0, 1024, 1024);
}

int GetMirrorSourceSlot(int n) {
    if (n == 3) return 2;
    if (n >= 5 && n <= 19 && (n & 1)) return n - 1;
    if (n == 21) return 20;
    if (n >= 22 && n <= 37) return 4 + 2 * ((n - 22) / 2);
    if (n == 38 || n == 39) return 20;
    if (n == 41) return 40;
    if (n == 44) return 43;
    if (n == 68) return 67;
    return -1;
}
