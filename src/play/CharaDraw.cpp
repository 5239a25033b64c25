#include "play/CharaDraw.h"

#include <algorithm>
#include <cmath>

#include "foundation/Saturate.h"
#include "graphics/DD.h"
#include "graphics/DDEffect.h"
#include "graphics/ImageSurfaces.h"
#include "play/CharaBase.h"
#include "play/Combat.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "play/StageImages.h"
#include "project/Database.h"
#include "project/SystemData.h"

namespace {

constexpr int SLOT_MARK = 43;
constexpr int SLOT_WORK1 = 67;
constexpr int MARK_CELLS_PER_COLUMN = 15;

// A run ends through its step: unless frozen, one step; frozen, never.
int RunEnds(cCharaBase* c, int bFreeze) {
    if (bFreeze) return 0;
    return c->m_CharaEffect.Step();
}

int Value(const cCharaBase* c) { return static_cast<int>(c->m_CharaEffect.m_dValue); }

void PlainBlt(const CHARAFXDRAW& d) {
    if (!d.lpCell) return;
    if (d.bStretch)
        DDStretchBlt(d.lpDst, d.x, d.y, d.w, d.h, d.lpCell, d.nSrcX, d.nSrcY, d.nSrcW, d.nSrcH, DDBLT_KEY);
    else
        DDBlt(d.lpDst, d.x, d.y, d.w, d.h, d.lpCell, d.nSrcX, d.nSrcY, DDBLT_KEY);
}

// The cell copied to a work surface at (0, 0), at the character's size.
DDSURFACEDATA* ToWork(const CHARAFXDRAW& d) {
    DDSURFACEDATA* w = &Off_Img[SLOT_WORK1];
    if (!d.lpCell || w->nWidth < d.w || w->nHeight < d.h) return nullptr;
    DDFillRect(w, 0, 0, d.w, d.h, 0);
    DDStretchBlt(w, 0, 0, d.w, d.h, d.lpCell, d.nSrcX, d.nSrcY, d.nSrcW, d.nSrcH, DDBLT_NOKEY);
    return w;
}

// The source of an effect: the cell itself, or a work copy when stretched.
struct FXSOURCE {
    DDSURFACEDATA* sd = nullptr;
    int sx = 0, sy = 0;
    int k = 1;   // giant applied to size parameters
};
FXSOURCE Source(const CHARAFXDRAW& d) {
    FXSOURCE s;
    if (d.bStretch) {
        s.sd = ToWork(d);
        s.k = std::max(1, d.nGiant);
    } else {
        s.sd = d.lpCell;
        s.sx = d.nSrcX;
        s.sy = d.nSrcY;
    }
    return s;
}

int Ce_None(cCharaBase*, const CHARAFXDRAW& d, int, int bDraw) {
    if (bDraw) PlainBlt(d);
    return 0;
}

int Ce_Burst(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        if (s.sd) DDBurstBlt(d.lpDst, d.x, d.y, d.w, d.h, s.sd, s.sx, s.sy, Value(c) * s.k, DDBLT_KEY);
    }
    return RunEnds(c, bFreeze);
}

int Ce_Split(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        // Bands of a strip count below 1 are one band.
        const int p1 = std::max(1, c->m_CharaEffect.P(4));
        const bool bHorz = c->m_CharaEffect.m_nKind == 2;
        // In 64 bits, so a huge band count cannot wrap the rounded-up length.
        const int nBand = static_cast<int>((static_cast<int64_t>(bHorz ? d.h : d.w) + p1 - 1) / p1);
        if (s.sd)
            DDSplitBlt(d.lpDst, d.x, d.y, d.w, d.h, nBand, Value(c) * s.k, s.sd, s.sx, s.sy, DDBLT_KEY,
                       bHorz ? 0 : 1);
    }
    return RunEnds(c, bFreeze);
}

int Ce_Wave(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        if (s.sd)
            DDWaveBlt(d.lpDst, d.x, d.y, d.w, d.h, c->m_CharaEffect.P(4), Value(c), c->m_nEffectPhase,
                      std::max(1, c->m_CharaEffect.P(5) * s.k), s.sd, s.sx, s.sy, DDBLT_KEY,
                      c->m_CharaEffect.m_nKind == 4 ? 0 : 1);
    }
    if (!bFreeze) c->m_nEffectPhase = (c->m_nEffectPhase + 1) % 360;
    return RunEnds(c, bFreeze);
}

// Blink and translucent: the toggle flips whenever the phase counter reaches
// the interval (the definition's start value).
void StepToggle(cCharaBase* c, int bFreeze) {
    if (bFreeze) return;
    if (++c->m_nEffectPhase >= c->m_CharaEffect.P(2)) {
        c->m_nEffectPhase = 0;
        c->m_nEffectBlink = !c->m_nEffectBlink;
    }
}

int Ce_Blink(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw && c->m_nEffectBlink) PlainBlt(d);
    StepToggle(c, bFreeze);
    return RunEnds(c, bFreeze);
}

int Ce_Rotate(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        const int w = d.bStretch ? d.w : d.nSrcW, h = d.bStretch ? d.h : d.nSrcH;
        if (s.sd)
            DDRotateBlt(d.lpDst, d.x + d.w / 2, d.y + d.h / 2, w, h, s.sx + w / 2, s.sy + h / 2, Value(c), s.sd, s.sx,
                        s.sy, DDBLT_KEY);
    }
    return RunEnds(c, bFreeze);
}

int Ce_RotateDepth(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw && d.lpCell)
        DDRotateDepthBlt(d.lpDst, d.x, d.y, d.w, d.h, d.lpCell, d.nSrcX, d.nSrcY, d.lpMirror ? d.lpMirror : d.lpCell,
                         d.nSrcX, d.nSrcY, d.nSrcW, d.nSrcH, DDBLT_KEY, Value(c), 0);
    return RunEnds(c, bFreeze);
}

int Ce_Circle(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        if (s.sd)
            DDCircleBlt(d.lpDst, d.x + d.w / 2, d.y + d.h / 2, d.w / 2, d.h / 2, Value(c) * s.k,
                        std::max(1, c->m_CharaEffect.P(4) * s.k), s.sd, s.sx + d.w / 2, s.sy + d.h / 2, DDBLT_KEY);
    }
    return RunEnds(c, bFreeze);
}

int Ce_Enlarge(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw && d.lpCell) {
        int e = Value(c) - 32;
        if (d.bStretch) e = e * std::max(1, d.nGiant) / 2;
        const int w = d.w + e, h = d.h + e;
        if (w > 0 && h > 0)
            DDStretchBlt(d.lpDst, d.x - e / 2, d.y - e / 2, w, h, d.lpCell, d.nSrcX, d.nSrcY, d.nSrcW, d.nSrcH,
                         DDBLT_KEY);
    }
    return RunEnds(c, bFreeze);
}

int Ce_Lens(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        const int g = std::max(1, d.nGiant);
        const int ox = c->m_CharaEffect.P(4) * g, oy = c->m_CharaEffect.P(5) * g;
        const int R = static_cast<int>(std::sqrt(2.0) * (std::max(std::abs(ox), std::abs(oy)) + d.w / 2));
        if (s.sd)
            DDLensBlt(d.lpDst, d.x + d.w / 2 + ox, d.y + d.h / 2 + oy, R, Value(c) * s.k, s.sd,
                      s.sx + d.w / 2 + ox, s.sy + d.h / 2 + oy, DDBLT_KEY, 0);
    }
    return RunEnds(c, bFreeze);
}

int Ce_ColorChange(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        if (s.sd)
            DDColorChangeBlt(d.lpDst, d.x, d.y, d.w, d.h, s.sd, s.sx, s.sy, DDBLT_KEY, aPalette, aBlendTable,
                             c->m_CharaEffect.P(4) & 0xFF, Value(c));
    }
    return RunEnds(c, bFreeze);
}

int Ce_Translucent(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw && !c->m_nEffectBlink) {
        FXSOURCE s = Source(d);
        if (s.sd) DDSemiTransBlt(d.lpDst, d.x, d.y, d.w, d.h, s.sd, s.sx, s.sy, DDBLT_KEY, aBlendTable);
    }
    StepToggle(c, bFreeze);
    return RunEnds(c, bFreeze);
}

int Ce_Mosaic(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        // A block size below 1 draws the cell as it is.
        const int n = std::max(1, Value(c));
        if (s.sd) DDMosaicBlt(d.lpDst, d.x, d.y, d.w, d.h, n, s.sd, s.sx, s.sy, DDBLT_KEY);
    }
    return RunEnds(c, bFreeze);
}

int Ce_Blur(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    if (bDraw) {
        FXSOURCE s = Source(d);
        if (s.sd) {
            if (!lpDTCon && nScreenBpp == 8)
                DDColorChangeBlt(d.lpDst, d.x, d.y, d.w, d.h, s.sd, s.sx, s.sy, DDBLT_KEY, aPalette, aBlendTable, 31,
                                 Value(c));
            else
                DDBlurBlt(d.lpDst, d.x, d.y, d.w, d.h, std::max(0, Value(c)), std::max(0, Value(c)), s.sd, s.sx, s.sy,
                          DDBLT_KEY);
        }
    }
    return RunEnds(c, bFreeze);
}

}  // namespace

const CHARAEFFECTFN pfnCharaEffect[CHARA_EFFECT_KINDS] = {
    Ce_None,   Ce_Burst,  Ce_Split,       Ce_Split,       Ce_Wave,  Ce_Wave,       Ce_Blink,
    Ce_Rotate, Ce_Rotate, Ce_RotateDepth, Ce_Circle,      Ce_Enlarge, Ce_Lens,     Ce_ColorChange,
    Ce_Translucent, Ce_Mosaic, Ce_Blur,
};

DDSURFACEDATA* GetDrawSurface(const DRAWSOURCE& src, int bMirror) {
    const int n = bMirror ? src.nChosenMirror : src.nChosen;
    if (!src.bValid || n < 0) return nullptr;
    if (src.bDedicated) return static_cast<size_t>(n) < vecSdCharaExc.size() ? &vecSdCharaExc[n] : nullptr;
    return n < IMAGE_SLOT_COUNT ? &Off_Img[n] : nullptr;
}

int GetCellRowOffset(const cCharaBase* c) {
    // Offsets from the animation set may be anything: summed in 64 bits, held at the ends.
    int64_t nRow = c->m_Data.m_nGraphicRow;
    const cDatabase* pDb = PlayCtx().lpDatabase;
    if (pDb && pDb->m_vAnimeSet.IsValid(c->m_Data.m_nAnimSet)) {
        const cAnimeSet& set = pDb->m_vAnimeSet[c->m_Data.m_nAnimSet];
        if (c->m_bFlight) nRow += set.m_nFlyOffset;
        if (c->m_Data.m_bNoHitBox) nRow += set.m_nBlockCharaOffset;
        // The invincibility status only: the short invincibility after a
        // hit does not change the rows.
        if (c->m_Data.m_nInvincible) nRow += set.m_nInvincibleOffset;
    }
    return SaturateInt32(nRow);
}

namespace {

// The applier's drawing record of the character's current cell.
bool PrepareDraw(cCharaBase* c, DDSURFACEDATA* lpDst, int nCell, CHARAFXDRAW* d) {
    DRAWSOURCE src;
    cCharaBase::SetDrawSource(&src, 1, c->m_Data.m_nGraphicSheet, c->m_Data.m_nGraphic, GetCellRowOffset(c), c,
                              nCell);
    if (!src.bValid) return false;
    d->lpDst = lpDst;
    d->lpCell = GetDrawSurface(src, 0);
    d->lpMirror = GetDrawSurface(src, 1);
    const int nGiant = std::max<int>(1, c->m_Data.m_nGiant);
    const int nScale = src.bNative ? std::max(1, src.nScale) : 1;
    const int nBaseW = c->m_nBaseFrameW > 0 ? c->m_nBaseFrameW : 32;
    const int nBaseH = c->m_nBaseFrameH > 0 ? c->m_nBaseFrameH : 32;
    d->nSrcX = src.nSrcX;
    d->nSrcY = src.nSrcY;
    d->nSrcW = nScale * nBaseW;
    d->nSrcH = nScale * nBaseH;
    d->x = c->m_rcScreen.left;
    d->y = c->m_rcScreen.top;
    d->w = c->m_rcScreen.right - c->m_rcScreen.left + 1;
    d->h = c->m_rcScreen.bottom - c->m_rcScreen.top + 1;
    if (d->w <= 0 || d->h <= 0) {
        d->w = nBaseW * nGiant;
        d->h = nBaseH * nGiant;
    }
    d->nGiant = nGiant;
    d->bStretch = src.bNative ? (nScale != nGiant) : (nGiant > 1);
    return true;
}

void DrawMark(cCharaBase* c, DDSURFACEDATA* lpDst) {
    if (c->m_Data.m_nMarkDisp != 1) return;
    const int n = std::clamp<int>(c->m_Data.m_nMark, 0, 119);
    const int sx = (n / MARK_CELLS_PER_COLUMN) * 32, sy = (n % MARK_CELLS_PER_COLUMN) * 32;
    const int x = c->m_rcScreen.left, y = c->m_rcScreen.top;
    if (c->m_Data.m_nGiant > 1)
        DDStretchBlt(lpDst, x, y, c->m_rcScreen.right - x + 1, c->m_rcScreen.bottom - y + 1, &Off_Img[SLOT_MARK], sx,
                     sy, 32, 32, DDBLT_KEY);
    else
        DDBlt(lpDst, x, y, 32, 32, &Off_Img[SLOT_MARK], sx, sy, DDBLT_KEY);
}

int ApplyEffect(cCharaBase* c, const CHARAFXDRAW& d, int bFreeze, int bDraw) {
    int nKind = c->m_CharaEffect.m_nKind;
    if (nKind < 0 || nKind >= CHARA_EFFECT_KINDS) nKind = c->m_CharaEffect.m_nKind = 0;
    if (nKind == 0) return pfnCharaEffect[0](c, d, bFreeze, bDraw);
    const int bEnd = pfnCharaEffect[nKind](c, d, bFreeze, bDraw);
    if (bEnd) c->m_CharaEffect.m_nKind = 0;
    return bEnd;
}

}  // namespace

bool GetCharaTint(const cCharaBase* c, int anPair[2]) {
    if (!lpDTCon || !c->m_Data.m_nInvincible || c->m_Data.m_nInvincibleTint == 0) return false;
    const cSystemData* pSys = PlayCtx().lpSystem;
    if (!pSys || !pSys->m_bD3DCharaTint) return false;
    return PlayHost().GetSystemColorPair(c->m_Data.m_nInvincibleTint, anPair);
}

int StepCharaEffect(cCharaBase* c, int bFreeze) {
    CHARAFXDRAW d;
    return ApplyEffect(c, d, bFreeze, 0);
}

void DrawCharaBody(cCharaBase* c, DDSURFACEDATA* lpDst, int bFreeze) {
    const int nCell = c->UpdateAnimation(bFreeze);
    if (c->m_Data.m_bTrans || c->m_bHideFrame) {
        StepCharaEffect(c, bFreeze);
        return;
    }
    c->UpdateScreenRect();
    c->ApplyScreenLock();
    CHARAFXDRAW d;
    if (!PrepareDraw(c, lpDst, nCell, &d)) {
        StepCharaEffect(c, bFreeze);
        return;
    }
    int anTint[2];
    const bool bTint = GetCharaTint(c, anTint);
    if (bTint) {
        DDSetBltColor(static_cast<uint32_t>(anTint[0]));
        DDSetBltColorOp(anTint[1]);
    }
    ApplyEffect(c, d, bFreeze, 1);
    if (bTint) {
        DDResetBltColor();
        DDResetBltColorOp();
    }
    DrawMark(c, lpDst);
}

int DrawHero(cPlayScene& s, DDSURFACEDATA* lpDst, int bFrozen) {
    if (vecPlayer().empty() || !vecPlayer()[0]) return 0;
    cHero* pHero = vecPlayer()[0].get();
    pHero->UpdateScreenRect();
    if (!pHero->m_bDead) {
        DrawCharaBody(pHero, lpDst, bFrozen);
        DrawCharaGauges(pHero, lpDst);
        return 0;
    }
    // The defeat effect runs to its end; the hero then stays down for a
    // second of play frames before the miss is handled.
    DrawCharaBody(pHero, lpDst, bFrozen);
    if (pHero->m_CharaEffect.m_nKind != 0 || bFrozen) return 0;
    if (pHero->m_nDeadFrames < INT32_MAX) pHero->m_nDeadFrames++;
    if (pHero->m_nDeadFrames <= HERO_DEAD_WAIT_FRAMES) return 0;
    s.m_bMissPending = 1;
    return 1;
}

int DrawChara(cCharaBase* c, DDSURFACEDATA* lpDst, int bFrozen) {
    if (c->m_bDead) {
        c->UpdateScreenRect();
        DrawCharaBody(c, lpDst, bFrozen);
        return c->m_CharaEffect.m_nKind == 0 ? 1 : 0;
    }
    if (c->IsOnScreen()) {
        c->UpdateScreenRect();
        if (c->m_Data.m_bTrans) {
            // A transparent character animates and runs its effect even
            // while the scene is frozen.
            c->UpdateAnimation(0);
            StepCharaEffect(c, 0);
            DrawCharaGauges(c, lpDst);
            return 0;
        }
        DrawCharaBody(c, lpDst, bFrozen);
        DrawCharaGauges(c, lpDst);
        if (cChara* pChara = dynamic_cast<cChara*>(c)) pChara->DrawItemIcon(lpDst);
        return 0;
    }
    if (c->m_bActing) {
        // Off the screen but acting: it animates with play, not in a frozen
        // frame.
        c->UpdateScreenRect();
        c->UpdateAnimation(bFrozen);
        StepCharaEffect(c, bFrozen);
    }
    return 0;
}
