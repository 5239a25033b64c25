#include <gtest/gtest.h>

#include <string>

#include "ScriptedDialogHost.h"
#include "platform/MessageBox.h"
#include "shell/FileDlg.h"
#include "shell/KeyState.h"
#include "project/SystemIni.h"
#include "support/FakeMessageBox.h"
#include "support/TempDir.h"

namespace {

TEST(FileFilter, MatchesThePatternsOfTheModes) {
    struct CASE {
        const char* pszName;
        bool bStage;    // "*.stg4_*;*.rpl4_*"
        bool bReplay;   // "*.rpl4_*"
    };
    const CASE aCase[] = {
        {"a.stg4_854", true, false},  {"a.rpl4_854", true, true},   {"A.STG4_12", true, false},
        {"x.Rpl4_", true, true},      {"a.stg3_854", false, false}, {"stg4_854", false, false},
        {"a.stg4", false, false},     {"b.b.rpl4_7", true, true},   {"ステージ.stg4_854", true, false},
        {".rpl4_1", true, true},      {"a.txt", false, false},      {"a.rpl4_854.bak", true, true},
    };
    for (const CASE& c : aCase) {
        EXPECT_EQ(MatchFileFilter(c.pszName, "*.stg4_*;*.rpl4_*"), c.bStage) << c.pszName;
        EXPECT_EQ(MatchFileFilter(c.pszName, "*.rpl4_*"), c.bReplay) << c.pszName;
    }
    // '?' takes one character, a double-byte one as a whole.
    EXPECT_TRUE(MatchWildcard("?.txt", "ア.txt"));
    EXPECT_FALSE(MatchWildcard("?.txt", "ab.txt"));
}

TEST(FileDialogKind, ModesTitlesFoldersAndTheSaveExtension) {
    FILEDLGKIND s = GetFileDialogKind(FILEMODE_SAVEREPLAY, 0);
    EXPECT_EQ(s.strTitle, "リプレイファイルの保存");
    EXPECT_EQ(s.strFolder, "user_data\\rpl4\\");
    EXPECT_EQ(s.strFilterLabel, "ReplayFile ( *.rpl4_854 )");
    EXPECT_EQ(s.strDefExt, "rpl4_854");
    EXPECT_EQ(GetFileDialogKind(FILEMODE_LOADSTAGE, 1).strTitle, "load stage file");
    EXPECT_EQ(GetFileDialogKind(FILEMODE_LOADREPLAY, 0).strFolder, "user_data\\rpl4");
    EXPECT_EQ(AddDefaultExtension("abc", "rpl4_854"), "abc.rpl4_854");
    EXPECT_EQ(AddDefaultExtension("abc.RPL4_854", "rpl4_854"), "abc.RPL4_854");
    EXPECT_EQ(AddDefaultExtension("abc.txt", "rpl4_854"), "abc.txt.rpl4_854");
    EXPECT_FALSE(IsPlainFileName("..\\abc"));
    EXPECT_FALSE(IsPlainFileName("a/b"));
    EXPECT_FALSE(IsPlainFileName(""));
    EXPECT_TRUE(IsPlainFileName("ソフト"));   // a trail byte 0x5C is no separator
}

class FileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        bPrevEnglish = bEnglish;
        bEnglish = 0;
        ASSERT_TRUE(dir.WriteFile("data/stg4/b.stg4_854", "x"));
        ASSERT_TRUE(dir.WriteFile("data/stg4/a.rpl4_700", "x"));
        ASSERT_TRUE(dir.WriteFile("data/stg4/c.txt", "x"));
        ASSERT_TRUE(dir.MakeDir("data/stg4/d.stg4_1"));
        ASSERT_TRUE(dir.WriteFile("user_data/rpl4/old.rpl4_854", "x"));
        ASSERT_TRUE(dir.WriteFile("user_data/rpl4/s.stg4_854", "x"));
    }
    void TearDown() override { bEnglish = bPrevEnglish; }

    int Run(int nMode, std::string& strPath, const std::function<void(cFileDlg&)>& fn) {
        host.Script([&](cDialog& d) { fn(static_cast<cFileDlg&>(d)); });
        return ShowFileDialog(nMode, strPath);
    }

    cTempDir dir;
    cScriptedDialogHost host;
    cFakeMessageBox boxes;
    int bPrevEnglish = 0;
};

TEST_F(FileDialog, LoadListsMatchingFilesAndChoosesByKeyboard) {
    std::string strPath = "junk";
    int r = Run(FILEMODE_LOADSTAGE, strPath, [](cFileDlg& dlg) {
        EXPECT_EQ(dlg.m_vFiles, (std::vector<std::string>{"a.rpl4_700", "b.stg4_854"}));
        EXPECT_EQ(dlg.m_strTitle, "ステージファイルの読み込み");
        EXPECT_EQ(dlg.m_nSel, 0);
        script::Key(dlg, VK_DOWN);
        script::Key(dlg, VK_DOWN);   // stays on the last entry
        EXPECT_EQ(dlg.m_nSel, 1);
        script::Key(dlg, VK_RETURN);
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(strPath, "data\\stg4\\b.stg4_854");

    r = Run(FILEMODE_LOADREPLAY, strPath, [](cFileDlg& dlg) {
        EXPECT_EQ(dlg.m_vFiles, (std::vector<std::string>{"old.rpl4_854"}));
        dlg.Activate(0);   // a double click
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(strPath, "user_data\\rpl4\\old.rpl4_854");

    // Escape cancels; a cancelled load leaves the path empty.
    r = Run(FILEMODE_LOADSTAGE, strPath, [](cFileDlg& dlg) { script::Key(dlg, VK_ESCAPE); });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(strPath, "");
}

// What a save cut short left beside a replay or a stage ("NAME.rpl4_854.tmp")
// matches the patterns but is never offered, in any mode.
TEST_F(FileDialog, TemporariesOfCutShortSavesAreNotListed) {
    ASSERT_TRUE(dir.WriteFile("user_data/rpl4/cut.rpl4_854.tmp", "x"));
    ASSERT_TRUE(dir.WriteFile("user_data/rpl4/CUT2.rpl4_854.TMP", "x"));
    ASSERT_TRUE(dir.WriteFile("data/stg4/e.stg4_000.tmp", "x"));
    std::string strPath;
    Run(FILEMODE_LOADREPLAY, strPath, [](cFileDlg& dlg) {
        EXPECT_EQ(dlg.m_vFiles, (std::vector<std::string>{"old.rpl4_854"}));
        script::Key(dlg, VK_ESCAPE);
    });
    Run(FILEMODE_LOADSTAGE, strPath, [](cFileDlg& dlg) {
        EXPECT_EQ(dlg.m_vFiles, (std::vector<std::string>{"a.rpl4_700", "b.stg4_854"}));
        script::Key(dlg, VK_ESCAPE);
    });
    Run(FILEMODE_SAVEREPLAY, strPath, [](cFileDlg& dlg) {
        EXPECT_EQ(dlg.m_vFiles, (std::vector<std::string>{"old.rpl4_854"}));
        script::Key(dlg, VK_ESCAPE);
    });
}

TEST_F(FileDialog, SaveAddsTheExtensionAndAcceptsNewNames) {
    std::string strPath = "abc";
    int r = Run(FILEMODE_SAVEREPLAY, strPath, [](cFileDlg& dlg) {
        EXPECT_EQ(dlg.m_vecEdit.At(0).GetShown(), "abc");
        EXPECT_EQ(dlg.m_vFiles, (std::vector<std::string>{"old.rpl4_854"}));
        script::Click(dlg, IDC_FILE_OK);
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(strPath, "user_data\\rpl4\\abc.rpl4_854");
    EXPECT_EQ(boxes.Count(), 0u);

    // A name typed over the proposed one; a cancel gives the proposed one back.
    strPath = "abc";
    r = Run(FILEMODE_SAVEREPLAY, strPath, [](cFileDlg& dlg) {
        script::Paste(dlg.m_vecEdit.At(0), "new.rpl4_854");
        script::Click(dlg, IDC_FILE_CANCEL);
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(strPath, "abc");

    // A name with a folder part is not taken.
    strPath = "abc";
    r = Run(FILEMODE_SAVEREPLAY, strPath, [](cFileDlg& dlg) {
        script::Paste(dlg.m_vecEdit.At(0), "..\\up");
        script::Click(dlg, IDC_FILE_OK);
        EXPECT_FALSE(dlg.IsEnded());
    });
    EXPECT_EQ(r, 0);
}

// An unattended run answers its file dialogs in order: "ok" takes what the
// dialog offers, a name picks that file (load) or is typed (save), "cancel"
// or a name the list lacks cancels, and a dialog after the last answer is
// cancelled.
TEST_F(FileDialog, UnattendedAnswersAreTakenInOrder) {
    SetUnattendedFileAnswers({"b.stg4_854", "ok", "ok", "mine", "cancel", "zzz.stg4_1"});
    auto answer = [](cFileDlg& dlg) { dlg.AnswerHeadless(); };
    std::string strPath;
    EXPECT_EQ(Run(FILEMODE_LOADSTAGE, strPath, answer), 1);
    EXPECT_EQ(strPath, "data\\stg4\\b.stg4_854");         // the second of the list, by name
    EXPECT_EQ(Run(FILEMODE_LOADSTAGE, strPath, answer), 1);
    EXPECT_EQ(strPath, "data\\stg4\\a.rpl4_700");         // "ok": the first of the list
    strPath = "m01__2024__03_02__14_05.rpl4_854";
    EXPECT_EQ(Run(FILEMODE_SAVEREPLAY, strPath, answer), 1);
    EXPECT_EQ(strPath, "user_data\\rpl4\\m01__2024__03_02__14_05.rpl4_854");   // the proposed name
    strPath = "proposed";
    EXPECT_EQ(Run(FILEMODE_SAVEREPLAY, strPath, answer), 1);
    EXPECT_EQ(strPath, "user_data\\rpl4\\mine.rpl4_854");  // a typed name
    EXPECT_EQ(Run(FILEMODE_LOADREPLAY, strPath, answer), 0);
    EXPECT_EQ(Run(FILEMODE_LOADSTAGE, strPath, answer), 0);   // not in the list
    EXPECT_EQ(Run(FILEMODE_LOADREPLAY, strPath, answer), 0);  // no answer left
    SetUnattendedFileAnswers({});
}

TEST_F(FileDialog, SaveAsksBeforeOverwriting) {
    boxes.Script({IDNO, IDYES});
    std::string strPath = "old";
    int nAsked = 0;
    int r = Run(FILEMODE_SAVEREPLAY, strPath, [&](cFileDlg& dlg) {
        script::Click(dlg, IDC_FILE_OK);   // "No": the dialog stays
        EXPECT_FALSE(dlg.IsEnded());
        nAsked = static_cast<int>(boxes.Count());
        script::Click(dlg, IDC_FILE_OK);   // "Yes"
    });
    EXPECT_EQ(nAsked, 1);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(strPath, "user_data\\rpl4\\old.rpl4_854");
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].nType & MB_YESNO, MB_YESNO);
    EXPECT_NE(boxes.Boxes()[0].strText.find("old.rpl4_854"), std::string::npos);

    // Picking the existing file from the list puts its name in the field.
    boxes.Script({IDYES});
    strPath = "zzz";
    r = Run(FILEMODE_SAVEREPLAY, strPath, [](cFileDlg& dlg) {
        script::Key(dlg, VK_DOWN);
        EXPECT_EQ(dlg.m_vecEdit.At(0).GetShown(), "old.rpl4_854");
        script::Key(dlg, VK_RETURN);
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(strPath, "user_data\\rpl4\\old.rpl4_854");
    EXPECT_EQ(boxes.Count(), 3u);
}

TEST_F(FileDialog, AnOverlongProposedNameIsBounded) {
    // 300 bytes that end inside a run of double-byte characters.
    std::string strLong(258, 'a');
    for (int i = 0; i < 20; i++) strLong += "ア";
    std::string strPath = strLong;
    int r = Run(FILEMODE_SAVEREPLAY, strPath, [](cFileDlg& dlg) {
        const std::string& s = dlg.m_vecEdit.At(0).GetShown();
        EXPECT_LE(s.size(), FILEDLG_MAX_PATH);
        script::Click(dlg, IDC_FILE_OK);   // too long for a path: not taken
        EXPECT_FALSE(dlg.IsEnded());
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(strPath, CutSjis(strLong, FILEDLG_MAX_PATH));
    EXPECT_EQ(strPath.size(), 258u);   // "ア" does not fit in the two bytes left
}

}  // namespace
