#include <gtest/gtest.h>

#include <string>

#include "shell/Dialog.h"
#include "shell/EditLimit.h"
#include "shell/Hook.h"
#include "shell/KeyState.h"
#include "shell/Window.h"

namespace {

const EDITLIMIT NAME_FIELD{4, 3, 1, 1};

EDITSTATE Type(const EDITLIMIT& lim, const std::string& prev, const std::string& shown, int caret) {
    return EditLimitPass(lim, prev, EDITSTATE{ReadEditBuffer(lim, shown), caret, caret}, false, false);
}

TEST(EditLimit, NameFieldRefusesAFourthCharacter) {
    EDITSTATE r = Type(NAME_FIELD, "abc", "abcd", 4);
    EXPECT_EQ(r.strText, "abc");
    EXPECT_EQ(r.nSelStart, 3);
    // Six pasted letters into an empty field: refused whole.
    EXPECT_EQ(Type(NAME_FIELD, "", "abcdef", 6).strText, "");
    // Four pasted katakana: the read holds three, which fit.
    EXPECT_EQ(Type(NAME_FIELD, "", "アイウエ", 8).strText, "アイウ");
}

TEST(EditLimit, LongLineIsBrokenAndCaretMoves) {
    EDITLIMIT lim{4096, 3, 2, 0};
    EDITSTATE r = Type(lim, "abc", "abcd", 4);
    EXPECT_EQ(r.strText, "abc\r\nd");
    EXPECT_EQ(r.nSelStart, 6);
    // The cut bytes begin the following line.
    r = Type(lim, "abc\r\nd", "abxc\r\nd", 3);
    EXPECT_EQ(r.strText, "abx\r\ncd");
    // A caret between "\r" and "\n" moves after the break.
    r = Type(lim, "ab", "ab\r\ncd", 3);
    EXPECT_EQ(r.nSelStart, 4);
}

TEST(EditLimit, BackspaceThatJoinsTooLongLinesIsRefused) {
    EDITLIMIT lim{4096, 3, 4, 0};
    std::string prev = "abc\r\nde";
    EDITSTATE r = EditLimitPass(lim, prev, EDITSTATE{"abcde", 3, 3}, true, false);
    EXPECT_EQ(r.strText, prev);
}

TEST(EditLimit, BindingCutsTheBoundText) {
    cDialog dlg;
    cCtrlEdit edit;
    std::string strName = "abcde";
    EDITDESC d;
    d.lpText = &strName;
    d.nSize = 4;
    d.nMaxPerLine = 3;
    d.nMaxLines = 1;
    d.bCountChar = 1;
    edit.SetShown("", 1, 1);
    edit.Bind(&dlg, d);
    EXPECT_EQ(edit.GetShown(), "abc");
    EXPECT_EQ(edit.m_nSelStart, 1);   // binding leaves the selection alone
    edit.CtrlToData();
    EXPECT_EQ(strName, "abc");
}

TEST(DialogControls, PushingDoesNotWriteBack) {
    cDialog dlg;
    int32_t nCheck = 1, nMode = 7;
    cCtrlCheck check;
    cCtrlRadio r0, r1;
    check.Bind(&dlg, 10, &nCheck);
    r0.Bind(&dlg, 11, &nMode, 0);
    r1.Bind(&dlg, 12, &nMode, 1);
    dlg.m_vecCtrl = {&check, &r0, &r1};
    dlg.DataToCtrls();
    EXPECT_EQ(check.m_nCheck, 1);
    EXPECT_EQ(r0.m_nCheck + r1.m_nCheck, 0);   // no radio owns 7
    dlg.CtrlsToData();
    EXPECT_EQ(nMode, 7);                         // every radio clear: unchanged
    r1.m_nCheck = 1;
    check.m_nCheck = 0;
    dlg.m_bPushing = 1;
    dlg.CtrlsToData();
    EXPECT_EQ(nCheck, 1);
    dlg.m_bPushing = 0;
    dlg.CtrlsToData();
    EXPECT_EQ(nCheck, 0);
    EXPECT_EQ(nMode, 1);
}

class cReentrantDialog : public cDialog {
public:
    int nCommands = 0;
    void OnCommand(uintptr_t wParam, intptr_t lParam) override {
        nCommands++;
        // A command that arrives while this one is handled is dropped.
        EXPECT_EQ(OnMessage(m_hWnd, WM_COMMAND, wParam, lParam), 0);
    }
};

TEST(DialogControls, CommandReentryIsDropped) {
    cReentrantDialog dlg;
    EXPECT_EQ(dlg.OnMessage(nullptr, WM_COMMAND, 1, 0), 1);
    EXPECT_EQ(dlg.OnMessage(nullptr, WM_COMMAND, 1, 0), 1);
    EXPECT_EQ(dlg.nCommands, 2);
}

class cScriptedHost : public IDialogHost {
public:
    int nResult = 1;
    bool bFail = false;
    int Run(cDialog& dlg) override {
        if (bFail) return -1;
        dlg.WndProc(reinterpret_cast<SDL_Window*>(0x10), WM_INITDIALOG, 0, 0);
        dlg.End(nResult);
        dlg.WndProc(dlg.m_hWnd, WM_DESTROY, 0, 0);
        return dlg.m_nResult;
    }
};

TEST(DialogControls, DoModalResults) {
    cScriptedHost host;
    SetDialogHost(&host);
    cDialog dlg;
    dlg.Init(102, nullptr);
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    host.bFail = true;
    EXPECT_EQ(dlg.DoModal(), -1);
    SetDialogHost(nullptr);
    UnhookKeyboard();
}

TEST(KeyboardHook, Decisions) {
    bHookCtrlDown = 0;
    HOOKRESULT r = KeyboardHookDecide(true, false, VK_LEFT, false, 0);
    EXPECT_TRUE(r.bDivert);
    EXPECT_FALSE(r.bCopy);
    r = KeyboardHookDecide(true, true, VK_LEFT, false, 0);
    EXPECT_FALSE(r.bDivert);
    EXPECT_TRUE(r.bCopy);
    r = KeyboardHookDecide(true, true, VK_RETURN, false, 0);
    EXPECT_FALSE(r.bDivert || r.bCopy);
    r = KeyboardHookDecide(true, false, VK_RETURN, false, 0);
    EXPECT_TRUE(r.bCopy);
    r = KeyboardHookDecide(true, false, VK_TAB, false, 0);
    EXPECT_FALSE(r.bDivert || r.bCopy);
    for (int vk : {int(VK_TAB), int(VK_RETURN), int('A')}) EXPECT_TRUE(KeyboardHookDecide(true, false, vk, true, 0).bCopy);
    // Outside a dialog nothing is taken: Escape still reaches the game window.
    r = KeyboardHookDecide(false, false, VK_ESCAPE, false, 0);
    EXPECT_FALSE(r.bDivert || r.bCopy);
    KeyboardHookDecide(true, false, VK_CONTROL, false, 0);
    EXPECT_EQ(bHookCtrlDown, 1);
    EXPECT_FALSE(KeyboardHookDecide(true, false, 'A', false, 1).bCopy);   // held back while Ctrl is down
    KeyboardHookDecide(true, false, VK_CONTROL, true, 0);
    EXPECT_EQ(bHookCtrlDown, 0);
}

TEST(WindowBase, FrameMarginsAndPlacement) {
    FRAMEMETRICS m;
    m.nCaption = 19;
    m.nCxDlgFrame = m.nCyDlgFrame = 3;
    m.nCxFrame = m.nCyFrame = 4;
    SetFrameMetrics(m);
    DESKTOPINFO d;
    d.rcDesktop = WINRECT{0, 0, 1024, 768};
    d.rcWorkArea = WINRECT{0, 0, 1024, 738};
    SetDesktopInfo(d);

    cWindow w;
    w.Setup(640, 480, 100, 100, 640, 480, WS_MAINWINDOW);
    EXPECT_EQ(w.m_rcWindow.right, 646);
    EXPECT_EQ(w.m_rcWindow.bottom, 480 + 19 + 6);
    w.AddStyle(WS_THICKFRAME);
    EXPECT_EQ(w.m_rcWindow.right, 648);
    MINMAXINFO mm;
    w.FillMinMaxInfo(&mm);
    EXPECT_EQ(mm.ptMinTrackSize.x, 108);
    EXPECT_EQ(mm.ptMaxTrackSize.y, 480 + 19 + 8);

    cWindow c;
    c.Setup(645, 400, 100, 100, 640, 480, WS_CAPTION);   // outer width 651
    c.CenterOnDesktop();
    EXPECT_EQ(c.m_ptPos.x, 186);

    cWindow p;
    p.Setup(200, 100, 100, 100, 640, 480, 0);
    p.m_ptWant = WINPOINT{-5, 300};
    p.PlaceAtWanted();
    EXPECT_EQ(p.m_ptPos.x, 0);
    p.m_ptWant = WINPOINT{900, 700};
    p.PlaceAtWanted();
    EXPECT_EQ(p.m_ptPos.x, 824);
    EXPECT_EQ(p.m_ptPos.y, 638);
    p.m_ptWant = WINPOINT{-1000, 300};
    p.PlaceAtWanted();
    EXPECT_EQ(p.m_ptPos.x, 824);
    SetFrameMetrics(FRAMEMETRICS());
}

}  // namespace
