#include <gtest/gtest.h>

#include <string>

#include "platform/TextCodec.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

struct ROUNDTRIP {
    const char* pszName;
    std::string strSjis;
    std::string strUtf8;
};

TEST(TextCodecTest, Cp932RoundTrips)
{
    const ROUNDTRIP aCases[] = {
        {"ascii", "Stage 1 ~ \\", "Stage 1 ~ \\"},
        {"0x5C trail byte", "\x83\x5C", U8(u8"ソ")},
        {"wave dash", "\x81\x60", U8(u8"\uFF5E")},
        {"full-width minus", "\x81\x7C", U8(u8"\uFF0D")},
        {"NEC special row", "\x87\x40", U8(u8"\u2460")},
        {"IBM extension row", "\xFA\x40", U8(u8"\u2170")},
        {"half-width katakana", "\xB1", U8(u8"\uFF71")},
        {"literal from the sources", "エラー", U8(u8"エラー")},
        {"kanji and kana", "表示できません！", U8(u8"表示できません！")},
    };
    for (const ROUNDTRIP& c : aCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(SjisToUtf8(c.strSjis), c.strUtf8);
        std::string back;
        ASSERT_TRUE(Utf8ToSjis(c.strUtf8, back));
        EXPECT_EQ(back, c.strSjis);
    }
}

TEST(TextCodecTest, UndecodableBytesAreSubstitutedAndDecodingGoesOn)
{
    const std::string strRepl = U8(u8"\uFFFD");
    const struct {
        std::string strIn, strOut;
    } aCases[] = {
        {"a\x80" "b", "a" + strRepl + "b"},
        {"a\xA0" "b", "a" + strRepl + "b"},
        {"a\xFD" "b", "a" + strRepl + "b"},
        {"a\x83", "a" + strRepl},                                  // lead byte at the end
        {"\x83 x", strRepl + " x"},                                // lead byte without a trail
        {std::string("a\0b", 3), std::string("a\0b", 3)},          // zero bytes pass
        {"\x80\x83\x5C", strRepl + U8(u8"ソ")},
    };
    for (const auto& c : aCases) EXPECT_EQ(SjisToUtf8(c.strIn), c.strOut);
}

TEST(TextCodecTest, Utf8WithoutCp932FormIsRefused)
{
    std::string out = "untouched";
    EXPECT_FALSE(Utf8ToSjis(U8(u8"smile \U0001F600"), out));
    EXPECT_FALSE(Utf8ToSjis("\xC3", out));              // cut sequence
    EXPECT_FALSE(Utf8ToSjis("\xC0\xAF", out));          // overlong
    EXPECT_FALSE(Utf8ToSjis("\xED\xA0\x80", out));      // surrogate
    EXPECT_EQ(out, "untouched");
}

TEST(TextCodecTest, Utf8Validity)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8(U8(u8"ステージ")));
    EXPECT_FALSE(IsValidUtf8("ステージ"));   // Shift-JIS bytes
    EXPECT_FALSE(IsValidUtf8("\x83\x5C"));
}

}  // namespace
