#include "flow/Arrange.h"

#include <algorithm>

#include "flow/ArrangeTable.h"
#include "flow/CmdDispatch.h"
#include "flow/ValueOp.h"
#include "play/CharaBase.h"
#include "play/Hero.h"
#include "project/Database.h"
#include "stage/EffectVocabulary.h"
#include "stage/Flow.h"

namespace {

// A field of a command: a parameter, a field of the movement record or one
// of the shot record, of a given width.
enum eFieldHome : uint8_t { FH_PARAM, FH_MOVE, FH_SHOT };

struct FIELDREF {
    eFieldHome nHome;
    int16_t nParam;                     // FH_PARAM
    int16_t cEdMove::*pMove16;          // FH_MOVE
    int16_t cEdShot::*pShot16;          // FH_SHOT, one of these four
    uint8_t cEdShot::*pShot8;
    int32_t cEdShot::*pShot32;
    int8_t cEdShot::*pShotS8;
    int16_t nArray;                     // 0 none, 1 formation values, 2 trajectory values
    int16_t nSlot;
};

constexpr FIELDREF P(int n) { return {FH_PARAM, static_cast<int16_t>(n), nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0}; }
constexpr FIELDREF M(int16_t cEdMove::*p) { return {FH_MOVE, 0, p, nullptr, nullptr, nullptr, nullptr, 0, 0}; }
constexpr FIELDREF S(int16_t cEdShot::*p) { return {FH_SHOT, 0, nullptr, p, nullptr, nullptr, nullptr, 0, 0}; }
constexpr FIELDREF S(uint8_t cEdShot::*p) { return {FH_SHOT, 0, nullptr, nullptr, p, nullptr, nullptr, 0, 0}; }
constexpr FIELDREF S(int32_t cEdShot::*p) { return {FH_SHOT, 0, nullptr, nullptr, nullptr, p, nullptr, 0, 0}; }
constexpr FIELDREF S(int8_t cEdShot::*p) { return {FH_SHOT, 0, nullptr, nullptr, nullptr, nullptr, p, 0, 0}; }
constexpr FIELDREF F(int n) { return {FH_SHOT, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 1, static_cast<int16_t>(n)}; }
constexpr FIELDREF O(int n) { return {FH_SHOT, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 2, static_cast<int16_t>(n)}; }

using E = cEdMove;
using H = cEdShot;

const FIELDREF aMove[] = {M(&E::m_nTargetXBl), M(&E::m_nTargetXDot), M(&E::m_nTargetYBl),
                          M(&E::m_nTargetYDot), M(&E::m_nAngle),     M(&E::m_nAngleInc)};
const FIELDREF aHoming[] = {M(&E::m_nHoming),    M(&E::m_nHomingInc),  M(&E::m_nTargetXBl),
                            M(&E::m_nTargetXDot), M(&E::m_nTargetYBl), M(&E::m_nTargetYDot)};
const FIELDREF aShot[] = {
    S(&H::m_nGraphic), S(&H::m_nZ),        F(0),                 F(1),
    F(2),              S(&H::m_nCount),    S(&H::m_nClones),     S(&H::m_nAngle),
    S(&H::m_nAngleInc), S(&H::m_nSpread),  S(&H::m_nShiftX),     S(&H::m_nShiftXInc),
    S(&H::m_nShiftY),  S(&H::m_nShiftYInc), S(&H::m_nFaction),   O(0),
    O(1),              O(2),               S(&H::m_nSpeed),      S(&H::m_nSpeedInc),
    S(&H::m_nAccel),   S(&H::m_nAccelInc), S(&H::m_nRange),      S(&H::m_nRangeInc),
    S(&H::m_nLife),    S(&H::m_nLifeInc),  S(&H::m_nVanish),     S(&H::m_nPower),
    S(&H::m_nImpact)};
const FIELDREF aSword[] = {S(&H::m_nFaction), S(&H::m_nZ), S(&H::m_nPower), S(&H::m_nImpact)};
const FIELDREF aSummonBlock[] = {F(0), F(1), F(2), S(&H::m_nCount), S(&H::m_nShiftX), S(&H::m_nShiftY)};
// A summon keeps its lifetime in the range field (the shot's own lifetime
// field means nothing to a summon).
const FIELDREF aSummonChara[] = {S(&H::m_nRange), S(&H::m_nFaction), F(0), F(1),
                                 F(2),            S(&H::m_nCount),   S(&H::m_nShiftX), S(&H::m_nShiftY)};
const FIELDREF aSummonItem[] = {S(&H::m_nRange), F(0), F(1), F(2), S(&H::m_nCount), S(&H::m_nShiftX), S(&H::m_nShiftY)};
const FIELDREF aStageClear[] = {P(1), P(6), P(7), P(3), P(4)};
const FIELDREF aMessage[] = {P(13), P(1), P(2), P(3), P(4)};
const FIELDREF aWarp[] = {M(&E::m_nDist),       M(&E::m_nDistInc),    M(&E::m_nTargetXBl),
                          M(&E::m_nTargetYBl), M(&E::m_nTargetXDot), M(&E::m_nTargetYDot)};
const FIELDREF aTarget[] = {P(2), P(10), P(13)};
const FIELDREF aStatus[] = {P(8), P(9)};
const FIELDREF aVanish[] = {P(1)};
const FIELDREF aGraphic[] = {P(1), P(2)};
const FIELDREF aEffect[] = {P(2), P(3), P(4), P(5), P(6)};
const FIELDREF aPicture[] = {P(13), P(2), P(3), P(4), P(5), P(7)};
const FIELDREF aColor[] = {P(0), P(1), P(2), P(3)};
const FIELDREF aBackground[] = {P(0)};

struct ACCESSROW {
    const FIELDREF* pField = nullptr;
    int nCount = 0;
    bool bAccessor = false;   // kinds 3, 4 and 7 have accessors that do nothing
};

template <size_t N>
constexpr ACCESSROW Row(const FIELDREF (&a)[N]) { return {a, static_cast<int>(N), true}; }

const ACCESSROW* AccessRows() {
    static ACCESSROW rows[ARRANGE_KIND_COUNT];
    static bool bDone = false;
    if (!bDone) {
        rows[2] = Row(aMove);
        rows[3] = {nullptr, 0, true};
        rows[4] = {nullptr, 0, true};
        rows[5] = Row(aMove);
        rows[6] = Row(aHoming);
        rows[7] = {nullptr, 0, true};
        rows[11] = Row(aShot);
        rows[12] = Row(aSword);
        rows[13] = Row(aSummonBlock);
        rows[14] = Row(aSummonChara);
        rows[15] = Row(aSummonItem);
        rows[17] = Row(aStageClear);
        rows[19] = Row(aMessage);
        rows[20] = Row(aWarp);
        rows[21] = Row(aTarget);
        rows[22] = Row(aStatus);
        rows[24] = Row(aVanish);
        rows[26] = Row(aGraphic);
        rows[29] = Row(aEffect);
        rows[32] = Row(aPicture);
        rows[33] = Row(aColor);
        rows[34] = Row(aBackground);
        bDone = true;
    }
    return rows;
}

const FIELDREF* FindField(int nKind, int nIndex) {
    if (nKind < 0 || nKind >= ARRANGE_KIND_COUNT) return nullptr;
    const ACCESSROW& r = AccessRows()[nKind];
    if (nIndex < 0 || nIndex >= r.nCount) return nullptr;
    return &r.pField[nIndex];
}

// The command's kind in the character numbering for arrange matching; -1 for
// item kinds 0 and 1 and kinds outside the tables.
int ArrangeKindOf(const cEdCmd& cmd) {
    int nKind = static_cast<int8_t>(cmd.m_nKind);
    if (cmd.m_bItemCmd) return ItemKindToCmdKind(nKind);
    return nKind >= 0 && nKind < ARRANGE_KIND_COUNT ? nKind : -1;
}

}  // namespace

bool ArrangeGet(const cEdCmd& cmd, int nKind, int nIndex, int32_t* pOut) {
    const FIELDREF* f = FindField(nKind, nIndex);
    if (!f || !pOut) return false;
    switch (f->nHome) {
    case FH_PARAM:
        if (!cmd.m_vParam.IsValid(f->nParam)) return false;
        *pOut = cmd.m_vParam[f->nParam];
        return true;
    case FH_MOVE:
        if (!cmd.m_pMove) return false;
        *pOut = (*cmd.m_pMove).*(f->pMove16);
        return true;
    case FH_SHOT: {
        if (!cmd.m_pShot) return false;
        const cEdShot& s = *cmd.m_pShot;
        if (f->nArray == 1) *pOut = s.m_anFormParam[f->nSlot];
        else if (f->nArray == 2) *pOut = s.m_anOrbitParam[f->nSlot];
        else if (f->pShot16) *pOut = s.*(f->pShot16);
        else if (f->pShot8) *pOut = s.*(f->pShot8);
        else if (f->pShot32) *pOut = s.*(f->pShot32);
        else if (f->pShotS8) *pOut = s.*(f->pShotS8);
        return true;
    }
    }
    return false;
}

bool ArrangeSet(cEdCmd& cmd, int nKind, int nIndex, int32_t v) {
    const FIELDREF* f = FindField(nKind, nIndex);
    if (!f) return false;
    switch (f->nHome) {
    case FH_PARAM:
        if (!cmd.m_vParam.IsValid(f->nParam)) return false;
        cmd.m_vParam[f->nParam] = v;
        return true;
    case FH_MOVE:
        if (!cmd.m_pMove) return false;
        (*cmd.m_pMove).*(f->pMove16) = static_cast<int16_t>(v);
        return true;
    case FH_SHOT: {
        if (!cmd.m_pShot) return false;
        cEdShot& s = *cmd.m_pShot;
        if (f->nArray == 1) s.m_anFormParam[f->nSlot] = static_cast<int16_t>(v);
        else if (f->nArray == 2) s.m_anOrbitParam[f->nSlot] = static_cast<int16_t>(v);
        else if (f->pShot16) s.*(f->pShot16) = static_cast<int16_t>(v);
        else if (f->pShot8) s.*(f->pShot8) = static_cast<uint8_t>(v);
        else if (f->pShot32) s.*(f->pShot32) = v;
        else if (f->pShotS8) s.*(f->pShotS8) = static_cast<int8_t>(v);
        return true;
    }
    }
    return false;
}

void ApplyArrange(cEdCmd& cmd, const ARRANGEENTRY& entry, cCharaBase* pChara) {
    // 1. The entry's kind must be this command's.
    const int k = ArrangeKindOf(cmd);
    if (k < 0 || entry.anParam[0] != k) return;
    const int nIndex = entry.anParam[1];
    if (ArrangeParamTable.size() != static_cast<size_t>(ARRANGE_KIND_COUNT)) BuildArrangeParamTable();
    const cChkVector<ARRANGEPARAM>& row = ArrangeParamTable[k];
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= row.size()) return;

    // 2. The current value (the command may lack the record).
    int32_t v = 0;
    if (!ArrangeGet(cmd, k, nIndex, &v)) return;

    // 3. The operand.
    const int nVar = entry.anParam[4];
    int32_t* pOperand = nullptr;
    switch (entry.anParam[3]) {
    case 0: pOperand = nVar >= 1 ? CommonVarPtr(nVar) : nullptr; break;
    case 1: pOperand = nVar >= 1 ? StageVarPtr(nVar) : nullptr; break;
    case 2: pOperand = CharaVarPtr(pChara, nVar); break;
    default: break;
    }
    if (!pOperand) return;
    const int32_t o = *pOperand;

    // 4. The bounds; a formation's or trajectory's own values take those of
    // their slot for the formation or trajectory the shot record names.
    int32_t lo = row[nIndex].nMin, hi = row[nIndex].nMax;
    int nFirstForm = k == 11 ? 2 : k == 13 ? 0 : k == 14 ? 2 : k == 15 ? 1 : -1;
    const PARAMRANGE* pRange = nullptr;
    if (nFirstForm >= 0 && nIndex >= nFirstForm && nIndex < nFirstForm + 3 && cmd.m_pShot)
        pRange = &GetShotFormationParam(cmd.m_pShot->m_nFormation, nIndex - nFirstForm);
    if (k == 11 && nIndex >= 15 && nIndex <= 17 && cmd.m_pShot)
        pRange = &GetShotOrbitParam(cmd.m_pShot->m_nType, nIndex - 15);
    if (pRange) {
        bool bUsed = pRange->szName && pRange->szName[0];
        lo = bUsed ? pRange->nMin : 0;
        hi = bUsed ? pRange->nMax : 0;
        if (lo > hi) std::swap(lo, hi);
    }

    // 5., 6. The operation, saturating, then the bounds.
    v = ApplyOpValue(v, o, entry.anParam[2], lo, hi);

    // 7. A dedicated bitmap's number stays inside its list.
    if (k == 26 && nIndex == 0 && cmd.Param(0) == 4) {
        const cDatabase* pDb = CmdDatabase();
        size_t nCount = pDb ? pDb->m_vBmpCharaExc.size() : 0;
        if (v < 0 || static_cast<size_t>(v) >= nCount) v = 1;
    }

    // 8. Stored on the command.
    ArrangeSet(cmd, k, nIndex, v);
}

void ApplyArrangeList(cEdCmd& cmd, cCharaBase* pChara, cFlowRun* pFlow) {
    if (!pFlow) return;
    for (const ARRANGEENTRY& e : pFlow->m_lstArrange) ApplyArrange(cmd, e, pChara);
}

void ApplyHeroArrangeList(cEdCmd& cmd, cHero* pHero) {
    if (!pHero) return;
    for (const ARRANGEENTRY& e : pHero->m_lstArrange) ApplyArrange(cmd, e, pHero);
}

int CmdExec_Arrange(const CMDCALL& call) {
    ARRANGEENTRY e;
    for (int i = 0; i < 5; i++) e.anParam[i] = call.pCmd->Param(i);
    if (call.bItem) {
        if (cHero* pHero = dynamic_cast<cHero*>(call.pChara)) pHero->m_lstArrange.push_back(e);
        return 0;
    }
    if (call.pFlow) call.pFlow->m_lstArrange.push_back(e);
    return 0;
}
