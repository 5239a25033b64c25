#pragma once
// What the scenes pass to each other through the game object: the scene now
// running, the one asked for next and the one before, the play mode and the
// menu type that started the play, the stage-select cursor and the fade step.
// The shell's game object is this state; the scenes and the stage play read
// and write it here without knowing the shell.

// Play modes: they index every per-mode list of the system settings.
enum : int { GAMEMODE_STORY = 0, GAMEMODE_CHALLENGE = 1, GAMEMODE_FREE = 2, GAMEMODE_REPLAY = 3 };
// The title menu type that started the play.
enum : int {
    PLAYTYPE_NEWGAME = 0,
    PLAYTYPE_CONTINUE = 1,
    PLAYTYPE_CHALLENGE = 2,
    PLAYTYPE_FREE = 3,   // also a start directly on a stage file
    PLAYTYPE_REPLAY = 4,
};

class cGameState {
public:
    int m_nScene = 0;
    int m_nNextScene = 0;
    int m_nBeforeScene = 0;
    int m_nPlayType = 0;
    int m_nGameMode = 0;
    int m_nSelectCursor = 0;
    int m_nSelectTop = 0;
    int m_nFps = 0;
    int m_nFadeStep = 0;
};

// The game was started directly on a stage file (the command line or
// "FreeStage").
extern int bFreeStageStart;
// The ranking switch of the current play mode.
extern int nRankingSwitch;

// The installed game state (the shell installs its game object; until then,
// and in tests that install nothing, a state of its own).
cGameState& GetGameState();
void SetGameState(cGameState* p);   // null restores the default
