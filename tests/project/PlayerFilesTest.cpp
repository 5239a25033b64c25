// The rule for the player's files this program cannot read: kept unless
// the player says yes.
#include <gtest/gtest.h>

#include "ProjectTestUtil.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "project/PlayerFiles.h"
#include "project/Ranking.h"
#include "project/SystemIni.h"
#include "support/FakeMessageBox.h"

namespace {

class PlayerFiles : public cProjectTest {
protected:
    void SetUp() override {
        cProjectTest::SetUp();
        bPrevEnglish = bEnglish;
        bEnglish = 0;
        ForgetPlayerFileAnswers();
    }
    void TearDown() override {
        bEnglish = bPrevEnglish;
        ForgetPlayerFileAnswers();
        cProjectTest::TearDown();
    }
    int bPrevEnglish = 0;
};

TEST_F(PlayerFiles, AFailedLoadIsANewerADamagedOrAMissingFile) {
    ASSERT_TRUE(Write("user_data\\x.dat", cByteBuilder().U32(854).I32(5)));
    EXPECT_EQ(PlayerFileStateAfterFailedLoad("user_data\\x.dat", 1), PLAYERFILE_NEWER);
    EXPECT_EQ(PlayerFileStateAfterFailedLoad("user_data\\x.dat", 0), PLAYERFILE_DAMAGED);
    EXPECT_EQ(PlayerFileStateAfterFailedLoad("user_data\\none.dat", 0), PLAYERFILE_MISSING);
    EXPECT_EQ(PlayerFileStateAfterFailedLoad("user_data", 0), PLAYERFILE_MISSING);   // a folder is no file
    EXPECT_EQ(PlayerFileStateAfterFailedLoad("", 0), PLAYERFILE_MISSING);
    EXPECT_EQ(PlayerFileStateAfterFailedLoad(nullptr, 0), PLAYERFILE_MISSING);
}

// Only a yes replaces: no, a box closed by the shutdown (0) or any other
// answer keeps the file. The question's default button is "no", so a box
// answered without the player (headless) keeps it too.
TEST_F(PlayerFiles, OnlyAYesReplacesAKeptFile) {
    struct CASE {
        int nState;
        int nAnswer;
        int bEnglishText;
        bool bReplace;
        size_t nBoxes;
        const char* pszPiece;   // a piece of the text
    } const cases[] = {
        {PLAYERFILE_NEWER, IDYES, 0, true, 1, "新しいバージョンのソフトで保存されたファイルです"},
        {PLAYERFILE_NEWER, IDNO, 0, false, 1, "上書きしますか？"},
        {PLAYERFILE_NEWER, 0, 0, false, 1, "上書きしますか？"},
        {PLAYERFILE_DAMAGED, IDYES, 0, true, 1, "壊れているため読み込めません"},
        {PLAYERFILE_DAMAGED, IDCANCEL, 0, false, 1, "壊れているため読み込めません"},
        {PLAYERFILE_NEWER, IDNO, 1, false, 1, "was saved by a newer version"},
        {PLAYERFILE_DAMAGED, IDYES, 1, true, 1, "is damaged and cannot be read"},
        {PLAYERFILE_MISSING, IDNO, 0, true, 0, nullptr},
        {PLAYERFILE_READABLE, IDNO, 0, true, 0, nullptr},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.nState * 100 + c.nAnswer * 10 + c.bEnglishText);
        cFakeMessageBox boxes;
        boxes.Script({c.nAnswer});
        bEnglish = c.bEnglishText;
        EXPECT_EQ(AskReplacePlayerFile("user_data\\Option.dat", c.nState), c.bReplace);
        ASSERT_EQ(boxes.Count(), c.nBoxes);
        if (!c.nBoxes) continue;
        const cFakeMessageBox::BOX box = boxes.Boxes()[0];
        const std::string& strText = box.strText;
        EXPECT_NE(strText.find("user_data\\Option.dat"), std::string::npos) << SjisToUtf8(strText);
        EXPECT_NE(strText.find(c.pszPiece), std::string::npos) << SjisToUtf8(strText);
        EXPECT_EQ(box.nType & 0xF, unsigned(MB_YESNO));
        EXPECT_EQ(DefaultBoxAnswer(box.nType), IDNO);
        EXPECT_EQ(box.strCaption, c.bEnglishText ? "Overwrite confirmation" : "上書きの確認");
    }
}

// A file the game writes on its own asks once a run; later writes take the
// answer given, for each file on its own.
TEST_F(PlayerFiles, AFileTheGameWritesOnItsOwnIsAskedAboutOnce) {
    cFakeMessageBox boxes;
    boxes.Script({IDNO, IDYES});
    EXPECT_FALSE(MayReplacePlayerFile("user_data\\a.rkg", PLAYERFILE_NEWER));
    EXPECT_FALSE(MayReplacePlayerFile("user_data\\a.rkg", PLAYERFILE_NEWER));
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(MayReplacePlayerFile("user_data\\b.rkg", PLAYERFILE_DAMAGED));
    EXPECT_TRUE(MayReplacePlayerFile("user_data\\b.rkg", PLAYERFILE_DAMAGED));
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_TRUE(MayReplacePlayerFile("user_data\\c.rkg", PLAYERFILE_MISSING));
    EXPECT_EQ(boxes.Count(), 2u);
    ForgetPlayerFileAnswers();
    EXPECT_FALSE(MayReplacePlayerFile("user_data\\a.rkg", PLAYERFILE_NEWER));   // the fallback: the default, no
    EXPECT_EQ(boxes.Count(), 3u);
}

// A ranking file of a newer program or a damaged one is read as the
// defaults and written over only when the player agrees; one that was
// missing or read is written without a question.
TEST_F(PlayerFiles, ARankingIsKeptByteForByteUnlessThePlayerAgrees) {
    ASSERT_TRUE(m_dir.MakeDir("user_data/free"));
    cByteBuilder newer, damaged;
    newer.U32(855).I32(0).I32(0).Count(0);
    damaged.U32(854).I32(0).I32(0).Count(3);
    struct CASE {
        const char* pszWhat;
        const cByteBuilder* pFile;   // null: no file
        int nAnswer;
        int nState, nSave;
        bool bKept;
        size_t nBoxes;
    } const cases[] = {
        {"newer, no", &newer, IDNO, PLAYERFILE_NEWER, RANKING_KEPT, true, 1},
        {"newer, not shown", &newer, 0, PLAYERFILE_NEWER, RANKING_KEPT, true, 1},
        {"newer, yes", &newer, IDYES, PLAYERFILE_NEWER, 1, false, 1},
        {"damaged, no", &damaged, IDNO, PLAYERFILE_DAMAGED, RANKING_KEPT, true, 1},
        {"damaged, yes", &damaged, IDYES, PLAYERFILE_DAMAGED, 1, false, 1},
        {"missing", nullptr, IDNO, PLAYERFILE_MISSING, 1, false, 0},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ForgetPlayerFileAnswers();
        const std::string strHost = Host("user_data\\free\\m01.rkg");
        std::remove(strHost.c_str());
        if (c.pFile) {
            ASSERT_TRUE(Write("user_data\\free\\m01.rkg", *c.pFile));
        }
        cFakeMessageBox boxes;
        boxes.Script({c.nAnswer});
        cRanking r;
        EXPECT_EQ(r.LoadFor(2, "data\\stg4\\m01.", 0, 0, 0), 0);
        EXPECT_EQ(r.m_nFileState, c.nState);
        r.m_vTable[0].Insert("mossy", 120);
        EXPECT_EQ(r.SaveFor(2, "data\\stg4\\m01.", 0, 0, 0), c.nSave);
        EXPECT_EQ(boxes.Count(), c.nBoxes);
        if (c.bKept) {
            EXPECT_EQ(ReadHostFile(strHost), c.pFile->Bytes());
            continue;
        }
        cRanking back;
        ASSERT_EQ(back.LoadFor(2, "data\\stg4\\m01.", 0, 0, 0), 1);
        EXPECT_EQ(back.m_vTable[0].m_vEntry[0].m_strName, "mossy");
        EXPECT_EQ(back.m_nFileState, PLAYERFILE_READABLE);
        // Written once, the file is ours: no more questions.
        EXPECT_EQ(r.SaveFor(2, "data\\stg4\\m01.", 0, 0, 0), 1);
        EXPECT_EQ(boxes.Count(), c.nBoxes);
    }
}

}  // namespace
