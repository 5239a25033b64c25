#include "play/PlayContext.h"

#include "play/CharaBase.h"
#include "play/Chara.h"
#include "play/Hero.h"
#include "play/Item.h"
#include "project/Progress.h"
#include "project/ProjectContext.h"
#include "stage/Stage.h"

namespace {
IPlayHost NullPlayHost;
cPlayContext* lpDefaultContext() {
    static cPlayContext ctx;
    return &ctx;
}
}  // namespace

cPlayContext* lpInstalledPlayContext = nullptr;

int cPlayRandom::Get(int a, int b) {
    int64_t nLow = a < b ? a : b;
    int64_t nSpan = static_cast<int64_t>(a < b ? b : a) - nLow + 1;
    return static_cast<int>(nLow + Next() % nSpan);
}

cPlayContext::cPlayContext()
    : lpStage(&recStage),
      lpPlayStage(&recPlayStage),
      lpCharaDef(&recCharaDef),
      lpSystem(&recSystem),
      lpDatabase(&recDatabase),
      lpProgress(&recProgress),
      lpInput(&Input),
      lpHost(&NullPlayHost) {}

cPlayContext::~cPlayContext() {
    // Objects unregister themselves from the context being destroyed.
    cPlayContextScope scope(*this);
    lstChara.clear();
    lstItem.clear();
    vecPlayer.clear();
}

uint64_t cPlayContext::RegisterObj(cObj* p) {
    uint64_t n = m_nNextHandle++;
    if (m_vecObj.size() <= n) m_vecObj.resize(static_cast<size_t>(n) + 1, nullptr);
    m_vecObj[static_cast<size_t>(n)] = p;
    return n;
}

void cPlayContext::UnregisterObj(uint64_t nHandle) {
    if (nHandle < m_vecObj.size()) m_vecObj[static_cast<size_t>(nHandle)] = nullptr;
}

cPlayContext& DefaultPlayContext() { return *lpDefaultContext(); }
void InstallPlayContext(cPlayContext* p) { lpInstalledPlayContext = p; }
