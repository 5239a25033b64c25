#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "foundation/ErrorBox.h"
#include "foundation/Log.h"
#include "platform/CloseRequest.h"
#include "platform/MainThread.h"
#include "support/FakeMessageBox.h"

namespace {

class ErrorBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetMainThread();
        InitECLog(0, "EC_Game.txt");
        ResetCloseRequests();
    }
    void TearDown() override
    {
        SetMainLoopServing(false);
        SetFullScreenBoxHandler(nullptr);
        InitECLog(0, "EC_Game.txt");
        ResetCloseRequests();
    }
    cFakeMessageBox m_fake;
};

TEST_F(ErrorBoxTest, ErrorBoxesShowTheFormattedTextUnderTheErrorCaption)
{
    m_fake.Script({IDOK});
    EXPECT_EQ(ErrorBox("%s の読み込みに失敗しました！", "stage01.stg"), IDOK);
    EXPECT_EQ(ErrorBoxText("text"), IDOK);
    ASSERT_EQ(m_fake.Count(), 2u);
    EXPECT_EQ(m_fake.Boxes()[0].strText, "stage01.stg の読み込みに失敗しました！");
    EXPECT_EQ(m_fake.Boxes()[0].strCaption, "エラー");
    EXPECT_EQ(m_fake.Boxes()[0].nType, unsigned(MB_OK));

    std::string strLong(3000, 'x');
    ErrorBox("%s", strLong.c_str());
    EXPECT_EQ(m_fake.Boxes()[2].strText.size(), 1023u);
}

TEST_F(ErrorBoxTest, StepLogBoxesAppearOnlyWhileTheStepLogIsEnabled)
{
    EXPECT_EQ(ErrorBoxEC("cCmd::GetCmdNum 番号が不正です！"), 0);
    EXPECT_EQ(m_fake.Count(), 0u);
    InitECLog(1, "/dev/null");
    EXPECT_EQ(ErrorBoxEC("cCmd::GetCmdNum 番号が不正です！"), IDOK);
    ASSERT_EQ(m_fake.Count(), 1u);
    EXPECT_EQ(m_fake.Boxes()[0].strText, "cCmd::GetCmdNum 番号が不正です！");
}

TEST_F(ErrorBoxTest, OutOfMemoryShowsItsBoxBeforeAskingToClose)
{
    bool bCloseWhileShown = true;
    m_fake.OnShow([&](const cFakeMessageBox::BOX&) { bCloseWhileShown = IsCloseRequested(); });
    EXPECT_EQ(ErrNoMemory(), 1);
    ASSERT_EQ(m_fake.Count(), 1u);
    EXPECT_EQ(m_fake.Boxes()[0].strText, "メモリが不足しています！");
    EXPECT_FALSE(bCloseWhileShown);
    eCloseKind eKind = CLOSE_USER;
    ASSERT_TRUE(TakeCloseRequest(&eKind));
    EXPECT_EQ(eKind, CLOSE_FATAL);
}

TEST_F(ErrorBoxTest, ABoxFromAnotherThreadIsServedOnTheMainThread)
{
    SetMainLoopServing(true);
    m_fake.Script({IDNO});
    std::atomic<bool> bDone{false};
    std::atomic<int> nAnswer{0};
    std::thread th([&] {
        nAnswer = ShowMesBox("終了しますか？", "確認", MB_YESNO);
        bDone = true;
    });
    std::thread::id idWorker = th.get_id();
    while (!bDone) {
        WaitMainThreadRequests(1);
        ServeMainThreadRequests();
    }
    th.join();
    EXPECT_EQ(nAnswer, IDNO);
    ASSERT_EQ(m_fake.Count(), 1u);
    EXPECT_EQ(m_fake.Boxes()[0].idThread, std::this_thread::get_id());
    EXPECT_NE(m_fake.Boxes()[0].idThread, idWorker);
}

TEST_F(ErrorBoxTest, FullScreenHandlerTakesTheBoxUnlessItDeclines)
{
    int nHandled = 0;
    int nReturn = IDOK;
    SetFullScreenBoxHandler([&](const char* pszText, const char* pszCaption, unsigned) {
        ++nHandled;
        EXPECT_STREQ(pszCaption, "エラー");
        EXPECT_STREQ(pszText, "full");
        return nReturn;
    });
    EXPECT_EQ(ErrorBoxText("full"), IDOK);
    EXPECT_EQ(m_fake.Count(), 0u);
    nReturn = 0;   // dialog mode failed: nothing shown
    EXPECT_EQ(ErrorBoxText("full"), 0);
    EXPECT_EQ(m_fake.Count(), 0u);
    nReturn = -1;  // windowed: the plain box
    EXPECT_EQ(ErrorBoxText("full"), IDOK);
    EXPECT_EQ(m_fake.Count(), 1u);
    EXPECT_EQ(nHandled, 3);
}

}  // namespace
