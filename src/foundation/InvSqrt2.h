#pragma once
// 1/√2 as the bit pattern 3FE6A09E667F3BCD, the nearest double; the
// division 1.0 / √2 would give the next lower double, so the value is
// written out rather than computed.
constexpr double INV_SQRT2 = 0.7071067811865476;
