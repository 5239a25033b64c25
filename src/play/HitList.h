#pragma once
// The characters a shot has already hit (a piercing shot or a sword meets
// each one once): kept in the order of the hits, which the state hash reads,
// and found by handle in a sorted copy, so that a shot that has passed
// through a crowd does not walk all of it at every character it meets.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "play/Obj.h"

class cHitList {
public:
    bool Contains(const cObjRef& r) const {
        return std::binary_search(m_vecSorted.begin(), m_vecSorted.end(), r.GetHandle());
    }
    void Add(const cObjRef& r) {
        m_vecOrder.push_back(r);
        m_vecSorted.insert(std::upper_bound(m_vecSorted.begin(), m_vecSorted.end(), r.GetHandle()), r.GetHandle());
    }
    void Clear() {
        m_vecOrder.clear();
        m_vecSorted.clear();
    }
    std::size_t size() const { return m_vecOrder.size(); }
    bool empty() const { return m_vecOrder.empty(); }
    std::vector<cObjRef>::const_iterator begin() const { return m_vecOrder.begin(); }
    std::vector<cObjRef>::const_iterator end() const { return m_vecOrder.end(); }

private:
    std::vector<cObjRef> m_vecOrder;
    std::vector<uint64_t> m_vecSorted;   // the handles, in increasing order
};
