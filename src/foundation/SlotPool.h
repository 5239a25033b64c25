#pragma once
// A store of equal-sized blocks for objects made and dropped by the
// thousand each frame: blocks are cut from large chunks and go back to a
// list of free ones, so that what one frame makes lies close together and
// is walked in few cache lines, and making and dropping one touches no
// memory but the block itself. Chunks stay until the process ends (the
// most ever held at once). Any thread may take and give blocks.
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

class cSlotPool {
public:
    explicit cSlotPool(std::size_t nBytes);
    cSlotPool(const cSlotPool&) = delete;
    cSlotPool& operator=(const cSlotPool&) = delete;

    // A block of nBytes; a size other than the pool's comes from the heap.
    void* Take(std::size_t nBytes);
    // Gives back a block Take handed out for nBytes.
    void Give(void* p, std::size_t nBytes);

private:
    struct FREE {
        FREE* pNext;
    };
    static constexpr std::size_t BLOCKS_PER_CHUNK = 256;
    std::size_t m_nBytes;    // the size asked for
    std::size_t m_nStride;   // the block's size, aligned
    std::mutex m_mutex;
    FREE* m_pFree = nullptr;
    std::vector<std::unique_ptr<std::byte[]>> m_vecChunk;
};

// An allocator whose single objects come from one pool per type (a list's
// nodes, say); arrays come from the heap. It holds no state: every instance
// gives back what another took.
template <class T>
class cPoolAllocator {
public:
    using value_type = T;
    cPoolAllocator() noexcept = default;
    template <class U>
    cPoolAllocator(const cPoolAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n == 1) return static_cast<T*>(Pool().Take(sizeof(T)));
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        if (n == 1) Pool().Give(p, sizeof(T));
        else std::allocator<T>().deallocate(p, n);
    }
    template <class U>
    bool operator==(const cPoolAllocator<U>&) const noexcept { return true; }

private:
    static cSlotPool& Pool() {
        static cSlotPool* p = new cSlotPool(sizeof(T));  // outlives every object
        return *p;
    }
};
