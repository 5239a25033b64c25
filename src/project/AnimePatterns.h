#pragma once
// The step-pattern tables built from the database at start-up: one pattern
// per animation (for the characters' animation commands) and one per effect
// (for the effect animations). Built after the database is loaded and again
// at every stage set-up.
#include "foundation/ChkContainers.h"
#include "graphics/AnimPattern.h"

using ANIMPATTERNTABLE = cChkVector<cChkVector<ANIMSTEP>>;

class cDatabase;

extern ANIMPATTERNTABLE vecAnimePattern;
extern ANIMPATTERNTABLE vecEffectPattern;

void BuildAnimePatterns(ANIMPATTERNTABLE& patterns);
void BuildEffectPatterns(ANIMPATTERNTABLE& patterns);
// The same from a given database.
void BuildAnimePatterns(const cDatabase& db, ANIMPATTERNTABLE& patterns);
void BuildEffectPatterns(const cDatabase& db, ANIMPATTERNTABLE& patterns);

// The two tables for the database play reads. A stage set-up rebuilds both,
// since the database installed may have changed since the last one (two
// databases with lists of the same length must not share patterns); between
// set-ups a table sized for another list is rebuilt on use.
void RebuildPatterns(const cDatabase& db);
const ANIMPATTERNTABLE& AnimePatternsFor(const cDatabase& db);
const ANIMPATTERNTABLE& EffectPatternsFor(const cDatabase& db);
