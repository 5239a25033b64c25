#include <gtest/gtest.h>

#include "SoundFixtures.h"
#include "foundation/Log.h"
#include "sound/SmfFile.h"
#include "support/TempDir.h"

using namespace soundtest;

namespace {

// The merged image expected: header for one track, then the events.
std::vector<uint8_t> Image(uint16_t nDivision, const std::vector<uint8_t>& vEvents)
{
    cSmfBuilder b;
    b.Id("MThd").Be32(6).Be16(0).Be16(1).Be16(nDivision).Id("MTrk").Be32(static_cast<uint32_t>(vEvents.size())).Raw(vEvents);
    return b.Bytes();
}

cSmfFile Merge(const std::vector<uint8_t>& v)
{
    cSmfFile smf;
    smf.LoadFromMemory("t.mid", v.data(), v.size());
    return smf;
}

}  // namespace

TEST(SmfFile, VarLenReadsAtMostFourBytes)
{
    uint32_t v = 0;
    EXPECT_EQ(ReadVarLen(Bytes({0x00}).data(), 1, &v), 1);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(ReadVarLen(Bytes({0x81, 0x00}).data(), 2, &v), 2);
    EXPECT_EQ(v, 0x80u);
    EXPECT_EQ(ReadVarLen(Bytes({0xFF, 0xFF, 0xFF, 0x7F}).data(), 4, &v), 4);
    EXPECT_EQ(v, 0x0FFFFFFFu);
    EXPECT_EQ(ReadVarLen(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F}).data(), 5, &v), 0);
    EXPECT_EQ(ReadVarLen(Bytes({0x81, 0x80}).data(), 2, &v), 0);   // cut off
    uint8_t a[4];
    EXPECT_EQ(WriteVarLen(a, 0x3FFF), 2);
    EXPECT_EQ(Bytes({a[0], a[1]}), Bytes({0xFF, 0x7F}));
    EXPECT_EQ(WriteVarLen(a, 0x200000), 4);
    EXPECT_EQ(Bytes({a[0], a[1], a[2], a[3]}), Bytes({0x81, 0x80, 0x80, 0x00}));
}

// Three tracks with events at equal ticks: merged by time, ties in track
// order; running status written out; a meta keeps its delta; the one
// end-of-track comes at the latest track end.
TEST(SmfFile, FormatOneTracksMergeIntoOneTrack)
{
    auto v = Join({
        SmfHeader(1, 3, 96),
        SmfTrack(Bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,     // tempo 500000 at 0
                        0x60, 0xFF, 0x01, 0x02, 'h', 'i',             // text at 96
                        0x00, 0xFF, 0x2F, 0x00})),
        SmfTrack(Bytes({0x00, 0x90, 0x3C, 0x40,                       // note on at 0
                        0x60, 0x3C, 0x00,                             // running status at 96
                        0x10, 0xFF, 0x2F, 0x00})),                    // track ends at 112
        SmfTrack(Bytes({0x00, 0xC1, 0x05,                             // program at 0
                        0x60, 0x91, 0x40, 0x50,                       // at 96
                        0x00, 0xFF, 0x2F, 0x00})),
    });
    cSmfFile smf = Merge(v);
    ASSERT_TRUE(smf.HasImage());
    EXPECT_EQ(smf.m_pTrack, Image(96, Bytes({
                                          0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                                          0x00, 0x90, 0x3C, 0x40,
                                          0x00, 0xC1, 0x05,
                                          0x60, 0xFF, 0x01, 0x02, 'h', 'i',
                                          0x00, 0x90, 0x3C, 0x00,
                                          0x00, 0x91, 0x40, 0x50,
                                          0x10, 0xFF, 0x2F, 0x00,
                                      })));
    ASSERT_EQ(smf.m_vEvents.size(), 7u);
    EXPECT_EQ(smf.m_vEvents[3].nTime, 96u);
    EXPECT_EQ(smf.m_vEvents[6].nTime, 112u);
    EXPECT_EQ(smf.GetDivision(), 96);
    // 112 ticks at 96 per quarter note and 0.5 s per quarter note.
    EXPECT_DOUBLE_EQ(smf.m_dLength, 112.0 / 96.0 * 0.5);
}

TEST(SmfFile, SongLengthFollowsTheTempoChanges)
{
    // No tempo at first (120 per minute), then 250000 µs from tick 480.
    auto v = Join({SmfHeader(0, 1, 480),
                   SmfTrack(Bytes({0x83, 0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,
                                   0x87, 0x40, 0xFF, 0x2F, 0x00}))});
    cSmfFile smf = Merge(v);
    ASSERT_TRUE(smf.HasImage());
    EXPECT_DOUBLE_EQ(smf.m_dLength, 0.5 + 2 * 0.25);
}

TEST(SmfFile, SysExOfAnyLengthIsKeptWhole)
{
    std::vector<uint8_t> vLong(300, 0x11);
    vLong.back() = 0xF7;
    cSmfBuilder ev;
    ev.Raw({0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
    ev.Raw({0x00, 0xF0}).VarLen(300).Raw(vLong);
    ev.Raw({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});
    cSmfFile smf = Merge(Join({SmfHeader(0, 1, 96), SmfTrack(ev.Bytes())}));
    ASSERT_TRUE(smf.HasImage());
    ASSERT_EQ(smf.m_vEvents.size(), 4u);
    EXPECT_EQ(smf.m_vEvents[0].nLength, 7u);
    EXPECT_EQ(smf.m_vEvents[1].nLength, 1u + 2u + 300u);
    const uint8_t* pPay = nullptr;
    uint32_t nPay = 0;
    ASSERT_TRUE(GetSysExEvent(smf.m_pTrack.data() + smf.m_vEvents[1].nOffset, smf.m_vEvents[1].nLength, &pPay, &nPay));
    EXPECT_EQ(nPay, 300u);
    EXPECT_EQ(pPay[299], 0xF7);
    EXPECT_EQ(smf.m_pTrack[smf.m_vEvents[2].nOffset], 0x90);
}

// Damaged files that can still be played: everything is read within the
// chunks and the file, and a missing end or wrong count only ends the song.
TEST(SmfFile, DamagedButPlayableFilesAreReadWithinTheirBytes)
{
    const auto vNote = Bytes({0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00});
    struct CASE {
        const char* pszName;
        std::vector<uint8_t> v;
        size_t nEvents;      // with the end-of-track
        uint64_t nEnd;
    } aCases[] = {
        {"no end-of-track", Join({SmfHeader(0, 1, 96), SmfTrack(vNote)}), 3, 96},
        {"more tracks declared than present",
         Join({SmfHeader(1, 5, 96), SmfTrack(Join({vNote, Bytes({0x00, 0xFF, 0x2F, 0x00})}))}), 3, 96},
        {"fewer tracks declared than present",
         Join({SmfHeader(1, 1, 96), SmfTrack(Join({vNote, Bytes({0x00, 0xFF, 0x2F, 0x00})})),
               SmfTrack(Bytes({0x00, 0x91, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}))}), 3, 96},
        {"chunk length past the end of the file", [&] {
             auto v = Join({SmfHeader(0, 1, 96), SmfTrack(vNote)});
             v[18] = 0x7F;
             return v;
         }(), 3, 96},
        {"last event cut off", Join({SmfHeader(0, 1, 96), SmfTrack(Join({vNote, Bytes({0x10, 0x90, 0x3C})}))}), 3, 96},
        {"sysex longer than its track", Join({SmfHeader(0, 1, 96), SmfTrack(Join({vNote, Bytes({0x00, 0xF0, 0x7F, 0x01})}))}), 3, 96},
        {"a chunk of another kind between tracks",
         Join({SmfHeader(1, 2, 96), SmfTrack(vNote), Bytes({'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 1, 2}),
               SmfTrack(Bytes({0x70, 0x91, 0x3C, 0x40}))}), 4, 112},
        {"no tracks at all", [] {
             auto v = Join({SmfHeader(0, 0, 96), SmfTrack({})});
             return v;
         }(), 1, 0},
    };
    for (const CASE& c : aCases) {
        SCOPED_TRACE(c.pszName);
        cSmfFile smf = Merge(c.v);
        ASSERT_TRUE(smf.HasImage());
        EXPECT_EQ(smf.m_vEvents.size(), c.nEvents);
        EXPECT_EQ(smf.m_vEvents.back().nTime, c.nEnd);
        const SMFEVENT& e = smf.m_vEvents.back();
        EXPECT_EQ(std::vector<uint8_t>(smf.m_pTrack.begin() + e.nOffset, smf.m_pTrack.begin() + e.nOffset + e.nLength),
                  Bytes({0xFF, 0x2F, 0x00}));
        EXPECT_EQ(e.nOffset + e.nLength, smf.m_pTrack.size());
    }
}

TEST(SmfFile, RefusedFilesAreLoggedWithTheirReason)
{
    const auto vTrack = SmfTrack(Bytes({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}));
    struct CASE {
        const char* pszName;
        std::vector<uint8_t> v;
        std::string strLog;
    } aCases[] = {
        {"not a MIDI file", Bytes({'R', 'I', 'F', 'F', 0, 0, 0, 0}), U8(u8"Midi t.mid Init 標準MIDIでない(4)\n")},
        {"empty", {}, U8(u8"Midi t.mid Init 標準MIDIでない(4)\n")},
        {"header length 8", [&] { auto v = Join({SmfHeader(0, 1, 96), vTrack}); v[7] = 8; return v; }(),
         U8(u8"Midi t.mid Init 標準MIDIでない(6)\n")},
        {"header cut short", Bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}), U8(u8"Midi t.mid Init 標準MIDIでない(6)\n")},
        {"format 2", Join({SmfHeader(2, 1, 96), vTrack}), U8(u8"Midi t.mid Init 対応フォーマットが2でない\n")},
        {"format 3", Join({SmfHeader(3, 1, 96), vTrack}), U8(u8"Midi t.mid Init 対応フォーマットが0または1でない\n")},
        {"no track after the header", Join({SmfHeader(0, 1, 96), Bytes({'X', 'T', 'r', 'k', 0, 0, 0, 0})}),
         U8(u8"Midi t.mid Init 標準MIDIでない(4)\n")},
        {"division 0", Join({SmfHeader(0, 1, 0), vTrack}), U8(u8"Midi t.mid Init 標準MIDIでない(6)\n")},
        {"delta of five bytes", Join({SmfHeader(0, 1, 96), SmfTrack(Bytes({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x40}))}),
         U8(u8"Midi t.mid Init トラックのデータが不正\n")},
        {"sysex length of five bytes",
         Join({SmfHeader(0, 1, 96), SmfTrack(Bytes({0x00, 0xF0, 0x81, 0x80, 0x80, 0x80, 0x00, 0xF7}))}),
         U8(u8"Midi t.mid Init トラックのデータが不正\n")},
        {"data byte with no running status", Join({SmfHeader(0, 1, 96), SmfTrack(Bytes({0x00, 0x3C, 0x40}))}),
         U8(u8"Midi t.mid Init トラックのデータが不正\n")},
        {"running status after only a meta",
         Join({SmfHeader(0, 1, 96), SmfTrack(Bytes({0x00, 0xFF, 0x01, 0x00, 0x00, 0x3C, 0x40}))}),
         U8(u8"Midi t.mid Init トラックのデータが不正\n")},
    };
    cTempDir dir;
    for (const CASE& c : aCases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_EQ(InitReport("Report_Game.txt"), 1);
        cSmfFile smf = Merge(c.v);
        EXPECT_FALSE(smf.HasImage());
        EXPECT_TRUE(smf.m_vEvents.empty());
        EXPECT_EQ(ReadText(dir.File("Report_Game.txt")), c.strLog);
    }
}

TEST(SmfFile, LoadReadsThroughTheFileSystemAndReportsAMissingFile)
{
    cTempDir dir;
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    ASSERT_TRUE(dir.MakeDir("bgm"));
    ASSERT_TRUE(WriteBytes(dir.File("bgm/Title.MID"),
                           Join({SmfHeader(0, 1, 96), SmfTrack(Bytes({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}))})));
    cSmfFile smf("bgm\\title.mid");
    EXPECT_TRUE(smf.HasImage());
    cSmfFile none("bgm\\none.mid");
    EXPECT_FALSE(none.HasImage());
    EXPECT_EQ(ReadText(dir.File("Report_Game.txt")), U8(u8"Midi bgm\\none.mid Create ファイルが開けません\n"));
}

// A gap longer than one delta time can hold keeps its full length.
TEST(SmfFile, HugeGapsKeepTheirTime)
{
    cSmfBuilder ev;
    ev.Raw({0x00, 0x90, 0x3C, 0x40});
    ev.VarLen(0x0FFFFFFF).Raw({0x80, 0x3C, 0x00});
    ev.VarLen(0x0FFFFFFF).Raw({0x90, 0x3C, 0x40});
    cSmfFile a = Merge(Join({SmfHeader(1, 2, 96), SmfTrack(ev.Bytes()), SmfTrack(Bytes({0x00, 0xFF, 0x2F, 0x00}))}));
    ASSERT_TRUE(a.HasImage());
    ASSERT_EQ(a.m_vEvents.size(), 4u);
    EXPECT_EQ(a.m_vEvents[2].nTime, 2ull * 0x0FFFFFFF);
    // Read back, the image gives the same times.
    cSmfFile b = Merge(a.m_pTrack);
    ASSERT_TRUE(b.HasImage());
    ASSERT_GE(b.m_vEvents.size(), 4u);
    EXPECT_EQ(b.m_vEvents.back().nTime, 2ull * 0x0FFFFFFF);
}
