#pragma once
// The screen effect and the screen-colour change in progress.
#include <cstdint>

class cScrEffectRun {
public:
    int32_t m_nId = 0;   // 0: none
};

class cScrColorRun {
public:
    int32_t m_nPrevAlpha = 255;
};
