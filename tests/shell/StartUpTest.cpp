#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "frontend/Option.h"
#include "platform/TextCodec.h"
#include "shell/GameMain.h"
#include "shell/ShellState.h"
#include "shell/StartUp.h"
#include "project/SystemIni.h"
#include "foundation/Record.h"
#include "support/ByteBuilder.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

// Records every step; the step named in strFail fails.
class cFakeStartUp : public IStartUpServices {
public:
    std::vector<std::string> steps;
    std::string strFail;
    int nDrawModeResult = 1;
    int nDesktopBpp = 32;

    int Step(const char* p) {
        steps.push_back(p);
        return strFail == p ? 0 : 1;
    }
    int CreateDefaultData() override { return Step("data"); }
    void CreateFolders() override { Step("folders"); }
    int LoadDatabase() override { return Step("database"); }
    int LoadSystemDat(const char*) override { return Step("system"); }
    STARTUPSYSTEM GetSystemSettings() override { return STARTUPSYSTEM(); }
    std::vector<INIITEM> GetIniItems() override { return GetStandardIniItems(); }
    int RunDrawModeDialog() override {
        Step("drawmode");
        return nDrawModeResult;
    }
    int GetDesktopBpp() override { return nDesktopBpp; }
    int InitDisplay(const DISPLAYINIT& d) override {
        return Step(d.nDirect3D ? "display3d" : "display");
    }
    void ReleaseDisplay() override { Step("release"); }
    void SetTextureFailureText(const char*) override { Step("texerr"); }
    void LinkMirroredImages() override { Step("link"); }
    int SetUpPalette(const STARTUPSYSTEM&) override { return Step("palette"); }
    int GetRefreshRate() override { return 60; }
    int LoadFirstImages() override { return Step("images"); }
    int CreateFonts(const STARTUPSYSTEM&) override { return Step("fonts"); }
    int LoadHbtPalette(int) override { return Step("hbt"); }
    void InitMusic(int) override { Step("music"); }
    int InitSound() override { return Step("sound"); }
    void LoadSounds(const STARTUPSYSTEM&, int) override { Step("sounds"); }
    int LoadWorldMap(const char*) override { return Step("worldmap"); }
    int LoadCommonPalette(const char*) override { return Step("commonpalette"); }
    int FindLatestStage(std::string& s) override {
        if (Step("findstage") == 0) return 0;
        s += "_001";
        return 1;
    }
    int StartFreeGame(const char*) override { return Step("freegame"); }
    void ClearChain() override { Step("chain"); }
    // The shutdown's steps, recorded apart from the start-up's.
    std::vector<std::string> released;
    void WriteFontReport() override { released.push_back("fontreport"); }
    void ReleaseSound() override { released.push_back("sound"); }
    void ReleaseMusic() override { released.push_back("music"); }
    void ReleaseFonts() override { released.push_back("fonts"); }
    void EndDisplay(int bWindowed) override { released.push_back(bWindowed ? "display window" : "display"); }
    void ShowMainWindow(int) override { Step("show"); }
    void SetMainWindowTitle(const std::string&) override {}
    void MoveMainWindow(int, int) override {}
    void SetMainWindowClientSize(int, int) override {}
    void MakeMainWindowResizable() override {}
};

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetStartUpServices(&fake);
        bWindowed = 0;   // until System.ini is read
        InitReport(dir.File("Report_Game.txt").c_str());
        Game_Main.m_nScene = 0;
        dir.WriteFile("System.ini", std::string("Direct3D=1\nWindowMode=1\nExit\n"));
    }
    void TearDown() override { SetStartUpServices(nullptr); }
    // Whether the run log (UTF-8) holds a Shift-JIS text.
    bool Logged(const char* pszSjis) {
        auto v = ReadHostFile(dir.File("Report_Game.txt"));
        return std::string(v.begin(), v.end()).find(SjisToUtf8(pszSjis)) != std::string::npos;
    }
    cTempDir dir;
    cFakeMessageBox boxes;
    cFakeStartUp fake;
};

const std::vector<std::string> ALL = {"data", "folders", "database", "system", "display3d", "texerr", "link",
                                      "show", "palette", "images", "fonts", "music", "sound", "sounds",
                                      "commonpalette", "worldmap"};

// What the shutdown releases, in its order (the demo System.ini runs in a
// window).
const std::vector<std::string> RELEASED = {"fontreport", "sound", "music", "fonts", "display window"};

TEST_F(StartUpTest, RunsEveryStepInOrder) {
    EXPECT_EQ(LoadStartUp(nullptr, 0), 1);
    EXPECT_EQ(fake.steps, ALL);
    EXPECT_TRUE(fake.released.empty());
    Shutdown();
    EXPECT_EQ(fake.released, RELEASED);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(Game_Main.m_nFps, 60);
    EXPECT_EQ(Game_Main.m_nFadeStep, 10);
    EXPECT_EQ(nDataVer, 854u);
}

// A damaged Option.dat is refused whole: the options keep their defaults
// (music on), not the values read before the damage (music off).
TEST_F(StartUpTest, ADamagedOptionFileLeavesTheDefaults) {
    recOption.SetDefault();
    cByteBuilder b;
    b.U32(854).I32(4).I32(7).I32(0);   // palette variant 7, music off, then cut short
    ASSERT_TRUE(dir.WriteFile("user_data/Option.dat", b.Bytes()));
    EXPECT_EQ(LoadStartUp(nullptr, 0), 1);
    EXPECT_EQ(recOption.m_nPaletteVariant, 0);
    EXPECT_EQ(recOption.m_bBgm, 1);
    EXPECT_EQ(fake.steps, ALL);   // the music step among them
    // A sound file is read.
    b = cByteBuilder();
    b.U32(854).I32(4).I32(7).I32(0).I32(5).I32(1).I32(1).Str("bob");
    ASSERT_TRUE(dir.WriteFile("user_data/Option.dat", b.Bytes()));
    fake.steps.clear();
    EXPECT_EQ(LoadStartUp(nullptr, 0), 1);
    EXPECT_EQ(recOption.m_nPaletteVariant, 7);
    EXPECT_EQ(recOption.m_bBgm, 0);
    EXPECT_EQ(recOption.m_strName, "bob");
    recOption.SetDefault();
}

struct FAILCASE {
    const char* pszStep;
    const char* pszBox;      // null: no box
    const char* pszReport;   // a line the run log must hold, or null
};

TEST_F(StartUpTest, FailureTable) {
    const FAILCASE cases[] = {
        {"data", "「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。", "「data」フォルダの作成に失敗…"},
        {"database", "データベースの読み込みに失敗…", "データベースの読み込みに失敗…"},
        {"system", "data\\System.dat の読み込みに失敗…", "data\\System.dat の読み込みに失敗…"},
        {"palette", nullptr, nullptr},
        {"images", nullptr, nullptr},
        {"fonts", nullptr, nullptr},
        {"sound", nullptr, "DS_Init失敗！"},
        {"worldmap", "data\\WorldMap.dat のロードに失敗！", "data\\WorldMap.dat のロードに失敗！"},
        {"commonpalette", "data\\CommonPalette.cplt4 のロードに失敗！", "data\\CommonPalette.cplt4 のロードに失敗！"},
    };
    for (const auto& c : cases) {
        cFakeMessageBox rowBoxes;
        fake.steps.clear();
        fake.strFail = c.pszStep;
        bWindowed = 0;
        InitReport(dir.File("Report_Game.txt").c_str());
        EXPECT_EQ(LoadStartUp(nullptr, 0), 0) << c.pszStep;
        // The failing step is the last one run.
        ASSERT_FALSE(fake.steps.empty());
        EXPECT_EQ(fake.steps.back(), c.pszStep);
        auto boxes = rowBoxes.Boxes();
        if (c.pszBox) {
            ASSERT_EQ(boxes.size(), 1u) << c.pszStep;
            EXPECT_EQ(boxes[0].strText, c.pszBox);
            EXPECT_EQ(boxes[0].strCaption, "エラー");
        } else {
            EXPECT_TRUE(boxes.empty()) << c.pszStep;
        }
        if (c.pszReport) {
            EXPECT_TRUE(Logged(c.pszReport)) << c.pszStep;
        }
        // The caller then shuts down what was set up: every release step
        // runs, in order, and none ran before; the display ends in the mode
        // System.ini gave, or as a full screen when the failure came before
        // it was read.
        EXPECT_TRUE(fake.released.empty()) << c.pszStep;
        Shutdown();
        const bool bBeforeIni = std::string(c.pszStep) == "data" || std::string(c.pszStep) == "database" ||
                                std::string(c.pszStep) == "system";
        std::vector<std::string> want = RELEASED;
        if (bBeforeIni) want.back() = "display";
        EXPECT_EQ(fake.released, want) << c.pszStep;
        fake.released.clear();
    }
}

TEST_F(StartUpTest, DisplayFallsBackWithoutTextures) {
    fake.strFail = "display3d";
    EXPECT_EQ(LoadStartUp(nullptr, 0), 1);
    // The retry: release, show, the set-up without textures; no texture text, no links.
    std::vector<std::string> want = {"data", "folders", "database", "system", "display3d", "release", "show",
                                     "display", "show", "palette", "images", "fonts", "music", "sound",
                                     "sounds", "commonpalette", "worldmap"};
    EXPECT_EQ(fake.steps, want);
    fake.steps.clear();
    fake.strFail = "display";
    dir.WriteFile("System.ini", std::string("Direct3D=0\nWindowMode=1\nExit\n"));
    EXPECT_EQ(LoadStartUp(nullptr, 0), 0);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(Logged("DDInit失敗"));
}

TEST_F(StartUpTest, ScreenModeChecks) {
    struct CASE {
        const char* pszIni;
        int nDesktop;
        const char* pszBox;
        const char* pszReason;   // the run log's reason for the refusal
    };
    const CASE cases[] = {
        {"Direct3D=1\nWindowMode=1\nBpp=16\nExit\n", 32,
         "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！",
         "Drawing mode refused: a window draws at the desktop's depth of 32 bits, not at 16"},
        {"Direct3D=0\nWindowMode=1\nBpp=8\nExit\n", 32, "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！",
         "Drawing mode refused: a window draws at the desktop's depth of 32 bits, not at 8"},
        {"Direct3D=1\nWindowMode=0\nBpp=8\nExit\n", 32, "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！",
         "Drawing mode refused: Direct3D draws at 16 or 32 bits, not at 8"},
        {"Direct3D=0\nWindowMode=0\nBpp=24\nExit\n", 32, "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！",
         "Drawing mode refused: a depth of 24 bits is none of 8, 16 and 32"},
        {"Direct3D=0\nWindowMode=0\nBpp=8\nExit\n", 32, nullptr, nullptr},
        {"Direct3D=1\nWindowMode=1\nBpp=0\nExit\n", 16, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        cFakeMessageBox rowBoxes;
        fake.steps.clear();
        dir.WriteFile("System.ini", std::string(c.pszIni));
        fake.nDesktopBpp = c.nDesktop;
        const size_t nLogBefore = ReadHostFile(dir.File("Report_Game.txt")).size();
        int r = LoadStartUp(nullptr, 0);
        const auto vLog = ReadHostFile(dir.File("Report_Game.txt"));
        const std::string strNew(vLog.begin() + static_cast<long>(std::min(nLogBefore, vLog.size())), vLog.end());
        if (c.pszBox) {
            EXPECT_EQ(r, 0) << c.pszIni;
            ASSERT_EQ(rowBoxes.Count(), 1u) << c.pszIni;
            EXPECT_EQ(rowBoxes.Boxes()[0].strText, c.pszBox);
            EXPECT_NE(strNew.find(c.pszReason), std::string::npos) << strNew;
        } else {
            EXPECT_EQ(r, 1) << c.pszIni;
            EXPECT_EQ(rowBoxes.Count(), 0u) << c.pszIni;
            EXPECT_EQ(strNew.find("Drawing mode refused"), std::string::npos) << strNew;
        }
    }
}

TEST_F(StartUpTest, DrawingModeDialogAndFreeStage) {
    dir.WriteFile("System.ini", std::string("Direct3D=2\nWindowMode=1\nExit\n"));
    fake.nDrawModeResult = 0;   // cancelled: the start ends without a message
    EXPECT_EQ(LoadStartUp(nullptr, 0), 0);
    EXPECT_EQ(fake.steps.back(), "drawmode");
    EXPECT_EQ(boxes.Count(), 0u);

    // A command-line stage that exists starts the game on it.
    fake.nDrawModeResult = 1;
    fake.steps.clear();
    std::string strLong(400, 'x');   // cut to fit, never overrun
    EXPECT_EQ(LoadStartUp(strLong.c_str(), 0), 1);
    EXPECT_EQ(std::string(szFreeStage).size(), 259u);
    EXPECT_EQ(Game_Main.m_nScene, SCENE_PLAY);
    EXPECT_EQ(Game_Main.m_nGameMode, 2);
    EXPECT_EQ(bFreeStageStart, 1);

    // One that does not exist is only logged; the game starts at the title.
    Game_Main.m_nScene = 0;
    fake.steps.clear();
    fake.strFail = "findstage";
    EXPECT_EQ(LoadStartUp("data\\stg4\\nothere", 0), 1);
    EXPECT_EQ(Game_Main.m_nScene, SCENE_TITLE);
    EXPECT_EQ(szFreeStage[0], 0);
    EXPECT_TRUE(Logged("「data\\stg4\\nothere」の読み込みに失敗しました！"));
}

}  // namespace
