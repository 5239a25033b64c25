#pragma once
// The parameter descriptors of the arrange mechanism: for each character
// command kind, the parameters an arrange can change, with the names the
// editor shows and the bounds a changed value is clamped to.
#include <string>

#include "foundation/ChkContainers.h"

struct ARRANGEPARAM {
    std::string strName;
    int nMin = 0;
    int nMax = 0;
};

constexpr int ARRANGE_KIND_COUNT = 40;

// One row per character command kind; kinds without arrangeable parameters
// have empty rows. Filled once at start-up.
extern cChkVector<cChkVector<ARRANGEPARAM>> ArrangeParamTable;

void BuildArrangeParamTable();
