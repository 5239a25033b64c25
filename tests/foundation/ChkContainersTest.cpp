// Checked containers: a bad index is logged, asks for a close and yields a
// usable element that is never real element 0.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/ChkContainers.h"
#include "foundation/Log.h"
#include "platform/CloseRequest.h"
#include "support/ByteBuilder.h"
#include "support/TempDir.h"

namespace {

struct SIXTEEN {
    int32_t a, b, c, d;
};

std::vector<std::string> ReportLines(const cTempDir& dir) {
    std::vector<uint8_t> v = ReadHostFile(dir.File("Report_Game.txt"));
    std::vector<std::string> lines;
    std::string cur;
    for (uint8_t c : v) {
        if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur.push_back(static_cast<char>(c));
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

class ChkContainersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(InitReport("Report_Game.txt"), 1);
        ResetCloseRequests();
    }
    void TearDown() override { ResetCloseRequests(); }
    cTempDir m_dir;
};

TEST_F(ChkContainersTest, BadIndexesAreLoggedAndAnswerAScratchElement) {
    cChkVector<SIXTEEN> v3(3, SIXTEEN{1, 2, 3, 4});
    cChkVector<int32_t> empty;
    cChkList<int32_t> list{10, 20};
    cChkList<int32_t> emptyList;

    struct CASE {
        const char* pszName;
        std::function<bool()> access;  // true when the answer is the expected one
        const char* pszLine;           // null: no error
    };
    std::vector<CASE> cases = {
        {"vector in range", [&] { return &v3.At(2) == &v3[2]; }, nullptr},
        {"vector one past the end", [&] { return v3.At(3).a == 1; }, "err V[3] ( 3 , 16 )"},
        {"vector negative", [&] { return v3.At(-1).d == 4; }, "err V[-1] ( 3 , 16 )"},
        {"empty vector gives a default", [&] { return empty.At(0) == 0; }, "err V[0] ( 0 , 4 )"},
        {"list in range", [&] { return list.At(1) == 20; }, nullptr},
        {"list past the end", [&] { return list.At(2) == 0; }, "err L[2] ( 2 , 4 )"},
        {"empty list negative", [&] { return emptyList.At(-1) == 0; }, "err L[-1] ( 0 , 4 )"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        size_t nBefore = ReportLines(m_dir).size();
        uint32_t nCloses = GetCloseRequestCount();
        EXPECT_TRUE(c.access());
        std::vector<std::string> lines = ReportLines(m_dir);
        if (c.pszLine) {
            ASSERT_EQ(lines.size(), nBefore + 1);
            EXPECT_EQ(lines.back(), c.pszLine);
            EXPECT_EQ(GetCloseRequestCount(), nCloses + 1);
            eCloseKind eKind = CLOSE_USER;
            EXPECT_TRUE(TakeCloseRequest(&eKind));
            EXPECT_EQ(eKind, CLOSE_FATAL);
        } else {
            EXPECT_EQ(lines.size(), nBefore);
            EXPECT_EQ(GetCloseRequestCount(), nCloses);
        }
    }
}

TEST_F(ChkContainersTest, WritesThroughABadIndexNeverReachElementZero) {
    cChkVector<int32_t> v{5, 6};
    v.At(9) = 77;
    EXPECT_EQ(v[0], 5);
    EXPECT_EQ(v.At(-3), 5);  // a fresh copy of element 0 every time

    // Two bad accesses in one expression: the first reference stays usable.
    int32_t& r1 = v.At(10);
    int32_t& r2 = v.At(11);
    r1 = r2 + 1;
    EXPECT_EQ(r1, 6);
    EXPECT_EQ(v[0], 5);

    cChkVector<int32_t> empty;
    empty.At(0) = 12;  // must not crash
    EXPECT_TRUE(empty.empty());

    // The list's default element is kept, with the caller's change.
    cChkList<int32_t> list;
    list.At(4) = 31;
    EXPECT_EQ(list.At(5), 31);
    EXPECT_TRUE(list.empty());
}

TEST_F(ChkContainersTest, ListInsertEraseAndFill) {
    cChkList<int> list;
    list.InsertAt(0, 1);                                       // [1]
    list.InsertAt(5, 3);                                       // [1 3]
    list.InsertAt(1, 2);                                       // [1 2 3]
    list.InsertAt(-1, 4);                                      // [1 2 3 4]
    EXPECT_EQ(std::vector<int>(list.begin(), list.end()), (std::vector<int>{1, 2, 3, 4}));

    EXPECT_EQ(list.EraseAt(7), list.end());
    EXPECT_EQ(list.EraseAt(-1), list.end());
    EXPECT_EQ(list.size(), 4u);
    auto it = list.EraseAt(1);
    EXPECT_EQ(*it, 3);
    const int* p = &list.At(1);
    it = list.Erase(p);
    EXPECT_EQ(*it, 4);
    int outside = 0;
    EXPECT_EQ(list.Erase(&outside), list.end());
    EXPECT_EQ(std::vector<int>(list.begin(), list.end()), (std::vector<int>{1, 4}));

    cChkVector<uint8_t> bytes(25, 9);
    bytes.Fill(0);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), std::vector<uint8_t>(25, 0));
    cChkVector<uint8_t> none;
    none.Fill(1);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(GetCloseRequestCount(), 0u);
}

}  // namespace
