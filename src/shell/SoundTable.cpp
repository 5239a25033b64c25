#include "shell/SoundTable.h"

#include <cstring>

#include "foundation/Text.h"

void BuildSoundFileTable(std::vector<SOUNDFILE>& vTable, const std::vector<std::string>& vSystem,
                         const std::vector<std::string>& vUser) {
    const int n = static_cast<int>(vUser.size());
    const size_t nSize = static_cast<size_t>(GetSoundTableSize(n));
    SOUNDFILE blank;
    memset(&blank, 0, sizeof blank);
    vTable.assign(nSize, blank);
    auto fill = [&](size_t i, const std::string& s) {
        SjisCopy(vTable[i].szFileName, sizeof vTable[i].szFileName, s.c_str());
        vTable[i].nBufferCount = 1;
        vTable[i].nVolume = 0;
        vTable[i].bUse = 1;
    };
    for (size_t i = 0; i < SYSTEM_SOUND_COUNT && i < vSystem.size(); i++) fill(i, vSystem[i]);
    for (int k = 1; k < n; k++) fill(static_cast<size_t>(GetSoundTableIndex(k)), vUser[static_cast<size_t>(k)]);
}
