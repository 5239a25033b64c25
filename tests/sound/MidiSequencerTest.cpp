#include <gtest/gtest.h>

#include "SoundFixtures.h"
#include "sound/MidiSequencer.h"

using namespace soundtest;

namespace {

constexpr int kRate = 44100;

// Records every event with the number of frames rendered before it.
class cFakeSink : public IMidiSink {
public:
    struct EVENT {
        uint64_t nFrame;
        std::string strWhat;
        bool operator==(const EVENT& o) const { return nFrame == o.nFrame && strWhat == o.strWhat; }
    };
    void ShortMessage(uint8_t s, uint8_t d1, uint8_t d2) override
    {
        char sz[32];
        std::snprintf(sz, sizeof(sz), "%02X %02X %02X", s, d1, d2);
        m_v.push_back({m_nFrames, sz});
    }
    void SysEx(const uint8_t* p, uint32_t n) override
    {
        m_v.push_back({m_nFrames, "sysex " + std::to_string(n) + " " + std::to_string(p[0]) + " " + std::to_string(p[n - 1])});
    }
    void AllNotesOff() override { m_v.push_back({m_nFrames, "off"}); }
    void Reset() override { m_v.push_back({m_nFrames, "reset"}); }
    void Render(float* pOut, int nFrames, float fGain) override
    {
        for (int i = 0; i < 2 * nFrames; ++i) pOut[i] += fGain;
        m_nFrames += static_cast<uint64_t>(nFrames);
    }
    std::vector<EVENT> m_v;
    uint64_t m_nFrames = 0;
};

std::ostream& operator<<(std::ostream& os, const cFakeSink::EVENT& e)
{
    return os << "{" << e.nFrame << ", " << e.strWhat << "}";
}

cSmfFile Song(uint16_t nDivision, const std::vector<uint8_t>& vEvents)
{
    auto v = Join({SmfHeader(0, 1, nDivision), SmfTrack(vEvents)});
    cSmfFile smf;
    smf.LoadFromMemory("s.mid", v.data(), v.size());
    return smf;
}

// Renders n frames in chunks of nChunk.
void RenderFrames(cMidiSequencer& seq, cFakeSink& sink, uint64_t n, int nChunk = 777)
{
    std::vector<float> v(2 * static_cast<size_t>(nChunk));
    while (n > 0) {
        int k = static_cast<int>(std::min<uint64_t>(n, static_cast<uint64_t>(nChunk)));
        seq.Render(v.data(), k, sink, 1.0f);
        n -= static_cast<uint64_t>(k);
    }
}

}  // namespace

TEST(MidiSequencer, EventsLandOnTheirSampleAcrossTempoChanges)
{
    // 96 ticks per quarter: 96 ticks at 500000 µs, then 96 at 250000 µs.
    cSmfFile smf = Song(96, Bytes({0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,
                                   0x30, 0xFF, 0x01, 0x00,           // a text meta half-way keeps its delta
                                   0x30, 0x90, 0x3C, 0x40,
                                   0x81, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,   // 1 s per quarter from tick 384
                                   0x60, 0x80, 0x3C, 0x00,
                                   0x00, 0xFF, 0x2F, 0x00}));
    ASSERT_TRUE(smf.HasImage());
    cMidiSequencer seq;
    seq.Load(&smf, kRate);
    cFakeSink sink;
    seq.Start(false);
    RenderFrames(seq, sink, 5 * kRate);
    const uint64_t nNoteOn = kRate / 2 + kRate / 4;                  // 0.75 s
    const uint64_t nNoteOff = nNoteOn + kRate / 2 + kRate;           // 192 ticks at 0.25 s, 96 at 1 s
    EXPECT_EQ(sink.m_v, (std::vector<cFakeSink::EVENT>{{nNoteOn, "90 3C 40"}, {nNoteOff, "80 3C 00"}, {nNoteOff, "off"}}));
    EXPECT_EQ(seq.GetState(), SEQ_STOPPED);
    EXPECT_EQ(seq.GetPosition(), 0u);
    EXPECT_EQ(sink.m_nFrames, 5u * kRate);
}

TEST(MidiSequencer, TimeCodeDivisionCountsTicksPerSecond)
{
    // 25 frames of 40 ticks: 1000 ticks per second.
    cSmfFile smf = Song(0xE728, Bytes({0x83, 0x74, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}));
    ASSERT_TRUE(smf.HasImage());
    std::vector<uint64_t> v = ComputeEventSamples(smf, kRate);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0], static_cast<uint64_t>(kRate / 2));
}

TEST(MidiSequencer, LoopingSongRestartsAfterItsEnd)
{
    cSmfFile smf = Song(96, Bytes({0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
    cMidiSequencer seq;
    seq.Load(&smf, kRate);
    cFakeSink sink;
    seq.Start(true);
    const uint64_t nLen = kRate / 2;
    RenderFrames(seq, sink, 2 * nLen + 1);
    EXPECT_EQ(sink.m_v, (std::vector<cFakeSink::EVENT>{
                            {0, "90 3C 40"}, {nLen, "80 3C 00"}, {nLen, "off"},
                            {nLen, "90 3C 40"}, {2 * nLen, "80 3C 00"}, {2 * nLen, "off"},
                            {2 * nLen, "90 3C 40"}}));
    EXPECT_EQ(seq.GetState(), SEQ_PLAYING);
    EXPECT_EQ(seq.GetPosition(), 1u);
}

TEST(MidiSequencer, PauseHoldsTheSongAndStopRewindsIt)
{
    cSmfFile smf = Song(96, Bytes({0x00, 0xC0, 0x10, 0x60, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}));
    cMidiSequencer seq;
    seq.Load(&smf, kRate);
    cFakeSink sink;
    seq.Start(false);
    RenderFrames(seq, sink, 1000);
    seq.Pause();
    EXPECT_EQ(seq.GetState(), SEQ_PAUSED);
    std::vector<float> v(2 * 4000, 0.0f);
    seq.Render(v.data(), 4000, sink, 1.0f);
    for (float f : v) EXPECT_EQ(f, 0.0f);     // paused: nothing rendered, nothing sent
    EXPECT_EQ(sink.m_nFrames, 1000u);
    seq.Start(false);
    RenderFrames(seq, sink, kRate);
    EXPECT_EQ(sink.m_v, (std::vector<cFakeSink::EVENT>{{0, "C0 10 00"}, {kRate / 2, "90 3C 40"}, {kRate / 2, "off"}}));

    sink.m_v.clear();
    seq.Start(false);
    RenderFrames(seq, sink, 100);
    seq.Stop(&sink);
    EXPECT_EQ(seq.GetPosition(), 0u);
    seq.Start(false);
    RenderFrames(seq, sink, 10);
    const uint64_t n = sink.m_nFrames;
    EXPECT_EQ(sink.m_v, (std::vector<cFakeSink::EVENT>{{n - 110, "C0 10 00"}, {n - 10, "off"}, {n - 10, "C0 10 00"}}));
}

// A long system-exclusive message is sent whole, and what follows it is not
// held up.
TEST(MidiSequencer, LargeSysExDoesNotStallTheSong)
{
    std::vector<uint8_t> vData(30000, 0x22);
    vData[0] = 0x41;
    vData.back() = 0xF7;
    cSmfBuilder ev;
    ev.Raw({0x00, 0xF0}).VarLen(static_cast<uint32_t>(vData.size())).Raw(vData);
    ev.Raw({0x01, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});
    cSmfFile smf = Song(96, ev.Bytes());
    ASSERT_TRUE(smf.HasImage());
    cMidiSequencer seq;
    seq.Load(&smf, kRate);
    cFakeSink sink;
    seq.Start(false);
    RenderFrames(seq, sink, 1000);
    ASSERT_EQ(sink.m_v.size(), 3u);
    EXPECT_EQ(sink.m_v[0], (cFakeSink::EVENT{0, "sysex 29999 65 34"}));
    EXPECT_EQ(sink.m_v[1].strWhat, "90 3C 40");
    EXPECT_EQ(sink.m_v[1].nFrame, static_cast<uint64_t>(kRate) * 500000 / 96 / 1000000);
}

// F7 packets are sent: the rest of a system-exclusive message begun by an
// F0 event without its end byte, a whole system-exclusive message, or a
// channel message. Running status goes on across meta and system-exclusive
// events.
TEST(MidiSequencer, F7PacketsAreSentAndRunningStatusCrossesLongEvents)
{
    cSmfFile smf = Song(96, Bytes({
        0x00, 0x90, 0x3C, 0x40,                    // note on
        0x00, 0xF0, 0x03, 0x41, 0x10, 0x42,        // sysex begun, no end byte
        0x00, 0xF7, 0x03, 0x12, 0x00, 0xF7,        // ... its rest: 41 10 42 12 00 sent
        0x00, 0x3E, 0x40,                          // running status: 90 3E 40
        0x00, 0xF7, 0x04, 0xF0, 0x7E, 0x09, 0xF7,  // a whole sysex in one packet: 7E 09
        0x00, 0xF7, 0x03, 0xB1, 0x07, 0x64,        // a channel message in a packet
        0x00, 0xF7, 0x02, 0xF3, 0x01,              // song select: nothing to send
        0x00, 0xFF, 0x01, 0x01, 'x',               // a text meta
        0x00, 0x40, 0x40,                          // running status still 90: 90 40 40
        0x00, 0xFF, 0x2F, 0x00}));
    ASSERT_TRUE(smf.HasImage());
    cMidiSequencer seq;
    seq.Load(&smf, kRate);
    cFakeSink sink;
    seq.Start(false);
    RenderFrames(seq, sink, 100);
    std::vector<std::string> v;
    for (const auto& e : sink.m_v) v.push_back(e.strWhat);
    EXPECT_EQ(v, (std::vector<std::string>{"90 3C 40", "sysex 5 65 0", "90 3E 40", "sysex 2 126 9", "B1 07 64",
                                           "90 40 40", "off"}));
}

TEST(MidiSequencer, SongWithoutLengthDoesNotLoopForever)
{
    cSmfFile smf = Song(96, Bytes({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}));
    cMidiSequencer seq;
    seq.Load(&smf, kRate);
    cFakeSink sink;
    seq.Start(true);
    RenderFrames(seq, sink, 100);
    EXPECT_EQ(seq.GetState(), SEQ_STOPPED);
    EXPECT_EQ(sink.m_v.size(), 2u);
}
