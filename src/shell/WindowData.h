#pragma once
// Where the game window was when the game last closed in window mode,
// "user_data\Window.dat".
#include <cstdint>
#include <functional>

#include "foundation/Record.h"

// A rectangle of the desktop: position and size.
struct DISPLAYAREA {
    int nX = 0;
    int nY = 0;
    int nWidth = 0;
    int nHeight = 0;
};

constexpr int WINDOW_MIN_CLIENT = 100;

class cWindowData : public cRecord {
public:
    cWindowData();
    void RegisterFields(int nVer) override;
    // The base read, then the placement is brought inside the usable display.
    void Read(cDataFile* fp) override;
    void Set(int nX, int nY, int nWidth, int nHeight, int bMaximized);

    int32_t m_nX = 0;
    int32_t m_nY = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_bMaximized = 0;
};

extern cWindowData Window_Data;

// Client size between 100x100 and the usable area, and a position that keeps
// a window of that size inside the area.
void ClampWindowPlacement(cWindowData& data, const DISPLAYAREA& usable);

// The usable area of the desktop (the main window's display, without task
// bars). The shell installs the SDL query; without one a 1920x1080 desktop
// is assumed.
DISPLAYAREA GetUsableDisplayArea();
void SetUsableDisplayProvider(std::function<DISPLAYAREA()> fn);
