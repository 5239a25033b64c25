#pragma once
// One player's input: four direction bits and eight button bits per frame,
// from the keyboard and joysticks, with the menu key repeat, the one-press
// button latch, a history of the two words and the run lists of the input
// patterns that flow conditions test.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/ChkContainers.h"
#include "foundation/InputState.h"
#include "shell/KeyState.h"

constexpr int KEYCONFIG_FILE_SIZE = 108;
constexpr int KEYBIND_KEYBOARD = 8;
constexpr int KEYBIND_COUNT = 12;
constexpr int MAX_CONFIG_JOYSTICK = 16;

struct KEYBIND {
    int32_t nDevice = 0;   // a joystick number, or 8 for the keyboard
    int16_t wCode = 0;     // a virtual-key code, or a joystick axis code / button mask
};

struct KEYCONFIG {
    KEYBIND aKey[KEYBIND_COUNT];   // left, right, up, down, buttons 1..8
    int32_t nKey = 0;
    int32_t nJoystick = 0;
    int32_t bUse = 0;
};

extern KEYCONFIG Key_Config;

// Where the poll functions read the devices. The default reads the key and
// joystick state of KeyState.h; tests install their own.
class IInputSource {
public:
    virtual ~IInputSource() = default;
    virtual bool IsKeyHeld(int nVk) = 0;
    virtual bool GetJoyPos(int nJoystick, JOYINFO* pInfo) = 0;
};
IInputSource& GetInputSource();
void SetInputSource(IInputSource* pSource);   // null restores the default

void SetDefaultKeyConfig(KEYCONFIG* p);
// Fills the record from the bytes of a key file, field by field at their
// offsets; a short file fills only the fields it holds whole. The values are
// then made safe (ClampKeyConfig).
void ParseKeyConfig(const uint8_t* pData, size_t nSize, KEYCONFIG* p);
// Bounds the values of a record read from a file: nJoystick 0..16, nKey
// 0..12, keyboard codes 1..255 (others leave the binding unheld).
void ClampKeyConfig(KEYCONFIG* p);
// 1 when the file was opened (and parsed), 0 otherwise.
int ReadKeyConfig(const char* path, KEYCONFIG* p);

// The joystick axis codes of a binding.
enum : int { JOYAXIS_LEFT = 256, JOYAXIS_RIGHT = 512, JOYAXIS_UP = 1024, JOYAXIS_DOWN = 2048 };

class cInputDevice : public cInputState {
public:
    void SetDefaultButtonMask();
    int PollDefault(int nJoystick, int nSources, int nRetry);
    int PollConfig(int nPlayers, int nRetry);
    static int TestJoyAxis(const JOYINFO& info, int nCode);

    int16_t m_awJoyButton[8] = {};
    int32_t m_bJoyOk = 0;
    int32_t m_nJoyRetry = 0;

private:
    bool QueryJoystick(int nJoystick, int nRetry, JOYINFO* pInfo);
};

// The one input device of the program.
extern cChkVector<cInputDevice> Input_List;
