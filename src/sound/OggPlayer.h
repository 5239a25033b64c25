#pragma once
// Ogg Vorbis music. A cOggVoice is one player object: it opens a file (read
// whole into memory and decoded from there), plays it once or looping, at a
// volume 0.0..1.0. It is a source of the mixer and is decoded on the
// mixer's thread, so every call takes the mixer's lock.
//
// cVoxPlayer is the music manager's Ogg side: one player object per channel
// and the channel playing now.
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/AudioMixer.h"

constexpr int OGG_LOOP_FOREVER = 0x7FFFFFFF;

struct OGGSTREAM;

class cOggVoice : public cMixSource {
public:
    explicit cOggVoice(cAudioMixer& mixer);
    ~cOggVoice() override;
    cOggVoice(const cOggVoice&) = delete;
    cOggVoice& operator=(const cOggVoice&) = delete;

    bool Open(const char* szFile);     // true when the file is loaded
    void Play();
    void Stop();
    void Discard();                    // forgets the loaded file
    void SetLoop(int nCount);          // OGG_LOOP_FOREVER, or the repeats after the first pass
    void SetVolume(float fVolume);     // 0.0..1.0
    bool IsPlaying() const;
    bool IsOpen() const;

    void MixInto(float* pOut, int nFrames, int nRate) override;

private:
    bool Decode();                     // more frames into m_vBuf; false at the end

    cAudioMixer& m_Mixer;
    std::unique_ptr<OGGSTREAM> m_pStream;
    bool m_bPlaying = false;
    int m_nLoop = 0;
    float m_fVolume = 1.0f;
    // Decoded frames (stereo) waiting to be resampled, and the position in
    // them (32.32 fixed point).
    std::vector<float> m_vBuf;
    size_t m_nBufFrames = 0;
    uint64_t m_nPos = 0;
    bool m_bEnded = false;
};

// One slot of the Ogg slot table.
struct OGGFILEDATA {
    char szFileName[260];
    int32_t nVolume;
};

class cVoxPlayer {
public:
    cVoxPlayer() = default;
    ~cVoxPlayer();

    // The decoder is built in, so loading always succeeds.
    bool Load();
    bool CreatePlayers(int nCount);
    bool PlayOgg(int nChannel, const OGGFILEDATA* pSlot, int bLoop, int nVolume);
    void StopPlaying();                // stops the channel playing now
    void Release();

    int GetPlaying() const { return m_nPlaying; }
    int GetCount() const { return static_cast<int>(m_vPlayer.size()); }

private:
    std::vector<std::unique_ptr<cOggVoice>> m_vPlayer;
    int m_nPlaying = -1;
    bool m_bLoaded = false;
};
