#include "project/SaveSlots.h"

#include <cstdio>

#include "foundation/Log.h"
#include "platform/FileSystem.h"
#include "project/Paths.h"
#include "project/PlayerFiles.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"

namespace {

// Lives as the settings now give them (they may have changed since the
// save); nEntry is the play mode's entry of the lives lists.
void RepairLives(cProgress& prog, int nEntry) {
    if (recSystem.m_vLifeInfinite.IsValid(nEntry) && recSystem.m_vLifeInfinite[static_cast<size_t>(nEntry)]) {
        prog.m_nLifeStart = prog.m_nLife = LIFE_UNLIMITED;
    } else if (prog.m_nLife == LIFE_UNLIMITED) {
        prog.m_nLife = recSystem.m_vLife.IsValid(nEntry) ? recSystem.m_vLife[static_cast<size_t>(nEntry)] : 0;
    }
}

}  // namespace

void cSaveSlotInfo::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_bExist);
}

bool IsValidSlot(int nSlot) { return nSlot >= 0 && nSlot < SAVE_SLOT_COUNT; }

std::string MakeSlotPath(int nSlot) {
    if (!IsValidSlot(nSlot)) return std::string();
    char szNum[8];
    std::snprintf(szNum, sizeof(szNum), "%02d", nSlot + 1);
    return std::string(aPath[PATH_STORY_SLOT]) + szNum + ".dat";
}

void ScanSaveSlots(cChkVector<cSaveSlotInfo>& list) {
    for (size_t i = 0; i < list.size(); i++) {
        cSaveSlotInfo& info = list[i];
        info.m_stSaveTime = SYSTEMTIME();
        std::string strPath = MakeSlotPath(static_cast<int>(i));
        bFileVerErr = 0;
        cDataFile* fp = strPath.empty() ? nullptr : OpenDataFile(strPath.c_str());
        if (!fp) {
            if (bFileVerErr) info.m_nState = SLOTSTATE_NEWER;
            else if (!strPath.empty() && FsIsFile(strPath.c_str())) info.m_nState = SLOTSTATE_DAMAGED;
            else info.m_nState = SLOTSTATE_EMPTY;
            info.m_bExist = info.m_nState == SLOTSTATE_DAMAGED ? 1 : 0;
            bFileVerErr = 0;
            continue;
        }
        cProgress tmp;
        tmp.Read(fp);
        bool bRead = CloseDataFile(fp) != 0;
        info.m_bExist = 1;
        info.m_nState = bRead ? SLOTSTATE_SAVED : SLOTSTATE_DAMAGED;
        info.m_stSaveTime = tmp.m_stSaveTime;
    }
}

int cProgress::SaveToSlot(int nSlot) {
    std::string strPath = MakeSlotPath(nSlot);
    if (strPath.empty()) return 0;
    SYSTEMTIME stOld = m_stSaveTime;
    m_stSaveTime = GetLocalSystemTime();
    if (!Save(strPath.c_str())) {
        WriteReport("%s の保存に失敗しました！", strPath.c_str());
        m_stSaveTime = stOld;
        return 0;
    }
    if (vecSaveSlot.IsValid(nSlot)) {
        cSaveSlotInfo& info = vecSaveSlot[static_cast<size_t>(nSlot)];
        info.m_bExist = 1;
        info.m_nState = SLOTSTATE_SAVED;
        info.m_stSaveTime = m_stSaveTime;
    }
    return 1;
}

int cProgress::LoadFromSlot(int nSlot) {
    std::string strPath = MakeSlotPath(nSlot);
    if (strPath.empty()) return 0;
    if (!Load(strPath.c_str())) {
        WriteReport("%s の読み込みに失敗しました！", strPath.c_str());
        return 0;
    }
    RepairLives(*this, 0);
    m_nSaveSlot = nSlot;
    return 1;
}

int cProgress::LoadChallenge(int* pnFileState) {
    const int nPrevErr = bFileVerErr;
    bFileVerErr = 0;
    const int r = Load(aPath[PATH_CHALLENGE_FILE]);
    if (pnFileState)
        *pnFileState = r ? PLAYERFILE_READABLE : PlayerFileStateAfterFailedLoad(aPath[PATH_CHALLENGE_FILE], bFileVerErr);
    bFileVerErr |= nPrevErr;
    if (!r) return 0;
    RepairLives(*this, 1);
    return 1;
}

int cProgress::SaveChallenge() {
    if (Save(aPath[PATH_CHALLENGE_FILE])) return 1;
    WriteReport("%s の保存に失敗しました！", aPath[PATH_CHALLENGE_FILE]);
    return 0;
}
