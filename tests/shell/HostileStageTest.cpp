// Hostile stages through the real program, on a copy of the demo:
// - a stage of more character placements than play can ever set up is
//   refused while it is read, and the player is told why;
// - a stage whose frames take seconds (thousands of characters of two
//   groups on one spot, every pair of them touching) still closes within
//   about a second of a termination signal: the game thread gives up the
//   frame it is in, every thread ends and the status is 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "foundation/Record.h"
#include "platform/Clock.h"
#include "platform/TextCodec.h"
#include "project/Scene.h"
#include "stage/Stage.h"
#include "support/ByteBuilder.h"
#include "support/DemoCopyTest.h"
#include "support/GameProcess.h"

namespace {

// A playable 30 x 20 stage with a floor: the hero on the left and nCrowd
// flying computer characters on one cell in view, alternately of groups 1
// and 2.
cStage CrowdStage(int nCrowd) {
    cStage st;
    st.m_nWidth = 30;
    st.m_nHeight = 20;
    st.m_bShowStartBanner = st.m_bShowStartBanner2 = 0;
    cBlockData floor;
    floor.m_nHit = 1;
    floor.m_nGraphic = 1;
    for (int x = 0; x < 30; x++) {
        floor.m_nX = static_cast<int16_t>(x);
        floor.m_nY = 19;
        st.m_vBlockPlace.push_back(floor);
    }
    cCharaData hero;
    hero.m_nOperator = 0;
    hero.m_nGraphic = 1;
    hero.m_nDropItem = -1;
    hero.m_nX = 2;
    hero.m_nY = 17;
    st.m_vCharaPlace.push_back(hero);
    cCharaData one;
    one.m_nGraphic = 1;
    one.m_nDropItem = -1;
    one.m_nFlight = 1;
    one.m_nX = 10;
    one.m_nY = 8;
    for (int i = 0; i < nCrowd; i++) {
        one.m_nGroup = static_cast<uint8_t>(1 + i % 2);
        st.m_vCharaPlace.push_back(one);
    }
    return st;
}

class HostileStage : public cDemoCopyTest {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &m_strExe)) GTEST_SKIP() << "the program or the demo project is not built";
    }

    void SaveStage(const cStage& stage, const char* szFile) {
        InDemo([&] {
            cStage st = stage;
            ASSERT_EQ(st.Save(szFile), 1);
        });
    }

    std::string Report() const {
        const auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return SjisToUtf8(std::string(v.begin(), v.end()));
    }
};

TEST_F(HostileStage, TooManyPlacementsAreRefusedWhileReadAndThePlayerIsToldWhy) {
    SaveStage(CrowdStage(MAX_STAGE_PLACEMENTS), "data\\stg4\\crowd.stg4_000");
    if (HasFatalFailure()) return;
    cGameProcess run(m_strExe, {"--close-after-frames", "200", "data\\stg4\\crowd.stg4"}, {"SDL_VIDEODRIVER=dummy"},
                     "run");
    EXPECT_EQ(run.Wait(120), 1) << run.Err();
    const std::string strWhy = "stage file data\\stg4\\crowd.stg4_000 could not be read: it would take more memory "
                               "than a stage may";
    EXPECT_NE(run.Err().find(strWhy), std::string::npos) << run.Err();
    EXPECT_EQ(run.Err().find("damaged"), std::string::npos) << run.Err();
    // The box said so too.
    EXPECT_NE(run.Err().find(SjisToUtf8("メモリが不足しています！")), std::string::npos) << run.Err();
}

TEST_F(HostileStage, ASignalDuringFramesOfSecondsEndsTheRunWithinASecond) {
    SaveStage(CrowdStage(2500), "data\\stg4\\crowd.stg4_000");
    if (HasFatalFailure()) return;
    cGameProcess run(m_strExe, {"--close-after-frames", "100000", "data\\stg4\\crowd.stg4"},
                     {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_PLAY_TRACE=" + dir.File("trace.txt")}, "run");
    // Once the attempt and its first frame were traced the next frame runs
    // for seconds.
    auto TracedFrames = [&] {
        const auto v = ReadHostFile(dir.File("trace.txt"));
        return std::count(v.begin(), v.end(), '\n');
    };
    const uint32_t nStart = GetTicks();
    while (run.Running() && TracedFrames() < 2 && GetTicks() - nStart < 120000) SleepMs(10);
    ASSERT_TRUE(run.Running()) << run.Err();
    SleepMs(300);
    const long nBefore = TracedFrames();
    const uint32_t nAsked = GetTicks();
    run.Terminate();
    EXPECT_EQ(run.Wait(60), 0) << run.Err();
    const uint32_t nTook = GetTicks() - nAsked;
    // The frame in progress was given up, not traced as played.
    EXPECT_EQ(TracedFrames(), nBefore);
    // A generous bound: a close must not wait for the frame to end.
    EXPECT_LT(nTook, 3000u) << "the close took far longer than a second";
    const std::string s = Report();
    EXPECT_EQ(s.find("did not end"), std::string::npos) << s;
    std::string strLast = s.substr(0, s.find_last_not_of("\r\n") + 1);
    strLast = strLast.substr(strLast.rfind('\n') + 1);
    EXPECT_NE(strLast.find("; every thread ended"), std::string::npos) << strLast;
    EXPECT_NE(strLast.find("in scene " + std::to_string(SCENE_PLAY)), std::string::npos) << strLast;
}

}  // namespace
