#include "project/ReplayLog.h"

#include <climits>
#include <cstdio>
#include <memory>

#include "foundation/Path.h"
#include "foundation/Text.h"
#include "platform/FileSystem.h"
#include "project/LocalTime.h"
#include "project/Progress.h"
#include "stage/Stage.h"

namespace {

// Files of this version and older carry no progress.
constexpr uint32_t REPLAY_PROGRESS_AFTER = 172;
constexpr int REPLAY_NAME_LAST_NUMBER = 999;

template <class T>
void ReadValues(cDataFile* fp, cChkVector<T>& v) {
    int n = fp->ReadCount(sizeof(T));
    v.assign(static_cast<size_t>(n), 0);
    for (int i = 0; i < n; i++) {
        if constexpr (sizeof(T) == 2) v[static_cast<size_t>(i)] = fp->ReadI16();
        else v[static_cast<size_t>(i)] = fp->ReadI32();
    }
}

template <class T>
void WriteValues(cDataFile* fp, const cChkVector<T>& v) {
    fp->WriteI32(static_cast<int32_t>(v.size()));
    for (T x : v) {
        if constexpr (sizeof(T) == 2) fp->WriteI16(x);
        else fp->WriteI32(x);
    }
}

void RecordStream(cChkVector<int16_t>& vValue, cChkVector<int32_t>& vRun, int16_t nWord) {
    // A run that reached the largest length goes on as a new run.
    if (!vValue.empty() && vValue.back() == nWord && vRun.back() < INT32_MAX) {
        vRun.back()++;
        return;
    }
    vValue.push_back(nWord);
    vRun.push_back(1);
}

bool StreamConsistent(const cChkVector<int16_t>& vValue, const cChkVector<int32_t>& vRun) {
    if (vValue.size() != vRun.size()) return false;
    for (int32_t n : vRun)
        if (n < 1) return false;
    return true;
}

// The settings part of stage, as the stage loader gives it to the header.
void CopyStageHeader(cStage& header, const cStage& stage) {
    header.CopyFields(stage);
    header.m_vBackground = stage.m_vBackground;
    header.m_vStageVarName = stage.m_vStageVarName;
    for (int i = 0; i < STAGE_ERASE_AREAS; i++) header.m_aEraseArea[i] = stage.m_aEraseArea[i];
    header.m_vTallyFlag = stage.m_vTallyFlag;
    header.m_vBlockPlace.clear();
    header.m_vCharaPlace.clear();
    header.m_vItemPlace.clear();
    header.m_vBlockPalette.clear();
    header.m_vCharaPalette.clear();
    header.m_vItemPalette.clear();
}

}  // namespace

cReplayLog::cReplayLog() { Clear(); }

void cReplayLog::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_nSeed);
}

void cReplayLog::Clear() {
    cRecord::Clear();
    m_vDirLog.clear();
    m_vButtonLog.clear();
    m_vDirRunLen.clear();
    m_vButtonRunLen.clear();
    m_nFileVersion = 0;
    RewindPlayback();
}

void cReplayLog::Copy(const cReplayLog& src) {
    if (this == &src) return;
    m_nSeed = src.m_nSeed;
    m_vDirLog = src.m_vDirLog;
    m_vButtonLog = src.m_vButtonLog;
    m_vDirRunLen = src.m_vDirRunLen;
    m_vButtonRunLen = src.m_vButtonRunLen;
    m_nFileVersion = src.m_nFileVersion;
}

void cReplayLog::RewindPlayback() {
    m_nPlayDir = m_nPlayButton = 0;
    m_nRunDir = m_nRunButton = 0;
}

void cReplayLog::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadValues(fp, m_vDirLog);
    ReadValues(fp, m_vButtonLog);
    ReadValues(fp, m_vDirRunLen);
    ReadValues(fp, m_vButtonRunLen);
    if (!IsConsistent()) fp->Fail();
    RewindPlayback();
}

void cReplayLog::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteValues(fp, m_vDirLog);
    WriteValues(fp, m_vButtonLog);
    WriteValues(fp, m_vDirRunLen);
    WriteValues(fp, m_vButtonRunLen);
}

bool cReplayLog::IsConsistent() const {
    return StreamConsistent(m_vDirLog, m_vDirRunLen) && StreamConsistent(m_vButtonLog, m_vButtonRunLen);
}

void cReplayLog::RecordFrame(int16_t nDir, int16_t nButton) {
    RecordStream(m_vDirLog, m_vDirRunLen, nDir);
    RecordStream(m_vButtonLog, m_vButtonRunLen, nButton);
}

int cReplayLog::PlayFrame(int16_t aWords[2]) {
    if (m_nPlayDir < 0 || m_nPlayButton < 0 || static_cast<size_t>(m_nPlayDir) >= m_vDirLog.size() ||
        static_cast<size_t>(m_nPlayButton) >= m_vButtonLog.size() ||
        static_cast<size_t>(m_nPlayDir) >= m_vDirRunLen.size() ||
        static_cast<size_t>(m_nPlayButton) >= m_vButtonRunLen.size())
        return 1;
    aWords[0] = m_vDirLog[static_cast<size_t>(m_nPlayDir)];
    if (++m_nRunDir >= m_vDirRunLen[static_cast<size_t>(m_nPlayDir)]) {
        m_nRunDir = 0;
        m_nPlayDir++;
    }
    aWords[1] = m_vButtonLog[static_cast<size_t>(m_nPlayButton)];
    if (++m_nRunButton >= m_vButtonRunLen[static_cast<size_t>(m_nPlayButton)]) {
        m_nRunButton = 0;
        m_nPlayButton++;
    }
    return 0;
}

int cReplayLog::SaveReplayFile(const char* path, cStage& stage, cStage& header, cProgress& progress) {
    cDataFile* fp = CreateDataFile(path);
    if (!fp) return 0;
    stage.SaveReplaySnapshot(fp, header);
    Write(fp);
    progress.Write(fp);
    return CloseDataFile(fp);
}

int LoadReplayFile(cReplayLog& log, const char* path, cStage& stage, cStage& header, cProgress& progress,
                   cCharaData* lpHero) {
    cDataFile* fp = OpenDataFile(path);
    if (!fp) return 0;
    const uint32_t nVer = fp->Version();
    // Everything is read aside first; the live records change only when the
    // whole file was read.
    auto pStage = std::make_unique<cStage>();
    pStage->Read(fp);
    cReplayLog tmpLog;
    if (!fp->IsFailed()) tmpLog.Read(fp);
    std::unique_ptr<cProgress> pProgress;
    if (!fp->IsFailed() && VerAfter(nVer, REPLAY_PROGRESS_AFTER)) {
        // Fields an older file lacks keep the live values.
        pProgress = std::make_unique<cProgress>(progress);
        pProgress->Read(fp);
    }
    if (!CloseDataFile(fp)) return 0;
    if (!pStage->HasSaneSize() || !pStage->HasHero()) return 0;

    std::string strPath = path ? path : "";
    stage = std::move(*pStage);
    stage.m_strPath = strPath;
    stage.m_bFindLatest = 0;
    stage.m_bLoaded = 1;
    CopyStageHeader(header, stage);
    if (lpHero) *lpHero = stage.m_vCharaPlace[static_cast<size_t>(stage.FindHero())];
    log.Copy(tmpLog);
    log.m_nFileVersion = nVer;
    log.RewindPlayback();
    if (pProgress) progress = std::move(*pProgress);
    return 1;
}

std::string MakeReplayFileName(const std::string& strStageName, int nDecorate, int a, int b) {
    std::string strName = strStageName.c_str();
    if (strName.empty()) return std::string();
    StripPath(strName);
    DecorateName(strName, nDecorate, a, b);
    std::string strBase = std::string("user_data\\rpl4\\") + strName;
    RemoveExtension(strBase);
    SYSTEMTIME st = GetLocalSystemTime();
    char szTime[64];
    std::snprintf(szTime, sizeof(szTime), "__%04d__%02d_%02d__%02d_%02d", st.wYear, st.wMonth, st.wDay, st.wHour,
                  st.wMinute);
    strBase += szTime;
    const std::string strExt = std::string("rpl4_") + DATA_VERSION_TEXT;
    std::string strPath = strBase + "." + strExt;
    if (FsExists(strPath.c_str())) {
        for (int n = 2; n <= REPLAY_NAME_LAST_NUMBER; n++) {
            strPath = strBase + " (" + std::to_string(n) + ")." + strExt;
            if (n == REPLAY_NAME_LAST_NUMBER || !FsExists(strPath.c_str())) break;
        }
    }
    char szFull[MAX_PATH_SIZE];
    if (strPath.size() < sizeof(szFull)) {
        std::snprintf(szFull, sizeof(szFull), "%s", strPath.c_str());
        if (MakeFullPath(szFull)) strPath = szFull;
    }
    return strPath;
}

std::string MakeReplayFileName(const std::string& strStageName) {
    return MakeReplayFileName(strStageName, recProgress.m_nDecorate, recProgress.m_nDecorateA,
                              recProgress.m_nDecorateB);
}
