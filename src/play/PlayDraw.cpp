#include "play/PlayDraw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "foundation/Text.h"
#include "graphics/DD.h"
#include "graphics/ImageSurfaces.h"
#include "play/Chara.h"
#include "play/CharaDraw.h"
#include "play/DistanceRanges.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayScene.h"
#include "project/GameFonts.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {

constexpr int BACKGROUND_COUNT = 8;
constexpr int MAX_TILES = 1000;
constexpr int32_t LIVES_UNLIMITED = 999999;
constexpr int SYSTEXT_FREESTAGE = 27, SYSTEXT_TESTPLAY = 26;
constexpr int SYSSOUND_TIMEWARN = 13;

int64_t FloorToInt(double d) {
    if (!std::isfinite(d)) return 0;
    return static_cast<int64_t>(std::floor(std::clamp(d, -1e15, 1e15)));
}

DDSURFACEDATA* BackgroundSurface(int i) { return &Off_Img[IMGSLOT_BACKGROUND + i]; }

}  // namespace

int DrawLayerOf(const cStage& stage, int nZ) {
    if (!stage.m_bZOrder) return 0;
    return std::clamp(nZ, 0, DRAW_LAYERS - 1);
}

// ---- backgrounds ----
void ScrollBackgrounds(cPlayScene& s) {
    if (s.m_nState == PLAYSTATE_PAUSE) return;
    cStage* pStage = PlayCtx().lpStage;
    if (!pStage) return;
    const int n = std::min<int>(BACKGROUND_COUNT, static_cast<int>(pStage->m_vBackground.size()));
    for (int i = 0; i < n; i++) {
        cBackground& bg = pStage->m_vBackground[i];
        const int w = BackgroundSurface(i)->nWidth, h = BackgroundSurface(i)->nHeight;
        if (bg.m_bAutoX && w > 0) {
            bg.m_dOffsetX = std::fmod(bg.m_dOffsetX - bg.m_dRateX, static_cast<double>(w));
            if (bg.m_dOffsetX < 0) bg.m_dOffsetX += w;
            if (!std::isfinite(bg.m_dOffsetX)) bg.m_dOffsetX = 0;
        }
        if (bg.m_bAutoY && h > 0) {
            bg.m_dOffsetY = std::fmod(bg.m_dOffsetY - bg.m_dRateY, static_cast<double>(h));
            if (bg.m_dOffsetY < 0) bg.m_dOffsetY += h;
            if (!std::isfinite(bg.m_dOffsetY)) bg.m_dOffsetY = 0;
        }
    }
}

bool GetBackgroundTileStart(double x0, double y0, int w, int h, int* pX, int* pY) {
    // A missing picture has no size: nothing to tile.
    if (w <= 0 || h <= 0) return false;
    const int64_t x = FloorToInt(x0), y = FloorToInt(y0);
    *pX = -static_cast<int>(((x % w) + w) % w);
    *pY = -static_cast<int>(((y % h) + h) % h);
    return true;
}

void DrawBackgrounds(cPlayScene& s, DDSURFACEDATA* lpDst, int nLayer) {
    cStage* pStage = PlayCtx().lpStage;
    const int n = pStage ? std::min<int>(BACKGROUND_COUNT, static_cast<int>(pStage->m_vBackground.size())) : 0;
    bool bAnyInUse = false;
    for (int i = 0; i < n; i++) bAnyInUse = bAnyInUse || pStage->m_vBackground[i].m_bShow;
    if (nLayer == 0 && !bAnyInUse) {
        DDFillRect(lpDst, 0, 0, SCREEN_W, SCREEN_H, 16);
        return;
    }
    const double dCamX = s.m_ScrollX.m_dCam, dCamY = s.m_ScrollY.m_dCam;
    int nDrawn = 0;
    for (int i = 0; i < n; i++) {
        const cBackground& bg = pStage->m_vBackground[i];
        if (!bg.m_bShow || bg.m_nLayer != nLayer) continue;
        if (bg.m_bFill) {
            DDFillRect(lpDst, 0, 0, SCREEN_W, SCREEN_H, static_cast<uint32_t>(std::clamp(bg.m_nFillColour, 0, 255)));
            nDrawn++;
            continue;
        }
        DDSURFACEDATA* sd = BackgroundSurface(i);
        const double x0 = bg.m_bAutoX ? dCamX + bg.m_dOffsetX - 320
                                      : (std::floor(dCamX + 0.5) - 320) * bg.m_dRateX;
        const double y0 = bg.m_bAutoY ? dCamY + bg.m_dOffsetY - 320 : (std::trunc(dCamY) - 320) * bg.m_dRateY;
        int tx, ty;
        if (!GetBackgroundTileStart(x0, y0, sd->nWidth, sd->nHeight, &tx, &ty)) continue;
        const int nFlags = (nLayer == 0 && nDrawn == 0) ? DDBLT_NOKEY : DDBLT_KEY;
        int nRows = 0;
        for (int y = ty; y < SCREEN_H && nRows < MAX_TILES; y += sd->nHeight, nRows++) {
            int nCols = 0;
            for (int x = tx; x < SCREEN_W && nCols < MAX_TILES; x += sd->nWidth, nCols++)
                DDBlt(lpDst, x, y, sd->nWidth, sd->nHeight, sd, 0, 0, nFlags);
        }
        nDrawn++;
    }
    if (nLayer == 0 && nDrawn == 0) DDFillRect(lpDst, 0, 0, SCREEN_W, SCREEN_H, 16);
}

// ---- pictures ----
void DrawPictures(cPlayScene& s, DDSURFACEDATA* lpDst, int nLayer, int bFrozen) {
    for (auto it = s.m_lstPicture.begin(); it != s.m_lstPicture.end();) {
        cPictureRun& p = **it;
        const int nPicLayer = p.m_nKept > 0 ? 1 : 0;
        if (nPicLayer != nLayer) {
            ++it;
            continue;
        }
        if (p.Draw(lpDst, bFrozen)) it = s.m_lstPicture.erase(it);
        else ++it;
    }
}

// ---- status bar and timer ----
int LayoutStatusBar(const cSystemData& sys, int* pnX, int* pnWidth) {
    int n = 0, nSum = 0;
    for (int i = 0; i < STATUSDISP_COUNT; i++) {
        pnWidth[i] = 0;
        pnX[i] = -1;
        if (!sys.m_vStatusDisp.IsValid(i) || !sys.m_vStatusDisp[i].m_bShow) continue;
        const cStatusDisp& e = sys.m_vStatusDisp[i];
        int w = e.m_bIcon ? 16 : 16 * GetCharCount(e.m_strLabel.c_str());
        w += (i == STATUSDISP_HP || i == STATUSDISP_SP) ? 50 : 16 * std::max(0, e.m_nValueCells);
        pnWidth[i] = w;
        pnX[i] = 0;
        nSum += w;
        n++;
    }
    if (n == 0) return -1;
    const int g = (638 - nSum) / (n + 1);
    int x = g;
    for (int i = 0; i < STATUSDISP_COUNT; i++) {
        if (pnX[i] < 0) continue;
        pnX[i] = x;
        x += pnWidth[i] + g;
    }
    return g;
}

namespace {

void DrawGauge(DDSURFACEDATA* lpDst, const cSystemData& sys, int nEntry, int x, int nValue, int nMax, int nFrameX) {
    DDSURFACEDATA* acc = &Off_Img[IMGSLOT_ACCESSORY];
    DDBlt(lpDst, x, 3, 50, 16, acc, nFrameX, 128, DDBLT_KEY);
    const int bLow = sys.IsStatusLow(nEntry, nValue, nMax);
    const int w = nMax > 0 ? static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(nValue) * 50 / nMax, 0, 50)) : 0;
    if (w > 0) DDBlt(lpDst, x, 3, w, 16, acc, nFrameX, bLow ? 160 : 144, DDBLT_KEY);
    if (sys.m_vStatusDisp[nEntry].m_bShowValue) aFont[0].Printf(lpDst, x, 6, "%d", nValue);
}

}  // namespace

void DrawStatusBar(cPlayScene& s, DDSURFACEDATA* lpDst) {
    if (!s.m_bStatusBar || !PlayCtx().lpSystem) return;
    const cSystemData& sys = *PlayCtx().lpSystem;
    int anX[STATUSDISP_COUNT], anW[STATUSDISP_COUNT];
    if (LayoutStatusBar(sys, anX, anW) < 0) return;
    DDBlt(lpDst, 0, 0, SCREEN_W, 20, &Off_Img[IMGSLOT_STATUSWINDOW], 0, 0, DDBLT_KEY);
    DDSURFACEDATA* acc = &Off_Img[IMGSLOT_ACCESSORY];
    const cProgress* pProg = PlayCtx().lpProgress;
    const cHero* pHero = vecPlayer().empty() ? nullptr : vecPlayer()[0].get();
    cFont& font = aFont[1];
    for (int i = 0; i < STATUSDISP_COUNT; i++) {
        if (anX[i] < 0) continue;
        const cStatusDisp& e = sys.m_vStatusDisp[i];
        const int x = anX[i];
        const int nLabelW = e.m_bIcon ? 16 : 16 * GetCharCount(e.m_strLabel.c_str());
        switch (i) {
        case STATUSDISP_TOTALSCORE:
        case STATUSDISP_STAGESCORE: {
            const int nValue = pProg ? (i == STATUSDISP_TOTALSCORE ? pProg->m_nPlayScore : pProg->m_nScore) : 0;
            if (e.m_bIcon) {
                DDBlt(lpDst, x, 3, 16, 16, acc, 16 * i, 32, DDBLT_KEY);
                font.Printf(lpDst, x + 16, 3, "%d", nValue);
            } else {
                font.Printf(lpDst, x, 3, "%s%d", e.m_strLabel.c_str(), nValue);
            }
            break;
        }
        case STATUSDISP_HP:
        case STATUSDISP_SP: {
            const bool bHp = i == STATUSDISP_HP;
            if (e.m_bIcon) DDBlt(lpDst, x, 3, 16, 16, acc, bHp ? 32 : 48, 32, DDBLT_KEY);
            else font.Printf(lpDst, x, 3, "%s", e.m_strLabel.c_str());
            const int nValue = pHero ? (bHp ? pHero->m_nHp : pHero->m_nSp) : 0;
            const int nMax = pHero ? (bHp ? pHero->m_Data.m_nMaxHp : pHero->m_Data.m_nMaxSp) : 0;
            DrawGauge(lpDst, sys, i, x + nLabelW, nValue, nMax, bHp ? 0 : 64);
            break;
        }
        default: {
            const int32_t nLives = pProg ? pProg->m_nLife : 0;
            const bool bUnlimited = nLives == LIVES_UNLIMITED;
            if (e.m_bIcon) {
                DDBlt(lpDst, x, 3, 16, 16, acc, 64, 32, DDBLT_KEY);
                if (bUnlimited) font.DrawText(lpDst, x + 16, 3, "-");
                else font.Printf(lpDst, x + 16, 3, "%d", nLives);
            } else if (bUnlimited) {
                font.Printf(lpDst, x, 3, "%s-", e.m_strLabel.c_str());
            } else {
                font.Printf(lpDst, x, 3, "%s%d", e.m_strLabel.c_str(), nLives);
            }
            break;
        }
        }
    }
}

void DrawTimer(cPlayScene& s, DDSURFACEDATA* lpDst, int bTimerSound) {
    if (s.m_bNoTimeLimit) return;
    DDDrawNumber(lpDst, 272, 24, 32, 32, &Off_Img[IMGSLOT_WORD], 0, 160, DDBLT_KEY, s.m_nTime, 3, 1);
    const cStage* pStage = PlayCtx().lpStage;
    if (bTimerSound && pStage && s.m_nTime > 0 && s.m_nTime <= pStage->m_nTimeWarn && PlayCtx().nFrameDivider == 0)
        PlayHost().PlaySound(SYSSOUND_TIMEWARN);
}

// ---- screen effect and colour ----
namespace {

void DrawBackOnly(void* lpUser) {
    cPlayScene& s = *static_cast<cPlayScene*>(lpUser);
    DrawBackgrounds(s, &BackBuffer, 0);
    DrawBackgrounds(s, &BackBuffer, 1);
}

}  // namespace

void RunScreenEffect(cPlayScene& s, int bFrozen) {
    if (s.m_ScrEffect.m_nId == 0) return;
    SCRFXFRAME fx;
    fx.lpBack = &BackBuffer;
    fx.lpWork = &Off_Img[IMGSLOT_SCREENWORK];
    if (!fx.lpWork->lpDT && !fx.lpWork->lpDDS) fx.lpWork = nullptr;
    fx.nWidth = SCREEN_W;
    fx.nHeight = SCREEN_H;
    if (!vecPlayer().empty() && vecPlayer()[0]) {
        const OBJRECT& rc = vecPlayer()[0]->m_rcScreen;
        fx.dHeroX = rc.left + (rc.right - rc.left + 1) / 2;
        fx.dHeroY = rc.top + (rc.bottom - rc.top + 1) / 2;
    }
    fx.pfnDrawBackOnly = DrawBackOnly;
    fx.lpUser = &s;
    int nKind = s.m_ScrEffect.m_nKind;
    if (nKind < 0 || nKind >= SCR_EFFECT_KINDS) nKind = 0;
    if (!bFrozen) s.m_ScrEffect.m_nFrame++;
    if (pfnScrEffect[nKind](s.m_ScrEffect, fx, bFrozen)) {
        s.m_ScrEffect.m_nId = 0;
        DDSetVirBackBuffer(0);
    }
}

void RunScreenColor(cPlayScene& s, int bFrozen) {
    cScrColorRun& c = s.m_ScrColor;
    if (!c.m_bActive) return;
    const int bPalette = !lpDTCon && nScreenBpp == 8;
    const int bOther = !lpDTCon && nScreenBpp != 8;
    c.Advance(bFrozen, bPalette, bOther);
    if (!c.m_bDraw) {
        // A flash's gap frame, its last one included, shows the palette's
        // own colours; a frozen frame leaves the palette as it is.
        if (bPalette && !bFrozen) DDSetDisplayPalette(0, 256, aPalette);
        return;
    }
    if (bPalette) {
        // The alpha is the picture's share (255 no tint, 0 the colour alone),
        // the blend's weight that of the palette's own colours (256 whole).
        PALETTEENTRY aOut[256];
        PalBlendColor(aOut, 0, 255, c.m_nAlpha + (c.m_nAlpha >> 7), c.m_byRed, c.m_byGreen, c.m_byBlue, aPalette);
        DDSetDisplayPalette(0, 256, aOut);
    } else if (c.m_nAlpha < 255) {
        DDChangeColor(&BackBuffer, 0, 0, SCREEN_W, SCREEN_H, c.m_nAlpha, c.m_byRed, c.m_byGreen, c.m_byBlue);
    }
}

// ---- sight mask ----
namespace {

DDSURFACEDATA sdSightMask;
int nSightBuiltDots = -1, nSightBuiltShape = -1;

}  // namespace

void CreateSightSurface(int nDots, int nShape) {
    DDReleaseSurface(&sdSightMask);
    nSightBuiltDots = nDots;
    nSightBuiltShape = nShape;
    const int r = std::clamp(nDots, 0, 2048);
    if (!DDCreateSurface(&sdSightMask, 1280 + 2 * r, 960 + 2 * r, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0)) {
        // The player is told that memory ran out, then the game closes.
        PlayHost().ErrorBox("メモリが不足しています！");
        PlayHost().RequestErrorClose();
        return;
    }
    DDClear(&sdSightMask, 16);
    if (r == 0) return;
    // The hole is of the transparent colour, whichever it is (a project's
    // fixed colour is not palette entry 0's).
    const int cx = sdSightMask.nWidth / 2, cy = sdSightMask.nHeight / 2;
    if (nShape != 1 && nShape != 2) DDFillTransparent(&sdSightMask, cx - r, cy - r, 2 * r, 2 * r);
    else
        for (int dy = -r; dy < r; dy++) {
            const double t = dy + 0.5;
            const int hw = static_cast<int>(std::sqrt(static_cast<double>(r) * r - t * t));
            DDFillTransparent(&sdSightMask, cx - hw, cy + dy, 2 * hw, 1);
        }
}

DDSURFACEDATA* GetSightSurface() { return &sdSightMask; }

void ReleaseSightSurface() {
    DDReleaseSurface(&sdSightMask);
    nSightBuiltDots = nSightBuiltShape = -1;
}

namespace {

void DrawSight(DDSURFACEDATA* lpDst) {
    if (vecPlayer().empty() || !vecPlayer()[0]) return;
    cHero* pHero = vecPlayer()[0].get();
    const int nShape = pHero->m_Data.m_nSightShape;
    if (nShape == 0) return;
    if (nSightBuiltDots != pHero->m_nSightDots || nSightBuiltShape != nShape || !DDGetPixels(&sdSightMask))
        CreateSightSurface(pHero->m_nSightDots, nShape);
    pHero->DrawSightMask(lpDst, &sdSightMask);
}

}  // namespace

// ---- shot cells ----
void PrepareShotCells() {
    DDSURFACEDATA* a = &Off_Img[IMGSLOT_SHOTCELLS];
    DDSURFACEDATA* b = &Off_Img[IMGSLOT_SHOTCELLS_MIRROR];
    DDClear(a, 0);
    DDClear(b, 0);
    for (int c = 0; c < 30; c++) {
        for (int d = 0; d < 4; d++) {
            const int y = 8 + 32 * c;
            DDBlt(a, 8 + 64 * d, y, 16, 16, &Off_Img[IMGSLOT_SHOT], 32 * d, 16 * c, DDBLT_NOKEY);
            DDBlt(a, 40 + 64 * d, y, 16, 16, &Off_Img[IMGSLOT_SHOT], 32 * d + 16, 16 * c, DDBLT_NOKEY);
            DDBlt(b, 8 + 64 * d, y, 16, 16, &Off_Img[IMGSLOT_SHOT_MIRROR], 32 * d, 16 * c, DDBLT_NOKEY);
            DDBlt(b, 40 + 64 * d, y, 16, 16, &Off_Img[IMGSLOT_SHOT_MIRROR], 32 * d + 16, 16 * c, DDBLT_NOKEY);
        }
    }
    a->bLost = 0;
    b->bLost = 0;
}

// ---- the frame ----
namespace {

void DrawLayer(cPlayScene& s, const cStage& stage, DDSURFACEDATA* lpDst, int z, int bFrozen) {
    if (!vecPlayer().empty() && vecPlayer()[0] && DrawLayerOf(stage, vecPlayer()[0]->m_Data.m_nZ) == z) {
        DrawHero(s, lpDst, bFrozen);
        if (PlayHost().IsTestPlay()) vecPlayer()[0]->DrawHitBoxes(lpDst);
    }
    if (DrawLayerOf(stage, ITEM_DRAW_LAYER) == z) {
        DDBeginBltBatch(0);
        for (auto& p : lstItem()) {
            if (!p || !p->m_bActive || p->m_Item.m_bNoDraw) continue;
            p->UpdateScreenRect();
            if (!p->IsOnScreen()) continue;
            p->Draw(lpDst, bFrozen);
        }
        DDEndBltBatch();
    }
    for (auto it = lstChara().begin(); it != lstChara().end();) {
        cChara* c = it->get();
        if (!c || DrawLayerOf(stage, c->m_Data.m_nZ) != z) {
            ++it;
            continue;
        }
        // A frozen frame erases nothing: the character goes with the next
        // frame drawn from play.
        if (DrawChara(c, lpDst, bFrozen) && !bFrozen) it = s.EraseChara(it);
        else ++it;
    }
    DDBeginBltBatch(0);
    for (auto& p : s.m_lstShot) {
        if (!p || DrawLayerOf(stage, p->m_Shot.m_nZ) != z || p->m_Shot.m_bHidden) continue;
        p->UpdateScreenRect();
        if (!p->IsOnScreen()) continue;
        p->Draw(lpDst, bFrozen);
    }
    DDEndBltBatch();
}

}  // namespace

void DrawPlayFrame(cPlayScene& s, int bFromPlay, int bFrozen, int bTimerSound, int bFooter) {
    DDSURFACEDATA* lpDst = &BackBuffer;
    cStage* pStage = PlayCtx().lpStage;
    if (Off_Img[IMGSLOT_SHOTCELLS].bLost || Off_Img[IMGSLOT_SHOTCELLS_MIRROR].bLost) PrepareShotCells();
    if (s.m_ScrEffect.m_nId != 0) DDSetVirBackBuffer(1);
    ScrollBackgrounds(s);
    DrawBackgrounds(s, lpDst, 0);
    const cSystemData* pSys = PlayCtx().lpSystem;
    const bool bHideStage = !bFromPlay && s.m_nState == PLAYSTATE_PAUSE && pSys && pSys->m_bPauseHideStage;
    if (bHideStage) {
        DrawBackgrounds(s, lpDst, 1);
    } else {
        DrawPictures(s, lpDst, 0, bFrozen);
        s.DrawMap(lpDst, 0);
        if (pStage) {
            const int nLayers = pStage->m_bZOrder ? DRAW_LAYERS : 1;
            for (int z = 0; z < nLayers; z++) DrawLayer(s, *pStage, lpDst, z, bFrozen);
        }
        s.DrawMap(lpDst, 1);
        DrawBackgrounds(s, lpDst, 1);
        DrawDistanceRanges(s, lpDst);
        DrawSight(lpDst);
        DrawPictures(s, lpDst, 1, bFrozen);
        DDBeginBltBatch(0);
        for (auto it = s.m_lstEffect.begin(); it != s.m_lstEffect.end();) {
            if ((*it)->Draw(lpDst, bFrozen)) it = s.m_lstEffect.erase(it);
            else ++it;
        }
        DDEndBltBatch();
        for (auto it = s.m_lstMessage.begin(); it != s.m_lstMessage.end();) {
            if ((*it)->Update(lpDst, bFrozen)) it = s.m_lstMessage.erase(it);
            else ++it;
        }
        RunScreenEffect(s, bFrozen);
        DrawStatusBar(s, lpDst);
        DrawTimer(s, lpDst, bTimerSound);
        if (bFooter) {
            int nText = -1;
            if (bFreeStageStart) nText = SYSTEXT_FREESTAGE;
            else if (PlayHost().IsTestPlay()) nText = SYSTEXT_TESTPLAY;
            if (nText >= 0 && pSys) {
                const char* lpszText = pSys->GetSysText(nText);
                aFont[1].DrawText(lpDst, 320 - GetCharCount(lpszText) * 8, 456, lpszText);
            }
            PlayHost().AnimateSystemColor();
        }
    }
    RunScreenColor(s, bFrozen);
}

void cPlayScene::Draw(int bFrozen, int bFooter) { DrawPlayFrame(*this, !bFrozen, bFrozen, !bFrozen, bFooter); }
