// The get-item command runs a copy of the palette entry's list: the palette
// outlives the attempt (a retry, a later stage), so an arrange there must
// not carry over into later plays or their replays.
#include <gtest/gtest.h>

#include "FlowFixture.h"
#include "play/PlayHarness.h"

namespace {

TEST(GetItem, ArrangesDoNotChangeThePaletteEntry) {
    cPlayHarness h({"..........",
                    "..H.......",
                    "##########"});
    h.SetUp();
    h.Scene().m_vecStageVar.assign(10, 0);
    h.Scene().m_vecStageVar[1] = 2;
    // The entry's list: background number += stage variable 1 (2), then
    // change background 1. Each get-item runs it from the palette's 1: the
    // arranged value is 3 every time, and the palette keeps 1.
    cItemData item;
    item.m_vCmd.push_back(cFlowFixture::MakeItemCmd(CMD_ARRANGE - ITEMCMD_KIND_OFFSET,
                                                    {{0, CMD_BACKGROUND}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
    item.m_vCmd.push_back(cFlowFixture::MakeItemCmd(CMD_BACKGROUND - ITEMCMD_KIND_OFFSET, {{0, 1}}));
    h.Stage().m_vItemPalette.push_back(item);
    const int32_t n = static_cast<int32_t>(h.Stage().m_vItemPalette.size() - 1);
    cEdCmd get = cFlowFixture::MakeCmd(CMD_GET_ITEM, {{0, 1}, {1, n}});
    for (int i = 0; i < 2; i++) {
        cFlowFixture::Exec(&h.Hero(), get);
        EXPECT_EQ(h.Stage().m_vItemPalette[static_cast<size_t>(n)].m_vCmd[1].m_vParam[0], 1) << i;
    }
    EXPECT_TRUE(h.Hero().m_lstArrange.empty());
}

}  // namespace
