#pragma once
// The bytes of a pixel buffer. A new buffer comes zeroed from calloc: large
// ones are fresh pages from the system that are zero already, so a new
// surface costs no pass over its memory until it is drawn into.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

class cPixelStore {
public:
    cPixelStore() = default;
    ~cPixelStore() { std::free(m_p); }
    cPixelStore(const cPixelStore& o) { CopyFrom(o); }
    cPixelStore(cPixelStore&& o) noexcept : m_p(o.m_p), m_n(o.m_n)
    {
        o.m_p = nullptr;
        o.m_n = 0;
    }
    cPixelStore& operator=(const cPixelStore& o)
    {
        if (this == &o) return *this;
        if (o.m_n == m_n && m_n != 0) {
            std::memcpy(m_p, o.m_p, m_n);
            return *this;
        }
        clear();
        CopyFrom(o);
        return *this;
    }
    cPixelStore& operator=(cPixelStore&& o) noexcept
    {
        if (this == &o) return *this;
        std::free(m_p);
        m_p = o.m_p;
        m_n = o.m_n;
        o.m_p = nullptr;
        o.m_n = 0;
        return *this;
    }

    // nBytes zero bytes in place of what was held; false (and empty) when
    // the memory cannot be had.
    bool AllocZeroed(size_t nBytes)
    {
        clear();
        if (nBytes == 0) return true;
        m_p = static_cast<uint8_t*>(std::calloc(nBytes, 1));
        if (m_p == nullptr) return false;
        m_n = nBytes;
        return true;
    }
    void clear()
    {
        std::free(m_p);
        m_p = nullptr;
        m_n = 0;
    }

    uint8_t* data() { return m_p; }
    const uint8_t* data() const { return m_p; }
    size_t size() const { return m_n; }
    bool empty() const { return m_n == 0; }
    uint8_t* begin() { return m_p; }
    uint8_t* end() { return m_p + m_n; }
    const uint8_t* begin() const { return m_p; }
    const uint8_t* end() const { return m_p + m_n; }
    uint8_t& operator[](size_t i) { return m_p[i]; }
    const uint8_t& operator[](size_t i) const { return m_p[i]; }

private:
    void CopyFrom(const cPixelStore& o)
    {
        if (o.m_n == 0) return;
        m_p = static_cast<uint8_t*>(std::malloc(o.m_n));
        if (m_p == nullptr) throw std::bad_alloc();
        std::memcpy(m_p, o.m_p, o.m_n);
        m_n = o.m_n;
    }

    uint8_t* m_p = nullptr;
    size_t m_n = 0;
};
