// Block collision: sampling the edges of an object against the map, the
// pushes out of solid cells after a step with the block-hit flags, landing
// and head bumps, fatal blocks, the blocks' effects and items on the hero
// and the screen edges during auto-scroll.
#include <cstdlib>

#include "play/CharaBase.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

namespace {

enum : int {
    EV_BLOCK = 9,
    EV_BLOCK_SIDE = 10,
    EV_BLOCK_LEFT = 11,
    EV_BLOCK_RIGHT = 12,
};

bool PassesBlocks(const cObj* p) { return p->m_bFlight && p->m_nFlightBlock == 0; }
bool DiesOnBlocks(const cObj* p) { return p->m_bFlight && p->m_nFlightBlock == 2; }
// A walker still moving up passes a floor under its feet unless the system
// lets it land while rising.
bool RisesThrough(const cObj* p) { return !PlaySystem().m_bLandWhileRising && !p->m_bFlight && p->m_dVy < 0; }
// Kind 1 stops everything; kind 2 stops a computer-operated character like a wall.
bool StopsLikeWall(const cObj* p, int nKind) { return nKind == 1 || (nKind == 2 && p->m_nKind == 1); }

int GiantOf(const cObj* p) {
    const cCharaBase* c = p->AsCharaBase();
    int n = c ? c->m_Data.m_nGiant : 1;
    return n < 1 ? 1 : n;
}

int Mod32(int n) { return ((n % 32) + 32) % 32; }

void ClampObjX(cObj* p) {
    if (cCharaBase* c = p->AsCharaBase()) c->ClampX();
    else p->ClampPosX(2);
}

// A wall met on the left (nSide 0) or right (1): an object that dies on
// blocks reports 2; any other stops, is moved nPush dots out of the wall and,
// if it is a character, marks the side and fires the block events.
int StopAtSideWall(cObj* pObj, int nSide, int nPush) {
    if (DiesOnBlocks(pObj)) return 2;
    cCharaBase* c = pObj->AsCharaBase();
    if (c) (nSide == 0 ? c->m_bHitLeft : c->m_bHitRight) = 1;
    pObj->m_dCmdVx = 0;
    pObj->m_dX += nPush;
    ClampObjX(pObj);
    if (c) {
        c->m_nLastSide = nSide;
        c->FireEvent(EV_BLOCK);
        c->FireEvent(EV_BLOCK_SIDE);
        c->FireEvent(nSide == 0 ? EV_BLOCK_LEFT : EV_BLOCK_RIGHT);
    }
    return 0;
}

int MapWidthDots() { return MapCols() * MAP_CELL_DOTS; }
int MapHeightDots() { return MapRows() * MAP_CELL_DOTS; }
int ClampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

int cPlayScene::FindHitCell(const cObj* pObj, int x1, int y1, int x2, int y2) {
    const int W = MapWidthDots(), H = MapHeightDots();
    if (W <= 0 || H <= 0) return 0;
    x1 = ClampInt(x1, 0, W - 1);
    x2 = ClampInt(x2, 0, W - 1);
    y1 = ClampInt(y1, 0, H - 1);
    y2 = ClampInt(y2, 0, H - 1);
    const int n = GiantOf(pObj) + 1;
    int nBest = -1, nBestKind = -1;
    if (x1 == x2) {
        const int nCol = x1 / MAP_CELL_DOTS;
        const int nStep = pObj->m_nBaseHeight - 1;
        int y = y1;
        for (int i = 0; i < n; i++) {
            int nIdx = MapCellIndexClamped(nCol, y / MAP_CELL_DOTS);
            int k = MapCellKind(nIdx, pObj->m_nGroup);
            if (k > nBestKind) {
                nBest = nIdx;
                nBestKind = k;
            }
            y = ClampInt(y + nStep, 0, H - 1);
        }
    } else if (y1 == y2) {
        const int nRow = y1 / MAP_CELL_DOTS;
        const int nMid = (x1 + x2) >> 1;
        const int nStep = pObj->m_nBaseWidth - 1;
        int x = x1, nBestDist = 0;
        for (int i = 0; i < n; i++) {
            int nIdx = MapCellIndexClamped(x / MAP_CELL_DOTS, nRow);
            int k = MapCellKind(nIdx, pObj->m_nGroup);
            int d = std::abs(x - nMid);
            if (k > nBestKind || (k == nBestKind && d < nBestDist)) {
                nBest = nIdx;
                nBestKind = k;
                nBestDist = d;
            }
            x = ClampInt(x + nStep, 0, W - 1);
        }
    } else {
        return 0;
    }
    return nBest < 0 ? 0 : nBest;
}

int cPlayScene::FindFootCell(const cObj* pObj) {
    const int W = MapWidthDots(), H = MapHeightDots();
    if (W <= 0 || H <= 0) return 0;
    const int g = GiantOf(pObj);
    const int nCount = (g % 2) ? g + 2 : g + 1;   // at least 3
    const int nSpacing = pObj->m_nWidth / (nCount - 1);
    const int nLeft = TruncDot(pObj->m_dX), nRight = TruncDot(pObj->m_dRight);
    const int nRow = ClampInt(TruncDot(pObj->m_dBottom), 0, H - 1) / MAP_CELL_DOTS;
    const int nMid = static_cast<int>((static_cast<int64_t>(nLeft) + nRight) / 2);
    int x = ClampInt(nLeft, 0, W - 1);
    int nBest = -1, nBestKind = -1, nBestDist = 0;
    for (int i = 0; i < nCount; i++) {
        int nIdx = MapCellIndexClamped(x / MAP_CELL_DOTS, nRow);
        int k = MapCellKind(nIdx, pObj->m_nGroup);
        int d = std::abs(x - nMid);
        if (k > nBestKind || (k == nBestKind && d < nBestDist)) {
            nBest = nIdx;
            nBestKind = k;
            nBestDist = d;
        }
        x = (i == nCount - 2) ? nRight : x + nSpacing;
        x = ClampInt(x, 0, W - 1);
    }
    return nBest < 0 ? 0 : nBest;
}

int cPlayScene::FindCornerCell(int nColL, int nRowT, int nColR, int nRowB, int nGroup) {
    const int anCol[4] = {nColL, nColR, nColL, nColR};
    const int anRow[4] = {nRowT, nRowT, nRowB, nRowB};
    int nBest = -1, nBestKind = -1;
    for (int i = 0; i < 4; i++) {
        int nIdx = MapCellIndexClamped(anCol[i], anRow[i]);
        int k = MapCellKind(nIdx, nGroup);
        if (k > nBestKind) {
            nBest = nIdx;
            nBestKind = k;
        }
    }
    return nBest;
}

int cPlayScene::JudgeBlockLeft(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    const int x = TruncDot(pObj->m_dX);
    const int nIdx = FindHitCell(pObj, x, TruncDot(pObj->m_dY), x, TruncDot(pObj->m_dBottom));
    const int k = MapCellKind(nIdx, pObj->m_nGroup);
    if (StopsLikeWall(pObj, k)) return StopAtSideWall(pObj, 0, 32 - Mod32(x));
    return k == 2 ? 2 : 0;
}

int cPlayScene::JudgeBlockRight(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    const int x = TruncDot(pObj->m_dRight);
    const int nIdx = FindHitCell(pObj, x, TruncDot(pObj->m_dY), x, TruncDot(pObj->m_dBottom));
    const int k = MapCellKind(nIdx, pObj->m_nGroup);
    if (StopsLikeWall(pObj, k)) return StopAtSideWall(pObj, 1, -(Mod32(x) + 1));
    return k == 2 ? 2 : 0;
}

int cPlayScene::JudgeBlockX(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    const bool bRightFirst = (pObj->m_bFlight && pObj->m_nFlightBlock == 1) || pObj->m_dVx > 0;
    int r = bRightFirst ? JudgeBlockRight(pObj) : JudgeBlockLeft(pObj);
    if (r == 2) return 2;
    return bRightFirst ? JudgeBlockLeft(pObj) : JudgeBlockRight(pObj);
}

int cPlayScene::JudgeBlockXBoth(cObj* pObj) {
    int r1 = JudgeBlockRight(pObj);
    int r2 = JudgeBlockLeft(pObj);
    return r1 == 2 || r2 == 2 ? 2 : 0;
}

int cPlayScene::JudgeBlockUp(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    const int y = TruncDot(pObj->m_dY);
    const int nIdx = FindHitCell(pObj, TruncDot(pObj->m_dX), y, TruncDot(pObj->m_dRight), y);
    const int k = MapCellKind(nIdx, pObj->m_nGroup);
    if (StopsLikeWall(pObj, k)) {
        if (DiesOnBlocks(pObj)) return 2;
        if (cCharaBase* c = pObj->AsCharaBase()) c->HitCeiling();
        return 0;
    }
    return k == 2 ? 2 : 0;
}

int cPlayScene::JudgeBlockDown(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    cCharaBase* c = pObj->AsCharaBase();
    cHero* pHero = pObj->AsHero();
    const int y = TruncDot(pObj->m_dBottom);
    const int nIdx = FindHitCell(pObj, TruncDot(pObj->m_dX), y, TruncDot(pObj->m_dRight), y);
    const int k = MapCellKind(nIdx, pObj->m_nGroup);
    if (c) c->m_nGroundCell = nIdx;
    if (k == 0) {
        if (!c) return 0;
        c->m_nAirSteps++;
        c->m_nGroundCell = -1;
        if (c->m_nAirSteps >= PlayStage().m_nSubStepEight) {
            if (pHero) {
                if (!pHero->m_bRiding) {
                    pHero->m_bJumpReady = 1;
                    pHero->m_bAirborne = 1;
                }
            } else {
                c->m_bAirborne = 1;
            }
        }
        return 0;
    }
    // An instant-death cell stops a computer character as a solid one does,
    // rising test included, without the hero's foot-cell step.
    if (k == 2) {
        if (c) c->m_nLastGroundCell = c->m_nGroundCell;
        if (pObj->m_nKind != 1) return 2;
        if (DiesOnBlocks(pObj)) return 2;
        if (RisesThrough(pObj)) return 0;
    } else {
        if (DiesOnBlocks(pObj)) return 2;
        if (RisesThrough(pObj)) return 0;
        if (pHero) pHero->m_nGroundCell = FindFootCell(pObj);
    }
    if (!c) return 0;
    c->m_nLastGroundCell = c->m_nGroundCell;
    c->Land();
    return 0;
}

int cPlayScene::JudgeBlockY(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    if (cCharaBase* c = pObj->AsCharaBase()) c->m_nGroundCell = -1;
    const bool bDownFirst = (pObj->m_bFlight && pObj->m_nFlightBlock == 1) || pObj->m_dVy > 0;
    int r = bDownFirst ? JudgeBlockDown(pObj) : JudgeBlockUp(pObj);
    if (r == 2) return 2;
    return bDownFirst ? JudgeBlockUp(pObj) : JudgeBlockDown(pObj);
}

int cPlayScene::JudgeBlockYBoth(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    cCharaBase* c = pObj->AsCharaBase();
    cHero* pHero = pObj->AsHero();
    const int y = TruncDot(pObj->m_dBottom);
    const int nIdx = FindHitCell(pObj, TruncDot(pObj->m_dX), y, TruncDot(pObj->m_dRight), y);
    const int k = MapCellKind(nIdx, pObj->m_nGroup);
    if (k == 1 || k == 2) {
        if (pHero) pHero->m_nGroundCell = pHero->m_nLastGroundCell = FindFootCell(pObj);
        if (k == 2 && pObj->m_nKind != 1) return 2;
        if (DiesOnBlocks(pObj)) return 2;
        if (RisesThrough(pObj)) return 0;
        if (c) {
            if (!pHero) c->m_nGroundCell = c->m_nLastGroundCell = nIdx;
            c->Land();
        }
        return 0;
    }
    return JudgeBlockUp(pObj);
}

int cPlayScene::IsPlaceBlocked(cObj* pObj) {
    if (PassesBlocks(pObj)) return 0;
    int nIdx = FindCornerCell(pObj->m_nCellL, pObj->m_nCellT, pObj->m_nCellR, pObj->m_nCellB, pObj->m_nGroup);
    if (MapCellKind(nIdx, pObj->m_nGroup) != 0) return 1;
    return IsOverlappingOtherSolid(pObj, -1) ? 1 : 0;
}

int cPlayScene::ApplyBlockEffect(cHero* pHero) {
    if (pHero->m_bFlight) return 0;
    int nResult = 0;
    cMapCell* pCell = MapCellFind(pHero->m_nGroundCell);
    if (pCell && pHero->m_nBlockSpeedTimer == 0 && pCell->GetHit(pHero->m_nGroup) != 0) {
        const int nSubSteps = PlayStage().m_nSubStep;
        switch (pCell->m_nEffect) {
        case 1: {
            PlaySystemSound(10);
            // The height is the value's low byte, read unsigned.
            const int h = static_cast<uint8_t>(pCell->m_nEffectValue & 0xFF);
            pHero->m_dVy = pHero->JumpSpeed(h);
            pHero->m_bJumping = 1;
            pHero->m_bJumpTop = 1;
            pHero->m_bJumpReady = 0;
            if (pCell->m_nItemType != 0) nResult = GiveBlockItem(pHero);
            break;
        }
        case 2:
            pHero->m_bNoJump = 1;
            break;
        case 3:
            pHero->m_nBlockSpeedKind = 3;
            pHero->m_dBlockSpeedValue = pCell->m_nEffectValue * 0.01;
            pHero->m_nBlockSpeedTimer = nSubSteps;
            break;
        case 4:
        case 5: {
            double dFactor = PlayStage().m_dStepFactor > 0 ? PlayStage().m_dStepFactor : 1;
            pHero->m_nBlockSpeedKind = pCell->m_nEffect;
            pHero->m_dBlockSpeedValue = pCell->m_nEffectValue * 0.1 / dFactor;
            pHero->m_nBlockSpeedTimer = nSubSteps;
            break;
        }
        default:
            break;
        }
        if (pCell->m_nEffect != 2) pHero->m_bNoJump = 0;
    }
    if (pHero->m_nBlockSpeedTimer > 0) {
        switch (pHero->m_nBlockSpeedKind) {
        case 3:
            pHero->m_dVx *= pHero->m_dBlockSpeedValue;
            break;
        case 4:
            pHero->m_dVx -= pHero->m_dBlockSpeedValue;
            if (pHero->m_dCmdVx > 0) pHero->m_dCmdVx = 0;
            break;
        case 5:
            pHero->m_dVx += pHero->m_dBlockSpeedValue;
            if (pHero->m_dCmdVx < 0) pHero->m_dCmdVx = 0;
            break;
        default:
            break;
        }
        if (--pHero->m_nBlockSpeedTimer == 0) StickToGround(pHero);
    }
    return nResult;
}

int cPlayScene::GiveBlockItem(cHero* pHero) {
    if (pHero->m_bFlight) return 0;
    bool bGiven = false;
    cMapCell* pCell = MapCellFind(pHero->m_nGroundCell);
    if (pCell && pHero->m_nBlockItemWait == 0 && pCell->GetHit(pHero->m_nGroup) != 0 &&
        (pCell->m_nItemType == 1 || pCell->m_nItemType == 2)) {
        if (const cItemData* pEntry = GetItemPaletteEntry(pCell->m_nItemType, pCell->m_nItemNum)) {
            cItemData def = *pEntry;
            cItem item;
            item.Setup(-1, def, 0);
            item.m_bActive = 1;
            int r = TakeItem(&item, pHero);
            if (r != 0) return r;
            bGiven = true;
            pHero->m_nBlockItemWait = 60 * PlayStage().m_nSubStep;
        }
    }
    if (pHero->m_nBlockItemWait > 0) {
        if (pHero->m_bAirborne) {
            pHero->m_nBlockItemWait = 0;
        } else {
            pHero->m_nBlockItemWait--;
            if (!bGiven && pHero->m_nGroundCell != pHero->m_nPrevGroundCell) {
                pHero->m_nBlockItemWait = 0;
                StickToGround(pHero);
            }
        }
    }
    return 0;
}

void cPlayScene::StickToGround(cObj* pObj) {
    const int b = PlayStage().m_nSubStep > 0 ? PlayStage().m_nSubStep : 1;
    if (PlaySystem().m_bRule793) {
        if (pObj->m_dVy >= 0) pObj->m_dVy += 1.0;
        return;
    }
    const cCharaBase* c = pObj->AsCharaBase();
    if (!(pObj->m_dVy >= 0 && pObj->m_dVy <= 1.0 / b)) return;
    if (c && (c->m_bRiding || c->m_bAirborne)) return;
    const int y = TruncDot(pObj->m_dBottom) + 4;
    const int nIdx =
        FindHitCell(pObj, TruncDot(pObj->m_dX + pObj->m_dVx), y, TruncDot(pObj->m_dRight + pObj->m_dVx), y);
    if (MapCellKind(nIdx, pObj->m_nGroup) != 0) pObj->m_dVy = 7.0 / b;
}

void cPlayScene::CheckScreenEdgeX(cHero* pHero) {
    const cScroll& sx = m_ScrollX;
    if (!sx.m_bAuto && !pHero->m_bFlight) return;
    pHero->UpdateScreenRect();
    if (pHero->m_rcScreen.left + pHero->m_nBoxX < 0) {
        pHero->m_bHitLeft = 1;
        pHero->m_dX = sx.m_dCam;
        pHero->ClampX();
    } else if (pHero->m_rcScreen.right - pHero->m_nBoxX + 1 >= 640) {
        pHero->m_bHitRight = 1;
        pHero->m_dX = sx.m_dCam + 640.0 - pHero->m_nWidth - 1.0;
        pHero->ClampX();
    }
}

int cPlayScene::CheckScreenEdgeY(cHero* pHero) {
    const cScroll& sy = m_ScrollY;
    if (!sy.m_bAuto && !pHero->m_bFlight) return 0;
    pHero->UpdateScreenRect();
    if (pHero->m_rcScreen.top + pHero->m_nBoxY < 0) {
        pHero->m_bHitTop = 1;
        pHero->m_dY = sy.m_dCam;
        pHero->ClampY();
        return 0;
    }
    if (pHero->m_rcScreen.bottom - pHero->m_nBoxY + 1 >= 480) {
        pHero->m_bHitBottom = 1;
        pHero->m_dY = sy.m_dCam + 480.0 - pHero->m_nHeight - 1.0;
        pHero->ClampY();
        return pHero->m_bFlight ? 0 : 2;
    }
    return 0;
}
