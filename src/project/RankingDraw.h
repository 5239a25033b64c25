#pragma once
// The ranking window of a table and the stage-result tally window.
#include <cstdint>

#include "project/Ranking.h"

struct DDSURFACEDATA;

// The window of table kind nKind of a ranking at (x, y), 270 x 350 dots;
// nRow highlights a place (-1 none). nMode is the play mode whose ranking
// kinds decide the footer.
void DrawRankTable(DDSURFACEDATA* pSurface, int x, int y, const cRankTable& table, int nKind, int nRow, int nMode);
void DrawRanking(DDSURFACEDATA* pSurface, int x, int y, const cRanking& ranking, int nKind, int nRow, int nMode);
// The tally window of a cleared stage: the tallies the stage and the mode
// show, with the places reached (-1 none) pointed out.
void DrawResultWindow(DDSURFACEDATA* pSurface, int x, int y, const int32_t* pnValue, const int* pnPosition,
                      int nMode);
