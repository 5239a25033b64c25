// The memory a list of flows takes, which a read charges before copying it.
#include <gtest/gtest.h>

#include "stage/Flow.h"

namespace {

TEST(FlowMemory, ListsCountEveryPartTheyHoldNestedFlowsIncluded) {
    cFlow inner;                      // a flow inside a command, empty
    cEdCmd a;
    a.m_vParam = {1, 2, 3};
    a.m_strText = "xyz";
    a.m_pMove.MakeNew();
    cEdCmd b;
    b.m_pCondList.MakeNew().m_vCond.resize(2);
    b.m_vFlow = {inner};
    cFlow f;
    f.m_strName = "ab";
    f.m_vCond.resize(1);
    f.m_vKey.resize(1);               // a key holds its 19 inputs
    f.m_vCmd = {a, b};

    // The flow: itself, its 2-byte name, one condition, one key of 19.
    const uint64_t nFlow = sizeof(cFlow) + 2 + sizeof(cCond) + sizeof(cFlowKey) + 19;
    // Command a: itself, 3 parameters of 4 bytes, a 3-byte text, a move.
    const uint64_t nA = sizeof(cEdCmd) + 3 * 4 + 3 + sizeof(cEdMove);
    // Command b: itself, a condition list of 2, one empty flow.
    const uint64_t nB = sizeof(cEdCmd) + sizeof(cCondList) + 2 * sizeof(cCond) + sizeof(cFlow);

    struct CASE {
        const char* szWhat;
        cChkVector<cFlow> vFlow;
        uint64_t nBytes;
    };
    const CASE aCase[] = {
        {"no flows", {}, 0},
        {"one flow", {f}, nFlow + nA + nB},
        {"the same flow twice", {f, f}, 2 * (nFlow + nA + nB)},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        EXPECT_EQ(FlowListBytes(c.vFlow), c.nBytes);
    }
    EXPECT_EQ(CmdListBytes(f.m_vCmd), nA + nB);
}

}  // namespace
