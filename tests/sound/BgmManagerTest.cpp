#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "OggFixture.h"
#include "SoundFixtures.h"
#include "foundation/Log.h"
#include "sound/AudioSystem.h"
#include "sound/BgmManager.h"
#include "sound/MidiSynth.h"
#include "support/TempDir.h"

using namespace soundtest;

namespace {

constexpr int kClip = 4410;   // 0.1 s at 44100

std::vector<float> Sine(int nFrames)
{
    std::vector<float> v(static_cast<size_t>(nFrames));
    for (int i = 0; i < nFrames; ++i) v[static_cast<size_t>(i)] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 441.0 * i / 44100.0));
    return v;
}

std::vector<uint8_t> TinyMidi()
{
    return Join({SmfHeader(0, 1, 480),
                 SmfTrack(Bytes({0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x00,
                                 0x00, 0xFF, 0x2F, 0x00}))});
}

float Peak(const std::vector<float>& v, size_t nFrom, size_t nTo)
{
    float f = 0.0f;
    for (size_t i = nFrom; i < nTo && i < v.size(); ++i) f = std::max(f, std::fabs(v[i]));
    return f;
}

class BgmManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetAudioDeviceEnabled(false);
        ASSERT_EQ(InitReport("Report_Game.txt"), 1);
        ASSERT_TRUE(m_dir.MakeDir("bgm"));
        ASSERT_TRUE(WriteBytes(m_dir.File("bgm/Tune.ogg"), EncodeOgg(Sine(kClip), 1, 44100)));
        ASSERT_TRUE(WriteBytes(m_dir.File("bgm/Tune.dat"), EncodeOgg(Sine(kClip), 1, 44100)));
        ASSERT_TRUE(WriteBytes(m_dir.File("bgm/SONG.MID"), TinyMidi()));
        ASSERT_TRUE(WriteBytes(m_dir.File("bgm/song.dat"), TinyMidi()));
    }
    void TearDown() override
    {
        m_bgm.Release();
        SetAudioDeviceEnabled(true);
    }
    // n frames of the mixer, left channel.
    std::vector<float> Render(int n)
    {
        std::vector<float> v(2 * static_cast<size_t>(n));
        GetAudioMixer().Render(v.data(), n);
        std::vector<float> vLeft(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) vLeft[static_cast<size_t>(i)] = v[2 * static_cast<size_t>(i)];
        return vLeft;
    }

    cTempDir m_dir;
    cBgmManager m_bgm;
};

}  // namespace

TEST_F(BgmManagerTest, TheExtensionChoosesTheSlotKindWithoutRegardToCase)
{
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    struct ROW {
        const char* pszPath;
        int nResult;
        int nType;
        const char* pszMidi;   // the slot names afterwards
        const char* pszOgg;
        int nMidiVolume;
        int nOggVolume;
    } aRows[] = {
        {"bgm\\a.mid", 1, BGMSLOT_MIDI, "bgm\\a.mid", "bgm\\WorldMap.ogg", 70, 0},
        {"bgm\\a.MID", 1, BGMSLOT_MIDI, "bgm\\a.MID", "bgm\\WorldMap.ogg", 70, 0},
        {"bgm\\a.Mid", 1, BGMSLOT_MIDI, "bgm\\a.Mid", "bgm\\WorldMap.ogg", 70, 0},
        {"bgm\\a.ogg", 1, BGMSLOT_OGG, "bgm\\WorldMap.mid", "bgm\\a.ogg", 0, 70},
        {"bgm\\a.OGG", 1, BGMSLOT_OGG, "bgm\\WorldMap.mid", "bgm\\a.OGG", 0, 70},
        {"bgm\\a.wav", 0, BGMSLOT_UNDECIDED, "bgm\\a.wav", "bgm\\a.wav", 70, 70},
        {"bgm\\a", 0, BGMSLOT_UNDECIDED, "", "", 0, 0},
    };
    for (const ROW& r : aRows) {
        SCOPED_TRACE(r.pszPath);
        cBgmManager bgm;
        ASSERT_TRUE(bgm.Init(MakeBgmInitData(1)));
        EXPECT_EQ(bgm.SetFile(1, r.pszPath, 70), r.nResult);
        EXPECT_EQ(bgm.GetSlotType(1), r.nType);
        EXPECT_STREQ(bgm.GetMidiSlot(1).szFileName, r.pszMidi);
        EXPECT_STREQ(bgm.GetOggSlot(1).szFileName, r.pszOgg);
        EXPECT_EQ(bgm.GetMidiSlot(1).nVolume, r.nMidiVolume);
        EXPECT_EQ(bgm.GetOggSlot(1).nVolume, r.nOggVolume);
        // The other slots keep their defaults.
        EXPECT_STREQ(bgm.GetMidiSlot(0).szFileName, "bgm\\Title.mid");
        EXPECT_STREQ(bgm.GetOggSlot(4).szFileName, "bgm\\Stage.ogg");
    }
    EXPECT_EQ(m_bgm.SetFile(5, "bgm\\a.mid", 100), 0);
    EXPECT_EQ(m_bgm.SetFile(-1, "bgm\\a.mid", 100), 0);
}

TEST_F(BgmManagerTest, NothingHappensBeforeInitOrAfterRelease)
{
    EXPECT_FALSE(m_bgm.IsSetUp());
    EXPECT_EQ(m_bgm.SetFile(0, "bgm\\tune.ogg", 100), 0);
    EXPECT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    m_bgm.Stop();
    EXPECT_EQ(m_bgm.GetCurSlot(), -1);
    EXPECT_EQ(Peak(Render(1000), 0, 1000), 0.0f);

    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    EXPECT_TRUE(m_bgm.IsSetUp());
    EXPECT_EQ(m_bgm.GetCurSlot(), -1);      // Init starts no music
    EXPECT_EQ(Peak(Render(1000), 0, 1000), 0.0f);
    ASSERT_EQ(m_bgm.SetFile(0, "bgm\\tune.ogg", 100), 1);
    ASSERT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    m_bgm.Release();
    EXPECT_FALSE(m_bgm.IsSetUp());
    EXPECT_EQ(Peak(Render(1000), 0, 1000), 0.0f);
    EXPECT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    EXPECT_EQ(Peak(Render(1000), 0, 1000), 0.0f);
}

TEST_F(BgmManagerTest, OggPlaysOnceOrLoops)
{
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    ASSERT_EQ(m_bgm.SetFile(0, "bgm\\TUNE.ogg", 100), 1);
    ASSERT_TRUE(m_bgm.Play(0, 0, 0, 0, 1));
    EXPECT_EQ(m_bgm.GetChannelKind(0), BGMCHANNEL_OGG);
    EXPECT_EQ(m_bgm.GetCurSlot(), 0);
    std::vector<float> v = Render(3 * kClip);
    EXPECT_GT(Peak(v, 0, kClip), 0.4f);
    EXPECT_EQ(Peak(v, kClip + 10, 3 * kClip), 0.0f);

    ASSERT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    v = Render(3 * kClip);
    EXPECT_GT(Peak(v, 0, kClip), 0.4f);
    EXPECT_GT(Peak(v, 2 * kClip + 100, 3 * kClip - 100), 0.4f);
}

TEST_F(BgmManagerTest, OggVolumeIsAPercentOfFullAndEverySongSetsItsOwn)
{
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    m_bgm.SetFile(0, "bgm\\tune.ogg", 100);
    m_bgm.Play(0, 0, 0, 0, 1);
    std::vector<float> vFull = Render(2000);
    m_bgm.SetFile(0, "bgm\\tune.ogg", 50);
    m_bgm.Play(0, 0, 0, 0, 1);
    std::vector<float> vHalf = Render(2000);
    for (size_t i = 0; i < vFull.size(); ++i) ASSERT_EQ(vHalf[i], vFull[i] * 0.5f) << i;
    // A following song at 100 or more is at full volume again.
    for (int nVolume : {100, 150}) {
        m_bgm.SetFile(0, "bgm\\tune.ogg", nVolume);
        m_bgm.Play(0, 0, 0, 0, 1);
        EXPECT_EQ(Render(2000), vFull) << nVolume;
    }
    m_bgm.SetFile(0, "bgm\\tune.ogg", 0);
    m_bgm.Play(0, 0, 0, 0, 1);
    EXPECT_EQ(Peak(Render(2000), 0, 2000), 0.0f);
}

TEST_F(BgmManagerTest, TheSameSlotRestartsOnlyWhenForced)
{
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    m_bgm.SetFile(2, "bgm\\tune.ogg", 100);
    m_bgm.Play(0, 2, 1, 0, 1);
    std::vector<float> vRef = Render(2000);
    m_bgm.Play(0, 2, 1, 0, 1);
    Render(1000);
    m_bgm.Play(0, 2, 1, 0, 0);      // same slot, not forced: plays on
    std::vector<float> v = Render(1000);
    EXPECT_EQ(v, std::vector<float>(vRef.begin() + 1000, vRef.end()));
    m_bgm.Play(0, 2, 1, 0, 1);      // forced: from the start
    v = Render(1000);
    EXPECT_EQ(v, std::vector<float>(vRef.begin(), vRef.begin() + 1000));
}

TEST_F(BgmManagerTest, AnUndecidedSlotTriesOggThenMidi)
{
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    EXPECT_EQ(m_bgm.SetFile(1, "bgm\\tune.dat", 100), 0);
    EXPECT_TRUE(m_bgm.Play(0, 1, 1, 0, 1));
    EXPECT_EQ(m_bgm.GetChannelKind(0), BGMCHANNEL_OGG);
    EXPECT_GT(Peak(Render(kClip), 0, kClip), 0.4f);
    // A MIDI file under another extension is neither.
    EXPECT_EQ(m_bgm.SetFile(1, "bgm\\song.dat", 100), 0);
    EXPECT_FALSE(m_bgm.Play(0, 1, 1, 0, 1));
    EXPECT_EQ(m_bgm.GetChannelKind(0), BGMCHANNEL_NONE);
}

TEST_F(BgmManagerTest, AFailedSlotStopsEverythingAndIsTriedAgain)
{
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    m_bgm.SetFile(0, "bgm\\tune.ogg", 100);
    ASSERT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    m_bgm.SetFile(3, "bgm\\none.ogg", 100);
    EXPECT_FALSE(m_bgm.Play(0, 3, 1, 0, 0));
    EXPECT_EQ(m_bgm.GetCurSlot(), -1);
    EXPECT_EQ(m_bgm.GetChannelKind(0), BGMCHANNEL_NONE);
    EXPECT_EQ(Peak(Render(kClip), 0, kClip), 0.0f);
    // Not remembered as playing: the same request, unforced, tries again.
    EXPECT_FALSE(m_bgm.Play(0, 3, 1, 0, 0));
    m_bgm.SetFile(3, "bgm\\none.mid", 100);
    EXPECT_FALSE(m_bgm.Play(0, 3, 1, 0, 0));
    // Slots and channels out of range fail the same way.
    EXPECT_FALSE(m_bgm.Play(0, 9, 1, 0, 1));
    EXPECT_FALSE(m_bgm.Play(3, 0, 1, 0, 1));
    EXPECT_EQ(m_bgm.GetCurSlot(), -1);
}

// A MIDI song is played through the synthesiser and the soundfont: the
// output is not silent, and taking the Ogg player over stops it.
TEST_F(BgmManagerTest, MidiPlaysThroughTheSynthesiser)
{
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(1)));
    ASSERT_FALSE(FindMidiSoundFont().empty()) << "no General MIDI soundfont installed";
    m_bgm.SetFile(0, "bgm\\tune.ogg", 100);
    ASSERT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    EXPECT_EQ(m_bgm.SetFile(4, "bgm\\song.mid", 100), 1);
    ASSERT_TRUE(m_bgm.Play(0, 4, 0, 0, 1));
    EXPECT_EQ(m_bgm.GetChannelKind(0), BGMCHANNEL_MIDI);
    EXPECT_TRUE(cMidiSynth::Get().WaitUntilReady());
    EXPECT_TRUE(cMidiSynth::Get().HasSoundFont());
    std::vector<float> v = Render(44100 / 2);
    EXPECT_GT(Peak(v, 0, v.size()), 0.01f);

    ASSERT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    m_bgm.SetFile(0, "bgm\\none.ogg", 100);
    m_bgm.Play(0, 0, 1, 0, 1);     // fails: everything stops
    Render(44100);                 // the release of the notes dies away
    EXPECT_LT(Peak(Render(4410), 0, 4410), 1.0e-4f);
}
