// System.ini. Whatever the file holds, the free-stage name stays terminated
// inside its buffer, a read of the same bytes gives the same settings, and
// a setting the file does not name keeps its default.
#include <cstring>
#include <sys/stat.h>

#include "FuzzTarget.h"

#include "../../tools/mkdemo/DemoProject.h"
#include "project/SystemIni.h"

namespace {
bool Same(const INIDATA& a, const INIDATA& b) {
    return a.nDirect3D == b.nDirect3D && a.nWindowMode == b.nWindowMode && a.nBpp == b.nBpp && a.nVSync == b.nVSync &&
           a.nD3D_FontCache == b.nD3D_FontCache && a.nDD_FontCache == b.nDD_FontCache &&
           a.nDD_VideoStretch == b.nDD_VideoStretch && a.nShowFps == b.nShowFps &&
           std::strcmp(a.szFreeStage, b.szFreeStage) == 0 && a.bEnglish == b.bEnglish &&
           a.bMidi_DirectMusic == b.bMidi_DirectMusic;
}
}  // namespace

std::vector<FUZZBYTES> FuzzSeeds() {
    FuzzCheck(WriteDemoSystemIni());
    FUZZBYTES demo = FuzzReadFile("System.ini");
    std::string s = "Direct3D=0\r\nWindowMode=1\r\nBpp=16\r\nFreeStage=stage\\a.stg4\r\nExit\r\n";
    return {demo, FUZZBYTES(s.begin(), s.end())};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const std::vector<INIITEM> items = GetStandardIniItems();
    INIDATA ini;
    SetIniDefault(ini, items);
    INIDATA def = ini;
    int nEnded = ParseSystemIni(pData, nSize, ini, items);
    FuzzAccepted();
    FuzzCheck(std::memchr(ini.szFreeStage, 0, sizeof ini.szFreeStage) != nullptr);
    INIDATA again;
    SetIniDefault(again, items);
    FuzzCheck(ParseSystemIni(pData, nSize, again, items) == nEnded);
    FuzzCheck(Same(ini, again));
    if (nSize == 0) FuzzCheck(Same(ini, def));
    return 0;
}
