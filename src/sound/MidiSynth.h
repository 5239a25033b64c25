#pragma once
// The synthesiser that plays MIDI music: one FluidSynth instance with a
// General MIDI soundfont, created on first use and kept for the rest of the
// run. Without a soundfont it stays silent (logged once).
//
// Like everything the mixer pulls, it is used under the mixer's lock.
#include <string>
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

    bool HasSoundFont() const { return m_bSoundFont; }

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
    cMidiSynth(int nRate);
    void* m_pSettings = nullptr;
    void* m_pSynth = nullptr;
    bool m_bSoundFont = false;
    const void* m_pOwner = nullptr;
    std::vector<float> m_vLeft, m_vRight;
};
