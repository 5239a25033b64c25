#pragma once
// The one way a play starts, for every mode: the world map's stage entry,
// the stage select's world, the free game's chosen file and its restart,
// the stage given on the command line (or "FreeStage") and a replay file.
// A start loads its stage, names it from the file actually loaded (a story
// keeps its entry's own file as the key), and sets the play mode, the play
// type, the ranking switch, world, stage, lives and chain.
#include <string>

class cWorldStage;

enum PLAYSTARTKIND : int {
    PLAYSTART_STORY,       // a world-map entry
    PLAYSTART_CHALLENGE,   // the first stage of a challenge world
    PLAYSTART_FREE,        // a file chosen in the free game's dialog
    PLAYSTART_DIRECT,      // the command line or "FreeStage": the newest numbered file
    PLAYSTART_REPLAY,      // a replay file
};

class cPlayStart {
public:
    static cPlayStart Story(const cWorldStage& entry);
    static cPlayStart Challenge(int nWorld);
    // A free game's file; a replay file (the dialog offers both) starts a
    // replay's playback.
    static cPlayStart Free(const std::string& strFile);
    static cPlayStart Direct(const std::string& strFile);
    static cPlayStart Replay(const std::string& strFile);

    // Loads the stage (a replay: its stage, input and progress); 1 when
    // loaded. A failure changes no record and has been reported (the loader's
    // own message, or the load-failure report of a replay).
    int Load();
    // Sets the progress and the game state up for the play of what Load read.
    void Begin();
    // Load, then Begin; 1 when the play can start.
    int Start();

    int Kind() const { return m_nKind; }
    const std::string& File() const { return m_strFile; }
    // The file Load read (a numbered stage file, or the replay file).
    const std::string& Loaded() const { return m_strLoaded; }

private:
    int m_nKind = PLAYSTART_FREE;
    std::string m_strFile;
    int m_nWorld = 1;
    const cWorldStage* m_pEntry = nullptr;
    std::string m_strLoaded;
};

// The play mode the title's choice enters, and its ranking switch (the world
// map and the stage select show the mode's rankings before a play starts).
void EnterPlayMode(int nGameMode);

// The world challenge world n starts with: data\stg4\cNN-1.stg4.
std::string MakeWorldStageName(int nWorld);

// A replay file by its extension ("rpl4_" and the data version).
bool IsReplayFileName(const std::string& strFile);

// The free game (or the direct start) begun again after its clear or miss:
// the same file the player chose, from a reset progress. 0 when it can no
// longer be loaded, or no free game was started.
int RestartFreePlay();
