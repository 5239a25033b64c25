#pragma once
// What the progress code needs from above it: the name dialog for a ranking
// registration, the replay save dialog (run on the window thread while the
// asking thread waits), the state of a key and a system sound. The shell
// installs the host; without one the dialogs count as cancelled, no key is
// held and nothing sounds.
#include <string>

class IProgressHost {
public:
    virtual ~IProgressHost() = default;
    // Lets the player edit strName in the name dialog: 1 after OK.
    virtual int RequestNameEntry(std::string& strName) = 0;
    // The save dialog of the replay of the current (0) or previous (1)
    // attempt, and the save: 1 when a file was written.
    virtual int RequestSaveReplay(int nWhich) = 0;
    // A Windows virtual-key code is held.
    virtual bool IsKeyHeld(int nVk) = 0;
    virtual void PlaySystemSound(int nIndex) = 0;
};

IProgressHost& GetProgressHost();
void SetProgressHost(IProgressHost* p);   // null restores the default

// The name under which a ranking is registered, edited in the name dialog.
int RequestRankingName(std::string& strName);

// The F1 and F2 keys of the stage-play modes, once per frame: F1 saves the
// replay of the attempt in progress, F2 the previous one, each through the
// save dialog. A log with nothing recorded only plays the refusal sound (at
// most once a second while held). A key must be let go before it saves
// again. Nothing in a playback or with the replay function off. Returns 1
// when a save was requested.
int CheckReplayKeys();
// Forgets the cool-down and the held keys (a new play).
void ResetReplayKeys();

constexpr int VK_F1_KEY = 0x70;
constexpr int VK_F2_KEY = 0x71;
