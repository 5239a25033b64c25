// Record bodies assembled by hand at the data versions that matter: each
// reads into the right members, and a current body is written back byte for
// byte.
#include <gtest/gtest.h>

#include "RecordBodies.h"
#include "StageTestSupport.h"
#include "stage/CmdSubRecords.h"
#include "stage/Cond.h"
#include "stage/Cmd.h"
#include "stage/CmdVocabulary.h"
#include "stage/Flow.h"

namespace {

std::vector<uint8_t> Bytes(const cByteBuilder& b) { return b.Bytes(); }

class RecordLayout : public StageRecordTest {
protected:
    void SetUp() override {
        StageRecordTest::SetUp();
        ctx.FillDatabase(1000);
    }
};

TEST_F(RecordLayout, ConditionAtCurrentAnd109And42) {
    EXPECT_EQ(FieldBytesAt(tblCondFields, 854), 28u);
    EXPECT_EQ(FieldBytesAt(tblCondFields, 109), 12u);
    cByteBuilder b;
    AddCond(b, 854);
    cCond c;
    ASSERT_TRUE(ReadAt(c, 854, b));
    EXPECT_EQ(c.m_nKind, 1);
    EXPECT_EQ(c.m_nValue, 2);
    EXPECT_EQ(c.m_nRandMin, 3);
    EXPECT_EQ(c.m_nRandMax, 4);
    EXPECT_EQ(c.m_nSubject, 5);
    EXPECT_EQ(c.m_nStatus, 6);
    EXPECT_EQ(c.m_nLeftType, 9);
    EXPECT_EQ(c.m_nLeftVarKind, 10);
    EXPECT_EQ(c.m_nVarNum, 11);
    EXPECT_EQ(c.m_nSource, 12);
    EXPECT_EQ(c.m_nSrcSubject, 13);
    EXPECT_EQ(c.m_nSrcStatus, 14);
    EXPECT_EQ(c.m_nSrcVarKind, 15);
    EXPECT_EQ(c.m_nSrcVarNum, 16);
    EXPECT_EQ(c.m_nCompare, 17);
    EXPECT_EQ(c.m_nPercent, 18);
    EXPECT_EQ(c.m_nShape, 19);
    EXPECT_EQ(WriteBytes(c), Bytes(b));

    cByteBuilder b109;
    AddCond(b109, 109);
    EXPECT_EQ(b109.Size(), 4u + 12u + 4u);
    EXPECT_EQ(b109.Bytes()[0], 7);  // kind, value, two words, compare, percent, shape
    cCond c109;
    ASSERT_TRUE(ReadAt(c109, 109, b109));
    EXPECT_EQ(c109.m_nKind, 1);
    EXPECT_EQ(c109.m_nValue, 2);
    EXPECT_EQ(c109.m_nCompare, 17);
    EXPECT_EQ(c109.m_nPercent, 18);
    EXPECT_EQ(c109.m_nShape, 19);
    EXPECT_EQ(c109.m_nRandMin, 0);
    EXPECT_EQ(c109.m_nSubject, 0);
    EXPECT_EQ(c109.m_nVarNum, 0);

    cByteBuilder b42;
    AddCond(b42, 42);
    EXPECT_EQ(b42.Bytes()[0], 6);
    cCond c42;
    ASSERT_TRUE(ReadAt(c42, 42, b42));
    EXPECT_EQ(c42.m_nPercent, 0);
    EXPECT_EQ(c42.m_nShape, 19);
}

TEST_F(RecordLayout, MovementRecordAtCurrentAnd157) {
    EXPECT_EQ(FieldBytesAt(tblMoveFields, 854), 53u);
    EXPECT_EQ(FieldBytesAt(tblMoveFields, 157), 48u);
    cByteBuilder b;
    AddFields(b, tblMoveFields, 854);
    b.I32(0);
    cEdMove m;
    ASSERT_TRUE(ReadAt(m, 854, b));
    EXPECT_EQ(m.m_bMirrorAngle, 5);
    EXPECT_EQ(m.m_bMoveOption, 20);
    EXPECT_EQ(m.m_nTimeSpeed, 21);
    EXPECT_EQ(m.m_nDistUnit, 26);
    EXPECT_EQ(m.m_nAccel, 30);
    EXPECT_DOUBLE_EQ(m.m_dMoveFactor, 31.5);
    EXPECT_EQ(m.m_nAnimeKind, 32);
    EXPECT_EQ(m.m_nTarget, 33);
    EXPECT_EQ(WriteBytes(m), Bytes(b));

    cByteBuilder b157;
    AddFields(b157, tblMoveFields, 157);
    b157.I32(0);
    EXPECT_EQ(b157.Bytes()[0], 28);
    cEdMove m157;
    ASSERT_TRUE(ReadAt(m157, 157, b157));
    EXPECT_EQ(m157.m_bMirrorAngle, 0);
    EXPECT_EQ(m157.m_bMoveOption, 0);
    EXPECT_EQ(m157.m_nDistUnit, 0);
    EXPECT_EQ(m157.m_nAnimeKind, 0);
    EXPECT_EQ(m157.m_nTarget, 0);
    EXPECT_EQ(m157.m_nTimeSpeed, 21);
    EXPECT_EQ(m157.m_nHoming, 27);
    EXPECT_DOUBLE_EQ(m157.m_dMoveFactor, 31.5);

    // The standing animation was inserted at 1.
    for (auto [nIn, nOut] : {std::pair{1, 2}, {0, 0}}) {
        cByteBuilder b829;
        AddFields(b829, tblMoveFields, 829, {{32, nIn}});
        b829.I32(0);
        cEdMove m829;
        ASSERT_TRUE(ReadAt(m829, 829, b829));
        EXPECT_EQ(m829.m_nAnimeKind, nOut);
    }
}

TEST_F(RecordLayout, ShotRecordAtCurrentVersion) {
    EXPECT_EQ(FieldBytesAt(tblShotFields, 854), 97u);
    cByteBuilder b;
    AddFields(b, tblShotFields, 854);
    b.I32(0);
    cEdShot s;
    ASSERT_TRUE(ReadAt(s, 854, b));
    EXPECT_EQ(s.m_anFormParam[2], 3);
    EXPECT_EQ(s.m_nAimAt, 4);
    EXPECT_EQ(s.m_nTargetA, 7);
    EXPECT_EQ(s.m_nType, 28);
    EXPECT_EQ(s.m_anOrbitParam[0], 29);
    EXPECT_EQ(s.m_nTargetB, 30);
    EXPECT_EQ(s.m_nRange, 37);
    EXPECT_EQ(s.m_bRangeLimit, 38);
    EXPECT_EQ(s.m_nRangeInc, 39);
    EXPECT_EQ(s.m_nPower, 49);
    EXPECT_EQ(s.m_nEffect, 52);
    EXPECT_EQ(s.m_nBlockMode, 55);
    EXPECT_EQ(s.m_bHeroOverlap, 56);
    EXPECT_EQ(s.m_bCharaOverlap, 57);
    EXPECT_EQ(s.m_nPalette, 58);
    EXPECT_EQ(s.m_nNum, 59);
    EXPECT_EQ(s.m_nSummonGroup, 60);
    EXPECT_EQ(s.m_nCreditParam, 64);
    EXPECT_EQ(WriteBytes(s), Bytes(b));
}

TEST_F(RecordLayout, ShotRecordNormalisesSizeAndEffect) {
    ctx.anDbCount[DBLIST_EFFECT] = 52;
    for (int nSize : {0, -3}) {
        cByteBuilder b;
        AddFields(b, tblShotFields, 854, {{26, nSize}});
        b.I32(0);
        cEdShot s;
        ASSERT_TRUE(ReadAt(s, 854, b));
        EXPECT_EQ(s.m_nSize, 1);
        EXPECT_EQ(s.m_nEffect, 0);  // equal to the list size
    }
    cEdShot s;
    s.m_nSize = 0;
    s.m_nEffect = 51;
    std::vector<uint8_t> v = WriteBytes(s);
    EXPECT_EQ(s.m_nSize, 1);
    EXPECT_EQ(s.m_nEffect, 51);
}

TEST_F(RecordLayout, BlockBody) {
    EXPECT_EQ(FieldBytesAt(tblBlockFields, 854), 26u);
    cByteBuilder b;
    AddFields(b, tblBlockFields, 854, {{1, 0}});
    b.I32(1).Str("block").I16(7).I16(-2).I32(11).Fill(0, 11);
    b.I32(1);
    AddCond(b, 854);
    cBlockData d;
    ASSERT_TRUE(ReadAt(d, 854, b));
    EXPECT_EQ(d.m_nInheritNum, 2);
    EXPECT_EQ(d.m_nCondMode, 3);
    EXPECT_EQ(d.m_nGraphic, 5);
    EXPECT_EQ(d.m_nGraphicSheet, 6);
    EXPECT_EQ(d.m_nMark, 11);
    EXPECT_EQ(d.m_nEffect, 14);
    EXPECT_EQ(d.m_nEffectValue, 15);
    EXPECT_EQ(d.m_nItemNum, 17);
    EXPECT_EQ(d.m_bNoReplace, 18);
    EXPECT_EQ(d.m_strName, "block");
    EXPECT_EQ(d.m_nX, 7);
    EXPECT_EQ(d.m_nY, -2);
    ASSERT_EQ(d.m_vCond.size(), 1u);
    EXPECT_EQ(d.m_vCond[0].m_nShape, 19);
    EXPECT_EQ(WriteBytes(d), Bytes(b));
}

TEST_F(RecordLayout, ItemBodyTakesPictureFlagBeforeTakeRule) {
    EXPECT_EQ(FieldBytesAt(tblItemFields, 854), 24u);
    cByteBuilder b;
    AddFields(b, tblItemFields, 854, {{1, 0}});
    b.I32(1).Str("item").I16(1).I16(2).I32(13).Fill(0, 13).I32(0);
    b.I32(1);
    AddCmd(b, 854, 1, 4, std::vector<int32_t>(18, 9));  // item kind 4: message
    cItemData d;
    ASSERT_TRUE(ReadAt(d, 854, b));
    EXPECT_EQ(d.m_nOffsetX, 5);
    EXPECT_EQ(d.m_nOption, 10);
    EXPECT_EQ(d.m_bShowPicture, 14);
    EXPECT_EQ(d.m_nTakeRule, 15);
    EXPECT_EQ(d.m_nSize, 16);
    EXPECT_EQ(d.m_nSound, 17);
    ASSERT_EQ(d.m_vCmd.size(), 1u);
    EXPECT_EQ(d.m_vCmd[0].m_vParam.size(), 18u);
    EXPECT_EQ(WriteBytes(d), Bytes(b));
}

TEST_F(RecordLayout, CharacterBodyAtCurrentAnd167) {
    EXPECT_EQ(FieldBytesAt(tblCharaFields, 854), 82u);
    EXPECT_EQ(FieldBytesAt(tblCharaFields, 167), 73u);
    cByteBuilder b;
    AddFields(b, tblCharaFields, 854, {{1, 0}});
    b.I32(1).Str("chara").I16(3).I16(4).I32(-1).I32(37).Fill(0, 37).I32(0);
    b.I32(1);
    AddFlowHead(b, 854, {{3, 0}});
    b.I32(0).I32(0).I32(0);
    cCharaData d;
    ASSERT_TRUE(ReadAt(d, 854, b));
    EXPECT_EQ(d.m_nDropItem, -1);
    EXPECT_EQ(d.m_nStartEffectSrc, 20);
    EXPECT_EQ(d.m_nDefeatEffectSrc, 23);
    EXPECT_EQ(d.m_nOperator, 26);
    EXPECT_EQ(d.m_nInvincibleTint, 33);
    EXPECT_EQ(d.m_bScrollSync, 36);
    EXPECT_EQ(d.m_nStop, 41);
    EXPECT_EQ(d.m_nHitArea, 42);
    EXPECT_EQ(d.m_nDefence, 46);
    EXPECT_EQ(d.m_nScore, 48);
    EXPECT_EQ(d.m_nActRule, 53);
    ASSERT_EQ(d.m_vFlow.size(), 1u);
    // The flow's name is dropped on reading.
    cByteBuilder expect;
    AddFields(expect, tblCharaFields, 854, {{1, 0}});
    expect.I32(1).Str("chara").I16(3).I16(4).I32(-1).I32(37).Fill(0, 37).I32(0);
    expect.I32(1);
    AddFields(expect, tblFlowFields, 854, {{3, 0}});
    expect.I32(1).Str("").I32(0).I32(0).I32(0);
    EXPECT_EQ(WriteBytes(d), Bytes(expect));

    cByteBuilder b167;
    AddFields(b167, tblCharaFields, 167, {{1, 0}});
    EXPECT_EQ(b167.Bytes()[0], 47);
    b167.I32(1).Str("").I16(0).I16(0).I32(0).I32(34).Fill(0, 34).I32(0).I32(0);
    cCharaData d167;
    ASSERT_TRUE(ReadAt(d167, 167, b167));
    EXPECT_EQ(d167.m_nStartEffectSrc, 0);
    EXPECT_EQ(d167.m_nDefence, 0);
    EXPECT_EQ(d167.m_nHitArea, 0);
    EXPECT_EQ(d167.m_bScrollSync, 0);
    EXPECT_EQ(d167.m_nInvincibleTint, 1);
    EXPECT_EQ(d167.m_nStop, 41);
    EXPECT_EQ(d167.m_nActRule, 53);
    // A version-167 character takes all three flag insertions.
    ASSERT_EQ(d167.m_vInheritFlag.size(), 37u);
    for (int i = 0; i < 37; i++) EXPECT_EQ(d167.m_vInheritFlag[i], (i == 21 || i == 25 || i == 29) ? 1 : 0) << i;
}

TEST_F(RecordLayout, FlowAtCurrentAnd675) {
    EXPECT_EQ(FieldBytesAt(tblFlowFields, 854), 10u);
    EXPECT_EQ(FieldBytesAt(tblFlowFields, 675), 8u);
    cByteBuilder b;
    AddFields(b, tblFlowFields, 854);
    b.I32(1).Str("");
    b.I32(1);
    AddCond(b, 854);
    b.I32(1);
    AddFields(b, tblFlowKeyFields, 854);
    b.I32(0).I32(19).Fill(1, 19);
    b.I32(0);
    cFlow f;
    ASSERT_TRUE(ReadAt(f, 854, b));
    EXPECT_EQ(f.m_nTrigger, 6);
    EXPECT_EQ(f.m_bSetTarget, 7);
    EXPECT_EQ(f.m_nTargetSlot, 8);
    EXPECT_EQ(f.m_nKeyDelay, 9);
    EXPECT_EQ(f.m_bKeyRepeat, 10);
    ASSERT_EQ(f.m_vKey.size(), 1u);
    EXPECT_EQ(f.m_vKey[0].m_nHoldMax, 3);
    EXPECT_EQ(WriteBytes(f), Bytes(b));

    cByteBuilder b675;
    AddFlowHead(b675, 675, {{6, 0}});
    b675.I32(0).I32(0).I32(0);
    EXPECT_EQ(b675.Bytes()[0], 8);
    cFlow f675;
    ASSERT_TRUE(ReadAt(f675, 675, b675));
    EXPECT_EQ(f675.m_bSetTarget, 0);
    EXPECT_EQ(f675.m_nTargetSlot, 0);
    EXPECT_EQ(f675.m_nKeyDelay, 9);
    EXPECT_EQ(f675.m_bKeyRepeat, 10);
}

TEST_F(RecordLayout, CommandWithSubRecordsAndFlowsWritesBackUnchanged) {
    EXPECT_EQ(FieldBytesAt(tblCmdFields, 854), 12u);
    cByteBuilder b;
    AddFields(b, tblCmdFields, 854, {{1, 0}, {2, CMD_SHOT}});
    b.I32(1).Str("text");
    b.I32(1);
    AddFields(b, tblMoveFields, 854);
    b.I32(0);
    b.I32(1);
    AddFields(b, tblShotFields, 854);
    b.I32(0);
    b.I32(1);
    b.I32(2).U8(1).U8(1).I32(0).I32(0);  // condition list: use, mode, no strings, no conditions
    b.I32(1);
    AddFields(b, tblFlowFields, 854, {{3, 0}});
    b.I32(1).Str("").I32(0).I32(0);
    b.I32(1);
    AddCmd(b, 854, 0, CMD_MESSAGE, std::vector<int32_t>(18, 4));
    b.I32(0);  // shot: no parameters
    cEdCmd c;
    ASSERT_TRUE(ReadAt(c, 854, b));
    ASSERT_TRUE(c.m_pMove);
    ASSERT_TRUE(c.m_pShot);
    ASSERT_TRUE(c.m_pCondList);
    EXPECT_EQ(c.m_pCondList->m_bUse, 1);
    EXPECT_EQ(c.m_strText, "text");
    EXPECT_EQ(c.m_nTime, 3);
    EXPECT_EQ(c.m_bSoundOnScreen, 7);
    ASSERT_EQ(c.m_vFlow.size(), 1u);
    ASSERT_EQ(c.m_vFlow[0].m_vCmd.size(), 1u);
    EXPECT_EQ(WriteBytes(c), Bytes(b));
    ExpectWriteReadFixedPoint(c);
}

TEST_F(RecordLayout, MenuEntry) {
    cByteBuilder b;
    b.I32(1).I32(0).I32(1).Str("つづきから");
    cCmd e;
    EXPECT_EQ(e.m_bEnable, 1);
    ASSERT_TRUE(ReadAt(e, 854, b));
    EXPECT_EQ(e.m_bEnable, 0);
    EXPECT_EQ(e.m_strText, "つづきから");
    EXPECT_EQ(WriteBytes(e), Bytes(b));
}

}  // namespace
