#include "project/SystemIni.h"

#include <climits>
#include <cstdio>
#include <cstring>


INIDATA Ini_Data;
int& nDirect3D = Ini_Data.nDirect3D;
int& nWindowMode = Ini_Data.nWindowMode;
int& nBpp = Ini_Data.nBpp;
int& nVSync = Ini_Data.nVSync;
int& nD3D_FontCache = Ini_Data.nD3D_FontCache;
int& nDD_FontCache = Ini_Data.nDD_FontCache;
int& nDD_VideoStretch = Ini_Data.nDD_VideoStretch;
int& nShowFps = Ini_Data.nShowFps;
char (&szFreeStage)[INI_FREESTAGE_SIZE] = Ini_Data.szFreeStage;
int& bEnglish = Ini_Data.bEnglish;
int& bMidi_DirectMusic = Ini_Data.bMidi_DirectMusic;

namespace {

// Integer settings by item position; item 8 is the free stage.
int* IntField(INIDATA& ini, int nItem) {
    switch (nItem) {
    case 0: return &ini.nDirect3D;
    case 1: return &ini.nWindowMode;
    case 2: return &ini.nBpp;
    case 3: return &ini.nVSync;
    case 4: return &ini.nD3D_FontCache;
    case 5: return &ini.nDD_FontCache;
    case 6: return &ini.nDD_VideoStretch;
    case 7: return &ini.nShowFps;
    case 9: return &ini.bEnglish;
    case 10: return &ini.bMidi_DirectMusic;
    default: return nullptr;
    }
}

void SetFreeStage(INIDATA& ini, const std::string& s) {
    size_t n = s.size() < INI_FREESTAGE_SIZE - 1 ? s.size() : INI_FREESTAGE_SIZE - 1;
    memcpy(ini.szFreeStage, s.data(), n);
    ini.szFreeStage[n] = 0;
}

// A byte reader over the file image.
struct INIREADER {
    const uint8_t* p;
    size_t n;
    size_t i = 0;
    int Get() { return i < n ? p[i++] : -1; }
    // Drops the rest of the line, its line feed included.
    void SkipLine() {
        while (i < n && p[i] != '\n') i++;
        if (i < n) i++;
    }
};

void AppendBounded(std::string& s, char c) {
    if (s.size() < INI_TOKEN_SIZE - 1) s.push_back(c);
}

}  // namespace

std::vector<INIITEM> GetStandardIniItems() {
    return {
        {"Direct3D", 2, ""},      {"WindowMode", 0, ""},    {"Bpp", 0, ""},
        {"VSync", 2, ""},         {"D3D_FontCache", 0, ""}, {"DD_FontCache", 1, ""},
        {"DD_VideoStretch", 0, ""}, {"ShowFps", 1, ""},     {"FreeStage", 0, ""},
        {"English", 0, ""},       {"Midi_DirectMusic", 1, ""},
    };
}

void SetIniDefault(INIDATA& ini, const std::vector<INIITEM>& items) {
    ini = INIDATA();
    for (int k = 0; k < INI_ITEM_COUNT && k < static_cast<int>(items.size()); k++) {
        if (int* pField = IntField(ini, k)) *pField = items[k].nValue;
        else if (!items[k].strValue.empty()) SetFreeStage(ini, items[k].strValue);
    }
}

int ParseIniInt(const char* s) {
    while (*s == ' ' || *s == '\t') s++;
    bool bNeg = false;
    if (*s == '+' || *s == '-') bNeg = (*s++ == '-');
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        v = v * 10 + (*s - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (bNeg) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    return static_cast<int>(v);
}

int ParseSystemIni(const uint8_t* pData, size_t nSize, INIDATA& ini, const std::vector<INIITEM>& items) {
    INIREADER rd{pData, nSize};
    for (int nLine = 0; nLine < INI_MAX_LINES; nLine++) {
        std::string strKey;
        bool bValue = false;
        for (;;) {
            int c = rd.Get();
            if (c < 0) return strKey == "Exit" ? 1 : 0;   // a last "Exit" without its line feed counts
            if (c == '\r' || c == ' ' || c == '\t') continue;
            if (c == '=') { bValue = true; break; }
            if (c == '\n') break;
            if (c == 0) return 1;
            if (c == '/') {                                // a comment runs to the end of the line
                rd.SkipLine();
                break;
            }
            AppendBounded(strKey, static_cast<char>(c));
        }
        if (!bValue) {
            if (strKey == "Exit") return 1;
            continue;
        }
        std::string strValue;
        for (;;) {
            int c = rd.Get();
            if (c <= 0 || c == ' ' || c == '\t' || c == '\n') break;
            if (c == '/') { rd.SkipLine(); break; }
            AppendBounded(strValue, static_cast<char>(c));
        }
        for (int k = 0; k < static_cast<int>(items.size()); k++) {
            if (items[k].strKey != strKey) continue;
            if (k >= INI_ITEM_COUNT) break;
            if (int* pField = IntField(ini, k)) *pField = ParseIniInt(strValue.c_str());
            else if (strValue.size() >= 2 && strValue.size() < INI_FREESTAGE_SIZE) SetFreeStage(ini, strValue);
            break;
        }
    }
    return 1;
}
