#include <gtest/gtest.h>

#include <string>

#include "ScriptedDialogHost.h"
#include "platform/FileSystem.h"
#include "shell/BootData.h"
#include "shell/DrawModeDlg.h"
#include "shell/KeyState.h"
#include "shell/StartUp.h"
#include "project/SystemIni.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

const char* const BOOT_DAT = "user_data\\Boot.dat";

class DrawModeDialog : public ::testing::Test {
protected:
    void SetUp() override {
        prevBoot = Boot_Data;
        bPrevEnglish = bEnglish;
        bEnglish = 0;
        Boot_Data = cBootData();
        ASSERT_TRUE(dir.MakeDir("user_data"));
    }
    void TearDown() override {
        Boot_Data = prevBoot;
        bEnglish = bPrevEnglish;
    }
    int Run(const std::function<void(cDrawModeDlg&)>& fn) {
        host.Script([&](cDialog& d) { fn(static_cast<cDrawModeDlg&>(d)); });
        return ShowDrawModeDialog();
    }
    static cBootData Saved() {
        cBootData b;
        b.m_nDrawMode = -1;
        b.m_bNoAsk = -1;
        EXPECT_TRUE(b.Load(BOOT_DAT));
        return b;
    }

    cTempDir dir;
    cScriptedDialogHost host;
    cBootData prevBoot;
    int bPrevEnglish = 0;
};

TEST_F(DrawModeDialog, StartSavesTheChoice) {
    Boot_Data.m_nDrawMode = 0;
    int r = Run([](cDrawModeDlg& dlg) {
        EXPECT_EQ(dlg.FindRadio(IDC_DRAWMODE_D3D)->m_nCheck, 0);
        EXPECT_EQ(dlg.FindRadio(IDC_DRAWMODE_DD)->m_nCheck, 1);
        dlg.CheckRadio(IDC_DRAWMODE_D3D);
        script::Click(dlg, IDC_DRAWMODE_START);
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Boot_Data.m_nDrawMode, 1);
    EXPECT_EQ(Saved().m_nDrawMode, 1);
    EXPECT_EQ(Saved().m_bNoAsk, 0);

    // DirectDraw by Enter, the default button.
    r = Run([](cDrawModeDlg& dlg) {
        dlg.CheckRadio(IDC_DRAWMODE_DD);
        script::Key(dlg, VK_RETURN);
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Saved().m_nDrawMode, 0);
}

TEST_F(DrawModeDialog, AModeOfNeitherRadioIsKept) {
    Boot_Data.m_nDrawMode = 5;
    Run([](cDrawModeDlg& dlg) {
        EXPECT_EQ(dlg.FindRadio(IDC_DRAWMODE_D3D)->m_nCheck + dlg.FindRadio(IDC_DRAWMODE_DD)->m_nCheck, 0);
        script::Click(dlg, IDC_DRAWMODE_START);
    });
    EXPECT_EQ(Saved().m_nDrawMode, 5);
}

TEST_F(DrawModeDialog, CancelSavesNothing) {
    for (bool bClose : {false, true}) {
        int r = Run([&](cDrawModeDlg& dlg) {
            dlg.CheckRadio(IDC_DRAWMODE_DD);
            if (!bClose) script::Click(dlg, IDC_DRAWMODE_CANCEL);
            // else the host closes it
        });
        EXPECT_EQ(r, 0);
        EXPECT_FALSE(FsExists(BOOT_DAT));
        EXPECT_EQ(Boot_Data.m_nDrawMode, 1);
    }
}

TEST_F(DrawModeDialog, TextsFollowEnglish) {
    for (int bEn : {0, 1}) {
        bEnglish = bEn;
        Run([&](cDrawModeDlg& dlg) {
            EXPECT_EQ(dlg.m_strStart, bEn ? "Start" : "ゲーム開始");
            EXPECT_EQ(dlg.m_strCancel, bEn ? "Cancel" : "ゲーム中止");
            EXPECT_EQ(dlg.m_strGroup, bEn ? "Drawing mode" : "描画モード");
            EXPECT_EQ(dlg.FindCheck(IDC_DRAWMODE_NOASK)->m_strLabel,
                      bEn ? "Do not ask this dialog again" : "次回からこのダイアログを表示しない");
            EXPECT_EQ(dlg.m_vecLabel.At(0).m_strLabel, bEn ? "Configure the detail settings at \"System.ini\"."
                                                           : "詳細な設定は環境設定ファイル「System.ini」で行って下さい。");
            EXPECT_EQ(dlg.FindRadio(IDC_DRAWMODE_D3D)->m_strLabel, "Direct3D");
        });
    }
}

// Start-up steps that end right after the drawing-mode choice: the display
// cannot be set up.
class cStopAtDisplay : public IStartUpServices {
public:
    int nDialogs = 0;
    int nDisplayTries = 0;
    int CreateDefaultData() override { return 1; }
    void CreateFolders() override {}
    int LoadDatabase() override { return 1; }
    int LoadSystemDat(const char*) override { return 1; }
    STARTUPSYSTEM GetSystemSettings() override { return STARTUPSYSTEM(); }
    std::vector<INIITEM> GetIniItems() override { return GetStandardIniItems(); }
    int RunDrawModeDialog() override {
        nDialogs++;
        return ShowDrawModeDialog();
    }
    int GetDesktopBpp() override { return 32; }
    int InitDisplay(const DISPLAYINIT&) override {
        nDisplayTries++;
        return 0;
    }
    void ReleaseDisplay() override {}
    void SetTextureFailureText(const char*) override {}
    void LinkMirroredImages() override {}
    int SetUpPalette(const STARTUPSYSTEM&) override { return 0; }
    int GetRefreshRate() override { return 60; }
    int LoadFirstImages() override { return 0; }
    int CreateFonts(const STARTUPSYSTEM&) override { return 0; }
    int LoadHbtPalette(int) override { return 0; }
    void InitMusic(int) override {}
    int InitSound() override { return 0; }
    void LoadSounds(const STARTUPSYSTEM&, int) override {}
    int LoadWorldMap(const char*) override { return 0; }
    int LoadCommonPalette(const char*) override { return 0; }
    int FindLatestStage(std::string&) override { return 0; }
    int StartFreeGame(const char*) override { return 0; }
    void ClearChain() override {}
    void WriteFontReport() override {}
    void ReleaseSound() override {}
    void ReleaseMusic() override {}
    void ReleaseFonts() override {}
    void EndDisplay(int) override {}
    void ShowMainWindow(int) override {}
    void SetMainWindowTitle(const std::string&) override {}
    void MoveMainWindow(int, int) override {}
    void SetMainWindowClientSize(int, int) override {}
    void MakeMainWindowResizable() override {}
};

TEST_F(DrawModeDialog, StartUpAsksUntilTheCheckIsTicked) {
    cFakeMessageBox boxes;   // System.ini is missing: its box
    cStopAtDisplay svc;
    SetStartUpServices(&svc);
    INIDATA prevIni = Ini_Data;

    // Cancel ends the start-up before the display.
    host.Script([](cDialog& d) { script::Click(d, IDC_DRAWMODE_CANCEL); });
    EXPECT_EQ(LoadStartUp(nullptr, 0), 0);
    EXPECT_EQ(svc.nDialogs, 1);
    EXPECT_EQ(svc.nDisplayTries, 0);
    EXPECT_FALSE(FsExists(BOOT_DAT));

    // DirectDraw with "do not ask": the display is tried with that profile.
    host.Script([](cDialog& d) {
        auto& dlg = static_cast<cDrawModeDlg&>(d);
        dlg.CheckRadio(IDC_DRAWMODE_DD);
        dlg.FindCheck(IDC_DRAWMODE_NOASK)->m_nCheck = 1;
        script::Click(dlg, IDC_DRAWMODE_START);
    });
    EXPECT_EQ(LoadStartUp(nullptr, 0), 0);
    EXPECT_EQ(svc.nDialogs, 2);
    EXPECT_EQ(svc.nDisplayTries, 1);
    EXPECT_EQ(nDirect3D, 0);
    EXPECT_EQ(Saved().m_bNoAsk, 1);

    // The next start reads Boot.dat and does not ask.
    Boot_Data = cBootData();
    EXPECT_EQ(LoadStartUp(nullptr, 0), 0);
    EXPECT_EQ(svc.nDialogs, 2);
    EXPECT_EQ(host.Runs(), 2);
    EXPECT_EQ(svc.nDisplayTries, 2);
    EXPECT_EQ(nDirect3D, 0);

    SetStartUpServices(nullptr);
    Ini_Data = prevIni;
}

}  // namespace
