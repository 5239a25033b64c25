#pragma once
// Message boxes: OK boxes and yes/no questions with Shift-JIS texts.
//
// Every box goes through the installed service. The real service runs on the
// main thread (a box asked for on another thread is a request served by the
// main thread) and shows the box inside the game's own window through the
// handler the shell installs; before that window exists, or when it cannot
// be used, it shows an SDL message box. A box that can be shown nowhere is
// written to standard error and answered without doing anything for the
// player (CancelBoxAnswer). Headless (SDL_VIDEODRIVER=dummy or offscreen, or
// no display to open) a box is written to standard error and answered with
// its default. Tests install a scripted fake (tests/support/FakeMessageBox.h).
#include <functional>

// Box types and answers, with the values of the original platform.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Shows a box; texts are Shift-JIS. Returns IDOK, IDYES, IDNO, IDCANCEL,
    // or 0 when the box was cancelled by shutdown.
    virtual int Show(const char* pszText, const char* pszCaption, unsigned nType) = 0;
};

// The default answer of a box of that type: IDOK for OK boxes, IDYES for a
// yes/no question (IDNO when MB_DEFBUTTON2 is set), IDOK for OK/cancel.
int DefaultBoxAnswer(unsigned nType);
// The cancelling answer of a box: IDOK for an OK box, IDNO for a yes/no
// question, IDCANCEL for OK/cancel. A box closed without a button, or one
// that could not be shown although a display is there, gets it: a question
// is never answered "Yes" or "OK" for a player who did not choose so.
int CancelBoxAnswer(unsigned nType);

// Shows a box inside the game's window on the main thread: the answer, or a
// negative value when it cannot (then the SDL box is tried). The shell
// installs it; null removes it.
using WINDOWBOXFN = std::function<int(const char* pszText, const char* pszCaption, unsigned nType)>;
void SetWindowBoxHandler(WINDOWBOXFN fn);

IMessageBoxService& GetMessageBoxService();

// True when boxes cannot be shown on a display (see above).
bool IsHeadlessDisplay();

// The window that owns the boxes (null: none). Set by the shell.
struct SDL_Window;
void SetMessageBoxParent(SDL_Window* pWindow);
// Installs a service (null restores the default one).
void SetMessageBoxService(IMessageBoxService* pService);
