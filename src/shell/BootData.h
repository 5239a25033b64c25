#pragma once
// The player's start-dialog choice, "user_data\Boot.dat": the drawing mode
// picked in the drawing-mode dialog and whether to ask again.
#include <cstdint>

#include "foundation/Record.h"

class cBootData : public cRecord {
public:
    cBootData();
    void RegisterFields(int nVer) override;

    int32_t m_nDrawMode = 1;   // 1 Direct3D, 0 DirectDraw
    int32_t m_bNoAsk = 0;      // 1: do not show the dialog again
};

extern cBootData Boot_Data;
