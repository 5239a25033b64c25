#include "shell/Snapshot.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "foundation/Log.h"
#include "platform/Presenter.h"

void WriteSnapshotIfAsked() {
    const char* pszPath = std::getenv("MOSSGROVE_SNAPSHOT");
    if (!pszPath || !*pszPath) return;
    std::vector<uint32_t> v;
    int w = 0, h = 0;
    if (!PresenterGetLastFrame(&v, &w, &h) || w <= 0 || h <= 0) {
        WriteReport("snapshot: no frame was presented");
        return;
    }
    FILE* fp = std::fopen(pszPath, "wb");
    if (!fp) {
        WriteReport("snapshot: %s cannot be written", pszPath);
        return;
    }
    std::fprintf(fp, "P6\n%d %d\n255\n", w, h);
    std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint32_t c = v[static_cast<size_t>(y) * w + x];
            row[x * 3] = static_cast<unsigned char>(c >> 16);
            row[x * 3 + 1] = static_cast<unsigned char>(c >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(c);
        }
        std::fwrite(row.data(), 1, row.size(), fp);
    }
    std::fclose(fp);
}
