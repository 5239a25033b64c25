#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "project/SystemIni.h"

namespace {

struct INICASE {
    const char* pszName;
    std::string strFile;
    int nResult;
    int nDirect3D, nWindowMode, nBpp, nShowFps;
    const char* pszFreeStage;
};

class SystemIniTable : public ::testing::TestWithParam<INICASE> {};

TEST_P(SystemIniTable, ReadsSettingsOverDefaults) {
    const INICASE& c = GetParam();
    auto items = GetStandardIniItems();
    INIDATA ini;
    SetIniDefault(ini, items);
    int r = ParseSystemIni(reinterpret_cast<const uint8_t*>(c.strFile.data()), c.strFile.size(), ini, items);
    EXPECT_EQ(r, c.nResult);
    EXPECT_EQ(ini.nDirect3D, c.nDirect3D);
    EXPECT_EQ(ini.nWindowMode, c.nWindowMode);
    EXPECT_EQ(ini.nBpp, c.nBpp);
    EXPECT_EQ(ini.nShowFps, c.nShowFps);
    EXPECT_STREQ(ini.szFreeStage, c.pszFreeStage);
    EXPECT_EQ(ini.nDD_FontCache, 1);   // never named: keeps its default
}

const std::string strLongName = "a" + std::string(258, 'b');   // 259 bytes: accepted
const std::string strLongPath = strLongName + "\n";
const std::string strTooLong = std::string(260, 'c');                  // 260 bytes: ignored

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemIniTable,
    ::testing::Values(
        INICASE{"TwoKeys", "Direct3D=0\nWindowMode=1\nExit\n", 1, 0, 1, 0, 1, ""},
        INICASE{"BlanksAroundEqual", "Bpp = 16\nExit\n", 1, 2, 0, 0, 1, ""},
        INICASE{"CommentAfterValue", "ShowFps=2// small text Bpp=8\nExit\n", 1, 2, 0, 0, 2, ""},
        INICASE{"CommentLine", "/ WindowMode=1\nExit\n", 1, 2, 0, 0, 1, ""},
        INICASE{"LaterLineWins", "Bpp=16\nBpp=32\nExit\n", 1, 2, 0, 32, 1, ""},
        INICASE{"LowerCaseExitDoesNotEnd", "Bpp=16\nexit\n", 0, 2, 0, 16, 1, ""},
        INICASE{"NoExitFails", "Bpp=16\n", 0, 2, 0, 16, 1, ""},
        INICASE{"ExitWithoutNewline", "Bpp=16\nExit", 1, 2, 0, 16, 1, ""},
        INICASE{"CrLf", "Bpp=16\r\nFreeStage=data\\stg4\\a.stg4\r\nExit\r\n", 1, 2, 0, 16, 1, "data\\stg4\\a.stg4\r"},
        INICASE{"ZeroByteEnds", std::string("Bpp=16\n\0Bpp=8\n", 14), 1, 2, 0, 16, 1, ""},
        INICASE{"NonNumeric", "Bpp=abc\nExit\n", 1, 2, 0, 0, 1, ""},
        INICASE{"Negative", "WindowMode=-3\nExit\n", 1, 2, -3, 0, 1, ""},
        INICASE{"LongDigitsSaturate", "Bpp=99999999999999999999\nWindowMode=-99999999999999\nExit\n", 1, 2, INT_MIN, INT_MAX,
                1, ""},
        INICASE{"OneCharFreeStageIgnored", "FreeStage=a\nExit\n", 1, 2, 0, 0, 1, ""},
        INICASE{"LongFreeStage", "FreeStage=" + strLongPath + "Exit\n", 1, 2, 0, 0, 1, strLongName.c_str()},
        INICASE{"TooLongFreeStageIgnored", "FreeStage=" + strTooLong + "\nExit\n", 1, 2, 0, 0, 1, ""},
        INICASE{"UnknownKeysAndLinesWithoutEqual", "Foo=1\njunk\nExit\n", 1, 2, 0, 0, 1, ""},
        INICASE{"HugeKeyIsCut", std::string(5000, 'k') + "=1\nExit\n", 1, 2, 0, 0, 1, ""},
        INICASE{"EmptyFile", "", 0, 2, 0, 0, 1, ""}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST(SystemIni, KeysFollowTheListPositionNotTheName) {
    auto items = GetStandardIniItems();
    items[2].strKey = "Depth";   // a project that renamed "Bpp"
    items[8].strValue = "data\\stg4\\start.stg4";
    INIDATA ini;
    SetIniDefault(ini, items);
    EXPECT_STREQ(ini.szFreeStage, "data\\stg4\\start.stg4");
    std::string s = "Depth=16\nBpp=8\nExit\n";
    EXPECT_EQ(ParseSystemIni(reinterpret_cast<const uint8_t*>(s.data()), s.size(), ini, items), 1);
    EXPECT_EQ(ini.nBpp, 16);
}

TEST(SystemIni, HugeValueIsCutAtItsBuffer) {
    auto items = GetStandardIniItems();
    INIDATA ini;
    SetIniDefault(ini, items);
    std::string s = "Bpp=" + std::string(4000, '7') + "\nExit\n";
    EXPECT_EQ(ParseSystemIni(reinterpret_cast<const uint8_t*>(s.data()), s.size(), ini, items), 1);
    EXPECT_EQ(ini.nBpp, INT_MAX);
}

TEST(SystemIni, ShortKeyListLeavesTheRestZero) {
    std::vector<INIITEM> items = {{"Direct3D", 1, ""}};
    INIDATA ini;
    ini.nBpp = 99;
    SetIniDefault(ini, items);
    EXPECT_EQ(ini.nDirect3D, 1);
    EXPECT_EQ(ini.nBpp, 0);
}

}  // namespace
