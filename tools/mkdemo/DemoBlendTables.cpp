#include "DemoBlendTables.h"

#include <cstdio>
#include <vector>

#include "Canvas.h"
#include "graphics/DDBlendTable.h"
#include "platform/FileSystem.h"
#include "shell/HbtPalette.h"

namespace {

bool WriteTable(const char* pszDataPath, const std::vector<uint8_t>& v)
{
    std::string strTemp = std::string(pszDataPath) + ".tmp";
    FILE* fp = FsOpen(strTemp.c_str(), "wb");
    if (!fp) return false;
    bool bOk = std::fwrite(v.data(), 1, v.size(), fp) == v.size();
    bOk = std::fclose(fp) == 0 && bOk;
    if (!bOk || !FsRename(strTemp.c_str(), pszDataPath)) {
        FsRemove(strTemp.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool WriteDemoBlendTables()
{
    FsMakeDirectory("bmp");
    FsMakeDirectory("bmp\\hbt");
    std::vector<uint8_t> v(BLEND_TABLE_SIZE);
    for (int n = 0; n < HBT_VARIANT_COUNT; n++) {
        // The variant's palette as the player arranges it from the palette
        // image's colour table.
        PALETTEENTRY aPal[256];
        const std::vector<RGB8>& base = DemoPalette();
        for (int i = 0; i < 256; i++) aPal[i] = {base[i].r, base[i].g, base[i].b, 0};
        ArrangeHbtPalette(aPal, n);
        DDBuildBlendTable(aPal, v.data());
        char szName[64];
        std::snprintf(szName, sizeof szName, "bmp\\hbt\\hbt%02d.dat", n);
        if (!WriteTable(szName, v)) {
            std::fprintf(stderr, "mkdemo: cannot write %s\n", szName);
            return false;
        }
    }
    return true;
}
