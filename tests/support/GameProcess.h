#pragma once
// Runs the real program as a child process in the current directory, with
// SDL's dummy audio driver and extra environment entries.
#include <sys/types.h>

#include <string>
#include <vector>

// The build folder: from the environment, else the folder above this test
// program's own.
std::string GameBinaryDir();

// Copies the built demo project into strDir and sets *pExe to the built
// program; false when either is not built (the caller skips).
bool CopyBuiltDemo(const std::string& strDir, std::string* pExe);

// The scene numbers of the report's "Scene : N" lines, in order.
std::vector<int> ReportSceneSwitches(const std::string& strReport);

// One run of the program. vExtraEnv entries ("NAME=value") replace the
// inherited ones of the same name. With a tag, standard output and error go
// to <tag>.out and <tag>.err in the current directory. A run still going
// when the object goes is killed.
class cGameProcess {
public:
    cGameProcess(const std::string& strExe, const std::vector<std::string>& vArgs,
                 const std::vector<std::string>& vExtraEnv, const std::string& strTag = "");
    ~cGameProcess();
    cGameProcess(const cGameProcess&) = delete;
    cGameProcess& operator=(const cGameProcess&) = delete;

    // The exit status (128 + signal when killed by one), or -1 when it had
    // to be stopped after nSeconds, -2 when it could not be started.
    int Wait(int nSeconds);
    bool Running() const;
    pid_t Pid() const { return m_pid; }
    // Asks the program to end (SIGTERM).
    void Terminate();
    std::string Out() const;
    std::string Err() const;

private:
    pid_t m_pid = 0;
    int m_nStatus = -3;   // -3: not waited for yet
    std::string m_strOut, m_strErr;
};

// Runs the program to its end; the status as cGameProcess::Wait gives it.
int RunGameProcess(const std::string& strExe, const std::vector<std::string>& vArgs,
                   const std::vector<std::string>& vEnv, int nSeconds);
