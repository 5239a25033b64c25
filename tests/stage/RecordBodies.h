#pragma once
// Hand-built record bodies, written from the field tables of the record
// formats (not from the production registration): each table lists the
// fields in file order with their width, element count and the data
// versions that store them.
#include <climits>
#include <cstdint>
#include <map>
#include <vector>

#include "support/ByteBuilder.h"

struct FIELDSPEC {
    int nWidth;                     // 1, 2, 4 or 8 (8 is a double)
    int nCount = 1;
    uint32_t nFrom = 0;             // first version that stores it
    uint32_t nBelow = UINT32_MAX;   // stored only below this version
};
using FIELDTABLE = std::vector<FIELDSPEC>;

inline bool Stored(const FIELDSPEC& f, uint32_t nVer) { return nVer >= f.nFrom && nVer < f.nBelow; }

// Field bytes of a body at nVer (without the count).
inline size_t FieldBytesAt(const FIELDTABLE& t, uint32_t nVer) {
    size_t n = 0;
    for (const FIELDSPEC& f : t)
        if (Stored(f, nVer)) n += static_cast<size_t>(f.nWidth) * f.nCount;
    return n;
}

// Appends the field count and the fields stored at nVer. Field k (1-based
// position in the table) holds the value k unless aOver gives another;
// doubles hold k + 0.5.
inline void AddFields(cByteBuilder& b, const FIELDTABLE& t, uint32_t nVer, const std::map<int, int64_t>& aOver = {}) {
    int nStored = 0;
    for (const FIELDSPEC& f : t)
        if (Stored(f, nVer)) nStored++;
    b.I32(nStored);
    for (size_t i = 0; i < t.size(); i++) {
        const FIELDSPEC& f = t[i];
        if (!Stored(f, nVer)) continue;
        int k = static_cast<int>(i) + 1;
        auto it = aOver.find(k);
        int64_t v = it != aOver.end() ? it->second : k;
        for (int e = 0; e < f.nCount; e++) {
            switch (f.nWidth) {
            case 1: b.U8(static_cast<uint8_t>(v)); break;
            case 2: b.I16(static_cast<int16_t>(v)); break;
            case 4: b.I32(static_cast<int32_t>(v)); break;
            default: b.F64(static_cast<double>(v) + 0.5); break;
            }
        }
    }
}

// cCond: kind, value, [rand min, rand max, subject, status | two dropped
// words], left type, left var kind, var num, source, src subject, src
// status, src var kind, src var num, compare, percent, shape.
inline const FIELDTABLE tblCondFields = {
    {1}, {4}, {4, 1, 110}, {4, 1, 110}, {1, 1, 110}, {1, 1, 110}, {2, 1, 0, 110}, {2, 1, 0, 110},
    {1, 1, 110}, {1, 1, 110}, {2, 1, 110}, {1, 1, 110}, {1, 1, 110}, {1, 1, 110}, {1, 1, 110}, {2, 1, 110},
    {1}, {1, 1, 43}, {1},
};

// cEdMove, 33 fields.
inline const FIELDTABLE tblMoveFields = {
    {1}, {1}, {2}, {2}, {1, 1, 158}, {1}, {1}, {2}, {2}, {2}, {2}, {1}, {1}, {1}, {1}, {1}, {1},
    {1}, {1}, {1, 1, 162}, {1}, {2}, {2}, {2}, {2}, {1, 1, 159}, {2}, {2}, {1}, {2}, {8},
    {1, 1, 162}, {1, 1, 767},
};

// cEdShot, 64 fields.
inline const FIELDTABLE tblShotFields = {
    {1}, {1}, {2, 3}, {1, 1, 671}, {1}, {1}, {1, 1, 767}, {2}, {2}, {1, 1, 158},   // 1-10
    {2}, {1}, {1}, {2}, {2}, {2}, {2}, {1}, {1}, {2},                             // 11-20
    {1}, {1}, {1}, {1}, {1}, {1}, {1}, {1}, {2, 3}, {1, 1, 767},                  // 21-30
    {1, 1, 211}, {2}, {2}, {1, 1, 213}, {2, 1, 213}, {2, 1, 213}, {2}, {1}, {2}, {1},  // 31-40
    {1}, {2}, {2}, {1}, {1}, {1, 1, 636}, {1}, {1}, {4}, {2},                     // 41-50
    {1}, {2}, {1}, {2}, {1}, {1}, {1, 1, 197}, {1}, {2}, {1},                     // 51-60
    {1}, {1}, {1, 1, 762}, {1, 1, 762},                                           // 61-64
};

// cBlockData, 18 fields.
inline const FIELDTABLE tblBlockFields = {
    {1}, {2}, {1}, {1}, {2}, {1}, {2}, {1}, {1}, {1}, {2}, {1}, {1}, {1}, {4}, {1}, {2}, {1},
};

// cItemData, 17 fields (#14 the picture flag, #15 the take rule).
inline const FIELDTABLE tblItemFields = {
    {1}, {2}, {1}, {1}, {2}, {2}, {2}, {1}, {2}, {1}, {1}, {1}, {2}, {1}, {1}, {1}, {2},
};

// cCharaData, 53 fields.
inline const FIELDTABLE tblCharaFields = {
    {1}, {2}, {1}, {1}, {1}, {1}, {2}, {2}, {2}, {2},                   // 1-10
    {1}, {1}, {2}, {1}, {2}, {2}, {1}, {1}, {2}, {1, 1, 196},           // 11-20
    {1}, {2}, {1, 1, 196}, {1}, {2}, {1}, {1}, {1}, {1}, {1},           // 21-30
    {1}, {1}, {1, 1, 285}, {1}, {1}, {1, 1, 210}, {1}, {1}, {4}, {4},   // 31-40
    {2}, {1, 1, 201}, {4}, {1}, {2}, {4, 1, 168}, {1}, {4}, {1}, {1},   // 41-50
    {2}, {1}, {1},                                                      // 51-53
};

// cFlow: id, group, test only, cond mode, cond once, trigger, set target,
// target slot, key delay, key repeat. (Name string from 676.)
inline const FIELDTABLE tblFlowFields = {
    {1}, {1}, {1}, {1}, {1}, {1}, {1, 1, 762}, {1, 1, 767}, {1}, {1},
};

// cEdCmd: item flag, kind, time, time inc, continue, sound, sound on
// screen, anime.
inline const FIELDTABLE tblCmdFields = {
    {1}, {1}, {2}, {2}, {1}, {2}, {1}, {2},
};

// cFlowKey: mirror, hold min, hold max, hold any, key mode.
inline const FIELDTABLE tblFlowKeyFields = {
    {1}, {2}, {2}, {1}, {1},
};

// A condition body at nVer.
inline void AddCond(cByteBuilder& b, uint32_t nVer, const std::map<int, int64_t>& aOver = {}) {
    AddFields(b, tblCondFields, nVer, aOver);
    b.I32(0);
}

// A command body at nVer with the given parameters and no sub-records.
inline void AddCmd(cByteBuilder& b, uint32_t nVer, int nItem, int nKind, const std::vector<int32_t>& vParam,
                   int nFlows = 0) {
    AddFields(b, tblCmdFields, nVer, {{1, nItem}, {2, nKind}, {6, 0}, {8, 0}});
    b.I32(1).Str("");
    b.I32(0).I32(0);                // no movement, no shot record
    if (nVer >= 764) b.I32(0);      // no condition list
    b.I32(nFlows);
    b.I32(static_cast<int32_t>(vParam.size()));
    for (int32_t p : vParam) b.I32(p);
}

// An empty flow body at nVer (values by AddFields unless given).
inline void AddFlowHead(cByteBuilder& b, uint32_t nVer, const std::map<int, int64_t>& aOver = {}) {
    AddFields(b, tblFlowFields, nVer, aOver);
    if (nVer >= 676) b.I32(1).Str("flow");
    else b.I32(0);
}
