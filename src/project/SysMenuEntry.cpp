#include "project/SysMenuEntry.h"

void cSysMenuEntry::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_bEnable);
    AddString(&m_strText);
}
