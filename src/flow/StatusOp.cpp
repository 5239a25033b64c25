// The status operations (change a status, a system value or a variable; set
// a status flag) and the status condition that compares them.
#include <algorithm>

#include "flow/CmdDispatch.h"
#include "flow/StatusAccess.h"
#include "flow/ValueOp.h"
#include "play/CharaBase.h"
#include "play/Conditions.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "project/SystemData.h"
#include "stage/Flow.h"
#include "stage/Stage.h"

namespace {

constexpr int SUBJECT_SYSTEM = 5;

// Subject 0 the runner, 1..4 its targets; null for a missing target or an
// unknown subject.
cCharaBase* SubjectChara(cCharaBase* pRunner, int nSubject) {
    if (nSubject == 0) return pRunner;
    if (nSubject >= 1 && nSubject <= 4) return CmdTarget(pRunner, nSubject - 1);
    return nullptr;
}

void MarkCheckDead() {
    if (cPlayScene* p = CmdScene()) p->m_bCheckDead = 1;
}

// Reads a status of a subject as a source value; false when the command is
// to do nothing (missing target, unknown status, sight of a non-hero).
bool ReadSubjectStatus(cCharaBase* pRunner, int nSubject, int nStatus, int nVar, int32_t* pOut) {
    if (nSubject == SUBJECT_SYSTEM) {
        if (nStatus < 0 || nStatus >= SYSVAL_COUNT) return false;
        *pOut = ReadSystemValue(nStatus, 1);
        return true;
    }
    cCharaBase* p = SubjectChara(pRunner, nSubject);
    if (!p) return false;
    if (nStatus == CSTAT_SIGHT && !p->IsHero()) return false;
    STATUSSLOT s;
    if (!GetCharaStatusSlot(p, nStatus, nVar, &s)) return false;
    if (nStatus == CSTAT_STOP) RefreshStopDecel(p);
    *pOut = s.Get();
    return true;
}

}  // namespace

int CmdExec_StatusOperation(const CMDCALL& call) {
    const cEdCmd& cmd = *call.pCmd;
    cCharaBase* pRunner = call.pChara;
    auto P = [&](int i) { return cmd.Param(i); };
    const int nOp = P(5);
    const bool bPercent = P(14) != 0;

    // 1. The source value.
    int32_t v = 0;
    switch (P(6)) {
    case 0: v = P(7); break;
    case 1: v = CmdRandom(P(8), P(9)); break;
    case 2:
        if (!ReadSubjectStatus(pRunner, P(12), P(13), P(11), &v)) return 0;
        break;
    case 3: {
        int32_t* p = VarPtr(P(10), P(11));
        if (!p) return 0;
        v = *p;
        break;
    }
    default: return 0;
    }

    // 2. A variable.
    if (P(0) == 1) {
        int32_t* p = VarPtr(P(1), P(2));
        if (!p) return 0;
        if (bPercent) v = Percent_Int(v, *p);
        ApplyOp_Int(p, v, nOp, -999999, 999999);
        return 0;
    }

    // 3. A system value.
    if (P(3) == SUBJECT_SYSTEM) {
        int n = P(4);
        if (n == SYSVAL_LIFE && IsLifeUnlimited()) return 0;
        STATUSSLOT s;
        if (!GetSystemSlot(n, &s)) return 0;
        if (bPercent) v = Percent_Int(v, s.Get());
        s.Apply(v, nOp);
        if (n == SYSVAL_SCROLLX) ApplyScrollSpeed(0);
        if (n == SYSVAL_SCROLLY) ApplyScrollSpeed(1);
        return 0;
    }

    // 4. A character status.
    cCharaBase* pDest = SubjectChara(pRunner, P(3));
    if (!pDest) return 0;
    if (P(17) && pDest->m_Data.m_nInvincible != 0) return 0;
    const bool bOther = pDest != pRunner;
    const int nStatus = P(4);
    switch (nStatus) {
    case CSTAT_HP:
    case CSTAT_SP: {
        bool bHp = nStatus == CSTAT_HP;
        int32_t nCur = bHp ? pDest->m_nHp : pDest->m_nSp;
        int32_t nMax = bHp ? pDest->m_Data.m_nMaxHp : pDest->m_Data.m_nMaxSp;
        int32_t nOperand = v;
        if (P(15) == 1) nOperand = Percent_Int(v, nMax);
        else if (P(15) == 2) nOperand = Percent_Int(v, nCur);
        int32_t nNew = ApplyOpValue(nCur, nOperand, nOp, 0, 999999);
        int nDiff = nNew - nCur;   // both in 0..999999 or the current value: no overflow
        if (bHp) {
            pDest->AddHp(nDiff, 1, P(16));
            if (bOther && pDest->m_nHp <= 0) MarkCheckDead();
        } else {
            pDest->AddSp(nDiff, P(16));
        }
        return 0;
    }
    case CSTAT_MAXHP:
    case CSTAT_MAXSP: {
        bool bHp = nStatus == CSTAT_MAXHP;
        int32_t& nMax = bHp ? pDest->m_Data.m_nMaxHp : pDest->m_Data.m_nMaxSp;
        int32_t& nCur = bHp ? pDest->m_nHp : pDest->m_nSp;
        if (bPercent) v = Percent_Int(v, nMax);
        ApplyOp_Int(&nMax, v, nOp, 0, 999999);
        if (nCur > nMax) nCur = nMax;
        if (bHp && bOther && pDest->m_nHp <= 0) MarkCheckDead();
        return 0;
    }
    case CSTAT_SIGHT:
        if (!pDest->IsHero()) return 0;
        break;
    default: break;
    }
    STATUSSLOT s;
    if (!GetCharaStatusSlot(pDest, nStatus, P(2), &s)) return 0;
    if (bPercent) v = Percent_Int(v, s.Get());
    s.Apply(v, nOp);
    if (nStatus == CSTAT_STOP) RefreshStopDecel(pDest);
    if (nStatus == CSTAT_SIGHT) OnSightChanged(pDest);
    return 0;
}

int CmdExec_StatusOperation2(const CMDCALL& call) {
    const cEdCmd& cmd = *call.pCmd;
    const int nFlag = cmd.Param(1);
    const int nValue = cmd.Param(2);
    if (cmd.Param(0) == SUBJECT_SYSTEM) {
        cStage* pStage = CmdStage();
        if (!pStage || (nFlag != 0 && nFlag != 1)) return 0;
        (nFlag == 0 ? pStage->m_nScrollModeX : pStage->m_nScrollModeY) = nValue;
        ApplyScrollSpeed(nFlag);
        return 0;
    }
    cCharaBase* p = SubjectChara(call.pChara, cmd.Param(0));
    if (!p) return 0;
    cCharaData& d = p->m_Data;
    switch (nFlag) {
    case 0:   // vanish
        if (p->IsHero()) p->m_nHp = 0;
        else p->m_bVanish = 1;
        if (p != call.pChara) MarkCheckDead();
        break;
    case 1: d.m_bTrans = static_cast<uint8_t>(nValue); break;
    case 2: d.m_bFixDir = static_cast<uint8_t>(nValue); break;
    case 3:
        if (p->IsHero()) static_cast<cHero*>(p)->SetFlight(nValue, 1, cmd.Param(3), cmd.Param(4));
        break;
    case 4: d.m_nInvincible = static_cast<uint8_t>(nValue); break;
    case 5: {
        // The giant factor is 1..10 wherever it is stored.
        int nNew = std::clamp(nValue, 1, 10);
        int nOld = d.m_nGiant;
        if (nNew != nOld) {
            cSystemData* pSys = CmdSystem();
            if (!(pSys && pSys->m_bRuleScaleFootBox)) p->m_nLockFrames = 2;
            p->SetScale(nNew, nOld, 0);
        }
        d.m_nGiant = static_cast<uint8_t>(nNew);
        if (p->IsHero()) static_cast<cHero*>(p)->BuildHitBoxes();
        break;
    }
    case 6:
        d.m_bScrollSync = static_cast<uint8_t>(nValue);
        p->m_bScrollSync = nValue;
        break;
    default: break;
    }
    return 0;
}

int CondCheck_Status(const cCond& cond, cCharaBase* pChara) {
    // 1. The right value.
    int32_t r = 0;
    switch (cond.m_nSource) {
    case 0: r = cond.m_nValue; break;
    case 1: r = CmdRandom(cond.m_nRandMin, cond.m_nRandMax); break;
    case 2: {
        int nSubject = cond.m_nSrcSubject;
        if (nSubject == SUBJECT_SYSTEM) {
            if (cond.m_nSrcStatus < 0 || cond.m_nSrcStatus >= SYSVAL_COUNT) return 0;
            r = ReadSystemValue(cond.m_nSrcStatus, 1);
            break;
        }
        cCharaBase* p = nSubject >= 1 && nSubject <= 4 ? CmdTarget(pChara, nSubject - 1) : pChara;
        if (!p) return 0;
        if (cond.m_nSrcStatus == CSTAT_SIGHT && !p->IsHero()) return 0;
        STATUSSLOT s;
        if (!GetCharaStatusSlot(p, cond.m_nSrcStatus, cond.m_nSrcVarNum, &s)) return 0;
        r = s.Get();
        break;
    }
    case 3: {
        int32_t* p = VarPtr(cond.m_nSrcVarKind, cond.m_nSrcVarNum);
        if (!p) return 0;
        r = *p;
        break;
    }
    default: return 0;
    }
    // The condition keeps the value it compared with.
    const_cast<cCond&>(cond).m_nValue = r;

    // 2. The left value, with its range and width.
    int32_t l = 0;
    int32_t lo = -999999, hi = 999999;
    int nWidth = 4;
    int32_t nBase = 0;
    if (cond.m_nLeftType == 1) {
        int32_t* p = VarPtr(cond.m_nLeftVarKind, cond.m_nVarNum);
        if (!p) return 0;
        l = *p;
    } else if (cond.m_nSubject == SUBJECT_SYSTEM) {
        int n = cond.m_nStatus;
        STATUSSLOT s;
        if (!GetSystemSlot(n, &s)) return 0;
        if (n == SYSVAL_LIFE && IsLifeUnlimited()) {
            cSystemData* pSys = CmdSystem();
            if (pSys && pSys->m_bRuleInfiniteLifeZero) return 0;
            l = 100;
        } else {
            l = s.Get();
        }
        lo = s.nMin;
        hi = s.nMax;
    } else {
        cCharaBase* p = cond.m_nSubject >= 1 && cond.m_nSubject <= 4 ? CmdTarget(pChara, cond.m_nSubject - 1) : pChara;
        if (!p) return 0;
        STATUSSLOT s;
        if (!GetCharaStatusSlot(p, cond.m_nStatus, cond.m_nVarNum, &s)) return 0;
        l = s.Get();
        lo = s.nMin;
        hi = s.nMax;
        nWidth = s.nWidth;
        if (cond.m_nStatus == CSTAT_HP) nBase = p->m_Data.m_nMaxHp;
        if (cond.m_nStatus == CSTAT_SP) nBase = p->m_Data.m_nMaxSp;
    }

    // 3. Percent: that percentage of the maximum (HP, SP) or of 0.
    if (cond.m_nPercent) r = Clamp_Int(Percent_Int(nBase, r), lo, hi);

    // 4. Compared in the left value's width.
    if (nWidth == 1) r = static_cast<int8_t>(r);
    else if (nWidth == 2) r = static_cast<int16_t>(r);
    return CompareOp(l, r, cond.m_nCompare) ? 1 : 0;
}
