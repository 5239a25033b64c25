// The box drawn in the game window: which button the keys press for each
// box type, and the answer of a box closed without a button.
#include <gtest/gtest.h>

#include <vector>

#include "ScriptedDialogHost.h"
#include "platform/MessageBox.h"
#include "shell/KeyState.h"
#include "shell/MessageDlg.h"

namespace {

TEST(MessageDlg, KeysPressTheFocusedOrTheCancellingButton) {
    struct CASE {
        unsigned nType;
        std::vector<int> vKeys;   // none: closed without a button
        int nAnswer;
    };
    const CASE aCase[] = {
        {MB_YESNO, {VK_RETURN}, IDYES},                       // Yes has the focus at first
        {MB_YESNO, {VK_SPACE}, IDYES},
        {MB_YESNO, {VK_RIGHT, VK_RETURN}, IDNO},
        {MB_YESNO, {VK_RIGHT, VK_RIGHT, VK_RETURN}, IDNO},    // no further than the last
        {MB_YESNO, {VK_RIGHT, VK_LEFT, VK_RETURN}, IDYES},
        {MB_YESNO, {VK_LEFT, VK_RETURN}, IDYES},              // no further than the first
        {MB_YESNO, {VK_ESCAPE}, IDNO},
        {MB_YESNO, {}, IDNO},
        {MB_YESNO | MB_DEFBUTTON2, {VK_RETURN}, IDNO},        // the second button is the default
        {MB_YESNO | MB_DEFBUTTON2, {VK_LEFT, VK_RETURN}, IDYES},
        {MB_OKCANCEL, {VK_RETURN}, IDOK},
        {MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
        {MB_OKCANCEL, {VK_RIGHT, VK_SPACE}, IDCANCEL},
        {MB_OKCANCEL, {}, IDCANCEL},
        {MB_OK | MB_ICONERROR, {VK_RETURN}, IDOK},
        {MB_OK, {VK_ESCAPE}, IDOK},
        {MB_OK, {VK_RIGHT, VK_RETURN}, IDOK},
        {MB_OK, {}, IDOK},
    };
    cScriptedDialogHost host;
    for (const CASE& c : aCase) {
        SCOPED_TRACE(testing::Message() << "type " << c.nType << ", case " << (&c - aCase));
        cMessageDlg dlg("終了しますか？\n", "終了確認", c.nType);
        host.Script([&](cDialog& d) {
            for (int nVk : c.vKeys) script::Key(d, nVk);
        });
        const int r = dlg.DoModal();
        // Closed without a button: the host's close ends it with 0, which
        // the box service turns into the cancelling answer.
        EXPECT_EQ(r == 0 ? CancelBoxAnswer(c.nType) : r, c.nAnswer);
        if (!c.vKeys.empty()) {
            EXPECT_NE(r, 0) << "no button was pressed";
        }
    }
}

TEST(MessageDlg, TheBoxGrowsWithItsTextWithinThePicture) {
    cMessageDlg one("short", "c", MB_OK);
    cMessageDlg three("a\nb\nc", "c", MB_OK);
    EXPECT_GT(three.m_nHeight, one.m_nHeight);
    // 60 half-width characters are 480 pixels: wider than the smallest box.
    cMessageDlg wide(std::string(60, 'x').c_str(), "c", MB_OK);
    EXPECT_GT(wide.m_nWidth, one.m_nWidth);
    // Whatever the text, the box stays inside the 640 x 480 picture.
    cMessageDlg huge(std::string(1023, 'x').c_str(), "c", MB_OK);
    EXPECT_LE(huge.m_nWidth, 640);
    EXPECT_LE(huge.m_nHeight, 480);
}

}  // namespace
