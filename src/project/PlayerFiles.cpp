#include "project/PlayerFiles.h"

#include <map>
#include <mutex>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "foundation/Text.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "project/SystemIni.h"

namespace {

std::mutex mtxAnswers;
std::map<std::string, bool> mapAnswers;   // path -> the player's answer

}  // namespace

int PlayerFileStateAfterFailedLoad(const char* pszPath, int bNewer) {
    if (bNewer) return PLAYERFILE_NEWER;
    if (pszPath && *pszPath && FsIsFile(pszPath)) return PLAYERFILE_DAMAGED;
    return PLAYERFILE_MISSING;
}

bool AskReplacePlayerFile(const std::string& strPath, int nState) {
    if (!IsKeptPlayerFile(nState)) return true;
    const bool bNewer = nState == PLAYERFILE_NEWER;
    std::string strText;
    if (bEnglish) {
        strText = FormatBounded(1024,
                                bNewer ? "%s was saved by a newer version of this software.\n"
                                         "Overwriting it loses what it holds. Overwrite it?"
                                       : "%s is damaged and cannot be read.\n"
                                         "Overwriting it loses what is left of it. Overwrite it?",
                                strPath.c_str());
    } else {
        strText = FormatBounded(1024,
                                bNewer ? "%s は新しいバージョンのソフトで保存されたファイルです。\n"
                                         "上書きすると元に戻せません。上書きしますか？"
                                       : "%s は壊れているため読み込めません。\n"
                                         "上書きすると元に戻せません。上書きしますか？",
                                strPath.c_str());
    }
    const char* pszCaption = bEnglish ? "Overwrite confirmation" : "上書きの確認";
    WriteReport("%s : %s", strPath.c_str(), bNewer ? "新しいバージョンのファイルです。上書きの確認" : "壊れたファイルです。上書きの確認");
    const int nAnswer = ShowMesBox(strText.c_str(), pszCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    const bool bYes = nAnswer == IDYES;
    WriteReport("%s : %s", strPath.c_str(),
                bYes ? "上書きの許可を得ました" : "上書きせずに残します");
    return bYes;
}

bool MayReplacePlayerFile(const std::string& strPath, int nState) {
    if (!IsKeptPlayerFile(nState)) return true;
    {
        std::lock_guard<std::mutex> lock(mtxAnswers);
        auto it = mapAnswers.find(strPath);
        if (it != mapAnswers.end()) return it->second;
    }
    const bool bYes = AskReplacePlayerFile(strPath, nState);
    std::lock_guard<std::mutex> lock(mtxAnswers);
    mapAnswers[strPath] = bYes;
    return bYes;
}

void ForgetPlayerFileAnswers() {
    std::lock_guard<std::mutex> lock(mtxAnswers);
    mapAnswers.clear();
}
