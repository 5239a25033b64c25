// File-name functions on data paths (Shift-JIS, backslashes, relative to the
// current directory).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/Path.h"
#include "foundation/Text.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace {

TEST(PathTest, StripPathKeepsTheNameAndRespectsTrailBytes) {
    struct CASE {
        const char* pszIn;
        const char* pszWant;
    };
    const CASE cases[] = {
        {"a\\b\\c.txt", "c.txt"},
        {"\x83\x5C" "abc", "\x83\x5C" "abc"},                  // one katakana with trail 0x5C
        {"dir\\\x83\x5C\x83\x5C.bmp", "\x83\x5C\x83\x5C.bmp"},
        {"\x83\x5C\\x.bmp", "x.bmp"},
        {"dir\\", "dir\\"},                                    // a final backslash is no separator
        {"a", "a"},
        {"", ""},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszIn);
        char buf[MAX_PATH_SIZE];
        std::strcpy(buf, c.pszIn);
        StripPath(buf);
        EXPECT_STREQ(buf, c.pszWant);
        std::string s = c.pszIn;
        StripPath(s);
        EXPECT_EQ(s, c.pszWant);
    }
}

TEST(PathTest, ExtensionsAreSearchedAfterTheLastSeparator) {
    struct CASE {
        const char* pszIn;
        const char* pszExt;       // for ChangeExtension
        int nChange;
        const char* pszChanged;
        int nRemove;
        const char* pszRemoved;
        const char* pszGetExt;    // null: none
    };
    const CASE cases[] = {
        {"a.b.c", "x", 1, "a.b.x", 1, "a.b", "c"},
        {"a.b.c", nullptr, 1, "a.b", 1, "a.b", "c"},
        {"noext", "x", 0, "noext", 0, "noext", nullptr},
        {"dir.d\\file", "x", 0, "dir.d\\file", 0, "dir.d\\file", nullptr},
        {"dir.d\\file.bmp", "png", 1, "dir.d\\file.png", 1, "dir.d\\file", "bmp"},
        {"c01-1.", "stg4", 1, "c01-1.stg4", 1, "c01-1", ""},
        {"\x83\x5C.txt", "x", 1, "\x83\x5C.x", 1, "\x83\x5C", "txt"},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszIn);
        char dst[MAX_PATH_SIZE];
        EXPECT_EQ(ChangeExtension(dst, c.pszIn, c.pszExt), c.nChange);
        EXPECT_STREQ(dst, c.pszChanged);

        char buf[MAX_PATH_SIZE];
        std::strcpy(buf, c.pszIn);
        EXPECT_EQ(RemoveExtension(buf), c.nRemove);
        EXPECT_STREQ(buf, c.pszRemoved);
        std::string s = c.pszIn;
        EXPECT_EQ(RemoveExtension(s), c.nRemove);
        EXPECT_EQ(s, c.pszRemoved);

        char ext[MAX_PATH_SIZE] = "unchanged";
        EXPECT_EQ(GetExtension(ext, c.pszIn), c.pszGetExt ? 1 : 0);
        EXPECT_STREQ(ext, c.pszGetExt ? c.pszGetExt : "unchanged");
    }
}

TEST(PathTest, NumberedNamesAndBufferLimits) {
    char dst[MAX_PATH_SIZE];
    EXPECT_EQ(MakeNumberedName(dst, "replay.rpl4_854", 2), 1);
    EXPECT_STREQ(dst, "replay (2).rpl4_854");
    EXPECT_EQ(MakeNumberedName(dst, "user_data\\rpl4\\a.b", 999), 1);
    EXPECT_STREQ(dst, "user_data\\rpl4\\a (999).b");
    std::strcpy(dst, "keep");
    EXPECT_EQ(MakeNumberedName(dst, "nodot", 2), 0);
    EXPECT_STREQ(dst, "keep");

    // Results that would not fit a path buffer fail and change nothing.
    std::string strLong(250, 'n');
    std::string strSrc = strLong + ".e";
    EXPECT_EQ(MakeNumberedName(dst, strSrc.c_str(), 12345), 0);
    EXPECT_STREQ(dst, "keep");
    EXPECT_EQ(ChangeExtension(dst, strSrc.c_str(), "longextension"), 0);
    EXPECT_EQ(std::string(dst), strSrc);
}

TEST(PathTest, FullAndRelativePathsAgainstTheCurrentDirectory) {
    cTempDir dir;
    ASSERT_TRUE(dir.WriteFile("data/a.txt", "x"));

    char full[MAX_PATH_SIZE] = "data\\a.txt";
    ASSERT_EQ(MakeFullPath(full), 1);
    EXPECT_EQ(full[0], '\\');
    EXPECT_EQ(std::strchr(full, '/'), nullptr);
    const std::string strFull = full;
    EXPECT_EQ(strFull.substr(strFull.size() - 11), "\\data\\a.txt");
    EXPECT_TRUE(FsExists(full));
    ASSERT_EQ(MakeFullPath(full), 1);  // already full: unchanged
    EXPECT_EQ(strFull, full);

    char dotted[MAX_PATH_SIZE] = ".\\data\\..\\data\\.\\a.txt";
    ASSERT_EQ(MakeFullPath(dotted), 1);
    EXPECT_EQ(strFull, dotted);

    ASSERT_EQ(MakeRelativePath(full), 1);
    EXPECT_STREQ(full, ".\\data\\a.txt");
    EXPECT_TRUE(FsExists(full));
    ASSERT_EQ(MakeRelativePath(full), 1);  // already relative: unchanged
    EXPECT_STREQ(full, ".\\data\\a.txt");

    // A path above the current directory, and the same with other letter cases.
    std::string strUp = strFull.substr(0, strFull.size() - 11);
    strUp = strUp.substr(0, strUp.rfind('\\')) + "\\other\\b.txt";
    std::string s = strUp;
    ASSERT_EQ(MakeRelativePath(s), 1);
    EXPECT_EQ(s, "..\\other\\b.txt");

    std::string strCwd = strFull.substr(0, strFull.size() - 11);
    for (char& c : strCwd)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    s = strCwd + "\\Data\\A.TXT";
    ASSERT_EQ(MakeRelativePath(s), 1);
    EXPECT_EQ(s, ".\\Data\\A.TXT");

    // Another drive has no relative form.
    char drive[MAX_PATH_SIZE] = "C:\\game\\a.txt";
    EXPECT_EQ(MakeRelativePath(drive), 0);
    EXPECT_STREQ(drive, "C:\\game\\a.txt");
}

TEST(PathTest, LatestNumberedFile) {
    cTempDir dir;
    ASSERT_TRUE(dir.WriteFile("stg/c01-1.stg4_000", "x"));
    ASSERT_TRUE(dir.WriteFile("stg/c01-1.stg4_005", "x"));
    ASSERT_TRUE(dir.WriteFile("stg/c01-1.bak_999", "x"));
    ASSERT_TRUE(dir.WriteFile("plain_010", "x"));

    char dst[MAX_PATH_SIZE] = "";
    EXPECT_EQ(FindLatestNumberedFile(dst, "stg\\c01-1.x", "stg4"), 1);
    EXPECT_STREQ(dst, "stg\\c01-1.stg4_005");

    std::string s;
    EXPECT_EQ(FindLatestNumberedFile(s, "stg\\c01-1.", "stg4"), 1);
    EXPECT_EQ(s, "stg\\c01-1.stg4_005");
    EXPECT_EQ(FindLatestNumberedFile(s, "plain", "stg4"), 1);  // no dot: the name as it is
    EXPECT_EQ(s, "plain_010");

    std::strcpy(dst, "keep");
    EXPECT_EQ(FindLatestNumberedFile(dst, "stg\\c02.", "stg4"), 0);
    EXPECT_STREQ(dst, "keep");
}

}  // namespace
