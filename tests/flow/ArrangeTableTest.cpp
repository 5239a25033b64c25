#include <gtest/gtest.h>

#include <map>

#include "flow/ArrangeTable.h"

TEST(ArrangeTable, RowsAndBounds) {
    BuildArrangeParamTable();
    ASSERT_EQ(ArrangeParamTable.size(), 40u);
    const std::map<int, size_t> sizes = {{2, 6},  {5, 6},  {6, 6},  {11, 29}, {12, 4}, {13, 6}, {14, 8},
                                         {15, 7}, {17, 5}, {19, 5}, {20, 6},  {21, 3}, {22, 2}, {24, 1},
                                         {26, 2}, {29, 5}, {32, 6}, {33, 4},  {34, 1}};
    for (int k = 0; k < 40; k++) {
        auto it = sizes.find(k);
        EXPECT_EQ(ArrangeParamTable[k].size(), it == sizes.end() ? 0u : it->second) << k;
        for (const auto& p : ArrangeParamTable[k]) {
            EXPECT_LE(p.nMin, p.nMax) << k;
            EXPECT_FALSE(p.strName.empty()) << k;
        }
    }
    const auto& shot = ArrangeParamTable[11];
    EXPECT_EQ(shot[0].strName, "グラフィック");
    EXPECT_EQ(shot[9].nMax, 180);    // spread angle
    EXPECT_EQ(shot[4].nMax, 2147483647);
    EXPECT_EQ(shot[27].nMin, -999999);
    EXPECT_EQ(shot[28].strName, "衝撃");
    EXPECT_EQ(ArrangeParamTable[6][2].strName, "目標X(bl)");
    // Building twice gives the same table.
    BuildArrangeParamTable();
    EXPECT_EQ(ArrangeParamTable[11].size(), 29u);
}
