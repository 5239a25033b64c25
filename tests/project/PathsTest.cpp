// Default data: the copy of default\ into a missing data\ folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProjectTestUtil.h"
#include "platform/FileSystem.h"
#include "project/Paths.h"
#include "support/FakeMessageBox.h"

namespace {

bool bCopyCalled = false;
bool FailingCopy(const char* pszFrom, const char* pszTo) {
    bCopyCalled = true;
    // Half a copy, then a failure.
    FsMakeDirectory(pszTo);
    std::string strFile = std::string(pszTo) + "\\System.dat";
    FILE* fp = FsOpen(strFile.c_str(), "wb");
    if (fp) fclose(fp);
    (void)pszFrom;
    return false;
}

class PathsTest : public cProjectTest {
protected:
    ~PathsTest() override { SetDefaultDataCopyFunction(nullptr); }
};

}  // namespace

TEST_F(PathsTest, CreateDefaultData) {
    struct CASE {
        const char* pszName;
        bool bData, bDefault, bDataIsFile;
        int nAnswer;      // 0: no box expected
        bool bFailCopy;
        int nResult;
        bool bDataAfter;
    };
    const CASE cases[] = {
        {"data present", true, true, false, 0, false, 1, true},
        {"neither", false, false, false, 0, false, 0, false},
        {"default, no", false, true, false, IDNO, false, 0, false},
        {"default, yes", false, true, false, IDYES, false, 1, true},
        {"copy fails", false, true, false, IDYES, true, 0, false},
        {"a file named data", false, true, true, IDYES, false, 0, false},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszName);
        cTempDir dir;
        if (c.bData) dir.MakeDir("data");
        if (c.bDataIsFile) dir.WriteFile("data", std::string("keep"));
        if (c.bDefault) {
            dir.WriteFile("default/System.dat", std::string("sys"));
            dir.WriteFile("default/database/Sound.dat", std::string("snd"));
        }
        cFakeMessageBox box;
        if (c.nAnswer) box.Script({c.nAnswer});
        bCopyCalled = false;
        SetDefaultDataCopyFunction(c.bFailCopy ? &FailingCopy : nullptr);

        EXPECT_EQ(CreateDefaultData(nullptr), c.nResult);
        ASSERT_EQ(box.Count(), c.nAnswer ? 1u : 0u);
        if (c.nAnswer) {
            EXPECT_EQ(box.Boxes()[0].strText, "データが存在しません！デフォルトデータを作成しますか？\n");
            EXPECT_EQ(box.Boxes()[0].strCaption, "デフォルトデータ作成の確認");
            EXPECT_EQ(box.Boxes()[0].nType & 0xF, static_cast<unsigned>(MB_YESNO));
        }
        EXPECT_EQ(FsIsDirectory("data"), c.bDataAfter);
        if (c.bDataAfter && !c.bData) {
            EXPECT_TRUE(FsIsFile("data\\database\\Sound.dat"));
            EXPECT_TRUE(FsIsFile("default\\System.dat"));
        }
        if (c.bDataIsFile) { EXPECT_TRUE(FsIsFile("data")); }
        EXPECT_EQ(bCopyCalled, c.bFailCopy);
        // Only the temporary folder is removed after a failure.
        EXPECT_EQ(std::filesystem::directory_iterator(dir.Path()) == std::filesystem::directory_iterator(),
                  !c.bData && !c.bDefault && !c.bDataIsFile);
        for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
            std::string s = e.path().filename().string();
            EXPECT_TRUE(s == "data" || s == "default") << s;
        }
    }
}

TEST(PathTable, Entries) {
    EXPECT_STREQ(aPath[PATH_SOUND], "data\\database\\Sound.dat");
    EXPECT_STREQ(aPath[PATH_WINDOW], "user_data\\Window.dat");
    EXPECT_STREQ(GetRankingFolder(2), "user_data\\free\\");
    EXPECT_EQ(GetRankingFolder(3), nullptr);
    EXPECT_STREQ(aszExt[EXT_RKG], "rkg");
    EXPECT_STREQ(aszColorName[9], "4色");
}
