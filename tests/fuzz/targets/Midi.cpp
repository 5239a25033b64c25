// The MIDI file reader. An accepted file gives an image that reads back to
// itself, whose events lie inside the image in time order, and whose song
// can be played; nothing is allocated beyond the bound.
#include "FuzzTarget.h"

#include "../../tools/mkdemo/Audio.h"

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
    // Format 1, three tracks: the conductor with every common meta event
    // (name, copyright, marker, SMPTE offset, time and key signatures,
    // tempo, sequencer-specific), then running status through every kind of
    // channel message, two-byte ones included, and a system-exclusive
    // message longer than 127 bytes (a two-byte length).
    std::vector<uint8_t> vConductor = {0x00, 0xFF, 0x03, 0x04, 's', 'o', 'n', 'g', 0x00, 0xFF, 0x02, 0x01, 'c',
                                       0x00, 0xFF, 0x06, 0x01, 'A', 0x00, 0xFF, 0x54, 0x05, 0x60, 0, 0, 0, 0,
                                       0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08, 0x00, 0xFF, 0x59, 0x02, 0xFE, 0x00,
                                       0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x7F, 0x03, 0x43, 0x7B, 0x01,
                                       0x83, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> vRunning = {0x00, 0xFF, 0x20, 0x01, 0x02, 0x00, 0xC2, 0x30, 0x10, 0x31, 0x00, 0x92, 0x40, 0x50,
                                     0x08, 0x43, 0x50, 0x08, 0x47, 0x50, 0x30, 0x40, 0x00, 0x00, 0x43, 0x00, 0x00, 0x47,
                                     0x00, 0x00, 0xA2, 0x40, 0x10, 0x04, 0x41, 0x20, 0x00, 0xB2, 0x0A, 0x20, 0x00, 0x5B,
                                     0x30, 0x00, 0xD2, 0x40, 0x04, 0x20, 0x00, 0xE2, 0x00, 0x40, 0x10, 0x7F, 0x7F,
                                     0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> vSysEx = {0x00, 0xF0, 0x81, 0x08};
    for (int i = 0; i < 135; ++i) vSysEx.push_back(static_cast<uint8_t>(i & 0x7F));
    vSysEx.push_back(0xF7);
    for (int b : {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x10, 0x99, 0x24, 0x64, 0x10, 0x24, 0x00, 0x00, 0xFF, 0x2F, 0x00})
        vSysEx.push_back(static_cast<uint8_t>(b));
    v.push_back(Join({SmfHeader(1, 3, 480), SmfTrack(vConductor), SmfTrack(vRunning), SmfTrack(vSysEx)}));
    // The demo project's tune, as its writer makes it.
    std::vector<NOTE> vMelody = {{60, 2}, {64, 2}, {67, 4}, {0, 2}, {72, 2}};
    std::vector<NOTE> vBass = {{36, 4}, {43, 4}, {36, 4}};
    FuzzCheck(WriteMidi("demo.mid", vMelody, vBass, 73, 120, 2));
    v.push_back(FuzzReadFile("demo.mid"));
    return v;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    FuzzSetAllocLimit(size_t(64) << 20);
    cSmfFile smf;
    if (!smf.LoadFromMemory("fuzz.mid", pData, nSize)) return 0;
    FuzzAccepted();
    FuzzCheck(smf.HasImage() && !smf.m_vEvents.empty());
    // The format, and the kinds of events the song holds: the channel
    // message kinds, system-exclusive messages and every meta type.
    if (nSize > 9) FuzzFeature(1, pData[9]);
    for (const SMFEVENT& e : smf.m_vEvents) {
        if (static_cast<size_t>(e.nOffset) + e.nLength > smf.m_pTrack.size() || e.nLength == 0) break;
        uint8_t nStatus = smf.m_pTrack[e.nOffset];
        if (nStatus == 0xFF && e.nLength > 1) FuzzFeature(3, smf.m_pTrack[e.nOffset + 1]);
        else FuzzFeature(2, nStatus < 0xF0 ? nStatus & 0xF0 : nStatus);
    }
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
