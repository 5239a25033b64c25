// Closes that nobody is asked about, through the real program without a
// display on a copy of the demo: an error that ends the game (the world
// map's picture is missing) ends the run with status 1 after its box and
// without the quit question; the unattended frame count ends a run on the
// world map with status 0 without the question; and a close of the player
// where no display can ask and no script plays for the player is dropped
// (the quit question is never answered "Yes" by itself).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "shell/CloseDecision.h"
#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
    auto v = ReadHostFile(path);
    return std::string(v.begin(), v.end());
}

TEST(UnattendedClose, ErrorsAndTheFrameCountEndTheRunWithoutTheQuitQuestion) {
    struct CASE {
        const char* pszWhat;
        const char* pszRemove;   // a file of the demo taken away, or null
        int nStatus;
        const char* pszBox;      // a box written to standard error, or null
    };
    const CASE aCase[] = {
        {"the world map's picture is missing", "bmp/WorldMapChip.bmp", 1, "bmp\\WorldMapChip.bmp"},
        {"the frame count ends the run on the world map", nullptr, 0, nullptr},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.pszWhat);
        cTempDir dir;
        std::string strExe;
        if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        if (c.pszRemove) fs::remove(dir.File(c.pszRemove));
        // A new story: the world map from about frame 100.
        ASSERT_TRUE(dir.WriteFile("keys.txt", std::string("60 z\n90 z\n")));
        cGameProcess run(strExe, {"--close-after-frames", "400"},
                         {"SDL_VIDEODRIVER=dummy", "MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt")}, "run");
        EXPECT_EQ(run.Wait(60), c.nStatus) << run.Err();
        const std::string strErr = run.Err();
        const std::string strReport = ReadText(dir.File("Report_Game.txt"));
        EXPECT_EQ(strErr.find(SjisToUtf8("終了しますか")), std::string::npos) << strErr;
        EXPECT_NE(strReport.find("close asked (without question)"), std::string::npos) << strReport;
        EXPECT_NE(strReport.find("in scene 1; every thread ended"), std::string::npos) << strReport;
        if (c.pszBox) {
            EXPECT_NE(strErr.find(c.pszBox), std::string::npos) << strErr;
        }
    }
}

// The quit question is due on the world map in a window; whether it is
// asked, carried out unasked or dropped follows the display and the script.
TEST(UnattendedClose, AQuestionNobodyCanSeeIsNeverAnsweredYes) {
    struct CASE {
        int bNoDisplay, bScripted;
        bool bAsk, bDecline;
    };
    const CASE aCase[] = {
        {0, 0, true, false},    // a display: asked
        {0, 1, true, false},    // a display and a script: asked all the same
        {1, 1, false, false},   // the script's own close: carried out
        {1, 0, false, true},    // nobody to ask: dropped
    };
    for (const CASE& c : aCase) {
        CLOSESTATE s;
        s.eKind = CLOSE_USER;
        s.bWindowed = 1;
        s.nScene = 1;
        s.bStarted = 1;
        s.bNoDisplay = c.bNoDisplay;
        s.bScripted = c.bScripted;
        const CLOSEDECISION d = DecideClose(s);
        EXPECT_EQ(d.bAsk, c.bAsk) << c.bNoDisplay << c.bScripted;
        EXPECT_EQ(d.bDecline, c.bDecline) << c.bNoDisplay << c.bScripted;
        // A close that asks nothing is never dropped.
        s.eKind = CLOSE_FATAL;
        EXPECT_FALSE(DecideClose(s).bDecline);
    }
}

}  // namespace
