// The world map: resizing, validation, reading older files, the stage search.
#include <gtest/gtest.h>

#include "ProjectTestUtil.h"
#include "project/WorldMap.h"

namespace {

class WorldMapTest : public cProjectTest {};

cByteBuilder BuildWorldMap(uint32_t v, int w, int h, int pitch, int sx, int sy, int nChips, std::vector<int32_t> cells,
                           std::vector<std::pair<int, int>> places) {
    cByteBuilder b;
    b.U32(v).I32(8).I32(w).I32(h).I32(pitch).I32(5).I32(sx).I32(sy).I32(16).I32(0).I32(2).Str("W").Str("");
    b.Count(nChips);
    for (int i = 0; i < nChips; i++) b.I32(3).I32(0).I32(0).I32(i).I32(2).Str("c").Str("");
    b.Count(static_cast<int>(cells.size()));
    for (int32_t c : cells) b.I32(c);
    b.Count(static_cast<int>(places.size()));
    for (auto [x, y] : places) {
        b.I32(2).I32(x).I32(y).I32(1).Str("p").Count(1);
        int nFields = 10 + (v >= 209 ? 1 : 0) + (v >= 758 ? 3 : 0);
        b.I32(nFields);
        for (int k = 0; k < nFields; k++) b.I32(k == 10 ? 55 : 0);
        b.I32(2).Str("").Str("c01-1.stg4");
    }
    b.Count(0);
    return b;
}

}  // namespace

TEST_F(WorldMapTest, SetSize) {
    struct CASE {
        int w, h;
        int nResult, nPitch, nShift;
    };
    const CASE cases[] = {
        {20, 15, 1, 32, 5}, {33, 2, 1, 64, 6}, {1, 1, 1, 1, 0}, {32, 1, 1, 32, 5},
        {0, 5, 0, 32, 5},   {5, -1, 0, 32, 5}, {100000, 2, 0, 32, 5},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        cWorldMap map;   // 20 x 15
        EXPECT_EQ(map.SetSize(c.w, c.h), c.nResult);
        EXPECT_EQ(map.m_nPitch, c.nPitch);
        EXPECT_EQ(map.m_nPitchShift, c.nShift);
        EXPECT_EQ(map.m_vCell.size(), static_cast<size_t>(map.m_nPitch * map.m_nHeight));
    }
}

TEST_F(WorldMapTest, ResizingKeepsCellsInPlace) {
    for (auto [w, h] : {std::pair{40, 20}, {10, 10}}) {
        cWorldMap map;
        for (int y = 0; y < 15; y++)
            for (int x = 0; x < 20; x++) map.SetCell(x, y, x + 100 * y);
        ASSERT_EQ(map.SetSize(w, h), 1);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                ASSERT_EQ(map.GetCell(x, y), (x < 20 && y < 15) ? x + 100 * y : 0) << x << "," << y;
    }
}

TEST_F(WorldMapTest, Validate) {
    struct CASE {
        const char* pszName;
        std::function<void(cWorldMap&)> fnSet;
        std::function<void(const cWorldMap&)> fnCheck;
    };
    const CASE cases[] = {
        {"start beyond", [](cWorldMap& m) { m.m_nStartX = 30; m.m_nStartY = 5; },
         [](const cWorldMap& m) { EXPECT_EQ(m.m_nStartX, 19); EXPECT_EQ(m.m_nStartY, 5); }},
        {"negative start", [](cWorldMap& m) { m.m_nStartX = -4; m.m_nStartY = -1; },
         [](const cWorldMap& m) { EXPECT_EQ(m.m_nStartX, 0); EXPECT_EQ(m.m_nStartY, 0); }},
        {"cell past the chips", [](cWorldMap& m) { m.m_vChip.resize(3); m.SetCell(4, 4, 3); m.SetCell(5, 4, -1); m.SetCell(6, 4, 2); },
         [](const cWorldMap& m) { EXPECT_EQ(m.GetCell(4, 4), 0); EXPECT_EQ(m.GetCell(5, 4), 0); EXPECT_EQ(m.GetCell(6, 4), 2); }},
        {"places outside", [](cWorldMap& m) {
             m.m_vPlace.resize(4);
             m.m_vPlace[0].m_nX = 25; m.m_vPlace[0].m_nY = 3;
             m.m_vPlace[1].m_nX = 25; m.m_vPlace[1].m_nY = 4;
             m.m_vPlace[2].m_nX = 2; m.m_vPlace[2].m_nY = 3;
             m.m_vPlace[3].m_nX = -2; m.m_vPlace[3].m_nY = 15;
         },
         [](const cWorldMap& m) { ASSERT_EQ(m.m_vPlace.size(), 1u); EXPECT_EQ(m.m_vPlace[0].m_nX, 2); }},
        {"many places, every other one outside", [](cWorldMap& m) {
             m.m_vPlace.resize(1000);
             for (int i = 0; i < 1000; i++) {
                 m.m_vPlace[static_cast<size_t>(i)].m_nX = i % 2 ? 20 : (i / 2) % 20;
                 m.m_vPlace[static_cast<size_t>(i)].m_nY = (i / 2) % 15;
             }
         },
         [](const cWorldMap& m) {
             ASSERT_EQ(m.m_vPlace.size(), 500u);
             for (int k = 0; k < 500; k++) {
                 EXPECT_EQ(m.m_vPlace[static_cast<size_t>(k)].m_nX, k % 20) << k;
                 EXPECT_EQ(m.m_vPlace[static_cast<size_t>(k)].m_nY, k % 15) << k;
             }
         }},
        {"no chips", [](cWorldMap& m) { m.m_vChip.clear(); m.SetCell(1, 1, 1); },
         [](const cWorldMap& m) { EXPECT_EQ(m.m_vChip.size(), 1u); EXPECT_EQ(m.GetCell(1, 1), 0); }},
        {"pitch from the width", [](cWorldMap& m) { m.m_nPitch = 4; m.m_nPitchShift = 2; m.m_vCell.resize(3); },
         [](const cWorldMap& m) { EXPECT_EQ(m.m_nPitch, 32); EXPECT_EQ(m.m_vCell.size(), 480u); }},
        {"negative size", [](cWorldMap& m) { m.m_nWidth = -3; m.m_nHeight = 0; },
         [](const cWorldMap& m) { EXPECT_EQ(m.m_nWidth, 1); EXPECT_EQ(m.m_nHeight, 1); EXPECT_EQ(m.m_vCell.size(), 1u); }},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.pszName);
        cWorldMap map;
        map.m_vChip.resize(std::max<size_t>(map.m_vChip.size(), 1));
        c.fnSet(map);
        map.Validate();
        c.fnCheck(map);
    }
}

TEST_F(WorldMapTest, ReadingFilesOfOldAndCurrentVersions) {
    // A current file with a place outside and a stored pitch that lies.
    ASSERT_TRUE(Write("wm.dat", BuildWorldMap(854, 20, 15, 8, 30, 5, 2, std::vector<int32_t>(20, 1),
                                              {{25, 3}, {3, 4}})));
    cWorldMap map;
    ASSERT_EQ(map.Load("wm.dat"), 1);
    EXPECT_EQ(map.m_nPitch, 32);
    EXPECT_EQ(map.m_vCell.size(), 480u);
    EXPECT_EQ(map.m_nStartX, 19);
    ASSERT_EQ(map.m_vPlace.size(), 1u);
    EXPECT_EQ(map.m_vPlace[0].m_vStage[0].m_nNeedTotal, 55);
    EXPECT_EQ(map.m_vPlace[0].m_vStage[0].m_nDecorateA, 0);   // stored
    EXPECT_EQ(map.m_vChip.size(), 2u);

    // Version 811: the ten standard chip kinds, whatever the file stored.
    ASSERT_TRUE(Write("wm.dat", BuildWorldMap(811, 20, 15, 32, 1, 1, 3, {}, {{1, 1}})));
    ASSERT_EQ(map.Load("wm.dat"), 1);
    ASSERT_EQ(map.m_vChip.size(), 10u);
    EXPECT_EQ(map.m_vChip[4].m_bBlock, 1);
    EXPECT_EQ(map.m_vChip[5].m_bBlock, 0);
    EXPECT_EQ(map.m_vChip[9].m_nPicture, 9);
    EXPECT_EQ(map.m_vChip[0].m_strName, "移動不可");

    // Version 208: no total-score condition.
    ASSERT_TRUE(Write("wm.dat", BuildWorldMap(208, 20, 15, 32, 1, 1, 3, {}, {{1, 1}})));
    ASSERT_EQ(map.Load("wm.dat"), 1);
    EXPECT_EQ(map.m_vPlace[0].m_vStage[0].m_nNeedTotal, 0);
    EXPECT_EQ(map.m_vPlace[0].m_vStage[0].m_nDecorateA, 1);   // template value

    // A truncated file fails.
    cByteBuilder b = BuildWorldMap(854, 20, 15, 32, 1, 1, 3, {}, {{1, 1}});
    b.Cut(6);
    ASSERT_TRUE(Write("wm.dat", b));
    EXPECT_EQ(map.Load("wm.dat"), 0);
}

TEST_F(WorldMapTest, DefaultsWrittenAndLoadedBackAreEqual) {
    cWorldMap map;
    map.SetCell(3, 2, 0);
    map.m_vPlace.resize(1);
    map.m_vPlace[0].m_nX = 3;
    map.m_vPlace[0].m_vStage.resize(2);
    map.m_vPlace[0].m_vStage[1].m_strFile = "c02-1.stg4";
    std::vector<uint8_t> bytes = RecordBytes(map);
    cWorldMap back;
    back.m_vDefaultPlace.clear();
    ASSERT_EQ(back.Load("rec.tmp.dat"), 1);
    EXPECT_EQ(RecordBytes(back, "b.dat"), bytes);
    EXPECT_EQ(back.m_vDefaultPlace[0].m_strName, "デフォルト");
}

TEST_F(WorldMapTest, HasStage) {
    cWorldMap map;
    map.m_vPlace.resize(2);
    map.m_vPlace[0].m_vStage.resize(2);
    map.m_vPlace[0].m_vStage[0].m_strFile = "data\\stg4\\c01-1.stg4";
    map.m_vPlace[0].m_vStage[1].m_strFile = "c03";
    map.m_vPlace[0].m_vStage[1].m_bDecorate = 1;
    map.m_vPlace[0].m_vStage[1].m_nDecorateA = 2;
    map.m_vPlace[0].m_vStage[1].m_nDecorateB = 5;
    map.m_vPlace[1].m_vStage.resize(1);
    map.m_vPlace[1].m_vStage[0].m_strFile = "c02-1.stg4";
    map.m_vPlace[1].m_vStage[0].m_nKind = WORLDSTAGE_BLOCK;
    EXPECT_EQ(map.HasStage("data\\stg4\\c01.", 0, 0, 0), 1);
    EXPECT_EQ(map.HasStage("c03.", 0, 0, 0), 0);
    EXPECT_EQ(map.HasStage("c03.", 1, 2, 5), 1);
    EXPECT_EQ(map.HasStage("c03.", 1, 2, 4), 0);
    EXPECT_EQ(map.HasStage("c02.", 0, 0, 0), 0);   // blocking entries are skipped
}
