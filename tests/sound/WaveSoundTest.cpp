#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include <SDL.h>

#include "SoundFixtures.h"
#include "foundation/Log.h"
#include "sound/AudioSystem.h"
#include "sound/WaveSound.h"
#include "support/TempDir.h"

using namespace soundtest;

namespace {

// Samples 1000, 2000, ... so that every frame of a mix tells which buffers
// play and where.
std::vector<uint8_t> Ramp(int nFrames)
{
    std::vector<uint8_t> v;
    for (int i = 1; i <= nFrames; ++i) {
        int x = 1000 * i;
        v.push_back(static_cast<uint8_t>(x & 0xFF));
        v.push_back(static_cast<uint8_t>(x >> 8 & 0xFF));
    }
    return v;
}

float R(int k) { return static_cast<float>(1000 * k) / 32768.0f; }

SOUNDFILE File(const char* psz, int nBuffers, int nVolume = 0)
{
    SOUNDFILE f{};
    std::strncpy(f.szFileName, psz, sizeof(f.szFileName) - 1);
    f.nBufferCount = nBuffers;
    f.nVolume = nVolume;
    f.bUse = 1;
    return f;
}

class WaveSoundTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetAudioDeviceEnabled(false);
        ASSERT_EQ(InitReport("Report_Game.txt"), 1);
        WAVSPEC w;
        w.vSamples = Ramp(8);
        ASSERT_TRUE(WriteBytes(m_dir.File("ramp.wav"), BuildWav(w)));
    }
    void TearDown() override
    {
        DS_Release();
        SetAudioDeviceEnabled(true);
    }
    // Renders n frames of the process's mixer; returns the left channel.
    std::vector<float> Render(int n)
    {
        std::vector<float> v(2 * static_cast<size_t>(n));
        GetAudioMixer().Render(v.data(), n);
        std::vector<float> vLeft;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(v[2 * static_cast<size_t>(i)], v[2 * static_cast<size_t>(i) + 1]);
            vLeft.push_back(v[2 * static_cast<size_t>(i)]);
        }
        return vLeft;
    }
    std::string Report() { return ReadText(m_dir.File("Report_Game.txt")); }

    cTempDir m_dir;
    std::vector<SOUNDDATA> m_vData;
    std::vector<SOUNDFILE> m_vFile;
};

}  // namespace

TEST(AudioMixer, GainLawInHundredthsOfADecibel)
{
    EXPECT_EQ(VolumeToGain(0), 1.0f);
    EXPECT_EQ(VolumeToGain(-10000), 0.0f);
    EXPECT_EQ(VolumeToGain(-20000), 0.0f);
    EXPECT_EQ(VolumeToGain(500), 1.0f);
    EXPECT_FLOAT_EQ(VolumeToGain(-2000), 0.1f);
    EXPECT_FLOAT_EQ(VolumeToGain(-600), static_cast<float>(std::pow(10.0, -0.3)));
    EXPECT_NEAR(VolumeToGain(-9999), 1.0e-5f, 1.0e-7f);
}

TEST(AudioMixer, ResamplesOtherRatesAndMixesStereo)
{
    cAudioMixer mixer(44100);
    auto p = std::make_shared<MIXSAMPLES>();
    p->nRate = 22050;
    p->nChannels = 2;
    p->vData = {0.0f, 1.0f, 0.5f, -1.0f};
    p->nFrames = 2;
    std::lock_guard<std::mutex> lock(mixer.GetLock());
    int v = mixer.CreateVoice(p);
    ASSERT_GE(v, 0);
    mixer.PlayVoice(v, false);
    mixer.GetLock().unlock();
    float a[12] = {};
    mixer.Render(a, 6);
    mixer.GetLock().lock();
    // Half-rate: every source frame twice, the one between interpolated.
    const float aWant[12] = {0.0f, 1.0f, 0.25f, 0.0f, 0.5f, -1.0f, 0.5f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(a[i], aWant[i]) << i;
    EXPECT_FALSE(mixer.IsVoicePlaying(v));
}

TEST_F(WaveSoundTest, OneBufferPlayedTwiceRestartsFromTheBeginning)
{
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    m_vFile = {File("ramp.wav", 1)};
    m_vData.resize(1);
    DS_LoadSounds(m_vData, m_vFile, 0);
    ASSERT_EQ(m_vData[0].lpBuffers.size(), 1u);
    DS_Play(&m_vData[0], 0);
    EXPECT_EQ(Render(3), (std::vector<float>{R(1), R(2), R(3)}));
    DS_Play(&m_vData[0], 0);
    EXPECT_EQ(Render(10), (std::vector<float>{R(1), R(2), R(3), R(4), R(5), R(6), R(7), R(8), 0, 0}));
}

TEST_F(WaveSoundTest, NBuffersOverlapAndTheNextPlayRestartsTheOldest)
{
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    m_vFile = {File("ramp.wav", 3)};
    m_vData.resize(1);
    DS_LoadSounds(m_vData, m_vFile, 0);
    ASSERT_EQ(m_vData[0].nBufferCount, 3);
    DS_Play(&m_vData[0], 0);          // buffer 0
    Render(1);
    DS_Play(&m_vData[0], 0);          // buffer 1
    Render(1);
    DS_Play(&m_vData[0], 0);          // buffer 2: three at once
    EXPECT_EQ(Render(1), (std::vector<float>{R(3) + R(2) + R(1)}));
    DS_Play(&m_vData[0], 0);          // the fourth restarts buffer 0
    EXPECT_EQ(Render(1), (std::vector<float>{R(1) + R(3) + R(2)}));
    EXPECT_EQ(m_vData[0].nNext, 1);
}

TEST_F(WaveSoundTest, VolumesSetRelativeClampAndSilenceExactly)
{
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    m_vFile = {File("ramp.wav", 2, -300)};
    m_vData.resize(1);
    DS_LoadSounds(m_vData, m_vFile, 0);   // 0: the entry's own volume applies
    EXPECT_EQ(DS_GetVolume(&m_vData[0], 0), -300);
    EXPECT_EQ(DS_GetVolume(&m_vData[0], 1), -300);
    EXPECT_EQ(DS_SetVolume(&m_vData[0], 0, -200, 1), -500);
    EXPECT_EQ(DS_SetVolume(&m_vData[0], 0, -20000, 1), -10000);
    EXPECT_EQ(DS_SetVolume(&m_vData[0], 0, 700, 0), 0);
    EXPECT_EQ(DS_SetVolume(&m_vData[0], 2, -100, 0), 0);     // no such buffer
    EXPECT_EQ(DS_SetVolume(&m_vData[0], -1, -100, 0), 0);

    DS_SetVolume(&m_vData[0], 0, -10000, 0);
    DS_Play(&m_vData[0], 0);
    for (float f : Render(9)) EXPECT_EQ(f, 0.0f);
    DS_SetVolume(&m_vData[0], 1, 0, 0);
    DS_Play(&m_vData[0], 0);
    EXPECT_EQ(Render(2), (std::vector<float>{R(1), R(2)}));
}

TEST_F(WaveSoundTest, TheCallersVolumeOverridesTheEntrysAndOption0IsSilent)
{
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    m_vFile = {File("ramp.wav", 1, -300)};
    m_vData.resize(1);
    DS_LoadSounds(m_vData, m_vFile, -10000);
    EXPECT_EQ(DS_GetVolume(&m_vData[0], 0), -10000);
    DS_Play(&m_vData[0], 0);
    for (float f : Render(4)) EXPECT_EQ(f, 0.0f);
}

TEST_F(WaveSoundTest, ASoundThatFailedToLoadIsSilentAndReported)
{
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    WAVSPEC w3;
    w3.nChannels = 3;
    w3.vSamples = Ramp(6);
    ASSERT_TRUE(WriteBytes(m_dir.File("three.wav"), BuildWav(w3)));
    m_vFile = {File("missing.wav", 1), File("three.wav", 1), File("ramp.wav", 1)};
    m_vData.resize(4);    // more entries than files: the extra one stays empty
    DS_LoadSounds(m_vData, m_vFile, 0);
    EXPECT_TRUE(m_vData[0].lpBuffers.empty());
    EXPECT_TRUE(m_vData[1].lpBuffers.empty());
    EXPECT_EQ(m_vData[2].lpBuffers.size(), 1u);
    EXPECT_TRUE(m_vData[3].lpBuffers.empty());
    EXPECT_EQ(Report(), U8(u8"missing.wav の読み込みに失敗しました！\nthree.wav生成失敗！\n"));
    DS_Play(&m_vData[0], 0);
    DS_Play(&m_vData[1], 0);
    DS_Play(&m_vData[3], 0);
    for (float f : Render(4)) EXPECT_EQ(f, 0.0f);
}

TEST_F(WaveSoundTest, WithoutInitEveryFunctionReturnsAtOnce)
{
    SOUNDDATA d;
    EXPECT_TRUE(DS_MakeBuffers(&d, "ramp.wav", 1, 0));
    EXPECT_TRUE(d.lpBuffers.empty());
    DS_Play(&d, 0);
    EXPECT_EQ(DS_SetVolume(&d, 0, -100, 0), 0);
    EXPECT_EQ(DS_GetVolume(&d, 0), 0);
    DS_Release();
    for (float f : Render(4)) EXPECT_EQ(f, 0.0f);
}

TEST_F(WaveSoundTest, ReleaseFreesEveryVoice)
{
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    int nBefore;
    {
        std::lock_guard<std::mutex> lock(GetAudioMixer().GetLock());
        nBefore = GetAudioMixer().GetVoiceCount();
    }
    m_vFile = {File("ramp.wav", 4), File("ramp.wav", 2)};
    m_vData.resize(2);
    DS_LoadSounds(m_vData, m_vFile, 0);
    {
        std::lock_guard<std::mutex> lock(GetAudioMixer().GetLock());
        EXPECT_EQ(GetAudioMixer().GetVoiceCount(), nBefore + 6);
    }
    DS_Release();
    std::lock_guard<std::mutex> lock(GetAudioMixer().GetLock());
    EXPECT_EQ(GetAudioMixer().GetVoiceCount(), nBefore);
    EXPECT_TRUE(m_vData[0].lpBuffers.empty());
}

// Plays and volume changes from other threads while the mixer renders: every
// call goes through the mixer's lock (run under a sanitizer to see races).
TEST_F(WaveSoundTest, PlaysAndVolumeChangesFromOtherThreadsWhileRendering)
{
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    m_vFile = {File("ramp.wav", 2)};
    m_vData.resize(1);
    DS_LoadSounds(m_vData, m_vFile, 0);
    std::atomic<bool> bStop{false};
    std::thread volume([&] {
        int n = 0;
        while (!bStop.load()) {
            DS_SetVolume(&m_vData[0], n & 1, -(n % 10000), n & 2);
            ++n;
        }
    });
    std::thread play([&] {
        while (!bStop.load()) DS_Play(&m_vData[0], 0);
    });
    std::vector<float> v(2 * 256);
    for (int i = 0; i < 200; ++i) GetAudioMixer().Render(v.data(), 256);
    bStop = true;
    volume.join();
    play.join();
    for (float f : v) EXPECT_LE(std::fabs(f), 1.0f);
    EXPECT_GE(m_vData[0].nNext, 0);
    EXPECT_LT(m_vData[0].nNext, 2);
}

// With a device (SDL's dummy driver in tests) the wave sounds and the music
// manager share it: open while either holds it, and it pulls the mixer.
TEST(AudioSystem, TheDeviceIsHeldWhileSoundOrMusicIsSetUp)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SetAudioDeviceEnabled(true);
    cTempDir dir;
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    EXPECT_TRUE(IsAudioDeviceOpen());
    uint64_t nStart;
    {
        std::lock_guard<std::mutex> lock(GetAudioMixer().GetLock());
        nStart = GetAudioMixer().GetFrameCount();
    }
    bool bPulled = false;
    for (int i = 0; i < 2000 && !bPulled; ++i) {
        SDL_Delay(1);
        std::lock_guard<std::mutex> lock(GetAudioMixer().GetLock());
        bPulled = GetAudioMixer().GetFrameCount() > nStart;
    }
    EXPECT_TRUE(bPulled);
    DS_Release();
    EXPECT_FALSE(IsAudioDeviceOpen());
}
