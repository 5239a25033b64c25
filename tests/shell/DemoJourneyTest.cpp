// The whole story loop of the demo played by the real program with scripted
// keys: the title, a new game in the first slot, the world map, the forest
// stage walked to its goal flag, the clear, back on the map, the save scene,
// a save into the slot, back to the title and a continue from that slot.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "platform/TextCodec.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The key script (game frames): "はじめから" and the first slot; the forest
// entry and "ステージに挑む"; right held with a jump every 50 frames to the
// goal; the clear display passed; on the map the cancel key opens the save
// scene: "セーブ", the slot, "はい"; back out, "タイトルへ", "はい"; at the
// title "つづきから" and the same slot.
std::string JourneyKeys() {
    std::string s = "60 z\n90 z\n150 z\n180 up\n210 z\n380 right 560\n";
    for (int f = 400; f < 930; f += 50) s += std::to_string(f) + " z 10\n";
    s += "1000 z\n1060 z\n1120 z\n"
         "1150 x\n1230 z\n1270 z\n1300 up\n1330 z\n"
         "1370 x\n1400 down\n1420 down\n1440 down\n1470 z\n1490 up\n1510 z\n"
         "1640 down\n1670 z\n1710 z\n";
    return s;
}

TEST(DemoJourney, NewGameStageClearSaveTitleAndContinueFromTheSlot) {
    const std::string strExe = GameBinaryDir() + "/mossgrove";
    const std::string strDemo = GameBinaryDir() + "/demo";
    if (GameBinaryDir().empty() || !fs::exists(strExe) || !fs::exists(strDemo + "/data"))
        GTEST_SKIP() << "the program or the demo project is not built";
    cTempDir dir;
    fs::copy(strDemo, dir.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::remove_all(dir.Path() + "/user_data");
    ASSERT_TRUE(dir.WriteFile("keys.txt", JourneyKeys()));
    const int r = RunGameProcess(strExe, {"--close-after-frames", "1800"},
                                 {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")}, 240);
    EXPECT_EQ(r, 0);
    const auto vReport = ReadHostFile(dir.File("Report_Game.txt"));
    const std::string strReport(vReport.begin(), vReport.end());

    // Title, map, stage, map after the clear, save scene, title, map again.
    const std::vector<int> vExpected = {0, 1, 4, 1, 2, 0, 1};
    EXPECT_EQ(ReportSceneSwitches(strReport), vExpected) << strReport;
    EXPECT_EQ(strReport.find(SjisToUtf8("読み込めません")), std::string::npos) << strReport;

    // The slot holds a story in which the forest (stage 1) is cleared.
    ASSERT_TRUE(fs::exists(dir.Path() + "/user_data/story/Story01.dat"));
    char szOld[4096];
    ASSERT_NE(getcwd(szOld, sizeof szOld), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    nDataVer = DATA_VERSION;
    cProgress prog;
    prog.Reset();
    const int nLoaded = prog.LoadFromSlot(0);
    const int nFlag = prog.m_vStageFlag.IsValid(1) ? prog.m_vStageFlag.At(1) : -1;
    ASSERT_EQ(chdir(szOld), 0);
    EXPECT_EQ(nLoaded, 1);
    EXPECT_EQ(nFlag, 1) << "the saved story does not have the forest cleared";
}

TEST(DemoJourney, ChallengeFromTheTitleThroughTheStageSelectIntoTheFirstWorld) {
    const std::string strExe = GameBinaryDir() + "/mossgrove";
    const std::string strDemo = GameBinaryDir() + "/demo";
    if (GameBinaryDir().empty() || !fs::exists(strExe) || !fs::exists(strDemo + "/data"))
        GTEST_SKIP() << "the program or the demo project is not built";
    cTempDir dir;
    fs::copy(strDemo, dir.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::remove_all(dir.Path() + "/user_data");
    // "チャレンジ" (third entry), then world 1 in the stage select.
    ASSERT_TRUE(dir.WriteFile("keys.txt", std::string("60 down\n80 down\n100 z\n160 z\n200 z\n240 z\n")));
    const int r = RunGameProcess(strExe, {"--close-after-frames", "420"},
                                 {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")}, 120);
    EXPECT_EQ(r, 0);
    const auto vReport = ReadHostFile(dir.File("Report_Game.txt"));
    const std::string strReport(vReport.begin(), vReport.end());
    // Title, stage select, stage play.
    const std::vector<int> vExpected = {0, 3, 4};
    EXPECT_EQ(ReportSceneSwitches(strReport), vExpected) << strReport;
    EXPECT_EQ(strReport.find(SjisToUtf8("読み込めません")), std::string::npos) << strReport;
}

}  // namespace
