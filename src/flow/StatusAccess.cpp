#include "flow/StatusAccess.h"

#include "flow/CmdDispatch.h"
#include "flow/ValueOp.h"
#include "play/CharaBase.h"
#include "play/Hero.h"
#include "play/PlayScene.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/Stage.h"

int32_t STATUSSLOT::Get() const {
    if (!p) return 0;
    switch (nWidth) {
    case 1: return *static_cast<const int8_t*>(p);
    case 2: return *static_cast<const int16_t*>(p);
    default: return *static_cast<const int32_t*>(p);
    }
}

void STATUSSLOT::Set(int64_t v) const {
    if (!p) return;
    int32_t n = Clamp_Int(v, nMin, nMax);
    switch (nWidth) {
    case 1: *static_cast<int8_t*>(p) = static_cast<int8_t>(n); break;
    case 2: *static_cast<int16_t*>(p) = static_cast<int16_t>(n); break;
    default: *static_cast<int32_t*>(p) = n; break;
    }
}

void STATUSSLOT::Apply(int32_t v, int nOp) const {
    if (!p) return;
    switch (nWidth) {
    case 1: ApplyOp_Char(static_cast<int8_t*>(p), v, nOp, nMin, nMax); break;
    case 2: ApplyOp_Short(static_cast<int16_t*>(p), v, nOp, nMin, nMax); break;
    default: ApplyOp_Int(static_cast<int32_t*>(p), v, nOp, nMin, nMax); break;
    }
}

namespace {

STATUSSLOT Slot(void* p, int nWidth, int32_t lo, int32_t hi) {
    STATUSSLOT s;
    s.p = p;
    s.nWidth = nWidth;
    s.nMin = lo;
    s.nMax = hi;
    return s;
}

// The byte fields are signed bytes to the status code.
void* Byte(uint8_t& b) { return reinterpret_cast<int8_t*>(&b); }

}  // namespace

bool GetCharaStatusSlot(cCharaBase* pChara, int nStatus, int nVar, STATUSSLOT* pOut) {
    if (!pChara || !pOut) return false;
    cCharaData& d = pChara->m_Data;
    switch (nStatus) {
    case CSTAT_VAR: {
        int32_t* p = CharaVarPtr(pChara, nVar);
        if (!p) return false;
        *pOut = Slot(p, 4, -999999, 999999);
        return true;
    }
    case CSTAT_HP: *pOut = Slot(&pChara->m_nHp, 4, 0, 999999); return true;
    case CSTAT_SP: *pOut = Slot(&pChara->m_nSp, 4, 0, 999999); return true;
    case CSTAT_MAXHP: *pOut = Slot(&d.m_nMaxHp, 4, 0, 999999); return true;
    case CSTAT_MAXSP: *pOut = Slot(&d.m_nMaxSp, 4, 0, 999999); return true;
    case CSTAT_CHARAID: *pOut = Slot(Byte(d.m_nCharaId), 1, 0, 99); return true;
    case CSTAT_Z: *pOut = Slot(Byte(d.m_nZ), 1, 0, 7); return true;
    case CSTAT_MARK: *pOut = Slot(&d.m_nMark, 2, 0, 119); return true;
    case CSTAT_SIGHT: *pOut = Slot(Byte(d.m_nSight), 1, 0, 40); return true;
    case CSTAT_POWER: *pOut = Slot(&d.m_nPower, 4, -999999, 999999); return true;
    case CSTAT_IMP: *pOut = Slot(&d.m_nImpact, 1, -20, 20); return true;
    case CSTAT_DEF: *pOut = Slot(&d.m_nDefence, 4, 0, 999999); return true;
    case CSTAT_IMPDEF: *pOut = Slot(Byte(d.m_nImpactResist), 1, 0, 20); return true;
    case CSTAT_STOP: *pOut = Slot(&d.m_nStop, 2, 0, 200); return true;
    case CSTAT_GETSCORE: *pOut = Slot(&d.m_nScore, 4, -999999, 999999); return true;
    default: return false;
    }
}

bool GetSystemSlot(int n, STATUSSLOT* pOut) {
    if (!pOut) return false;
    switch (n) {
    case SYSVAL_TIME: {
        cPlayScene* p = CmdScene();
        if (!p) return false;
        *pOut = Slot(&p->m_nTime, 4, 0, 999);
        return true;
    }
    case SYSVAL_SCROLLX:
    case SYSVAL_SCROLLY: {
        cStage* p = CmdStage();
        if (!p) return false;
        *pOut = Slot(n == SYSVAL_SCROLLX ? &p->m_nScrollSpeedX : &p->m_nScrollSpeedY, 4, -480, 480);
        return true;
    }
    case SYSVAL_SCORE: {
        cProgress* p = CmdProgress();
        if (!p) return false;
        *pOut = Slot(&p->m_nScore, 4, 0, 999999);
        return true;
    }
    case SYSVAL_LIFE: {
        cProgress* p = CmdProgress();
        if (!p) return false;
        *pOut = Slot(&p->m_nLife, 4, 0, 99);
        return true;
    }
    default: return false;
    }
}

bool IsLifeUnlimited() {
    cProgress* p = CmdProgress();
    return p && p->m_nLife == LIFE_UNLIMITED;
}

int32_t ReadSystemValue(int n, int bNoLimitZero) {
    if (n == SYSVAL_LIFE && IsLifeUnlimited()) {
        cSystemData* pSys = CmdSystem();
        return pSys && pSys->m_bRuleInfiniteLifeZero ? 0 : 100;
    }
    if (n == SYSVAL_TIME && bNoLimitZero) {
        cPlayScene* p = CmdScene();
        if (p && p->m_bNoTimeLimit) return 0;
    }
    STATUSSLOT s;
    return GetSystemSlot(n, &s) ? s.Get() : 0;
}

void ApplyScrollSpeed(int nAxis) {
    cPlayScene* pScene = CmdScene();
    cStage* pStage = CmdStage();
    if (!pScene || !pStage) return;
    cScroll& axis = nAxis == 0 ? pScene->m_ScrollX : pScene->m_ScrollY;
    int nMode = nAxis == 0 ? pStage->m_nScrollModeX : pStage->m_nScrollModeY;
    int nSpeed = nAxis == 0 ? pStage->m_nScrollSpeedX : pStage->m_nScrollSpeedY;
    axis.SetAutoSpeed(nMode, nSpeed, pStage->m_dStepFactor > 0 ? pStage->m_dStepFactor : CmdSubStep());
}

int32_t* VarPtr(int nKind, int n) {
    if (nKind == 0) return CommonVarPtr(n);
    if (nKind == 1) return StageVarPtr(n);
    return nullptr;
}

void OnSightChanged(cCharaBase* pChara) {
    if (!pChara) return;
    pChara->m_nSightDots = static_cast<int8_t>(pChara->m_Data.m_nSight) * 16;
}

void RefreshStopDecel(cCharaBase* pChara) {
    if (!pChara) return;
    double b = CmdSubStep();
    double d = pChara->m_Data.m_nStop * 0.01 / (b * b);
    pChara->m_dStopDecel = d;
    pChara->m_dCmdDecel = d;
}
