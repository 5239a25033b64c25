// Rules of run-code lines worked out by hand: operator precedence across
// the levels, and what a new maximum HP or SP does to the value.
#include <gtest/gtest.h>

#include "FlowFixture.h"
#include "flow/RunCode.h"
#include "support/FakeMessageBox.h"

namespace {

class RunCodeRulesTest : public ::testing::Test, public cFlowFixture {
protected:
    void SetUp() override { me = AddChara(100, 40); }
    // Runs a line; the text of the first box it showed ("" none).
    std::string Run(const char* text) {
        cFakeMessageBox box;
        RunCode(text, me);
        return box.Count() ? box.Boxes()[0].strText : std::string();
    }
    cChara* me = nullptr;
};

TEST_F(RunCodeRulesTest, RemainderBindsBeforePlusAndMinus) {
    struct CASE {
        const char* text;
        int32_t want;   // C1 afterwards
    } cases[] = {
        // 5 % 3 = 2 first, then 7 - 2 (from the left at one level: (7 - 5) % 3 = 2).
        {"C1 = 7 - 5 % 3", 5},
        // 7 % 4 = 3, then 2 + 3 (flat: (2 + 7) % 4 = 1).
        {"C1 = 2 + 7 % 4", 5},
        // 9 % 5 = 4, then 20 - 4 - 3 from the left (flat: (20 - 9) % 5 - 3 = -2).
        {"C1 = 20 - 9 % 5 - 3", 13},
        // The remainder takes the sign of its left side: -7 % 4 = -3; 5 - -3 = 8.
        {"C1 = 5 - -7 % 4", 8},
        // % and * share a level, reduced from the left: (5 % 4) * 3 = 3
        // (% after *: 5 % 12 = 5).
        {"C1 = 5 % 4 * 3", 3},
        // 3 * 4 = 12, 12 % 5 = 2, then 2 + 2 - 1.
        {"C1 = 2 + 3 * 4 % 5 - 1", 3},
    };
    for (const CASE& c : cases) {
        progress.m_vCommonVar[1] = -12345;
        EXPECT_EQ(Run(c.text), "") << c.text;
        EXPECT_EQ(progress.m_vCommonVar[1], c.want) << c.text;
    }
}

TEST_F(RunCodeRulesTest, NewMaximumPutsTheValueBackIntoRange) {
    struct CASE {
        const char* text;
        int32_t nBefore;   // HP or SP before
        int32_t nMaxAfter, nAfter;
    } cases[] = {
        {"mhp = 30", 40, 30, 30},      // above the new maximum: lowered to it
        {"mhp = 200", 40, 200, 40},    // inside: unchanged
        {"mhp = 50", 0, 50, 1},        // below 1: raised to 1
        {"mhp = 0", 40, 1, 1},         // the maximum itself is at least 1
        {"msp = 10", 25, 10, 10},
        {"msp = 10", 0, 10, 1},
        {"msp = 10", -4, 10, 1},
    };
    for (const CASE& c : cases) {
        const bool bHp = c.text[1] == 'h';
        me->m_Data.m_nMaxHp = 100;
        me->m_Data.m_nMaxSp = 100;
        (bHp ? me->m_nHp : me->m_nSp) = c.nBefore;
        EXPECT_EQ(Run(c.text), "") << c.text;
        EXPECT_EQ(bHp ? me->m_Data.m_nMaxHp : me->m_Data.m_nMaxSp, c.nMaxAfter) << c.text << " from " << c.nBefore;
        EXPECT_EQ(bHp ? me->m_nHp : me->m_nSp, c.nAfter) << c.text << " from " << c.nBefore;
    }
}

}  // namespace
