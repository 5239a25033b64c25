// The demo project's own sounds and title tune play: every wave file it ships
// loads and sounds, and bgm\Title.mid comes out of the synthesiser.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "sound/AudioSystem.h"
#include "sound/BgmManager.h"
#include "sound/MidiSynth.h"
#include "sound/WaveSound.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

float PeakOf(int nFrames) {
    std::vector<float> v(2 * static_cast<size_t>(nFrames));
    GetAudioMixer().Render(v.data(), nFrames);
    float f = 0.0f;
    for (float x : v) f = std::max(f, std::fabs(x));
    return f;
}

class DemoSoundTest : public testing::Test {
protected:
    void SetUp() override {
        const char* pszBin = std::getenv("MOSSGROVE_BINARY_DIR");
        fs::path demo = fs::path(pszBin ? pszBin : "") / "demo";
        if (!fs::exists(demo / "bgm") || !fs::exists(demo / "wave"))
            GTEST_SKIP() << "the demo project is not built";
        for (const char* pszDir : {"bgm", "wave"})
            fs::copy(demo / pszDir, fs::path(m_dir.Path()) / pszDir, fs::copy_options::recursive);
        SetAudioDeviceEnabled(false);
        ASSERT_EQ(InitReport("Report_Game.txt"), 1);
    }
    void TearDown() override {
        m_bgm.Release();
        DS_Release();
        SetAudioDeviceEnabled(true);
    }
    cTempDir m_dir;
    cBgmManager m_bgm;
    std::vector<SOUNDFILE> m_vFile;
    std::vector<SOUNDDATA> m_vData;
};

}  // namespace

TEST_F(DemoSoundTest, EveryWaveFileOfTheDemoSounds) {
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    std::vector<std::string> vNames;
    for (const auto& e : fs::directory_iterator(fs::path(m_dir.Path()) / "wave"))
        vNames.push_back(e.path().filename().string());
    ASSERT_FALSE(vNames.empty());
    // The tables stay with the fixture: the sound layer keeps them until its
    // release, as it keeps the game's own.
    m_vFile.resize(vNames.size());
    for (size_t i = 0; i < vNames.size(); i++) {
        std::snprintf(m_vFile[i].szFileName, sizeof m_vFile[i].szFileName, "wave\\%s", vNames[i].c_str());
        m_vFile[i].nBufferCount = 1;
    }
    m_vData.resize(vNames.size());
    DS_LoadSounds(m_vData, m_vFile, 0);
    for (size_t i = 0; i < vNames.size(); i++) {
        ASSERT_EQ(m_vData[i].lpBuffers.size(), 1u) << vNames[i];
        DS_Play(&m_vData[i], 0);
        EXPECT_GT(PeakOf(4410), 0.01f) << vNames[i];
        PeakOf(44100 * 2);   // let it end before the next one
    }
}

TEST_F(DemoSoundTest, TheTitleTunePlaysThroughTheSynthesiser) {
    if (FindMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    ASSERT_TRUE(m_bgm.Init(MakeBgmInitData(0)));
    ASSERT_EQ(m_bgm.SetFile(0, "bgm\\Title.mid", 100), 1);
    ASSERT_TRUE(m_bgm.Play(0, 0, 1, 0, 1));
    // The soundfont loads on its own thread; the song waits for it.
    ASSERT_TRUE(cMidiSynth::Get().WaitUntilReady());
    EXPECT_GT(PeakOf(44100), 0.01f);
}
