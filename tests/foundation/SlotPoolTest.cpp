// The pool of equal-sized blocks and the allocator over it.
#include "foundation/SlotPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <list>
#include <set>
#include <thread>
#include <vector>

namespace {

TEST(SlotPool, BlocksAreDistinctAlignedAndComeBackLastGivenFirst) {
    cSlotPool pool(40);
    // More than a chunk's worth at once: every block its own, aligned for
    // any object, and writable over its whole size.
    std::vector<void*> vecTaken;
    std::set<uintptr_t> setSeen;
    for (int i = 0; i < 600; i++) {
        void* p = pool.Take(40);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
        std::memset(p, i & 255, 40);
        EXPECT_TRUE(setSeen.insert(reinterpret_cast<uintptr_t>(p)).second) << i;
        vecTaken.push_back(p);
    }
    // Each block kept what was written to it: no two overlap.
    for (int i = 0; i < 600; i++) EXPECT_EQ(static_cast<unsigned char*>(vecTaken[i])[39], i & 255) << i;
    // Given back, the last one given is the next one taken, the one before
    // it after that.
    pool.Give(vecTaken[10], 40);
    pool.Give(vecTaken[500], 40);
    EXPECT_EQ(pool.Take(40), vecTaken[500]);
    EXPECT_EQ(pool.Take(40), vecTaken[10]);
    // A fresh chunk hands its blocks out in the order of their addresses.
    cSlotPool fresh(24);
    char* a = static_cast<char*>(fresh.Take(24));
    char* b = static_cast<char*>(fresh.Take(24));
    EXPECT_GT(b, a);
    for (void* p : vecTaken) pool.Give(p, 40);
    fresh.Give(a, 24);
    fresh.Give(b, 24);
}

TEST(SlotPool, OtherSizesComeFromTheHeap) {
    cSlotPool pool(32);
    void* p = pool.Take(32);
    void* q = pool.Take(100);   // not a block: a heap allocation of its own
    std::memset(q, 7, 100);
    pool.Give(q, 100);
    // The heap allocation never went on the pool's list.
    EXPECT_NE(pool.Take(32), q);
    pool.Give(p, 32);
    pool.Give(nullptr, 32);   // nothing to give
}

TEST(SlotPool, ThreadsTakeAndGiveAtOnce) {
    cSlotPool pool(16);
    std::vector<std::thread> vecThread;
    std::vector<int> vecBad(4, 0);
    for (int t = 0; t < 4; t++)
        vecThread.emplace_back([&pool, &vecBad, t] {
            std::vector<uint32_t*> v;
            for (int round = 0; round < 200; round++) {
                for (int i = 0; i < 50; i++) {
                    auto* p = static_cast<uint32_t*>(pool.Take(16));
                    p[0] = static_cast<uint32_t>(t * 1000000 + round * 100 + i);
                    v.push_back(p);
                }
                for (size_t i = 0; i < v.size(); i++)
                    if (v[i][0] != static_cast<uint32_t>(t * 1000000 + round * 100 + static_cast<int>(i))) vecBad[t]++;
                for (uint32_t* p : v) pool.Give(p, 16);
                v.clear();
            }
        });
    for (auto& th : vecThread) th.join();
    EXPECT_EQ(vecBad, std::vector<int>(4, 0));
}

TEST(SlotPool, AListOverThePoolAllocatorWorksAsAnyList) {
    std::list<int, cPoolAllocator<int>> a, b;
    for (int i = 0; i < 1000; i++) a.push_back(i);
    for (auto it = a.begin(); it != a.end();) it = *it % 3 == 0 ? a.erase(it) : std::next(it);
    b.splice(b.end(), a, a.begin(), std::next(a.begin(), 10));
    EXPECT_EQ(a.size(), 666u - 10u);
    EXPECT_EQ(b.front(), 1);
    EXPECT_EQ(b.back(), 14);
    a.insert(a.begin(), b.begin(), b.end());
    int nExpect = 1, nCount = 0;
    for (int v : a) {
        EXPECT_EQ(v, nExpect) << nCount;
        nExpect += nExpect % 3 == 1 ? 1 : 2;
        nCount++;
    }
    EXPECT_EQ(nCount, 666);
}

}  // namespace
