#pragma once
// The software mixer behind every sound of the game: wave voices (one per
// sound buffer, duplicates included) and music sources, summed into
// interleaved stereo float frames at one fixed output rate.
//
// Render is pure: it needs no device, so tests call it directly. The audio
// device calls it on its own thread. Render takes the mixer's lock; every
// other member function expects the caller to hold it (GetLock), so that a
// whole operation such as restarting a buffer and advancing a round robin
// is one step for the audio thread.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Samples of one loaded sound, converted to float once.
struct MIXSAMPLES {
    int nRate = 0;
    int nChannels = 0;            // 1 or 2
    std::vector<float> vData;     // interleaved
    uint32_t nFrames = 0;
};

// A music source pulled by the mixer: it adds its frames into pOut.
class cMixSource {
public:
    virtual ~cMixSource() = default;
    virtual void MixInto(float* pOut, int nFrames, int nRate) = 0;
};

// Volume in hundredths of a decibel to a linear gain: 10^(v/2000); at
// -10000 and below, exact silence; 0 and above, unity.
float VolumeToGain(int nVolume);

constexpr int MIX_VOLUME_MIN = -10000;
constexpr int MIX_VOLUME_MAX = 0;

class cAudioMixer {
public:
    explicit cAudioMixer(int nRate);
    cAudioMixer(const cAudioMixer&) = delete;
    cAudioMixer& operator=(const cAudioMixer&) = delete;

    int GetRate() const { return m_nRate; }
    std::mutex& GetLock() { return m_Lock; }

    // Renders nFrames stereo frames into pOut (2 * nFrames floats), replacing
    // its contents. Takes the lock.
    void Render(float* pOut, int nFrames);
    // Frames rendered so far (under the lock).
    uint64_t GetFrameCount() const { return m_nFramesRendered; }

    // Voices. A voice id is >= 0; -1 means none. All calls with a voice id
    // that does not exist do nothing (and return 0 / false).
    int CreateVoice(std::shared_ptr<const MIXSAMPLES> pSamples);
    int DuplicateVoice(int nVoice);
    void ReleaseVoice(int nVoice);
    bool HasVoice(int nVoice) const;
    void PlayVoice(int nVoice, bool bLoop);
    void StopVoice(int nVoice);
    void SetVoicePosition(int nVoice, uint32_t nFrame);
    bool IsVoicePlaying(int nVoice) const;
    void SetVoiceVolume(int nVoice, int nVolume);
    int GetVoiceVolume(int nVoice) const;
    int GetVoiceCount() const;   // voices in use

    // Music sources; a source removes itself before it is destroyed.
    void AddSource(cMixSource* pSource);
    void RemoveSource(cMixSource* pSource);

private:
    struct MIXVOICE {
        std::shared_ptr<const MIXSAMPLES> pSamples;
        bool bUsed = false;
        bool bPlaying = false;
        bool bLoop = false;
        uint64_t nPos = 0;     // source frame position, 32.32 fixed point
        int nVolume = 0;
        float fGain = 1.0f;
    };
    MIXVOICE* Voice(int nVoice);
    const MIXVOICE* Voice(int nVoice) const;
    void MixVoice(MIXVOICE& v, float* pOut, int nFrames);

    int m_nRate;
    std::mutex m_Lock;
    std::vector<MIXVOICE> m_vVoice;
    std::vector<cMixSource*> m_vSource;
    uint64_t m_nFramesRendered = 0;
};
