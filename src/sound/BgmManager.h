#pragma once
// Background music: one Ogg Vorbis or MIDI file per music slot, played by
// the manager Bgm_Main. Ogg files play through the Ogg player objects, MIDI
// files through the MIDI stream players and the synthesiser.
//
// The manager may be called from the window thread and the game thread;
// each call holds the manager's lock for its whole operation.
#include <cstdint>
#include <mutex>
#include <vector>

#include "sound/MidiStream.h"
#include "sound/OggPlayer.h"

// One slot of the MIDI slot table.
struct MIDIFILEDATA {
    char szFileName[260];
    int32_t nReserved;
    int32_t nVolume;
};

// What Init takes: the channel count, the two slot tables (nSlots entries
// each), and the DirectMusic setting (read, without effect here).
struct BGMINITDATA {
    int nChannels;
    const OGGFILEDATA* pOggFiles;
    const MIDIFILEDATA* pMidiFiles;
    int nSlots;
    int bDirectMusic;
};

constexpr int BGM_SLOT_COUNT = 5;
// The slots' default files: 0 title, 1 world map and save data, 2 stage
// select, 3 options, 4 the stage's music.
extern const OGGFILEDATA aOggBgmFiles[BGM_SLOT_COUNT];
extern const MIDIFILEDATA aMidiBgmFiles[BGM_SLOT_COUNT];
// {1 channel, the default tables, 5 slots, bDirectMusic}: what start-up and
// the options screen pass to Init.
BGMINITDATA MakeBgmInitData(int bDirectMusic);

enum : int { BGMSLOT_UNDECIDED = 0, BGMSLOT_OGG = 1, BGMSLOT_MIDI = 2 };
enum : int { BGMCHANNEL_NONE = 0, BGMCHANNEL_OGG = 1, BGMCHANNEL_MIDI = 2 };

class cBgmManager {
public:
    cBgmManager() = default;
    ~cBgmManager();
    cBgmManager(const cBgmManager&) = delete;
    cBgmManager& operator=(const cBgmManager&) = delete;

    // Sets the players up; starts no music. False when nothing could be set
    // up (the manager then stays idle and every request does nothing).
    bool Init(const BGMINITDATA& rec);
    void SetChannels(int nCount);
    // Registers a slot's file by its extension. 1 when the kind was known.
    int SetFile(int nSlot, const char* szPath, int nVolume);
    bool Play(int nChannel, int nSlot, int bLoop, int bPauseOther, int bForce);
    void Stop();
    void Release();

    bool IsSetUp() const;
    int GetCurSlot() const;
    int GetSlotType(int nSlot) const;
    int GetChannelKind(int nChannel) const;
    bool IsOggAvailable() const;
    // The slot tables as they stand (copies).
    OGGFILEDATA GetOggSlot(int nSlot) const;
    MIDIFILEDATA GetMidiSlot(int nSlot) const;

private:
    bool PlayOggSlot(int nChannel, int nSlot, int bLoop);
    bool PlayMidiSlot(int nChannel, int nSlot, int bLoop);
    void StopMidi(int bPause);
    void StopOgg();

    mutable std::recursive_mutex m_Lock;
    int32_t m_bSetUp = 0;
    cVoxPlayer m_Vox;
    bool m_bOgg = false;               // the Ogg side is set up
    std::vector<OGGFILEDATA> m_pOggFiles;
    cMidiStreamSet m_Streams;          // the stream players and their parameters
    std::vector<MIDIFILEDATA> m_pMidiFiles;
    int32_t m_nCurSlot = -1;
    std::vector<int32_t> m_vecSlotType;
    std::vector<int32_t> m_vecChannelKind;
    bool m_bDevice = false;            // holds the audio device
};

extern cBgmManager Bgm_Main;
