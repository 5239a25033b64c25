#pragma once
// The dialog host of the game: a modal dialog is drawn with Dear ImGui inside
// the game window, over the last presented frame, on the main thread. The
// window is the presenter's (or the main window, to which the presenter is
// then attached, as before the display is set up). The picture keeps its
// 640x480 proportion; in full screen the dialog is scaled with it.
#include <functional>
#include <string>

#include "shell/Dialog.h"

struct SDL_Renderer;

IDialogHost& GetDialogOverlayHost();

// Called once per frame of a running dialog, after the frame is rendered and
// before it is presented (tests read the pixels and push input events here).
using DIALOGFRAMEHOOK = std::function<void(cDialog& dlg, int nFrame, SDL_Renderer* lpRenderer)>;
void SetDialogOverlayFrameHook(DIALOGFRAMEHOOK fn);

// The input method's composition while one is open (UTF-8), for showing it
// beside the field it goes to.
const std::string& GetDialogComposition();

// The picture's place in an output of w x h: the largest 4:3 rectangle,
// centred. Scale is output pixels per client pixel.
struct CLIENTVIEW {
    float fX = 0, fY = 0, fScale = 1;
};
CLIENTVIEW GetClientView(int nOutW, int nOutH);
