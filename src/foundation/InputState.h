#pragma once
// The input state of one player, apart from the devices it is read from: four
// direction bits and eight button bits per frame, the menu key repeat, the
// one-press button latch, a history of the two words and the run lists of the
// input patterns that flow conditions test. The shell polls the devices into
// it; stage play and replays read and write it without knowing the devices.
#include <cstdint>
#include <vector>

// Bits of the direction word.
enum : int { KEYDIR_LEFT = 1, KEYDIR_RIGHT = 2, KEYDIR_UP = 4, KEYDIR_DOWN = 8 };

struct INPUTRUN {
    int16_t wValue = 0;
    int32_t nFrames = 0;
};
struct PATTERNRUN {
    int32_t bHeld = 0;
    int32_t nFrames = 0;
};

constexpr int INPUT_HISTORY = 32;
constexpr int DIR_PATTERN_COUNT = 10;
constexpr int BUTTON_PATTERN_COUNT = 9;

// The keypad code of a direction word: 5 centre, 4 left, 6 right, minus 3 up,
// plus 3 down.
int GetDirCode(int16_t wDir);

class cInputState {
public:
    cInputState();

    void SetRepeat(int nWait, int nSpan);
    void ApplyKeyRepeat();
    void LatchButtons(int nMask);
    void ClearDir();
    void ClearButton();
    void RecordHistory();
    int16_t GetHistory(int nWord, int nFramesAgo) const;
    void ClearHistory();
    void UpdatePatternRuns();
    void ClearPatternRuns();
    void Reset();

    int16_t m_wDir = 0;
    int16_t m_wButton = 0;
    int16_t m_wDirLog = 0;
    INPUTRUN m_aHistory[2][INPUT_HISTORY];
    int32_t m_anHistoryIndex[2] = {0, 0};
    std::vector<std::vector<PATTERNRUN>> m_vDirRun;
    std::vector<std::vector<PATTERNRUN>> m_vButtonRun;
    int32_t m_nDirCode = 0;
    int32_t m_nRepeatCtH = 0;
    int32_t m_nRepeatCtV = 0;
    int32_t m_nRepeatWait = 0;
    int32_t m_nRepeatSpan = 0;
    int32_t m_bButtonLock = 0;
};
