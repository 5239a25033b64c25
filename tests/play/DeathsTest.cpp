// The hero's death tests around a lock: the position saved when the hero's
// flight changed is put back on the next step whether or not the hero is
// squeezed.
#include <gtest/gtest.h>

#include "play/Hero.h"
#include "play/PlayHarness.h"
#include "play/PlayScene.h"

TEST(HeroLock, SavedPositionComesBackOnTheNextStepWithoutASqueeze) {
    cPlayHarness h({"..........", ".H........", "..........", "..........", "##########"});
    h.BuildStage();   // the stage's defaults, then one setting changed
    h.Stage().m_nJudgeLevel = 1;   // one step a frame
    h.SetUp();
    cHero& hero = h.Hero();
    const double x0 = hero.m_dX, y0 = hero.m_dY;
    // Flying with the position saved and its restore asked for: a lock of
    // two steps.
    hero.SetFlight(1, 0, 1, 1);
    ASSERT_EQ(hero.m_nLockFrames, 2);
    // Moved away by 40 dots into open air (nothing squeezes it there).
    hero.m_dX += 40;
    hero.m_dRight += 40;
    h.Frame();
    // The step's flows count the lock down to 1; the hero, still held, gets
    // the saved (x0, y0) back. A flying hero with no input does not move.
    EXPECT_EQ(hero.m_nLockFrames, 1);
    EXPECT_EQ(hero.m_dX, x0);
    EXPECT_EQ(hero.m_dY, y0);
    // Only once: moved again on the second held step it stays moved.
    hero.m_dX += 40;
    hero.m_dRight += 40;
    h.Frame();
    EXPECT_EQ(hero.m_dX, x0 + 40);
}
