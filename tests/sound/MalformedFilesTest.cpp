// Malformed inputs for the readers: the fuzz target replayed over seeds and
// systematic damage of them (every cut, byte changes at every position). In
// the sanitizer build this shows any read outside the data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <dirent.h>

#include "OggFixture.h"
#include "SoundFixtures.h"
#include "sound/AudioSystem.h"
#include "sound/BgmManager.h"
#include "support/TempDir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize);

using namespace soundtest;

namespace {

std::vector<std::vector<uint8_t>> Seeds()
{
    std::vector<std::vector<uint8_t>> v;
    v.push_back(Join({SmfHeader(1, 2, 96),
                      SmfTrack(Bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x60, 0xFF, 0x01, 0x02, 'h', 'i', 0x00, 0xFF, 0x2F, 0x00})),
                      SmfTrack(Bytes({0x00, 0x90, 0x3C, 0x40, 0x60, 0x3C, 0x00, 0x10, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7,
                                      0x00, 0xB0, 0x07, 0x64, 0x00, 0xE0, 0x00, 0x40, 0x00, 0xFF, 0x2F, 0x00}))}));
    v.push_back(Join({SmfHeader(0, 1, 0xE728), SmfTrack(Bytes({0x81, 0x00, 0xC0, 0x05, 0x00, 0xFF, 0x2F, 0x00}))}));
    WAVSPEC w;
    w.nChannels = 2;
    w.vSamples = Pcm16({1, 2, 3, 4, 5, 6, 7, 8});
    v.push_back(BuildWav(w));
    w.nFmtSize = 18;
    w.bJunkBeforeFmt = true;
    v.push_back(BuildWav(w));
    return v;
}

void Feed(const std::vector<uint8_t>& v)
{
    // A copy of exactly the input's size, so that a read past it is seen.
    std::vector<uint8_t> c(v);
    LLVMFuzzerTestOneInput(c.empty() ? nullptr : c.data(), c.size());
}

}  // namespace

TEST(MalformedFiles, EveryCutAndByteChangeOfTheSeedsIsReadSafely)
{
    static const uint8_t aValues[] = {0x00, 0x01, 0x7F, 0x80, 0xF0, 0xF7, 0xFF};
    for (const auto& seed : Seeds()) {
        Feed(seed);
        for (size_t n = 0; n < seed.size(); ++n) Feed(std::vector<uint8_t>(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(n)));
        for (size_t i = 0; i < seed.size(); ++i) {
            for (uint8_t b : aValues) {
                std::vector<uint8_t> v(seed);
                v[i] = b;
                Feed(v);
            }
        }
    }
}

// Inputs kept by a fuzzing session, when a folder of them is given.
TEST(MalformedFiles, ReplaysAFuzzCorpusWhenOneIsGiven)
{
    const char* pszDir = std::getenv("MOSSGROVE_FUZZ_CORPUS");
    if (pszDir == nullptr) GTEST_SKIP() << "MOSSGROVE_FUZZ_CORPUS not set";
    DIR* d = opendir(pszDir);
    ASSERT_NE(d, nullptr);
    int n = 0;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        Feed(ReadHostFile(std::string(pszDir) + "/" + e->d_name));
        ++n;
    }
    closedir(d);
    EXPECT_GT(n, 0);
}

TEST(MalformedFiles, DamagedOggFilesFailOrPlayWhatTheyHold)
{
    SetAudioDeviceEnabled(false);
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("bgm"));
    std::vector<float> vSine(8000);
    for (size_t i = 0; i < vSine.size(); ++i) vSine[i] = 0.3f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
    std::vector<uint8_t> vOgg = EncodeOgg(vSine, 1, 44100);
    ASSERT_GT(vOgg.size(), 200u);
    std::vector<std::vector<uint8_t>> vDamaged = {
        std::vector<uint8_t>(vOgg.begin(), vOgg.begin() + static_cast<std::ptrdiff_t>(vOgg.size() / 2)),
        std::vector<uint8_t>(vOgg.begin(), vOgg.begin() + 60),
        Bytes({'O', 'g', 'g', 'S', 0, 0, 0, 0}),
        std::vector<uint8_t>(300, 0xFF),
    };
    for (size_t k = 0; k < 64; ++k) {
        std::vector<uint8_t> v(vOgg);
        v[(k * 97 + 13) % v.size()] ^= 0x5A;
        vDamaged.push_back(v);
    }
    cBgmManager bgm;
    ASSERT_TRUE(bgm.Init(MakeBgmInitData(0)));
    std::vector<float> vOut(2 * 4096);
    for (const auto& v : vDamaged) {
        ASSERT_TRUE(WriteBytes(dir.File("bgm/x.ogg"), v));
        bgm.SetFile(0, "bgm\\x.ogg", 100);
        bgm.Play(0, 0, 1, 0, 1);
        for (int i = 0; i < 4; ++i) GetAudioMixer().Render(vOut.data(), 4096);
        for (float f : vOut) ASSERT_TRUE(std::isfinite(f) && std::fabs(f) <= 1.0f);
    }
    bgm.Release();
    SetAudioDeviceEnabled(true);
}
