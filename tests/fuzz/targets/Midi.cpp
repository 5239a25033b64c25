// The MIDI file reader. An accepted file gives an image that reads back to
// itself, whose events lie inside the image in time order, and whose song
// can be played; nothing is allocated beyond the bound.
#include "FuzzTarget.h"

#include "sound/MidiSequencer.h"
#include "sound/SmfFile.h"
#include "sound/SoundFixtures.h"

using namespace soundtest;

namespace {

class cNullSink : public IMidiSink {
public:
    void ShortMessage(uint8_t, uint8_t, uint8_t) override { ++m_nEvents; }
    void SysEx(const uint8_t* p, uint32_t n) override {
        if (n > 0) m_nSum += p[0] + p[n - 1];
    }
    void AllNotesOff() override {}
    void Reset() override {}
    void Render(float* pOut, int nFrames, float fGain) override {
        for (int i = 0; i < 2 * nFrames; ++i) pOut[i] += fGain * 0.0f;
    }
    size_t m_nEvents = 0;
    uint64_t m_nSum = 0;
};

}  // namespace

std::vector<FUZZBYTES> FuzzSeeds() {
    std::vector<FUZZBYTES> v;
    v.push_back(Join({SmfHeader(1, 2, 96),
                      SmfTrack(Bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x60, 0xFF, 0x01, 0x02, 'h', 'i', 0x00, 0xFF,
                                      0x2F, 0x00})),
                      SmfTrack(Bytes({0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00, 0x10, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01,
                                      0xF7, 0x00, 0xB0, 0x07, 0x64, 0x00, 0xE0, 0x00, 0x40, 0x00, 0xFF, 0x2F, 0x00}))}));
    v.push_back(Join({SmfHeader(0, 1, 0xE728), SmfTrack(Bytes({0x81, 0x00, 0xC0, 0x05, 0x00, 0xFF, 0x2F, 0x00}))}));
    // Running status across a meta event and an F7 packet.
    v.push_back(Join({SmfHeader(0, 1, 96),
                      SmfTrack(Bytes({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x01, 'x', 0x10, 0x3C, 0x00, 0x00, 0xF7,
                                      0x02, 0x43, 0x10, 0x00, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00}))}));
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    FuzzSetAllocLimit(size_t(64) << 20);
    cSmfFile smf;
    if (!smf.LoadFromMemory("fuzz.mid", pData, nSize)) return 0;
    FuzzAccepted();
    FuzzCheck(smf.HasImage() && !smf.m_vEvents.empty());
    uint64_t nPrev = 0;
    for (const SMFEVENT& e : smf.m_vEvents) {
        FuzzCheck(e.nLength >= 1 && e.nOffset >= SMF_IMAGE_HEAD);
        FuzzCheck(static_cast<size_t>(e.nOffset) + e.nLength <= smf.m_pTrack.size());
        FuzzCheck(e.nTime >= nPrev);
        nPrev = e.nTime;
    }
    cSmfFile again;
    FuzzCheck(again.LoadFromMemory("fuzz.mid", smf.m_pTrack.data(), smf.m_pTrack.size()));
    FuzzCheck(again.m_pTrack == smf.m_pTrack);

    cMidiSequencer seq;
    seq.Load(&smf, 44100);
    cNullSink sink;
    std::vector<float> v(2 * 4096);
    seq.Start(true);
    for (int i = 0; i < 16; ++i) seq.Render(v.data(), 4096, sink, 1.0f);
    seq.Stop(&sink);
    return 0;
}
