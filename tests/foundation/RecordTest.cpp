// The record base: the byte layout of a record file, reading older layouts,
// refusing newer ones, failing cleanly on damaged files, and saving through a
// temporary file.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "platform/CloseRequest.h"
#include "support/ByteBuilder.h"
#include "support/TempDir.h"

namespace {

// The record of the format's worked example: int32, int16[2], int8, two strings.
class cGoldenRec : public cRecord {
public:
    int32_t m_nA = 0;
    int16_t m_wB[2] = {};
    int8_t m_byC = 0;
    std::string m_strD, m_strE;
    int m_nUnregistered = 55;

    cGoldenRec() { Clear(); }
    void RegisterFields(int nVer) override {
        (void)nVer;
        ClearFieldTable();
        AddField4(&m_nA);
        AddField2(m_wB, 2);
        AddField1(&m_byC);
        AddString(&m_strD);
        AddString(&m_strE);
    }
};

// A record whose layout changed over the versions:
//   m_nA          always
//   a 2-byte word stored up to version 200, dropped since (read into wDummyField)
//   m_nB          versions after 100
//   m_dD          versions after 300 (an 8-byte field)
//   m_str1        always
//   m_str2        versions after 300
class cVersionedRec : public cRecord {
public:
    int32_t m_nA = 0, m_nB = 0;
    double m_dD = 0;
    std::string m_str1, m_str2;

    cVersionedRec() { Clear(); }
    void RegisterFields(int nVer) override {
        uint32_t v = static_cast<uint32_t>(nVer);
        ClearFieldTable();
        AddField4(&m_nA);
        if (!VerAfter(v, 200)) AddField2(&wDummyField);
        if (VerAfter(v, 100)) AddField4(&m_nB);
        if (VerAfter(v, 300)) AddField8(&m_dD);
        AddString(&m_str1);
        if (VerAfter(v, 300)) AddString(&m_str2);
    }
    void SetSentinels() {
        m_nA = -1;
        m_nB = -2;
        m_dD = -3.5;
        m_str1 = "keep1";
        m_str2 = "keep2";
    }
};

// A record with a nested list of records, as the derived records append them.
class cListRec : public cRecord {
public:
    int32_t m_nId = 0;
    std::vector<cVersionedRec> m_vItems;

    cListRec() { Clear(); }
    void RegisterFields(int nVer) override {
        (void)nVer;
        ClearFieldTable();
        AddField4(&m_nId);
    }
    void Read(cDataFile* fp) override {
        cRecord::Read(fp);
        ReadRecordList(fp, m_vItems);
    }
    void Write(cDataFile* fp) override {
        cRecord::Write(fp);
        WriteRecordList(fp, m_vItems);
    }
};

// A record that registers memory outside itself: the elements of a vector
// (a heap buffer of each instance) and a second member's bytes through a
// pointer.
class cHeapRec : public cRecord {
public:
    int32_t m_nA = 0;
    std::vector<int16_t> m_vW = std::vector<int16_t>(3, 0);
    std::string m_strName;

    cHeapRec() { Clear(); }
    void RegisterFields(int nVer) override {
        (void)nVer;
        ClearFieldTable();
        AddField4(&m_nA);
        AddField2(m_vW.data(), 3);
        AddString(&m_strName);
    }
};

// A record whose registration depends on its own state: the extra field is
// stored only when the flag is set.
class cStateRec : public cRecord {
public:
    int8_t m_byFlag = 0;
    int32_t m_nExtra = 0;
    int32_t m_nTail = 0;

    cStateRec() { Clear(); }
    void RegisterFields(int nVer) override {
        (void)nVer;
        ClearFieldTable();
        AddField1(&m_byFlag);
        if (m_byFlag) AddField4(&m_nExtra);
        AddField4(&m_nTail);
    }
};

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        nDataVer = DATA_VERSION;
        nFileVer = 0;
        bFileVerErr = 0;
        bDelCR = 0;
        ResetCloseRequests();
    }
    void TearDown() override {
        bDelCR = 0;
        // A reader never asks the program to close.
        EXPECT_EQ(GetCloseRequestCount(), 0u);
    }
    cTempDir m_dir;
};

const std::vector<uint8_t> kGolden = {
    0x56, 0x03, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x03, 0x00, 0x07, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00,
    0x00, 0x61, 0x62, 0x63, 0x00, 0x01, 0x00, 0x00, 0x00,
};

TEST_F(RecordTest, GoldenRecordIsWrittenByteForByteAndReadBack) {
    cGoldenRec rec;
    rec.m_nA = 1;
    rec.m_wB[0] = 2;
    rec.m_wB[1] = 3;
    rec.m_byC = 7;
    rec.m_strD = "abc";
    ASSERT_EQ(rec.Save("golden.dat"), 1);
    EXPECT_EQ(ReadHostFile(m_dir.File("golden.dat")), kGolden);
    EXPECT_FALSE(m_dir.Exists("golden.dat.tmp"));

    cGoldenRec back;
    back.m_strE = "to be emptied";
    ASSERT_EQ(back.Load("golden.dat"), 1);
    EXPECT_EQ(nFileVer, 854u);
    EXPECT_EQ(bFileVerErr, 0);
    EXPECT_EQ(back.m_nA, 1);
    EXPECT_EQ(back.m_wB[0], 2);
    EXPECT_EQ(back.m_wB[1], 3);
    EXPECT_EQ(back.m_byC, 7);
    EXPECT_EQ(back.m_strD, "abc");
    EXPECT_EQ(back.m_strE, "");
}

TEST_F(RecordTest, StringsAreStoredUpToTheirFirstZeroAndAtFullLength) {
    cGoldenRec rec;
    rec.m_strD = std::string("ab\0cd", 5);
    rec.m_strE = std::string(300000, 'x');  // longer than the writer's buffer
    ASSERT_EQ(rec.Save("s.dat"), 1);
    EXPECT_EQ(rec.m_strD, "ab");  // cut in memory too

    cGoldenRec back;
    ASSERT_EQ(back.Load("s.dat"), 1);
    EXPECT_EQ(back.m_strD, "ab");
    EXPECT_EQ(back.m_strE, std::string(300000, 'x'));
}

TEST_F(RecordTest, TextsOfEveryLengthEndAtTheirFirstZero) {
    // Lengths around the word and scan boundaries; the zero at the start, in
    // the middle, in the last word and nowhere; high bytes and 0x01 bytes
    // (which a word test may mark by borrow) beside the zero.
    struct CASE {
        size_t nLen;
        size_t nZero;  // npos: no zero
    };
    const size_t npos = std::string::npos;
    const CASE cases[] = {
        {7, 3},   {8, npos}, {8, 0},  {8, 7},   {9, 8},   {15, 14}, {16, 9},  {17, npos}, {17, 16},
        {23, 8},  {24, 23},  {31, 1}, {63, 62}, {64, 56}, {64, npos}, {65, 64}, {65, 3},  {200, 150},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << "length " << c.nLen << " zero at " << static_cast<long long>(c.nZero));
        std::string text;
        for (size_t i = 0; i < c.nLen; i++) text += static_cast<char>(i % 3 == 0 ? 0x81 : (i % 3 == 1 ? 0x01 : 'a'));
        if (c.nZero != npos) text[c.nZero] = '\0';
        size_t nKept = c.nZero == npos ? c.nLen : c.nZero;

        cGoldenRec rec;
        rec.m_strD = text;
        ASSERT_EQ(rec.Save("z.dat"), 1);
        EXPECT_EQ(rec.m_strD, text.substr(0, nKept));
        cGoldenRec back;
        ASSERT_EQ(back.Load("z.dat"), 1);
        EXPECT_EQ(back.m_strD, text.substr(0, nKept));

        // A stored text with a zero inside is read up to it.
        cByteBuilder b;
        b.U32(854).Count(0).Count(1).I32(static_cast<int32_t>(c.nLen + 1)).Raw(text).U8(0);
        ASSERT_TRUE(b.WriteFile(m_dir.File("zr.dat")));
        cGoldenRec raw;
        ASSERT_EQ(raw.Load("zr.dat"), 1);
        EXPECT_EQ(raw.m_strD, text.substr(0, nKept));
    }
}

TEST_F(RecordTest, VersionedFilesReadWithTheirOwnLayout) {
    struct CASE {
        const char* pszName;
        cByteBuilder bytes;
        int nLoad;
        int32_t nA, nB;
        double dD;
        const char *psz1, *psz2;
        int16_t wDummy;
        int bVerErr;
    };
    std::vector<CASE> cases = {
        {"version 0: a, dropped word, one string",
         cByteBuilder().U32(0).Count(2).I32(7).I16(0x1234).Count(1).Str("x"),
         1, 7, -2, -3.5, "x", "keep2", 0x1234, 0},
        {"version 150: b added after 100",
         cByteBuilder().U32(150).Count(3).I32(7).I16(0x55).I32(8).Count(1).Str("y"),
         1, 7, 8, -3.5, "y", "keep2", 0x55, 0},
        {"version 201: the word is gone",
         cByteBuilder().U32(201).Count(2).I32(7).I32(8).Count(1).Str(""),
         1, 7, 8, -3.5, "", "keep2", 0, 0},
        {"version 854: double and second string",
         cByteBuilder().U32(854).Count(3).I32(7).I32(8).F64(2.25).Count(2).Str("p").Str("q"),
         1, 7, 8, 2.25, "p", "q", 0, 0},
        {"short counts keep the later fields and strings",
         cByteBuilder().U32(854).Count(1).I32(7).Count(1).Str("p"),
         1, 7, -2, -3.5, "p", "keep2", 0, 0},
        {"zero counts read nothing",
         cByteBuilder().U32(854).Count(0).Count(0),
         1, -1, -2, -3.5, "keep1", "keep2", 0, 0},
        {"newer version 855 is refused",
         cByteBuilder().U32(855).Count(3).I32(7).I32(8).F64(2.25).Count(2).Str("p").Str("q"),
         0, -1, -2, -3.5, "keep1", "keep2", 0, 1},
        {"version 0x80000000 is refused (unsigned)",
         cByteBuilder().U32(0x80000000u).Count(1).I32(7).Count(0),
         0, -1, -2, -3.5, "keep1", "keep2", 0, 1},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(c.bytes.WriteFile(m_dir.File("v.dat")));
        wDummyField = 0;
        bFileVerErr = 1 - c.bVerErr;
        cVersionedRec rec;
        rec.SetSentinels();
        EXPECT_EQ(rec.Load("v.dat"), c.nLoad);
        EXPECT_EQ(bFileVerErr, c.bVerErr);
        EXPECT_EQ(rec.m_nA, c.nA);
        EXPECT_EQ(rec.m_nB, c.nB);
        EXPECT_EQ(rec.m_dD, c.dD);
        EXPECT_EQ(rec.m_str1, c.psz1);
        EXPECT_EQ(rec.m_str2, c.psz2);
        EXPECT_EQ(wDummyField, c.wDummy);
        if (c.nLoad) {
            // Written again, the record has the current layout.
            ASSERT_EQ(rec.Save("again.dat"), 1);
            std::vector<uint8_t> again = ReadHostFile(m_dir.File("again.dat"));
            ASSERT_GE(again.size(), 8u);
            EXPECT_EQ(again[0] | again[1] << 8, 854);
            EXPECT_EQ(again[4], 3);  // three fields
        }
    }
}

TEST_F(RecordTest, DamagedFilesFailCleanly) {
    // A valid current body, for cutting.
    cByteBuilder good;
    good.U32(854).Count(3).I32(7).I32(8).F64(2.25).Count(2).Str("hello").Str("q");
    struct CASE {
        const char* pszName;
        cByteBuilder bytes;
    };
    std::vector<CASE> cases = {
        {"empty file", cByteBuilder()},
        {"version word cut", cByteBuilder().U16(854)},
        {"no body", cByteBuilder().U32(854)},
        {"negative field count", cByteBuilder().U32(854).Count(-1).Count(0)},
        {"huge field count", cByteBuilder().U32(854).Count(0x7FFFFFFF).I32(1).Count(0)},
        {"field count above the registered", cByteBuilder().U32(854).Count(4).I32(7).I32(8).F64(1).I32(9).Count(0)},
        {"cut inside the fields", cByteBuilder(good).Cut(good.Size() - 18)},
        {"cut before the string count", cByteBuilder().U32(854).Count(1).I32(7)},
        {"negative string count", cByteBuilder().U32(854).Count(0).Count(-5)},
        {"huge string count", cByteBuilder().U32(854).Count(0).Count(0x40000000).Str("a")},
        {"string count above the registered", cByteBuilder().U32(854).Count(0).Count(3).Str("a").Str("b").Str("c")},
        {"string length 0", cByteBuilder().U32(854).Count(0).Count(1).I32(0)},
        {"negative string length", cByteBuilder().U32(854).Count(0).Count(1).I32(-2).Raw("ab")},
        {"huge string length", cByteBuilder().U32(854).Count(0).Count(1).I32(0x7FFFFFF0).Raw("abc")},
        {"string one byte beyond the end", cByteBuilder().U32(854).Count(0).Count(1).I32(5).Raw("abc")},
        {"cut inside a string", cByteBuilder(good).Cut(3)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(c.bytes.WriteFile(m_dir.File("bad.dat")));
        cVersionedRec rec;
        EXPECT_EQ(rec.Load("bad.dat"), 0);
    }
}

TEST_F(RecordTest, DamagedListCountsFailCleanly) {
    cByteBuilder head;
    head.U32(854).Count(1).I32(42).Count(0);
    cByteBuilder item;
    item.Count(3).I32(1).I32(2).F64(0.5).Count(2).Str("a").Str("b");

    struct CASE {
        const char* pszName;
        cByteBuilder bytes;
        int nLoad;
        size_t nItems;
    };
    std::vector<CASE> cases = {
        {"two items", cByteBuilder(head).Count(2).Append(item).Append(item), 1, 2},
        {"no items", cByteBuilder(head).Count(0), 1, 0},
        {"negative count", cByteBuilder(head).Count(-1).Append(item), 0, 0},
        {"huge count", cByteBuilder(head).Count(0x7FFFFFFF).Append(item), 0, 0},
        {"count above the bodies present", cByteBuilder(head).Count(3).Append(item).Append(item), 0, 2},
        {"missing count", cByteBuilder(head), 0, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(c.bytes.WriteFile(m_dir.File("list.dat")));
        cListRec rec;
        EXPECT_EQ(rec.Load("list.dat"), c.nLoad);
        if (c.nLoad) {
            EXPECT_EQ(rec.m_nId, 42);
            ASSERT_EQ(rec.m_vItems.size(), c.nItems);
            for (auto& e : rec.m_vItems) {
                EXPECT_EQ(e.m_nB, 2);
                EXPECT_EQ(e.m_str2, "b");
            }
        }
    }
}

TEST_F(RecordTest, NestedListsRoundTrip) {
    cListRec rec;
    rec.m_nId = 9;
    for (int i = 0; i < 3; i++) {
        cVersionedRec e;
        e.m_nA = i;
        e.m_dD = i * 0.5;
        e.m_str2 = std::string(static_cast<size_t>(i), 'z');
        rec.m_vItems.push_back(e);
    }
    ASSERT_EQ(rec.Save("n.dat"), 1);
    cListRec back;
    ASSERT_EQ(back.Load("n.dat"), 1);
    ASSERT_EQ(back.m_vItems.size(), 3u);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(back.m_vItems[i].m_nA, i);
        EXPECT_EQ(back.m_vItems[i].m_dD, i * 0.5);
        EXPECT_EQ(back.m_vItems[i].m_str2, std::string(static_cast<size_t>(i), 'z'));
    }
}

TEST_F(RecordTest, CarriageReturnsAreStrippedWhileTheFlagIsSet) {
    cByteBuilder b;
    b.U32(854).Count(0).Count(1).Str("a\r\nb");
    ASSERT_TRUE(b.WriteFile(m_dir.File("cr.dat")));
    cVersionedRec rec;
    rec.m_str2 = "x\r\ry";  // not read from the file, stripped all the same
    bDelCR = 1;
    ASSERT_EQ(rec.Load("cr.dat"), 1);
    EXPECT_EQ(rec.m_str1, "a\nb");
    EXPECT_EQ(rec.m_str2, "xy");

    bDelCR = 0;
    cVersionedRec keep;
    ASSERT_EQ(keep.Load("cr.dat"), 1);
    EXPECT_EQ(keep.m_str1, "a\r\nb");

    keep.StripCR();
    EXPECT_EQ(keep.m_str1, "a\nb");
}

// A record whose writer fails half way, as a failed disk write would.
class cFailingRec : public cGoldenRec {
public:
    void Write(cDataFile* fp) override {
        cRecord::Write(fp);
        fp->Fail();
    }
};

TEST_F(RecordTest, FailedSaveLeavesTheOldFileWhole) {
    cGoldenRec old;
    old.m_nA = 1;
    old.m_strD = "old";
    ASSERT_EQ(old.Save("keep.dat"), 1);
    const std::vector<uint8_t> before = ReadHostFile(m_dir.File("keep.dat"));

    cFailingRec failing;
    failing.m_nA = 2;
    EXPECT_EQ(failing.Save("keep.dat"), 0);
    EXPECT_EQ(ReadHostFile(m_dir.File("keep.dat")), before);
    EXPECT_FALSE(m_dir.Exists("keep.dat.tmp"));

    // The temporary file cannot be made.
    ASSERT_TRUE(m_dir.MakeDir("keep.dat.tmp"));
    cGoldenRec other;
    other.m_nA = 3;
    EXPECT_EQ(other.Save("keep.dat"), 0);
    EXPECT_EQ(ReadHostFile(m_dir.File("keep.dat")), before);

    // The rename cannot replace the target (a folder that is not empty).
    ASSERT_TRUE(m_dir.MakeDir("dir.dat/inside"));
    EXPECT_EQ(other.Save("dir.dat"), 0);
    EXPECT_FALSE(m_dir.Exists("dir.dat.tmp"));

    // A good save still replaces the file.
    cGoldenRec good;
    good.m_nA = 4;
    ASSERT_EQ(good.Save("new.dat"), 1);
    ASSERT_EQ(good.Save("new.dat"), 1);
    cGoldenRec back;
    ASSERT_EQ(back.Load("new.dat"), 1);
    EXPECT_EQ(back.m_nA, 4);
}

TEST_F(RecordTest, MissingFileLeavesTheVersionVariables) {
    nFileVer = 123;
    bFileVerErr = 1;
    cGoldenRec rec;
    EXPECT_EQ(rec.Load("nothing.dat"), 0);
    EXPECT_EQ(rec.Load(""), 0);  // opens "err", which is missing too
    EXPECT_EQ(nFileVer, 123u);
    EXPECT_EQ(bFileVerErr, 1);
}

TEST_F(RecordTest, ClearCopyAndAssignTouchOnlyRegisteredMembers) {
    cGoldenRec a;
    a.m_nA = 5;
    a.m_wB[0] = 6;
    a.m_wB[1] = 7;
    a.m_byC = 8;
    a.m_strD = "d";
    a.m_nUnregistered = 99;

    cGoldenRec b;
    b.CopyFields(a);
    EXPECT_EQ(b.m_nA, 5);
    EXPECT_EQ(b.m_wB[1], 7);
    EXPECT_EQ(b.m_byC, 8);
    EXPECT_EQ(b.m_strD, "d");
    EXPECT_EQ(b.m_nUnregistered, 55);

    cGoldenRec c;
    c = a;  // base assignment then the members
    EXPECT_EQ(c.m_nA, 5);
    c.RegisterFields(854);
    ASSERT_EQ(c.FieldTable().size(), 3u);
    for (const FIELDDATA& fd : c.FieldTable()) {
        EXPECT_EQ(fd.lpOwner, &c);
        const char* p = static_cast<const char*>(fd.lpData);
        EXPECT_TRUE(p >= reinterpret_cast<const char*>(&c) && p < reinterpret_cast<const char*>(&c + 1));
    }
    for (const STRINGDATA& sd : c.StringTable()) EXPECT_TRUE(sd.lpStr == &c.m_strD || sd.lpStr == &c.m_strE);
    c.m_strD = "changed";
    c.m_wB[0] = -1;
    EXPECT_EQ(a.m_strD, "d");
    EXPECT_EQ(a.m_wB[0], 6);

    a.Clear();
    EXPECT_EQ(a.m_nA, 0);
    EXPECT_EQ(a.m_wB[0], 0);
    EXPECT_EQ(a.m_wB[1], 0);
    EXPECT_EQ(a.m_byC, 0);
    EXPECT_EQ(a.m_strD, "");
    EXPECT_EQ(a.m_nUnregistered, 99);
}

TEST_F(RecordTest, RecordsRegisteringHeapMemoryKeepTheirOwnBuffers) {
    // Many instances, each with its own buffer: every one reads and writes
    // its own elements, never another's.
    std::vector<cHeapRec> v(12);
    for (size_t i = 0; i < v.size(); i++) {
        v[i].m_nA = static_cast<int32_t>(i);
        v[i].m_vW = {static_cast<int16_t>(i * 3), static_cast<int16_t>(i * 3 + 1), static_cast<int16_t>(i * 3 + 2)};
        v[i].m_strName = std::string(i + 1, 'h');
    }
    for (size_t i = 0; i < v.size(); i++) {
        SCOPED_TRACE(i);
        ASSERT_EQ(v[i].Save("h.dat"), 1);
        const std::vector<uint8_t> bytes = ReadHostFile(m_dir.File("h.dat"));
        cByteBuilder want;
        want.U32(854).Count(2).I32(static_cast<int32_t>(i));
        want.I16(static_cast<int16_t>(i * 3)).I16(static_cast<int16_t>(i * 3 + 1)).I16(static_cast<int16_t>(i * 3 + 2));
        want.Count(1).Str(std::string(i + 1, 'h'));
        EXPECT_EQ(bytes, want.Bytes());
        cHeapRec back;
        ASSERT_EQ(back.Load("h.dat"), 1);
        EXPECT_EQ(back.m_vW, v[i].m_vW);
        EXPECT_EQ(back.m_nA, v[i].m_nA);
        EXPECT_EQ(back.m_strName, v[i].m_strName);
        cHeapRec copy;
        copy.CopyFields(v[i]);
        EXPECT_EQ(copy.m_vW, v[i].m_vW);
        copy.Clear();
        EXPECT_EQ(copy.m_vW, std::vector<int16_t>(3, 0));
        EXPECT_EQ(v[i].m_vW[2], static_cast<int16_t>(i * 3 + 2));
    }
}

TEST_F(RecordTest, RecordsRegisteringByTheirOwnStateWriteWhatTheirStateSays) {
    // Instances in different states among the first ones a class meets: each
    // writes its own layout.
    struct CASE {
        int8_t byFlag;
        int nFields;
    };
    const CASE cases[] = {{0, 2}, {1, 3}, {0, 2}, {1, 3}, {1, 3}, {0, 2}, {0, 2}, {1, 3}};
    std::vector<cStateRec> v(std::size(cases));
    for (size_t i = 0; i < v.size(); i++) {
        SCOPED_TRACE(i);
        v[i].m_byFlag = cases[i].byFlag;
        v[i].m_nExtra = 100 + static_cast<int32_t>(i);
        v[i].m_nTail = 7;
        ASSERT_EQ(v[i].Save("st.dat"), 1);
        const std::vector<uint8_t> bytes = ReadHostFile(m_dir.File("st.dat"));
        ASSERT_GE(bytes.size(), 8u);
        EXPECT_EQ(bytes[4], cases[i].nFields);
        cByteBuilder want;
        want.U32(854).Count(cases[i].nFields).U8(static_cast<uint8_t>(cases[i].byFlag));
        if (cases[i].byFlag) want.I32(100 + static_cast<int32_t>(i));
        want.I32(7).Count(0);
        EXPECT_EQ(bytes, want.Bytes());
    }
}

TEST_F(RecordTest, MemoryReaderReadsInIsolation) {
    // A body without a version word, read with the version the caller sets.
    cByteBuilder b;
    b.Count(2).I32(7).I16(3).Count(1).Str("m");
    nFileVer = 0;
    cDataFile* fp = cDataFile::FromBytes(b.Bytes());
    cVersionedRec rec;
    rec.Read(fp);
    EXPECT_FALSE(fp->IsFailed());
    EXPECT_EQ(fp->BytesLeft(), 0u);
    EXPECT_EQ(CloseDataFile(fp), 1);
    EXPECT_EQ(rec.m_nA, 7);
    EXPECT_EQ(rec.m_str1, "m");

    // Reads past the end fail the stream and give zeros.
    cDataFile* fp2 = cDataFile::FromBytes({1, 2});
    EXPECT_EQ(fp2->ReadI32(), 0);
    EXPECT_TRUE(fp2->IsFailed());
    EXPECT_EQ(fp2->ReadU8(), 0);
    EXPECT_EQ(CloseDataFile(fp2), 0);
}

// What a read builds is charged to its file: the total may reach the budget
// but not pass it; passing it fails the stream and marks the file.
TEST_F(RecordTest, ReadsPastTheMemoryBudgetFailAndMarkTheFile) {
    struct CASE {
        const char* szWhat;
        uint64_t nBudget;
        std::vector<uint64_t> vCharges;
        bool bLastOk;
    };
    const CASE aCase[] = {
        // 60 + 40 = 100: exactly the budget.
        {"up to the budget", 100, {60, 40}, true},
        // 60 + 40 + 1 = 101: one byte past it.
        {"one byte past", 100, {60, 40, 1}, false},
        // A single charge larger than the budget.
        {"one large charge", 100, {101}, false},
        // (2^64 - 3) + 5 wraps to 2 in 64 bits; saturated it is 2^64 - 1,
        // past a budget of 2^64 - 2.
        {"a wrapping total", UINT64_MAX - 1, {UINT64_MAX - 2, 5}, false},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        bFileMemErr = 0;
        std::unique_ptr<cDataFile> fp(cDataFile::FromBytes({}));
        fp->SetMemoryBudget(c.nBudget);
        bool bOk = true;
        for (uint64_t n : c.vCharges) bOk = fp->Charge(n);
        EXPECT_EQ(bOk, c.bLastOk);
        EXPECT_EQ(fp->IsFailed(), !c.bLastOk);
        EXPECT_EQ(bFileMemErr, c.bLastOk ? 0 : 1);
    }
    // The next file read starts with a clear mark.
    std::unique_ptr<cDataFile> fp(cDataFile::FromBytes({}));
    EXPECT_EQ(bFileMemErr, 0);
}

// A list count is charged at the elements' size in memory before any is
// made: 3 elements of 10 bytes in memory are 30 bytes.
TEST_F(RecordTest, ListCountsAreChargedAtTheirSizeInMemory) {
    cByteBuilder b;
    b.Count(3).I32(1).I32(2).I32(3);
    for (uint64_t nBudget : {30u, 29u}) {
        SCOPED_TRACE(nBudget);
        std::unique_ptr<cDataFile> fp(cDataFile::FromBytes(b.Bytes()));
        fp->SetMemoryBudget(nBudget);
        const int n = fp->ReadCount(4, 10);
        EXPECT_EQ(n, nBudget == 30 ? 3 : 0);
        EXPECT_EQ(fp->IsFailed(), nBudget != 30);
        EXPECT_EQ(fp->Charged(), 30u);
    }
    // 2 elements of 2^63 bytes are 2^64: saturated, past any budget.
    cByteBuilder two;
    two.Count(2).I32(0).I32(0);
    std::unique_ptr<cDataFile> fp(cDataFile::FromBytes(two.Bytes()));
    fp->SetMemoryBudget(UINT64_MAX - 1);
    EXPECT_EQ(fp->ReadCount(4, size_t{1} << 63), 0);
    EXPECT_TRUE(fp->IsFailed());
    EXPECT_EQ(fp->Charged(), UINT64_MAX);
}

// Every kind of write, in sizes from one byte to past the writer's whole
// buffer, lands in the file in order: the bytes are followed by hand, so a
// byte lost or repeated while the buffer grows or is handed to the file
// shows.
TEST_F(RecordTest, MixedWritesOfEverySizeLandInOrder) {
    cDataFile* fp = CreateDataFile("mixed.dat");
    ASSERT_NE(fp, nullptr);
    std::vector<uint8_t> want = {0x56, 0x03, 0x00, 0x00};  // the version word, 854
    auto put32 = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k) want.push_back(static_cast<uint8_t>(v >> (8 * k)));
    };
    for (uint32_t i = 0; i < 3000; ++i) {
        fp->WriteU8(static_cast<uint8_t>(i));
        want.push_back(static_cast<uint8_t>(i));
        fp->WriteI32(static_cast<int32_t>(i * 40503u));
        put32(i * 40503u);
        std::string s(i % 70, static_cast<char>('a' + i % 26));
        fp->WriteString(s);
        put32(static_cast<uint32_t>(s.empty() ? 1 : s.size() + 1));
        if (!s.empty()) {
            want.insert(want.end(), s.begin(), s.end());
            want.push_back(0);
        }
        const size_t nReserve = (i * 37) % 301;
        uint8_t* p = fp->Reserve(nReserve);
        ASSERT_NE(p, nullptr);
        for (size_t k = 0; k < nReserve; ++k) {
            p[k] = static_cast<uint8_t>(k ^ i);
            want.push_back(static_cast<uint8_t>(k ^ i));
        }
        if (i % 500 == 499) {
            // Now and then a block the size of the whole buffer or more.
            std::vector<uint8_t> big(i == 2999 ? 300000 : 5000 + i, static_cast<uint8_t>(i / 500));
            big.front() = 0xEE;
            big.back() = 0xDD;
            ASSERT_TRUE(fp->WriteBytes(big.data(), big.size()));
            want.insert(want.end(), big.begin(), big.end());
        }
    }
    ASSERT_EQ(CloseDataFile(fp), 1);
    EXPECT_GT(want.size(), size_t{3} << 18);  // more than three whole buffers
    EXPECT_EQ(ReadHostFile(m_dir.File("mixed.dat")), want);
}

}  // namespace
