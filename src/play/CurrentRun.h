#pragma once
// The play scene's current character, flow run and command run, saved when
// a nested run begins (an event fired inside another flow's command, an item
// command list run from a flow) and put back when it ends, whatever way it
// ends.
#include "play/PlayScene.h"

class cCurrentRunScope {
public:
    cCurrentRunScope() : m_pScene(GetPlayScene()) {
        if (!m_pScene) return;
        m_pChara = m_pScene->m_lpCurChara;
        m_pFlow = m_pScene->m_lpCurFlow;
        m_pCmd = m_pScene->m_lpCurCmd;
    }
    // Saves, then makes the given run current.
    cCurrentRunScope(cCharaBase* pChara, cFlowRun* pFlow, cCmdRun* pCmd) : cCurrentRunScope() {
        if (!m_pScene) return;
        m_pScene->m_lpCurChara = pChara;
        m_pScene->m_lpCurFlow = pFlow;
        m_pScene->m_lpCurCmd = pCmd;
    }
    ~cCurrentRunScope() {
        if (!m_pScene) return;
        m_pScene->m_lpCurChara = m_pChara;
        m_pScene->m_lpCurFlow = m_pFlow;
        m_pScene->m_lpCurCmd = m_pCmd;
    }
    cCurrentRunScope(const cCurrentRunScope&) = delete;
    cCurrentRunScope& operator=(const cCurrentRunScope&) = delete;

private:
    cPlayScene* m_pScene;
    cCharaBase* m_pChara = nullptr;
    cFlowRun* m_pFlow = nullptr;
    cCmdRun* m_pCmd = nullptr;
};
