#pragma once
// Keeps the key and joystick state of KeyState.h from SDL events (main
// thread). Every event loop of the main thread passes its events here.
union SDL_Event;

void ProcessInputEvent(const SDL_Event& ev);
// Opens the joysticks present at start (after SDL's joystick subsystem is up).
void OpenJoysticks();
void CloseJoysticks();
// True while an input-method composition is open (text being edited).
bool IsTextComposing();
