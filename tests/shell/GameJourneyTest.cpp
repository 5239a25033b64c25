// The real program on the demo project driven by scripted keys: from the
// title through a new game and the world map into a stage.
#include <gtest/gtest.h>

#include <string>

#include "platform/TextCodec.h"
#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

class GameJourney : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
    }
    std::string Report() {
        auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return std::string(v.begin(), v.end());
    }
    cTempDir dir;
    std::string strExe;
};

TEST_F(GameJourney, TitleNewGameWorldMapIntoAStage) {
    // Frame 60: "はじめから"; 90: the first slot; 150: the stage entry under
    // the cursor; 180: up to "ステージに挑む"; 210: decide.
    ASSERT_TRUE(dir.WriteFile("keys.txt", std::string("60 z\n90 z\n150 z\n180 up\n210 z\n")));
    int r = RunGameProcess(strExe, {"--close-after-frames", "400"},
                           {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")}, 90);
    EXPECT_EQ(r, 0);
    std::string s = Report();
    size_t nTitle = s.find("Scene : 0");
    size_t nMap = s.find("Scene : 1");
    size_t nPlay = s.find("Scene : 4");
    ASSERT_NE(nTitle, std::string::npos) << s;
    ASSERT_NE(nMap, std::string::npos) << s;
    ASSERT_NE(nPlay, std::string::npos) << s;
    EXPECT_LT(nTitle, nMap);
    EXPECT_LT(nMap, nPlay);
    EXPECT_EQ(s.find(SjisToUtf8("読み込めません")), std::string::npos) << s;
}

TEST_F(GameJourney, ABadKeyScriptStopsTheStartWithAReason) {
    ASSERT_TRUE(dir.WriteFile("keys.txt", std::string("60 nokey\n")));
    int r = RunGameProcess(strExe, {"--close-after-frames", "30"},
                           {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")}, 60);
    EXPECT_EQ(r, 2);
    EXPECT_NE(Report().find("input script"), std::string::npos);
}

// Under the DirectDraw drawing mode at 32 bits the transparent colour of the
// demo's pictures (magenta) must never reach the screen: the sky behind the
// characters and the stage's backgrounds show through their keyed pixels.
TEST_F(GameJourney, UnderDirectDrawTheTransparentColourNeverShows) {
    auto vIni = ReadHostFile(dir.File("System.ini"));
    std::string strIni(vIni.begin(), vIni.end());
    size_t nAt = strIni.find("Direct3D=1");
    ASSERT_NE(nAt, std::string::npos) << strIni;
    strIni.replace(nAt, 10, "Direct3D=0");
    ASSERT_TRUE(dir.WriteFile("System.ini", strIni));
    ASSERT_TRUE(dir.WriteFile("keys.txt", std::string("60 z\n90 z\n150 z\n180 up\n210 z\n")));
    int r = RunGameProcess(strExe, {"--close-after-frames", "480"},
                           {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"),
                            "MOSSGROVE_SNAPSHOT=" + dir.File("shot.ppm")},
                           90);
    EXPECT_EQ(r, 0);
    EXPECT_NE(Report().find("Scene : 4"), std::string::npos);
    auto v = ReadHostFile(dir.File("shot.ppm"));
    const std::string strHead = "P6\n640 480\n255\n";
    ASSERT_EQ(v.size(), strHead.size() + 640u * 480u * 3u);
    ASSERT_EQ(std::string(v.begin(), v.begin() + static_cast<long>(strHead.size())), strHead);
    int nMagenta = 0, nOther = 0;
    for (size_t i = strHead.size(); i + 2 < v.size(); i += 3) {
        if (v[i] == 255 && v[i + 1] == 0 && v[i + 2] == 255) nMagenta++;
        else nOther++;
    }
    EXPECT_EQ(nMagenta, 0);
    EXPECT_GT(nOther, 640 * 480 / 2);   // a drawn stage, not an empty screen
}

}  // namespace
