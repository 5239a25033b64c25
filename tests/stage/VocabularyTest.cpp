// The vocabulary tables: sizes, the item-kind mapping, the repair table's
// resizes against today's parameter counts, direction translation and the
// bounded slot lookups.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "stage/CmdRepair.h"
#include "stage/CmdVocabulary.h"
#include "stage/EffectVocabulary.h"
#include "stage/MoveVocabulary.h"
#include "stage/StageContext.h"

TEST(CmdVocabulary, TableSizesAndItemKindsMirrorCharacterKinds) {
    EXPECT_EQ(std::size(tblCmdKind), 40u);
    EXPECT_EQ(std::size(tblItemCmdKind), 25u);
    EXPECT_EQ(std::size(tblTrigger) - 1, 23u);
    EXPECT_STREQ(tblTrigger[22], "なし（フローの操作コマンドで実行）");
    EXPECT_STREQ(tblTrigger[23], "");
    for (int k = 2; k < ITEMCMDKIND_COUNT; k++) {
        SCOPED_TRACE(k);
        EXPECT_STREQ(tblItemCmdKind[k].szName, tblCmdKind[k + 15].szName);
        EXPECT_EQ(tblItemCmdKind[k].nParam, tblCmdKind[k + 15].nParam);
        EXPECT_EQ(ItemKindToCmdKind(k), k + 15);
        EXPECT_EQ(GetCmdParamCount(true, k), GetCmdParamCount(false, k + 15));
    }
    EXPECT_EQ(ItemKindToCmdKind(1), -1);
    EXPECT_EQ(GetCmdParamCount(true, 1), 2);
    EXPECT_EQ(GetCmdParamCount(false, 40), -1);
    EXPECT_EQ(GetCmdParamCount(true, 25), -1);
    EXPECT_EQ(GetCmdParamCount(false, -1), -1);
    EXPECT_EQ(TextListCount(tblStatusFlag[5].lpszOption), 10);
    EXPECT_EQ(tblCharaStatus[7].nOpMin, -121);
    EXPECT_EQ(TextListCount(aszFlowId), 27);
    EXPECT_STREQ(TextListAt(aszDistShape, 7), "");
}

// Every "resize to N" of the repair table leaves the kind with the count it
// has today. Rows before the renumbering give kinds of that time: kinds 24
// and above are today's kind + 1.
TEST(CmdVocabulary, RepairResizesMatchTodaysParameterCounts) {
    int nRows = 0;
    const CMDREPAIR* aRow = GetCmdRepairTable(&nRows);
    bool bRenumbered = false;
    uint32_t nPrev = 0;
    int nResizes = 0;
    for (int r = 0; r < nRows; r++) {
        const CMDREPAIR& row = aRow[r];
        SCOPED_TRACE(row.nBelow);
        EXPECT_GE(row.nBelow, nPrev);  // in version order
        nPrev = row.nBelow;
        if (row.anKind[0] == CMDREPAIR_RENUMBER) {
            bRenumbered = true;
            continue;
        }
        if (row.nResize == CMDREPAIR_NO_RESIZE) continue;
        for (int k : row.anKind) {
            if (k == 0) continue;
            int nToday = (!bRenumbered && k >= CMDREPAIR_RENUMBER_FROM) ? k + 1 : k;
            EXPECT_EQ(row.nResize, GetCmdParamCount(false, nToday)) << "kind " << k;
            nResizes++;
        }
    }
    EXPECT_TRUE(bRenumbered);
    EXPECT_EQ(nResizes, 21);  // the resize rows of the table, kind by kind
}

TEST(MoveVocabulary, InputDirToDir) {
    struct CASE { int nCode, bFlag, nFacing, nReplay, nExpect; };
    const CASE aCase[] = {
        {0, 0, 1, 0, DIR_RIGHT}, {0, 1, 0, 0, DIR_LEFT},  {9, 1, 0, 0, DIR_FRONT}, {9, 0, 0, 0, DIR_LEFT},
        {5, 0, 0, 0, DIR_UP_LEFT}, {5, 1, 1, 0, DIR_UP_LEFT}, {8, 0, 1, 0, DIR_DOWN_RIGHT},
        // Replays: 777 and older always the flag-set rule, 778/779 the flag-clear rule.
        {9, 1, 1, 778, DIR_RIGHT}, {9, 1, 1, 700, DIR_FRONT}, {9, 0, 1, 777, DIR_FRONT},
        {9, 0, 0, 780, DIR_LEFT}, {9, 1, 0, 780, DIR_FRONT},
        // A code outside 0..9 counts as 0.
        {10, 0, 1, 0, DIR_RIGHT}, {-3, 1, 0, 0, DIR_LEFT},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.nCode * 1000 + c.nReplay);
        EXPECT_EQ(InputDirToDirForReplay(c.nCode, c.bFlag, c.nFacing, c.nReplay), c.nExpect);
    }
    struct cReplayCtx : cStageContext {
        int ReplayPlaybackVersion() const override { return 778; }
    } ctx;
    cStageContextScope scope(ctx);
    EXPECT_EQ(InputDirToDir(9, 1, 1), DIR_RIGHT);
    // A scope belongs to its thread: another thread still sees no replay.
    int nOther = -1;
    std::thread([&] { nOther = InputDirToDir(9, 1, 1); }).join();
    EXPECT_EQ(nOther, DIR_FRONT);
    // The process-wide context reaches every thread without a scope.
    cStageContext* pPrev = SetStageContext(&ctx);
    std::thread([&] { nOther = InputDirToDir(9, 1, 1); }).join();
    SetStageContext(pPrev);
    EXPECT_EQ(nOther, DIR_RIGHT);
}

TEST(EffectVocabulary, SlotTablesAndDefaultsTheDatabaseReads) {
    EXPECT_EQ(std::size(tblCharaEffectParam), 85u);
    EXPECT_EQ(std::size(tblScrEffectParam), 70u);
    EXPECT_EQ(std::size(tblShotFormationParam), 18u);
    EXPECT_EQ(std::size(tblShotOrbitParam), 30u);
    for (int s = 0; s < EFFECT_PARAM_SLOTS; s++) {
        EXPECT_STREQ(GetCharaEffectParam(0, s).szName, "");
        EXPECT_STREQ(GetScrEffectParam(0, s).szName, "");
    }
    EXPECT_STREQ(tblCharaEffectKind[0], "破裂");
    EXPECT_STREQ(GetCharaEffectParam(1, 0).szName, "実行時間(1/10s)");
    EXPECT_STREQ(tblScrEffectKind[0], "移動");
    // The slots older database entries take their defaults from.
    EXPECT_EQ(GetCharaEffectParam(4, 4).nDefault, 2);
    EXPECT_EQ(GetCharaEffectParam(5, 4).nDefault, 2);
    EXPECT_EQ(GetCharaEffectParam(10, 3).nDefault, 2);
    EXPECT_EQ(GetScrEffectParam(6, 4).nDefault, 8);
    EXPECT_EQ(GetScrEffectParam(7, 4).nDefault, 10);
    EXPECT_EQ(GetScrEffectParam(10, 3).nDefault, 8);
    EXPECT_EQ(GetScrEffectParam(12, 3).nMin, -320);
    EXPECT_EQ(GetShotFormationParam(3, 1).nMax, 50);
    EXPECT_EQ(GetShotOrbitParam(8, 2).nMax, 359);
    // Lookups outside the tables give the empty slot.
    for (auto [k, s] : {std::pair{17, 0}, {-1, 0}, {1, 5}, {1, -1}}) {
        EXPECT_STREQ(GetCharaEffectParam(k, s).szName, "");
        EXPECT_EQ(GetCharaEffectParam(k, s).nMax, 0);
    }
    EXPECT_EQ(GetScrEffectParam(14, 0).nMax, 0);
    EXPECT_EQ(GetShotFormationParam(6, 0).nMax, 0);
    EXPECT_EQ(GetShotOrbitParam(10, 0).nMax, 0);
    EXPECT_TRUE(std::strncmp(tblCharaEffectNote[11], "Direct3D有効時：遅過ぎ", std::strlen("Direct3D有効時：遅過ぎ")) == 0);
}
