// Whole-file views: small files read into a buffer, large ones mapped; the
// bytes are the file's either way, and the size limit and missing files are
// refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/FileView.h"
#include "support/TempDir.h"

namespace {

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; i++) v[i] = static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
    return v;
}

TEST(FileView, HoldsTheFilesBytesWhateverItsSize) {
    cTempDir dir;
    struct CASE {
        size_t nSize;
        bool bMapped;
    };
    const CASE cases[] = {
        {1, false}, {4096, false}, {cFileView::MAP_FROM - 1, false}, {cFileView::MAP_FROM, true},
        {cFileView::MAP_FROM + 12345, true},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.nSize);
        const std::vector<uint8_t> bytes = Pattern(c.nSize);
        ASSERT_TRUE(dir.WriteFile("f.bin", bytes));
        cFileView view;
        ASSERT_TRUE(view.Open("f.bin"));
        EXPECT_EQ(view.IsMapped(), c.bMapped);
        ASSERT_EQ(view.Size(), c.nSize);
        EXPECT_EQ(std::vector<uint8_t>(view.Data(), view.Data() + view.Size()), bytes);
        // The view keeps the bytes it opened with when the file is replaced.
        ASSERT_TRUE(dir.WriteFile("g.bin", std::string("new")));
        ASSERT_EQ(std::rename(dir.File("g.bin").c_str(), dir.File("f.bin").c_str()), 0);
        EXPECT_EQ(view.Data()[c.nSize - 1], bytes[c.nSize - 1]);
        view.Close();
        EXPECT_EQ(view.Size(), 0u);
        EXPECT_EQ(view.Data(), nullptr);
    }
}

TEST(FileView, RefusesMissingFilesFoldersAndFilesOverTheLimit) {
    cTempDir dir;
    cFileView view;
    EXPECT_FALSE(view.Open("missing.bin"));
    EXPECT_FALSE(view.Open(""));
    ASSERT_TRUE(dir.MakeDir("folder"));
    EXPECT_FALSE(view.Open("folder"));
    ASSERT_TRUE(dir.WriteFile("ten.bin", Pattern(10)));
    EXPECT_FALSE(view.Open("ten.bin", 9));
    EXPECT_EQ(view.Data(), nullptr);
    ASSERT_TRUE(view.Open("ten.bin", 10));
    EXPECT_EQ(view.Size(), 10u);
    // An empty file is an empty view, not a failure.
    ASSERT_TRUE(dir.WriteFile("empty.bin", std::vector<uint8_t>()));
    ASSERT_TRUE(view.Open("empty.bin"));
    EXPECT_EQ(view.Size(), 0u);
}

}  // namespace
