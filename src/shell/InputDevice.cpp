#include "shell/InputDevice.h"

#include <climits>
#include <cstdio>
#include <cstring>


KEYCONFIG Key_Config;
cChkVector<cInputDevice> Input_List(1);

namespace {

class cDefaultInputSource : public IInputSource {
public:
    bool IsKeyHeld(int nVk) override { return IsVirtualKeyHeld(nVk); }
    bool GetJoyPos(int nJoystick, JOYINFO* pInfo) override { return GetJoystickState(nJoystick, pInfo); }
};
cDefaultInputSource DefaultInputSource;
IInputSource* lpInputSource = &DefaultInputSource;

int32_t LoadI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
int16_t LoadI16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}

}  // namespace

IInputSource& GetInputSource() { return *lpInputSource; }
void SetInputSource(IInputSource* pSource) { lpInputSource = pSource ? pSource : &DefaultInputSource; }

void SetDefaultKeyConfig(KEYCONFIG* p) {
    static const int16_t awCode[KEYBIND_COUNT] = {37, 39, 38, 40, 'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};
    for (int k = 0; k < KEYBIND_COUNT; k++) p->aKey[k] = KEYBIND{KEYBIND_KEYBOARD, awCode[k]};
    p->nKey = 12;
    p->nJoystick = 1;
    p->bUse = 0;
}

void ParseKeyConfig(const uint8_t* pData, size_t nSize, KEYCONFIG* p) {
    for (int k = 0; k < KEYBIND_COUNT; k++) {
        size_t o = 8 * static_cast<size_t>(k);
        if (o + 4 <= nSize) p->aKey[k].nDevice = LoadI32(pData + o);
        if (o + 6 <= nSize) p->aKey[k].wCode = LoadI16(pData + o + 4);
    }
    if (nSize >= 100) p->nKey = LoadI32(pData + 96);
    if (nSize >= 104) p->nJoystick = LoadI32(pData + 100);
    if (nSize >= 108) p->bUse = LoadI32(pData + 104);
    ClampKeyConfig(p);
}

void ClampKeyConfig(KEYCONFIG* p) {
    if (p->nJoystick < 0) p->nJoystick = 0;
    if (p->nJoystick > MAX_CONFIG_JOYSTICK) p->nJoystick = MAX_CONFIG_JOYSTICK;
    if (p->nKey < 0) p->nKey = 0;
    if (p->nKey > KEYBIND_COUNT) p->nKey = KEYBIND_COUNT;
    for (auto& b : p->aKey) {
        if (b.nDevice == KEYBIND_KEYBOARD) {
            if (b.wCode < 1 || b.wCode > 255) b.wCode = 0;   // never held
        } else if (b.nDevice < 0 || b.nDevice >= p->nJoystick) {
            b.nDevice = -1;                                  // no such device: never held
        }
    }
}

void cInputDevice::SetDefaultButtonMask() {
    for (int n = 0; n < 8; n++) m_awJoyButton[n] = static_cast<int16_t>(1 << n);
}

bool cInputDevice::QueryJoystick(int nJoystick, int nRetry, JOYINFO* pInfo) {
    if (!m_bJoyOk && m_nJoyRetry > 0) {
        m_nJoyRetry--;
        return false;
    }
    if (GetInputSource().GetJoyPos(nJoystick, pInfo)) {
        m_bJoyOk = 1;
        return true;
    }
    m_bJoyOk = 0;
    long long nWait = 2LL * nRetry;
    m_nJoyRetry = nWait > INT32_MAX ? INT32_MAX : (nWait < 0 ? 0 : static_cast<int32_t>(nWait));
    return false;
}

int cInputDevice::TestJoyAxis(const JOYINFO& info, int nCode) {
    switch (nCode) {
    case JOYAXIS_LEFT: return info.dwXpos <= 10000;
    case JOYAXIS_RIGHT: return info.dwXpos >= 55535;
    case JOYAXIS_UP: return info.dwYpos <= 10000;
    case JOYAXIS_DOWN: return info.dwYpos >= 55535;
    default: return 0;
    }
}

int cInputDevice::PollDefault(int nJoystick, int nSources, int nRetry) {
    if (Key_Config.bUse) return 0;
    IInputSource& src = GetInputSource();
    bool bJoyDir = false, bJoyButton = false;
    JOYINFO info;
    if ((nSources & 1) && QueryJoystick(nJoystick, nRetry, &info)) {
        m_nDirCode = 5;
        m_wDir = 0;
        if (info.dwXpos <= 10000) { m_nDirCode = 4; m_wDir |= KEYDIR_LEFT; }
        if (info.dwXpos >= 55535) { m_nDirCode = 6; m_wDir |= KEYDIR_RIGHT; }
        if (info.dwYpos <= 10000) { m_nDirCode -= 3; m_wDir |= KEYDIR_UP; }
        if (info.dwYpos >= 55535) { m_nDirCode += 3; m_wDir |= KEYDIR_DOWN; }
        int16_t wButton = 0;
        for (int n = 0; n < 8; n++)
            if (static_cast<uint16_t>(m_awJoyButton[n]) & info.dwButtons) wButton |= static_cast<int16_t>(1 << n);
        m_wButton = wButton;
        bJoyDir = m_nDirCode != 5;
        bJoyButton = wButton != 0;
    }
    if (nSources & 2) {
        if (!bJoyDir) {
            m_nDirCode = 5;
            m_wDir = 0;
            if (src.IsKeyHeld(VK_LEFT)) { m_wDir |= KEYDIR_LEFT; m_nDirCode -= 1; }
            if (src.IsKeyHeld(VK_RIGHT)) { m_wDir |= KEYDIR_RIGHT; m_nDirCode += 1; }
            if (src.IsKeyHeld(VK_UP)) { m_wDir |= KEYDIR_UP; m_nDirCode -= 3; }
            if (src.IsKeyHeld(VK_DOWN)) { m_wDir |= KEYDIR_DOWN; m_nDirCode += 3; }
        }
        if (!bJoyButton) {
            static const int anKey[8] = {'Z', 'X', 'C', 'V', 'A', 'S', 'D', 'F'};
            int16_t wButton = 0;
            for (int n = 0; n < 8; n++)
                if (src.IsKeyHeld(anKey[n])) wButton |= static_cast<int16_t>(1 << n);
            m_wButton = wButton;
        }
    }
    return 1;
}

int cInputDevice::PollConfig(int nPlayers, int nRetry) {
    (void)nPlayers;
    if (!Key_Config.bUse) return 0;
    IInputSource& src = GetInputSource();
    int nJoystick = Key_Config.nJoystick;
    if (nJoystick < 0) nJoystick = 0;
    if (nJoystick > MAX_CONFIG_JOYSTICK) nJoystick = MAX_CONFIG_JOYSTICK;
    JOYINFO aInfo[MAX_CONFIG_JOYSTICK];
    bool abOk[MAX_CONFIG_JOYSTICK] = {};
    for (int j = 0; j < nJoystick; j++) abOk[j] = QueryJoystick(j, nRetry, &aInfo[j]);

    m_nDirCode = 5;
    m_wDir = 0;
    m_wButton = 0;
    auto held = [&](int k) -> bool {
        const KEYBIND& b = Key_Config.aKey[k];
        if (b.nDevice == KEYBIND_KEYBOARD) return b.wCode >= 1 && b.wCode <= 255 && src.IsKeyHeld(b.wCode);
        if (b.nDevice >= 0 && b.nDevice < nJoystick && abOk[b.nDevice]) {
            const JOYINFO& info = aInfo[b.nDevice];
            return TestJoyAxis(info, b.wCode) || (static_cast<uint16_t>(b.wCode) & info.dwButtons) != 0;
        }
        return false;
    };
    if (held(0)) { m_wDir |= KEYDIR_LEFT; m_nDirCode -= 1; }
    else if (held(1)) { m_wDir |= KEYDIR_RIGHT; m_nDirCode += 1; }
    if (held(2)) { m_wDir |= KEYDIR_UP; m_nDirCode -= 3; }
    else if (held(3)) { m_wDir |= KEYDIR_DOWN; m_nDirCode += 3; }
    int nKey = Key_Config.nKey > KEYBIND_COUNT ? KEYBIND_COUNT : Key_Config.nKey;
    for (int k = 0; k <= nKey - 5 && k < 8; k++)
        if (held(4 + k)) m_wButton |= static_cast<int16_t>(1 << k);
    return 1;
}

