#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/DDFade.h"
#include "platform/CloseRequest.h"
#include "shell/GameMain.h"
#include "shell/PlayHost.h"
#include "project/SystemIni.h"

namespace {

std::vector<std::string> vLog;

class cFakeScene : public cScene {
public:
    explicit cFakeScene(int n) : m_nType(n) { vLog.push_back("new " + std::to_string(n)); }
    ~cFakeScene() override { vLog.push_back("delete " + std::to_string(m_nType)); }
    void Run() override { RunStates(); }
    void Init() override { vLog.push_back("init " + std::to_string(m_nType)); }
    void RunState(int nState) override { vLog.push_back("state " + std::to_string(m_nType) + ":" + std::to_string(nState)); }
    int m_nType;
};

cScene* FakeFactory(int n) { return n == SCENE_OPTION ? nullptr : new cFakeScene(n); }

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        vLog.clear();
        SetSceneFactory(FakeFactory);
    }
    void TearDown() override {
        gm.DeleteScenes();
        SetSceneFactory(nullptr);
    }
    void Frame(int nScene) {
        gm.m_nScene = nScene;
        gm.SwitchScene(gm.m_nScene);
        if (cScene* p = gm.GetScene(gm.m_nScene)) p->Run();
    }
    cGameMain gm;
};

using V = std::vector<std::string>;

TEST_F(SceneTest, SwitchSceneLifecycle) {
    Frame(SCENE_TITLE);
    Frame(SCENE_TITLE);
    EXPECT_EQ(vLog, (V{"new 0", "init 0", "state 0:0", "state 0:0"}));
    vLog.clear();
    Frame(SCENE_PLAY);
    EXPECT_EQ(vLog, (V{"delete 0", "new 4", "init 4", "state 4:0"}));
    EXPECT_EQ(lpPlayScene, gm.GetScene(SCENE_PLAY));
    // Play to play keeps the object; a reset state runs Init again.
    vLog.clear();
    gm.GetScene(SCENE_PLAY)->m_nState = -1;
    Frame(SCENE_PLAY);
    EXPECT_EQ(vLog, (V{"init 4", "state 4:0"}));
    // Leaving the play scene clears the published pointer.
    vLog.clear();
    Frame(SCENE_WORLDMAP);
    EXPECT_EQ(vLog, (V{"delete 4", "new 1", "init 1", "state 1:0"}));
    EXPECT_EQ(lpPlayScene, nullptr);
    // A type without a scene runs no scene and closes nothing.
    vLog.clear();
    Frame(SCENE_OPTION);
    EXPECT_EQ(vLog, (V{"delete 1"}));
    EXPECT_EQ(gm.GetScene(SCENE_OPTION), nullptr);
    // A type beyond the table deletes everything and creates nothing.
    Frame(SCENE_TITLE);
    vLog.clear();
    Frame(9);
    EXPECT_EQ(vLog, (V{"delete 0"}));
}

TEST_F(SceneTest, NewSceneStartsWithNoFadeUnderWay) {
    Frame(SCENE_TITLE);
    DDResetFades();
    const double dStart = DDGetFadeOutAngle();
    PALETTEENTRY aPal[256] = {};
    DDFadeOut(aPal, 0, 255, 0, 0, 0, 10.0, aPal, false);
    ASSERT_NE(DDGetFadeOutAngle(), dStart);
    // Staying on the scene keeps the fade; a switch starts the next afresh.
    Frame(SCENE_TITLE);
    EXPECT_NE(DDGetFadeOutAngle(), dStart);
    Frame(SCENE_WORLDMAP);
    EXPECT_EQ(DDGetFadeOutAngle(), dStart);
}

TEST(PingPongStep, RunsBetweenTheBoundsWithoutReachingThem) {
    int v = 0, d = 0;
    std::vector<int> seen;
    int nTurns = 0;
    for (int i = 0; i < 12; i++) {
        nTurns += PingPongStep(v, d, 100, 0, 255);
        seen.push_back(v);
    }
    EXPECT_EQ(seen, (std::vector<int>{100, 200, 200, 100, 100, 200, 200, 100, 100, 200, 200, 100}));
    EXPECT_EQ(nTurns, 2);
}

TEST(AnimateSystemColor, EntriesFollowTheChannelValue) {
    SYSCOLORSTATE s;
    AnimateSystemColorStep(s, 64);   // written from the value before the step: 0
    EXPECT_EQ(s.aColor[1].dwColor, 0xFF000000u);
    AnimateSystemColorStep(s, 64);   // v = 64
    EXPECT_EQ(s.aColor[1].dwColor, 0xFF404040u);
    EXPECT_EQ(s.aColor[2].nColorOp, 10);
    EXPECT_EQ(s.aColor[3].nColorOp, 7);
    EXPECT_EQ(s.aColor[7].dwColor, 0xFF400010u);
    EXPECT_EQ(s.aColor[8].dwColor, 0xFF100040u);
    EXPECT_EQ(s.aColor[9].dwColor, 0xFF400000u);
    // Entry 9 moves to the next phase after a full rise and fall.
    for (int i = 0; i < 6; i++) AnimateSystemColorStep(s, 64);
    EXPECT_EQ(s.nPhase, 1);
    AnimateSystemColorStep(s, 64);
    EXPECT_EQ(s.aColor[9].dwColor & 0x00FF00FFu, 0u);
}

TEST(FpsRing, AverageChangesOnlyEvery16Frames) {
    FPSRING r;
    for (int i = 0; i < 15; i++) {
        r.Push(8);
        EXPECT_EQ(r.nAverage, 0u);
    }
    r.Push(24);
    EXPECT_EQ(r.nAverage, (15 * 8 + 24) >> 4);
    for (int i = 0; i < 15; i++) r.Push(100);
    EXPECT_EQ(r.nAverage, (15 * 8 + 24) >> 4);
    r.Push(100);
    EXPECT_EQ(r.nAverage, 100u);
}

}  // namespace

namespace {

class cFakeFrame : public IFrameServices {
public:
    int nRestore = 1, nShowResult = 1, nShown = 0, nFpsTexts = 0;
    bool bD3D = false;
    bool PresentPacesFrames() override { return true; }
    int RestoreSurfaces() override { return nRestore; }
    int ShowFrame(int) override {
        nShown++;
        return nShowResult;
    }
    void DrawFpsText(int, const char*) override { nFpsTexts++; }
    bool IsDirect3D() override { return bD3D; }
    bool IsPaletteMode() override { return false; }
    void RotateCyclingColours() override {}
    int GetSysColorStep() override { return 8; }
    bool IsColourCyclingOn() override { return false; }
};

TEST(FrameStep, RunsTheSceneAndPresents) {
    cFakeFrame fake;
    SetFrameServices(&fake);
    SetSceneFactory(FakeFactory);
    vLog.clear();
    cGameMain gm;
    gm.m_nFps = 60;
    gm.m_nScene = SCENE_WORLDMAP;
    int nSavedFps = nShowFps;
    nShowFps = 1;
    EXPECT_EQ(gm.FrameStep(), 1);
    EXPECT_EQ(vLog, (V{"new 1", "init 1", "state 1:0"}));
    EXPECT_EQ(fake.nShown, 1);
    EXPECT_EQ(fake.nFpsTexts, 1);
    // Surfaces that cannot be restored end the game before anything is drawn.
    fake.nRestore = 0;
    vLog.clear();
    EXPECT_EQ(gm.FrameStep(), 0);
    EXPECT_TRUE(vLog.empty());
    EXPECT_EQ(fake.nShown, 1);
    nShowFps = nSavedFps;
    gm.DeleteScenes();
    SetSceneFactory(nullptr);
    SetFrameServices(nullptr);
}

// A frame of a stage-play wait presents the frame before, restores lost
// surfaces and goes on; surfaces that cannot be restored ask for a close
// that needs no answer, and this frame still goes on.
TEST(PlayWaitFrame, RestoresLostSurfacesAndGoesOn) {
    cFakeFrame fake;
    SetFrameServices(&fake);
    ResetCloseRequests();
    struct CASE {
        int nRestore;
        bool bClose;
    } const cases[] = {{1, false}, {0, true}};
    for (const CASE& k : cases) {
        fake.nRestore = k.nRestore;
        const int nShown = fake.nShown;
        EXPECT_EQ(PlayWaitFrame(), 1) << k.nRestore;
        EXPECT_EQ(fake.nShown, nShown + 1);
        eCloseKind eKind = CLOSE_USER;
        EXPECT_EQ(TakeCloseRequest(&eKind), k.bClose) << k.nRestore;
        if (k.bClose) {
            EXPECT_EQ(eKind, CLOSE_FATAL);
        }
    }
    ResetCloseRequests();
    SetFrameServices(nullptr);
}

}  // namespace
