// Placement and run-time creation: repeated placements numbered in creation
// order, copies outside the map dropped, a held item, the block summon's modes.
#include <gtest/gtest.h>

#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"

namespace {

std::vector<std::string> Room() { return {"..........", ".H........", "..........", "..........", "##########"}; }

}  // namespace

TEST(Placement, CopiesAreNumberedAndShiftedAndOutsideCopiesDropped) {
    cPlayHarness h({"..........", ".H......C.", "..........", "..........", "##########"});
    cCharaData& c = h.CharaTemplate();
    c.m_nRepeat = 2;
    c.m_nShiftStepX = 10;   // 10 dots per copy
    c.m_nFlight = 1;
    h.SetUp();
    std::vector<int> vId;
    std::vector<int16_t> vCopy;
    for (auto& p : h.Ctx().lstChara) {
        vId.push_back(p->m_nId);
        vCopy.push_back(p->m_nCopyIndex);
    }
    // The hero took number 0; the three copies 1, 2, 3 in creation order.
    EXPECT_EQ(vId, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(vCopy, (std::vector<int16_t>{0, 1, 2}));
    ASSERT_EQ(h.Ctx().lstChara.size(), 3u);
    auto it = h.Ctx().lstChara.begin();
    const double x0 = (*it)->m_dX;
    EXPECT_EQ((*++it)->m_dX, x0 + 10);
    EXPECT_EQ((*++it)->m_dX, x0 + 20);

    // Copies pushed past the map's right edge are dropped without a number:
    // the placement's cell centre is at x 624 of a map 960 dots wide, so
    // copies 2 and 3 (400 and 600 dots further) lie outside.
    cPlayHarness h2({"..........", ".H.......C", "..........", "..........", "##########"});
    h2.CharaTemplate().m_nRepeat = 3;
    h2.CharaTemplate().m_nShiftStepX = 200;
    h2.CharaTemplate().m_nFlight = 1;
    h2.SetUp();
    EXPECT_EQ(h2.Ctx().lstChara.size(), 2u);
    EXPECT_EQ(h2.Scene().m_nCharaCount, 3);   // the hero and the two kept copies
}

TEST(Placement, HeldItemIsNotPlacedByItself) {
    cPlayHarness h({"..........", ".H...C.I..", "..........", "..........", "##########"});
    h.CharaTemplate().m_nDropItem = 0;   // the first placed item
    h.SetUp();
    ASSERT_EQ(h.Ctx().lstChara.size(), 1u);
    EXPECT_NE(h.Ctx().lstChara.front()->m_pItem, nullptr);
    EXPECT_TRUE(h.Ctx().lstItem.empty());
}

TEST(SummonBlock, ModesOccupiedCellsAndRanges) {
    cPlayHarness h(Room());
    h.SetUp();
    cPlayScene& s = h.Scene();
    cBlockData blk = h.SolidBlock();
    blk.m_nGraphic = 3;
    cEdShot params;
    // The cell of a summon at (x, y) is ((x + 16.5) >> 5, (y + 16.5) >> 5).
    const int nCol = 13, nRow = 11;
    const int x = nCol * 32 - 16, y = nRow * 32 - 16;
    cMapCell* pCell = MapCellAt(MapCellIndex(nCol, nRow));
    ASSERT_NE(pCell, nullptr);
    EXPECT_EQ(pCell->m_nGraphic, 0);

    params.m_nBlockMode = 0;   // overwrite
    s.SummonBlock(x, y, params, blk);
    EXPECT_EQ(pCell->m_nGraphic, 3);

    params.m_nBlockMode = 1;   // erase
    s.SummonBlock(x, y, params, blk);
    EXPECT_EQ(pCell->m_nGraphic, 0);

    // A visible block flagged not to be replaced stays.
    cBlockData keep = blk;
    keep.m_nGraphic = 4;
    keep.m_bNoReplace = 1;
    pCell->SetBlock(keep);
    params.m_nBlockMode = 0;
    s.SummonBlock(x, y, params, blk);
    EXPECT_EQ(pCell->m_nGraphic, 4);

    // Toggle: a visible cell becomes blank and is listed; a second toggle of
    // the same cell in this attempt does nothing.
    pCell->SetBlock(blk);
    params.m_nBlockMode = 2;
    s.SummonBlock(x, y, params, blk);
    EXPECT_EQ(pCell->m_nGraphic, 0);
    s.SummonBlock(x, y, params, blk);
    EXPECT_EQ(pCell->m_nGraphic, 0);
    EXPECT_EQ(s.m_vecSummonCell.size(), 1u);

    // Other modes do nothing.
    params.m_nBlockMode = 3;
    pCell->SetBlock(keep);
    s.SummonBlock(x, y, params, blk);
    EXPECT_EQ(pCell->m_nGraphic, 4);
    pCell->SetBlock(cBlockData());
    pCell->m_nGraphic = 0;

    // A column past the map's right edge never lands in the next row.
    params.m_nBlockMode = 0;
    const int nCols = MapCols();
    s.SummonBlock(nCols * 32 + 8, y, params, blk);
    for (int c = 0; c < nCols; c++) EXPECT_EQ(MapCellAt(MapCellIndex(c, nRow + 1))->m_nGraphic, 0) << "column " << c;
}

TEST(SummonBlock, HeroOverlapSwitchRefusesABlockOnTheHero) {
    cPlayHarness h(Room());
    h.SetUp();
    h.Frames(30);
    cPlayScene& s = h.Scene();
    cHero& hero = h.Hero();
    const int nCol = hero.m_nCellL, nRow = hero.m_nCellT;
    cEdShot params;
    params.m_bHeroOverlap = 1;
    s.SummonBlock(nCol * 32 - 16, nRow * 32 - 16, params, h.SolidBlock());
    EXPECT_EQ(MapCellAt(MapCellIndex(nCol, nRow))->m_nGraphic, 0);
    params.m_bHeroOverlap = 0;
    s.SummonBlock(nCol * 32 - 16, nRow * 32 - 16, params, h.SolidBlock());
    EXPECT_NE(MapCellAt(MapCellIndex(nCol, nRow))->m_nGraphic, 0);
    EXPECT_EQ(hero.m_nLockFrames, 2);   // put back to its saved position
}

// A summoned character's group follows the command's summon group mode:
// the palette entry's own, the summoner's, or the command's number. Each
// is also filed in its group's list.
TEST(SummonChara, GroupFollowsTheSummonGroupMode) {
    struct CASE {
        uint8_t nMode;
        int nGroup;
    } const acase[] = {
        {SUMMONGROUP_ENTRY, 3},     // the entry's group 3
        {SUMMONGROUP_SHOOTER, 5},   // the summoner (the hero, group 5)
        {SUMMONGROUP_NUMBER, 6},    // the command's group 6
    };
    for (const CASE& t : acase) {
        cPlayHarness h(Room());
        h.SetUp();
        cPlayScene& s = h.Scene();
        h.Hero().m_nGroup = 5;
        cCharaData d;
        d.m_nGroup = 3;
        d.m_nFlight = 1;
        cEdShot params;
        params.m_nSummonGroup = t.nMode;
        params.m_nFaction = 6;
        const size_t nBefore = h.Ctx().lstChara.size();
        // Stage cell (5, 2) is open.
        s.SummonChara(h.Ctx().lstChara, static_cast<int>(cPlayHarness::CellX(5)),
                      static_cast<int>(cPlayHarness::CellY(2)), 0, 1, params, d, &s.m_nCharaCount, &h.Hero());
        ASSERT_EQ(h.Ctx().lstChara.size(), nBefore + 1) << int(t.nMode);
        const cChara* c = h.Ctx().lstChara.back().get();
        EXPECT_EQ(c->m_nGroup, t.nGroup) << "mode " << int(t.nMode);
        bool bFiled = false;
        for (const cObjRef& r : s.m_vecGroupChara[static_cast<size_t>(t.nGroup)]) bFiled = bFiled || r.Get() == c;
        EXPECT_TRUE(bFiled) << "mode " << int(t.nMode);
    }
}

// An item placed beyond the scroll limits stays on its cell: placement keeps
// items inside the map, not inside the camera's limits.
TEST(Placement, ItemBeyondTheScrollLimitsStaysOnItsCell) {
    cPlayHarness h({"..........", ".H........", "..........", "..........", "##########"});
    h.SetUp();
    cPlayScene& s = h.Scene();
    // Limits over stage columns 0..3: min 320, max 320 + 3 * 32 + 32 = 448.
    s.m_ScrollX.SetLimit(0, 3, 1, 1);
    ASSERT_EQ(s.m_ScrollX.m_dMax, 448.0);
    cItemData d;
    d.m_nGraphic = 1;
    int32_t nCount = 0;
    s.PlaceItem(h.Ctx().lstItem, 7, 2, &nCount, d);
    ASSERT_EQ(h.Ctx().lstItem.size(), 1u);
    const cItem& it = *h.Ctx().lstItem.back();
    // Column 7 is map column 17: x = 17 * 32 + box offset + 0.5 = 544.5 plus
    // the offset (the limits would have put its right edge at 447).
    EXPECT_EQ(it.m_dX, 544.5 + it.m_nBoxX);
    // Row 2 is map row 12: y = 384 + box offset.
    EXPECT_EQ(it.m_dY, 384.0 + it.m_nBoxY);
    EXPECT_EQ(nCount, 1);
}
