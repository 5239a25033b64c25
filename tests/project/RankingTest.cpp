#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "ProjectTestUtil.h"
#include "platform/CloseRequest.h"
#include "project/NumberText.h"
#include "project/Ranking.h"

namespace {

// A ranking entry's body as the file holds it.
void Entry(cByteBuilder& b, int32_t bUse, int32_t nScore, const std::string& strName) {
    b.I32(2).I32(bUse).I32(nScore).I32(1).Str(strName);
}

// A table's body with n places, the first ones used with the given scores.
void Table(cByteBuilder& b, int32_t bHigher, int nPlaces, std::vector<int32_t> vScores = {}) {
    b.I32(1).I32(bHigher).I32(0).Count(nPlaces);
    for (int i = 0; i < nPlaces; i++) {
        bool bUse = static_cast<size_t>(i) < vScores.size();
        Entry(b, bUse ? 1 : 0, bUse ? vScores[static_cast<size_t>(i)] : 0, bUse ? "abc" : "");
    }
}

cRankTable Filled(int bHigher, std::vector<int32_t> vScores, int nPlaces = RANKING_PLACES) {
    cRankTable t(bHigher);
    t.m_vEntry.assign(static_cast<size_t>(nPlaces), cRankEntry());
    for (size_t i = 0; i < vScores.size(); i++) {
        t.m_vEntry[i].m_bUse = 1;
        t.m_vEntry[i].m_nScore = vScores[i];
        t.m_vEntry[i].m_strName = "p" + std::to_string(i);
    }
    return t;
}

using Ranking = cProjectTest;

TEST_F(Ranking, NumberAndTimeTexts) {
    EXPECT_EQ(FormatTime(65432), "10:54.32");
    EXPECT_EQ(FormatTime(0), "00:00.00");
    EXPECT_EQ(FormatTime(599999), "99:59.99");
    EXPECT_EQ(FormatTime(600000), "100:00.00");
    // One sign, before the minutes.
    EXPECT_EQ(FormatTime(-65432), "-10:54.32");
    EXPECT_EQ(FormatTime(-5), "-00:00.05");
    EXPECT_EQ(FormatTime(INT_MIN), "-357913:56.48");

    struct DIGITS { int32_t v; int n; };
    for (DIGITS c : {DIGITS{0, 1}, {9, 1}, {10, 2}, {-10, 2}, {99999, 5}, {INT_MAX, 10}, {INT_MIN, 10}})
        EXPECT_EQ(GetDigitCount(c.v), c.n) << c.v;

    struct NUMBER { int32_t v; int nWidth, bZero, bSign; const char* psz; };
    const NUMBER cases[] = {
        {5, 3, 1, 0, "005"},  {5, 3, 0, 0, "  5"},   {0, 3, 0, 0, "  0"},   {-5, 3, 1, 0, "-005"},
        {-5, 3, 0, 0, "-  5"}, {5, 0, 0, 1, "+5"},   {0, 0, 0, 1, "+0"},    {123, 2, 1, 0, "123"},
        {INT_MIN, 0, 1, 0, "-2147483648"},           {INT_MAX, 0, 0, 1, "+2147483647"},
    };
    for (const NUMBER& c : cases) EXPECT_EQ(FormatNumber(c.v, c.nWidth, c.bZero, c.bSign), c.psz) << c.v;
}

TEST_F(Ranking, AStoredKindOutsideTheTablesReadsNoTable) {
    // A progress file may hold a ranking kind outside 0..4 (it is kept as
    // stored); the ranking answers no table and no place for it, quietly.
    ResetCloseRequests();
    cRanking r;
    for (int nKind : {-1, 5, 7, INT_MAX}) {
        EXPECT_EQ(r.GetTable(nKind), nullptr) << nKind;
        EXPECT_EQ(r.FindRank(nKind, 100), -1) << nKind;
    }
    ASSERT_NE(r.GetTable(4), nullptr);
    EXPECT_EQ(GetCloseRequestCount(), 0u);
}

TEST_F(Ranking, FindRankAndInsert) {
    // An empty table takes any score at the top.
    cRankTable empty(1);
    EXPECT_EQ(empty.FindRank(-100), 0);
    EXPECT_EQ(empty.FindRank(0), 0);

    cRankTable t = Filled(1, {500, 300, 300, 100});
    EXPECT_EQ(t.FindRank(600), 0);
    EXPECT_EQ(t.FindRank(300), 3);   // after every equal score
    EXPECT_EQ(t.FindRank(50), 4);    // the first empty place
    t.Insert("new", 300);
    ASSERT_EQ(t.m_vEntry.size(), 20u);
    EXPECT_EQ(t.m_vEntry[3].m_strName, "new");
    EXPECT_EQ(t.m_vEntry[3].m_nScore, 300);
    EXPECT_EQ(t.m_vEntry[4].m_nScore, 100);

    // A full table: the old last place drops out; a score that does not beat
    // the last place changes nothing.
    std::vector<int32_t> v;
    for (int i = 0; i < 20; i++) v.push_back(2000 - 100 * i);   // 2000 .. 100
    cRankTable full = Filled(1, v);
    EXPECT_EQ(full.FindRank(100), -1);
    full.Insert("low", 100);
    EXPECT_EQ(full.m_vEntry[19].m_strName, "p19");
    full.Insert("mid", 1050);
    ASSERT_EQ(full.m_vEntry.size(), 20u);
    EXPECT_EQ(full.m_vEntry[10].m_strName, "mid");
    EXPECT_EQ(full.m_vEntry[19].m_nScore, 200);

    // Clear times: the smaller first.
    cRankTable time = Filled(0, {3000, 4000});
    EXPECT_EQ(time.FindRank(2000), 0);
    EXPECT_EQ(time.FindRank(3500), 1);
    EXPECT_EQ(time.FindRank(4000), 2);

    // A table without places takes nothing.
    cRankTable none = Filled(1, {}, 0);
    EXPECT_EQ(none.FindRank(1), -1);
    none.Insert("x", 1);
    EXPECT_TRUE(none.m_vEntry.empty());
}

TEST_F(Ranking, DefaultFileIs2096Bytes) {
    ASSERT_TRUE(m_dir.MakeDir("user_data/story"));
    cRanking r;
    ASSERT_EQ(r.SaveFor(0, "data\\stg4\\c03.", 0, 0, 0), 1);
    cByteBuilder want;
    want.U32(854).I32(0).I32(0).Count(5);
    for (int k = 0; k < 5; k++) Table(want, k == 2 ? 0 : 1, 20);
    ASSERT_EQ(want.Size(), 2096u);
    EXPECT_EQ(ReadHostFile(Host("user_data\\story\\c03.rkg")), want.Bytes());
}

TEST_F(Ranking, Paths) {
    EXPECT_EQ(MakeRankingPath(0, "data\\stg4\\c03.", 1, 5, 2), "user_data\\story\\c03_c005_2.rkg");
    EXPECT_EQ(MakeRankingPath(0, "c03.", 0, 5, 2), "user_data\\story\\c03.rkg");
    EXPECT_EQ(MakeRankingPath(1, "c03.", 1, 5, 2), "user_data\\challenge\\c03.rkg");   // decorated in story mode only
    EXPECT_EQ(MakeRankingPath(2, "c03.", 0, 0, 0), "user_data\\free\\c03.rkg");
    EXPECT_EQ(MakeRankingPath(3, "c03.", 0, 0, 0), "");
    EXPECT_EQ(MakeRankingPath(-1, "c03.", 0, 0, 0), "");
}

TEST_F(Ranking, StoredTablesAndPlacesAreKept) {
    ASSERT_TRUE(m_dir.MakeDir("user_data/free"));
    const char* pszPath = "user_data\\free\\s.rkg";
    struct CASE {
        uint32_t nVer;
        int nTables;
        int nPlaces;
        size_t nWantTables;
    };
    // Version 180 and older: three tables read as five; newer files keep
    // what they hold; a table keeps its places.
    for (CASE c : {CASE{180, 3, 20, 5}, {150, 6, 20, 5}, {181, 3, 20, 3}, {854, 5, 15, 5}}) {
        cByteBuilder b;
        b.U32(c.nVer).I32(0).I32(0).Count(c.nTables);
        for (int k = 0; k < c.nTables; k++) Table(b, 0, c.nPlaces, {70, 80});
        ASSERT_TRUE(Write("user_data\\free\\s.rkg", b));
        cRanking r;
        ASSERT_EQ(r.LoadFor(2, "s.", 0, 0, 0), 1) << c.nVer;
        ASSERT_EQ(r.m_vTable.size(), c.nWantTables) << c.nVer;
        EXPECT_EQ(r.m_vTable[0].m_vEntry.size(), static_cast<size_t>(c.nPlaces));
        EXPECT_EQ(r.m_vTable[0].m_bHigher, 0);   // stored flags stay
        EXPECT_EQ(r.m_vTable[2].m_bHigher, 0);
        EXPECT_EQ(r.m_vTable[1].m_vEntry[1].m_nScore, 80);
        if (c.nWantTables == 5) {
            int nWantHigher = c.nVer <= 180 ? 1 : 0;
            EXPECT_EQ(r.m_vTable[3].m_bHigher, nWantHigher) << c.nVer;
            EXPECT_EQ(r.m_vTable[4].m_bHigher, nWantHigher) << c.nVer;
        } else {
            EXPECT_EQ(r.GetTable(3), nullptr);
            EXPECT_EQ(r.FindRank(4, 100), -1);
        }
        // Written back unchanged.
        if (c.nVer == 854) {
            ASSERT_EQ(r.SaveFor(2, "s.", 0, 0, 0), 1);
            EXPECT_EQ(ReadHostFile(Host(pszPath)), b.Bytes());
        }
    }
}

TEST_F(Ranking, DamagedFilesLeaveTheDefaults) {
    ASSERT_TRUE(m_dir.MakeDir("user_data/story"));
    cByteBuilder good;
    good.U32(854).I32(0).I32(0).Count(1);
    Table(good, 0, 2, {5});
    struct CASE {
        const char* pszWhat;
        cByteBuilder b;
    };
    std::vector<CASE> cases;
    cases.push_back({"table count past the end", cByteBuilder().U32(854).I32(0).I32(0).Count(1000000)});
    cases.push_back({"negative table count", cByteBuilder().U32(854).I32(0).I32(0).Count(-1)});
    {
        cByteBuilder b;
        b.U32(854).I32(0).I32(0).Count(1).I32(1).I32(1).I32(0).Count(400000000);
        cases.push_back({"place count past the end", b});
    }
    cases.push_back({"cut short", cByteBuilder(good).Cut(3)});
    cases.push_back({"newer version", cByteBuilder().U32(855).I32(0).I32(0).Count(0)});
    for (CASE& c : cases) {
        ASSERT_TRUE(Write("user_data\\story\\d.rkg", c.b));
        cRanking r;
        r.m_vTable[0].Insert("abc", 7);
        EXPECT_EQ(r.LoadFor(0, "d.", 0, 0, 0), 0) << c.pszWhat;
        ASSERT_EQ(r.m_vTable.size(), 5u) << c.pszWhat;
        EXPECT_EQ(r.m_vTable[0].m_vEntry[0].m_bUse, 0) << c.pszWhat;
        EXPECT_EQ(r.m_vTable[2].m_bHigher, 0);
    }
    ASSERT_TRUE(Write("user_data\\story\\d.rkg", good));
    cRanking r;
    EXPECT_EQ(r.LoadFor(0, "d.", 0, 0, 0), 1);
    EXPECT_EQ(r.m_vTable.size(), 1u);
}

}  // namespace
