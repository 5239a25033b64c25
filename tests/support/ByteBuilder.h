#pragma once
// Test-only builder of little-endian byte images, for assembling record files
// and other binary fixtures by hand, independently of the production writers.
//
//   cByteBuilder b;
//   b.U32(854).I32(1).I32(7).I32(1).Str("abc");
//   b.WriteFile("x.dat");
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class cByteBuilder {
public:
    cByteBuilder& U8(uint8_t v) { m_v.push_back(v); return *this; }
    cByteBuilder& I8(int8_t v) { return U8(static_cast<uint8_t>(v)); }
    cByteBuilder& U16(uint16_t v) { return LE(v, 2); }
    cByteBuilder& I16(int16_t v) { return LE(static_cast<uint16_t>(v), 2); }
    cByteBuilder& U32(uint32_t v) { return LE(v, 4); }
    cByteBuilder& I32(int32_t v) { return LE(static_cast<uint32_t>(v), 4); }
    cByteBuilder& U64(uint64_t v) { return LE(v, 8); }
    cByteBuilder& I64(int64_t v) { return LE(static_cast<uint64_t>(v), 8); }
    cByteBuilder& F64(double d) {
        uint64_t u;
        std::memcpy(&u, &d, 8);
        return LE(u, 8);
    }
    // A count word (signed 32-bit).
    cByteBuilder& Count(int32_t n) { return I32(n); }
    // A stored string: the length word (byte length + 1), then, unless the
    // string is empty, its bytes and a terminating zero.
    cByteBuilder& Str(std::string_view s) {
        I32(static_cast<int32_t>(s.size() + 1));
        if (!s.empty()) {
            Raw(s.data(), s.size());
            U8(0);
        }
        return *this;
    }
    cByteBuilder& Raw(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        m_v.insert(m_v.end(), b, b + n);
        return *this;
    }
    cByteBuilder& Raw(std::string_view s) { return Raw(s.data(), s.size()); }
    cByteBuilder& Fill(uint8_t v, size_t n) { m_v.insert(m_v.end(), n, v); return *this; }
    cByteBuilder& Append(const cByteBuilder& o) { return Raw(o.m_v.data(), o.m_v.size()); }

    // Drops the last n bytes (for truncated fixtures).
    cByteBuilder& Cut(size_t n) {
        m_v.resize(n < m_v.size() ? m_v.size() - n : 0);
        return *this;
    }

    const std::vector<uint8_t>& Bytes() const { return m_v; }
    size_t Size() const { return m_v.size(); }

    // Writes the bytes to a host path; true on success.
    bool WriteFile(const std::string& hostPath) const {
        FILE* fp = std::fopen(hostPath.c_str(), "wb");
        if (!fp) return false;
        bool ok = m_v.empty() || std::fwrite(m_v.data(), 1, m_v.size(), fp) == m_v.size();
        return std::fclose(fp) == 0 && ok;
    }

private:
    cByteBuilder& LE(uint64_t v, int n) {
        for (int i = 0; i < n; i++) m_v.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    std::vector<uint8_t> m_v;
};

// Reads a whole host file; empty when it cannot be read.
inline std::vector<uint8_t> ReadHostFile(const std::string& hostPath) {
    std::vector<uint8_t> v;
    FILE* fp = std::fopen(hostPath.c_str(), "rb");
    if (!fp) return v;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) v.insert(v.end(), buf, buf + n);
    std::fclose(fp);
    return v;
}
