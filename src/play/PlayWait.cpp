#include "play/PlayWait.h"

#include <vector>

#include "foundation/GameThreads.h"
#include "foundation/InputState.h"
#include "graphics/DD.h"
#include "play/PlayDraw.h"
#include "play/PlayScene.h"
#include "project/GameState.h"
#include "project/Progress.h"
#include "project/RankingDraw.h"
#include "project/SystemData.h"

namespace {

constexpr int WAIT_FIRST_FRAMES = 10;
constexpr int SYSSOUND_OK = 1, SYSSOUND_MESSAGE = 12, SYSSOUND_SELECT = 6;
constexpr int BUTTON_1 = 1, BUTTON_4 = 8;
constexpr int RANKING_X = 184, RANKING_Y = 64;

cInputState& WaitInput() {
    cPlayContext& ctx = PlayCtx();
    return ctx.lpInput ? *ctx.lpInput : ctx.Input;
}

bool Closing(cPlayScene& s) { return s.m_bClosing || PlayHost().IsClosing(); }

// While a wait runs, a close asked on the window ends the wait first; the
// play then asks again and that close goes through. Announced for the
// loop's lifetime, and withdrawn before the close is asked again.
class cWaitAnnounce {
public:
    cWaitAnnounce() { SetPauseLoopRunning(true); }
    ~cWaitAnnounce() { Withdraw(); }
    void Withdraw() {
        if (m_bOn) SetPauseLoopRunning(false);
        m_bOn = false;
    }

private:
    bool m_bOn = true;
};

// The end of a wait that a close request cut short.
int GiveUp(cPlayScene& s) {
    s.m_bClosing = 1;
    PlayHost().RequestClose();
    return 0;
}

}  // namespace

void SetWait(cPlayScene& s, int nKind, int bButton, int nFrames, int bNoDelay) {
    s.m_Wait.nKind = nKind;
    s.m_Wait.bButton = bButton;
    s.m_Wait.nLeft = nFrames;
    s.m_Wait.nSpare = 0;
    s.m_Wait.nFirst = (bButton && nKind == WAITKIND_MESSAGE && !bNoDelay) ? WAIT_FIRST_FRAMES : 0;
}

int RunWait(cPlayScene& s) {
    if (Closing(s)) return GiveUp(s);
    cInputState& in = WaitInput();
    // The play's input comes back as it was; nothing pressed before the wait
    // counts as a press in it.
    const cInputState saved = in;
    int16_t wPrev = in.m_wButton;
    in.ClearHistory();
    in.ClearPatternRuns();
    in.ClearDir();
    in.ClearButton();
    int nResult = 1;
    cWaitAnnounce announce;
    for (;;) {
        if (!PlayHost().WaitFrame() || Closing(s)) {
            nResult = 0;
            break;
        }
        in.RecordHistory();
        // A replay key handled this frame: the frame is not drawn.
        if (PlayHost().CheckReplayKeys()) continue;
        const int16_t wNow = in.m_wButton;
        const bool bPressed = (wNow & BUTTON_1) && !(wPrev & BUTTON_1);
        wPrev = wNow;
        PLAYWAIT& w = s.m_Wait;
        if (w.nFirst > 0) {
            w.nFirst--;
        } else if (w.bButton) {
            if (bPressed) {
                PlayHost().PlaySound(w.nKind == WAITKIND_MESSAGE ? SYSSOUND_MESSAGE : SYSSOUND_OK);
                s.m_bHoldButtons = 1;
                break;
            }
        } else if (--w.nLeft < 0) {
            break;
        }
        DrawPlayFrame(s, 0, 1, 0, 1);
    }
    in = saved;
    announce.Withdraw();
    if (!nResult) return GiveUp(s);
    PlayHost().WaitWhileInactive();
    return 1;
}

int RunRankingScreen(cPlayScene& s, const cRanking& ranking) {
    if (Closing(s)) return GiveUp(s);
    const int nMode = GetGameState().m_nGameMode;
    cProgress* pProg = PlayCtx().lpProgress;
    if (pProg) pProg->StepRankKind(nMode, 0);
    const cSystemData* pSys = PlayCtx().lpSystem;
    const int nKinds = pSys ? pSys->CountRankingKinds(nMode) : 0;
    // The table reads the live input and leaves it as it stands: the press
    // that closes the table stays latched, so the screen below does not
    // take it as a press of its own on the next frame.
    cInputState& in = WaitInput();
    in.ClearButton();
    in.m_bButtonLock = 1;   // a button held from before is no press
    int nResult = 1;
    cWaitAnnounce announce;
    for (;;) {
        if (!PlayHost().WaitFrame() || Closing(s)) {
            nResult = 0;
            break;
        }
        in.LatchButtons(0xFF);
        in.ApplyKeyRepeat();
        if (in.m_wButton & BUTTON_1) {
            PlayHost().PlaySound(SYSSOUND_OK);
            break;
        }
        if ((in.m_wButton & BUTTON_4) && nKinds > 1 && pProg) {
            PlayHost().PlaySound(SYSSOUND_SELECT);
            pProg->StepRankKind(nMode, 1);
        }
        DrawPlayFrame(s, 0, 1, 0, 1);
        const int nKind = pProg ? pProg->m_nRankKind : 0;
        const int nRow = (nKind >= 0 && static_cast<size_t>(nKind) < s.m_vecRankPos.size()) ? s.m_vecRankPos[nKind] : -1;
        DrawRanking(&BackBuffer, RANKING_X, RANKING_Y, ranking, nKind, nRow, nMode);
    }
    announce.Withdraw();
    if (!nResult) return GiveUp(s);
    return 1;
}
