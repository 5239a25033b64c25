// Value lists of the project files: bytes, integers and strings, each a
// count then the values.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ProjectTestUtil.h"
#include "project/ValueListIO.h"

namespace {

class ValueListIOTest : public cProjectTest {};

// Strings in a list are written at their full length, as every string of a
// record is: a text of 6000 bytes keeps all of them, the double-byte
// character at the end included.
TEST_F(ValueListIOTest, StringsAreWrittenAtTheirFullLength) {
    std::string strLong(5998, 'a');
    strLong += "\x82\xA0";   // a double-byte character past the old 5119-byte cut
    cChkVector<std::string> v;
    v.push_back(strLong);
    v.push_back("");
    v.push_back("x");
    cDataFile* fp = CreateDataFile("list.dat");
    ASSERT_NE(fp, nullptr);
    WriteStringList(fp, v);
    ASSERT_EQ(CloseDataFile(fp), 1);

    // version, count 3, then length words of 6001, 1 and 2.
    cByteBuilder b;
    b.U32(DATA_VERSION).Count(3).Str(strLong).Str("").Str("x");
    EXPECT_EQ(ReadHostFile(Host("list.dat")), b.Bytes());

    std::unique_ptr<cDataFile> in(OpenDataFile("list.dat"));
    ASSERT_NE(in, nullptr);
    cChkVector<std::string> w;
    ReadStringList(in.get(), w);
    EXPECT_FALSE(in->IsFailed());
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[0], strLong);
    EXPECT_EQ(w[1], "");
    EXPECT_EQ(w[2], "x");
}

}  // namespace
