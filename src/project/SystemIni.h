#pragma once
// System.ini: the player's per-machine settings, one key=value per line.
//
// The key names and their defaults come from the project's System.dat as a
// list of eleven items; an item's position in that list decides which setting
// it feeds, whatever its name. The file must end with the line "Exit".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int INI_ITEM_COUNT = 11;
constexpr int INI_FREESTAGE_SIZE = 260;
constexpr int INI_TOKEN_SIZE = 2048;   // key and value buffers, terminator included
constexpr int INI_MAX_LINES = 10000;

// One key of the list: its name, its integer default and its text default.
struct INIITEM {
    std::string strKey;
    int nValue = 0;
    std::string strValue;
};

struct INIDATA {
    int nDirect3D = 0;
    int nWindowMode = 0;
    int nBpp = 0;
    int nVSync = 0;
    int nD3D_FontCache = 0;
    int nDD_FontCache = 0;
    int nDD_VideoStretch = 0;
    int nShowFps = 0;
    char szFreeStage[INI_FREESTAGE_SIZE] = {};
    int bEnglish = 0;
    int bMidi_DirectMusic = 0;
};

// The settings of this run. The rest of the program reads them under their
// own names.
extern INIDATA Ini_Data;
extern int& nDirect3D;
extern int& nWindowMode;
extern int& nBpp;
extern int& nVSync;
extern int& nD3D_FontCache;
extern int& nDD_FontCache;
extern int& nDD_VideoStretch;
extern int& nShowFps;
extern char (&szFreeStage)[INI_FREESTAGE_SIZE];
extern int& bEnglish;
extern int& bMidi_DirectMusic;

// The key list of the project's own defaults (used when a project gives none).
std::vector<INIITEM> GetStandardIniItems();

// Every setting := its item's default. Missing items leave zero / empty.
void SetIniDefault(INIDATA& ini, const std::vector<INIITEM>& items);

// Reads the settings named in the bytes of a System.ini file. 1 when the
// file ended properly (an "Exit" line or a zero byte), 0 when its end was
// reached while a key was read; the settings read so far stay either way.
int ParseSystemIni(const uint8_t* pData, size_t nSize, INIDATA& ini, const std::vector<INIITEM>& items);

// Opens the file through the file system layer; 0 when it cannot be read.
int ReadSystemIni(const char* path, INIDATA& ini, const std::vector<INIITEM>& items);

// The decimal reading of a setting: optional blanks and sign, then digits up
// to the first other character; 0 without digits. Saturates at the int range.
int ParseIniInt(const char* s);
