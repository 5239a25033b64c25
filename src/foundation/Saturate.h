#pragma once
// Arithmetic held at the nearest end instead of wrapping: a 64-bit
// intermediate brought back to 32 bits, and unsigned 64-bit sums and
// products of sizes.
#include <algorithm>
#include <cstdint>

inline int32_t SaturateInt32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

inline uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }
inline uint64_t SaturatingMul(uint64_t a, uint64_t b) { return a != 0 && b > UINT64_MAX / a ? UINT64_MAX : a * b; }
