#include "project/ProgressRequests.h"

#include "project/GameState.h"
#include "project/ProjectContext.h"
#include "project/ReplayLog.h"
#include "project/SystemData.h"

namespace {

// Frames of the refusal sound's cool-down.
constexpr int REPLAY_REFUSAL_FRAMES = 60;
// System sounds of the replay keys.
constexpr int SE_DECIDE = 1;
constexpr int SE_REFUSE = 3;

class cNoProgressHost : public IProgressHost {
public:
    int RequestNameEntry(std::string&) override { return 0; }
    int RequestSaveReplay(int) override { return 0; }
    bool IsKeyHeld(int) override { return false; }
    void PlaySystemSound(int) override {}
};

cNoProgressHost NoProgressHost;
IProgressHost* lpProgressHost = &NoProgressHost;

int nReplayCoolDown = 0;
bool bReplayKeyLatched = false;   // a key that saved is still held

}  // namespace

IProgressHost& GetProgressHost() { return *lpProgressHost; }
void SetProgressHost(IProgressHost* p) { lpProgressHost = p ? p : &NoProgressHost; }

int RequestRankingName(std::string& strName) { return GetProgressHost().RequestNameEntry(strName) == 1 ? 1 : 0; }

void ResetReplayKeys() {
    nReplayCoolDown = 0;
    bReplayKeyLatched = false;
}

int CheckReplayKeys() {
    if (GetGameState().m_nPlayType == PLAYTYPE_REPLAY || !recSystem.m_bReplay) return 0;
    IProgressHost& host = GetProgressHost();
    if (nReplayCoolDown > 0) nReplayCoolDown--;
    int nWhich;
    if (host.IsKeyHeld(VK_F1_KEY)) nWhich = 0;
    else if (host.IsKeyHeld(VK_F2_KEY)) nWhich = 1;
    else {
        bReplayKeyLatched = false;
        return 0;
    }
    if (bReplayKeyLatched) return 0;
    const cReplayLog& log = nWhich == 0 ? recReplayA : recReplayB;
    if (log.IsEmpty()) {
        if (nReplayCoolDown <= 0) {
            host.PlaySystemSound(SE_REFUSE);
            nReplayCoolDown = REPLAY_REFUSAL_FRAMES;
        }
        return 0;
    }
    host.PlaySystemSound(SE_DECIDE);
    bReplayKeyLatched = true;
    host.RequestSaveReplay(nWhich);
    return 1;
}
