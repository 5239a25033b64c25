// Shot, sword and summon commands (kinds 11 to 15): they fire on their first
// step and again every tenth of a second while they last; the sword is made
// once per run of its command.
#include <memory>

#include "flow/CmdDispatch.h"
#include "play/CharaBase.h"
#include "play/PlayScene.h"
#include "play/Shot.h"
#include "project/Database.h"
#include "project/SwordType.h"
#include "stage/Flow.h"
#include "stage/Stage.h"

namespace {
using EMITFUNC = void (*)(const CMDCALL& call, cEdShot& rec);

int FireEvery(const CMDCALL& call, EMITFUNC pfnEmit) {
    cCmdRun* pRun = call.pRun;
    if (!pRun || !call.pCmd || !call.pCmd->m_pShot || !call.pChara) return 0;
    if (pRun->m_nCount == 0) {
        CmdPlayCmdSound(call, 1);
        pfnEmit(call, *call.pCmd->m_pShot);
    }
    if (++pRun->m_nCount >= 6 * CmdSubStep()) pRun->m_nCount = 0;
    return 0;
}

void EmitShotCall(const CMDCALL& call, cEdShot& rec) {
    if (cPlayScene* pScene = CmdScene()) EmitShot(&pScene->m_lstShot, call.pChara, call.pFlow, rec);
}
void EmitBlockCall(const CMDCALL& call, cEdShot& rec) { EmitBlockSummon(call.pChara, call.pFlow, rec); }
void EmitCharaCall(const CMDCALL& call, cEdShot& rec) { EmitCharaSummon(call.pChara, call.pFlow, rec); }
void EmitItemCall(const CMDCALL& call, cEdShot& rec) { EmitItemSummon(call.pChara, call.pFlow, rec); }
}   // namespace

int CmdExec_Shot(const CMDCALL& call) { return FireEvery(call, EmitShotCall); }
int CmdExec_SummonBlock(const CMDCALL& call) { return FireEvery(call, EmitBlockCall); }
int CmdExec_SummonChara(const CMDCALL& call) { return FireEvery(call, EmitCharaCall); }
int CmdExec_SummonItem(const CMDCALL& call) { return FireEvery(call, EmitItemCall); }

int CmdExec_Sword(const CMDCALL& call) {
    cCmdRun* pRun = call.pRun;
    if (!pRun || !call.pCmd || !call.pCmd->m_pShot || !call.pChara) return 0;
    if (pRun->m_nCount != 0) return 0;
    pRun->m_nCount++;
    CmdPlayCmdSound(call, 1);
    cPlayScene* pScene = CmdScene();
    const cDatabase* pDb = CmdDatabase();
    if (!pScene || !pDb || pDb->m_vSwordType.empty()) return 0;
    cEdShot& rec = *call.pCmd->m_pShot;
    // A type outside the list is taken as type 0; a type without parts makes
    // no sword.
    if (rec.m_nType >= pDb->m_vSwordType.size()) rec.m_nType = 0;
    if (pDb->m_vSwordType[rec.m_nType].GetPartCount() <= 0) return 0;
    SHOTLAUNCH l;
    l.nWidth = pDb->m_vSwordType[rec.m_nType].GetPart(0).m_nWidth;
    l.nHeight = pDb->m_vSwordType[rec.m_nType].GetPart(0).m_nHeight;
    auto p = std::make_unique<cShot>();
    p->Setup(pScene->m_nShotCount, call.pChara, SHOTKIND_SWORD, rec, l);
    cShot* pSword = pScene->AddShot(std::move(p));
    if (pScene->m_nShotCount < INT32_MAX) pScene->m_nShotCount++;
    pSword->m_bErased = 0;
    if (cCharaBase* pOwner = pSword->m_lpAttacker.GetAs<cCharaBase>()) {
        cObjRef self(pSword);
        bool bFound = false;
        for (const CHARACHILD& c : pOwner->m_vecChild)
            if (c.Shot == self && c.nKind == 4) bFound = true;
        if (!bFound) pOwner->m_vecChild.push_back({self, 4});
    }
    return 0;
}
