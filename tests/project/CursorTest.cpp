#include <gtest/gtest.h>

#include <vector>

#include "project/Cursor.h"

namespace {

enum { L = 1, R = 2, U = 4, D = 8 };

TEST(Cursor, MoveWrapsRowsAndColumnsAndPlacesTheDrawPosition) {
    struct CASE {
        int nX, nY, nKeys, nCols, nRows;
        int nWantX, nWantY, nWantDrawX, nWantDrawY;
    } const acase[] = {
        {0, 0, L, 1, 4, 0, 0, 100, 200},   // one column: left keeps the column at 0
        {0, 0, U, 1, 4, 0, 3, 100, 236},   // row -1 wraps to the last row
        {0, 3, D, 1, 4, 0, 0, 100, 200},   // row 4 wraps to 0
        {0, 7, 0, 1, 4, 0, 0, 100, 200},   // an out-of-range row set by the caller wraps without a key
        {1, 1, R | D, 3, 3, 2, 2, 140, 224},
        {2, 0, R, 3, 3, 0, 0, 100, 200},
        {0, 2, L | U, 3, 3, 2, 1, 140, 212},
    };
    for (const auto& c : acase) {
        cCursor cur;
        cur.Cur().nX = c.nX;
        cur.Cur().nY = c.nY;
        cur.Move(c.nKeys, 100, 200, 20, 12, c.nCols, c.nRows);
        EXPECT_EQ(cur.Cur().nX, c.nWantX) << c.nX << "," << c.nY << " keys " << c.nKeys;
        EXPECT_EQ(cur.Cur().nY, c.nWantY) << c.nX << "," << c.nY << " keys " << c.nKeys;
        EXPECT_EQ(cur.Cur().nDrawX, c.nWantDrawX);
        EXPECT_EQ(cur.Cur().nDrawY, c.nWantDrawY);
    }
}

TEST(Cursor, MoveWithNegativeSizesDoesNothing) {
    cCursor cur;
    cur.Cur().nY = 5;
    cur.Move(D, 0, 0, 1, 1, -1, 3);
    EXPECT_EQ(cur.Cur().nY, 5);
}

TEST(Cursor, MoveListScrollsPagesAndClamps) {
    struct CASE {
        int nRow, nTop, nKeys, nVisible, nCount, bPaging;
        int nWantRow, nWantTop, nWantDraw;
    } acase[] = {
        {0, 0, D, 5, 10, 0, 1, 0, 50 + 16},
        {4, 0, D, 5, 10, 0, 5, 1, 50 + 64},    // leaving the bottom scrolls by one
        {3, 3, U, 5, 10, 0, 2, 2, 50},         // leaving the top scrolls back
        {0, 0, U, 5, 10, 0, 0, 0, 50},         // no wrap at the start
        {9, 5, D, 5, 10, 0, 9, 5, 50 + 64},    // no wrap at the end
        {2, 0, D, 5, 3, 0, 2, 0, 50 + 32},     // fewer entries than rows: top stays 0
        {1, 0, R, 5, 10, 1, 5, 4, 50 + 16},    // a page is visible - 1 rows
        {7, 5, R, 5, 10, 1, 9, 5, 50 + 64},    // on the last page: the last entry
        {2, 0, L, 5, 10, 1, 0, 0, 50},         // on the first page: the first entry
        {8, 5, L, 5, 10, 1, 4, 1, 50 + 48},
    };
    for (const auto& c : acase) {
        cCursor cur;
        cur.Cur().nY = c.nRow;
        int nTop = c.nTop;
        cur.MoveList(c.nKeys, 1, &nTop, 50, 16, 300, c.nVisible, c.nCount, c.bPaging);
        EXPECT_EQ(cur.Cur().nY, c.nWantRow) << "row " << c.nRow << " top " << c.nTop << " keys " << c.nKeys;
        EXPECT_EQ(nTop, c.nWantTop) << "row " << c.nRow << " top " << c.nTop << " keys " << c.nKeys;
        EXPECT_EQ(cur.Cur().nDrawY, c.nWantDraw);
        EXPECT_EQ(cur.Cur().nDrawX, 300);
    }
}

TEST(Cursor, PushAndPopKeepAStackThatNeverEmpties) {
    cCursor cur;
    cur.Cur().nY = 3;
    cur.Push(1);   // a one-entry stack: the new entry is zeroed
    EXPECT_EQ(cur.Cur().nY, 0);
    EXPECT_EQ(cur.GetDepth(), 1);
    ASSERT_NE(cur.GetBelow(), nullptr);
    EXPECT_EQ(cur.GetBelow()->nY, 3);
    cur.Cur().nY = 6;
    cur.Push(1);   // two entries: the new one copies the one below
    EXPECT_EQ(cur.Cur().nY, 6);
    cur.Cur().nY = 9;
    cur.Pop(2);    // the parent takes the removed entry's values
    EXPECT_EQ(cur.Cur().nY, 9);
    cur.Pop(1);    // the parent keeps its own
    EXPECT_EQ(cur.Cur().nY, 3);
    cur.Pop(0);    // one entry: nothing happens
    EXPECT_EQ(cur.Cur().nY, 3);
    EXPECT_EQ(cur.GetBelow(), nullptr);
    cur.Push(0);
    cur.Cur().nY = 4;
    cur.Pop(0);    // the parent is zeroed
    EXPECT_EQ(cur.Cur().nY, 0);
    cur.Push(0);
    cur.Push(0);
    cur.Reset();
    EXPECT_EQ(cur.GetDepth(), 0);
}

std::vector<int> vPlayed;
void RecordSound(int n) { vPlayed.push_back(n); }

TEST(Cursor, CursorSoundPerAxis) {
    SetCursorSoundFn(RecordSound);
    vPlayed.clear();
    PlayCursorSE(L, 1, 0);        // horizontal axis on, left pressed
    PlayCursorSE(U, 1, 0);        // vertical key with only the horizontal axis
    PlayCursorSE(L | D, 3, 7);    // both axes: played twice
    PlayCursorSE(0, 3, 5);
    SetCursorSoundFn(nullptr);
    EXPECT_EQ(vPlayed, (std::vector<int>{0, 7, 7}));
}

TEST(Cursor, CommandListWidthCountsOnlyEnabledEntries) {
    cChkVector<cCmd> v(3);
    v[0].m_strText = "abc";
    v[1].m_strText = "ゲームを終了";   // six characters in twelve bytes
    v[1].m_bEnable = 0;
    v[2].m_strText = "abcd";
    int k = 0;
    EXPECT_EQ(GetCmdListWidth(v, &k), 4);
    EXPECT_EQ(k, 2);
    EXPECT_EQ(GetCmdListX(320, v), 320 - 40);
    v[1].m_bEnable = 1;
    EXPECT_EQ(GetCmdListWidth(v, &k), 6);
    for (auto& e : v) e.m_strText.clear();
    EXPECT_EQ(GetCmdListX(320, v), 320);   // empty texts: no window
}

}  // namespace
