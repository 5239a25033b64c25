#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "foundation/Log.h"
#include "platform/CloseRequest.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class LogTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitECLog(0, "EC_Game.txt");
        ResetCloseRequests();
    }
    void TearDown() override
    {
        InitECLog(0, "EC_Game.txt");
        ResetCloseRequests();
    }
    cTempDir m_dir;
};

TEST_F(LogTest, EachStartBeginsTheReportAnewAndLeavesTheDisabledStepLogAlone)
{
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    EXPECT_EQ(WriteReport("App : ver %s", "854"), 1);
    EXPECT_EQ(WriteSystemReport(), 1);
    EXPECT_EQ(WriteReportEC("err V[%d] ( %d , %d )", 5, 2, 4), 1);
    std::string strFirst = ReadAll(m_dir.File("Report_Game.txt"));
    EXPECT_EQ(strFirst.rfind("App : ver 854\nOS : ", 0), 0u) << strFirst;
    EXPECT_NE(strFirst.find("\nHD Free : "), std::string::npos);
    EXPECT_NE(strFirst.find("\nerr V[5] ( 2 , 4 )\n"), std::string::npos);

    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    EXPECT_EQ(WriteReport("App : ver %s", "854"), 1);
    EXPECT_EQ(ReadAll(m_dir.File("Report_Game.txt")), "App : ver 854\n");
    EXPECT_FALSE(m_dir.Exists("EC_Game.txt"));
    EXPECT_EQ(WriteEC("step %d", 1), 0);
    EXPECT_FALSE(m_dir.Exists("EC_Game.txt"));
}

TEST_F(LogTest, ShiftJisLinesAreWrittenAsUtf8WithLf)
{
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    EXPECT_EQ(WriteReport("%s\r\n%s", "ステージ1", "読み込みに失敗しました！"), 1);
    EXPECT_EQ(ReadAll(m_dir.File("Report_Game.txt")), U8(u8"ステージ1\n読み込みに失敗しました！\n"));
}

TEST_F(LogTest, LongLinesAreCutOnACharacterBoundary)
{
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    std::string strLong = "a";
    for (int i = 0; i < 1000; ++i) strLong += "あ";   // 2001 bytes
    EXPECT_EQ(WriteReportEC("%s", strLong.c_str()), 1);
    std::string strExpected = "a";
    for (int i = 0; i < 511; ++i) strExpected += U8(u8"あ");   // 1023 bytes of Shift-JIS
    EXPECT_EQ(ReadAll(m_dir.File("Report_Game.txt")), strExpected + "\n");
    // The report line itself has no fixed limit.
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    EXPECT_EQ(WriteReport("%s", strLong.c_str()), 1);
    EXPECT_EQ(ReadAll(m_dir.File("Report_Game.txt")).size(), 1 + 1000 * 3 + 1u);
}

TEST_F(LogTest, WithoutAReportLogLinesAreDropped)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(InitReport("no_such_folder\\Report_Game.txt"), 0);
    std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(strErr.find("Report_Game.txt"), std::string::npos);
    EXPECT_EQ(WriteReport("lost"), 0);
    InitECLog(1, "EC_Game.txt");
    EXPECT_EQ(WriteReportEC("lost too"), 0);
    EXPECT_FALSE(m_dir.Exists("EC_Game.txt"));   // nothing reached either log
    EXPECT_EQ(WriteSystemReport(), 0);
}

TEST_F(LogTest, StepLogIsTruncatedByItsFirstWriteThenAppended)
{
    ASSERT_TRUE(m_dir.WriteFile("EC_Game.txt", "old run\n"));
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    InitECLog(1, "EC_Game.txt");
    EXPECT_EQ(WriteEC("Exit %c", 'A'), 1);
    EXPECT_EQ(WriteECLine("Exit B"), 1);
    EXPECT_EQ(WriteReportEC("In SetStage bLoadStage = %d", 1), 1);
    EXPECT_EQ(ReadAll(m_dir.File("EC_Game.txt")), "Exit A\nExit B\nIn SetStage bLoadStage = 1\n");

    EXPECT_EQ(WriteECAndClose("Dead %d", 9), 1);
    EXPECT_EQ(ReadAll(m_dir.File("EC_Game.txt")), "Exit A\nExit B\nIn SetStage bLoadStage = 1\nDead 9\n");
    EXPECT_EQ(ReadAll(m_dir.File("Report_Game.txt")), "In SetStage bLoadStage = 1\nDead 9\n");
    eCloseKind eKind = CLOSE_USER;
    ASSERT_TRUE(TakeCloseRequest(&eKind));
    EXPECT_EQ(eKind, CLOSE_FATAL);
}

TEST_F(LogTest, WriteReportErrLogsAndShowsTheSameText)
{
    cFakeMessageBox fake;
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    EXPECT_EQ(WriteReportErr("%s が読み込めません", "System.dat"), 1);
    EXPECT_EQ(ReadAll(m_dir.File("Report_Game.txt")), U8(u8"System.dat が読み込めません\n"));
    ASSERT_EQ(fake.Count(), 1u);
    EXPECT_EQ(fake.Boxes()[0].strText, "System.dat が読み込めません");
    EXPECT_EQ(fake.Boxes()[0].strCaption, "エラー");
}

TEST(SystemReportTest, LinesFromGivenFacts)
{
    SYSTEMREPORTFACTS f;
    f.strOs = "Linux 6.1.0 #1 SMP x86_64";
    f.strCpuVendor = "GenuineIntel";
    f.strCpuName = "";
    f.dCpuClock = 2999999999.0;
    f.dMemTotal = 1048576.0 * 1024.5;
    f.dMemFree = 1048576.0 * 511.6;
    f.dVirTotal = 1048576.0 * 2048;
    f.dVirFree = 1048576.0 * 1000.4;
    f.nDiskFree = CapFreeDiskBytes(10ULL * 1024 * 1024 * 1024);
    EXPECT_EQ(FormatSystemReport(f),
              "OS : Linux 6.1.0 #1 SMP x86_64\n"
              "CPU : GenuineIntel  2999\n"
              "Mem Total : 1024.500MB\n"
              "Mem Free : 512MB\n"
              "Vir Total : 2048.000MB\n"
              "Vir Free : 1000MB\n"
              "HD Free : 2048MB\n");
    EXPECT_EQ(CapFreeDiskBytes(12345), 12345);
    EXPECT_EQ(CapFreeDiskBytes(2147483648ULL), 2147483647);
}

TEST(SystemReportTest, VersionAnswersAsSixPointOne)
{
    const struct {
        int nMajor, nMinor, nExpected;
    } aCases[] = {{1, 90, 1}, {5, 1, 1}, {6, 0, 1}, {6, 1, 1}, {6, 2, 0}, {7, 0, 0}};
    for (const auto& c : aCases) EXPECT_EQ(IsWinVerOrLater(c.nMajor, c.nMinor), c.nExpected) << c.nMajor << "." << c.nMinor;
    EXPECT_EQ(GetDDIVersion(), 9);
    char szName[256];
    GetWinVersionName(szName, nullptr, nullptr);
    EXPECT_NE(szName[0], '\0');
    SYSTEMREPORTFACTS f = GetSystemReportFacts();
    EXPECT_GT(f.dMemTotal, 0);
    EXPECT_GE(f.nDiskFree, 0);
}

TEST(SystemReportTest, VideoReportFromTheProvider)
{
    VIDEOREPORTINFO info;
    EXPECT_EQ(FormatVideoReport(info), "Mode : Window\nBpp : 32\n");
    info.bWindowed = false;
    info.nBpp = 16;
    info.bDirectDraw = true;
    info.dVramTotalMB = 64;
    info.dVramFreeMB = 12.5;
    info.nRefreshRate = 60;
    EXPECT_EQ(FormatVideoReport(info),
              "Mode : Fullscreen\nBpp : 16\nVRAM Total : 64.000MB\nVRAM Free : 12.500MB\nRR : 60\n");
    info.bDirectDraw = false;
    info.bDirect3D = true;
    info.strDriverInfo = "---デバイス0\nDescription : soft";
    EXPECT_EQ(FormatVideoReport(info), "Mode : Fullscreen\nBpp : 16\n---デバイス0\nDescription : soft\n");

    int nFree = -1, nTotal = -1;
    GetVRAM(&nFree, &nTotal);
    EXPECT_EQ(nFree, 0);
    EXPECT_EQ(nTotal, 0);
    SetVramProvider([](int* pFree, int* pTotal) { *pFree = 3; *pTotal = 8; });
    GetVRAM(&nFree, &nTotal);
    EXPECT_EQ(nFree, 3);
    EXPECT_EQ(nTotal, 8);
    SetVramProvider(nullptr);
}

}  // namespace
