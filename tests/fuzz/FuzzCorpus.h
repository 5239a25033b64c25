#pragma once
// The corpus a fuzz run grows: which mutated inputs are kept to mutate from.
//
// Every input leaves a signature: the features its target reported while
// reading it (a record's version word, a bitmap's depth and compression, the
// kinds of events a song holds ...) and the size class of the input (the
// bit length of its size, so 64..127 bytes are one class). An input that
// the reader accepted and whose signature holds a feature no earlier input
// had is kept; so is a refused one that its target marked worth keeping (it
// got past the reader's door, FuzzKeepRefused); any other refused input, or
// one that repeats what was seen, is not.
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

// One feature: the kind of what was seen (a target's own numbering; the
// size class is FUZZFEATURE_SIZE) and its value.
struct FUZZFEATURE {
    uint32_t nKind = 0;
    uint64_t nValue = 0;
    bool operator<(const FUZZFEATURE& o) const { return nKind != o.nKind ? nKind < o.nKind : nValue < o.nValue; }
};

constexpr uint32_t FUZZFEATURE_SIZE = 0xFFFFFFFFu;

// The size class of an input of nSize bytes: 0 for an empty one, else the
// bit length of nSize (1 byte: 1; 2-3: 2; 4-7: 3 ...).
uint32_t FuzzSizeClass(size_t nSize);

class cFuzzCorpus {
public:
    // At most this many inputs are kept in a run.
    explicit cFuzzCorpus(size_t nMaxKept = 4096) : m_nMaxKept(nMaxKept) {}

    // Records an input's signature. True when the input was accepted (or
    // refused but marked worth keeping, bKeepRefused) and reached a feature
    // not seen before (its features are then remembered), that is when the
    // input is worth keeping. Seeds go through here too, so that a mutation
    // is kept only for what the seeds did not already show.
    bool Offer(size_t nSize, bool bAccepted, const std::vector<FUZZFEATURE>& vFeatures, bool bKeepRefused = false);

    size_t Kept() const { return m_nKept; }
    size_t Features() const { return m_setSeen.size(); }
    // Marks one input as kept (the driver adds it to its pool).
    void NoteKept() { ++m_nKept; }
    bool Full() const { return m_nKept >= m_nMaxKept; }

private:
    std::set<FUZZFEATURE> m_setSeen;
    size_t m_nKept = 0;
    size_t m_nMaxKept;
};
