#pragma once
// The game's main window and the main (window) thread's loop: SDL events,
// the game thread's requests, close handling with the quit question.
#include <cstdint>

#include "platform/CloseRequest.h"
#include "shell/Window.h"

union SDL_Event;

class cMainWindow : public cWindow {
public:
    ~cMainWindow() override;
    // Creates the window (hidden) at (100, 100) with a 640x480 client area,
    // then centres it. false when it cannot be created.
    bool Create();
    void Destroy();
    // One SDL event of this window.
    void HandleEvent(const SDL_Event& ev);
    // A close request: the quit question when it is due, the window
    // placement, then either the end of a stage-play wait loop or the end of
    // the game threads and the window. true when the window is gone.
    bool HandleClose(eCloseKind eKind);
    virtual void OnCreate(uintptr_t, intptr_t) {}

    bool IsMinimized() const;
    bool IsMaximized() const;
};

extern cMainWindow Wnd_Main;

// The yes/no quit question; 1 when the player confirmed.
int ConfirmQuit(int bEnglishText);

// Runs the main loop until the window is gone. nCloseAfterFrames > 0 asks for
// a close once the game thread has run that many frames (for unattended runs).
void RunMainLoop();

// The game thread's routine.
unsigned GameLoop(void* pArg);
// Frames the game thread has shown, those of the stage-play waits included.
uint32_t GetFrameCount();
// Counts one shown frame; asks for the close of an unattended run once its
// frame count is reached. The frames shown so far.
uint32_t CountShownFrame();
// Milliseconds since the close that is carried out was taken (0 before; a
// close the player declined does not count).
uint32_t GetMsSinceCloseTaken();
void SetCloseAfterFrames(uint32_t n);

// The music stop of the close handling (the sound layer installs it).
void SetCloseMusicStop(void (*pfn)());
