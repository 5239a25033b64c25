#pragma once
// The run state of a character's flows: one cFlowRun per flow, one cCmdRun
// per command of it. Plain records owned by value by the character.
#include <cstdint>
#include <list>
#include <vector>

class cFlow;
class cEdCmd;
class cCharaBase;
class cFlowRun;

// The speed words of a movement run that an arrival stops.
struct MOVERUN {
    double dVX = 0, dVY = 0;
    double dSpeed = 0, dSpeed2 = 0;
};

// One queued arrange entry: a copy of an arrange command's five parameters.
struct ARRANGEENTRY {
    int32_t anParam[5] = {};
};

struct SAMPLEPOINT {
    double dX = 0, dY = 0;
};

class cCmdRun {
public:
    // Begin and Exec for the current character and flow run of the scene.
    void Begin();
    int Exec();
    // The same with the character and the flow run given.
    void Begin(cCharaBase* pChara, cFlowRun* pFlow);
    int Exec(cCharaBase* pChara, cFlowRun* pFlow);

    cEdCmd* m_lpCmd = nullptr;   // the command in the character's own flow copy
    int32_t m_bDone = 0;
    int32_t m_nTime = 0;   // steps
    int32_t m_nLeft = 0;   // steps left; 0 = not under way
    // Work fields that Begin clears.
    int32_t m_nCount = 0;
    int32_t m_bInit = 0;
    int32_t m_nWork1 = 0;
    int32_t m_nWork2 = 0;
    std::list<SAMPLEPOINT> m_lstSample;   // sampled target points of the homing move
    // Movement fields, set when the run is created.
    int32_t m_nMoveDir = 0;
    int32_t m_nOfsX = 0, m_nOfsY = 0;
    MOVERUN m_Move;   // m_dVX/m_dVY/m_dSpeed/m_dSpeed2 of the movement executors
    int32_t m_nAngle = 0;
    int32_t m_nMoveA = 0;
    int32_t m_nAngleStart = 0, m_nAngleEnd = 0;
    int32_t m_nFaceReq = 0;   // 0 none, 1 left, 2 right
    double m_dPhase1 = 0, m_dPhase2 = 0;
    int32_t m_nPrevDir = 0;
};

// A scheduled animation of a flow (keyed on the flow's step count).
struct ANIMSCHED {
    int32_t nFrame = 0;       // the flow step at which it is queued
    int32_t nPattern = 0;     // animation number
    int32_t nValue = 0;
    int32_t nFrameCopy = 0;
    int32_t nSkip = 0;        // frames skipped at the start
    int32_t nLength = 0;      // length in frames
    int32_t nCmdFrames = 0;   // the command's base time in frames
    int32_t bHold = 0;        // hold the first locked step while the command runs
};

class cFlowRun {
public:
    // Start and Step for the scene's current character.
    void Start();
    int Stop(cCharaBase* pChara);
    int Step();
    // The same with the flow's owner given.
    void Start(cCharaBase* pOwner);
    int Step(cCharaBase* pOwner);
    void Pause() { m_bPause = 1; }
    void Resume() { m_bPause = 0; }
    void StopForever(cCharaBase* pChara);

    int32_t m_nIndex = 0;
    int32_t m_nSerial = 0;
    cFlow* m_lpFlow = nullptr;   // in the character's own flow list
    std::vector<uint8_t> m_vecCondLatch;   // condition bookkeeping of event firing
    int32_t m_bCondOnceDone = 0;
    std::vector<cCmdRun> m_vecCmdRun;
    std::vector<ANIMSCHED> m_vecAnimSched;
    int32_t m_bRun = 0;
    int32_t m_bPause = 0;
    int32_t m_bStop = 0;
    int32_t m_bRemove = 0;
    int32_t m_nCur = 0;
    int32_t m_nFrame = 0;
    int32_t m_nInputDir = 0;
    int32_t m_bStarted = 0;
    int32_t m_bMsgWait = 0;
    int32_t m_bAbort = 0;
    std::list<ARRANGEENTRY> m_lstArrange;
    // Counts the starts, so a step sees that its command restarted the flow.
    int32_t m_nStartCount = 0;
    // Set while a before-start flow runs its commands at its start.
    int32_t m_bStartWalk = 0;
    // Event firing: fired this frame, the keys of an edge-triggered key flow
    // still held, the last test of a continuous key flow matched.
    int32_t m_bFired = 0;
    int32_t m_bKeyHeld = 0;
    int32_t m_bKeyMatched = 0;
};
