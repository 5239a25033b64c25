// The database lists: loading order and failures, repairs of older files,
// the step patterns built from animations and effects.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ProjectTestUtil.h"
#include "project/Database.h"
#include "project/Paths.h"
#include "platform/FileSystem.h"

namespace {

std::vector<std::string> vReports;
void CaptureReport(const char* psz) { vReports.push_back(psz); }

class DatabaseTest : public cProjectTest {
protected:
    DatabaseTest() {
        vReports.clear();
        SetDataLoadReporter(&CaptureReport);
        m_dir.MakeDir("data/database");
    }
    ~DatabaseTest() override { SetDataLoadReporter(nullptr); }
};

// Bodies assembled from the field tables, independent of the writers.
void AnimeFrame(cByteBuilder& b, int cell, int time, int lock) {
    b.I32(3).I32(cell).I32(time).I32(lock).I32(0);
}
void Anime(cByteBuilder& b, uint32_t ver, const char* name, const std::vector<std::array<int, 3>>& frames) {
    if (ver >= 55) b.I32(3).I16(11).U8(22).I16(33);
    else b.I32(0);
    b.I32(1).Str(name).Count(static_cast<int>(frames.size()));
    for (auto& f : frames) AnimeFrame(b, f[0], f[1], f[2]);
}
void AnimeSet(cByteBuilder& b, uint32_t ver, int slots, const char* slotName = "x") {
    if (ver >= 119) b.I32(3).I32(5).I32(9).I32(7);
    else b.I32(2).I32(5).I32(9);
    b.I32(1).Str("set").Count(slots);
    for (int i = 0; i < slots; i++) Anime(b, ver, slotName, {{1, 2, 0}});
}
void SwordType(cByteBuilder& b, int reserved, int parts) {
    b.I32(1).I32(reserved).I32(3).Str("sw").Str("a.bmp").Str("b.bmp").Count(parts);
    for (int i = 0; i < parts; i++) b.I32(10).I32(1).I32(2).I32(0).I32(1).I32(0).I32(0).I32(0).I32(16).I32(16).I32(2).I32(0);
}
void EffectDef(cByteBuilder& b, int kind, std::array<int, 5> p) {
    b.I32(2).I32(kind);
    for (int v : p) b.I32(v);
    b.I32(1).Str("fx");
}
cByteBuilder ListFile(uint32_t ver, int n, const std::function<void(cByteBuilder&)>& entry) {
    cByteBuilder b;
    b.U32(ver).Count(n);
    for (int i = 0; i < n; i++) entry(b);
    return b;
}

}  // namespace

TEST_F(DatabaseTest, DefaultsWrittenAndLoadedBackAreEqual) {
    cDatabase db;
    db.m_vAnime[1].m_vFrame.push_back(cAnimeFrame());
    db.m_vAnime[1].m_vFrame[1].m_nCell = 5;
    db.m_vBgm[1].m_nVolume = 40;
    // Loading clamps the effect times (divisors) and zeroes the kind of the
    // none entries: give the defaults values that survive both.
    for (auto* pList : {&db.m_vCharaEffect}) for (auto& e : *pList) e.m_anParam[0] = 77;
    for (auto& e : db.m_vScrEffect) e.m_anParam[0] = 77;
    db.m_vCharaEffect[0].m_nKind = 0;
    db.m_vScrEffect[0].m_nKind = 0;
    ASSERT_EQ(db.SaveFiles(), 1);

    cDatabase back;
    back.m_vAnime.clear();
    back.m_vBgm.clear();
    ASSERT_EQ(back.LoadFiles(), 1);
    EXPECT_TRUE(vReports.empty());
    for (int i = 0; i < DBLIST_COUNT; i++) {
        std::string strA = std::string("a_") + std::to_string(i), strB = std::string("b_") + std::to_string(i);
        ASSERT_EQ(db.SaveList(i, strA.c_str()), 1);
        ASSERT_EQ(back.SaveList(i, strB.c_str()), 1);
        EXPECT_EQ(ReadHostFile(strA), ReadHostFile(strB)) << "list " << i;
    }
    EXPECT_EQ(back.m_vCharaEffect[0].m_nKind, 0);   // none entry forced to kind 0
    EXPECT_EQ(back.m_vAnime[0].m_strName, "なし");
}

TEST_F(DatabaseTest, NewerFileGivesTheNewerVersionText) {
    cDatabase db;
    ASSERT_EQ(db.SaveFiles(), 1);
    ASSERT_TRUE(Write("data\\database\\Anime.dat", ListFile(855, 0, nullptr)));
    EXPECT_EQ(db.LoadFiles(), 0);
    ASSERT_EQ(vReports.size(), 1u);
    EXPECT_EQ(vReports[0],
              "data\\database\\Anime.dat の読み込みに失敗しました！\nソフトより上位のバージョンのファイルは使用できません。");
}

TEST_F(DatabaseTest, MissingSoundFileStopsTheLoadInOrder) {
    cDatabase src;
    src.m_vPicture.resize(5);
    src.m_vBgm.resize(6);
    ASSERT_EQ(src.SaveFiles(), 1);
    ASSERT_TRUE(FsRemove("data\\database\\Sound.dat"));

    cDatabase db;
    EXPECT_EQ(db.LoadFiles(), 0);
    ASSERT_EQ(vReports.size(), 1u);
    EXPECT_EQ(vReports[0], "data\\database\\Sound.dat の読み込みに失敗しました！");
    EXPECT_EQ(db.m_vPicture.size(), 5u);   // read before the failure
    EXPECT_EQ(db.m_vBgm.size(), 2u);       // after it: untouched
}

TEST_F(DatabaseTest, DamagedFilesFailCleanlyAndKeepTheList) {
    struct CASE {
        const char* pszName;
        cByteBuilder bytes;
    };
    std::vector<CASE> cases;
    {
        cByteBuilder b = ListFile(854, 2, [](cByteBuilder& e) { Anime(e, 854, "a", {{1, 2, 0}}); });
        b.Cut(3);
        cases.push_back({"truncated entry", b});
    }
    {
        cByteBuilder b;
        b.U32(854).Count(1000000);
        cases.push_back({"absurd count", b});
    }
    {
        cByteBuilder b;
        b.U32(854).Count(1).I32(3).I16(0).U8(0).I16(0).I32(1).I32(0x7FFFFFFF);
        cases.push_back({"absurd string length", b});
    }
    for (CASE& c : cases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_TRUE(Write("x.dat", c.bytes));
        cDatabase db;
        EXPECT_EQ(db.LoadList(DBLIST_ANIME, "x.dat"), 0);
        ASSERT_EQ(db.m_vAnime.size(), 2u);
        EXPECT_EQ(db.m_vAnime[1].m_strName, "アクションA");
    }
}

TEST_F(DatabaseTest, EveryListKeepsItsEntryZero) {
    cDatabase db;
    for (int i = 0; i < DBLIST_COUNT; i++) {
        ASSERT_TRUE(Write(GetDatabaseListPath(i), ListFile(854, 0, nullptr)));
    }
    ASSERT_EQ(db.LoadFiles(), 1);
    for (int i = 0; i < DBLIST_COUNT; i++) EXPECT_EQ(db.GetListCount(i), 1) << "list " << i;
    EXPECT_EQ(db.m_vCharaEffect[0].m_nKind, 0);
    EXPECT_EQ(db.m_vScrEffect[0].m_nKind, 0);
}

// The entry 0 a list read creates for a file of no entries is what reading
// that entry would give: writing the list and reading it back changes
// nothing.
TEST_F(DatabaseTest, AnEmptyListFileReadsToAFixedPoint) {
    for (int i = 0; i < DBLIST_COUNT; i++) {
        ASSERT_TRUE(Write("empty.dat", ListFile(854, 0, nullptr)));
        cDatabase db;
        ASSERT_EQ(db.LoadList(i, "empty.dat"), 1) << "list " << i;
        ASSERT_EQ(db.SaveList(i, "once.dat"), 1);
        std::vector<uint8_t> once = ReadHostFile(Host("once.dat"));
        cDatabase again;
        ASSERT_EQ(again.LoadList(i, "once.dat"), 1);
        ASSERT_EQ(again.SaveList(i, "twice.dat"), 1);
        EXPECT_EQ(ReadHostFile(Host("twice.dat")), once) << "list " << i;
    }
    // The character effect of kind 1 (burst) keeps its smallest time, 1.
    cDatabase db;
    ASSERT_TRUE(Write("empty.dat", ListFile(854, 0, nullptr)));
    ASSERT_EQ(db.LoadList(DBLIST_CHARAEFFECT, "empty.dat"), 1);
    EXPECT_EQ(db.m_vCharaEffect[0].m_nKind, 1);
    EXPECT_EQ(db.m_vCharaEffect[0].m_anParam[0], 1);
}

TEST_F(DatabaseTest, SwordTypeListsOfOldFilesHoldAtMost128) {
    for (auto [ver, expected] : {std::pair<uint32_t, size_t>{827, 128}, {828, 200}}) {
        ASSERT_TRUE(Write("sw.dat", ListFile(ver, 200, [](cByteBuilder& b) { SwordType(b, 7, 1); })));
        cDatabase db;
        ASSERT_EQ(db.LoadList(DBLIST_SWORDTYPE, "sw.dat"), 1);
        EXPECT_EQ(db.m_vSwordType.size(), expected) << "version " << ver;
        EXPECT_EQ(db.m_vSwordType[0].m_nReserved, 7);
    }
}

TEST_F(DatabaseTest, SwordTypeWithNoPartsIsSafeToAsk) {
    ASSERT_TRUE(Write("sw.dat", ListFile(854, 1, [](cByteBuilder& b) { SwordType(b, 0, 0); })));
    cDatabase db;
    ASSERT_EQ(db.LoadList(DBLIST_SWORDTYPE, "sw.dat"), 1);
    const cSwordType& sw = db.m_vSwordType[0];
    EXPECT_EQ(sw.GetPartCount(), 0);
    EXPECT_EQ(sw.GetPart(0).m_nWidth, 0);
    EXPECT_EQ(sw.GetTotalTime(), 0);
}

TEST_F(DatabaseTest, AnimationSetSlotRepairs) {
    struct CASE {
        uint32_t nVer;
        int nSlots;
        int nExpected;
        bool bRenamed;    // slots 2 and 3 carry the standard names
        int nFlyOffset;   // from the file (7) or the template (0)
    };
    const CASE cases[] = {
        {100, 2, 4, true, 0}, {100, 6, 4, true, 0}, {125, 3, 4, true, 7},
        {128, 2, 4, false, 7}, {128, 6, 6, false, 7}, {854, 0, 4, false, 7},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.nVer << ", slots " << c.nSlots);
        ASSERT_TRUE(Write("as.dat", ListFile(c.nVer, 1, [&](cByteBuilder& b) { AnimeSet(b, c.nVer, c.nSlots); })));
        cDatabase db;
        ASSERT_EQ(db.LoadList(DBLIST_ANIMESET, "as.dat"), 1);
        const cAnimeSet& set = db.m_vAnimeSet[0];
        ASSERT_EQ(static_cast<int>(set.m_vAnime.size()), c.nExpected);
        EXPECT_EQ(set.m_nFlyOffset, c.nFlyOffset);
        EXPECT_EQ(set.m_nInvincibleOffset, 5);
        if (c.nSlots > 0) { EXPECT_EQ(set.m_vAnime[0].m_strName, "x"); }
        if (c.bRenamed) {
            EXPECT_EQ(set.m_vAnime[2].m_strName, "飛行");
            EXPECT_EQ(set.m_vAnime[3].m_strName, "飛行移動");
        } else if (c.nSlots > 2) {
            EXPECT_EQ(set.m_vAnime[2].m_strName, "x");
        }
        for (int i = c.nSlots; i < c.nExpected; i++) {
            ASSERT_EQ(set.m_vAnime[i].m_vFrame.size(), 1u);
            EXPECT_EQ(set.m_vAnime[i].m_vFrame[0].m_nTime, 1);
        }
    }
}

TEST_F(DatabaseTest, AnimationsOfOldFilesAndNegativeCells) {
    ASSERT_TRUE(Write("an.dat", ListFile(54, 3, [](cByteBuilder& b) { Anime(b, 54, "a", {{-3, 2, 0}}); })));
    cDatabase db;
    ASSERT_EQ(db.LoadList(DBLIST_ANIME, "an.dat"), 1);
    const cAnime& an = db.m_vAnime[2];
    EXPECT_EQ(an.m_nEditValue1, 0);
    EXPECT_EQ(an.m_byEditValue2, 1);
    EXPECT_EQ(an.m_nEditValue3, 0);
    EXPECT_EQ(an.m_vFrame[0].m_nCell, 0);   // a negative cell would be a control code
}

TEST_F(DatabaseTest, CarriageReturnsAreStrippedEverywhere) {
    ASSERT_TRUE(Write("as.dat", ListFile(854, 1, [](cByteBuilder& b) { AnimeSet(b, 854, 4, "a\r\nb"); })));
    cDatabase db;
    ASSERT_EQ(db.LoadList(DBLIST_ANIMESET, "as.dat"), 1);
    EXPECT_EQ(db.m_vAnimeSet[0].m_vAnime[3].m_strName, "a\nb");
}

TEST_F(DatabaseTest, AnimePatterns) {
    struct STEP {
        int nFrame, nTime, bLock;
        bool operator==(const STEP&) const = default;
    };
    cDatabase db;
    db.m_vAnime.resize(4);
    for (int i = 0; i < 3; i++) {
        db.m_vAnime[i].m_vFrame.clear();
        for (int k = 0; k < 3; k++) {
            cAnimeFrame f;
            f.m_nCell = 10 * i + k;
            f.m_nTime = k + 1;
            f.m_bLock = k == 1;
            db.m_vAnime[i].m_vFrame.push_back(f);
        }
    }
    db.m_vAnime[3].m_vFrame.clear();   // no frames
    std::vector<std::vector<STEP>> patterns;
    BuildAnimePatternsFrom<STEP>(db, patterns);
    ASSERT_EQ(patterns.size(), 4u);
    EXPECT_EQ(patterns[0], (std::vector<STEP>{{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {-2, 0, 1}}));
    EXPECT_EQ(patterns[2], (std::vector<STEP>{{20, 6, 0}, {21, 12, 1}, {22, 18, 1}, {-4, 0, 0}}));
    EXPECT_EQ(patterns[3], (std::vector<STEP>{{-4, 0, 0}}));

    db.m_vAnime[0].m_vFrame.clear();
    BuildAnimePatternsFrom<STEP>(db, patterns);
    EXPECT_EQ(patterns[0], (std::vector<STEP>{{-2, 0, 1}}));

    db.m_vEffect.resize(2);
    db.m_vEffect[1].m_vFrame[0].m_nTime = 3;
    BuildEffectPatternsFrom<STEP>(db, patterns);
    EXPECT_EQ(patterns[1], (std::vector<STEP>{{0, 18, 0}, {-4, 0, 0}}));
}

TEST_F(DatabaseTest, EffectRepairsOfOldFiles) {
    struct CASE {
        bool bScreen;
        int nKind;
        uint32_t nVer;
        int nSlot;
        int nExpected;
    };
    const CASE cases[] = {
        {false, 4, 510, 4, 2}, {false, 4, 511, 4, 1}, {false, 5, 510, 4, 2}, {false, 10, 510, 3, 2},
        {false, 6, 510, 4, 0}, {true, 6, 510, 4, 8},  {true, 7, 300, 4, 10}, {true, 10, 510, 3, 8},
        {true, 7, 511, 4, 1},   // not repaired, but a roughness of 0 is clamped
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.bScreen ? "screen" : "chara") << " kind " << c.nKind << " v" << c.nVer);
        ASSERT_TRUE(Write("fx.dat", ListFile(c.nVer, 2, [&](cByteBuilder& b) { EffectDef(b, c.nKind, {5, 0, 0, 0, 0}); })));
        cDatabase db;
        int nList = c.bScreen ? DBLIST_SCREFFECT : DBLIST_CHARAEFFECT;
        ASSERT_EQ(db.LoadList(nList, "fx.dat"), 1);
        int nValue = c.bScreen ? db.m_vScrEffect[1].m_anParam[c.nSlot] : db.m_vCharaEffect[1].m_anParam[c.nSlot];
        EXPECT_EQ(nValue, c.nExpected);
    }
}

TEST_F(DatabaseTest, EffectDivisorsAreClampedToTheirRanges) {
    // Character wave: time, start, end, count 2..16, roughness 1..4.
    ASSERT_TRUE(Write("fx.dat", ListFile(854, 1, [](cByteBuilder& b) { EffectDef(b, 4, {0, -5, 5000, 0, 99}); })));
    cDatabase db;
    ASSERT_EQ(db.LoadList(DBLIST_CHARAEFFECT, "fx.dat"), 1);
    const int* p = db.m_vCharaEffect[0].m_anParam;
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], -5);     // not a divisor: kept
    EXPECT_EQ(p[2], 5000);
    EXPECT_EQ(p[3], 2);
    EXPECT_EQ(p[4], 4);
    // Screen mosaic strengths 1..240.
    ASSERT_TRUE(Write("fx.dat", ListFile(854, 1, [](cByteBuilder& b) { EffectDef(b, 13, {10, 0, 999, 0, 0}); })));
    ASSERT_EQ(db.LoadList(DBLIST_SCREFFECT, "fx.dat"), 1);
    EXPECT_EQ(db.m_vScrEffect[0].m_anParam[1], 1);
    EXPECT_EQ(db.m_vScrEffect[0].m_anParam[2], 240);
}

TEST_F(DatabaseTest, MediaRecordsOfOldFiles) {
    // Bmp_CharaExc of version 160: no large-cell fields, template values kept.
    ASSERT_TRUE(Write("bc.dat", ListFile(160, 3, [](cByteBuilder& b) { b.I32(1).I32(9).I32(2).Str("n").Str("f.bmp"); })));
    cDatabase db;
    ASSERT_EQ(db.LoadList(DBLIST_BMP_CHARAEXC, "bc.dat"), 1);
    const cBmpCharaExc& bc = db.m_vBmpCharaExc[2];
    EXPECT_EQ(bc.m_nReserved, 9);   // stored from 152, kept from 153
    EXPECT_EQ(bc.m_bLargeCells, 0);
    EXPECT_EQ(bc.m_nCellSize, 2);
    int x, y;
    bc.GetCellPos(17, &x, &y);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 32);

    // Cell size 0 or 40 would divide by zero: clamped.
    for (auto [stored, clamped] : {std::pair{0, 1}, {40, 16}, {4, 4}}) {
        ASSERT_TRUE(Write("bc.dat", ListFile(854, 1, [&](cByteBuilder& b) {
            b.I32(3).I32(0).I32(1).I32(stored).I32(2).Str("n").Str("f.bmp");
        })));
        ASSERT_EQ(db.LoadList(DBLIST_BMP_CHARAEXC, "bc.dat"), 1);
        EXPECT_EQ(db.m_vBmpCharaExc[0].m_nCellSize, clamped);
    }
    db.m_vBmpCharaExc[0].GetCellPos(5, &x, &y);
    EXPECT_EQ(x, 128);
    EXPECT_EQ(y, 128);

    // Bgm.dat of 813: no volume field, new entries play at 100.
    ASSERT_TRUE(Write("bg.dat", ListFile(813, 3, [](cByteBuilder& b) { b.I32(1).I32(0).I32(2).Str("n").Str("m.ogg"); })));
    ASSERT_EQ(db.LoadList(DBLIST_BGM, "bg.dat"), 1);
    EXPECT_EQ(db.m_vBgm[2].m_nVolume, 100);
}

TEST_F(DatabaseTest, EffectRunsArePreparedBothWays) {
    struct RUN {
        int nIndex = -1, bReverse = -1;
        void Init(int i, int b) { nIndex = i; bReverse = b; }
    };
    cDatabase db;
    db.m_vCharaEffect.resize(3);
    std::vector<RUN> runs(7), runs2;
    BuildCharaEffectRunsFrom<RUN>(db, runs, runs2);
    ASSERT_EQ(runs.size(), 3u);
    ASSERT_EQ(runs2.size(), 3u);
    EXPECT_EQ(runs[2].nIndex, 2);
    EXPECT_EQ(runs[2].bReverse, 0);
    EXPECT_EQ(runs2[1].bReverse, 1);
    BuildScrEffectRunsFrom<RUN>(db, runs, runs2);
    EXPECT_EQ(runs.size(), 2u);
}

TEST(SoundTable, NumberingAndSize) {
    EXPECT_EQ(GetSoundTableIndex(1), 17);
    EXPECT_EQ(GetSoundTableIndex(2), 18);
    EXPECT_EQ(GetSoundTableSize(3), 19);
    EXPECT_EQ(GetSoundTableSize(1), 17);
    EXPECT_EQ(GetSoundTableSize(0), 17);   // an empty Sound.dat keeps every system sound
}
