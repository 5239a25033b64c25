// Boxes and questions on a real X display that has none of the X core fonts
// (the test's own Xvfb): they are drawn inside the game window, and the
// player's keys answer them. The real program plays the demo's hills (the
// slimes and frogs move on their own); Escape opens the quit question,
// whose picture is read from the screen; "No" keeps the game, "Yes" ends
// it, a termination signal ends it while the question is open. An error
// that ends the game shows its box there, and the run ends with status 1
// without the quit question.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/Record.h"
#include "platform/Clock.h"
#include "support/ByteBuilder.h"
#include "support/GameProcess.h"
#include "support/TempDir.h"
#include "support/XServer.h"

namespace {

namespace fs = std::filesystem;

// The title bar of a focused dialog (Dear ImGui's dark style, 0.16 0.29
// 0.48), which nothing of the demo's pictures uses.
constexpr uint32_t DIALOG_TITLE = 0x294A7A;

std::string ReadText(const std::string& path) {
    auto v = ReadHostFile(path);
    return std::string(v.begin(), v.end());
}

int CountNear(const XPICTURE& pic, uint32_t nRgb) {
    int n = 0;
    for (int y = 0; y < pic.h; y++)
        for (int x = 0; x < pic.w; x++) {
            const uint32_t p = pic.At(x, y);
            int d = 0;
            for (int s = 0; s < 24; s += 8) d = std::max(d, std::abs(int((p >> s) & 255) - int((nRgb >> s) & 255)));
            if (d <= 3) n++;
        }
    return n;
}

int CountDiffering(const XPICTURE& a, const XPICTURE& b) {
    int n = 0;
    for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); i += 3)
        if (a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2]) n++;
    return n;
}

class WindowBox : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CopyBuiltDemo(dir.Path(), &strExe)) GTEST_SKIP() << "the program or the demo project is not built";
        if (!x.Missing().empty()) GTEST_SKIP() << x.Missing();
    }

    std::string Report() const { return ReadText(dir.File("Report_Game.txt")); }
    std::string LastLine() const {
        std::string s = Report();
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
        const size_t at = s.rfind('\n');
        return at == std::string::npos ? s : s.substr(at + 1);
    }

    std::vector<std::string> Env() const { return {"SDL_VIDEODRIVER=x11", x.DisplayEnv()}; }

    // The game window's client area now.
    bool Picture(XPICTURE& pic) { return x.Grab(nX, nY, 640, 480, pic); }

    // Waits until the dialog's title bar is on the screen (bShown) or gone.
    bool WaitDialog(bool bShown, unsigned nMs, cGameProcess& run) {
        const uint32_t nStart = GetTicks();
        XPICTURE pic;
        while (GetTicks() - nStart < nMs && run.Running()) {
            if (Picture(pic) && (CountNear(pic, DIALOG_TITLE) > 1000) == bShown) return true;
            SleepMs(50);
        }
        return false;
    }

    bool WaitReport(const std::string& strText, unsigned nMs, cGameProcess& run) {
        const uint32_t nStart = GetTicks();
        while (GetTicks() - nStart < nMs && run.Running()) {
            if (Report().find(strText) != std::string::npos) return true;
            SleepMs(20);
        }
        return Report().find(strText) != std::string::npos;
    }

    cTempDir dir;
    cXServer x{false};
    std::string strExe;
    unsigned long nWindow = 0;
    int nX = 0, nY = 0;
};

enum eAnswer { ANSWER_NO_BY_ESCAPE, ANSWER_NO_BY_ARROW, ANSWER_YES, ANSWER_SIGNAL };

TEST_F(WindowBox, TheQuitQuestionIsShownInTheWindowAndAnsweredByThePlayer) {
    struct CASE {
        eAnswer eWay;
        const char* pszWay;
        std::vector<std::string> vKeys;   // pressed while the question is up
    };
    const CASE aCase[] = {
        {ANSWER_NO_BY_ESCAPE, "Escape answers No", {"Escape"}},
        {ANSWER_NO_BY_ARROW, "right arrow to No, Enter", {"Right", "Return"}},
        {ANSWER_YES, "Enter answers Yes", {"Return"}},
        {ANSWER_SIGNAL, "a termination signal while the question is up", {}},
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(c.pszWay);
        std::remove(dir.File("Report_Game.txt").c_str());
        cGameProcess run(strExe, {"data\\stg4\\m02.stg4"}, Env(), "run");
        ASSERT_TRUE(WaitReport("Scene : 4", 30000, run)) << run.Err();
        nWindow = x.FindWindow(run.Pid(), 640, 480, 10000, &nX, &nY);
        ASSERT_NE(nWindow, 0u) << "no game window";
        SleepMs(1500);   // past the stage's fade-in
        XPICTURE before;
        ASSERT_TRUE(Picture(before));
        EXPECT_LT(CountNear(before, DIALOG_TITLE), 50) << "a dialog colour before any dialog";

        ASSERT_TRUE(x.PressKeys(nWindow, {"Escape"}));
        ASSERT_TRUE(WaitDialog(true, 10000, run)) << "the quit question did not appear in the window\n" << run.Err();
        EXPECT_TRUE(run.Running());
        EXPECT_NE(Report().find("close asked (by the player)"), std::string::npos) << Report();
        // Nothing was answered for the player.
        EXPECT_EQ(run.Err().find("answered"), std::string::npos) << run.Err();

        if (c.eWay == ANSWER_SIGNAL) {
            const uint32_t nAsked = GetTicks();
            run.Terminate();
            EXPECT_EQ(run.Wait(30), 0) << run.Err();
            EXPECT_LT(GetTicks() - nAsked, 10000u) << "the open question held the close up";
            EXPECT_NE(LastLine().find("every thread ended"), std::string::npos) << Report();
            continue;
        }
        ASSERT_TRUE(x.PressKeys(nWindow, c.vKeys));
        if (c.eWay == ANSWER_YES) {
            EXPECT_EQ(run.Wait(30), 0) << run.Err();
            EXPECT_NE(LastLine().find("in scene 4; every thread ended"), std::string::npos) << Report();
            continue;
        }
        // "No": the question goes and the game goes on (its picture moves).
        ASSERT_TRUE(WaitDialog(false, 10000, run)) << "the question stayed";
        SleepMs(300);
        XPICTURE a, b;
        ASSERT_TRUE(Picture(a));
        SleepMs(1000);
        ASSERT_TRUE(Picture(b));
        EXPECT_TRUE(run.Running());
        EXPECT_GT(CountDiffering(a, b), 100) << "the game stands still after No";
        // The declined close is not counted: the report's last line counts
        // from the close carried out, which is the signal below.
        SleepMs(2000);
        const uint32_t nAsked = GetTicks();
        run.Terminate();
        EXPECT_EQ(run.Wait(30), 0) << run.Err();
        const uint32_t nOutside = GetTicks() - nAsked;
        const std::string strLast = LastLine();
        const size_t nAt = strLast.find("every thread ended, ");
        ASSERT_NE(nAt, std::string::npos) << Report();
        unsigned nMs = 99999;
        ASSERT_EQ(std::sscanf(strLast.c_str() + nAt, "every thread ended, %u ms after the close was asked", &nMs), 1);
        EXPECT_LE(nMs, nOutside + 20) << strLast;
        EXPECT_NE(strLast.find("in scene 4"), std::string::npos) << strLast;
    }
}

// The world map's picture is missing: its box shows in the window and
// waits for the player; then the run ends with status 1 without asking
// whether to quit.
TEST_F(WindowBox, AnErrorThatEndsTheGameShowsItsBoxAndEndsWithStatusOne) {
    fs::remove(dir.File("bmp/WorldMapChip.bmp"));
    // A new story: the world map.
    ASSERT_TRUE(dir.WriteFile("keys.txt", std::string("60 z\n90 z\n")));
    std::vector<std::string> vEnv = Env();
    vEnv.push_back("MOSSGROVE_INPUT_SCRIPT=" + dir.File("keys.txt"));
    cGameProcess run(strExe, {}, vEnv, "run");
    nWindow = x.FindWindow(run.Pid(), 640, 480, 30000, &nX, &nY);
    ASSERT_NE(nWindow, 0u) << "no game window\n" << run.Err();
    ASSERT_TRUE(WaitDialog(true, 60000, run)) << "the error box did not appear in the window\n" << run.Err();
    SleepMs(500);
    EXPECT_TRUE(run.Running()) << "the box did not wait for the player";
    ASSERT_TRUE(x.PressKeys(nWindow, {"Return"}));
    EXPECT_EQ(run.Wait(30), 1) << run.Err();
    const std::string strReport = Report();
    EXPECT_NE(strReport.find("close asked (without question)"), std::string::npos) << strReport;
    EXPECT_EQ(strReport.find("close asked (by the player)"), std::string::npos) << strReport;
    EXPECT_NE(LastLine().find("in scene 1; every thread ended"), std::string::npos) << strReport;
}

}  // namespace
