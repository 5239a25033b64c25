#include <gtest/gtest.h>

#include "shell/CloseDecision.h"

namespace {

struct CLOSECASE {
    CLOSESTATE s;
    bool bAsk;
    eCloseAction eAction;
};

TEST(CloseDecision, Table) {
    // kind, test play, windowed, scene, closing, pause loop, started
    const CLOSECASE cases[] = {
        {{CLOSE_USER, 0, 1, 1, 0, 0, 1}, true, CLOSE_ACTION_CLOSE},        // world map in a window: ask
        {{CLOSE_USER, 1, 1, 1, 0, 0, 1}, false, CLOSE_ACTION_CLOSE},       // test play
        {{CLOSE_USER, 0, 0, 4, 0, 0, 1}, false, CLOSE_ACTION_CLOSE},       // full screen
        {{CLOSE_USER, 0, 1, 0, 0, 0, 1}, false, CLOSE_ACTION_CLOSE},       // title
        {{CLOSE_USER, 0, 1, 4, 1, 0, 1}, false, CLOSE_ACTION_CLOSE},       // already confirmed
        {{CLOSE_USER, 0, 1, 4, 0, 1, 1}, true, CLOSE_ACTION_END_PAUSE},    // during a pause loop
        {{CLOSE_USER, 0, 1, 4, 1, 1, 1}, false, CLOSE_ACTION_END_PAUSE},
        {{CLOSE_USER, 0, 1, 4, 0, 0, 0}, false, CLOSE_ACTION_CLOSE},       // start-up not finished
        {{CLOSE_FATAL, 0, 1, 4, 0, 0, 1}, false, CLOSE_ACTION_CLOSE},      // fatal never asks
        {{CLOSE_FATAL, 0, 1, 4, 0, 1, 1}, false, CLOSE_ACTION_END_PAUSE},
    };
    for (const auto& c : cases) {
        CLOSEDECISION d = DecideClose(c.s);
        EXPECT_EQ(d.bAsk, c.bAsk) << &c - cases;
        EXPECT_EQ(d.eAction, c.eAction) << &c - cases;
        EXPECT_EQ(d.bSavePlacement, c.s.bWindowed && c.s.bStarted) << &c - cases;
    }
}

}  // namespace
