#pragma once
// The menu entry of the system settings' menus (title, save and option
// screens): an enabled flag and a text. Its file body is the record base's:
// int32 1, int32 enabled, int32 1, the text.
//
// SYSMENUENTRY names the class the system settings store; it is this
// project-side record until the stage definitions' menu entry takes its place.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

class cSysMenuEntry : public cRecord {
public:
    cSysMenuEntry() { SetDefault(); }
    cSysMenuEntry(int bEnable, const char* pszText) : m_bEnable(bEnable), m_strText(pszText ? pszText : "") {}
    void RegisterFields(int nVer) override;
    void SetDefault() {
        Clear();
        m_bEnable = 1;
    }

    int32_t m_bEnable = 1;
    std::string m_strText;
};

using SYSMENUENTRY = cSysMenuEntry;
