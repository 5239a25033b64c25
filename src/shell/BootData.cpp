#include "shell/BootData.h"

cBootData Boot_Data;

cBootData::cBootData() {
    RegisterFields(static_cast<int>(DATA_VERSION));
    m_nDrawMode = 1;
    m_bNoAsk = 0;
}

void cBootData::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nDrawMode);
    AddField4(&m_bNoAsk);
}
