#include "play/EffectRuns.h"

#include "play/CharaEffectRun.h"
#include "play/PlayContext.h"
#include "play/ScrEffect.h"
#include "project/Database.h"

namespace {
const cDatabase* pBuiltFor = nullptr;
size_t nBuiltChara = 0, nBuiltScr = 0;
}  // namespace

void RebuildEffectRuns() {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    pBuiltFor = pDb;
    if (!pDb) {
        vecCharaEffectRun.clear();
        vecCharaEffectRunRev.clear();
        vecScrEffectRun.clear();
        vecScrEffectRunRev.clear();
        nBuiltChara = nBuiltScr = 0;
        return;
    }
    BuildCharaEffectRunsFrom<cCharaEffectRun>(*pDb, vecCharaEffectRun, vecCharaEffectRunRev);
    BuildScrEffectRunsFrom<cScrEffectRun>(*pDb, vecScrEffectRun, vecScrEffectRunRev);
    nBuiltChara = pDb->m_vCharaEffect.size();
    nBuiltScr = pDb->m_vScrEffect.size();
}

void PrepareEffectRuns() {
    const cDatabase* pDb = PlayCtx().lpDatabase;
    if (pDb == pBuiltFor && pDb && nBuiltChara == pDb->m_vCharaEffect.size() &&
        nBuiltScr == pDb->m_vScrEffect.size())
        return;
    if (!pDb && !pBuiltFor) return;
    RebuildEffectRuns();
}
