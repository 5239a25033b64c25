#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "shell/InputDevice.h"

namespace {

class cFakeInput : public IInputSource {
public:
    std::set<int> keys;
    bool bJoy = false;
    JOYINFO joy;
    int nJoyQueries = 0;
    bool IsKeyHeld(int nVk) override { return keys.count(nVk) != 0; }
    bool GetJoyPos(int n, JOYINFO* p) override {
        nJoyQueries++;
        if (!bJoy || n != 0) return false;
        *p = joy;
        return true;
    }
};

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetInputSource(&src);
        saved = Key_Config;
        SetDefaultKeyConfig(&Key_Config);
        dev.SetDefaultButtonMask();
        dev.SetRepeat(18, 6);
    }
    void TearDown() override {
        SetInputSource(nullptr);
        Key_Config = saved;
    }
    cFakeInput src;
    cInputDevice dev;
    KEYCONFIG saved;
};

// Little-endian test fixture of the key file, built field by field.
std::vector<uint8_t> KeyFile(const KEYCONFIG& k) {
    std::vector<uint8_t> v(108, 0xEE);   // padding bytes hold junk
    auto put32 = [&](size_t o, int32_t x) { for (int i = 0; i < 4; i++) v[o + i] = static_cast<uint8_t>(x >> (8 * i)); };
    auto put16 = [&](size_t o, int16_t x) { v[o] = static_cast<uint8_t>(x); v[o + 1] = static_cast<uint8_t>(x >> 8); };
    for (int i = 0; i < 12; i++) {
        put32(8 * i, k.aKey[i].nDevice);
        put16(8 * i + 4, k.aKey[i].wCode);
    }
    put32(96, k.nKey);
    put32(100, k.nJoystick);
    put32(104, k.bUse);
    return v;
}

TEST(KeyConfigFile, ReadsEveryFieldAtItsOffset) {
    KEYCONFIG in;
    for (int i = 0; i < 12; i++) in.aKey[i] = KEYBIND{i % 2 ? 8 : 0, static_cast<int16_t>(i % 2 ? 0x41 + i : 256 << (i % 4))};
    in.nKey = 10;
    in.nJoystick = 1;
    in.bUse = 1;
    auto bytes = KeyFile(in);
    KEYCONFIG out;
    ParseKeyConfig(bytes.data(), bytes.size(), &out);
    for (int i = 0; i < 12; i++) {
        EXPECT_EQ(out.aKey[i].nDevice, in.aKey[i].nDevice) << i;
        EXPECT_EQ(out.aKey[i].wCode, in.aKey[i].wCode) << i;
    }
    EXPECT_EQ(out.nKey, 10);
    EXPECT_EQ(out.nJoystick, 1);
    EXPECT_EQ(out.bUse, 1);
}

TEST(KeyConfigFile, ShortFileFillsOnlyWhatItHolds) {
    KEYCONFIG in;
    SetDefaultKeyConfig(&in);
    in.aKey[0].wCode = 'Q';
    in.bUse = 1;
    auto bytes = KeyFile(in);
    KEYCONFIG out;
    SetDefaultKeyConfig(&out);
    out.aKey[1].wCode = 'W';
    ParseKeyConfig(bytes.data(), 10, &out);   // binding 0 whole, binding 1's device only
    EXPECT_EQ(out.aKey[0].wCode, 'Q');
    EXPECT_EQ(out.aKey[1].wCode, 'W');
    EXPECT_EQ(out.bUse, 0);
}

TEST(KeyConfigFile, AbsurdValuesAreClamped) {
    KEYCONFIG in;
    SetDefaultKeyConfig(&in);
    in.nKey = 1000;
    in.nJoystick = 99999;
    in.aKey[4] = KEYBIND{8, 300};       // no such key
    in.aKey[5] = KEYBIND{8, -5};
    in.aKey[6] = KEYBIND{40, 1};        // joystick beyond the count
    in.aKey[7] = KEYBIND{-7, 1};
    auto bytes = KeyFile(in);
    KEYCONFIG out;
    ParseKeyConfig(bytes.data(), bytes.size(), &out);
    EXPECT_EQ(out.nKey, 12);
    EXPECT_EQ(out.nJoystick, 16);
    EXPECT_EQ(out.aKey[4].wCode, 0);
    EXPECT_EQ(out.aKey[5].wCode, 0);
    EXPECT_EQ(out.aKey[6].nDevice, -1);
    EXPECT_EQ(out.aKey[7].nDevice, -1);
    in.nJoystick = -3;
    bytes = KeyFile(in);
    ParseKeyConfig(bytes.data(), bytes.size(), &out);
    EXPECT_EQ(out.nJoystick, 0);
}

TEST_F(InputTest, KeyRepeatPassesOnPressThenEverySpanAfterTheWait) {
    std::vector<int> passed;
    src.keys = {VK_RIGHT};
    for (int f = 0; f < 40; f++) {
        dev.PollDefault(0, 3, 60);
        dev.ApplyKeyRepeat();
        if (dev.m_wDir & KEYDIR_RIGHT) passed.push_back(f);
    }
    EXPECT_EQ(passed, (std::vector<int>{0, 18, 24, 30, 36}));
    // Pressing left while right is held changes the state and passes at once.
    src.keys = {VK_RIGHT, VK_LEFT};
    dev.PollDefault(0, 3, 60);
    dev.ApplyKeyRepeat();
    EXPECT_EQ(dev.m_wDir & 3, 3);
}

TEST_F(InputTest, LatchShowsAPressForOneFrameUntilAllReleased) {
    std::vector<int> trace;
    auto frame = [&](std::set<int> keys) {
        src.keys = keys;
        dev.PollDefault(0, 3, 60);
        dev.LatchButtons(3);
        trace.push_back(dev.m_wButton);
    };
    frame({'Z'});
    frame({'Z'});
    frame({'Z', 'X'});
    frame({'X'});
    frame({});
    frame({'X'});
    frame({'C'});   // button 3 is not latched by mask 3
    frame({'C'});
    EXPECT_EQ(trace, (std::vector<int>{1, 0, 0, 0, 0, 2, 4, 4}));
}

TEST_F(InputTest, DefaultPollDirectionsAndCodes) {
    src.keys = {VK_LEFT, VK_RIGHT};
    dev.PollDefault(0, 3, 60);
    EXPECT_EQ(dev.m_wDir, 3);
    EXPECT_EQ(dev.m_nDirCode, 5);
    EXPECT_EQ(GetDirCode(dev.m_wDir), 4);
    src.keys = {VK_UP, VK_RIGHT};
    dev.PollDefault(0, 3, 60);
    EXPECT_EQ(dev.m_nDirCode, 3);
    EXPECT_EQ(GetDirCode(10), 3 + 6);
}

TEST_F(InputTest, JoystickDirectionWinsOverKeyboard) {
    src.bJoy = true;
    src.joy.dwXpos = 0;
    src.joy.dwButtons = 2;
    src.keys = {VK_RIGHT, 'Z'};
    dev.PollDefault(0, 3, 60);
    EXPECT_EQ(dev.m_wDir, KEYDIR_LEFT);
    EXPECT_EQ(dev.m_nDirCode, 4);
    EXPECT_EQ(dev.m_wButton, 2);
}

TEST_F(InputTest, WithoutJoystickKeyboardIsReadEveryFrame) {
    // The joystick is missing: it is queried once, then skipped while the
    // retry wait runs; the keyboard must still be read on those frames.
    src.keys = {VK_LEFT};
    dev.PollDefault(0, 3, 60);
    EXPECT_EQ(dev.m_nDirCode, 4);
    src.keys = {};
    dev.PollDefault(0, 3, 60);
    EXPECT_EQ(dev.m_wDir, 0);
    EXPECT_EQ(dev.m_nDirCode, 5);
    EXPECT_EQ(src.nJoyQueries, 1);
    for (int i = 0; i < 120; i++) dev.PollDefault(0, 3, 60);
    EXPECT_EQ(src.nJoyQueries, 2);
}

TEST_F(InputTest, ConfiguredBindings) {
    Key_Config.bUse = 1;
    Key_Config.aKey[0] = KEYBIND{0, JOYAXIS_LEFT};
    Key_Config.aKey[4] = KEYBIND{8, 'Q'};
    Key_Config.aKey[11] = KEYBIND{8, 'P'};
    Key_Config.nKey = 11;   // the last binding is not in use
    EXPECT_EQ(dev.PollDefault(0, 3, 60), 0);
    src.bJoy = true;
    src.joy.dwButtons = 256;   // joystick button 9 meets axis code 256 as a mask
    src.keys = {'Q', 'P', VK_RIGHT};
    EXPECT_EQ(dev.PollConfig(1, 60), 1);
    EXPECT_EQ(dev.m_wDir, KEYDIR_LEFT);   // left held: right is not examined
    EXPECT_EQ(dev.m_wButton, 1);
}

TEST_F(InputTest, HistoryAndPatternRuns) {
    for (int i = 0; i < 40; i++) {
        dev.m_wDir = KEYDIR_LEFT;
        dev.RecordHistory();
        dev.UpdatePatternRuns();
    }
    dev.m_wDir = KEYDIR_RIGHT;
    dev.RecordHistory();
    dev.UpdatePatternRuns();
    EXPECT_EQ(dev.GetHistory(0, 0), KEYDIR_RIGHT);
    EXPECT_EQ(dev.GetHistory(0, 1), KEYDIR_LEFT);
    EXPECT_EQ(dev.GetHistory(0, 40), KEYDIR_LEFT);
    EXPECT_EQ(dev.m_vDirRun[1][0].bHeld, 0);
    EXPECT_EQ(dev.m_vDirRun[1][1].bHeld, 1);
    EXPECT_EQ(dev.m_vDirRun[1][1].nFrames, 40);
    EXPECT_EQ(dev.m_vDirRun[9][0].nFrames, 41);   // any direction, all along
    EXPECT_EQ(dev.m_vDirRun[1].size(), 32u);
    dev.Reset();
    EXPECT_EQ(dev.m_nDirCode, 5);
    EXPECT_EQ(dev.GetHistory(0, 0), 0);
}

}  // namespace

#include "play/PlayContext.h"
#include "project/ProgressRequests.h"
#include "shell/KeyState.h"
#include "shell/PlayHost.h"

namespace {

// The keys the game reads outside the key bindings (the pause key, the
// ranking key, the replay keys) come from the same source as the bindings,
// so scripted input reaches them and the real keyboard does not.
TEST_F(InputTest, PauseRankingAndReplayKeysComeFromTheInputSource) {
    cPlayContext& ctx = PlayCtx();
    IPlayHost* pSavedHost = ctx.lpHost;
    cInputState* pSavedInput = ctx.lpInput;
    InstallPlayHost();
    ReleaseAllKeys();
    SetVirtualKeyDown(VK_F1 + 1, true);   // the real keyboard holds F2: not read
    src.keys = {VK_SPACE, VK_F1 + 2, VK_F1};
    EXPECT_TRUE(ctx.lpHost->IsKeyDown(VK_SPACE));
    EXPECT_TRUE(ctx.lpHost->IsKeyDown(VK_F1 + 2));
    EXPECT_FALSE(ctx.lpHost->IsKeyDown(VK_F1 + 1));
    EXPECT_TRUE(GetProgressHost().IsKeyHeld(VK_F1));
    EXPECT_FALSE(GetProgressHost().IsKeyHeld(VK_F1 + 1));
    src.keys.clear();
    EXPECT_FALSE(ctx.lpHost->IsKeyDown(VK_SPACE));
    EXPECT_FALSE(GetProgressHost().IsKeyHeld(VK_F1));
    ReleaseAllKeys();
    ctx.lpHost = pSavedHost;
    ctx.lpInput = pSavedInput;
}

}  // namespace
