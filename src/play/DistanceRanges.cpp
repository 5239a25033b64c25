#include "play/DistanceRanges.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/DDBlt.h"
#include "graphics/DDCreate.h"
#include "graphics/DDSurface.h"
#include "play/CharaBase.h"
#include "play/Conditions.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "play/TestDisplayColor.h"
#include "stage/Cond.h"
#include "stage/Flow.h"

namespace {

// The largest circle drawn as it is without the Direct3D profile.
constexpr int WORK_RADIUS = 64;
// Centres further out than this draw nothing.
constexpr int64_t FAR_COORD = int64_t{1} << 24;

enum : int { DISTDISP_NONE = 0, DISTDISP_ALWAYS = 1, DISTDISP_TESTPLAY = 2 };

bool IsShown(const cCond& cond, const cCharaBase* c, bool bTestPlay) {
    if (cond.m_nKind != COND_DISTANCE) return false;
    const int nDisplay = cond.DistDisplay();
    if (nDisplay != DISTDISP_ALWAYS && !(nDisplay == DISTDISP_TESTPLAY && bTestPlay)) return false;
    if (!c->m_bActing && !cond.DistShowInactive()) return false;
    if ((c->m_Data.m_bTrans || c->m_bHideFrame) && !cond.DistShowHidden()) return false;
    return true;
}

void DrawRangeLines(DDSURFACEDATA* lpDst, const JUDGESPAN& rec, bool bVertical, uint32_t nColor) {
    int64_t anEnd[2];
    cObj::JudgeSpanEnds(rec, &anEnd[0], &anEnd[1]);
    const int64_t nLimit = bVertical ? lpDst->nHeight : lpDst->nWidth;
    for (int64_t v : anEnd) {
        if (v < 0 || v >= nLimit) continue;
        if (bVertical) DDFillRect(lpDst, 0, static_cast<int>(v), lpDst->nWidth, 1, nColor);
        else DDFillRect(lpDst, static_cast<int>(v), 0, 1, lpDst->nHeight, nColor);
    }
}

void DrawRanges(const cCond& cond, const cCharaBase* c, DDSURFACEDATA* lpDst, uint32_t nColor) {
    JUDGESPAN rec;
    if (DistanceSpan(cond, c, &rec)) {
        DrawRangeLines(lpDst, rec, cond.m_nShape >= 3, nColor);
    } else if (cond.m_nShape == 6) {
        int ox, oy;
        DistanceCentreOffset(c, &ox, &oy);
        const int64_t cx = static_cast<int64_t>(c->m_rcScreen.left) + c->m_nBoxX + ox;
        const int64_t cy = static_cast<int64_t>(c->m_rcScreen.top) + c->m_nBoxY + oy;
        DrawRangeCircle(lpDst, cx, cy, DistanceRange(cond), nColor);
    }
}

}  // namespace

void DrawRangeCircle(DDSURFACEDATA* lpDst, int64_t cx, int64_t cy, int r, uint32_t nColor) {
    if (!lpDst || r < 1 || std::llabs(cx) > FAR_COORD || std::llabs(cy) > FAR_COORD) return;
    // A circle around the whole screen shows none of its points.
    const double dx = static_cast<double>(std::max(std::llabs(cx), std::llabs(cx - (lpDst->nWidth - 1))));
    const double dy = static_cast<double>(std::max(std::llabs(cy), std::llabs(cy - (lpDst->nHeight - 1))));
    if (r > std::hypot(dx, dy) + 2) return;
    const int x = static_cast<int>(cx), y = static_cast<int>(cy);
    if (lpDTCon || r <= WORK_RADIUS) {
        DDCircle(lpDst, x, y, r, nColor);
        return;
    }
    const int n = 2 * WORK_RADIUS + 1;
    DDSURFACEDATA work;
    if (!DDCreateSurface(&work, n, n, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0)) return;
    DDFillTransparent(&work, 0, 0, n, n);
    DDCircle(&work, WORK_RADIUS, WORK_RADIUS, WORK_RADIUS, nColor);
    DDStretchBlt(lpDst, x - r, y - r, 2 * r + 1, 2 * r + 1, &work, 0, 0, n, n, DDBLT_KEY);
    DDReleaseSurface(&work);
}

void DrawDistanceRanges(cPlayScene& s, DDSURFACEDATA* lpDst) {
    const bool bTestPlay = PlayHost().IsTestPlay();
    const int nCycle = s.m_nRangeCycle;
    s.m_nRangeCycle = NextTestDisplayCycle(s.m_nRangeCycle);
    if (!lpDst) return;
    for (const auto& lst : s.m_vecGroupChara) {
        for (const cObjRef& ref : lst) {
            const cCharaBase* c = ref.GetAs<cCharaBase>();
            if (!c || c->m_bDead) continue;
            const bool bOnScreen = c->IsHero() ? c->IsOnScreen() != 0 : c->m_bOnScreen != 0;
            if (!bOnScreen) continue;
            for (const cFlow& flow : c->m_Data.m_vFlow) {
                for (const cCond& cond : flow.m_vCond) {
                    if (!IsShown(cond, c, bTestPlay)) continue;
                    DrawRanges(cond, c, lpDst, TestDisplayColor(cond.DistColor(), nCycle));
                }
            }
        }
    }
}
