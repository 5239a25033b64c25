#include "project/NumberText.h"

#include <cstdlib>

namespace {

constexpr int MAX_NUMBER_WIDTH = 32;

uint32_t Magnitude(int32_t v) {
    // Through 64 bits, so that INT32_MIN has a magnitude.
    return static_cast<uint32_t>(std::llabs(static_cast<long long>(v)));
}

std::string Digits(uint32_t u, int nWidth, bool bZero) {
    std::string s = std::to_string(u);
    if (static_cast<int>(s.size()) < nWidth) s.insert(0, static_cast<size_t>(nWidth) - s.size(), '0');
    if (!bZero)
        for (size_t i = 0; i + 1 < s.size() && s[i] == '0'; i++) s[i] = ' ';
    return s;
}

}  // namespace

int GetDigitCount(int32_t v) {
    uint32_t u = Magnitude(v);
    int n = 1;
    while (u >= 10 && n < 10) {
        u /= 10;
        n++;
    }
    return n;
}

std::string FormatNumber(int32_t value, int nWidth, int bZero, int bSign) {
    int nDigits = GetDigitCount(value);
    if (nWidth <= 0 || nWidth < nDigits) nWidth = nDigits;
    if (nWidth > MAX_NUMBER_WIDTH) nWidth = MAX_NUMBER_WIDTH;
    std::string s = Digits(Magnitude(value), nWidth, bZero != 0);
    if (value < 0) return "-" + s;
    if (bSign) return "+" + s;
    return s;
}

std::string FormatTime(int32_t nHundredths) {
    uint32_t t = Magnitude(nHundredths);
    std::string s = nHundredths < 0 ? "-" : "";
    s += Digits(t / 6000, 2, true);
    s += ':';
    s += Digits(t / 100 % 60, 2, true);
    s += '.';
    s += Digits(t % 100, 2, true);
    return s;
}
