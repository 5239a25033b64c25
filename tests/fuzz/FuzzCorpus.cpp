#include "FuzzCorpus.h"

uint32_t FuzzSizeClass(size_t nSize) {
    uint32_t n = 0;
    while (nSize) {
        ++n;
        nSize >>= 1;
    }
    return n;
}

bool cFuzzCorpus::Offer(size_t nSize, bool bAccepted, const std::vector<FUZZFEATURE>& vFeatures, bool bKeepRefused) {
    if (!bAccepted && !bKeepRefused) return false;
    bool bNew = m_setSeen.insert(FUZZFEATURE{FUZZFEATURE_SIZE, FuzzSizeClass(nSize)}).second;
    for (const FUZZFEATURE& f : vFeatures)
        if (m_setSeen.insert(f).second) bNew = true;
    return bNew;
}
