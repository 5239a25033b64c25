#pragma once
// The step of a length along one of the eight plain directions: straight on
// one axis, diagonal at length / sqrt(2) on both.
#include "stage/MoveVocabulary.h"

// Sets *pdx, *pdy to the step of d along nDir; false, with a zero step, for
// the relative and input directions and anything out of range.
inline bool DirVector(int nDir, double d, double* pdx, double* pdy) {
    constexpr double k = 0.7071067811865476;
    struct UNIT {
        double x, y;
    };
    static constexpr UNIT aUnit[DIR_COUNT] = {
        {0, 0},  {0, 0},  {-1, 0}, {1, 0},  {0, 0},  {0, 0}, {0, -1},
        {0, 1},  {-k, -k}, {-k, k}, {k, -k}, {k, k},  {0, 0},
    };
    *pdx = *pdy = 0;
    if (nDir < 0 || nDir >= DIR_COUNT || (aUnit[nDir].x == 0 && aUnit[nDir].y == 0)) return false;
    *pdx = aUnit[nDir].x * d;
    *pdy = aUnit[nDir].y * d;
    return true;
}
