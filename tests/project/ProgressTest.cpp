#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "ProjectTestUtil.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"
#include "stage/Stage.h"

namespace {

// Keeps the start-up records at their defaults for the test and puts back
// what they held.
class ProgressTest : public cProjectTest {
protected:
    ProgressTest() : m_savedSystem(recSystem), m_savedMap(recWorldMap) {
        recSystem.SetDefault();
        recWorldMap.SetDefault();   // 20 x 15, start (9, 7); 40 worlds
    }
    ~ProgressTest() override {
        recSystem = m_savedSystem;
        recWorldMap = m_savedMap;
        nFileVer = DATA_VERSION;
    }
    cSystemData m_savedSystem;
    cWorldMap m_savedMap;
};

// A progress file as a writer of version nVer lays it out. The registered
// fields hold their own position in the file (0, 1, 2, ...), so where a
// member's value lands shows which fields that version stores before it:
// the map cell (1, 2) lies inside the default map, the reached world
// (position 16 to 26) inside its 40 worlds. Strings: the stage file "c07.",
// the key "c07_key." when the version stores one, the name "bob". No saved
// character, one best result "a." of 77 (with the key "a_c005_2." and its
// decoration when the version stores them), two world results, 1000 stage
// flags (entry 0 clear, entry 5 set), nVars common variables with the last
// one 9, and 25 carry flags (alternately 0 and 1) when the version stores
// them.
struct FILELAYOUT {
    uint32_t nVer;
    int nFields;        // registered fields this version stores
    bool bKey;          // the stage key string
    bool bCarry;        // the carry flag list
    bool bResultDeco;   // a best result's key and decoration
    int nVars;
};

cByteBuilder OldProgressFile(const FILELAYOUT& f) {
    cByteBuilder b;
    b.U32(f.nVer);
    b.I32(f.nFields);
    for (int i = 0; i < f.nFields; i++) b.I32(i);
    b.I32(f.bKey ? 3 : 2).Str("c07.");
    if (f.bKey) b.Str("c07_key.");
    b.Str("bob");
    for (uint16_t w : {2020, 5, 3, 14, 9, 30, 1, 2}) b.U16(w);
    if (f.bCarry) {
        b.Count(25);
        for (int i = 0; i < 25; i++) b.I32(i % 2);
    }
    b.Count(0);   // saved characters
    b.Count(1);   // best results
    if (f.bResultDeco) b.I32(4).I32(1).I32(5).I32(2).I32(77).I32(2).Str("a.").Str("a_c005_2.");
    else b.I32(1).I32(77).I32(1).Str("a.");
    b.Count(2);   // world results
    b.I32(2).I32(1).I32(50).I32(0);
    b.I32(2).I32(0).I32(0).I32(0);
    b.Count(1000);
    for (int i = 0; i < 1000; i++) b.I32(i == 5 ? 1 : 0);
    b.Count(f.nVars);
    for (int i = 0; i < f.nVars; i++) b.I32(i + 1 == f.nVars ? 9 : 0);
    return b;
}

TEST_F(ProgressTest, ResetState) {
    cProgress p;
    EXPECT_EQ(p.m_vCarryFlag.size(), 25u);
    EXPECT_EQ(p.m_vStageFlag.size(), 1000u);
    EXPECT_EQ(p.m_vStageFlag[0], 1);
    EXPECT_EQ(p.m_vCommonVar.size(), 1001u);
    EXPECT_EQ(p.m_vSaveChara.size(), 1u);
    EXPECT_EQ(p.m_nWorldReached, 1);
    EXPECT_EQ(p.m_nSaveSlot, -1);
    EXPECT_EQ(p.m_strName, "aaa");

    recSystem.m_vLifeInfinite[0] = 0;
    recSystem.m_vLife[0] = 5;
    p.NewStory();
    EXPECT_EQ(p.m_nMapX, 9);
    EXPECT_EQ(p.m_nMapY, 7);
    EXPECT_EQ(p.m_nLifeStart, 5);
    EXPECT_EQ(p.m_nLife, 4);
    recSystem.m_vLifeInfinite[0] = 1;
    p.NewStory();
    EXPECT_EQ(p.m_nLife, LIFE_UNLIMITED);
}

TEST_F(ProgressTest, StartLivesOfEachMode) {
    cProgress p;
    recSystem.m_vLifeInfinite.assign({0, 0, 0, 0});
    recSystem.m_vLife.assign({5, 3, INT32_MIN, 99});
    p.StartLives(1);   // the challenge mode's own count
    EXPECT_EQ(p.m_nLifeStart, 3);
    EXPECT_EQ(p.m_nLife, 2);
    p.StartLives(2);   // the lowest count leaves the life in play at the lowest, not wrapped
    EXPECT_EQ(p.m_nLifeStart, INT32_MIN);
    EXPECT_EQ(p.m_nLife, INT32_MIN);
    p.StartLives(2, true);   // a play started directly on a stage file
    EXPECT_EQ(p.m_nLifeStart, LIFE_UNLIMITED);
    EXPECT_EQ(p.m_nLife, LIFE_UNLIMITED);
    recSystem.m_vLifeInfinite[1] = 1;
    p.StartLives(1);
    EXPECT_EQ(p.m_nLife, LIFE_UNLIMITED);
    p.StartLives(7);   // a mode without an entry: one life
    EXPECT_EQ(p.m_nLifeStart, 1);
    EXPECT_EQ(p.m_nLife, 0);
}

TEST_F(ProgressTest, FullRecordReadsBackByteForByte) {
    cProgress p;
    p.m_bCarryOver = 1;
    p.m_nMapX = 19;
    p.m_nMapY = 14;
    p.m_nRound = 3;
    p.m_nDecorate = 1;
    p.m_nDecorateA = 5;
    p.m_nDecorateB = -2;
    p.m_nLife = 7;
    p.m_nPlayScore = 1234;
    p.m_nClearTime = 65432;
    p.m_nNextDir = 1;
    p.m_strStageFile = "data\\stg4\\c03.";
    p.m_strStageKey = "c03_c005_-2.";
    p.m_strName = "ﾃｽﾄ";
    p.m_stSaveTime = SYSTEMTIME{2024, 3, 6, 2, 14, 5, 59, 999};
    p.m_vCarryFlag[24] = 1;
    p.m_vSaveChara.resize(2);
    p.m_vSaveChara[1].m_nHp = 33;
    p.m_vSaveChara[1].m_recChara.m_nMaxHp = 40;
    p.m_vSaveChara[1].m_recChara.m_strName = "hero";
    p.AddStageResult("c03.", "c03_c005_-2.", 1, 5, -2, 900);
    p.m_vWorldResult.resize(40);
    p.m_vWorldResult[39].m_nFirst = 1;
    p.m_vWorldResult[39].m_nSecond = 88;
    p.m_vStageFlag[999] = 1;
    p.m_vCommonVar[1000] = -7;
    p.m_lpMapEntry = reinterpret_cast<const cWorldStage*>(&p);   // a live pointer is stored as 0

    ASSERT_EQ(p.Save("p.dat"), 1);
    std::vector<uint8_t> first = ReadHostFile(m_dir.File("p.dat"));
    // Version, field count 35, then the fields: the map entry is word 4.
    ASSERT_GT(first.size(), 40u);
    int32_t nWord[5];
    std::memcpy(nWord, first.data(), sizeof(nWord));
    EXPECT_EQ(nWord[0], 854);
    EXPECT_EQ(nWord[1], 35);
    int32_t nEntry;
    std::memcpy(&nEntry, first.data() + 4 * 5, 4);
    EXPECT_EQ(nEntry, 0);

    cProgress back;
    ASSERT_EQ(back.Load("p.dat"), 1);
    EXPECT_EQ(back.m_nMapX, 19);
    EXPECT_EQ(back.m_nDecorateB, -2);
    EXPECT_EQ(back.m_strName, "ﾃｽﾄ");
    EXPECT_EQ(back.m_stSaveTime.wMilliseconds, 999);
    EXPECT_EQ(back.m_vSaveChara.size(), 2u);
    EXPECT_EQ(back.m_vSaveChara[1].m_nHp, 33);
    EXPECT_EQ(back.m_vSaveChara[1].m_recChara.m_nMaxHp, 40);
    EXPECT_EQ(back.m_vSaveChara[1].m_recChara.m_strName, "hero");
    EXPECT_EQ(back.GetBestResult("c03_c005_-2."), 900);
    EXPECT_EQ(back.m_vWorldResult[39].m_nSecond, 88);
    EXPECT_EQ(back.m_vCommonVar[1000], -7);
    EXPECT_EQ(back.m_lpMapEntry, nullptr);
    ASSERT_EQ(back.Save("q.dat"), 1);
    EXPECT_EQ(ReadHostFile(m_dir.File("q.dat")), first);
}

TEST_F(ProgressTest, EveryVersionGateOnBothSides) {
    // Each row: a file as a writer of that version lays it out, and the
    // member values after reading it, worked out from the field order
    // CarryOver MapX MapY MapEntry Round [Decorate A B: 758] World Stage
    // LifeStart Life Score PlayScore TotalScore ResultTime ClearTime
    // [ResultHp ResultSp: 182] Chain Bgm [BgmArg: 166] [MapDir: 194]
    // [MapReturn: 190] [MapPrevX MapPrevY: 191] WorldReached SaveSlot
    // [AutoSave: 169] RankView RankKind [NextStart NextX NextY: 678]
    // [NextDir: 679]. A field the file stores holds its position; one it
    // lacks keeps 55 (set before the read) unless the reader fixes it up:
    // BgmArg 1 before 166, AutoSave 0 before 169, ResultHp 0 before 182,
    // MapReturn 0 before 190, MapPrevX 0 up to 190, MapDir 0 before 194.
    struct CASE {
        FILELAYOUT file;
        int32_t nDecorate, nWorld, nResultHp, nBgmArg, nMapDir, nMapReturn, nMapPrevX, nWorldReached, nAutoSave,
            nRankKind, nNextStart, nNextX, nNextDir;
        int nCarryFlag0;        // 1: every flag set (no list stored); 0: the stored list
        size_t nVarsAfter;      // 1002 stored: cut to 1001 before 754
        int32_t nStageFlag0;    // set before 804
        const char* pszResultKey;
    };
    const CASE cases[] = {
        //  ver  fld  key    carry  rdeco  vars    Deco World RHp BgmA MDir MRet MPrX WRch ASav RKnd NSt NX  NDir
        {{165, 20, false, false, false, 1002}, 55, 5, 0, 1, 0, 0, 0, 16, 0, 19, 55, 55, 55, 1, 1001, 1, "a."},
        {{166, 21, false, false, false, 1002}, 55, 5, 0, 16, 0, 0, 0, 17, 0, 20, 55, 55, 55, 1, 1001, 1, "a."},
        {{168, 21, false, false, false, 1002}, 55, 5, 0, 16, 0, 0, 0, 17, 0, 20, 55, 55, 55, 1, 1001, 1, "a."},
        {{169, 22, false, false, false, 1002}, 55, 5, 0, 16, 0, 0, 0, 17, 19, 21, 55, 55, 55, 1, 1001, 1, "a."},
        {{181, 22, false, false, false, 1002}, 55, 5, 0, 16, 0, 0, 0, 17, 19, 21, 55, 55, 55, 1, 1001, 1, "a."},
        {{182, 24, false, false, false, 1002}, 55, 5, 14, 18, 0, 0, 0, 19, 21, 23, 55, 55, 55, 1, 1001, 1, "a."},
        {{189, 24, false, false, false, 1002}, 55, 5, 14, 18, 0, 0, 0, 19, 21, 23, 55, 55, 55, 1, 1001, 1, "a."},
        {{190, 25, false, false, false, 1002}, 55, 5, 14, 18, 0, 19, 0, 20, 22, 24, 55, 55, 55, 1, 1001, 1, "a."},
        {{191, 27, false, false, false, 1002}, 55, 5, 14, 18, 0, 19, 20, 22, 24, 26, 55, 55, 55, 1, 1001, 1, "a."},
        {{193, 27, false, false, false, 1002}, 55, 5, 14, 18, 0, 19, 20, 22, 24, 26, 55, 55, 55, 1, 1001, 1, "a."},
        {{194, 28, false, false, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 55, 55, 55, 1, 1001, 1, "a."},
        {{500, 28, false, false, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 55, 55, 55, 1, 1001, 1, "a."},
        {{501, 28, false, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 55, 55, 55, 0, 1001, 1, "a."},
        {{677, 28, false, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 55, 55, 55, 0, 1001, 1, "a."},
        {{678, 31, false, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 28, 29, 55, 0, 1001, 1, "a."},
        {{679, 32, false, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 28, 29, 31, 0, 1001, 1, "a."},
        {{723, 32, false, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 28, 29, 31, 0, 1001, 1, "a."},
        {{724, 32, true, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 28, 29, 31, 0, 1001, 1, "a."},
        {{753, 32, true, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 28, 29, 31, 0, 1001, 1, "a."},
        {{754, 32, true, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 28, 29, 31, 0, 1002, 1, "a."},
        {{757, 32, true, true, false, 1002}, 55, 5, 14, 18, 19, 20, 21, 23, 25, 27, 28, 29, 31, 0, 1002, 1, "a."},
        {{758, 35, true, true, false, 1002}, 5, 8, 17, 21, 22, 23, 24, 26, 28, 30, 31, 32, 34, 0, 1002, 1, "a."},
        {{759, 35, true, true, true, 1002}, 5, 8, 17, 21, 22, 23, 24, 26, 28, 30, 31, 32, 34, 0, 1002, 1, "a_c005_2."},
        {{803, 35, true, true, true, 1002}, 5, 8, 17, 21, 22, 23, 24, 26, 28, 30, 31, 32, 34, 0, 1002, 1, "a_c005_2."},
        {{804, 35, true, true, true, 1002}, 5, 8, 17, 21, 22, 23, 24, 26, 28, 30, 31, 32, 34, 0, 1002, 0, "a_c005_2."},
        {{854, 35, true, true, true, 1001}, 5, 8, 17, 21, 22, 23, 24, 26, 28, 30, 31, 32, 34, 0, 1001, 0, "a_c005_2."},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.file.nVer);
        ASSERT_TRUE(Write("old.dat", OldProgressFile(c.file)));
        cProgress p;
        p.m_nDecorate = p.m_bNextStart = p.m_nNextX = p.m_nNextY = p.m_nNextDir = 55;
        p.m_nBgmArg = p.m_bAutoSave = p.m_nResultHp = p.m_bMapReturn = p.m_nMapPrevX = p.m_nMapDir = 55;
        p.m_strStageKey = "before";
        ASSERT_EQ(p.Load("old.dat"), 1);

        EXPECT_EQ(p.m_nMapX, 1);
        EXPECT_EQ(p.m_nMapY, 2);
        EXPECT_EQ(p.m_nDecorate, c.nDecorate);
        EXPECT_EQ(p.m_nWorld, c.nWorld);
        EXPECT_EQ(p.m_nResultHp, c.nResultHp);
        EXPECT_EQ(p.m_nBgmArg, c.nBgmArg);
        EXPECT_EQ(p.m_nMapDir, c.nMapDir);
        EXPECT_EQ(p.m_bMapReturn, c.nMapReturn);
        EXPECT_EQ(p.m_nMapPrevX, c.nMapPrevX);
        EXPECT_EQ(p.m_nWorldReached, c.nWorldReached);
        EXPECT_EQ(p.m_bAutoSave, c.nAutoSave);
        EXPECT_EQ(p.m_nRankKind, c.nRankKind);   // outside 0..4, kept as stored
        EXPECT_EQ(p.m_bNextStart, c.nNextStart);
        EXPECT_EQ(p.m_nNextX, c.nNextX);
        EXPECT_EQ(p.m_nNextDir, c.nNextDir);
        EXPECT_EQ(p.m_strStageFile, "c07.");
        EXPECT_EQ(p.m_strStageKey, c.file.bKey ? "c07_key." : "before");
        EXPECT_EQ(p.m_strName, "bob");
        EXPECT_EQ(p.m_stSaveTime.wYear, 2020);
        EXPECT_EQ(p.m_stSaveTime.wMinute, 30);

        ASSERT_EQ(p.m_vCarryFlag.size(), 25u);
        EXPECT_EQ(p.m_vCarryFlag[0], c.nCarryFlag0);
        EXPECT_EQ(p.m_vCarryFlag[1], 1);
        ASSERT_EQ(p.m_vCommonVar.size(), c.nVarsAfter);
        EXPECT_EQ(p.m_vCommonVar[c.nVarsAfter - 1], c.nVarsAfter == 1002 || c.file.nVars == 1001 ? 9 : 0);
        EXPECT_EQ(p.m_vStageFlag[0], c.nStageFlag0);
        EXPECT_EQ(p.m_vStageFlag[5], 1);
        ASSERT_EQ(p.m_vBestResult.size(), 1u);
        EXPECT_EQ(p.m_vBestResult[0].m_strKey, c.pszResultKey);
        EXPECT_EQ(p.m_vBestResult[0].m_nBest, 77);
        EXPECT_EQ(p.m_vSaveChara.size(), 0u);
        ASSERT_EQ(p.m_vWorldResult.size(), 40u);   // follows the world count
        EXPECT_EQ(p.m_vWorldResult[0].m_nSecond, 50);
    }
}

TEST_F(ProgressTest, DamagedFilesChangeNothing) {
    cByteBuilder good = OldProgressFile({854, 35, true, true, true, 1001});
    struct CASE {
        const char* pszWhat;
        cByteBuilder b;
    };
    std::vector<CASE> cases;
    cases.push_back({"cut in the variables", cByteBuilder(good).Cut(8)});
    cases.push_back({"cut in the time", cByteBuilder().Raw(good.Bytes().data(), 4 + 4 + 35 * 4 + 40)});
    cases.push_back({"newer version", cByteBuilder().U32(855).Raw(good.Bytes().data() + 4, good.Size() - 4)});
    {
        // The variable count claims more than the bytes left.
        std::vector<uint8_t> v = good.Bytes();
        size_t nAt = v.size() - 1001 * 4 - 4;
        v[nAt + 3] = 0x10;
        cases.push_back({"variable count past the end", cByteBuilder().Raw(v.data(), v.size())});
    }
    cases.push_back({"field count above the fields", cByteBuilder().U32(854).I32(36)});
    for (CASE& c : cases) {
        ASSERT_TRUE(Write("bad.dat", c.b));
        cProgress p;
        p.m_strName = "keep";
        p.m_vCommonVar[3] = 3;
        EXPECT_EQ(p.Load("bad.dat"), 0) << c.pszWhat;
        EXPECT_EQ(p.m_strName, "keep") << c.pszWhat;
        EXPECT_EQ(p.m_vCommonVar[3], 3) << c.pszWhat;
        EXPECT_EQ(p.m_nMapX, 0) << c.pszWhat;
    }
}

TEST_F(ProgressTest, MapCellsAndRankKindOutOfRange) {
    struct CASE { int32_t x, y, wantX, wantY; };
    for (CASE c : {CASE{19, 14, 19, 14}, {4, 4, 4, 4}, {20, 3, 9, 3}, {3, 15, 3, 7}, {-1, -5, 9, 7}, {INT_MIN, INT_MAX, 9, 7}}) {
        cProgress p;
        p.m_nMapX = c.x;
        p.m_nMapY = c.y;
        p.m_nWorldReached = 99;
        p.m_nRankKind = c.x;   // a kind outside 0..4 is kept as stored
        ASSERT_EQ(p.Save("m.dat"), 1);
        cProgress back;
        ASSERT_EQ(back.Load("m.dat"), 1);
        EXPECT_EQ(back.m_nMapX, c.wantX) << c.x;
        EXPECT_EQ(back.m_nMapY, c.wantY) << c.y;
        EXPECT_EQ(back.m_nWorldReached, 40);
        EXPECT_EQ(back.m_nRankKind, c.x);
    }
}

TEST_F(ProgressTest, StageNamesAndDecoration) {
    struct CASE {
        const char* pszPath;
        int nDecorate, a, b;
        const char* pszFile;
        const char* pszKey;
        int bChain;
    };
    const CASE cases[] = {
        {"c03-1.stg4", 0, 0, 0, "c03.", "c03.", 1},
        {"x.stg4", 0, 0, 0, "x.", "x.", 0},
        {"a-10.stg4", 0, 0, 0, "a.", "a.", 1},   // "-1" matches the start of 10
        {"data\\stg4\\c03-1.stg4", 0, 0, 0, "data\\stg4\\c03.", "data\\stg4\\c03.", 1},
        {"c03-1.stg4", 1, 5, 2, "c03.", "c03_c005_2.", 1},
        {"b-2.stg4", 1, 123, -4, "b-2.", "b-2_c123_-4.", 0},
        {"noext", 0, 0, 0, "noext", "noext", 0},
    };
    for (const CASE& c : cases) {
        cProgress p;
        p.SetStageName(c.pszPath, c.nDecorate, c.a, c.b);
        EXPECT_EQ(p.m_strStageFile, c.pszFile) << c.pszPath;
        EXPECT_EQ(p.m_strStageKey, c.pszKey) << c.pszPath;
        EXPECT_EQ(p.m_bChain, c.bChain) << c.pszPath;
        EXPECT_EQ(p.m_nDecorateA, c.a);
    }
    struct DECO { const char* psz; int nDecorate, a, b; const char* pszWant; };
    for (DECO d : {DECO{"c03.", 1, 5, 2, "c03_c005_2."}, {"c03", 1, 5, 2, "c03_c005_2"}, {"c03.", 0, 5, 2, "c03."},
                   {"", 1, 0, 0, "_c000_0"}, {"c.", 1, 1000, 0, "c_c1000_0."}}) {
        std::string s = d.psz;
        DecorateName(s, d.nDecorate, d.a, d.b);
        EXPECT_EQ(s, d.pszWant);
    }
}

TEST_F(ProgressTest, StageResultsAndTotals) {
    cProgress p;
    p.m_nTotalScore = 10;
    p.AddStageResult("a.", "a.", 0, 0, 0, 100);
    EXPECT_EQ(p.m_nTotalScore, 110);
    p.AddStageResult("a.", "a.", 0, 0, 0, 150);   // better: the difference
    EXPECT_EQ(p.m_nTotalScore, 160);
    p.AddStageResult("a.", "a.", 0, 0, 0, 150);   // equal: nothing
    p.AddStageResult("a.", "a.", 0, 0, 0, 20);    // worse: nothing
    EXPECT_EQ(p.m_nTotalScore, 160);
    EXPECT_EQ(p.GetBestResult("a."), 150);
    p.AddStageResult("a.", "a_c001_1.", 1, 1, 1, 5);   // another key
    EXPECT_EQ(p.m_vBestResult.size(), 2u);
    EXPECT_EQ(p.GetBestResult("none."), 0);
    p.AddStageResult("b.", "b.", 0, 0, 0, INT_MAX);   // saturates
    EXPECT_EQ(p.m_nTotalScore, INT_MAX);

    // The sum counts the stages the map still holds.
    cWorldMap map;
    cWorldPlace place;
    cWorldStage st;
    st.m_nKind = WORLDSTAGE_STAGE;
    st.m_strFile = "a-1.stg4";
    place.m_vStage.push_back(st);
    map.m_vPlace.push_back(place);
    p.SumBestResults(map);
    EXPECT_EQ(p.m_nTotalScore, 150);
}

TEST_F(ProgressTest, RankKinds) {
    cRankingFlags& flags = recSystem.m_vRankingFlags[1];
    flags.m_vKind.assign(5, 0);
    cProgress p;
    p.m_nRankKind = 3;
    p.StepRankKind(1, 1);   // nothing enabled: unchanged
    EXPECT_EQ(p.m_nRankKind, 3);

    flags.m_vKind[2] = 1;   // only kind 2
    for (int n : {1, -1, 0, 7, INT_MIN}) {
        p.m_nRankKind = 4;
        p.StepRankKind(1, n);
        EXPECT_EQ(p.m_nRankKind, 2) << n;
    }
    flags.m_vKind.assign(5, 0);
    flags.m_vKind[0] = flags.m_vKind[3] = 1;
    struct CASE { int nFrom, n, nWant; };
    for (CASE c : {CASE{0, 1, 3}, {3, 1, 0}, {0, -1, 3}, {3, -1, 0}, {1, 0, 3}, {4, 0, 0}, {0, 0, 0}, {1, 1, 3},
                   {0, 5, 3}, {0, 4, 0}, {7, 0, 3}}) {
        p.m_nRankKind = c.nFrom;
        p.StepRankKind(1, c.n);
        EXPECT_EQ(p.m_nRankKind, c.nWant) << c.nFrom << " " << c.n;
    }
    p.m_nRankKind = 1;
    p.StepRankKind(9, 1);   // no such mode
    EXPECT_EQ(p.m_nRankKind, 1);
}

TEST_F(ProgressTest, CarryOverAndCheckpoint) {
    recSystem.m_vCarryOver.assign(25, 0);
    recSystem.m_vMissForget.assign(25, 0);
    for (int i : {CARRY_GRAPHIC, CARRY_EFFECT, CARRY_HP, CARRY_MAXHP, CARRY_TIME, CARRY_LIFE, CARRY_BGM})
        recSystem.m_vCarryOver[static_cast<size_t>(i)] = 1;
    recSystem.m_vMissForget[CARRY_HP] = 1;

    cCharaData hero;
    hero.m_nGraphic = 4;
    hero.m_nGraphicSheet = 0;
    hero.m_nGraphicRow = 2;
    hero.m_nMaxHp = 50;
    hero.m_nZ = 6;   // not carried
    cProgress p;
    p.StoreCarryOver(0, hero, 30, 8, 3, 1, 2, 120, 4, 9);
    EXPECT_EQ(p.m_bCarryOver, 1);
    EXPECT_EQ(p.m_vCarryFlag[CARRY_HP], 1);
    EXPECT_EQ(p.m_vCarryFlag[CARRY_SP], 0);

    cCharaData next;
    cStage stage;
    p.RestoreCarryOver(0, next, stage);
    EXPECT_EQ(next.m_nGraphic, 4);
    EXPECT_EQ(next.m_nGraphicSheet, 1);   // a stored sheet 0 comes back as 1
    EXPECT_EQ(next.m_nGraphicRow, 2);
    EXPECT_EQ(next.m_nMaxHp, 50);
    EXPECT_EQ(next.m_nZ, 3);
    EXPECT_EQ(next.m_nStartEffect, 3);
    EXPECT_EQ(next.m_nStartEffectValue, 2);
    EXPECT_EQ(stage.m_nTimeLimit, 120);
    EXPECT_EQ(stage.m_nBgm, 9);
    EXPECT_EQ(p.m_nLife, 4);
    int32_t nHp = -1, nSp = -1;
    EXPECT_EQ(p.RestoreCarryOverExtra(0, &nHp, &nSp), 1);
    EXPECT_EQ(nHp, 30);
    EXPECT_EQ(nSp, -1);

    // A miss forgets the items marked so.
    p.ClearCarryOver();
    EXPECT_EQ(p.m_vCarryFlag[CARRY_HP], 0);
    EXPECT_EQ(p.m_vCarryFlag[CARRY_GRAPHIC], 1);
    EXPECT_EQ(p.RestoreCarryOverExtra(0, &nHp, &nSp), 0);
    // Hero indexes out of range do nothing.
    p.RestoreCarryOver(5, next, stage);
    p.StoreCarryOver(-1, hero, 0, 0, 0, 0, 0, 0, 0, 0);
    p.StoreCarryOver(2, hero, 1, 1, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(p.m_vSaveChara.size(), 3u);

    // Checkpoint: the retry setting of the mode decides about the variables.
    p.m_vCommonVar[1] = 11;
    p.m_nLife = 3;
    p.m_nPlayScore = 100;
    p.StoreCheckpoint();
    p.m_vCommonVar[1] = 99;
    p.m_nLife = 1;
    p.m_nPlayScore = 500;
    recSystem.m_bStoryRetryRestore = 0;
    p.RestoreCheckpoint(0, 0, 0);
    EXPECT_EQ(p.m_vCommonVar[1], 99);
    EXPECT_EQ(p.m_nPlayScore, 100);
    EXPECT_EQ(p.m_nLife, 1);
    p.RestoreCheckpoint(0, 3, 0);   // a playback always restores
    EXPECT_EQ(p.m_vCommonVar[1], 11);
    p.m_vCommonVar[1] = 99;
    p.RestoreCheckpoint(1, 0, 0);
    EXPECT_EQ(p.m_vCommonVar[1], 11);
    EXPECT_EQ(p.m_nLife, 3);
    // The mode of the game state, and a direct start's own setting.
    cGameState state;
    state.m_nGameMode = GAMEMODE_CHALLENGE;
    SetGameState(&state);
    recSystem.m_bChallengeRetryRestore = 1;
    recSystem.m_bDirectRetryRestore = 0;
    p.m_vCommonVar[1] = 99;
    bFreeStageStart = 1;
    p.RestoreCheckpoint(0);
    EXPECT_EQ(p.m_vCommonVar[1], 99);
    bFreeStageStart = 0;
    p.RestoreCheckpoint(0);
    EXPECT_EQ(p.m_vCommonVar[1], 11);
    SetGameState(nullptr);

    p.m_nRound = 2;
    p.m_vStageFlag[7] = 1;
    p.m_nMapX = 1;
    p.ResetWorldMap();
    EXPECT_EQ(p.m_nRound, 3);
    EXPECT_EQ(p.m_vStageFlag[7], 0);
    EXPECT_EQ(p.m_vStageFlag[0], 1);
    EXPECT_EQ(p.m_nMapX, 9);
}

}  // namespace
