#include "GameProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Clock.h"

extern char** environ;

std::string GameBinaryDir() {
    const char* p = std::getenv("MOSSGROVE_BINARY_DIR");
    if (p && *p) return p;
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    return self.parent_path().parent_path().string();
}

int RunGameProcess(const std::string& strExe, const std::vector<std::string>& vArgs,
                   const std::vector<std::string>& vExtraEnv, int nSeconds) {
    std::vector<std::string> vEnv;
    for (char** e = environ; *e; e++) {
        std::string s = *e;
        if (s.rfind("SDL_AUDIODRIVER=", 0) == 0) continue;
        bool bReplaced = false;
        for (const std::string& x : vExtraEnv)
            if (s.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0) bReplaced = true;
        if (!bReplaced) vEnv.push_back(s);
    }
    vEnv.push_back("SDL_AUDIODRIVER=dummy");
    for (const std::string& x : vExtraEnv) vEnv.push_back(x);
    std::vector<char*> envp;
    for (auto& s : vEnv) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> vAll = {strExe};
    vAll.insert(vAll.end(), vArgs.begin(), vArgs.end());
    std::vector<char*> argv;
    for (auto& s : vAll) argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, strExe.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -2;
    uint32_t nStart = GetTicks();
    int nStatus = 0;
    for (;;) {
        pid_t r = waitpid(pid, &nStatus, WNOHANG);
        if (r == pid) break;
        if (GetTicks() - nStart > static_cast<uint32_t>(nSeconds) * 1000u) {
            kill(pid, SIGKILL);   // the child this call started, and only it
            waitpid(pid, &nStatus, 0);
            return -1;
        }
        SleepMs(20);
    }
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}
