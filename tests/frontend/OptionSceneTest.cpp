#include "frontend/Option.h"
#include "frontend/OptionScene.h"
#include "frontend/SceneTestBase.h"

namespace {

constexpr int DECIDE = 1, CANCEL = 2, UP = 4, DOWN = 8;

class OptionScene : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        saved = recOption;
        recOption = cOption();
    }
    void TearDown() override {
        recOption = saved;
        SceneTest::TearDown();
    }
    cOption saved;
};

class cPaletteHost : public cFakeFrontEndHost {
public:
    void LoadHbtPalette(int n) override { vPalette.push_back(n); }
    std::vector<int> vPalette;
};

TEST_F(OptionScene, EditsWrapAndCancelRestoresTheSideEffect) {
    cPaletteHost host;
    SetFrontEndHost(&host);
    recOption.m_nVolume = 0;
    recOption.m_nPaletteVariant = 23;
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    // Row 2 is the volume: 0 down wraps to 10.
    Press(s, DOWN, 0);
    Press(s, DOWN, 0);
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nSub, 2);
    Press(s, DOWN, 0);
    EXPECT_EQ(recOption.m_nVolume, 10);
    Press(s, 0, DECIDE);                  // kept
    EXPECT_EQ(recOption.m_nVolume, 10);
    // Row 0 is the palette: 23 up wraps to 0, loaded at once; cancel loads 23 again.
    Press(s, UP, 0);
    Press(s, UP, 0);
    Press(s, 0, DECIDE);
    Press(s, UP, 0);
    EXPECT_EQ(recOption.m_nPaletteVariant, 0);
    Press(s, 0, CANCEL);
    EXPECT_EQ(recOption.m_nPaletteVariant, 23);
    EXPECT_EQ(host.vPalette, (std::vector<int>{0, 23}));
    SetFrontEndHost(&fe.host);
}

TEST_F(OptionScene, LeavingWritesTheOptionFile) {
    dir.MakeDir("user_data");
    recOption.m_nRankingMode = 2;
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    Press(s, 0, CANCEL);
    EXPECT_EQ(s.m_nState, OPTIONSTATE_FADEOUT);
    for (int i = 0; i < 40 && fe.game.m_nBeforeScene != SCENE_OPTION; i++) fe.Frame(s, 0, 0);
    EXPECT_EQ(fe.game.m_nBeforeScene, SCENE_OPTION);
    EXPECT_EQ(fe.game.m_nScene, SCENE_TITLE);
    cOption back;
    ASSERT_EQ(back.Load("user_data\\Option.dat"), 1);
    EXPECT_EQ(back.m_nRankingMode, 2);
}

TEST_F(OptionScene, AnOptionFileThatCannotBeWrittenIsToldInABox) {
    ASSERT_TRUE(dir.MakeDir("user_data/Option.dat"));   // a folder where the file goes
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    Press(s, 0, CANCEL);
    for (int i = 0; i < 40 && fe.game.m_nBeforeScene != SCENE_OPTION; i++) fe.Frame(s, 0, 0);
    EXPECT_EQ(fe.game.m_nBeforeScene, SCENE_OPTION);
    ASSERT_EQ(fe.host.vErrors.size(), 1u);
    EXPECT_NE(fe.host.vErrors[0].find("Option.dat"), std::string::npos);
}

TEST_F(OptionScene, WithEveryEntryDisabledOneRowEditsThePalette) {
    for (auto& e : recSystem.m_vOptionMenu) e.m_bEnable = 0;
    cOptionScene s;
    RunUntil(s, OPTIONSTATE_LIST);
    fe.Frame(s, 0, 0);
    EXPECT_EQ(s.m_nEntryCount, 1);
    Press(s, 0, DECIDE);
    EXPECT_EQ(s.m_nEditId, OPTIONID_PALETTE);
}

}  // namespace
