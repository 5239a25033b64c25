// Fuzz target for the MIDI file and wave file readers. With clang it is
// built as a libFuzzer program; the sound tests replay inputs through it.
//
// Checks beyond "no crash": an accepted MIDI file gives an image that reads
// back to itself, its events lie inside the image in time order, and its
// song can be played; an accepted wave keeps whole blocks only.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/MidiSequencer.h"
#include "sound/SmfFile.h"
#include "sound/WaveFile.h"

namespace {

class cNullSink : public IMidiSink {
public:
    void ShortMessage(uint8_t, uint8_t, uint8_t) override { ++m_nEvents; }
    void SysEx(const uint8_t* p, uint32_t n) override
    {
        if (n > 0) m_nSum += p[0] + p[n - 1];
    }
    void AllNotesOff() override {}
    void Reset() override {}
    void Render(float* pOut, int nFrames, float fGain) override
    {
        for (int i = 0; i < 2 * nFrames; ++i) pOut[i] += fGain * 0.0f;
    }
    size_t m_nEvents = 0;
    uint64_t m_nSum = 0;
};

void Check(bool b)
{
    if (!b) std::abort();
}

void FuzzMidi(const uint8_t* pData, size_t nSize)
{
    cSmfFile smf;
    if (!smf.LoadFromMemory("fuzz.mid", pData, nSize)) return;
    Check(smf.HasImage() && !smf.m_vEvents.empty());
    uint64_t nPrev = 0;
    for (const SMFEVENT& e : smf.m_vEvents) {
        Check(e.nLength >= 1 && e.nOffset >= SMF_IMAGE_HEAD);
        Check(static_cast<size_t>(e.nOffset) + e.nLength <= smf.m_pTrack.size());
        Check(e.nTime >= nPrev);
        nPrev = e.nTime;
    }
    cSmfFile again;
    Check(again.LoadFromMemory("fuzz.mid", smf.m_pTrack.data(), smf.m_pTrack.size()));
    Check(again.m_pTrack == smf.m_pTrack);

    cMidiSequencer seq;
    seq.Load(&smf, 44100);
    cNullSink sink;
    std::vector<float> v(2 * 4096);
    seq.Start(true);
    for (int i = 0; i < 16; ++i) seq.Render(v.data(), 4096, sink, 1.0f);
    seq.Stop(&sink);
}

void FuzzWave(const uint8_t* pData, size_t nSize)
{
    WAVEDATA w;
    if (!ReadWaveFromMemory("fuzz.wav", pData, nSize, &w)) return;
    Check(w.dwSize > 0 && w.dwSize == w.vSamples.size() && w.dwSize <= nSize);
    if (w.wfx.nBlockAlign > 0) Check(w.dwSize % w.wfx.nBlockAlign == 0);
    Check(w.wfx.wFormatTag == WAVE_FORMAT_PCM);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzMidi(pData, nSize);
    FuzzWave(pData, nSize);
    return 0;
}
