#pragma once
// The common fixture of the scene tests: a headless display (so the scene
// fades run as in the game), a temporary game folder, default settings and a
// fresh progress, the scripted host and input.
#include <gtest/gtest.h>

#include "frontend/FrontEndFakes.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "support/DDTestSupport.h"
#include "support/TempDir.h"

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 640, 480));
        savedSystem = recSystem;
        savedMap = recWorldMap;
        recSystem = cSystemData();
        recSystem.m_bUseSaveSlots = 1;
        recWorldMap = cWorldMap();
        recProgress.Reset();
        dir.MakeDir("user_data/story");
        dir.MakeDir("user_data/challenge");
    }
    void TearDown() override {
        recSystem = savedSystem;
        recWorldMap = savedMap;
        DDEnd();
    }
    // Runs frames with nothing held until the scene reaches a state.
    void RunUntil(cScene& s, int nState, int nMax = 60) {
        for (int i = 0; i < nMax && s.m_nState != nState; i++) fe.Frame(s, 0, 0);
        ASSERT_EQ(s.m_nState, nState);
    }
    // A key press of one frame followed by a frame with nothing held.
    void Press(cScene& s, int nDir, int nButton) {
        fe.Frame(s, nDir, nButton);
        fe.Frame(s, 0, 0);
    }

    cTempDir dir;
    cFrontEndTestScope fe;
    cSystemData savedSystem;
    cWorldMap savedMap;
};
