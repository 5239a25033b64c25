#pragma once
// One 32x32-dot cell of the block map: a copy of the block placed there
// (collision kind 0 when none) and the latch of an appear-once condition.
#include <cstdint>

#include "stage/BlockData.h"

struct DDSURFACEDATA;

class cMapCell : public cBlockData {
public:
    // The collision kind for an object of group nGroup: 0 when the cell's
    // conditions do not hold or nGroup is the pass-through group, else the
    // block's kind (0 none, 1 solid, 2 instant death).
    int8_t GetHit(int nGroup);
    // Draws the cell's chip at (x, y) on lpDst, then its overlay mark.
    void Draw(DDSURFACEDATA* lpDst, int x, int y) const;
    // Becomes a copy of a block with a clear latch.
    void SetBlock(const cBlockData& block) {
        static_cast<cBlockData&>(*this) = block;
        m_bCondLatch = 0;
    }

    uint8_t m_bCondLatch = 0;
};
