#include <gtest/gtest.h>

#include "shell/InputScript.h"
#include "shell/KeyState.h"

namespace {

TEST(InputScript, ParsesNamesNumbersHoldsAndComments) {
    std::vector<SCRIPTKEY> v;
    std::string strError;
    ASSERT_TRUE(ParseInputScript("# title\n10 z\n20 Down 3   # hold three frames\n\n30 0x58\n", v, strError));
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].nVk, 'Z');
    EXPECT_EQ(v[1].nVk, VK_DOWN);
    EXPECT_EQ(v[1].nFrames, 3u);
    EXPECT_EQ(v[2].nVk, 'X');
    struct CASE {
        unsigned nFrame;
        int nVk;
        bool bWant;
    } const acase[] = {
        {9, 'Z', false}, {10, 'Z', true}, {11, 'Z', false}, {19, VK_DOWN, false}, {20, VK_DOWN, true},
        {22, VK_DOWN, true}, {23, VK_DOWN, false}, {30, 'X', true}, {30, 'Z', false},
    };
    for (const auto& c : acase) EXPECT_EQ(IsScriptKeyHeld(v, c.nFrame, c.nVk), c.bWant) << c.nFrame << " " << c.nVk;
}

TEST(InputScript, RefusesLinesItCannotRead) {
    const char* const aszBad[] = {"10\n", "x z\n", "10 nokey\n", "10 z 0\n", "10 z 2x\n", "-1 z\n"};
    for (const char* psz : aszBad) {
        std::vector<SCRIPTKEY> v;
        std::string strError;
        EXPECT_FALSE(ParseInputScript(std::string("5 z\n") + psz, v, strError)) << psz;
        EXPECT_EQ(strError.rfind("line 2", 0), 0u) << psz;
    }
}

}  // namespace
