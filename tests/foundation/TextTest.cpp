// Shift-JIS text functions, bounded formatting and the random generator.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "foundation/Text.h"

namespace {

TEST(TextTest, JapaneseLiteralsAreShiftJisBytes) {
    EXPECT_STREQ("エラー", "\x83\x47\x83\x89\x81\x5B");
    // A katakana whose trail byte is the backslash code.
    EXPECT_STREQ("ソ", "\x83\x5C");
}

TEST(TextTest, DoubleByteCharactersAndCounts) {
    struct CASE {
        const char* psz;
        int bChar;   // IsSJISChar at the start
        int nCount;  // GetCharCount
    };
    const CASE cases[] = {
        {"\x82\xA0\x82\xA2\n", 1, 2},  // two characters and a newline
        {"\x81", 0, 1},                 // a lead byte at the end
        {"\x83\x5C" "a", 1, 2},         // 0x5C as a trail byte
        {"ab\nc", 0, 3},
        {"\x81\x20", 0, 2},             // a lead byte with no trail after it
        {"\xA0\xA1", 0, 2},             // half-width katakana: single bytes
        {"", 0, 0},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.psz);
        EXPECT_EQ(IsSJISChar(c.psz), c.bChar);
        EXPECT_EQ(GetCharCount(c.psz), c.nCount);
    }
}

TEST(TextTest, BoundedFormattingNeverSplitsACharacter) {
    std::string strLong(FORMAT_BUFFER_SIZE - 2, 'a');  // 5118 bytes
    std::string out;
    FormatString(out, "%s%s", strLong.c_str(), "ソ");  // 5120 bytes: one too many
    EXPECT_EQ(out.size(), strLong.size());
    FormatString(out, "%s%s", strLong.c_str(), "x");  // 5119 bytes fit
    EXPECT_EQ(out.size(), strLong.size() + 1);
    FormatString(out, "%s", std::string(20000, 'b').c_str());
    EXPECT_EQ(out.size(), static_cast<size_t>(FORMAT_BUFFER_SIZE - 1));

    // The source may be the target itself.
    out = "abc";
    FormatString(out, "<%s>", out.c_str());
    EXPECT_EQ(out, "<abc>");
    EXPECT_EQ(&AppendFormat(out, "%d", 12), &out);
    EXPECT_EQ(out, "<abc>12");

    EXPECT_EQ(FormatBounded(4, "%s", "\x82\xA0\x82\xA2"), "\x82\xA0");
    EXPECT_EQ(FormatBounded(1, "%s", "abc"), "");

    char buf[4];
    EXPECT_EQ(SjisCopy(buf, sizeof buf, "a\x83\x5C" "b"), 3u);
    EXPECT_STREQ(buf, "a\x83\x5C");
    EXPECT_EQ(SjisCopy(buf, sizeof buf, "ab\x83\x5C"), 2u);
    EXPECT_STREQ(buf, "ab");
}

TEST(TextTest, StrMidAndStrRefresh) {
    struct CASE {
        int nStart, nCount;
        const char* pszWant;
    };
    const CASE cases[] = {
        {2, 3, "cde"}, {4, 10, "ef"}, {-1, 3, "ab"}, {7, 1, ""},  {6, 2, ""},
        {2, 0, ""},    {2, -4, ""},   {-5, 3, ""},   {0, INT_MAX, "abcdef"}, {INT_MIN, INT_MAX, ""},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nStart << "," << c.nCount);
        std::string s = "abcdef";
        EXPECT_EQ(StrMid(s, c.nStart, c.nCount), c.pszWant);
    }
    std::string s("abc\0def", 7);
    EXPECT_EQ(StrMid(s, 1, 10), "bc");
    EXPECT_EQ(s, "abc");  // re-terminated on the way
    std::string t("xy\0z", 4);
    EXPECT_EQ(StrRefresh(t), 2);
    EXPECT_EQ(t, "xy");
}

TEST(TextTest, RandomSequenceRangesAndThreads) {
    SeedRandom(1);
    std::vector<int> seq;
    for (int i = 0; i < 5; i++) seq.push_back(NextRandomValue());
    EXPECT_EQ(seq, (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    SeedRandom(1);
    EXPECT_EQ(GetRandom(0, 99), 41);
    EXPECT_EQ(GetRandom(99, 0), 67);  // 18467 % 100, bounds in either order
    for (int i = 0; i < 200; i++) {
        int a = GetRandom(5, 1), b = GetRandom(1, 5);
        EXPECT_TRUE(a >= 1 && a <= 5 && b >= 1 && b <= 5);
        EXPECT_EQ(GetRandom(3, 3), 3);
        int w = GetRandom(INT_MIN, INT_MAX);  // a span of 2^32 must not overflow
        EXPECT_GE(w, INT_MIN);
        int n = GetRandom(-10, -20);
        EXPECT_TRUE(n >= -20 && n <= -10);
    }

    // Each thread has its own generator, starting at 1.
    SeedRandom(12345);
    int nOther = -1;
    std::thread th([&] { nOther = NextRandomValue(); });
    th.join();
    EXPECT_EQ(nOther, 41);
}

}  // namespace
