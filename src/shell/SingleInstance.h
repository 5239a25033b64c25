#pragma once
// Only one copy of the game runs in a game folder. The first copy holds a
// lock file there with its process id; a second copy asks whether to close
// the first, asks it to close through its normal close path, and starts only
// once the lock is free.
#include <string>

class IInstanceLock {
public:
    virtual ~IInstanceLock() = default;
    virtual bool TryLock() = 0;                // true when this process now holds the lock
    virtual int GetHolder() = 0;               // process id of the holder, 0 when unknown
    virtual bool AskToClose(int nPid) = 0;     // false when the holder cannot be asked
    virtual bool WaitForRelease(unsigned nMs) = 0;   // true once the lock could be taken
    virtual void Unlock() = 0;
};

enum eInstanceResult : int {
    INSTANCE_OWNED = 0,      // this copy holds the lock
    INSTANCE_UNLOCKED = 1,   // the holder is unknown: go on without the lock
    INSTANCE_DECLINED = 2,   // the player chose not to restart: end quietly
    INSTANCE_FAILED = 3,     // the first copy did not close: end after the box
};

eInstanceResult AcquireSingleInstance(IInstanceLock& lock);

// The lock file of the current directory (flock on "Mossgrove.lock").
class cFileInstanceLock : public IInstanceLock {
public:
    ~cFileInstanceLock() override;
    bool TryLock() override;
    int GetHolder() override;
    bool AskToClose(int nPid) override;
    bool WaitForRelease(unsigned nMs) override;
    void Unlock() override;

private:
    int m_fd = -1;
};

// Installs the handler by which another copy asks this one to close; the
// main loop polls it.
void InstallCloseSignal();
bool TakeCloseSignal();
