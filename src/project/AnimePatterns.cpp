#include "project/AnimePatterns.h"

#include "project/Database.h"
#include "project/ProjectContext.h"

ANIMPATTERNTABLE vecAnimePattern;
ANIMPATTERNTABLE vecEffectPattern;

void BuildAnimePatterns(const cDatabase& db, ANIMPATTERNTABLE& patterns) {
    BuildAnimePatternsFrom<ANIMSTEP>(db, patterns);
}

void BuildEffectPatterns(const cDatabase& db, ANIMPATTERNTABLE& patterns) {
    BuildEffectPatternsFrom<ANIMSTEP>(db, patterns);
}

void BuildAnimePatterns(ANIMPATTERNTABLE& patterns) { BuildAnimePatterns(recDatabase, patterns); }
void BuildEffectPatterns(ANIMPATTERNTABLE& patterns) { BuildEffectPatterns(recDatabase, patterns); }

namespace {
// The database each table was last built from.
const cDatabase* s_pAnimeDb = nullptr;
const cDatabase* s_pEffectDb = nullptr;
}  // namespace

void RebuildPatterns(const cDatabase& db) {
    BuildAnimePatterns(db, vecAnimePattern);
    BuildEffectPatterns(db, vecEffectPattern);
    s_pAnimeDb = s_pEffectDb = &db;
}

const ANIMPATTERNTABLE& AnimePatternsFor(const cDatabase& db) {
    if (s_pAnimeDb != &db || vecAnimePattern.size() != db.m_vAnime.size()) {
        BuildAnimePatterns(db, vecAnimePattern);
        s_pAnimeDb = &db;
    }
    return vecAnimePattern;
}

const ANIMPATTERNTABLE& EffectPatternsFor(const cDatabase& db) {
    if (s_pEffectDb != &db || vecEffectPattern.size() != db.m_vEffect.size()) {
        BuildEffectPatterns(db, vecEffectPattern);
        s_pEffectDb = &db;
    }
    return vecEffectPattern;
}
