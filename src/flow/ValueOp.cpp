#include "flow/ValueOp.h"

#include <algorithm>
#include <climits>
#include <cmath>

int32_t Clamp_Int(int64_t v, int32_t lo, int32_t hi) {
    if (v < lo) return lo;
    if (v > hi) return hi;
    return static_cast<int32_t>(v);
}

namespace {

// a × b × 0.01 rounded half away from zero, in 64 bits (saturated).
int64_t Percent64(int64_t a, int64_t b) {
    // |a|, |b| < 2^32 here, so the product is exact in 64 bits.
    double d = std::round(static_cast<double>(a * b) * 0.01);
    if (d >= 9.2e18) return INT64_MAX;
    if (d <= -9.2e18) return INT64_MIN;
    return static_cast<int64_t>(d);
}

int64_t ApplyOp64(int64_t cur, int64_t v, int nOp) {
    switch (nOp) {
    case VALOP_SET: return v;
    case VALOP_ADD: return cur + v;
    case VALOP_SUB: return cur - v;
    case VALOP_MUL: return cur * v;
    case VALOP_DIV: return v == 0 ? cur : cur / v;
    case VALOP_MOD: return v == 0 ? cur : cur % v;
    case VALOP_PERCENT: return Percent64(cur, v);
    default: return cur;
    }
}

}  // namespace

int32_t Percent_Int(int64_t a, int64_t b) {
    a = std::clamp<int64_t>(a, INT32_MIN, INT32_MAX);
    b = std::clamp<int64_t>(b, INT32_MIN, INT32_MAX);
    return Clamp_Int(Percent64(a, b), INT32_MIN, INT32_MAX);
}

int32_t Percent_Short(int32_t a, int32_t b) {
    return Percent_Int(static_cast<int16_t>(a), static_cast<int16_t>(b));
}

int32_t Percent_Char(int32_t a, int32_t b) {
    return Percent_Int(static_cast<int8_t>(a), static_cast<int8_t>(b));
}

int32_t ApplyOpValue(int64_t cur, int64_t v, int nOp, int32_t lo, int32_t hi) {
    // Operands are 32-bit values, so every result below fits in 64 bits.
    cur = std::clamp<int64_t>(cur, INT32_MIN, INT32_MAX);
    v = std::clamp<int64_t>(v, INT32_MIN, INT32_MAX);
    return Clamp_Int(ApplyOp64(cur, v, nOp), lo, hi);
}

void ApplyOp_Int(int32_t* p, int32_t v, int nOp, int32_t lo, int32_t hi) {
    if (p) *p = ApplyOpValue(*p, v, nOp, lo, hi);
}

void ApplyOp_Short(int16_t* p, int32_t v, int nOp, int32_t lo, int32_t hi) {
    if (p) *p = static_cast<int16_t>(ApplyOpValue(*p, static_cast<int16_t>(v), nOp, lo, hi));
}

void ApplyOp_Char(int8_t* p, int32_t v, int nOp, int32_t lo, int32_t hi) {
    if (p) *p = static_cast<int8_t>(ApplyOpValue(*p, static_cast<int8_t>(v), nOp, lo, hi));
}
