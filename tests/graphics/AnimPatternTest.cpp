#include "graphics/AnimPattern.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Ticks(cAnimPattern& anim, int n)
{
    std::vector<int> v;
    for (int i = 0; i < n; i++) v.push_back(anim.Update());
    return v;
}

TEST(AnimPatternTest, LoopStayAndJumpSequences)
{
    static const int loop[] = {5, 3, 0, 6, 3, 0, -2, 0, 0};
    static const int stay[] = {5, 3, 0, 6, 3, 0, -1, 0, 0};
    static const int* const rowsLoop[] = {loop, nullptr};
    static const int* const rowsStay[] = {stay, nullptr};

    cAnimPattern a;
    a.SetPatterns(rowsLoop);
    EXPECT_EQ(a.GetFrame(), 5);
    EXPECT_EQ(Ticks(a, 10), (std::vector<int>{5, 5, 6, 6, 6, 5, 5, 5, 6, 6}));

    cAnimPattern b;
    b.SetPatterns(rowsStay);
    EXPECT_EQ(Ticks(b, 10), (std::vector<int>{5, 5, 6, 6, 6, 6, 6, 6, 6, 6}));

    static const int r0[] = {5, 2, 0, -3, 2, 0};
    static const int r1[] = {1, 1, 0, -2, 0, 0};
    static const int r2[] = {7, 2, 0, 8, 1, 0, -2, 0, 0};
    static const int* const rowsJump[] = {r0, r1, r2, nullptr};
    cAnimPattern c;
    c.SetPatterns(rowsJump);
    EXPECT_EQ(Ticks(c, 10), (std::vector<int>{5, 7, 7, 8, 7, 7, 8, 7, 7, 8}));
    EXPECT_EQ(c.m_nPattern, 2);
}

TEST(AnimPatternTest, EndCodeStaysCurrent)
{
    static const int row[] = {9, 1, 0, -4, 0, 0};
    static const int* const rows[] = {row, nullptr};
    cAnimPattern a;
    a.SetPatterns(rows);
    EXPECT_EQ(a.Update(), -4);
    // Ticking on keeps the end step instead of running past the pattern.
    EXPECT_EQ(a.Update(), -4);
    EXPECT_EQ(a.Update(), -4);
    EXPECT_EQ(a.m_nStep, 1);
    EXPECT_EQ(a.GetFrame(), -4);
}

TEST(AnimPatternTest, SelectionLockAndRestart)
{
    static const int r0[] = {1, 5, 257, 2, 5, 256, -2, 0, 0};
    static const int r1[] = {3, 5, 0, -2, 0, 0};
    static const int* const rows[] = {r0, r1, nullptr};
    cAnimPattern a;
    a.SetPatterns(rows);
    EXPECT_EQ(a.m_vPattern.At(0).At(0).bLock, 1);  // 257 & 255
    EXPECT_EQ(a.m_vPattern.At(0).At(1).bLock, 0);  // 256 & 255

    a.Update();
    a.Update();
    ASSERT_EQ(a.m_nCount, 2);
    // ChangePattern to the running pattern keeps its position.
    EXPECT_EQ(a.ChangePattern(0, 0), 1);
    EXPECT_EQ(a.m_nCount, 2);
    // Locked: unforced selections are refused and change nothing.
    EXPECT_EQ(a.SetPattern(1, 0), 0);
    EXPECT_EQ(a.ChangePattern(1, 0), 0);
    EXPECT_EQ(a.m_nPattern, 0);
    EXPECT_EQ(a.m_nCount, 2);
    // SetPattern to the running pattern restarts it (forced past the lock).
    EXPECT_EQ(a.SetPattern(0, 1), 1);
    EXPECT_EQ(a.m_nCount, 0);
    EXPECT_EQ(a.m_nStep, 0);
    EXPECT_EQ(a.ChangePattern(1, 1), 1);
    EXPECT_EQ(a.GetFrame(), 3);
    // On an unlocked step an unforced change goes through.
    EXPECT_EQ(a.ChangePattern(0, 0), 1);
    EXPECT_EQ(a.m_nPattern, 0);
}

TEST(AnimPatternTest, EmptyAndNullTables)
{
    cAnimPattern a;
    EXPECT_EQ(a.Update(), 0);
    EXPECT_EQ(a.GetFrame(), 0);
    EXPECT_EQ(a.m_nCount, 0);
    EXPECT_EQ(a.SetPattern(3, 0), 1);  // nothing to be locked in an empty table

    static const int row[] = {4, 2, 0, -2, 0, 0};
    static const int* const rows[] = {row, nullptr};
    a.SetPatterns(rows);
    a.Update();
    a.SetPatterns(nullptr);  // keeps table and position
    EXPECT_EQ(a.m_vPattern.size(), 1u);
    EXPECT_EQ(a.m_nCount, 1);

    static const int* const none[] = {nullptr};
    a.SetPatterns(none);
    EXPECT_TRUE(a.m_vPattern.empty());
    EXPECT_EQ(a.Update(), 0);
}

TEST(AnimPatternTest, CopyIsDeepAndKeepsPosition)
{
    static const int row[] = {1, 2, 0, 2, 2, 0, -2, 0, 0};
    static const int* const rows[] = {row, nullptr};
    cAnimPattern a;
    a.SetPatterns(rows);
    Ticks(a, 3);
    cAnimPattern b(a);
    EXPECT_EQ(b.m_nStep, a.m_nStep);
    EXPECT_EQ(b.m_nCount, a.m_nCount);
    EXPECT_EQ(Ticks(b, 4), Ticks(a, 4));
    b.m_vPattern.At(0).At(0).nFrame = 99;
    EXPECT_EQ(a.m_vPattern.At(0).At(0).nFrame, 1);
}

TEST(AnimPatternTest, PatternWithoutCodeStepHoldsItsLastStep)
{
    cAnimPattern a;
    a.m_vPattern.resize(1);
    a.m_vPattern.At(0).assign(2, ANIMSTEP{});
    a.m_vPattern.At(0).At(0) = {3, 1, 0};
    a.m_vPattern.At(0).At(1) = {4, 1, 0};
    EXPECT_EQ(Ticks(a, 4), (std::vector<int>{4, 4, 4, 4}));
}

}  // namespace

namespace {

// A shared table steps exactly as a copy of the same rows: loops, a held
// step, a forced jump, and a locked step that refuses an unforced change.
TEST(AnimPatternTest, ASharedTableStepsAsItsOwnCopy)
{
    static const int r0[] = {5, 2, 0, -3, 2, 0};
    static const int r1[] = {1, 1, 0, 4, 2, 0, -1, 0, 0};
    static const int r2[] = {7, 2, 257, 8, 1, 0, -2, 0, 0};
    static const int* const rows[] = {r0, r1, r2, nullptr};
    cAnimPattern own;
    own.SetPatterns(rows);
    const cChkVector<cChkVector<ANIMSTEP>> table = own.m_vPattern;
    cAnimPattern shared;
    shared.m_nPattern = 2;   // whatever was there before
    shared.m_nStep = 1;
    shared.ShareTable(&table);
    EXPECT_TRUE(shared.m_vPattern.empty());
    EXPECT_EQ(shared.m_nPattern, 0);
    EXPECT_EQ(shared.m_nStep, 0);
    EXPECT_EQ(Ticks(shared, 9), (std::vector<int>{5, 7, 7, 8, 7, 7, 8, 7, 7}));
    EXPECT_EQ(Ticks(own, 9), (std::vector<int>{5, 7, 7, 8, 7, 7, 8, 7, 7}));
    // Pattern 2's first step is locked: an unforced change is refused.
    EXPECT_EQ(shared.m_nPattern, 2);
    EXPECT_EQ(shared.SetPattern(1, 0), own.SetPattern(1, 0));
    EXPECT_EQ(shared.m_nPattern, 2);
    EXPECT_EQ(shared.SetPattern(1, 1), 1);
    own.SetPattern(1, 1);
    // Step 0 lasts one tick; step 1 is then held.
    EXPECT_EQ(Ticks(shared, 6), (std::vector<int>{4, 4, 4, 4, 4, 4}));
    EXPECT_EQ(Ticks(own, 6), (std::vector<int>{4, 4, 4, 4, 4, 4}));
    // A copy shares the same table and goes on from the same place.
    cAnimPattern copy = shared;
    EXPECT_TRUE(copy.m_vPattern.empty());
    EXPECT_EQ(copy.GetFrame(), 4);
    copy.SetPattern(0, 1);
    EXPECT_EQ(Ticks(copy, 3), (std::vector<int>{5, 7, 7}));
    // Patterns of its own, or a clear, end the sharing.
    static const int solo[] = {9, 1, 0, -2, 0, 0};
    static const int* const rowsSolo[] = {solo, nullptr};
    copy.SetPatterns(rowsSolo);
    EXPECT_EQ(Ticks(copy, 2), (std::vector<int>{9, 9}));
    shared.Clear();
    EXPECT_EQ(shared.GetFrame(), 0);
    EXPECT_EQ(shared.Update(), 0);
}

}  // namespace
