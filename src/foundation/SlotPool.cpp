#include "foundation/SlotPool.h"

#include <algorithm>
#include <new>

cSlotPool::cSlotPool(std::size_t nBytes)
    : m_nBytes(nBytes),
      m_nStride((std::max(nBytes, sizeof(FREE)) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                alignof(std::max_align_t)) {}

void* cSlotPool::Take(std::size_t nBytes) {
    if (nBytes != m_nBytes) return ::operator new(nBytes);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_pFree) {
        // A new chunk's blocks go on the list so that they are handed out
        // in the order of their addresses.
        m_vecChunk.push_back(std::make_unique<std::byte[]>(m_nStride * BLOCKS_PER_CHUNK));
        std::byte* pChunk = m_vecChunk.back().get();
        for (std::size_t n = BLOCKS_PER_CHUNK; n-- > 0;) {
            FREE* f = ::new (pChunk + n * m_nStride) FREE{m_pFree};
            m_pFree = f;
        }
    }
    FREE* f = m_pFree;
    m_pFree = f->pNext;
    return f;
}

void cSlotPool::Give(void* p, std::size_t nBytes) {
    if (!p) return;
    if (nBytes != m_nBytes) {
        ::operator delete(p);
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pFree = ::new (p) FREE{m_pFree};
}
