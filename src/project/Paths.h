#pragma once
// The project's path table, file-name extensions and colour names, the
// folders made at start-up, and the rebuilding of a missing data folder from
// the pristine copy in default\.
#include <string>

// Indices into aPath.
enum PATHINDEX : int {
    PATH_DATA = 0,
    PATH_DEFAULT = 1,
    PATH_STG_OLDVER = 2,
    PATH_WORK = 3,
    PATH_EDITCONFIG = 4,
    PATH_PRJOPTION = 5,
    PATH_PRJOPTION_DEF = 6,
    PATH_COMMONPALETTE = 7,
    PATH_COMMONPALETTE_DEF = 8,
    PATH_GVALINFO = 9,
    PATH_GVALINFO_DEF = 10,
    PATH_DEFAULTSTAGE = 11,
    PATH_DEFAULTSTAGE_DEF = 12,
    PATH_WORLDMAP = 13,
    PATH_WORLDMAP_DEF = 14,
    PATH_ANIMESET = 15,        // the ten database lists, each followed by its default\ twin
    PATH_ANIME = 17,
    PATH_BMPCHARAEXC = 19,
    PATH_SWORDTYPE = 21,
    PATH_EFFECT = 23,
    PATH_CHARAEFFECT = 25,
    PATH_SCREFFECT = 27,
    PATH_PICTURE = 29,
    PATH_SOUND = 31,
    PATH_BGM = 33,
    PATH_SYSTEM = 35,
    PATH_SYSTEM_DEF = 36,
    PATH_CHALLENGE_STAGE = 37,
    PATH_RANKING_STORY = 38,   // ranking folder of play mode m is 38 + m (modes 0..2)
    PATH_RANKING_CHALLENGE = 39,
    PATH_RANKING_FREE = 40,
    PATH_STORY_SLOT = 41,
    PATH_CHALLENGE_FILE = 42,
    PATH_OPTION = 43,
    PATH_USERDATA = 44,
    PATH_KEYCONFIG = 45,
    PATH_BOOT = 46,
    PATH_WINDOW = 47,
    PATH_COUNT = 48,
};

// Indices into aszExt.
enum EXTINDEX : int { EXT_CPLT = 0, EXT_STG = 1, EXT_PLT = 2, EXT_RKG = 3, EXT_COUNT = 4 };

extern const char* const aPath[PATH_COUNT];
extern const char* const aszExt[EXT_COUNT];
extern const char* const aszColorName[11];   // last entry is the empty terminator
extern const char* const strStageExt;        // "stg4"

// The folders that start-up makes (after CreateDefaultData succeeded).
extern const char* const aszStartUpFolder[22];

// The ranking folder of a play mode (0..2); null for any other mode.
const char* GetRankingFolder(int nGameMode);

// 1 when data\ is usable: it exists already, or default\ exists and, after
// the player agreed, was copied whole into data\. The copy goes to a
// temporary folder beside data\ that is renamed only when complete; a failed
// copy removes only that temporary folder. The yes/no question goes through
// the message-box service.
int CreateDefaultData(void* hWnd);

// Makes the start-up folders; a folder that cannot be made is ignored.
void CreateStartUpFolders();

// The copy used by CreateDefaultData; tests replace it to simulate a
// failing copy (null restores FsCopyTree).
using DEFAULTDATACOPYFN = bool (*)(const char* pszFrom, const char* pszTo);
void SetDefaultDataCopyFunction(DEFAULTDATACOPYFN fn);
