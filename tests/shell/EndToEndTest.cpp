// Starts the real program on the demo project and ends it with a close
// request after a few hundred frames.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/TextCodec.h"
#include "support/ByteBuilder.h"
#include "support/TempDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The build folder: from the environment, else the folder above this test
// program's own.
std::string BinaryDir() {
    const char* p = std::getenv("MOSSGROVE_BINARY_DIR");
    if (p && *p) return p;
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    return self.parent_path().parent_path().string();
}

// Runs the program in the current directory with the given video driver;
// the exit status, or -1 when it had to be stopped after the time limit.
int RunGame(const std::string& strExe, const char* pszVideoDriver, int nFrames, int nSeconds) {
    std::vector<std::string> vEnv;
    for (char** e = environ; *e; e++) {
        std::string s = *e;
        if (s.rfind("SDL_VIDEODRIVER=", 0) == 0 || s.rfind("SDL_AUDIODRIVER=", 0) == 0) continue;
        vEnv.push_back(s);
    }
    if (pszVideoDriver) vEnv.push_back(std::string("SDL_VIDEODRIVER=") + pszVideoDriver);
    vEnv.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> envp;
    for (auto& s : vEnv) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string strFrames = std::to_string(nFrames);
    std::vector<std::string> vArgs = {strExe, "--close-after-frames", strFrames};
    std::vector<char*> argv;
    for (auto& s : vArgs) argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, strExe.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -2;
    uint32_t nStart = GetTicks();
    int nStatus = 0;
    for (;;) {
        pid_t r = waitpid(pid, &nStatus, WNOHANG);
        if (r == pid) break;
        if (GetTicks() - nStart > static_cast<uint32_t>(nSeconds) * 1000u) {
            kill(pid, SIGKILL);   // the child this test started, and only it
            waitpid(pid, &nStatus, 0);
            return -1;
        }
        SleepMs(20);
    }
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        strExe = BinaryDir() + "/mossgrove";
        std::string strDemo = BinaryDir() + "/demo";
        if (BinaryDir().empty() || !fs::exists(strExe) || !fs::exists(strDemo + "/data"))
            GTEST_SKIP() << "the program or the demo project is not built";
        fs::copy(strDemo, dir.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    void CheckCleanReport() {
        auto v = ReadHostFile(dir.File("Report_Game.txt"));
        std::string s(v.begin(), v.end());
        EXPECT_NE(s.find("App : ver 854"), std::string::npos);
        for (const char* pszBad : {"失敗", "読み込めません", "err V[", "err L[", "メモリが不足"}) {
            EXPECT_EQ(s.find(SjisToUtf8(pszBad)), std::string::npos) << pszBad << "\n" << s;
        }
    }
    cTempDir dir;
    std::string strExe;
};

TEST_F(EndToEnd, RunsHeadlessAndClosesCleanly) {
    EXPECT_EQ(RunGame(strExe, "dummy", 300, 60), 0);
    CheckCleanReport();
}

TEST_F(EndToEnd, RunsInARealWindow) {
    const char* pszDisplay = std::getenv("DISPLAY");
    if (!pszDisplay || !*pszDisplay) GTEST_SKIP() << "no X display";
    EXPECT_EQ(RunGame(strExe, "x11", 300, 60), 0);
    CheckCleanReport();
}

}  // namespace
