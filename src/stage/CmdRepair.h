#pragma once
// The parameter repairs that bring a command of an older data version up to
// date, one row per step in the order they run.
#include <cstdint>

class cEdCmd;

// Access to a command's parameters for the repairs: a missing entry reads
// as 0 and is never written (only Resize grows the vector); sums saturate.
class cParamEdit {
public:
    explicit cParamEdit(cEdCmd& cmd) : m_cmd(cmd) {}
    int32_t Get(int i) const;
    void Set(int i, int64_t v);
    void Add(int i, int64_t d) { Set(i, static_cast<int64_t>(Get(i)) + d); }
    void Resize(int n);
    // Entries i.. move up by one (the last is dropped) and entry i := v.
    void Insert(int i, int32_t v);
    cEdCmd& Cmd() { return m_cmd; }

private:
    cEdCmd& m_cmd;
};

// Kind value of the row that renumbers every kind from 24 on.
constexpr int CMDREPAIR_RENUMBER = -1;
constexpr int CMDREPAIR_NO_RESIZE = -1;

struct CMDREPAIR {
    uint32_t nBelow;        // applies to files older than this version
    int anKind[2];          // character numbering of that time; 0 = unused second kind
    bool bCharOnly;         // false: item commands too (item kind + 15)
    int nResize;            // resize the parameters first, or CMDREPAIR_NO_RESIZE
    void (*pfn)(cParamEdit& p);  // the rest of the step, or null
};

const CMDREPAIR* GetCmdRepairTable(int* pnCount);
// The first kind that the renumbering step moves up, and the last one that
// existed before it.
constexpr int CMDREPAIR_RENUMBER_FROM = 24;
constexpr int CMDREPAIR_RENUMBER_LAST = 38;
