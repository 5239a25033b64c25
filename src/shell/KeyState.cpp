#include "shell/KeyState.h"

#include <SDL2/SDL_scancode.h>

#include <atomic>
#include <mutex>

namespace {

std::atomic<uint8_t> abKeyDown[256];

struct SCANCODEVK {
    int nScancode;
    int nVk;
};

// Keys outside the letter, digit, function-key and keypad-digit runs.
const SCANCODEVK aScancodeVk[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB}, {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_MINUS, 0xBD}, {SDL_SCANCODE_EQUALS, 0xBB}, {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD}, {SDL_SCANCODE_BACKSLASH, 0xDC}, {SDL_SCANCODE_NONUSHASH, 0xDC},
    {SDL_SCANCODE_SEMICOLON, 0xBA}, {SDL_SCANCODE_APOSTROPHE, 0xDE}, {SDL_SCANCODE_GRAVE, 0xC0},
    {SDL_SCANCODE_COMMA, 0xBC}, {SDL_SCANCODE_PERIOD, 0xBE}, {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_CAPSLOCK, 0x14}, {SDL_SCANCODE_PRINTSCREEN, 0x2C}, {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_PAUSE, 0x13}, {SDL_SCANCODE_INSERT, 0x2D}, {SDL_SCANCODE_HOME, 0x24},
    {SDL_SCANCODE_PAGEUP, 0x21}, {SDL_SCANCODE_DELETE, VK_DELETE}, {SDL_SCANCODE_END, 0x23},
    {SDL_SCANCODE_PAGEDOWN, 0x22}, {SDL_SCANCODE_RIGHT, VK_RIGHT}, {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_DOWN, VK_DOWN}, {SDL_SCANCODE_UP, VK_UP}, {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F}, {SDL_SCANCODE_KP_MULTIPLY, 0x6A}, {SDL_SCANCODE_KP_MINUS, 0x6D},
    {SDL_SCANCODE_KP_PLUS, 0x6B}, {SDL_SCANCODE_KP_ENTER, VK_RETURN}, {SDL_SCANCODE_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_DECIMAL, 0x6E}, {SDL_SCANCODE_KP_COMMA, 0x6C},
    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2}, {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_LCTRL, VK_LCONTROL}, {SDL_SCANCODE_LSHIFT, VK_LSHIFT}, {SDL_SCANCODE_LALT, VK_LMENU},
    {SDL_SCANCODE_LGUI, 0x5B}, {SDL_SCANCODE_RCTRL, VK_RCONTROL}, {SDL_SCANCODE_RSHIFT, VK_RSHIFT},
    {SDL_SCANCODE_RALT, VK_RMENU}, {SDL_SCANCODE_RGUI, 0x5C},
    // Japanese keyboards: ro, yen, katakana/hiragana, henkan, muhenkan.
    {SDL_SCANCODE_INTERNATIONAL1, 0xE2}, {SDL_SCANCODE_INTERNATIONAL3, 0xDC},
    {SDL_SCANCODE_INTERNATIONAL2, 0xF2}, {SDL_SCANCODE_INTERNATIONAL4, 0x1C},
    {SDL_SCANCODE_INTERNATIONAL5, 0x1D}, {SDL_SCANCODE_LANG1, 0x15}, {SDL_SCANCODE_LANG2, 0x19},
    {SDL_SCANCODE_LANG3, 0xF1}, {SDL_SCANCODE_LANG4, 0xF2}, {SDL_SCANCODE_LANG5, 0xF3},
};

std::mutex mtxJoy;
JOYINFO aJoyInfo[MAX_JOYSTICK];
bool abJoyPresent[MAX_JOYSTICK];

}  // namespace

int VirtualKeyFromScancode(int nScancode) {
    if (nScancode >= SDL_SCANCODE_A && nScancode <= SDL_SCANCODE_Z) return 'A' + (nScancode - SDL_SCANCODE_A);
    if (nScancode >= SDL_SCANCODE_1 && nScancode <= SDL_SCANCODE_9) return '1' + (nScancode - SDL_SCANCODE_1);
    if (nScancode == SDL_SCANCODE_0) return '0';
    if (nScancode >= SDL_SCANCODE_F1 && nScancode <= SDL_SCANCODE_F12) return VK_F1 + (nScancode - SDL_SCANCODE_F1);
    if (nScancode >= SDL_SCANCODE_F13 && nScancode <= SDL_SCANCODE_F24) return 0x7C + (nScancode - SDL_SCANCODE_F13);
    if (nScancode >= SDL_SCANCODE_KP_1 && nScancode <= SDL_SCANCODE_KP_9) return 0x61 + (nScancode - SDL_SCANCODE_KP_1);
    if (nScancode == SDL_SCANCODE_KP_0) return 0x60;
    for (const auto& e : aScancodeVk)
        if (e.nScancode == nScancode) return e.nVk;
    return 0;
}

void SetVirtualKeyDown(int nVk, bool bDown) {
    if (nVk <= 0 || nVk > 255) return;
    abKeyDown[nVk].store(bDown ? 1 : 0, std::memory_order_relaxed);
}

bool IsVirtualKeyHeld(int nVk) {
    if (nVk <= 0 || nVk > 255) return false;
    auto held = [](int vk) { return abKeyDown[vk].load(std::memory_order_relaxed) != 0; };
    switch (nVk) {
    case VK_SHIFT: return held(VK_LSHIFT) || held(VK_RSHIFT) || held(VK_SHIFT);
    case VK_CONTROL: return held(VK_LCONTROL) || held(VK_RCONTROL) || held(VK_CONTROL);
    case VK_MENU: return held(VK_LMENU) || held(VK_RMENU) || held(VK_MENU);
    default: return held(nVk);
    }
}

void ReleaseAllKeys() {
    for (auto& k : abKeyDown) k.store(0, std::memory_order_relaxed);
}

void SetJoystickState(int n, bool bPresent, const JOYINFO& info) {
    if (n < 0 || n >= MAX_JOYSTICK) return;
    std::lock_guard<std::mutex> lock(mtxJoy);
    abJoyPresent[n] = bPresent;
    aJoyInfo[n] = bPresent ? info : JOYINFO();
}

bool GetJoystickState(int n, JOYINFO* pInfo) {
    if (n < 0 || n >= MAX_JOYSTICK) return false;
    std::lock_guard<std::mutex> lock(mtxJoy);
    if (!abJoyPresent[n]) return false;
    if (pInfo) *pInfo = aJoyInfo[n];
    return true;
}

uint32_t JoyAxisFromSDL(int nValue) {
    long long v = static_cast<long long>(nValue) + 32768;
    if (v < 0) v = 0;
    if (v > 65535) v = 65535;
    return static_cast<uint32_t>(v);
}
