#include <gtest/gtest.h>

#include <string>

#include "ScriptedDialogHost.h"
#include "frontend/Option.h"
#include "shell/GameMain.h"
#include "shell/KeyState.h"
#include "shell/NameDlg.h"
#include "project/SystemIni.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string strRankingName;
std::string* RankingName() { return &strRankingName; }

class NameDialog : public ::testing::Test {
protected:
    void SetUp() override {
        nPrevPlayType = Game_Main.m_nPlayType;
        strPrevName = recOption.m_strName;
        bPrevEnglish = bEnglish;
        bEnglish = 0;
        Game_Main.m_nPlayType = PLAYTYPE_OPTIONS;
        recOption.m_strName = "aaa";
        strRankingName = "rrr";
        SetRankingNameSource(nullptr);
    }
    void TearDown() override {
        Game_Main.m_nPlayType = nPrevPlayType;
        recOption.m_strName = strPrevName;
        bEnglish = bPrevEnglish;
        SetRankingNameSource(nullptr);
    }
    // Runs the dialog: the script gets the dialog and its field (null when
    // no name is bound).
    int Run(const std::function<void(cNameDlg&, cCtrlEdit*)>& fn) {
        host.Script([&](cDialog& d) {
            auto& dlg = static_cast<cNameDlg&>(d);
            fn(dlg, dlg.m_vecEdit.empty() ? nullptr : &dlg.m_vecEdit.At(0));
        });
        return ShowNameDialog();
    }

    cScriptedDialogHost host;
    int nPrevPlayType = 0;
    std::string strPrevName;
    int bPrevEnglish = 0;
};

TEST_F(NameDialog, WritesTheNameOfTheAskingScreen) {
    struct CASE {
        int nPlayType;
        bool bPlayScene;
        const char* pszOption;    // the option name afterwards
        const char* pszRanking;   // the ranking name afterwards
        bool bField;
    };
    const CASE aCase[] = {
        {PLAYTYPE_OPTIONS, true, "xyz", "rrr", true},   // the options path wins over a play scene
        {PLAYTYPE_OPTIONS, false, "xyz", "rrr", true},
        {3, true, "aaa", "xyz", true},                   // a running stage play
        {3, false, "aaa", "rrr", false},                 // neither: nothing is bound
    };
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "play type " << c.nPlayType << " play scene " << c.bPlayScene);
        Game_Main.m_nPlayType = c.nPlayType;
        recOption.m_strName = "aaa";
        strRankingName = "rrr";
        SetRankingNameSource(c.bPlayScene ? RankingName : nullptr);
        bool bField = false;
        int r = Run([&](cNameDlg& dlg, cCtrlEdit* pEdit) {
            bField = pEdit != nullptr;
            if (pEdit) {
                EXPECT_EQ(pEdit->GetShown(), c.nPlayType == PLAYTYPE_OPTIONS ? "aaa" : "rrr");
                script::Paste(*pEdit, "xyz");
            }
            script::Click(dlg, IDC_NAME_OK);
        });
        EXPECT_EQ(r, 1);
        EXPECT_EQ(bField, c.bField);
        EXPECT_EQ(recOption.m_strName, c.pszOption);
        EXPECT_EQ(strRankingName, c.pszRanking);
    }
}

TEST_F(NameDialog, KeepsThreeCharactersInSixBytes) {
    // Typed one by one: a fourth character is refused.
    Run([](cNameDlg& dlg, cCtrlEdit* pEdit) {
        ASSERT_NE(pEdit, nullptr);
        script::Paste(*pEdit, "");
        EXPECT_EQ(script::Type(*pEdit, "abcde"), 0);
        EXPECT_EQ(pEdit->GetShown(), "abc");
        EXPECT_EQ(pEdit->m_nSelStart, 3);
        script::Key(dlg, VK_RETURN);   // Enter presses OK
    });
    EXPECT_EQ(recOption.m_strName, "abc");

    Run([](cNameDlg& dlg, cCtrlEdit* pEdit) {
        script::Paste(*pEdit, "");
        script::Type(*pEdit, U8(u8"アイウエ"));
        script::Click(dlg, IDC_NAME_OK);
    });
    EXPECT_EQ(recOption.m_strName, "アイウ");
    EXPECT_EQ(recOption.m_strName.size(), 6u);

    // Pasted whole: the first three double-byte characters stay.
    Run([](cNameDlg& dlg, cCtrlEdit* pEdit) {
        script::Paste(*pEdit, U8(u8"アイウエ"));
        script::Click(dlg, IDC_NAME_OK);
    });
    EXPECT_EQ(recOption.m_strName, "アイウ");

    // A mix never splits a double-byte character.
    Run([](cNameDlg& dlg, cCtrlEdit* pEdit) {
        script::Paste(*pEdit, "");
        script::Type(*pEdit, U8(u8"aアイウ"));
        script::Click(dlg, IDC_NAME_OK);
    });
    EXPECT_EQ(recOption.m_strName, "aアイ");
}

TEST_F(NameDialog, ALongBoundNameIsShownAndStoredCut) {
    recOption.m_strName = "abcde";
    int r = Run([](cNameDlg& dlg, cCtrlEdit* pEdit) {
        EXPECT_EQ(pEdit->GetShown(), "abc");
        script::Click(dlg, IDC_NAME_OK);
    });
    EXPECT_EQ(r, 1);
    EXPECT_EQ(recOption.m_strName, "abc");
}

TEST_F(NameDialog, RefusesCharactersWithoutAShiftJisForm) {
    Run([](cNameDlg& dlg, cCtrlEdit* pEdit) {
        script::Paste(*pEdit, "a");
        const std::string strTyped = U8(u8"\uD55C\U0001F600b");   // Hangul and an emoji
        EXPECT_EQ(script::Type(*pEdit, strTyped), 2);
        EXPECT_EQ(pEdit->GetShown(), "ab");
        script::Click(dlg, IDC_NAME_OK);
    });
    EXPECT_EQ(recOption.m_strName, "ab");
}

TEST_F(NameDialog, EscapeDoesNothingAndACloseKeepsTheName) {
    int r = Run([](cNameDlg& dlg, cCtrlEdit* pEdit) {
        script::Paste(*pEdit, "zz");
        script::Key(dlg, VK_ESCAPE);
        EXPECT_FALSE(dlg.IsEnded());
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(recOption.m_strName, "aaa");
}

TEST_F(NameDialog, LabelAndPlace) {
    for (int bEn : {0, 1}) {
        bEnglish = bEn;
        Run([&](cNameDlg& dlg, cCtrlEdit*) {
            EXPECT_EQ(dlg.m_strLabel, bEn ? "     Name" : "登録名(3文字まで)");
            EXPECT_EQ(dlg.m_ptClient.x, 240);
            EXPECT_EQ(dlg.m_ptClient.y, 220);
        });
    }
}

TEST(NameCut, ThreeCharactersSixBytesWholeCharacters) {
    const std::pair<std::string, std::string> aCase[] = {
        {"abcdef", "abc"}, {"アイウエ", "アイウ"}, {"aアイウ", "aアイ"}, {"ab\x83", "ab"}, {"", ""},
    };
    for (const auto& [in, out] : aCase) EXPECT_EQ(CutName(in), out) << in;
}

}  // namespace
