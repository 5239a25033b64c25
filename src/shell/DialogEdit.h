#pragma once
// Typing into a bound edit field of a game dialog. The dialog's drawing and
// the tests' scripted input both hand the field's new text here.
#include <string>

#include "shell/Dialog.h"

// The field's whole new text (UTF-8, as typed) with the caret after
// nCaretChars characters. A text with a character that has no Shift-JIS
// (CP932) form is refused and the field keeps its text: 0. Otherwise the
// text becomes the field's, the limit pass runs through the dialog's
// EN_UPDATE routing, and 1 is returned.
int ApplyEditText(cCtrlEdit& edit, const std::string& strUtf8, int nCaretChars);

// What the field shows, as UTF-8 without the "\r" of its line breaks, and the
// caret as a character index into that text.
std::string EditDisplayText(const cCtrlEdit& edit);
int EditDisplayCaret(const cCtrlEdit& edit);

// Draws the field (ImGui, in the dialog's frame). bFocus gives it the
// keyboard with its whole text selected; nWidth is its width in client
// pixels (0: the rest of the line).
void DrawDialogEdit(cCtrlEdit& edit, bool bFocus, float fWidth);
