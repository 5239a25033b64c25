#include "shell/SingleInstance.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

namespace {
const char* const LOCK_FILE = "Mossgrove.lock";
volatile sig_atomic_t bCloseSignal = 0;
void OnCloseSignal(int) { bCloseSignal = 1; }
}  // namespace

eInstanceResult AcquireSingleInstance(IInstanceLock& lock) {
    if (lock.TryLock()) return INSTANCE_OWNED;
    int r = GetMessageBoxService().Show(
        "既に起動しています。\n実行中のプログラムを閉じて再起動しますか？\n\nWould you like to restart the game?",
        "二重起動", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (r != IDYES) return INSTANCE_DECLINED;
    int nPid = lock.GetHolder();
    if (nPid <= 0) return INSTANCE_UNLOCKED;
    if (!lock.AskToClose(nPid) || !lock.WaitForRelease(5000)) {
        GetMessageBoxService().Show("プログラムの終了に失敗しました。", "二重起動", MB_OK);
        return INSTANCE_FAILED;
    }
    return INSTANCE_OWNED;
}

cFileInstanceLock::~cFileInstanceLock() { Unlock(); }

bool cFileInstanceLock::TryLock() {
    if (m_fd < 0) {
        std::string strPath = HostPath(LOCK_FILE);
        m_fd = open(strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0) return true;   // a folder we cannot write to: no guard, but no refusal either
    }
    if (flock(m_fd, LOCK_EX | LOCK_NB) != 0) return false;
    char szPid[32];
    int n = snprintf(szPid, sizeof szPid, "%d\n", static_cast<int>(getpid()));
    if (ftruncate(m_fd, 0) == 0 && n > 0) {
        ssize_t w = pwrite(m_fd, szPid, static_cast<size_t>(n), 0);
        (void)w;
    }
    return true;
}

int cFileInstanceLock::GetHolder() {
    if (m_fd < 0) return 0;
    char szPid[32] = {};
    ssize_t n = pread(m_fd, szPid, sizeof szPid - 1, 0);
    if (n <= 0) return 0;
    long nPid = strtol(szPid, nullptr, 10);
    return nPid > 0 && nPid < 0x7FFFFFFF && nPid != getpid() ? static_cast<int>(nPid) : 0;
}

bool cFileInstanceLock::AskToClose(int nPid) {
    return nPid > 0 && kill(nPid, SIGTERM) == 0;
}

bool cFileInstanceLock::WaitForRelease(unsigned nMs) {
    uint32_t nStart = GetTicks();
    for (;;) {
        if (TryLock()) return true;
        if (GetTicks() - nStart >= nMs) return false;
        SleepMs(10);
    }
}

void cFileInstanceLock::Unlock() {
    if (m_fd < 0) return;
    flock(m_fd, LOCK_UN);
    close(m_fd);
    m_fd = -1;
}

void InstallCloseSignal() {
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnCloseSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}

bool TakeCloseSignal() {
    if (!bCloseSignal) return false;
    bCloseSignal = 0;
    return true;
}
