#pragma once
// The project database: ten lists of shared resources that every stage
// refers to by index, each read from its own file under data\database\.
//
// A list file is the version word, an int32 count and that many element
// bodies. Every list keeps at least its entry 0 (the none entry), whatever
// the file holds; the character-effect and screen-effect lists also keep
// working copies (filled by the start-up loader) from which the reverse runs
// are prepared.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"
#include "project/AnimeRecords.h"
#include "project/EffectRecords.h"
#include "project/MediaRecords.h"
#include "project/SwordType.h"
#include "stage/StageContext.h"

// The ten list files, in loading order, are numbered by the stage
// context's list numbers (DBLIST_ANIMESET .. DBLIST_BGM).

class cDatabase : public cRecord {
public:
    cDatabase() { SetDefault(); }
    void RegisterFields(int nVer) override;

    void SetDefault();

    // Reads the ten files in list order. 1 when all were read; 0 at the first
    // that cannot be opened, is newer than the program or is damaged, after
    // reporting it (that list and the later ones keep their contents).
    int LoadFiles();
    // Writes the ten files (each to a temporary file renamed over the
    // target). 1 when all were written.
    int SaveFiles();

    // Reads or writes one list file; nList is a DBLIST. LoadList reports
    // nothing; a failure leaves the list as it was.
    int LoadList(int nList, const char* pszPath);
    int SaveList(int nList, const char* pszPath);

    // Number of entries of a list (0 for a bad number).
    int GetListCount(int nList) const;

    // Makes the working copies of the character-effect and screen-effect
    // lists (done by the start-up loader after loading).
    void CopyEffectLists();

    cChkVector<cAnimeSet> m_vAnimeSet;
    cChkVector<cAnime> m_vAnime;
    cChkVector<cBmpCharaExc> m_vBmpCharaExc;
    cChkVector<cSwordType> m_vSwordType;
    cChkVector<cEffect> m_vEffect;
    cChkVector<cCharaEffect> m_vCharaEffect;
    cChkVector<cScrEffect> m_vScrEffect;
    cChkVector<cPicture> m_vPicture;
    cChkVector<cSound> m_vSound;
    cChkVector<cBgm> m_vBgm;
    cChkVector<cCharaEffect> m_vCharaEffectRev;
    cChkVector<cScrEffect> m_vScrEffectRev;
};

// The data path of a list file (the path table's entry).
const char* GetDatabaseListPath(int nList);

// Reports a data file that failed to load, with the newer-version text when
// the file was refused for its version.
void ReportDataLoadFailure(const char* pszPath);
std::string FormatDataLoadFailure(const char* pszPath);
// Replaces the report (log and error box) of load failures, for tools and
// tests; null restores it.
using DATALOADREPORTFN = void (*)(const char* pszText);
void SetDataLoadReporter(DATALOADREPORTFN fn);

// Step patterns of the animation sequencer, one per animation (or effect).
// Entry 0 gets zero-length locked steps and loops; every other entry ends on
// the end code -4. Frame times are 1/10 s, steps count ticks (x 6). The step
// type is the sequencer's (frame, time, lock).
template <class STEP, class PATTERNS>
void BuildAnimePatternsFrom(const cDatabase& db, PATTERNS& patterns);
template <class STEP, class PATTERNS>
void BuildEffectPatternsFrom(const cDatabase& db, PATTERNS& patterns);

namespace database_detail {
template <class STEP, class PATTERNS, class LIST, class LOCK>
void BuildPatterns(const LIST& list, PATTERNS& patterns, LOCK lock) {
    patterns.clear();
    patterns.resize(list.size());
    for (size_t i = 0; i < list.size(); i++) {
        const auto& vFrame = list[i].m_vFrame;
        auto& steps = patterns[i];
        steps.clear();
        steps.resize(vFrame.size() + 1);
        bool bLocked = false;
        for (size_t k = 0; k < vFrame.size(); k++) {
            STEP& step = steps[k];
            step.nFrame = vFrame[k].m_nCell < 0 ? 0 : vFrame[k].m_nCell;
            int64_t nTicks = static_cast<int64_t>(vFrame[k].m_nTime) * 6;
            if (nTicks < 0) nTicks = 0;
            if (nTicks > INT32_MAX) nTicks = INT32_MAX;
            if (i == 0) {
                step.nTime = 0;
                step.bLock = 1;
            } else {
                if (lock(vFrame[k])) bLocked = true;
                step.nTime = static_cast<int>(nTicks);
                step.bLock = bLocked ? 1 : 0;
            }
        }
        STEP& last = steps[vFrame.size()];
        if (i == 0) {
            last.nFrame = -2;
            last.nTime = 0;
            last.bLock = 1;
        } else {
            last.nFrame = -4;
            last.nTime = 0;
            last.bLock = 0;
        }
    }
}
}  // namespace database_detail

template <class STEP, class PATTERNS>
void BuildAnimePatternsFrom(const cDatabase& db, PATTERNS& patterns) {
    database_detail::BuildPatterns<STEP>(db.m_vAnime, patterns,
                                         [](const cAnimeFrame& f) { return f.m_bLock != 0; });
}

template <class STEP, class PATTERNS>
void BuildEffectPatternsFrom(const cDatabase& db, PATTERNS& patterns) {
    database_detail::BuildPatterns<STEP>(db.m_vEffect, patterns, [](const cEffectFrame&) { return false; });
}

// The prepared effect runs: element i of runs prepared forward from entry i
// of the character-effect (screen-effect) list, element i of runs2 in reverse
// from entry i of its working copy, through the run object's Init(i, bReverse).
// The run objects belong to the play code; new ones start zeroed.
template <class RUN, class RUNS>
void BuildEffectRunsFor(int nCount, RUNS& runs, RUNS& runs2) {
    runs.clear();
    runs2.clear();
    runs.resize(static_cast<size_t>(nCount));
    runs2.resize(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; i++) {
        runs[i].Init(i, 0);
        runs2[i].Init(i, 1);
    }
}
template <class RUN, class RUNS>
void BuildCharaEffectRunsFrom(const cDatabase& db, RUNS& runs, RUNS& runs2) {
    BuildEffectRunsFor<RUN>(static_cast<int>(db.m_vCharaEffect.size()), runs, runs2);
}
template <class RUN, class RUNS>
void BuildScrEffectRunsFrom(const cDatabase& db, RUNS& runs, RUNS& runs2) {
    BuildEffectRunsFor<RUN>(static_cast<int>(db.m_vScrEffect.size()), runs, runs2);
}
