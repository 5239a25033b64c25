#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "support/FakeMessageBox.h"

namespace {

TEST(QuitQuestion, TextsFollowEnglishAndYesConfirms) {
    struct CASE {
        int bEnglish;
        int nAnswer;
        const char* pszText;
        const char* pszCaption;
        int nResult;
    };
    const CASE aCase[] = {
        {0, IDYES, "終了しますか？\n", "終了確認", 1},
        {0, IDNO, "終了しますか？\n", "終了確認", 0},
        {1, IDYES, "Would you like to quit?\n", "End confirmation", 1},
        {1, IDNO, "Would you like to quit?\n", "End confirmation", 0},
        {1, 0, "Would you like to quit?\n", "End confirmation", 0},   // cancelled by the shutdown
    };
    for (const CASE& c : aCase) {
        cFakeMessageBox boxes;
        boxes.Script({c.nAnswer});
        EXPECT_EQ(ConfirmQuit(c.bEnglish), c.nResult);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].strText, c.pszText);
        EXPECT_EQ(boxes.Boxes()[0].strCaption, c.pszCaption);
        EXPECT_EQ(boxes.Boxes()[0].nType & 0xF, MB_YESNO);
    }
}

}  // namespace
