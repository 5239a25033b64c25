#include <gtest/gtest.h>

#include <unistd.h>

#include "shell/SingleInstance.h"
#include "foundation/Record.h"
#include "support/ByteBuilder.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

class cFakeLock : public IInstanceLock {
public:
    bool bFree = false;
    int nHolder = 4242;
    bool bAskable = true;
    bool bCloses = true;
    int nAsked = 0;
    bool TryLock() override { return bFree; }
    int GetHolder() override { return nHolder; }
    bool AskToClose(int nPid) override {
        nAsked = nPid;
        return bAskable;
    }
    bool WaitForRelease(unsigned) override { return bCloses; }
    void Unlock() override {}
};

TEST(SingleInstance, Table) {
    struct CASE {
        bool bFree;
        int nAnswer;
        int nHolder;
        bool bAskable, bCloses;
        eInstanceResult eWant;
        size_t nBoxes;
        int nAsked;
    };
    const CASE cases[] = {
        {true, IDYES, 4242, true, true, INSTANCE_OWNED, 0, 0},        // the only copy
        {false, IDNO, 4242, true, true, INSTANCE_DECLINED, 1, 0},     // "No": the first copy stays
        {false, IDYES, 4242, true, true, INSTANCE_OWNED, 1, 4242},    // "Yes": the first copy closes
        {false, IDYES, 0, true, true, INSTANCE_UNLOCKED, 1, 0},       // holder unknown: start anyway
        {false, IDYES, 4242, false, true, INSTANCE_FAILED, 2, 4242},  // cannot be asked
        {false, IDYES, 4242, true, false, INSTANCE_FAILED, 2, 4242},  // still runs: refuse, never kill
    };
    for (const auto& c : cases) {
        cFakeMessageBox boxes;
        boxes.Script({c.nAnswer});
        cFakeLock lock;
        lock.bFree = c.bFree;
        lock.nHolder = c.nHolder;
        lock.bAskable = c.bAskable;
        lock.bCloses = c.bCloses;
        EXPECT_EQ(AcquireSingleInstance(lock), c.eWant) << &c - cases;
        ASSERT_EQ(boxes.Count(), c.nBoxes) << &c - cases;
        EXPECT_EQ(lock.nAsked, c.nAsked) << &c - cases;
        if (c.nBoxes >= 1) {
            EXPECT_EQ(boxes.Boxes()[0].strCaption, "二重起動");
        }
        if (c.nBoxes == 2) {
            EXPECT_EQ(boxes.Boxes()[1].strText, "プログラムの終了に失敗しました。");
        }
    }
}

TEST(SingleInstance, LockFileHoldsTheProcessId) {
    cTempDir dir;
    cFileInstanceLock a, b;
    EXPECT_TRUE(a.TryLock());
    EXPECT_FALSE(b.TryLock());
    auto v = ReadHostFile(dir.File("Mossgrove.lock"));
    EXPECT_EQ(std::string(v.begin(), v.end()), std::to_string(getpid()) + "\n");
    a.Unlock();
    EXPECT_TRUE(b.WaitForRelease(100));
}

}  // namespace
