#pragma once
// The value operators shared by the status operations, arrange and the
// assignments of the run-code language: 0 set, 1 add, 2 subtract,
// 3 multiply, 4 divide, 5 remainder, 6 percent. Every form computes in 64
// bits and saturates, so no input overflows: a product beyond the range
// lands on the bound of its sign's side, a division or remainder by 0
// leaves the target, INT_MIN / -1 saturates and INT_MIN % -1 is 0; the
// result is then clamped to the target's range.
#include <cstdint>

enum : int {
    VALOP_SET = 0,
    VALOP_ADD = 1,
    VALOP_SUB = 2,
    VALOP_MUL = 3,
    VALOP_DIV = 4,
    VALOP_MOD = 5,
    VALOP_PERCENT = 6,
};

// a × b × 0.01 rounded half away from zero, saturated to 32 bits.
int32_t Percent_Int(int64_t a, int64_t b);
// The percent of the 16- and 8-bit forms: both values reduced to the width
// first.
int32_t Percent_Short(int32_t a, int32_t b);
int32_t Percent_Char(int32_t a, int32_t b);

// The new value of cur after the operator with the operand v, clamped to
// [lo, hi] (lo <= hi). An unknown operator leaves cur (still clamped).
int32_t ApplyOpValue(int64_t cur, int64_t v, int nOp, int32_t lo, int32_t hi);

void ApplyOp_Int(int32_t* p, int32_t v, int nOp, int32_t lo, int32_t hi);
// The 16- and 8-bit forms reduce the operand to their width first (300 acts
// as 44 on a byte).
void ApplyOp_Short(int16_t* p, int32_t v, int nOp, int32_t lo, int32_t hi);
void ApplyOp_Char(int8_t* p, int32_t v, int nOp, int32_t lo, int32_t hi);

int32_t Clamp_Int(int64_t v, int32_t lo, int32_t hi);
