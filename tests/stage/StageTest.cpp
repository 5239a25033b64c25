// The stage record and file, the common palette file and stage loading.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "RecordBodies.h"
#include "StageTestSupport.h"
#include "foundation/Thread.h"
#include "platform/CloseRequest.h"
#include "stage/CmdVocabulary.h"
#include "stage/CommonPalette.h"
#include "stage/Stage.h"
#include "stage/StageLoader.h"
#include "support/FakeMessageBox.h"

namespace {

// The stage's numeric fields in file order (doubles have width 8).
const FIELDTABLE tblStageFields = [] {
    FIELDTABLE t(98, FIELDSPEC{4});
    for (int k : {21, 88, 89, 90, 91, 92}) t[k - 1].nWidth = 8;
    auto from = [&](std::initializer_list<int> ks, uint32_t v) {
        for (int k : ks) t[k - 1].nFrom = v;
    };
    from({25}, 166);
    from({26}, 199);
    from({30}, 183);
    from({31}, 184);
    from({33}, 225);
    from({36, 37, 38, 39, 48, 49, 52, 56, 60, 61, 62, 63, 70, 71}, 200);
    from({42, 43, 50, 51, 66, 67, 72, 73}, 155);
    return t;
}();

class StageFile : public StageRecordTest {
protected:
    void SetUp() override {
        StageRecordTest::SetUp();
        ResetCloseRequests();
    }
    void TearDown() override {
        ResetCloseRequests();
        StageRecordTest::TearDown();
    }
    // A playable stage: 30 x 20 cells and a hero placement.
    static cStage PlayableStage(const char* szText) {
        cStage st;
        st.m_nWidth = 30;
        st.m_nHeight = 20;
        st.m_strText = szText;
        cCharaData hero;
        hero.m_nOperator = 0;
        hero.m_nGraphic = 3;
        hero.m_nX = 4;
        st.m_vCharaPlace.push_back(hero);
        return st;
    }
    cFakeMessageBox boxes;
};

TEST_F(StageFile, DefaultStageSavesBackUnchanged) {
    cStage st;
    std::vector<uint8_t> a = WriteBytes(st);
    cStage back;
    cByteBuilder b;
    b.Raw(a.data(), a.size());
    ASSERT_TRUE(ReadAt(back, DATA_VERSION, b));
    EXPECT_EQ(back.m_vBlockPalette.size(), 2u);
    EXPECT_EQ(back.m_vCharaPalette.size(), 2u);
    EXPECT_EQ(back.m_vItemPalette.size(), 2u);
    ASSERT_EQ(back.m_vBackground.size(), 1u);
    EXPECT_EQ(back.m_vBackground[0].m_bFill, 1);
    EXPECT_EQ(back.m_vTallyFlag, (cChkVector<int32_t>(5, 1)));
    EXPECT_EQ(back.m_aEraseArea[0].IsUsed(), false);
    EXPECT_EQ(back.m_aEraseArea[3].m_bBottom, 1);
    EXPECT_EQ(back.m_aEraseArea[3].m_nLeft, 0);
    EXPECT_EQ(back.m_aEraseArea[4].m_nTop, 10);
    EXPECT_DOUBLE_EQ(back.m_dGravity, 0.4);
    EXPECT_EQ(back.m_nSubStep, 10);
    EXPECT_EQ(back.m_bSpareFlag, 1);
    // The file ends with the trailer.
    ASSERT_GE(a.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(a.end() - 4, a.end()), (std::vector<uint8_t>{0x15, 0xCD, 0x5B, 0x07}));
    EXPECT_EQ(WriteBytes(back), a);
}

TEST_F(StageFile, Version170StageReadsWithItsRepairs) {
    cByteBuilder b;
    AddFields(b, tblStageFields, 170, {{1, 100}, {4, 50}, {22, 10}, {24, 0}});
    EXPECT_EQ(b.Bytes()[0], 80);
    b.I32(1).Str("old");
    b.I32(3).I32(1).I32(1).I32(1);
    for (int i = 0; i < 5; i++) b.I32(8).Fill(0, 32).I32(0);
    for (int i = 0; i < 6; i++) b.I32(0);
    b.I32(0).I32(0);  // no backgrounds, no variable texts, no trailer
    cStage st;
    st.m_vBackground.clear();
    ASSERT_TRUE(ReadAt(st, 170, b));
    EXPECT_EQ(st.m_strText, "old");
    EXPECT_EQ(st.m_bShowStatus, 1);
    EXPECT_EQ(st.m_bQuickClear, 0);
    EXPECT_EQ(st.m_bBgmContinue, 0);
    EXPECT_EQ(st.m_bShowStartBanner2, 0);
    EXPECT_EQ(st.m_vTallyFlag, (cChkVector<int32_t>{1, 1, 1, 0, 0}));
    EXPECT_EQ(st.m_vStageVarName.size(), 1000u);
    EXPECT_EQ(st.m_nBgmFlag, 25);
    EXPECT_EQ(st.m_nHeroBoxW, 16);
    EXPECT_EQ(st.m_nCharaBoxH, 30);
    EXPECT_EQ(st.m_nCharaFlyBoxAlign, 1);
    EXPECT_EQ(st.m_anBoxColor[0], 5);
    EXPECT_EQ(st.m_anBoxDisp[3], 54);
    EXPECT_EQ(st.m_anBoxColor[2], 59);
    EXPECT_EQ(st.m_nHeroSizeW, 40);
    EXPECT_EQ(st.m_nHeroFlySizeW, 42);
    EXPECT_EQ(st.m_nExtentX, 85);
    EXPECT_EQ(st.m_nCharaInvincibleAll, 98);
    EXPECT_DOUBLE_EQ(st.m_dGravity, 21.5);
    EXPECT_EQ(st.m_vBlockPalette.size(), 2u);
    ExpectWriteReadFixedPoint(st);
}

// A stage body assembled from the field table at nVer: field k holds k
// unless given (a map of 200 x 100 cells, collision level 7, music 0), the
// text "now", five tally flags, the five erase areas (area i holding
// 10 i + k in its field k), nBlocks block palette entries with no picture,
// empty lists, and the trailer when asked for.
cByteBuilder StageBody(uint32_t nVer, bool bTrailer, int nBlocks = 0) {
    cByteBuilder b;
    AddFields(b, tblStageFields, nVer, {{1, 200}, {4, 100}, {22, 7}, {24, 0}});
    b.I32(1).Str("now");
    b.I32(5).I32(1).I32(0).I32(1).I32(0).I32(1);
    for (int i = 0; i < 5; i++) {
        b.I32(8);
        for (int k = 1; k <= 8; k++) b.I32(10 * i + k);
        b.I32(0);
    }
    b.I32(nBlocks);
    for (int i = 0; i < nBlocks; i++) {
        AddFields(b, tblBlockFields, nVer, {{1, 0}, {2, 0}, {5, 0}, {11, 0}, {14, 0}, {16, 0}, {17, 0}});
        b.I32(1).Str("").I16(0).I16(0).I32(11).Fill(0, 11);
        b.I32(0);
    }
    for (int i = 0; i < 5; i++) b.I32(0);   // the other palettes and the placements
    b.I32(0).I32(0);                        // no backgrounds, no variable texts
    if (bTrailer) b.I32(STAGE_TRAILER);
    return b;
}

// The current layout, pinned field by field: a swapped pair or a version
// gate moved by one reads other values or leaves bytes over.
TEST_F(StageFile, CurrentStageLayoutFromTheFieldTable) {
    cStage st;
    ASSERT_TRUE(ReadAt(st, DATA_VERSION, StageBody(DATA_VERSION, true)));
    struct FIELD {
        int k;
        int32_t nValue;
    };
    const FIELD aField[] = {
        {1, st.m_nWidth}, {2, st.m_nEditorValue1}, {3, st.m_nEditorValue2}, {4, st.m_nHeight},
        {5, st.m_bLimitLeft}, {6, st.m_bLimitRight}, {7, st.m_bLimitTop}, {8, st.m_bLimitBottom},
        {9, st.m_nLimitLeft}, {10, st.m_nLimitRight}, {11, st.m_nLimitTop}, {12, st.m_nLimitBottom},
        {13, st.m_nStageFps}, {14, st.m_bTimeLimit}, {15, st.m_nTimeLimit}, {16, st.m_nTimeWarn},
        {17, st.m_nScrollModeX}, {18, st.m_nScrollModeY}, {19, st.m_nScrollSpeedX}, {20, st.m_nScrollSpeedY},
        {22, st.m_nJudgeLevel}, {23, st.m_nHitJudgeCount}, {24, st.m_nBgm}, {25, st.m_nBgmFlag},
        {26, st.m_bBgmContinue}, {27, st.m_bZOrder}, {28, st.m_bLoadCarryOver}, {29, st.m_bSaveCarryOver},
        {30, st.m_bShowStatus}, {31, st.m_bQuickClear}, {32, st.m_bShowStartBanner}, {33, st.m_bShowStartBanner2},
        {34, st.m_bShowClearBanner}, {35, st.m_bShowGameOver},
        {36, st.m_nHeroBoxW}, {37, st.m_nHeroBoxH}, {38, st.m_nHeroFlyBoxW}, {39, st.m_nHeroFlyBoxH},
        {40, st.m_nHeroSizeW}, {41, st.m_nHeroSizeH}, {42, st.m_nHeroFlySizeW}, {43, st.m_nHeroFlySizeH},
        {44, st.m_nHeroSize1W}, {45, st.m_nHeroSize1H}, {46, st.m_nHeroBoxCW}, {47, st.m_nHeroBoxCH},
        {48, st.m_nHeroBoxAlign}, {49, st.m_nHeroFlyBoxAlign}, {50, st.m_nHeroSizeAlign}, {51, st.m_nHeroFlySizeAlign},
        // display mode and colour in the order of the box kinds 0, 1, 3, 2
        {52, st.m_anBoxDisp[0]}, {53, st.m_anBoxDisp[1]}, {54, st.m_anBoxDisp[3]}, {55, st.m_anBoxDisp[2]},
        {56, st.m_anBoxColor[0]}, {57, st.m_anBoxColor[1]}, {58, st.m_anBoxColor[3]}, {59, st.m_anBoxColor[2]},
        {60, st.m_nCharaBoxW}, {61, st.m_nCharaBoxH}, {62, st.m_nCharaFlyBoxW}, {63, st.m_nCharaFlyBoxH},
        {64, st.m_nCharaSizeW}, {65, st.m_nCharaSizeH}, {66, st.m_nCharaFlySizeW}, {67, st.m_nCharaFlySizeH},
        {68, st.m_nCharaSize1W}, {69, st.m_nCharaSize1H},
        {70, st.m_nCharaBoxAlign}, {71, st.m_nCharaFlyBoxAlign}, {72, st.m_nCharaSizeAlign}, {73, st.m_nCharaFlySizeAlign},
        {74, st.m_nItemSizeW}, {75, st.m_nItemSizeH}, {76, st.m_nHeroSize2W}, {77, st.m_nHeroSize2H},
        {78, st.m_nSpareSizeAW}, {79, st.m_nSpareSizeAH}, {80, st.m_nCharaSize2W}, {81, st.m_nCharaSize2H},
        {82, st.m_nSpareSizeBW}, {83, st.m_nSpareSizeBH}, {84, st.m_bSpareFlag},
        {85, st.m_nExtentX}, {86, st.m_nExtentY},
        {94, st.m_bOnScreenOnly}, {95, st.m_nHeroInvincibleSame}, {96, st.m_nHeroInvincibleAll},
        {97, st.m_nCharaInvincibleSame}, {98, st.m_nCharaInvincibleAll},
    };
    const std::map<int, int32_t> aGiven = {{1, 200}, {4, 100}, {22, 7}, {24, 0}};
    for (const FIELD& f : aField) {
        auto it = aGiven.find(f.k);
        EXPECT_EQ(f.nValue, it != aGiven.end() ? it->second : f.k) << "field " << f.k;
    }
    EXPECT_DOUBLE_EQ(st.m_dGravity, 21.5);
    // The stored derived values are made again from level 7: seven logic
    // steps a frame, a speed limit of 6 x 7 = 42 dots a frame, 6 a step.
    EXPECT_EQ(st.m_nSubStep, 7);
    EXPECT_DOUBLE_EQ(st.m_dStepFactor, 7.0);
    EXPECT_DOUBLE_EQ(st.m_dSubStepSq, 49.0);
    EXPECT_DOUBLE_EQ(st.m_dSpeedLimit, 42.0);
    EXPECT_DOUBLE_EQ(st.m_dGravityStep, 21.5 / 49.0);
    EXPECT_DOUBLE_EQ(st.m_dStepSpeedLimit, 6.0);
    EXPECT_EQ(st.m_nSubStepEight, 56);
    EXPECT_EQ(st.m_strText, "now");
    EXPECT_EQ(st.m_vTallyFlag, (cChkVector<int32_t>{1, 0, 1, 0, 1}));
    EXPECT_EQ(st.m_aEraseArea[2].m_bLeft, 21);
    EXPECT_EQ(st.m_aEraseArea[2].m_nBottom, 28);
    EXPECT_EQ(st.m_aEraseArea[4].m_bRight, 42);
    ExpectWriteReadFixedPoint(st);
}

// Every version gate of the field table, on both sides: a body of the
// version just below a gate lacks the field, one of the gate's version holds
// it, and each is read to its last byte.
TEST_F(StageFile, EveryFieldGateOnBothSides) {
    std::set<uint32_t> gates;
    for (const FIELDSPEC& f : tblStageFields)
        if (f.nFrom > 0) gates.insert(f.nFrom);
    ASSERT_EQ(gates, (std::set<uint32_t>{155, 166, 183, 184, 199, 200, 225}));
    for (uint32_t nGate : gates) {
        for (uint32_t nVer : {nGate - 1, nGate}) {
            cStage st;
            EXPECT_TRUE(ReadAt(st, nVer, StageBody(nVer, nVer >= 173))) << "version " << nVer;
        }
    }
}

// Files of version 172 and older end after the variable texts; from 173
// the trailer word follows.
TEST_F(StageFile, TrailerWordFromVersion173) {
    cStage st;
    EXPECT_TRUE(ReadAt(st, 172, StageBody(172, false)));
    EXPECT_FALSE(ReadAt(st, 172, StageBody(172, true))) << "a trailer is not read at 172: four bytes left over";
    EXPECT_TRUE(ReadAt(st, 173, StageBody(173, true)));
    EXPECT_FALSE(ReadAt(st, 173, StageBody(173, false))) << "at 173 the trailer word is read";
}

// The palette entries the read makes itself (entry 0, and the second entry
// of a list that holds one) are what writing the stage stores: a block
// without a picture is not solid.
TEST_F(StageFile, PaletteEntriesTheReadMakesEqualWhatWritingStores) {
    cStage st;
    ASSERT_TRUE(ReadAt(st, DATA_VERSION, StageBody(DATA_VERSION, true, 1)));
    ASSERT_EQ(st.m_vBlockPalette.size(), 2u);
    EXPECT_EQ(st.m_vBlockPalette[0].m_nHit, 0);
    EXPECT_EQ(st.m_vBlockPalette[1].m_nHit, 0);
    std::vector<uint8_t> once = WriteBytes(st);
    cStage again;
    cByteBuilder b;
    b.Raw(once.data(), once.size());
    ASSERT_TRUE(ReadAt(again, DATA_VERSION, b));
    EXPECT_EQ(again.m_vBlockPalette[1].m_nHit, st.m_vBlockPalette[1].m_nHit);
    EXPECT_EQ(again.m_vBlockPalette[0].m_nHit, st.m_vBlockPalette[0].m_nHit);
}

TEST_F(StageFile, JudgeLevelDerivedValues) {
    struct CASE { int nLevel; double dGravity; int nStep; double dLimit, dStepLimit, dGravityStep; };
    const CASE aCase[] = {
        {15, 0.4, 5, 60.0, 12.0, 0.4 / 25},
        {3, 0.4, 3, 18.0, 6.0, 0.4 / 9},
        {2, 0.4, 2, 12.0, 6.0, 0.1},
        {10, 0.4, 10, 60.0, 6.0, 0.004},
        {19, 0.4, 9, 60.0, 60.0 / 9, 0.4 / 81},
    };
    for (const CASE& c : aCase) {
        cStage st;
        st.m_dGravity = c.dGravity;
        st.SetJudgeLevel(c.nLevel);
        EXPECT_EQ(st.m_nSubStep, c.nStep) << c.nLevel;
        EXPECT_EQ(st.m_nSubStepTenth, 6 * c.nStep);
        EXPECT_EQ(st.m_nSubStepEight, 8 * c.nStep);
        EXPECT_DOUBLE_EQ(st.m_dSpeedLimit, c.dLimit);
        EXPECT_DOUBLE_EQ(st.m_dStepSpeedLimit, c.dStepLimit);
        EXPECT_DOUBLE_EQ(st.m_dGravityStep, c.dGravityStep);
    }
    // Levels the editor cannot make are read as 10.
    for (int nLevel : {0, 25, -3}) {
        cStage st;
        st.m_nJudgeLevel = nLevel;
        st.Normalize();
        EXPECT_EQ(st.m_nJudgeLevel, 10);
        EXPECT_EQ(st.m_nSubStep, 10);
    }
}

TEST_F(StageFile, NormaliseLimitsMusicAndFindHero) {
    ctx.anDbCount[DBLIST_BGM] = 3;
    cStage st;
    st.m_nWidth = 30;
    st.m_nHeight = 20;
    st.m_nLimitLeft = 100;
    st.m_nLimitTop = 10;
    st.m_nLimitRight = -3;
    st.m_nBgm = 3;
    st.Normalize();
    EXPECT_EQ(st.m_nLimitLeft, 10);
    EXPECT_EQ(st.m_nLimitTop, 5);
    EXPECT_EQ(st.m_nLimitRight, -3);
    EXPECT_EQ(st.m_nBgm, 0);

    cCharaData a, b;
    a.m_nOperator = 0;
    b.m_nOperator = 0;
    b.m_nGraphic = 2;
    st.m_vCharaPlace = {a, b};
    EXPECT_EQ(st.FindHero(), 1);
    st.m_vCharaPlace = {a};
    EXPECT_EQ(st.HasHero(), 0);
}

TEST_F(StageFile, PaletteEntryZeroIsResetAndStagePaletteInherits) {
    cStage st;
    st.m_vBlockPalette.resize(3);
    st.m_vBlockPalette[0].m_nGraphic = 7;
    st.m_vBlockPalette[1].m_nGraphic = 9;
    st.m_vBlockPalette[1].m_nLayer = 1;
    cBlockData placed;
    placed.m_nInheritType = PALETTE_STAGE;
    placed.m_nInheritNum = 1;
    placed.m_vInheritFlag[2] = 1;
    placed.m_nGraphic = 4;
    st.m_vBlockPlace.push_back(placed);
    std::vector<uint8_t> v = WriteBytes(st);
    cByteBuilder b;
    b.Raw(v.data(), v.size());
    cStage back;
    ASSERT_TRUE(ReadAt(back, DATA_VERSION, b));
    EXPECT_EQ(back.m_vBlockPalette[0].m_nGraphic, 0);
    EXPECT_EQ(back.m_vBlockPalette[1].m_nGraphic, 9);
    ASSERT_EQ(back.m_vBlockPlace.size(), 1u);
    EXPECT_EQ(back.m_vBlockPlace[0].m_nGraphic, 9);   // inherited from this stage's palette
    EXPECT_EQ(back.m_vBlockPlace[0].m_nLayer, 0);     // group 3 not flagged
    EXPECT_EQ(back.m_vBlockPlace[0].m_nInheritType, PALETTE_STAGE);
}

TEST_F(StageFile, BrokenStagesFail) {
    cStage st = PlayableStage("x");
    std::vector<uint8_t> v = WriteBytes(st);
    cByteBuilder full;
    full.Raw(v.data(), v.size());
    for (size_t n = 1; n < v.size(); n += 7) {
        cByteBuilder cut = full;
        cut.Cut(n);
        cStage back;
        EXPECT_FALSE(ReadAt(back, DATA_VERSION, cut)) << n;
    }
    // A field count above the registered fields.
    cByteBuilder many;
    many.I32(1000).Fill(0, 64);
    cStage back;
    EXPECT_FALSE(ReadAt(back, DATA_VERSION, many));
    // A width beyond any map.
    cStage wide = PlayableStage("w");
    wide.m_nWidth = MAX_STAGE_SIDE + 1;
    std::vector<uint8_t> w = WriteBytes(wide);
    cByteBuilder bw;
    bw.Raw(w.data(), w.size());
    EXPECT_FALSE(ReadAt(back, DATA_VERSION, bw));
}

TEST_F(StageFile, ReplaySnapshotKeepsTheSettingsAsLoaded) {
    cStage live = PlayableStage("live");
    cStage header = live;
    header.m_vCharaPlace.clear();
    live.m_nScrollModeX = 1;  // changed by play
    header.m_nScrollModeX = 0;
    cTempDir dir;
    cDataFile* fp = CreateDataFile("snap.dat");
    ASSERT_NE(fp, nullptr);
    live.SaveReplaySnapshot(fp, header);
    ASSERT_EQ(CloseDataFile(fp), 1);
    cStage back;
    ASSERT_EQ(back.Load("snap.dat"), 1);
    EXPECT_EQ(back.m_nScrollModeX, 0);
    EXPECT_EQ(back.m_vCharaPlace.size(), 1u);
}

TEST_F(StageFile, TrailerCheck) {
    cTempDir dir;
    cStage st = PlayableStage("t");
    std::vector<uint8_t> body = WriteBytes(st);
    struct CASE { uint32_t nVer; bool bGoodTail; int nExpect; };
    for (CASE c : {CASE{173, false, 1}, {174, false, 0}, {174, true, 1}, {854, false, 0}}) {
        ResetCloseRequests();
        cByteBuilder b;
        b.U32(c.nVer).Raw(body.data(), body.size() - 4).I32(c.bGoodTail ? STAGE_TRAILER : 42);
        ASSERT_TRUE(b.WriteFile(dir.File("t.stg4")));
        EXPECT_EQ(CheckStageTrailer("t.stg4"), c.nExpect) << c.nVer;
        EXPECT_EQ(GetCloseRequestCount(), c.nExpect ? 0u : 1u);
    }
    EXPECT_EQ(CheckStageTrailer("missing.stg4"), 1);
    // A file newer than the program, or too short for its version word, is
    // left to the load, which refuses it; the version variables are set as
    // opening the file would set them.
    ResetCloseRequests();
    cByteBuilder newer;
    newer.U32(855).Raw(body.data(), body.size() - 4).I32(42);
    ASSERT_TRUE(newer.WriteFile(dir.File("n.stg4")));
    bFileVerErr = 0;
    EXPECT_EQ(CheckStageTrailer("n.stg4"), 1);
    EXPECT_EQ(bFileVerErr, 1);
    EXPECT_EQ(nFileVer, 855u);
    ASSERT_TRUE(cByteBuilder().U16(854).WriteFile(dir.File("s.stg4")));
    EXPECT_EQ(CheckStageTrailer("s.stg4"), 1);
    cByteBuilder old;
    old.U32(300).Raw(body.data(), body.size() - 4).I32(STAGE_TRAILER);
    ASSERT_TRUE(old.WriteFile(dir.File("o.stg4")));
    EXPECT_EQ(CheckStageTrailer("o.stg4"), 1);
    EXPECT_EQ(bFileVerErr, 0);
    EXPECT_EQ(nFileVer, 300u);
    EXPECT_EQ(GetCloseRequestCount(), 0u);
}

TEST_F(StageFile, LoadStageTakesTheLatestNumberedFile) {
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("data/stg4"));
    cStage a = PlayableStage("two");
    cStage b = PlayableStage("ten");
    ASSERT_EQ(a.Save("data\\stg4\\a.stg4_002"), 1);
    ASSERT_EQ(b.Save("data\\stg4\\a.stg4_010"), 1);
    cThread th;
    cStage header;
    cCharaData hero;
    ASSERT_EQ(LoadStageOn(th, "data\\stg4\\a.stg4", 1, &header, &hero), 1);
    EXPECT_EQ(recStage.m_strText, "ten");
    EXPECT_EQ(recStage.m_strPath, "data\\stg4\\a.stg4_010");
    EXPECT_EQ(recStage.m_bLoaded, 1);
    EXPECT_EQ(header.m_strText, "ten");
    EXPECT_TRUE(header.m_vCharaPlace.empty());
    EXPECT_TRUE(header.m_vBlockPalette.empty());
    EXPECT_EQ(header.m_vTallyFlag.size(), 5u);
    EXPECT_EQ(hero.m_nX, 4);
    EXPECT_EQ(LoadStageOn(th, "data\\stg4\\b.stg4", 1, nullptr, nullptr), 0);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(StageFile, LoadStageRefusesAStageWithoutHeroAndKeepsTheLiveOne) {
    cTempDir dir;
    cThread th;
    cStage good = PlayableStage("good");
    ASSERT_EQ(good.Save("good.stg4"), 1);
    ASSERT_EQ(LoadStageOn(th, "good.stg4", 0, nullptr, nullptr), 1);

    cStage none = PlayableStage("none");
    none.m_vCharaPlace[0].m_nGraphic = 0;
    ASSERT_EQ(none.Save("none.stg4"), 1);
    EXPECT_EQ(LoadStageOn(th, "none.stg4", 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetCloseRequestCount(), 1u);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].strText, "主人公が配置されていないのでプレイできません！");
    EXPECT_EQ(recStage.m_strText, "good");

    // An unreadable file: the failure box, no close request.
    ResetCloseRequests();
    cByteBuilder junk;
    junk.U32(854).I32(5).I32(STAGE_TRAILER);
    ASSERT_TRUE(junk.WriteFile(dir.File("junk.stg4")));
    EXPECT_EQ(LoadStageOn(th, "junk.stg4", 0, nullptr, nullptr), 0);
    EXPECT_EQ(GetCloseRequestCount(), 0u);
    EXPECT_EQ(recStage.m_strText, "good");

    // A stage without cells cannot be played.
    cStage flat = PlayableStage("flat");
    flat.m_nHeight = 0;
    ASSERT_EQ(flat.Save("flat.stg4"), 1);
    EXPECT_EQ(LoadStageOn(th, "flat.stg4", 0, nullptr, nullptr), 0);
    EXPECT_EQ(recStage.m_strText, "good");
}

// A stage of nChara character placements (the first the hero) and nItem
// item placements, in the stored form.
static std::vector<uint8_t> ManyPlacements(int nChara, int nItem) {
    cStage st;
    st.m_nWidth = 30;
    st.m_nHeight = 20;
    cCharaData hero;
    hero.m_nOperator = 0;
    hero.m_nGraphic = 3;
    st.m_vCharaPlace.assign(static_cast<size_t>(nChara), cCharaData());
    if (nChara > 0) st.m_vCharaPlace[0] = hero;
    st.m_vItemPlace.assign(static_cast<size_t>(nItem), cItemData());
    cTempDir dir;
    EXPECT_EQ(st.Save("many.stg4"), 1);
    std::vector<uint8_t> v = ReadHostFile(dir.File("many.stg4"));
    return v.size() < 4 ? std::vector<uint8_t>{} : std::vector<uint8_t>(v.begin() + 4, v.end());
}

// The character and item lists hold at most 100,000 placements (twice the
// 50,000 objects play sets up). One more fails the read with the memory
// mark, and the list is not made.
TEST_F(StageFile, PlacementListsPastTheirBoundFailBeforeTheyAreMade) {
    struct CASE {
        const char* szWhat;
        int nChara, nItem;
        bool bOk;
    };
    const CASE aCase[] = {
        {"characters at the bound", 100000, 0, true},
        {"one character past it", 100001, 0, false},
        {"items at the bound", 1, 100000, true},
        {"one item past it", 1, 100001, false},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        std::vector<uint8_t> v = ManyPlacements(c.nChara, c.nItem);
        cByteBuilder b;
        b.Raw(v.data(), v.size());
        cStage back;
        bFileMemErr = 0;
        EXPECT_EQ(ReadAt(back, DATA_VERSION, b), c.bOk);
        EXPECT_EQ(bFileMemErr, c.bOk ? 0 : 1);
        if (c.bOk) {
            EXPECT_EQ(back.m_vCharaPlace.size(), static_cast<size_t>(c.nChara));
            EXPECT_EQ(back.m_vItemPlace.size(), static_cast<size_t>(c.nItem));
        } else {
            EXPECT_LE(back.m_vCharaPlace.size() + back.m_vItemPlace.size(), 1u);
        }
    }
}

// Placements that take a palette entry's flows are charged with what they
// copy before they copy it: with a budget that holds the stage without the
// copies plus exactly nPlaced copies the read succeeds; one byte less fails
// it with the memory mark; with half a copy less the last placement is
// refused its copy (which is far larger than anything read after it).
TEST_F(StageFile, InheritedFlowsAreChargedBeforeTheyAreCopied) {
    constexpr int nPlaced = 20;
    auto build = [](bool bInherit) {
        cStage st;
        st.m_nWidth = 30;
        st.m_nHeight = 20;
        st.m_vCharaPalette.resize(2);
        cFlow flow;
        flow.m_nTrigger = 1;
        flow.m_vCmd.resize(700);
        for (cEdCmd& c : flow.m_vCmd) c.m_strText = "a command text";
        st.m_vCharaPalette[1].m_vFlow.assign(3, flow);
        cCharaData hero;
        hero.m_nOperator = 0;
        hero.m_nGraphic = 3;
        st.m_vCharaPlace.push_back(hero);
        cCharaData placed;
        placed.m_nInheritType = PALETTE_STAGE;
        placed.m_nInheritNum = 1;
        placed.m_vInheritFlag[CHARA_FLOW_GROUP] = bInherit ? 1 : 0;
        for (int i = 0; i < nPlaced; i++) st.m_vCharaPlace.push_back(placed);
        return st;
    };
    auto bytes = [this](cStage st) {
        std::vector<uint8_t> v = WriteBytes(st);
        cByteBuilder b;
        b.Raw(v.data(), v.size());
        return b;
    };
    const cByteBuilder plain = bytes(build(false));
    const cByteBuilder inheriting = bytes(build(true));

    // What the stage costs without the copies, and what one copy costs.
    nFileVer = DATA_VERSION;
    std::unique_ptr<cDataFile> fp(cDataFile::FromBytes(plain.Bytes()));
    cStage back;
    back.Read(fp.get());
    ASSERT_FALSE(fp->IsFailed());
    const uint64_t nPlain = fp->Charged();
    ASSERT_EQ(back.m_vCharaPlace.size(), static_cast<size_t>(nPlaced + 1));
    EXPECT_TRUE(back.m_vCharaPlace[1].m_vFlow.empty());
    const uint64_t nCopy = FlowListBytes(back.m_vCharaPalette[1].m_vFlow);
    ASSERT_GT(nCopy, 0u);

    struct CASE {
        const char* szWhat;
        uint64_t nLess;
        bool bOk;
        size_t nLastFlows;   // flows of the last placement
    };
    const CASE aCase[] = {
        {"every copy fits", 0, true, 3},
        {"one byte short", 1, false, 3},
        {"half a copy short", nCopy / 2, false, 0},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        bFileMemErr = 0;
        std::unique_ptr<cDataFile> f(cDataFile::FromBytes(inheriting.Bytes()));
        f->SetMemoryBudget(nPlain + nPlaced * nCopy - c.nLess);
        cStage st;
        st.Read(f.get());
        EXPECT_EQ(f->IsFailed(), !c.bOk);
        EXPECT_EQ(bFileMemErr, c.bOk ? 0 : 1);
        ASSERT_EQ(st.m_vCharaPlace.size(), static_cast<size_t>(nPlaced + 1));
        EXPECT_EQ(st.m_vCharaPlace[nPlaced].m_vFlow.size(), c.nLastFlows);
        EXPECT_EQ(st.m_vCharaPlace[nPlaced - 1].m_vFlow.size(), 3u);
    }
    nFileVer = DATA_VERSION;
}

// The player is told why a stage that would take too much memory cannot be
// read; the next unreadable stage gets the plain message again.
TEST_F(StageFile, LoadStageSaysWhenAStageWouldTakeTooMuchMemory) {
    cTempDir dir;
    cThread th;
    cStage good = PlayableStage("good");
    ASSERT_EQ(good.Save("good.stg4"), 1);
    ASSERT_EQ(LoadStageOn(th, "good.stg4", 0, nullptr, nullptr), 1);

    std::vector<uint8_t> v = ManyPlacements(MAX_STAGE_PLACEMENTS + 1, 0);
    cByteBuilder big;
    big.U32(DATA_VERSION).Raw(v.data(), v.size());
    ASSERT_TRUE(big.WriteFile(dir.File("big.stg4")));
    EXPECT_EQ(LoadStageOn(th, "big.stg4", 0, nullptr, nullptr), 0);
    cByteBuilder junk;
    junk.U32(854).I32(5).I32(STAGE_TRAILER);
    ASSERT_TRUE(junk.WriteFile(dir.File("junk.stg4")));
    EXPECT_EQ(LoadStageOn(th, "junk.stg4", 0, nullptr, nullptr), 0);

    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].strText, "ステージファイル big.stg4 の読み込みに失敗しました！\nメモリが不足しています！");
    EXPECT_EQ(boxes.Boxes()[1].strText, "ステージファイル junk.stg4 の読み込みに失敗しました！");
    EXPECT_EQ(recStage.m_strText, "good");
    EXPECT_EQ(GetCloseRequestCount(), 0u);
}

// A quit for the asking thread ends the load: the loader thread is ended,
// the quit is taken and the live stage stays.
TEST_F(StageFile, QuitDuringLoadCancelsIt) {
    cTempDir dir;
    cStage good = PlayableStage("quit");
    ASSERT_EQ(good.Save("q.stg4"), 1);
    recStage.m_strText = "before";
    struct JOB {
        int nResult = -1;
    } job;
    cThread asker;
    ASSERT_EQ(asker.Start(
                  [](void* p) -> unsigned {
                      JOB* j = static_cast<JOB*>(p);
                      PostThreadMsg(GetCurrentThreadMsgId(), WM_QUIT_MSG);
                      cThread loader;
                      j->nResult = LoadStageOn(loader, "q.stg4", 0, nullptr, nullptr);
                      return 0;
                  },
                  &job),
              1);
    asker.Wait();
    EXPECT_EQ(job.nResult, 0);
    EXPECT_EQ(recStage.m_strText, "before");
    EXPECT_FALSE(IsStageReadCancelled());
}

class CommonPaletteFile : public StageRecordTest {};

TEST_F(CommonPaletteFile, EmptyFileGivesTwoDefaultEntriesPerList) {
    cTempDir dir;
    cByteBuilder b;
    b.U32(854).I32(0).I32(0).I32(0).I32(0).I32(0);
    ASSERT_EQ(b.Size(), 24u);
    ASSERT_TRUE(b.WriteFile(dir.File("cp.cplt4")));
    cCommonPalette cp;
    ASSERT_EQ(cp.Load("cp.cplt4"), 1);
    EXPECT_EQ(cp.m_vBlockPalette.size(), 2u);
    EXPECT_EQ(cp.m_vCharaPalette.size(), 2u);
    EXPECT_EQ(cp.m_vItemPalette.size(), 2u);
    EXPECT_EQ(cp.m_vBlockPalette[1].m_nPassGroup, 255);
    EXPECT_EQ(cp.m_vItemPalette[1].m_nGraphicSheet, 2);
}

TEST_F(CommonPaletteFile, EntryZeroResetFlagsZeroedStageReferencesKept) {
    cCommonPalette cp;
    cp.m_vBlockPalette.resize(3);
    cp.m_vBlockPalette[0].m_nGraphic = 5;
    cp.m_vBlockPalette[1].m_nGraphic = 5;
    cp.m_vBlockPalette[1].m_vInheritFlag.assign(11, 1);
    cp.m_vBlockPalette[1].m_nInheritType = PALETTE_STAGE;
    cp.m_vBlockPalette[1].m_nInheritNum = 5;
    cp.m_vBlockPalette[2].m_nGraphic = 6;
    cp.m_vBlockPalette[2].m_nItemType = PALETTE_STAGE;
    cp.m_vBlockPalette[2].m_nItemNum = 5;
    cEdCmd summon;
    summon.m_nKind = CMD_SUMMON_CHARA;
    NewEdShot(summon.m_pShot);
    summon.m_pShot->m_nPalette = 1;
    summon.m_pShot->m_nNum = 5;
    cFlow flow;
    flow.m_nTrigger = 1;
    flow.m_vCmd.push_back(summon);
    cp.m_vCharaPalette.resize(2);
    cp.m_vCharaPalette[1].m_vFlow.push_back(flow);
    cEdCmd get;
    get.m_bItemCmd = 1;
    get.m_nKind = 10;
    get.m_vParam = {1, 5};
    cp.m_vItemPalette.resize(2);
    cp.m_vItemPalette[1].m_vCmd.push_back(get);
    // A common reference that is out of range is still dropped.
    cp.m_vItemPalette[1].m_nInheritType = PALETTE_COMMON;
    cp.m_vItemPalette[1].m_nInheritNum = 9;

    std::vector<uint8_t> v = WriteBytes(cp);
    EXPECT_EQ(cp.m_vBlockPalette[1].m_nInheritType, PALETTE_STAGE);
    cCommonPalette back;
    cByteBuilder b;
    b.Raw(v.data(), v.size());
    ASSERT_TRUE(ReadAt(back, DATA_VERSION, b));
    EXPECT_EQ(back.m_vBlockPalette[0].m_nGraphic, 0);
    EXPECT_EQ(back.m_vBlockPalette[1].m_nGraphic, 5);
    for (uint8_t f : back.m_vBlockPalette[1].m_vInheritFlag) EXPECT_EQ(f, 0);
    EXPECT_EQ(back.m_vBlockPalette[1].m_nInheritType, PALETTE_STAGE);
    EXPECT_EQ(back.m_vBlockPalette[1].m_nInheritNum, 5);
    EXPECT_EQ(back.m_vBlockPalette[2].m_nItemType, PALETTE_STAGE);
    EXPECT_EQ(back.m_vBlockPalette[2].m_nItemNum, 5);
    EXPECT_EQ(back.m_vCharaPalette[1].m_vFlow[0].m_vCmd[0].m_pShot->m_nNum, 5);
    EXPECT_EQ(back.m_vItemPalette[1].m_vCmd[0].m_vParam[1], 5);
    EXPECT_EQ(back.m_vItemPalette[1].m_nInheritType, 0);
    // Written again, it stores the same (entry 0 now blank).
    std::vector<uint8_t> w = WriteBytes(back);
    cCommonPalette again;
    cByteBuilder bw;
    bw.Raw(w.data(), w.size());
    ASSERT_TRUE(ReadAt(again, DATA_VERSION, bw));
    EXPECT_EQ(WriteBytes(again), w);
}

}  // namespace
