#include "project/SaveLeftovers.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "foundation/Log.h"
#include "foundation/Record.h"
#include "platform/FileSystem.h"
#include "project/Paths.h"

namespace {

// The player's folders: "user_data" and its story, challenge, free and
// replay folders, the first five start-up folders.
constexpr int PLAYER_FOLDERS = 5;

}  // namespace

bool IsSaveLeftoverName(const char* pszName) {
    const std::string strName = pszName ? pszName : "";
    if (!IsRecordTempName(strName)) return false;
    const std::string strTarget = strName.substr(0, strName.size() - std::strlen(RECORD_TEMP_SUFFIX));
    const size_t nDot = strTarget.rfind('.');
    if (nDot == std::string::npos || nDot == 0) return false;
    const char* pszExt = strTarget.c_str() + nDot + 1;
    return strcasecmp(pszExt, "dat") == 0 || strcasecmp(pszExt, aszExt[EXT_RKG]) == 0 ||
           strncasecmp(pszExt, "rpl4_", 5) == 0;
}

int RemoveSaveLeftovers() {
    int nRemoved = 0;
    for (int i = 0; i < PLAYER_FOLDERS; i++) {
        const std::string strFolder = aszStartUpFolder[i];
        for (const std::string& strName : FsListDirectory(strFolder.c_str())) {
            if (!IsSaveLeftoverName(strName.c_str())) continue;
            const std::string strPath = strFolder + "\\" + strName;
            if (!FsIsFile(strPath.c_str())) continue;
            if (FsRemove(strPath.c_str())) {
                WriteReport("%s : 中断された保存の一時ファイルを削除しました", strPath.c_str());
                nRemoved++;
            } else {
                WriteReport("%s : 中断された保存の一時ファイルを削除できません", strPath.c_str());
            }
        }
    }
    return nRemoved;
}
