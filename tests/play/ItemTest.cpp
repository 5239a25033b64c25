// An item placed on a cell keeps its place and footing wherever the author
// put it in the map: above or left of the stage, beyond the scroll limits.
#include <gtest/gtest.h>

#include "play/Item.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"

namespace {

// Items 20 x 20 (box offsets 6, 6). Stage cell (-2, -3) is map cell (8, 7),
// its corner (256, 224): in the map's margin, left of and above the stage
// (which starts at 320, 320). Size 1: x = 256 + 6 + 0.5, y = 224 + 6.
// Size 2 (box offsets 12): x = 256 + 12 + 0.5; y = 224 + 12, raised by the
// footing (20 + 6) to 210. Every clamp on the way keeps the item in the map
// only, so nothing pulls it into the stage.
TEST(ItemPlace, AnItemInTheMapMarginStaysOnItsCell) {
    cPlayHarness h({"..........", ".H........", "##########"});
    h.SetUp();
    h.Stage().m_nItemSizeW = 20;   // the items below are made after the set-up
    h.Stage().m_nItemSizeH = 20;
    // Limits over stage columns 2..5 and row 1: the margins are past them too.
    h.Scene().m_ScrollX.SetLimit(2, 5, 1, 1);
    struct CASE {
        int nSize;
        double x, y;
    };
    const CASE aCase[] = {{1, 262.5, 230}, {2, 268.5, 210}};
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "size " << c.nSize);
        cItemData d;
        d.m_nGraphic = 1;
        d.m_nSize = static_cast<uint8_t>(c.nSize);
        cItem it;
        it.Setup(1, d, 0);
        it.PlaceAtCell(-2, -3, 0);
        EXPECT_DOUBLE_EQ(it.m_dX, c.x);
        EXPECT_DOUBLE_EQ(it.m_dY, c.y);
        EXPECT_DOUBLE_EQ(it.m_dBottom, c.y + 20 * c.nSize - 1);
    }
    // Grown where it stands at the map's top margin: up by 26, still in the map.
    cItemData d;
    d.m_nGraphic = 1;
    cItem it;
    it.Setup(2, d, 0);
    it.m_dY = 100;
    it.AdjustScalePos(2, 1, 0);
    EXPECT_DOUBLE_EQ(it.m_dY, 74);
}

}  // namespace
