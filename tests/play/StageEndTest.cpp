// The stage's end on a harness stage: the totals a clear adds, the extra
// lives, the ranking places (only at the end of a chain), the registration
// of a result and what the ranking file keeps, the replay's checkpoint, the
// items that cannot be taken, and the effect pictures the stage loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/DD.h"
#include "play/EffectAnime.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "play/PlayScene.h"
#include "play/StageEnd.h"
#include "play/StageImages.h"
#include "play/WaitHost.h"
#include "project/Database.h"
#include "project/GameState.h"
#include "project/PlayerFiles.h"
#include "project/Progress.h"
#include "project/Ranking.h"
#include "project/Scene.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "support/DDTestSupport.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

// A host that also answers the ranking registration: the registration mode,
// the options' fixed name, and a name dialog that enters a name.
class cRankHost : public cWaitHost {
public:
    cRankHost(cInputState& in, cPlayHarness& h) : cWaitHost(in), m_h(h) {}
    int GetRankingMode() override { return nRankMode; }
    std::string GetFixedRankName() override { return "FIXED"; }
    int NameEntry() override {
        nNameEntries++;
        m_h.Scene().m_strRankName = strEntered;
        return 1;
    }
    int nRankMode = 0;
    int nNameEntries = 0;
    std::string strEntered = "ENTERED";

private:
    cPlayHarness& m_h;
};

class StageEnd : public ::testing::Test {
protected:
    StageEnd() : h({"..........", "..H.......", "..........", "##########"}), host(h.Input(), h) {}
    void SetUp() override {
        ASSERT_TRUE(dir.MakeDir("user_data"));
        ASSERT_TRUE(dir.MakeDir("user_data/free"));
        h.SetUp();
        h.Ctx().lpHost = &host;
        cSystemData& sys = h.System();
        ASSERT_TRUE(sys.m_vRankingFlags.IsValid(GAMEMODE_FREE));
        sys.m_vRankingFlags[GAMEMODE_FREE].m_bRanking = 1;
        sys.m_vRankingFlags[GAMEMODE_FREE].m_vKind.assign({1, 0, 1, 0, 1});
        h.Stage().m_vTallyFlag.assign({1, 1, 1, 1, 0});
        h.Game().m_nGameMode = GAMEMODE_FREE;
        h.Game().m_nPlayType = PLAYTYPE_FREE;
        h.Progress().m_strStageFile = "stage.";
        h.Progress().m_strName = "PLAYER";
        // The ranking screen after a registration ends on a press of button 1.
        host.vecButtons = {0, 1};
        host.nCloseAt = 100;
    }
    cPlayScene& S() { return h.Scene(); }
    int Count(int nSound) const {
        return static_cast<int>(std::count(host.vecSound.begin(), host.vecSound.end(), nSound));
    }
    cTempDir dir;
    cPlayHarness h;
    cRankHost host;
};

// A clear adds the stage's score, remaining time, play time and the hero's
// HP and SP to the totals; the remaining time only when the stage has a time
// limit.
TEST_F(StageEnd, TheTotalsOfAClear) {
    struct CASE {
        int bNoTimeLimit;
        int nResultTime;
    } const acase[] = {{0, 7 + 30}, {1, 7}};
    for (const CASE& c : acase) {
        cProgress& p = h.Progress();
        p.m_nPlayScore = 1000;
        p.m_nScore = 250;
        p.m_nResultTime = 7;
        p.m_nClearTime = 100;
        p.m_nResultHp = 4;
        p.m_nResultSp = 9;
        S().m_nTime = 30;
        S().m_bNoTimeLimit = c.bNoTimeLimit;
        S().m_nPlayTime = 345;
        h.Hero().m_nHp = 2;
        h.Hero().m_nSp = 5;
        AddTotals(S());
        EXPECT_EQ(p.m_nPlayScore, 1250);
        EXPECT_EQ(p.m_nResultTime, c.nResultTime) << c.bNoTimeLimit;
        EXPECT_EQ(p.m_nClearTime, 445);
        EXPECT_EQ(p.m_nResultHp, 6);
        EXPECT_EQ(p.m_nResultSp, 14);
    }
}

// Extra lives by score come only under the system's switch: a total that
// crosses the 500 step from 400 to 650 gives one life (sound 15) with the
// switch on, none with it off.
TEST_F(StageEnd, ExtraLivesOnlyUnderTheSwitch) {
    struct CASE {
        int bSwitch, nLives, nSounds;
    } const acase[] = {{1, 4, 1}, {0, 3, 0}};
    for (const CASE& c : acase) {
        h.System().m_bExtendByScore = c.bSwitch;
        h.System().m_nExtendScore = 500;
        h.Progress().m_nPlayScore = 400;
        h.Progress().m_nScore = 250;
        h.Progress().m_nLife = 3;
        host.vecSound.clear();
        host.nFrames = 0;
        host.vecButtons.clear();
        AddTotals(S());
        EXPECT_EQ(h.Progress().m_nLife, c.nLives) << c.bSwitch;
        EXPECT_EQ(Count(15), c.nSounds) << c.bSwitch;
    }
}

// A clear plays sound 14. In a chain with a next stage no ranking place is
// looked for (and no result values are taken); at the end of the chain, or
// in a game started on a stage file, the places of the kinds enabled for
// both the mode (0, 2, 4) and the stage (0-3) are found: kinds 0 and 2, place
// 0 of an empty table. A test play takes the values but finds no places.
TEST_F(StageEnd, RankingPlacesOnlyAtTheEndOfAChain) {
    std::ofstream("stage-2.stg4_000") << "x";
    struct CASE {
        int nNext, bDirect, bTestPlay;
        std::vector<int> vecPos;
        bool bValues;
    } const acase[] = {
        {2, 0, 0, {-1, -1, -1, -1, -1}, false},
        {3, 0, 0, {0, -1, 0, -1, -1}, true},   // no stage 3: the chain ends here
        {0, 0, 0, {0, -1, 0, -1, -1}, true},
        {2, 1, 0, {0, -1, 0, -1, -1}, true},
        {3, 0, 1, {-1, -1, -1, -1, -1}, true},
    };
    for (const CASE& c : acase) {
        h.Progress().m_bChain = 1;
        h.Progress().m_nPlayScore = 0;
        h.Progress().m_nScore = 120;
        S().m_nNextStage = c.nNext;
        bFreeStageStart = c.bDirect;
        host.bTestPlay = c.bTestPlay != 0;
        S().m_vecResult.assign(5, -7);
        host.vecSound.clear();
        S().StageClear();
        EXPECT_EQ(Count(14), 1);
        EXPECT_EQ(S().m_vecRankPos, c.vecPos) << c.nNext << " " << c.bDirect << " " << c.bTestPlay;
        const bool bIn = std::count(c.vecPos.begin(), c.vecPos.end(), -1) < 5;
        EXPECT_EQ(S().m_bRankIn, bIn ? 1 : 0) << c.nNext;
        EXPECT_EQ(S().m_vecResult.size() == 5 && S().m_vecResult[0] == 120, c.bValues) << c.nNext;
        EXPECT_EQ(S().m_bRankDone, 0);
    }
    bFreeStageStart = 0;
    host.bTestPlay = false;
}

// Registration takes the fixed name under modes 1 and 3, and under modes 0
// and 2 asks for a name, starting from the player's, which the entered name
// then replaces. Sound 16 plays, the result goes into the tables where a
// place was found, and the ranking file keeps it. A second request (a second
// F3) does nothing.
TEST_F(StageEnd, RegistrationNamesTheResultAndASecondF3DoesNothing) {
    struct CASE {
        int nMode;
        const char* pszName;
        int nEntries;
        const char* pszPlayerAfter;
    } const acase[] = {
        {0, "ENTERED", 1, "ENTERED"},
        {1, "FIXED", 0, "PLAYER"},
        {2, "ENTERED", 1, "ENTERED"},
        {3, "FIXED", 0, "PLAYER"},
    };
    for (const CASE& c : acase) {
        std::remove("user_data/free/stage.rkg");
        h.Progress().m_strName = "PLAYER";
        h.Progress().m_bChain = 0;
        h.Progress().m_nPlayScore = 0;
        h.Progress().m_nScore = 300;
        host.nRankMode = c.nMode;
        host.nNameEntries = 0;
        host.vecSound.clear();
        S().StageClear();
        ASSERT_EQ(S().m_bRankIn, 1);
        host.nFrames = 0;
        S().RegisterRanking();
        EXPECT_EQ(S().m_strRankName, c.pszName) << c.nMode;
        EXPECT_EQ(host.nNameEntries, c.nEntries) << c.nMode;
        EXPECT_EQ(h.Progress().m_strName, c.pszPlayerAfter) << c.nMode;
        EXPECT_EQ(Count(16), 1) << c.nMode;
        EXPECT_EQ(S().m_bRankDone, 1);
        EXPECT_EQ(host.nFrames, 2);   // the ranking screen ran

        // The file keeps the name and the value in kinds 0 and 2.
        cRanking kept;
        ASSERT_EQ(kept.LoadFor(GAMEMODE_FREE, "stage.", 0, 0, 0), 1) << c.nMode;
        for (int k : {0, 2}) {
            const cRankTable* t = kept.GetTable(k);
            ASSERT_NE(t, nullptr);
            ASSERT_FALSE(t->m_vEntry.empty());
            EXPECT_EQ(t->m_vEntry[0].m_bUse, 1) << k;
            EXPECT_EQ(t->m_vEntry[0].m_strName, c.pszName) << k;
        }
        EXPECT_EQ(kept.GetTable(0)->m_vEntry[0].m_nScore, 300);
        EXPECT_EQ(kept.GetTable(1)->m_vEntry[0].m_bUse, 0);

        // A second F3: no sound, no dialog, no screen, nothing more in the file.
        host.nFrames = 0;
        host.strEntered = "AGAIN";
        S().RegisterRanking();
        host.strEntered = "ENTERED";
        EXPECT_EQ(Count(16), 1) << c.nMode;
        EXPECT_EQ(host.nNameEntries, c.nEntries) << c.nMode;
        EXPECT_EQ(host.nFrames, 0) << c.nMode;
        cRanking again;
        ASSERT_EQ(again.LoadFor(GAMEMODE_FREE, "stage.", 0, 0, 0), 1);
        ASSERT_GE(again.GetTable(0)->m_vEntry.size(), 2u);
        EXPECT_EQ(again.GetTable(0)->m_vEntry[1].m_bUse, 0) << c.nMode;
    }
}

// A ranking file that a newer program wrote, or a damaged one, reads as
// empty tables; a registration then writes over it only when the player
// says yes in the box. A kept file is no failure: no error box.
TEST_F(StageEnd, ARegistrationReplacesANewerOrDamagedRankingFileOnlyWithThePlayersYes) {
    const std::vector<uint8_t> newer = {0x57, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};   // version 855
    const std::vector<uint8_t> damaged = {0x56, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0};  // 5 tables, none there
    struct CASE {
        const std::vector<uint8_t>* pFile;
        int nAnswer;
        bool bKept;
    } const acase[] = {{&newer, IDNO, true}, {&newer, 0, true}, {&newer, IDYES, false},
                       {&damaged, IDNO, true}, {&damaged, IDYES, false}};
    for (const CASE& c : acase) {
        SCOPED_TRACE((c.pFile == &newer ? 100 : 200) + c.nAnswer);
        ForgetPlayerFileAnswers();
        {
            std::ofstream f("user_data/free/stage.rkg", std::ios::binary | std::ios::trunc);
            f.write(reinterpret_cast<const char*>(c.pFile->data()), static_cast<std::streamsize>(c.pFile->size()));
        }
        cFakeMessageBox boxes;
        boxes.Script({c.nAnswer});
        h.Progress().m_bChain = 0;
        h.Progress().m_nPlayScore = 0;
        h.Progress().m_nScore = 300;
        host.nRankMode = 1;
        S().StageClear();
        ASSERT_EQ(S().m_bRankIn, 1);
        EXPECT_EQ(boxes.Count(), 0u) << "nothing is asked before a registration";
        host.nFrames = 0;
        host.vecButtons = {0, 1};
        S().RegisterRanking();
        EXPECT_EQ(S().m_bRankDone, 1);
        EXPECT_EQ(host.nFrames, 2);   // the ranking screen ran either way
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_NE(boxes.Boxes()[0].strText.find("stage.rkg"), std::string::npos);
        if (c.bKept) {
            std::ifstream f("user_data/free/stage.rkg", std::ios::binary);
            const std::vector<uint8_t> after((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            EXPECT_EQ(after, *c.pFile);
            continue;
        }
        cRanking kept;
        ASSERT_EQ(kept.LoadFor(GAMEMODE_FREE, "stage.", 0, 0, 0), 1);
        EXPECT_EQ(kept.GetTable(0)->m_vEntry[0].m_strName, "FIXED");
        EXPECT_EQ(kept.GetTable(0)->m_vEntry[0].m_nScore, 300);
    }
    ForgetPlayerFileAnswers();
}

// A replay's clear plays the replay again from its checkpoint: the common
// variables and the lives of the checkpoint come back.
TEST_F(StageEnd, AReplaysClearRestoresTheCheckpoint) {
    cProgress& p = h.Progress();
    h.Game().m_nPlayType = PLAYTYPE_REPLAY;
    h.Game().m_nGameMode = GAMEMODE_REPLAY;
    ASSERT_GT(p.m_vCommonVar.size(), 5u);
    p.m_vCommonVar[5] = 11;
    p.m_nLife = 3;
    p.StoreCheckpoint();
    p.m_vCommonVar[5] = 99;
    p.m_nLife = 1;
    EXPECT_EQ(S().NextSceneAfterClear(), SCENE_PLAY);
    EXPECT_EQ(p.m_vCommonVar[5], 11);
    EXPECT_EQ(p.m_nLife, 3);
}

// An item is taken (its sound, 5 played as 21, and its commands) only when
// it exists, has a graphic, can be taken and is active.
TEST_F(StageEnd, ItemsThatCannotBeTaken) {
    struct CASE {
        int nGraphic, nTakeRule, bActive;
        bool bTaken;
    } const acase[] = {
        {1, 0, 1, true}, {1, 1, 1, true}, {0, 0, 1, false}, {1, 2, 1, false}, {1, 0, 0, false},
    };
    for (const CASE& c : acase) {
        cItemData def;
        def.m_nGraphic = c.nGraphic;
        def.m_nTakeRule = c.nTakeRule;
        def.m_nSound = 5;
        cItem it;
        it.Setup(0, def, 0);
        it.m_bActive = c.bActive;
        host.vecSound.clear();
        EXPECT_EQ(S().TakeItem(&it, &h.Hero()), 0);
        EXPECT_EQ(Count(21), c.bTaken ? 1 : 0) << c.nGraphic << " " << c.nTakeRule << " " << c.bActive;
    }
    host.vecSound.clear();
    EXPECT_EQ(S().TakeItem(nullptr, &h.Hero()), 0);
    EXPECT_TRUE(host.vecSound.empty());
}

// Effect n's pictures are the set loaded from entry n of the effect list
// (entry 0 is never loaded): effect 2 drawn at its size and enlarged both
// show effect 2's picture, not effect 1's.
TEST(StageEffectImages, EffectNDrawsEntryNsPicture) {
    ASSERT_TRUE(DDStartProfile({0, 32, 0, "DD32"}, 64, 64));
    cTempDir dir;
    auto bmp = [](uint32_t c) {
        return DDBuildBmp(32, 32, 8, {0x000000, c}, std::vector<uint32_t>(32 * 32, 1));
    };
    ASSERT_TRUE(dir.WriteFile("e0.bmp", bmp(0x0000FF)));
    ASSERT_TRUE(dir.WriteFile("e1.bmp", bmp(0xFF0000)));
    ASSERT_TRUE(dir.WriteFile("e2.bmp", bmp(0x00FF00)));
    cDatabase db;
    db.m_vEffect.resize(3);
    const char* aszFile[] = {"e0.bmp", "e1.bmp", "e2.bmp"};
    for (int i = 0; i < 3; i++) {
        cEffect& e = db.m_vEffect[i];
        e.m_strBitmap = aszFile[i];
        e.m_nWidth = e.m_nHeight = 32;
        e.m_vFrame.assign(1, cEffectFrame{});
        e.m_vFrame[0].m_nTime = 10;
    }
    cPlayContext ctx;
    cPlayContextScope scope(ctx);
    ctx.lpDatabase = &db;
    LoadEffectImages();
    ASSERT_EQ(vecSdEffect.size(), 4u);   // two sets of two

    DDSURFACEDATA target;
    ASSERT_TRUE(DDMakeTarget(&target, 64, 64));
    const uint32_t nGreen = 0x00FF00, nRed = 0xFF0000;
    for (int nSize : {32, 64}) {
        DDClear(&target, 0);
        cEffectAnime e;
        e.Set(2, 0, 0, nSize, nSize, 0);
        EXPECT_EQ(e.m_bScaled, nSize == 64 ? 1 : 0);
        EXPECT_EQ(e.Draw(&target, 0), 0);
        const uint32_t v = DDGetRaw(*DDGetPixels(&target), 10, 10) & 0xFFFFFF;
        EXPECT_EQ(v, nGreen) << nSize;
        EXPECT_NE(v, nRed) << nSize;
    }
    DDReleaseSurface(&target);
    for (auto& sd : vecSdEffect) DDReleaseSurface(&sd);
    vecSdEffect.clear();
    DDEnd();
}

}  // namespace
