// The blocking waits and the ranking screen on a harness stage: the stage is
// drawn frozen while they run, only a new press of button 1 ends a wait (and
// not in a message's first 10 frames), the play's input comes back as it was,
// and the ranking screen's kind key works only when there is more than one
// kind, with this result's place marked in the kind shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/DD.h"
#include "graphics/ImageSlots.h"
#include "graphics/ImageSurfaces.h"
#include "play/PlayDraw.h"
#include "play/PlayScene.h"
#include "play/PlayWait.h"
#include "play/WaitHost.h"
#include "project/Database.h"
#include "project/GameState.h"
#include "project/ProjectContext.h"
#include "project/Ranking.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "support/DDTestSupport.h"

namespace {

class PlayWait : public ::testing::Test {
protected:
    PlayWait()
        : h({"..........", "..H.......", "..........", "##########"}), host(h.Input()) {}
    void SetUp() override {
        h.SetUp();
        h.Ctx().lpHost = &host;
        h.Ctx().lpDatabase = &db;
    }
    cPlayScene& S() { return h.Scene(); }
    int Count(int nSound) const {
        return static_cast<int>(std::count(host.vecSound.begin(), host.vecSound.end(), nSound));
    }
    cPlayHarness h;
    cWaitHost host;
    cDatabase db;
};

// While a wait runs the stage is drawn frozen: a running screen effect keeps
// its value and frame, and the timer's last seconds do not beep. Drawn from
// play, the same frame advances the effect and beeps.
TEST_F(PlayWait, TheStageIsDrawnFrozen) {
    db.m_vScrEffect.resize(2);
    db.m_vScrEffect[1].m_nKind = 4;   // split 0 -> 60 in 1/10 s
    db.m_vScrEffect[1].m_anParam[0] = 1;
    db.m_vScrEffect[1].m_anParam[2] = 60;
    db.m_vScrEffect[1].m_anParam[3] = 2;
    db.CopyEffectLists();
    S().m_ScrEffect.Start(1, 0, 0);
    ASSERT_EQ(S().m_ScrEffect.m_nId, 1);
    S().m_bNoTimeLimit = 0;
    S().m_nTime = 5;
    h.Stage().m_nTimeWarn = 10;
    h.Ctx().nFrameDivider = 0;   // a second has just passed
    host.vecSound.clear();

    SetWait(S(), WAITKIND_GAMEWAIT, 0, 5, 0);
    ASSERT_EQ(RunWait(S()), 1);
    EXPECT_EQ(host.nFrames, 6);
    EXPECT_EQ(S().m_ScrEffect.m_nFrame, 0);
    EXPECT_EQ(S().m_ScrEffect.m_dValue, 0);
    EXPECT_EQ(Count(13), 0);

    DrawPlayFrame(S(), 1, 0, 1, 1);
    EXPECT_EQ(S().m_ScrEffect.m_nFrame, 1);
    EXPECT_EQ(S().m_ScrEffect.m_dValue, 10);
    EXPECT_EQ(Count(13), 1);
}

// A button held from before a wait without delay is no press: the wait ends
// on the first new press, at the 5th frame, not at the 1st.
TEST_F(PlayWait, AButtonHeldFromBeforeIsNoPress) {
    h.Input().m_wButton = 1;
    host.vecButtons = {1, 1, 1, 0, 1};
    host.nCloseAt = 40;
    SetWait(S(), WAITKIND_PICTURE, 1, 0, 0);
    ASSERT_EQ(S().m_Wait.nFirst, 0);
    EXPECT_EQ(RunWait(S()), 1);
    EXPECT_EQ(host.nFrames, 5);
    EXPECT_EQ(host.vecSound.back(), 1);
}

// A message's first 10 frames only count down. A press on the 10th frame is
// swallowed: released on the 11th and pressed again on the 12th, the wait
// ends on the 12th; still held on the 11th it is no new press there, and the
// next press (the 14th) ends it. A press first made on the 11th frame ends
// the wait there.
TEST_F(PlayWait, AMessageLooksAtTheButtonFromIts11thFrame) {
    struct CASE {
        std::vector<int16_t> vecButtons;
        int nEndFrame;
    } const acase[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1}, 12},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 1}, 14},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 11},
    };
    for (const CASE& c : acase) {
        host.nFrames = 0;
        host.nCloseAt = 40;
        host.vecButtons = c.vecButtons;
        h.Input().m_wButton = 0;
        SetWait(S(), WAITKIND_MESSAGE, 1, 0, 0);
        EXPECT_EQ(RunWait(S()), 1) << c.nEndFrame;
        EXPECT_EQ(host.nFrames, c.nEndFrame);
        EXPECT_EQ(host.vecSound.back(), 12);
    }
}

// After a wait the play's input is as it was before it: the words, the
// history and the pattern runs.
TEST_F(PlayWait, ThePlaysInputComesBackAsItWas) {
    cInputState& in = h.Input();
    const int16_t awDir[] = {KEYDIR_LEFT, KEYDIR_LEFT, KEYDIR_LEFT | KEYDIR_UP, KEYDIR_DOWN};
    for (int16_t w : awDir) {
        in.m_wDir = w;
        in.m_wButton = 2;
        in.RecordHistory();
        in.UpdatePatternRuns();
    }
    const cInputState before = in;
    host.vecButtons = {4, 4, 8, 1, 0, 2};
    SetWait(S(), WAITKIND_GAMEWAIT, 0, 6, 0);
    ASSERT_EQ(RunWait(S()), 1);
    EXPECT_EQ(in.m_wDir, before.m_wDir);
    EXPECT_EQ(in.m_wButton, before.m_wButton);
    for (int w = 0; w < 2; w++) {
        EXPECT_EQ(in.m_anHistoryIndex[w], before.m_anHistoryIndex[w]);
        for (int k = 0; k < 6; k++) EXPECT_EQ(in.GetHistory(w, k), before.GetHistory(w, k)) << w << " " << k;
    }
    ASSERT_EQ(in.m_vDirRun.size(), before.m_vDirRun.size());
    for (size_t i = 0; i < in.m_vDirRun.size(); i++) {
        ASSERT_EQ(in.m_vDirRun[i].size(), before.m_vDirRun[i].size());
        for (size_t k = 0; k < in.m_vDirRun[i].size(); k++) {
            EXPECT_EQ(in.m_vDirRun[i][k].bHeld, before.m_vDirRun[i][k].bHeld);
            EXPECT_EQ(in.m_vDirRun[i][k].nFrames, before.m_vDirRun[i][k].nFrames);
        }
    }
}

// The ranking screen: button 4 steps to the next kind (sound 6) only when the
// play mode ranks more than one kind; button 1 ends it (sound 1). The kind
// starts on the first kind enabled for the mode from the stored one (kind 4
// here), wrapping past the last.
TEST_F(PlayWait, TheRankingKindKeyNeedsMoreThanOneKind) {
    const cSystemData saved = recSystem;
    struct CASE {
        std::vector<uint8_t> vecKind;
        int nStartKind, nAfterKind, nSelectSounds;
    } const acase[] = {
        {{0, 0, 1, 0, 0}, 2, 2, 0},
        {{1, 0, 1, 0, 0}, 0, 2, 1},
        {{0, 1, 0, 1, 1}, 4, 1, 1},
    };
    for (const CASE& c : acase) {
        for (cSystemData* p : {&h.System(), &recSystem}) {
            p->m_vRankingFlags.assign(GAMEMODE_FREE + 1, cRankingFlags());
            p->m_vRankingFlags[GAMEMODE_FREE].m_bRanking = 1;
            p->m_vRankingFlags[GAMEMODE_FREE].m_vKind.assign(c.vecKind.begin(), c.vecKind.end());
        }
        h.Game().m_nGameMode = GAMEMODE_FREE;
        h.Progress().m_nRankKind = 4;
        host.vecSound.clear();
        host.nFrames = 0;
        host.nCloseAt = 40;
        // The kind key pressed on frame 2, then button 1 on frame 4.
        host.vecButtons = {0, 8, 0, 1};
        cRanking ranking;
        ranking.Reset();
        EXPECT_EQ(RunRankingScreen(S(), ranking), 1);
        EXPECT_EQ(host.nFrames, 4);
        EXPECT_EQ(h.Progress().m_nRankKind, c.nAfterKind) << c.nStartKind;
        EXPECT_EQ(Count(6), c.nSelectSounds) << c.nStartKind;
        EXPECT_EQ(Count(1), 1);
        // Without the key the kind is the first enabled one.
        host.vecSound.clear();
        host.nFrames = 0;
        host.vecButtons = {0, 1};
        h.Progress().m_nRankKind = 4;
        EXPECT_EQ(RunRankingScreen(S(), ranking), 1);
        EXPECT_EQ(h.Progress().m_nRankKind, c.nStartKind);
    }
    recSystem = saved;
}

// The ranking screen marks the place this result took in the table of the
// kind shown: at (184, 64 + 16 x (place + 1)) with the accessory sheet's
// mark (16, 48), colour 77 here. Places 3 in kind 0 and 1 in kind 2: the
// mark is on row 3 until the kind key moves to kind 2, then on row 1. The
// host looks at each finished frame when the next one begins.
TEST_F(PlayWait, TheRankingScreenMarksThisResultsPlaceInTheKindShown) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 640, 480));
    DDSURFACEDATA* acc = &Off_Img[IMAGE_SLOT_ACCESSORY];
    ASSERT_TRUE(DDCreateSurface(acc, 64, 64, 1, 1, DTMEMORYTYPE_SYSTEM, nullptr, 0));
    DDClear(acc, 0);
    DDFillRect(acc, 16, 48, 16, 16, 77);
    class cLookingHost : public cWaitHost {
    public:
        using cWaitHost::cWaitHost;
        int WaitFrame() override {
            if (nFrames > 0) {
                vecRow3.push_back(DDIndexAt(&BackBuffer, 192, 64 + 16 * 4 + 8) == 77);
                vecRow1.push_back(DDIndexAt(&BackBuffer, 192, 64 + 16 * 2 + 8) == 77);
            }
            return cWaitHost::WaitFrame();
        }
        std::vector<bool> vecRow3, vecRow1;
    } look(h.Input());
    h.Ctx().lpHost = &look;
    const cSystemData saved = recSystem;
    for (cSystemData* p : {&h.System(), &recSystem}) {
        p->m_vRankingFlags.assign(GAMEMODE_FREE + 1, cRankingFlags());
        p->m_vRankingFlags[GAMEMODE_FREE].m_bRanking = 1;
        p->m_vRankingFlags[GAMEMODE_FREE].m_vKind.assign({1, 0, 1, 0, 0});
    }
    h.Game().m_nGameMode = GAMEMODE_FREE;
    h.Progress().m_nRankKind = 0;
    S().m_vecRankPos = {3, -1, 1, -1, -1};
    look.nCloseAt = 40;
    look.vecButtons = {0, 0, 8, 0, 1};   // the kind key on frame 3, button 1 on frame 5
    cRanking ranking;
    ranking.Reset();
    EXPECT_EQ(RunRankingScreen(S(), ranking), 1);
    EXPECT_EQ(look.nFrames, 5);
    // Frames 1 and 2 drawn in kind 0, frames 3 and 4 in kind 2.
    EXPECT_EQ(look.vecRow3, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(look.vecRow1, (std::vector<bool>{false, false, true, true}));
    recSystem = saved;
    h.Ctx().lpHost = &host;
    DDReleaseSurface(acc);
    DDEnd();
}

}  // namespace
