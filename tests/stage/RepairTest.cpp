// Upgrades of older data versions, normalisation against the database and
// the palettes, and the readers' handling of broken data.
#include <gtest/gtest.h>

#include "RecordBodies.h"
#include "StageTestSupport.h"
#include "stage/Cmd.h"
#include "stage/CmdVocabulary.h"

namespace {

class Repair : public StageRecordTest {
protected:
    void SetUp() override {
        StageRecordTest::SetUp();
        ctx.FillDatabase(1000);
    }
    // A command read from a file of version nVer.
    cEdCmd ReadCmd(uint32_t nVer, int nItem, int nKind, const std::vector<int32_t>& vParam) {
        cByteBuilder b;
        AddCmd(b, nVer, nItem, nKind, vParam);
        cEdCmd c;
        EXPECT_TRUE(ReadAt(c, nVer, b));
        return c;
    }
};

TEST_F(Repair, MessageFrom544EndsWith18Parameters) {
    for (int p0 : {0, 7, 3}) {
        std::vector<int32_t> v(10, 5);
        v[0] = p0;
        cEdCmd c = ReadCmd(544, 0, CMD_MESSAGE, v);
        ASSERT_EQ(c.m_vParam.size(), 18u);
        EXPECT_EQ(c.m_vParam[10], (p0 == 0 || p0 == 7) ? 1 : 0);
        EXPECT_EQ(c.m_vParam[11], 0);
        EXPECT_EQ(c.m_vParam[12], 0);
        EXPECT_EQ(c.m_vParam[13], 0);
        EXPECT_EQ(c.m_vParam[14], 1);
        EXPECT_EQ(c.m_vParam[15], 0);
        EXPECT_EQ(c.m_vParam[16], 1);
        EXPECT_EQ(c.m_vParam[17], 0);
        EXPECT_EQ(c.m_vParam[9], 5);
    }
    // The same command as item kind 4.
    cEdCmd item = ReadCmd(544, 1, 4, std::vector<int32_t>(10, 0));
    ASSERT_EQ(item.m_vParam.size(), 18u);
    EXPECT_EQ(item.m_vParam[10], 1);
    EXPECT_EQ(item.m_vParam[16], 1);
}

TEST_F(Repair, ArrangeFrom725BecomesShotArrangeAndIsRenumbered) {
    struct CASE { int p1, nExpect; };
    for (CASE c : {CASE{2, 5}, {14, 21}, {1, 1}, {5, 8}}) {
        cEdCmd cmd = ReadCmd(725, 0, 37, {0, c.p1});
        EXPECT_EQ(cmd.m_nKind, CMD_ARRANGE);
        ASSERT_EQ(cmd.m_vParam.size(), 5u);
        EXPECT_EQ(cmd.m_vParam[0], 11);
        EXPECT_EQ(cmd.m_vParam[1], c.nExpect) << c.p1;
    }
    cEdCmd item = ReadCmd(725, 1, 22, {0, 2});
    EXPECT_EQ(item.m_nKind, 23);
    EXPECT_EQ(item.m_vParam[1], 5);
    // After the renumbering an arrange of a kind at 24 or above moves up.
    cEdCmd later = ReadCmd(733, 0, 37, {30, 0, 0, 0, 0});
    EXPECT_EQ(later.m_nKind, CMD_ARRANGE);
    EXPECT_EQ(later.m_vParam[0], 31);
}

TEST_F(Repair, RenumberingAt734) {
    struct CASE { int nItem, nKind, nExpect; };
    for (CASE c : {CASE{0, 24, 25}, {0, 38, 39}, {0, 23, 23}, {1, 9, 10}, {1, 23, 24}, {1, 8, 8}, {1, 1, 1},
                   {0, 45, 45}, {0, 200, 200}}) {
        cEdCmd cmd = ReadCmd(733, c.nItem, c.nKind, {});
        EXPECT_EQ(cmd.m_nKind, c.nExpect) << c.nItem << "/" << c.nKind;
    }
    EXPECT_EQ(ReadCmd(734, 0, 24, {}).m_nKind, 24);
}

TEST_F(Repair, UnknownKindsKeepTheirParameters) {
    for (auto [nItem, nKind] : {std::pair{0, 40}, {0, 200}, {1, 25}, {1, 255}}) {
        cEdCmd c = ReadCmd(854, nItem, nKind, {1, 2, 3});
        EXPECT_EQ(c.m_vParam, (cChkVector<int32_t>{1, 2, 3}));
        c.Normalize();
        EXPECT_EQ(c.m_vParam.size(), 3u);
    }
    // Known kinds get exactly their count.
    EXPECT_EQ(ReadCmd(854, 0, CMD_JUMP, {1, 2, 3, 4, 5, 6, 7}).m_vParam.size(), 5u);
    EXPECT_EQ(ReadCmd(854, 0, CMD_STATUS, {1}).m_vParam.size(), 18u);
}

TEST_F(Repair, ShortParameterVectorsAreNeitherGrownNorReadPast) {
    // Status operation 2 of version 209 with one parameter: p1 counts as 0
    // (no shift below 210), p0 moves up by 3 (below 767).
    cEdCmd c = ReadCmd(209, 0, CMD_STATUS2, {7});
    EXPECT_EQ(c.m_vParam, (cChkVector<int32_t>{10, 0, 0, 0, 0}));
    // Status operation of version 167: p4 missing, nothing to shift.
    cEdCmd s = ReadCmd(167, 0, CMD_STATUS, {0, 0, 0, 0});
    EXPECT_EQ(s.m_vParam.size(), 18u);
    EXPECT_EQ(s.m_vParam[4], 0);
    // A full one shifts.
    std::vector<int32_t> v(18, 0);
    v[4] = 10;
    v[6] = 2;
    v[13] = 12;
    cEdCmd full = ReadCmd(167, 0, CMD_STATUS, v);
    EXPECT_EQ(full.m_vParam[4], 12);   // 10 -> 11 (below 168) -> 12 (below 203)
    EXPECT_EQ(full.m_vParam[13], 14);
    // Sums saturate.
    cEdCmd sat = ReadCmd(766, 0, CMD_STATUS2, {INT32_MAX, 0, 0, 0, 0});
    EXPECT_EQ(sat.m_vParam[0], INT32_MAX);
}

TEST_F(Repair, MissingSubRecordsAreSkipped) {
    EXPECT_FALSE(ReadCmd(766, 0, CMD_WARP, {}).m_pMove);
    EXPECT_FALSE(ReadCmd(513, 0, CMD_MOVE_CHARGE, {}).m_pMove);
    EXPECT_FALSE(ReadCmd(219, 0, CMD_SHOT, {}).m_pShot);
    cEdCmd flowOp = ReadCmd(759, 0, CMD_FLOW_OP, {1, 2, 3, 4});
    ASSERT_TRUE(flowOp.m_pCondList);
    EXPECT_EQ(flowOp.m_pCondList->m_bUse, 0);
    EXPECT_EQ(flowOp.m_vParam, (cChkVector<int32_t>{1, 2, 3, 0}));
}

TEST_F(Repair, SubRecordRepairsInCommands) {
    // A shot of version 219 gains a picture number; a warp of 766 its mode.
    cByteBuilder b;
    AddFields(b, tblCmdFields, 219, {{1, 0}, {2, CMD_SHOT}, {6, 0}, {8, 0}});
    b.I32(1).Str("").I32(0).I32(1);
    AddFields(b, tblShotFields, 219, {{20, 119}});
    b.I32(0).I32(0).I32(0);
    cEdCmd c;
    ASSERT_TRUE(ReadAt(c, 219, b));
    EXPECT_EQ(c.m_pShot->m_nGraphic, 119);

    cByteBuilder w;
    AddFields(w, tblCmdFields, 766, {{1, 0}, {2, CMD_WARP}, {6, 0}, {8, 0}});
    w.I32(1).Str("").I32(1);
    AddFields(w, tblMoveFields, 766, {{1, 2}});
    w.I32(0).I32(0).I32(0).I32(0).I32(0);
    cEdCmd warp;
    ASSERT_TRUE(ReadAt(warp, 766, w));
    EXPECT_EQ(warp.m_pMove->m_nMode, 5);
}

TEST_F(Repair, ConditionChains) {
    cByteBuilder b;
    AddCond(b, 150, {{1, 5}, {5, 3}});
    cCond c;
    ASSERT_TRUE(ReadAt(c, 150, b));
    EXPECT_EQ(c.m_nKind, COND_DISTANCE);
    EXPECT_EQ(c.m_nSubject, 0);
    EXPECT_EQ(c.m_nSource, 1);
    EXPECT_EQ(c.m_nSrcSubject, 1);

    // A status condition of 766: subjects from 2 move up by 3.
    cByteBuilder s;
    AddCond(s, 766, {{1, COND_STATUS}, {5, 2}, {13, 1}});
    cCond st;
    ASSERT_TRUE(ReadAt(st, 766, s));
    EXPECT_EQ(st.m_nSubject, 5);
    EXPECT_EQ(st.m_nSrcSubject, 1);

    // Status indices of version 167 gain the insertions at 10 and 5.
    cByteBuilder i;
    AddCond(i, 167, {{1, COND_STATUS}, {5, 0}, {6, 10}, {9, 0}});
    cCond idx;
    ASSERT_TRUE(ReadAt(idx, 167, i));
    EXPECT_EQ(idx.m_nStatus, 12);
}

TEST_F(Repair, ShotHomingDerivedFromTrajectory) {
    for (auto [nType, nHoming] : {std::pair{5, 1}, {3, 0}, {4, 1}, {7, 1}, {8, 0}}) {
        cByteBuilder b;
        AddFields(b, tblShotFields, 210, {{28, nType}, {45, 1}, {56, 9}});
        b.I32(0);
        cEdShot s;
        ASSERT_TRUE(ReadAt(s, 210, b));
        EXPECT_EQ(s.m_bScrollSync, nHoming) << nType;
        EXPECT_EQ(s.m_bPierceBlockChara, 1);
        EXPECT_EQ(s.m_nAimAt, 0);
        EXPECT_EQ(s.m_nAccel, 0);
        EXPECT_EQ(s.m_bMirrorAngle, 10);
    }
}

TEST_F(Repair, ConditionListAt765And766) {
    cByteBuilder b765;
    b765.I32(2).U8(1).U8(1).I32(0);
    cCondList l765;
    l765.m_vCond.resize(3);
    ASSERT_TRUE(ReadAt(l765, 765, b765));
    EXPECT_EQ(l765.m_bUse, 1);
    EXPECT_TRUE(l765.m_vCond.empty());

    cByteBuilder b766;
    b766.I32(2).U8(1).U8(0).I32(0).I32(2);
    AddCond(b766, 766);
    AddCond(b766, 766);
    cCondList l766;
    ASSERT_TRUE(ReadAt(l766, 766, b766));
    EXPECT_EQ(l766.m_vCond.size(), 2u);
}

TEST_F(Repair, FlowTriggersAndTestFlows) {
    cByteBuilder b;
    AddFlowHead(b, 131, {{2, 4}, {6, 11}});
    b.I32(0).I32(0).I32(0);
    cFlow f;
    ASSERT_TRUE(ReadAt(f, 131, b));
    EXPECT_EQ(f.m_nTrigger, 14);    // 11 -> 12 -> 14
    EXPECT_EQ(f.m_nFlowGroup, 0);

    cByteBuilder late;
    AddFlowHead(late, 761, {{6, 18}});
    late.I32(0).I32(0).I32(0);
    ASSERT_TRUE(ReadAt(f, 761, late));
    EXPECT_EQ(f.m_nTrigger, 21);
    EXPECT_EQ(f.m_strName, "");

    // A character with a test-only flow and a normal one.
    auto body = [](cByteBuilder& c) {
        AddFields(c, tblCharaFields, 854, {{1, 0}});
        c.I32(1).Str("").I16(0).I16(0).I32(0).I32(37).Fill(0, 37).I32(0).I32(2);
        AddFlowHead(c, 854, {{3, 1}});
        c.I32(0).I32(0).I32(0);
        AddFlowHead(c, 854, {{3, 0}});
        c.I32(0).I32(0).I32(0);
    };
    cByteBuilder c;
    body(c);
    cCharaData d;
    ASSERT_TRUE(ReadAt(d, 854, c));
    ASSERT_EQ(d.m_vFlow.size(), 1u);
    EXPECT_EQ(d.m_vFlow[0].m_bTestOnly, 0);
    ctx.bTestPlay = true;
    ASSERT_TRUE(ReadAt(d, 854, c));
    EXPECT_EQ(d.m_vFlow.size(), 2u);
    ctx.bTestPlay = false;
    ctx.bKeepTestFlows = true;
    ASSERT_TRUE(ReadAt(d, 854, c));
    EXPECT_EQ(d.m_vFlow.size(), 2u);
    ctx.bKeepTestFlows = false;

    // The flows of an item's flow change are filtered the same way.
    cByteBuilder cmd;
    AddFields(cmd, tblCmdFields, 854, {{1, 1}, {2, ITEMCMD_FLOW_CHANGE}, {6, 0}, {8, 0}});
    cmd.I32(1).Str("").I32(0).I32(0).I32(0).I32(2);
    AddFlowHead(cmd, 854, {{3, 1}});
    cmd.I32(0).I32(0).I32(0);
    AddFlowHead(cmd, 854, {{3, 0}});
    cmd.I32(0).I32(0).I32(0);
    cmd.I32(2).I32(0).I32(0);
    cEdCmd e;
    ASSERT_TRUE(ReadAt(e, 854, cmd));
    EXPECT_EQ(e.m_vFlow.size(), 1u);
}

TEST_F(Repair, CharacterUpgradesAndNormalisation) {
    struct CASE { uint32_t nVer; int nIn, nOut; };
    for (CASE c : {CASE{201, 2, 3}, {205, 3, 4}, {206, 2, 2}, {200, 2, 0}}) {
        cByteBuilder b;
        AddFields(b, tblCharaFields, c.nVer, {{1, 0}, {42, c.nIn}});
        b.I32(1).Str("").I16(0).I16(0).I32(0).I32(37).Fill(0, 37).I32(0).I32(0);
        cCharaData d;
        ASSERT_TRUE(ReadAt(d, c.nVer, b));
        EXPECT_EQ(d.m_nHitArea, c.nOut) << c.nVer;
    }
    cCharaData p;
    p.m_nOperator = 0;
    p.m_nRepeat = 5;
    p.m_bNoHitBox = 1;
    p.m_nGiant = 0;
    p.m_nGraphicSheet = DEDICATED_BMP_SHEET;
    p.m_nGraphic = 7;
    ctx.anDbCount[DBLIST_BMP_CHARAEXC] = 7;
    ctx.anDbCount[DBLIST_EFFECT] = 4;
    p.m_nHitEffect = 4;
    // Blank flows go, the others keep their order (many of each).
    p.m_vFlow.resize(3000);
    for (size_t i = 0; i < p.m_vFlow.size(); i += 3) p.m_vFlow[i].m_nId = static_cast<uint8_t>(1 + (i / 3) % 200);
    p.Normalize();
    ASSERT_EQ(p.m_vFlow.size(), 1000u);
    for (size_t k = 0; k < 1000; k++) ASSERT_EQ(p.m_vFlow[k].m_nId, 1 + k % 200) << k;
    p.m_vFlow.resize(1);
    p.m_vFlow[0] = cFlow();  // blank
    p.Normalize();
    EXPECT_EQ(p.m_nRepeat, 0);
    EXPECT_EQ(p.m_bNoHitBox, 0);
    EXPECT_EQ(p.m_nGiant, 1);
    EXPECT_EQ(p.m_nGraphic, 1);
    EXPECT_EQ(p.m_nHitEffect, 0);
    EXPECT_TRUE(p.m_vFlow.empty());

    cCharaData g;
    g.m_nShiftX = 10;
    g.m_nShiftStepX = 32;
    g.m_bMirrorShiftX = 1;
    EXPECT_DOUBLE_EQ(g.GetGroupShiftX(2, 1), -74.0);
    EXPECT_DOUBLE_EQ(g.GetGroupShiftX(2, 0), 74.0);
    EXPECT_DOUBLE_EQ(g.GetGroupShiftX(0, 0), 10.0);
    g.m_bMirrorShiftX = 0;
    EXPECT_DOUBLE_EQ(g.GetGroupShiftX(2, 1), 74.0);

    // The carried item: out of range counts as none.
    g.m_nDropItem = 3;
    EXPECT_EQ(g.GetDropItem(4), 3);
    EXPECT_EQ(g.GetDropItem(3), -1);
    g.m_nDropItem = -1;
    EXPECT_EQ(g.GetDropItem(4), -1);

    // SetDefault keeps position, conditions and flows.
    g.m_vFlow.resize(2);
    g.m_nX = 4;
    g.SetDefault();
    EXPECT_EQ(g.m_vFlow.size(), 2u);
    EXPECT_EQ(g.m_nX, 4);
    EXPECT_EQ(g.m_nZ, 3);
    EXPECT_EQ(g.m_nMaxHp, 10);
    EXPECT_EQ(g.m_vInheritFlag.size(), 37u);
}

TEST_F(Repair, BlockAndItemPictures) {
    struct CASE { uint32_t nVer; int nSheet, nIn, nOut; };
    for (CASE c : {CASE{218, 3, 5, 6}, {218, 3, 119, 119}, {219, 3, 5, 5}, {218, 2, 5, 5}}) {
        cByteBuilder b;
        AddFields(b, tblBlockFields, c.nVer, {{1, 0}, {5, c.nIn}, {6, c.nSheet}});
        b.I32(1).Str("").I16(0).I16(0).I32(0).I32(0);
        cBlockData d;
        ASSERT_TRUE(ReadAt(d, c.nVer, b));
        EXPECT_EQ(d.m_nGraphic, c.nOut);

        cByteBuilder i;
        AddFields(i, tblItemFields, c.nVer, {{1, 0}, {7, c.nIn}, {8, c.nSheet}});
        i.I32(1).Str("").I16(0).I16(0).I32(0).I32(0).I32(0);
        cItemData it;
        ASSERT_TRUE(ReadAt(it, c.nVer, i));
        EXPECT_EQ(it.m_nGraphic, c.nOut);
    }
    cBlockData empty;
    EXPECT_EQ(empty.m_nHit, 1);
    EXPECT_EQ(empty.m_nPassGroup, 255);
    empty.m_bNoReplace = 1;
    empty.Normalize();
    EXPECT_EQ(empty.m_nHit, 0);
    EXPECT_EQ(empty.m_bNoReplace, 0);

    ctx.anDbCount[DBLIST_SOUND] = 5;
    for (int nSize : {0, 200}) {
        cItemData it;
        it.m_nSize = static_cast<uint8_t>(nSize);
        it.m_nSound = 5;
        it.m_vCmd.resize(1);
        WriteBytes(it);
        EXPECT_EQ(it.m_nSize, 1);
        EXPECT_EQ(it.m_nSound, 0);
        it.SetDefault();
        EXPECT_EQ(it.m_vCmd.size(), 1u);
        EXPECT_EQ(it.m_nGraphicSheet, 2);
        EXPECT_EQ(it.m_nOption, 6);
    }
}

TEST_F(Repair, CommandDatabaseReferences) {
    ctx.anDbCount[DBLIST_SOUND] = 4;
    ctx.anDbCount[DBLIST_ANIME] = 4;
    ctx.anDbCount[DBLIST_ANIMESET] = 4;
    ctx.anDbCount[DBLIST_BMP_CHARAEXC] = 4;
    struct CASE { int nItem, nKind; std::vector<int32_t> vIn; int nIndex, nExpect; };
    const CASE aCase[] = {
        {0, CMD_ANIME, {-1}, 0, 1},
        {0, CMD_ANIME, {3}, 0, 3},
        {0, CMD_ANIMESET, {4}, 0, 0},
        {1, 12, {9}, 0, 0},           // item kind 12: base animation set
        {0, CMD_GRAPHIC, {4, 4, 0}, 1, 1},
        {0, CMD_GRAPHIC, {3, 4, 0}, 1, 4},
        {0, CMD_SOUND, {4}, 0, 1},
        {1, 20, {-5}, 0, 1},          // item kind 20: sound
    };
    for (const CASE& c : aCase) {
        cEdCmd cmd = ReadCmd(854, c.nItem, c.nKind, c.vIn);
        EXPECT_EQ(cmd.Param(c.nIndex), c.nExpect) << c.nItem << "/" << c.nKind;
    }
    cEdCmd s;
    s.m_nSound = 4;
    s.m_nAnime = -1;
    s.Normalize();
    EXPECT_EQ(s.m_nSound, 0);
    EXPECT_EQ(s.m_nAnime, 0);
}

TEST_F(Repair, SwordTimeIsTheSumOfItsParts) {
    cEdCmd sword;
    sword.m_nKind = CMD_SWORD;
    sword.m_nTime = 77;
    sword.Normalize();  // no shot record: nothing to take the type from
    EXPECT_EQ(sword.m_nTime, 77);

    NewEdShot(sword.m_pShot);
    sword.m_pShot->m_nType = 1;
    ctx.anDbCount[DBLIST_SWORDTYPE] = 0;
    sword.Normalize();  // an empty list: the type resets, the time stays
    EXPECT_EQ(sword.m_pShot->m_nType, 0);
    EXPECT_EQ(sword.m_nTime, 77);

    ctx.anDbCount[DBLIST_SWORDTYPE] = 3;
    ctx.mapSwordTimes[2] = {10, 20, 5};
    ctx.mapSwordTimes[0] = {9000, 900, 500};
    sword.m_pShot->m_nType = 2;
    sword.Normalize();
    EXPECT_EQ(sword.m_nTime, 35);
    sword.m_pShot->m_nType = 3;  // out of range: type 0
    sword.Normalize();
    EXPECT_EQ(sword.m_pShot->m_nType, 0);
    EXPECT_EQ(sword.m_nTime, 9999);
}

TEST_F(Repair, PaletteReferencesOfCommands) {
    ctx.vItem[1].assign(3, cItemData());
    ctx.vItem[2].assign(2, cItemData());
    ctx.vBlock[2].assign(4, cBlockData());
    ctx.vChara[1].assign(2, cCharaData());

    cEdCmd shot;
    shot.m_nKind = CMD_SHOT;
    NewEdShot(shot.m_pShot);
    shot.m_pShot->m_nItemPalette = 2;
    shot.m_pShot->m_nItemNum = 2;
    shot.NormalizePalette();
    EXPECT_EQ(shot.m_pShot->m_nItemPalette, 0);
    EXPECT_EQ(shot.m_pShot->m_nItemNum, 0);
    shot.m_pShot->m_nItemPalette = 1;
    shot.m_pShot->m_nItemNum = 2;
    shot.NormalizePalette();
    EXPECT_EQ(shot.m_pShot->m_nItemNum, 2);

    struct CASE { int nKind, nPalette, nNum, nExpect; };
    for (CASE c : {CASE{CMD_SUMMON_BLOCK, 1, 4, 1}, {CMD_SUMMON_BLOCK, 1, 3, 3}, {CMD_SUMMON_CHARA, 0, 2, 1},
                   {CMD_SUMMON_CHARA, 0, -1, 1}, {CMD_SUMMON_ITEM, 0, 2, 2}, {CMD_SUMMON_ITEM, 5, 99, 99}}) {
        cEdCmd sum;
        sum.m_nKind = static_cast<uint8_t>(c.nKind);
        NewEdShot(sum.m_pShot);
        sum.m_pShot->m_nPalette = static_cast<uint8_t>(c.nPalette);
        sum.m_pShot->m_nNum = static_cast<int16_t>(c.nNum);
        sum.NormalizePalette();
        EXPECT_EQ(sum.m_pShot->m_nNum, c.nExpect) << c.nKind << "/" << c.nNum;
    }

    // Get item, as item kind 10 inside a flow of an item's flow change.
    cEdCmd get;
    get.m_bItemCmd = 1;
    get.m_nKind = 10;
    get.m_vParam = {1, 2};
    cEdCmd change;
    change.m_bItemCmd = 1;
    change.m_nKind = ITEMCMD_FLOW_CHANGE;
    change.m_vFlow.resize(1);
    change.m_vFlow[0].m_vCmd.push_back(get);
    change.NormalizePalette();
    EXPECT_EQ(change.m_vFlow[0].m_vCmd[0].m_vParam[1], 1);
}

TEST_F(Repair, BrokenDataFailsCleanly) {
    cByteBuilder full;
    AddFields(full, tblCharaFields, 854, {{1, 0}});
    full.I32(1).Str("").I16(0).I16(0).I32(0).I32(37).Fill(0, 37).I32(1);
    AddCond(full, 854);
    full.I32(1);
    AddFlowHead(full, 854);
    full.I32(0).I32(1);
    AddFields(full, tblFlowKeyFields, 854);
    full.I32(0).I32(19).Fill(0, 19).I32(1);
    AddCmd(full, 854, 0, CMD_JUMP, {1, 2, 3, 4, 5});
    cCharaData ok;
    ASSERT_TRUE(ReadAt(ok, 854, full));
    // Every truncation fails the stream without reading outside it.
    for (size_t n = 1; n < full.Size(); n += 3) {
        cByteBuilder cut = full;
        cut.Cut(n);
        cCharaData d;
        EXPECT_FALSE(ReadAt(d, 854, cut)) << n;
    }
    // Absurd counts.
    cByteBuilder flags;
    AddFields(flags, tblBlockFields, 854, {{1, 0}});
    flags.I32(1).Str("").I16(0).I16(0).I32(0x7FFFFFFF).Fill(0, 8);
    cBlockData b;
    EXPECT_FALSE(ReadAt(b, 854, flags));
    cByteBuilder params;
    AddFields(params, tblCmdFields, 854, {{1, 0}, {2, CMD_JUMP}});
    params.I32(1).Str("").I32(0).I32(0).I32(0).I32(0).I32(-1);
    cEdCmd c;
    EXPECT_FALSE(ReadAt(c, 854, params));
}

TEST_F(Repair, FlowNestingIsCapped) {
    // Item flow changes nested inside each other's flows.
    auto nested = [](int nDepth) {
        cByteBuilder b;
        for (int i = 0; i < nDepth; i++) {
            AddFlowHead(b, 854, {{3, 0}});
            b.I32(0).I32(0).I32(1);
            AddFields(b, tblCmdFields, 854, {{1, 1}, {2, ITEMCMD_FLOW_CHANGE}, {6, 0}, {8, 0}});
            b.I32(1).Str("").I32(0).I32(0).I32(0).I32(1);
        }
        AddFlowHead(b, 854, {{3, 0}});
        b.I32(0).I32(0).I32(0);
        for (int i = 0; i < nDepth; i++) b.I32(2).I32(0).I32(0);
        return b;
    };
    cFlow f;
    EXPECT_TRUE(ReadAt(f, 854, nested(MAX_FLOW_NESTING - 1)));
    EXPECT_FALSE(ReadAt(f, 854, nested(MAX_FLOW_NESTING)));
    EXPECT_FALSE(ReadAt(f, 854, nested(1000)));
}

TEST_F(Repair, FlowKeysArePaddedTo19) {
    cByteBuilder b;
    AddFields(b, tblFlowKeyFields, 854);
    b.I32(0).I32(5).Fill(2, 5);
    cFlowKey k;
    ASSERT_TRUE(ReadAt(k, 854, b));
    ASSERT_EQ(k.m_vKey.size(), 19u);
    EXPECT_EQ(k.m_vKey[4], 2);
    EXPECT_EQ(k.m_vKey[5], 0);
    ExpectWriteReadFixedPoint(k);
}

TEST_F(Repair, CommandCopiesOwnTheirSubRecords) {
    cEdCmd a;
    a.m_nKind = CMD_SHOT;
    NewEdShot(a.m_pShot);
    a.m_pShot->m_nPower = 5;
    NewCondList(a.m_pCondList);
    a.m_pCondList->m_vCond.resize(2);
    cEdCmd b = a;
    ASSERT_TRUE(b.m_pShot);
    EXPECT_NE(b.m_pShot.get(), a.m_pShot.get());
    EXPECT_EQ(b.m_pShot->m_nPower, 5);
    b.m_pShot->m_nPower = 6;
    EXPECT_EQ(a.m_pShot->m_nPower, 5);
    EXPECT_EQ(b.m_pCondList->m_vCond.size(), 2u);
    cEdCmd none;
    b = none;
    EXPECT_FALSE(b.m_pShot);
    EXPECT_FALSE(b.m_pCondList);
    a = a;
    EXPECT_EQ(a.m_pShot->m_nPower, 5);

    cEdShot s;
    s.m_nShiftX = 5;
    s.m_nShiftXInc = 3;
    EXPECT_DOUBLE_EQ(s.GetShiftX(0, 1), -5.0);
    EXPECT_DOUBLE_EQ(s.GetShiftX(2, 0), 11.0);
}

TEST(MenuEntry, EnabledNumbering) {
    cChkVector<cCmd> v(4);
    v[1].m_bEnable = 0;
    EXPECT_EQ(cCmd::GetEnableNum(v), 3);
    EXPECT_EQ(cCmd::GetCmdNum(0, v), 0);
    EXPECT_EQ(cCmd::GetCmdNum(1, v), 2);
    EXPECT_EQ(cCmd::GetCmdNum(2, v), 3);
    EXPECT_EQ(cCmd::GetCmdNum(3, v), 0);
    EXPECT_EQ(cCmd::GetCmdNum(-1, v), 0);
    for (cCmd& c : v) c.m_bEnable = 0;
    EXPECT_EQ(cCmd::GetEnableNum(v), 0);
    EXPECT_EQ(cCmd::GetCmdNum(0, v), 0);
    EXPECT_EQ(cCmd::GetCmdNum(0, cChkVector<cCmd>()), 0);
}

}  // namespace
