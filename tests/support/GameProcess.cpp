#include "GameProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/Clock.h"
#include "ByteBuilder.h"

extern char** environ;

std::string GameBinaryDir() {
    const char* p = std::getenv("MOSSGROVE_BINARY_DIR");
    if (p && *p) return p;
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    return self.parent_path().parent_path().string();
}

bool CopyBuiltDemo(const std::string& strDir, std::string* pExe) {
    namespace fs = std::filesystem;
    const std::string strBin = GameBinaryDir();
    if (strBin.empty()) return false;
    *pExe = strBin + "/mossgrove";
    const std::string strDemo = strBin + "/demo";
    std::error_code ec;
    if (!fs::exists(*pExe, ec) || !fs::exists(strDemo + "/data", ec)) return false;
    fs::copy(strDemo, strDir, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    return !ec;
}

std::vector<int> ReportSceneSwitches(const std::string& strReport) {
    std::vector<int> v;
    const std::string strKey = "Scene : ";
    for (size_t p = strReport.find(strKey); p != std::string::npos; p = strReport.find(strKey, p + 1))
        v.push_back(std::atoi(strReport.c_str() + p + strKey.size()));
    return v;
}

cGameProcess::cGameProcess(const std::string& strExe, const std::vector<std::string>& vArgs,
                           const std::vector<std::string>& vExtraEnv, const std::string& strTag) {
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
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (!strTag.empty()) {
        const std::string strHere = std::filesystem::current_path().string() + "/";
        m_strOut = strHere + strTag + ".out";
        m_strErr = strHere + strTag + ".err";
        posix_spawn_file_actions_addopen(&fa, 1, m_strOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&fa, 2, m_strErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (posix_spawn(&m_pid, strExe.c_str(), &fa, nullptr, argv.data(), envp.data()) != 0) m_pid = 0;
    posix_spawn_file_actions_destroy(&fa);
}

cGameProcess::~cGameProcess() {
    if (m_pid > 0 && m_nStatus == -3) {
        kill(m_pid, SIGKILL);   // the child this object started, and only it
        int n = 0;
        waitpid(m_pid, &n, 0);
    }
}

int cGameProcess::Wait(int nSeconds) {
    if (m_pid <= 0) return -2;
    if (m_nStatus != -3) return m_nStatus;
    uint32_t nStart = GetTicks();
    int nStatus = 0;
    for (;;) {
        pid_t r = waitpid(m_pid, &nStatus, WNOHANG);
        if (r == m_pid) break;
        if (GetTicks() - nStart > static_cast<uint32_t>(nSeconds) * 1000u) {
            kill(m_pid, SIGKILL);   // the child this object started, and only it
            waitpid(m_pid, &nStatus, 0);
            m_nStatus = -1;
            return m_nStatus;
        }
        SleepMs(20);
    }
    m_nStatus = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
    return m_nStatus;
}

bool cGameProcess::Running() const { return m_pid > 0 && m_nStatus == -3 && kill(m_pid, 0) == 0; }

void cGameProcess::Terminate() {
    if (m_pid > 0 && m_nStatus == -3) kill(m_pid, SIGTERM);
}

namespace {
std::string FileText(const std::string& path) {
    if (path.empty()) return "";
    auto v = ReadHostFile(path);
    return std::string(v.begin(), v.end());
}
}  // namespace

std::string cGameProcess::Out() const { return FileText(m_strOut); }
std::string cGameProcess::Err() const { return FileText(m_strErr); }

int RunGameProcess(const std::string& strExe, const std::vector<std::string>& vArgs,
                   const std::vector<std::string>& vExtraEnv, int nSeconds) {
    cGameProcess run(strExe, vArgs, vExtraEnv);
    return run.Wait(nSeconds);
}
