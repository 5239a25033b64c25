#pragma once
// A play host whose frames of a blocking wait follow a script of button
// words; it counts the frames and can refuse one (the program closing).
#include <cstdint>
#include <vector>

#include "foundation/InputState.h"
#include "play/PlayHarness.h"

class cWaitHost : public cRecordingPlayHost {
public:
    explicit cWaitHost(cInputState& in) : m_in(in) {}
    int WaitFrame() override {
        nFrames++;
        if (nCloseAt && nFrames >= nCloseAt) return 0;
        const size_t i = static_cast<size_t>(nFrames - 1);
        m_in.m_wButton = i < vecButtons.size() ? vecButtons[i] : 0;
        return 1;
    }
    std::vector<int16_t> vecButtons;
    int nFrames = 0;
    int nCloseAt = 0;

private:
    cInputState& m_in;
};
