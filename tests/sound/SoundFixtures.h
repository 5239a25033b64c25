#pragma once
// Byte builders for the sound tests: wave files and standard MIDI files
// assembled field by field, and reading the report log back.
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "support/ByteBuilder.h"

namespace soundtest {

inline std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A wave file: RIFF/WAVE, a "fmt " chunk of nFmtSize bytes, a data chunk.
struct WAVSPEC {
    uint16_t wTag = 1;
    uint16_t nChannels = 1;
    uint32_t nRate = 44100;
    uint16_t nBits = 16;
    int nFmtSize = 16;                 // 16, 18, 40, or shorter for broken files
    std::vector<uint8_t> vSamples;
    int64_t nDeclaredData = -1;        // data chunk size as written (-1: the real size)
    bool bData = true;                 // write the data chunk at all
    bool bJunkBeforeFmt = false;       // an odd-sized "junk" chunk before "fmt "
    const char* pszForm = "WAVE";
};

inline std::vector<uint8_t> BuildWav(const WAVSPEC& w)
{
    cByteBuilder body;
    body.Raw(w.pszForm, 4);
    if (w.bJunkBeforeFmt) body.Raw("junk", 4).U32(3).Raw("abc", 3).U8(0);
    cByteBuilder fmt;
    uint16_t nAlign = static_cast<uint16_t>(w.nChannels * (w.nBits / 8));
    fmt.U16(w.wTag).U16(w.nChannels).U32(w.nRate).U32(w.nRate * nAlign).U16(nAlign).U16(w.nBits);
    if (w.nFmtSize >= 18) fmt.U16(static_cast<uint16_t>(w.nFmtSize - 18));
    while (fmt.Size() < static_cast<size_t>(w.nFmtSize)) fmt.U8(0);
    std::vector<uint8_t> vFmt(fmt.Bytes().begin(), fmt.Bytes().begin() + w.nFmtSize);
    body.Raw("fmt ", 4).U32(static_cast<uint32_t>(vFmt.size())).Raw(vFmt.data(), vFmt.size());
    if (vFmt.size() & 1) body.U8(0);
    if (w.bData) {
        uint32_t nDeclared = w.nDeclaredData >= 0 ? static_cast<uint32_t>(w.nDeclaredData) : static_cast<uint32_t>(w.vSamples.size());
        body.Raw("data", 4).U32(nDeclared).Raw(w.vSamples.data(), w.vSamples.size());
    }
    cByteBuilder file;
    file.Raw("RIFF", 4).U32(static_cast<uint32_t>(body.Size())).Append(body);
    return file.Bytes();
}

// 16-bit little-endian samples.
inline std::vector<uint8_t> Pcm16(std::initializer_list<int> values)
{
    std::vector<uint8_t> v;
    for (int x : values) {
        v.push_back(static_cast<uint8_t>(x & 0xFF));
        v.push_back(static_cast<uint8_t>((x >> 8) & 0xFF));
    }
    return v;
}

// Big-endian builder for MIDI files.
class cSmfBuilder {
public:
    cSmfBuilder& Raw(std::initializer_list<int> bytes)
    {
        for (int b : bytes) m_v.push_back(static_cast<uint8_t>(b));
        return *this;
    }
    cSmfBuilder& Raw(const std::vector<uint8_t>& v)
    {
        m_v.insert(m_v.end(), v.begin(), v.end());
        return *this;
    }
    cSmfBuilder& Be32(uint32_t v) { return Raw({int(v >> 24 & 0xFF), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)}); }
    cSmfBuilder& Be16(uint16_t v) { return Raw({v >> 8, v & 0xFF}); }
    cSmfBuilder& Id(const char* psz) { return Raw({psz[0], psz[1], psz[2], psz[3]}); }
    cSmfBuilder& VarLen(uint32_t v)
    {
        uint8_t a[5];
        int n = 0;
        do {
            a[n++] = static_cast<uint8_t>(v & 0x7F);
            v >>= 7;
        } while (v != 0);
        for (int i = n - 1; i >= 0; --i) m_v.push_back(static_cast<uint8_t>(a[i] | (i > 0 ? 0x80 : 0)));
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return m_v; }

private:
    std::vector<uint8_t> m_v;
};

// The header chunk.
inline std::vector<uint8_t> SmfHeader(uint16_t nFormat, uint16_t nTracks, uint16_t nDivision)
{
    cSmfBuilder b;
    b.Id("MThd").Be32(6).Be16(nFormat).Be16(nTracks).Be16(nDivision);
    return b.Bytes();
}

// A track chunk around the given event bytes (delta times included).
inline std::vector<uint8_t> SmfTrack(const std::vector<uint8_t>& vEvents)
{
    cSmfBuilder b;
    b.Id("MTrk").Be32(static_cast<uint32_t>(vEvents.size())).Raw(vEvents);
    return b.Bytes();
}

inline std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> v;
    for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
    return v;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> bytes)
{
    std::vector<uint8_t> v;
    for (int b : bytes) v.push_back(static_cast<uint8_t>(b));
    return v;
}

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& v)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
    return static_cast<bool>(out);
}

}  // namespace soundtest
