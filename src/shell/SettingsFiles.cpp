// Reading the player's settings files through the file system layer.
#include <cstdio>
#include <vector>

#include "platform/FileSystem.h"
#include "shell/InputDevice.h"
#include "project/SystemIni.h"

int ReadSystemIni(const char* path, INIDATA& ini, const std::vector<INIITEM>& items) {
    std::vector<uint8_t> data;
    if (!FsReadFile(path, data, 64u << 20)) return 0;   // no settings file is larger
    return ParseSystemIni(data.data(), data.size(), ini, items);
}

int ReadKeyConfig(const char* path, KEYCONFIG* p) {
    FILE* fp = FsOpen(path, "rb");
    if (!fp) return 0;
    uint8_t buf[KEYCONFIG_FILE_SIZE];
    size_t n = fread(buf, 1, sizeof buf, fp);
    fclose(fp);
    ParseKeyConfig(buf, n, p);
    return 1;
}
