#include <gtest/gtest.h>

#include "frontend/FrontEndFakes.h"
#include "frontend/StartGame.h"
#include "frontend/TitleScene.h"
#include "project/Paths.h"
#include "project/PlayerFiles.h"
#include "support/ByteBuilder.h"
#include "support/FakeMessageBox.h"
#include "project/SaveSlots.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "stage/Stage.h"
#include "support/DDTestSupport.h"
#include "support/TempDir.h"

namespace {

constexpr int DECIDE = 1, CANCEL = 2, UP = 4, DOWN = 8;

class TitleScene : public ::testing::Test {
protected:
    void SetUp() override {
        // A headless display, so the scene's fades run as in the game.
        ASSERT_TRUE(DDStartProfile({1, 32, 1, "D3D32"}, 640, 480));
        savedSystem = recSystem;
        recSystem = cSystemData();
        recSystem.m_bUseSaveSlots = 1;
        recProgress.Reset();
    }
    void TearDown() override {
        recSystem = savedSystem;
        DDEnd();
    }

    // Runs the scene until it reaches the menu state (the fade-in completes).
    void ToMenu(cTitleScene& t) {
        for (int i = 0; i < 40 && t.m_nState != TITLESTATE_MENU; i++) fe.Frame(t, 0, 0);
        ASSERT_EQ(t.m_nState, TITLESTATE_MENU);
        fe.Frame(t, 0, 0);   // releases the buttons
    }
    // Moves the cursor down to menu row n and decides.
    void Choose(cTitleScene& t, int nRow) {
        for (int i = 0; i < nRow; i++) {
            fe.Frame(t, DOWN, 0);
            fe.Frame(t, 0, 0);
        }
        fe.Frame(t, 0, DECIDE);
    }

    // A fresh game state and menu cursor, as after a start.
    void FreshStart() {
        fe.game = cGameState();
        fe.game.m_nFadeStep = 10;
        Cursor_Menu.Reset();
    }

    cTempDir dir;
    cFrontEndTestScope fe;
    cSystemData savedSystem;
};

TEST_F(TitleScene, EachMenuEntryLeadsToItsModeTypeAndScene) {
    struct CASE {
        int nRow, nRequestResult;
        int nWantMode, nWantType, nWantNext, nWantState;
        const char* pszCall;
    } const acase[] = {
        {0, 0, GAMEMODE_STORY, 0, -1, TITLESTATE_NEWSLOT, nullptr},
        {1, 0, GAMEMODE_STORY, 1, -1, TITLESTATE_CONTINUESLOT, nullptr},
        {2, 0, GAMEMODE_CHALLENGE, 2, SCENE_STAGESELECT, TITLESTATE_FADEOUT, nullptr},
        {3, 1, GAMEMODE_FREE, 3, SCENE_PLAY, TITLESTATE_FADEOUT, "stage"},
        {3, 0, GAMEMODE_FREE, 3, -1, TITLESTATE_MENU, "stage"},     // cancelled or failed: the menu stays
        {4, 1, GAMEMODE_REPLAY, 4, SCENE_PLAY, TITLESTATE_FADEOUT, "replay"},
        {4, 0, GAMEMODE_REPLAY, 4, -1, TITLESTATE_MENU, "replay"},
        {5, 0, -1, 5, SCENE_OPTION, TITLESTATE_FADEOUT, nullptr},
        {6, 0, -1, 6, -1, TITLESTATE_MENU, nullptr},
    };
    for (const auto& c : acase) {
        fe.game = cGameState();
        fe.game.m_nFadeStep = 10;
        fe.game.m_nGameMode = fe.game.m_nNextScene = -1;
        fe.host = cFakeFrontEndHost();
        fe.host.nLoadStageResult = fe.host.nLoadReplayResult = c.nRequestResult;
        Cursor_Menu.Reset();
        cTitleScene t;
        ToMenu(t);
        int nClosesBefore = fe.host.nCloses;
        Choose(t, c.nRow);
        EXPECT_EQ(fe.game.m_nPlayType, c.nWantType) << "row " << c.nRow;
        EXPECT_EQ(fe.game.m_nGameMode, c.nWantMode) << "row " << c.nRow;
        EXPECT_EQ(fe.game.m_nNextScene, c.nWantNext) << "row " << c.nRow;
        EXPECT_EQ(t.m_nState, c.nWantState) << "row " << c.nRow;
        ASSERT_FALSE(fe.host.vSounds.empty());
        EXPECT_EQ(fe.host.vSounds.back(), 1);   // the decide sound
        if (c.pszCall) {
            EXPECT_EQ(fe.host.vCalls.back(), c.pszCall);
        }
        EXPECT_EQ(fe.host.nCloses - nClosesBefore, c.nRow == 6 ? 1 : 0) << "row " << c.nRow;
    }
}

// A new challenge keeps a result per world, as many as the settings name but
// no more than the progress file follows (a count from a damaged settings
// file must not ask for gigabytes).
TEST_F(TitleScene, NewChallengeWorldResultsAreBounded) {
    const struct {
        int32_t nWorlds;
        size_t nWant;
    } acase[] = {{40, 40}, {0, 1}, {INT32_MAX, 100000}};
    for (const auto& c : acase) {
        recSystem.m_nWorldCount = c.nWorlds;
        recProgress.m_vWorldResult.clear();
        fe.game = cGameState();
        fe.game.m_nFadeStep = 10;
        Cursor_Menu.Reset();
        cTitleScene t;
        ToMenu(t);
        Choose(t, 2);
        ASSERT_EQ(fe.game.m_nGameMode, GAMEMODE_CHALLENGE);
        EXPECT_EQ(recProgress.m_vWorldResult.size(), c.nWant) << c.nWorlds;
    }
}

TEST_F(TitleScene, AskedForTheTitleMusicAndStartsOnTheLastChosenEntry) {
    fe.game.m_nPlayType = 5;
    cTitleScene t;
    ToMenu(t);
    ASSERT_FALSE(fe.host.vCalls.empty());
    EXPECT_EQ(fe.host.vCalls.front().rfind("bgm ", 0), 0u);
    EXPECT_EQ(fe.host.vCalls.front().substr(fe.host.vCalls.front().size() - 2), " 0");   // scene slot 0
    EXPECT_EQ(Cursor_Menu.Cur().nY, 5);
    fe.Frame(t, 0, DECIDE);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_OPTION);
}

TEST_F(TitleScene, WithEveryEntryDisabledTheMenuIsOneNewGameRow) {
    for (auto& e : recSystem.m_vTitleMenu) e.m_bEnable = 0;
    cTitleScene t;
    ToMenu(t);
    EXPECT_EQ(t.m_nEntryCount, 1);
    fe.Frame(t, DOWN, 0);   // wraps onto the only row
    fe.Frame(t, 0, DECIDE);
    EXPECT_EQ(fe.game.m_nPlayType, 0);
    EXPECT_EQ(t.m_nState, TITLESTATE_NEWSLOT);
}

TEST_F(TitleScene, WithoutSaveSlotsANewGameGoesStraightToTheMap) {
    recSystem.m_bUseSaveSlots = 0;
    recProgress.m_nSaveSlot = 7;
    recProgress.m_bAutoSave = 1;
    cTitleScene t;
    ToMenu(t);
    fe.Frame(t, 0, DECIDE);
    fe.Frame(t, 0, 0);
    EXPECT_EQ(t.m_nState, TITLESTATE_FADEOUT);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_WORLDMAP);
    EXPECT_EQ(recProgress.m_nSaveSlot, -1);
    EXPECT_EQ(recProgress.m_bAutoSave, 0);
}

TEST_F(TitleScene, SlotChoiceRules) {
    dir.MakeDir("user_data/story");
    cProgress saved;
    saved.NewStory();
    ASSERT_EQ(saved.SaveToSlot(1), 1);   // slot 1 (Story02.dat) holds a save

    // A new game on the occupied slot only plays the refusal sound.
    {
        cTitleScene t;
        ToMenu(t);
        fe.Frame(t, 0, DECIDE);          // new game: the slot list
        fe.Frame(t, 0, 0);
        fe.Frame(t, DOWN, 0);            // row 1
        fe.Frame(t, 0, 0);
        fe.host.vSounds.clear();
        fe.Frame(t, 0, DECIDE);
        EXPECT_EQ(fe.host.vSounds, (std::vector<int>{3}));
        EXPECT_EQ(t.m_nState, TITLESTATE_NEWSLOT);
        fe.Frame(t, 0, 0);
        fe.Frame(t, UP, 0);              // row 0 is empty: a new story there
        fe.Frame(t, 0, 0);
        fe.Frame(t, 0, DECIDE);
        EXPECT_EQ(t.m_nState, TITLESTATE_FADEOUT);
        EXPECT_EQ(fe.game.m_nNextScene, SCENE_WORLDMAP);
        EXPECT_EQ(recProgress.m_nSaveSlot, 0);
        EXPECT_EQ(recProgress.m_bAutoSave, 1);
    }
    // Continue on an empty slot is refused; on the saved one it loads it;
    // cancel goes back to the menu.
    {
        Cursor_Menu.Reset();
        fe.game.m_nPlayType = 1;
        cTitleScene t;
        ToMenu(t);
        fe.Frame(t, 0, DECIDE);          // continue
        fe.Frame(t, 0, 0);
        fe.host.vSounds.clear();
        fe.Frame(t, 0, DECIDE);          // row 0: empty
        EXPECT_EQ(fe.host.vSounds, (std::vector<int>{3}));
        fe.Frame(t, 0, 0);
        fe.Frame(t, 0, CANCEL);
        EXPECT_EQ(t.m_nState, TITLESTATE_MENU);
        EXPECT_EQ(Cursor_Menu.Cur().nY, 1);   // back on the continue entry
        fe.Frame(t, 0, 0);
        fe.Frame(t, 0, DECIDE);
        fe.Frame(t, 0, 0);
        fe.Frame(t, DOWN, 0);
        fe.Frame(t, 0, 0);
        recProgress.m_nWorld = 42;
        fe.Frame(t, 0, DECIDE);          // row 1: the save
        EXPECT_EQ(t.m_nState, TITLESTATE_FADEOUT);
        EXPECT_EQ(fe.game.m_nNextScene, SCENE_WORLDMAP);
        EXPECT_EQ(recProgress.m_nWorld, saved.m_nWorld);
    }
}


}  // namespace

TEST_F(TitleScene, ContinuingADamagedOrNewerSlotSaysWhy) {
    dir.MakeDir("user_data/story");
    cProgress saved;
    saved.NewStory();
    ASSERT_EQ(saved.SaveToSlot(0), 1);
    std::vector<uint8_t> bytes;
    {
        FILE* f = std::fopen(dir.File("user_data/story/Story01.dat").c_str(), "rb");
        ASSERT_NE(f, nullptr);
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    ASSERT_GT(bytes.size(), 20u);
    // Slot 0 cut short, slot 1 from a newer program (version 855 in the
    // version word).
    ASSERT_TRUE(dir.WriteFile("user_data/story/Story01.dat", std::vector<uint8_t>(bytes.begin(), bytes.end() - 10)));
    std::vector<uint8_t> newer = bytes;
    newer[0] = 0x57;
    newer[1] = 0x03;
    ASSERT_TRUE(dir.WriteFile("user_data/story/Story02.dat", newer));
    ScanSaveSlots(vecSaveSlot);
    ASSERT_EQ(vecSaveSlot[0].m_nState, SLOTSTATE_DAMAGED);
    ASSERT_EQ(vecSaveSlot[1].m_nState, SLOTSTATE_NEWER);

    fe.game.m_nPlayType = 1;
    cTitleScene t;
    ToMenu(t);
    fe.Frame(t, 0, DECIDE);   // continue
    fe.Frame(t, 0, 0);
    recProgress.m_nWorld = 42;
    fe.host.vSounds.clear();
    fe.Frame(t, 0, DECIDE);   // row 0: damaged
    fe.Frame(t, 0, 0);
    fe.Frame(t, DOWN, 0);
    fe.Frame(t, 0, 0);
    fe.Frame(t, 0, DECIDE);   // row 1: newer
    EXPECT_EQ(fe.host.vSounds, (std::vector<int>{3, 3}));
    ASSERT_EQ(fe.host.vErrors.size(), 2u);
    EXPECT_EQ(fe.host.vErrors[0], "user_data\\story\\Story01.dat の読み込みに失敗しました！");
    EXPECT_EQ(fe.host.vErrors[1],
              "user_data\\story\\Story02.dat の読み込みに失敗しました！\nソフトより上位のバージョンのファイルは使用できません。");
    EXPECT_EQ(t.m_nState, TITLESTATE_CONTINUESLOT);
    EXPECT_EQ(recProgress.m_nWorld, 42);   // nothing loaded
}

// A file another program version wrote, or a damaged one: a save of a
// newer program in slot 1 and a newer challenge file. A new story there or
// the challenge replaces it only when the player says yes in the box; with
// no, the file stays byte for byte and the player stays where they were.
TEST_F(TitleScene, ANewerSlotOrChallengeFileIsReplacedOnlyWhenThePlayerSaysYes) {
    dir.MakeDir("user_data/story");
    dir.MakeDir("user_data/challenge");
    cProgress saved;
    saved.NewStory();
    ASSERT_EQ(saved.SaveToSlot(0), 1);
    std::vector<uint8_t> newer = ReadHostFile(dir.File("user_data/story/Story01.dat"));
    ASSERT_GT(newer.size(), 4u);
    newer[0] = 0x57;   // version 855
    newer[1] = 0x03;
    for (int nAnswer : {IDNO, IDYES}) {
        SCOPED_TRACE(nAnswer);
        ASSERT_TRUE(dir.WriteFile("user_data/story/Story01.dat", newer));
        ASSERT_TRUE(dir.WriteFile("user_data/challenge/Challenge.dat", newer));
        ForgetPlayerFileAnswers();
        cFakeMessageBox boxes;
        boxes.Script({nAnswer, nAnswer});
        // "はじめから" on slot 1.
        FreshStart();
        fe.host = cFakeFrontEndHost();
        recProgress.Reset();
        {
            cTitleScene t;
            ToMenu(t);
            fe.Frame(t, 0, DECIDE);
            fe.Frame(t, 0, 0);
            ASSERT_EQ(vecSaveSlot[0].m_nState, SLOTSTATE_NEWER);
            fe.host.vSounds.clear();
            fe.Frame(t, 0, DECIDE);
            ASSERT_EQ(boxes.Count(), 1u);
            EXPECT_NE(boxes.Boxes()[0].strText.find("Story01.dat"), std::string::npos);
            if (nAnswer == IDYES) {
                EXPECT_EQ(t.m_nState, TITLESTATE_FADEOUT);
                EXPECT_EQ(fe.game.m_nNextScene, SCENE_WORLDMAP);
                EXPECT_EQ(recProgress.m_nSaveSlot, 0);
                EXPECT_EQ(fe.host.vSounds, (std::vector<int>{1}));
            } else {
                EXPECT_EQ(t.m_nState, TITLESTATE_NEWSLOT);
                EXPECT_EQ(recProgress.m_nSaveSlot, -1);
                EXPECT_EQ(fe.host.vSounds, (std::vector<int>{2}));
            }
        }
        // "チャレンジ".
        FreshStart();
        {
            cTitleScene t;
            ToMenu(t);
            Choose(t, 2);
            ASSERT_EQ(boxes.Count(), 2u);
            EXPECT_NE(boxes.Boxes()[1].strText.find("Challenge.dat"), std::string::npos);
            EXPECT_EQ(t.m_nState, nAnswer == IDYES ? TITLESTATE_FADEOUT : TITLESTATE_MENU);
            EXPECT_EQ(fe.game.m_nNextScene, nAnswer == IDYES ? SCENE_STAGESELECT : 0);
        }
        // Nothing is written yet either way: the new story at its first
        // save, the challenge at its first clear.
        EXPECT_EQ(ReadHostFile(dir.File("user_data/story/Story01.dat")), newer);
        EXPECT_EQ(ReadHostFile(dir.File("user_data/challenge/Challenge.dat")), newer);
    }
    // A missing challenge file asks nothing.
    std::remove(dir.File("user_data/challenge/Challenge.dat").c_str());
    cFakeMessageBox boxes;
    FreshStart();
    cTitleScene t;
    ToMenu(t);
    Choose(t, 2);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_STAGESELECT);
}
