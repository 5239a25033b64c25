#include "project/Ranking.h"

#include <memory>

#include "foundation/Path.h"
#include "project/Paths.h"
#include "project/PlayerFiles.h"
#include "project/Progress.h"

namespace {

// Files of this version and older hold three tables: they are read as five.
constexpr uint32_t RANKING_THREE_TABLES_UPTO = 180;
const int anDefaultHigher[RANKING_TABLES] = {1, 1, 0, 1, 1};

}  // namespace

int DefaultRankHigher(int nKind) {
    return nKind >= 0 && nKind < RANKING_TABLES ? anDefaultHigher[nKind] : 1;
}

void cRankEntry::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_bUse);
    AddField4(&m_nScore);
    AddString(&m_strName);
}

cRankTable::cRankTable(int bHigher) {
    Clear();
    m_bHigher = bHigher;
    m_vEntry.assign(RANKING_PLACES, cRankEntry());
}

void cRankTable::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
    AddField4(&m_bHigher);
}

void cRankTable::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vEntry);
}

void cRankTable::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteRecordList(fp, m_vEntry);
}

int cRankTable::FindRank(int32_t nScore) const {
    for (size_t i = 0; i < m_vEntry.size(); i++) {
        const cRankEntry& e = m_vEntry[i];
        if (!e.m_bUse) return static_cast<int>(i);
        if (m_bHigher ? nScore > e.m_nScore : nScore < e.m_nScore) return static_cast<int>(i);
    }
    return -1;
}

void cRankTable::Insert(const std::string& strName, int32_t nScore) {
    if (m_vEntry.empty()) return;
    int p = FindRank(nScore);
    if (p < 0) return;   // it would drop out at once
    cRankEntry e;
    e.m_bUse = 1;
    e.m_nScore = nScore;
    e.m_strName = strName;
    m_vEntry.insert(m_vEntry.begin() + p, std::move(e));
    m_vEntry.pop_back();
}

void cRanking::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
}

void cRanking::Reset() {
    m_vTable.clear();
    for (int k = 0; k < RANKING_TABLES; k++) m_vTable.emplace_back(anDefaultHigher[k]);
}

void cRanking::Read(cDataFile* fp) {
    cRecord::Read(fp);
    ReadRecordList(fp, m_vTable);
    if (fp->IsFailed() || nFileVer > RANKING_THREE_TABLES_UPTO) return;
    if (m_vTable.size() > RANKING_TABLES) m_vTable.resize(RANKING_TABLES);
    for (int k = static_cast<int>(m_vTable.size()); k < RANKING_TABLES; k++) m_vTable.emplace_back(anDefaultHigher[k]);
    m_vTable[3].m_bHigher = 1;
    m_vTable[4].m_bHigher = 1;
}

void cRanking::Write(cDataFile* fp) {
    cRecord::Write(fp);
    WriteRecordList(fp, m_vTable);
}

cRankTable* cRanking::GetTable(int nKind) {
    return m_vTable.IsValid(nKind) ? &m_vTable[static_cast<size_t>(nKind)] : nullptr;
}

const cRankTable* cRanking::GetTable(int nKind) const {
    return m_vTable.IsValid(nKind) ? &m_vTable[static_cast<size_t>(nKind)] : nullptr;
}

int cRanking::FindRank(int nKind, int32_t nScore) const {
    const cRankTable* t = GetTable(nKind);
    return t ? t->FindRank(nScore) : -1;
}

std::string MakeRankingPath(int nMode, const std::string& strStage, int nDecorate, int a, int b) {
    const char* pszFolder = GetRankingFolder(nMode);
    std::string strName = strStage.c_str();
    if (!pszFolder || strName.empty()) return std::string();
    StripPath(strName);
    if (nMode == 0) DecorateName(strName, nDecorate, a, b);
    return std::string(pszFolder) + strName + aszExt[EXT_RKG];
}

int cRanking::LoadFor(int nMode, const std::string& strStage, int nDecorate, int a, int b) {
    std::string strPath = MakeRankingPath(nMode, strStage, nDecorate, a, b);
    const int nPrevErr = bFileVerErr;
    bFileVerErr = 0;
    const int r = strPath.empty() ? 0 : Load(strPath.c_str());
    m_nFileState = r ? PLAYERFILE_READABLE : PlayerFileStateAfterFailedLoad(strPath.c_str(), bFileVerErr);
    bFileVerErr |= nPrevErr;
    if (!r) Reset();
    return r;
}

int cRanking::Load(const char* path) {
    auto pRead = std::make_unique<cRanking>();
    if (!pRead->cRecord::Load(path)) return 0;
    m_vTable = std::move(pRead->m_vTable);
    return 1;
}

int cRanking::SaveFor(int nMode, const std::string& strStage, int nDecorate, int a, int b) {
    std::string strPath = MakeRankingPath(nMode, strStage, nDecorate, a, b);
    if (strPath.empty()) return 0;
    if (!MayReplacePlayerFile(strPath, m_nFileState)) return RANKING_KEPT;
    if (!Save(strPath.c_str())) return 0;
    m_nFileState = PLAYERFILE_READABLE;
    return 1;
}
