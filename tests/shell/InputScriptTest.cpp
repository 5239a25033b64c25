#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Each Escape entry of a script is one press: taken at the first frame it
// holds and never again, however long it is held; another key is no press.
// Script: Escape from 10 for 3 frames (10, 11, 12), from 12 for 1 frame,
// Z from 20; so frame 9 takes nothing, 10 entry 0, 11 nothing (entry 0
// taken), 12 entry 1, 13 nothing, 20 nothing (Z is not Escape).
TEST(InputScript, AnEscapeEntryIsOnePress) {
    std::vector<SCRIPTKEY> v;
    std::string strError;
    ASSERT_TRUE(ParseInputScript("10 escape 3\n12 escape\n20 z 5\n", v, strError)) << strError;
    std::vector<bool> vTaken(v.size(), false);
    const struct {
        unsigned nFrame;
        int nEntry;
    } atCase[] = {{9, -1}, {10, 0}, {11, -1}, {12, 1}, {13, -1}, {20, -1}};
    for (const auto& c : atCase) {
        SCOPED_TRACE(c.nFrame);
        EXPECT_EQ(FindScriptPress(v, vTaken, c.nFrame, VK_ESCAPE), c.nEntry);
    }
}

}  // namespace
