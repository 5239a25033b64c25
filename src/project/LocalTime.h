#pragma once
// The local date and time as the player's files store it: eight 16-bit
// fields (year, month, day of week, day, hour, minute, second,
// milliseconds). Save slots keep it and replay names are made from it; tests
// install a fixed clock.
#include <cstdint>

struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};
static_assert(sizeof(SYSTEMTIME) == 16, "the save time is 16 bytes in the files");

// The local time now (from the installed source, else localtime_r).
SYSTEMTIME GetLocalSystemTime();

// Installs a source of the local time; null restores the system clock.
using LOCALTIMEFN = SYSTEMTIME (*)();
void SetLocalTimeSource(LOCALTIMEFN pfn);
