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

int32_t AddFrame(int32_t n) { return n < INT32_MAX ? n + 1 : n; }

// The exact direction words of patterns 0..8; pattern 9 is "any direction".
const int16_t awDirPattern[DIR_PATTERN_COUNT - 1] = {0, 1, 2, 4, 8, 5, 9, 6, 10};

void PushRun(std::vector<PATTERNRUN>& v, bool bHeld) {
    if (v.empty()) v.resize(INPUT_HISTORY);
    if ((v[0].bHeld != 0) != bHeld) {
        v.pop_back();
        v.insert(v.begin(), PATTERNRUN{bHeld ? 1 : 0, 1});
    } else {
        v[0].nFrames = AddFrame(v[0].nFrames);
    }
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

int GetDirCode(int16_t wDir) {
    int nCode = 5;
    if (wDir & DIR_LEFT) nCode = 4;
    else if (wDir & DIR_RIGHT) nCode = 6;
    if (wDir & DIR_UP) nCode -= 3;
    else if (wDir & DIR_DOWN) nCode += 3;
    return nCode;
}

cInputDevice::cInputDevice() {
    ClearPatternRuns();
}

void cInputDevice::SetDefaultButtonMask() {
    for (int n = 0; n < 8; n++) m_awJoyButton[n] = static_cast<int16_t>(1 << n);
}

void cInputDevice::SetRepeat(int nWait, int nSpan) {
    m_nRepeatWait = nWait;
    m_nRepeatSpan = nSpan < 1 ? 1 : nSpan;
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
        if (info.dwXpos <= 10000) { m_nDirCode = 4; m_wDir |= DIR_LEFT; }
        if (info.dwXpos >= 55535) { m_nDirCode = 6; m_wDir |= DIR_RIGHT; }
        if (info.dwYpos <= 10000) { m_nDirCode -= 3; m_wDir |= DIR_UP; }
        if (info.dwYpos >= 55535) { m_nDirCode += 3; m_wDir |= DIR_DOWN; }
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
            if (src.IsKeyHeld(VK_LEFT)) { m_wDir |= DIR_LEFT; m_nDirCode -= 1; }
            if (src.IsKeyHeld(VK_RIGHT)) { m_wDir |= DIR_RIGHT; m_nDirCode += 1; }
            if (src.IsKeyHeld(VK_UP)) { m_wDir |= DIR_UP; m_nDirCode -= 3; }
            if (src.IsKeyHeld(VK_DOWN)) { m_wDir |= DIR_DOWN; m_nDirCode += 3; }
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
    if (held(0)) { m_wDir |= DIR_LEFT; m_nDirCode -= 1; }
    else if (held(1)) { m_wDir |= DIR_RIGHT; m_nDirCode += 1; }
    if (held(2)) { m_wDir |= DIR_UP; m_nDirCode -= 3; }
    else if (held(3)) { m_wDir |= DIR_DOWN; m_nDirCode += 3; }
    int nKey = Key_Config.nKey > KEYBIND_COUNT ? KEYBIND_COUNT : Key_Config.nKey;
    for (int k = 0; k <= nKey - 5 && k < 8; k++)
        if (held(4 + k)) m_wButton |= static_cast<int16_t>(1 << k);
    return 1;
}

void cInputDevice::ApplyKeyRepeat() {
    int nPrev = m_wDirLog & 15;   // becomes bits 4..7 after the shift
    m_wDirLog = static_cast<int16_t>(((m_wDirLog << 4) | (m_wDir & 15)) & 0xFFFF);
    int nCur = m_wDir & 15;
    struct AXIS { int nMask; int32_t* pCount; };
    AXIS aAxis[2] = {{DIR_LEFT | DIR_RIGHT, &m_nRepeatCtH}, {DIR_UP | DIR_DOWN, &m_nRepeatCtV}};
    for (auto& a : aAxis) {
        if ((nCur & a.nMask) == (nPrev & a.nMask)) {
            if (*a.pCount < INT32_MAX) (*a.pCount)++;
            int nSpan = m_nRepeatSpan < 1 ? 1 : m_nRepeatSpan;
            bool bPass = *a.pCount >= m_nRepeatWait && *a.pCount % nSpan == 0;
            if (!bPass) m_wDir = static_cast<int16_t>(m_wDir & ~a.nMask);
        } else {
            *a.pCount = 0;
        }
    }
}

void cInputDevice::LatchButtons(int nMask) {
    if (nMask == 0) nMask = 0xFF;
    int nRaw = m_wButton;
    for (int n = 0; n < 8; n++) {
        int nBit = 1 << n;
        if (!(nMask & nBit)) continue;
        if (m_bButtonLock && (m_wButton & nBit)) m_wButton = static_cast<int16_t>(m_wButton & ~nBit);
        if (m_wButton & nBit) {
            m_bButtonLock = 1;
            return;
        }
    }
    if (!(nRaw & nMask)) m_bButtonLock = 0;
    else m_wButton = static_cast<int16_t>(m_wButton & ~nMask);
}

void cInputDevice::ClearDir() {
    m_wDir = 0;
    m_nDirCode = 5;
}

void cInputDevice::ClearButton() { m_wButton = 0; }

void cInputDevice::RecordHistory() {
    int16_t aw[2] = {m_wDir, m_wButton};
    for (int w = 0; w < 2; w++) {
        INPUTRUN& cur = m_aHistory[w][m_anHistoryIndex[w] & 31];
        if (cur.wValue == aw[w]) {
            cur.nFrames = AddFrame(cur.nFrames);
        } else {
            m_anHistoryIndex[w] = (m_anHistoryIndex[w] + 1) & 31;
            m_aHistory[w][m_anHistoryIndex[w]] = INPUTRUN{aw[w], 1};
        }
    }
}

int16_t cInputDevice::GetHistory(int nWord, int nFramesAgo) const {
    int w = nWord ? 1 : 0;
    int nIndex = m_anHistoryIndex[w] & 31;
    long long k = static_cast<long long>(nFramesAgo) + 1;
    for (int i = 0; i < INPUT_HISTORY; i++) {
        const INPUTRUN& r = m_aHistory[w][nIndex];
        if (k > r.nFrames) {
            k -= r.nFrames;
            nIndex = (nIndex - 1) & 31;
        } else {
            break;
        }
    }
    return m_aHistory[w][nIndex].wValue;
}

void cInputDevice::ClearHistory() {
    for (auto& ring : m_aHistory)
        for (auto& r : ring) r = INPUTRUN();
    m_anHistoryIndex[0] = m_anHistoryIndex[1] = 0;
}

void cInputDevice::UpdatePatternRuns() {
    if (m_vDirRun.size() != DIR_PATTERN_COUNT || m_vButtonRun.size() != BUTTON_PATTERN_COUNT) ClearPatternRuns();
    for (int p = 0; p < DIR_PATTERN_COUNT; p++) {
        bool bHeld = p < DIR_PATTERN_COUNT - 1 ? m_wDir == awDirPattern[p] : (m_wDir & 15) != 0;
        PushRun(m_vDirRun[p], bHeld);
    }
    for (int p = 0; p < BUTTON_PATTERN_COUNT; p++) {
        bool bHeld = p == 0 ? m_wButton == 0 : (m_wButton & (1 << (p - 1))) != 0;
        PushRun(m_vButtonRun[p], bHeld);
    }
}

void cInputDevice::ClearPatternRuns() {
    m_vDirRun.assign(DIR_PATTERN_COUNT, std::vector<PATTERNRUN>(INPUT_HISTORY));
    m_vButtonRun.assign(BUTTON_PATTERN_COUNT, std::vector<PATTERNRUN>(INPUT_HISTORY));
}

void cInputDevice::Reset() {
    ClearHistory();
    ClearPatternRuns();
    ClearDir();
    ClearButton();
}
