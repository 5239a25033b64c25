#include "flow/CmdDispatch.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <mutex>
#include <set>

#include "foundation/Log.h"
#include "foundation/Saturate.h"
#include "play/CharaBase.h"
#include "play/CurrentRun.h"
#include "play/Hero.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "project/Progress.h"
#include "stage/CharaData.h"
#include "stage/Flow.h"
#include "stage/Stage.h"

// The executor of each character command kind. Rows of kinds whose executor
// is not there yet point at CmdExec_Later.
const CMDEXECFUNC pfnCmdExec[CMDKIND_COUNT] = {
    CmdExec_None,                 // 0 none
    CmdExec_None,                 // 1 wait: only its duration
    CmdExec_StraightMove,         // 2 straight move
    CmdExec_GroundTurnMove,       // 3 ground turn-back move
    CmdExec_CircleMove,           // 4 circle move
    CmdExec_ChargeMove,           // 5 charge move
    CmdExec_HomingMove,           // 6 homing move
    CmdExec_AvoidOffScreenMove,   // 7 avoid leaving the screen
    CmdExec_DisableMove,          // 8 cancel motion
    CmdExec_ChangeDirection,      // 9 change direction
    CmdExec_Jump,                 // 10 jump
    CmdExec_Shot,                 // 11 shot
    CmdExec_Sword,                // 12 sword
    CmdExec_SummonBlock,          // 13 summon block
    CmdExec_SummonChara,          // 14 summon character
    CmdExec_SummonItem,           // 15 summon item
    CmdExec_FlowOperation,        // 16 flow operation
    CmdExec_StageClear,           // 17 stage clear
    CmdExec_GameWait,             // 18 game wait
    CmdExec_Message,              // 19 message
    CmdExec_Warp,                 // 20 warp
    CmdExec_SetTarget,            // 21 set target
    CmdExec_StatusOperation,      // 22 status operation
    CmdExec_StatusOperation2,     // 23 status operation 2
    CmdExec_Vanish,               // 24 vanish
    CmdExec_GetItem,              // 25 get item
    CmdExec_ChangeGraphic,        // 26 change graphic
    CmdExec_ChangeAnimeSet,       // 27 change animation set
    CmdExec_RunAnime,             // 28 run animation
    CmdExec_RunEffect,            // 29 run effect
    CmdExec_RunCharaEffect,       // 30 run character effect
    CmdExec_RunScreenEffect,      // 31 run screen effect
    CmdExec_ShowPicture,          // 32 show picture
    CmdExec_ChangeScreenColor,    // 33 change screen colour
    CmdExec_ChangeBackground,     // 34 change background
    CmdExec_PlaySound,            // 35 play sound
    CmdExec_PlayBgm,              // 36 play music
    CmdExec_RunCode,              // 37 run code
    CmdExec_Arrange,              // 38 arrange
    CmdExec_None,                 // 39 loop: expanded when the flows are inserted
};

// The executor of each item command kind: kind k >= 2 is character kind k + 15.
const CMDEXECFUNC pfnItemCmdExec[ITEMCMDKIND_COUNT] = {
    CmdExec_None,                 // 0 none
    ItemCmdExec_FlowChange,       // 1 flow change
    CmdExec_StageClear,           // 2 stage clear
    CmdExec_GameWait,             // 3 game wait
    CmdExec_Message,              // 4 message
    CmdExec_Warp,                 // 5 warp
    CmdExec_SetTarget,            // 6 set target
    CmdExec_StatusOperation,      // 7 status operation
    CmdExec_StatusOperation2,     // 8 status operation 2
    CmdExec_Vanish,               // 9 vanish
    CmdExec_GetItem,              // 10 get item
    CmdExec_ChangeGraphic,        // 11 change graphic
    CmdExec_ChangeAnimeSet,       // 12 change animation set
    CmdExec_RunAnime,             // 13 run animation
    CmdExec_RunEffect,            // 14 run effect
    CmdExec_RunCharaEffect,       // 15 run character effect
    CmdExec_RunScreenEffect,      // 16 run screen effect
    CmdExec_ShowPicture,          // 17 show picture
    CmdExec_ChangeScreenColor,    // 18 change screen colour
    CmdExec_ChangeBackground,     // 19 change background
    CmdExec_PlaySound,            // 20 play sound
    CmdExec_PlayBgm,              // 21 play music
    CmdExec_RunCode,              // 22 run code
    CmdExec_Arrange,              // 23 arrange
    CmdExec_None,                 // 24 loop
};

// The run initialisers: only the movement kinds and the jump have one.
const CMDINITFUNC pfnCmdInit[CMDKIND_COUNT] = {
    nullptr, nullptr,
    CmdInit_Move,         // 2
    CmdInit_Move,         // 3
    CmdInit_CircleMove,   // 4
    CmdInit_Move,         // 5
    CmdInit_HomingMove,   // 6
    CmdInit_Move,         // 7
    nullptr, nullptr,
    CmdInit_Jump,         // 10
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

namespace {

// The record a kind's executor reads besides the parameters.
enum : uint8_t { REC_NONE = 0, REC_MOVE = 1, REC_SHOT = 2 };

uint8_t NeededRecord(int nKind) {
    if ((nKind >= CMD_MOVE_STRAIGHT && nKind <= CMD_MOVE_AVOID) || nKind == CMD_WARP) return REC_MOVE;
    if (nKind >= CMD_SHOT && nKind <= CMD_SUMMON_ITEM) return REC_SHOT;
    return REC_NONE;
}

bool HasRecord(const cEdCmd& cmd, int nKind) {
    uint8_t n = NeededRecord(nKind);
    if (n == REC_MOVE) return cmd.m_pMove.get() != nullptr;
    if (n == REC_SHOT) return cmd.m_pShot.get() != nullptr;
    return true;
}

std::mutex g_ReportLock;
std::set<int>& ReportedKeys() {
    static std::set<int> s;
    return s;
}

// The character kind of a command in a character flow: the signed kind byte,
// an item command mapped to the character numbering; -1 outside the tables.
int CharaKindOf(const cEdCmd& cmd) {
    int nKind = static_cast<int8_t>(cmd.m_nKind);
    if (cmd.m_bItemCmd) return nKind >= 0 ? ItemKindToCmdKind(nKind) : -1;
    return nKind >= 0 && nKind < CMDKIND_COUNT ? nKind : -1;
}

}  // namespace

int CmdReportOnce(int nKey, const char* fmt, ...) {
    {
        std::lock_guard<std::mutex> lock(g_ReportLock);
        if (!ReportedKeys().insert(nKey).second) return 0;
    }
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    WriteReport("%s\n", buf);
    return 1;
}

int CmdReported(int nKey) {
    std::lock_guard<std::mutex> lock(g_ReportLock);
    return ReportedKeys().count(nKey) ? 1 : 0;
}

int CmdExec_None(const CMDCALL& call) {
    (void)call;
    return 0;
}

int CmdExec_Later(const CMDCALL& call) {
    int nKind = static_cast<int8_t>(call.pCmd->m_nKind);
    int nKey = call.bItem ? CMDREPORT_ITEM + nKind : nKind;
    CmdReportOnce(nKey, "command kind %d%s is not run yet", nKind, call.bItem ? " (item)" : "");
    return 0;
}

void CmdDispatch(cCharaBase* pChara, cCmdRun* pRun, cFlowRun* pFlow) {
    if (!pRun || !pRun->m_lpCmd) return;
    cEdCmd& cmd = *pRun->m_lpCmd;
    int nKind = CharaKindOf(cmd);
    if (nKind < 0) {
        CmdReportOnce(CMDREPORT_RANGE + 0, "command kind %d outside the table is not run",
                      static_cast<int8_t>(cmd.m_nKind));
        return;
    }
    if (!HasRecord(cmd, nKind)) {
        CmdReportOnce(CMDREPORT_RECORD + nKind, "command kind %d without its record is not run", nKind);
        return;
    }
    CMDCALL call;
    call.pChara = pChara;
    call.pCmd = &cmd;
    call.pRun = pRun;
    call.pFlow = pFlow;
    call.bMsgCont = pFlow ? pFlow->m_bMsgWait : 0;
    pfnCmdExec[nKind](call);
}

int ItemCmdDispatch(cHero* pHero, cEdCmd* pCmd, cFlowRun* pFlow) {
    if (!pCmd) return 0;
    int nKind = static_cast<int8_t>(pCmd->m_nKind);
    if (nKind < 0 || nKind >= ITEMCMDKIND_COUNT) {
        CmdReportOnce(CMDREPORT_RANGE + 1, "item command kind %d outside the table is not run", nKind);
        return 0;
    }
    int nCharaKind = ItemKindToCmdKind(nKind);
    if (nCharaKind >= 0 && !HasRecord(*pCmd, nCharaKind)) {
        CmdReportOnce(CMDREPORT_RECORD + nCharaKind, "command kind %d without its record is not run", nCharaKind);
        return 0;
    }
    CMDCALL call;
    call.pChara = pHero;
    call.pCmd = pCmd;
    call.pFlow = pFlow;
    call.bItem = 1;
    cPlayScene* pScene = CmdScene();
    bool bMessage = nCharaKind == CMD_MESSAGE;
    if (bMessage && pScene) call.bMsgCont = pScene->m_bMesShown;
    int r;
    {
        // The character whose flows are being stepped stays current (none
        // when the hero takes an item between the flow steps).
        cCurrentRunScope scope(CurrentChara(), pFlow ? pFlow : CurrentFlowRun(), nullptr);
        r = pfnItemCmdExec[nKind](call);
    }
    if (bMessage && pScene) pScene->m_bMesShown = 1;
    if (nKind == ITEMCMD_FLOW_CHANGE) return r;
    return nCharaKind == CMD_STAGE_CLEAR ? 1 : 0;
}

void CmdInitDispatch(cCmdRun* pRun, cCharaBase* pChara) {
    if (!pRun || !pRun->m_lpCmd) return;
    int nKind = CharaKindOf(*pRun->m_lpCmd);
    if (nKind < 0 || !HasRecord(*pRun->m_lpCmd, nKind)) return;
    if (CMDINITFUNC fn = pfnCmdInit[nKind]) fn(pRun, pChara);
}

void InitCmdRun(cCmdRun& run, cEdCmd* pCmd, cCharaBase* pChara) {
    run = cCmdRun();
    run.m_lpCmd = pCmd;
    if (!pCmd) return;
    int64_t c = pChara ? pChara->m_nCopyIndex : 0;
    int64_t b = CmdSubStep();
    int64_t nTime = (static_cast<int64_t>(pCmd->m_nTime) + static_cast<int64_t>(pCmd->m_nTimeInc) * c) * b * 6;
    run.m_nTime = SaturateInt32(nTime);
    if (const cEdMove* pMove = pCmd->m_pMove.get()) {
        run.m_Move.dSpeed = (pMove->m_nSpeed + static_cast<double>(pMove->m_nSpeedInc) * c) * 0.1 / b;
        if (pMove->m_bInertia) run.m_Move.dSpeed2 = pMove->m_nAccel * 0.1 / b;
        run.m_nMoveDir = pMove->m_nDir;
    }
    CmdInitDispatch(&run, pChara);
    run.m_nLeft = 0;
}

void InitFlowRun(cFlowRun& run, cFlow* pFlow, int nIndex, cCharaBase* pChara) {
    run.m_nIndex = nIndex;
    run.m_lpFlow = pFlow;
    run.m_vecCmdRun.clear();
    if (!pFlow) return;
    run.m_vecCmdRun.resize(pFlow->m_vCmd.size());
    for (size_t i = 0; i < pFlow->m_vCmd.size(); i++) InitCmdRun(run.m_vecCmdRun[i], &pFlow->m_vCmd[i], pChara);
}

// --- services ---

cCharaBase* CurrentChara() {
    cPlayScene* p = GetPlayScene();
    return p ? p->m_lpCurChara : nullptr;
}

cFlowRun* CurrentFlowRun() {
    cPlayScene* p = GetPlayScene();
    return p ? p->m_lpCurFlow : nullptr;
}

void SetCurrentCmdRun(cCmdRun* pRun) {
    if (cPlayScene* p = GetPlayScene()) p->m_lpCurCmd = pRun;
}

cPlayScene* CmdScene() { return GetPlayScene(); }
cStage* CmdStage() { return PlayCtx().lpStage; }
cSystemData* CmdSystem() { return PlayCtx().lpSystem; }
cProgress* CmdProgress() { return PlayCtx().lpProgress; }
cDatabase* CmdDatabase() { return PlayCtx().lpDatabase; }

int CmdSubStep() {
    const cStage* p = CmdStage();
    return p && p->m_nSubStep > 0 ? p->m_nSubStep : 1;
}

cCharaBase* CmdTarget(const cCharaBase* pChara, int nSlot) {
    if (!pChara || nSlot < 0 || static_cast<size_t>(nSlot) >= pChara->m_vecTarget.size()) return nullptr;
    return pChara->m_vecTarget[nSlot].GetAs<cCharaBase>();
}

cHero* CmdHero() {
    auto& v = vecPlayer();
    return v.empty() ? nullptr : v.front().get();
}

int32_t* CommonVarPtr(int n) {
    cProgress* p = CmdProgress();
    if (!p || !p->m_vCommonVar.IsValid(n)) return nullptr;
    return &p->m_vCommonVar[n];
}

int32_t* StageVarPtr(int n) {
    cPlayScene* p = CmdScene();
    if (!p || n < 0 || static_cast<size_t>(n) >= p->m_vecStageVar.size()) return nullptr;
    return &p->m_vecStageVar[n];
}

int32_t* CharaVarPtr(cCharaBase* pChara, int n) {
    if (!pChara || n < 0 || static_cast<size_t>(n) >= pChara->m_vecVar.size()) return nullptr;
    return &pChara->m_vecVar[n];
}

int CmdRandom(int a, int b) { return PlayRandom().Get(a, b); }

void CmdPlayCmdSound(const CMDCALL& call, int bOnScreenTest) {
    int nSound = call.pCmd->m_nSound;
    if (nSound <= 0) return;
    if (bOnScreenTest && call.pCmd->m_bSoundOnScreen && call.pChara && !call.pChara->m_bOnScreen) return;
    if (cPlayScene* p = CmdScene()) p->PlayUserSound(nSound);
    else PlayHost().PlaySound(16 + nSound);   // database sound k is sound-table number 16 + k
}
