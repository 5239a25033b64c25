#pragma once
// The keyboard and joystick state that the game reads, kept by the main
// thread from SDL events and readable from any thread.
//
// Keys are named by Windows virtual-key codes, the codes the key
// configuration file stores. The "either side" codes of Shift, Ctrl and Alt
// (0x10, 0x11, 0x12) are held when either of their left/right keys is.
#include <cstdint>

enum : int {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
    VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F8 = 0x77,
    VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5,
};

// The virtual-key code of an SDL scancode; 0 when the key has none.
int VirtualKeyFromScancode(int nScancode);

// Key state. Set by the main thread from key events; read anywhere.
void SetVirtualKeyDown(int nVk, bool bDown);
bool IsVirtualKeyHeld(int nVk);
void ReleaseAllKeys();

// One joystick as the game reads it: axes 0..65535 (centre 32767), button
// bits (bit n-1 for button n).
struct JOYINFO {
    uint32_t dwXpos = 32767;
    uint32_t dwYpos = 32767;
    uint32_t dwButtons = 0;
};
constexpr int MAX_JOYSTICK = 16;

// Joystick snapshots, written by the main thread (index = order in which the
// joysticks were opened), read anywhere. false when joystick n is missing.
void SetJoystickState(int n, bool bPresent, const JOYINFO& info);
bool GetJoystickState(int n, JOYINFO* pInfo);

// An SDL axis value (-32768..32767) as the game's 0..65535.
uint32_t JoyAxisFromSDL(int nValue);
