// Damaged Ogg files played through the music manager. The MIDI and wave
// readers' sweeps (every cut, byte changes at every position) and random
// damage are their fuzz targets' (tests/fuzz/targets/Midi.cpp, Wave.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "OggFixture.h"
#include "SoundFixtures.h"
#include "sound/AudioSystem.h"
#include "sound/AudioMixer.h"
#include "sound/BgmManager.h"
#include "sound/OggPlayer.h"
#include "support/TempDir.h"

using namespace soundtest;

TEST(MalformedFiles, DamagedOggFilesFailOrPlayWhatTheyHold)
{
    SetAudioDeviceEnabled(false);
    cTempDir dir;
    ASSERT_TRUE(dir.MakeDir("bgm"));
    std::vector<uint8_t> vOgg = EncodeOgg(Sine(8000), 1, 44100);
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

// A change inside the header pages, with the page checksums made right, so
// that the decoder reads it: one such change leaves a set-up whose code
// books cannot be built, and the decoder's first attempt fails. The file is
// refused, or plays what it can; a second attempt on that set-up (which
// would decode with the half-built books and die on a division by zero) is
// never made, at the open, while playing or when played again.
TEST(MalformedFiles, OggHeaderBytesChangedUnderRightChecksumsAreRefusedOrPlay)
{
    cTempDir dir;
    const std::vector<uint8_t> vOgg = EncodeOgg(Sine(2000), 1, 22050);
    const size_t nHeaders = HeaderPagesEnd(vOgg);
    ASSERT_LT(nHeaders, vOgg.size());
    cAudioMixer mixer(44100);
    cOggVoice voice(mixer);
    std::vector<float> vOut(2 * 1024);
    // Loops once, and is played again each time it has ended.
    auto PlayThrough = [&](int nRenders) {
        voice.SetLoop(1);
        voice.Play();
        for (int i = 0; i < nRenders; ++i) {
            mixer.Render(vOut.data(), 1024);
            for (float f : vOut) ASSERT_TRUE(std::isfinite(f));
            if (!voice.IsPlaying()) voice.Play();
        }
    };
    // Every page of v given another stream serial number.
    auto WithSerial = [](std::vector<uint8_t> v, uint32_t nSerial) {
        for (size_t i = 0; i + 27 <= v.size(); ++i)
            if (std::memcmp(v.data() + i, "OggS", 4) == 0) std::memcpy(v.data() + i + 14, &nSerial, 4);
        return v;
    };
    int nOpened = 0, nRefused = 0, nChained = 0;
    for (size_t nAt = 0; nAt < nHeaders; ++nAt)
        for (uint8_t byValue : {uint8_t{0x01}, uint8_t{0xFF}}) {
            if (vOgg[nAt] == byValue) continue;
            std::vector<uint8_t> v(vOgg);
            v[nAt] = byValue;
            ASSERT_TRUE(WriteBytes(dir.File("x.ogg"), WithPageChecksums(v)));
            voice.Discard();
            if (voice.Open("x.ogg")) {
                ++nOpened;
                PlayThrough(3);
                continue;
            }
            ++nRefused;
            // Refused alone, it follows a good stream in a chain: the
            // decoder meets it only when the first stream has played, and
            // the loop goes back to the start after that.
            std::vector<uint8_t> vChain(vOgg);
            const std::vector<uint8_t> vSecond = WithPageChecksums(WithSerial(v, 8));
            vChain.insert(vChain.end(), vSecond.begin(), vSecond.end());
            ASSERT_TRUE(WriteBytes(dir.File("x.ogg"), vChain));
            voice.Discard();
            if (voice.Open("x.ogg")) {
                ++nChained;
                // 2000 frames at 22050 a second are about 4000 at the
                // mixer's rate: each stream, and each pass, takes a few
                // renders.
                PlayThrough(24);
            }
        }
    // Every way was taken.
    EXPECT_GT(nOpened, 0);
    EXPECT_GT(nRefused, 0);
    EXPECT_GT(nChained, 0);
}
