#pragma once
// The prepared character-effect and screen-effect runs of the project's
// database: built from the database's lists (forward) and their working
// copies (reversed) when a stage starts, and again only when the database
// the play context points at has changed.
class cDatabase;

// Builds the prepared runs unless they are current for the database of the
// installed play context.
void PrepareEffectRuns();
// Builds them anew (the stage start; tests after changing the database).
void RebuildEffectRuns();
