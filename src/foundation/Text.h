#pragma once
// Shift-JIS text, printf-style formatting and the random generator.
//
// Strings are std::string holding Shift-JIS bytes. Functions look only at the
// bytes up to the first zero byte. Formatted texts are bounded: a result
// longer than the formatting limit is cut without splitting a double-byte
// character.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int FORMAT_BUFFER_SIZE = 5120;   // formatted text: 5119 bytes and the terminator
constexpr int MAX_PATH_SIZE = 260;         // path buffers: 259 bytes and the terminator

// CP932 lead bytes 0x81-0x9F, 0xE0-0xFC; trail bytes 0x40-0x7E, 0x80-0xFC.
inline bool IsSJISLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool IsSJISTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// 1 when p[0] is a lead byte and p[1] a trail byte.
int IsSJISChar(const char* p);

// Characters of s: a lead+trail pair counts once, a newline not at all.
int GetCharCount(const char* s);

// Length of the longest prefix of s[0..nMax) that does not end inside a
// double-byte character.
size_t SjisSafeLength(const char* s, size_t nLen, size_t nMax);

// Copies src into dst[nSize] (always terminated), cut without splitting a
// double-byte character. Returns the bytes copied.
size_t SjisCopy(char* dst, size_t nSize, const char* src);

// printf into a bounded buffer of nLimit bytes (the result holds at most
// nLimit - 1 bytes, cut on a character boundary).
std::string VFormatBounded(size_t nLimit, const char* fmt, va_list ap);
std::string FormatBounded(size_t nLimit, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

void FormatString(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
std::string& AppendFormat(std::string& s, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Re-terminates s at its first zero byte; returns the new length.
int StrRefresh(std::string& s);

// count bytes of s from byte start (negative start shortens count). A count
// of 0 or less gives an empty string.
std::string StrMid(std::string& s, int start, int count);

// Random integer between a and b inclusive, bounds in either order. One
// generator state per thread, starting at 1:
// state = state * 214013 + 2531011, value = (state >> 16) & 0x7FFF.
int GetRandom(int a, int b);
void SeedRandom(uint32_t nSeed);      // seeds the calling thread's generator
int NextRandomValue();                // the next raw value 0..32767
