// The project database: defaults, loading and saving of the ten list files.
#include "project/Database.h"

#include "foundation/Log.h"
#include "foundation/Text.h"
#include "project/Paths.h"

namespace {

const int anListPath[DBLIST_COUNT] = {
    PATH_ANIMESET, PATH_ANIME,       PATH_BMPCHARAEXC, PATH_SWORDTYPE, PATH_EFFECT,
    PATH_CHARAEFFECT, PATH_SCREFFECT, PATH_PICTURE,    PATH_SOUND,     PATH_BGM,
};

// Sword-type lists of files before this version hold at most 128 entries.
constexpr uint32_t SWORDTYPE_UNLIMITED_VER = 828;
constexpr size_t SWORDTYPE_OLD_LIMIT = 128;

// An entry the list read creates gets the repairs a read entry gets, so that
// the list read equals what writing it stores.
template <class T>
void NormalizeCreated(T&) {}
void NormalizeCreated(cCharaEffect& e) { e.Normalize(); }
void NormalizeCreated(cScrEffect& e) { e.Normalize(); }

// Reads one list file into a copy of the list; the list takes the copy only
// when the whole file was read. Entries already present are read over, new
// ones start as the element's default (its template).
template <class T>
int ReadListFile(const char* pszPath, cChkVector<T>& list, uint32_t* pnVer) {
    cDataFile* fp = OpenDataFile(pszPath);
    if (!fp) return 0;
    *pnVer = nFileVer;
    cChkVector<T> vRead = list;
    int n = fp->ReadCount(8);   // every body holds at least its two counts
    vRead.resize(static_cast<size_t>(n));
    for (int i = 0; i < n && !fp->IsFailed(); i++) {
        vRead[i].Read(fp);
        if (bDelCR) vRead[i].StripCR();
    }
    if (!CloseDataFile(fp)) return 0;
    list = std::move(vRead);
    // Entry 0 is the none entry that every index falls back on.
    if (list.empty()) {
        list.emplace_back();
        NormalizeCreated(list[0]);
    }
    return 1;
}

template <class T>
int WriteListFile(const char* pszPath, cChkVector<T>& list) {
    cDataFile* fp = CreateDataFile(pszPath);
    if (!fp) return 0;
    WriteRecordList(fp, list);
    return CloseDataFile(fp);
}

template <class T>
void ResetList(cChkVector<T>& list, size_t n) {
    list.clear();
    list.resize(n);
}

}  // namespace

const char* GetDatabaseListPath(int nList) {
    if (nList < 0 || nList >= DBLIST_COUNT) return "";
    return aPath[anListPath[nList]];
}

namespace {
DATALOADREPORTFN fnDataLoadReport = nullptr;
}

void SetDataLoadReporter(DATALOADREPORTFN fn) { fnDataLoadReport = fn; }

std::string FormatDataLoadFailure(const char* pszPath) {
    if (bFileVerErr)
        return FormatBounded(FORMAT_BUFFER_SIZE,
                             "%s の読み込みに失敗しました！\nソフトより上位のバージョンのファイルは使用できません。", pszPath);
    return FormatBounded(FORMAT_BUFFER_SIZE, "%s の読み込みに失敗しました！", pszPath);
}

void ReportDataLoadFailure(const char* pszPath) {
    std::string strText = FormatDataLoadFailure(pszPath);
    if (fnDataLoadReport)
        fnDataLoadReport(strText.c_str());
    else
        WriteReportErr("%s", strText.c_str());
}

void cDatabase::RegisterFields(int nVer) {
    (void)nVer;
    ClearFieldTable();
}

void cDatabase::SetDefault() {
    Clear();
    ResetList(m_vAnimeSet, 1);
    ResetList(m_vAnime, 2);
    m_vAnime[0].m_strName = "なし";
    m_vAnime[1].m_strName = "アクションA";
    ResetList(m_vBmpCharaExc, 2);
    ResetList(m_vSwordType, 1);
    ResetList(m_vEffect, 2);
    ResetList(m_vCharaEffect, 2);
    ResetList(m_vScrEffect, 2);
    ResetList(m_vPicture, 2);
    ResetList(m_vSound, 2);
    ResetList(m_vBgm, 2);
    m_vCharaEffectRev.clear();
    m_vScrEffectRev.clear();
}

int cDatabase::LoadList(int nList, const char* pszPath) {
    uint32_t nVer = 0;
    switch (nList) {
    case DBLIST_ANIMESET: return ReadListFile(pszPath, m_vAnimeSet, &nVer);
    case DBLIST_ANIME: return ReadListFile(pszPath, m_vAnime, &nVer);
    case DBLIST_BMP_CHARAEXC: return ReadListFile(pszPath, m_vBmpCharaExc, &nVer);
    case DBLIST_SWORDTYPE:
        if (!ReadListFile(pszPath, m_vSwordType, &nVer)) return 0;
        if (nVer < SWORDTYPE_UNLIMITED_VER && m_vSwordType.size() > SWORDTYPE_OLD_LIMIT)
            m_vSwordType.resize(SWORDTYPE_OLD_LIMIT);
        return 1;
    case DBLIST_EFFECT: return ReadListFile(pszPath, m_vEffect, &nVer);
    case DBLIST_CHARAEFFECT: return ReadListFile(pszPath, m_vCharaEffect, &nVer);
    case DBLIST_SCREFFECT: return ReadListFile(pszPath, m_vScrEffect, &nVer);
    case DBLIST_PICTURE: return ReadListFile(pszPath, m_vPicture, &nVer);
    case DBLIST_SOUND: return ReadListFile(pszPath, m_vSound, &nVer);
    case DBLIST_BGM: return ReadListFile(pszPath, m_vBgm, &nVer);
    default: return 0;
    }
}

int cDatabase::SaveList(int nList, const char* pszPath) {
    switch (nList) {
    case DBLIST_ANIMESET: return WriteListFile(pszPath, m_vAnimeSet);
    case DBLIST_ANIME: return WriteListFile(pszPath, m_vAnime);
    case DBLIST_BMP_CHARAEXC: return WriteListFile(pszPath, m_vBmpCharaExc);
    case DBLIST_SWORDTYPE: return WriteListFile(pszPath, m_vSwordType);
    case DBLIST_EFFECT: return WriteListFile(pszPath, m_vEffect);
    case DBLIST_CHARAEFFECT: return WriteListFile(pszPath, m_vCharaEffect);
    case DBLIST_SCREFFECT: return WriteListFile(pszPath, m_vScrEffect);
    case DBLIST_PICTURE: return WriteListFile(pszPath, m_vPicture);
    case DBLIST_SOUND: return WriteListFile(pszPath, m_vSound);
    case DBLIST_BGM: return WriteListFile(pszPath, m_vBgm);
    default: return 0;
    }
}

int cDatabase::LoadFiles() {
    for (int i = 0; i < DBLIST_COUNT; i++) {
        const char* pszPath = GetDatabaseListPath(i);
        if (!LoadList(i, pszPath)) {
            ReportDataLoadFailure(pszPath);
            return 0;
        }
    }
    // The none entries never apply an effect, whatever the files hold.
    m_vCharaEffect[0].m_nKind = 0;
    m_vScrEffect[0].m_nKind = 0;
    return 1;
}

int cDatabase::SaveFiles() {
    for (int i = 0; i < DBLIST_COUNT; i++)
        if (!SaveList(i, GetDatabaseListPath(i))) return 0;
    return 1;
}

int cDatabase::GetListCount(int nList) const {
    switch (nList) {
    case DBLIST_ANIMESET: return static_cast<int>(m_vAnimeSet.size());
    case DBLIST_ANIME: return static_cast<int>(m_vAnime.size());
    case DBLIST_BMP_CHARAEXC: return static_cast<int>(m_vBmpCharaExc.size());
    case DBLIST_SWORDTYPE: return static_cast<int>(m_vSwordType.size());
    case DBLIST_EFFECT: return static_cast<int>(m_vEffect.size());
    case DBLIST_CHARAEFFECT: return static_cast<int>(m_vCharaEffect.size());
    case DBLIST_SCREFFECT: return static_cast<int>(m_vScrEffect.size());
    case DBLIST_PICTURE: return static_cast<int>(m_vPicture.size());
    case DBLIST_SOUND: return static_cast<int>(m_vSound.size());
    case DBLIST_BGM: return static_cast<int>(m_vBgm.size());
    default: return 0;
    }
}

void cDatabase::CopyEffectLists() {
    m_vCharaEffectRev.resize(m_vCharaEffect.size());
    for (size_t i = 0; i < m_vCharaEffect.size(); i++) m_vCharaEffectRev[i] = m_vCharaEffect[i];
    m_vScrEffectRev.resize(m_vScrEffect.size());
    for (size_t i = 0; i < m_vScrEffect.size(); i++) m_vScrEffectRev[i] = m_vScrEffect[i];
}
