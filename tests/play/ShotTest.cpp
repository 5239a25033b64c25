// A shot's vertical movement is held inside the map: falling into a pit it
// leaves the stage instead of sliding along the stage's bottom edge.
#include <gtest/gtest.h>

#include "play/PlayHarness.h"
#include "play/PlayScene.h"
#include "play/Shot.h"

TEST(ShotMove, FallsPastTheStageBottomAndStopsAtTheMapBottom) {
    // 5 rows: the stage ends at map dot (5 + 10) * 32 = 480, the map (with
    // its 10-cell margins) at 25 * 32 = 800. The scroll limits are the
    // stage's.
    cPlayHarness h({"..........", ".H........", "..........", "..........", ".........."});
    h.SetUp();
    ASSERT_EQ(h.Scene().m_ScrollY.m_dMax, 480.0);
    cShot shot;
    shot.m_nWidth = shot.m_nHeight = 16;
    shot.m_dX = 400;
    shot.m_dY = 470;
    shot.m_dVy = 5;
    shot.MoveY();
    // 470 + 5 = 475: its bottom (490) is past the stage end and stays there
    // (held by the limits it would be put back to 480 - 16 = 464).
    EXPECT_EQ(shot.m_dY, 475.0);
    EXPECT_EQ(shot.m_dBottom, 490.0);
    // Near the map's bottom it is held there: 780 + 5 = 785, bottom 800 is
    // past the map, so y = 800 - 16 = 784.
    shot.m_dY = 780;
    shot.MoveY();
    EXPECT_EQ(shot.m_dY, 784.0);
}
