#include "shell/InputEvents.h"

#include <SDL2/SDL.h>

#include <vector>

#include "shell/KeyState.h"

namespace {

std::vector<SDL_Joystick*> vJoystick;   // index = the game's joystick number
bool bComposing = false;

void Snapshot(int n) {
    if (n < 0 || n >= static_cast<int>(vJoystick.size()) || n >= MAX_JOYSTICK) return;
    SDL_Joystick* j = vJoystick[n];
    if (!j || !SDL_JoystickGetAttached(j)) {
        SetJoystickState(n, false, JOYINFO());
        return;
    }
    JOYINFO info;
    info.dwXpos = SDL_JoystickNumAxes(j) > 0 ? JoyAxisFromSDL(SDL_JoystickGetAxis(j, 0)) : 32767;
    info.dwYpos = SDL_JoystickNumAxes(j) > 1 ? JoyAxisFromSDL(SDL_JoystickGetAxis(j, 1)) : 32767;
    uint32_t dwButtons = 0;
    int nButtons = SDL_JoystickNumButtons(j);
    for (int b = 0; b < nButtons && b < 32; b++)
        if (SDL_JoystickGetButton(j, b)) dwButtons |= 1u << b;
    // A hat counts as the first two axes when the stick is centred.
    if (SDL_JoystickNumHats(j) > 0 && info.dwXpos == 32767 && info.dwYpos == 32767) {
        Uint8 h = SDL_JoystickGetHat(j, 0);
        if (h & SDL_HAT_LEFT) info.dwXpos = 0;
        if (h & SDL_HAT_RIGHT) info.dwXpos = 65535;
        if (h & SDL_HAT_UP) info.dwYpos = 0;
        if (h & SDL_HAT_DOWN) info.dwYpos = 65535;
    }
    info.dwButtons = dwButtons;
    SetJoystickState(n, true, info);
}

int IndexOf(SDL_JoystickID id) {
    for (size_t i = 0; i < vJoystick.size(); i++)
        if (vJoystick[i] && SDL_JoystickInstanceID(vJoystick[i]) == id) return static_cast<int>(i);
    return -1;
}

void Open(int nDevice) {
    SDL_Joystick* j = SDL_JoystickOpen(nDevice);
    if (!j) return;
    if (IndexOf(SDL_JoystickInstanceID(j)) >= 0) return;
    for (size_t i = 0; i < vJoystick.size(); i++) {
        if (!vJoystick[i]) {
            vJoystick[i] = j;
            Snapshot(static_cast<int>(i));
            return;
        }
    }
    vJoystick.push_back(j);
    Snapshot(static_cast<int>(vJoystick.size()) - 1);
}

}  // namespace

void OpenJoysticks() {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK)) return;
    for (int i = 0; i < SDL_NumJoysticks(); i++) Open(i);
}

void CloseJoysticks() {
    for (size_t i = 0; i < vJoystick.size(); i++) {
        if (vJoystick[i]) SDL_JoystickClose(vJoystick[i]);
        SetJoystickState(static_cast<int>(i), false, JOYINFO());
    }
    vJoystick.clear();
}

bool IsTextComposing() { return bComposing; }

void ProcessInputEvent(const SDL_Event& ev) {
    switch (ev.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        SetVirtualKeyDown(VirtualKeyFromScancode(ev.key.keysym.scancode), ev.type == SDL_KEYDOWN);
        break;
    case SDL_TEXTEDITING:
        bComposing = ev.edit.text[0] != 0;
        break;
    case SDL_TEXTINPUT:
        bComposing = false;
        break;
    case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
        break;
    case SDL_JOYDEVICEADDED:
        Open(ev.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED: {
        int n = IndexOf(ev.jdevice.which);
        if (n >= 0) {
            SDL_JoystickClose(vJoystick[n]);
            vJoystick[n] = nullptr;
            SetJoystickState(n, false, JOYINFO());
        }
        break;
    }
    case SDL_JOYAXISMOTION:
        Snapshot(IndexOf(ev.jaxis.which));
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        Snapshot(IndexOf(ev.jbutton.which));
        break;
    case SDL_JOYHATMOTION:
        Snapshot(IndexOf(ev.jhat.which));
        break;
    default:
        break;
    }
}
