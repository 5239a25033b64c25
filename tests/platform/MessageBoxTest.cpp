#include <gtest/gtest.h>

#include <string>

#include "platform/CloseRequest.h"
#include "platform/MessageBox.h"
#include "support/FakeMessageBox.h"

namespace {

TEST(MessageBoxTest, DefaultAnswers)
{
    const struct {
        unsigned nType;
        int nAnswer;
    } aCases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
    };
    for (const auto& c : aCases) EXPECT_EQ(DefaultBoxAnswer(c.nType), c.nAnswer) << c.nType;
}

// A box nobody answered (closed without a button, or impossible to show
// on the display there is) never says "Yes" or "OK" to a question.
TEST(MessageBoxTest, TheCancellingAnswerNeverConsentsToAQuestion)
{
    const struct {
        unsigned nType;
        int nAnswer;
    } aCases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_YESNO, IDNO},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO},
        {MB_OKCANCEL, IDCANCEL},
        {MB_OKCANCEL | MB_ICONWARNING, IDCANCEL},
    };
    for (const auto& c : aCases) EXPECT_EQ(CancelBoxAnswer(c.nType), c.nAnswer) << c.nType;
}

TEST(MessageBoxTest, HeadlessBoxIsLoggedInUtf8AndAnsweredWithItsDefault)
{
    ASSERT_TRUE(IsHeadlessDisplay());   // CTest runs with SDL_VIDEODRIVER=dummy
    testing::internal::CaptureStderr();
    int nAnswer = GetMessageBoxService().Show("終了しますか？", "確認", MB_YESNO | MB_DEFBUTTON2);
    std::string strLog = testing::internal::GetCapturedStderr();
    EXPECT_EQ(nAnswer, IDNO);
    EXPECT_NE(strLog.find(reinterpret_cast<const char*>(u8"確認: 終了しますか？")), std::string::npos) << strLog;
}

TEST(MessageBoxTest, FakeIsInstalledWhileItLivesAndFollowsItsScript)
{
    {
        cFakeMessageBox fake;
        fake.Script({IDNO});
        EXPECT_EQ(GetMessageBoxService().Show("a", "b", MB_YESNO), IDNO);
        EXPECT_EQ(GetMessageBoxService().Show("c", "d", MB_YESNO), IDYES);
        ASSERT_EQ(fake.Count(), 2u);
        EXPECT_EQ(fake.Boxes()[1].strText, "c");
    }
    EXPECT_EQ(dynamic_cast<cFakeMessageBox*>(&GetMessageBoxService()), nullptr);
}

TEST(CloseRequestTest, FatalOutranksUserAndTakingClears)
{
    ResetCloseRequests();
    eCloseKind eKind = CLOSE_USER;
    EXPECT_FALSE(TakeCloseRequest(&eKind));
    PostCloseRequest(CLOSE_USER);
    PostCloseRequest(CLOSE_FATAL);
    PostCloseRequest(CLOSE_USER);
    EXPECT_TRUE(IsCloseRequested());
    EXPECT_EQ(GetCloseRequestCount(), 3u);
    ASSERT_TRUE(TakeCloseRequest(&eKind));
    EXPECT_EQ(eKind, CLOSE_FATAL);
    EXPECT_FALSE(IsCloseRequested());
    EXPECT_FALSE(TakeCloseRequest(&eKind));
    PostCloseRequest(CLOSE_USER);
    ASSERT_TRUE(TakeCloseRequest(&eKind));
    EXPECT_EQ(eKind, CLOSE_USER);
    ResetCloseRequests();
    EXPECT_EQ(GetCloseRequestCount(), 0u);
}

}  // namespace
