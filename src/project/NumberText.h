#pragma once
// The number and time texts of the ranking and result windows, the save-slot
// list, the options screen and the stage-name decoration.
#include <cstdint>
#include <string>

// Digits of v: 1 plus the number of times v divides by 10 before it reaches
// 0, at most 10. The sign is ignored (INT32_MIN has 10 digits).
int GetDigitCount(int32_t v);

// The digits of |value| in nWidth places (GetDigitCount(value) when nWidth
// is 0 or smaller than that; at most 32) with leading zeros, or, with bZero
// 0, leading blanks in place of every zero before the last digit; a minus
// before a negative value, and with bSign a plus before a value that is not
// negative.
std::string FormatNumber(int32_t value, int nWidth, int bZero, int bSign);

// A time in hundredths of a second as "mm:ss.hh" (minutes in at least two
// digits). A negative time has one minus before the minutes.
std::string FormatTime(int32_t nHundredths);
