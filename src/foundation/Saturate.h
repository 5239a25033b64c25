#pragma once
// A 64-bit intermediate brought back to 32 bits, held at the nearest end
// instead of wrapping.
#include <algorithm>
#include <cstdint>

inline int32_t SaturateInt32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }
