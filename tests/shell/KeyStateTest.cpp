#include <gtest/gtest.h>

#include <SDL2/SDL_scancode.h>

#include <thread>

#include "shell/KeyState.h"

TEST(KeyState, ScancodesMapToVirtualKeys) {
    struct CASE {
        int nScancode, nVk;
    };
    const CASE cases[] = {
        {SDL_SCANCODE_A, 'A'},          {SDL_SCANCODE_Z, 'Z'},           {SDL_SCANCODE_0, '0'},
        {SDL_SCANCODE_9, '9'},          {SDL_SCANCODE_F1, 0x70},         {SDL_SCANCODE_F12, 0x7B},
        {SDL_SCANCODE_F24, 0x87},       {SDL_SCANCODE_LEFT, VK_LEFT},    {SDL_SCANCODE_DOWN, VK_DOWN},
        {SDL_SCANCODE_LSHIFT, 0xA0},    {SDL_SCANCODE_RCTRL, 0xA3},      {SDL_SCANCODE_RALT, 0xA5},
        {SDL_SCANCODE_KP_0, 0x60},      {SDL_SCANCODE_KP_9, 0x69},       {SDL_SCANCODE_KP_ENTER, VK_RETURN},
        {SDL_SCANCODE_SEMICOLON, 0xBA}, {SDL_SCANCODE_INTERNATIONAL3, 0xDC}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
        {SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(VirtualKeyFromScancode(c.nScancode), c.nVk) << c.nScancode;
}

TEST(KeyState, EitherSideKeysAndOtherThreads) {
    ReleaseAllKeys();
    SetVirtualKeyDown(VK_RSHIFT, true);
    bool bSeen = false;
    std::thread t([&] { bSeen = IsVirtualKeyHeld(VK_SHIFT) && IsVirtualKeyHeld(VK_RSHIFT) && !IsVirtualKeyHeld(VK_LSHIFT); });
    t.join();
    EXPECT_TRUE(bSeen);
    ReleaseAllKeys();
    EXPECT_FALSE(IsVirtualKeyHeld(VK_SHIFT));
    SetVirtualKeyDown(300, true);   // out of range: ignored
    EXPECT_FALSE(IsVirtualKeyHeld(300));
}

TEST(KeyState, JoystickAxesAndSnapshots) {
    EXPECT_EQ(JoyAxisFromSDL(-32768), 0u);
    EXPECT_EQ(JoyAxisFromSDL(32767), 65535u);
    EXPECT_EQ(JoyAxisFromSDL(0), 32768u);
    JOYINFO in;
    in.dwXpos = 5;
    in.dwButtons = 3;
    SetJoystickState(2, true, in);
    JOYINFO out;
    EXPECT_TRUE(GetJoystickState(2, &out));
    EXPECT_EQ(out.dwXpos, 5u);
    SetJoystickState(2, false, in);
    EXPECT_FALSE(GetJoystickState(2, &out));
    EXPECT_FALSE(GetJoystickState(MAX_JOYSTICK, &out));
    EXPECT_FALSE(GetJoystickState(-1, &out));
}
