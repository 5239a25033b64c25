#include "project/RankingDraw.h"

#include <algorithm>
#include <string>

#include "foundation/Text.h"
#include "graphics/DDBlt.h"
#include "graphics/ImageSurfaces.h"
#include "project/GameFonts.h"
#include "project/GameState.h"
#include "project/NumberText.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/SystemIni.h"
#include "stage/Stage.h"

namespace {

constexpr int SYSTEXT_RANK_LABEL = 5;    // 5..9: the labels of the kinds
constexpr int SYSTEXT_RANK_FOOTER = 25;
constexpr int RANKKIND_CLEARTIME = 2;

// The text font's picture letters are off while names and English texts are
// drawn, and on again afterwards (only touched when the project uses them).
class cPlainLetters {
public:
    cPlainLetters() : m_bTouch(recSystem.m_bSymbolLetters != 0) {
        if (m_bTouch) aFont[1].m_bSymbolLetters = 0;
    }
    ~cPlainLetters() {
        if (m_bTouch) aFont[1].m_bSymbolLetters = 1;
    }

private:
    bool m_bTouch;
};

void DrawCursorMark(DDSURFACEDATA* pSurface, int x, int y) {
    DDBlt(pSurface, x, y, 16, 16, &Off_Img[IMAGE_SLOT_ACCESSORY], 16, 48, DDBLT_KEY);
}

}  // namespace

void DrawRankTable(DDSURFACEDATA* pSurface, int x, int y, const cRankTable& table, int nKind, int nRow, int nMode) {
    cFont& font = aFont[1];
    font.DrawWindow(pSurface, x + 1, y + 1, 270, 350);
    const char* pszLabel = recSystem.GetSysText(SYSTEXT_RANK_LABEL + nKind);
    if (bEnglish) {
        cPlainLetters plain;
        font.Printf(pSurface, x, y, "Ranking     %s", pszLabel);
    } else {
        font.Printf(pSurface, x, y, "ランキング    %s", pszLabel);
    }
    int nPlaces = static_cast<int>(table.m_vEntry.size());
    int nDigits = nKind == RANKKIND_CLEARTIME ? 8 : (nPlaces > 0 ? GetDigitCount(table.m_vEntry.At(0).m_nScore) : 1);
    for (int i = 0; i < nPlaces; i++) {
        const cRankEntry& e = table.m_vEntry.At(i);
        if (!e.m_bUse) continue;
        int yi = y + 16 * (i + 1);
        font.Printf(pSurface, x + 16, yi, "%d", i + 1);
        {
            cPlainLetters plain;
            font.Printf(pSurface, x + 64, yi, "%s", e.m_strName.c_str());
        }
        if (nKind == RANKKIND_CLEARTIME) {
            font.Printf(pSurface, x + 144, yi, "%s", FormatTime(e.m_nScore).c_str());
        } else {
            int64_t nCol = static_cast<int64_t>(nDigits) - (GetDigitCount(e.m_nScore) - 1) + 8;
            font.Printf(pSurface, static_cast<int>(x + nCol * 16), yi, "%d", e.m_nScore);
        }
    }
    if (recSystem.CountRankingKinds(nMode) > 1) {
        const char* pszFooter = recSystem.GetSysText(SYSTEXT_RANK_FOOTER);
        font.Printf(pSurface, x + 136 - 8 * GetCharCount(pszFooter), y + 16 * (nPlaces + 1), "%s", pszFooter);
    }
    if (nRow >= 0) DrawCursorMark(pSurface, x, y + 16 * (nRow + 1));
}

void DrawRanking(DDSURFACEDATA* pSurface, int x, int y, const cRanking& ranking, int nKind, int nRow, int nMode) {
    const cRankTable* p = ranking.GetTable(nKind);
    if (p) DrawRankTable(pSurface, x, y, *p, nKind, nRow, nMode);
}

void DrawResultWindow(DDSURFACEDATA* pSurface, int x, int y, const int32_t* pnValue, const int* pnPosition,
                      int nMode) {
    bool abShow[RANKING_TABLES] = {};
    int nShown = 0, nLabel = 0;
    const cChkVector<int32_t>& vTally = recStage.m_vTallyFlag;
    for (int k = 0; k < RANKING_TABLES; k++) {
        bool bStage = vTally.IsValid(k) && vTally.At(k);
        bool bMode = false;
        if (recSystem.m_vRankingFlags.IsValid(nMode)) {
            const auto& v = recSystem.m_vRankingFlags.At(nMode).m_vKind;
            bMode = v.IsValid(k) && v.At(k);
        }
        abShow[k] = bStage && (bFreeStageStart || bMode);
        if (!abShow[k]) continue;
        nShown++;
        nLabel = std::max(nLabel, GetCharCount(recSystem.GetSysText(SYSTEXT_RANK_LABEL + k)));
    }
    if (nShown == 0) return;
    int nWidth = 1;
    if (abShow[0]) nWidth = GetDigitCount(pnValue[0]);
    if (abShow[1]) nWidth = std::max(nWidth, GetDigitCount(pnValue[1]));
    if (abShow[2]) nWidth = std::max(nWidth, 8);
    if (abShow[3]) nWidth = std::max(nWidth, GetDigitCount(pnValue[3]));
    if (abShow[4]) nWidth = std::max(nWidth, GetDigitCount(pnValue[4]));
    cFont& font = aFont[1];
    font.DrawWindow(pSurface, x, y, (nWidth + nLabel + 3) * 16, 16 * nShown);
    int nRowY = y, nMarkY = y;
    for (int k = 0; k < RANKING_TABLES; k++) {
        if (!abShow[k]) continue;
        font.Printf(pSurface, x + 16, nRowY, "%s", recSystem.GetSysText(SYSTEXT_RANK_LABEL + k));
        if (k == RANKKIND_CLEARTIME) font.Printf(pSurface, x + 16 * nLabel + 32, nRowY, "%s", FormatTime(pnValue[k]).c_str());
        else font.Printf(pSurface, x + 16 * nLabel + 32, nRowY, "%d", pnValue[k]);
        // One mark per tally that reached a place, from the top row down.
        if (pnPosition[k] >= 0) {
            DrawCursorMark(pSurface, x, nMarkY);
            nMarkY += 16;
        }
        nRowY += 16;
    }
}
