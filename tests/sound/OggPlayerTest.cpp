// The Ogg voice against the mixer: files of other rates than the output's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <vorbis/codec.h>

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
        const std::vector<uint8_t> vOgg = EncodeOgg(Sine(nLength), 1, 44100);
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

// A stereo file keeps its two channels apart: a sine on the left and
// silence on the right come out so (the right has under a hundredth of the
// left's energy), and swapped they come out swapped.
TEST(OggPlayer, StereoFilesKeepTheirRightChannel)
{
    cTempDir dir;
    for (int nLoud : {0, 1}) {
        std::vector<float> v(2 * 20000, 0.0f);
        for (size_t i = 0; i < 20000; ++i)
            v[2 * i + static_cast<size_t>(nLoud)] = 0.4f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
        ASSERT_TRUE(WriteBytes(dir.File("s.ogg"), EncodeOgg(v, 2, 44100)));
        cAudioMixer mixer(44100);
        cOggVoice voice(mixer);
        ASSERT_TRUE(voice.Open("s.ogg"));
        voice.Play();
        std::vector<float> vOut(2 * 1024);
        double adEnergy[2] = {0, 0};
        for (int k = 0; k < 12; ++k) {
            mixer.Render(vOut.data(), 1024);
            for (size_t i = 0; i < 1024; ++i)
                for (size_t c = 0; c < 2; ++c) adEnergy[c] += static_cast<double>(vOut[2 * i + c]) * vOut[2 * i + c];
        }
        const size_t nQuiet = static_cast<size_t>(1 - nLoud);
        EXPECT_GT(adEnergy[nLoud], 100.0) << nLoud;
        EXPECT_LT(adEnergy[nQuiet], adEnergy[nLoud] / 100) << nLoud;
    }
}

namespace {

// True when the three headers of v parse but the decoder cannot be set up
// from them (its code books cannot be built): told by the codec library's
// own calls, packet by packet.
bool HeadersParseButCannotBeBuilt(const std::vector<uint8_t>& v)
{
    ogg_sync_state oy;
    ogg_sync_init(&oy);
    char* pBuf = ogg_sync_buffer(&oy, static_cast<long>(v.size()));
    std::memcpy(pBuf, v.data(), v.size());
    ogg_sync_wrote(&oy, static_cast<long>(v.size()));
    ogg_page og;
    ogg_stream_state os;
    bool bStream = false;
    vorbis_info vi;
    vorbis_comment vc;
    vorbis_info_init(&vi);
    vorbis_comment_init(&vc);
    int nHeaders = 0;
    bool bBad = false;
    while (!bBad && nHeaders < 3 && ogg_sync_pageout(&oy, &og) == 1) {
        if (!bStream) {
            ogg_stream_init(&os, ogg_page_serialno(&og));
            bStream = true;
        }
        if (ogg_stream_pagein(&os, &og) != 0) continue;
        ogg_packet op;
        while (nHeaders < 3 && ogg_stream_packetout(&os, &op) == 1) {
            if (vorbis_synthesis_headerin(&vi, &vc, &op) != 0) {
                bBad = true;
                break;
            }
            ++nHeaders;
        }
    }
    bool bResult = false;
    if (!bBad && nHeaders == 3) {
        vorbis_dsp_state vd;
        if (vorbis_synthesis_init(&vd, &vi) != 0) bResult = true;
        else vorbis_dsp_clear(&vd);
    }
    if (bStream) ogg_stream_clear(&os);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    ogg_sync_clear(&oy);
    return bResult;
}

}  // namespace

// A file whose headers parse but whose code books cannot be built is
// refused at its opening: every one-byte change of the set-up header that
// makes such a file (found by the codec library itself) is tried.
TEST(OggPlayer, AFileWhoseCodeBooksCannotBeBuiltIsRefused)
{
    cTempDir dir;
    const std::vector<uint8_t> vOgg = EncodeOgg(Sine(2000), 1, 22050);
    const size_t nHeaders = HeaderPagesEnd(vOgg);
    ASSERT_TRUE(WriteBytes(dir.File("x.ogg"), vOgg));
    cAudioMixer mixer(44100);
    cOggVoice voice(mixer);
    ASSERT_TRUE(voice.Open("x.ogg"));
    int nFound = 0;
    for (size_t nAt = 0; nAt < nHeaders; ++nAt)
        for (uint8_t byValue : {uint8_t{0x01}, uint8_t{0xFF}}) {
            if (vOgg[nAt] == byValue) continue;
            std::vector<uint8_t> v(vOgg);
            v[nAt] = byValue;
            v = WithPageChecksums(v);
            if (!HeadersParseButCannotBeBuilt(v)) continue;
            ++nFound;
            ASSERT_TRUE(WriteBytes(dir.File("x.ogg"), v));
            voice.Discard();
            EXPECT_FALSE(voice.Open("x.ogg")) << "byte " << nAt << " set to " << int{byValue};
        }
    EXPECT_GT(nFound, 0);
}
