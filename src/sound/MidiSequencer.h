#pragma once
// Plays the merged track of a MIDI file to a synthesiser. Every event's time
// is turned once into a sample position through the tempo map; rendering
// then sends each event when the output reaches its sample, so the song is
// clocked by the frames the mixer pulls.
#include <cstdint>
#include <vector>

#include "sound/SmfFile.h"

// Where the events go: a synthesiser, or a recorder in tests.
class IMidiSink {
public:
    virtual ~IMidiSink() = default;
    // A channel message (0x80..0xEF) with its one or two data bytes.
    virtual void ShortMessage(uint8_t nStatus, uint8_t nData1, uint8_t nData2) = 0;
    // A system-exclusive message, without its F0 and final F7.
    virtual void SysEx(const uint8_t* pData, uint32_t nLength) = 0;
    virtual void AllNotesOff() = 0;
    // All notes off and every controller, program and bend to its default.
    virtual void Reset() = 0;
    // Adds nFrames interleaved stereo frames, times fGain, into pOut.
    virtual void Render(float* pOut, int nFrames, float fGain) = 0;
};

enum : int { SEQ_STOPPED = 0, SEQ_PLAYING = 1, SEQ_PAUSED = 2 };

class cMidiSequencer {
public:
    // Takes the song; the file object must outlive the sequencer's use of it.
    void Load(const cSmfFile* pSmf, int nRate);

    void Start(bool bLoop);             // from stopped or paused
    void Pause();                       // while playing
    void Stop(IMidiSink* pSink);        // rewinds; notes off
    int GetState() const { return m_nState; }
    bool IsLoop() const { return m_bLoop; }
    uint64_t GetPosition() const { return m_nSample; }
    uint64_t GetEndSample() const { return m_nEndSample; }
    uint64_t GetEventSample(size_t i) const { return i < m_vSample.size() ? m_vSample[i] : 0; }

    // Renders nFrames: sends the events that fall due and adds the sink's
    // output. Paused, nothing is added; stopped, the sink still renders (the
    // release of notes already off).
    void Render(float* pOut, int nFrames, IMidiSink& sink, float fGain);

private:
    void Dispatch(size_t i, IMidiSink& sink);
    void SendLongEvent(uint8_t nStatus, const uint8_t* pPay, uint32_t nPay, IMidiSink& sink);

    const cSmfFile* m_pSmf = nullptr;
    std::vector<uint64_t> m_vSample;
    uint64_t m_nEndSample = 0;
    size_t m_nNext = 0;
    uint64_t m_nSample = 0;
    int m_nState = SEQ_STOPPED;
    bool m_bLoop = false;
    // A system-exclusive message whose end byte has not come yet.
    std::vector<uint8_t> m_vSysEx;
    bool m_bSysExOpen = false;
};

// Sample positions of the events of a merged song at nRate.
std::vector<uint64_t> ComputeEventSamples(const cSmfFile& smf, int nRate);
