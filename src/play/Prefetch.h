#pragma once
// The long walks over the object lists spend most of their time waiting for
// each object's memory: a walk asks for the lines of the next object it will
// use while it works on this one. A hint to the processor only: nothing is
// read or written, so no state depends on it.
#include <cstddef>

// The lines holding the given members of one object (their addresses are
// taken, never read).
template <class... T>
inline void PrefetchAt(const T*... p) {
    (__builtin_prefetch(static_cast<const void*>(p)), ...);
}

// The nBytes from p on, one request a cache line.
inline void PrefetchBytes(const void* p, std::size_t nBytes) {
    const char* q = static_cast<const char*>(p);
    for (std::size_t n = 0; n < nBytes; n += 64) __builtin_prefetch(q + n);
}

// In a walk over a list of references standing at it: the node after the
// next one, and the chosen lines of the next node's object (fn(r) is given
// the next node's reference and asks for what it needs of the object). The
// next node itself was asked for one step earlier.
template <class It, class Fn>
inline void PrefetchRefAhead(It it, It itEnd, Fn fn) {
    It n1 = it;
    if (n1 == itEnd || ++n1 == itEnd) return;
    It n2 = n1;
    if (++n2 != itEnd) __builtin_prefetch(static_cast<const void*>(&*n2));
    fn(*n1);
}

// The same for a list of owning pointers: fn(p) is given the next object.
template <class It, class Fn>
inline void PrefetchAhead(It it, It itEnd, Fn fn) {
    PrefetchRefAhead(it, itEnd, [&](const auto& p) { fn(p.get()); });
}
