// The path table, the folder list and the default-data copy.
#include "project/Paths.h"

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

const char* const aPath[PATH_COUNT] = {
    "data\\",
    "default\\",
    "data\\stg4\\old_ver\\",
    "data\\work\\",
    "e_data\\EditConfig.dat",
    "data\\PrjOption.dat",
    "default\\PrjOption.dat",
    "data\\CommonPalette.cplt4",
    "default\\CommonPalette.cplt4",
    "data\\GValInfo.dat",
    "default\\GValInfo.dat",
    "data\\stg4\\Default.stg4_***",
    "default\\stg4\\Default.stg4_***",
    "data\\WorldMap.dat",
    "default\\WorldMap.dat",
    "data\\database\\AnimeSet.dat",
    "default\\database\\AnimeSet.dat",
    "data\\database\\Anime.dat",
    "default\\database\\Anime.dat",
    "data\\database\\Bmp_CharaExc.dat",
    "default\\database\\Bmp_CharaExc.dat",
    "data\\database\\SwordType.dat",
    "default\\database\\SwordType.dat",
    "data\\database\\Effect.dat",
    "default\\database\\Effect.dat",
    "data\\database\\CharaEffect.dat",
    "default\\database\\CharaEffect.dat",
    "data\\database\\ScrEffect.dat",
    "default\\database\\ScrEffect.dat",
    "data\\database\\Picture.dat",
    "default\\database\\Picture.dat",
    "data\\database\\Sound.dat",
    "default\\database\\Sound.dat",
    "data\\database\\Bgm.dat",
    "default\\database\\Bgm.dat",
    "data\\System.dat",
    "default\\System.dat",
    "data\\stg4\\c",
    "user_data\\story\\",
    "user_data\\challenge\\",
    "user_data\\free\\",
    "user_data\\story\\Story",
    "user_data\\challenge\\Challenge.dat",
    "user_data\\Option.dat",
    "user_data\\",
    "user_data\\KeyConfig.dat",
    "user_data\\Boot.dat",
    "user_data\\Window.dat",
};

const char* const aszExt[EXT_COUNT] = {"cplt4", "stg4", "plt4", "rkg"};

const char* const aszColorName[11] = {
    "なし", "白", "黒", "赤", "緑", "青", "黄", "赤紫", "青紫", "4色", "",
};

const char* const strStageExt = "stg4";

const char* const aszStartUpFolder[22] = {
    "user_data",       "user_data\\story", "user_data\\challenge", "user_data\\free",
    "user_data\\rpl4", "data",             "data\\database",       "data\\stg4",
    "data\\stg4\\old_ver", "data\\work",   "data\\plt4",           "bmp",
    "bmp\\back",       "bmp\\chara_sp",    "bmp\\effect",          "bmp\\picture",
    "bmp\\sword",      "bmp\\convert",     "bmp\\plt",             "bmp\\hbt",
    "wave",            "bgm",
};

const char* GetRankingFolder(int nGameMode) {
    if (nGameMode < 0 || nGameMode > 2) return nullptr;
    return aPath[PATH_RANKING_STORY + nGameMode];
}

namespace {

DEFAULTDATACOPYFN fnDefaultDataCopy = nullptr;

// The folder beside data\ that receives the copy until it is whole.
const char* const szDataTemp = "data.partial";

// "data\" without its separator, the name the copy is renamed to.
std::string FolderName(const char* pszPath) {
    std::string s = pszPath;
    while (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    return s;
}

}  // namespace

void SetDefaultDataCopyFunction(DEFAULTDATACOPYFN fn) { fnDefaultDataCopy = fn; }

int CreateDefaultData(void* hWnd) {
    (void)hWnd;  // boxes are owned by the main window through the service
    if (FsIsDirectory(aPath[PATH_DATA])) return 1;
    if (!FsIsDirectory(aPath[PATH_DEFAULT])) return 0;

    int nAnswer = GetMessageBoxService().Show(
        "データが存在しません！デフォルトデータを作成しますか？\n", "デフォルトデータ作成の確認",
        MB_YESNO | MB_ICONQUESTION);
    if (nAnswer != IDYES) return 0;

    const std::string strData = FolderName(aPath[PATH_DATA]);
    const std::string strDefault = FolderName(aPath[PATH_DEFAULT]);

    // A leftover of an interrupted earlier copy is ours to remove.
    if (FsExists(szDataTemp)) FsRemoveTree(szDataTemp);

    DEFAULTDATACOPYFN fnCopy = fnDefaultDataCopy ? fnDefaultDataCopy : &FsCopyTree;
    bool bOk = fnCopy(strDefault.c_str(), szDataTemp) && FsIsDirectory(szDataTemp);
    // Something named data may have appeared meanwhile (or be a plain file):
    // it is never replaced.
    if (bOk && FsExists(strData.c_str())) bOk = false;
    if (bOk) bOk = FsRename(szDataTemp, strData.c_str());
    if (!bOk) {
        if (FsExists(szDataTemp)) FsRemoveTree(szDataTemp);
        return 0;
    }
    return 1;
}

void CreateStartUpFolders() {
    for (const char* pszFolder : aszStartUpFolder) FsMakeDirectory(pszFolder);
}
