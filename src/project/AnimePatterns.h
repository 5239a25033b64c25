#pragma once
// The step-pattern tables built from the database at start-up: one pattern
// per animation (for the characters' animation commands) and one per effect
// (for the effect animations). Built once after the database is loaded,
// read-only afterwards.
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
