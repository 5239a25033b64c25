#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace {

namespace fs = std::filesystem;

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class FileSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/mg_fs_XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_strRoot = szTemplate;
    }
    void TearDown() override { fs::remove_all(m_strRoot); }

    // Creates a file under the root, the name given in host bytes.
    void Touch(const std::string& rel, const std::string& content = "x")
    {
        fs::path p = fs::path(m_strRoot) / rel;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    // A data path: the root, then the data's own backslashed part.
    std::string Data(const std::string& rel) const { return m_strRoot + "\\" + rel; }
    std::string Host(const std::string& rel) const { return m_strRoot + "/" + rel; }

    std::string m_strRoot;
};

TEST_F(FileSystemTest, DataPathsMapToTheFilesOnDisk)
{
    Touch("Data/BMP/Title.bmp");
    Touch(U8(u8"表/ソフト.txt"));             // both 0x5C trail bytes in Shift-JIS
    Touch("raw/\x83\x5C.dat");                 // a name stored as Shift-JIS bytes
    Touch("raw/\x83\x41.dat");                 // "ア": its trail byte is 'A'
    const struct {
        std::string strData, strHost;
    } aCases[] = {
        {"Data\\BMP\\Title.bmp", "Data/BMP/Title.bmp"},
        {"data\\bmp\\TITLE.BMP", "Data/BMP/Title.bmp"},          // case-insensitive per component
        {"DATA/bmp\\title.Bmp", "Data/BMP/Title.bmp"},           // either separator
        {"Data\\\\BMP\\Title.bmp", "Data/BMP/Title.bmp"},        // doubled separator
        {"表\\ソフト.txt", U8(u8"表/ソフト.txt")},                // Shift-JIS name, found as UTF-8
        {"raw\\ソ.dat", "raw/\x83\x5C.dat"},                     // Shift-JIS name, found as its bytes
        {"RAW\\ア.DAT", "raw/\x83\x41.dat"},
        {"raw\\ャ.dat", "raw/" + U8(u8"ャ") + ".dat"},            // 0x83 0x61: its trail byte is not folded
        {"new\\ファイル.txt", "new/" + U8(u8"ファイル.txt")},      // missing: kept, as UTF-8
        {"Data\\NEW\\..\\BMP", "Data/NEW/../BMP"},
        {"Data\\", "Data/"},
        {"表", U8(u8"表")},                                        // ends in a 0x5C trail byte
        {"new\\ソ", "new/" + U8(u8"ソ")},
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.strData);
        EXPECT_EQ(HostPath(Data(c.strData).c_str()), Host(c.strHost));
    }
    EXPECT_EQ(HostPath(""), "");
}

TEST_F(FileSystemTest, RelativePathsResolveAgainstTheCurrentDirectory)
{
    Touch("Save/Slot1.dat");
    fs::path old = fs::current_path();
    fs::current_path(m_strRoot);
    EXPECT_EQ(HostPath("save\\slot1.DAT"), "Save/Slot1.dat");
    EXPECT_TRUE(FsIsFile("SAVE\\Slot1.dat"));
    EXPECT_EQ(FsCurrentDirectory(), fs::path(m_strRoot).string());
    fs::current_path(old);
}

TEST_F(FileSystemTest, OperationsGoThroughTheMapping)
{
    Touch("Dir/A.txt", "hello");
    EXPECT_TRUE(FsExists(Data("dir\\a.txt").c_str()));
    EXPECT_TRUE(FsIsFile(Data("dir\\a.txt").c_str()));
    EXPECT_FALSE(FsIsDirectory(Data("dir\\a.txt").c_str()));
    EXPECT_TRUE(FsIsDirectory(Data("DIR").c_str()));
    EXPECT_EQ(FsFileSize(Data("dir\\A.TXT").c_str()), 5);
    EXPECT_EQ(FsFileSize(Data("dir\\none.txt").c_str()), -1);

    // A new file with a Shift-JIS name is created under its UTF-8 name.
    FILE* fp = FsOpen(Data("dir\\セーブ.dat").c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    std::fputs("12", fp);
    std::fclose(fp);
    EXPECT_TRUE(fs::exists(Host("Dir/" + U8(u8"セーブ.dat"))));

    // Rename replaces an existing target.
    EXPECT_TRUE(FsRename(Data("dir\\セーブ.dat").c_str(), Data("dir\\a.txt").c_str()));
    EXPECT_EQ(FsFileSize(Data("Dir\\A.txt").c_str()), 2);

    EXPECT_TRUE(FsMakeDirectory(Data("dir\\sub").c_str()));
    EXPECT_TRUE(FsMakeDirectory(Data("DIR\\SUB").c_str()));     // exists already: still true
    EXPECT_FALSE(FsMakeDirectory(Data("dir\\a.txt").c_str()));  // a file is in the way
    Touch("Dir/sub/deep/b.txt");

    EXPECT_TRUE(FsCopyTree(Data("dir").c_str(), Data("copy").c_str()));
    EXPECT_TRUE(fs::exists(Host("copy/sub/deep/b.txt")));
    EXPECT_TRUE(FsRemoveTree(Data("copy").c_str()));
    EXPECT_FALSE(fs::exists(Host("copy")));

    EXPECT_FALSE(FsRemove(Data("dir\\sub").c_str()));           // not empty
    EXPECT_TRUE(FsRemove(Data("dir\\a.txt").c_str()));
    EXPECT_FALSE(FsExists(Data("dir\\a.txt").c_str()));
}

TEST_F(FileSystemTest, WholeFileReadsStopAtTheirLimit)
{
    Touch("Data/Five.bin", "12345");
    Touch("Data/Empty.bin", "");
    std::vector<uint8_t> v = {9};
    EXPECT_TRUE(FsReadFile(Data("data\\five.bin").c_str(), v, 5));
    EXPECT_EQ(v, (std::vector<uint8_t>{'1', '2', '3', '4', '5'}));
    EXPECT_TRUE(FsReadFile(Data("data\\empty.bin").c_str(), v));
    EXPECT_TRUE(v.empty());
    // Over the limit, or missing: false, and what was read before stays.
    v = {9};
    EXPECT_FALSE(FsReadFile(Data("data\\five.bin").c_str(), v, 4));
    EXPECT_FALSE(FsReadFile(Data("data\\none.bin").c_str(), v));
    EXPECT_EQ(v, (std::vector<uint8_t>{9}));
}

TEST_F(FileSystemTest, ListingGivesDataNamesSortedByByte)
{
    Touch("list/b.txt");
    Touch("list/A.txt");
    Touch("list/" + U8(u8"ステージ1.stg"));
    Touch("list/\x83\x5C.raw");
    fs::create_directory(Host("list/sub"));
    std::vector<std::string> v = FsListDirectory(Data("LIST").c_str());
    std::vector<std::string> vExpected = {"A.txt", "b.txt", "sub", "ステージ1.stg", "\x83\x5C.raw"};
    EXPECT_EQ(v, vExpected);
    EXPECT_TRUE(FsListDirectory(Data("missing").c_str()).empty());
}

}  // namespace
