#pragma once
// The synthesiser that plays MIDI music: one FluidSynth instance with a
// General MIDI soundfont, created on first use and kept for the rest of the
// run. Without a soundfont it stays silent (logged once).
//
// The soundfont takes a while to read, so the synthesiser is made on a thread
// of its own: the first use returns at once, and until the synthesiser is in
// place (IsReady) it takes no messages and renders nothing; the players wait
// for it without advancing, so a song starts a moment later and whole.
//
// Like everything the mixer pulls, it is used under the mixer's lock.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sound/MidiSequencer.h"

// The soundfont search: the configured path (SetMidiSoundFontPath, or the
// environment variable MOSSGROVE_SOUNDFONT), then the usual system folders.
// Returns the host path found, or an empty string.
void SetMidiSoundFontPath(const char* pszHostPath);
std::string FindMidiSoundFont();

class cMidiSynth : public IMidiSink {
public:
    // The one synthesiser, at the mixer's rate. Never null.
    static cMidiSynth& Get();

    // The soundfont is loaded (false while it loads).
    bool HasSoundFont() const { return m_bSoundFont.load(); }
    // The load has ended, with or without a soundfont.
    bool IsReady() const { return m_bReady.load(); }
    // Waits for the load to end; returns HasSoundFont.
    bool WaitUntilReady();
    // Stops a load still running at its next step and joins its thread (at
    // close; also run when the process ends).
    static void JoinLoader();

    // The player that now drives the synthesiser. A new owner is a track
    // change: all notes off and a reset first.
    void SetOwner(const void* pOwner);
    const void* GetOwner() const { return m_pOwner; }
    void ReleaseOwner(const void* pOwner);

    void ShortMessage(uint8_t nStatus, uint8_t nData1, uint8_t nData2) override;
    void SysEx(const uint8_t* pData, uint32_t nLength) override;
    void AllNotesOff() override;
    void Reset() override;
    void Render(float* pOut, int nFrames, float fGain) override;

private:
    explicit cMidiSynth(int nRate);
    void Load(int nRate);

    void* m_pSettings = nullptr;
    void* m_pSynth = nullptr;            // set under the mixer's lock once made
    std::atomic<bool> m_bSoundFont{false};
    std::atomic<bool> m_bReady{false};
    std::atomic<bool> m_bStop{false};
    std::mutex m_mxReady;
    std::condition_variable m_cvReady;
    std::thread m_thLoad;
    const void* m_pOwner = nullptr;
    std::vector<float> m_vLeft, m_vRight;
};
