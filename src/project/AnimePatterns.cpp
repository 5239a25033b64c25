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
