#include <gtest/gtest.h>

#include "shell/CloseDecision.h"

namespace {

struct CLOSECASE {
    CLOSESTATE s;
    bool bAsk;
    eCloseAction eAction;
    bool bSavePlacement;   // a window that started is placed again next time
};

TEST(CloseDecision, Table) {
    // kind, test play, windowed, scene, closing, pause loop, started
    const CLOSECASE cases[] = {
        {{CLOSE_USER, 0, 1, 1, 0, 0, 1}, true, CLOSE_ACTION_CLOSE, true},        // world map in a window: ask
        {{CLOSE_USER, 1, 1, 1, 0, 0, 1}, false, CLOSE_ACTION_CLOSE, true},       // test play
        {{CLOSE_USER, 0, 0, 4, 0, 0, 1}, false, CLOSE_ACTION_CLOSE, false},      // full screen
        {{CLOSE_USER, 0, 1, 0, 0, 0, 1}, false, CLOSE_ACTION_CLOSE, true},       // title
        {{CLOSE_USER, 0, 1, 4, 1, 0, 1}, false, CLOSE_ACTION_CLOSE, true},       // already confirmed
        {{CLOSE_USER, 0, 1, 4, 0, 1, 1}, true, CLOSE_ACTION_END_PAUSE, true},    // during a pause loop
        {{CLOSE_USER, 0, 1, 4, 1, 1, 1}, false, CLOSE_ACTION_END_PAUSE, true},
        {{CLOSE_USER, 0, 1, 4, 0, 0, 0}, false, CLOSE_ACTION_CLOSE, false},      // start-up not finished
        {{CLOSE_FATAL, 0, 1, 4, 0, 0, 1}, false, CLOSE_ACTION_CLOSE, true},      // fatal never asks
        // A close without question (an error, a termination signal) during a
        // wait stops the game thread at once: its quit ends the wait too.
        {{CLOSE_FATAL, 0, 1, 4, 0, 1, 1}, false, CLOSE_ACTION_CLOSE, true},
        {{CLOSE_FATAL, 0, 0, 4, 0, 0, 0}, false, CLOSE_ACTION_CLOSE, false},     // full screen, not started
    };
    for (const auto& c : cases) {
        CLOSEDECISION d = DecideClose(c.s);
        EXPECT_EQ(d.bAsk, c.bAsk) << &c - cases;
        EXPECT_EQ(d.eAction, c.eAction) << &c - cases;
        EXPECT_EQ(d.bSavePlacement, c.bSavePlacement) << &c - cases;
    }
}

}  // namespace
