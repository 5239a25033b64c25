// The flow runner: starts, steps, pauses and stops the flows of a character
// and begins and executes their commands.
#include "flow/FlowRun.h"

#include "flow/Arrange.h"
#include "flow/CmdDispatch.h"
#include "foundation/ErrorBox.h"
#include "foundation/StopPoint.h"
#include "play/CharaBase.h"
#include "play/CurrentRun.h"
#include "stage/Flow.h"

namespace {

int CharaKind(const cEdCmd& cmd) { return cmd.CmdKind(); }

// A message that waits for the progress key and is not an erase.
bool IsKeyWaitMessage(const cEdCmd& cmd) {
    return CharaKind(cmd) == CMD_MESSAGE && cmd.Param(15) == 0 && cmd.Param(6) == 0;
}

void SetGroupFlag(std::vector<uint8_t>& v, int g) {
    if (g > 0 && static_cast<size_t>(g) < v.size()) v[g] = 1;
}

}  // namespace

void cCmdRun::Begin() { Begin(CurrentChara(), CurrentFlowRun()); }

int cCmdRun::Exec() { return Exec(CurrentChara(), CurrentFlowRun()); }

void cCmdRun::Begin(cCharaBase* pChara, cFlowRun* pFlow) {
    m_nLeft = m_nTime;
    m_nCount = 0;
    m_bInit = 0;
    m_bDone = 0;
    m_nWork1 = 0;
    m_nWork2 = 0;
    m_lstSample.clear();
    if (!m_lpCmd || !pFlow || CharaKind(*m_lpCmd) == CMD_ARRANGE) return;
    ApplyArrangeList(*m_lpCmd, pChara, pFlow);
    pFlow->m_lstArrange.clear();
}

int cCmdRun::Exec(cCharaBase* pChara, cFlowRun* pFlow) {
    SetCurrentCmdRun(this);
    CmdDispatch(pChara, this, pFlow);
    if (--m_nLeft <= 0) {
        m_nLeft = 0;
        return 1;
    }
    return 0;
}

void cFlowRun::Start() { Start(CurrentChara()); }

int cFlowRun::Step() { return Step(CurrentChara()); }

void cFlowRun::Start(cCharaBase* pOwner) {
    m_bRun = 1;
    m_nCur = 0;
    m_nFrame = 0;
    m_bMsgWait = 0;
    for (cCmdRun& r : m_vecCmdRun) r.m_bDone = 0;
    m_bStarted = 1;
    m_nStartCount++;
    if (!m_lpFlow) return;
    int g = m_lpFlow->m_nFlowGroup;
    if (m_lpFlow->m_nTrigger == TRIGGER_ALWAYS && g != 0 && pOwner) {
        SetGroupFlag(pOwner->m_vecFlowBlock, g);
        SetGroupFlag(pOwner->m_vecFlowFired, g);
    }
    if (m_lpFlow->m_nTrigger != TRIGGER_BEFORE_START || m_vecCmdRun.empty()) return;
    // A before-start flow runs its commands at once. A start of this flow from
    // one of them only resets it (above) and ends this walk.
    if (m_bStartWalk) return;
    m_bStartWalk = 1;
    const int32_t nStarts = m_nStartCount;
    {
        cCurrentRunScope scope(pOwner, this, nullptr);
        m_bAbort = 0;
        for (size_t i = 0; i < m_vecCmdRun.size(); i++) {
            StopPoint();
            m_nCur = static_cast<int32_t>(i);
            cCmdRun& r = m_vecCmdRun[i];
            if (!r.m_lpCmd || CharaKind(*r.m_lpCmd) < CMD_FLOW_OP || !r.m_lpCmd->m_bContinue) continue;
            r.Begin(pOwner, this);
            int bDone = r.Exec(pOwner, this);
            if (m_nStartCount != nStarts) break;
            if (!bDone) ErrorBoxEC("使用時間0なので、ここにくることはあり得ないはず！");
            if (m_bAbort) break;
            r.m_bDone = 1;
        }
    }
    m_bStartWalk = 0;
    Stop(pOwner);
}

int cFlowRun::Stop(cCharaBase* pChara) {
    if (!m_bRun) return 0;
    m_bRun = 0;
    m_lstArrange.clear();
    for (cCmdRun& r : m_vecCmdRun) r.m_nLeft = 0;
    int g = m_lpFlow ? m_lpFlow->m_nFlowGroup : 0;
    if (g != 0 && pChara) {
        SetGroupFlag(pChara->m_vecFlowBlockNext, g);
        pChara->m_bFlowBlockDirty = 1;
    }
    return 1;
}

void cFlowRun::StopForever(cCharaBase* pChara) {
    m_bStop = 1;
    if (!m_bRun) return;
    for (cCmdRun& r : m_vecCmdRun) r.m_nLeft = 0;
    int g = m_lpFlow ? m_lpFlow->m_nFlowGroup : 0;
    if (g != 0 && pChara) {
        SetGroupFlag(pChara->m_vecFlowBlockNext, g);
        pChara->m_bFlowBlockDirty = 1;
    }
}

int cFlowRun::Step(cCharaBase* pOwner) {
    const int n = static_cast<int>(m_vecCmdRun.size());
    if (n == 0) return 1;
    cCurrentRunScope scope(pOwner, this, nullptr);
    m_bAbort = 0;
    for (int i = 0; i <= m_nCur; i++) {
        StopPoint();
        if (i >= n) continue;
        cCmdRun& r = m_vecCmdRun[i];
        if (r.m_bDone || !r.m_lpCmd) continue;
        const cEdCmd& cmd = *r.m_lpCmd;
        if (r.m_nLeft == 0) {
            r.Begin(pOwner, this);
            if (!IsKeyWaitMessage(cmd) && !cmd.m_bContinue) m_bMsgWait = 0;
        }
        const int32_t nStarts = m_nStartCount;
        int bDone = r.Exec(pOwner, this);
        // The command restarted this flow: the flow begins afresh next step.
        if (m_nStartCount != nStarts) return 0;
        if (cmd.m_bContinue) {
            if (bDone) {
                r.m_bDone = 1;
                if (i + 1 >= n) return 1;
            }
            if (i == m_nCur) m_nCur = i + 1;
            if (m_bAbort) return 0;
        } else if (bDone) {
            r.m_bDone = 1;
            if (IsKeyWaitMessage(cmd)) m_bMsgWait = 1;
            if (i + 1 >= n) return 1;
            m_nCur++;
            break;
        } else if (m_bAbort) {
            return 0;
        }
    }
    if (m_vecCmdRun[n - 1].m_bDone) return 1;
    m_nFrame++;
    return 0;
}
