#pragma once
// One 32x32-dot cell of the block map: a copy of the block placed there
// (collision kind 0 when none) and the latch of an appear-once condition;
// and the map of such cells by index.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

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

// The cells of the block map by index. Most cells of a map are empty and
// stay so; a cell holds only a 32-bit number, and the block copy with its
// latch is made for a cell that holds a block or is written (the copies
// never move once made).
class cBlockMap {
public:
    // Bytes a map of nCells cells takes before any block is placed, and
    // what each cell with a block adds.
    static constexpr size_t CELL_BYTES = sizeof(uint32_t);
    static constexpr size_t BLOCK_BYTES = sizeof(cMapCell) + sizeof(void*);

    // nCells empty cells (the copies of an earlier map are dropped).
    void Reset(size_t nCells);
    void clear() { Reset(0); }
    size_t size() const { return m_nSize; }
    bool empty() const { return m_nSize == 0; }
    // The cell at n (below size()) to change: an empty cell gets its copy.
    cMapCell& operator[](size_t n);
    // The cell at n when it holds a copy, else null (an empty cell reads as
    // no block: collision kind 0, nothing drawn).
    cMapCell* Find(size_t n);
    const cMapCell* Find(size_t n) const;
    // What an empty cell holds: no graphic, no collision, replaceable.
    static const cMapCell& Blank();
    // The copies made, in the order they were made.
    const std::deque<cMapCell>& Blocks() const { return m_Blocks; }

private:
    struct cFree {
        void operator()(uint32_t* p) const;
    };
    // 0 empty, else 1 + the copy's number. Zeroed pages from the system:
    // the cells nobody writes take no memory.
    std::unique_ptr<uint32_t[], cFree> m_pIndex;
    size_t m_nSize = 0;
    std::deque<cMapCell> m_Blocks;
};
