#pragma once
// One 32x32-dot cell of the block map: a copy of the block placed there
// (collision kind 0 when none) and the latch of an appear-once condition.
#include <cstdint>

#include "stage/BlockData.h"

class cMapCell : public cBlockData {
public:
    uint8_t m_bCondLatch = 0;
};
