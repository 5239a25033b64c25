#include "foundation/Text.h"

#include <cstdio>
#include <cstring>
#include <vector>

int IsSJISChar(const char* p) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    return (IsSJISLead(u[0]) && IsSJISTrail(u[1])) ? 1 : 0;
}

int GetCharCount(const char* s) {
    int n = 0;
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    while (*u) {
        if (IsSJISLead(u[0]) && IsSJISTrail(u[1])) {
            u += 2;
            n++;
        } else {
            if (*u != '\n') n++;
            u++;
        }
    }
    return n;
}

size_t SjisSafeLength(const char* s, size_t nLen, size_t nMax) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
    size_t nLimit = nLen < nMax ? nLen : nMax;
    size_t i = 0;
    while (i < nLimit) {
        if (IsSJISLead(u[i]) && i + 1 < nLen && IsSJISTrail(u[i + 1])) {
            if (i + 2 > nLimit) break;
            i += 2;
        } else {
            i++;
        }
    }
    return i;
}

size_t SjisCopy(char* dst, size_t nSize, const char* src) {
    if (nSize == 0) return 0;
    size_t n = SjisSafeLength(src, std::strlen(src), nSize - 1);
    std::memmove(dst, src, n);
    dst[n] = '\0';
    return n;
}

std::string VFormatBounded(size_t nLimit, const char* fmt, va_list ap) {
    if (nLimit == 0) return std::string();
    char buf[1024];
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    std::string out;
    if (n < 0) {
        out.clear();
    } else if (static_cast<size_t>(n) < sizeof buf) {
        out.assign(buf, static_cast<size_t>(n));
    } else {
        std::vector<char> big(static_cast<size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), fmt, ap2);
        out.assign(big.data(), static_cast<size_t>(n));
    }
    va_end(ap2);
    // The text ends at its first zero byte, as it would in a character buffer,
    // and is cut to the limit on a character boundary.
    size_t nZero = out.find('\0');
    if (nZero != std::string::npos) out.resize(nZero);
    if (out.size() > nLimit - 1) out.resize(SjisSafeLength(out.data(), out.size(), nLimit - 1));
    return out;
}

std::string FormatBounded(size_t nLimit, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(nLimit, fmt, ap);
    va_end(ap);
    return s;
}

void FormatString(std::string& out, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFormatBounded(FORMAT_BUFFER_SIZE, fmt, ap);
    va_end(ap);
    out = std::move(s);
}

std::string& AppendFormat(std::string& s, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string t = VFormatBounded(FORMAT_BUFFER_SIZE, fmt, ap);
    va_end(ap);
    s += t;
    return s;
}

int StrRefresh(std::string& s) {
    size_t nZero = s.find('\0');
    if (nZero != std::string::npos) s.resize(nZero);
    return static_cast<int>(s.size());
}

std::string StrMid(std::string& s, int start, int count) {
    long long nStart = start;
    long long nCount = count;
    if (nStart < 0) {
        nCount += nStart;
        nStart = 0;
    } else {
        StrRefresh(s);
        if (nStart > static_cast<long long>(s.size())) return std::string();
    }
    if (nCount <= 0) return std::string();
    StrRefresh(s);
    return s.substr(static_cast<size_t>(nStart), static_cast<size_t>(nCount));
}

// The generator of the C run-time the game was made with, one state per
// thread so that the play's sequence does not depend on other threads.
static thread_local uint32_t tl_nRandomState = 1;

void SeedRandom(uint32_t nSeed) { tl_nRandomState = nSeed; }

int NextRandomValue() {
    tl_nRandomState = tl_nRandomState * 214013u + 2531011u;
    return static_cast<int>((tl_nRandomState >> 16) & 0x7FFF);
}

int GetRandom(int a, int b) {
    long long nLow = a < b ? a : b;
    long long nHigh = a < b ? b : a;
    long long nSpan = nHigh - nLow + 1;  // up to 2^32: no overflow in 64 bits
    long long r = NextRandomValue();
    return static_cast<int>(nLow + r % nSpan);
}
