#pragma once
// Message boxes: OK boxes and yes/no questions with Shift-JIS texts.
//
// Every box goes through the installed service. The real service shows an
// SDL message box on the main thread (a box asked for on another thread is a
// request served by the main thread). Headless (SDL_VIDEODRIVER=dummy or
// offscreen, no display to open, or a box asked for on another thread while
// no main loop serves requests) a box is logged to standard error and
// answered with its default; so is a box SDL fails to show. Tests install a
// scripted fake (tests/support/FakeMessageBox.h).

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

IMessageBoxService& GetMessageBoxService();

// True when boxes cannot be shown on a display (see above).
bool IsHeadlessDisplay();

// The window that owns the boxes (null: none). Set by the shell.
struct SDL_Window;
void SetMessageBoxParent(SDL_Window* pWindow);
// Installs a service (null restores the default one).
void SetMessageBoxService(IMessageBoxService* pService);
