// Damaged Ogg files played through the music manager. The MIDI and wave
// readers' sweeps (every cut, byte changes at every position) and random
// damage are their fuzz targets' (tests/fuzz/targets/Midi.cpp, Wave.cpp).
#include <gtest/gtest.h>

#include <cmath>

#include "OggFixture.h"
#include "SoundFixtures.h"
#include "sound/AudioSystem.h"
#include "sound/BgmManager.h"
#include "support/TempDir.h"

using namespace soundtest;

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
