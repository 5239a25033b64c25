#pragma once
// The 71 image slots the game draws from: their load descriptions and which
// slots share another slot's texture.
#include <cstdint>

constexpr int IMAGE_SLOT_COUNT = 71;
constexpr int IMAGE_NAME_SIZE = 260;

// One slot: a bitmap file relative to the current directory, or "E" for a
// blank surface that is created rather than loaded.
struct IMAGEDATA {
    char szFile[IMAGE_NAME_SIZE] = {};
    int32_t nColorKey = 0;     // 1: the transparent colour applies
    int32_t nMemory = 0;       // 0 video memory, 1 system memory
    int32_t nMemoryType = 0;   // texture kind: 0 render target, 1 system, 2 video without render target
    void* lpSrcSD = nullptr;   // non-null: shares another slot's texture (see GetMirrorSourceSlot)
    int32_t bKeepPixels = 0;   // keep the palette-index map of the image
    int32_t bOptional = 0;     // a load failure is tolerated
    int32_t nMirrorWidth = 0;  // cell width of a horizontally mirrored copy, 0 none
    int32_t nMirrorHeight = 0; // cell height of a vertically mirrored copy, 0 none
    int32_t nWidth = 0;        // size of a blank surface
    int32_t nHeight = 0;

    // Stores a slot description; the file name is cut to fit its buffer
    // without splitting a double-byte character.
    IMAGEDATA& Set(const char* pszFile, int nColorKey, int nMemory, int nMemoryType, int bSrcSD, int bKeepPixels,
                   int bOptional, int nMirrorWidth, int nMirrorHeight, int nWidth, int nHeight);
    void SetFile(const char* pszFile);
};

// The slot table, filled before the program starts.
extern IMAGEDATA Img_Data[IMAGE_SLOT_COUNT];

// Fills a table of 71 slots with the game's descriptions.
void BuildImageSlotTable(IMAGEDATA* pTable);

// The slot whose texture slot n shares once the display runs with textures,
// or -1 when it keeps its own.
int GetMirrorSourceSlot(int nSlot);

// Slot numbers the start-up loads before the first scene.
constexpr int IMAGE_SLOT_DEBUG = 1;
constexpr int IMAGE_SLOT_BLOCK = 2;
constexpr int IMAGE_SLOT_WINDOW = 45;
constexpr int IMAGE_SLOT_STATUSWINDOW = 46;
constexpr int IMAGE_SLOT_TITLE = 47;
constexpr int IMAGE_SLOT_GAMEMODE = 48;
constexpr int IMAGE_SLOT_ACCESSORY = 49;
constexpr int IMAGE_SLOT_WORD = 51;
constexpr int IMAGE_SLOT_WORLDMAPCHIP = 52;
constexpr int IMAGE_SLOT_WORLDEVENT = 53;
constexpr int IMAGE_SLOT_WORLDBACK = 54;
constexpr int IMAGE_SLOT_SYMBOL = 50;
