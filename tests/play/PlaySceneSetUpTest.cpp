#include <gtest/gtest.h>

#include "play/Hero.h"
#include "play/PlayHarness.h"
#include "play/PlayMap.h"
#include "play/PlayScene.h"

TEST(PlaySceneSetUp, HeroStandsOnTheFloorAfterSetUp) {
    cPlayHarness h({"..........", "..H.......", "..........", "##########"});
    h.SetUp();
    h.Frames(60);
    // The floor's top is at stage row 3: the hero's bottom rests on the dot above.
    EXPECT_EQ(TruncDot(h.Hero().m_dBottom), cPlayHarness::CellY(3) - 1);
}
