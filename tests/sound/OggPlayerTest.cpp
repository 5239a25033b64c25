// The Ogg voice against the mixer: files of other rates than the output's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "OggFixture.h"
#include "SoundFixtures.h"
#include "sound/AudioMixer.h"
#include "sound/OggPlayer.h"
#include "support/TempDir.h"

using namespace soundtest;

// A file far above the output rate moves many of its frames on for each
// frame of output, past the frames decoded so far. It plays to its end,
// loops and ends, with every sample a number within the range.
TEST(OggPlayer, FilesFarAboveTheOutputRatePlayThroughAndLoop)
{
    cTempDir dir;
    // Lengths just past the 4096 frames the voice keeps before it drops what
    // was played (the last step then passes the end of all that was
    // decoded), and a long one that drops many times.
    for (size_t nLength : {4100u, 4120u, 40000u}) {
        std::vector<float> vSine(nLength);
        for (size_t i = 0; i < vSine.size(); ++i) vSine[i] = 0.3f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
        const std::vector<uint8_t> vOgg = EncodeOgg(vSine, 1, 44100);
        ASSERT_GT(vOgg.size(), 44u);
        ASSERT_EQ(std::memcmp(vOgg.data() + 28, "\x01vorbis", 7), 0);
        // The rate stands in the identification header, after the packet
        // kind, the name, the version and the channel count.
        for (uint32_t nRate : {96000u, 192000u, 1000000u}) {
            SCOPED_TRACE(testing::Message() << nLength << " frames at " << nRate);
            std::vector<uint8_t> v(vOgg);
            std::memcpy(v.data() + 40, &nRate, 4);
            ASSERT_TRUE(WriteBytes(dir.File("x.ogg"), WithPageChecksums(v)));
            cAudioMixer mixer(44100);
            cOggVoice voice(mixer);
            ASSERT_TRUE(voice.Open("x.ogg"));
            voice.SetLoop(1);
            voice.Play();
            // Two passes, each of nLength * 44100 / rate output frames
            // (1764 for 40000 frames at 1000000).
            const int nPassFrames = static_cast<int>(static_cast<uint64_t>(nLength) * 44100 / nRate);
            std::vector<float> vOut(2 * 256);
            int nRendered = 0;
            while (voice.IsPlaying() && nRendered < 4 * nPassFrames + 4096) {
                std::fill(vOut.begin(), vOut.end(), 0.0f);
                mixer.Render(vOut.data(), 256);
                for (float f : vOut) ASSERT_TRUE(std::isfinite(f) && std::fabs(f) <= 1.0f);
                nRendered += 256;
            }
            EXPECT_FALSE(voice.IsPlaying());
            // Both passes were played (less one render for the rounding).
            EXPECT_GE(nRendered, 2 * nPassFrames - 256);
        }
    }
}
