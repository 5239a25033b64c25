// The temporaries that saves cut short leave in the player's folders are
// removed at start; nothing else there is touched.
#include <gtest/gtest.h>

#include "foundation/Record.h"
#include "project/SaveLeftovers.h"
#include "support/TempDir.h"

namespace {

TEST(SaveLeftovers, OnlyTheTemporariesOfTheGamesOwnFilesAreLeftovers) {
    struct CASE {
        const char* pszName;
        bool bLeftover;
    } const cases[] = {
        {"Story01.dat.tmp", true},
        {"Challenge.dat.tmp", true},
        {"Option.DAT.TMP", true},
        {"c01.rkg.tmp", true},
        {"m01__2026_12_11.rpl4_854.tmp", true},
        {"old.rpl4_700.tmp", true},
        {"Story01.dat", false},          // the file itself
        {"m01.rpl4_854", false},
        {"notes.txt.tmp", false},        // not a file the game writes
        {"picture.tmp", false},
        {".dat.tmp", false},
        {"Story01.dat.tmp.bak", false},
        {".tmp", false},
        {"", false},
    };
    for (const CASE& c : cases) EXPECT_EQ(IsSaveLeftoverName(c.pszName), c.bLeftover) << c.pszName;
    EXPECT_FALSE(IsSaveLeftoverName(nullptr));
}

TEST(SaveLeftovers, TheStartRemovesThemFromThePlayersFoldersOnly) {
    cTempDir dir;
    const char* const apszGone[] = {"user_data/Option.dat.tmp", "user_data/story/Story03.dat.tmp",
                                    "user_data/challenge/Challenge.dat.tmp", "user_data/free/m01.rkg.tmp",
                                    "user_data/rpl4/NAME.rpl4_854.tmp"};
    const char* const apszKept[] = {"user_data/story/Story03.dat", "user_data/rpl4/NAME.rpl4_854",
                                    "user_data/rpl4/notes.txt.tmp", "data/stg4/c01-1.stg4_000.tmp",
                                    "data/System.dat.tmp", "user_data/story/deeper/Story04.dat.tmp"};
    for (const char* p : apszGone) ASSERT_TRUE(dir.WriteFile(p, "x"));
    for (const char* p : apszKept) ASSERT_TRUE(dir.WriteFile(p, "x"));
    ASSERT_TRUE(dir.MakeDir("user_data/rpl4/folder.rpl4_854.tmp"));   // a folder, not a file
    EXPECT_EQ(RemoveSaveLeftovers(), 5);
    for (const char* p : apszGone) EXPECT_FALSE(dir.Exists(p)) << p;
    for (const char* p : apszKept) EXPECT_TRUE(dir.Exists(p)) << p;
    EXPECT_TRUE(dir.Exists("user_data/rpl4/folder.rpl4_854.tmp"));
    // Missing folders are no error.
    cTempDir empty;
    EXPECT_EQ(RemoveSaveLeftovers(), 0);
}

// A save writes its temporary under the name the start looks for, and a
// finished save leaves none behind.
TEST(SaveLeftovers, ASaveWritesItsTemporaryUnderTheNameTheStartRemoves) {
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("user_data/story"));
    EXPECT_EQ(RecordTempPath("user_data\\story\\Story01.dat"), "user_data\\story\\Story01.dat.tmp");
    EXPECT_TRUE(IsSaveLeftoverName("Story01.dat.tmp"));
    cDataFile* fp = CreateDataFile("user_data\\story\\Story01.dat");
    ASSERT_NE(fp, nullptr);
    EXPECT_TRUE(dir.Exists("user_data/story/Story01.dat.tmp"));
    EXPECT_EQ(CloseDataFile(fp), 1);
    EXPECT_FALSE(dir.Exists("user_data/story/Story01.dat.tmp"));
    EXPECT_TRUE(dir.Exists("user_data/story/Story01.dat"));
}

}  // namespace
