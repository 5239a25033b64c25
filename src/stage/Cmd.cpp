#include "stage/Cmd.h"

#include "foundation/ErrorBox.h"

void cCmd::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_bEnable);
    AddString(&m_strText);
}

int cCmd::GetEnableNum(const cChkVector<cCmd>& v) {
    int n = 0;
    for (const cCmd& c : v)
        if (c.m_bEnable) n++;
    return n;
}

int cCmd::GetCmdNum(int n, const cChkVector<cCmd>& v) {
    int nSeen = 0;
    for (size_t i = 0; i < v.size(); i++) {
        if (!v[i].m_bEnable) continue;
        if (nSeen == n) return static_cast<int>(i);
        nSeen++;
    }
    ErrorBoxEC("cCmd::GetCmdNum 番号が不正です！");
    return 0;
}
