#pragma once
// The scene base: one screen of the game, run as a small state machine whose
// states are member functions in a table. Entry 0 is the fade-in, the last
// entry the fade-out.
#include <vector>

class cInputState;

enum eSceneType : int {
    SCENE_TITLE = 0,
    SCENE_WORLDMAP = 1,
    SCENE_SAVEDATA = 2,
    SCENE_STAGESELECT = 3,
    SCENE_PLAY = 4,
    SCENE_OPTION = 5,
    SCENE_TYPE_COUNT = 6,
};

class cScene {
public:
    virtual ~cScene() = default;
    virtual void Run() {}
    virtual void Init() {}
    virtual void FadeIn() {}
    virtual void FadeOut() {}

    int m_nState = -1;   // -1 until Init has run
    int m_nStep = 0;

protected:
    // The front-end pattern of Run: menu key repeat and the button latch on
    // input device 0, Init once, then the state entry.
    void RunFrontEnd(int nLatchMask);
    // Init once, then the state entry (the stage-play scene reads its input
    // itself).
    void RunStates();
    // Calls the state entry m_nState; a state out of range does nothing.
    virtual void RunState(int nState) { (void)nState; }
};

// Input device 0 as the scenes read it. The shell installs its polled
// device; tests install their own; until then a state of its own.
cInputState& GetMenuInput();
void SetMenuInput(cInputState* p);   // null restores the default
