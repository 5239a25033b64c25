// Placement of the stage's characters and items at set-up, and the objects
// made while the stage runs: summoned characters, items and blocks.
#include <cmath>

#include "play/Chara.h"
#include "play/Conditions.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/CmdSubRecords.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"

namespace {

double CellCentre(int nCell) { return (static_cast<double>(nCell) + MAP_MARGIN_CELLS) * MAP_CELL_DOTS + 16; }

// Moves a character by a group offset: position and far edges, and its home
// position unless the system keeps the home on the unshifted spot.
void ShiftChara(cCharaBase* c, double dx, double dy) {
    c->m_dX += dx;
    c->m_dRight += dx;
    c->m_dY += dy;
    c->m_dBottom += dy;
    if (!PlaySystem().m_bRule768) {
        c->m_dStartX += dx;
        c->m_dStartY += dy;
    }
}

int LifeSteps(int nTenths) {
    int64_t n = static_cast<int64_t>(nTenths) * PlayStage().m_nSubStep * 6;
    if (n < 0) n = 0;
    if (n > 2147483646) n = 2147483646;
    return static_cast<int>(n);
}

// The group a summoned character joins: the palette entry's own, the
// summoner's, or the one the command names.
uint8_t SummonGroup(const cEdShot& params, const cCharaData& data, const cCharaBase* pParent) {
    switch (params.m_nSummonGroup) {
    case SUMMONGROUP_SHOOTER:
        return pParent ? static_cast<uint8_t>(pParent->m_nGroup) : data.m_nGroup;
    case SUMMONGROUP_NUMBER:
        return params.m_nFaction;
    default:
        return data.m_nGroup;
    }
}

}  // namespace

void cPlayScene::PlaceChara(cObjList<cChara>& list, int nCol, int nRow, int32_t* pCount, const cCharaData& place,
                            const cItem* pItem) {
    cCharaData work;
    work = place;
    for (int i = 0; i <= place.m_nRepeat; i++) {
        auto p = std::make_unique<cChara>();
        p->Setup(*pCount, &work, pItem, CellCentre(nCol), CellCentre(nRow), i, nullptr);
        ShiftChara(p.get(), work.GetGroupShiftX(i, work.m_nDir), work.GetGroupShiftY(i, work.m_nDir));
        if (!p->IsInStage(1)) continue;   // dropped without a number
        p->ClampX();
        p->ClampY();
        p->UpdateScreenRect();
        list.push_back(std::move(p));
        ++*pCount;
    }
}

void cPlayScene::PlaceItem(cObjList<cItem>& list, int nCol, int nRow, int32_t* pCount, const cItemData& place) {
    cItemData work;
    work = place;
    auto p = std::make_unique<cItem>();
    p->Setup(*pCount, work, 0);
    p->PlaceAtCell(nCol, nRow, 0);
    p->m_dX += work.m_nOffsetX;
    p->m_dY += work.m_nOffsetY;
    p->m_dRight = p->m_dX + p->m_nWidth - 1;
    p->m_dBottom = p->m_dY + p->m_nHeight - 1;
    if (!p->IsInStage(1)) return;
    p->ClampPosX(2);
    p->ClampPosY(2);
    p->UpdateScreenRect();
    list.push_back(std::move(p));
    ++*pCount;
}

void cPlayScene::SummonChara(cObjList<cChara>& list, int x, int y, int nValue, int nDir, const cEdShot& params,
                             const cCharaData& data, int32_t* pCount, cCharaBase* pParent) {
    // The copy value of a summoned character is its repeat's copy index
    // (clone 0 of the launch), which Setup receives.
    (void)nValue;
    for (int i = 0; i <= data.m_nRepeat; i++) {
        cCharaData work;
        work = data;
        work.m_nDir = static_cast<uint8_t>(nDir ? 1 : 0);
        work.m_nGroup = SummonGroup(params, data, pParent);
        auto p = std::make_unique<cChara>();
        p->Setup(*pCount, &work, nullptr, x + 16.0, y + 16.0, i, pParent);
        ShiftChara(p.get(), work.GetGroupShiftX(i, work.m_nDir), work.GetGroupShiftY(i, work.m_nDir));
        if (!p->IsInStage(1)) continue;
        p->ClampX();
        p->ClampY();
        // Nudged out of a blocked place: up, then left, then up once more.
        if (IsPlaceBlocked(p.get())) {
            p->m_dY -= 1;
            p->ClampY();
            if (IsPlaceBlocked(p.get())) {
                p->m_dY += 1;
                p->m_dX -= 1;
                p->ClampY();
                p->ClampX();
                if (IsPlaceBlocked(p.get())) {
                    p->m_dY -= 1;
                    p->ClampY();
                    if (IsPlaceBlocked(p.get())) continue;
                }
            }
        }
        p->InitLinks(pParent);
        if (params.m_bRangeLimit) p->m_nLife = LifeSteps(params.m_nRange);
        p->m_bNotifyParent = params.m_bCreditAttacker;
        p->m_nNotifyFlowId = params.m_nCreditParam;
        cChara* pRaw = p.get();
        list.push_back(std::move(p));
        int g = pRaw->m_nGroup;
        if (g >= 0 && g < static_cast<int>(m_vecGroupChara.size())) m_vecGroupChara[g].push_back(cObjRef(pRaw));
        ++*pCount;
    }
}

void cPlayScene::SummonItem(cObjList<cItem>& list, int x, int y, int nDir, const cEdShot& params,
                            const cItemData& data, int32_t* pCount) {
    cItemData work;
    work = data;
    auto p = std::make_unique<cItem>();
    p->Setup(*pCount, work, 0);
    p->m_nDir = nDir;
    p->m_dX = x + work.m_nOffsetX;
    p->m_dY = y + work.m_nOffsetY;
    p->m_dRight = p->m_dX + p->m_nWidth - 1;
    p->m_dBottom = p->m_dY + p->m_nHeight - 1;
    if (!p->IsInStage(1)) return;
    p->ClampPosX(2);
    p->ClampPosY(2);
    if (params.m_bRangeLimit) p->m_nLife = LifeSteps(params.m_nRange);
    list.push_back(std::move(p));
    ++*pCount;
}

void cPlayScene::SummonBlock(int x, int y, const cEdShot& params, const cBlockData& block) {
    // Column and row are checked apart: a column out of range never lands
    // in the next row.
    const int nCol = static_cast<int>(std::floor(x + 16.5)) >> 5;
    const int nRow = static_cast<int>(std::floor(y + 16.5)) >> 5;
    const int nIndex = MapCellIndex(nCol, nRow);
    cMapCell* pCell = MapCellAt(nIndex);
    if (!pCell) return;
    if (PlaySystem().m_bRule617) {
        if (pCell->m_bNoReplace) return;
    } else if (pCell->m_nGraphic != 0 && CheckBlockCond(*pCell) && pCell->m_bNoReplace) {
        return;
    }
    const bool bOverlap = params.m_bHeroOverlap || params.m_bCharaOverlap;
    auto write = [&]() -> bool {   // false when the summon was undone
        if (!bOverlap) {
            pCell->SetBlock(block);
            FlagCrushed(nIndex, nCol, nRow, params);
            return true;
        }
        cMapCell saved = *pCell;
        pCell->SetBlock(block);
        if (FlagCrushed(nIndex, nCol, nRow, params)) {
            *pCell = saved;
            return false;
        }
        return true;
    };
    switch (params.m_nBlockMode) {
    case 0:
        write();
        break;
    case 1:
        pCell->SetBlock(recCommonPalette.m_vBlockPalette.empty() ? cBlockData() : recCommonPalette.m_vBlockPalette[0]);
        break;
    case 2: {
        for (int32_t n : m_vecSummonCell)
            if (n == nIndex) return;
        if (pCell->m_nGraphic != 0 && CheckBlockCond(*pCell)) {
            pCell->SetBlock(recCommonPalette.m_vBlockPalette.empty() ? cBlockData()
                                                                     : recCommonPalette.m_vBlockPalette[0]);
            m_vecSummonCell.push_back(nIndex);
            break;
        }
        if (write()) m_vecSummonCell.push_back(nIndex);
        break;
    }
    default:
        break;
    }
}

int cPlayScene::FlagCrushed(int nCell, int nCol, int nRow, const cEdShot& params) {
    cMapCell* pCell = MapCellAt(nCell);
    if (!pCell) return 0;
    const double dL = nCol * 32.0, dT = nRow * 32.0;
    const double dR = dL + 32 - 0.1, dB = dT + 32 - 0.1;
    auto crushes = [&](cCharaBase* c) {
        if (pCell->GetHit(c->m_nGroup) == 0) return false;
        if (!(c->m_dRight >= dL && c->m_dX <= dR && c->m_dBottom >= dT && c->m_dY <= dB)) return false;
        if (!PlaySystem().m_bRule837 && c->m_bFlight && c->m_nFlightBlock == 0) return false;
        return true;
    };
    for (auto& h : vecPlayer()) {
        if (h->m_bDead || !crushes(h.get())) continue;
        h->m_nLockFrames = 2;
        if (params.m_bHeroOverlap) return 1;
    }
    for (auto& c : lstChara()) {
        if (c->m_bDead || !c->m_bActive || !crushes(c.get())) continue;
        c->m_nLockFrames = 2;
        if (params.m_bCharaOverlap) return 1;
    }
    return 0;
}
