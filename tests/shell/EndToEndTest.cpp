// Starts the real program on the demo project and ends it with a close
// request after a few hundred frames. A clean run is proven by what it
// leaves: the exit status, the frame count and scene it ended in (the
// report's last line), the window placement saved on a windowed close, and
// the lock given back. Also: a stage on the command line, a test play, a
// second copy, the usage and a folder the game cannot start in.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "platform/Clock.h"
#include "platform/TextCodec.h"
#include "project/Scene.h"
#include "shell/WindowData.h"
#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// A run of the program in the current directory with the given video
// driver and arguments; standard output and error go to <tag>.out/.err.
class cGameRun : public cGameProcess {
public:
    cGameRun(const std::string& strExe, const char* pszVideoDriver, const std::vector<std::string>& vArgs,
             const std::string& strTag)
        : cGameProcess(strExe, vArgs, {std::string("SDL_VIDEODRIVER=") + pszVideoDriver}, strTag) {}
};

std::string ReadText(const std::string& path) {
    auto v = ReadHostFile(path);
    return std::string(v.begin(), v.end());
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
    }
    std::string Report() const { return ReadText(dir.File("Report_Game.txt")); }
    void CheckCleanReport() {
        std::string s = Report();
        EXPECT_NE(s.find("App : ver 854"), std::string::npos);
        for (const char* pszBad : {"失敗", "読み込めません", "err V[", "err L[", "メモリが不足"}) {
            EXPECT_EQ(s.find(SjisToUtf8(pszBad)), std::string::npos) << pszBad << "\n" << s;
        }
    }
    // The frames run and the scene at the end, from the report's last line.
    bool EndLine(unsigned* pnFrames, int* pnScene) {
        std::string s = Report();
        size_t at = s.rfind("App : end after ");
        if (at == std::string::npos) return false;
        return std::sscanf(s.c_str() + at, "App : end after %u frames in scene %d", pnFrames, pnScene) == 2;
    }
    // The lock file can be taken: the program gave it back.
    bool LockIsFree() {
        int fd = open(dir.File("Mossgrove.lock").c_str(), O_RDWR);
        if (fd < 0) return false;
        bool bFree = flock(fd, LOCK_EX | LOCK_NB) == 0;
        close(fd);
        return bFree;
    }
    // A clean windowed run of at least nFrames frames that ended in nScene
    // (-1: any scene).
    void CheckCleanRun(cGameRun& run, unsigned nFrames, int nScene) {
        EXPECT_EQ(run.Wait(60), 0) << run.Err();
        CheckCleanReport();
        unsigned nRan = 0;
        int nEndScene = -1;
        ASSERT_TRUE(EndLine(&nRan, &nEndScene)) << Report();
        EXPECT_GE(nRan, nFrames);
        EXPECT_LT(nRan, nFrames + 600) << "the close comes soon after the frame count is reached";
        if (nScene >= 0) {
            EXPECT_EQ(nEndScene, nScene);
        }
        // The demo runs in a window: its placement is saved on the close.
        nDataVer = DATA_VERSION;
        cWindowData w;
        w.m_nWidth = -1;
        ASSERT_EQ(w.Load("user_data\\Window.dat"), 1);
        EXPECT_GE(w.m_nWidth, 640);
        EXPECT_GE(w.m_nHeight, 480);
        EXPECT_EQ(w.m_bMaximized, 0);
        EXPECT_TRUE(LockIsFree());
    }
    cTempDir dir;
    std::string strExe;
};

TEST_F(EndToEnd, RunsHeadlessAndClosesCleanly) {
    cGameRun run(strExe, "dummy", {"--close-after-frames", "300"}, "run");
    CheckCleanRun(run, 300, -1);
    // The report names the sound device that was opened (the test runs use
    // SDL's dummy driver) and the soundfont that plays the MIDI music, or
    // why the music is silent.
    const std::string s = Report();
    EXPECT_NE(s.find("Audio device : dummy, "), std::string::npos) << s;
    EXPECT_TRUE(s.find("Midi soundfont : /") != std::string::npos ||
                s.find("MIDI music is silent") != std::string::npos)
        << s;
    // Its last line says that the run ended with every thread joined.
    std::string strLast = s.substr(0, s.find_last_not_of("\r\n") + 1);
    strLast = strLast.substr(strLast.rfind('\n') + 1);
    EXPECT_NE(strLast.find("App : end after "), std::string::npos) << strLast;
    EXPECT_NE(strLast.find("; every thread ended"), std::string::npos) << strLast;
}

// On an X server of its own (xvfb-run): on a shared one another test's
// window may take the input focus, and an inactive game counts no frames.
TEST_F(EndToEnd, RunsInARealWindow) {
    if (!fs::exists("/usr/bin/xvfb-run")) GTEST_SKIP() << "no xvfb-run for an X server of its own";
    cGameRun run("/usr/bin/xvfb-run", "x11",
                 {"-a", "-s", "-screen 0 1024x768x24", strExe, "--close-after-frames", "300"}, "run");
    CheckCleanRun(run, 300, -1);
}

// A stage file on the command line: the game starts on it (the numbered
// file is found) and is still playing it at the close.
TEST_F(EndToEnd, StartsOnAStageFromTheCommandLine) {
    cGameRun run(strExe, "dummy", {"--close-after-frames", "200", "data\\stg4\\c01-1.stg4"}, "run");
    CheckCleanRun(run, 200, SCENE_PLAY);
    EXPECT_EQ(run.Err().find("no stage file"), std::string::npos) << run.Err();
}

TEST_F(EndToEnd, SaysSoWhenTheStageFileDoesNotExist) {
    cGameRun run(strExe, "dummy", {"--close-after-frames", "200", "data\\stg4\\none.stg4"}, "run");
    EXPECT_EQ(run.Wait(60), 0);
    EXPECT_NE(run.Err().find("no stage file data\\stg4\\none.stg4"), std::string::npos) << run.Err();
    unsigned nRan = 0;
    int nScene = -1;
    ASSERT_TRUE(EndLine(&nRan, &nScene));
    EXPECT_NE(nScene, SCENE_PLAY);
}

// A stage file that is there but cannot be played: a damaged one (the
// start fails, saying so and why) and one without the number stage files
// are read by (the title starts, saying why the file was not played).
// Neither is called missing.
TEST_F(EndToEnd, SaysWhyAStageFileThatExistsCannotBeRead) {
    ASSERT_TRUE(dir.WriteFile("data/stg4/bad.stg4_000", std::string("not a stage at all")));
    cGameRun bad(strExe, "dummy", {"--close-after-frames", "200", "data\\stg4\\bad.stg4"}, "bad");
    EXPECT_EQ(bad.Wait(60), 1);
    EXPECT_NE(bad.Err().find("stage file data\\stg4\\bad.stg4_000 could not be read: it is damaged or not a stage file"),
              std::string::npos)
        << bad.Err();
    EXPECT_NE(Report().find("bad.stg4_000: the stage file could not be read"), std::string::npos) << Report();
    EXPECT_EQ(bad.Err().find("no stage file"), std::string::npos) << bad.Err();

    fs::copy_file(dir.File("data/stg4/m01.stg4_000"), dir.File("data/stg4/plain.stg4"));
    cGameRun plain(strExe, "dummy", {"--close-after-frames", "200", "data\\stg4\\plain.stg4"}, "plain");
    EXPECT_EQ(plain.Wait(60), 0);
    EXPECT_NE(plain.Err().find("stage file data\\stg4\\plain.stg4 could not be read: stages are read from their "
                               "numbered files (data\\stg4\\plain.stg4_000 and later)"),
              std::string::npos)
        << plain.Err();
    EXPECT_EQ(plain.Err().find("no stage file"), std::string::npos) << plain.Err();
}

// A test play started by the editor: the stage is played and the close asks
// nothing.
TEST_F(EndToEnd, RunsATestPlay) {
    cGameRun run(strExe, "dummy", {"--test-play", "--close-after-frames", "200", "data\\stg4\\c02-1.stg4"}, "run");
    CheckCleanRun(run, 200, SCENE_PLAY);
    EXPECT_EQ(run.Err().find("message box"), std::string::npos) << run.Err();
}

// A second copy in the same folder asks whether to restart; answered
// headless with its default (no), it leaves the first copy running and
// ends with a failure status, saying why.
TEST_F(EndToEnd, ASecondCopyLeavesTheFirstRunning) {
    cGameRun first(strExe, "dummy", {"--close-after-frames", "100000"}, "first");
    // The first copy holds the lock once it has started: it writes its
    // process id into the lock file. Waited for by reading, not by trying the
    // lock, so that the probe cannot hold it at the moment the copy tries.
    uint32_t nStart = GetTicks();
    while (ReadHostFile(dir.File("Mossgrove.lock")).empty() && first.Running() && GetTicks() - nStart < 30000)
        SleepMs(20);
    ASSERT_TRUE(first.Running()) << first.Err();
    ASSERT_FALSE(LockIsFree());
    // The first copy's report has its start in it; the second copy, which
    // declines to start, must leave that report as it is.
    uint32_t nReport = GetTicks();
    while (Report().find("Scene : ") == std::string::npos && first.Running() && GetTicks() - nReport < 30000)
        SleepMs(20);
    ASSERT_NE(Report().find("App : ver 854"), std::string::npos) << Report();
    cGameRun second(strExe, "dummy", {"--close-after-frames", "10"}, "second");
    EXPECT_EQ(second.Wait(60), 1);
    EXPECT_NE(Report().find("Scene : "), std::string::npos) << "the second copy truncated the first's report";
    EXPECT_NE(second.Err().find(SjisToUtf8("既に起動しています")), std::string::npos) << second.Err();
    EXPECT_NE(second.Err().find("another copy"), std::string::npos) << second.Err();
    EXPECT_TRUE(first.Running());
    // A termination signal closes the first copy without asking, and is not
    // an error of the run.
    first.Terminate();
    EXPECT_EQ(first.Wait(60), 0) << first.Err();
    CheckCleanReport();
    EXPECT_TRUE(LockIsFree());
}

TEST_F(EndToEnd, UsageAndCommandLineErrors) {
    cGameRun help(strExe, "dummy", {"--help"}, "help");
    EXPECT_EQ(help.Wait(30), 0);
    for (const char* psz : {"STAGEFILE", "--test-play", "--close-after-frames N", "--help"})
        EXPECT_NE(help.Out().find(psz), std::string::npos) << psz;
    EXPECT_FALSE(fs::exists(dir.File("Report_Game.txt"))) << "--help starts nothing";
    cGameRun bad(strExe, "dummy", {"--bogus"}, "bad");
    EXPECT_EQ(bad.Wait(30), 2);
    EXPECT_NE(bad.Err().find("unknown option --bogus"), std::string::npos) << bad.Err();
    EXPECT_NE(bad.Err().find("usage:"), std::string::npos);
    cGameRun count(strExe, "dummy", {"--close-after-frames"}, "count");
    EXPECT_EQ(count.Wait(30), 2);
    EXPECT_NE(count.Err().find("--close-after-frames needs"), std::string::npos) << count.Err();
}

// A folder that holds no game: the data folder cannot be made from a
// default one; the box is answered headless and shown on standard error,
// and the exit status says the game did not start.
TEST_F(EndToEnd, AFailedStartUpExitsWithAFailureStatus) {
    cTempDir empty;
    cGameRun run(strExe, "dummy", {"--close-after-frames", "10"}, "empty");
    EXPECT_EQ(run.Wait(60), 1);
    EXPECT_NE(run.Err().find("[message box, headless]"), std::string::npos) << run.Err();
    EXPECT_NE(run.Err().find(SjisToUtf8("「data」フォルダの作成に失敗")), std::string::npos) << run.Err();
    EXPECT_NE(run.Err().find("could not start"), std::string::npos) << run.Err();
}

}  // namespace
