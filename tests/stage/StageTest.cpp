// The stage record and file, the common palette file and stage loading.
#include <gtest/gtest.h>

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
