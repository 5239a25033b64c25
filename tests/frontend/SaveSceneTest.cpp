#include <filesystem>

#include "frontend/SaveScene.h"
#include "frontend/SceneTestBase.h"
#include "project/PlayerFiles.h"
#include "project/SaveSlots.h"
#include "support/ByteBuilder.h"
#include "support/FakeMessageBox.h"

namespace {

constexpr int DECIDE = 1, CANCEL = 2, UP = 4, DOWN = 8;

class SaveScene : public SceneTest {};

TEST_F(SaveScene, AutoSaveWithoutASlotOnlyShowsTheNote) {
    recProgress.m_nSaveSlot = -1;
    cSaveScene s;
    RunUntil(s, SAVESTATE_MENU);
    Press(s, DOWN, 0);                    // "オートセーブ"
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nState, SAVESTATE_AUTOSAVE);
    EXPECT_EQ(s.m_nSub, 2);               // system text 16, no cursor
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nState, SAVESTATE_MENU);
    EXPECT_EQ(recProgress.m_bAutoSave, 0);
}

// Either choice writes the slot at once, and the slot holds the choice: a
// continue from it finds auto-save as the player left it. A write that fails
// keeps the switch the slot still holds and says so.
TEST_F(SaveScene, TheAutoSaveChoiceIsWrittenIntoTheSlot) {
    struct CASE {
        int bBefore;       // the switch when the scene opens
        int nRow;          // 0 "オートセーブＯＮ", 1 "オートセーブＯＦＦ"
        bool bWritable;
        int bAfter;        // the switch afterwards
        int nSlotSwitch;   // the switch the slot file holds; -1 no file
    } const cases[] = {
        {0, 0, true, 1, 1},
        {1, 1, true, 0, 0},
        {1, 0, true, 1, 1},
        {0, 1, true, 0, 0},
        {0, 0, false, 0, -1},
        {1, 1, false, 1, -1},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.bBefore * 100 + c.nRow * 10 + (c.bWritable ? 1 : 0));
        std::filesystem::remove_all(dir.File("user_data/story"));
        if (c.bWritable) ASSERT_TRUE(dir.MakeDir("user_data/story"));
        else ASSERT_TRUE(dir.WriteFile("user_data/story", std::string("x")));   // a file where the folder goes
        recProgress.Reset();
        recProgress.m_nSaveSlot = 2;
        recProgress.m_nScore = 77;
        recProgress.m_bAutoSave = c.bBefore;
        fe.host.vErrors.clear();
        cSaveScene s;
        RunUntil(s, SAVESTATE_MENU);
        Press(s, DOWN, 0);                // "オートセーブ"
        Press(s, 0, DECIDE);
        ASSERT_EQ(s.m_nSub, 1);
        ASSERT_EQ(Cursor_Menu.Cur().nY, c.bBefore ? 0 : 1);   // on the current choice
        if (c.nRow != Cursor_Menu.Cur().nY) Press(s, c.nRow == 0 ? UP : DOWN, 0);
        Press(s, 0, DECIDE);
        EXPECT_EQ(s.m_nState, SAVESTATE_MENU);
        EXPECT_EQ(recProgress.m_bAutoSave, c.bAfter);
        EXPECT_EQ(fe.host.vErrors.size(), c.bWritable ? 0u : 1u);
        cProgress back;
        if (c.nSlotSwitch < 0) {
            EXPECT_EQ(back.Load(MakeSlotPath(2).c_str()), 0);
            continue;
        }
        ASSERT_EQ(back.Load(MakeSlotPath(2).c_str()), 1);
        EXPECT_EQ(back.m_bAutoSave, c.nSlotSwitch);
        EXPECT_EQ(back.m_nScore, 77);
    }
}

TEST_F(SaveScene, SavingIntoASlotPlaysTheDoneSoundOnlyAfterTheWrite) {
    recProgress.m_nSaveSlot = -1;
    cSaveScene s;
    RunUntil(s, SAVESTATE_MENU);
    Press(s, 0, DECIDE);                  // "セーブ": the slot list at slot 1
    EXPECT_EQ(s.m_nState, SAVESTATE_SAVE);
    Press(s, DOWN, 0);                    // slot 2
    Press(s, 0, DECIDE);                  // the prompt, on "やっぱりやめる"
    Press(s, UP, 0);
    fe.host.vSounds.clear();
    Press(s, 0, DECIDE);                  // "セーブする"
    EXPECT_EQ(fe.host.vSounds, (std::vector<int>{5}));
    EXPECT_EQ(recProgress.m_nSaveSlot, 1);
    EXPECT_EQ(vecSaveSlot.At(1).m_bExist, 1);   // the summary refreshed at once
    {
        // The file holds the slot it was saved into, not the -1 of a story
        // that had no slot yet: continuing from it keeps saving there.
        cProgress back;
        ASSERT_EQ(back.Load(MakeSlotPath(1).c_str()), 1);   // the stored record as it is
        EXPECT_EQ(back.m_nSaveSlot, 1);
    }
    // The slot folder replaced by a file: the write fails, no done sound.
    std::filesystem::remove_all(dir.File("user_data/story"));
    ASSERT_TRUE(dir.WriteFile("user_data/story", std::string("x")));
    Press(s, DOWN, 0);
    Press(s, 0, DECIDE);
    Press(s, UP, 0);
    fe.host.vSounds.clear();
    Press(s, 0, DECIDE);
    EXPECT_EQ(fe.host.vSounds, (std::vector<int>{3}));
    EXPECT_EQ(fe.host.vErrors.size(), 1u);
    EXPECT_EQ(recProgress.m_nSaveSlot, 1);
}

// Saving over a newer program's save or a damaged file asks first; only a
// yes writes, and the slot list then shows the new save.
TEST_F(SaveScene, SavingOverANewerOrDamagedSlotAsksFirst) {
    cProgress other;
    other.NewStory();
    ASSERT_EQ(other.SaveToSlot(0), 1);
    std::vector<uint8_t> newer = ReadHostFile(dir.File("user_data/story/Story01.dat"));
    ASSERT_GT(newer.size(), 10u);
    const std::vector<uint8_t> damaged(newer.begin(), newer.end() - 10);
    newer[0] = 0x57;   // version 855
    newer[1] = 0x03;
    struct CASE {
        const std::vector<uint8_t>* pFile;
        int nAnswer;
        bool bWritten;
        int nSound;
    } const cases[] = {
        {&newer, IDNO, false, 2}, {&newer, 0, false, 2}, {&newer, IDYES, true, 5},
        {&damaged, IDNO, false, 2}, {&damaged, IDYES, true, 5},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE((c.pFile == &newer ? 100 : 200) + c.nAnswer);
        ASSERT_TRUE(dir.WriteFile("user_data/story/Story01.dat", *c.pFile));
        cFakeMessageBox boxes;
        boxes.Script({c.nAnswer});
        recProgress.Reset();
        recProgress.m_nScore = 321;
        cSaveScene s;
        RunUntil(s, SAVESTATE_MENU);
        Press(s, 0, DECIDE);              // "セーブ": the list at slot 1
        Press(s, 0, DECIDE);              // the prompt
        Press(s, UP, 0);
        fe.host.vSounds.clear();
        Press(s, 0, DECIDE);              // "セーブする"
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_NE(boxes.Boxes()[0].strText.find("Story01.dat"), std::string::npos);
        EXPECT_EQ(fe.host.vSounds, (std::vector<int>{c.nSound}));
        EXPECT_EQ(s.m_nSub, 1);           // back on the slot list
        if (!c.bWritten) {
            EXPECT_EQ(ReadHostFile(dir.File("user_data/story/Story01.dat")), *c.pFile);
            EXPECT_EQ(recProgress.m_nSaveSlot, -1);
            continue;
        }
        cProgress back;
        ASSERT_EQ(back.Load(MakeSlotPath(0).c_str()), 1);
        EXPECT_EQ(back.m_nScore, 321);
        EXPECT_EQ(vecSaveSlot.At(0).m_nState, SLOTSTATE_SAVED);
        // A second save there is a plain save.
        Press(s, 0, DECIDE);
        Press(s, UP, 0);
        Press(s, 0, DECIDE);
        EXPECT_EQ(boxes.Count(), 1u);
    }
}

TEST_F(SaveScene, DecliningTheTitleReturnsToTheMenu) {
    cSaveScene s;
    RunUntil(s, SAVESTATE_MENU);
    Press(s, DOWN, 0);
    Press(s, DOWN, 0);
    Press(s, DOWN, 0);                    // "タイトルへ"
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nState, SAVESTATE_TITLE);
    Press(s, 0, DECIDE);                  // row 1: "やっぱりやめる"
    EXPECT_EQ(s.m_nState, SAVESTATE_MENU);
    EXPECT_EQ(Cursor_Menu.Cur().nY, 3);
    Press(s, 0, DECIDE);
    Press(s, UP, 0);
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nState, SAVESTATE_FADEOUT);
    EXPECT_EQ(fe.game.m_nNextScene, SCENE_TITLE);
    RunUntil(s, -1);                      // the fade-out ends with the scene ready to start again
    EXPECT_EQ(fe.game.m_nScene, SCENE_TITLE);
    EXPECT_EQ(fe.game.m_nBeforeScene, SCENE_SAVEDATA);
}

}  // namespace
