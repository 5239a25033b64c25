#include "foundation/InputState.h"

#include <climits>

namespace {

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

int GetDirCode(int16_t wDir) {
    int nCode = 5;
    if (wDir & KEYDIR_LEFT) nCode = 4;
    else if (wDir & KEYDIR_RIGHT) nCode = 6;
    if (wDir & KEYDIR_UP) nCode -= 3;
    else if (wDir & KEYDIR_DOWN) nCode += 3;
    return nCode;
}

cInputState::cInputState() {
    ClearPatternRuns();
}

void cInputState::SetRepeat(int nWait, int nSpan) {
    m_nRepeatWait = nWait;
    m_nRepeatSpan = nSpan < 1 ? 1 : nSpan;
}

void cInputState::ApplyKeyRepeat() {
    int nPrev = m_wDirLog & 15;   // becomes bits 4..7 after the shift
    m_wDirLog = static_cast<int16_t>(((m_wDirLog << 4) | (m_wDir & 15)) & 0xFFFF);
    int nCur = m_wDir & 15;
    struct AXIS { int nMask; int32_t* pCount; };
    AXIS aAxis[2] = {{KEYDIR_LEFT | KEYDIR_RIGHT, &m_nRepeatCtH}, {KEYDIR_UP | KEYDIR_DOWN, &m_nRepeatCtV}};
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

void cInputState::LatchButtons(int nMask) {
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

void cInputState::ClearDir() {
    m_wDir = 0;
    m_nDirCode = 5;
}

void cInputState::ClearButton() { m_wButton = 0; }

void cInputState::RecordHistory() {
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

int16_t cInputState::GetHistory(int nWord, int nFramesAgo) const {
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

void cInputState::ClearHistory() {
    for (auto& ring : m_aHistory)
        for (auto& r : ring) r = INPUTRUN();
    m_anHistoryIndex[0] = m_anHistoryIndex[1] = 0;
}

void cInputState::UpdatePatternRuns() {
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

void cInputState::ClearPatternRuns() {
    m_vDirRun.assign(DIR_PATTERN_COUNT, std::vector<PATTERNRUN>(INPUT_HISTORY));
    m_vButtonRun.assign(BUTTON_PATTERN_COUNT, std::vector<PATTERNRUN>(INPUT_HISTORY));
}

void cInputState::Reset() {
    ClearHistory();
    ClearPatternRuns();
    ClearDir();
    ClearButton();
}
