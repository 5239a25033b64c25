#pragma once
// The MIDI music player: a read and merged MIDI file played by a sequencer
// into the synthesiser, as a source of the mixer. Nothing runs on a thread
// of its own: the mixer's thread advances the song, and every call takes the
// mixer's lock, so a player can be stopped or deleted at any time. A song
// for the synthesiser does not advance while it loads its soundfont.
#include <memory>
#include <vector>

#include "sound/AudioMixer.h"
#include "sound/MidiSequencer.h"
#include "sound/SmfFile.h"

class cMidiStream : public cSmfFile, public cMixSource {
public:
    // Reads the file; with an image the player is made ready (stopped at the
    // start). By default it plays into the synthesiser through the process's
    // mixer; tests give their own.
    explicit cMidiStream(const char* szFile, IMidiSink* pSink = nullptr, cAudioMixer* pMixer = nullptr);
    ~cMidiStream() override;
    cMidiStream(const cMidiStream&) = delete;
    cMidiStream& operator=(const cMidiStream&) = delete;

    void Start(int bLoop);
    // bPause 0: stop and rewind; 1: pause while playing.
    void Stop(int bPause);
    // Volume in percent (100 and above: full).
    void SetVolume(int nVolume);
    int GetState() const;      // SEQ_STOPPED, SEQ_PLAYING, SEQ_PAUSED

    void MixInto(float* pOut, int nFrames, int nRate) override;

private:
    bool OwnsSink() const;

    cAudioMixer* m_pMixer;
    IMidiSink* m_pSink;
    bool m_bSynth;            // the sink is the shared synthesiser
    cMidiSequencer m_Seq;
    float m_fGain = 1.0f;
    bool m_bOpen = false;
};

// The music manager's stream players, one per channel.
class cMidiStreamSet {
public:
    void SetChannels(int nCount);
    void Clear();
    int GetCount() const { return static_cast<int>(m_vecStream.size()); }
    // Stops (bPause 0) or pauses (1) every player.
    void StopAll(int bPause);
    // Deletes every player and plays szFile on the channel; false when the
    // extension is not "mid" (any case) or the file was refused.
    bool PlayFile(int nChannel, const char* szFile, int bLoop, int nVolume);
    cMidiStream* GetPlayer(int nChannel) const;

    std::vector<std::unique_ptr<cMidiStream>> m_vecStream;
    std::vector<int> m_vecStreamParam;
};
