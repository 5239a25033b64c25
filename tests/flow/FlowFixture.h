#pragma once
// A play context with a stage, settings, progress and scene of its own, and
// characters made in code, for the flow engine's tests.
#include <memory>

#include "flow/CmdDispatch.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/PlayContext.h"
#include "play/PlayScene.h"
#include "project/Progress.h"
#include "project/SystemData.h"
#include "stage/Flow.h"
#include "stage/Stage.h"

class cFlowFixture {
public:
    cFlowFixture() {
        stage.m_nSubStep = 1;
        stage.m_dStepFactor = 1.0;
        ctx.lpStage = &stage;
        ctx.lpSystem = &sys;
        ctx.lpProgress = &progress;
        ctx.lpPlayScene = &scene;
    }
    ~cFlowFixture() { ctx.lpPlayScene = nullptr; }

    cChara* AddChara(int nMaxHp = 100, int nHp = 100) {
        ctx.lstChara.push_back(std::make_unique<cChara>());
        cChara* p = ctx.lstChara.back().get();
        p->m_Data.m_nMaxHp = nMaxHp;
        p->m_nHp = nHp;
        return p;
    }
    cHero* AddHero() {
        ctx.vecPlayer.push_back(std::make_unique<cHero>());
        cHero* p = ctx.vecPlayer.back().get();
        p->m_Data.m_nMaxHp = 100;
        p->m_nHp = 100;
        return p;
    }
    static void SetTarget(cCharaBase* p, int nSlot, cCharaBase* pTarget) { p->m_vecTarget[nSlot] = cObjRef(pTarget); }

    // A command of a kind with its parameter vector sized for the kind.
    static cEdCmd MakeCmd(int nKind, std::initializer_list<std::pair<int, int>> params = {}, int nTime = 0,
                          int bContinue = 0) {
        cEdCmd c;
        c.m_nKind = static_cast<uint8_t>(nKind);
        c.m_vParam.assign(static_cast<size_t>(std::max(0, GetCmdParamCount(false, nKind))), 0);
        for (auto& kv : params) c.m_vParam[kv.first] = kv.second;
        c.m_nTime = static_cast<int16_t>(nTime);
        c.m_bContinue = static_cast<uint8_t>(bContinue);
        return c;
    }
    static cEdCmd MakeItemCmd(int nItemKind, std::initializer_list<std::pair<int, int>> params = {}) {
        cEdCmd c;
        c.m_bItemCmd = 1;
        c.m_nKind = static_cast<uint8_t>(nItemKind);
        c.m_vParam.assign(static_cast<size_t>(std::max(0, GetCmdParamCount(true, nItemKind))), 0);
        for (auto& kv : params) c.m_vParam[kv.first] = kv.second;
        return c;
    }
    // Runs a command once on a character as a flow command would.
    static void Exec(cCharaBase* p, cEdCmd& cmd, cFlowRun* pFlow = nullptr) {
        cCmdRun run;
        InitCmdRun(run, &cmd, p);
        run.Begin(p, pFlow);
        run.Exec(p, pFlow);
    }

    cPlayContext ctx;
    cPlayContextScope scope{ctx};
    cStage stage;
    cSystemData sys;
    cProgress progress;
    cPlayScene scene;
};
