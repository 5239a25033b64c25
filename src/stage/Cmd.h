#pragma once
// A menu entry: a text and whether the entry is offered. Disabled entries are
// neither drawn, counted nor selectable, so choice n of a menu is its n-th
// enabled entry.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

class cCmd : public cRecord {
public:
    cCmd() { Clear(); m_bEnable = 1; }

    void RegisterFields(int nVer) override;

    // Number of enabled entries.
    static int GetEnableNum(const cChkVector<cCmd>& v);
    // Index of enabled entry n (counted from 0). When there is none (n
    // negative, too large, or no entry enabled) the diagnostic box reports it
    // and the result is 0; callers that can meet such a list check
    // GetEnableNum first.
    static int GetCmdNum(int n, const cChkVector<cCmd>& v);

    int32_t m_bEnable = 1;
    std::string m_strText;
};
