#pragma once
// Command dispatch: the executor of every character command kind (40) and
// every item command kind (25), the run initialisers, and the few services
// the executors reach the stage through.
//
// Every executor has one signature: it gets the explicit call record below
// (who runs the command, the command, its run and the flow run) and returns
// an int. For a character command the value is not used. For an item
// command it decides whether the hero's item list goes on: the item
// dispatcher returns 1 after a stage clear, the flow change's own value for
// item kind 1, and 0 for every other kind, whatever the executor returned.
//
// To register an executor: define the function declared below (or a new one
// of the same signature) in your own file and point its row in
// CmdDispatch.cpp at it. Item kinds 2..24 are the character kinds 17..39: a
// row of pfnItemCmdExec names the same function as the character row.
//
// Executors never see an absent record they need: the dispatcher runs
// nothing (and logs once per kind) when a kind that needs a movement record
// or a shot record has none. The condition list of the flow operation is
// optional; its executor tests pCmd->m_pCondList itself.
#include <cstdarg>
#include <cstdint>

#include "flow/FlowRun.h"
#include "stage/CmdVocabulary.h"

class cCharaBase;
class cHero;
class cEdCmd;
class cFlow;
class cPlayScene;
class cStage;
class cSystemData;
class cProgress;
class cDatabase;

// What an executor is called with. The current character, flow run and
// command run travel here; the play scene's m_lpCurChara, m_lpCurFlow and
// m_lpCurCmd hold the same while the executor runs (play/CurrentRun.h).
struct CMDCALL {
    cCharaBase* pChara = nullptr;   // runs the command; the hero for an item command
    cEdCmd* pCmd = nullptr;         // never null; in the character's own flow copy
    cCmdRun* pRun = nullptr;        // null for an item command
    cFlowRun* pFlow = nullptr;      // the flow run being stepped; may be null for an item command
    int32_t bItem = 0;              // run by the hero's item list
    int32_t bMsgCont = 0;           // a message continues the previous one (no zoom, delay, opening sound)
};

using CMDEXECFUNC = int (*)(const CMDCALL& call);
// Completes a command run when the runs of a flow are created.
using CMDINITFUNC = void (*)(cCmdRun* pRun, cCharaBase* pChara);

extern const CMDEXECFUNC pfnCmdExec[CMDKIND_COUNT];
extern const CMDEXECFUNC pfnItemCmdExec[ITEMCMDKIND_COUNT];
extern const CMDINITFUNC pfnCmdInit[CMDKIND_COUNT];

// --- dispatch ---
// Runs the executor of a character command for one step (from cCmdRun::Exec).
// A kind outside 0..39 runs nothing and is logged once.
void CmdDispatch(cCharaBase* pChara, cCmdRun* pRun, cFlowRun* pFlow);
// Runs one item command on the hero; non-zero stops the item list. A kind
// outside 0..24 runs nothing (logged once) and returns 0. The message gets the
// scene's message-shown flag as its continuation and sets it.
int ItemCmdDispatch(cHero* pHero, cEdCmd* pCmd, cFlowRun* pFlow);
// The run initialiser of the command's kind (none for most kinds).
void CmdInitDispatch(cCmdRun* pRun, cCharaBase* pChara);

// Creating the runs (done while flows are inserted into a character): the
// duration in steps and the movement speeds from the command, then the
// kind's initialiser. m_nLeft starts at 0.
void InitCmdRun(cCmdRun& run, cEdCmd* pCmd, cCharaBase* pChara);
// A flow's run: index, flow, one command run per command (serial, condition
// bookkeeping and the rest are the caller's).
void InitFlowRun(cFlowRun& run, cFlow* pFlow, int nIndex, cCharaBase* pChara);

// --- executors ---
// Kinds 0, 1 and 39 (none, wait, loop) and item kinds 0 and 24: nothing.
int CmdExec_None(const CMDCALL& call);
// A kind whose executor is not there yet: logs once per kind, does nothing.
int CmdExec_Later(const CMDCALL& call);

// Movement (kinds 2..10).
int CmdExec_StraightMove(const CMDCALL& call);
int CmdExec_GroundTurnMove(const CMDCALL& call);
int CmdExec_CircleMove(const CMDCALL& call);
int CmdExec_ChargeMove(const CMDCALL& call);
int CmdExec_HomingMove(const CMDCALL& call);
int CmdExec_AvoidOffScreenMove(const CMDCALL& call);
int CmdExec_DisableMove(const CMDCALL& call);
int CmdExec_ChangeDirection(const CMDCALL& call);
int CmdExec_Jump(const CMDCALL& call);
void CmdInit_Move(cCmdRun* pRun, cCharaBase* pChara);
void CmdInit_CircleMove(cCmdRun* pRun, cCharaBase* pChara);
void CmdInit_HomingMove(cCmdRun* pRun, cCharaBase* pChara);
void CmdInit_Jump(cCmdRun* pRun, cCharaBase* pChara);
// Shot, sword, summons (kinds 11..15).
int CmdExec_Shot(const CMDCALL& call);
int CmdExec_Sword(const CMDCALL& call);
int CmdExec_SummonBlock(const CMDCALL& call);
int CmdExec_SummonChara(const CMDCALL& call);
int CmdExec_SummonItem(const CMDCALL& call);
// Flow operation, stage clear, game wait, message, warp, target (16..21).
int CmdExec_FlowOperation(const CMDCALL& call);
int CmdExec_StageClear(const CMDCALL& call);
int CmdExec_GameWait(const CMDCALL& call);
int CmdExec_Message(const CMDCALL& call);
int CmdExec_Warp(const CMDCALL& call);
int CmdExec_SetTarget(const CMDCALL& call);
// Status operations (22, 23).
int CmdExec_StatusOperation(const CMDCALL& call);
int CmdExec_StatusOperation2(const CMDCALL& call);
// Vanish, get-item, graphic, animation (24..28).
int CmdExec_Vanish(const CMDCALL& call);
int CmdExec_GetItem(const CMDCALL& call);
int CmdExec_ChangeGraphic(const CMDCALL& call);
int CmdExec_ChangeAnimeSet(const CMDCALL& call);
int CmdExec_RunAnime(const CMDCALL& call);
// Effects, picture, screen, background, sound, music (29..36).
int CmdExec_RunEffect(const CMDCALL& call);
int CmdExec_RunCharaEffect(const CMDCALL& call);
int CmdExec_RunScreenEffect(const CMDCALL& call);
int CmdExec_ShowPicture(const CMDCALL& call);
int CmdExec_ChangeScreenColor(const CMDCALL& call);
int CmdExec_ChangeBackground(const CMDCALL& call);
int CmdExec_PlaySound(const CMDCALL& call);
int CmdExec_PlayBgm(const CMDCALL& call);
// Run code, arrange (37, 38).
int CmdExec_RunCode(const CMDCALL& call);
int CmdExec_Arrange(const CMDCALL& call);
// Item kind 1: the flow change of the hero's flows.
int ItemCmdExec_FlowChange(const CMDCALL& call);

// --- the current run ---
// A nested run saves and puts back the scene's current character, flow run
// and command run with cCurrentRunScope (play/CurrentRun.h).
cCharaBase* CurrentChara();
cFlowRun* CurrentFlowRun();
void SetCurrentCmdRun(cCmdRun* pRun);

// --- what executors reach the stage through ---
// All of these answer safely (null, 0) when the play context lacks the part.
cPlayScene* CmdScene();
cStage* CmdStage();
cSystemData* CmdSystem();
cProgress* CmdProgress();
cDatabase* CmdDatabase();
// b, the logic steps per displayed frame (at least 1).
int CmdSubStep();
// Target slot 0..3 (targets 1..4) of a character; null when unset, gone or
// the slot is out of range.
cCharaBase* CmdTarget(const cCharaBase* pChara, int nSlot);
// The hero (the first player), null when there is none.
cHero* CmdHero();
// Variables by number; null for a number outside the list (a command then
// does nothing). Common variables 0..1000, stage variables 0..1000,
// character variables 0..8.
int32_t* CommonVarPtr(int n);
int32_t* StageVarPtr(int n);
int32_t* CharaVarPtr(cCharaBase* pChara, int n);
// A random number between a and b inclusive, bounds in either order.
int CmdRandom(int a, int b);
// The command's sound (database sound number); with nOnScreenTest the
// command's on-screen flag is honoured (only while the character is on screen).
void CmdPlayCmdSound(const CMDCALL& call, int bOnScreenTest);
// A report written once per key for the life of the process (a kind that
// runs nothing, a placeholder). Returns 1 when written now.
int CmdReportOnce(int nKey, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// Keys of CmdReportOnce: kind k of the character table is k, item kind k is
// 100 + k, out-of-range kinds are 200 + the table (0 character, 1 item),
// records missing 300 + character kind.
constexpr int CMDREPORT_ITEM = 100;
constexpr int CMDREPORT_RANGE = 200;
constexpr int CMDREPORT_RECORD = 300;
// Whether a key has been reported (tests).
int CmdReported(int nKey);
