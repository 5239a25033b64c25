#pragma once
// The limit pass of a bound edit field, over Shift-JIS bytes: after each
// change of the text, lines longer than the limit are broken, a text with
// too many lines is refused, and the caret never rests inside a line break.
#include <string>

struct EDITLIMIT {
    int nSize = 4096;        // buffer size in characters, terminator included
    int nMaxPerLine = 1024;  // characters (or bytes) in one line
    int nMaxLines = 32;
    int bCountChar = 0;      // lengths in characters (a double-byte character once, "\n" not at all)
};

struct EDITSTATE {
    std::string strText;
    int nSelStart = 0;
    int nSelEnd = 0;
};

// The bytes a read of the field returns: 2·size − 1 bytes of buffer when
// counting characters, else size; the text is cut to the buffer less its
// terminator without splitting a double-byte character.
std::string ReadEditBuffer(const EDITLIMIT& lim, const std::string& strShown);

// One pass. strPrev is the last accepted text; cur holds the field's text
// (as read) and selection; bBackspace tells whether Backspace is down;
// bBinding is set for the pass that runs when the field is bound. Returns
// the text to show and its selection (during binding the selection is not
// changed by the caller).
EDITSTATE EditLimitPass(const EDITLIMIT& lim, const std::string& strPrev, const EDITSTATE& cur, bool bBackspace,
                        bool bBinding);

// Lines of a text: 0 when empty, else 1 + the number of "\n".
int CountEditLines(const std::string& s);
