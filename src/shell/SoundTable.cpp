#include "shell/SoundTable.h"

#include <algorithm>
#include <cstring>

#include "foundation/Text.h"

void BuildSoundFileTable(std::vector<SOUNDFILE>& vTable, const std::vector<std::string>& vSystem,
                         const std::vector<std::string>& vUser) {
    size_t n = vUser.size();
    size_t nSize = std::max<size_t>(SYSTEM_SOUND_COUNT, n + 16);
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
    for (size_t k = 1; k < n; k++) fill(k + 16, vUser[k]);
}
