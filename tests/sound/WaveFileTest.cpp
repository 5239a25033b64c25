#include <gtest/gtest.h>

#include <functional>

#include "SoundFixtures.h"
#include "foundation/Log.h"
#include "sound/WaveFile.h"
#include "support/TempDir.h"

using namespace soundtest;

namespace {

const std::string kNotRiff = U8(u8"w.wav の読み込みに失敗しました…\n不正なファイルです。\n");
const std::string kBadFmt =
    U8(u8"w.wav の読み込みに失敗しました…\n対応していない形式か、不正なwavファイルです。\n本ソフトではPCM形式のみ再生できます。\n");
const std::string kNotPcm = U8(u8"w.wav の読み込みに失敗しました…\nPCM形式以外の形式です。\n本ソフトではPCM形式のみ再生できます。\n");

struct WAVCASE {
    const char* pszName;
    std::function<std::vector<uint8_t>()> fnBuild;
    bool bOk;
    uint32_t nSize;            // sample bytes kept when accepted
    std::string strReport;     // the report log afterwards
};

WAVSPEC Mono16(std::vector<uint8_t> v)
{
    WAVSPEC w;
    w.vSamples = std::move(v);
    return w;
}

}  // namespace

TEST(WaveFile, ReaderAcceptsAndRefusesAsTheTableSays)
{
    const std::vector<uint8_t> v8 = Pcm16({1, -2, 3, -4});
    std::vector<WAVCASE> vCases = {
        {"16-byte fmt", [&] { return BuildWav(Mono16(v8)); }, true, 8, ""},
        {"18-byte fmt", [&] { WAVSPEC w = Mono16(v8); w.nFmtSize = 18; return BuildWav(w); }, true, 8, ""},
        {"40-byte extensible fmt", [&] { WAVSPEC w = Mono16(v8); w.nFmtSize = 40; w.wTag = 0xFFFE; return BuildWav(w); }, false, 0, kBadFmt},
        {"40-byte fmt with PCM tag", [&] { WAVSPEC w = Mono16(v8); w.nFmtSize = 40; return BuildWav(w); }, false, 0, kBadFmt},
        {"14-byte fmt", [&] { WAVSPEC w = Mono16(v8); w.nFmtSize = 14; return BuildWav(w); }, false, 0, kBadFmt},
        {"float samples", [&] { WAVSPEC w = Mono16(v8); w.wTag = 3; w.nBits = 32; return BuildWav(w); }, false, 0, kNotPcm},
        {"no data chunk", [&] { WAVSPEC w = Mono16(v8); w.bData = false; return BuildWav(w); }, false, 0, ""},
        {"empty data chunk", [&] { return BuildWav(Mono16({})); }, false, 0, ""},
        {"data shorter than declared", [&] { WAVSPEC w = Mono16(v8); w.nDeclaredData = 1000; return BuildWav(w); }, true, 8, ""},
        {"data not whole blocks", [&] { WAVSPEC w = Mono16(Bytes({1, 2, 3, 4, 5, 6, 7})); return BuildWav(w); }, true, 6, ""},
        {"stereo, one frame and a half", [&] { WAVSPEC w = Mono16(Bytes({1, 2, 3, 4, 5, 6})); w.nChannels = 2; return BuildWav(w); }, true, 4, ""},
        {"odd chunk before fmt", [&] { WAVSPEC w = Mono16(v8); w.bJunkBeforeFmt = true; return BuildWav(w); }, true, 8, ""},
        {"other RIFF form", [&] { WAVSPEC w = Mono16(v8); w.pszForm = "AVI "; return BuildWav(w); }, false, 0, kNotRiff},
        {"empty file", [] { return std::vector<uint8_t>(); }, false, 0, kNotRiff},
        {"cut inside fmt", [&] { auto v = BuildWav(Mono16(v8)); v.resize(12 + 8 + 10); return v; }, false, 0, kBadFmt},
        {"no fmt chunk", [] {
             cByteBuilder b;
             b.Raw("RIFF", 4).U32(12).Raw("WAVE", 4).Raw("data", 4).U32(0);
             return b.Bytes();
         }, false, 0, ""},
        {"RIFF size past the end", [&] {
             auto v = BuildWav(Mono16(v8));
             v[4] = 0xFF; v[5] = 0xFF; v[6] = 0xFF; v[7] = 0x7F;
             return v;
         }, true, 8, ""},
    };
    cTempDir dir;
    for (const WAVCASE& c : vCases) {
        SCOPED_TRACE(c.pszName);
        ASSERT_EQ(InitReport("Report_Game.txt"), 1);
        ASSERT_TRUE(WriteBytes(dir.File("w.wav"), c.fnBuild()));
        WAVEDATA wave;
        EXPECT_EQ(DS_ReadWave("w.wav", &wave), c.bOk);
        EXPECT_EQ(ReadText(dir.File("Report_Game.txt")), c.strReport);
        if (c.bOk) {
            EXPECT_EQ(wave.dwSize, c.nSize);
            EXPECT_EQ(wave.vSamples.size(), c.nSize);
            EXPECT_EQ(wave.wfx.wFormatTag, WAVE_FORMAT_PCM);
        }
    }
}

TEST(WaveFile, FormatFieldsAndSamplesComeThrough)
{
    cTempDir dir;
    WAVSPEC w;
    w.nChannels = 2;
    w.nRate = 22050;
    w.nBits = 8;
    w.nFmtSize = 18;
    w.vSamples = Bytes({0x80, 0x7F, 0x00, 0xFF});
    ASSERT_TRUE(WriteBytes(dir.File("Se.WAV"), BuildWav(w)));
    WAVEDATA wave;
    // The name's case is found on disk.
    ASSERT_TRUE(DS_ReadWave("se.wav", &wave));
    EXPECT_EQ(wave.wfx.nChannels, 2);
    EXPECT_EQ(wave.wfx.nSamplesPerSec, 22050u);
    EXPECT_EQ(wave.wfx.wBitsPerSample, 8);
    EXPECT_EQ(wave.wfx.nBlockAlign, 2);
    EXPECT_EQ(wave.vSamples, w.vSamples);
}

TEST(WaveFile, MissingFileFailsWithoutAMessage)
{
    cTempDir dir;
    ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    WAVEDATA wave;
    EXPECT_FALSE(DS_ReadWave("nothere.wav", &wave));
    EXPECT_EQ(ReadText(dir.File("Report_Game.txt")), "");
}
